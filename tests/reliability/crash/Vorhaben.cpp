#include "Vorhaben.h"

#include <sstream>

Vorhaben Vorhaben::Aus(const std::string& text) {
    std::istringstream in(text);
    std::string art;
    in >> art;
    std::vector<std::string> argumente;
    for (std::string wort; in >> wort;) {
        argumente.push_back(wort);
    }
    return Vorhaben(art, argumente);
}

std::string Vorhaben::Text() const {
    std::string text = art_;
    for (const std::string& wort : argumente_) {
        text += " " + wort;
    }
    return text;
}
