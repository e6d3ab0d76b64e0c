#include <iostream>
#include <string>
#include <vector>

#include "cli/RebkontorCli.h"

#ifdef REBKONTOR_MIT_PDF
#include <QGuiApplication>
#include <QtGlobal>
#include <clocale>
#include <memory>

#include "printing/RechnungAlsPdf.h"
#include "printing/ZugferdPdf.h"

namespace {

// The toolkit's own notes (a missing runtime directory, font fallbacks) are
// no messages of this program; only its errors reach the user.
void QtMeldung(QtMsgType art, const QMessageLogContext&, const QString& text) {
    if (art == QtCriticalMsg || art == QtFatalMsg) {
        std::cerr << "rebkontor-cli: Qt: " << text.toStdString() << std::endl;
    }
}

}  // namespace
#endif

#ifdef REBKONTOR_PDF_PROGRAMM
#include <unistd.h>

#include <climits>

namespace {

// Whether the command line asks for the command "rechnung" (its options come
// first; "-C" takes the next word).
bool PdfBefehl(const std::vector<std::string>& argumente) {
    std::size_t i = 0;
    for (; i < argumente.size() && !argumente[i].empty() && argumente[i][0] == '-'; ++i) {
        if (argumente[i] == "-C") {
            ++i;
        }
    }
    return i < argumente.size() && argumente[i] == "rechnung";
}

// The PDF program beside this one.
std::string PdfProgramm() {
    char pfad[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", pfad, sizeof pfad - 1);
    if (n <= 0) {
        return {};
    }
    std::string programm(pfad, static_cast<std::size_t>(n));
    return programm.substr(0, programm.find_last_of('/') + 1) + REBKONTOR_PDF_PROGRAMM;
}

}  // namespace
#endif

int main(int argc, char** argv) {
    std::vector<std::string> argumente(argv + 1, argv + argc);
#ifdef REBKONTOR_PDF_PROGRAMM
    if (PdfBefehl(argumente)) {
        // Before anything else, so that it sees the same working directory
        // and arguments. Should it not start, this program says that it has
        // no PDF output.
        const std::string programm = PdfProgramm();
        if (!programm.empty()) {
            ::execv(programm.c_str(), argv);
        }
    }
#endif
    RebkontorCli cli(std::cout, std::cerr);
#ifdef REBKONTOR_MIT_PDF
    // Text on a PDF page needs the toolkit's fonts, and so an application
    // object; without a display the offscreen platform will do. Only the
    // PDF output creates it.
    static int qtArgc = 3;
    static char qtName[] = "rebkontor-cli";
    static char qtOption[] = "-platform";
    static char qtPlatform[] = "offscreen";
    static char* qtArgv[] = {qtName, qtOption, qtPlatform, nullptr};
    std::unique_ptr<QGuiApplication> app;
    auto toolkit = [&] {
        if (!app) {
            qInstallMessageHandler(QtMeldung);
            app = std::make_unique<QGuiApplication>(qtArgc, qtArgv);
            // Qt hands the desktop's locale to the C library; the amounts on
            // the pages keep their decimal point all the same.
            std::setlocale(LC_NUMERIC, "C");
        }
    };
    cli.SetZugferdAusgabe([&](const std::string& datei, Verwaltungen& verwaltungen,
                              const Rechnung& rechnung, const std::string& xml,
                              std::string& fehler) {
        toolkit();
        return ZugferdPdf(datei, verwaltungen, rechnung, xml, fehler);
    });
    cli.SetPdfAusgabe([&](const std::string& datei, Verwaltungen& verwaltungen,
                          const Rechnung& rechnung, bool packliste, bool kundenRechnung,
                          bool interneRechnung) {
        toolkit();
        return RechnungAlsPdf(datei, verwaltungen, rechnung, packliste, kundenRechnung,
                              interneRechnung);
    });
#endif
    return cli.Ausfuehren(argumente);
}
