#pragma once

#include <optional>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>

#include "storage/File.h"
#include "storage/Zugriff.h"

// The change log book: an append-only text file in which the managers record
// every destructive change with the values from before it. One line per
// event, Windows-1252, CR LF.
//
//   logBuch.Stamp() << marker << values << std::endl;
//
// The line is gathered in memory and reaches the file in one write when the
// stream is flushed, and is synced to the disk before the flush returns: the
// log book is the only record of what a destructive change destroyed, so the
// line must be there before the change is made. When it cannot be written
// (a full disk), the flush raises a MessageException and takes back whatever
// part of the line reached the file; the caller then leaves its change
// undone. A log book whose file cannot be opened at all is reported once at
// start (see IsOpen) and then swallows its lines.
class LogBuch {
  public:
    // Read-only, the file is neither created nor opened, and Stamp raises
    // Schreibverbot.
    explicit LogBuch(const std::string& fileName, Zugriff zugriff = Zugriff::Schreiben);
    ~LogBuch();

    LogBuch(const LogBuch&) = delete;
    LogBuch& operator=(const LogBuch&) = delete;

    // Begins a new line with the stamp "( 6.12.2026  9: 5: 3) " of the
    // current local date and time and returns the stream to write it on.
    std::ostream& Stamp();

    // Drops a line begun but not yet flushed: the change it was to describe
    // did not happen.
    void Verwerfen();

    bool IsOpen() const { return file_.IsOpen(); }
    // Why the file could not be opened, if it could not.
    const std::optional<Fehler>& OpenError() const { return openError_; }
    const std::string& FileName() const { return fileName_; }

    // The German message of a line that could not be written.
    static std::string SchreibFehler(const Fehler& fehler);

  private:
    // Collects a line and hands it to the file on flush, with every LF
    // written as CR LF (the text mode of the original).
    class LineBuffer : public std::stringbuf {
      public:
        explicit LineBuffer(LogBuch& owner) : owner_(owner) {}

      protected:
        int sync() override;

      private:
        LogBuch& owner_;
    };

    void WritePending();

    std::string fileName_;
    Zugriff zugriff_;
    File file_;
    std::optional<Fehler> openError_;
    LineBuffer buffer_;
    std::ostream stream_;
};
