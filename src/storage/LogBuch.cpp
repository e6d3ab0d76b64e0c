#include "storage/LogBuch.h"

#include <cstdio>
#include <ctime>
#include <locale>

#include "storage/Clock.h"
#include "storage/CodePage.h"
#include "storage/MessageException.h"

LogBuch::LogBuch(const std::string& fileName, Zugriff zugriff)
    : fileName_(fileName), zugriff_(zugriff), buffer_(*this), stream_(&buffer_) {
    if (zugriff == Zugriff::Schreiben) {
        Ergebnis<File> file = File::OpenAppend(fileName);
        if (file) {
            file_ = std::move(*file);
        } else {
            openError_ = file.Ursache();
        }
    }
    // Numbers in the log book never take the user's locale.
    stream_.imbue(std::locale::classic());
    // A line that cannot be written raises its exception out of the flush
    // (std::endl) instead of leaving the stream quietly bad.
    stream_.exceptions(std::ios::badbit);
}

LogBuch::~LogBuch() {
    try {
        WritePending();
    } catch (const MessageException&) {
        // An unfinished line at the end; no change waits for it.
    }
}

std::string LogBuch::SchreibFehler(const Fehler& fehler) {
    return "Die Zeile für das Logbuch "_w + CodePage::Utf8ToCp1252(fehler.Pfad()) +
           " konnte nicht geschrieben werden (" + fehler.Grund() +
           "). Die Änderung wurde nicht ausgeführt."_w;
}

std::ostream& LogBuch::Stamp() {
    Schreibverbot::Pruefen(zugriff_, fileName_, "LogBuch::Stamp");
    std::time_t now = static_cast<std::time_t>(Clock::Now());
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "(%2d.%2d.%4d %2d:%2d:%2d) ", local.tm_mday,
                  local.tm_mon + 1, local.tm_year + 1900, local.tm_hour, local.tm_min,
                  local.tm_sec);
    stream_.clear();
    stream_ << stamp;
    return stream_;
}

void LogBuch::Verwerfen() {
    buffer_.str(std::string());
    stream_.clear();
}

int LogBuch::LineBuffer::sync() {
    owner_.WritePending();
    return 0;
}

void LogBuch::WritePending() {
    std::string text = buffer_.str();
    if (text.empty()) {
        return;
    }
    buffer_.str(std::string());
    std::string line;
    line.reserve(text.size() + 8);
    for (char c : text) {
        if (c == '\n') {
            line.push_back('\r');
        }
        line.push_back(c);
    }
    if (!file_.IsOpen()) {
        return;
    }
    const Ergebnis<std::int64_t> vorher = file_.Size();
    Ergebnis<void> geschrieben = file_.Append(line);
    if (geschrieben) {
        geschrieben = file_.DataSync();
    }
    if (!geschrieben) {
        // Half a line would run into the next one; take it back.
        if (vorher) {
            (void)file_.Truncate(*vorher);
        }
        throw MessageException(SchreibFehler(geschrieben.Ursache()));
    }
}
