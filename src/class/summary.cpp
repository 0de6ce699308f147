#include "class/summary.h"

#include <algorithm>

#include "class/names.h"
#include "grading/grading.h"
#include "text/encoding.h"

void countStudent(ClassCounts& counts, const StudentRow& row)
{
    ++counts.students;
    if (!row.status.empty()) {
        const std::string_view counted = statusCounted(row.status);
        const auto found = std::find_if(counts.statuses.begin(), counts.statuses.end(),
                                        [counted](const std::pair<std::string, long>& status) {
                                            return status.first == counted;
                                        });
        if (found == counts.statuses.end()) {
            counts.statuses.emplace_back(counted, 1);
        } else {
            ++found->second;
        }
        return;
    }
    if (row.conceptLetter.empty()) {
        ++counts.withErrors;
        return;
    }
    if (row.teacherMeanAgrees) {
        ++(*row.teacherMeanAgrees ? counts.teacherMeanAgrees : counts.teacherMeanDiffers);
    }
    const bool first = counts.approved + counts.failed == 0;
    ++(isApproved(row.conceptLetter) ? counts.approved : counts.failed);
    ++counts.perConcept.at(static_cast<std::size_t>(row.conceptLetter.front() - 'A'));
    const double mean = row.sheetMean;
    counts.sumOfMeans += mean;
    counts.highestMean = first ? mean : std::max(counts.highestMean, mean);
    counts.lowestMean = first ? mean : std::min(counts.lowestMean, mean);
}

std::string summary(const ClassCounts& counts)
{
    std::string text = plural(counts.students, "aluno", "alunos") + ": " +
                       plural(counts.approved, "aprovado", "aprovados") + ", " +
                       plural(counts.failed, "reprovado", "reprovados") + ", ";
    for (const auto& [status, count] : counts.statuses) {
        text += plural(count, status, status + "s") + ", ";
    }
    text += std::to_string(counts.withErrors) + " com erro\n";
    if (counts.teacherMeanAgrees + counts.teacherMeanDiffers > 0) {
        text += "  a m\u00e9dia da coluna " + counts.teacherMeanColumn + " confere em " +
                plural(counts.teacherMeanAgrees, "aluno", "alunos") +
                (counts.teacherMeanDiffers == 0
                     ? std::string()
                     : " e n\u00e3o confere em " + std::to_string(counts.teacherMeanDiffers)) +
                '\n';
    }
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

std::string describeLayout(const Layout& layout, const std::vector<std::string>& names)
{
    std::string text = layout.header
                           ? "cabe\u00e7alho na linha " + std::to_string(layout.headerNumber)
                           : std::string("sem cabe\u00e7alho");
    if (!layout.gradesFound) {
        return text;
    }
    const std::size_t count = layout.gradeColumns.size();
    text += count == 1 ? "; nota na coluna " : "; notas nas colunas ";
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t column = layout.gradeColumns.at(i);
        text += i == 0 ? "" : i + 1 == count ? " e " : ", ";
        text += columnLetters(column);
        if (layout.header) {
            text += ' ' + quotedForMessage(names.at(column));
        }
    }
    return text;
}
