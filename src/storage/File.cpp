#include "storage/File.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <utility>

#include "storage/IoFaults.h"

namespace {

using Vorgang = Fehler::Vorgang;

// Why a call on a descriptor fails before it is made: no descriptor, or a
// failure the test seam injects.
int Vorab(int fd, IoFaults::Op op, const std::string& path) {
    return fd < 0 ? EBADF : IoFaults::Check(op, path);
}

// A call on a descriptor that returns 0 or -1 with errno, repeated when it
// is interrupted.
template <typename Call>
Ergebnis<void> Aufrufen(int fd, IoFaults::Op op, Vorgang vorgang, const std::string& path,
                        Call call) {
    int err = Vorab(fd, op, path);
    while (err == 0 && call() != 0) {
        err = errno == EINTR ? 0 : (errno != 0 ? errno : EIO);
    }
    if (err != 0) {
        return Fehler(vorgang, path, err);
    }
    return {};
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

int OpenRetrying(const std::string& path, int flags, mode_t mode = 0666) {
    int fd;
    do {
        fd = ::open(path.c_str(), flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// fsync of a name: a directory, or a file that another descriptor wrote.
Ergebnis<void> SyncByName(const std::string& path, int flags, const std::string& reported) {
    const int fd = OpenRetrying(path, flags | O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return Fehler(Vorgang::Sichern, reported, errno);
    }
    Ergebnis<void> result =
        Aufrufen(fd, IoFaults::Op::Sync, Vorgang::Sichern, reported, [fd] { return ::fsync(fd); });
    ::close(fd);
    return result;
}

Ergebnis<void> SyncDirectory(const std::string& path) {
    return SyncByName(File::DirectoryOf(path), O_DIRECTORY, path);
}

// Repeats a write that may be interrupted or take only part of the bytes
// (pwrite, write), until all `size` bytes are through.
template <typename Call>
Ergebnis<void> WriteFully(int fd, const std::string& path, std::size_t size, Call call) {
    if (const int err = Vorab(fd, IoFaults::Op::Write, path)) {
        return Fehler(Vorgang::Schreiben, path, err);
    }
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = call(done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            // A write that takes nothing without an error is a full disk.
            return Fehler(Vorgang::Schreiben, path, n < 0 ? errno : ENOSPC);
        }
        done += static_cast<std::size_t>(n);
    }
    return {};
}

File::Kind KindOf(mode_t mode) {
    if (S_ISREG(mode)) {
        return File::Kind::Regular;
    }
    if (S_ISDIR(mode)) {
        return File::Kind::Directory;
    }
    if (S_ISLNK(mode)) {
        return File::Kind::Link;
    }
    if (S_ISFIFO(mode)) {
        return File::Kind::Fifo;
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return File::Kind::Device;
    }
    if (S_ISSOCK(mode)) {
        return File::Kind::Socket;
    }
    return File::Kind::Other;
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

Ergebnis<File> File::Open(const std::string& path, int flags) {
    const bool writing = (flags & (O_WRONLY | O_RDWR)) != 0;
    const Vorgang vorgang = writing ? Vorgang::Anlegen : Vorgang::Oeffnen;
    if (const int err = writing ? IoFaults::Check(IoFaults::Op::Open, path) : 0) {
        return Fehler(vorgang, path, err);
    }
    File file;
    file.path_ = path;
    // Non-blocking, so that a pipe of that name cannot stop the program at
    // the open; a write never follows a link out of the folder.
    flags |= O_CLOEXEC | O_NONBLOCK | (writing ? O_NOFOLLOW : 0);
    bool created = false;
    if ((flags & O_CREAT) != 0 && (flags & (O_EXCL | O_TRUNC)) == 0) {
        // Created here: the new name needs a directory sync to be durable.
        // (A temporary file is renamed, and that rename is synced.)
        file.fd_ = OpenRetrying(path, flags | O_EXCL);
        created = file.fd_ >= 0;
    }
    if (file.fd_ < 0) {
        file.fd_ = OpenRetrying(path, flags);
    }
    if (file.fd_ < 0) {
        return Fehler(vorgang, path, errno);
    }
    struct stat st {};
    if (::fstat(file.fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        return Fehler(vorgang, path, S_ISDIR(st.st_mode) ? EISDIR : ENXIO);
    }
    // Reads and writes wait for the disk as usual.
    ::fcntl(file.fd_, F_SETFL, ::fcntl(file.fd_, F_GETFL) & ~O_NONBLOCK);
    if (created) {
        (void)SyncDirectory(path);
    }
    return file;
}

Ergebnis<File> File::OpenReadWrite(const std::string& path) {
    return Open(path, O_RDWR | O_CREAT);
}

Ergebnis<File> File::OpenAppend(const std::string& path) {
    return Open(path, O_WRONLY | O_APPEND | O_CREAT);
}

Ergebnis<File> File::OpenReadOnly(const std::string& path) {
    return Open(path, O_RDONLY);
}

Ergebnis<std::int64_t> File::Size() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        return Fehler(Vorgang::Abfragen, path_, errno);
    }
    return static_cast<std::int64_t>(st.st_size);
}

Ergebnis<std::string> File::ReadAll() const {
    if (const int err = Vorab(fd_, IoFaults::Op::Read, path_)) {
        return Fehler(Vorgang::Lesen, path_, err);
    }
    // One read into a buffer of the file's size: whole data files are read at
    // every start, and reading them in small pieces costs more than decoding.
    // A file that grew meanwhile (or reports no size) is read on to its end.
    const Ergebnis<std::int64_t> size = Size();
    std::string out(size && *size > 0 ? static_cast<std::size_t>(*size) : 0, '\0');
    std::size_t done = 0;
    char tail[65536];
    for (;;) {
        const bool inBuffer = done < out.size();
        char* into = inBuffer ? out.data() + done : tail;
        const std::size_t room = inBuffer ? out.size() - done : sizeof tail;
        const ssize_t n = ::pread(fd_, into, room, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return Fehler(Vorgang::Lesen, path_, errno);
        }
        if (n == 0) {
            out.resize(done);
            return out;
        }
        if (!inBuffer) {
            out.append(tail, static_cast<std::size_t>(n));
        }
        done += static_cast<std::size_t>(n);
    }
}

Ergebnis<std::size_t> File::ReadAt(std::int64_t offset, char* into, std::size_t size) const {
    if (const int err = Vorab(fd_, IoFaults::Op::Read, path_)) {
        return Fehler(Vorgang::Lesen, path_, err);
    }
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd_, into + done, size - done,
                                  static_cast<off_t>(offset) + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return Fehler(Vorgang::Lesen, path_, errno);
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return done;
}

Ergebnis<void> File::ReadPieces(std::size_t stueck,
                                const std::function<void(std::string_view)>& f) const {
    const Ergebnis<std::int64_t> size = Size();
    if (!size) {
        return size.Ursache();
    }
    // One buffer for the whole file, not zero-filled: the reads fill it.
    const std::size_t groesse =
        std::max<std::size_t>(std::min<std::size_t>(stueck, static_cast<std::size_t>(*size)), 1);
    const std::unique_ptr<char[]> puffer(new char[groesse]);
    std::int64_t offset = 0;
    for (;;) {
        const Ergebnis<std::size_t> n = ReadAt(offset, puffer.get(), groesse);
        if (!n) {
            return n.Ursache();
        }
        if (*n > 0) {
            f(std::string_view(puffer.get(), *n));
            offset += static_cast<std::int64_t>(*n);
        }
        if (*n < groesse) {
            break;
        }
    }
    // A file that grew meanwhile is read on to its end; one that lost bytes
    // did not end here.
    if (offset < *size) {
        return Fehler(Vorgang::Lesen, path_, Fehler::kVerkuerzt);
    }
    return {};
}

Ergebnis<void> File::WriteAt(std::int64_t offset, std::string_view data) {
    return WriteFully(fd_, path_, data.size(), [&](std::size_t done) {
        return ::pwrite(fd_, data.data() + done, data.size() - done,
                        static_cast<off_t>(offset) + static_cast<off_t>(done));
    });
}

Ergebnis<void> File::Append(std::string_view data) {
    return WriteFully(fd_, path_, data.size(), [&](std::size_t done) {
        return ::write(fd_, data.data() + done, data.size() - done);
    });
}

Ergebnis<void> File::Truncate(std::int64_t length) {
    return Aufrufen(fd_, IoFaults::Op::Truncate, Vorgang::Kuerzen, path_,
                    [&] { return ::ftruncate(fd_, length); });
}

Ergebnis<void> File::Sync() {
    return Aufrufen(fd_, IoFaults::Op::Sync, Vorgang::Sichern, path_, [&] { return ::fsync(fd_); });
}

Ergebnis<void> File::DataSync() {
    return Aufrufen(fd_, IoFaults::Op::Sync, Vorgang::Sichern, path_, [&] {
        Batch& batch = CurrentBatch();
        if (batch.depth > 0) {
            batch.pending.insert(path_);
            return 0;
        }
        return ::fdatasync(fd_);
    });
}

void File::BeginBatch() {
    ++CurrentBatch().depth;
}

Ergebnis<void> File::EndBatch() {
    Batch& batch = CurrentBatch();
    if (batch.depth == 0 || --batch.depth > 0) {
        return {};
    }
    Ergebnis<void> result;
    auto keepFirst = [&result](Ergebnis<void> step) {
        if (result && !step) {
            result = std::move(step);
        }
    };
    std::set<std::string> directories;
    for (const std::string& path : batch.pending) {
        const int fd = OpenRetrying(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
        // A file replaced or removed meanwhile was synced by its replacement.
        if (fd >= 0) {
            if (::fdatasync(fd) != 0) {
                keepFirst(Fehler(Vorgang::Sichern, path, errno));
            }
            ::close(fd);
        }
        directories.insert(DirectoryOf(path));
    }
    for (const std::string& directory : directories) {
        keepFirst(SyncDirectory(directory + "/."));
    }
    batch.pending.clear();
    return result;
}

void File::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

Ergebnis<std::string> File::ReadFile(const std::string& path) {
    Ergebnis<File> file = OpenReadOnly(path);
    if (!file) {
        return file.Ursache();
    }
    return file->ReadAll();
}

Ergebnis<void> File::ReadFileInPieces(const std::string& path, std::size_t stueck,
                                      const std::function<void(std::string_view)>& f) {
    Ergebnis<File> file = OpenReadOnly(path);
    if (!file) {
        return file.Ursache();
    }
    return file->ReadPieces(stueck, f);
}

Ergebnis<std::string> File::ReadIfExists(const std::string& path) {
    Ergebnis<std::string> bytes = ReadFile(path);
    if (!bytes && bytes.Ursache().Fehlt()) {
        return std::string();
    }
    return bytes;
}

Ergebnis<bool> File::ReplaceIfChanged(const std::string& path, std::string_view data) {
    {
        Ergebnis<File> file = OpenReadOnly(path);
        if (file) {
            const Ergebnis<std::int64_t> size = file->Size();
            if (size && *size == static_cast<std::int64_t>(data.size())) {
                const Ergebnis<std::string> current = file->ReadAll();
                if (current && *current == data) {
                    return false;
                }
            }
        }
    }
    Ergebnis<void> replaced = ReplaceAtomically(path, data);
    if (!replaced) {
        return replaced.Ursache();
    }
    return true;
}

std::string File::TempPathFor(const std::string& path) {
    return path + ".tmp";
}

void File::RemoveStaleTemp(const std::string& path) {
    ::unlink(TempPathFor(path).c_str());
}

Ergebnis<void> File::ReplaceAtomically(const std::string& path, std::string_view data, Temp temp) {
    Ergebnis<File> file = temp == Temp::Fixed
                              ? Open(TempPathFor(path), O_WRONLY | O_CREAT | O_TRUNC)
                              : CreateUnique(path);
    Ergebnis<void> result;
    if (file) {
        result = file->WriteAt(0, data);
        if (result) {
            result = file->Sync();
        }
        file->Close();
        if (result) {
            result = Rename(file->Path(), path);
        }
        if (!result) {
            ::unlink(file->Path().c_str());
        }
    } else {
        result = file.Ursache();
    }
    if (!result) {
        // The temporary file is the replacement's own business; the user
        // asked for the file itself.
        return Fehler(result.Ursache().Was(), path, result.Ursache().Nummer());
    }
    // The new contents are in place; a failed directory sync only means the
    // rename might not survive a power cut, which the caller cannot mend.
    (void)SyncDirectory(path);
    return {};
}

Ergebnis<File> File::CreateUnique(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    std::string pattern = path.substr(0, slash + 1) + "." + path.substr(slash + 1) + ".XXXXXX";
    if (const int err = IoFaults::Check(IoFaults::Op::Open, pattern)) {
        return Fehler(Vorgang::Anlegen, pattern, err);
    }
    File file;
    file.fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (file.fd_ < 0) {
        return Fehler(Vorgang::Anlegen, pattern, errno);
    }
    file.path_ = pattern;
    // mkostemp makes a private file; an export is an ordinary one.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(file.fd_, 0666 & ~mask);
    return file;
}

Ergebnis<void> File::SyncPath(const std::string& path) {
    return SyncByName(path, O_NONBLOCK, path);
}

Ergebnis<File::Entry> File::Stat(const std::string& path, bool follow) {
    struct stat st {};
    if ((follow ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) != 0) {
        return Fehler(Vorgang::Abfragen, path, errno);
    }
    return Entry{KindOf(st.st_mode), static_cast<std::int64_t>(st.st_size),
                 static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                 static_cast<std::int64_t>(st.st_mtime)};
}

bool File::Exists(const std::string& path) {
    return static_cast<bool>(Stat(path, true));
}

Ergebnis<std::vector<std::string>> File::List(const std::string& directory) {
    DIR* dir = ::opendir(directory.c_str());
    if (dir == nullptr) {
        return Fehler(Vorgang::Oeffnen, directory, errno);
    }
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

std::string File::DirectoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string File::Resolve(const std::string& path) {
    std::error_code fehler;
    const std::filesystem::path full = std::filesystem::canonical(path, fehler);
    return fehler ? std::string() : full.string();
}

Ergebnis<void> File::Rename(const std::string& from, const std::string& to) {
    if (const int err = IoFaults::Check(IoFaults::Op::Rename, to)) {
        return Fehler(Vorgang::Umbenennen, to, err);
    }
    if (::rename(from.c_str(), to.c_str()) != 0) {
        return Fehler(Vorgang::Umbenennen, to, errno);
    }
    return {};
}

Ergebnis<void> File::RenameNoReplace(const std::string& from, const std::string& to) {
    if (const int err = IoFaults::Check(IoFaults::Op::Rename, to)) {
        return Fehler(Vorgang::Umbenennen, to, err);
    }
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return {};
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return Fehler(Vorgang::Umbenennen, to, errno);
    }
    // A file system without the flag (some network ones): a hard link takes
    // no existing name either.
    if (::link(from.c_str(), to.c_str()) != 0) {
        return Fehler(Vorgang::Umbenennen, to, errno);
    }
    ::unlink(from.c_str());
    return {};
}

Ergebnis<void> File::Unlink(const std::string& path) {
    if (const int err = IoFaults::Check(IoFaults::Op::Rename, path)) {
        return Fehler(Vorgang::Umbenennen, path, err);
    }
    if (::unlink(path.c_str()) != 0) {
        return Fehler(Vorgang::Umbenennen, path, errno);
    }
    return {};
}

Ergebnis<void> File::MakeDirectory(const std::string& path) {
    if (const int err = IoFaults::Check(IoFaults::Op::Open, path)) {
        return Fehler(Vorgang::Anlegen, path, err);
    }
    if (::mkdir(path.c_str(), 0777) != 0) {
        return Fehler(Vorgang::Anlegen, path, errno);
    }
    return {};
}

Ergebnis<File> File::CreateBeside(const std::string& path) {
    return CreateUnique(path);
}

void File::Remove(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

Ergebnis<std::string> File::CreateTempDirectory(const std::string& prefix) {
    std::string name = prefix + "XXXXXX";
    if (::mkdtemp(name.data()) == nullptr) {
        return Fehler(Vorgang::Anlegen, prefix, errno);
    }
    return name;
}
