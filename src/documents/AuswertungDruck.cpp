#include "documents/AuswertungDruck.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "documents/Canvas.h"

namespace {

constexpr const char* kSchrift = "Courier New";

// The table laid out in fixed columns: the heading line and the lines below
// it (rows, and the sum row under a rule).
struct Satz {
    std::string kopf;
    std::vector<std::string> zeilen;
    // Which of the lines is set in bold (the sum row).
    std::vector<bool> fett;
    std::size_t breite = 0;
};

Satz Setzen(const Tabelle& t) {
    const std::size_t n = t.spalten.size();
    std::vector<std::size_t> breiten(n);
    auto zelltext = [&](const Tabelle::Zeile& zeile, std::size_t i) {
        std::string text = t.Text(zeile, i);
        // Names and descriptions are cut to the width the table gives them,
        // so that the numbers stay on the sheet.
        const auto grenze = static_cast<std::size_t>(std::max(t.spalten[i].breite, 3));
        if (!t.Rechtsbuendig(i) && text.size() > grenze) {
            text = text.substr(0, grenze - 1) + "\x85";  // the ellipsis of Windows-1252
        }
        return text;
    };
    for (std::size_t i = 0; i < n; ++i) {
        breiten[i] = t.spalten[i].titel.size();
        for (const Tabelle::Zeile& zeile : t.zeilen) {
            breiten[i] = std::max(breiten[i], zelltext(zeile, i).size());
        }
        if (!t.summe.empty()) {
            breiten[i] = std::max(breiten[i], zelltext(t.summe, i).size());
        }
    }
    auto zeile = [&](auto text) {
        std::string z;
        for (std::size_t i = 0; i < n; ++i) {
            const std::string s = text(i);
            const std::string fuell(breiten[i] - std::min(breiten[i], s.size()), ' ');
            z += (i > 0 ? "  " : "") + (t.Rechtsbuendig(i) ? fuell + s : s + fuell);
        }
        return z;
    };
    Satz satz;
    satz.kopf = zeile([&](std::size_t i) { return t.spalten[i].titel; });
    satz.breite = satz.kopf.size();
    for (const Tabelle::Zeile& z : t.zeilen) {
        satz.zeilen.push_back(zeile([&](std::size_t i) { return zelltext(z, i); }));
        satz.fett.push_back(false);
    }
    if (!t.summe.empty() && !t.zeilen.empty()) {
        satz.zeilen.push_back(std::string(satz.breite, '-'));
        satz.fett.push_back(false);
        satz.zeilen.push_back(zeile([&](std::size_t i) { return zelltext(t.summe, i); }));
        satz.fett.push_back(true);
    }
    return satz;
}

int Seitenzahl(std::size_t zeilen) {
    const auto erste = static_cast<std::size_t>(AuswertungDruck::kZeilenErsteSeite);
    const auto weitere = static_cast<std::size_t>(AuswertungDruck::kZeilenFolgeseite);
    if (zeilen <= erste) {
        return 1;
    }
    return 1 + static_cast<int>((zeilen - erste + weitere - 1) / weitere);
}

}  // namespace

PrintJob AuswertungDruck::Auftrag(const Tabelle& tabelle, const std::string& svg,
                                  const std::string& hinweis) {
    auto satz = std::make_shared<const Satz>(Setzen(tabelle));
    const std::string ueberschrift = tabelle.Ueberschrift();
    PrintJob job;
    job.title = "Auswertung: " + ueberschrift;
    job.pages = Seitenzahl(satz->zeilen.size());
    const int seiten = job.pages;
    job.drawPage = [satz, ueberschrift, svg, hinweis, seiten](Canvas& canvas, int seite, int left,
                                                              int top, int width, int height) {
        const double rand = width * 0.08;
        const double x = left + rand;
        const double breite = width - 2 * rand;
        double y = top + height * 0.06;
        const double unten = top + height * 0.94;

        const int titelHoehe = std::max(1, static_cast<int>(height * 0.022));
        canvas.SelectFont(kSchrift, titelHoehe, Canvas::kBold, false);
        canvas.DrawText(static_cast<int>(x), static_cast<int>(y), ueberschrift);
        y += titelHoehe * 1.4;
        const int kleinHoehe = std::max(1, static_cast<int>(height * 0.014));
        if (!hinweis.empty()) {
            canvas.SelectFont(kSchrift, kleinHoehe, Canvas::kNormal, false);
            canvas.DrawText(static_cast<int>(x), static_cast<int>(y), hinweis);
            y += kleinHoehe * 1.4;
        }
        y += titelHoehe * 0.5;

        // The table's lines share one height on every page: what the first
        // page has room for below the chart, and no wider than the sheet.
        const double bildHoehe = std::min(breite / kBildformat, height * 0.40);
        const double tabelleErste = unten - (y + bildHoehe + titelHoehe);
        const double tabelleWeitere = unten - y;
        double zeile = std::min(tabelleErste / (kZeilenErsteSeite + 2),
                                tabelleWeitere / (kZeilenFolgeseite + 2));
        const double zeichen = std::max<std::size_t>(satz->breite, 1);
        zeile = std::min(zeile, breite / (zeichen * Canvas::kZeichenbreite) * 1.15);
        const int zelle = std::max(1, static_cast<int>(zeile / 1.15));

        if (seite == 1) {
            if (!svg.empty()) {
                const double bildBreite = bildHoehe * kBildformat;
                canvas.DrawPicture(static_cast<int>(x + (breite - bildBreite) / 2),
                                   static_cast<int>(y), static_cast<int>(bildBreite),
                                   static_cast<int>(bildHoehe), svg);
            }
            y += bildHoehe + titelHoehe;
        }
        std::size_t von = 0;
        std::size_t anzahl = kZeilenErsteSeite;
        if (seite > 1) {
            von = kZeilenErsteSeite + static_cast<std::size_t>(seite - 2) * kZeilenFolgeseite;
            anzahl = kZeilenFolgeseite;
        }
        canvas.SelectFont(kSchrift, zelle, Canvas::kBold, false);
        canvas.DrawText(static_cast<int>(x), static_cast<int>(y), satz->kopf);
        y += zeile;
        canvas.SelectFont(kSchrift, zelle, Canvas::kNormal, false);
        canvas.DrawText(static_cast<int>(x), static_cast<int>(y), std::string(satz->breite, '='));
        y += zeile;
        for (std::size_t i = von; i < satz->zeilen.size() && i < von + anzahl; ++i) {
            canvas.SelectFont(kSchrift, zelle, satz->fett[i] ? Canvas::kBold : Canvas::kNormal,
                              false);
            canvas.DrawText(static_cast<int>(x), static_cast<int>(y), satz->zeilen[i]);
            y += zeile;
        }
        if (seiten > 1) {
            canvas.SelectFont(kSchrift, kleinHoehe, Canvas::kNormal, false);
            const std::string fuss =
                "Seite " + std::to_string(seite) + " von " + std::to_string(seiten);
            const double fussBreite = fuss.size() * kleinHoehe * Canvas::kZeichenbreite;
            canvas.DrawText(static_cast<int>(x + breite - fussBreite), static_cast<int>(unten),
                            fuss);
        }
    };
    return job;
}
