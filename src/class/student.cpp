#include "class/student.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
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

void readGrades(const Row& row, const Layout& layout, Grading& grading, StudentRow& student)
{
    student.grades.resize(layout.gradeColumns.size());
    for (std::size_t i = 0; i < layout.gradeColumns.size() && student.error.empty(); ++i) {
        const std::size_t column = layout.gradeColumns[i];
        const Cell* cell = row.at(column);
        const std::string_view text = cell == nullptr ? std::string_view() : row.textOf(*cell);
        // A date, a boolean or an error in a grade's place is no number, whatever its text.
        // Read into its place: a copy of the whole after its parts costs more than the read.
        GradeField& read = student.grades[i];
        read = cell != nullptr && isFilled(*cell) && !mayBeGrade(*cell)
                   ? GradeField{GradeProblem::notANumber, 0.0f, {}}
                   : readGradeField(text, grading.read);
        if (read.problem != GradeProblem::none) {
            student.error = gradeProblem(i + 1, read.problem, text);
            student.errorColumn = column;
            student.gradePending = read.problem == GradeProblem::empty;
        } else if (!grading.rule.asBoletim && !read.exact.withinReach) {
            student.error = "nota " + std::to_string(i + 1) + ' ' + quotedForMessage(text) +
                            " passa do que a conta exata alcan\u00e7a: at\u00e9 18 casas "
                            "decimais, e menos de um bilh\u00e3o";
            student.errorColumn = column;
        } else if (outsideZeroToTen(read.grade)) {
            student.warnings.emplace_back(column, "nota " + std::to_string(i + 1) + ' ' +
                                                      quotedForMessage(text) +
                                                      " fora do intervalo de 0 a 10");
        }
    }
}

// The mean of three grades weighted 1, 2 and 3, in single precision, as boletim computes it.
float singleMeanOf(const std::vector<GradeField>& grades)
{
    return computeWeightedAverage(grades.at(0).grade, grades.at(1).grade, grades.at(2).grade);
}

// Whether the rule weighs three grades 1, 2 and 3, without rounding: as boletim does, but
// exactly, so that its single precision may give another concept.
bool weighsAsBoletim(const SchoolRule& rule)
{
    return rule.weights.size() == 3 && rule.weights[0].value == 1000 &&
           rule.weights[1].value == 2000 && rule.weights[2].value == 3000 && !rule.step;
}

