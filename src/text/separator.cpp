#include "text/separator.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <utility>

#include "text/fields.h"

namespace {

// "sep=;" alone on the first line, as Excel writes it: the separator, or none.
std::optional<char> separatorNamed(std::string_view line)
{
    const std::string_view text = trimmed(line);
    constexpr std::string_view directive = "sep=";
    if (text.size() != directive.size() + 1 ||
        !std::equal(directive.begin(), directive.end(), text.begin(), [](char typed, char wanted) {
            return (typed >= 'A' && typed <= 'Z' ? typed - 'A' + 'a' : typed) == wanted;
        })) {
        return std::nullopt;
    }
    const char named = text.back();
    return named == '"' ? std::nullopt : std::optional<char>(named);
}

} // namespace

char separatorOfLine(std::string_view line, std::size_t fewestFields)
{
    for (const char separator : {';', '\t', ','}) {
        Fields fields;
        std::string unquoted;
        splitQuotedLine(line, separator, fields, unquoted);
        const bool decimalCommas =
            separator == ',' &&
            lastAreGrades(splitWhitespaceLine(line, fewestFields - 1), fewestFields - 1);
        if (fields.size() >= fewestFields && !decimalCommas) {
            return separator;
        }
    }
    return whitespaceSeparated;
}

SeparatorChoice chooseSeparator(const std::vector<Line>& firstLines, std::size_t fewestFields)
{
    if (!firstLines.empty()) {
        if (const auto named = separatorNamed(firstLines.front().text)) {
            return {*named, true};
        }
    }
    auto votes = std::to_array<std::pair<char, int>>(
        {{';', 0}, {'\t', 0}, {',', 0}, {whitespaceSeparated, 0}});
    for (const Line& line : firstLines) {
        const char separator = separatorOfLine(line.text, fewestFields);
        const bool isRow =
            separator != whitespaceSeparated ||
            lastAreGrades(splitWhitespaceLine(line.text, fewestFields - 1), fewestFields - 1);
        if (line.problem == LineProblem::none && isRow) {
            ++std::find_if(votes.begin(), votes.end(), [separator](const auto& vote) {
                  return vote.first == separator;
              })->second;
        }
    }
    const auto& most =
        *std::max_element(votes.begin(), votes.end(), [](const auto& less, const auto& more) {
            return less.second < more.second;
        });
    return {most.second > 0 ? most.first : whitespaceSeparated, false};
}
