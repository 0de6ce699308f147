#include "tables/workbook.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <string_view>
#include <utility>

#include <xlsxwriter.h>

#include "grading/grading.h"
#include "platform/platform.h"
#include "tables/csv_table.h"
#include "text/encoding.h"

namespace {

// A cell holds at most this many characters; a longer text is cut, with an ellipsis.
constexpr std::size_t longestCell = 32767 - 3;
constexpr double widestColumn = 60;

// The report cards a workbook holds: a school's, not a city's; a sheet holds at most
// 1,023 page breaks, and four cards fit on a page.
constexpr std::size_t mostCards = 4000;
// The rows in error that "Resumo" lists; the rest are counted.
constexpr std::size_t mostErrorsListed = 1000;

constexpr std::uint8_t paperA4 = 9;
// A page header or footer holds at most 255 characters, its codes included.
constexpr std::size_t longestPageHeader = 200;
constexpr double cardRowHeight = 14; // points
constexpr double cardPageRows = 53;  // of that height, on an A4 page between its margins

// The colours spreadsheets give "bad" and "neutral" cells: a failed student, a row in error.
constexpr lxw_color_t failedFill = 0xFFC7CE;
constexpr lxw_color_t failedText = 0x9C0006;
constexpr lxw_color_t errorFill = 0xFFEB9C;
// The teacher's own mean where it does not agree with the one computed.
constexpr lxw_color_t differsFill = 0xF8CBAD;
constexpr lxw_color_t errorText = 0x9C5700;
constexpr lxw_color_t cardTitleFill = 0xDDEBF7;

enum class Fill { none, failed, error, differs };

// A row in error, as "Resumo" lists it.
struct ErrorListed {
    long line;
    std::string error;
};

struct Workbook {
    lxw_workbook* book = nullptr;
    lxw_worksheet* table = nullptr;   // "Turma"
    lxw_worksheet* summary = nullptr; // "Resumo"
    lxw_worksheet* cards = nullptr;   // "Boletins"
    lxw_format* bold = nullptr;
    lxw_format* title = nullptr;
    lxw_format* label = nullptr;
    lxw_format* cardTitle = nullptr;
    lxw_format* signature = nullptr;
    lxw_format* cut = nullptr;
    // Of the table's cells: by fill and decimals shown (-1 for as many as there are); and
    // of the numbers to the left (on a card, an error's line), by decimals shown.
    std::map<std::pair<Fill, int>, lxw_format*> formats;
    std::map<int, lxw_format*> leftNumbers;
    Layout layout;
    SchoolRule rule;
    std::vector<std::string> names;
    std::vector<std::string> titles;
    std::string source;
    std::vector<std::size_t> widths; // of the widest cell of each column, in characters
    lxw_row_t nextRow = 0;
    lxw_row_t nextCardRow = 0;
    std::size_t cardsWritten = 0;
    std::size_t cardsLeftOut = 0;
    std::vector<ErrorListed> errors;
    long errorsLeftOut = 0;
};

lxw_format* newFormat(lxw_workbook* book)
{
    return workbook_add_format(book);
}

void showDecimals(lxw_format* format, int decimals)
{
    if (decimals >= 0) {
        const std::string shown =
            decimals == 0 ? "0" : "0." + std::string(static_cast<std::size_t>(decimals), '0');
        format_set_num_format(format, shown.c_str());
    }
}

// The format of a cell of the table: its row's fill, and, for a number, the decimals it
// shows (-1 for as many as it has).
lxw_format* formatOf(Workbook& workbook, Fill fill, int decimals = -1)
{
    lxw_format*& format = workbook.formats[{fill, decimals}];
    if (format == nullptr && (fill != Fill::none || decimals >= 0)) {
        format = newFormat(workbook.book);
        if (fill == Fill::differs) {
            format_set_bg_color(format, differsFill);
            format_set_bold(format);
        } else if (fill != Fill::none) {
            format_set_bg_color(format, fill == Fill::failed ? failedFill : errorFill);
            format_set_font_color(format, fill == Fill::failed ? failedText : errorText);
        }
        showDecimals(format, decimals);
    }
    return format;
}

// A number on a card, or an error's line, stands to the left, as the texts beside it.
lxw_format* leftNumberFormat(Workbook& workbook, int decimals = -1)
{
    lxw_format*& format = workbook.leftNumbers[decimals];
    if (format == nullptr) {
        format = newFormat(workbook.book);
        format_set_align(format, LXW_ALIGN_LEFT);
        showDecimals(format, decimals);
    }
    return format;
}

// A mean shows two decimals, unless two decimals would show a bound of a concept that
// the mean does not reach (5.9999995 as 6,00 beside a D): then all its digits.
int decimalsOfMean(float mean)
{
    constexpr std::array<double, 4> bounds{4.0, 6.0, 7.5, 9.0};
    const auto value = static_cast<double>(mean);
    const double shown = std::round(value * 100) / 100;
    const bool misleading = std::any_of(bounds.begin(), bounds.end(), [&](double bound) {
        return value < bound && shown >= bound;
    });
    if (!misleading) {
        return 2;
    }
    std::string text;
    appendShortestNumber(text, mean);
    const std::size_t point = text.find('.');
    return point == std::string::npos ? 0 : static_cast<int>(text.size() - point - 1);
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

std::string cellText(std::string_view text)
{
    std::string cell(startOfText(text, longestCell));
    if (cell.size() < text.size()) {
        cell += "\u2026";
    }
    return cell;
}

void writeText(lxw_worksheet* sheet, lxw_row_t row, std::size_t column, std::string_view text,
               lxw_format* format)
{
    const std::string cell = cellText(text);
    const auto where = static_cast<lxw_col_t>(column);
    if (cell.empty()) {
        if (format != nullptr) {
            worksheet_write_blank(sheet, row, where, format);
        }
    } else {
        worksheet_write_string(sheet, row, where, cell.c_str(), format);
    }
}

void writeTableText(Workbook& workbook, std::size_t column, std::string_view text,
                    lxw_format* format)
{
    noteWidth(workbook, column, characters(text));
    writeText(workbook.table, workbook.nextRow, column, text, format);
}

void writeTableNumber(Workbook& workbook, std::size_t column, double value, lxw_format* format)
{
    noteWidth(workbook, column, 8);
    worksheet_write_number(workbook.table, workbook.nextRow, static_cast<lxw_col_t>(column), value,
                           format);
}

// A mean as a number in format, or, where it is not finite, the text the CSV table shows.
void writeMean(lxw_worksheet* sheet, lxw_row_t row, std::size_t column, float mean,
               lxw_format* format, lxw_format* textFormat)
{
    if (std::isfinite(mean)) {
        worksheet_write_number(sheet, row, static_cast<lxw_col_t>(column), shownNumber(mean),
                               format);
    } else {
        std::string text;
        appendShortestNumber(text, mean);
        writeText(sheet, row, column, text, textFormat);
    }
}

// The title of the class: its title rows, or else the file's name.
std::string classTitle(const Workbook& workbook)
{
    std::string title;
    for (const std::string& part : workbook.titles) {
        title += (title.empty() ? "" : " \u2013 ") + part;
    }
    return title.empty() ? workbook.source : title;
}

// A page header or footer's text: & is a code there, && the character.
std::string forPageHeader(std::string_view text)
{
    std::string escaped;
    for (const char character : startOfText(text, longestPageHeader)) {
        escaped += character == '&' ? "&&" : std::string(1, character);
    }
    return escaped;
}

void setUpTablePages(Workbook& workbook)
{
    lxw_worksheet* sheet = workbook.table;
    worksheet_set_landscape(sheet);
    worksheet_set_paper(sheet, paperA4);
    worksheet_fit_to_pages(sheet, 1, 0); // every column on one page's width
    worksheet_repeat_rows(sheet, 0, 0);
    worksheet_set_margins(sheet, 0.4, 0.4, 0.7, 0.7);
    worksheet_set_footer(sheet, "&CP\u00e1gina &P de &N");
}

// A computed student's grade as a spreadsheet's cell holds it: the float the table shows,
// computed as boletim does, or else the grade as typed.
double gradeValue(const Workbook& workbook, const StudentRow& student, std::size_t grade)
{
    const GradeField& read = student.grades.at(grade);
    return workbook.rule.asBoletim ? shownNumber(read.grade) : valueOf(read.exact);
}

// A computed student's mean in a cell: computed as boletim does, at two decimals or all
// its digits (decimalsOfMean); else the school's, rounded as it rounds, or to two decimals.
template <typename FormatOf>
void writeStudentMean(const Workbook& workbook, lxw_worksheet* sheet, lxw_row_t row,
                      std::size_t column, const StudentRow& student, FormatOf formatOf)
{
    if (workbook.rule.asBoletim) {
        writeMean(sheet, row, column, student.singleMean,
                  formatOf(decimalsOfMean(student.singleMean)), nullptr);
        return;
    }
    const int decimals = workbook.rule.step ? decimalsOf(*workbook.rule.step) : 2;
    worksheet_write_number(sheet, row, static_cast<lxw_col_t>(column), student.sheetMean,
                           formatOf(decimals));
}

// A report card: the class, the student's identification and grades under their names,
// the mean, the concept, the verdict, and a line to sign.
class CardWriter {
  public:
    CardWriter(Workbook& workbook, const StudentRow& row) : workbook_(workbook), row_(row) {}

    void write()
    {
        const Layout& layout = workbook_.layout;
        next(); // room above the card, below the line the last one is cut along
        line(classTitle(workbook_), "", workbook_.cardTitle, workbook_.cardTitle);
        for (std::size_t column = layout.identification; column < layout.identificationEnd;
             ++column) {
            line(workbook_.names.at(column), row_.row->textAt(column));
        }
        for (std::size_t grade = 0; grade < layout.gradeColumns.size(); ++grade) {
            const std::size_t column = layout.gradeColumns.at(grade);
            label(workbook_.names.at(column));
            worksheet_write_number(sheet(), workbook_.nextCardRow, 1,
                                   gradeValue(workbook_, row_, grade), leftNumberFormat(workbook_));
            next();
        }
        label(std::string(resultColumns[0]));
        writeStudentMean(workbook_, sheet(), workbook_.nextCardRow, 1, row_,
                         [this](int decimals) { return leftNumberFormat(workbook_, decimals); });
        next();
        line(std::string(resultColumns[1]), row_.conceptLetter);
        line(std::string(resultColumns[2]), definition(row_));
        next();
        line("Assinatura", "", workbook_.label, workbook_.signature);
        line("", "", workbook_.cut, workbook_.cut);
    }

    // Rows a card takes, with the line to cut along.
    static lxw_row_t rows(const Layout& layout)
    {
        return static_cast<lxw_row_t>(layout.identificationEnd - layout.identification +
                                      layout.gradeColumns.size()) +
               8;
    }

  private:
    [[nodiscard]] lxw_worksheet* sheet() const
    {
        return workbook_.cards;
    }

    void label(const std::string& text)
    {
        writeText(sheet(), workbook_.nextCardRow, 0, text, workbook_.label);
    }

    void line(const std::string& name, std::string_view value, lxw_format* nameFormat = nullptr,
              lxw_format* valueFormat = nullptr)
    {
        writeText(sheet(), workbook_.nextCardRow, 0, name,
                  nameFormat != nullptr ? nameFormat : workbook_.label);
        writeText(sheet(), workbook_.nextCardRow, 1, value, valueFormat);
        next();
    }

    void next()
    {
        ++workbook_.nextCardRow;
    }

    Workbook& workbook_;
    const StudentRow& row_;
};

void setUpCardPages(Workbook& workbook)
{
    lxw_worksheet* sheet = workbook.cards;
    worksheet_set_paper(sheet, paperA4);
    worksheet_set_margins(sheet, 0.5, 0.5, 0.4, 0.4);
    worksheet_center_horizontally(sheet);
    worksheet_gridlines(sheet, LXW_HIDE_ALL_GRIDLINES);
    worksheet_set_column(sheet, 0, 0, 26, nullptr);
    worksheet_set_column(sheet, 1, 1, 44, nullptr);
    // A card is never cut across pages: a break after each page's worth of whole cards.
    const lxw_row_t rows = CardWriter::rows(workbook.layout);
    const auto perPage = std::max<lxw_row_t>(1, static_cast<lxw_row_t>(cardPageRows) / rows);
    std::vector<lxw_row_t> breaks;
    for (lxw_row_t row = perPage * rows;
         row < workbook.nextCardRow && breaks.size() < LXW_BREAKS_MAX; row += perPage * rows) {
        breaks.push_back(row);
    }
    breaks.push_back(0);
    if (breaks.size() > 1) {
        worksheet_set_h_pagebreaks(sheet, breaks.data());
    }
}

// The smallest of 1, 2, 5, 10, 20, 50... that counts to most in at most ten steps.
double wholeStep(long most)
{
    constexpr std::array<double, 3> nextStep{2, 2.5, 2};
    double step = 1;
    for (std::size_t scale = 0; static_cast<double>(most) > 10 * step; ++scale) {
        step *= nextStep.at(scale % nextStep.size());
    }
    return step;
}

class SummaryWriter {
  public:
    SummaryWriter(Workbook& workbook, const ClassCounts& counts)
        : workbook_(workbook), counts_(counts)
    {
    }

    void write()
    {
        lxw_worksheet* sheet = workbook_.summary;
        text(0, 0, classTitle(workbook_), workbook_.title);
        count(2, "Alunos", counts_.students, workbook_.bold);
        count(3, "Aprovados", counts_.approved);
        count(4, "Reprovados", counts_.failed);
        count(5, "Com erro", counts_.withErrors);
        statuses();
        means();
        text(11, 0, "Conceito", workbook_.bold);
        text(11, 1, "Alunos", workbook_.bold);
        for (std::size_t i = 0; i < counts_.perConcept.size(); ++i) {
            count(static_cast<lxw_row_t>(12 + i), std::string(1, static_cast<char>('A' + i)),
                  counts_.perConcept.at(i));
        }
        errors(gradeColumns());
        worksheet_set_column(sheet, 0, 0, 18, nullptr);
        worksheet_set_column(sheet, 1, 1, 12, nullptr);
        worksheet_set_column(sheet, 2, 2, 24, nullptr);
        worksheet_set_paper(sheet, paperA4);
        worksheet_fit_to_pages(sheet, 1, 0);
        chart();
    }

  private:
    void text(lxw_row_t row, lxw_col_t column, const std::string& value,
              lxw_format* format = nullptr) const
    {
        writeText(workbook_.summary, row, column, value, format);
    }

    void count(lxw_row_t row, const std::string& name, long value, lxw_format* format = nullptr)
    {
        text(row, 0, name, format);
        worksheet_write_number(workbook_.summary, row, 1, static_cast<double>(value), format);
    }

    void means()
    {
        const long computed = counts_.approved + counts_.failed;
        if (computed == 0) {
            return;
        }
        const double mean = counts_.sumOfMeans / static_cast<double>(computed);
        const std::array<std::pair<const char*, double>, 3> lines{
            {{"M\u00e9dia da turma", mean},
             {"Maior m\u00e9dia", counts_.highestMean},
             {"Menor m\u00e9dia", counts_.lowestMean}}};
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const auto row = static_cast<lxw_row_t>(7 + i);
            text(row, 0, lines.at(i).first);
            const double value = lines.at(i).second;
            // As boletim computes, a mean is a float's digits; the school's, two decimals.
            const auto single = static_cast<float>(value);
            const int decimals = workbook_.rule.asBoletim ? decimalsOfMean(single) : 2;
            if (workbook_.rule.asBoletim) {
                writeMean(workbook_.summary, row, 1, single,
                          formatOf(workbook_, Fill::none, decimals), nullptr);
            } else {
                worksheet_write_number(workbook_.summary, row, 1, value,
                                       formatOf(workbook_, Fill::none, decimals));
            }
        }
    }

    // The teacher's own mean against the one computed, where the class has a column of it,
    // below the chart, whose width its text needs; whether it was written.
    bool teacherMean(lxw_row_t row)
    {
        const long checked = counts_.teacherMeanAgrees + counts_.teacherMeanDiffers;
        if (checked == 0) {
            return false;
        }
        text(row, 0, "M\u00e9dia da coluna " + counts_.teacherMeanColumn, workbook_.bold);
        text(row, 1,
             "confere em " + plural(counts_.teacherMeanAgrees, "aluno", "alunos") +
                 (counts_.teacherMeanDiffers == 0
                      ? std::string()
                      : "; n\u00e3o confere em " + std::to_string(counts_.teacherMeanDiffers) +
                            ", marcados em \"Turma\""));
        return true;
    }

    // Students with a status where their grades go, counted apart, each status named.
    void statuses()
    {
        long students = 0;
        std::string named;
        for (const auto& [status, count] : counts_.statuses) {
            students += count;
            named += (named.empty() ? "" : ", ") + plural(count, status, status + "s");
        }
        if (students > 0) {
            count(6, "Outras situa\u00e7\u00f5es", students);
            text(6, 2, named);
        }
    }

    // The rule the means were made by, how the teacher's mean compares, the columns taken
    // as grades with their weights, which a teacher checks, and where the header was; the
    // next row free.
    lxw_row_t gradeColumns()
    {
        const Layout& layout = workbook_.layout;
        const SchoolRule& rule = workbook_.rule;
        text(18, 0, "Regra", workbook_.bold);
        text(18, 1, rule.described());
        lxw_row_t row = teacherMean(19) ? 21 : 20;
        text(row, 0, "Notas", workbook_.bold);
        text(row, 1, "Coluna", workbook_.bold);
        text(row, 2, "Nome", workbook_.bold);
        text(row++, 3, "Peso", workbook_.bold);
        for (std::size_t i = 0; i < layout.gradeColumns.size(); ++i, ++row) {
            const std::size_t column = layout.gradeColumns.at(i);
            text(row, 0, "Nota " + std::to_string(i + 1));
            text(row, 1, columnLetters(column));
            text(row, 2, workbook_.names.at(column));
            text(row, 3, i < rule.weights.size() ? rule.weights[i].typed : "");
        }
        text(++row, 0, "Cabe\u00e7alho", workbook_.bold);
        text(row++, 1, layout.header ? "linha " + std::to_string(layout.headerNumber) : "nenhum");
        if (workbook_.cardsLeftOut > 0) {
            text(row, 0, "Boletins", workbook_.bold);
            text(row++, 1, "os " + std::to_string(workbook_.cardsWritten) + " primeiros alunos");
        }
        return row + 1;
    }

    void errors(lxw_row_t row)
    {
        text(row, 0, "Linhas com erro", workbook_.bold);
        if (workbook_.errors.empty()) {
            text(row, 1, "nenhuma");
            return;
        }
        text(++row, 0, "Linha", workbook_.bold);
        text(row++, 1, "Erro", workbook_.bold);
        for (const ErrorListed& listed : workbook_.errors) {
            worksheet_write_number(workbook_.summary, row, 0, static_cast<double>(listed.line),
                                   leftNumberFormat(workbook_));
            text(row++, 1, listed.error);
        }
        if (workbook_.errorsLeftOut > 0) {
            text(row, 0, "e mais " + std::to_string(workbook_.errorsLeftOut));
        }
    }

    void chart()
    {
        lxw_chart* chart = workbook_add_chart(workbook_.book, LXW_CHART_COLUMN);
        lxw_chart_series* series =
            chart_add_series(chart, "=Resumo!$A$13:$A$17", "=Resumo!$B$13:$B$17");
        chart_series_set_name(series, "Alunos");
        chart_title_set_name(chart, "Alunos por conceito");
        chart_legend_set_position(chart, LXW_CHART_LEGEND_NONE);
        const long most = *std::max_element(counts_.perConcept.begin(), counts_.perConcept.end());
        chart_axis_set_min(chart->y_axis, 0);
        chart_axis_set_major_unit(chart->y_axis, wholeStep(most));
        chart_axis_set_num_format(chart->y_axis, "0");
        worksheet_insert_chart(workbook_.summary, 2, 4, chart);
    }

    Workbook& workbook_;
    const ClassCounts& counts_;
};

Fill fillOf(const StudentRow& row)
{
    if (!row.status.empty()) {
        return Fill::none;
    }
    if (row.conceptLetter.empty()) {
        return Fill::error;
    }
    return isApproved(row.conceptLetter) ? Fill::none : Fill::failed;
}

} // namespace

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

    bool start(const std::string& path, std::string_view source);
    void addTitle(std::string_view title) override;
    bool beginTable(const Layout& layout, const std::vector<std::string>& names,
                    const SchoolRule& rule, std::string& problem) override;
    bool addRow(const StudentRow& student) override;
    void addOtherRow(const Row& row) override;
    bool finish(const ClassCounts& counts, std::string& problem) override;

  private:
    void writeCell(const Row& row, const Cell& cell, lxw_format* format);
    void addCard(const StudentRow& row);
    void listError(const StudentRow& row);

    Workbook workbook_;
};

