#pragma once

#include <memory>
#include <string>

#include "printing/EmfKopf.h"

class QPainter;
class QRectF;
class QSvgRenderer;

// The letterhead picture "bkopf.emf" that the user puts beside the data: an
// enhanced metafile, converted to SVG and drawn with QSvgRenderer. A
// missing, unreadable or damaged file simply gives no picture, without a
// message, as a letterhead is an ornament of the invoice and never a reason
// not to print it.
class Briefkopf {
  public:
    static constexpr const char* kDatei = "bkopf.emf";

    // Loads the picture (relative names from the working directory).
    explicit Briefkopf(const std::string& datei = kDatei);
    ~Briefkopf();

    Briefkopf(const Briefkopf&) = delete;
    Briefkopf& operator=(const Briefkopf&) = delete;

    bool Geladen() const { return svg_ != nullptr; }

    // Plays the picture so that its frame fills the rectangle, as the
    // metafile's own coordinates place it; nothing is drawn outside the
    // rectangle.
    void Abspielen(QPainter& painter, const QRectF& ziel) const;

  private:
    std::unique_ptr<QSvgRenderer> svg_;
    EmfKopf::Anteil anteil_;
};
