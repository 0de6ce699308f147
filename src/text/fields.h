#ifndef BOLETIM_FIELDS_H
#define BOLETIM_FIELDS_H

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "grading/reading.h"

// A class file has one student a line: fields that identify the student, then three
// grades, and maybe other columns.

// A row's fields: views into the text they were split from.
using Fields = std::vector<std::string_view>;

// Splits text at separator into fields: views into text or, for a field whose quotes had to
// be taken out, into unquoted, which this fills. A quoted field may hold the separator,
// line ends and "" for one ". True where text ends inside quotes.
bool splitQuotedLine(std::string_view text, char separator, Fields& fields, std::string& unquoted);

// The whitespace form: the last gradeWords words (three, or one a weight) are the grades
// and the text before them, spaces included, the identification. A line of no more words
// than that gives its words.
Fields splitWhitespaceLine(std::string_view line, std::size_t gradeWords = 3);

// The white space of the C locale; a line end is one too in a quoted field of two lines.
constexpr bool isBlankCharacter(char character)
{
    return character <= ' ' && (character == ' ' || (character >= '\t' && character <= '\r'));
}

// Asked of every field: inline, and most fields are short and not blank.
inline bool isBlank(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), isBlankCharacter);
}

// text without the blanks around it.
inline std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlankCharacter(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlankCharacter(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// How many fields there are up to the last that is not blank.
std::size_t filledWidth(const Fields& fields);

// Where the first field that is not blank is; fields.size() where there is none.
std::size_t firstFilled(const Fields& fields);

enum class GradeProblem { none, empty, notANumber, tooLarge };

struct GradeField {
    GradeProblem problem;
    float grade;      // in single precision, as boletim reads it
    ExactGrade exact; // as typed, where it is a number
};

// A grade field: blanks around one number read by the program's own grade rules, with a
// decimal comma accepted as well as a point; exactly, and as the nearest float.
GradeField readGradeField(std::string_view field);

// The grade fields read last, by their text: a class types the same grades again and
// again, and reading one is the costliest step of a row.
struct GradeFields {
    static constexpr std::size_t longest = 15;
    struct Read {
        std::array<char, longest> text{};
        std::uint8_t length = 0; // 0 where nothing is kept
        GradeField grade{};
    };
    std::vector<Read> kept = std::vector<Read>(4096);
};

// The same, looked up first among the fields read last.
GradeField readGradeField(std::string_view field, GradeFields& read);

// A plain decimal number, as a teacher types one in a column of numbers: a sign, digits
// with no leading zero, and a decimal point or comma with digits after it; its value, or
// none. 00123 is no number here but a text with its zeros.
std::optional<double> plainNumber(std::string_view field);

// The decimals typed after a number's decimal point or comma (6,50 two); none for a whole
// number.
std::optional<int> decimalsTypedIn(std::string_view number);

// Whether there are at least grades fields and the last grades of them are grades.
bool lastAreGrades(const Fields& fields, std::size_t grades);

bool isGrade(std::string_view field);

#endif
