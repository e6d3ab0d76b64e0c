#include "dialogs/RechnungDrucken.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "documents/Ausfertigungen.h"
#include "documents/PrintRechnung.h"
#include "model/Kunde.h"
#include "model/KundenVerwaltung.h"
#include "model/Rechnung.h"
#include "model/Verwaltungen.h"
#include "windowing/PrintJob.h"
#include "windowing/Services.h"

namespace {

// One document with what it is drawn from. It points into itself, so it
// stays where it was made.
class Dokument {
  public:
    Dokument(std::int32_t art, bool bildschirm, Verwaltungen& verwaltungen,
             const Rechnung& rechnung, const Kunde* kunde)
        : rechnung_(rechnung),
          kunde_(kunde != nullptr ? std::optional<Kunde>(*kunde) : std::nullopt),
          druck_(art, bildschirm, &verwaltungen, kunde_ ? &*kunde_ : nullptr, &rechnung_) {}

    Dokument(const Dokument&) = delete;
    Dokument& operator=(const Dokument&) = delete;

    const PrintRechnung& Druck() const { return druck_; }

  private:
    Rechnung rechnung_;
    std::optional<Kunde> kunde_;
    PrintRechnung druck_;
};

PrintJob Auftrag(std::shared_ptr<const Dokument> dokument) {
    PrintJob job;
    job.title = dokument->Druck().JobTitel();
    job.paperSource = dokument->Druck().Papierquelle();
    job.pages = dokument->Druck().Seiten();
    job.drawPage = [dokument](Canvas& canvas, int seite, int left, int top, int width, int height) {
        dokument->Druck().Layout(canvas, seite, left, top, width, height);
    };
    return job;
}

}  // namespace

void RechnungDrucken(Services& app, Verwaltungen& verwaltungen, const Rechnung& rechnung,
                     bool packliste, bool kundenRechnung, bool interneRechnung, bool bildschirm) {
    std::vector<PrintJob> auftraege;
    for (std::int32_t art :
         Ausfertigungen::Reihenfolge(packliste, kundenRechnung, interneRechnung)) {
        const Kunde* kunde = verwaltungen.kundenVerwaltung != nullptr
                                 ? verwaltungen.kundenVerwaltung->GetKunde(rechnung.kunde)
                                 : nullptr;
        auto dokument =
            std::make_shared<const Dokument>(art, bildschirm, verwaltungen, rechnung, kunde);
        if (bildschirm) {
            app.Preview(std::make_unique<PrintJob>(Auftrag(std::move(dokument))));
        } else {
            auftraege.push_back(Auftrag(std::move(dokument)));
        }
    }
    // One print command asks for the printer once, however many documents
    // it puts out.
    if (!auftraege.empty()) {
        app.Print(auftraege);
    }
}
