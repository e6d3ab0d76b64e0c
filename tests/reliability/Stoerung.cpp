#include "Stoerung.h"

#include <utility>

Stoerung::Stoerung(Beobachter beobachter) : beobachter_(std::move(beobachter)) {
    IoFaults::SetHook(
        [this](IoFaults::Op op, const std::string& pfad) { return Pruefe(op, pfad); });
}

Stoerung::Stoerung(IoFaults::Op op, int n, int fehler)
    : stoeren_(true), op_(op), n_(n), fehler_(fehler) {
    IoFaults::SetHook([this](IoFaults::Op o, const std::string& pfad) { return Pruefe(o, pfad); });
}

Stoerung::~Stoerung() {
    IoFaults::ClearHook();
}

int Stoerung::Anzahl(IoFaults::Op op) const {
    auto it = anzahl_.find(op);
    return it == anzahl_.end() ? 0 : it->second;
}

int Stoerung::Pruefe(IoFaults::Op op, const std::string& pfad) {
    const int nummer = ++anzahl_[op];
    if (beobachter_) {
        beobachter_(op, pfad);
    }
    if (stoeren_ && op == op_ && nummer == n_) {
        ausgeloest_ = true;
        return fehler_;
    }
    return 0;
}

const char* Stoerung::Name(IoFaults::Op op) {
    switch (op) {
        case IoFaults::Op::Open:
            return "Open";
        case IoFaults::Op::Write:
            return "Write";
        case IoFaults::Op::Sync:
            return "Sync";
        case IoFaults::Op::Rename:
            return "Rename";
        case IoFaults::Op::Truncate:
            return "Truncate";
        case IoFaults::Op::Read:
            return "Read";
    }
    return "?";
}
