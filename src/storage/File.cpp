#include "storage/File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <set>
#include <utility>

#include "storage/IoFaults.h"

namespace {

bool Injected(IoFaults::Op op, const std::string& path) {
    int err = IoFaults::Check(op, path);
    if (err != 0) {
        errno = err;
        return true;
    }
    return false;
}

std::string DirectoryOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    if (slash == 0) {
        return "/";
    }
    return path.substr(0, slash);
}

// Files written within a batch whose sync is still owed.
struct Batch {
    int depth = 0;
    std::set<std::string> pending;
};

Batch& CurrentBatch() {
    static Batch batch;
    return batch;
}

bool SyncDirectory(const std::string& path) {
    int fd = ::open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    bool ok = !Injected(IoFaults::Op::Sync, path) && ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

File::~File() {
    Close();
}

File::File(File&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
    }
    return *this;
}

File File::Open(const std::string& path, int flags) {
    File file;
    file.path_ = path;
    const bool writing = (flags & (O_WRONLY | O_RDWR)) != 0;
    if (writing && Injected(IoFaults::Op::Open, path)) {
        return file;
    }
    // Non-blocking, so that a pipe of that name cannot stop the program at
    // the open; a write never follows a link out of the folder.
    flags |= O_CLOEXEC | O_NONBLOCK | (writing ? O_NOFOLLOW : 0);
    bool created = false;
    if ((flags & O_CREAT) != 0 && (flags & (O_EXCL | O_TRUNC)) == 0) {
        // Created here: the new name needs a directory sync to be durable.
        // (A temporary file is renamed, and that rename is synced.)
        do {
            file.fd_ = ::open(path.c_str(), flags | O_EXCL, 0666);
        } while (file.fd_ < 0 && errno == EINTR);
        created = file.fd_ >= 0;
    }
    while (file.fd_ < 0) {
        file.fd_ = ::open(path.c_str(), flags, 0666);
        if (file.fd_ >= 0 || errno != EINTR) {
            break;
        }
    }
    if (file.fd_ >= 0) {
        struct stat st {};
        if (::fstat(file.fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
            const bool directory = S_ISDIR(st.st_mode);
            file.Close();
            errno = directory ? EISDIR : ENXIO;
            return file;
        }
        // Reads and writes wait for the disk as usual.
        ::fcntl(file.fd_, F_SETFL, ::fcntl(file.fd_, F_GETFL) & ~O_NONBLOCK);
        if (created) {
            SyncDirectory(path);
        }
    }
    return file;
}

File File::OpenReadWrite(const std::string& path) {
    return Open(path, O_RDWR | O_CREAT);
}

File File::OpenAppend(const std::string& path) {
    return Open(path, O_WRONLY | O_APPEND | O_CREAT);
}

File File::OpenReadOnly(const std::string& path) {
    return Open(path, O_RDONLY);
}

std::int64_t File::Size() const {
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) {
        return -1;
    }
    return st.st_size;
}

