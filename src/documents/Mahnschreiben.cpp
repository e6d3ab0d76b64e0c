#include "documents/Mahnschreiben.h"

#include <algorithm>
#include <cstdio>

#include "documents/Absender.h"
#include "documents/GiroCode.h"
#include "model/Rechnungsbetrag.h"
#include "storage/CodePage.h"
#include "storage/Customizer.h"
#include "storage/FixedText.h"

namespace {

constexpr const char* kNichtVerfuegbar = "N/A";
// Characters of a line at the normal size, as wide as the invoice's table.
constexpr std::size_t kBreite = 81;
// The reference page the number of pages is counted on: the layout is in
// fractions of the page, so every device breaks the lines alike.
constexpr int kA4Breite = 2100;
constexpr int kA4Hoehe = 2970;

std::string Rechts(const std::string& text, std::size_t ende, std::string zeile) {
    const std::size_t anfang = text.size() < ende ? ende - text.size() : 0;
    if (zeile.size() < anfang) {
        zeile.resize(anfang, ' ');
    }
    zeile.resize(anfang);
    return zeile + text;
}

std::string Links(const std::string& text, std::size_t spalte, std::string zeile) {
    if (zeile.size() < spalte) {
        zeile.resize(spalte, ' ');
    }
    zeile.resize(spalte);
    return zeile + text;
}

// Breaks a paragraph into lines of at most `breite` characters at blanks; a
// word longer than a line is cut into pieces.
std::vector<std::string> Umbrechen(const std::string& absatz, std::size_t breite) {
    std::vector<std::string> zeilen;
    std::string zeile;
    std::size_t i = 0;
    while (i < absatz.size()) {
        const std::size_t ende = std::min(absatz.find(' ', i), absatz.size());
        std::string wort = absatz.substr(i, ende - i);
        i = ende + 1;
        while (wort.size() > breite) {
            if (!zeile.empty()) {
                zeilen.push_back(zeile);
                zeile.clear();
            }
            zeilen.push_back(wort.substr(0, breite));
            wort.erase(0, breite);
        }
        if (wort.empty()) {
            continue;
        }
        if (zeile.empty()) {
            zeile = wort;
        } else if (zeile.size() + 1 + wort.size() <= breite) {
            zeile += " " + wort;
        } else {
            zeilen.push_back(zeile);
            zeile = wort;
        }
    }
    if (!zeile.empty() || zeilen.empty()) {
        zeilen.push_back(zeile);
    }
    return zeilen;
}

std::string Ersetzen(std::string text, const std::string& was, const std::string& durch) {
    for (std::size_t pos = text.find(was); pos != std::string::npos;
         pos = text.find(was, pos + durch.size())) {
        text.replace(pos, was.size(), durch);
    }
    return text;
}

std::string DatumText(Datum datum) {
    return datum.IsValid() ? datum.Text() : std::string(kNichtVerfuegbar);
}

}  // namespace

Mahnschreiben::Mahnschreiben(const Mahnbrief& brief, const Kunde* kunde, const Firmendaten& firma,
                             const Mahntexte& texte, const Customizer* einstellungen, Datum datum)
    : brief_(brief), firma_(firma), stufe_(texte.Von(brief.stufe)), datum_(datum) {
    if (kunde != nullptr) {
        kunde_ = *kunde;
    }
    waehrung_ = einstellungen != nullptr ? einstellungen->Waehrung() : std::string();
    const bool euro = einstellungen != nullptr && einstellungen->preiseInEuro != 0;
    GiroCode::Zahlung zahlung =
        GiroCode::Fuer(firma_, euro, brief_.Gesamt(), brief_.Verwendungszweck());
    hinweis_ = zahlung.hinweis;
    if (zahlung.symbol) {
        giroCode_ = std::move(zahlung.symbol);
        giroText_ = zahlung.text;
    }
    seiten_ = Setzen(nullptr, 0, 0, 0, kA4Breite, kA4Hoehe);
}

std::string Mahnschreiben::Betrag(std::int64_t cent) const {
    return (waehrung_.empty() ? "" : waehrung_ + " ") + Rechnungsbetrag::Text(cent);
}

std::string Mahnschreiben::Titel() const {
    return stufe_.titel;
}

