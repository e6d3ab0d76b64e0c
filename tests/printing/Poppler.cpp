#include "Poppler.h"

#include <QColor>
#include <cstdio>
#include <stdexcept>

namespace {

// The paths come from the tests' own temporary directories and hold no
// characters a shell would take apart.
std::string Ausgabe(const std::string& befehl) {
    FILE* rohr = ::popen(befehl.c_str(), "r");
    if (rohr == nullptr) {
        throw std::runtime_error("cannot run: " + befehl);
    }
    std::string text;
    char puffer[4096];
    std::size_t n;
    while ((n = std::fread(puffer, 1, sizeof puffer, rohr)) > 0) {
        text.append(puffer, n);
    }
    if (::pclose(rohr) != 0) {
        throw std::runtime_error("failed: " + befehl);
    }
    return text;
}

}  // namespace

std::string Poppler::Text(const std::string& pdf, int seite) {
    const std::string s = std::to_string(seite);
    return Ausgabe("pdftotext -layout -f " + s + " -l " + s + " '" + pdf + "' -");
}

int Poppler::Seiten(const std::string& pdf) {
    const std::string info = Ausgabe("pdfinfo '" + pdf + "'");
    const std::size_t at = info.find("Pages:");
    if (at == std::string::npos) {
        throw std::runtime_error("no page count for " + pdf);
    }
    return std::stoi(info.substr(at + 6));
}

QImage Poppler::Bild(const std::string& pdf, int seite, int dpi) {
    const std::string s = std::to_string(seite);
    const std::string png = pdf + "-" + s;
    Ausgabe("pdftoppm -png -r " + std::to_string(dpi) + " -f " + s + " -l " + s + " -singlefile '" +
            pdf + "' '" + png + "'");
    QImage bild(QString::fromStdString(png + ".png"));
    if (bild.isNull()) {
        throw std::runtime_error("no picture of page " + s + " of " + pdf);
    }
    return bild.convertToFormat(QImage::Format_RGB32);
}

QRect Tinte(const QImage& bild, const QRect& bereich) {
    const QRect r = bereich.isNull() ? bild.rect() : bereich.intersected(bild.rect());
    QRect tinte;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = bild.pixelColor(x, y);
            if (c.red() < 235 || c.green() < 235 || c.blue() < 235) {
                tinte = tinte.united(QRect(x, y, 1, 1));
            }
        }
    }
    return tinte;
}
