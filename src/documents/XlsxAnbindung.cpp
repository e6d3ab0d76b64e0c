// libxlsxwriter is loaded with the first spreadsheet written (storage/Bibliothek.h).
#include <xlsxwriter.h>

#include "documents/Bibliotheken.h"
#include "storage/Bibliothek.h"

namespace {

struct Xlsxwriter {
    Bibliothek bibliothek{REBKONTOR_SONAME_XLSXWRITER};
    REBKONTOR_FUNKTION(format_set_align);
    REBKONTOR_FUNKTION(format_set_bold);
    REBKONTOR_FUNKTION(format_set_bottom);
    REBKONTOR_FUNKTION(format_set_font_size);
    REBKONTOR_FUNKTION(format_set_num_format);
    REBKONTOR_FUNKTION(format_set_text_wrap);
    REBKONTOR_FUNKTION(format_set_top);
    REBKONTOR_FUNKTION(workbook_add_format);
    REBKONTOR_FUNKTION(workbook_add_worksheet);
    REBKONTOR_FUNKTION(workbook_close);
    REBKONTOR_FUNKTION(workbook_new_opt);
    REBKONTOR_FUNKTION(workbook_set_properties);
    REBKONTOR_FUNKTION(worksheet_autofilter);
    REBKONTOR_FUNKTION(worksheet_freeze_panes);
    REBKONTOR_FUNKTION(worksheet_set_column);
    REBKONTOR_FUNKTION(worksheet_write_blank);
    REBKONTOR_FUNKTION(worksheet_write_datetime);
    REBKONTOR_FUNKTION(worksheet_write_formula_num);
    REBKONTOR_FUNKTION(worksheet_write_number);
    REBKONTOR_FUNKTION(worksheet_write_string);
};

const Xlsxwriter& T() {
    static const Xlsxwriter tafel;
    return tafel;
}

}  // namespace

extern "C" {

void format_set_align(lxw_format* format, uint8_t alignment) {
    T().format_set_align(format, alignment);
}

void format_set_bold(lxw_format* format) {
    T().format_set_bold(format);
}

void format_set_bottom(lxw_format* format, uint8_t style) {
    T().format_set_bottom(format, style);
}

void format_set_font_size(lxw_format* format, double size) {
    T().format_set_font_size(format, size);
}

void format_set_num_format(lxw_format* format, const char* num_format) {
    T().format_set_num_format(format, num_format);
}

void format_set_text_wrap(lxw_format* format) {
    T().format_set_text_wrap(format);
}

void format_set_top(lxw_format* format, uint8_t style) {
    T().format_set_top(format, style);
}

lxw_format* workbook_add_format(lxw_workbook* workbook) {
    return T().workbook_add_format(workbook);
}

lxw_worksheet* workbook_add_worksheet(lxw_workbook* workbook, const char* sheetname) {
    return T().workbook_add_worksheet(workbook, sheetname);
}

lxw_error workbook_close(lxw_workbook* workbook) {
    return T().workbook_close(workbook);
}

lxw_workbook* workbook_new_opt(const char* filename, lxw_workbook_options* options) {
    return T().workbook_new_opt(filename, options);
}

lxw_error workbook_set_properties(lxw_workbook* workbook, lxw_doc_properties* properties) {
    return T().workbook_set_properties(workbook, properties);
}

lxw_error worksheet_autofilter(lxw_worksheet* worksheet, lxw_row_t first_row, lxw_col_t first_col,
                               lxw_row_t last_row, lxw_col_t last_col) {
    return T().worksheet_autofilter(worksheet, first_row, first_col, last_row, last_col);
}

void worksheet_freeze_panes(lxw_worksheet* worksheet, lxw_row_t row, lxw_col_t col) {
    T().worksheet_freeze_panes(worksheet, row, col);
}

lxw_error worksheet_set_column(lxw_worksheet* worksheet, lxw_col_t first_col, lxw_col_t last_col,
                               double width, lxw_format* format) {
    return T().worksheet_set_column(worksheet, first_col, last_col, width, format);
}

lxw_error worksheet_write_blank(lxw_worksheet* worksheet, lxw_row_t row, lxw_col_t col,
                                lxw_format* format) {
    return T().worksheet_write_blank(worksheet, row, col, format);
}

lxw_error worksheet_write_datetime(lxw_worksheet* worksheet, lxw_row_t row, lxw_col_t col,
                                   lxw_datetime* datetime, lxw_format* format) {
    return T().worksheet_write_datetime(worksheet, row, col, datetime, format);
}

lxw_error worksheet_write_formula_num(lxw_worksheet* worksheet, lxw_row_t row, lxw_col_t col,
                                      const char* formula, lxw_format* format, double result) {
    return T().worksheet_write_formula_num(worksheet, row, col, formula, format, result);
}

lxw_error worksheet_write_number(lxw_worksheet* worksheet, lxw_row_t row, lxw_col_t col,
                                 double number, lxw_format* format) {
    return T().worksheet_write_number(worksheet, row, col, number, format);
}

lxw_error worksheet_write_string(lxw_worksheet* worksheet, lxw_row_t row, lxw_col_t col,
                                 const char* string, lxw_format* format) {
    return T().worksheet_write_string(worksheet, row, col, string, format);
}

}  // extern "C"
