#pragma once

#include <QImage>
#include <string>

// What poppler-utils make of a PDF file: its text laid out as on the page,
// its page count, and a page as a picture.
namespace Poppler {

// The text of one page (from 1), UTF-8, as `pdftotext -layout` gives it.
std::string Text(const std::string& pdf, int seite);
int Seiten(const std::string& pdf);
// One page rendered by `pdftoppm -png -r <dpi>`.
QImage Bild(const std::string& pdf, int seite, int dpi = 50);

}  // namespace Poppler

// The smallest rectangle holding every pixel darker than near-white; empty
// for a blank image.
QRect Tinte(const QImage& bild, const QRect& bereich = QRect());