void computeMean(Grading& grading, StudentRow& student)
{
    student.singlePrecision = grading.rule.asBoletim;
    if (grading.rule.asBoletim) {
        student.singleMean = singleMeanOf(student.grades);
        student.sheetMean = static_cast<double>(student.singleMean);
        student.conceptLetter = classifyConcept(student.singleMean);
        return;
    }
    grading.exact.clear();
    for (const GradeField& grade : student.grades) {
        grading.exact.push_back(grade.exact);
    }
    const char letter = grading.means.conceptOf(grading.exact);
    student.conceptLetter.assign(1, letter);
    student.mean = grading.means.shown(6);
    student.sheetMean = grading.means.shownValue(2);
    if (weighsAsBoletim(grading.rule)) {
        const float single = singleMeanOf(student.grades);
        const std::string singleLetter = classifyConcept(single);
        if (singleLetter != student.conceptLetter) {
            std::string digits;
            appendShortestNumber(digits, single);
            std::replace(digits.begin(), digits.end(), '.', ',');
            student.warnings.emplace_back(std::nullopt, "a m\u00e9dia exata \u00e9 " +
                                                            shownText(student.mean, ',') + " (" +
                                                            student.conceptLetter +
                                                            "); em precis\u00e3o simples, como o "
                                                            "boletim calcula, seria " +
                                                            digits + " (" + singleLetter + ")");
        }
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

// The teacher's mean is compared to the computed one to the decimals the table shows.
constexpr int mostDecimalsCompared = 6;

// The decimals a number format shows (0,0 one, #,##0.00 two), or none where it says none.
std::optional<int> decimalsShownBy(std::string_view formatCode)
{
    const std::size_t point = formatCode.find('.');
    if (formatCode.empty() || formatCode.find_first_of("0#") == std::string_view::npos) {
        return std::nullopt;
    }
    if (point == std::string_view::npos) {
        return 0;
    }
    const std::size_t end = formatCode.find_first_not_of("0#", point + 1);
    return static_cast<int>(std::min(end, formatCode.size()) - point - 1);
}

// The decimals typed: 6,3 one. A whole number is taken as exact, as a cell without a
// format of fixed decimals shows it; a column that rounds to units says so in its format,
// where the file keeps one.
int decimalsTyped(std::string_view typed)
{
    return decimalsTypedIn(typed).value_or(mostDecimalsCompared);
}

double computedMean(const StudentRow& student)
{
    return student.singlePrecision
               ? static_cast<double>(student.singleMean)
               : static_cast<double>(student.mean.units) / std::pow(10.0, student.mean.decimals);
}

void startStudent(const Row& row, StudentRow& student)
{
    student.row = &row;
    student.teacherMeanAgrees.reset();
    student.conceptLetter.clear();
    student.status.clear();
    student.error.clear();
    student.errorColumn.reset();
    student.gradePending = false;
    student.warnings.clear();
}

} // namespace

std::string plural(long count, std::string_view singular, std::string_view pluralForm)
{
    return std::to_string(count) + ' ' + std::string(count == 1 ? singular : pluralForm);
}

void gradeStudent(const Row& row, RowKind kind, const Layout& layout, Grading& grading,
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
    readGrades(row, layout, grading, student);
    if (student.error.empty()) {
        computeMean(grading, student);
    }
}

std::string meanText(const StudentRow& student, char decimalMark)
{
    if (!student.singlePrecision) {
        return shownText(student.mean, decimalMark);
    }
    std::string digits;
    appendShortestNumber(digits, student.singleMean);
    std::replace(digits.begin(), digits.end(), '.', decimalMark);
    return digits;
}

void checkTeacherMean(const Row& row, const Layout& layout, std::string_view formatCode,
                      StudentRow& student)
{
    const Cell* cell = layout.teacherMean ? row.at(*layout.teacherMean) : nullptr;
    if (cell == nullptr || !isFilled(*cell) || !mayBeGrade(*cell) ||
        student.conceptLetter.empty()) {
        return;
    }
    const std::string_view typed = trimmed(row.textOf(*cell));
    const GradeField read = readGradeField(typed);
    if (read.problem != GradeProblem::none) {
        return;
    }
    // Within half a unit of what the column shows: 6,3 is 6,25 to 6,35.
    const int decimals =
        std::min(mostDecimalsCompared, decimalsShownBy(formatCode).value_or(decimalsTyped(typed)));
    const double teacher = cell->kind == CellKind::number ? cell->number : valueOf(read.exact);
    const double computed = computedMean(student);
    const double tolerance = 0.5 * std::pow(10.0, -decimals) * (1 + 1e-9);
    student.teacherMeanAgrees = std::abs(teacher - computed) <= tolerance;
    if (!*student.teacherMeanAgrees) {
        std::string said(typed);
        std::replace(said.begin(), said.end(), '.', ',');
        student.warnings.emplace_back(*layout.teacherMean,
                                      "a m\u00e9dia da coluna " +
                                          columnLetters(*layout.teacherMean) + " \u00e9 " + said +
                                          ", e a calculada, " + meanText(student, ','));
    }
}

void refuseStudent(const Row& row, std::string_view why, StudentRow& student)
{
    startStudent(row, student);
    student.error = why;
}

void appendShortestNumber(std::string& text, float value)
{
    std::array<char, 16> digits{};
    const auto written = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    text.append(digits.data(), written.ptr);
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
