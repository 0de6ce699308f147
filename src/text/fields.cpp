#include "text/fields.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "grading/reading.h"

namespace {

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

// Takes the field that starts with a quote at text[next]: what the quotes hold, and what
// follows the closing quote up to the separator. Leaves next at the separator or the end;
// false where text ends inside the quotes.
bool takeQuotedField(std::string_view text, char separator, std::size_t& next, Fields& fields,
                     std::string& unquoted)
{
    const std::size_t start = next + 1;
    const std::size_t close = text.find('"', start);
    // Most quoted fields are a view: no quote doubled inside, and nothing after the closing one.
    if (close != std::string_view::npos &&
        (close + 1 == text.size() || text[close + 1] == separator)) {
        fields.push_back(text.substr(start, close - start));
        next = close + 1;
        return true;
    }
    const std::size_t from = unquoted.size();
    bool inside = true;
    next = start;
    while (inside && next < text.size()) {
        const std::size_t quote = std::min(text.find('"', next), text.size());
        unquoted.append(text.substr(next, quote - next));
        const bool doubled = quote + 1 < text.size() && text[quote + 1] == '"';
        unquoted.append(doubled ? "\"" : "");
        inside = doubled || quote == text.size();
        next = std::min(quote + (doubled ? 2 : 1), text.size());
    }
    const std::size_t end = std::min(text.find(separator, next), text.size());
    unquoted.append(text.substr(next, end - next));
    next = end;
    fields.push_back(std::string_view(unquoted).substr(from));
    return !inside;
}

} // namespace

std::optional<double> plainNumber(std::string_view field)
{
    const std::string_view typed = trimmed(field);
    const std::size_t sign = typed.starts_with('-') ? 1 : 0;
    const std::size_t point = std::min(typed.find_first_of(".,"), typed.size());
    const auto digits = [](std::string_view part) {
        return !part.empty() && std::all_of(part.begin(), part.end(), [](char digit) {
            return digit >= '0' && digit <= '9';
        });
    };
    const std::string_view whole = typed.substr(sign, point - sign);
    const bool fraction = point == typed.size() || digits(typed.substr(point + 1));
    if (!digits(whole) || !fraction || (whole.size() > 1 && whole.front() == '0') ||
        typed.size() > 30) {
        return std::nullopt;
    }
    std::array<char, 32> text{};
    std::replace_copy(typed.begin(), typed.end(), text.begin(), ',', '.');
    return std::strtod(text.data(), nullptr);
}

bool isGrade(std::string_view field)
{
    return readGradeField(field).problem == GradeProblem::none;
}

bool lastAreGrades(const Fields& fields, std::size_t grades)
{
    return fields.size() >= grades &&
           std::all_of(fields.end() - static_cast<std::ptrdiff_t>(grades), fields.end(),
                       [](std::string_view field) { return isGrade(field); });
}

std::size_t filledWidth(const Fields& fields)
{
    const auto lastFilled = std::find_if(fields.rbegin(), fields.rend(),
                                         [](std::string_view field) { return !isBlank(field); });
    return static_cast<std::size_t>(fields.rend() - lastFilled);
}

std::size_t firstFilled(const Fields& fields)
{
    const auto first = std::find_if(fields.begin(), fields.end(),
                                    [](std::string_view field) { return !isBlank(field); });
    return static_cast<std::size_t>(first - fields.begin());
}

bool splitQuotedLine(std::string_view text, char separator, Fields& fields, std::string& unquoted)
{
    fields.clear();
    unquoted.clear();
    unquoted.reserve(text.size()); // never more than text: the views into it stay put
    bool open = false;
    std::size_t next = 0;
    do {
        if (next < text.size() && text[next] == '"') {
            open = !takeQuotedField(text, separator, next, fields, unquoted);
        } else {
            std::size_t end = next; // fields are short: a plain loop, rather than a call
            while (end < text.size() && text[end] != separator) {
                ++end;
            }
            fields.push_back(text.substr(next, end - next));
            next = end;
        }
    } while (next++ < text.size());
    return open;
}

Fields splitWhitespaceLine(std::string_view line, std::size_t gradeWords)
{
    const std::vector<std::string_view> found = words(line);
    if (found.size() < gradeWords + 1) {
        return {found.begin(), found.end()};
    }
    const auto grades = found.end() - static_cast<std::ptrdiff_t>(gradeWords);
    // The identification runs from its first word to the end of the word before the grades.
    const std::string_view lastIdWord = *(grades - 1);
    const auto idLength =
        static_cast<std::size_t>(lastIdWord.data() + lastIdWord.size() - found.front().data());
    Fields fields{std::string_view(found.front().data(), idLength)};
    fields.insert(fields.end(), grades, found.end());
    return fields;
}

GradeField readGradeField(std::string_view field)
{
    const std::string_view typed = trimmed(field);
    if (typed.empty()) {
        return {GradeProblem::empty, 0.0f, {}};
    }
    // The grade with a point for a comma: in a small array, as grades are short.
    constexpr std::size_t shortGrade = 32;
    std::array<char, shortGrade> shortText{};
    std::string longText;
    char* text = shortText.data();
    if (typed.size() > shortText.size()) {
        longText.resize(typed.size());
        text = longText.data();
    }
    std::replace_copy(typed.begin(), typed.end(), text, ',', '.');
    const GradeText read = readGradeText({text, typed.size()});
    if (read.length != typed.size() || (read.failed && read.grade == 0.0f)) {
        return {GradeProblem::notANumber, read.grade, {}};
    }
    const ExactGrade exact = exactGrade({text, typed.size()});
    if (read.failed) { // the reader stores the largest float of the sign
        return {GradeProblem::tooLarge, read.grade, exact};
    }
    return {GradeProblem::none, read.grade, exact};
}

GradeField readGradeField(std::string_view field, GradeFields& read)
{
    if (field.empty() || field.size() > GradeFields::longest) {
        return readGradeField(field);
    }
    std::uint32_t hash = 2166136261U; // FNV-1a
    for (const char character : field) {
        hash = (hash ^ static_cast<unsigned char>(character)) * 16777619U;
    }
    GradeFields::Read& kept = read.kept.at(hash % read.kept.size());
    if (std::string_view(kept.text.data(), kept.length) != field) {
        kept.grade = readGradeField(field);
        kept.length = static_cast<std::uint8_t>(field.copy(kept.text.data(), kept.text.size()));
    }
    return kept.grade;
}

std::optional<int> decimalsTypedIn(std::string_view number)
{
    const std::size_t mark = number.find_first_of(".,");
    if (mark == std::string_view::npos) {
        return std::nullopt;
    }
    return static_cast<int>(number.size() - mark - 1);
}
