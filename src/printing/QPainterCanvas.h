#pragma once

#include <QFont>
#include <map>
#include <string>
#include <utility>

#include "documents/Canvas.h"

class Briefkopf;
class QPainter;

// The page layout drawn with a QPainter: on a printer, in a preview window
// or into a PDF file. Device units are the painter's; texts arrive in
// Windows-1252.
//
// Fonts are chosen as a printer driver chooses them from a face name and a
// cell height: "Courier New" is whatever fontconfig maps it to (Liberation
// Mono from fonts-liberation, metric-compatible, so the fixed-pitch columns
// and line widths come out as designed), and the font is sized so that
// ascent plus descent equals the cell height. Texts are placed by their
// top-left corner, drawn black on a transparent background.
//
// Text needs a QGuiApplication (on a machine without a display the
// "offscreen" platform will do).
class QPainterCanvas : public Canvas {
  public:
    // The letterhead may be null (no picture).
    QPainterCanvas(QPainter& painter, const Briefkopf* briefkopf);

    void SelectFont(const std::string& face, int height, int weight, bool underline) override;
    void DrawText(int x, int y, const std::string& text) override;
    void PlayLetterhead(int left, int top, int width, int height) override;
    void DrawPicture(int left, int top, int width, int height, const std::string& svg) override;
    bool HasLetterhead() const override;
    void DrawModules(int left, int top, int size, const Modulmatrix& matrix) override;

  private:
    // Cell height per pixel of em size, of one face and weight.
    double ZellenFaktor(const QFont& font);

    QPainter& painter_;
    const Briefkopf* briefkopf_;
    QFont font_;
    // Wanted em size over the font's whole-pixel size.
    double massstab_ = 1;
    bool underline_ = false;
    std::map<std::pair<QString, int>, double> zellenFaktoren_;
};
