#include "reading.h"

#include <cfenv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <locale>
#include <string>

namespace {

using InputIterator = std::istreambuf_iterator<char>;

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

// Moves the next character of the input to the end of text if accepts says it may go there.
bool takeIf(InputIterator& next, const InputIterator& end, bool (*accepts)(char), std::string& text)
{
    if (next == end || !accepts(*next)) {
        return false;
    }
    text += *next;
    ++next;
    return true;
}

std::string takeNumberText(InputIterator& next, const InputIterator& end)
{
    std::string text;
    takeIf(next, end, isSign, text);
    const std::size_t mantissaStart = text.size();
    while (takeIf(next, end, isDigit, text)) {
    }
    const bool hasPoint = takeIf(next, end, isPoint, text);
    while (takeIf(next, end, isDigit, text)) {
    }
    const bool hasDigit = text.size() > mantissaStart + (hasPoint ? 1 : 0);
    if (hasDigit && takeIf(next, end, isExponentMark, text)) {
        takeIf(next, end, isSign, text);
        while (takeIf(next, end, isDigit, text)) {
        }
    }
    return text;
}

float toGrade(const std::string& text, std::ios_base::iostate& state)
{
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
        const std::string text = takeNumberText(next, end);
        if (next == end) {
            state |= std::ios_base::eofbit;
        }
        value = toGrade(text, state);
        return next;
    }
};

} // namespace

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
