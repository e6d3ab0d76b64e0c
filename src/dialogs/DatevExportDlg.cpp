#include "dialogs/DatevExportDlg.h"

#include <optional>
#include <utility>

#include "dialogs/Eingabefelder.h"
#include "dialogs/Exportmeldung.h"
#include "dialogs/RechnungsFiler.h"
#include "documents/Ausgabeziel.h"
#include "documents/DatevExport.h"
#include "model/DatevExporte.h"
#include "model/Firmendaten.h"
#include "storage/Clock.h"
#include "storage/CodePage.h"
#include "storage/File.h"
#include "windowing/Services.h"
#include "windowing/Window.h"

namespace {

constexpr const char* kNichtGeschrieben = " Es wurde keine Datei geschrieben.";

std::string Anzahl(std::size_t anzahl) {
    return Exportmeldung::Anzahl(static_cast<long>(anzahl), "Rechnung", "Rechnungen");
}

}  // namespace

DatevExportDlg::DatevExportDlg(Verwaltungen& verwaltungen, const Firmendaten& firma,
                               std::string verzeichnis)
    : Dialog(kResource),
      verwaltungen_(verwaltungen),
      firma_(firma),
      verzeichnis_(std::move(verzeichnis)) {}

void DatevExportDlg::SetupWindow() {
    Datum von;
    Datum bis;
    DatevExport::Vormonat(Datum::Heute(), von, bis);
    Zeigen(von, bis);
    Win().Focus(kVonTag);
}

void DatevExportDlg::Zeigen(Datum von, Datum bis) {
    Window& w = Win();
    zeigt_ = true;
    Eingabefelder::DatumZeigen(w, kVonTag, kVonMonat, kVonJahr, von.Julian());
    Eingabefelder::DatumZeigen(w, kBisTag, kBisMonat, kBisJahr, bis.Julian());
    zeigt_ = false;
    Umfang();
}

void DatevExportDlg::TextChanged(int /*id*/) {
    if (!zeigt_) {
        Umfang();
    }
}

void DatevExportDlg::Umfang() {
    const Window& w = Win();
    const Datum von = Eingabefelder::DatumLesen(w, kVonTag, kVonMonat, kVonJahr);
    const Datum bis = Eingabefelder::DatumLesen(w, kBisTag, kBisMonat, kBisJahr);
    std::string text;
    if (von.IsValid() && bis.IsValid() && von.Julian() <= bis.Julian()) {
        const std::vector<DatevExport::Beleg> belege = DatevExport::Belege(verwaltungen_, von, bis);
        text = belege.empty() ? std::string("Keine Rechnungen in diesem Zeitraum.")
                              : Anzahl(belege.size()) + ", zusammen " +
                                    DatevExporte::Betrag(DatevExport::Summe(belege)) + " EUR";
    }
    Win().SetText(kUmfang, text);
}

void DatevExportDlg::Command(int id) {
    switch (id) {
        case kHeute: {
            const Datum heute = Datum::Heute();
            Zeigen(Datum(heute.Julian() - RechnungsFiler::kTageZurueck), heute);
            return;
        }
        case ControlId::kOk:
            Exportieren();
            return;
        default:
            Dialog::Command(id);
    }
}

