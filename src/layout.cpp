#include "layout.h"

#include <algorithm>
#include <map>
#include <optional>
#include <span>
#include <utility>

#include "fields.h"
#include "records.h"

namespace {

constexpr std::size_t fewestColumns = 4;

// A line votes for the separator that makes it a row; for spaces only where it reads as a
// student so, since a title, or the rest of a cell that runs over lines, is no row at all.
char mostCommonSeparator(const std::vector<Line>& lines)
{
    auto votes = std::to_array<std::pair<char, int>>(
        {{';', 0}, {'\t', 0}, {',', 0}, {whitespaceSeparated, 0}});
    for (const Line& line : lines) {
        const char separator = detectSeparator(line.text);
        const bool isRow =
            separator != whitespaceSeparated || lastThreeAreGrades(splitWhitespaceLine(line.text));
        if (line.problem == LineProblem::none && isRow) {
            ++std::find_if(votes.begin(), votes.end(), [separator](const auto& vote) {
                  return vote.first == separator;
              })->second;
        }
    }
    const auto& most =
        *std::max_element(votes.begin(), votes.end(), [](const auto& less, const auto& more) {
            return less.second < more.second;
        });
    return most.second > 0 ? most.first : whitespaceSeparated;
}

// A row read ahead, which keeps the text of its fields: the next record is read over the
// last. Moved, it keeps them where they are.
struct Row {
    std::vector<std::string> text;
    Fields fields;
    long line;

    explicit Row(const Record& record)
        : text(record.fields.begin(), record.fields.end()), fields(text.begin(), text.end()),
          line(record.line)
    {
    }
    Row(const Row&) = delete;
    Row(Row&&) = default;
    Row& operator=(const Row&) = delete;
    Row& operator=(Row&&) = default;
    ~Row() = default;
};

using Rows = std::span<const Row>;

// The rows that the look-ahead holds: its records that have fields, and not all blank.
std::vector<Row> rowsOf(const std::vector<Line>& lookAhead, char separator)
{
    RecordReader reader{nullptr, {lookAhead.begin(), lookAhead.end()}, separator};
    std::vector<Row> rows;
    Record record;
    while (readRecord(reader, record)) {
        if (record.problem == RecordProblem::none && filledWidth(record.fields) > 0) {
            rows.emplace_back(record);
        }
    }
    return rows;
}

bool isTitle(const Row& row, char separator)
{
    if (separator == whitespaceSeparated) {
        return row.fields.size() < fewestColumns;
    }
    return std::count_if(row.fields.begin(), row.fields.end(),
                         [](std::string_view field) { return !isBlank(field); }) < 2;
}

std::size_t mostCommonWidth(Rows rows)
{
    std::map<std::size_t, int> rowsOfWidth;
    for (const Row& row : rows) {
        ++rowsOfWidth[std::max(fewestColumns, filledWidth(row.fields))];
    }
    std::pair<std::size_t, int> most{fewestColumns, 0};
    for (const auto& [width, count] : rowsOfWidth) {
        if (count >= most.second) { // on a tie, the wider: a narrower row lacks fields
            most = {width, count};
        }
    }
    return most.first;
}

bool mostlyGrades(Rows rows, std::size_t column)
{
    int filled = 0;
    int grades = 0;
    for (const Row& row : rows) {
        if (column < row.fields.size() && !isBlank(row.fields[column])) {
            ++filled;
            grades += isGrade(row.fields[column]) ? 1 : 0;
        }
    }
    return grades > 0 && 2 * grades >= filled;
}

std::array<std::size_t, 3> likelyGradeColumns(Rows rows, std::size_t width)
{
    std::vector<std::size_t> columns;
    for (std::size_t column = 1; column < width; ++column) {
        if (mostlyGrades(rows, column)) {
            columns.push_back(column);
        }
    }
    if (columns.size() < 3) {
        return {width - 3, width - 2, width - 1};
    }
    return {columns[columns.size() - 3], columns[columns.size() - 2], columns.back()};
}

bool readsAsHeader(const Fields& fields, const std::array<std::size_t, 3>& gradeColumns)
{
    std::array<std::string_view, 3> names{};
    for (std::size_t i = 0; i < 3; ++i) {
        names.at(i) = gradeColumns.at(i) < fields.size() ? trimmed(fields[gradeColumns.at(i)]) : "";
    }
    const bool allNames = std::all_of(names.begin(), names.end(), [](std::string_view name) {
        return !isBlank(name) && !isGrade(name);
    });
    return allNames || names == std::array<std::string_view, 3>{"1", "2", "3"};
}

bool isColumnNumber(std::string_view text)
{
    return !text.empty() && text.size() < 6 &&
           std::all_of(text.begin(), text.end(),
                       [](char digit) { return digit >= '0' && digit <= '9'; });
}

bool namesColumns(const LayoutOptions& options)
{
    return std::any_of(options.gradeColumns.begin(), options.gradeColumns.end(),
                       [](const std::string& column) { return !isColumnNumber(column); });
}

// The columns the user named, from 0; or why they cannot be used.
std::optional<std::array<std::size_t, 3>> namedColumns(const LayoutOptions& options,
                                                       const Fields& header, std::string& problem)
{
    std::array<std::size_t, 3> columns{};
    for (std::size_t i = 0; i < 3; ++i) {
        const std::string& named = options.gradeColumns.at(i);
        if (isColumnNumber(named)) {
            columns.at(i) = std::stoul(named) - 1;
            continue;
        }
        const auto found =
            std::find_if(header.begin(), header.end(), [&named](std::string_view name) {
                return trimmed(name) == trimmed(named);
            });
        if (found == header.end()) {
            problem = "n\u00e3o h\u00e1 coluna \"" + named + "\" no cabe\u00e7alho";
            return std::nullopt;
        }
        columns.at(i) = static_cast<std::size_t>(found - header.begin());
    }
    return columns;
}

bool decideHeader(const LayoutOptions& options, const Row& candidate,
                  const std::array<std::size_t, 3>& gradeColumns)
{
    switch (options.header) {
    case HeaderChoice::present:
        return true;
    case HeaderChoice::absent:
        return false;
    default:
        return namesColumns(options) || readsAsHeader(candidate.fields, gradeColumns);
    }
}

// The widths a row has with and without a header.
struct Widths {
    std::size_t withHeader;
    std::size_t withoutHeader;
    std::size_t widest; // of any row read ahead
};

void useNamedColumns(Layout& layout, const LayoutOptions& options, const Row& candidate,
                     const Widths& widths)
{
    if (namesColumns(options) && options.header == HeaderChoice::absent) {
        layout.problem = "colunas de notas por nome pedem um cabe\u00e7alho";
        return;
    }
    const auto columns = namedColumns(options, candidate.fields, layout.problem);
    if (!columns) {
        return;
    }
    const std::size_t last = *std::max_element(columns->begin(), columns->end());
    if (last >= widths.widest) {
        layout.problem = "n\u00e3o h\u00e1 coluna " + std::to_string(last + 1) +
                         ": as linhas t\u00eam at\u00e9 " + std::to_string(widths.widest) +
                         " campos";
        return;
    }
    layout.gradeColumns = *columns;
    layout.hasHeader = decideHeader(options, candidate, layout.gradeColumns);
    layout.width = std::max(layout.hasHeader ? widths.withHeader : widths.withoutHeader, last + 1);
}

} // namespace