bool WorkbookTable::start(const std::string& path, std::string_view source)
{
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE; // rows go to disk as they come
    // A folder the library can open its temporary files in, where the system says one.
    std::string temporaryFolder = temporaryFolderForLibraries();
    options.tmpdir = temporaryFolder.empty() ? nullptr : temporaryFolder.data();
    Workbook& workbook = workbook_;
    workbook.book = workbook_new_opt(path.c_str(), &options);
    if (workbook.book == nullptr) {
        return false;
    }
    workbook.source = source;
    workbook.table = workbook_add_worksheet(workbook.book, "Turma");
    workbook.summary = workbook_add_worksheet(workbook.book, "Resumo");
    workbook.cards = workbook_add_worksheet(workbook.book, "Boletins");
    worksheet_set_default_row(workbook.cards, cardRowHeight, LXW_FALSE); // what a page holds
    workbook.bold = newFormat(workbook.book);
    format_set_bold(workbook.bold);
    workbook.title = newFormat(workbook.book);
    format_set_bold(workbook.title);
    format_set_font_size(workbook.title, 14);
    workbook.label = newFormat(workbook.book);
    format_set_bold(workbook.label);
    workbook.cardTitle = newFormat(workbook.book);
    format_set_bold(workbook.cardTitle);
    format_set_bg_color(workbook.cardTitle, cardTitleFill);
    format_set_top(workbook.cardTitle, LXW_BORDER_THIN);
    workbook.signature = newFormat(workbook.book);
    format_set_bottom(workbook.signature, LXW_BORDER_THIN);
    workbook.cut = newFormat(workbook.book);
    format_set_bottom(workbook.cut, LXW_BORDER_DASHED);
    return true;
}

