#include "app/EingabePruefer.h"

#include <QStringList>
#include <algorithm>
#include <utility>

#include "app/QtText.h"

namespace {

bool Speicherbar(char32_t zeichen) {
    if (zeichen < 0x80) {
        return true;
    }
    // The code page has no gaps above 0xA0 and 27 characters between 0x80
    // and 0x9F; the conversion there and back tells which.
    const QString text = QString::fromUcs4(&zeichen, 1);
    return QtText::From(QtText::To(text)) == text;
}

}  // namespace

EingabePruefer::EingabePruefer(bool nurZiffern, Verworfen verworfen, QObject* parent)
    : QValidator(parent), nurZiffern_(nurZiffern), verworfen_(std::move(verworfen)) {}

QValidator::State EingabePruefer::validate(QString& input, int& pos) const {
    QString verworfen;
    QString text = OhneFremdeZeichen(EineZeile(input, pos), verworfen, pos);
    if (!verworfen.isEmpty() && verworfen_) {
        verworfen_(verworfen);
    }
    if (nurZiffern_) {
        for (QChar c : text) {
            if (!c.isDigit() || c.unicode() > 0x7F) {
                return Invalid;
            }
        }
    }
    input = text;
    pos = std::min(pos, static_cast<int>(input.size()));
    return Acceptable;
}

QString EingabePruefer::EineZeile(const QString& text, int& pos) {
    QString zeile;
    zeile.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) {
            if (i < pos) {
                --pos;
            }
            continue;  // the LF that follows gives the blank
        }
        const bool bruch = c == QLatin1Char('\r') || c == QLatin1Char('\n') ||
                           c == QLatin1Char('\t') || c == QLatin1Char('\v') ||
                           c == QLatin1Char('\f') || c == QChar::LineSeparator ||
                           c == QChar::ParagraphSeparator;
        if (bruch) {
            zeile += QLatin1Char(' ');
        } else if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
            // Other control characters cannot be seen and have no place in a
            // name or an address.
            if (i < pos) {
                --pos;
            }
        } else {
            zeile += c;
        }
    }
    return zeile;
}

QString EingabePruefer::OhneFremdeZeichen(const QString& text, QString& verworfen, int& pos) {
    QString rest;
    rest.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype laenge = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString zeichen = text.mid(i, laenge);
        const char32_t code = zeichen.toUcs4().value(0);
        if (Speicherbar(code)) {
            rest += zeichen;
        } else {
            if (!verworfen.contains(zeichen)) {
                verworfen += zeichen;
            }
            if (i < pos) {
                pos -= static_cast<int>(std::min<qsizetype>(laenge, pos - i));
            }
        }
        i += laenge;
    }
    return rest;
}

QString EingabePruefer::Benennen(const QString& zeichen) {
    QStringList namen;
    for (char32_t code : zeichen.toUcs4()) {
        const QString nummer = QString::number(static_cast<uint>(code), 16)
                                   .toUpper()
                                   .rightJustified(4, QLatin1Char('0'));
        namen << QStringLiteral("\u00bb%1\u00ab (U+%2)").arg(QString::fromUcs4(&code, 1), nummer);
    }
    return namen.join(QStringLiteral(", "));
}
