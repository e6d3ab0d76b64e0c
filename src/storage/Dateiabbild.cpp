#include "storage/Dateiabbild.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <utility>

#include "storage/IoFaults.h"

namespace {

using Vorgang = Fehler::Vorgang;

// The mappings the SIGBUS handler may mend. Read by the handler, which may
// interrupt anything, so only lock-free atomics and no allocation.
struct Abbildplatz {
    std::atomic<std::uintptr_t> anfang{0};
    std::atomic<std::size_t> laenge{0};
    std::atomic<bool> verkuerzt{false};
    std::atomic<bool> belegt{false};
};

constexpr int kAbbildplaetze = 256;
Abbildplatz gAbbildplaetze[kAbbildplaetze];
struct sigaction gVorherigerSigbus {};
std::uintptr_t gSeite = 4096;

void BeiSigbus(int signal, siginfo_t* info, void* kontext) {
    const auto adresse = reinterpret_cast<std::uintptr_t>(info->si_addr);
    // Only a fault of the memory system (a page the file no longer holds, or
    // one that could not be read) in one of our mappings; a SIGBUS sent by
    // another process is not ours to swallow.
    if (info->si_code > 0) {
        for (Abbildplatz& platz : gAbbildplaetze) {
            const std::uintptr_t anfang = platz.anfang.load(std::memory_order_acquire);
            const std::size_t laenge = platz.laenge.load(std::memory_order_acquire);
            if (anfang == 0 || adresse < anfang || adresse - anfang >= laenge) {
                continue;
            }
            void* seite = reinterpret_cast<void*>(adresse & ~(gSeite - 1));
            if (::mmap(seite, gSeite, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) !=
                MAP_FAILED) {
                platz.verkuerzt.store(true, std::memory_order_release);
                // The read runs again and finds zeros, which its caller
                // discards on seeing the mark.
                return;
            }
            break;
        }
    }
    // Not ours: whatever was there before us, or the default action, which a
    // fault meets when its instruction runs again.
    if ((gVorherigerSigbus.sa_flags & SA_SIGINFO) != 0 &&
        gVorherigerSigbus.sa_sigaction != nullptr) {
        gVorherigerSigbus.sa_sigaction(signal, info, kontext);
        return;
    }
    if ((gVorherigerSigbus.sa_flags & SA_SIGINFO) == 0 && gVorherigerSigbus.sa_handler != SIG_DFL &&
        gVorherigerSigbus.sa_handler != SIG_IGN) {
        gVorherigerSigbus.sa_handler(signal);
        return;
    }
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    ::sigemptyset(&standard.sa_mask);
    ::sigaction(SIGBUS, &standard, nullptr);
    if (info->si_code <= 0) {
        ::raise(SIGBUS);
    }
}

void SigbusWaechterEinrichten() {
    static const bool eingerichtet = [] {
        gSeite = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
        struct sigaction neu {};
        neu.sa_sigaction = BeiSigbus;
        neu.sa_flags = SA_SIGINFO;
        ::sigemptyset(&neu.sa_mask);
        return ::sigaction(SIGBUS, &neu, &gVorherigerSigbus) == 0;
    }();
    (void)eingerichtet;
}

// Room for `bis` bytes and what the program may append after them before
// the next mapping: a quarter more, at least a megabyte, in whole pages.
std::size_t Raum(std::int64_t bis) {
    const auto n = static_cast<std::size_t>(std::max<std::int64_t>(bis, 0));
    const std::size_t raum = n + std::max<std::size_t>(n / 4, std::size_t{1} << 20);
    return (raum + gSeite - 1) & ~(gSeite - 1);
}

// Opens the file for reading as File does: never waiting on a pipe of that
// name, and refusing anything but a regular file.
Ergebnis<void> ZumLesenOeffnen(const std::string& path, int& fd) {
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return Fehler(Vorgang::Oeffnen, path, errno);
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int err = S_ISDIR(st.st_mode) ? EISDIR : ENXIO;
        ::close(fd);
        fd = -1;
        return Fehler(Vorgang::Oeffnen, path, err);
    }
    return {};
}

}  // namespace

Dateiabbild::Dateiabbild(std::string path) : path_(std::move(path)) {}

Dateiabbild::~Dateiabbild() {
    Schliessen();
}

