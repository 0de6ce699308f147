#include "grading/reading.h"

#include <array>
#include <cfenv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <locale>
#include <optional>
#include <string>
#include <string_view>

namespace {

bool isSign(char character)
{
    return character == '+' || character == '-';
}

bool isDigit(char character)
{
    return character >= '0' && character <= '9';
}

bool isPoint(char character)
{
    return character == '.';
}

bool isExponentMark(char character)
{
    return character == 'e' || character == 'E';
}

// Takes the next character of the input, and hands it to take, if accepts says it may go
// on the number; counts what it takes.
template <typename Iterator, typename Take>
bool takeIf(Iterator& next, const Iterator& end, bool (*accepts)(char), Take& take,
            std::size_t& taken)
{
    if (next == end || !accepts(*next)) {
        return false;
    }
    take(*next);
    ++next;
    ++taken;
    return true;
}

// The grammar of a grade, the one both programs read by: from a stream or from a field.
// Each character of the number goes to take, which a stream's reader keeps.
template <typename Iterator, typename Take>
void takeNumberText(Iterator& next, const Iterator& end, Take take)
{
    std::size_t taken = 0;
    takeIf(next, end, isSign, take, taken);
    const std::size_t mantissaStart = taken;
    while (takeIf(next, end, isDigit, take, taken)) {
    }
    const bool hasPoint = takeIf(next, end, isPoint, take, taken);
    while (takeIf(next, end, isDigit, take, taken)) {
    }
    const bool hasDigit = taken > mantissaStart + (hasPoint ? 1 : 0);
    if (hasDigit && takeIf(next, end, isExponentMark, take, taken)) {
        takeIf(next, end, isSign, take, taken);
        while (takeIf(next, end, isDigit, take, taken)) {
        }
    }
}

// The digits of a number text as a whole number, and the power of ten that scales them.
struct Decimal {
    bool negative = false;
    std::uint64_t digits = 0;
    int scale = 0;
};

// Appends the digits at next to decimal's, counting them in scale where afterPoint; false
// where they come to more than the quick conversion takes.
bool takeDigits(const char*& next, const char* end, Decimal& decimal, bool afterPoint)
{
    constexpr std::uint64_t fewDigits = std::uint64_t{1} << 24U;
    for (; next != end && isDigit(*next); ++next) {
        decimal.digits = decimal.digits * 10 + static_cast<std::uint64_t>(*next - '0');
        decimal.scale -= afterPoint ? 1 : 0;
        if (decimal.digits > fewDigits) {
            return false;
        }
    }
    return true;
}

// text, which the grammar took, as digits and a scale; none where it has no digit, more
// digits or a larger exponent than the quick conversion takes, or no digits after the
// exponent mark, as in "1e".
std::optional<Decimal> asDecimal(std::string_view text)
{
    constexpr std::size_t longestExponent = 3;
    Decimal decimal;
    const char* next = text.data();
    const char* const end = next + text.size();
    decimal.negative = next != end && *next == '-';
    next += next != end && isSign(*next) ? 1 : 0;
    const char* const mantissa = next;
    if (!takeDigits(next, end, decimal, false) ||
        (next != end && isPoint(*next) && !takeDigits(++next, end, decimal, true))) {
        return std::nullopt;
    }
    const auto mantissaLength = static_cast<std::size_t>(next - mantissa);
    if (mantissaLength == 0 || (mantissaLength == 1 && isPoint(*mantissa))) {
        return std::nullopt;
    }
    if (next == end) {
        return decimal;
    }
    const std::string_view exponent(next + 1, static_cast<std::size_t>(end - next - 1));
    const std::string_view digits =
        exponent.substr(!exponent.empty() && isSign(exponent.front()) ? 1 : 0);
    if (digits.empty() || digits.size() > longestExponent) {
        return std::nullopt;
    }
    int power = 0;
    for (const char digit : digits) {
        power = power * 10 + (digit - '0');
    }
    decimal.scale += exponent.starts_with('-') ? -power : power;
    return decimal;
}

// The nearest float to a number text, without strtof where its digits are a whole number
// up to 2^24 and its power of ten within 10^10: both are then floats, so one division or
// multiplication gives the nearest float, and doing it in double precision, rounded to
// float, rounds as once, since a double has more than twice a float's digits.
std::optional<float> quicklyNearestFloat(std::string_view text)
{
    constexpr auto powersOfTen =
        std::to_array<double>({1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10});
    const auto decimal = asDecimal(text);
    if (!decimal || std::abs(decimal->scale) >= static_cast<int>(powersOfTen.size())) {
        return std::nullopt;
    }
    const auto digits = static_cast<double>(decimal->digits);
    const double power = powersOfTen.at(static_cast<std::size_t>(std::abs(decimal->scale)));
    const auto magnitude = static_cast<float>(decimal->scale < 0 ? digits / power : digits * power);
    return decimal->negative ? -magnitude : magnitude;
}

float toGrade(std::string_view number, std::ios_base::iostate& state)
{
    if (const auto quick = quicklyNearestFloat(number)) {
        return *quick;
    }
    const std::string text(number);
    char* converted = nullptr;
    const float value = std::strtof(text.c_str(), &converted);
    if (converted == text.c_str() || *converted != '\0') {
        state |= std::ios_base::failbit;
        return 0.0f;
    }
    // The text has no letters but the exponent mark, so infinity means too large.
    if (std::isinf(value)) {
        state |= std::ios_base::failbit;
        return std::copysign(std::numeric_limits<float>::max(), value);
    }
    return value;
}

// The standard's hook for numeric input: every operator>> on a float goes through this.
class GradeReader : public std::num_get<char> {
  protected:
    using std::num_get<char>::do_get;

