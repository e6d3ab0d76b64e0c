#pragma once

#include <QValidator>
#include <functional>

// What a single-line field takes from the user's typing and pasting. A line
// break or a tab becomes a blank: the field holds one line, and the files its
// text goes into (address files, the log book) are split at line breaks.
// Characters the program's encoding (Windows-1252) cannot store are left
// out, and `verworfen` is told which they were, so that the user hears of
// it instead of finding a "?" later. A digits-only field refuses everything
// but digits, as typed.
class EingabePruefer : public QValidator {
  public:
    using Verworfen = std::function<void(const QString& zeichen)>;

    EingabePruefer(bool nurZiffern, Verworfen verworfen, QObject* parent);

    State validate(QString& input, int& pos) const override;

    // The text without the characters Windows-1252 cannot store; those go
    // into `verworfen` (each once, in order). `pos`, a place in the text,
    // moves with what is left out before it.
    static QString OhneFremdeZeichen(const QString& text, QString& verworfen, int& pos);
    // Line breaks (CR LF counts as one) and tabs become blanks; other
    // control characters are left out.
    static QString EineZeile(const QString& text, int& pos);
    // "»Ж« (U+0416), »😀« (U+1F600)": the characters, for a message.
    static QString Benennen(const QString& zeichen);

  private:
    bool nurZiffern_;
    Verworfen verworfen_;
};
