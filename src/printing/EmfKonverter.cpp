#include "printing/EmfKonverter.h"

#include <emf2svg.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <clocale>
#include <cstdlib>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define REBKONTOR_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define REBKONTOR_ASAN 1
#endif
#endif

namespace {

bool AllesSchreiben(int fd, const char* daten, std::size_t laenge) {
    while (laenge > 0) {
        const ssize_t n = ::write(fd, daten, laenge);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        daten += n;
        laenge -= static_cast<std::size_t>(n);
    }
    return true;
}

// Runs in the child: does the work and hands its result to the pipe.
[[noreturn]] void Kind(const std::function<std::optional<std::string>()>& arbeit, int sekunden,
                       int ausgang) {
    const int nichts = ::open("/dev/null", O_WRONLY);
    if (nichts >= 0) {
        ::dup2(nichts, STDOUT_FILENO);
        ::dup2(nichts, STDERR_FILENO);
    }
    const rlim_t cpu = static_cast<rlim_t>(sekunden);
    rlimit zeit{cpu, cpu};
    ::setrlimit(RLIMIT_CPU, &zeit);
#ifndef REBKONTOR_ASAN
    // The sanitizer reserves far more address space than this for itself.
    constexpr rlim_t kSpeicher = 1024UL * 1024 * 1024;
    rlimit speicher{kSpeicher, kSpeicher};
    ::setrlimit(RLIMIT_AS, &speicher);
#endif
    const std::optional<std::string> ergebnis = arbeit();
    const bool geschrieben = ergebnis && !ergebnis->empty() &&
                             ergebnis->size() <= EmfKonverter::kHoechstAusgabe &&
                             AllesSchreiben(ausgang, ergebnis->data(), ergebnis->size());
    ::_exit(geschrieben ? 0 : 1);
}

std::optional<std::string> Libemf2svg(std::string& emf, double breite, double hoehe) {
    // The library prints its numbers with printf; a German locale would
    // give decimal commas, which no SVG reader accepts. (This is the
    // child's own locale.)
    std::setlocale(LC_NUMERIC, "C");
    generatorOptions optionen{};
    optionen.nameSpace = nullptr;
    optionen.verbose = false;
    // Files with EMF+ records also carry their plain drawing, which is
    // what is played here.
    optionen.emfplus = false;
    optionen.svgDelimiter = true;
    optionen.imgWidth = breite;
    optionen.imgHeight = hoehe;
    char* svg = nullptr;
    std::size_t laenge = 0;
    const int ok = emf2svg(emf.data(), emf.size(), &svg, &laenge, &optionen);
    std::optional<std::string> ergebnis;
    if (ok == 1 && svg != nullptr) {
        ergebnis.emplace(svg, laenge);
    }
    std::free(svg);
    return ergebnis;
}

}  // namespace

std::optional<std::string> EmfKonverter::NachSvg(std::string_view emf, double breite,
                                                 double hoehe) {
    // The library wants writable input; the child works on its own copy.
    std::string eingabe(emf);
    return ImKindprozess([&] { return Libemf2svg(eingabe, breite, hoehe); }, kHoechstSekunden);
}

std::optional<std::string> EmfKonverter::ImKindprozess(
    const std::function<std::optional<std::string>()>& arbeit, int sekunden) {
    int rohr[2];
    if (::pipe2(rohr, O_CLOEXEC) != 0) {
        return std::nullopt;
    }
    const pid_t kind = ::fork();
    if (kind < 0) {
        ::close(rohr[0]);
        ::close(rohr[1]);
        return std::nullopt;
    }
    if (kind == 0) {
        ::close(rohr[0]);
        Kind(arbeit, sekunden, rohr[1]);
    }
    ::close(rohr[1]);

    using Uhr = std::chrono::steady_clock;
    const auto ende = Uhr::now() + std::chrono::seconds(sekunden);
    std::string ausgabe;
    bool abgebrochen = false;
    std::vector<char> puffer(64 * 1024);
    for (;;) {
        const auto rest =
            std::chrono::duration_cast<std::chrono::milliseconds>(ende - Uhr::now()).count();
        if (rest <= 0) {
            abgebrochen = true;
            break;
        }
        pollfd warten{rohr[0], POLLIN, 0};
        const int bereit = ::poll(&warten, 1, static_cast<int>(rest));
        if (bereit < 0 && errno == EINTR) {
            continue;
        }
        if (bereit <= 0) {
            abgebrochen = true;
            break;
        }
        const ssize_t n = ::read(rohr[0], puffer.data(), puffer.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            abgebrochen = true;
            break;
        }
        if (n == 0) {
            break;
        }
        if (ausgabe.size() + static_cast<std::size_t>(n) > kHoechstAusgabe) {
            abgebrochen = true;
            break;
        }
        ausgabe.append(puffer.data(), static_cast<std::size_t>(n));
    }
    ::close(rohr[0]);
    if (abgebrochen) {
        ::kill(kind, SIGKILL);
    }
    int status = 0;
    pid_t beendet;
    while ((beendet = ::waitpid(kind, &status, 0)) < 0 && errno == EINTR) {
    }
    if (beendet != kind || abgebrochen || !WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
        ausgabe.empty()) {
        return std::nullopt;
    }
    return ausgabe;
}
