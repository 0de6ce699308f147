#include "tables/csv_table.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstring>
#include <string_view>

#include "grading/grading.h"
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

// The longest a number the table computes takes: a grade of 18 digits and 9 decimals,
// with its sign and mark, or a float.
constexpr std::size_t longestNumber = 40;

// A grade exactly as a decimal in the table's mark: 7,22 as typed, 7,50 as 7,5, 75e-1 as
// 7,5.
char* putExact(char* out, const ExactGrade& grade, char decimalMark)
{
    std::array<char, 20> digits{};
    const auto written = std::to_chars(digits.data(), digits.data() + digits.size(), grade.digits);
    const auto count = static_cast<int>(written.ptr - digits.data());
    if (grade.negative && grade.digits != 0) {
        *out++ = '-';
    }
    if (grade.exponent >= 0) {
        out = std::copy(digits.data(), written.ptr, out);
        return std::fill_n(out, grade.exponent, '0');
    }
    const int whole = count + grade.exponent; // digits before the mark
    if (whole <= 0) {
        *out++ = '0';
        *out++ = decimalMark;
        out = std::fill_n(out, -whole, '0');
        return std::copy(digits.data(), written.ptr, out);
    }
    out = std::copy(digits.data(), digits.data() + whole, out);
    *out++ = decimalMark;
    return std::copy(digits.data() + whole, written.ptr, out);
}

// A number as the table writes it, in its own decimal mark: a sheet keeps 7.5 for what a
// teacher typed as 7,5.
char* putDecimal(char* out, std::string_view number, char decimalMark)
{
    for (const char character : number) {
        *out++ = character == '.' || character == ',' ? decimalMark : character;
    }
    return out;
}

} // namespace

bool CsvTable::beginTable(const Layout& layout, const std::vector<std::string>& names,
                          const SchoolRule& rule, const RowSource& /*source*/,
                          std::string& /*problem*/)
{
    layout_ = layout;
    asBoletim_ = rule.asBoletim;
    numberColumn_.assign(layout.numberColumns.begin(), layout.numberColumns.end());
    if (style_.forSpreadsheets) {
        output_.text += byteOrderMark; // without it Excel does not read UTF-8
    }
    std::string& table = output_.text;
    std::size_t most = 1 + resultColumns.size();
    for (const std::string& name : names) {
        most += mostForText(name) + 1;
    }
    for (const std::string_view name : resultColumns) {
        most += name.size();
    }
    char* out = makeRoom(table, most);
    for (const std::string& name : names) {
        out = putText(out, name, style_);
        *out++ = style_.separator;
    }
    for (std::size_t column = 0; column < resultColumns.size(); ++column) {
        out = putWord(out, resultColumns.at(column));
        *out++ = column + 1 < resultColumns.size() ? style_.separator : '\n';
    }
    keepWritten(table, out);
    return true;
}

// The most room a row's cells take: each text quoted, an apostrophe before, a separator
// after each column up to its last, and the line's end.
std::size_t CsvTable::mostForRow(const Row& row) const
{
    return 2 * row.text.size() + 3 * row.cells.size() + layout_.width + row.width() +
           resultColumns.size() + 1;
}

char* CsvTable::putCell(char* out, const Row& row, const Cell& cell)
{
    const std::string_view text = row.textOf(cell);
    switch (cell.kind) {
    case CellKind::number:
        return putDecimal(out, text, style_.decimalMark);
    case CellKind::boolean:
        return putWord(out, style_.forSpreadsheets ? text : cell.number != 0 ? "TRUE" : "FALSE");
    case CellKind::text:
        if (isNumberColumn(cell.column) && plainNumber(text)) {
            return putDecimal(out, trimmed(text), style_.decimalMark);
        }
        return putText(out, text, style_);
    default:
        return putText(out, text, style_);
    }
}

// The cells from notes on, right of the added columns, each where it stands right of the
// class's last.
char* CsvTable::putNotes(char* out, const Row& row, std::vector<Cell>::const_iterator notes)
{
    std::size_t column = layout_.width;
    const std::size_t end = cellsEnd(layout_, row);
    for (; notes != row.cells.end() && notes->column < end; ++notes) {
        for (; column <= notes->column; ++column) {
            *out++ = style_.separator;
        }
        out = putCell(out, row, *notes);
    }
    return out;
}

bool CsvTable::addRow(const StudentRow& student)
{
    const Row& row = *student.row;
    // A computed student's verdict is a word of the program's own; only an error is made.
    const std::string error = student.error.empty() ? std::string() : definition(student);
    const std::string_view said = !student.status.empty() ? std::string_view(student.status)
                                  : !error.empty()        ? std::string_view(error)
                                  : isApproved(student.conceptLetter) ? "APROVADO"
                                                                      : "REPROVADO";
    // The numbers, the definition, the letter, the separators and the line end.
    const std::size_t most =
        (student.grades.size() + 1) * longestNumber + mostForText(said) + mostForRow(row) + 4;
    char* out = makeRoom(output_.text, most);
    const bool computed = !student.conceptLetter.empty();
    auto cell = row.cells.begin();
    for (std::size_t column = 0; column < layout_.width; ++column) {
        const bool here = cell != row.cells.end() && cell->column == column;
        const auto grade = computed ? gradeInColumn(layout_, column) : std::nullopt;
        if (grade && asBoletim_) {
            out = putNumber(out, student.grades.at(*grade).grade, style_.decimalMark, numbers_);
        } else if (grade) {
            out = putExact(out, student.grades.at(*grade).exact, style_.decimalMark);
        } else if (here) {
            out = putCell(out, row, *cell);
        }
        cell += here ? 1 : 0;
        *out++ = style_.separator;
    }
    if (computed && asBoletim_) {
        out = putNumber(out, student.singleMean, style_.decimalMark, numbers_);
    } else if (computed) {
        out = putShown(out, student.mean, style_.decimalMark);
    }
    *out++ = style_.separator;
    out = putWord(out, student.conceptLetter);
    *out++ = style_.separator;
    out = error.empty() ? putWord(out, said) : putText(out, said, style_);
    if (cell != row.cells.end()) {
        out = putNotes(out, row, cell);
    }
    *out++ = '\n';
    keepWritten(output_.text, out);
    flushBlock();
    return true;
}

void CsvTable::addOtherRow(const Row& row)
{
    char* out = makeRoom(output_.text, mostForRow(row));
    auto cell = row.cells.begin();
    for (std::size_t column = 0; column < layout_.width; ++column) {
        if (cell != row.cells.end() && cell->column == column) {
            out = putCell(out, row, *cell++);
        }
        *out++ = style_.separator;
    }
    for (std::size_t added = 1; added < resultColumns.size(); ++added) {
        *out++ = style_.separator;
    }
    if (cell != row.cells.end()) {
        out = putNotes(out, row, cell);
    }
    *out++ = '\n';
    keepWritten(output_.text, out);
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