std::vector<std::string> Mahnschreiben::Textzeilen() const {
    std::string text =
        Ersetzen(stufe_.text, Mahntexte::kPlatzhalterFaellig, DatumText(brief_.Faelligkeit()));
    text = Ersetzen(text, Mahntexte::kPlatzhalterBetrag, Betrag(brief_.Gesamt()));
    std::vector<std::string> zeilen;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t ende = text.find('\n', start);
        if (ende == std::string::npos) {
            ende = text.size();
        }
        for (std::string& z : Umbrechen(text.substr(start, ende - start), kBreite)) {
            zeilen.push_back(std::move(z));
        }
        start = ende + 1;
    }
    return zeilen;
}

std::vector<std::string> Mahnschreiben::Tabellenzeilen() const {
    std::vector<std::string> zeilen;
    std::string kopf = Links("Rechnung", 0, "");
    kopf = Links("Datum", 10, kopf);
    kopf = Links("Fällig am"_w, 22, kopf);
    kopf = Rechts("Betrag", 49, kopf);
    kopf = Rechts("Erhalten", 65, kopf);
    kopf = Rechts("Offen", kBreite, kopf);
    zeilen.push_back(kopf);
    for (const OffenerPosten& p : brief_.posten) {
        std::string z = Links(std::to_string(p.nummer), 0, "");
        z = Links(DatumText(p.datum), 10, z);
        z = Links(DatumText(p.faellig), 22, z);
        z = Rechts(Rechnungsbetrag::Text(p.endbetrag), 49, z);
        z = Rechts(Rechnungsbetrag::Text(p.eingegangen), 65, z);
        z = Rechts(Rechnungsbetrag::Text(p.offen), kBreite, z);
        zeilen.push_back(z);
    }
    zeilen.push_back(Rechts(Betrag(brief_.offen), kBreite, Links("Summe offen", 38, "")));
    zeilen.push_back(Rechts(Betrag(brief_.gebuehr), kBreite, Links("Mahngebühr"_w, 38, "")));
    zeilen.push_back(Rechts(Betrag(brief_.Gesamt()), kBreite, Links("Jetzt fällig"_w, 38, "")));
    return zeilen;
}

std::vector<Mahnschreiben::Zeile> Mahnschreiben::Fluss() const {
    std::vector<Zeile> fluss;
    fluss.push_back({Titel(), 1.5, true, 2.5});
    for (const std::string& z : Textzeilen()) {
        fluss.push_back({z, 1, false, 1});
    }
    fluss.back().vorschub = 2;
    const std::vector<std::string> tabelle = Tabellenzeilen();
    for (std::size_t i = 0; i < tabelle.size(); ++i) {
        const bool kopf = i == 0;
        const bool summe = i + 3 == tabelle.size();
        const bool gesamt = i + 1 == tabelle.size();
        if (summe) {
            fluss.push_back({std::string(kBreite - 20, ' ') + std::string(20, '_'), 1, false, 1.5});
        }
        fluss.push_back({tabelle[i], 1, kopf || gesamt, kopf ? 1.5 : 1});
    }
    return fluss;
}

