#include "cli/Datenpruefung.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <utility>

#include "cli/Beispieldaten.h"
#include "model/DatevExporte.h"
#include "model/Datenersatz.h"
#include "model/Firmendaten.h"
#include "model/MahnungsVerwaltung.h"
#include "model/MerkzettelVerwaltung.h"
#include "model/NamensDatei.h"
#include "model/PostenVerwaltung.h"
#include "model/Preis.h"
#include "model/PreisVerwaltung.h"
#include "model/Wein.h"
#include "storage/ByteReader.h"
#include "storage/CodePage.h"
#include "storage/Customizer.h"
#include "storage/Feldtabelle.h"
#include "storage/File.h"
#include "storage/FixedText.h"

namespace {

constexpr std::size_t kHoechstensPositionen = 10;

// Only whole records are read; a partial last one is reported by its length.
template <typename T>
std::vector<T> Saetze(const std::string& bytes, std::size_t satz) {
    std::vector<T> saetze(bytes.size() / satz);
    for (std::size_t i = 0; i < saetze.size(); ++i) {
        ByteReader reader(std::string_view(bytes).substr(i * satz, satz));
        reader >> saetze[i];
    }
    return saetze;
}

template <typename T>
std::string Liste(const std::vector<T>& positionen) {
    std::string text;
    for (std::size_t i = 0; i < positionen.size() && i < kHoechstensPositionen; ++i) {
        text += (i == 0 ? "" : ", ") + std::to_string(positionen[i]);
    }
    if (positionen.size() > kHoechstensPositionen) {
        text += ", …"_w;
    }
    return text;
}

// Numbers that occur more than once, with the positions of their records.
template <typename T, typename F>
void Doppelte(const std::vector<T>& saetze, F nummer,
              std::map<std::int32_t, std::vector<std::size_t>>& doppelte) {
    std::map<std::int32_t, std::vector<std::size_t>> alle;
    for (std::size_t i = 0; i < saetze.size(); ++i) {
        alle[nummer(saetze[i])].push_back(i);
    }
    for (auto& [wert, positionen] : alle) {
        if (positionen.size() > 1) {
            doppelte.emplace(wert, std::move(positionen));
        }
    }
}

}  // namespace

Datenpruefung::Datenpruefung(std::string verzeichnis) : verzeichnis_(std::move(verzeichnis)) {}

std::string Datenpruefung::Datei(const std::string& name) const {
    return CodePage::Utf8ToCp1252(verzeichnis_ + "/" + name);
}

std::string Datenpruefung::RechnungsName(std::size_t position) const {
    const Kopf& r = rechnungen_[position];
    const std::string name = "Rechnung Nr. " + std::to_string(r.nummer);
    if (r.id == static_cast<std::int64_t>(position)) {
        return name + " (Id " + std::to_string(r.id) + ")";
    }
    return name + " an Position " + std::to_string(position) + " (Id " + std::to_string(r.id) + ")";
}

std::vector<std::string> Datenpruefung::Namen() const {
    return File::List(verzeichnis_).WertOder({});
}

std::optional<std::string> Datenpruefung::Lies(const std::string& name) {
    Ergebnis<std::string> bytes = File::ReadFile(verzeichnis_ + "/" + name);
    if (!bytes) {
        if (!bytes.Ursache().Fehlt()) {
            Problem("Die Datei " + Datei(name) + " kann nicht gelesen werden (" +
                    bytes.Ursache().Grund() + ").");
        }
        return std::nullopt;
    }
    return std::move(*bytes);
}

template <typename F>
std::optional<std::size_t> Datenpruefung::SaetzeLesen(const std::string& name, std::size_t satz,
                                                      F f) {
    std::size_t laenge = 0;
    std::string rest;
    const Ergebnis<void> gelesen = File::ReadFileInPieces(
        verzeichnis_ + "/" + name, (256 * 1024 / satz) * satz, [&](std::string_view stueck) {
            laenge += stueck.size();
            // Pieces are whole records but for a file that grew meanwhile.
            if (!rest.empty()) {
                const std::size_t fehlt = satz - rest.size();
                rest.append(stueck.substr(0, fehlt));
                stueck.remove_prefix(std::min(fehlt, stueck.size()));
                if (rest.size() == satz) {
                    f(std::string_view(rest));
                    rest.clear();
                }
            }
            while (stueck.size() >= satz) {
                f(stueck.substr(0, satz));
                stueck.remove_prefix(satz);
            }
            rest.append(stueck);
        });
    if (!gelesen) {
        if (!gelesen.Ursache().Fehlt()) {
            Problem("Die Datei " + Datei(name) + " kann nicht gelesen werden (" +
                    gelesen.Ursache().Grund() + ").");
        }
        return std::nullopt;
    }
    return laenge;
}

