#include "Verzeichnisbild.h"

#include <filesystem>
#include <set>

#include "support/FileBytes.h"

Verzeichnisbild::Verzeichnisbild(const std::string& verzeichnis) {
    std::error_code egal;
    for (const auto& eintrag : std::filesystem::directory_iterator(verzeichnis, egal)) {
        if (eintrag.is_regular_file()) {
            dateien_[eintrag.path().filename().string()] = ReadBytes(eintrag.path().string());
        }
    }
}

const std::string* Verzeichnisbild::Datei(const std::string& name) const {
    auto it = dateien_.find(name);
    return it == dateien_.end() ? nullptr : &it->second;
}

std::string Verzeichnisbild::Unterschiede(const Verzeichnisbild& a, const Verzeichnisbild& b) {
    std::set<std::string> namen;
    for (const auto& [name, bytes] : a.dateien_) {
        namen.insert(name);
    }
    for (const auto& [name, bytes] : b.dateien_) {
        namen.insert(name);
    }
    std::string text;
    for (const std::string& name : namen) {
        const std::string* x = a.Datei(name);
        const std::string* y = b.Datei(name);
        if (x == nullptr || y == nullptr || *x != *y) {
            text += (text.empty() ? "" : ", ") + name;
        }
    }
    return text;
}
