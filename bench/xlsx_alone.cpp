// What libxlsxwriter alone costs for the cells of boletim-turma's workbook: rows of two
// texts, four numbers and two texts, in constant-memory mode, with nothing else done. As
// in a class, three rows in five (the failed students) are filled, and the numbers have
// up to eight digits, as means do.
// Usage: xlsx_alone ROWS FILE
#include <cstdio>
#include <cstdlib>
#include <string>

#include <xlsxwriter.h>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: xlsx_alone ROWS FILE\n", stderr);
        return 2;
    }
    const long rows = std::strtol(argv[1], nullptr, 10);
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* book = workbook_new_opt(argv[2], &options);
    lxw_worksheet* sheet = workbook_add_worksheet(book, "Turma");
    lxw_format* failed = workbook_add_format(book);
    format_set_bg_color(failed, 0xFFC7CE);
    format_set_font_color(failed, 0x9C0006);
    for (long row = 0; row < rows; ++row) {
        const auto at = static_cast<lxw_row_t>(row);
        lxw_format* format = row % 5 < 3 ? failed : nullptr;
        const std::string id = std::to_string(2026000000 + row);
        const std::string name = "Aluno " + std::to_string(row) + " da Silva";
        worksheet_write_string(sheet, at, 0, id.c_str(), format);
        worksheet_write_string(sheet, at, 1, name.c_str(), format);
        for (lxw_col_t column = 2; column < 6; ++column) {
            const double value = static_cast<double>((row * 7919 + column) % 1000000) / 100000;
            worksheet_write_number(sheet, at, column, value, format);
        }
        worksheet_write_string(sheet, at, 6, format == nullptr ? "B" : "D", format);
        worksheet_write_string(sheet, at, 7, format == nullptr ? "APROVADO" : "REPROVADO", format);
    }
    return workbook_close(book) == LXW_NO_ERROR ? 0 : 1;
}
