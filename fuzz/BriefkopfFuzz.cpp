// The letterhead picture "bkopf.emf": the check of the metafile, its
// conversion to SVG (in a child process) and the drawing of the SVG. Whatever
// the file holds, the program either has a picture or none, and never
// crashes or hangs.

#include <pthread.h>
#include <signal.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzVerzeichnis.h"
#include "printing/Briefkopf.h"

extern "C" __attribute__((weak)) void __sanitizer_set_death_callback(void (*)(void));

namespace {

// The conversion runs the library in a child process so that the program
// survives whatever the library does. The child inherits the fuzzer's crash
// handling, which would report the child's end as a crash of the program;
// the child gets the plain handling back.
void KindOhneFuzzer() {
    for (int signal : {SIGSEGV, SIGBUS, SIGABRT, SIGILL, SIGFPE, SIGXCPU}) {
        ::signal(signal, SIG_DFL);
    }
    if (__sanitizer_set_death_callback != nullptr) {
        __sanitizer_set_death_callback(nullptr);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "fuzz_briefkopf";
    static char* argv[] = {name, nullptr};
    static QGuiApplication anwendung(argc, argv);
    ::pthread_atfork(nullptr, nullptr, KindOhneFuzzer);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FuzzVerzeichnis::Sitzung sitzung;
    FuzzVerzeichnis::Schreiben(Briefkopf::kDatei,
                               std::string(reinterpret_cast<const char*>(data), size));
    const Briefkopf briefkopf;
    if (briefkopf.Geladen()) {
        QImage seite(210, 297, QImage::Format_ARGB32);
        seite.fill(Qt::white);
        QPainter painter(&seite);
        briefkopf.Abspielen(painter, QRectF(10, 10, 190, 60));
    }
    return 0;
}
