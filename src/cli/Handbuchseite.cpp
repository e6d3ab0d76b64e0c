#include "cli/Handbuchseite.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace {

constexpr const char* kAufruf = "Aufruf: ";

std::vector<std::string> Zeilen(const std::string& text) {
    std::vector<std::string> zeilen;
    std::size_t anfang = 0;
    while (anfang < text.size()) {
        const std::size_t ende = text.find('\n', anfang);
        if (ende == std::string::npos) {
            zeilen.push_back(text.substr(anfang));
            break;
        }
        zeilen.push_back(text.substr(anfang, ende - anfang));
        anfang = ende + 1;
    }
    return zeilen;
}

std::size_t Einzug(const std::string& zeile) {
    const std::size_t erstes = zeile.find_first_not_of(' ');
    return erstes == std::string::npos ? zeile.size() : erstes;
}

bool Leer(const std::string& zeile) {
    return Einzug(zeile) == zeile.size();
}

std::string Gross(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

// One entry of an indented run: its term (empty for a bullet) and its text.
struct Eintrag {
    bool punkt = false;
    std::string begriff;
    std::vector<std::string> text;
};

// An indented run as a tagged or bullet list, when each of its entries is
// one; false (nothing written) when it is something else, a table or an
// example line, which then keeps its form.
bool AlsListe(const std::vector<std::string>& zeilen, std::string& roff) {
    const std::size_t basis = Einzug(zeilen.front());
    std::vector<Eintrag> eintraege;
    for (const std::string& zeile : zeilen) {
        const std::size_t einzug = Einzug(zeile);
        const std::string rest = zeile.substr(einzug);
        if (einzug < basis) {
            return false;
        }
        if (einzug > basis) {
            if (eintraege.empty()) {
                return false;
            }
            eintraege.back().text.push_back(rest);
            continue;
        }
        Eintrag eintrag;
        if (rest.rfind("- ", 0) == 0) {
            eintrag.punkt = true;
            eintrag.text.push_back(rest.substr(2));
        } else {
            const std::size_t luecke = rest.find("  ");
            eintrag.begriff = rest.substr(0, luecke);
            if (luecke != std::string::npos) {
                eintrag.text.push_back(rest.substr(rest.find_first_not_of(' ', luecke)));
            }
        }
        eintraege.push_back(std::move(eintrag));
    }
    for (const Eintrag& eintrag : eintraege) {
        if (eintrag.punkt != eintraege.front().punkt || eintrag.text.empty()) {
            return false;
        }
    }
    for (const Eintrag& eintrag : eintraege) {
        roff += eintrag.punkt ? ".IP \\(bu 2\n"
                              : ".TP\n\\fB" + Handbuchseite::Maskiert(eintrag.begriff) + "\\fR\n";
        for (const std::string& zeile : eintrag.text) {
            roff += Handbuchseite::Maskiert(zeile) + "\n";
        }
    }
    return true;
}

// A paragraph of the help (no blank line inside): unindented lines are
// filled text, indented runs lists or kept as they are.
void Absatz(const std::vector<std::string>& zeilen, std::string& roff) {
    bool neuerAbsatz = true;
    std::size_t i = 0;
    while (i < zeilen.size()) {
        std::size_t j = i;
        const bool eingerueckt = Einzug(zeilen[i]) > 0;
        while (j < zeilen.size() && (Einzug(zeilen[j]) > 0) == eingerueckt) {
            ++j;
        }
        const std::vector<std::string> lauf(zeilen.begin() + static_cast<std::ptrdiff_t>(i),
                                            zeilen.begin() + static_cast<std::ptrdiff_t>(j));
        if (!eingerueckt) {
            if (neuerAbsatz) {
                roff += ".PP\n";
            }
            for (const std::string& zeile : lauf) {
                roff += Handbuchseite::Maskiert(zeile) + "\n";
            }
            neuerAbsatz = false;
        } else if (AlsListe(lauf, roff)) {
            // Text after a list starts again at the margin.
            neuerAbsatz = true;
        } else {
            roff += neuerAbsatz ? ".PP\n.nf\n" : ".nf\n";
            for (const std::string& zeile : lauf) {
                roff += Handbuchseite::Maskiert(zeile) + "\n";
            }
            roff += ".fi\n";
            neuerAbsatz = false;
        }
        i = j;
    }
}

// The "Aufruf:" lines without the word, further lines moved along with it.
void Aufruf(const std::vector<std::string>& zeilen, std::string& roff) {
    const std::size_t breite = std::string(kAufruf).size();
    roff += ".nf\n";
    for (const std::string& zeile : zeilen) {
        std::string rest = zeile.rfind(kAufruf, 0) == 0
                               ? zeile.substr(breite)
                               : zeile.substr(std::min(Einzug(zeile), breite));
        roff += Handbuchseite::Maskiert(rest) + "\n";
    }
    roff += ".fi\n";
}

// A help text: its synopsis (the first paragraph, when it is the
// "Aufruf:") and the rest, paragraph by paragraph.
void Hilfetext(const std::string& hilfe, std::string* synopsis, std::string& rest) {
    std::vector<std::vector<std::string>> absaetze(1);
    for (const std::string& zeile : Zeilen(hilfe)) {
        if (Leer(zeile)) {
            if (!absaetze.back().empty()) {
                absaetze.emplace_back();
            }
        } else {
            absaetze.back().push_back(zeile);
        }
    }
    if (absaetze.back().empty()) {
        absaetze.pop_back();
    }
    for (std::size_t i = 0; i < absaetze.size(); ++i) {
        if (i == 0 && absaetze[i].front().rfind(kAufruf, 0) == 0) {
            Aufruf(absaetze[i], synopsis != nullptr ? *synopsis : rest);
        } else {
            Absatz(absaetze[i], rest);
        }
    }
}

}  // namespace

