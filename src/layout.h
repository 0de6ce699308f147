#ifndef BOLETIM_LAYOUT_H
#define BOLETIM_LAYOUT_H

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "lines.h"

// How many lines, and bytes of them, are read ahead to decide the layout.
constexpr std::size_t linesReadAhead = 100;
constexpr std::size_t bytesReadAhead = std::size_t{256} << 10U;

enum class HeaderChoice { detect, present, absent };

struct LayoutOptions {
    HeaderChoice header = HeaderChoice::detect;
    // The grade columns the user named, by number from 1 or by the header's name; none
    // to find them.
    std::vector<std::string> gradeColumns;
};

// What the start of a class file says about the rest.
struct Layout {
    char separator = ' ';
    // The header's line or the first student's; lines before it that are not blank are
    // titles, not rows of the table.
    long firstRowLine = 1;
    bool hasHeader = false;
    std::vector<std::string> header; // its fields, where there is one
    std::size_t width = 4;           // fields a row has
    std::array<std::size_t, 3> gradeColumns{1, 2, 3};
    std::string problem; // why the grade columns the user named cannot be used
};

// Decides from the file's first lines:
// - the separator: the one most of them have;
// - titles: before the header or the first student, rows of fewer than two fields that
//   are not blank (in the whitespace form, of fewer than four words);
// - the grade columns: those named, or else, of the columns after the first, the last
//   three whose fields are mostly grades, or else the last three;
// - the header: the first row after the titles, where none of its grade fields is blank
//   or a grade, or where they are 1, 2 and 3;
// - the width: the header's fields up to its last name; without a header, the number of
//   fields up to the last filled one that most rows have; never less than four.
Layout decideLayout(const std::vector<Line>& lookAhead, const LayoutOptions& options);

// The first column that is not a grade: a student's row without it identifies no one.
std::size_t identificationColumn(const Layout& layout);

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

#endif
