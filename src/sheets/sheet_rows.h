#ifndef BOLETIM_SHEET_ROWS_H
#define BOLETIM_SHEET_ROWS_H

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cells/cell.h"

// A row of a sheet as its reader makes it: once, however many times the sheet repeats it.
struct SheetRow {
    Row row;
    std::uint64_t repeats = 1;
};

using SheetRows = std::deque<SheetRow>;

// The index of a number format's code among a sheet's formats, the code added where it is
// new: 0, none, for the general format or past the 65,535 a cell can name.
std::uint16_t formatIndex(std::vector<std::string>& formats, const std::string& code);

// A repeat count as a sheet's file gives it, at most most: 1 where it is none.
std::uint64_t repeatCount(std::string_view text, std::uint64_t most);

// A number as a cell holds it, in the shortest form that reads back as the same double:
// 7.22 as typed, though a file may keep 7.2199999999999998.
std::string numberText(double value);

// Days counted as spreadsheets count them, from 1899-12-30 (or from 1904-01-01 where
// from1904), and their fraction, as ISO 8601 text: a date, a time, or both.
std::string isoDate(double days, bool from1904 = false);
std::string isoTime(double days);
std::string isoDateTime(double days, bool from1904 = false);

// An ISO 8601 date, with or without a time (2025-03-01, 2025-03-01T10:30:00), in days from
// 1899-12-30; none where it is not one.
std::optional<double> daysOfIsoDate(std::string_view text);

// An ISO 8601 duration of hours, minutes and seconds (PT10H30M00S), in days; none where
// it is not one.
std::optional<double> daysOfDuration(std::string_view text);

// The column, from 0, and row of a reference such as D7; none where it is not one.
std::optional<std::size_t> columnOfReference(std::string_view reference, long& row);

#endif