void Datenpruefung::Laenge(const std::string& name, std::size_t laenge, std::size_t satz) {
    const std::size_t rest = laenge % satz;
    if (rest != 0) {
        Problem(Datei(name) + ": " + std::to_string(laenge) +
                " Bytes sind keine ganze Zahl von Sätzen zu "_w + std::to_string(satz) +
                " Bytes (" + std::to_string(laenge / satz) + " ganze Sätze und "_w +
                std::to_string(rest) + " Bytes Rest).");
    }
}

std::vector<std::string> Datenpruefung::Pruefen() {
    probleme_.clear();
    if (auto bytes = Lies("preferences.dat")) {
        if (bytes->size() != Customizer::kDiskSize) {
            Problem(Datei("preferences.dat") + ": " + std::to_string(bytes->size()) +
                    " Bytes statt " + std::to_string(Customizer::kDiskSize) + ".");
        }
        // The program sets each of these back to its default at the next start.
        for (const std::string& wert : Customizer::Unstimmigkeiten(*bytes)) {
            Problem(Datei("preferences.dat") + ": " + wert);
        }
    }
    if (auto bytes = Lies(Firmendaten::kDatei)) {
        Firmendaten daten;
        std::string fehler;
        if (!Firmendaten::AusText(*bytes, daten, fehler)) {
            Problem(Datei(Firmendaten::kDatei) + ": " + fehler + ".");
        }
        if (const std::string falsch = daten.Pruefen(); !falsch.empty()) {
            Problem(Datei(Firmendaten::kDatei) + ": " + falsch);
        }
        if (const std::string falsch = daten.datev.Pruefen(); !falsch.empty()) {
            Problem(Datei(Firmendaten::kDatei) + ", DATEV: " + falsch);
        }
    }
    if (auto bytes = Lies(DatevExporte::kDatei)) {
        for (const std::string& zeile : DatevExporte::Unlesbar(*bytes)) {
            Problem(Datei(DatevExporte::kDatei) + ": " + zeile);
        }
    }
    if (auto bytes = Lies("merkzettel.dat")) {
        Laenge("merkzettel.dat", bytes->size(), MerkzettelVerwaltung::MerkzettelIntern::DiskSize);
    }
    Kunden();
    Weine();
    Rechnungen();
    Mahnungen();
    Postenketten();
    Kundenketten();
    UnbekannteKunden();
    NieGespeicherte();
    Preislisten();
    Reste();
    return probleme_;
}

void Datenpruefung::Reste() {
    for (const std::string& name : Namen()) {
        if (name == Datenersatz::kBereit) {
            Problem(
                "Im Datenverzeichnis wurde das Zurückspielen einer Datensicherung "
                "unterbrochen (»"_w +
                Datei(name) + "«); der nächste Start von Rebkontor schließt es ab."_w);
            continue;
        }
        if (name.rfind(Datenersatz::kNeuerOrdner, 0) == 0) {
            Problem("Im Datenverzeichnis liegt »"_w + Datei(name) +
                    "«, von einem abgebrochenen Zurückspielen einer Datensicherung "
                    "zurückgelassen; es gehört nicht zu den Daten und kann gelöscht werden."_w);
            continue;
        }
        if (name.rfind(Beispieldaten::kNeuerOrdner, 0) != 0) {
            continue;
        }
        Problem("Im Datenverzeichnis liegt »"_w + Datei(name) +
                "«, von einem abgebrochenen »rebkontor-cli beispieldaten« zurückgelassen; "
                "es gehört nicht zu den Daten und kann gelöscht werden."_w);
    }
}

