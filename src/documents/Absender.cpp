#include "documents/Absender.h"

#include <algorithm>

#include "documents/Canvas.h"
#include "model/Firmendaten.h"

namespace {

constexpr const char* kTrenner = " \xB7 ";

bool Leer(const std::string& text) {
    return text.find_first_not_of(' ') == std::string::npos;
}

std::string Verbunden(const std::vector<std::string>& teile) {
    std::string text;
    for (const std::string& teil : teile) {
        if (!Leer(teil)) {
            text += (text.empty() ? "" : kTrenner) + teil;
        }
    }
    return text;
}

// The part with its label, or nothing when the value is empty.
std::string Mit(const char* bezeichnung, const std::string& wert) {
    return Leer(wert) ? std::string() : bezeichnung + wert;
}

double Breite(std::size_t zeichen, int zelle) {
    return static_cast<double>(zeichen) * Canvas::kZeichenbreite * zelle;
}

// The largest cell, at most `zelle`, at which the text fits `platz`.
int Passend(const std::string& text, int platz, int zelle) {
    if (text.empty() || Breite(text.size(), zelle) <= platz) {
        return zelle;
    }
    return std::max(0, static_cast<int>(platz / Breite(text.size(), 1)));
}

// What of the text fits `platz` at that cell.
std::string Gekuerzt(std::string text, int platz, int zelle) {
    while (!text.empty() && Breite(text.size(), zelle) > platz) {
        text.pop_back();
    }
    return text;
}

// Below half the asked size a line is no longer read; it is cut instead.
int Kleinste(int zelle) {
    return std::max(1, zelle / 2);
}

}  // namespace

std::vector<std::string> Absender::Blockzeilen(const Firmendaten& firma) {
    // "55232 Alzey", or whichever of the two there is.
    std::string ort = Leer(firma.plz) ? firma.ort : firma.plz;
    if (!Leer(firma.plz) && !Leer(firma.ort)) {
        ort = firma.plz + " " + firma.ort;
    }
    std::vector<std::string> zeilen;
    for (const std::string& zeile : {firma.name, firma.strasse, ort,
                                     Mit("Telefon: ", firma.telefon), Mit("E-Mail: ", firma.email)}) {
        if (!Leer(zeile)) {
            zeilen.push_back(zeile);
        }
    }
    return zeilen;
}

std::string Absender::Einzeilig(const Firmendaten& firma) {
    return Verbunden(Blockzeilen(firma));
}

std::string Absender::IbanGruppiert(const std::string& iban) {
    const std::string normal = Firmendaten::IbanNormal(iban);
    std::string text;
    for (std::size_t i = 0; i < normal.size(); i += 4) {
        text += (text.empty() ? "" : " ") + normal.substr(i, 4);
    }
    return text;
}

std::vector<std::string> Absender::Fusszeilen(const Firmendaten& firma, bool mitBank) {
    std::vector<std::string> zeilen;
    const std::string steuer = Verbunden(
        {Mit("Steuernummer: ", firma.steuernummer), Mit("USt-IdNr.: ", firma.ustId)});
    const std::string bank =
        Verbunden({mitBank ? Mit("Bank: ", firma.bank) : std::string(),
                   Mit("IBAN: ", IbanGruppiert(firma.iban)), Mit("BIC: ", firma.bic)});
    for (const std::string& zeile : {steuer, bank}) {
        if (!zeile.empty()) {
            zeilen.push_back(zeile);
        }
    }
    zeilen.emplace_back("Liefer-/Leistungsdatum: entspricht dem Rechnungsdatum");
    return zeilen;
}

int Absender::BlockZeichnen(Canvas& canvas, const Firmendaten& firma, int links, int rechts,
                            int oben, int zeile) {
    struct Gesetzt {
        std::string text;
        int zelle;
        int weight;
    };
    std::vector<Gesetzt> gesetzt;
    const int platz = rechts - links;
    std::vector<std::string> zeilen = Blockzeilen(firma);
    for (std::size_t i = 0; i < zeilen.size(); ++i) {
        const bool name = i == 0 && !Leer(firma.name);
        const int zelle = name ? static_cast<int>(1.2 * zeile) : zeile;
        int passend = Passend(zeilen[i], platz, zelle);
        std::string text = zeilen[i];
        if (passend < Kleinste(zelle)) {
            passend = Kleinste(zelle);
            text = Gekuerzt(text, platz, passend);
        }
        gesetzt.push_back({text, passend, name ? Canvas::kBold : Canvas::kNormal});
    }
    double breiteste = 0;
    for (const Gesetzt& g : gesetzt) {
        breiteste = std::max(breiteste, Breite(g.text.size(), g.zelle));
    }
    const int x = std::max(links, rechts - static_cast<int>(breiteste + 0.999));
    int y = oben;
    for (const Gesetzt& g : gesetzt) {
        // A line set smaller keeps the pitch of its size.
        const int pitch = g.weight == Canvas::kBold ? static_cast<int>(1.2 * zeile) : zeile;
        canvas.SelectFont(Canvas::kSchrift, g.zelle, g.weight, false);
        canvas.DrawText(x, y, g.text);
        y += pitch;
    }
    return y;
}

void Absender::ZeileZeichnen(Canvas& canvas, const std::string& text, int links, int rechts,
                             int oben, int zeile, int weight) {
    const int platz = rechts - links;
    int zelle = Passend(text, platz, zeile);
    std::string gesetzt = text;
    if (zelle < Kleinste(zeile)) {
        zelle = Kleinste(zeile);
        gesetzt = Gekuerzt(text, platz, zelle);
    }
    if (gesetzt.empty()) {
        return;
    }
    // Set smaller, the line keeps its place at the bottom of its cell, so
    // that it keeps its distance to what follows.
    canvas.SelectFont(Canvas::kSchrift, zelle, weight, false);
    canvas.DrawText(links, oben + zeile - zelle, gesetzt);
}

int Absender::FussZeichnen(Canvas& canvas, const Firmendaten& firma, int links, int rechts,
                           int oben, int unten, int zeile) {
    const int platz = rechts - links;
    const auto passt = [&](const std::vector<std::string>& zeilen, int zelle) {
        if (static_cast<long>(zeilen.size()) * zelle > unten - oben) {
            return false;
        }
        return std::all_of(zeilen.begin(), zeilen.end(), [&](const std::string& z) {
            return Breite(z.size(), zelle) <= platz;
        });
    };
    std::vector<std::string> zeilen = Fusszeilen(firma, true);
    int zelle = zeile;
    if (!passt(zeilen, zelle)) {
        zeilen = Fusszeilen(firma, false);
    }
    if (!passt(zeilen, zelle)) {
        zelle = std::min<int>(zelle, (unten - oben) / static_cast<int>(zeilen.size()));
        for (const std::string& z : zeilen) {
            zelle = std::min(zelle, std::max(Kleinste(zeile), Passend(z, platz, zelle)));
        }
    }
    if (zelle < 1) {
        return unten;
    }
    canvas.SelectFont(Canvas::kSchrift, zelle, Canvas::kNormal, false);
    int y = unten - static_cast<int>(zeilen.size()) * zelle;
    const int anfang = y;
    for (const std::string& z : zeilen) {
        canvas.DrawText(links, y, Gekuerzt(z, platz, zelle));
        y += zelle;
    }
    return anfang;
}
