#ifndef BOLETIM_FIELDS_H
#define BOLETIM_FIELDS_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// A class file has one student a line: fields that identify the student, then three
// grades. Its fields are separated by ';', '\t' or ',', quoted as spreadsheets quote them,
// or else by whitespace.
constexpr char whitespaceSeparated = ' ';

// The separator of a file whose first non-blank line is firstLine: the first of ';', tab
// and ',' that splits it into at least four fields, unless the line reads as a student in
// the whitespace form (where a comma is a decimal comma); otherwise whitespace.
char detectSeparator(std::string_view firstLine);

// Splits line at separator, appending its fields to fields. A quoted field may hold the
// separator, "" for one ", and line ends: when line ends inside one, this returns true,
// and the next line is split with continuing set, which goes on with the last field.
bool splitQuotedLine(std::string_view line, char separator, std::vector<std::string>& fields,
                     bool continuing);

// The whitespace form: the last three words are the grades and the text before them,
// spaces included, the identification. A line of fewer than four words gives its words.
std::vector<std::string> splitWhitespaceLine(std::string_view line);

bool isBlank(std::string_view text);

// text without the blanks around it.
std::string_view trimmed(std::string_view text);

// How many fields there are up to the last that is not blank.
std::size_t filledWidth(const std::vector<std::string>& fields);

// How many fields line has when its quotes are taken as plain characters.
std::size_t literalWidth(std::string_view line, char separator);

enum class GradeProblem { none, empty, notANumber, tooLarge };

struct GradeField {
    GradeProblem problem;
    float grade;
};

// A grade field: blanks around one number read by the program's own grade rules, with a
// decimal comma accepted as well as a point.
GradeField readGradeField(std::string_view field);

// Whether there are at least three fields and the last three are grades.
bool lastThreeAreGrades(const std::vector<std::string>& fields);

bool isGrade(std::string_view field);

#endif
