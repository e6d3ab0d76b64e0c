// rebkontor-cli: starts without the toolkit, whose libraries take longer to
// load than a whole search takes. A command line that asks for PDF pages
// becomes rebkontor-cli-pdf, the sibling program that has the toolkit.
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "cli/RebkontorCli.h"

namespace {

constexpr const char* kGeschwister = "rebkontor-cli-pdf";
// Installed, the helper is no command of its own and lives apart from the
// programs in bin: libexec/rebkontor beside it.
constexpr const char* kInstalliert = "../libexec/rebkontor/";

// This program's own path, for the sibling beside it.
std::string Selbst(const char* aufgerufen) {
    char pfad[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", pfad, sizeof pfad - 1);
    return n > 0 ? std::string(pfad, static_cast<std::size_t>(n)) : std::string(aufgerufen);
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> argumente(argv + 1, argv + argc);
    if (RebkontorCli::BrauchtToolkit(argumente)) {
        // In the same working directory and with the same arguments.
        const std::string selbst = Selbst(argv[0]);
        const std::string ordner = selbst.substr(0, selbst.find_last_of('/') + 1);
        std::string programm = ordner + kGeschwister;
        ::execv(programm.c_str(), argv);
        if (errno == ENOENT) {
            programm = ordner + kInstalliert + kGeschwister;
            ::execv(programm.c_str(), argv);
        }
        const std::string installiert =
            std::filesystem::path(ordner + kInstalliert).lexically_normal().string();
        const std::string grund =
            errno == ENOENT
                ? std::string("das Hilfsprogramm ") + kGeschwister + " fehlt neben »" + selbst +
                      "« und in »" + installiert.substr(0, installiert.size() - 1) + "«."
                : "das Hilfsprogramm »" + programm + "« lässt sich nicht starten.";
        std::cerr << "rebkontor-cli: Die PDF-Datei kann nicht geschrieben werden: " << grund
                  << std::endl;
        return RebkontorCli::kProbleme;
    }
    RebkontorCli cli(std::cout, std::cerr);
    return cli.Ausfuehren(argumente);
}
