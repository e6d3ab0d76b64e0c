// libarchive is loaded with the first backup written, checked or restored (storage/Bibliothek.h).
#include <archive.h>
#include <archive_entry.h>

#include "sicherung/Bibliotheken.h"
#include "storage/Bibliothek.h"

namespace {

struct Libarchive {
    Bibliothek bibliothek{REBKONTOR_SONAME_LIBARCHIVE};
    REBKONTOR_FUNKTION(archive_entry_filetype);
    REBKONTOR_FUNKTION(archive_entry_free);
    REBKONTOR_FUNKTION(archive_entry_hardlink);
    REBKONTOR_FUNKTION(archive_entry_is_encrypted);
    REBKONTOR_FUNKTION(archive_entry_new);
    REBKONTOR_FUNKTION(archive_entry_pathname);
    REBKONTOR_FUNKTION(archive_entry_set_filetype);
    REBKONTOR_FUNKTION(archive_entry_set_mtime);
    REBKONTOR_FUNKTION(archive_entry_set_pathname);
    REBKONTOR_FUNKTION(archive_entry_set_perm);
    REBKONTOR_FUNKTION(archive_entry_set_size);
    REBKONTOR_FUNKTION(archive_entry_size);
    REBKONTOR_FUNKTION(archive_entry_size_is_set);
    REBKONTOR_FUNKTION(archive_entry_symlink);
    REBKONTOR_FUNKTION(archive_error_string);
    REBKONTOR_FUNKTION(archive_read_data);
    REBKONTOR_FUNKTION(archive_read_free);
    REBKONTOR_FUNKTION(archive_read_new);
    REBKONTOR_FUNKTION(archive_read_next_header);
    REBKONTOR_FUNKTION(archive_read_open1);
    REBKONTOR_FUNKTION(archive_read_set_callback_data);
    REBKONTOR_FUNKTION(archive_read_set_read_callback);
    REBKONTOR_FUNKTION(archive_read_set_seek_callback);
    REBKONTOR_FUNKTION(archive_read_set_skip_callback);
    REBKONTOR_FUNKTION(archive_read_support_format_zip_seekable);
    REBKONTOR_FUNKTION(archive_write_close);
    REBKONTOR_FUNKTION(archive_write_data);
    REBKONTOR_FUNKTION(archive_write_free);
    REBKONTOR_FUNKTION(archive_write_header);
    REBKONTOR_FUNKTION(archive_write_new);
    REBKONTOR_FUNKTION(archive_write_open2);
    REBKONTOR_FUNKTION(archive_write_set_bytes_in_last_block);
    REBKONTOR_FUNKTION(archive_write_set_bytes_per_block);
    REBKONTOR_FUNKTION(archive_write_set_format_zip);
    REBKONTOR_FUNKTION(archive_write_zip_set_compression_deflate);
};

const Libarchive& T() {
    static const Libarchive tafel;
    return tafel;
}

}  // namespace

extern "C" {

mode_t archive_entry_filetype(struct archive_entry* eintrag) {
    return T().archive_entry_filetype(eintrag);
}

void archive_entry_free(struct archive_entry* eintrag) {
    T().archive_entry_free(eintrag);
}

const char* archive_entry_hardlink(struct archive_entry* eintrag) {
    return T().archive_entry_hardlink(eintrag);
}

int archive_entry_is_encrypted(struct archive_entry* eintrag) {
    return T().archive_entry_is_encrypted(eintrag);
}

struct archive_entry* archive_entry_new() {
    return T().archive_entry_new();
}

const char* archive_entry_pathname(struct archive_entry* eintrag) {
    return T().archive_entry_pathname(eintrag);
}

void archive_entry_set_filetype(struct archive_entry* eintrag, unsigned int art) {
    T().archive_entry_set_filetype(eintrag, art);
}

void archive_entry_set_mtime(struct archive_entry* eintrag, time_t sekunden, long nanosekunden) {
    T().archive_entry_set_mtime(eintrag, sekunden, nanosekunden);
}

void archive_entry_set_pathname(struct archive_entry* eintrag, const char* pfad) {
    T().archive_entry_set_pathname(eintrag, pfad);
}

void archive_entry_set_perm(struct archive_entry* eintrag, mode_t rechte) {
    T().archive_entry_set_perm(eintrag, rechte);
}

void archive_entry_set_size(struct archive_entry* eintrag, la_int64_t groesse) {
    T().archive_entry_set_size(eintrag, groesse);
}

la_int64_t archive_entry_size(struct archive_entry* eintrag) {
    return T().archive_entry_size(eintrag);
}

int archive_entry_size_is_set(struct archive_entry* eintrag) {
    return T().archive_entry_size_is_set(eintrag);
}

const char* archive_entry_symlink(struct archive_entry* eintrag) {
    return T().archive_entry_symlink(eintrag);
}

const char* archive_error_string(struct archive* a) {
    return T().archive_error_string(a);
}

la_ssize_t archive_read_data(struct archive* a, void* daten, size_t laenge) {
    return T().archive_read_data(a, daten, laenge);
}

int archive_read_free(struct archive* a) {
    return T().archive_read_free(a);
}

struct archive* archive_read_new() {
    return T().archive_read_new();
}

int archive_read_next_header(struct archive* a, struct archive_entry** eintrag) {
    return T().archive_read_next_header(a, eintrag);
}

int archive_read_open1(struct archive* a) {
    return T().archive_read_open1(a);
}

int archive_read_set_callback_data(struct archive* a, void* daten) {
    return T().archive_read_set_callback_data(a, daten);
}

int archive_read_set_read_callback(struct archive* a, archive_read_callback* lesen) {
    return T().archive_read_set_read_callback(a, lesen);
}

int archive_read_set_seek_callback(struct archive* a, archive_seek_callback* suchen) {
    return T().archive_read_set_seek_callback(a, suchen);
}

int archive_read_set_skip_callback(struct archive* a, archive_skip_callback* ueberspringen) {
    return T().archive_read_set_skip_callback(a, ueberspringen);
}

int archive_read_support_format_zip_seekable(struct archive* a) {
    return T().archive_read_support_format_zip_seekable(a);
}

int archive_write_close(struct archive* a) {
    return T().archive_write_close(a);
}

la_ssize_t archive_write_data(struct archive* a, const void* daten, size_t laenge) {
    return T().archive_write_data(a, daten, laenge);
}

int archive_write_free(struct archive* a) {
    return T().archive_write_free(a);
}

int archive_write_header(struct archive* a, struct archive_entry* eintrag) {
    return T().archive_write_header(a, eintrag);
}

struct archive* archive_write_new() {
    return T().archive_write_new();
}

int archive_write_open2(struct archive* a, void* daten, archive_open_callback* oeffnen,
                        archive_write_callback* schreiben, archive_close_callback* schliessen,
                        archive_free_callback* freigeben) {
    return T().archive_write_open2(a, daten, oeffnen, schreiben, schliessen, freigeben);
}

int archive_write_set_bytes_in_last_block(struct archive* a, int bytes_in_last_block) {
    return T().archive_write_set_bytes_in_last_block(a, bytes_in_last_block);
}

int archive_write_set_bytes_per_block(struct archive* a, int bytes_per_block) {
    return T().archive_write_set_bytes_per_block(a, bytes_per_block);
}

int archive_write_set_format_zip(struct archive* a) {
    return T().archive_write_set_format_zip(a);
}

int archive_write_zip_set_compression_deflate(struct archive* a) {
    return T().archive_write_zip_set_compression_deflate(a);
}

}  // extern "C"
