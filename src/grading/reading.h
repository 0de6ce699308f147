#ifndef BOLETIM_READING_H
#define BOLETIM_READING_H

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string_view>

// From now on a float read from input takes exactly: an optional sign, digits with at most
// one point, and an exponent (e or E, after a digit) with an optional sign and digits. The
// first character that cannot continue the number stays in the input. The text becomes
// the nearest float. Not a complete number stores 0 and fails; too large stores the
// largest float of its sign and fails; too small stores the rounded value. The same on
// every C++ library. The conversion is C's: it needs the process as useGradeNumbers
// leaves it.
void useGradeReader(std::istream& input);

// The same read on the start of text, which is not skipped for blanks: the value, how
// many characters it took, and whether it failed as the stream would fail.
struct GradeText {
    float grade;
    std::size_t length;
    bool failed;
};
GradeText readGradeText(std::string_view text);

// A grade exactly: ±digits × 10^exponent, its digits without trailing zeros; within reach
// of an exact mean where it has at most 18 decimals and is less than 10^9 either way.
struct ExactGrade {
    std::uint64_t digits = 0;
    int exponent = 0;
    bool negative = false;
    bool withinReach = true;
};

// The exact value of a number text of the grade grammar (digits, a point, an exponent),
// as readGradeText has taken it; a decimal comma reads as a point.
ExactGrade exactGrade(std::string_view number);

// What a program that reads, computes and writes grades needs of its process, called at
// the start of main after any setlocale: LC_NUMERIC back to "C", where the point is the
// decimal point, and the default floating-point environment, since a fast-math build
// links start-up code that flushes subnormal results to zero.
void useGradeNumbers();

// A manipulator that sets badbit on input when standard input had a read error. Some C++
// libraries read standard input with getc, which ends a read at a read error as it would
// at the end of the input; the C stream's error indicator tells the two apart.
std::istream& stopOnReadError(std::istream& input);

#endif
