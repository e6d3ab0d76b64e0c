#include "printing/PdfAusgabe.h"

#include <QBuffer>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <utility>
#include <vector>

#include "documents/Ausfertigungen.h"
#include "model/Rechnung.h"
#include "printing/RechnungRenderer.h"
#include "storage/CodePage.h"
#include "storage/File.h"

PdfAusgabe::PdfAusgabe(std::string briefkopfDatei) : briefkopfDatei_(std::move(briefkopfDatei)) {}

bool PdfAusgabe::Seiten(std::string& pdf, Verwaltungen& verwaltungen, const Rechnung& rechnung,
                        bool packliste, bool kundenRechnung, bool interneRechnung,
                        bool pdfA) const {
    const std::vector<PrintJob> auftraege = Ausfertigungen::Auftraege(
        verwaltungen, rechnung, packliste, kundenRechnung, interneRechnung, false);
    if (auftraege.empty()) {
        return false;
    }
    const Briefkopf briefkopf(briefkopfDatei_);
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
        if (!RechnungRenderer::Drucken(auftraege, briefkopf, writer)) {
            return false;
        }
    }
    pdf = puffer.data().toStdString();
    return true;
}

bool PdfAusgabe::Pdf(const std::string& datei, Verwaltungen& verwaltungen, const Rechnung& rechnung,
                     bool packliste, bool kundenRechnung, bool interneRechnung) {
    std::string pdf;
    // Written in one go, so that a file that cannot be written leaves the
    // old one as it was.
    return Seiten(pdf, verwaltungen, rechnung, packliste, kundenRechnung, interneRechnung, false) &&
           File::ReplaceAtomically(datei, pdf, File::Temp::Unique);
}

bool PdfAusgabe::Zugferd(const std::string& datei, Verwaltungen& verwaltungen,
                         const Rechnung& rechnung, const std::string& xml, std::string& fehler) {
    std::string seiten;
    if (!Seiten(seiten, verwaltungen, rechnung, false, true, false, true)) {
        fehler = "Die Seiten der Rechnung konnten nicht erzeugt werden.";
        return false;
    }
    std::string pdf;
    if (!Anhaengen(seiten, xml, pdf, fehler)) {
        return false;
    }
    if (const Ergebnis<void> geschrieben = File::ReplaceAtomically(datei, pdf, File::Temp::Unique);
        !geschrieben) {
        fehler = "Die Datei " + datei + " konnte nicht geschrieben werden (" +
                 geschrieben.Ursache().Grund() + ").";
        return false;
    }
    return true;
}

bool PdfAusgabe::PdfAuftraege(const std::string& datei, const std::vector<PrintJob>& auftraege,
                              const std::string& titel) {
    if (auftraege.empty()) {
        return false;
    }
    const Briefkopf briefkopf(briefkopfDatei_);
    QBuffer puffer;
    puffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&puffer);
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        writer.setCreator(QStringLiteral("Rebkontor"));
        writer.setTitle(QString::fromStdString(CodePage::Cp1252ToUtf8(titel)));
        if (!RechnungRenderer::Drucken(auftraege, briefkopf, writer)) {
            return false;
        }
    }
    return static_cast<bool>(
        File::ReplaceAtomically(datei, puffer.data().toStdString(), File::Temp::Unique));
}
