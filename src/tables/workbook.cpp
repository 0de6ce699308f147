#include "tables/workbook.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string_view>
#include <tuple>
#include <unordered_map>
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
// The number formats of a class's cells kept: a workbook holds at most 64,000 cell
// formats, and each format code comes in a few of them (by fill, by alignment). Past it a
// cell shows its number in the general format.
constexpr std::size_t mostFormatCodes = 1000;
// The rows in error that "Resumo" lists; the rest are counted.
constexpr std::size_t mostErrorsListed = 1000;

constexpr std::uint8_t paperA4 = 9;
// A page header or footer holds at most 255 characters, its codes included.
constexpr std::size_t longestPageHeader = 200;
// Heights in points: of a line on a card, of the line to sign on and the one to cut along,
// and of an A4 page between its margins.
constexpr double cardRowHeight = 13;
constexpr double signatureHeight = 26;
constexpr double cutHeight = 8;
constexpr double cardPageHeight = 790;

// The colours spreadsheets give "bad" and "neutral" cells: a failed student, a row in error.
constexpr lxw_color_t failedFill = 0xFFC7CE;
constexpr lxw_color_t failedText = 0x9C0006;
constexpr lxw_color_t errorFill = 0xFFEB9C;
// The teacher's own mean where it does not agree with the one computed.
constexpr lxw_color_t differsFill = 0xF8CBAD;
constexpr lxw_color_t errorText = 0x9C5700;
constexpr lxw_color_t cardTitleFill = 0xDDEBF7;
// The table's lines, light enough to read past, and its header's fill.
constexpr lxw_color_t gridLine = 0xA6A6A6;
constexpr lxw_color_t headerFill = 0xEDEDED;

// Widths in characters of the default font's digits, as a column's is given: text runs a
// little wider, bold more, and a column leaves a margin beside its widest value.
constexpr double textWidth = 1.1;
constexpr double boldWidth = 1.2;
constexpr double columnMargin = 2;
// The card's two columns, and how many characters of its bold title a line of them holds.
constexpr double cardLabelWidth = 26;
constexpr double cardValueWidth = 44;
// The summary's title, in a larger font, over the page's width: its columns, and the chart's
// beside them.
constexpr double titleWidth = 1.3;
constexpr double titleHeight = 19;
constexpr lxw_col_t summaryLastColumn = 10;
constexpr double summaryWidth = 18 + 12 + 24 + 8 * 8.43;

enum class Fill : std::uint8_t { none, failed, error, differs };

// Where a cell's content stands: numbers right and text left, as spreadsheets put them,
// text a little in from its left edge, so that it never touches the number before it.
enum class Align : std::uint8_t { general, left, center, right };

// How a cell looks: its row's fill, where it stands, whether it is the table's (lined) or
// its header, and the number format it shows, by index in the workbook's codes.
struct Look {
    Fill fill = Fill::none;
    Align align = Align::general;
    bool lined = false;
    bool header = false;
    std::uint16_t code = 0;
    bool indented = false;

    [[nodiscard]] std::uint32_t key() const
    {
        return std::uint32_t{code} << 16U | static_cast<std::uint32_t>(fill) << 8U |
               static_cast<std::uint32_t>(align) << 4U | (indented ? 4U : 0U) | (lined ? 2U : 0U) |
               (header ? 1U : 0U);
    }
};

// A row in error, as "Resumo" lists it.
struct ErrorListed {
    long line;
    std::string error;
};

// Where a card starts, and how tall it is, in points: cards are kept whole on a page.
struct CardPlace {
    lxw_row_t row;
    double height;
};