int Mahnschreiben::Setzen(Canvas* canvas, int seite, int left, int top, int width,
                          int height) const {
    const int L = std::max(1, height / 65);
    const int links = left + width / 25;
    const auto breite = [&](std::size_t n, double k) {
        return static_cast<int>(static_cast<double>(n) * Canvas::kZeichenbreite *
                                static_cast<int>(k * L));
    };
    const int rechts = links + breite(kBreite, 1);
    // The seller's footer: tax number and bank, at the bottom of each page.
    std::vector<std::string> fuss;
    for (const std::string& z : Absender::Fusszeilen(firma_, true)) {
        // Only an invoice has a delivery date.
        if (z.rfind("Liefer", 0) != 0) {
            fuss.push_back(z);
        }
    }
    const int fussZelle = static_cast<int>(0.6 * L);
    const int unten =
        top + height - height / 40 - static_cast<int>(fuss.size()) * fussZelle - L / 2;

    int aktuell = 1;
    const bool zeichnen = canvas != nullptr;
    const auto seiteBeginnen = [&](int n) {
        if (!zeichnen || n != seite) {
            return;
        }
        canvas->PlayLetterhead(left, top, width, height);
        if (!canvas->HasLetterhead() && firma_.Vorhanden()) {
            if (n == 1) {
                Absender::BlockZeichnen(*canvas, firma_, links, rechts, top + height / 20,
                                        static_cast<int>(0.9 * L));
            } else {
                Absender::ZeileZeichnen(*canvas, Absender::Einzeilig(firma_), links, rechts,
                                        top + height / 40, fussZelle, Canvas::kNormal);
            }
        }
        int zeile = top + height - height / 40 - static_cast<int>(fuss.size()) * fussZelle;
        for (const std::string& z : fuss) {
            Absender::ZeileZeichnen(*canvas, z, links, rechts, zeile, fussZelle, Canvas::kNormal);
            zeile += fussZelle;
        }
    };
    const auto text = [&](int x, int y, double k, bool fett, const std::string& t) {
        if (zeichnen && aktuell == seite) {
            canvas->SelectFont(Canvas::kSchrift, static_cast<int>(k * L),
                               fett ? Canvas::kBold : Canvas::kNormal, false);
            canvas->DrawText(x, y, t);
        }
    };

    seiteBeginnen(1);
    // The address in the window of the envelope, as on the invoice.
    int y = top + height / 5;
    const int adresse = left + width / 9;
    std::string name;
    if (kunde_) {
        for (const std::string& teil :
             {FixedText::Get(kunde_->Anrede), FixedText::Get(kunde_->Vorname),
              FixedText::Get(kunde_->Nachname)}) {
            if (!teil.empty()) {
                name += (name.empty() ? "" : " ") + teil;
            }
        }
    } else {
        name = kNichtVerfuegbar;
    }
    text(adresse, y, 1, false, name);
    y += L;
    text(adresse, y, 1, false, kunde_ ? FixedText::Get(kunde_->Strasse) : kNichtVerfuegbar);
    y += 2 * L;
    std::string ort = kunde_ ? FixedText::Get(kunde_->Ort) : kNichtVerfuegbar;
    if (kunde_ && kunde_->PLZ > 0) {
        ort = std::to_string(kunde_->PLZ) + " " + ort;
    }
    text(adresse, y, 1.2, true, ort);
    const std::string datum = datum_.Text();
    text(rechts - breite(datum.size(), 1), top + static_cast<int>(height * 0.284), 1, false, datum);
    y = top + static_cast<int>(height * 0.33);

    for (const Zeile& z : Fluss()) {
        const int hoehe = static_cast<int>(z.groesse * L);
        if (y + hoehe > unten) {
            ++aktuell;
            seiteBeginnen(aktuell);
            y = top + height / 10;
            text(links, y, 0.8, false, Titel() + " (Seite " + std::to_string(aktuell) + ")");
            y += 2 * L;
        }
        text(links, y, z.groesse, z.fett, z.text);
        y += static_cast<int>(z.vorschub * L);
    }
    if (giroCode_) {
        const GiroCode::Masse m = GiroCode::Platz(*giroCode_, height);
        y += L / 2;
        if (y + m.hoehe > unten) {
            ++aktuell;
            seiteBeginnen(aktuell);
            y = top + height / 10;
        }
        if (zeichnen && aktuell == seite) {
            GiroCode::Zeichnen(*canvas, *giroCode_, m, std::max(left, links - m.ruhezone), y);
        }
    }
    return aktuell;
}

void Mahnschreiben::Layout(Canvas& canvas, int seite, int left, int top, int width,
                           int height) const {
    Setzen(&canvas, seite, left, top, width, height);
}

PrintJob Mahnschreiben::Auftrag() const {
    PrintJob job;
    const std::string nachname = kunde_ ? FixedText::Get(kunde_->Nachname) : kNichtVerfuegbar;
    const std::string vorname = kunde_ ? FixedText::Get(kunde_->Vorname) : kNichtVerfuegbar;
    job.title = "(Rkon) Mahnung: " + nachname + " " + vorname;
    job.paperSource = 1;
    job.pages = seiten_;
    job.note = hinweis_;
    const Mahnschreiben kopie = *this;
    job.drawPage = [kopie](Canvas& canvas, int page, int left, int top, int width, int height) {
        kopie.Layout(canvas, page, left, top, width, height);
    };
    return job;
}
