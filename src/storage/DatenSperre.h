#pragma once

#include <string>

// The lock of a data directory: one program at a time changes the data. The
// window and every command that writes hold it for their whole run; readers
// take none and work beside them. It is an advisory lock (flock) on the file
// "rebkontor.lock" in the directory, so the kernel releases it with the
// process: a crash never leaves a stale lock behind, and nothing has to be
// cleaned up by hand.
class DatenSperre {
  public:
    static constexpr const char* kDateiname = "rebkontor.lock";

    // Takes the lock, before anything in the directory is touched. Raises a
    // MessageException with a German text naming the directory when another
    // program holds it. Where no lock can be had at all (no such directory,
    // a directory nobody may write, a file system without locks), nothing
    // can be written there either; the data set then reports that itself,
    // so that is no error here and Gehalten() is false.
    explicit DatenSperre(const std::string& verzeichnis);
    // Releases the lock; the file stays for the next program.
    ~DatenSperre();

    DatenSperre(const DatenSperre&) = delete;
    DatenSperre& operator=(const DatenSperre&) = delete;

    bool Gehalten() const { return fd_ >= 0; }

    // The message of a directory that another program holds (Windows-1252).
    static std::string BelegtText(const std::string& verzeichnis);

  private:
    int fd_ = -1;
};
