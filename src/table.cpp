#include "table.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>

#include "encoding.h"
#include "fields.h"
#include "grading.h"

namespace {

std::string plural(long count, std::string_view singular, std::string_view pluralForm)
{
    return std::to_string(count) + ' ' + std::string(count == 1 ? singular : pluralForm);
}

std::string gradeProblem(std::size_t number, GradeProblem problem, std::string_view field)
{
    const std::string grade = "nota " + std::to_string(number);
    switch (problem) {
    case GradeProblem::empty:
        return grade + " est\u00e1 vazia";
    case GradeProblem::tooLarge:
        return grade + ' ' + quotedForMessage(field) + " \u00e9 grande demais";
    default:
        return grade + ' ' + quotedForMessage(field) + " n\u00e3o \u00e9 um n\u00famero";
    }
}

std::string recordProblem(const Record& record)
{
    switch (record.problem) {
    case RecordProblem::tooLong:
        return "a linha tem mais de 1 MiB";
    case RecordProblem::nullByte:
        return "a linha tem bytes nulos";
    case RecordProblem::openQuote:
        return "aspas abertas na linha " + std::to_string(record.line) + " n\u00e3o se fecham";
    default:
        return {};
    }
}

// Why a record cannot be a student of the layout, if it cannot; fields loses the trailing
// blank fields past the layout's width, which are no fields.
std::string shapeProblem(const Record& record, Fields& fields, const Layout& layout)
{
    if (record.problem != RecordProblem::none) {
        return recordProblem(record);
    }
    while (fields.size() > layout.width && isBlank(fields.back())) {
        fields.pop_back();
    }
    if (fields.size() != layout.width) {
        return "a linha tem " + plural(static_cast<long>(fields.size()), "campo", "campos") +
               ", e n\u00e3o " + std::to_string(layout.width);
    }
    if (isBlank(fields.at(identificationColumn(layout)))) {
        return "linha sem identifica\u00e7\u00e3o";
    }
    return {};
}

bool outsideZeroToTen(float grade)
{
    return grade < 0.0f || grade > 10.0f;
}

void readGrades(StudentRow& row, const Fields& fields, const Layout& layout, GradeFields& grades)
{
    for (std::size_t i = 0; i < 3 && row.error.empty(); ++i) {
        const std::string_view field = fields.at(layout.gradeColumns.at(i));
        const GradeField read = readGradeField(field, grades);
        if (read.problem != GradeProblem::none) {
            row.error = gradeProblem(i + 1, read.problem, field);
        } else if (outsideZeroToTen(read.grade)) {
            row.warnings.push_back("nota " + std::to_string(i + 1) + ' ' + quotedForMessage(field) +
                                   " fora do intervalo de 0 a 10");
        }
        row.grades.at(i) = read.grade;
    }
}

bool needsQuotes(std::string_view cell, char separator)
{
    return std::any_of(cell.begin(), cell.end(), [separator](char character) {
        return character == separator || character == '"' || character == '\n' || character == '\r';
    });
}

// A spreadsheet takes a cell that starts so for a formula, or for the start of one.
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
        std::memcpy(out, cell.data(), cell.size());
        return out + cell.size();
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
    std::memcpy(out, word.data(), word.size());
    return out + word.size();
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

} // namespace

std::string quotedForMessage(std::string_view text)
{
    constexpr std::size_t longestShown = 40;
    std::string shown(startOfText(text, longestShown));
    std::replace(shown.begin(), shown.end(), '\n', ' ');
    return '"' + shown + (shown.size() < text.size() ? "\u2026\"" : "\"");
}

StudentRow gradeStudent(Record& record, const Layout& layout, GradeFields& grades)
{
    StudentRow row;
    row.error = shapeProblem(record, record.fields, layout);
    if (!row.error.empty() && record.fields.size() != layout.width) {
        record.fields.assign(layout.width, "");
        record.fields.front() = record.text;
    }
    readGrades(row, record.fields, layout, grades);
    if (row.error.empty()) {
        row.weightedAverage = computeWeightedAverage(row.grades[0], row.grades[1], row.grades[2]);
        row.conceptLetter = classifyConcept(row.weightedAverage);
    }
    return row;
}

std::vector<std::string> headerNames(std::vector<std::string> fields, const Layout& layout)
{
    if (fields.empty()) {
        const std::size_t idColumns = layout.width - 3;
        std::size_t idNumber = 0;
        for (std::size_t column = 0; column < layout.width; ++column) {
            if (const auto grade = gradeInColumn(layout, column)) {
                fields.push_back("Nota " + std::to_string(*grade + 1));
            } else {
                fields.push_back(idColumns == 1
                                     ? "Identifica\u00e7\u00e3o"
                                     : "Identifica\u00e7\u00e3o " + std::to_string(++idNumber));
            }
        }
    }
    fields.resize(layout.width);
    return fields;
}

