#include "sheets/sheet_rows.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include <cstdlib>

namespace {

std::string zeroPadded(long number, std::size_t width)
{
    std::string text = std::to_string(number);
    text.insert(0, width - std::min(width, text.size()), '0');
    return text;
}

// Days from 1899-12-30 as spreadsheets count them: Excel's 1900 count has a 29 February
// 1900 that never was, and its 1904 count starts 1,462 days later.
long civilDays(double days, bool from1904)
{
    const long serialDay = std::lround(std::floor(days));
    return serialDay + (from1904 ? 1462 : (serialDay < 60 ? 1 : 0));
}

constexpr long from0000March = 693899; // 1899-12-30, in days from 0000-03-01

// The civil date of a count of days from 1899-12-30 (Howard Hinnant's algorithm).
std::string civilDate(long days)
{
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

// The count of days from 1899-12-30 of a civil date, the inverse of civilDate.
long daysOfCivil(long year, long month, long day)
{
    year -= month <= 2 ? 1 : 0;
    const long era = year / 400;
    const long yearOfEra = year - era * 400;
    const long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - from0000March;
}

bool readsAsDays(double days)
{
    return days >= 0 && days < 3e6;
}

// Reads the number at text's start, of at most most digits, and takes it off text.
std::optional<long> takeNumber(std::string_view& text, std::size_t most)
{
    long number = 0;
    const std::string_view digits = text.substr(0, most);
    const auto read = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (read.ec != std::errc() || read.ptr == digits.data()) {
        return std::nullopt;
    }
    text.remove_prefix(static_cast<std::size_t>(read.ptr - digits.data()));
    return number;
}

bool takeCharacter(std::string_view& text, char character)
{
    if (!text.starts_with(character)) {
        return false;
    }
    text.remove_prefix(1);
    return true;
}

} // namespace

std::uint64_t repeatCount(std::string_view text, std::uint64_t most)
{
    std::uint64_t repeat = 1;
    const auto read = std::from_chars(text.data(), text.data() + text.size(), repeat);
    if (read.ec == std::errc::result_out_of_range) {
        return most;
    }
    return read.ec == std::errc() && repeat > 0 ? std::min(repeat, most) : 1;
}

std::string numberText(double value)
{
    std::array<char, 32> digits{};
    const auto written = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    return {digits.data(), written.ptr};
}

std::string isoDate(double days, bool from1904)
{
    if (!readsAsDays(days) || days < 1) { // no date: the number as it is
        return numberText(days);
    }
    return civilDate(civilDays(days, from1904));
}

std::string isoTime(double days)
{
    if (!readsAsDays(days)) {
        return numberText(days);
    }
    const long seconds = std::lround((days - std::floor(days)) * 86400) % 86400;
    return zeroPadded(seconds / 3600, 2) + ':' + zeroPadded(seconds / 60 % 60, 2) + ':' +
           zeroPadded(seconds % 60, 2);
}

std::string isoDateTime(double days, bool from1904)
{
    if (!readsAsDays(days)) {
        return numberText(days);
    }
    // A time that rounds up to midnight is the next day's.
    const double rounded = std::round(days * 86400) / 86400;
    return civilDate(civilDays(rounded, from1904)) + ' ' + isoTime(rounded);
}

std::optional<double> daysOfIsoDate(std::string_view text)
{
    const auto year = takeNumber(text, 4);
    const bool dashes = takeCharacter(text, '-');
    const auto month = takeNumber(text, 2);
    const bool dash = takeCharacter(text, '-');
    const auto day = takeNumber(text, 2);
    if (!year || !dashes || !month || !dash || !day || *month < 1 || *month > 12 || *day < 1 ||
        *day > 31) {
        return std::nullopt;
    }
    auto days = static_cast<double>(daysOfCivil(*year, *month, *day));
    if (takeCharacter(text, 'T')) {
        const auto hours = takeNumber(text, 2);
        const bool colon = takeCharacter(text, ':');
        const auto minutes = takeNumber(text, 2);
        const double seconds =
            takeCharacter(text, ':') ? std::strtod(std::string(text).c_str(), nullptr) : 0.0;
        if (!hours || !colon || !minutes) {
            return std::nullopt;
        }
        days += (static_cast<double>(*hours * 60 + *minutes) * 60 + seconds) / 86400;
    }
    return days;
}

std::optional<double> daysOfDuration(std::string_view text)
{
    if (!takeCharacter(text, 'P') || !takeCharacter(text, 'T')) {
        return std::nullopt;
    }
    double seconds = 0;
    for (const auto& [unit, scale] :
         std::to_array<std::pair<char, double>>({{'H', 3600.0}, {'M', 60.0}, {'S', 1.0}})) {
        const std::size_t end = text.find(unit);
        if (end == std::string_view::npos) {
            continue;
        }
        const std::string amount(text.substr(0, end));
        char* read = nullptr;
        const double value = std::strtod(amount.c_str(), &read);
        if (amount.empty() || read != amount.c_str() + amount.size()) {
            return std::nullopt;
        }
        seconds += value * scale;
        text.remove_prefix(end + 1);
    }
    return text.empty() ? std::optional<double>(seconds / 86400) : std::nullopt;
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

std::uint16_t formatIndex(std::vector<std::string>& formats, const std::string& code)
{
    if (code.empty() || code == "General") {
        return 0;
    }
    if (formats.empty()) {
        formats.emplace_back(); // 0: none
    }
    const auto found = std::find(formats.begin(), formats.end(), code);
    if (found != formats.end()) {
        return static_cast<std::uint16_t>(found - formats.begin());
    }
    if (formats.size() >= UINT16_MAX) {
        return 0;
    }
    formats.push_back(code);
    return static_cast<std::uint16_t>(formats.size() - 1);
}
