#include "documents/Ausfertigungen.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

#include "documents/PrintRechnung.h"
#include "model/Kunde.h"
#include "model/KundenVerwaltung.h"
#include "model/Rechnung.h"
#include "model/Verwaltungen.h"

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

}  // namespace

std::vector<PrintJob> Ausfertigungen::Auftraege(Verwaltungen& verwaltungen,
                                                const Rechnung& rechnung, bool packliste,
                                                bool kundenRechnung, bool interneRechnung,
                                                bool bildschirm) {
    const Kunde* kunde = verwaltungen.kundenVerwaltung != nullptr
                             ? verwaltungen.kundenVerwaltung->GetKunde(rechnung.kunde)
                             : nullptr;
    std::vector<PrintJob> auftraege;
    for (const auto& [gewaehlt, art] :
         {std::pair{packliste, PrintRechnung::kPackliste},
          std::pair{kundenRechnung, PrintRechnung::kKundenRechnung},
          std::pair{interneRechnung, PrintRechnung::kInterneRechnung}}) {
        if (!gewaehlt) {
            continue;
        }
        auto dokument =
            std::make_shared<const Dokument>(art, bildschirm, verwaltungen, rechnung, kunde);
        PrintJob& job = auftraege.emplace_back();
        job.title = dokument->Druck().JobTitel();
        job.paperSource = dokument->Druck().Papierquelle();
        job.pages = dokument->Druck().Seiten();
        job.note = dokument->Druck().Hinweis();
        job.drawPage = [dokument](Canvas& canvas, int seite, int left, int top, int width,
                                  int height) {
            dokument->Druck().Layout(canvas, seite, left, top, width, height);
        };
    }
    return auftraege;
}
