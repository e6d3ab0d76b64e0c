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

std::string FileFilter::CompleteName(const std::string& name, const std::vector<Entry>& filters,
                                     int filterIndex, const std::string& defaultExt) {
    std::size_t slash = name.rfind('/');
    std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
    if (base.empty() || base.find('.') != std::string::npos) {
        return name;
    }
    std::string ext;
    if (filterIndex >= 1 && static_cast<std::size_t>(filterIndex) <= filters.size()) {
        const std::string& pattern =
            filters[static_cast<std::size_t>(filterIndex) - 1].patterns.front();
        if (pattern.size() > 2 && pattern.compare(0, 2, "*.") == 0 &&
            pattern.find_first_of("*?", 2) == std::string::npos) {
            ext = pattern.substr(2);
            for (char& c : ext) {
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            }
        }
    }
    if (ext.empty()) {
        ext = defaultExt;
    }
    return ext.empty() ? name : name + "." + ext;
}

bool FileFilter::IsPattern(const std::string& name) {
    return name.find_first_of("*?") != std::string::npos;
}
