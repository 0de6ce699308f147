#ifndef BOLETIM_STUDENT_H
#define BOLETIM_STUDENT_H

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "text/fields.h"
#include "class/layout.h"
#include "text/records.h"

// A row of the table, as every writer of the table writes it: the class's fields, and
// what the program says of the student.
struct StudentRow {
    long line = 0;
    // The layout's width of fields: the row's own, or, where they do not fit the layout,
    // its whole text in the first and the others empty.
    Fields cells;
    std::array<float, 3> grades{};
    float weightedAverage = 0.0f;
    std::string conceptLetter; // empty when not computed
    std::string error;
    std::optional<std::size_t> errorColumn; // the cell the error is in, where it is one
    // A grade computed as it is, that looks wrong: its column and why.
    std::vector<std::pair<std::size_t, std::string>> warnings;
};

// The record's fields as the layout's width of cells, without the blank ones past it,
// which are no fields, and, for a sheet's row, with the empty cells it ends before; false
// where they do not fit, and cells are left to be placed.
bool placeCells(const Record& record, const Layout& layout, Fields& cells);

// The record's whole text in the first of the layout's width of cells, the others empty.
void keepWholeText(const Record& record, const Layout& layout, Fields& cells);

// Computes the student of record with boletim's own code, the grades read by its rules
// with a decimal comma accepted too; or, where record is no row of the layout, says why.
void gradeStudent(const Record& record, const Layout& layout, GradeFields& grades, StudentRow& row);

// A row of the table that is no student, for the reason given.
void refuseStudent(const Record& record, const Layout& layout, std::string_view why,
                   StudentRow& row);

// The number a cell of the table holds, if any: a computed student's grade, as the float
// the table shows, or a plain number in a column of numbers. A spreadsheet's table keeps
// any other cell as text.
std::optional<double> cellNumber(const StudentRow& row, const Layout& layout, std::size_t column);

// A float as the table shows it, the shortest decimal that reads back as it, as a double:
// what a spreadsheet's cell holds for a grade or a mean.
double shownNumber(float value);

// The columns the table adds to the class's.
constexpr std::array<std::string_view, 3> resultColumns{"M\u00e9dia ponderada", "Conceito",
                                                        "Defini\u00e7\u00e3o"};

// What "Definição" says of a row: APROVADO, REPROVADO, or "erro: " and why.
std::string definition(const StudentRow& row);

std::string plural(long count, std::string_view singular, std::string_view pluralForm);

#endif
