#ifndef BOLETIM_CELL_H
#define BOLETIM_CELL_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A class's cells as its file holds them, whichever reader read them: a text file's
// fields are text, a spreadsheet's cells are of the kind its file says. Every reader
// yields rows of these, and every decision and every writer reads them.

enum class CellKind : std::uint8_t { empty, text, number, boolean, date, time, dateTime, error };

// A cell whose value the file does not hold: a formula saved without its value, or a
// reference to a shared text that is not there.
enum class CellProblem : std::uint8_t { none, formulaWithoutValue, brokenReference };

struct Cell {
    std::uint32_t column = 0; // from 0
    // Its text, in its row's: as typed, or as the file shows a value (7.22, 000123,
    // 2025-03-01, VERDADEIRO, #DIV/0!). An empty cell may keep the blanks typed in it.
    std::uint32_t textStart = 0;
    std::uint32_t textSize = 0;
    CellKind kind = CellKind::empty;
    CellProblem problem = CellProblem::none;
    std::uint16_t format = 0; // its number format, by index in its source's; 0 for none
    // Of a number, a boolean (1 or 0), a date or a time: the value, dates and times in
    // days from 1899-12-30 and fractions of a day, as spreadsheets count them.
    double number = 0;
};

// A row too long or too wide is kept as an error row: no cells but its start, as text,
// in its first column.
enum class RowProblem : std::uint8_t { none, tooLong, tooWide, nullByte, openQuote };

// A sheet has at most this many columns, and no row of a class holds anywhere near this
// much text: past either, a row is no row of a class, and what is read of it stops.
constexpr std::size_t mostColumns = 16384;
constexpr std::size_t longestRow = std::size_t{1} << 20U;

struct Row {
    // Where the row is in the reading, from 0: what tells rows apart, since a file may
    // give two rows the same number.
    std::uint64_t position = 0;
    long number = 0; // the line, or the sheet's row, that a message names
    RowProblem problem = RowProblem::none;
    bool unknownValues = false; // whether a cell's value is not in the file
    std::string text;           // the cells' texts
    std::vector<Cell> cells;    // in column order; a text's blank fields are cells, a sheet's not

    [[nodiscard]] std::string_view textOf(const Cell& cell) const
    {
        return {text.data() + cell.textStart, cell.textSize}; // its reader put it there
    }
    // The cell in column, or null where there is none. Asked of every cell: most rows have
    // a cell in every column, found at once.
    [[nodiscard]] const Cell* at(std::size_t column) const
    {
        if (column < cells.size() && cells[column].column == column) {
            return &cells[column];
        }
        return search(column);
    }
    // Its text, or nothing.
    [[nodiscard]] std::string_view textAt(std::size_t column) const;
    // Up to its last cell, filled or not.
    [[nodiscard]] std::size_t width() const
    {
        return cells.empty() ? 0 : std::size_t{cells.back().column} + 1;
    }

  private:
    [[nodiscard]] const Cell* search(std::size_t column) const;
};

// Whether a cell holds a value: not empty, blank or missing its value.
inline bool isFilled(const Cell& cell)
{
    return cell.kind != CellKind::empty;
}

// The column of the first filled cell, or mostColumns where none is.
std::size_t firstFilled(const Row& row);

// Up to the last filled cell: 0 where none is.
std::size_t filledWidth(const Row& row);

std::size_t filledCount(const Row& row);

// Whether a filled cell holds a number or text, as a grade may be.
inline bool mayBeGrade(const Cell& cell)
{
    return cell.kind == CellKind::text || cell.kind == CellKind::number;
}

// A column as a spreadsheet names it, from 0: A, B, ..., Z, AA, ...
std::string columnLetters(std::size_t column);

// The column that letters name, as a spreadsheet does (C, aa), from 0; none for other text.
std::optional<std::size_t> columnOfLetters(std::string_view text);

// Starts row afresh, for its reader to fill.
void startRow(Row& row, std::uint64_t position, long number);

// Adds a cell to row, its text copied, within the limits of a row; false where the row
// has just gone past them, and row.problem says which. Cells come in column order.
bool addCell(Row& row, const Cell& cell, std::string_view text);

// Makes row an error row of problem: its cells gone, the start of its text, shown, in
// its first column.
void keepAsProblem(Row& row, RowProblem problem, std::string_view shown);

#endif