void Datenpruefung::Kunden() {
    const auto bytes = Lies("kunden.dat");
    if (!bytes) {
        return;
    }
    Laenge("kunden.dat", bytes->size(), Kunde::DiskSize);
    kunden_ = Saetze<Kunde>(*bytes, Kunde::DiskSize);
    std::map<std::int32_t, std::vector<std::size_t>> doppelte;
    Doppelte(
        kunden_, [](const Kunde& k) { return k.nummer; }, doppelte);
    for (const auto& [nummer, positionen] : doppelte) {
        Problem("Die Kundennummer " + std::to_string(nummer) + " kommt " +
                std::to_string(positionen.size()) + "-mal vor (Positionen " + Liste(positionen) +
                " in " + Datei("kunden.dat") + ").");
    }
}

void Datenpruefung::Weine() {
    const auto bytes = Lies("weinliste.dat");
    if (!bytes) {
        return;
    }
    Laenge("weinliste.dat", bytes->size(), Wein::DiskSize);
    const std::vector<Wein> weine = Saetze<Wein>(*bytes, Wein::DiskSize);
    std::map<std::int32_t, std::vector<std::size_t>> doppelte;
    Doppelte(
        weine, [](const Wein& w) { return w.nummer; }, doppelte);
    for (const auto& [nummer, positionen] : doppelte) {
        Problem("Die Weinnummer " + std::to_string(nummer) + " kommt " +
                std::to_string(positionen.size()) + "-mal vor (Positionen " + Liste(positionen) +
                " in " + Datei("weinliste.dat") + ").");
    }
}

void Datenpruefung::Rechnungen() {
    if (const auto laenge =
            SaetzeLesen("rechnungen.dat", Rechnung::DiskSize, [&](std::string_view satz) {
                Kopf& kopf = rechnungen_.emplace_back();
                kopf.id = Feldwert<&Rechnung::id>(satz);
                kopf.nummer = Feldwert<&Rechnung::nummer>(satz);
                kopf.kunde = Feldwert<&Rechnung::kunde>(satz);
                kopf.postenKopf = Feldwert<&Rechnung::postenKopf>(satz);
                kopf.vorigeRechnung = Feldwert<&Rechnung::vorigeRechnung>(satz);
                kopf.geloescht = Feldwert<&Rechnung::kartons>(satz) == Rechnung::kGeloescht;
            })) {
        Laenge("rechnungen.dat", *laenge, Rechnung::DiskSize);
    }
    for (std::size_t n = 0; n < rechnungen_.size(); ++n) {
        if (rechnungen_[n].id != static_cast<std::int64_t>(n)) {
            Problem("Die Rechnung an Position " + std::to_string(n) + " (Nr. " +
                    std::to_string(rechnungen_[n].nummer) + ") trägt die Id "_w +
                    std::to_string(rechnungen_[n].id) + ".");
        }
    }
    using P = PostenVerwaltung::Posten;
    if (const auto laenge =
            SaetzeLesen("rechnungsposten.dat", P::DiskSize, [&](std::string_view satz) {
                posten_.push_back({Feldwert<&P::rechnung>(satz), Feldwert<&P::naechster>(satz)});
            })) {
        Laenge("rechnungsposten.dat", *laenge, P::DiskSize);
    }
}

void Datenpruefung::Mahnungen() {
    const auto bytes = Lies(MahnungsVerwaltung::kDatei);
    if (!bytes) {
        return;
    }
    using Mahnstand = MahnungsVerwaltung::Mahnstand;
    Laenge(MahnungsVerwaltung::kDatei, bytes->size(), Mahnstand::DiskSize);
    std::set<std::int32_t> ids;
    for (const Kopf& r : rechnungen_) {
        ids.insert(r.id);
    }
    std::set<std::int32_t> gesehen;
    const std::vector<Mahnstand> saetze = Saetze<Mahnstand>(*bytes, Mahnstand::DiskSize);
    for (std::size_t i = 0; i < saetze.size(); ++i) {
        const Mahnstand& m = saetze[i];
        const std::string satz =
            Datei(MahnungsVerwaltung::kDatei) + ": Satz " + std::to_string(i + 1);
        if (m.stufe < 0 || m.stufe > MahnungsVerwaltung::kHoechsteStufe) {
            Problem(satz + " hat die Mahnstufe " + std::to_string(m.stufe) +
                    " (erlaubt sind 0 bis 3).");
        }
        if (!gesehen.insert(m.rechnung).second) {
            Problem(satz + " nennt die Rechnung mit der Id " + std::to_string(m.rechnung) +
                    " ein weiteres Mal.");
        } else if (ids.count(m.rechnung) == 0) {
            Problem(satz + " nennt die Rechnung mit der Id " + std::to_string(m.rechnung) +
                    ", die es in der Rechnungsdatei nicht gibt.");
        }
    }
}

