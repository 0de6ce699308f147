#ifndef BOLETIM_SHEET_ROWS_H
#define BOLETIM_SHEET_ROWS_H

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A row of a sheet as its reader makes it, cell by cell, before it is a record.
struct SheetRow {
    long number = 0; // as the sheet shows it, from 1
    std::vector<std::string> cells;
    std::vector<std::size_t> uncomputed; // cells whose formula has no value kept
    std::size_t bytes = 0;
    bool tooLong = false; // more than a line of text may hold; its start is kept
};

using SheetRows = std::deque<SheetRow>;

// A sheet has at most this many rows.
constexpr long mostSheetRows = 1048576;

// Puts text in row's cell at column, blank cells before it; past a sheet's columns or a
// line's length, the row is marked and keeps what it had.
void placeCell(SheetRow& row, std::size_t column, std::string_view text);

// A number as a cell holds it, in the shortest form that reads back as the same double:
// 7.22 as typed, though a file may keep 7.2199999999999998.
std::string numberText(double value);

// A day counted as spreadsheets count them (Excel's, from 1900 or 1904) as ISO 8601.
std::string isoDate(double serial, bool from1904);

// The column, from 0, and row of a reference such as D7; none where it is not one.
std::optional<std::size_t> columnOfReference(std::string_view reference, long& row);

#endif
