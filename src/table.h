#ifndef BOLETIM_TABLE_H
#define BOLETIM_TABLE_H

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// How the table is written: by default for spreadsheets in Portuguese; the other way for
// programs and spreadsheets in English.
struct TableStyle {
    char separator;
    char decimalMark;
};
constexpr TableStyle forPortugueseSpreadsheets{';', ','};
constexpr TableStyle forPrograms{',', '.'};

// One student of the class, as the table shows it.
struct StudentRow {
    std::vector<std::string> cells; // the input's fields, then mean, concept and verdict
    std::string error;              // why the student could not be computed, if not
    std::vector<std::string> warnings;
    std::string conceptLetter; // empty when not computed
};

// Computes a student from the fields of a line: width of them, the last three the grades,
// exactly as boletim does. The grades and the mean are written as boletim writes them.
StudentRow gradeStudent(std::vector<std::string> fields, std::size_t width, char decimalMark);

// The header of a table width input fields wide: names from the input's header line, or
// made up where it has none.
std::vector<std::string> headerCells(std::vector<std::string> names, std::size_t width);

// One line of the table: cells separated and quoted as a spreadsheet reads them back.
std::string tableLine(const std::vector<std::string>& cells, TableStyle style);

struct ClassCounts {
    long students = 0;
    long approved = 0;
    long failed = 0;
    long withErrors = 0;
    std::array<long, 5> perConcept{}; // A to E
};

void countStudent(ClassCounts& counts, const StudentRow& row);

// How many students, approved, failed and with errors, and a bar chart of the concepts.
std::string summary(std::string_view source, const ClassCounts& counts);

#endif