struct Workbook {
    lxw_workbook* book = nullptr;
    lxw_worksheet* table = nullptr;   // "Turma"
    lxw_worksheet* summary = nullptr; // "Resumo"
    lxw_worksheet* cards = nullptr;   // "Boletins"
    lxw_format* bold = nullptr;
    lxw_format* title = nullptr;
    lxw_format* label = nullptr;
    lxw_format* cardTitleFormat = nullptr;
    lxw_format* wrapped = nullptr;
    lxw_format* signature = nullptr;
    lxw_format* signatureLabel = nullptr;
    lxw_format* cut = nullptr;
    std::unordered_map<std::uint32_t, lxw_format*> looks;
    std::vector<std::string> codes{""};     // the number formats the looks show; 0 none
    std::vector<std::uint16_t> sourceCodes; // by the source's index: 1 + the code's, or 0
    const RowSource* cellSource = nullptr;  // whose number formats the class's cells name
    Layout layout;
    SchoolRule rule;
    std::vector<std::string> names;
    std::vector<std::string> titles;
    std::string source;
    std::vector<Align> aligns;  // of each of the table's columns
    bool lined = true;          // the row at hand is the table's; the rows below it are not
    std::vector<double> widths; // of the widest cell of each column, in characters
    std::vector<std::size_t> cardColumns; // the other columns of numbers a card shows
    std::string cardTitle; // the class's title as a card shows it, once its title rows are read
    double titleLines = 0;
    lxw_row_t nextRow = 0;
    lxw_row_t nextCardRow = 0;
    std::vector<CardPlace> cardPlaces;
    std::size_t cardsLeftOut = 0;
    std::vector<ErrorListed> errors;
    long errorsLeftOut = 0;
};

lxw_format* newFormat(lxw_workbook* book)
{
    return workbook_add_format(book);
}

std::uint16_t codeIndex(Workbook& workbook, std::string_view code)
{
    const auto found = std::find(workbook.codes.begin(), workbook.codes.end(), code);
    if (found != workbook.codes.end()) {
        return static_cast<std::uint16_t>(found - workbook.codes.begin());
    }
    if (workbook.codes.size() >= mostFormatCodes) {
        return 0;
    }
    workbook.codes.emplace_back(code);
    return static_cast<std::uint16_t>(workbook.codes.size() - 1);
}

// The format showing decimals decimals (-1 for as many as there are).
std::uint16_t decimalsCode(Workbook& workbook, int decimals)
{
    if (decimals < 0) {
        return 0;
    }
    return codeIndex(workbook, decimals == 0
                                   ? "0"
                                   : "0." + std::string(static_cast<std::size_t>(decimals), '0'));
}

// The format a cell of the class shows in its file.
std::uint16_t cellCode(Workbook& workbook, const Cell& cell)
{
    if (cell.format == 0 || workbook.cellSource == nullptr) {
        return 0;
    }
    if (cell.format >= workbook.sourceCodes.size()) {
        workbook.sourceCodes.resize(std::size_t{cell.format} + 1);
    }
    std::uint16_t& code = workbook.sourceCodes[cell.format];
    if (code == 0) {
        code = static_cast<std::uint16_t>(
            1 + codeIndex(workbook, workbook.cellSource->formatCode(cell.format)));
    }
    return static_cast<std::uint16_t>(code - 1);
}

lxw_format* formatOf(Workbook& workbook, const Look& look)
{
    lxw_format*& format = workbook.looks[look.key()];
    if (format != nullptr) {
        return format;
    }
    format = newFormat(workbook.book);
    if (look.fill == Fill::differs) {
        format_set_bg_color(format, differsFill);
        format_set_bold(format);
    } else if (look.fill != Fill::none) {
        format_set_bg_color(format, look.fill == Fill::failed ? failedFill : errorFill);
        format_set_font_color(format, look.fill == Fill::failed ? failedText : errorText);
    }
    if (look.header) {
        format_set_bold(format);
        format_set_bg_color(format, headerFill);
    }
    if (look.lined) {
        format_set_border(format, LXW_BORDER_THIN);
        format_set_border_color(format, gridLine);
    }
    constexpr std::array<std::uint8_t, 4> aligned{LXW_ALIGN_NONE, LXW_ALIGN_LEFT, LXW_ALIGN_CENTER,
                                                  LXW_ALIGN_RIGHT};
    format_set_align(format, aligned.at(static_cast<std::size_t>(look.align)));
    if (look.indented) {
        format_set_indent(format, 1);
    }
    if (look.code != 0) {
        format_set_num_format(format, workbook.codes.at(look.code).c_str());
    }
    return format;
}