void WorkbookTable::addTitle(std::string_view title)
{
    workbook_.titles.emplace_back(title);
}

bool WorkbookTable::beginTable(const Layout& layout, const std::vector<std::string>& names,
                               const SchoolRule& rule, std::string& problem)
{
    workbook_.rule = rule;
    Workbook& workbook = workbook_;
    if (names.size() + resultColumns.size() > LXW_COL_MAX) {
        problem = "a tabela teria " + std::to_string(names.size() + resultColumns.size()) +
                  " colunas, mais que as 16.384 de uma planilha; escreva-a em CSV";
        return false;
    }
    workbook.layout = layout;
    workbook.names = names;
    std::vector<std::string> cells = names;
    cells.insert(cells.end(), resultColumns.begin(), resultColumns.end());
    for (std::size_t column = 0; column < cells.size(); ++column) {
        writeTableText(workbook, column, cells[column], workbook.bold);
    }
    worksheet_freeze_panes(workbook.table, 1, 0);
    ++workbook.nextRow;
    setUpTablePages(workbook);
    return true;
}

// A cell of the class in the table's row: a number as a number, a boolean as one, any
// other as its text.
void WorkbookTable::writeCell(const Row& row, const Cell& cell, lxw_format* format)
{
    Workbook& workbook = workbook_;
    const std::size_t column = tableColumn(workbook.layout, cell.column);
    const std::string_view text = row.textOf(cell);
    const bool numberColumn = cell.column < workbook.layout.numberColumns.size() &&
                              workbook.layout.numberColumns[cell.column];
    const auto plain =
        cell.kind == CellKind::text && numberColumn ? plainNumber(text) : std::nullopt;
    if ((cell.kind == CellKind::number && std::isfinite(cell.number)) || plain) {
        writeTableNumber(workbook, column, plain ? *plain : cell.number, format);
    } else if (cell.kind == CellKind::boolean) {
        noteWidth(workbook, column, text.size());
        worksheet_write_boolean(workbook.table, workbook.nextRow, static_cast<lxw_col_t>(column),
                                cell.number != 0 ? 1 : 0, format);
    } else {
        writeTableText(workbook, column, text, format);
    }
}

