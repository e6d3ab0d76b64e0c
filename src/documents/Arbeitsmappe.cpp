#include "documents/Arbeitsmappe.h"

#include <xlsxwriter.h>

#include <cerrno>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "storage/Clock.h"
#include "storage/CodePage.h"
#include "storage/Datum.h"
#include "storage/File.h"

namespace {

// The sheet's first rows: the title, then the column headings.
constexpr lxw_row_t kTitelZeile = 0;
constexpr lxw_row_t kKopfZeile = 1;
constexpr lxw_row_t kErsteZeile = 2;

std::string Utf8(const std::string& text) {
    return CodePage::Cp1252ToUtf8(text);
}

// "A", "B", ..., "Z", "AA": the column's name in a formula.
std::string Spaltenname(lxw_col_t spalte) {
    std::string name;
    for (unsigned n = spalte + 1u; n > 0; n = (n - 1) / 26) {
        name.insert(name.begin(), static_cast<char>('A' + (n - 1) % 26));
    }
    return name;
}

// A sheet's name may not hold some characters and has at most 31.
std::string Blattname(const std::string& titel) {
    std::string name;
    for (char c : titel) {
        if (std::string_view("[]:*?/\\").find(c) == std::string_view::npos) {
            name += c;
        }
    }
    if (name.empty()) {
        name = "Tabelle";
    }
    return Utf8(name.substr(0, 31));
}

const char* Zahlformat(Tabelle::Art art) {
    switch (art) {
        case Tabelle::Art::Anzahl:
            return "#,##0";
        case Tabelle::Art::Nummer:
            return "0";
        case Tabelle::Art::Betrag:
            return "#,##0.00";
        case Tabelle::Art::Dezimal:
            return "#,##0.0";
        case Tabelle::Art::Datum:
            return "d.m.yyyy";
        case Tabelle::Art::Text:
            break;
    }
    return nullptr;
}

double Zahl(Tabelle::Art art, const Tabelle::Zelle& zelle) {
    switch (art) {
        case Tabelle::Art::Betrag:
            return static_cast<double>(zelle.ganz) / 100.0;
        case Tabelle::Art::Dezimal:
            return zelle.dezimal;
        default:
            return static_cast<double>(zelle.ganz);
    }
}

// One row of cells; the sum row's numbers become formulas over the rows.
void ZeileSchreiben(lxw_worksheet* blatt, const Tabelle& tabelle, lxw_row_t zeile,
                    const Tabelle::Zeile& zellen, lxw_format* const* formate, bool summe) {
    for (std::size_t i = 0; i < tabelle.spalten.size() && i < zellen.size(); ++i) {
        const auto spalte = static_cast<lxw_col_t>(i);
        const Tabelle::Zelle& zelle = zellen[i];
        const Tabelle::Art art = tabelle.spalten[i].art;
        lxw_format* format = formate[i];
        if (zelle.inhalt == Tabelle::Zelle::Inhalt::Nichts) {
            if (summe) {
                worksheet_write_blank(blatt, zeile, spalte, format);
            }
            continue;
        }
        if (zelle.inhalt == Tabelle::Zelle::Inhalt::Strich) {
            worksheet_write_string(blatt, zeile, spalte, Utf8(Tabelle::Strich()).c_str(), format);
            continue;
        }
        if (art == Tabelle::Art::Text) {
            worksheet_write_string(blatt, zeile, spalte, Utf8(zelle.text).c_str(), format);
        } else if (art == Tabelle::Art::Datum) {
            const Datum tag(static_cast<std::uint32_t>(zelle.ganz));
            if (zelle.ganz > 0 && tag.IsValid()) {
                lxw_datetime datum = {tag.Year(), tag.Month(), tag.Day(), 0, 0, 0.0};
                worksheet_write_datetime(blatt, zeile, spalte, &datum, format);
            } else {
                worksheet_write_string(blatt, zeile, spalte, "N/A", format);
            }
        } else if (summe && !tabelle.zeilen.empty()) {
            const std::string name = Spaltenname(spalte);
            const std::string formel = "=SUM(" + name + std::to_string(kErsteZeile + 1) + ":" +
                                       name + std::to_string(kErsteZeile + tabelle.zeilen.size()) +
                                       ")";
            worksheet_write_formula_num(blatt, zeile, spalte, formel.c_str(), format,
                                        Zahl(art, zelle));
        } else {
            worksheet_write_number(blatt, zeile, spalte, Zahl(art, zelle), format);
        }
    }
}

}  // namespace

