#pragma once

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
// stream is flushed, so a crash never leaves half a line. A log book whose
// file cannot be opened swallows every line without a word.
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

    bool IsOpen() const { return file_.IsOpen(); }

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
    LineBuffer buffer_;
    std::ostream stream_;
};