    iter_type do_get(iter_type next, iter_type end, std::ios_base& /*stream*/,
                     std::ios_base::iostate& state, float& value) const override
    {
        state = std::ios_base::goodbit;
        std::string text;
        takeNumberText(next, end, [&text](char character) { text += character; });
        if (next == end) {
            state |= std::ios_base::eofbit;
        }
        value = toGrade(text, state);
        return next;
    }
};

} // namespace

GradeText readGradeText(std::string_view text)
{
    const char* next = text.data();
    takeNumberText(next, text.data() + text.size(), [](char /*taken*/) {});
    const std::string_view number = text.substr(0, static_cast<std::size_t>(next - text.data()));
    std::ios_base::iostate state = std::ios_base::goodbit;
    const float value = toGrade(number, state);
    return {value, number.size(), (state & std::ios_base::failbit) != 0};
}

namespace {

constexpr std::uint64_t mostExactDigits = 1'000'000'000'000'000'000U; // 10^18

// The digits before the exponent into grade, from next, which it leaves at the exponent.
void takeExactDigits(std::string_view number, std::size_t& next, ExactGrade& grade)
{
    int afterPoint = -1;
    for (; next < number.size() && number[next] != 'e' && number[next] != 'E'; ++next) {
        const char character = number[next];
        if (character == '.' || character == ',') {
            afterPoint = 0;
        } else if (grade.digits >= mostExactDigits) { // past the reach: only zeros count
            grade.withinReach = grade.withinReach && character == '0';
            grade.exponent += afterPoint < 0 ? 1 : 0;
        } else {
            grade.digits = grade.digits * 10 + static_cast<std::uint64_t>(character - '0');
            grade.exponent -= afterPoint >= 0 ? 1 : 0;
        }
    }
}

// The exponent's power from next, at the 'e'; digits beyond five are out of reach anyway.
int exponentOf(std::string_view number, std::size_t next)
{
    if (next >= number.size()) {
        return 0;
    }
    const bool negative = next + 1 < number.size() && number[next + 1] == '-';
    int power = 0;
    for (++next; next < number.size(); ++next) {
        const char character = number[next];
        if (character >= '0' && character <= '9') {
            power = std::min(power * 10 + (character - '0'), 99'999);
        }
    }
    return negative ? -power : power;
}

} // namespace

ExactGrade exactGrade(std::string_view number)
{
    constexpr auto powersOfTen = std::to_array<std::uint64_t>(
        {1, 10, 100, 1'000, 10'000, 100'000, 1'000'000, 10'000'000, 100'000'000, 1'000'000'000,
         10'000'000'000, 100'000'000'000, 1'000'000'000'000, 10'000'000'000'000,
         100'000'000'000'000, 1'000'000'000'000'000, 10'000'000'000'000'000,
         100'000'000'000'000'000});
    ExactGrade grade;
    std::size_t next = 0;
    grade.negative = next < number.size() && number[next] == '-';
    next += next < number.size() && (number[next] == '-' || number[next] == '+') ? 1U : 0U;
    takeExactDigits(number, next, grade);
    grade.exponent += exponentOf(number, next);
    while (grade.digits != 0 && grade.digits % 10 == 0) {
        grade.digits /= 10;
        ++grade.exponent;
    }
    grade.exponent = grade.digits == 0 ? 0 : grade.exponent;
    // At most 18 decimals (a spreadsheet keeps 17 digits of a formula's value), and less
    // than 10^9: digits × 10^exponent < 10^9.
    const int wholeDigits = 9 - grade.exponent;
    grade.withinReach =
        grade.withinReach && grade.exponent >= -18 && wholeDigits >= 0 &&
        (wholeDigits >= 18 || grade.digits < powersOfTen.at(static_cast<std::size_t>(wholeDigits)));
    return grade;
}

void useGradeNumbers()
{
    std::setlocale(LC_NUMERIC, "C");
    std::fesetenv(FE_DFL_ENV);
}

void useGradeReader(std::istream& input)
{
    // The locale owns the facet and deletes it with its last copy.
    input.imbue(std::locale(input.getloc(), new GradeReader));
}

std::istream& stopOnReadError(std::istream& input)
{
    if (std::ferror(stdin) != 0) {
        input.setstate(std::ios_base::badbit);
    }
    return input;
}
