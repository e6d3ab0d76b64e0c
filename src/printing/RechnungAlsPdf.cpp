#include "printing/RechnungAlsPdf.h"

#include <QBuffer>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <cstdint>
#include <vector>

#include "documents/Ausfertigungen.h"
#include "documents/PrintRechnung.h"
#include "model/Kunde.h"
#include "model/KundenVerwaltung.h"
#include "model/Rechnung.h"
#include "model/Verwaltungen.h"
#include "printing/QPainterCanvas.h"
#include "storage/File.h"

bool RechnungAlsPdfDaten(QByteArray& daten, Verwaltungen& verwaltungen, const Rechnung& rechnung,
                         bool packliste, bool kundenRechnung, bool interneRechnung, bool pdfA,
                         const std::string& briefkopfDatei) {
    const std::vector<std::int32_t> arten =
        Ausfertigungen::Reihenfolge(packliste, kundenRechnung, interneRechnung);
    if (arten.empty()) {
        return false;
    }
    const Kunde* kunde = verwaltungen.kundenVerwaltung != nullptr
                             ? verwaltungen.kundenVerwaltung->GetKunde(rechnung.kunde)
                             : nullptr;
    const Briefkopf briefkopf(briefkopfDatei);

    // The document is made in memory and written in one go, so that a file
    // that cannot be written leaves the old one as it was.
    QBuffer puffer;
    puffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&puffer);
        if (pdfA) {
            writer.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
        }
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        writer.setCreator(QStringLiteral("Rebkontor"));
        writer.setTitle(QStringLiteral("Rechnung Nr. %1").arg(rechnung.nummer));
        QPainter painter;
        if (!painter.begin(&writer)) {
            return false;
        }
        QPainterCanvas canvas(painter, &briefkopf);
        bool erste = true;
        for (std::int32_t art : arten) {
            const PrintRechnung dokument(art, false, &verwaltungen, kunde, &rechnung);
            for (int seite = 1; dokument.HasPage(seite); ++seite) {
                if (!erste) {
                    writer.newPage();
                }
                erste = false;
                dokument.Layout(canvas, seite, 0, 0, writer.width(), writer.height());
            }
        }
        painter.end();
    }
    daten = puffer.data();
    return true;
}

bool RechnungAlsPdf(const std::string& pdfDatei, Verwaltungen& verwaltungen,
                    const Rechnung& rechnung, bool packliste, bool kundenRechnung,
                    bool interneRechnung, const std::string& briefkopfDatei) {
    QByteArray daten;
    if (!RechnungAlsPdfDaten(daten, verwaltungen, rechnung, packliste, kundenRechnung,
                             interneRechnung, false, briefkopfDatei)) {
        return false;
    }
    return static_cast<bool>(File::ReplaceAtomically(
        pdfDatei, std::string_view(daten.constData(), static_cast<std::size_t>(daten.size())),
        File::Temp::Unique));
}
