#include "documents/RecordingCanvas.h"

#include <algorithm>
#include <cstring>

namespace {

// How far up and down the glyphs of "Courier New" reach, in fractions of the
// cell from its top, measured on the face the QPainter canvas draws with
// (the same for both weights). Characters are Windows-1252; each list holds
// the glyphs that stay below (or above) its line. What no list holds
// reaches the top of the cell (accented capitals) or the baseline.
constexpr const char* kXHoehe =
    "+,-.:;<=>_acegmnopqrsuvwxyz~\x82\x84\x85\x8B\x95\x96\x97\x9B\x9C\xA1\xA4\xAB\xAC\xB1\xB5\xB7"
    "\xB8\xBB\xBF\xD7\xE6\xE7\xF7\xF8";
constexpr const char* kVersalhoehe =
    "!#%&0123456789?ABCDEFGHIJKLMNOPQRSTUVWXYZt\x80\x81\x83\x8C\x8D\x8F\x90\x9D\xA2\xA3\xA5\xB6"
    "\xBC\xBD\xBE\xC6\xC7\xD0\xDE";
constexpr const char* kOberlaenge =
    "\"$'()*/@[\\]^`bdfhijkl{|}\x86\x87\x88\x89\x91\x92\x93\x94\x98\x99\x9A\x9E\xA6\xA7\xA8\xA9"
    "\xAA\xAE\xB0\xB2\xB3\xB4\xB9\xBA\xD8\xDF\xE0\xE1\xE2\xE3\xE4\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF"
    "\xF0\xF1\xF2\xF3\xF4\xF5\xF6\xF9\xFA\xFB\xFC\xFD\xFE\xFF";
constexpr const char* kKommatiefe = "$,;@_\x82\x84\x86\x87\xA1\xA7\xB6\xBF";
constexpr const char* kUnterlaenge = "()Q[]gjpqy{}\x83\xB5\xFD\xFE\xFF";
constexpr const char* kTiefste = "|\xA6\xB8\xC7\xE7";

// The rule under an underlined text, drawn by the canvas from the font's
// underline position and thickness.
constexpr double kLinieOben = 0.85;
constexpr double kLinieUnten = 0.945;

// The layout sets some lines in a taller font at the pitch of a smaller
// one, so that the descenders of one line may reach the accents and
// ascenders of the next. Contact shallower than this part of a cell is a
// touch the eye reads past, not one text printed over another.
constexpr double kBeruehrung = 0.03;

bool In(const char* liste, char c) {
    return c != '\0' && std::strchr(liste, c) != nullptr;
}

double Oben(char c) {
    if (In(kXHoehe, c)) {
        return 0.185;
    }
    if (In(kVersalhoehe, c)) {
        return 0.135;
    }
    if (In(kOberlaenge, c)) {
        return 0.08;
    }
    return 0.0;
}

double Unten(char c) {
    if (In(kTiefste, c)) {
        return 0.935;
    }
    if (In(kUnterlaenge, c)) {
        return 0.925;
    }
    if (In(kKommatiefe, c)) {
        return 0.895;
    }
    return 0.765;
}

RecordingCanvas::Kasten Umriss(const std::vector<RecordingCanvas::Kasten>& kaesten) {
    RecordingCanvas::Kasten umriss = kaesten.front();
    for (const auto& k : kaesten) {
        umriss.left = std::min(umriss.left, k.left);
        umriss.top = std::min(umriss.top, k.top);
        umriss.right = std::max(umriss.right, k.right);
        umriss.bottom = std::max(umriss.bottom, k.bottom);
    }
    return umriss;
}

}  // namespace

void RecordingCanvas::SelectFont(const std::string& face, int height, int weight, bool underline) {
    font_ = Font{face, height, weight, underline};
}

void RecordingCanvas::DrawText(int x, int y, const std::string& text) {
    texts_.push_back(Text{x, y, text, font_});
}

void RecordingCanvas::PlayLetterhead(int left, int top, int width, int height) {
    pictures_.push_back(Picture{left, top, width, height, {}});
}

void RecordingCanvas::DrawPicture(int left, int top, int width, int height,
                                  const std::string& svg) {
    pictures_.push_back(Picture{left, top, width, height, svg});
}