void Dateiabbild::Schliessen() {
    if (daten_ != nullptr) {
        ::munmap(daten_, laenge_);
        daten_ = nullptr;
        laenge_ = 0;
    }
    if (platz_ >= 0) {
        Abbildplatz& platz = gAbbildplaetze[platz_];
        platz.laenge.store(0, std::memory_order_release);
        platz.anfang.store(0, std::memory_order_release);
        platz.verkuerzt.store(false);
        platz.belegt.store(false, std::memory_order_release);
        platz_ = -1;
        marke_ = nullptr;
    }
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

Ergebnis<std::int64_t> Dateiabbild::Oeffnen() {
    Schliessen();
    if (const Ergebnis<void> offen = ZumLesenOeffnen(path_, fd_); !offen) {
        return offen.Ursache();
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        const Fehler fehler(Vorgang::Abfragen, path_, errno);
        Schliessen();
        return fehler;
    }
    const auto laenge = static_cast<std::int64_t>(st.st_size);
    if (const Ergebnis<void> abgebildet = Platz(laenge); !abgebildet) {
        Schliessen();
        return abgebildet.Ursache();
    }
    // The last byte once through the file: one cut short since its length
    // was taken is found here, where a start can still stop cleanly, and not
    // at some later read of its end.
    if (laenge > 0) {
        const int err = IoFaults::Check(IoFaults::Op::Read, path_);
        char letztes = 0;
        ssize_t n = -1;
        if (err == 0) {
            do {
                n = ::pread(fd_, &letztes, 1, static_cast<off_t>(laenge - 1));
            } while (n < 0 && errno == EINTR);
        }
        if (n != 1) {
            const Fehler fehler(Vorgang::Lesen, path_,
                                err != 0 ? err : (n < 0 ? errno : Fehler::kVerkuerzt));
            Schliessen();
            return fehler;
        }
    }
    return laenge;
}

Ergebnis<void> Dateiabbild::Platz(std::int64_t bis) {
    if (daten_ != nullptr && static_cast<std::size_t>(std::max<std::int64_t>(bis, 0)) <= laenge_) {
        return {};
    }
    SigbusWaechterEinrichten();
    if (fd_ < 0) {
        if (const Ergebnis<void> offen = ZumLesenOeffnen(path_, fd_); !offen) {
            return offen.Ursache();
        }
    }
    // Mapping is reading, for the fault seam as for the user.
    if (const int err = IoFaults::Check(IoFaults::Op::Read, path_)) {
        return Fehler(Vorgang::Lesen, path_, err);
    }
    if (platz_ < 0) {
        for (int i = 0; i < kAbbildplaetze && platz_ < 0; ++i) {
            bool frei = false;
            if (gAbbildplaetze[i].belegt.compare_exchange_strong(frei, true)) {
                platz_ = i;
            }
        }
        if (platz_ < 0) {
            return Fehler(Vorgang::Lesen, path_, ENOMEM);
        }
        marke_ = &gAbbildplaetze[platz_].verkuerzt;
    }
    // Past the end of the file is allowed as long as nothing there is read;
    // the appends that fill it show through the shared pages.
    const std::size_t laenge = Raum(bis);
    void* neu = ::mmap(nullptr, laenge, PROT_READ, MAP_SHARED, fd_, 0);
    if (neu == MAP_FAILED) {
        return Fehler(Vorgang::Lesen, path_, errno);
    }
    Abbildplatz& platz = gAbbildplaetze[platz_];
    platz.laenge.store(0, std::memory_order_release);
    platz.anfang.store(reinterpret_cast<std::uintptr_t>(neu), std::memory_order_release);
    platz.laenge.store(laenge, std::memory_order_release);
    if (daten_ != nullptr) {
        ::munmap(daten_, laenge_);
    }
    daten_ = static_cast<char*>(neu);
    laenge_ = laenge;
    return {};
}

Fehler Dateiabbild::Abgeschnitten() const {
    // The file's pages in place of the zeros, at the same address, so that
    // a later read sees what the file holds then (or faults again).
    if (daten_ != nullptr && marke_ != nullptr &&
        ::mmap(daten_, laenge_, PROT_READ, MAP_SHARED | MAP_FIXED, fd_, 0) != MAP_FAILED) {
        marke_->store(false);
    }
    return Fehler(Vorgang::Lesen, path_, Fehler::kVerkuerzt);
}

void Dateiabbild::Durchlauf(bool sequenziell) const {
    if (daten_ != nullptr) {
        ::madvise(daten_, laenge_, sequenziell ? MADV_SEQUENTIAL : MADV_NORMAL);
    }
}

void Dateiabbild::Freigeben(std::int64_t von, std::int64_t bis) const {
    if (daten_ == nullptr) {
        return;
    }
    const auto anfang =
        (static_cast<std::size_t>(std::max<std::int64_t>(von, 0)) + gSeite - 1) & ~(gSeite - 1);
    const auto ende =
        std::min(static_cast<std::size_t>(std::max<std::int64_t>(bis, 0)), laenge_) & ~(gSeite - 1);
    if (anfang < ende) {
        ::madvise(daten_ + anfang, ende - anfang, MADV_DONTNEED);
    }
}