void Datenpruefung::Postenketten() {
    const auto anzahl = static_cast<std::int64_t>(posten_.size());
    // Which invoice's walk passed an item first (its position + 1; 0: none).
    std::vector<std::uint32_t> besucht(posten_.size(), 0);
    ketteKaputt_.assign(rechnungen_.size(), false);
    for (std::size_t n = 0; n < rechnungen_.size(); ++n) {
        const Kopf& r = rechnungen_[n];
        // Named only for a problem: a sound chain costs no text.
        const auto kette = [&] { return "Die Postenkette der " + RechnungsName(n); };
        const std::size_t vorher = probleme_.size();
        std::string vorwaerts;
        for (std::int64_t i = r.postenKopf; i != -1;) {
            if (i < 0 || i >= anzahl) {
                Problem(kette() + " verweist auf Posten " + std::to_string(i) +
                        ", den es nicht gibt (die Datei hat " + std::to_string(anzahl) +
                        " Posten).");
                vorwaerts.clear();
                break;
            }
            const Posten& p = posten_[static_cast<std::size_t>(i)];
            if (p.rechnung != r.id && p.rechnung != PostenVerwaltung::kGeloescht) {
                Problem(kette() + " führt über Posten "_w + std::to_string(i) +
                        ", der zur Rechnung Id " + std::to_string(p.rechnung) + " gehört."_w);
                vorwaerts.clear();
                break;
            }
            std::uint32_t& marke = besucht[static_cast<std::size_t>(i)];
            if (marke == n + 1) {
                Problem(kette() + " läuft im Kreis (Posten "_w + std::to_string(i) +
                        " kommt zweimal vor).");
                vorwaerts.clear();
                break;
            }
            if (marke != 0) {
                Problem(kette() + " mündet bei Posten "_w + std::to_string(i) +
                        " in die Postenkette der " + RechnungsName(marke - 1) + ".");
                vorwaerts.clear();
                break;
            }
            marke = static_cast<std::uint32_t>(n + 1);
            if (p.naechster >= i && vorwaerts.empty()) {
                vorwaerts = kette() + " springt bei Posten " + std::to_string(i) +
                            " vorwärts auf Posten "_w + std::to_string(p.naechster) +
                            "; das Programm liest dort nicht weiter.";
            }
            i = p.naechster;
        }
        if (!vorwaerts.empty()) {
            Problem(vorwaerts);
        }
        ketteKaputt_[n] = probleme_.size() != vorher;
    }
    erreicht_.resize(posten_.size());
    for (std::size_t i = 0; i < posten_.size(); ++i) {
        erreicht_[i] = besucht[i] != 0;
    }
}

