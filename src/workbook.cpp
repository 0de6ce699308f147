#include "workbook.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string_view>

#include <xlsxwriter.h>

#include "csv_table.h"
#include "encoding.h"
#include "grading.h"

namespace {

struct Workbook {
    lxw_workbook* book = nullptr;
    lxw_worksheet* table = nullptr;   // "Turma"
    lxw_worksheet* summary = nullptr; // "Resumo"
    lxw_format* bold = nullptr;
    lxw_format* failed = nullptr;
    lxw_format* error = nullptr;
    Layout layout;
    std::vector<std::string> names;
    std::vector<std::size_t> widths; // of the widest cell of each column, in characters
    lxw_row_t nextRow = 0;
};

// A cell holds at most this many characters; a longer text is cut, with an ellipsis.
constexpr std::size_t longestCell = 32767 - 3;

// The colours spreadsheets give "bad" and "neutral" cells: a failed student, a row in error.
constexpr lxw_color_t failedFill = 0xFFC7CE;
constexpr lxw_color_t failedText = 0x9C0006;
constexpr lxw_color_t errorFill = 0xFFEB9C;
constexpr lxw_color_t errorText = 0x9C5700;
constexpr double widestColumn = 60;

lxw_format* filled(lxw_workbook* book, lxw_color_t fill, lxw_color_t text)
{
    lxw_format* format = workbook_add_format(book);
    format_set_bg_color(format, fill);
    format_set_font_color(format, text);
    return format;
}

std::size_t characters(std::string_view utf8)
{
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char byte) {
        return (static_cast<unsigned char>(byte) & 0xC0U) != 0x80U;
    }));
}

void noteWidth(Workbook& workbook, std::size_t column, std::size_t width)
{
    if (column >= workbook.widths.size()) {
        workbook.widths.resize(column + 1);
    }
    workbook.widths[column] = std::max(workbook.widths[column], width);
}

void writeText(Workbook& workbook, std::size_t column, std::string_view text, lxw_format* format)
{
    std::string cell(startOfText(text, longestCell));
    if (cell.size() < text.size()) {
        cell += "\u2026";
    }
    noteWidth(workbook, column, characters(cell));
    const auto where = static_cast<lxw_col_t>(column);
    if (cell.empty()) {
        worksheet_write_blank(workbook.table, workbook.nextRow, where, format);
    } else {
        worksheet_write_string(workbook.table, workbook.nextRow, where, cell.c_str(), format);
    }
}

// A number cell holds what the table shows: the shortest decimal that reads back as the
// float, not the float's longer expansion as a double.
void writeNumber(Workbook& workbook, std::size_t column, float value, lxw_format* format)
{
    std::string text;
    appendShortestNumber(text, value);
    noteWidth(workbook, column, text.size());
    worksheet_write_number(workbook.table, workbook.nextRow, static_cast<lxw_col_t>(column),
                           std::strtod(text.c_str(), nullptr), format);
}

void writeSummary(Workbook& workbook, const ClassCounts& counts)
{
    lxw_worksheet* sheet = workbook.summary;
    const auto text = [sheet](lxw_row_t row, lxw_col_t column, const std::string& value,
                              lxw_format* format) {
        worksheet_write_string(sheet, row, column, value.c_str(), format);
    };
    const auto count = [sheet, &text](lxw_row_t row, const std::string& name, long value) {
        text(row, 0, name, nullptr);
        worksheet_write_number(sheet, row, 1, static_cast<double>(value), nullptr);
    };
    text(0, 0, "Alunos", workbook.bold);
    worksheet_write_number(sheet, 0, 1, static_cast<double>(counts.students), workbook.bold);
    count(1, "Aprovados", counts.approved);
    count(2, "Reprovados", counts.failed);
    count(3, "Com erro", counts.withErrors);
    text(5, 0, "Conceito", workbook.bold);
    text(5, 1, "Alunos", workbook.bold);
    for (std::size_t i = 0; i < counts.perConcept.size(); ++i) {
        count(static_cast<lxw_row_t>(6 + i), std::string(1, static_cast<char>('A' + i)),
              counts.perConcept.at(i));
    }
    // The columns taken as grades, which a teacher checks: a column of absences looks alike.
    text(12, 0, "Notas", workbook.bold);
    text(12, 1, "Coluna", workbook.bold);
    text(12, 2, "Nome", workbook.bold);
    for (std::size_t i = 0; i < 3; ++i) {
        const std::size_t column = workbook.layout.gradeColumns.at(i);
        const auto row = static_cast<lxw_row_t>(13 + i);
        count(row, "Nota " + std::to_string(i + 1), static_cast<long>(column + 1));
        text(row, 2, workbook.names.at(column), nullptr);
    }
    text(17, 0, "Cabe\u00e7alho", workbook.bold);
    text(17, 1,
         workbook.layout.headerLine != 0 ? "linha " + std::to_string(workbook.layout.headerLine)
                                         : "nenhum",
         nullptr);
    worksheet_set_column(sheet, 0, 0, 12, nullptr);
    worksheet_set_column(sheet, 1, 1, 10, nullptr);
    worksheet_set_column(sheet, 2, 2, 20, nullptr);

    lxw_chart* chart = workbook_add_chart(workbook.book, LXW_CHART_COLUMN);
    lxw_chart_series* series = chart_add_series(chart, "=Resumo!$A$7:$A$11", "=Resumo!$B$7:$B$11");
    chart_series_set_name(series, "Alunos");
    chart_title_set_name(chart, "Alunos por conceito");
    chart_legend_set_position(chart, LXW_CHART_LEGEND_NONE);
    worksheet_insert_chart(sheet, 0, 4, chart);
}

