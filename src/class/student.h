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
#include "text/fields.h"

// A student's row of the table, as every writer of the table writes it: the row as read,
// and what the program says of the student.
struct StudentRow {
    const Row* row = nullptr;
    std::array<float, 3> grades{};
    float weightedAverage = 0.0f;
    std::string conceptLetter; // empty when not computed
    std::string status;        // of a student with a status where a grade goes: TRANSFERIDO
    std::string error;
    std::optional<std::size_t> errorColumn; // the cell the error is in, where it is one
    // A cell that looks wrong, computed as it is, or that is no part of the grades: its
    // column and why.
    std::vector<std::pair<std::size_t, std::string>> warnings;
};

// Computes the student of row with boletim's own code, the grades read by its rules with a
// decimal comma accepted too; or, where it cannot, says why. A row of kind status says
// its status instead.
void gradeStudent(const Row& row, RowKind kind, const Layout& layout, GradeFields& grades,
                  StudentRow& student);

// A row of the table that is no student, for the reason given.
void refuseStudent(const Row& row, std::string_view why, StudentRow& student);

// The number a grade's cell of the table holds: the float the table shows, as a double.
double shownNumber(float value);

// The columns the table adds to the class's.
constexpr std::array<std::string_view, 3> resultColumns{"M\u00e9dia ponderada", "Conceito",
                                                        "Defini\u00e7\u00e3o"};

// What "Definição" says of a row: APROVADO, REPROVADO, a status, or "erro: " and why.
std::string definition(const StudentRow& student);

std::string plural(long count, std::string_view singular, std::string_view pluralForm);

#endif
