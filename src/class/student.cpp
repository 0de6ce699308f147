#include "class/student.h"

#include <charconv>
#include <cstdlib>

#include "class/names.h"
#include "grading/grading.h"
#include "text/encoding.h"

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

std::string rowProblem(const Row& row)
{
    switch (row.problem) {
    case RowProblem::tooLong:
        return "a linha tem mais de 1 MiB";
    case RowProblem::tooWide:
        return "a linha tem mais de 16.384 campos";
    case RowProblem::nullByte:
        return "a linha tem bytes nulos";
    case RowProblem::openQuote:
        return "aspas abertas na linha " + std::to_string(row.number) + " n\u00e3o se fecham";
    default:
        return {};
    }
}

std::string cellProblem(CellProblem problem)
{
    return problem == CellProblem::formulaWithoutValue
               ? "a f\u00f3rmula desta c\u00e9lula n\u00e3o tem valor guardado no arquivo; abra a "
                 "planilha e salve-a de novo"
               : "esta c\u00e9lula aponta para um texto que o arquivo n\u00e3o tem; abra a "
                 "planilha e salve-a de novo";
}

bool outsideZeroToTen(float grade)
{
    return grade < 0.0f || grade > 10.0f;
}

void readGrades(const Row& row, const Layout& layout, GradeFields& grades, StudentRow& student)
{
    for (std::size_t i = 0; i < 3 && student.error.empty(); ++i) {
        const std::size_t column = layout.gradeColumns.at(i);
        const Cell* cell = row.at(column);
        const std::string_view text = cell == nullptr ? std::string_view() : row.textOf(*cell);
        // A date, a boolean or an error in a grade's place is no number, whatever its text.
        const GradeField read = cell != nullptr && isFilled(*cell) && !mayBeGrade(*cell)
                                    ? GradeField{GradeProblem::notANumber, 0.0f}
                                    : readGradeField(text, grades);
        if (read.problem != GradeProblem::none) {
            student.error = gradeProblem(i + 1, read.problem, text);
            student.errorColumn = column;
        } else if (outsideZeroToTen(read.grade)) {
            student.warnings.emplace_back(column, "nota " + std::to_string(i + 1) + ' ' +
                                                      quotedForMessage(text) +
                                                      " fora do intervalo de 0 a 10");
        }
        student.grades.at(i) = read.grade;
    }
}

// A cell whose value the file does not keep: where it is a grade or the identification,
// the student cannot be computed; elsewhere it is only said.
void readUnknownCells(const Row& row, const Layout& layout, StudentRow& student)
{
    for (const Cell& cell : row.cells) {
        if (cell.problem == CellProblem::none) {
            continue;
        }
        const std::size_t column = cell.column;
        const bool needed = gradeInColumn(layout, column) ||
                            (column >= layout.identification && column < layout.identificationEnd);
        if (needed && student.error.empty()) {
            student.error = cellProblem(cell.problem);
            student.errorColumn = column;
        } else if (!needed) {
            student.warnings.emplace_back(column, cellProblem(cell.problem));
        }
    }
}

// The status typed where a grade goes.
std::string statusOf(const Row& row, const Layout& layout)
{
    for (const std::size_t column : layout.gradeColumns) {
        const std::string_view said = statusSaid(trimmed(row.textAt(column)));
        if (!said.empty()) {
            return std::string(said);
        }
    }
    return {};
}

void startStudent(const Row& row, StudentRow& student)
{
    student.row = &row;
    student.conceptLetter.clear();
    student.status.clear();
    student.error.clear();
    student.errorColumn.reset();
    student.warnings.clear();
}

} // namespace

std::string plural(long count, std::string_view singular, std::string_view pluralForm)
{
    return std::to_string(count) + ' ' + std::string(count == 1 ? singular : pluralForm);
}

void gradeStudent(const Row& row, RowKind kind, const Layout& layout, GradeFields& grades,
                  StudentRow& student)
{
    startStudent(row, student);
    if (row.problem != RowProblem::none) {
        student.error = rowProblem(row);
        return;
    }
    if (row.unknownValues) {
        readUnknownCells(row, layout, student);
    }
    if (kind == RowKind::status) {
        student.status = statusOf(row, layout);
        return;
    }
    readGrades(row, layout, grades, student);
    if (student.error.empty()) {
        student.weightedAverage =
            computeWeightedAverage(student.grades[0], student.grades[1], student.grades[2]);
        student.conceptLetter = classifyConcept(student.weightedAverage);
    }
}

void refuseStudent(const Row& row, std::string_view why, StudentRow& student)
{
    startStudent(row, student);
    student.error = why;
}

double shownNumber(float value)
{
    std::array<char, 32> digits{};
    std::to_chars(digits.data(), digits.data() + digits.size() - 1, value);
    return std::strtod(digits.data(), nullptr);
}

std::string definition(const StudentRow& student)
{
    if (!student.status.empty()) {
        return student.status;
    }
    if (student.conceptLetter.empty()) {
        return "erro: " + student.error;
    }
    return isApproved(student.conceptLetter) ? "APROVADO" : "REPROVADO";
}
