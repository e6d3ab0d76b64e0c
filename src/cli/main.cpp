#include <iostream>
#include <string>
#include <vector>

#include "cli/RebkontorCli.h"

#ifdef REBKONTOR_MIT_PDF
#include <QGuiApplication>
#include <memory>

#include "printing/RechnungAlsPdf.h"
#endif

int main(int argc, char** argv) {
    std::vector<std::string> argumente(argv + 1, argv + argc);
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
    cli.SetPdfAusgabe([&](const std::string& datei, Verwaltungen& verwaltungen,
                          const Rechnung& rechnung, bool packliste, bool kundenRechnung,
                          bool interneRechnung) {
        if (!app) {
            app = std::make_unique<QGuiApplication>(qtArgc, qtArgv);
        }
        return RechnungAlsPdf(datei, verwaltungen, rechnung, packliste, kundenRechnung,
                              interneRechnung);
    });
#endif
    return cli.Ausfuehren(argumente);
}