std::size_t File::ReadAt(std::int64_t offset, char* data, std::size_t size) const {
    std::size_t done = 0;
    while (fd_ >= 0 && done < size) {
        ssize_t n = ::pread(fd_, data + done, size - done, offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return done;
}

bool File::ReadAll(std::string& out) const {
    out.clear();
    if (fd_ < 0 || Injected(IoFaults::Op::Read, path_)) {
        return false;
    }
    // One read into a buffer of the file's size: whole data files are read at
    // every start, and reading them in small pieces costs more than decoding.
    const std::int64_t size = Size();
    out.resize(size > 0 ? static_cast<std::size_t>(size) : 0);
    out.resize(ReadAt(0, out.data(), out.size()));
    if (out.size() < static_cast<std::size_t>(size > 0 ? size : 0)) {
        return false;
    }
    // A file that grew meanwhile (or reports no size) is read on to its end.
    char buffer[65536];
    for (;;) {
        std::size_t n = ReadAt(static_cast<std::int64_t>(out.size()), buffer, sizeof buffer);
        if (n == 0) {
            return true;
        }
        out.append(buffer, n);
    }
}

bool File::WriteAt(std::int64_t offset, std::string_view data) {
    if (fd_ < 0 || Injected(IoFaults::Op::Write, path_)) {
        return false;
    }
    std::size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::pwrite(fd_, data.data() + done, data.size() - done,
                             offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool File::Append(std::string_view data) {
    if (fd_ < 0 || Injected(IoFaults::Op::Write, path_)) {
        return false;
    }
    std::size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd_, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool File::Truncate(std::int64_t length) {
    if (fd_ < 0 || Injected(IoFaults::Op::Truncate, path_)) {
        return false;
    }
    int rc;
    do {
        rc = ::ftruncate(fd_, length);
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
}

bool File::Sync() {
    if (fd_ < 0 || Injected(IoFaults::Op::Sync, path_)) {
        return false;
    }
    return ::fsync(fd_) == 0;
}

bool File::DataSync() {
    if (fd_ < 0 || Injected(IoFaults::Op::Sync, path_)) {
        return false;
    }
    Batch& batch = CurrentBatch();
    if (batch.depth > 0) {
        batch.pending.insert(path_);
        return true;
    }
    int rc;
    do {
        rc = ::fdatasync(fd_);
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
}

void File::BeginBatch() {
    ++CurrentBatch().depth;
}

bool File::EndBatch() {
    Batch& batch = CurrentBatch();
    if (batch.depth == 0 || --batch.depth > 0) {
        return true;
    }
    bool ok = true;
    std::set<std::string> directories;
    for (const std::string& path : batch.pending) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
        // A file replaced or removed meanwhile was synced by its replacement.
        if (fd >= 0) {
            ok = ::fdatasync(fd) == 0 && ok;
            ::close(fd);
        }
        directories.insert(DirectoryOf(path));
    }
    for (const std::string& directory : directories) {
        ok = SyncDirectory(directory + "/.") && ok;
    }
    batch.pending.clear();
    return ok;
}

void File::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

bool File::ReadFile(const std::string& path, std::string& out) {
    File file = OpenReadOnly(path);
    return file.IsOpen() && file.ReadAll(out);
}

bool File::ReadIfExists(const std::string& path, std::string& out) {
    out.clear();
    File file = OpenReadOnly(path);
    if (!file.IsOpen()) {
        return errno == ENOENT;
    }
    return file.ReadAll(out);
}

bool File::ReplaceIfChanged(const std::string& path, std::string_view data, bool* replaced) {
    if (replaced != nullptr) {
        *replaced = false;
    }
    std::string current;
    File file = OpenReadOnly(path);
    if (file.IsOpen() && file.Size() == static_cast<std::int64_t>(data.size()) &&
        file.ReadAll(current) && current == data) {
        return true;
    }
    file.Close();
    const bool ok = ReplaceAtomically(path, data);
    if (replaced != nullptr) {
        *replaced = ok;
    }
    return ok;
}

bool File::SyncDirectoryOf(const std::string& path) {
    return SyncDirectory(path);
}

std::string File::TempPathFor(const std::string& path) {
    return path + ".tmp";
}

void File::RemoveStaleTemp(const std::string& path) {
    ::unlink(TempPathFor(path).c_str());
}

bool File::Exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

bool File::ReplaceAtomically(const std::string& path, std::string_view data) {
    const std::string temp = TempPathFor(path);
    File file = Open(temp, O_WRONLY | O_CREAT | O_TRUNC);
    bool ok = file.IsOpen() && file.WriteAt(0, data) && file.Sync();
    file.Close();
    if (ok && !Injected(IoFaults::Op::Rename, path)) {
        ok = ::rename(temp.c_str(), path.c_str()) == 0;
    } else {
        ok = false;
    }
    if (!ok) {
        int saved = errno;
        ::unlink(temp.c_str());
        errno = saved;
        return false;
    }
    // The new contents are in place; a failed directory sync only means the
    // rename might not survive a power cut, which the caller cannot mend.
    SyncDirectory(path);
    return true;
}
