#include "documents/Ausfertigungen.h"

#include "documents/PrintRechnung.h"

std::vector<std::int32_t> Ausfertigungen::Reihenfolge(bool packliste, bool kundenRechnung,
                                                      bool interneRechnung) {
    std::vector<std::int32_t> arten;
    if (packliste) {
        arten.push_back(PrintRechnung::kPackliste);
    }
    if (kundenRechnung) {
        arten.push_back(PrintRechnung::kKundenRechnung);
    }
    if (interneRechnung) {
        arten.push_back(PrintRechnung::kInterneRechnung);
    }
    return arten;
}