bool WorkbookTable::addRow(const StudentRow& student)
{
    Workbook& workbook = workbook_;
    if (workbook.nextRow >= mostRowsOfASheet) {
        return false;
    }
    const Row& row = *student.row;
    const Fill fill = fillOf(student);
    lxw_format* format = formatOf(workbook, fill);
    const bool computed = !student.conceptLetter.empty();
    const std::size_t width = workbook.layout.width;
    for (std::size_t column = 0; column < width; ++column) {
        const auto grade = gradeInColumn(workbook.layout, column);
        const Cell* cell = row.at(column);
        const bool differs = column == workbook.layout.teacherMean &&
                             student.teacherMeanAgrees.has_value() && !*student.teacherMeanAgrees;
        if (computed && grade) {
            writeTableNumber(workbook, column, gradeValue(workbook, student, *grade), format);
        } else if (cell != nullptr) {
            writeCell(row, *cell, differs ? formatOf(workbook, Fill::differs) : format);
        } else if (format != nullptr) {
            writeTableText(workbook, column, "", format);
        }
    }
    const std::size_t end = cellsEnd(workbook.layout, row);
    for (const Cell& cell : row.cells) {
        if (cell.column >= width && cell.column < end) {
            writeCell(row, cell, nullptr);
        }
    }
    if (fill == Fill::error) {
        writeTableText(workbook, width, "", format);
        listError(student);
    } else if (computed) {
        noteWidth(workbook, width, 8);
        writeStudentMean(workbook, workbook.table, workbook.nextRow, width, student,
                         [&](int decimals) { return formatOf(workbook, fill, decimals); });
        addCard(student);
    }
    writeTableText(workbook, width + 1, student.conceptLetter, format);
    writeTableText(workbook, width + 2, definition(student), format);
    ++workbook.nextRow;
    return true;
}

