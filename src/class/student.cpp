#include "class/student.h"

#include <charconv>
#include <cstdlib>

#include "text/encoding.h"
#include "grading/grading.h"

namespace {

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

std::string shapeProblem(const Record& record, const Layout& layout, std::size_t fields)
{
    if (record.problem != RecordProblem::none) {
        return recordProblem(record);
    }
    if (fields > mostColumns) {
        return "a linha tem mais de 16.384 campos";
    }
    return "a linha tem " + plural(static_cast<long>(fields), "campo", "campos") + ", e n\u00e3o " +
           std::to_string(layout.width);
}

bool outsideZeroToTen(float grade)
{
    return grade < 0.0f || grade > 10.0f;
}

void readGrades(StudentRow& row, const Layout& layout, GradeFields& grades)
{
    for (std::size_t i = 0; i < 3 && row.error.empty(); ++i) {
        const std::size_t column = layout.gradeColumns.at(i);
        const std::string_view field = row.cells.at(column);
        const GradeField read = readGradeField(field, grades);
        if (read.problem != GradeProblem::none) {
            row.error = gradeProblem(i + 1, read.problem, field);
            row.errorColumn = column;
        } else if (outsideZeroToTen(read.grade)) {
            row.warnings.emplace_back(column, "nota " + std::to_string(i + 1) + ' ' +
                                                  quotedForMessage(field) +
                                                  " fora do intervalo de 0 a 10");
        }
        row.grades.at(i) = read.grade;
    }
}

// A spreadsheet's formula whose value the file does not keep: where it is a grade or the
// identification, the student cannot be computed; elsewhere it is only said.
void readUncomputed(const Record& record, const Layout& layout, StudentRow& row)
{
    for (const std::size_t column : record.uncomputed) {
        const bool needed = gradeInColumn(layout, column) ||
                            (column >= layout.identification && column < layout.identificationEnd);
        const std::string said =
            "a f\u00f3rmula desta c\u00e9lula n\u00e3o tem valor guardado no arquivo; abra a "
            "planilha e salve-a de novo";
        if (needed && row.error.empty()) {
            row.error = said;
            row.errorColumn = column;
        } else if (!needed) {
            row.warnings.emplace_back(column, said);
        }
    }
}

void startRow(const Record& record, StudentRow& row)
{
    row.line = record.line;
    row.conceptLetter.clear();
    row.error.clear();
    row.errorColumn.reset();
    row.warnings.clear();
}

} // namespace

std::string plural(long count, std::string_view singular, std::string_view pluralForm)
{
    return std::to_string(count) + ' ' + std::string(count == 1 ? singular : pluralForm);
}

bool placeCells(const Record& record, const Layout& layout, Fields& cells)
{
    cells.assign(record.fields.begin(), record.fields.end());
    while (cells.size() > layout.width && isBlank(cells.back())) {
        cells.pop_back();
    }
    if (record.exactColumns && cells.size() < layout.width) {
        cells.resize(layout.width, std::string_view(""));
    }
    return record.problem == RecordProblem::none && cells.size() == layout.width;
}

void keepWholeText(const Record& record, const Layout& layout, Fields& cells)
{
    cells.assign(layout.width, std::string_view());
    cells.front() = record.text;
}

void gradeStudent(const Record& record, const Layout& layout, GradeFields& grades, StudentRow& row)
{
    startRow(record, row);
    if (!placeCells(record, layout, row.cells)) {
        row.error = shapeProblem(record, layout, row.cells.size());
        keepWholeText(record, layout, row.cells);
        return;
    }
    readUncomputed(record, layout, row);
    readGrades(row, layout, grades);
    if (row.error.empty()) {
        row.weightedAverage = computeWeightedAverage(row.grades[0], row.grades[1], row.grades[2]);
        row.conceptLetter = classifyConcept(row.weightedAverage);
    }
}

void refuseStudent(const Record& record, const Layout& layout, std::string_view why,
                   StudentRow& row)
{
    startRow(record, row);
    row.error = why;
    if (!placeCells(record, layout, row.cells)) {
        keepWholeText(record, layout, row.cells);
    }
}

std::optional<double> cellNumber(const StudentRow& row, const Layout& layout, std::size_t column)
{
    const auto grade = gradeInColumn(layout, column);
    if (grade && !row.conceptLetter.empty()) {
        return shownNumber(row.grades.at(*grade));
    }
    if (column < layout.numberColumns.size() && layout.numberColumns[column]) {
        return plainNumber(row.cells[column]);
    }
    return std::nullopt;
}

double shownNumber(float value)
{
    std::array<char, 32> digits{};
    std::to_chars(digits.data(), digits.data() + digits.size() - 1, value);
    return std::strtod(digits.data(), nullptr);
}

std::string definition(const StudentRow& row)
{
    if (row.conceptLetter.empty()) {
        return "erro: " + row.error;
    }
    return isApproved(row.conceptLetter) ? "APROVADO" : "REPROVADO";
}
