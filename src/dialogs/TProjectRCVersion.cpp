#include "dialogs/TProjectRCVersion.h"

#include <cstdio>
#include <fstream>
#include <iterator>

namespace {

constexpr std::size_t kMaxDatei = 512u * 1024u * 1024u;
constexpr std::size_t kMaxRecord = 64u * 1024u;

std::uint64_t Le(const std::string& bytes, std::size_t offset, std::size_t width) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < width; ++i) {
        value |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[offset + i]))
                 << (8 * i);
    }
    return value;
}

// Reads at most `length` bytes at `offset`; fewer at the end of the file.
std::string ReadAt(std::ifstream& in, std::uint64_t offset, std::size_t length) {
    std::string bytes(length, '\0');
    in.clear();
    in.seekg(static_cast<std::streamoff>(offset));
    if (!in) {
        return {};
    }
    in.read(bytes.data(), static_cast<std::streamsize>(length));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

// The bytes of one section of a 64-bit little-endian ELF file, or empty.
std::string SectionOf(std::ifstream& in, std::uint64_t fileSize, const std::string& name) {
    std::string header = ReadAt(in, 0, 64);
    if (header.size() < 64 ||
        header.compare(0, 4,
                       "\x7f"
                       "ELF") != 0 ||
        header[4] != 2 || header[5] != 1) {
        return {};
    }
    const std::uint64_t shoff = Le(header, 0x28, 8);
    const std::uint64_t shentsize = Le(header, 0x3A, 2);
    const std::uint64_t shnum = Le(header, 0x3C, 2);
    const std::uint64_t shstrndx = Le(header, 0x3E, 2);
    if (shentsize < 64 || shnum == 0 || shstrndx >= shnum || shoff > fileSize ||
        shnum * shentsize > fileSize - shoff) {
        return {};
    }
    std::string table = ReadAt(in, shoff, static_cast<std::size_t>(shnum * shentsize));
    if (table.size() != shnum * shentsize) {
        return {};
    }
    auto entry = [&](std::uint64_t i, std::size_t field, std::size_t width) {
        return Le(table, static_cast<std::size_t>(i * shentsize) + field, width);
    };
    const std::uint64_t namesOffset = entry(shstrndx, 0x18, 8);
    const std::uint64_t namesSize = entry(shstrndx, 0x20, 8);
    if (namesOffset > fileSize || namesSize > fileSize - namesOffset ||
        namesSize > kMaxRecord * 16) {
        return {};
    }
    std::string names = ReadAt(in, namesOffset, static_cast<std::size_t>(namesSize));
    for (std::uint64_t i = 0; i < shnum; ++i) {
        const std::uint64_t nameAt = entry(i, 0x00, 4);
        if (nameAt >= names.size()) {
            continue;
        }
        std::size_t end = names.find('\0', static_cast<std::size_t>(nameAt));
        if (end == std::string::npos ||
            names.compare(static_cast<std::size_t>(nameAt), end - nameAt, name) != 0 ||
            end - nameAt != name.size()) {
            continue;
        }
        const std::uint64_t offset = entry(i, 0x18, 8);
        const std::uint64_t size = entry(i, 0x20, 8);
        if (offset > fileSize || size > fileSize - offset || size > kMaxRecord) {
            return {};
        }
        return ReadAt(in, offset, static_cast<std::size_t>(size));
    }
    return {};
}

}  // namespace

TProjectRCVersion::TProjectRCVersion(const std::string& programmDatei) {
    std::ifstream in(programmDatei, std::ios::binary);
    if (!in) {
        return;
    }
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size <= 0 || static_cast<std::uint64_t>(size) > kMaxDatei) {
        return;
    }
    std::string record = SectionOf(in, static_cast<std::uint64_t>(size), kAbschnitt);
    auto entries = std::make_unique<std::map<std::string, std::string>>();
    if (record.empty() || !Parse(record, *entries)) {
        return;
    }
    auto translation = entries->find("\\VarFileInfo\\Translation");
    if (translation == entries->end() || translation->second.size() < 4) {
        return;  // a record that cannot be queried counts as none
    }
    std::uint32_t raw = static_cast<std::uint32_t>(Le(translation->second, 0, 4));
    uebersetzung_ = (raw << 16) | (raw >> 16);
    record_ = std::move(entries);
}

bool TProjectRCVersion::Parse(const std::string& record,
                              std::map<std::string, std::string>& entries) {
    if (record.compare(0, 4, "RKVR") != 0) {
        return false;
    }
    std::size_t pos = 4;
    while (pos < record.size()) {
        std::size_t end = record.find('\0', pos);
        if (end == std::string::npos || end + 3 > record.size()) {
            return false;
        }
        std::string key = record.substr(pos, end - pos);
        std::size_t length = static_cast<std::size_t>(Le(record, end + 1, 2));
        pos = end + 3;
        if (length > record.size() - pos) {
            return false;
        }
        entries[key] = record.substr(pos, length);
        pos += length;
    }
    return true;
}

bool TProjectRCVersion::Value(const std::string& key, std::string& value) const {
    if (!record_) {
        return false;
    }
    auto it = record_->find(key);
    if (it == record_->end()) {
        return false;
    }
    value = it->second;
    return true;
}

bool TProjectRCVersion::Query(const std::string& name, std::string& text) const {
    char key[128];
    std::snprintf(key, sizeof key, "\\StringFileInfo\\%08lx\\%s",
                  static_cast<unsigned long>(uebersetzung_), name.c_str());
    return Value(key, text);
}
