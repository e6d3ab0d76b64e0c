#include "windowing/FileFilter.h"

#include <cctype>

namespace {

std::string Trim(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin])) != 0) {
        ++begin;
    }
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1])) != 0) {
        --end;
    }
    return text.substr(begin, end - begin);
}

std::vector<std::string> SplitPatterns(const std::string& text) {
    std::vector<std::string> patterns;
    std::string current;
    auto flush = [&] {
        std::string p = Trim(current);
        if (p == "*.*") {
            p = "*";
        }
        if (!p.empty()) {
            patterns.push_back(p);
        }
        current.clear();
    };
    for (char c : text) {
        if (c == ';' || c == ' ') {
            flush();
        } else {
            current += c;
        }
    }
    flush();
    return patterns;
}

// The text inside the last "(...)" of a description, or empty.
std::string ParenPart(const std::string& description) {
    std::size_t close = description.rfind(')');
    if (close == std::string::npos) {
        return {};
    }
    std::size_t open = description.rfind('(', close);
    if (open == std::string::npos) {
        return {};
    }
    return description.substr(open + 1, close - open - 1);
}

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

// The extension a pattern such as "*.xls" names, in lower case; empty for
// "*" and other patterns that name none.
std::string Extension(const std::string& pattern) {
    if (pattern.size() > 2 && pattern.compare(0, 2, "*.") == 0 &&
        pattern.find_first_of("*?", 2) == std::string::npos) {
        return Lower(pattern.substr(2));
    }
    return {};
}

}  // namespace

std::vector<FileFilter::Entry> FileFilter::Parse(const std::string& filter) {
    std::vector<std::string> parts;
    std::string current;
    for (char c : filter) {
        if (c == '|') {
            parts.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) {
        parts.push_back(current);
    }

    std::vector<Entry> entries;
    for (std::size_t i = 0; i < parts.size(); i += 2) {
        Entry entry;
        entry.description = Trim(parts[i]);
        if (i + 1 < parts.size()) {
            entry.patterns = SplitPatterns(parts[i + 1]);
        }
        if (entry.patterns.empty()) {
            entry.patterns = SplitPatterns(ParenPart(entry.description));
        }
        if (entry.patterns.empty()) {
            entry.patterns.push_back("*");
        }
        if (entry.description.empty()) {
            entry.description = entry.patterns.front();
        }
        entries.push_back(entry);
    }
    if (entries.empty()) {
        entries.push_back({"*", {"*"}});
    }
    return entries;
}

std::string FileFilter::BareDescription(const std::string& description) {
    std::string text = Trim(description);
    if (!text.empty() && text.back() == ')') {
        std::size_t open = text.rfind('(');
        if (open != std::string::npos && open > 0) {
            return Trim(text.substr(0, open));
        }
    }
    return text;
}

SaveFileResult FileFilter::Complete(const std::string& name, const std::vector<Entry>& filters,
                                    int filterIndex, const std::string& defaultExt) {
    SaveFileResult result{name, filterIndex};
    std::size_t slash = name.rfind('/');
    std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
    if (base.empty()) {
        return result;
    }
    // A leading dot makes a hidden file, not an extension.
    std::size_t dot = base.rfind('.');
    const bool hatEndung = dot != std::string::npos && dot > 0;
    const std::string endung = hatEndung ? Lower(base.substr(dot + 1)) : std::string();
    if (!endung.empty()) {
        for (std::size_t i = 0; i < filters.size(); ++i) {
            for (const std::string& pattern : filters[i].patterns) {
                if (Extension(pattern) == endung) {
                    result.filterIndex = static_cast<int>(i) + 1;
                    return result;
                }
            }
        }
    }
    std::string ext;
    if (filterIndex >= 1 && static_cast<std::size_t>(filterIndex) <= filters.size()) {
        ext = Extension(filters[static_cast<std::size_t>(filterIndex) - 1].patterns.front());
    }
    if (ext.empty()) {
        if (hatEndung) {
            return result;
        }
        ext = defaultExt;
    }
    if (!ext.empty()) {
        result.path += base.back() == '.' ? ext : "." + ext;
    }
    return result;
}

bool FileFilter::IsPattern(const std::string& name) {
    return name.find_first_of("*?") != std::string::npos;
}
