#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// An open file descriptor, and the few whole-file operations the data files
// need. Every write either completes or reports failure; partial writes are
// retried, interrupted calls repeated.
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
    static File OpenReadWrite(const std::string& path);
    // Opens for appending only (every write lands at the end), creating it.
    static File OpenAppend(const std::string& path);
    static File OpenReadOnly(const std::string& path);

    bool IsOpen() const { return fd_ >= 0; }
    const std::string& Path() const { return path_; }

    // Current length, or -1 when it cannot be determined.
    std::int64_t Size() const;
    // Reads up to size bytes at offset; returns how many were read (0 at the end or on error).
    std::size_t ReadAt(std::int64_t offset, char* data, std::size_t size) const;
    bool ReadAll(std::string& out) const;
    bool WriteAt(std::int64_t offset, std::string_view data);
    bool Append(std::string_view data);
    bool Truncate(std::int64_t length);
    bool Sync();
    // Makes the contents durable (fdatasync): what a confirmed change wrote
    // must be on the disk before anything that counts on it is written.
    // Within a batch (SyncAufschub) the file is only noted and synced once
    // at the batch's end.
    bool DataSync();
    void Close();

    // Reads a whole file; false when it cannot be opened or read.
    static bool ReadFile(const std::string& path, std::string& out);
    // Reads a whole file, where a missing file (and only a missing file)
    // reads as empty: false when it exists but cannot be opened or read, so
    // that a failing device is never taken for a file without records.
    static bool ReadIfExists(const std::string& path, std::string& out);

    // ReplaceAtomically, but only when the file does not already hold exactly
    // these bytes: a file whose contents did not change keeps its
    // modification time, and backup tools leave it alone.
    // `replaced` tells whether the file was written.
    static bool ReplaceIfChanged(const std::string& path, std::string_view data,
                                 bool* replaced = nullptr);

    // Replaces the file's contents so that a crash at any moment leaves either
    // the old or the new contents: writes a temporary file beside it, syncs it,
    // renames it over the original and syncs the directory. On failure the
    // original is untouched and the temporary file is removed.
    static bool ReplaceAtomically(const std::string& path, std::string_view data);

    // The name of the temporary file ReplaceAtomically uses for path.
    static std::string TempPathFor(const std::string& path);
    // A temporary file left behind by a crash is only ever a failed
    // replacement; the original beside it is intact, so it can go.
    static void RemoveStaleTemp(const std::string& path);

    static bool Exists(const std::string& path);

    // Syncs the directory that holds path, so that a name created or
    // renamed there survives a power cut.
    static bool SyncDirectoryOf(const std::string& path);

  private:
    static File Open(const std::string& path, int flags);
    // The batch of SyncAufschub: while one is open, DataSync only notes
    // the file; ending the outermost batch syncs every noted file once.
    static void BeginBatch();
    static bool EndBatch();
    friend class SyncAufschub;

    int fd_ = -1;
    std::string path_;
};
