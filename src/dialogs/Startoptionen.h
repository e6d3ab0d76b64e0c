#pragma once

#include <optional>
#include <string>

// The window program's own command line: the working folder, its help and
// its version. Whatever it does not know it leaves in argv for the toolkit,
// which takes its own options (-platform, -style, ...) from there; what the
// toolkit does not know either is a wrong call (Unbekannt).
class Startoptionen {
  public:
    enum class Aktion { Starten, Hilfe, Version, FalscherAufruf };

    static constexpr const char* kProgramm = "rebkontor";
    static constexpr const char* kArbeitsordner = "--arbeitsordner";

    // Reads and removes the program's own options from argv; argc follows.
    static Startoptionen Lesen(int& argc, char** argv);

    // The first argument the toolkit left over, as the German message of a
    // wrong call; empty when there is none. The program takes no files.
    static std::string Unbekannt(int argc, char** argv);

    // `rebkontor --help` (UTF-8); the manual page is made from it too.
    static const char* Hilfe();

    // "Rebkontor 1.1" from the version record of the program file, the same
    // the about box shows.
    static std::string Versionszeile(const std::string& programmDatei);

    // A leading "~" stands for the home folder, as in a shell: a desktop
    // entry starts the program without one, and its default working folder
    // is "~/Rebkontor". `home` empty: the folder stays as it is.
    static std::string HomeErsetzen(const std::string& ordner, const std::string& home);
    // The user's home folder ($HOME, else the password database); empty
    // when there is none.
    static std::string Home();

    // The manual the help menu opens: doc/index.htm below the working
    // folder, as ever, when it is there; else the one installed with the
    // program (share/doc/rebkontor beside its bin folder), when that is
    // there; else doc/index.htm, whose absence the menu then reports.
    static std::string Handbuch(const std::string& programmDatei);

    Aktion aktion = Aktion::Starten;
    // The folder to work in, "~" already replaced; none: the working
    // directory the program was started in.
    std::optional<std::string> arbeitsordner;
    // For FalscherAufruf: what is wrong, in German (UTF-8).
    std::string fehler;
};