void WorkbookTable::addCard(const StudentRow& row)
{
    if (workbook_.cardsWritten == mostCards) {
        ++workbook_.cardsLeftOut;
        return;
    }
    CardWriter(workbook_, row).write();
    ++workbook_.cardsWritten;
}

void WorkbookTable::listError(const StudentRow& row)
{
    if (workbook_.errors.size() == mostErrorsListed) {
        ++workbook_.errorsLeftOut;
        return;
    }
    workbook_.errors.push_back({row.row->number, row.error});
}

void WorkbookTable::addOtherRow(const Row& row)
{
    Workbook& workbook = workbook_;
    if (workbook.nextRow >= mostRowsOfASheet) {
        return;
    }
    const std::size_t end = cellsEnd(workbook.layout, row);
    for (const Cell& cell : row.cells) {
        if (cell.column < end) {
            writeCell(row, cell, nullptr);
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
    // Its title rows come after the table's first row: the page header comes last.
    worksheet_set_header(workbook.table,
                         ("&C&\"-,Bold\"" + forPageHeader(classTitle(workbook))).c_str());
    SummaryWriter(workbook, counts).write();
    setUpCardPages(workbook);
    const lxw_error written = workbook_close(workbook.book);
    workbook.book = nullptr;
    if (written != LXW_NO_ERROR) {
        problem = lxw_strerror(written);
        return false;
    }
    return true;
}

bool canWriteWorkbooks()
{
    return true;
}

std::unique_ptr<TableWriter> startWorkbook(const std::string& path, std::string_view source,
                                           std::string& problem)
{
    auto workbook = std::make_unique<WorkbookTable>();
    if (!workbook->start(path, source)) {
        problem = "n\u00e3o foi poss\u00edvel criar a planilha";
        return nullptr;
    }
    return workbook;
}
