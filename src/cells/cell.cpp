#include "cells/cell.h"

#include <algorithm>

#include "text/encoding.h"

namespace {

// Of a row kept as an error, the start an error row shows.
constexpr std::size_t shownOfProblemRow = 100;

// What an error row shows of the cells read so far and text: their start, ';' between.
std::string shownSoFar(const Row& row, std::string_view text)
{
    std::string shown;
    for (const Cell& cell : row.cells) {
        if (shown.size() > shownOfProblemRow) {
            return shown;
        }
        shown.append(shown.empty() ? "" : ";").append(row.textOf(cell));
    }
    return shown.append(shown.empty() ? "" : ";").append(startOfText(text, shownOfProblemRow + 1));
}

} // namespace

const Cell* Row::search(std::size_t column) const
{
    const auto found =
        std::lower_bound(cells.begin(), cells.end(), column,
                         [](const Cell& cell, std::size_t wanted) { return cell.column < wanted; });
    return found != cells.end() && found->column == column ? &*found : nullptr;
}

std::string_view Row::textAt(std::size_t column) const
{
    const Cell* cell = at(column);
    return cell == nullptr ? std::string_view() : textOf(*cell);
}

std::size_t firstFilled(const Row& row)
{
    const auto first = std::find_if(row.cells.begin(), row.cells.end(), isFilled);
    return first == row.cells.end() ? mostColumns : first->column;
}

std::size_t filledWidth(const Row& row)
{
    const auto last = std::find_if(row.cells.rbegin(), row.cells.rend(), isFilled);
    return last == row.cells.rend() ? 0 : std::size_t{last->column} + 1;
}

std::size_t filledCount(const Row& row)
{
    return static_cast<std::size_t>(std::count_if(row.cells.begin(), row.cells.end(), isFilled));
}

void startRow(Row& row, std::uint64_t position, long number)
{
    row.position = position;
    row.number = number;
    row.problem = RowProblem::none;
    row.unknownValues = false;
    row.text.clear();
    row.cells.clear();
}

bool addCell(Row& row, const Cell& cell, std::string_view text)
{
    if (row.problem != RowProblem::none) {
        return false;
    }
    if (cell.column >= mostColumns) {
        keepAsProblem(row, RowProblem::tooWide, shownSoFar(row, text));
        return false;
    }
    if (row.text.size() + text.size() > longestRow) {
        keepAsProblem(row, RowProblem::tooLong, shownSoFar(row, text) + "\u2026");
        return false;
    }
    row.unknownValues = row.unknownValues || cell.problem != CellProblem::none;
    Cell& added = row.cells.emplace_back(cell);
    added.textStart = static_cast<std::uint32_t>(row.text.size());
    added.textSize = static_cast<std::uint32_t>(text.size());
    row.text.append(text);
    return true;
}

void keepAsProblem(Row& row, RowProblem problem, std::string_view shown)
{
    std::string start(startOfText(shown, shownOfProblemRow));
    if (start.size() < shown.size()) {
        start += "\u2026";
    }
    row.problem = problem;
    row.cells.clear();
    row.text = start;
    if (!start.empty()) {
        row.cells.push_back({0, 0, static_cast<std::uint32_t>(start.size()), CellKind::text,
                             CellProblem::none, 0, 0.0});
    }
}

std::optional<std::size_t> columnOfLetters(std::string_view text)
{
    if (text.empty() || text.size() > 3) {
        return std::nullopt;
    }
    std::size_t column = 0;
    for (const char letter : text) {
        const char upper =
            letter >= 'a' && letter <= 'z' ? static_cast<char>(letter - 'a' + 'A') : letter;
        if (upper < 'A' || upper > 'Z') {
            return std::nullopt;
        }
        column = column * 26 + static_cast<std::size_t>(upper - 'A') + 1;
    }
    return column - 1;
}

std::string columnLetters(std::size_t column)
{
    std::string letters;
    for (std::size_t rest = column + 1; rest > 0; rest = (rest - 1) / 26) {
        letters.insert(letters.begin(), static_cast<char>('A' + (rest - 1) % 26));
    }
    return letters;
}