Handbuchseite::Handbuchseite(std::string programm, std::string kurz, std::string version,
                             std::string datum)
    : programm_(std::move(programm)),
      kurz_(std::move(kurz)),
      version_(std::move(version)),
      datum_(std::move(datum)) {}

std::string Handbuchseite::Maskiert(const std::string& text) {
    std::string roff;
    for (char c : text) {
        if (c == '\\') {
            roff += "\\e";
        } else if (c == '-') {
            roff += "\\-";
        } else {
            roff += c;
        }
    }
    if (!roff.empty() && (roff[0] == '.' || roff[0] == '\'')) {
        roff.insert(0, "\\&");
    }
    return roff;
}

std::string Handbuchseite::Roff() const {
    std::string synopsis;
    std::string beschreibung;
    Hilfetext(hilfe_, &synopsis, beschreibung);

    std::string roff = ".\\\" -*- coding: UTF-8 -*-\n";
    roff += ".\\\" Made from the program's --help texts; do not edit.\n";
    roff += ".TH " + Maskiert(Gross(programm_)) + " 1 \"" + datum_ + "\" \"Rebkontor " + version_ +
            "\" \"Rebkontor\"\n";
    // German words broken by English hyphenation rules read badly.
    roff += ".nh\n";
    roff += ".SH BEZEICHNUNG\n" + Maskiert(programm_) + " \\- " + Maskiert(kurz_) + "\n";
    if (!synopsis.empty()) {
        roff += ".SH ÜBERSICHT\n" + synopsis;
    }
    roff += ".SH BESCHREIBUNG\n" + beschreibung;
    if (!unter_.empty()) {
        roff += ".SH " + Maskiert(unterTitel_) + "\n";
        for (const Unterabschnitt& abschnitt : unter_) {
            roff += ".SS " + Maskiert(abschnitt.titel) + "\n";
            std::string text;
            Hilfetext(abschnitt.hilfe, nullptr, text);
            roff += text;
        }
    }
    if (!siehe_.empty()) {
        roff += ".SH SIEHE AUCH\n";
        for (std::size_t i = 0; i < siehe_.size(); ++i) {
            const std::size_t klammer = siehe_[i].find('(');
            roff += ".BR " + Maskiert(siehe_[i].substr(0, klammer)) + " " +
                    siehe_[i].substr(klammer) + (i + 1 < siehe_.size() ? " ," : "") + "\n";
        }
    }
    return roff;
}
