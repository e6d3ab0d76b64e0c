#include "documents/GiroCode.h"

#include <qrencode.h>

#include <memory>

#include "model/Firmendaten.h"
#include "model/Rechnungsbetrag.h"
#include "storage/CodePage.h"

namespace {

std::string Hoechstens(std::string text, std::size_t n) {
    if (text.size() > n) {
        text.resize(n);
    }
    return text;
}

}  // namespace

std::string GiroCode::EpcText(const std::string& bic, const std::string& name,
                              const std::string& iban, std::int64_t cent,
                              const std::string& verwendungszweck) {
    // Windows-1252 has one byte per character, so cutting before the
    // conversion counts characters, as the guidelines do.
    return "BCD\n002\n1\nSCT\n" + bic + "\n" + CodePage::Cp1252ToUtf8(Hoechstens(name, kNameLaenge)) +
           "\n" + iban + "\nEUR" + Rechnungsbetrag::Text(cent) + "\n\n\n" +
           CodePage::Cp1252ToUtf8(Hoechstens(verwendungszweck, kZweckLaenge));
}

std::optional<Modulmatrix> GiroCode::Symbol(const std::string& text) {
    if (text.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    const std::unique_ptr<QRcode, void (*)(QRcode*)> qr(
        QRcode_encodeString8bit(text.c_str(), 0, QR_ECLEVEL_M), QRcode_free);
    if (qr == nullptr || qr->version > kHoechsteVersion || qr->width <= 0) {
        return std::nullopt;
    }
    Modulmatrix matrix;
    matrix.seite = qr->width;
    matrix.dunkel.resize(static_cast<std::size_t>(qr->width) * static_cast<std::size_t>(qr->width));
    for (std::size_t i = 0; i < matrix.dunkel.size(); ++i) {
        // The lowest bit of each byte is the module's colour; the others
        // say what kind of module it is.
        matrix.dunkel[i] = (qr->data[i] & 1) != 0;
    }
    return matrix;
}

GiroCode::Zahlung GiroCode::Fuer(const Firmendaten& firma, bool euro, std::int64_t offen,
                                 const std::string& verwendungszweck) {
    Zahlung zahlung;
    const std::string iban = Firmendaten::IbanNormal(firma.iban);
    if (!euro || iban.empty() || !firma.giroCode || offen < 1) {
        return zahlung;
    }
    if (offen > kHoechstbetrag) {
        zahlung.hinweis =
            "GiroCode nicht gedruckt: Der offene Betrag ist gr\xF6\xDF"
            "er als ein GiroCode fassen kann.";
        return zahlung;
    }
    if (!Firmendaten::PruefeIban(iban).empty()) {
        zahlung.hinweis = "GiroCode nicht gedruckt: Die IBAN in den Firmendaten ist ung\xFCltig.";
        return zahlung;
    }
    if (firma.name.find_first_not_of(' ') == std::string::npos) {
        zahlung.hinweis = "GiroCode nicht gedruckt: In den Firmendaten fehlt der Name.";
        return zahlung;
    }
    // A BIC of the wrong form could make a banking app refuse the whole
    // code; within the euro area the IBAN alone suffices.
    const std::string bic = Firmendaten::PruefeBic(firma.bic).empty() ? firma.bic : std::string();
    const std::string text = EpcText(bic, firma.name, iban, offen, verwendungszweck);
    zahlung.symbol = Symbol(text);
    if (!zahlung.symbol) {
        zahlung.hinweis = "GiroCode nicht gedruckt: Die Angaben passen nicht in einen GiroCode.";
        return zahlung;
    }
    zahlung.text = text;
    return zahlung;
}

GiroCode::Masse GiroCode::Platz(const Modulmatrix& symbol, int seitenHoehe) {
    Masse m;
    const int n = symbol.seite > 0 ? symbol.seite : 1;
    // 26 of the sheet's 297 mm, rounded up.
    m.seite = static_cast<int>((static_cast<long long>(seitenHoehe) * 26 + 296) / 297);
    m.ruhezone = (4 * m.seite + n - 1) / n;
    m.schrift = m.seite / 9;
    m.breite = m.ruhezone + m.seite + m.ruhezone;
    m.hoehe = m.schrift + m.ruhezone + m.seite + m.ruhezone;
    return m;
}

void GiroCode::Zeichnen(Canvas& canvas, const Modulmatrix& symbol, const Masse& masse, int links,
                        int oben) {
    const int x = links + masse.ruhezone;
    canvas.SelectFont(Canvas::kSchrift, masse.schrift, Canvas::kNormal, false);
    canvas.DrawText(x, oben, kBeschriftung);
    canvas.DrawModules(x, oben + masse.schrift + masse.ruhezone, masse.seite, symbol);
}
