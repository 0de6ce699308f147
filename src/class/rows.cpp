#include "class/rows.h"

#include <algorithm>

#include "class/names.h"
#include "text/fields.h"

namespace {

// A cell whose value the file does not keep still says a row is there.
bool hasContent(const Row& row)
{
    return row.problem != RowProblem::none ||
           std::any_of(row.cells.begin(), row.cells.end(), [](const Cell& cell) {
               return isFilled(cell) || cell.problem != CellProblem::none;
           });
}

bool identificationUnknown(const Layout& layout, const Row& row)
{
    for (std::size_t column = layout.identification; column < layout.identificationEnd; ++column) {
        const Cell* cell = row.at(column);
        if (cell != nullptr && cell->problem != CellProblem::none) {
            return true;
        }
    }
    return false;
}

// A date under a grade's heading, as a platform's export dates its assignments.
bool looksLikeDate(const Row& row, const Cell& cell)
{
    if (cell.kind == CellKind::date || cell.kind == CellKind::dateTime) {
        return true;
    }
    const std::string_view text = row.textOf(cell);
    const bool digit = text.find_first_of("0123456789") != std::string_view::npos;
    const bool letter = std::any_of(text.begin(), text.end(), [](char character) {
        return (character >= 'a' && character <= 'z') || (character >= 'A' && character <= 'Z');
    });
    return cell.kind == CellKind::text && digit &&
           (letter || text.find('/') != std::string_view::npos) && !isGrade(text);
}

// Where a platform's text or a status may start: a letter, or "(read only)"'s parenthesis.
// Grades start otherwise, and most cells a row is asked about are grades.
bool mayBeWords(std::string_view text)
{
    const char first = text.empty() ? '0' : text.front();
    return (first >= 'A' && first <= 'Z') || (first >= 'a' && first <= 'z') || first == '(' ||
           static_cast<unsigned char>(first) >= 0x80U;
}

// What the cells under the grades' headings say of a row: a platform's text there, a
// status (Transferido), or, of a row without identification, dates.
struct UnderGrades {
    bool platform = false;
    bool status = false;
};

UnderGrades underGrades(const Layout& layout, const Row& row, bool identified)
{
    UnderGrades found;
    for (const std::size_t column : layout.gradeColumns) {
        const Cell* cell = row.at(column);
        if (cell == nullptr || !isFilled(*cell) || (identified && cell->kind == CellKind::number)) {
            continue;
        }
        const std::string_view typed = row.textOf(*cell);
        if (identified && !typed.empty() && typed.front() >= '0' && typed.front() <= '9') {
            continue; // a grade, as most are
        }
        const std::string_view text = trimmed(typed);
        if (!identified && looksLikeDate(row, *cell)) {
            found.platform = true;
        } else if (cell->kind == CellKind::text && mayBeWords(text)) {
            found.platform = found.platform || isPlatformMarker(text);
            found.status = found.status || !statusSaid(text).empty();
        }
    }
    return found;
}

} // namespace

RowKind classifyRow(const Layout& layout, const Row& row)
{
    if (layout.header && row.position == *layout.header) {
        return RowKind::header;
    }
    // Most rows are students, whose identification shows they are not blank.
    const std::string_view identification = identificationOf(layout, row);
    if (identification.empty() && !hasContent(row)) {
        return RowKind::blank;
    }
    if (row.position < layout.tableStart) {
        return RowKind::title;
    }
    if (row.problem != RowProblem::none) {
        return RowKind::student; // an error row, which says why
    }
    const UnderGrades under = underGrades(layout, row, !identification.empty());
    const bool label = mayBeWord(identification);
    if (under.platform || (label && isPlatformLabel(identification))) {
        return RowKind::platform;
    }
    if (identification.empty()) {
        return identificationUnknown(layout, row) ? RowKind::student : RowKind::footer;
    }
    if (label && isSummaryLabel(identification)) {
        return RowKind::footer;
    }
    return under.status ? RowKind::status : RowKind::student;
}

std::string_view identificationOf(const Layout& layout, const Row& row)
{
    for (std::size_t column = layout.identification; column < layout.identificationEnd; ++column) {
        const Cell* cell = row.at(column);
        if (cell != nullptr && isFilled(*cell)) {
            return trimmed(row.textOf(*cell));
        }
    }
    return {};
}
