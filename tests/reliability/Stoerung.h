#pragma once

#include <functional>
#include <map>
#include <string>

#include "storage/IoFaults.h"

// Installs a hook in the storage layer's fault seam for its lifetime. It
// either only counts the file system calls of each kind (and reports each one
// before it happens), or makes the n-th call of one kind fail with an error
// number, the way a failing device or a full disk would.
class Stoerung {
  public:
    using Beobachter = std::function<void(IoFaults::Op op, const std::string& pfad)>;

    // Counts only.
    explicit Stoerung(Beobachter beobachter = {});
    // Fails the n-th call (from 1) of that kind.
    Stoerung(IoFaults::Op op, int n, int fehler);
    ~Stoerung();

    Stoerung(const Stoerung&) = delete;
    Stoerung& operator=(const Stoerung&) = delete;

    int Anzahl(IoFaults::Op op) const;
    // Whether the failure was injected.
    bool Ausgeloest() const { return ausgeloest_; }

    static const char* Name(IoFaults::Op op);

  private:
    int Pruefe(IoFaults::Op op, const std::string& pfad);

    Beobachter beobachter_;
    std::map<IoFaults::Op, int> anzahl_;
    bool stoeren_ = false;
    IoFaults::Op op_ = IoFaults::Op::Open;
    int n_ = 0;
    int fehler_ = 0;
    bool ausgeloest_ = false;
};
