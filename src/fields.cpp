#include "fields.h"

#include <algorithm>
#include <sstream>

#include "reading.h"

namespace {

// The white space of the C locale; a line end is one too in a quoted field of two lines.
bool isBlankCharacter(char character)
{
    return character == ' ' || character == '\t' || character == '\n' || character == '\r' ||
           character == '\v' || character == '\f';
}

std::vector<std::string_view> words(std::string_view line)
{
    std::vector<std::string_view> found;
    std::size_t next = 0;
    while (next < line.size()) {
        if (isBlankCharacter(line[next])) {
            ++next;
            continue;
        }
        std::size_t end = next;
        while (end < line.size() && !isBlankCharacter(line[end])) {
            ++end;
        }
        found.push_back(line.substr(next, end - next));
        next = end;
    }
    return found;
}

} // namespace

bool isGrade(std::string_view field)
{
    return readGradeField(field).problem == GradeProblem::none;
}

bool lastThreeAreGrades(const std::vector<std::string>& fields)
{
    return fields.size() >= 3 &&
           std::all_of(fields.end() - 3, fields.end(),
                       [](const std::string& field) { return isGrade(field); });
}

bool isBlank(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), isBlankCharacter);
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlankCharacter(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlankCharacter(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::size_t filledWidth(const std::vector<std::string>& fields)
{
    const auto lastFilled = std::find_if(fields.rbegin(), fields.rend(),
                                         [](const std::string& field) { return !isBlank(field); });
    return static_cast<std::size_t>(fields.rend() - lastFilled);
}

std::size_t literalWidth(std::string_view line, char separator)
{
    return static_cast<std::size_t>(std::count(line.begin(), line.end(), separator)) + 1;
}

char detectSeparator(std::string_view firstLine)
{
    for (const char separator : {';', '\t', ','}) {
        std::vector<std::string> fields;
        splitQuotedLine(firstLine, separator, fields, false);
        const bool decimalCommas =
            separator == ',' && lastThreeAreGrades(splitWhitespaceLine(firstLine));
        if (fields.size() >= 4 && !decimalCommas) {
            return separator;
        }
    }
    return whitespaceSeparated;
}

bool splitQuotedLine(std::string_view line, char separator, std::vector<std::string>& fields,
                     bool continuing)
{
    bool insideQuotes = continuing;
    bool atFieldStart = !continuing;
    if (continuing) {
        fields.back() += '\n';
    } else {
        fields.emplace_back();
    }
    for (std::size_t next = 0; next < line.size(); ++next) {
        const char character = line[next];
        if (insideQuotes) {
            if (character != '"') {
                fields.back() += character;
            } else if (next + 1 < line.size() && line[next + 1] == '"') {
                fields.back() += '"';
                ++next;
            } else {
                insideQuotes = false;
            }
        } else if (character == separator) {
            fields.emplace_back();
            atFieldStart = true;
            continue;
        } else if (character == '"' && atFieldStart) {
            insideQuotes = true;
        } else {
            fields.back() += character;
        }
        atFieldStart = false;
    }
    return insideQuotes;
}

std::vector<std::string> splitWhitespaceLine(std::string_view line)
{
    const std::vector<std::string_view> found = words(line);
    if (found.size() < 4) {
        return {found.begin(), found.end()};
    }
    const auto grades = found.end() - 3;
    // The identification runs from its first word to the end of the word before the grades.
    const std::string_view lastIdWord = *(grades - 1);
    const auto idLength =
        static_cast<std::size_t>(lastIdWord.data() + lastIdWord.size() - found.front().data());
    std::vector<std::string> fields{std::string(found.front().data(), idLength)};
    fields.insert(fields.end(), grades, found.end());
    return fields;
}

GradeField readGradeField(std::string_view field)
{
    // Made once: a stream with its own locale is costly to make, and a class has many grades.
    static std::istringstream stream = [] {
        std::istringstream made;
        useGradeReader(made);
        return made;
    }();
    std::string text(trimmed(field));
    if (text.empty()) {
        return {GradeProblem::empty, 0.0f};
    }
    std::replace(text.begin(), text.end(), ',', '.');
    stream.clear();
    stream.str(text);
    float grade = 0.0f;
    stream >> grade;
    const bool wholeField = stream.rdbuf()->sgetc() == std::istringstream::traits_type::eof();
    if (!wholeField || (stream.fail() && grade == 0.0f)) {
        return {GradeProblem::notANumber, grade};
    }
    if (stream.fail()) { // the reader stores the largest float of the sign
        return {GradeProblem::tooLarge, grade};
    }
    return {GradeProblem::none, grade};
}