void Datenpruefung::Kundenketten() {
    const auto anzahl = static_cast<std::int64_t>(rechnungen_.size());
    std::vector<std::uint32_t> besucht(rechnungen_.size(), 0);
    for (std::size_t k = 0; k < kunden_.size(); ++k) {
        const Kunde& kunde = kunden_[k];
        const auto kette = [&] {
            return "Die Rechnungskette des Kunden " + std::to_string(kunde.nummer);
        };
        std::string vorwaerts;
        for (std::int64_t i = kunde.letzteRechnung; i != -1;) {
            if (i < 0 || i >= anzahl) {
                Problem(kette() + " verweist auf die Rechnung Id " + std::to_string(i) +
                        ", die es nicht gibt (die Datei hat " + std::to_string(anzahl) +
                        " Rechnungen).");
                vorwaerts.clear();
                break;
            }
            const Kopf& r = rechnungen_[static_cast<std::size_t>(i)];
            if (r.kunde != kunde.nummer) {
                Problem(kette() + " führt über die "_w +
                        RechnungsName(static_cast<std::size_t>(i)) + " des Kunden " +
                        std::to_string(r.kunde) + ".");
                vorwaerts.clear();
                break;
            }
            std::uint32_t& marke = besucht[static_cast<std::size_t>(i)];
            if (marke == k + 1) {
                Problem(kette() + " läuft im Kreis (die "_w +
                        RechnungsName(static_cast<std::size_t>(i)) + " kommt zweimal vor).");
                vorwaerts.clear();
                break;
            }
            if (marke != 0) {
                Problem(kette() + " mündet bei der "_w +
                        RechnungsName(static_cast<std::size_t>(i)) +
                        " in die Rechnungskette des Kunden " +
                        std::to_string(kunden_[marke - 1].nummer) + ".");
                vorwaerts.clear();
                break;
            }
            marke = static_cast<std::uint32_t>(k + 1);
            if (r.vorigeRechnung >= i && vorwaerts.empty()) {
                vorwaerts = kette() + " springt bei der " +
                            RechnungsName(static_cast<std::size_t>(i)) +
                            " vorwärts auf die Rechnung Id "_w + std::to_string(r.vorigeRechnung) +
                            "; das Programm liest dort nicht weiter.";
            }
            i = r.vorigeRechnung;
        }
        if (!vorwaerts.empty()) {
            Problem(vorwaerts);
        }
    }
}

void Datenpruefung::UnbekannteKunden() {
    std::set<std::int32_t> nummern;
    for (const Kunde& k : kunden_) {
        nummern.insert(k.nummer);
    }
    // By customer, each with the positions of its invoices.
    std::map<std::int32_t, std::vector<std::size_t>> fremde;
    for (std::size_t n = 0; n < rechnungen_.size(); ++n) {
        const Kopf& r = rechnungen_[n];
        if (!r.geloescht && nummern.count(r.kunde) == 0) {
            fremde[r.kunde].push_back(n);
        }
    }
    for (const auto& [kunde, positionen] : fremde) {
        const std::string unbekannt = "zum Kunden " + std::to_string(kunde) + ", den es in " +
                                      Datei("kunden.dat") + " nicht gibt";
        if (positionen.size() == 1) {
            Problem("Die " + RechnungsName(positionen[0]) + " gehört "_w + unbekannt + ".");
            continue;
        }
        std::vector<std::int32_t> rechnungsnummern;
        for (std::size_t n : positionen) {
            rechnungsnummern.push_back(rechnungen_[n].nummer);
        }
        Problem(std::to_string(positionen.size()) + " Rechnungen gehören "_w + unbekannt +
                " (Rechnung Nr. " + Liste(rechnungsnummern) + ").");
    }
}

