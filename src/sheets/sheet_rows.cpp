#include "sheets/sheet_rows.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "class/layout.h"
#include "text/lines.h"

void placeCell(SheetRow& row, std::size_t column, std::string_view text)
{
    if (row.tooLong || row.cells.size() > mostColumns) {
        return;
    }
    if (column > mostColumns) { // one cell past, so that the row reads as too wide
        column = mostColumns;
    }
    if (row.bytes + text.size() > longestLine) {
        row.tooLong = true;
        return;
    }
    if (row.cells.size() <= column) {
        row.cells.resize(column + 1);
    }
    row.cells[column] = text;
    row.bytes += text.size() + 1;
}

std::string numberText(double value)
{
    std::array<char, 32> digits{};
    const auto written = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    return {digits.data(), written.ptr};
}

namespace {

std::string zeroPadded(long number, std::size_t width)
{
    std::string text = std::to_string(number);
    text.insert(0, width - std::min(width, text.size()), '0');
    return text;
}

} // namespace

std::string isoDate(double serial, bool from1904)
{
    if (!(serial >= 1 && serial < 3e6)) { // no date: the number as it is
        return numberText(serial);
    }
    // Days from 1899-12-30; Excel's 1900 count has a 29 February 1900 that never was, and
    // its 1904 count starts 1,462 days later.
    const long serialDay = std::lround(std::floor(serial));
    const long days = serialDay + (from1904 ? 1462 : (serialDay < 60 ? 1 : 0));
    // The civil date of a count of days (Howard Hinnant's algorithm, from 0000-03-01).
    constexpr long from0000March = 693899; // 1899-12-30, in days from 0000-03-01
    const long since = days + from0000March;
    const long era = since / 146097;
    const long dayOfEra = since - era * 146097;
    const long yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long monthIndex = (5 * dayOfYear + 2) / 153;
    const long day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    const long month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    const long year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    std::string date = zeroPadded(year, 4);
    date.append("-").append(zeroPadded(month, 2)).append("-").append(zeroPadded(day, 2));
    return date;
}

std::optional<std::size_t> columnOfReference(std::string_view reference, long& row)
{
    const std::size_t letters =
        std::min(reference.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), reference.size());
    const auto column = columnOfLetters(reference.substr(0, letters));
    long number = 0;
    const char* end = reference.data() + reference.size();
    const auto digits = std::from_chars(reference.data() + letters, end, number);
    if (!column || digits.ec != std::errc() || digits.ptr != end) {
        return std::nullopt;
    }
    row = number;
    return column;
}
