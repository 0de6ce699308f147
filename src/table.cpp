#include "table.h"

#include <algorithm>
#include <sstream>

#include "fields.h"
#include "grading.h"

namespace {

// What the user typed, in a message.
std::string quoted(std::string_view text)
{
    return '"' + std::string(text) + '"';
}

// A number in the output stream's default format, as boletim writes it.
std::string formatNumber(float value, char decimalMark)
{
    // Made once: a class has many numbers, and a stream is costly to make.
    static std::ostringstream stream;
    stream.str("");
    stream << value;
    std::string text = stream.str();
    std::replace(text.begin(), text.end(), '.', decimalMark);
    return text;
}

std::string gradeProblem(int number, GradeProblem problem, std::string_view field)
{
    const std::string grade = "nota " + std::to_string(number);
    switch (problem) {
    case GradeProblem::empty:
        return grade + " est\u00e1 vazia";
    case GradeProblem::tooLarge:
        return grade + ' ' + quoted(field) + " \u00e9 grande demais";
    default:
        return grade + ' ' + quoted(field) + " n\u00e3o \u00e9 um n\u00famero";
    }
}

bool outsideZeroToTen(float grade)
{
    return grade < 0.0f || grade > 10.0f;
}

std::string plural(long count, std::string_view singular, std::string_view pluralForm)
{
    return std::to_string(count) + ' ' + std::string(count == 1 ? singular : pluralForm);
}

bool needsQuotes(std::string_view cell, char separator)
{
    return cell.find_first_of(std::string{separator, '"', '\n', '\r'}) != std::string_view::npos;
}

} // namespace

StudentRow gradeStudent(std::vector<std::string> fields, std::size_t width, char decimalMark)
{
    StudentRow row;
    if (fields.size() != width) {
        row.error = "a linha tem " + plural(static_cast<long>(fields.size()), "campo", "campos") +
                    ", e n\u00e3o " + std::to_string(width);
        fields.resize(std::max(fields.size(), width));
    }
    std::array<float, 3> grades{};
    for (int i = 0; i < 3 && row.error.empty(); ++i) {
        std::string& field = fields.at(width - 3 + static_cast<std::size_t>(i));
        const GradeField read = readGradeField(field);
        if (read.problem != GradeProblem::none) {
            row.error = gradeProblem(i + 1, read.problem, field);
        } else if (outsideZeroToTen(read.grade)) {
            row.warnings.push_back("nota " + std::to_string(i + 1) + ' ' + quoted(field) +
                                   " fora do intervalo de 0 a 10");
        }
        grades.at(static_cast<std::size_t>(i)) = read.grade;
    }
    row.cells = std::move(fields);
    if (!row.error.empty()) {
        row.cells.insert(row.cells.end(), {"", "", "erro: " + row.error});
        return row;
    }
    const float weightedAverage = computeWeightedAverage(grades[0], grades[1], grades[2]);
    row.conceptLetter = classifyConcept(weightedAverage);
    for (std::size_t i = 0; i < 3; ++i) {
        row.cells.at(width - 3 + i) = formatNumber(grades.at(i), decimalMark);
    }
    row.cells.insert(row.cells.end(),
                     {formatNumber(weightedAverage, decimalMark), row.conceptLetter,
                      isApproved(row.conceptLetter) ? "APROVADO" : "REPROVADO"});
    return row;
}

std::vector<std::string> headerCells(std::vector<std::string> names, std::size_t width)
{
    if (names.empty()) {
        const std::size_t idColumns = width - 3;
        for (std::size_t i = 1; i <= idColumns; ++i) {
            names.push_back(idColumns == 1 ? "Identifica\u00e7\u00e3o"
                                           : "Identifica\u00e7\u00e3o " + std::to_string(i));
        }
        names.insert(names.end(), {"Nota 1", "Nota 2", "Nota 3"});
    }
    names.insert(names.end(), {"M\u00e9dia ponderada", "Conceito", "Defini\u00e7\u00e3o"});
    return names;
}

std::string tableLine(const std::vector<std::string>& cells, TableStyle style)
{
    std::string line;
    for (const std::string& cell : cells) {
        if (&cell != &cells.front()) {
            line += style.separator;
        }
        if (!needsQuotes(cell, style.separator)) {
            line += cell;
            continue;
        }
        line += '"';
        for (const char character : cell) {
            line += character;
            if (character == '"') {
                line += '"';
            }
        }
        line += '"';
    }
    return line + '\n';
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

std::string summary(std::string_view source, const ClassCounts& counts)
{
    std::string text = std::string(source) + ": " + plural(counts.students, "aluno", "alunos") +
                       ": " + plural(counts.approved, "aprovado", "aprovados") + ", " +
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