std::string definition(const StudentRow& row)
{
    if (row.conceptLetter.empty()) {
        return "erro: " + row.error;
    }
    return isApproved(row.conceptLetter) ? "APROVADO" : "REPROVADO";
}

void appendHeader(std::string& table, const std::vector<std::string>& names, TableStyle style)
{
    std::vector<std::string> cells = names;
    cells.insert(cells.end(), resultColumns.begin(), resultColumns.end());
    std::size_t most = 0;
    for (const std::string& cell : cells) {
        most += mostForText(cell) + 1;
    }
    char* out = makeRoom(table, most);
    for (const std::string& cell : cells) {
        out = putText(out, cell, style);
        *out++ = &cell == &cells.back() ? '\n' : style.separator;
    }
    keepWritten(table, out);
}

void appendRow(std::string& table, const Fields& fields, const StudentRow& row,
               const Layout& layout, TableStyle style, NumberTexts& numbers)
{
    const std::string said = definition(row);
    // Four numbers, the definition, the letter, the separators and the line end.
    std::size_t most = 4 * NumberTexts::longest + mostForText(said) + layout.width + 5;
    for (const std::string_view field : fields) {
        most += mostForText(field);
    }
    char* out = makeRoom(table, most);
    const bool computed = !row.conceptLetter.empty();
    for (std::size_t column = 0; column < layout.width; ++column) {
        const auto grade = gradeInColumn(layout, column);
        out = computed && grade ? putNumber(out, row.grades.at(*grade), style.decimalMark, numbers)
                                : putText(out, fields.at(column), style);
        *out++ = style.separator;
    }
    if (computed) {
        out = putNumber(out, row.weightedAverage, style.decimalMark, numbers);
    }
    *out++ = style.separator;
    out = putWord(out, row.conceptLetter);
    *out++ = style.separator;
    out = computed ? putWord(out, said) : putText(out, said, style);
    *out++ = '\n';
    keepWritten(table, out);
}

void appendShortestNumber(std::string& text, float value)
{
    std::array<char, NumberTexts::longest> digits{};
    const auto written = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    text.append(digits.data(), written.ptr);
}

std::string describeLayout(const Layout& layout, const std::vector<std::string>& names)
{
    std::string text = layout.hasHeader
                           ? "cabe\u00e7alho na linha " + std::to_string(layout.firstRowLine)
                           : std::string("sem cabe\u00e7alho");
    text += "; notas nas colunas ";
    for (std::size_t i = 0; i < 3; ++i) {
        const std::size_t column = layout.gradeColumns.at(i);
        text += i == 0 ? "" : i == 1 ? ", " : " e ";
        text += std::to_string(column + 1);
        if (layout.hasHeader) {
            text += ' ' + quotedForMessage(names.at(column));
        }
    }
    return text;
}

void countStudent(ClassCounts& counts, const StudentRow& row)
{
    ++counts.students;
    if (row.conceptLetter.empty()) {
        ++counts.withErrors;
        return;
    }
    ++(isApproved(row.conceptLetter) ? counts.approved : counts.failed);
    ++counts.perConcept.at(static_cast<std::size_t>(row.conceptLetter.front() - 'A'));
}

std::string summary(const ClassCounts& counts)
{
    std::string text = plural(counts.students, "aluno", "alunos") + ": " +
                       plural(counts.approved, "aprovado", "aprovados") + ", " +
                       plural(counts.failed, "reprovado", "reprovados") + ", " +
                       std::to_string(counts.withErrors) + " com erro\n";
    constexpr long longestBar = 40;
    const long most =
        std::max(1L, *std::max_element(counts.perConcept.begin(), counts.perConcept.end()));
    const std::size_t countWidth = std::to_string(most).size();
    for (std::size_t i = 0; i < counts.perConcept.size(); ++i) {
        const long count = counts.perConcept.at(i);
        std::string number = std::to_string(count);
        number.insert(0, countWidth - number.size(), ' ');
        // Any student at all gets a mark, however many the largest bar stands for.
        const long marks = count == 0 ? 0 : std::max(1L, (count * longestBar + most / 2) / most);
        text += "  " + std::string(1, static_cast<char>('A' + i)) + ' ' + number;
        text += marks == 0 ? "" : " ";
        for (long mark = 0; mark < marks; ++mark) {
            text += "\u2588";
        }
        text += '\n';
    }
    return text;
}