Layout decideLayout(const std::vector<Line>& lookAhead, const LayoutOptions& options)
{
    Layout layout;
    layout.separator = mostCommonSeparator(lookAhead);
    const std::vector<Row> rows = rowsOf(lookAhead, layout.separator);
    const auto firstRow = std::find_if(rows.begin(), rows.end(), [&layout](const Row& row) {
        return !isTitle(row, layout.separator);
    });
    layout.firstRowLine = firstRow != rows.end() ? firstRow->line
                          : lookAhead.empty()    ? 1
                                                 : lookAhead.back().number + 1;
    if (layout.separator == whitespaceSeparated && !options.gradeColumns.empty()) {
        layout.problem = "--notas pede campos separados por ';', tabula\u00e7\u00e3o ou ','";
    }
    if (firstRow == rows.end() || !layout.problem.empty()) {
        return layout;
    }
    const Row& candidate = *firstRow;
    // The rows after the first, which may be the header, or the first alone.
    const Rows data = std::next(firstRow) == rows.end() ? Rows(&candidate, 1)
                                                        : Rows(std::next(firstRow), rows.end());
    const bool whitespace = layout.separator == whitespaceSeparated;
    Widths widths{fewestColumns, fewestColumns, fewestColumns};
    if (!whitespace) {
        widths.withHeader = std::max(fewestColumns, filledWidth(candidate.fields));
        widths.withoutHeader = mostCommonWidth(Rows(firstRow, rows.end()));
        for (auto row = firstRow; row != rows.end(); ++row) {
            widths.widest = std::max(widths.widest, row->fields.size());
        }
    }
    if (!options.gradeColumns.empty()) {
        useNamedColumns(layout, options, candidate, widths);
    } else {
        const auto headerGrades = likelyGradeColumns(data, widths.withHeader);
        layout.hasHeader = decideHeader(options, candidate, headerGrades);
        layout.width = layout.hasHeader ? widths.withHeader : widths.withoutHeader;
        layout.gradeColumns =
            layout.hasHeader ? headerGrades : likelyGradeColumns(data, widths.withoutHeader);
    }
    if (layout.hasHeader) {
        layout.header = candidate.text;
    }
    return layout;
}

std::size_t identificationColumn(const Layout& layout)
{
    std::size_t column = 0;
    while (gradeInColumn(layout, column)) {
        ++column;
    }
    return column;
}
