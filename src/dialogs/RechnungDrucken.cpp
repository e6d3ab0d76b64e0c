#include "dialogs/RechnungDrucken.h"

#include <memory>
#include <utility>
#include <vector>

#include "documents/Ausfertigungen.h"
#include "windowing/PrintJob.h"
#include "windowing/Services.h"

void RechnungDrucken(Services& app, Verwaltungen& verwaltungen, const Rechnung& rechnung,
                     bool packliste, bool kundenRechnung, bool interneRechnung, bool bildschirm) {
    std::vector<PrintJob> auftraege = Ausfertigungen::Auftraege(
        verwaltungen, rechnung, packliste, kundenRechnung, interneRechnung, bildschirm);
    if (bildschirm) {
        for (PrintJob& auftrag : auftraege) {
            app.Preview(std::make_unique<PrintJob>(std::move(auftrag)));
        }
    } else if (!auftraege.empty()) {
        // One print command asks for the printer once, however many
        // documents it puts out.
        app.Print(auftraege);
    }
}
