#include "windowing/UiLayout.h"

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace {

std::string Attribute(const std::string& tag, const std::string& name) {
    std::string key = " " + name + "=\"";
    std::size_t pos = tag.find(key);
    if (pos == std::string::npos) {
        return {};
    }
    pos += key.size();
    std::size_t end = tag.find('"', pos);
    return end == std::string::npos ? std::string() : tag.substr(pos, end - pos);
}

std::string Unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            out += text[i];
            continue;
        }
        std::size_t semi = text.find(';', i);
        if (semi == std::string::npos) {
            out += text[i];
            continue;
        }
        static const std::map<std::string, char> kZeichen = {
            {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
        const auto zeichen = kZeichen.find(text.substr(i + 1, semi - i - 1));
        out += zeichen != kZeichen.end() ? std::string(1, zeichen->second)
                                         : text.substr(i, semi - i + 1);
        i = semi;
    }
    return out;
}

UiLayout::Kind KindOf(const std::string& cls) {
    using K = UiLayout::Kind;
    static const std::map<std::string, K> kArten = {
        {"QLineEdit", K::Edit},          {"QPlainTextEdit", K::MultiLineEdit},
        {"QTextEdit", K::MultiLineEdit}, {"QLabel", K::Static},
        {"QPushButton", K::Button},      {"QToolButton", K::Button},
        {"QCheckBox", K::CheckBox},      {"QRadioButton", K::RadioButton},
        {"QComboBox", K::ComboBox},      {"QListWidget", K::ListBox},
        {"QTreeView", K::ListView},      {"QTreeWidget", K::ListView},
        {"QTableView", K::ListView},     {"QGroupBox", K::GroupBox},
        {"QTabWidget", K::TabWidget},    {"QChartView", K::ChartView}};
    const auto art = kArten.find(cls);
    return art == kArten.end() ? K::Other : art->second;
}

// The content of the first value element inside a property.
std::string PropertyValue(const std::string& body) {
    std::size_t open = body.find('<');
    while (open != std::string::npos) {
        std::size_t close = body.find('>', open);
        if (close == std::string::npos) {
            return {};
        }
        std::string tag = body.substr(open + 1, close - open - 1);
        std::string name = tag.substr(0, tag.find_first_of(" /"));
        if (name == "string" || name == "bool" || name == "number" || name == "cstring") {
            if (!tag.empty() && tag.back() == '/') {
                return {};
            }
            std::size_t end = body.find("</" + name + ">", close);
            return end == std::string::npos ? std::string()
                                            : Unescape(body.substr(close + 1, end - close - 1));
        }
        open = body.find('<', close);
    }
    return {};
}

}  // namespace

UiLayout UiLayout::Load(const std::string& path, Umwandlung umwandlung) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read layout " + path);
    }
    std::ostringstream text;
    text << in.rdbuf();
    return Parse(text.str(), umwandlung);
}

UiLayout UiLayout::Parse(const std::string& xml, Umwandlung umwandlung) {
    UiLayout layout;
    // The stack of open widgets: their identifiers (-1 for unnamed ones) and
    // their numbers in the order they were opened.
    struct Offen {
        int id;
        int nummer;
    };
    // The tab widget the innermost open widget is a page of, or null.
    auto tabsOf = [&](const std::vector<Offen>& offen) -> Control* {
        if (offen.size() < 2 || offen[offen.size() - 2].id < 0) {
            return nullptr;
        }
        Control& c = layout.controls[offen[offen.size() - 2].id];
        return c.kind == Kind::TabWidget ? &c : nullptr;
    };
    std::vector<Offen> widgets;
    int naechste = 0;
    std::size_t pos = 0;
    while ((pos = xml.find('<', pos)) != std::string::npos) {
        std::size_t end = xml.find('>', pos);
        if (end == std::string::npos) {
            break;
        }
        std::string tag = xml.substr(pos, end - pos + 1);
        if (tag.rfind("<widget ", 0) == 0) {
            std::string name = Attribute(tag, "name");
            int id = -1;
            const int nummer = naechste++;
            if (name.size() > 1 && name.size() < 10 && name[0] == 'c' &&
                name.find_first_not_of("0123456789", 1) == std::string::npos) {
                id = std::stoi(name.substr(1));
                layout.controls[id].kind = KindOf(Attribute(tag, "class"));
                layout.controls[id].parent = widgets.empty() ? 0 : widgets.back().nummer;
            }
            if (tag[tag.size() - 2] != '/') {
                widgets.push_back({id, nummer});
            }
        } else if (tag.rfind("<attribute ", 0) == 0 && Attribute(tag, "name") == "title") {
            // A tab widget's page gives its title as an attribute.
            std::size_t close = xml.find("</attribute>", end);
            if (close == std::string::npos) {
                break;
            }
            if (Control* tabs = tabsOf(widgets)) {
                tabs->items.push_back(
                    umwandlung(PropertyValue(xml.substr(end + 1, close - end - 1))));
            }
            pos = close;
            continue;
        } else if (tag == "</widget>") {
            if (!widgets.empty()) {
                widgets.pop_back();
            }
        } else if (tag.rfind("<property ", 0) == 0 && !widgets.empty()) {
            std::size_t close = xml.find("</property>", end);
            if (close == std::string::npos) {
                break;
            }
            std::string property = Attribute(tag, "name");
            std::string value = PropertyValue(xml.substr(end + 1, close - end - 1));
            int id = widgets.back().id;
            if (widgets.size() == 1 && property == "windowTitle") {
                layout.caption = umwandlung(value);
            } else if (id >= 0) {
                Control& c = layout.controls[id];
                if (property == "text" || property == "title" || property == "plainText") {
                    c.text = umwandlung(value);
                } else if (property == "checked") {
                    c.checked = value == "true";
                } else if (property == "enabled") {
                    c.enabled = value != "false";
                } else if (property == "editable") {
                    c.editable = value == "true";
                } else if (property == "sorted" || property == "sortingEnabled") {
                    c.sorted = value == "true";
                } else if (property == "digitsOnly") {
                    c.digitsOnly = value == "true";
                } else if (property == "default") {
                    c.isDefault = value == "true";
                } else if (property == "maxLength") {
                    c.maxLength = std::stoi(value);
                }
            }
            pos = close;
            continue;
        }
        pos = end + 1;
    }
    return layout;
}
