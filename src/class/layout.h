#ifndef BOLETIM_LAYOUT_H
#define BOLETIM_LAYOUT_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cells/cell.h"
#include "cells/row_source.h"

// How many rows, and bytes of their text, are read ahead to decide the layout.
constexpr std::size_t rowsReadAhead = 100;
constexpr std::size_t bytesReadAhead = std::size_t{256} << 10U;

enum class HeaderChoice { detect, present, absent };

struct LayoutOptions {
    HeaderChoice header = HeaderChoice::detect;
    // The grade columns the user named: by number from 1, by letter as a spreadsheet shows
    // them, or by the header's name; none to find them.
    std::vector<std::string> gradeColumns;
    // How many grades the rule weighs: the columns found, or named, are as many.
    std::size_t grades = 3;
};

// What the start of a class file says about the rest.
struct Layout {
    bool wordsOnly = false; // words separated by blanks: the last three the grades
    // The header's position among the rows, where there is one, and the number a message
    // gives it.
    std::optional<std::uint64_t> header;
    long headerNumber = 0;
    // Rows before this position are titles; titles are above the header only.
    std::uint64_t tableStart = 0;
    std::vector<std::string> names; // the header's, by column, where there is one
    std::size_t width = 4; // the class's columns; cells right of them are the teacher's notes
    // The columns that identify a student: from the first one that does (an empty
    // margin, or a column of marks, may come before it) up to the first grade.
    std::size_t identification = 0;
    std::size_t identificationEnd = 1;
    std::vector<std::size_t> gradeColumns{1, 2, 3}; // in the order of their weights
    // Whether the grade columns were found: a file without students has none to show.
    bool gradesFound = true;
    // The column the teacher named as the students' mean (Média final), to check against.
    std::optional<std::size_t> teacherMean;
    // The columns of numbers: the grades, and those, but the identification, whose every
    // field read ahead is a plain number (Faltas, 4º Bim, Média final).
    std::vector<bool> numberColumns;
    // The columns whose every field read ahead is a number, or a spreadsheet's error
    // (#DIV/0!); of the identification, whose text stays text, those a sheet keeps as
    // numbers (Nº): a printed table stands them, and their names, right.
    std::vector<bool> numbersRead;
};

// Why no layout could be decided: the options are not of the form they take, or they do
// not fit the file, or the file does not say which columns are the grades, or it is too
// wide for a sheet.
enum class LayoutProblem { none, unusableOptions, optionsDoNotFit, gradesUnclear, tooWide };

struct LayoutDecision {
    Layout layout;
    LayoutProblem problem = LayoutProblem::none;
    std::string why; // UTF-8
    // Where the grades are unclear: the columns that may be grades, the other columns of
    // numbers, and as many as the rule weighs for a command to try, where there are as
    // many that may be.
    std::vector<std::size_t> candidates;
    std::vector<std::size_t> otherNumbers;
    std::vector<std::size_t> example;
    std::size_t grades = 3; // as many as the rule weighs
};

// Decides from the first rows of a class:
// - the header: the row just above the first that reads as a student, where its names
//   stand over the columns of numbers; rows above it are titles;
// - the columns: the identification is the first named so, or else the first with text;
//   the grades are those named, or else the columns of numbers from 0 to 10 whose names do
//   not say otherwise (Faltas, Média, Nº...), as many as the rule weighs; where that leaves
//   more or fewer, names that say grade choose, or else the grades are unclear;
// - the width: the header's cells up to its last name; without a header, the number of
//   fields most rows have, up to the last column filled in any; of a sheet, whose rows
//   end at their last filled cell, its widest row.
LayoutDecision decideLayout(const std::deque<Row>& firstRows, RowShape shape,
                            const LayoutOptions& options);

// Which grade, from 0, column holds, if any. Asked of every cell, so defined here.
inline std::optional<std::size_t> gradeInColumn(const Layout& layout, std::size_t column)
{
    for (std::size_t grade = 0; grade < layout.gradeColumns.size(); ++grade) {
        if (layout.gradeColumns[grade] == column) {
            return grade;
        }
    }
    return std::nullopt;
}

// The table's column names: the header's, or made up where there is none.
std::vector<std::string> columnNames(const Layout& layout);

#endif
