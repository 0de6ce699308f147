#ifndef BOLETIM_SUMMARY_H
#define BOLETIM_SUMMARY_H

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "class/layout.h"
#include "class/student.h"

struct ClassCounts {
    long students = 0;
    long approved = 0;
    long failed = 0;
    long withErrors = 0;
    // The teacher's own mean, where the class has a column of it: its letter, and how many
    // computed students it agrees with, and differs from.
    std::string teacherMeanColumn;
    long teacherMeanAgrees = 0;
    long teacherMeanDiffers = 0;
    // By the word a count of them says (transferido), in the order first met: a few.
    std::vector<std::pair<std::string, long>> statuses;
    std::array<long, 5> perConcept{}; // A to E
    // Of the students computed: the sum of their means as a spreadsheet's cells hold them,
    // for the mean of means, and the highest and the lowest.
    double sumOfMeans = 0.0;
    double highestMean = 0.0;
    double lowestMean = 0.0;
};

void countStudent(ClassCounts& counts, const StudentRow& row);

// How many students, approved, failed, of each status and with errors; where the class has
// the teacher's own mean, how many it agrees with; then a bar chart of the concepts; each
// line after the first starts with two spaces.
std::string summary(const ClassCounts& counts);

// "cabeçalho na linha 1; notas nas colunas C "Nota 1", D "Nota 2" e E "Nota 3"".
std::string describeLayout(const Layout& layout, const std::vector<std::string>& names);

#endif
