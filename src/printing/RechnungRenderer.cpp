#include "printing/RechnungRenderer.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>

#include "printing/QPainterCanvas.h"
#include "windowing/PrintJob.h"

RechnungRenderer::RechnungRenderer(const PrintJob& job, const Briefkopf& briefkopf)
    : job_(job), briefkopf_(briefkopf) {}

bool RechnungRenderer::HasPage(int seite) const {
    return job_.HasPage(seite);
}

bool RechnungRenderer::Drucken(QPagedPaintDevice& geraet, int kopien) const {
    return Drucken({job_}, briefkopf_, geraet, kopien);
}

bool RechnungRenderer::Drucken(const std::vector<PrintJob>& jobs, const Briefkopf& briefkopf,
                               QPagedPaintDevice& geraet, int kopien) {
    QPainter painter;
    if (!painter.begin(&geraet)) {
        return false;
    }
    bool erste = true;
    for (const PrintJob& job : jobs) {
        QPainterCanvas canvas(painter, &briefkopf);
        for (int kopie = 0; kopie < std::max(1, kopien); ++kopie) {
            for (int seite = 1; job.HasPage(seite); ++seite) {
                if (!erste) {
                    geraet.newPage();
                }
                erste = false;
                if (job.drawPage) {
                    job.drawPage(canvas, seite, 0, 0, geraet.width(), geraet.height());
                }
            }
        }
    }
    return painter.end();
}
