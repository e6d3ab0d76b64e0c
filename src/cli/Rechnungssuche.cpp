#include "cli/Rechnungssuche.h"

#include <cstdlib>
#include <string_view>

#include "cli/Rechnungsstrom.h"
#include "model/PostenVerwaltung.h"
#include "model/Rechnung.h"
#include "model/Rechnungsbetrag.h"
#include "storage/Customizer.h"
#include "storage/Feldtabelle.h"
#include "storage/File.h"

namespace {

constexpr std::size_t kPosten = PostenVerwaltung::Posten::DiskSize;
constexpr std::size_t kRechnung = Rechnung::DiskSize;

bool InDM(const Customizer* einstellungen) {
    return einstellungen == nullptr || einstellungen->preiseInEuro == 0;
}

Rechnungssuche::Treffer AusSatz(std::string_view satz, std::int64_t summe) {
    return {Feldwert<&Rechnung::id>(satz), Feldwert<&Rechnung::nummer>(satz),
            Feldwert<&Rechnung::kunde>(satz), Feldwert<&Rechnung::datum>(satz), summe};
}

}  // namespace

std::vector<Rechnungssuche::Treffer> Rechnungssuche::NachBetrag(const std::string& verzeichnis,
                                                                std::int64_t betrag,
                                                                std::int64_t toleranz,
                                                                const Customizer* einstellungen) {
    const bool inDM = InDM(einstellungen);
    // The items first, as the data set reads them: no invoice read after
    // can name an item the count does not hold.
    const File posten = Rechnungsstrom::Oeffnen(verzeichnis + "/rechnungsposten.dat");
    const auto anzahl = static_cast<std::int32_t>(Rechnungsstrom::Saetze(posten, kPosten));
    Kettenlauf lauf(posten, anzahl);

    // What the search keeps of a live invoice; the rest of a hit's record
    // is read again at its position, so that the many invoices that are no
    // hit cost twelve bytes each beside their place in the walk.
    std::vector<std::int32_t> ids;
    std::vector<std::uint32_t> saetze;
    std::vector<float> summen;
    const File rechnungen = Rechnungsstrom::Oeffnen(verzeichnis + "/rechnungen.dat");
    const auto lebende = static_cast<std::size_t>(Rechnungsstrom::Saetze(rechnungen, kRechnung));
    ids.reserve(lebende);
    saetze.reserve(lebende);
    lauf.Reservieren(lebende);
    Rechnungsstrom::JederSatz(rechnungen, kRechnung, [&](std::uint32_t n, std::string_view satz) {
        if (Feldwert<&Rechnung::kartons>(satz) == Rechnung::kGeloescht) {
            return;
        }
        ids.push_back(Feldwert<&Rechnung::id>(satz));
        saetze.push_back(n);
        lauf.Anmelden(Feldwert<&Rechnung::postenKopf>(satz));
    });
    summen.assign(ids.size(), 0.0f);

    // The items of each chain in its order: added up in exactly the order
    // (and single precision) of the window's walk.
    using P = PostenVerwaltung::Posten;
    lauf.Gehen([&](std::uint32_t platz, std::string_view bild) {
        if (Feldwert<&P::rechnung>(bild) == ids[platz]) {
            const float preis = inDM ? Feldwert<&P::preisDM>(bild) : Feldwert<&P::preisEuro>(bild);
            summen[platz] += static_cast<float>(Feldwert<&P::menge>(bild)) * preis;
        }
    });

    std::vector<Treffer> treffer;
    char bild[kRechnung];
    for (std::size_t platz = ids.size(); platz-- > 0;) {
        const std::int64_t summe = Rechnungsbetrag::Cent(summen[platz]);
        if (std::llabs(summe - betrag) > toleranz) {
            continue;
        }
        Rechnungsstrom::Lesen(rechnungen, std::int64_t{saetze[platz]} * std::int64_t{kRechnung},
                              bild, sizeof bild);
        treffer.push_back(AusSatz(std::string_view(bild, sizeof bild), summe));
    }
    return treffer;
}

std::vector<Rechnungssuche::Treffer> Rechnungssuche::NachNummer(const std::string& verzeichnis,
                                                                std::int32_t nummer,
                                                                const Customizer* einstellungen) {
    const bool inDM = InDM(einstellungen);
    const File posten = Rechnungsstrom::Oeffnen(verzeichnis + "/rechnungsposten.dat");
    const std::int64_t anzahl = Rechnungsstrom::Saetze(posten, kPosten);
    std::vector<Treffer> treffer;
    std::vector<std::int32_t> koepfe;
    const File rechnungen = Rechnungsstrom::Oeffnen(verzeichnis + "/rechnungen.dat");
    Rechnungsstrom::JederSatz(rechnungen, kRechnung, [&](std::uint32_t, std::string_view satz) {
        if (Feldwert<&Rechnung::nummer>(satz) != nummer ||
            Feldwert<&Rechnung::kartons>(satz) == Rechnung::kGeloescht) {
            return;
        }
        treffer.push_back(AusSatz(satz, 0));
        koepfe.push_back(Feldwert<&Rechnung::postenKopf>(satz));
    });
    // A number is given to few invoices: their chains are short, the item
    // file is long.
    for (std::size_t i = 0; i < treffer.size(); ++i) {
        treffer[i].summe = Rechnungsbetrag::Cent(
            PostenVerwaltung::SummeAusDatei(posten, anzahl, koepfe[i], treffer[i].id, inDM));
    }
    return {treffer.rbegin(), treffer.rend()};
}