// A number on a card, or an error's line, stands to the left, as the texts beside it.
lxw_format* leftNumberFormat(Workbook& workbook, std::uint16_t code = 0)
{
    return formatOf(workbook, {Fill::none, Align::left, false, false, code});
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

// How many characters a number takes as format code shows it: its digits, and the
// code's decimals and signs; a date or a time, as long as its code.
double shownWidth(double value, std::string_view code)
{
    constexpr double general = 11; // a spreadsheet shows at most so many characters
    std::array<char, 32> digits{};
    if (code.empty()) {
        const auto written = std::to_chars(digits.data(), digits.data() + digits.size(), value);
        return std::min(general, static_cast<double>(written.ptr - digits.data()));
    }
    std::size_t width = 0;
    bool quoted = false;
    bool dated = false;
    for (const char character : code) {
        quoted = character == '"' ? !quoted : quoted;
        dated = dated || (!quoted &&
                          std::string_view("dmyhsDMYHS").find(character) != std::string_view::npos);
        width += character == '"' || character == '\\' || character == '#' ? 0 : 1;
    }
    if (dated) {
        return static_cast<double>(width);
    }
    const double scaled = std::abs(value) * (code.find('%') != std::string_view::npos ? 100 : 1);
    const double integerDigits = scaled < 10 ? 1 : std::floor(std::log10(scaled)) + 1;
    // The code's own integer digits are counted in its width: one of them is the number's.
    return static_cast<double>(width) - 1 + std::min(integerDigits, 16.0) + (value < 0 ? 1 : 0);
}

void noteWidth(Workbook& workbook, std::size_t column, double width)
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

// The look of a cell of the table's, in fill, and, for a number, showing code; text stands
// as its column does, or left in a column of numbers.
Look tableLook(const Workbook& workbook, std::size_t column, Fill fill, bool number,
               std::uint16_t code = 0)
{
    const Align align = column < workbook.aligns.size() ? workbook.aligns[column] : Align::left;
    const Align shown = number ? Align::general : align == Align::right ? Align::left : align;
    return {fill, shown, workbook.lined, false, code, shown == Align::left};
}

// A text that may run on over the empty cell beside it does not widen its column.
void writeTableText(Workbook& workbook, std::size_t column, std::string_view text, Fill fill,
                    bool widens = true)
{
    if (widens) {
        noteWidth(workbook, column, static_cast<double>(characters(text)) * textWidth + 1);
    }
    writeText(workbook.table, workbook.nextRow, column, text,
              formatOf(workbook, tableLook(workbook, column, fill, false)));
}

void writeTableNumber(Workbook& workbook, std::size_t column, double value, Fill fill,
                      std::uint16_t code)
{
    noteWidth(workbook, column, shownWidth(value, workbook.codes.at(code)));
    worksheet_write_number(workbook.table, workbook.nextRow, static_cast<lxw_col_t>(column), value,
                           formatOf(workbook, tableLook(workbook, column, fill, true, code)));
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

// The decimals the school's mean shows: two, or its rounding step's.
int decimalsOfSchoolMean(const Workbook& workbook)
{
    return workbook.rule.step ? decimalsOf(*workbook.rule.step) : 2;
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
    worksheet_write_number(sheet, row, static_cast<lxw_col_t>(column), student.sheetMean,
                           formatOf(decimalsOfSchoolMean(workbook)));
}

// Lines that text takes in a cell width characters wide.
double linesOf(std::string_view text, double perCharacter, double width)
{
    return std::max(1.0, std::ceil(static_cast<double>(characters(text)) * perCharacter / width));
}

// A title as a box width characters wide shows it, wrapped, in at most four lines (a
// longer one is cut, with an ellipsis), and the lines it takes.
std::pair<std::string, double> wrappedTitle(std::string_view title, double perCharacter,
                                            double width)
{
    constexpr double mostLines = 4;
    // Words wrap short of the box's edge, and some letters are wider than a digit.
    constexpr double filled = 0.8;
    const auto most = static_cast<std::size_t>(mostLines * width * filled / perCharacter);
    if (characters(title) <= most) {
        return {std::string(title), linesOf(title, perCharacter, width)};
    }
    std::string cut(startOfText(title, most)); // bytes: no more characters than that
    cut += "\u2026";
    return {cut, std::min(mostLines, linesOf(cut, perCharacter, width))};
}

// What a card says where the student has no mean: a grade still to come, or, in words a
// parent follows, why the mean could not be made.
std::string whyNoMean(const Workbook& workbook, const StudentRow& student)
{
    const std::optional<std::size_t> column = student.errorColumn;
    if (column && gradeInColumn(workbook.layout, *column)) {
        return "a nota de " + std::string(startOfText(workbook.names.at(*column), 60)) + " (" +
               quotedForMessage(trimmed(student.row->textAt(*column))) +
               ") n\u00e3o p\u00f4de ser lida; a m\u00e9dia ser\u00e1 calculada quando "
               "ela for corrigida";
    }
    return "a m\u00e9dia n\u00e3o p\u00f4de ser calculada: " + student.error;
}

// A report card: the class, the student's identification, grades and other numbers under
// their names, the mean, the concept, the verdict, and a line to sign. A student not
// computed gets one too: the grades it has, and why there is no mean.
class CardWriter {
  public:
    CardWriter(Workbook& workbook, const StudentRow& row) : workbook_(workbook), row_(row) {}

    // Its height, in points.
    double write()
    {
        const Layout& layout = workbook_.layout;
        title();
        for (std::size_t column = layout.identification; column < layout.identificationEnd;
             ++column) {
            line(workbook_.names.at(column), row_.row->textAt(column));
        }
        for (std::size_t grade = 0; grade < layout.gradeColumns.size(); ++grade) {
            label(workbook_.names.at(layout.gradeColumns.at(grade)));
            if (computed()) {
                worksheet_write_number(sheet(), workbook_.nextCardRow, 1,
                                       gradeValue(workbook_, row_, grade),
                                       leftNumberFormat(workbook_));
            } else {
                cell(layout.gradeColumns.at(grade));
            }
            next();
        }
        for (const std::size_t column : workbook_.cardColumns) {
            label(workbook_.names.at(column));
            cell(column);
            next();
        }
        result();
        // Room to sign above the line, and below it, to cut along, before the next card.
        worksheet_set_row(sheet(), workbook_.nextCardRow, signatureHeight, nullptr);
        writeText(sheet(), workbook_.nextCardRow, 0, "Assinatura", workbook_.signatureLabel);
        writeText(sheet(), workbook_.nextCardRow, 1, "", workbook_.signature);
        next(signatureHeight);
        worksheet_set_row(sheet(), workbook_.nextCardRow, cutHeight, nullptr);
        line("", "", workbook_.cut, workbook_.cut, cutHeight);
        return height_;
    }

  private:
    [[nodiscard]] lxw_worksheet* sheet() const
    {
        return workbook_.cards;
    }

    [[nodiscard]] bool computed() const
    {
        return !row_.conceptLetter.empty();
    }

    // The class's title, across the card, in as many lines as it takes.
    void title()
    {
        if (workbook_.cardTitle.empty()) {
            std::tie(workbook_.cardTitle, workbook_.titleLines) = wrappedTitle(
                classTitle(workbook_), 1, cardLabelWidth + cardValueWidth - columnMargin);
        }
        const double height = workbook_.titleLines * cardRowHeight;
        worksheet_set_row(sheet(), workbook_.nextCardRow, height, nullptr);
        worksheet_merge_range(sheet(), workbook_.nextCardRow, 0, workbook_.nextCardRow, 1,
                              workbook_.cardTitle.c_str(), workbook_.cardTitleFormat);
        next(height);
    }

    // The mean, the concept and the verdict; where there is no mean, why.
    void result()
    {
        label(std::string(resultColumns[0]));
        if (computed()) {
            writeStudentMean(
                workbook_, sheet(), workbook_.nextCardRow, 1, row_, [this](int decimals) {
                    return leftNumberFormat(workbook_, decimalsCode(workbook_, decimals));
                });
            next();
            line(std::string(resultColumns[1]), row_.conceptLetter);
            line(std::string(resultColumns[2]), definition(row_));
            return;
        }
        const bool pending = row_.gradePending || !row_.status.empty();
        writeText(sheet(), workbook_.nextCardRow, 1,
                  row_.gradePending ? "nota pendente" : "n\u00e3o calculada", nullptr);
        next();
        line(std::string(resultColumns[1]), "\u2014");
        if (pending) {
            line(std::string(resultColumns[2]), row_.status.empty() ? "a definir" : row_.status);
            return;
        }
        const std::string why = whyNoMean(workbook_, row_);
        const double height = std::min(4.0, linesOf(why, 1, cardValueWidth)) * cardRowHeight;
        worksheet_set_row(sheet(), workbook_.nextCardRow, height, nullptr);
        label(std::string(resultColumns[2]));
        writeText(sheet(), workbook_.nextCardRow, 1, why, workbook_.wrapped);
        next(height);
    }

    // The student's cell in column as the class has it: a number in its format, or text.
    void cell(std::size_t column)
    {
        const Cell* found = row_.row->at(column);
        if (found != nullptr && found->kind == CellKind::number && std::isfinite(found->number)) {
            worksheet_write_number(sheet(), workbook_.nextCardRow, 1, found->number,
                                   leftNumberFormat(workbook_, cellCode(workbook_, *found)));
        } else if (found != nullptr) {
            writeText(sheet(), workbook_.nextCardRow, 1, row_.row->textOf(*found), nullptr);
        }
    }

    void label(const std::string& text)
    {
        writeText(sheet(), workbook_.nextCardRow, 0, text, workbook_.label);
    }

    void line(const std::string& name, std::string_view value, lxw_format* nameFormat = nullptr,
              lxw_format* valueFormat = nullptr, double height = cardRowHeight)
    {
        writeText(sheet(), workbook_.nextCardRow, 0, name,
                  nameFormat != nullptr ? nameFormat : workbook_.label);
        writeText(sheet(), workbook_.nextCardRow, 1, value, valueFormat);
        next(height);
    }

    void next(double height = cardRowHeight)
    {
        ++workbook_.nextCardRow;
        height_ += height;
    }

    Workbook& workbook_;
    const StudentRow& row_;
    double height_ = 0;
};

void setUpCardPages(Workbook& workbook)
{
    lxw_worksheet* sheet = workbook.cards;
    worksheet_set_paper(sheet, paperA4);
    worksheet_set_margins(sheet, 0.5, 0.5, 0.3, 0.3);
    worksheet_center_horizontally(sheet);
    worksheet_gridlines(sheet, LXW_HIDE_ALL_GRIDLINES);
    worksheet_set_column(sheet, 0, 0, cardLabelWidth, nullptr);
    worksheet_set_column(sheet, 1, 1, cardValueWidth, nullptr);
    if (workbook.nextCardRow > 0) {
        worksheet_print_area(sheet, 0, 0, workbook.nextCardRow - 1, 1); // nothing beside them
    }
    // A card is never cut across pages: a break before each card that would not fit.
    std::vector<lxw_row_t> breaks;
    double used = 0;
    for (const CardPlace& card : workbook.cardPlaces) {
        if (used > 0 && used + card.height > cardPageHeight && breaks.size() < LXW_BREAKS_MAX) {
            breaks.push_back(card.row);
            used = 0;
        }
        used += card.height;
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
        // The title wraps over the page's width, which it would otherwise widen.
        const auto [title, lines] = wrappedTitle(classTitle(workbook_), titleWidth, summaryWidth);
        worksheet_set_row(sheet, 0, lines * titleHeight, nullptr);
        worksheet_merge_range(sheet, 0, 0, 0, summaryLastColumn, title.c_str(), workbook_.title);
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
            lxw_format* format = formatOf(workbook_, {.code = decimalsCode(workbook_, decimals)});
            if (workbook_.rule.asBoletim) {
                writeMean(workbook_.summary, row, 1, single, format, nullptr);
            } else {
                worksheet_write_number(workbook_.summary, row, 1, value, format);
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
            text(row++, 1,
                 "os " + std::to_string(workbook_.cardPlaces.size()) + " primeiros alunos");
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

// The format a number, a date or a time of the class shows: its own, or, for a date or a
// time without one, the way Brazil writes them.
std::uint16_t shownCode(Workbook& workbook, const Cell& cell)
{
    const std::uint16_t code = cellCode(workbook, cell);
    if (code != 0 || cell.kind == CellKind::number) {
        return code;
    }
    return codeIndex(workbook, cell.kind == CellKind::time   ? "hh:mm"
                               : cell.kind == CellKind::date ? "dd/mm/yyyy"
                                                             : "dd/mm/yyyy hh:mm");
}

// The format of a number typed as text: its decimals as typed (6,50 two), or general.
std::uint16_t typedDecimalsCode(Workbook& workbook, std::string_view text)
{
    return decimalsCode(workbook, decimalsTypedIn(trimmed(text)).value_or(-1));
}

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

// Where each of the table's columns stands: the class's numbers right and its text left,
// the mean right, the concept centred, the verdict and the notes left.
std::vector<Align> columnAligns(const Layout& layout, std::size_t columns)
{
    std::vector<Align> aligns(columns, Align::left);
    for (std::size_t column = 0; column < layout.width && column < columns; ++column) {
        const bool number = column < layout.numbersRead.size() && layout.numbersRead[column];
        aligns[column] = number ? Align::right : Align::left;
    }
    aligns.at(layout.width) = Align::right;
    aligns.at(layout.width + 1) = Align::center;
    return aligns;
}

// The columns of numbers, besides the grades, the identification and the teacher's mean,
// that a card shows with their names: absences, attendance.
std::vector<std::size_t> cardColumnsOf(const Layout& layout)
{
    std::vector<std::size_t> columns;
    for (std::size_t column = 0; column < layout.width && column < layout.numberColumns.size();
         ++column) {
        const bool identifies =
            column >= layout.identification && column < layout.identificationEnd;
        if (layout.numberColumns[column] && !identifies && !gradeInColumn(layout, column) &&
            column != layout.teacherMean) {
            columns.push_back(column);
        }
    }
    return columns;
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
                    const SchoolRule& rule, const RowSource& source, std::string& problem) override;
    bool addRow(const StudentRow& student) override;
    void addOtherRow(const Row& row) override;
    bool finish(const ClassCounts& counts, std::string& problem) override;

  private:
    void writeCell(const Row& row, const Cell& cell, Fill fill, bool student = true);
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
    format_set_text_wrap(workbook.title);
    format_set_align(workbook.title, LXW_ALIGN_VERTICAL_TOP);
    workbook.label = newFormat(workbook.book);
    format_set_bold(workbook.label);
    workbook.cardTitleFormat = newFormat(workbook.book);
    format_set_bold(workbook.cardTitleFormat);
    format_set_bg_color(workbook.cardTitleFormat, cardTitleFill);
    format_set_text_wrap(workbook.cardTitleFormat);
    format_set_align(workbook.cardTitleFormat, LXW_ALIGN_VERTICAL_TOP);
    workbook.wrapped = newFormat(workbook.book);
    format_set_text_wrap(workbook.wrapped);
    workbook.signature = newFormat(workbook.book);
    format_set_bottom(workbook.signature, LXW_BORDER_THIN);
    workbook.signatureLabel = newFormat(workbook.book);
    format_set_bold(workbook.signatureLabel);
    format_set_align(workbook.signatureLabel, LXW_ALIGN_VERTICAL_BOTTOM);
    workbook.cut = newFormat(workbook.book);
    format_set_bottom(workbook.cut, LXW_BORDER_DASHED);
    return true;
}

void WorkbookTable::addTitle(std::string_view title)
{
    workbook_.titles.emplace_back(title);
}

bool WorkbookTable::beginTable(const Layout& layout, const std::vector<std::string>& names,
                               const SchoolRule& rule, const RowSource& source,
                               std::string& problem)
{
    workbook_.rule = rule;
    Workbook& workbook = workbook_;
    if (names.size() + resultColumns.size() > LXW_COL_MAX) {
        problem = "a tabela teria " + std::to_string(names.size() + resultColumns.size()) +
                  " colunas, mais que as 16.384 de uma planilha; escreva-a em CSV";
        return false;
    }
    workbook.cellSource = &source;
    workbook.layout = layout;
    workbook.names = names;
    workbook.cardColumns = cardColumnsOf(layout);
    std::vector<std::string> cells = names;
    cells.insert(cells.end(), resultColumns.begin(), resultColumns.end());
    workbook.aligns = columnAligns(layout, cells.size());
    for (std::size_t column = 0; column < cells.size(); ++column) {
        const Align align = workbook.aligns[column];
        noteWidth(workbook, column, static_cast<double>(characters(cells[column])) * boldWidth + 1);
        writeText(workbook.table, workbook.nextRow, column, cells[column],
                  formatOf(workbook, {Fill::none, align, true, true, 0, align == Align::left}));
    }
    worksheet_freeze_panes(workbook.table, 1, 0);
    ++workbook.nextRow;
    setUpTablePages(workbook);
    return true;
}

// A cell of the class in the table's row: a number, a date or a time as a number in the
// format the class shows it in; a text that reads as a plain number in a column of them,
// or anywhere in a row that is no student, as one, with the decimals typed; a boolean as
// one; any other as its text.
void WorkbookTable::writeCell(const Row& row, const Cell& cell, Fill fill, bool student)
{
    Workbook& workbook = workbook_;
    const std::size_t column = tableColumn(workbook.layout, cell.column);
    const std::string_view text = row.textOf(cell);
    const bool valued = cell.kind == CellKind::number || cell.kind == CellKind::date ||
                        cell.kind == CellKind::time || cell.kind == CellKind::dateTime;
    if (valued && std::isfinite(cell.number)) {
        writeTableNumber(workbook, column, cell.number, fill, shownCode(workbook, cell));
        return;
    }
    const bool numberColumn = cell.column < workbook.layout.numberColumns.size() &&
                              workbook.layout.numberColumns[cell.column];
    const auto plain = cell.kind == CellKind::text && (numberColumn || !student) ? plainNumber(text)
                                                                                 : std::nullopt;
    if (plain) {
        writeTableNumber(workbook, column, *plain, fill, typedDecimalsCode(workbook, text));
    } else if (cell.kind == CellKind::error) { // among the numbers, as a spreadsheet shows it
        noteWidth(workbook, column, static_cast<double>(text.size()));
        writeText(workbook.table, workbook.nextRow, column, text,
                  formatOf(workbook, {fill, Align::right, workbook.lined, false, 0}));
    } else if (cell.kind == CellKind::boolean) {
        noteWidth(workbook, column, static_cast<double>(text.size()));
        worksheet_write_boolean(workbook.table, workbook.nextRow, static_cast<lxw_col_t>(column),
                                cell.number != 0 ? 1 : 0,
                                formatOf(workbook, tableLook(workbook, column, fill, true)));
    } else {
        // A footer's label (Média da turma) runs on over the empty cells beside it.
        const Cell* beside = row.at(cell.column + 1);
        writeTableText(workbook, column, text, fill,
                       student || (beside != nullptr && isFilled(*beside)));
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
    const bool computed = !student.conceptLetter.empty();
    const std::size_t width = workbook.layout.width;
    for (std::size_t column = 0; column < width; ++column) {
        const auto grade = gradeInColumn(workbook.layout, column);
        const Cell* cell = row.at(column);
        const bool differs = column == workbook.layout.teacherMean &&
                             student.teacherMeanAgrees.has_value() && !*student.teacherMeanAgrees;
        if (computed && grade) {
            writeTableNumber(workbook, column, gradeValue(workbook, student, *grade), fill,
                             cell != nullptr ? cellCode(workbook, *cell) : 0);
        } else if (cell != nullptr) {
            writeCell(row, *cell, differs ? Fill::differs : fill);
        } else {
            writeTableText(workbook, column, "", fill);
        }
    }
    const std::size_t end = cellsEnd(workbook.layout, row);
    for (const Cell& cell : row.cells) {
        if (cell.column >= width && cell.column < end) {
            writeCell(row, cell, fill);
        }
    }
    if (computed) {
        const auto lookOf = [&](int decimals) {
            return formatOf(
                workbook, tableLook(workbook, width, fill, true, decimalsCode(workbook, decimals)));
        };
        noteWidth(workbook, width, 8);
        writeStudentMean(workbook, workbook.table, workbook.nextRow, width, student, lookOf);
    } else {
        writeTableText(workbook, width, "", fill);
    }
    if (fill == Fill::error) {
        listError(student);
    }
    writeTableText(workbook, width + 1, student.conceptLetter, fill);
    writeTableText(workbook, width + 2, definition(student), fill);
    addCard(student);
    ++workbook.nextRow;
    return true;
}

void WorkbookTable::addCard(const StudentRow& row)
{
    if (workbook_.cardPlaces.size() == mostCards) {
        ++workbook_.cardsLeftOut;
        return;
    }
    const lxw_row_t start = workbook_.nextCardRow;
    workbook_.cardPlaces.push_back({start, CardWriter(workbook_, row).write()});
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
    workbook.lined = false;
    for (const Cell& cell : row.cells) {
        if (cell.column < end) {
            writeCell(row, cell, Fill::none, false);
        }
    }
    workbook.lined = true;
    ++workbook.nextRow;
}

bool WorkbookTable::finish(const ClassCounts& counts, std::string& problem)
{
    Workbook& workbook = workbook_;
    for (std::size_t column = 0; column < workbook.widths.size(); ++column) {
        const double width = std::min(widestColumn, workbook.widths[column] + columnMargin);
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
