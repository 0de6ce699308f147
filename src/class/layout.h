#ifndef BOLETIM_LAYOUT_H
#define BOLETIM_LAYOUT_H

#include <array>
#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/records.h"
#include "text/separator.h"

// How many lines, and bytes of them, are read ahead to decide the layout.
constexpr std::size_t linesReadAhead = 100;
constexpr std::size_t bytesReadAhead = std::size_t{256} << 10U;

// A sheet has at most this many columns; a row wider than that is no row of a class.
constexpr std::size_t mostColumns = 16384;

enum class HeaderChoice { detect, present, absent };

struct LayoutOptions {
    HeaderChoice header = HeaderChoice::detect;
    // The grade columns the user named: by number from 1, by letter as a spreadsheet shows
    // them, or by the header's name; none to find them.
    std::vector<std::string> gradeColumns;
};

// What the start of a class file says about the rest.
struct Layout {
    char separator = whitespaceSeparated;
    long directiveLine = 0; // Excel's "sep=;", or 0
    long headerLine = 0;    // 0 where there is none
    // Rows before tableStart are titles, as are these, between the header and the first
    // student.
    long tableStart = 1;
    std::vector<long> titleLines;
    std::vector<std::string> header; // its fields, where there is one
    std::size_t width = 4;           // fields a row has
    // The columns that identify a student: the first with text (an empty margin may come
    // before it) up to the first grade.
    std::size_t identification = 0;
    std::size_t identificationEnd = 1;
    std::array<std::size_t, 3> gradeColumns{1, 2, 3};
    // The columns of numbers: the grades, and those, but the identification, whose every
    // field read ahead is a plain number (Faltas, 4º Bim, Média final).
    std::vector<bool> numberColumns;
};

// Why no layout could be decided: the options do not fit the file, or the file does not
// say which columns are the grades, or it is too wide for a sheet.
enum class LayoutProblem { none, unusableOptions, gradesUnclear, tooWide };

struct LayoutDecision {
    Layout layout;
    LayoutProblem problem = LayoutProblem::none;
    std::string why; // UTF-8
    // Where the grades are unclear: the columns it could not choose between, and the three
    // of them a command to try would name.
    std::vector<std::size_t> candidates;
    std::array<std::size_t, 3> example{};
};

// Decides from the records of the file's first lines:
// - the header: the row just above the first that reads as a student, where its names
//   stand over the columns of numbers; rows above it are titles;
// - the columns: the identification is the first with text; the grades are those named,
//   or else the three columns of numbers from 0 to 10 whose names do not say otherwise
//   (Faltas, Média, Nº...); where that leaves more or fewer than three, names that say
//   grade choose, or else the grades are unclear;
// - the width: the header's fields up to its last name; without a header, the number of
//   fields most rows have, up to the last column filled in any.
LayoutDecision decideLayout(const std::deque<Record>& firstRecords, SeparatorChoice separator,
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

// A column as a spreadsheet names it, from 0: A, B, ..., Z, AA, ...
std::string columnLetters(std::size_t column);

// The column that letters name, as a spreadsheet does (C, aa), from 0; none for other text.
std::optional<std::size_t> columnOfLetters(std::string_view text);

#endif
