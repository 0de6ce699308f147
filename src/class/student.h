#ifndef BOLETIM_STUDENT_H
#define BOLETIM_STUDENT_H

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cells/cell.h"
#include "class/layout.h"
#include "class/rows.h"
#include "class/school_rule.h"
#include "text/fields.h"

// A student's row of the table, as every writer of the table writes it: the row as read,
// and what the program says of the student.
struct StudentRow {
    const Row* row = nullptr;
    std::vector<GradeField> grades; // as read, a grade a weight
    // The mean: as boletim computes it, in single precision; or the school's, exact, as the
    // table shows it, and at two decimals (or the rounding step's), as a spreadsheet does.
    bool singlePrecision = false;
    float singleMean = 0.0f;
    ShownMean mean;
    double sheetMean = 0.0;    // the summary's: the exact one as a sheet shows it, or the float
    std::string conceptLetter; // empty when not computed
    // The teacher's own mean of the row, where the class has a column of it and the row a
    // number there: whether it agrees with the mean computed, within what it shows.
    std::optional<bool> teacherMeanAgrees;
    std::string status; // of a student with a status where a grade goes: TRANSFERIDO
    std::string error;
    std::optional<std::size_t> errorColumn; // the cell the error is in, where it is one
    bool gradePending = false;              // the error is a grade not yet given
    // A cell that looks wrong, computed as it is, or that is no part of the grades, and
    // what the row's mean would be as boletim computes it, where that differs: the column,
    // where it is one cell's, and why.
    std::vector<std::pair<std::optional<std::size_t>, std::string>> warnings;
};

// How a class's students are computed: by the school's rule, the grades read by boletim's
// rules with a decimal comma accepted too, the last ones read kept by their text.
struct Grading {
    explicit Grading(const SchoolRule& schoolRule) : rule(schoolRule), means(schoolRule) {}

    SchoolRule rule;
    MeanRule means;
    GradeFields read;
    std::vector<ExactGrade> exact; // the grades of the row at hand
};

// Computes the student of row by the rule; or, where it cannot, says why. A row of kind
// status says its status instead.
void gradeStudent(const Row& row, RowKind kind, const Layout& layout, Grading& grading,
                  StudentRow& student);

// A computed student's mean as the table shows it, with decimalMark: 8,333333, or, as
// boletim computes, the float's digits, 8,333333 or 5,9999995.
std::string meanText(const StudentRow& student, char decimalMark);

// Compares the mean computed for student with the teacher's own, in the column the layout
// names, shown by the number format formatCode (0,0), or as typed; a warning says where
// they differ. Changes no result.
void checkTeacherMean(const Row& row, const Layout& layout, std::string_view formatCode,
                      StudentRow& student);

// A row of the table that is no student, for the reason given.
void refuseStudent(const Row& row, std::string_view why, StudentRow& student);

// A float in the shortest form that reads back as the same float, with a decimal point:
// how the table shows a grade or a mean computed as boletim does.
void appendShortestNumber(std::string& text, float value);

// A float as the table shows it, the shortest decimal that reads back as it, as a double:
// what a spreadsheet's cell holds for a grade or a mean computed as boletim does.
double shownNumber(float value);

// The columns the table adds to the class's.
constexpr std::array<std::string_view, 3> resultColumns{"M\u00e9dia ponderada", "Conceito",
                                                        "Defini\u00e7\u00e3o"};

// What "Definição" says of a row: APROVADO, REPROVADO, a status, or "erro: " and why.
std::string definition(const StudentRow& student);

std::string plural(long count, std::string_view singular, std::string_view pluralForm);

#endif
