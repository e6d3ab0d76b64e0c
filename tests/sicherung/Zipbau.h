#pragma once

// Archives built member by member, to damage them in ways no backup of the
// program is: foreign names, links, doubles, manifests that lie.

#include <archive.h>
#include <archive_entry.h>

#include <map>
#include <string>
#include <vector>

struct Zipeintrag {
    std::string name;
    std::string bytes;
    // A symbolic link to this target instead of a file.
    std::string link;
};

// The bytes of a ZIP file with these members, in this order.
inline std::string Zipbau(const std::vector<Zipeintrag>& eintraege) {
    std::string zip;
    archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    archive_write_set_bytes_in_last_block(a, 1);
    archive_write_open2(
        a, &zip, nullptr,
        [](archive*, void* ziel, const void* puffer, size_t laenge) -> la_ssize_t {
            static_cast<std::string*>(ziel)->append(static_cast<const char*>(puffer), laenge);
            return static_cast<la_ssize_t>(laenge);
        },
        nullptr, nullptr);
    for (const Zipeintrag& e : eintraege) {
        archive_entry* eintrag = archive_entry_new();
        archive_entry_set_pathname(eintrag, e.name.c_str());
        archive_entry_set_perm(eintrag, 0644);
        if (e.link.empty()) {
            archive_entry_set_filetype(eintrag, AE_IFREG);
            archive_entry_set_size(eintrag, static_cast<la_int64_t>(e.bytes.size()));
        } else {
            archive_entry_set_filetype(eintrag, AE_IFLNK);
            archive_entry_set_symlink(eintrag, e.link.c_str());
        }
        archive_write_header(a, eintrag);
        if (e.link.empty() && !e.bytes.empty()) {
            archive_write_data(a, e.bytes.data(), e.bytes.size());
        }
        archive_entry_free(eintrag);
    }
    archive_write_close(a);
    archive_write_free(a);
    return zip;
}

// The members of a ZIP file (name -> bytes), read by libarchive itself.
inline std::map<std::string, std::string> Zipinhalt(const std::string& zip) {
    std::map<std::string, std::string> inhalt;
    archive* a = archive_read_new();
    archive_read_support_format_zip(a);
    if (archive_read_open_memory(a, zip.data(), zip.size()) == ARCHIVE_OK) {
        archive_entry* eintrag = nullptr;
        while (archive_read_next_header(a, &eintrag) == ARCHIVE_OK) {
            std::string& bytes = inhalt[archive_entry_pathname(eintrag)];
            char puffer[8192];
            la_ssize_t n;
            while ((n = archive_read_data(a, puffer, sizeof puffer)) > 0) {
                bytes.append(puffer, static_cast<std::size_t>(n));
            }
        }
    }
    archive_read_free(a);
    return inhalt;
}
