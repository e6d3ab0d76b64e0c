#pragma once

#include <string>

// The German help texts of rebkontor-cli, in Windows-1252 like every text of
// the program (the terminal gets them in UTF-8).
class Hilfe {
  public:
    // The overview: how to call the tool, the commands, the exit statuses.
    static std::string Allgemein();
    // The help of one command; empty for a name that is no command.
    static std::string Befehl(const std::string& name);
    // Whether the name is a command.
    static bool IstBefehl(const std::string& name) { return !Befehl(name).empty(); }
};
