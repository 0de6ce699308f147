#include "tables/csv_table.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <string_view>

#include "text/fields.h"

namespace {

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

// The table goes out in blocks of about this size.
constexpr std::size_t tableBlock = std::size_t{64} << 10U;

bool needsQuotes(std::string_view cell, char separator)
{
    return std::any_of(cell.begin(), cell.end(), [separator](char character) {
        return character == separator || character == '"' || character == '\n' || character == '\r';
    });
}

// A spreadsheet takes a cell that starts so for a formula, or for the start of one. A
// carriage return is on the list for a cell read from a spreadsheet's own file; one read
// from text never starts with it, as it ends the line.
bool startsLikeFormula(std::string_view cell)
{
    return !cell.empty() &&
           std::string_view("=+-@\t\r").find(cell.front()) != std::string_view::npos;
}

// A row goes straight into the table's memory, made large enough for it first: a row is
// many short pieces, and appending each apart would check and copy each apart.
char* makeRoom(std::string& table, std::size_t most)
{
    const std::size_t start = table.size();
    table.resize(start + most);
    return table.data() + start;
}

void keepWritten(std::string& table, const char* end)
{
    table.resize(static_cast<std::size_t>(end - table.data()));
}

// The most room a text cell takes: every character a quote, doubled, the quotes around it
// and an apostrophe.
std::size_t mostForText(std::string_view cell)
{
    return 2 * cell.size() + 3;
}

char* putText(char* out, std::string_view cell, TableStyle style)
{
    // An apostrophe before it is how a spreadsheet is told that a cell is text.
    const bool mark = style.forSpreadsheets && startsLikeFormula(cell);
    const bool quotes = needsQuotes(cell, style.separator);
    if (quotes) {
        *out++ = '"';
    }
    if (mark) {
        *out++ = '\'';
    }
    if (!quotes) {
        return std::copy(cell.begin(), cell.end(), out); // an empty view may have no data
    }
    for (const char character : cell) {
        *out++ = character;
        if (character == '"') {
            *out++ = '"';
        }
    }
    *out++ = '"';
    return out;
}

// The program's own words, which need neither quotes nor an apostrophe.
char* putWord(char* out, std::string_view word)
{
    return std::copy(word.begin(), word.end(), out);
}

char* putNumber(char* out, float value, char decimalMark, NumberTexts& numbers)
{
    const auto bits = std::bit_cast<std::uint32_t>(value);
    constexpr std::uint32_t fibonacciHash = 2654435769U;
    NumberTexts::Text& kept = numbers.kept.at((bits * fibonacciHash >> 20U) % numbers.kept.size());
    if (kept.length == 0 || kept.bits != bits) {
        const auto written = std::to_chars(kept.characters.data(),
                                           kept.characters.data() + kept.characters.size(), value);
        std::replace(kept.characters.data(), written.ptr, '.', decimalMark);
        kept.bits = bits;
        kept.length = static_cast<std::uint8_t>(written.ptr - kept.characters.data());
    }
    // All of the characters kept: a copy of a fixed size is two moves, not a call.
    std::memcpy(out, kept.characters.data(), kept.characters.size());
    return out + kept.length;
}

// A plain number of a column of numbers, in the table's own decimal mark, as it writes the
// grades: a sheet keeps 7.5 for what a teacher typed as 7,5. Other text as it is.
std::string_view inTableForm(std::string_view cell, TableStyle style, std::string& converted)
{
    if (!plainNumber(cell)) {
        return cell;
    }
    converted = trimmed(cell);
    std::replace_if(
        converted.begin(), converted.end(),
        [](char character) { return character == '.' || character == ','; }, style.decimalMark);
    return converted;
}

// Cells of text, then as many empty ones, then the line's end.
void appendTextRow(std::string& table, const std::vector<std::string_view>& cells,
                   std::size_t emptyAfter, TableStyle style)
{
    std::size_t most = emptyAfter + 1;
    for (const std::string_view cell : cells) {
        most += mostForText(cell) + 1;
    }
    char* out = makeRoom(table, most);
    for (std::size_t column = 0; column < cells.size(); ++column) {
        out = putText(out, cells[column], style);
        if (column + 1 < cells.size() + emptyAfter) {
            *out++ = style.separator;
        }
    }
    for (std::size_t empty = 1; empty < emptyAfter; ++empty) {
        *out++ = style.separator;
    }
    *out++ = '\n';
    keepWritten(table, out);
}

} // namespace

void appendShortestNumber(std::string& text, float value)
{
    std::array<char, NumberTexts::longest> digits{};
    const auto written = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    text.append(digits.data(), written.ptr);
}

bool CsvTable::beginTable(const Layout& layout, const std::vector<std::string>& names,
                          std::string& /*problem*/)
{
    layout_ = layout;
    numberColumn_.assign(layout.numberColumns.begin(), layout.numberColumns.end());
    if (style_.forSpreadsheets) {
        output_.text += byteOrderMark; // without it Excel does not read UTF-8
    }
    std::vector<std::string_view> cells(names.begin(), names.end());
    cells.insert(cells.end(), resultColumns.begin(), resultColumns.end());
    appendTextRow(output_.text, cells, 0, style_);
    return true;
}

bool CsvTable::addRow(const StudentRow& row)
{
    const std::string said = definition(row);
    // Four numbers, the definition, the letter, the separators and the line end.
    std::size_t most = 4 * NumberTexts::longest + mostForText(said) + row.cells.size() + 5;
    for (const std::string_view field : row.cells) {
        most += mostForText(field);
    }
    char* out = makeRoom(output_.text, most);
    const bool computed = !row.conceptLetter.empty();
    std::string converted;
    for (std::size_t column = 0; column < row.cells.size(); ++column) {
        const auto grade = gradeInColumn(layout_, column);
        if (computed && grade) {
            out = putNumber(out, row.grades.at(*grade), style_.decimalMark, numbers_);
        } else {
            const std::string_view cell = row.cells[column];
            out = putText(out, isNumberColumn(column) ? inTableForm(cell, style_, converted) : cell,
                          style_);
        }
        *out++ = style_.separator;
    }
    if (computed) {
        out = putNumber(out, row.weightedAverage, style_.decimalMark, numbers_);
    }
    *out++ = style_.separator;
    out = putWord(out, row.conceptLetter);
    *out++ = style_.separator;
    out = computed ? putWord(out, said) : putText(out, said, style_);
    *out++ = '\n';
    keepWritten(output_.text, out);
    flushBlock();
    return true;
}

void CsvTable::addFooter(const Fields& cells)
{
    std::vector<std::string> converted(cells.size());
    Fields shown(cells.size());
    for (std::size_t column = 0; column < cells.size(); ++column) {
        shown[column] = isNumberColumn(column)
                            ? inTableForm(cells[column], style_, converted[column])
                            : cells[column];
    }
    appendTextRow(output_.text, shown, resultColumns.size(), style_);
    flushBlock();
}

bool CsvTable::finish(const ClassCounts& /*counts*/, std::string& /*problem*/)
{
    failed_ = !flushOutput(output_) || failed_;
    return !failed_;
}

void CsvTable::flushBlock()
{
    if (output_.text.size() >= tableBlock) {
        failed_ = !flushOutput(output_) || failed_;
    }
}
