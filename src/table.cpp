#include "table.h"

#include <algorithm>
#include <charconv>

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
std::string shapeProblem(const Record& record, std::vector<std::string>& fields,
                         const Layout& layout)
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

void readGrades(StudentRow& row, const Layout& layout)
{
    for (std::size_t i = 0; i < 3 && row.error.empty(); ++i) {
        const std::string& field = row.fields.at(layout.gradeColumns.at(i));
        const GradeField read = readGradeField(field);
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
    return cell.find_first_of(std::string{separator, '"', '\n', '\r'}) != std::string_view::npos;
}

// A spreadsheet takes a cell that starts so for a formula, or for the start of one.
bool startsLikeFormula(std::string_view cell)
{
    return !cell.empty() &&
           std::string_view("=+-@\t\r").find(cell.front()) != std::string_view::npos;
}

void appendText(std::string& table, std::string_view cell, TableStyle style)
{
    // An apostrophe before it is how a spreadsheet is told that a cell is text.
    const std::string_view mark = style.forSpreadsheets && startsLikeFormula(cell) ? "'" : "";
    if (!needsQuotes(cell, style.separator)) {
        table.append(mark).append(cell);
        return;
    }
    table.append(1, '"').append(mark);
    for (const char character : cell) {
        table += character;
        if (character == '"') {
            table += '"';
        }
    }
    table += '"';
}

void appendCells(std::string& table, const std::vector<std::string>& cells, TableStyle style)
{
    for (const std::string& cell : cells) {
        if (&cell != &cells.front()) {
            table += style.separator;
        }
        appendText(table, cell, style);
    }
}

} // namespace

std::string quotedForMessage(std::string_view text)
{
    constexpr std::size_t longestShown = 40;
    std::string shown(startOfText(text, longestShown));
    std::replace(shown.begin(), shown.end(), '\n', ' ');
    return '"' + shown + (shown.size() < text.size() ? "\u2026\"" : "\"");
}

StudentRow gradeStudent(Record record, const Layout& layout)
{
    StudentRow row;
    row.fields = std::move(record.fields);
    row.error = shapeProblem(record, row.fields, layout);
    if (!row.error.empty() && row.fields.size() != layout.width) {
        row.fields.assign(layout.width, "");
        row.fields.front() = std::move(record.text);
    }
    readGrades(row, layout);
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

void appendHeader(std::string& table, const std::vector<std::string>& names, TableStyle style)
{
    appendCells(table, names, style);
    table += style.separator;
    appendCells(table, {"M\u00e9dia ponderada", "Conceito", "Defini\u00e7\u00e3o"}, style);
    table += '\n';
}

void appendRow(std::string& table, const StudentRow& row, const Layout& layout, TableStyle style)
{
    const bool computed = !row.conceptLetter.empty();
    for (std::size_t column = 0; column < layout.width; ++column) {
        if (column > 0) {
            table += style.separator;
        }
        const auto grade = gradeInColumn(layout, column);
        if (computed && grade) {
            table += shortestNumber(row.grades.at(*grade), style.decimalMark);
        } else {
            appendText(table, row.fields.at(column), style);
        }
    }
    table += style.separator;
    if (computed) {
        table += shortestNumber(row.weightedAverage, style.decimalMark);
    }
    table += style.separator;
    appendCells(table,
                {row.conceptLetter, !computed                       ? "erro: " + row.error
                                    : isApproved(row.conceptLetter) ? "APROVADO"
                                                                    : "REPROVADO"},
                style);
    table += '\n';
}

std::string shortestNumber(float value, char decimalMark)
{
    std::array<char, 32> digits{};
    const auto written = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    std::string text(digits.data(), written.ptr);
    std::replace(text.begin(), text.end(), '.', decimalMark);
    return text;
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
