#include "class/layout.h"

#include <algorithm>
#include <map>
#include <span>
#include <utility>

#include "text/fields.h"
#include "class/names.h"
#include "class/rows.h"
#include "class/student.h"

namespace {

constexpr std::size_t fewestColumns = 4; // an identification and three grades

using Rows = std::vector<const Record*>;

// What the fields of a column below the header hold, in the rows read ahead.
struct ColumnFields {
    std::size_t filled = 0;  // with a letter or digit: a dash is no value
    std::size_t numbers = 0; // of those, grades by the program's rules
    std::size_t zeroToTen = 0;
};

std::vector<ColumnFields> fieldsByColumn(std::span<const Record* const> rows, std::size_t width)
{
    std::vector<ColumnFields> columns(width);
    for (const Record* row : rows) {
        for (std::size_t column = 0; column < std::min(width, row->fields.size()); ++column) {
            const std::string_view field = row->fields[column];
            if (!hasLetterOrDigit(field)) {
                continue;
            }
            ColumnFields& counts = columns[column];
            ++counts.filled;
            const GradeField read = readGradeField(field);
            if (read.problem == GradeProblem::none) {
                ++counts.numbers;
                counts.zeroToTen += read.grade >= 0.0f && read.grade <= 10.0f ? 1 : 0;
            }
        }
    }
    return columns;
}

bool mostlyNumbers(const ColumnFields& column)
{
    return column.numbers > 0 && 2 * column.numbers >= column.filled;
}

// Matrículas, years and percentages are numbers, but not grades.
bool mostlyGrades(const ColumnFields& column)
{
    return mostlyNumbers(column) && 2 * column.zeroToTen >= column.numbers;
}

std::vector<std::size_t> numericColumns(const std::vector<ColumnFields>& columns)
{
    std::vector<std::size_t> numeric;
    for (std::size_t column = 0; column < columns.size(); ++column) {
        if (mostlyNumbers(columns[column])) {
            numeric.push_back(column);
        }
    }
    return numeric;
}

std::size_t widestRow(std::span<const Record* const> rows)
{
    std::size_t widest = 0;
    for (const Record* row : rows) {
        widest = std::max(widest, row->fields.size());
    }
    return std::min(widest, mostColumns + 1);
}

// Without a header: the number of fields most rows have, as a spreadsheet writes every
// row of text with as many, empty ones included; but not the columns empty in every row.
// A sheet's cells are each in their own column, and its rows end at their last filled
// cell: it is as wide as its widest row.
std::size_t mostCommonWidth(std::span<const Record* const> rows)
{
    std::map<std::size_t, int> rowsOfWidth;
    std::size_t widestFilled = 0;
    bool sheet = !rows.empty();
    for (const Record* row : rows) {
        ++rowsOfWidth[row->fields.size()];
        widestFilled = std::max(widestFilled, filledWidth(row->fields));
        sheet = sheet && row->exactColumns;
    }
    if (sheet) {
        return widestFilled;
    }
    std::pair<std::size_t, int> most{0, 0};
    for (const auto& [width, count] : rowsOfWidth) {
        if (count >= most.second) { // on a tie, the wider: a narrower row lacks fields
            most = {width, count};
        }
    }
    return std::min(most.first, widestFilled);
}

// The first column with text in any row: the columns before it are an empty margin.
std::size_t firstColumnWithText(std::span<const Record* const> rows)
{
    std::size_t first = mostColumns;
    for (const Record* row : rows) {
        first = std::min(first, firstFilled(row->fields));
    }
    return first;
}

std::string columnName(const Layout& layout, std::size_t column)
{
    return column < layout.header.size() ? std::string(trimmed(layout.header[column])) : "";
}

// The columns after the identification that may be grades, from what they hold and their
// names. A column blank in every row may be a grade not given yet: it counts among them
// where no header names it otherwise.
struct MaybeGrades {
    std::vector<std::size_t> possible;
    std::vector<std::size_t> named;  // of those, the ones whose name says grade
    std::vector<std::size_t> others; // numbers that are not grades, for the user to see
    std::size_t withNumbers = 0;     // of the possible, those with numbers
};

MaybeGrades maybeGrades(const Layout& layout, const std::vector<ColumnFields>& columns)
{
    MaybeGrades found;
    for (std::size_t column = layout.identification + 1; column < layout.width; ++column) {
        const std::string name = columnName(layout, column);
        const ColumnFields& fields = columns.at(column);
        const bool saysGrade = namesGrade(name);
        // A name that says grade keeps a column of grades out of range among them.
        const bool grades = mostlyGrades(fields) || (saysGrade && mostlyNumbers(fields));
        const bool blank = fields.filled == 0 && (layout.header.empty() || saysGrade);
        if (!namesNoGrade(name) && (grades || blank)) {
            found.possible.push_back(column);
            found.withNumbers += grades ? 1 : 0;
            if (saysGrade) {
                found.named.push_back(column);
            }
        } else if (mostlyNumbers(fields)) {
            found.others.push_back(column);
        }
    }
    return found;
}

// Why the grades are unclear, the columns to choose from and three of them for a command
// to try.
void explainUnclear(LayoutDecision& decision, const MaybeGrades& found)
{
    const Layout& layout = decision.layout;
    decision.problem = LayoutProblem::gradesUnclear;
    decision.candidates = found.possible;
    const std::size_t numbers = found.withNumbers;
    if (found.possible.size() > 3) {
        decision.why = "h\u00e1 " + std::to_string(found.possible.size()) +
                       " colunas que podem ser as notas, e o c\u00e1lculo usa tr\u00eas";
    } else {
        decision.candidates.insert(decision.candidates.end(), found.others.begin(),
                                   found.others.end());
        std::sort(decision.candidates.begin(), decision.candidates.end());
        decision.why = numbers == 0 ? "n\u00e3o encontrei colunas de notas"
                                    : "encontrei s\u00f3 " +
                                          plural(static_cast<long>(numbers), "coluna que pode",
                                                 "colunas que podem") +
                                          " ser de notas";
    }
    std::vector<std::size_t> example = decision.candidates;
    for (std::size_t column = layout.identification + 1;
         example.size() < 3 && column < layout.width; ++column) {
        if (std::find(example.begin(), example.end(), column) == example.end()) {
            example.push_back(column);
        }
    }
    example.resize(3, layout.identification + 1);
    std::sort(example.begin(), example.end());
    std::copy(example.begin(), example.end(), decision.example.begin());
}

// The grade columns: the three that may be, or of more, the three named so; or, in
// decision, why not.
bool chooseGradeColumns(LayoutDecision& decision, const std::vector<ColumnFields>& columns)
{
    const MaybeGrades found = maybeGrades(decision.layout, columns);
    const std::vector<std::size_t>& chosen =
        found.possible.size() > 3 ? found.named : found.possible;
    if (chosen.size() == 3) {
        std::copy(chosen.begin(), chosen.end(), decision.layout.gradeColumns.begin());
        return true;
    }
    explainUnclear(decision, found);
    return false;
}

bool isNumberText(std::string_view text)
{
    return !text.empty() && text.size() < 6 &&
           std::all_of(text.begin(), text.end(),
                       [](char digit) { return digit >= '0' && digit <= '9'; });
}

// Whether a column the user named can only be a header's name: not a number, not letters.
bool isHeaderName(const std::string& named)
{
    return !isNumberText(named) && !columnOfLetters(named);
}

std::string headerNamesList(const Layout& layout)
{
    std::string list;
    const std::vector<std::string> names = columnNames(layout);
    for (std::size_t column = 0; column < names.size(); ++column) {
        list.append(column == 0 ? "" : ", ").append(columnLetters(column));
        list.append(" \"").append(names[column]).append("\"");
    }
    return list;
}

// The column the user named: a number, a header's name, or letters; or why not.
std::optional<std::size_t> namedColumn(const Layout& layout, const std::string& named,
                                       std::string& why)
{
    if (isNumberText(named)) {
        return std::stoul(named) - 1;
    }
    const auto found =
        std::find_if(layout.header.begin(), layout.header.end(),
                     [&named](const std::string& name) { return sameName(name, named); });
    if (found != layout.header.end()) {
        return static_cast<std::size_t>(found - layout.header.begin());
    }
    if (const auto column = columnOfLetters(named)) {
        return column;
    }
    why = layout.header.empty()
              ? "colunas de notas por nome pedem um cabe\u00e7alho"
              : "n\u00e3o h\u00e1 coluna \"" + named +
                    "\" no cabe\u00e7alho, cujas colunas s\u00e3o " + headerNamesList(layout);
    return std::nullopt;
}

bool useNamedColumns(LayoutDecision& decision, const LayoutOptions& options, std::size_t widest)
{
    Layout& layout = decision.layout;
    for (std::size_t i = 0; i < 3; ++i) {
        const auto column = namedColumn(layout, options.gradeColumns.at(i), decision.why);
        if (!column) {
            decision.problem = LayoutProblem::unusableOptions;
            return false;
        }
        layout.gradeColumns.at(i) = *column;
    }
    const auto& grades = layout.gradeColumns;
    const std::size_t last = *std::max_element(grades.begin(), grades.end());
    if (last >= std::max(widest, layout.width)) {
        decision.problem = LayoutProblem::unusableOptions;
        decision.why = "n\u00e3o h\u00e1 coluna " + columnLetters(last) + " (" +
                       std::to_string(last + 1) + "): as linhas t\u00eam at\u00e9 " +
                       std::to_string(widest) + " campos";
        return false;
    }
    if (grades[0] == grades[1] || grades[0] == grades[2] || grades[1] == grades[2]) {
        decision.problem = LayoutProblem::unusableOptions;
        decision.why = "--notas nomeia a mesma coluna duas vezes";
        return false;
    }
    layout.width = std::max(layout.width, last + 1);
    return true;
}

// The rows below the table's start that stand for the class: no row of totals among them.
std::vector<const Record*> classRows(std::span<const Record* const> rows)
{
    std::vector<const Record*> students;
    for (const Record* row : rows) {
        const std::size_t first = firstFilled(row->fields);
        if (first < row->fields.size() && !isSummaryLabel(trimmed(row->fields[first]))) {
            students.push_back(row);
        }
    }
    return students;
}

void placeTable(Layout& layout, const Rows& rows, const TableStart& start)
{
    layout.tableStart = start.header                   ? rows[*start.header]->line
                        : start.firstRow < rows.size() ? rows[start.firstRow]->line
                                                       : rows.back()->line + 1;
    for (const std::size_t title : start.titles) {
        if (rows[title]->line > layout.tableStart) {
            layout.titleLines.push_back(rows[title]->line);
        }
    }
    if (start.header) {
        const Fields& header = rows[*start.header]->fields;
        layout.headerLine = rows[*start.header]->line;
        layout.header.assign(header.begin(), header.begin() + static_cast<std::ptrdiff_t>(std::min(
                                                                  header.size(), mostColumns + 1)));
    }
}

// The width and where the identification is, from the header and the class's rows.
void measureTable(Layout& layout, std::span<const Record* const> students, const Record* header)
{
    const bool whitespace = layout.separator == whitespaceSeparated;
    std::vector<const Record*> named(students.begin(), students.end());
    if (header != nullptr) {
        named.push_back(header);
    }
    layout.identification = whitespace ? 0 : firstColumnWithText(named);
    if (layout.identification == mostColumns) {
        layout.identification = 0;
    }
    const std::size_t width = whitespace          ? fewestColumns
                              : header != nullptr ? filledWidth(header->fields)
                                                  : mostCommonWidth(students);
    layout.width = std::max(width, layout.identification + fewestColumns);
}

bool allPlainNumbers(std::span<const Record* const> rows, std::size_t column)
{
    bool any = false;
    for (const Record* row : rows) {
        if (column < row->fields.size() && !isBlank(row->fields[column])) {
            if (!plainNumber(row->fields[column])) {
                return false;
            }
            any = true;
        }
    }
    return any;
}

void findNumberColumns(Layout& layout, std::span<const Record* const> students)
{
    layout.numberColumns.assign(layout.width, false);
    for (std::size_t column = 0; column < layout.width; ++column) {
        // Before the grades, a column identifies the student, unless its name says data.
        const bool identifies =
            column >= layout.identification && column < layout.identificationEnd &&
            !(column < layout.header.size() && namesData(layout.header[column]));
        layout.numberColumns[column] =
            gradeInColumn(layout, column) || (!identifies && allPlainNumbers(students, column));
    }
}

} // namespace