void RecordingCanvas::DrawModules(int left, int top, int size, const Modulmatrix& matrix) {
    codes_.push_back(Code{left, top, size, matrix});
}

const RecordingCanvas::Text* RecordingCanvas::Find(const std::string& fragment) const {
    const auto t = std::find_if(texts_.begin(), texts_.end(), [&](const Text& text) {
        return text.text.find(fragment) != std::string::npos;
    });
    return t != texts_.end() ? &*t : nullptr;
}

int RecordingCanvas::CountContaining(const std::string& fragment) const {
    return static_cast<int>(std::count_if(texts_.begin(), texts_.end(), [&](const Text& t) {
        return t.text.find(fragment) != std::string::npos;
    }));
}

std::vector<RecordingCanvas::Kasten> RecordingCanvas::Tinte(const Text& text) {
    const double zelle = text.font.height;
    const double breite = Canvas::kZeichenbreite * zelle;
    std::vector<Kasten> kaesten;
    for (std::size_t i = 0; i < text.text.size(); ++i) {
        const char c = text.text[i];
        if (c == ' ') {
            continue;
        }
        kaesten.push_back(Kasten{text.x + breite * static_cast<double>(i), text.y + Oben(c) * zelle,
                                 text.x + breite * static_cast<double>(i + 1),
                                 text.y + Unten(c) * zelle});
    }
    if (text.font.underline && !text.text.empty()) {
        kaesten.push_back(Kasten{static_cast<double>(text.x), text.y + kLinieOben * zelle,
                                 text.x + breite * static_cast<double>(text.text.size()),
                                 text.y + kLinieUnten * zelle});
    }
    return kaesten;
}

std::vector<std::pair<std::size_t, std::size_t>> RecordingCanvas::Ueberdeckungen() const {
    std::vector<std::vector<Kasten>> tinte;
    std::vector<Kasten> umrisse;
    for (const auto& t : texts_) {
        tinte.push_back(Tinte(t));
        umrisse.push_back(tinte.back().empty() ? Kasten{} : Umriss(tinte.back()));
    }
    std::vector<std::pair<std::size_t, std::size_t>> paare;
    for (std::size_t a = 0; a < texts_.size(); ++a) {
        for (std::size_t b = a + 1; b < texts_.size(); ++b) {
            if (tinte[a].empty() || tinte[b].empty() || !umrisse[a].Schneidet(umrisse[b])) {
                continue;
            }
            const double beruehrung =
                kBeruehrung * std::min(texts_[a].font.height, texts_[b].font.height);
            const bool ueber = std::any_of(tinte[a].begin(), tinte[a].end(), [&](const Kasten& k) {
                return std::any_of(tinte[b].begin(), tinte[b].end(), [&](const Kasten& l) {
                    return k.Schneidet(l) &&
                           std::min(k.bottom, l.bottom) - std::max(k.top, l.top) > beruehrung;
                });
            });
            if (ueber) {
                paare.emplace_back(a, b);
            }
        }
    }
    return paare;
}

RecordingCanvas::Kasten RecordingCanvas::MitRuhezone(const Code& code) {
    const double ruhe = code.matrix.seite > 0 ? 4.0 * code.size / code.matrix.seite : 0.0;
    return Kasten{code.left - ruhe, code.top - ruhe, code.left + code.size + ruhe,
                  code.top + code.size + ruhe};
}

std::vector<std::pair<std::size_t, std::size_t>> RecordingCanvas::CodeUeberdeckungen() const {
    std::vector<std::pair<std::size_t, std::size_t>> paare;
    for (std::size_t c = 0; c < codes_.size(); ++c) {
        const Kasten feld = MitRuhezone(codes_[c]);
        for (std::size_t t = 0; t < texts_.size(); ++t) {
            const std::vector<Kasten> tinte = Tinte(texts_[t]);
            if (std::any_of(tinte.begin(), tinte.end(),
                            [&](const Kasten& k) { return k.Schneidet(feld); })) {
                paare.emplace_back(c, t);
            }
        }
    }
    return paare;
}