void Datenpruefung::NieGespeicherte() {
    // The position of the first invoice with each id. In a sound file the
    // id is the position, so a table indexed by id holds them; only damage
    // puts an id outside it.
    constexpr std::uint32_t kKeine = UINT32_MAX;
    std::vector<std::uint32_t> erste(rechnungen_.size(), kKeine);
    std::map<std::int32_t, std::size_t> andere;
    for (std::size_t n = 0; n < rechnungen_.size(); ++n) {
        const std::int32_t id = rechnungen_[n].id;
        if (id >= 0 && static_cast<std::size_t>(id) < erste.size()) {
            if (erste[static_cast<std::size_t>(id)] == kKeine) {
                erste[static_cast<std::size_t>(id)] = static_cast<std::uint32_t>(n);
            }
        } else {
            andere.emplace(id, n);
        }
    }
    const auto positionDer = [&](std::int32_t id) -> std::optional<std::size_t> {
        if (id >= 0 && static_cast<std::size_t>(id) < erste.size()) {
            const std::uint32_t n = erste[static_cast<std::size_t>(id)];
            return n == kKeine ? std::nullopt : std::optional<std::size_t>(n);
        }
        const auto gefunden = andere.find(id);
        return gefunden == andere.end() ? std::nullopt
                                        : std::optional<std::size_t>(gefunden->second);
    };
    std::map<std::int32_t, std::vector<std::size_t>> fremde;
    // Items with the id of a stored invoice whose sound chain does not reach
    // them, by the invoice's position: left by an invoice that was never
    // stored before its id was given again, or by an item whose invoice
    // never learnt of it. (Behind a damaged chain they may be its own; that
    // damage is reported above.)
    std::map<std::size_t, std::vector<std::size_t>> ohneKette;
    for (std::size_t i = 0; i < posten_.size(); ++i) {
        const std::int32_t rechnung = posten_[i].rechnung;
        if (rechnung == PostenVerwaltung::kGeloescht || (i < erreicht_.size() && erreicht_[i])) {
            continue;
        }
        const std::optional<std::size_t> gespeichert = positionDer(rechnung);
        if (!gespeichert) {
            fremde[rechnung].push_back(i);
        } else if (!ketteKaputt_[*gespeichert]) {
            ohneKette[*gespeichert].push_back(i);
        }
    }
    for (const auto& [position, liste] : ohneKette) {
        const bool einer = liste.size() == 1;
        Problem("Die " + RechnungsName(position) + " erreicht " + std::to_string(liste.size()) +
                " Posten mit ihrer Id nicht (Posten " + Liste(liste) +
                (einer ? "): er stammt" : "): sie stammen") +
                " von einer nie gespeicherten Rechnung mit derselben Id oder aus einer nie "
                "gespeicherten Änderung; der nächste Start des Programms bucht "_w +
                (einer ? "ihn" : "sie") + " zurück."_w);
    }
    for (const auto& [rechnung, positionen] : fremde) {
        if (rechnung < 0) {
            Problem(std::to_string(positionen.size()) +
                    (positionen.size() == 1 ? " Posten trägt"_w : std::string(" Posten tragen")) +
                    " die ungültige Rechnungs-Id "_w + std::to_string(rechnung) + " (Posten " +
                    Liste(positionen) + ").");
        } else {
            Problem("Die Rechnung Id " + std::to_string(rechnung) + " wurde nie gespeichert; " +
                    std::to_string(positionen.size()) +
                    (positionen.size() == 1 ? " Posten gehört"_w : " Posten gehören"_w) +
                    " zu ihr (Posten " + Liste(positionen) + ").");
        }
    }
}

void Datenpruefung::Preislisten() {
    std::vector<std::string> namen;
    if (const auto bytes = Lies("weinlisten.txt")) {
        const NamensDatei::Inhalt inhalt = NamensDatei::Lesen(*bytes);
        namen = inhalt.namen;
        const auto hoechstens = static_cast<std::size_t>(PreisVerwaltung::kMaxPreislisten);
        if (namen.size() > hoechstens) {
            Problem(Datei("weinlisten.txt") + " nennt " + std::to_string(namen.size()) +
                    " Preislisten; mehr als 20 sind nicht erlaubt.");
        } else if (namen.size() == hoechstens && inhalt.zeilenendeAmSchluss) {
            Problem(Datei("weinlisten.txt") +
                    " endet nach der 20. Preisliste mit einem Zeilenende, das als 21. Preisliste "
                    "gilt; mehr als 20 sind nicht erlaubt.");
        }
    }
    for (std::size_t k = 0; k < namen.size(); ++k) {
        const std::string datei = std::to_string(k) + ".wl";
        if (!File::Exists(verzeichnis_ + "/" + datei)) {
            Problem("Die Preisliste " + std::to_string(k) + " »"_w + namen[k] +
                    "« hat keine Datei "_w + Datei(datei) + ".");
        }
    }
    for (const std::string& name : Namen()) {
        if (name.size() <= 3 || name.compare(name.size() - 3, 3, ".wl") != 0) {
            continue;
        }
        bool benannt = false;
        for (std::size_t k = 0; k < namen.size() && !benannt; ++k) {
            benannt = name == std::to_string(k) + ".wl";
        }
        if (!benannt) {
            Problem("Die Datei " + Datei(name) + " gehört zu keiner Preisliste ("_w +
                    Datei("weinlisten.txt") + " nennt " + std::to_string(namen.size()) + ").");
        }
        if (const auto bytes = Lies(name)) {
            Laenge(name, bytes->size(), Preis::DiskSize);
        }
    }
}