LayoutDecision decideLayout(const std::deque<Record>& firstRecords, SeparatorChoice separator,
                            const LayoutOptions& options)
{
    LayoutDecision decision;
    Layout& layout = decision.layout;
    layout.separator = separator.separator;
    Rows rows;
    for (const Record& record : firstRecords) {
        if (separator.saidByFirstLine && record.line == 1) {
            layout.directiveLine = 1;
        } else if (record.problem == RecordProblem::none && filledWidth(record.fields) > 0) {
            rows.push_back(&record);
        }
    }
    if (layout.separator == whitespaceSeparated && !options.gradeColumns.empty()) {
        decision.problem = LayoutProblem::unusableOptions;
        decision.why = "--notas pede campos separados por ';', tabula\u00e7\u00e3o ou ','";
        return decision;
    }
    if (rows.empty()) {
        return decision;
    }
    const auto first = std::find_if(rows.begin(), rows.end(),
                                    [](const Record* row) { return readsAsStudent(row->fields); });
    const std::optional<std::size_t> firstStudent =
        first == rows.end()
            ? std::nullopt
            : std::optional<std::size_t>(static_cast<std::size_t>(first - rows.begin()));
    const std::vector<const Record*> below = classRows({first, rows.end()});
    const std::vector<std::size_t> numeric =
        numericColumns(fieldsByColumn(below, widestRow(below)));
    const bool namesNeedHeader =
        std::any_of(options.gradeColumns.begin(), options.gradeColumns.end(), isHeaderName);
    const HeaderChoice choice = namesNeedHeader && options.header == HeaderChoice::detect
                                    ? HeaderChoice::present
                                    : options.header;
    const TableStart start = findTableStart(rows, firstStudent, numeric, choice);
    placeTable(layout, rows, start);
    const std::vector<const Record*> students = classRows(
        {rows.begin() + static_cast<std::ptrdiff_t>(std::min(start.firstRow, rows.size())),
         rows.end()});
    measureTable(layout, students, start.header ? rows[*start.header] : nullptr);
    if (layout.width > mostColumns) {
        decision.problem = LayoutProblem::tooWide;
        decision.why = "o cabe\u00e7alho tem mais de 16.384 colunas, o m\u00e1ximo de uma planilha";
        return decision;
    }
    if (!options.gradeColumns.empty()) {
        useNamedColumns(decision, options, widestRow(rows));
    } else if (layout.separator != whitespaceSeparated &&
               !chooseGradeColumns(decision, fieldsByColumn(students, layout.width)) &&
               students.empty()) {
        // No student to compute, none to compute wrongly: the last three columns will do.
        decision.problem = LayoutProblem::none;
        decision.why.clear();
        decision.candidates.clear();
        layout.gradeColumns = {layout.width - 3, layout.width - 2, layout.width - 1};
    }
    const std::size_t firstGrade =
        *std::min_element(layout.gradeColumns.begin(), layout.gradeColumns.end());
    layout.identificationEnd =
        firstGrade > layout.identification ? firstGrade : layout.identification + 1;
    findNumberColumns(layout, students);
    return decision;
}

