#ifndef BOLETIM_TABLE_H
#define BOLETIM_TABLE_H

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "layout.h"
#include "records.h"

// How the table is written: by default for spreadsheets in Portuguese, with a byte-order
// mark and every text cell that a spreadsheet would take for a formula kept text; the
// other way for programs and spreadsheets in English, with every text as typed.
struct TableStyle {
    char separator;
    char decimalMark;
    bool forSpreadsheets;
};
constexpr TableStyle forPortugueseSpreadsheets{';', ',', true};
constexpr TableStyle forPrograms{',', '.', false};

// One row of the table: a student, computed or with why it could not be.
struct StudentRow {
    std::vector<std::string> fields; // the layout's width of them, as typed
    std::array<float, 3> grades{};
    float weightedAverage = 0.0f;
    std::string conceptLetter; // empty when not computed
    std::string error;
    std::vector<std::string> warnings;
};

// Computes a student from a record with boletim's own code, the grades read by its rules
// with a decimal comma accepted too. A record that is not a row of the layout's width,
// or has no identification, keeps all its text: in the first field where its fields
// cannot be placed.
StudentRow gradeStudent(Record record, const Layout& layout);

// The table's column names: the header's, or made up where fields is empty.
std::vector<std::string> headerNames(std::vector<std::string> fields, const Layout& layout);

void appendHeader(std::string& table, const std::vector<std::string>& names, TableStyle style);
void appendRow(std::string& table, const StudentRow& row, const Layout& layout, TableStyle style);

// What the user typed, in a message: in quotes, on one line, the start of it if it is long.
std::string quotedForMessage(std::string_view text);

// A float in the shortest form that reads back as the same float.
std::string shortestNumber(float value, char decimalMark);

// "cabeçalho na linha 1; notas nas colunas 3 "Nota 1", 4 "Nota 2" e 5 "Nota 3"".
std::string describeLayout(const Layout& layout, const std::vector<std::string>& names);

struct ClassCounts {
    long students = 0;
    long approved = 0;
    long failed = 0;
    long withErrors = 0;
    std::array<long, 5> perConcept{}; // A to E
};

void countStudent(ClassCounts& counts, const StudentRow& row);

// How many students, approved, failed and with errors, then a bar chart of the concepts;
// each line after the first starts with two spaces.
std::string summary(const ClassCounts& counts);

#endif