class WorkbookTable final : public TableWriter {
  public:
    WorkbookTable() = default;
    WorkbookTable(const WorkbookTable&) = delete;
    WorkbookTable(WorkbookTable&&) = delete;
    WorkbookTable& operator=(const WorkbookTable&) = delete;
    WorkbookTable& operator=(WorkbookTable&&) = delete;
    // Unfinished, it is written where it was to go, which is a name of its own to remove.
    ~WorkbookTable() override
    {
        if (workbook_.book != nullptr) {
            workbook_close(workbook_.book);
        }
    }

    bool start(const std::string& path);
    void beginTable(const Layout& layout, const std::vector<std::string>& names) override;
    bool addRow(const StudentRow& row) override;
    void addFooter(const Fields& cells) override;
    bool finish(const ClassCounts& counts, std::string& problem) override;

  private:
    Workbook workbook_;
};

} // namespace

bool WorkbookTable::start(const std::string& path)
{
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE; // rows go to disk as they come
    Workbook& workbook = workbook_;
    workbook.book = workbook_new_opt(path.c_str(), &options);
    if (workbook.book == nullptr) {
        return false;
    }
    workbook.table = workbook_add_worksheet(workbook.book, "Turma");
    workbook.summary = workbook_add_worksheet(workbook.book, "Resumo");
    workbook.bold = workbook_add_format(workbook.book);
    format_set_bold(workbook.bold);
    workbook.failed = filled(workbook.book, failedFill, failedText);
    workbook.error = filled(workbook.book, errorFill, errorText);
    return true;
}

void WorkbookTable::beginTable(const Layout& layout, const std::vector<std::string>& names)
{
    Workbook& workbook = workbook_;
    workbook.layout = layout;
    workbook.names = names;
    std::vector<std::string> cells = names;
    cells.insert(cells.end(), resultColumns.begin(), resultColumns.end());
    for (std::size_t column = 0; column < cells.size(); ++column) {
        writeText(workbook, column, cells[column], workbook.bold);
    }
    worksheet_freeze_panes(workbook.table, 1, 0);
    ++workbook.nextRow;
}

bool WorkbookTable::addRow(const StudentRow& row)
{
    Workbook& workbook = workbook_;
    if (workbook.nextRow >= mostRowsOfASheet) {
        return false;
    }
    const bool computed = !row.conceptLetter.empty();
    lxw_format* format = !computed                       ? workbook.error
                         : isApproved(row.conceptLetter) ? nullptr
                                                         : workbook.failed;
    const std::size_t width = row.cells.size();
    for (std::size_t column = 0; column < width; ++column) {
        const auto grade = gradeInColumn(workbook.layout, column);
        if (computed && grade) {
            writeNumber(workbook, column, row.grades.at(*grade), format);
        } else {
            writeText(workbook, column, row.cells[column], format);
        }
    }
    if (computed) {
        writeNumber(workbook, width, row.weightedAverage, format);
    } else {
        writeText(workbook, width, "", format);
    }
    writeText(workbook, width + 1, row.conceptLetter, format);
    writeText(workbook, width + 2, definition(row), format);
    ++workbook.nextRow;
    return true;
}

void WorkbookTable::addFooter(const Fields& cells)
{
    Workbook& workbook = workbook_;
    if (workbook.nextRow >= mostRowsOfASheet) {
        return;
    }
    for (std::size_t column = 0; column < cells.size(); ++column) {
        if (!cells[column].empty()) {
            writeText(workbook, column, cells[column], nullptr);
        }
    }
    ++workbook.nextRow;
}

bool WorkbookTable::finish(const ClassCounts& counts, std::string& problem)
{
    Workbook& workbook = workbook_;
    for (std::size_t column = 0; column < workbook.widths.size(); ++column) {
        const double width =
            std::min(widestColumn, static_cast<double>(workbook.widths[column]) + 2);
        const auto where = static_cast<lxw_col_t>(column);
        worksheet_set_column(workbook.table, where, where, width, nullptr);
    }
    writeSummary(workbook, counts);
    const lxw_error written = workbook_close(workbook.book);
    workbook.book = nullptr;
    if (written != LXW_NO_ERROR) {
        problem = lxw_strerror(written);
        return false;
    }
    return true;
}

std::unique_ptr<TableWriter> startWorkbook(const std::string& path, std::string& problem)
{
    auto workbook = std::make_unique<WorkbookTable>();
    if (!workbook->start(path)) {
        problem = "n\u00e3o foi poss\u00edvel criar a planilha";
        return nullptr;
    }
    return workbook;
}
