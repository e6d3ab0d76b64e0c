#pragma once

#include <QByteArray>
#include <QString>

#include "windowing/Diagramm.h"

class QChart;
class QChartView;

// The bar charts of the dialogs, drawn with Qt Charts: a chart view shows a
// Diagramm, and a Diagramm becomes the bytes of a picture file. Numbers on
// the value axis are written the German way ("1.234,5"); the categories and
// titles come as the logic gives them.
namespace Diagrammansicht {

// The chart, owned by the caller (or the view or scene it is handed to).
QChart* Bauen(const Diagramm& diagramm);
// Shows the chart in the view, in place of the one it showed, and tells a
// screen reader what it shows. A view that is hidden builds the chart when
// it is shown.
void Zeigen(QChartView& ansicht, const Diagramm& diagramm);
// The chart drawn afresh as a PNG of breite x hoehe pixels, or as a PDF or
// SVG of breite x hoehe points; the same layout in each, scaled to fit.
QByteArray Bild(const Diagramm& diagramm, Bildformat format, int breite, int hoehe);
// What the chart shows, as a sentence per bar, for a screen reader.
QString Beschreibung(const Diagramm& diagramm);

}  // namespace Diagrammansicht