void DatevExportDlg::Exportieren() {
    Window& w = Win();
    Datum von;
    Datum bis;
    std::string fehler;
    if (!Eingabefelder::DatumPruefen(w, kVonTag, kVonMonat, kVonJahr, von, fehler)) {
        App().MessageBox(fehler, kTitel, MessageButtons::Ok, MessageIcon::Warning);
        w.Focus(kVonTag);
        return;
    }
    if (!Eingabefelder::DatumPruefen(w, kBisTag, kBisMonat, kBisJahr, bis, fehler)) {
        App().MessageBox(fehler, kTitel, MessageButtons::Ok, MessageIcon::Warning);
        w.Focus(kBisTag);
        return;
    }
    if (!von.IsValid() || !bis.IsValid()) {
        App().MessageBox("Bitte geben Sie den ersten und den letzten Tag des Zeitraums an.", kTitel,
                         MessageButtons::Ok, MessageIcon::Warning);
        w.Focus(von.IsValid() ? kBisTag : kVonTag);
        return;
    }

    App().WaitCursor();
    std::optional<DatevExport::Stapel> stapel;
    try {
        stapel = DatevExport::Sammeln(verwaltungen_, firma_, von, bis, fehler);
    } catch (...) {
        App().ArrowCursor();
        throw;
    }
    App().ArrowCursor();
    if (!stapel) {
        App().MessageBox(fehler + kNichtGeschrieben, kTitel, MessageButtons::Ok,
                         MessageIcon::Warning);
        return;
    }

    // A period the advisor has had already would be booked twice.
    const std::string vermerke = verzeichnis_ + "/" + DatevExporte::kDatei;
    const Ergebnis<std::string> bisher = File::ReadIfExists(vermerke);
    if (!bisher) {
        App().MessageBox("Die Datei "_w + CodePage::Utf8ToCp1252(vermerke) +
                             " kann nicht gelesen werden (" + bisher.Ursache().Grund() +
                             "); ob der Zeitraum schon exportiert wurde, ist nicht zu erkennen." +
                             kNichtGeschrieben,
                         kTitel, MessageButtons::Ok, MessageIcon::Warning);
        return;
    }
    if (const std::string konflikt = DatevExporte::Konflikt(*bisher, von, bis);
        !konflikt.empty() &&
        App().MessageBox(konflikt + " Rechnungen, die der Steuerberater schon hat, würden doppelt "
                                    "gebucht. Möchten Sie den Zeitraum trotzdem exportieren?"_w,
                         kTitel, MessageButtons::YesNo, MessageIcon::Question,
                         Answer::No) != Answer::Yes) {
        return;
    }

    SaveFileRequest anfrage;
    anfrage.title = kTitel;
    anfrage.filter = "DATEV-Buchungsstapel (*.CSV)|*.csv|";
    anfrage.fileName = DatevExport::Dateiname(von, bis);
    anfrage.defaultExt = "csv";
    const auto wahl = App().SaveFile(anfrage);
    if (!wahl) {
        return;
    }
    const std::string hindernis = Ausgabeziel::Hindernis(wahl->path, verzeichnis_);
    if (!hindernis.empty()) {
        App().MessageBox(hindernis + kNichtGeschrieben, kTitel, MessageButtons::Ok,
                         MessageIcon::Warning);
        return;
    }
    const std::int64_t jetzt = Clock::Now();
    App().WaitCursor();
    Ergebnis<void> geschrieben;
    try {
        geschrieben = Ausgabeziel::Ersetzen(
            wahl->path, DatevExport::Text(*stapel, firma_, DatevExport::Benutzer(), jetzt),
            verzeichnis_);
    } catch (...) {
        App().ArrowCursor();
        throw;
    }
    App().ArrowCursor();
    if (!geschrieben) {
        App().MessageBox("Die Datei "_w + CodePage::Utf8ToCp1252(wahl->path) +
                             " konnte nicht geschrieben werden (" + geschrieben.Ursache().Grund() +
                             ")." + kNichtGeschrieben,
                         kTitel, MessageButtons::Ok, MessageIcon::Warning);
        return;
    }
    if (const Ergebnis<void> vermerkt =
            DatevExporte::Anhaengen(vermerke, DatevExport::Vermerk(*stapel, jetzt));
        !vermerkt) {
        // The file is there; the user must know that a second export of the
        // period will not be noticed.
        App().MessageBox("Der DATEV-Stapel "_w + CodePage::Utf8ToCp1252(wahl->path) +
                             " wurde geschrieben, konnte aber nicht in " +
                             CodePage::Utf8ToCp1252(vermerke) + " vermerkt werden (" +
                             vermerkt.Ursache().Grund() +
                             "). Ein weiterer Export dieses Zeitraums wird deshalb nicht "
                             "bemerkt.",
                         kTitel, MessageButtons::Ok, MessageIcon::Warning);
    }
    App().StatusMessage(
        Exportmeldung::Gespeichert("DATEV-Stapel", wahl->path, Anzahl(stapel->buchungen.size())));
    w.Close(ControlId::kOk);
}
