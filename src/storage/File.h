#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/Fehler.h"

// Every access of the program to the file system: an open file descriptor,
// the whole-file operations the data files and the exports need, and the few
// questions about names and folders. Each operation returns its result with
// the cause of a failure (operation, path, errno); every write either
// completes or reports failure, partial writes are retried and interrupted
// calls repeated. Failures can be injected for tests (IoFaults).
//
// Only regular files are opened: a pipe, device or socket of that name is
// refused (and never waited on, as every open is non-blocking), and a file
// opened for writing is never reached through a symbolic link, so a write
// meant for the data folder cannot land outside it.
class File {
  public:
    File() = default;
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;

    // Opens for reading and writing, creating the file when it is missing.
    static Ergebnis<File> OpenReadWrite(const std::string& path);
    // Opens for appending only (every write lands at the end), creating it.
    static Ergebnis<File> OpenAppend(const std::string& path);
    static Ergebnis<File> OpenReadOnly(const std::string& path);

    bool IsOpen() const { return fd_ >= 0; }
    const std::string& Path() const { return path_; }

    Ergebnis<std::int64_t> Size() const;
    Ergebnis<std::string> ReadAll() const;
    // Reads `size` bytes at `offset` into `into` (fewer only where the file
    // ends) with one pass through the fault seam; the count read.
    Ergebnis<std::size_t> ReadAt(std::int64_t offset, char* into, std::size_t size) const;
    // Reads the file front to back in pieces of `stueck` bytes into one
    // buffer and hands each piece to `f`; only the last may be shorter. A
    // file that ends before the length it had at the start was cut short
    // meanwhile, and that is an error (Fehler::kVerkuerzt), not its end.
    Ergebnis<void> ReadPieces(std::size_t stueck,
                              const std::function<void(std::string_view)>& f) const;
    Ergebnis<void> WriteAt(std::int64_t offset, std::string_view data);
    Ergebnis<void> Append(std::string_view data);
    Ergebnis<void> Truncate(std::int64_t length);
    Ergebnis<void> Sync();
    // Makes the contents durable (fdatasync): what a confirmed change wrote
    // must be on the disk before anything that counts on it is written.
    // Within a batch (SyncAufschub) the file is only noted and synced once
    // at the batch's end.
    Ergebnis<void> DataSync();
    void Close();

    static Ergebnis<std::string> ReadFile(const std::string& path);
    // ReadPieces of the file of that name; a missing file is an error
    // (Fehlt) as for ReadFile.
    static Ergebnis<void> ReadFileInPieces(const std::string& path, std::size_t stueck,
                                           const std::function<void(std::string_view)>& f);
    // Reads a whole file, where a missing file (and only a missing file)
    // reads as empty, so that a failing device is never taken for a file
    // without records.
    static Ergebnis<std::string> ReadIfExists(const std::string& path);

    // Where ReplaceAtomically writes before the rename. A data file has one
    // fixed companion, which a start after a crash can find and remove; an
    // export gets a hidden one of its own, so that two programs exporting to
    // one name never write into each other's temporary file.
    enum class Temp { Fixed, Unique };

    // Replaces the file's contents so that a crash at any moment leaves either
    // the old or the new contents: writes a temporary file beside it, syncs it,
    // renames it over the original and syncs the directory. On failure the
    // original is untouched and the temporary file is removed. A new file is
    // readable by others as any file the user creates is.
    static Ergebnis<void> ReplaceAtomically(const std::string& path, std::string_view data,
                                            Temp temp = Temp::Fixed);
    // ReplaceAtomically, but only when the file does not already hold exactly
    // these bytes: a file whose contents did not change keeps its
    // modification time, and backup tools leave it alone. Tells whether the
    // file was written.
    static Ergebnis<bool> ReplaceIfChanged(const std::string& path, std::string_view data);

    // The name of the fixed temporary file ReplaceAtomically uses for path.
    static std::string TempPathFor(const std::string& path);
    // A temporary file left behind by a crash is only ever a failed
    // replacement; the original beside it is intact, so it can go.
    static void RemoveStaleTemp(const std::string& path);

    // Syncs a file or directory by its name, so that what another
    // descriptor wrote, or a name created in the directory, survives a
    // power cut.
    static Ergebnis<void> SyncPath(const std::string& path);

    // What a name in the file system stands for.
    enum class Kind { Regular, Directory, Link, Fifo, Device, Socket, Other };
    struct Entry {
        Kind kind = Kind::Other;
        std::int64_t size = 0;
        // Device and inode: two names of one file have the same.
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        // Last modification, seconds since 1970.
        std::int64_t modified = 0;
    };
    // The entry itself (a link is a link), or with `follow` what it leads to.
    static Ergebnis<Entry> Stat(const std::string& path, bool follow = false);
    static bool Exists(const std::string& path);
    // The names in a directory, sorted ("." and ".." left out).
    static Ergebnis<std::vector<std::string>> List(const std::string& directory);
    // The folder a path names its file in: "." for a bare name.
    static std::string DirectoryOf(const std::string& path);
    // The absolute path with every link resolved; empty when it does not exist.
    static std::string Resolve(const std::string& path);

    static Ergebnis<void> Rename(const std::string& from, const std::string& to);
    // Renames, but never over an existing name: fails with EEXIST instead.
    static Ergebnis<void> RenameNoReplace(const std::string& from, const std::string& to);
    // Removes one file (never a directory); the failure seam takes it for
    // a rename, as both change a name in the folder.
    static Ergebnis<void> Unlink(const std::string& path);
    // Creates one directory (not its parents); the failure seam takes it
    // for an open that creates.
    static Ergebnis<void> MakeDirectory(const std::string& path);
    // A new, empty file beside `path` with a hidden name of its own (".name.XXXXXX"),
    // for a file that is written in pieces and renamed to `path` once whole.
    static Ergebnis<File> CreateBeside(const std::string& path);
    // Removes a file, or a directory with everything in it; what cannot be
    // removed stays.
    static void Remove(const std::string& path);
    // Creates a new directory named `prefix` followed by six random
    // characters, and returns its name.
    static Ergebnis<std::string> CreateTempDirectory(const std::string& prefix);

  private:
    static Ergebnis<File> Open(const std::string& path, int flags);
    // A new file beside path with a hidden name of its own.
    static Ergebnis<File> CreateUnique(const std::string& path);
    // The batch of SyncAufschub: while one is open, DataSync only notes
    // the file; ending the outermost batch syncs every noted file once.
    static void BeginBatch();
    static Ergebnis<void> EndBatch();
    friend class SyncAufschub;

    int fd_ = -1;
    std::string path_;
};
