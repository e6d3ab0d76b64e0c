#pragma once

#include <QString>
#include <string>

// The program keeps its texts in Windows-1252; the toolkit speaks UTF-16.
// Every text crosses here and nowhere else.
class QtText {
  public:
    static QString From(const std::string& cp1252);
    static std::string To(const QString& text);
    // File system paths are bytes in the system's encoding, not texts.
    static QString FromPath(const std::string& path) { return QString::fromLocal8Bit(path); }
    static std::string ToPath(const QString& path) { return path.toLocal8Bit().toStdString(); }
};
