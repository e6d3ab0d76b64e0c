// rebkontor-cli-pdf: rebkontor-cli with the toolkit, for the command lines
// that ask for PDF pages (rebkontor-cli hands them over); any other command
// runs here just as well.
#include <QGuiApplication>
#include <QtGlobal>
#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "cli/RebkontorCli.h"
#include "printing/PdfAusgabe.h"

namespace {

// The toolkit's own notes (a missing runtime directory, font fallbacks) are
// no messages of this program; only its errors reach the user.
void QtMeldung(QtMsgType art, const QMessageLogContext&, const QString& text) {
    if (art == QtCriticalMsg || art == QtFatalMsg) {
        std::cerr << "rebkontor-cli: Qt: " << text.toStdString() << std::endl;
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> argumente(argv + 1, argv + argc);
    // Text on a PDF page needs the toolkit's fonts, and so an application
    // object; without a display the offscreen platform will do.
    int qtArgc = 3;
    char qtName[] = "rebkontor-cli";
    char qtOption[] = "-platform";
    char qtPlatform[] = "offscreen";
    char* qtArgv[] = {qtName, qtOption, qtPlatform, nullptr};
    qInstallMessageHandler(QtMeldung);
    QGuiApplication app(qtArgc, qtArgv);
    // Qt hands the desktop's locale to the C library; the amounts on the
    // pages keep their decimal point all the same.
    std::setlocale(LC_NUMERIC, "C");
    PdfAusgabe ausgabe;
    RebkontorCli cli(std::cout, std::cerr, &ausgabe);
    return cli.Ausfuehren(argumente);
}