Ergebnis<std::string> Arbeitsmappe::Bytes(const Tabelle& tabelle) {
    std::error_code fehler;
    const std::filesystem::path tmp = std::filesystem::temp_directory_path(fehler);
    Ergebnis<std::string> ordner =
        File::CreateTempDirectory((fehler ? std::string("/tmp") : tmp.string()) + "/rebkontor-");
    if (!ordner) {
        return ordner.Ursache();
    }
    const std::string datei = *ordner + "/mappe.xlsx";
    lxw_workbook_options optionen = {};
    optionen.tmpdir = ordner->data();
    lxw_workbook* mappe = workbook_new_opt(datei.c_str(), &optionen);
    if (mappe == nullptr) {
        File::Remove(*ordner);
        return Fehler(Fehler::Vorgang::Anlegen, datei, ENOMEM);
    }
    // The same table gives the same bytes: the creation time is the clock's,
    // which tests hold still.
    std::string titel = Utf8(tabelle.Ueberschrift());
    lxw_doc_properties eigenschaften = {};
    eigenschaften.title = titel.data();
    eigenschaften.created = static_cast<std::time_t>(Clock::Now());
    workbook_set_properties(mappe, &eigenschaften);

    lxw_worksheet* blatt = workbook_add_worksheet(mappe, Blattname(tabelle.titel).c_str());
    lxw_format* fett = workbook_add_format(mappe);
    format_set_bold(fett);
    format_set_font_size(fett, 12);

    const std::size_t n = tabelle.spalten.size();
    std::vector<lxw_format*> kopf(n);
    std::vector<lxw_format*> werte(n);
    std::vector<lxw_format*> summen(n);
    for (std::size_t i = 0; i < n; ++i) {
        const Tabelle::Art art = tabelle.spalten[i].art;
        kopf[i] = workbook_add_format(mappe);
        format_set_bold(kopf[i]);
        format_set_bottom(kopf[i], LXW_BORDER_THIN);
        format_set_text_wrap(kopf[i]);
        format_set_align(kopf[i], LXW_ALIGN_VERTICAL_TOP);
        werte[i] = workbook_add_format(mappe);
        summen[i] = workbook_add_format(mappe);
        format_set_bold(summen[i]);
        format_set_top(summen[i], LXW_BORDER_THIN);
        if (const char* zahlformat = Zahlformat(art)) {
            format_set_num_format(werte[i], zahlformat);
            format_set_num_format(summen[i], zahlformat);
            format_set_align(kopf[i], LXW_ALIGN_RIGHT);
            format_set_align(werte[i], LXW_ALIGN_RIGHT);
            format_set_align(summen[i], LXW_ALIGN_RIGHT);
        }
        const auto spalte = static_cast<lxw_col_t>(i);
        worksheet_set_column(blatt, spalte, spalte, tabelle.spalten[i].breite + 2.0, nullptr);
        worksheet_write_string(blatt, kKopfZeile, spalte, Utf8(tabelle.spalten[i].titel).c_str(),
                               kopf[i]);
    }
    worksheet_write_string(blatt, kTitelZeile, 0, titel.c_str(), fett);

    lxw_row_t zeile = kErsteZeile;
    for (const Tabelle::Zeile& z : tabelle.zeilen) {
        ZeileSchreiben(blatt, tabelle, zeile++, z, werte.data(), false);
    }
    if (!tabelle.summe.empty()) {
        ZeileSchreiben(blatt, tabelle, zeile, tabelle.summe, summen.data(), true);
    }
    if (n > 0) {
        worksheet_autofilter(blatt, kKopfZeile, 0,
                             static_cast<lxw_row_t>(kKopfZeile + tabelle.zeilen.size()),
                             static_cast<lxw_col_t>(n - 1));
    }
    worksheet_freeze_panes(blatt, kErsteZeile, 0);

    errno = 0;
    const lxw_error ergebnis = workbook_close(mappe);
    const int nummer = errno != 0 ? errno : EIO;
    if (ergebnis != LXW_NO_ERROR) {
        File::Remove(*ordner);
        return Fehler(Fehler::Vorgang::Schreiben, datei, nummer);
    }
    Ergebnis<std::string> bytes = File::ReadFile(datei);
    File::Remove(*ordner);
    return bytes;
}

Ergebnis<void> Arbeitsmappe::Schreiben(const std::string& datei, const Tabelle& tabelle,
                                       const std::string& daten) {
    Ergebnis<std::string> bytes = Bytes(tabelle);
    if (!bytes) {
        return bytes.Ursache();
    }
    return Ausgabeziel::Ersetzen(datei, *bytes, daten);
}
