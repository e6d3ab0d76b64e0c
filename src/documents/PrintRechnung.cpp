#include "documents/PrintRechnung.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "documents/Absender.h"
#include "documents/Canvas.h"
#include "documents/GiroCode.h"
#include "documents/RecordingCanvas.h"
#include "model/Kunde.h"
#include "model/Rechnung.h"
#include "model/Rechnungsbetrag.h"
#include "model/Verwaltungen.h"
#include "model/Wein.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/CodePage.h"
#include "storage/Customizer.h"
#include "storage/Datum.h"
#include "storage/FixedText.h"
#include "storage/Zeit.h"

namespace {

constexpr const char* kNichtVerfuegbar = "N/A";

struct ArtDaten {
    int postenProSeite;
    int zeilenTeiler;
    const char* jobTitel;
    int papierquelle;
};

constexpr ArtDaten kArten[3] = {
    {15, 60, "(Rkon) PckLst: %s %s", 2},
    {10, 65, "(Rkon) Re: %s %s", 1},
    {20, 70, "(Rkon) ReInt: %s %s", 2},
};

const ArtDaten& Daten(std::int32_t art) {
    return kArten[art >= 0 && art <= 2 ? art : PrintRechnung::kKundenRechnung];
}

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string Format(const char* format, ...) {
    char buffer[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

// A line of the fixed-pitch layout, built from fields at character
// positions. No field is written over another: the line is laid out from
// the right, and what stands further left gives way to what follows it. A
// text is cut so that a blank stays before the next field; a number ending
// at a column moves left when the number to its right needs the room.
// Numbers are never cut: a cut amount or quantity would be a wrong one.
class Zeile {
  public:
    // A text (a name, a description, a volume) from the column.
    Zeile& Ab(std::size_t spalte, std::string text) {
        felder_.push_back(Feld{Feld::kText, spalte, std::move(text)});
        return *this;
    }

    // A number laid out in its own width ("%4d") from the column.
    Zeile& Fest(std::size_t spalte, std::string text) {
        felder_.push_back(Feld{Feld::kFest, spalte, std::move(text)});
        return *this;
    }

    // A number whose last character stands in column ende - 1. One too long
    // for that starts at column 0.
    Zeile& BisVor(std::size_t ende, std::string text) {
        felder_.push_back(Feld{Feld::kBisVor, ende, std::move(text)});
        return *this;
    }

    std::string Text() const {
        std::vector<const Feld*> felder;
        for (const Feld& f : felder_) {
            felder.push_back(&f);
        }
        std::stable_sort(felder.begin(), felder.end(),
                         [](const Feld* a, const Feld* b) { return a->Anfang() > b->Anfang(); });
        std::string zeile;
        // The first column inked by the fields laid out so far, right of
        // the one at hand.
        std::size_t grenze = std::string::npos;
        // Where the room of the field at hand ends: the column before the
        // ink to its right stays blank.
        const auto frei = [&] {
            return grenze == std::string::npos ? grenze : (grenze > 0 ? grenze - 1 : 0);
        };
        for (const Feld* f : felder) {
            std::string text = f->text;
            std::size_t anfang = f->spalte;
            if (f->art == Feld::kText) {
                const std::size_t platz = frei() > anfang ? frei() - anfang : 0;
                if (text.size() > platz) {
                    text.resize(platz);
                }
            } else if (f->art == Feld::kBisVor) {
                const std::size_t ende = std::min(f->spalte, frei());
                anfang = text.size() < ende ? ende - text.size() : 0;
            }
            const std::size_t tinte = text.find_first_not_of(' ');
            if (tinte == std::string::npos) {
                continue;
            }
            if (zeile.size() < anfang + text.size()) {
                zeile.resize(anfang + text.size(), ' ');
            }
            zeile.replace(anfang, text.size(), text);
            grenze = std::min(grenze, anfang + tinte);
        }
        return zeile;
    }

  private:
    struct Feld {
        enum Art { kText, kFest, kBisVor } art;
        std::size_t spalte;
        std::string text;

        // Where the field would begin if nothing stood in its way.
        std::size_t Anfang() const {
            if (art != kBisVor) {
                return spalte;
            }
            return text.size() < spalte ? spalte - text.size() : 0;
        }
    };

    std::vector<Feld> felder_;
};

// Hands everything on to the page's canvas and keeps what was written, so
// that what comes last on a page (the footer, the payment code) finds its
// room where nothing is printed.
class Mitschrift : public Canvas {
  public:
    explicit Mitschrift(Canvas& ziel) : ziel_(ziel) {}

    void SelectFont(const std::string& face, int height, int weight, bool underline) override {
        ziel_.SelectFont(face, height, weight, underline);
        protokoll_.SelectFont(face, height, weight, underline);
    }
    void DrawText(int x, int y, const std::string& text) override {
        ziel_.DrawText(x, y, text);
        protokoll_.DrawText(x, y, text);
    }
    void PlayLetterhead(int left, int top, int width, int height) override {
        ziel_.PlayLetterhead(left, top, width, height);
    }
    bool HasLetterhead() const override { return ziel_.HasLetterhead(); }
    void DrawModules(int left, int top, int size, const Modulmatrix& matrix) override {
        ziel_.DrawModules(left, top, size, matrix);
        protokoll_.DrawModules(left, top, size, matrix);
    }

    const RecordingCanvas& Protokoll() const { return protokoll_; }

  private:
    Canvas& ziel_;
    RecordingCanvas protokoll_;
};

// The top left corner nearest to (x0, y0), on a grid of `schritt` from
// (xMin, yMin) to (xMax, yMax), of a box of breite × hoehe into which none of
// the texts puts ink; none when there is no such place.
std::optional<std::pair<int, int>> FreierPlatz(const std::vector<RecordingCanvas::Text>& texte,
                                               int breite, int hoehe, int x0, int y0, int xMin,
                                               int xMax, int yMin, int yMax, int schritt) {
    if (xMax < xMin || yMax < yMin || schritt < 1) {
        return std::nullopt;
    }
    struct Tinte {
        RecordingCanvas::Kasten umriss;
        std::vector<RecordingCanvas::Kasten> kaesten;
    };
    std::vector<Tinte> tinte;
    for (const auto& t : texte) {
        Tinte ti{{}, RecordingCanvas::Tinte(t)};
        if (ti.kaesten.empty()) {
            continue;
        }
        ti.umriss = ti.kaesten.front();
        for (const auto& k : ti.kaesten) {
            ti.umriss.left = std::min(ti.umriss.left, k.left);
            ti.umriss.top = std::min(ti.umriss.top, k.top);
            ti.umriss.right = std::max(ti.umriss.right, k.right);
            ti.umriss.bottom = std::max(ti.umriss.bottom, k.bottom);
        }
        tinte.push_back(std::move(ti));
    }
    std::vector<std::pair<int, int>> orte;
    orte.emplace_back(std::clamp(x0, xMin, xMax), std::clamp(y0, yMin, yMax));
    for (int x = xMin; x <= xMax; x += schritt) {
        for (int y = yMin; y <= yMax; y += schritt) {
            orte.emplace_back(x, y);
        }
    }
    const auto abstand = [&](const std::pair<int, int>& o) {
        const double dx = o.first - x0;
        const double dy = o.second - y0;
        return dx * dx + dy * dy;
    };
    std::stable_sort(orte.begin(), orte.end(),
                     [&](const auto& a, const auto& b) { return abstand(a) < abstand(b); });
    for (const auto& [x, y] : orte) {
        const RecordingCanvas::Kasten feld{static_cast<double>(x), static_cast<double>(y),
                                           static_cast<double>(x + breite),
                                           static_cast<double>(y + hoehe)};
        const bool frei = std::none_of(tinte.begin(), tinte.end(), [&](const Tinte& ti) {
            return ti.umriss.Schneidet(feld) &&
                   std::any_of(ti.kaesten.begin(), ti.kaesten.end(),
                               [&](const RecordingCanvas::Kasten& k) { return k.Schneidet(feld); });
        });
        if (frei) {
            return std::make_pair(x, y);
        }
    }
    return std::nullopt;
}

}  // namespace

// The drawing state of one page: the rectangle, the line height and the
// current position.
class PrintRechnung::Seite {
  public:
    Seite(Canvas& canvas, int left, int top, int width, int height, int zeilenhoehe)
        : canvas_(canvas), left_(left), top_(top), W(width), H(height), L(zeilenhoehe) {}

    void Schrift(double k, int weight, bool underline = false) {
        canvas_.SelectFont(kSchrift, static_cast<int>(k * L), weight, underline);
    }
    void Text(const std::string& text) { canvas_.DrawText(left_ + x, top_ + y, text); }
    void TextBei(int px, int py, const std::string& text) {
        canvas_.DrawText(left_ + px, top_ + py, text);
    }
    void Vor(double k) { y += static_cast<int>(k * L); }
    // How many characters of font k·L fit between x and `rechts` with a
    // blank left before it: what the canvas draws is that wide.
    std::size_t ZeichenBis(int rechts, double k) const {
        const double breite = Canvas::kZeichenbreite * static_cast<int>(k * L);
        if (breite <= 0 || rechts <= x) {
            return 0;
        }
        const auto n = static_cast<std::size_t>((rechts - x) / breite);
        return n > 0 ? n - 1 : 0;
    }
    void Briefkopf() { canvas_.PlayLetterhead(left_, top_, W, H); }
    bool HatBriefkopf() const { return canvas_.HasLetterhead(); }

    // What the seller's lines and the code are drawn on, in device units:
    // the page's position is Links() and Oben().
    Canvas& Leinwand() { return canvas_; }
    int Links() const { return left_; }
    int Oben() const { return top_; }
    // How wide n characters of font k·L are.
    int Breite(std::size_t n, double k) const {
        return static_cast<int>(static_cast<double>(n) * Canvas::kZeichenbreite *
                                static_cast<int>(k * L));
    }
    const std::vector<RecordingCanvas::Text>& Gezeichnet() const {
        return canvas_.Protokoll().Texts();
    }
    // Where the lowest ink of the page so far ends, in device units (the
    // top of the page when nothing is drawn).
    int Tintenende() const {
        double ende = top_;
        for (const auto& t : Gezeichnet()) {
            for (const auto& k : RecordingCanvas::Tinte(t)) {
                ende = std::max(ende, k.bottom);
            }
        }
        return static_cast<int>(std::ceil(ende));
    }

    int x = 0;
    int y = 0;

  private:
    Mitschrift canvas_;
    int left_;
    int top_;

  public:
    const int W;
    const int H;
    const int L;
};

PrintRechnung::PrintRechnung(std::int32_t art, bool /*vorschau*/, Verwaltungen* verwaltungen,
                             const Kunde* kunde, const Rechnung* rechnung)
    : art_(art), kunde_(kunde), rechnung_(rechnung), verwaltungen_(verwaltungen) {
    std::int32_t n = rechnung_ != nullptr ? rechnung_->GetAnzahlPosten() : 0;
    while (n > PostenProSeite()) {
        ++seiten_;
        n -= PostenProSeite();
    }
    if (verwaltungen_ != nullptr && verwaltungen_->customizer != nullptr) {
        const std::string datei =
            Firmendaten::DateiNeben(FixedText::Get(verwaltungen_->customizer->dateiName));
        Firmendaten gelesen;
        if (const Ergebnis<void> geladen = gelesen.Laden(datei); !geladen) {
            // The invoice still prints, without the seller, and the user
            // learns why.
            leseFehler_ = "Die Datei " + datei + " kann nicht gelesen werden (" +
                          geladen.Ursache().Grund() + "). Die Firmendaten fehlen auf dem Ausdruck.";
        } else {
            firma_ = gelesen;
        }
    }
    ZahlungBestimmen();
}

void PrintRechnung::SetFirmendaten(const Firmendaten& firma) {
    firma_ = firma;
    leseFehler_.clear();
    ZahlungBestimmen();
}

int PrintRechnung::PostenProSeite() const {
    return Daten(art_).postenProSeite;
}

int PrintRechnung::Papierquelle() const {
    return Daten(art_).papierquelle;
}

int PrintRechnung::Zeilenhoehe(int seitenHoehe) const {
    return seitenHoehe / Daten(art_).zeilenTeiler;
}

std::string PrintRechnung::JobTitel() const {
    std::string nachname = kunde_ != nullptr ? FixedText::Get(kunde_->Nachname) : kNichtVerfuegbar;
    std::string vorname = kunde_ != nullptr ? FixedText::Get(kunde_->Vorname) : kNichtVerfuegbar;
    return Format(Daten(art_).jobTitel, nachname.c_str(), vorname.c_str());
}

namespace {

// What the page needs to know of the invoice's surroundings, with "N/A" and
// zero where a record is missing.
struct Umfeld {
    Umfeld(const Kunde* k, const Rechnung& r, Verwaltungen* v)
        : kunde(k), verwaltungen(v), betrag(r, Einstellungen()) {}

    const Kunde* kunde;
    Verwaltungen* verwaltungen;
    const Rechnungsbetrag betrag;

    template <std::size_t N>
    std::string Feld(const char (Kunde::*feld)[N]) const {
        return kunde != nullptr ? FixedText::Get(kunde->*feld) : kNichtVerfuegbar;
    }

    std::string Name() const {
        return Format("%s %s %s", Feld(&Kunde::Anrede).c_str(), Feld(&Kunde::Vorname).c_str(),
                      Feld(&Kunde::Nachname).c_str());
    }

    // "55234 Bechtolsheim", or just the town when there is no postcode.
    std::string PlzOrt() const {
        if (kunde != nullptr && kunde->PLZ > 0) {
            return Format("%d %s", kunde->PLZ, Feld(&Kunde::Ort).c_str());
        }
        return Feld(&Kunde::Ort);
    }

    const Customizer* Einstellungen() const {
        return verwaltungen != nullptr ? verwaltungen->customizer : nullptr;
    }

    bool MwstEnthalten() const {
        return Einstellungen() != nullptr && Einstellungen()->mwstEnthalten;
    }
    float Mwst() const { return Einstellungen() != nullptr ? Einstellungen()->mwst : 0.0f; }
    std::string Waehrung() const {
        return Einstellungen() != nullptr ? Einstellungen()->Waehrung() : std::string();
    }

    const Wein* WeinZu(std::int32_t nummer) const {
        if (verwaltungen == nullptr || verwaltungen->weinlistenVerwaltung == nullptr) {
            return nullptr;
        }
        return verwaltungen->weinlistenVerwaltung->GetWein(nummer);
    }

    std::string Betrag(std::int64_t cent) const {
        return Waehrung() + " " + Rechnungsbetrag::Text(cent);
    }
};

// The items of page `seite` in chain order: the first (seite - 1) × perPage
// items are passed over, then at most perPage are visited.
void FuerPostenDerSeite(const Rechnung& rechnung, int seite, int proSeite,
                        const std::function<void(const PostenVerwaltung::Posten&)>& f) {
    const long ueberspringen = static_cast<long>(seite - 1) * proSeite;
    PostenVerwaltung::Posten posten;
    std::int32_t cursor = rechnung.FirstPosten();
    long gesehen = 0;
    while (gesehen < ueberspringen + proSeite && rechnung.NextPosten(posten, cursor)) {
        if (gesehen >= ueberspringen) {
            f(posten);
        }
        ++gesehen;
    }
}

template <std::size_t N>
std::string WeinText(const Wein* wein, const char (Wein::*feld)[N]) {
    return wein != nullptr ? FixedText::Get(wein->*feld) : kNichtVerfuegbar;
}

// The second line of an item on both invoices: the description from its
// column, then unit price and line total, each ending at its column. A
// description too long for the room before the price is cut so that a blank
// still stands before the price: written over, the price could not be read.
std::string PreisZeile(const Umfeld& u, const PostenVerwaltung::Posten& p, std::size_t bezeichnung,
                       std::size_t preisEnde, std::size_t summeEnde) {
    const Rechnungsbetrag::Posten betrag = Rechnungsbetrag::Von(p, u.Einstellungen());
    return Zeile()
        .Ab(bezeichnung, WeinText(u.WeinZu(p.weinNummer), &Wein::bezeichnung))
        .BisVor(preisEnde, Rechnungsbetrag::Text(betrag.preis))
        .BisVor(summeEnde, Rechnungsbetrag::Text(betrag.betrag))
        .Text();
}

}  // namespace

void PrintRechnung::Layout(Canvas& canvas, int seite, int left, int top, int width,
                           int height) const {
    if (rechnung_ == nullptr) {
        return;
    }
    Seite s(canvas, left, top, width, height, Zeilenhoehe(height));
    switch (art_) {
        case kPackliste:
            Packliste(s, seite);
            break;
        case kInterneRechnung:
            InterneRechnung(s, seite);
            break;
        default:
            KundenRechnung(s, seite);
            break;
    }
}

void PrintRechnung::KundenRechnung(Seite& s, int seite) const {
    const Umfeld u{kunde_, *rechnung_, verwaltungen_};
    s.Briefkopf();
    s.y = s.H / 5;
    if (seite == 1) {
        s.x = s.W / 9;
        s.Schrift(1, Canvas::kNormal);
        s.Text(u.Name());
        s.Vor(1);
        s.Text(u.Feld(&Kunde::Strasse));
        s.Vor(2);
        s.Schrift(1.2, Canvas::kBold);
        s.Text(u.PlzOrt());
        s.Vor(3);
    } else {
        s.Vor(5);
    }

    s.x = s.W / 25;
    s.Schrift(1.5, Canvas::kBold);
    s.Text(Format("Rechnung Nr.: %d", rechnung_->nummer));
    s.Vor(1.5);
    s.Schrift(0.7, Canvas::kBold);
    s.Text("(bei Zahlung bitte angeben)");
    s.Vor(1);

    s.Schrift(1, Canvas::kBold);
    if (u.betrag.datiert) {
        s.TextBei(static_cast<int>(s.W * 0.685), static_cast<int>(s.H * 0.284),
                  u.betrag.datum.Text());
    }
    if (!FixedText::IsEmpty(rechnung_->bemerkung)) {
        s.Schrift(0.9, Canvas::kBold);
        s.Text(FixedText::Get(rechnung_->bemerkung));
        s.Vor(0.7);
    }
    if (rechnung_->steigen > 0 || rechnung_->kartons > 0) {
        s.Schrift(1, Canvas::kBold);
        s.Text(Format("Steigen: %d / Kartons: %d", rechnung_->steigen, rechnung_->kartons));
        s.Vor(1);
    }

    s.Schrift(1, Canvas::kBold, true);
    s.Text(std::string(81, ' '));
    s.Vor(1);
    s.Text("Zahl  Füllmenge   Weinname & Sorte                       Einzelpreis  Gesamtpreis"_w);
    s.Vor(2);

    s.Schrift(1, Canvas::kBold);
    // Where the last item begins: the payment code stays below it.
    int letzterPosten = s.y;
    FuerPostenDerSeite(*rechnung_, seite, PostenProSeite(), [&](const PostenVerwaltung::Posten& p) {
        const Wein* wein = u.WeinZu(p.weinNummer);
        letzterPosten = s.y;
        s.Text(Zeile()
                   .Fest(0, Format("%4d", p.menge))
                   .Ab(6, WeinText(wein, &Wein::fuellmenge))
                   .Ab(18, WeinText(wein, &Wein::name))
                   .Text());
        s.Vor(1);
        s.Text(PreisZeile(u, p, 25, 68, 81));
        s.Vor(1.75);
    });

    if (seite != seiten_) {
        Verkaeufer(s);
        return;
    }
    const int endbetragsblock = s.y;
    s.Text(std::string(61, ' ') + std::string(20, '_'));
    s.Vor(2);
    if (!u.MwstEnthalten()) {
        s.Text(Zeile().Ab(25, "Summe").BisVor(81, u.Betrag(u.betrag.summe)).Text());
        s.Vor(1);
        s.Text(Zeile()
                   .Ab(25, Format("zzgl. %0.2f %% Mehrwertsteuer", static_cast<double>(u.Mwst())))
                   .BisVor(81, u.Betrag(u.betrag.mwst))
                   .Text());
        s.Vor(1.5);
        const std::string endbetrag = u.Betrag(u.betrag.endbetrag);
        s.Text(Zeile().Ab(25, "ENDBETRAG").BisVor(81, endbetrag).Text());
        s.Vor(1);
        s.Text(Zeile().BisVor(81, std::string(endbetrag.size(), '=')).Text());
    } else {
        const std::string endbetrag = u.Betrag(u.betrag.summe);
        s.Text(Zeile().Ab(25, "ENDBETRAG").BisVor(81, endbetrag).Text());
        s.Vor(1);
        s.Text(Zeile().BisVor(81, std::string(endbetrag.size(), '=')).Text());
        s.Vor(1);
        s.Schrift(0.75, Canvas::kNormal);
        s.Text(Format("     der Endbetrag enth\xE4lt %s (%0.2f %% Umsatzsteuer) ",
                      u.Betrag(u.betrag.mwst).c_str(), static_cast<double>(u.Mwst())));
        s.Schrift(1, Canvas::kBold);
    }
    s.x = s.W / 7;
    s.y = s.H - s.H / 10;
    s.Text("Betrag dankend erhalten");
    s.Vor(1);
    s.Text("_______________, den _____________________");
    Verkaeufer(s);
    ZahlCode(s, s.W / 25, endbetragsblock, letzterPosten);
}

void PrintRechnung::InterneRechnung(Seite& s, int seite) const {
    const Umfeld u{kunde_, *rechnung_, verwaltungen_};
    const int kopfX = static_cast<int>(s.W / 2.3);
    s.y = s.H / 20;
    if (seite == 1) {
        s.x = s.W / 16;
        s.Schrift(1, Canvas::kNormal);
        // Name and street stand beside the invoice's number and date: a long
        // one is cut so that a blank stays before them.
        s.Text(u.Name().substr(0, s.ZeichenBis(kopfX, 1)));
        s.Vor(1);
        s.Text(u.Feld(&Kunde::Strasse).substr(0, s.ZeichenBis(kopfX, 1)));
        s.Vor(3);
        s.Schrift(1.2, Canvas::kBold);
        s.Text(u.PlzOrt());
        s.Vor(1);
        s.Schrift(1, Canvas::kBold);
        s.Text(Format("Telefon/Fax: %s / %s", u.Feld(&Kunde::Telefon).c_str(),
                      u.Feld(&Kunde::Fax).c_str()));
    }

    s.y = s.H / 20;
    s.x = kopfX;
    s.Schrift(1.2, Canvas::kBold);
    if (seiten_ > 1) {
        s.Text(Format("Rechnung Nr.   : %d (Seite %d von %d)", rechnung_->nummer, seite, seiten_));
    } else {
        s.Text(Format("Rechnung Nr.   : %d", rechnung_->nummer));
    }
    s.Vor(1);
    const Datum datum(rechnung_->datum);
    if (datum.Year() > 1970 && datum.Year() < 10000) {
        s.Text(Format("Datum          : %.2d.%.2d.%.2d", datum.Day(), datum.Month(), datum.Year()));
    } else {
        s.Text("Datum          : N/A");
    }
    s.Vor(1);
    const Datum erfasst(rechnung_->erfasstDatum);
    const Zeit zeit(rechnung_->erfasstZeit);
    s.Text(Format("Erstellt am    : %.2d.%.2d.%.2d %.2d:%.2d:%.2d", erfasst.Day(), erfasst.Month(),
                  erfasst.Year(), zeit.Hour(), zeit.Minute(), zeit.Second()));
    s.Vor(1);
    s.Text(Format("Gewicht insges.: %0.2f kg", rechnung_->GetGewicht() * 0.001));

    s.y = s.H / 7;
    s.x = s.W / 16;
    s.Schrift(1, Canvas::kBold, true);
    s.Text(std::string(86, ' '));
    s.Vor(1);
    s.Text(
        "Wein Nr. Zahl  Füllmenge   Weinname & Sorte                       Einzel-  Gesamtpreis"_w);
    s.Vor(2);

    s.Schrift(1, Canvas::kBold);
    FuerPostenDerSeite(*rechnung_, seite, PostenProSeite(), [&](const PostenVerwaltung::Posten& p) {
        const Wein* wein = u.WeinZu(p.weinNummer);
        s.Text(Zeile()
                   .Fest(0, Format("%7d", p.weinNummer))
                   .Fest(9, Format("%4d", p.menge))
                   .Ab(15, WeinText(wein, &Wein::fuellmenge))
                   .Ab(27, WeinText(wein, &Wein::name))
                   .Text());
        s.Vor(1);
        s.Text(PreisZeile(u, p, 34, 72, 85));
        s.Vor(1.25);
    });

    if (seite != seiten_) {
        Verkaeufer(s);
        return;
    }
    s.Text(std::string(65, ' ') + std::string(20, '_'));
    s.Vor(2);
    s.Text(Zeile().Ab(32, "Summe").BisVor(85, u.Betrag(u.betrag.summe)).Text());
    s.Vor(1);
    const char* art = u.MwstEnthalten() ? "davon" : "zzgl.";
    s.Text(Zeile()
               .Ab(32, Format("%s %0.2f %% Mehrwertsteuer", art, static_cast<double>(u.Mwst())))
               .BisVor(85, u.Betrag(u.betrag.mwst))
               .Text());
    s.Vor(1);
    s.Text(Zeile().Ab(32, "Endbetrag").BisVor(85, u.Betrag(u.betrag.endbetrag)).Text());
    Verkaeufer(s);
}

void PrintRechnung::Packliste(Seite& s, int seite) const {
    const Umfeld u{kunde_, *rechnung_, verwaltungen_};
    s.y = s.H / 40;
    s.x = s.W / 15;
    s.Schrift(2, Canvas::kBold, true);
    s.Text("PACKLISTE");
    s.Vor(3);
    s.Schrift(1, Canvas::kBold);
    if (seiten_ > 1) {
        s.Text(Format("Rechnung Nr.: %d (Seite %d von %d)", rechnung_->nummer, seite, seiten_));
    } else {
        s.Text(Format("Rechnung Nr.: %d", rechnung_->nummer));
    }
    s.Vor(2);

    if (seite == 1) {
        s.x = static_cast<int>(s.W / 2.9);
        // The customer block is placed by the page width, as it always was.
        s.y = s.W / 29;
        s.Text("Kunde: " + u.Name());
        s.Vor(1);
        s.Text("       " + u.Feld(&Kunde::Strasse));
        s.Vor(1);
        s.Text("       " + u.PlzOrt());
        s.Vor(2);
        s.Text(Format("       Gewicht insges.: %0.2f kg", rechnung_->GetGewicht() * 0.001));
        s.Vor(1.5);
    }

    s.x = s.W / 15;
    s.Schrift(1, Canvas::kBold, true);
    s.Text(std::string(62, ' '));
    s.Vor(1);
    s.Text("Wein Nr. Name & Bezeichnung                             Anzahl");
    s.Vor(2);

    s.Schrift(1, Canvas::kBold);
    FuerPostenDerSeite(*rechnung_, seite, PostenProSeite(), [&](const PostenVerwaltung::Posten& p) {
        const Wein* wein = u.WeinZu(p.weinNummer);
        s.Text(Format("%7d  %s", p.weinNummer, WeinText(wein, &Wein::name).c_str()));
        s.Vor(1);
        // A long description is cut before the quantity, as on the invoices
        // before the price.
        s.Text(Zeile()
                   .Ab(16, WeinText(wein, &Wein::bezeichnung))
                   .Fest(58, Format("%4d", p.menge))
                   .Text());
        s.Vor(2);
    });
    Verkaeufer(s);
}

void PrintRechnung::Verkaeufer(Seite& s) const {
    if (!firma_.Vorhanden()) {
        return;
    }
    Canvas& c = s.Leinwand();
    int links = 0;
    int rechts = 0;
    if (art_ == kPackliste) {
        links = s.Links() + s.W / 15;
        rechts = s.Links() + s.W - s.W / 15;
    } else {
        // As wide as the item table.
        const bool kunde = art_ != kInterneRechnung;
        links = s.Links() + (kunde ? s.W / 25 : s.W / 16);
        rechts = links + s.Breite(kunde ? 81 : 86, 1);
        // In the bottom margin, below the last line of the page and clear
        // of it; the lines sit at the bottom, alike on every page.
        Absender::FussZeichnen(c, firma_, links, rechts, s.Tintenende() + s.L / 2,
                               s.Oben() + s.H - s.H / 40, static_cast<int>(0.6 * s.L));
    }
    if (s.HatBriefkopf()) {
        return;
    }
    switch (art_) {
        case kPackliste: {
            // Above the title and the customer, at the top of the sheet.
            const int zelle = static_cast<int>(0.6 * s.L);
            const int erstes = std::min(s.W / 29, s.H / 40);
            Absender::ZeileZeichnen(c, Absender::Einzeilig(firma_), links, rechts,
                                    s.Oben() + std::max(0, erstes - zelle - s.L / 5), zelle,
                                    Canvas::kNormal);
            break;
        }
        case kInterneRechnung: {
            const int zelle = static_cast<int>(0.7 * s.L);
            Absender::ZeileZeichnen(c, Absender::Einzeilig(firma_), links, rechts,
                                    s.Oben() + std::max(0, s.H / 20 - zelle - 2 * s.L / 5), zelle,
                                    Canvas::kNormal);
            break;
        }
        default:
            // The top right of the letterhead area, above the address.
            Absender::BlockZeichnen(c, firma_, links, rechts, s.Oben() + s.H / 20,
                                    static_cast<int>(0.9 * s.L));
            break;
    }
}

bool PrintRechnung::ZahlCode(Seite& s, int x, int y, int yMin) const {
    if (!giroCode_) {
        return false;
    }
    const GiroCode::Masse m = GiroCode::Platz(*giroCode_, s.H);
    // Best left of the totals, the symbol in line with the items, the
    // caption level with the rule above the sum; else the nearest place
    // below the last item where nothing is printed, the quiet zone
    // included.
    const int links = s.Links();
    const int rechts = s.Links() + s.W;
    const auto ort = FreierPlatz(
        s.Gezeichnet(), m.breite, m.hoehe, links + x - m.ruhezone, s.Oben() + y,
        std::max(links, links + x - m.ruhezone),
        std::min(rechts - m.breite, links + x + s.Breite(81, 1) + m.ruhezone - m.breite),
        s.Oben() + yMin, s.Oben() + s.H - s.H / 100 - m.hoehe, std::max(1, s.L / 3));
    if (!ort) {
        return false;
    }
    GiroCode::Zeichnen(s.Leinwand(), *giroCode_, m, ort->first, ort->second);
    return true;
}

void PrintRechnung::ZahlungBestimmen() {
    giroCode_.reset();
    giroText_.clear();
    hinweis_ = leseFehler_;
    if (art_ != kKundenRechnung || rechnung_ == nullptr) {
        return;
    }
    const Customizer* einstellungen =
        verwaltungen_ != nullptr ? verwaltungen_->customizer : nullptr;
    const bool euro = einstellungen != nullptr && einstellungen->preiseInEuro;
    const Rechnungsbetrag betrag(*rechnung_, einstellungen);
    GiroCode::Zahlung zahlung =
        GiroCode::Fuer(firma_, euro, betrag.offen,
                       Format("Rechnung %d Kunde %d", rechnung_->nummer, rechnung_->kunde));
    if (!zahlung.hinweis.empty()) {
        hinweis_ += (hinweis_.empty() ? "" : " ") + zahlung.hinweis;
    }
    if (!zahlung.symbol) {
        return;
    }
    giroCode_ = std::move(zahlung.symbol);
    giroText_ = zahlung.text;
    // Whether the last page has room for it is the same on every device,
    // as the page is laid out in fractions of its size: an A4 sheet tells.
    RecordingCanvas probe;
    Layout(probe, seiten_, 0, 0, 2100, 2970);
    if (probe.Codes().empty()) {
        giroCode_.reset();
        giroText_.clear();
        hinweis_ += std::string(hinweis_.empty() ? "" : " ") +
                    "GiroCode nicht gedruckt: Auf der letzten Seite der Rechnung ist kein Platz "
                    "daf\xFCr.";
    }
}
