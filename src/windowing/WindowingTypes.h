#pragma once

#include <cstdint>
#include <string>

// Small value types shared by the window interface, the application services
// and their implementations. Every text is Windows-1252.

// The buttons of a message box.
enum class MessageButtons { Ok, YesNo, YesNoCancel };

// The answer of a message box and the result of a modal dialog. The values
// are the button identifiers dialogs use: 1 "OK", 2 "Abbruch"/"Zurück".
enum class Answer : int { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

// The icon of a message box; most of the program's boxes show none.
enum class MessageIcon { None, Information, Warning, Question, Error };

// Alignment of a list view column.
enum class Align { Left, Right, Center };

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    bool operator==(const Rgb&) const = default;
};

// The well-known identifiers of dialog buttons.
namespace ControlId {
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
}  // namespace ControlId

// A save-file dialog as the program asks for it. The filter list has the
// form "Textdatei (*.TXT)|*.txt|Excel Tabelle (*.XLS)|*.xls|": description and
// pattern alternate, each followed by '|'. Title and filter are texts
// (Windows-1252); file and directory names, here and in the result, are
// paths as the file system spells them and are never converted.
struct SaveFileRequest {
    std::string title;
    std::string filter;
    std::string fileName;  // preset name
    // The folder the logic suggests. The real window passes it by: it starts
    // each kind of file (by title) in the folder the user last saved it in,
    // the first time in the user's documents folder.
    std::string initialDir;
    std::string defaultExt;  // without dot, added when the name has none
};

struct SaveFileResult {
    std::string path;
    int filterIndex = 1;  // 1-based, as the user left it
};

// A folder the user chooses, or an existing file to open. The title is a text
// (Windows-1252); the folder where the chooser starts, and what it returns,
// are paths as the file system spells them.
struct FolderRequest {
    std::string title;
    std::string initialDir;
};

// The filter list has the form of SaveFileRequest's.
struct OpenFileRequest {
    std::string title;
    std::string filter;
    std::string initialDir;
};