std::vector<std::string> columnNames(const Layout& layout)
{
    std::vector<std::string> names = layout.header;
    if (names.empty()) {
        const std::size_t identifications = layout.width - 3 - layout.identification;
        std::size_t identification = 0;
        for (std::size_t column = 0; column < layout.width; ++column) {
            if (const auto grade = gradeInColumn(layout, column)) {
                names.push_back("Nota " + std::to_string(*grade + 1));
            } else if (column < layout.identification) {
                names.emplace_back();
            } else {
                names.push_back(identifications == 1 ? "Identifica\u00e7\u00e3o"
                                                     : "Identifica\u00e7\u00e3o " +
                                                           std::to_string(++identification));
            }
        }
    }
    names.resize(layout.width);
    return names;
}

// A column as a spreadsheet names it (C, aa), from 0; none for other text.
std::optional<std::size_t> columnOfLetters(std::string_view text)
{
    if (text.empty() || text.size() > 3) {
        return std::nullopt;
    }
    std::size_t column = 0;
    for (const char letter : text) {
        const char upper =
            letter >= 'a' && letter <= 'z' ? static_cast<char>(letter - 'a' + 'A') : letter;
        if (upper < 'A' || upper > 'Z') {
            return std::nullopt;
        }
        column = column * 26 + static_cast<std::size_t>(upper - 'A') + 1;
    }
    return column - 1;
}

std::string columnLetters(std::size_t column)
{
    std::string letters;
    for (std::size_t rest = column + 1; rest > 0; rest = (rest - 1) / 26) {
        letters.insert(letters.begin(), static_cast<char>('A' + (rest - 1) % 26));
    }
    return letters;
}
