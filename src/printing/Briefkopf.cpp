#include "printing/Briefkopf.h"

#include <QByteArray>
#include <QPainter>
#include <QRectF>
#include <QSvgRenderer>
#include <mutex>
#include <optional>

#include "printing/EmfKonverter.h"
#include "storage/File.h"

namespace {

// The same picture is loaded for every document of an invoice and for every
// preview window, so the last conversion is kept.
struct LetzteUmwandlung {
    std::mutex sperre;
    QByteArray emf;
    std::optional<std::string> svg;
    bool gueltig = false;
};

LetzteUmwandlung& Letzte() {
    static LetzteUmwandlung letzte;
    return letzte;
}

std::optional<std::string> Umwandeln(const QByteArray& emf, const EmfKopf& kopf) {
    LetzteUmwandlung& letzte = Letzte();
    std::lock_guard<std::mutex> lock(letzte.sperre);
    if (letzte.gueltig && letzte.emf == emf) {
        return letzte.svg;
    }
    // The drawn part at its real size, in tenths of a millimetre, so the
    // SVG's own units mean something when the file is looked at.
    const EmfKopf::Anteil a = kopf.BoundsImFrame();
    const double frameBreite = static_cast<double>(kopf.frame.right) - kopf.frame.left;
    const double frameHoehe = static_cast<double>(kopf.frame.bottom) - kopf.frame.top;
    letzte.svg = EmfKonverter::NachSvg(std::string_view(emf.constData(), emf.size()),
                                       a.width * frameBreite / 10, a.height * frameHoehe / 10);
    letzte.emf = emf;
    letzte.gueltig = true;
    return letzte.svg;
}

}  // namespace

Briefkopf::Briefkopf(const std::string& datei) {
    // Only a plain file of a sensible size (the read refuses a pipe or a
    // device of that name, which would block it).
    const Ergebnis<File::Entry> eintrag = File::Stat(datei, true);
    if (!eintrag || eintrag->size > static_cast<std::int64_t>(EmfKopf::kHoechstGroesse)) {
        return;
    }
    const Ergebnis<std::string> gelesen = File::ReadFile(datei);
    if (!gelesen) {
        return;
    }
    const QByteArray emf =
        QByteArray::fromStdString(gelesen->substr(0, EmfKopf::kHoechstGroesse + 1));
    const std::optional<EmfKopf> kopf =
        EmfKopf::Pruefen(std::string_view(emf.constData(), emf.size()));
    if (!kopf) {
        return;
    }
    const std::optional<std::string> svg = Umwandeln(emf, *kopf);
    if (!svg) {
        return;
    }
    auto renderer = std::make_unique<QSvgRenderer>(QByteArray::fromStdString(*svg));
    if (!renderer->isValid()) {
        return;
    }
    renderer->setAspectRatioMode(Qt::IgnoreAspectRatio);
    anteil_ = kopf->BoundsImFrame();
    svg_ = std::move(renderer);
}

Briefkopf::~Briefkopf() = default;

void Briefkopf::Abspielen(QPainter& painter, const QRectF& ziel) const {
    if (!svg_ || ziel.isEmpty()) {
        return;
    }
    const QRectF bild(ziel.left() + anteil_.left * ziel.width(),
                      ziel.top() + anteil_.top * ziel.height(), anteil_.width * ziel.width(),
                      anteil_.height * ziel.height());
    painter.save();
    painter.setClipRect(ziel, painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    svg_->render(&painter, bild);
    painter.restore();
}
