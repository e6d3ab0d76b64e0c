#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

// What a dialog's Qt Designer layout says about its controls, read without
// the toolkit: each widget named "c<identifier>" with its kind and initial
// state. The in-memory windows of the tests are built from it, so a test
// fails when the logic uses a control the layout does not have.
class UiLayout {
  public:
    enum class Kind {
        Edit,
        MultiLineEdit,
        Static,
        Button,
        CheckBox,
        RadioButton,
        ComboBox,
        ListBox,
        ListView,
        GroupBox,
        TabWidget,
        ChartView,
        Other
    };

    struct Control {
        Kind kind = Kind::Other;
        std::string text;  // Windows-1252
        bool checked = false;
        bool enabled = true;
        bool editable = false;  // combo box with an edit field
        bool sorted = false;
        int maxLength = -1;
        bool digitsOnly = false;  // an edit that takes digits only
        bool isDefault = false;   // the button Enter presses
        // A tab widget's pages, by their titles (Windows-1252).
        std::vector<std::string> items;
        // The widget the control sits in, numbered in the order the layout
        // names its widgets (0: the dialog itself). Radio buttons with the
        // same parent form one group, as they do in the toolkit.
        int parent = 0;
    };

    // Turns the layout's UTF-8 texts into the program's encoding.
    using Umwandlung = std::string (*)(std::string_view utf8);

    // Raises std::runtime_error when the file cannot be read.
    static UiLayout Load(const std::string& path, Umwandlung umwandlung);
    static UiLayout Parse(const std::string& xml, Umwandlung umwandlung);

    std::string caption;  // Windows-1252
    std::map<int, Control> controls;
};
