#include "text/records.h"

#include <algorithm>
#include <functional>
#include <iterator>

#include "text/fields.h"
#include "text/separator.h"

namespace {

bool nextLine(RecordReader& reader, Line& line)
{
    if (!reader.pending.empty()) {
        line = std::move(reader.pending.front());
        reader.pending.pop_front();
        return true;
    }
    return reader.lines != nullptr && readLine(*reader.lines, line);
}

RecordProblem problemOf(const Line& line)
{
    switch (line.problem) {
    case LineProblem::tooLong:
        return RecordProblem::tooLong;
    case LineProblem::nullByte:
        return RecordProblem::nullByte;
    default:
        return RecordProblem::none;
    }
}

// Joins to record the lines that its open quote runs over; false where the quote does
// not close within the limits, which leaves the lines it took in taken.
bool closeQuote(RecordReader& reader, Record& record, std::vector<Line>& taken)
{
    bool open = true;
    while (open && taken.size() < mostLinesOfAField && record.text.size() <= longestQuotedText) {
        Line line;
        if (!nextLine(reader, line)) {
            return false;
        }
        taken.push_back(std::move(line));
        if (taken.back().problem != LineProblem::none) {
            return false;
        }
        record.text += '\n';
        record.text += taken.back().text;
        open = splitQuotedLine(record.text, reader.separator, record.fields, record.unquoted);
    }
    return !open;
}

// Whether field is a view into text; pointers into different arrays compared by std::less.
bool isWithin(std::string_view field, std::string_view text)
{
    const std::less_equal<> notAfter;
    return notAfter(text.data(), field.data()) &&
           notAfter(field.data() + field.size(), text.data() + text.size());
}

// A line split alone that is a row by itself: three fields or more, two of them grades,
// and no quote but around a whole field. A cell of several lines holds text, not that.
bool isRowOfItsOwn(std::string_view line, char separator)
{
    Fields fields;
    std::string unquoted;
    if (splitQuotedLine(line, separator, fields, unquoted) || fields.size() < 3) {
        return false;
    }
    const bool strayQuote =
        std::any_of(fields.begin(), fields.end(), [line](std::string_view field) {
            return isWithin(field, line) && field.find('"') != std::string_view::npos;
        });
    return !strayQuote && std::count_if(fields.begin(), fields.end(), isGrade) >= 2;
}

// Whether the quote that the last line closes is followed by a separator or the line's
// end, as a field's closing quote is; "" inside is a quote of the text.
bool closesAField(std::string_view last, char separator)
{
    std::size_t quote = last.find('"');
    while (quote != std::string_view::npos && quote + 1 < last.size() && last[quote + 1] == '"') {
        quote = last.find('"', quote + 2);
    }
    return quote == std::string_view::npos || quote + 1 == last.size() ||
           last[quote + 1] == separator;
}

bool isStrayQuote(const RecordReader& reader, const std::vector<Line>& taken)
{
    return !closesAField(taken.back().text, reader.separator) ||
           std::any_of(taken.begin(), taken.end(), [&reader](const Line& line) {
               return isRowOfItsOwn(line.text, reader.separator);
           });
}

// A view of the same place in copy's text as field has in from's.
std::string_view rebased(std::string_view field, const std::string& from, const std::string& copy)
{
    const auto offset = static_cast<std::size_t>(field.data() - from.data());
    return std::string_view(copy).substr(offset, field.size());
}

} // namespace

bool readRecord(RecordReader& reader, Record& record)
{
    Line& first = reader.line;
    if (!nextLine(reader, first)) {
        return false;
    }
    record.line = first.number;
    record.problem = problemOf(first);
    record.uncomputed.clear();
    record.text.swap(first.text);
    if (record.problem != RecordProblem::none) {
        record.fields.clear();
        return true;
    }
    if (reader.separator == whitespaceSeparated) {
        record.fields = splitWhitespaceLine(record.text, reader.gradeWords);
        return true;
    }
    if (!splitQuotedLine(record.text, reader.separator, record.fields, record.unquoted)) {
        return true;
    }
    const std::size_t firstLength = record.text.size();
    std::vector<Line> taken;
    if (closeQuote(reader, record, taken) && !isStrayQuote(reader, taken)) {
        return true;
    }
    reader.pending.insert(reader.pending.begin(), std::make_move_iterator(taken.begin()),
                          std::make_move_iterator(taken.end()));
    record.text.resize(firstLength);
    record.fields.clear();
    record.problem = RecordProblem::openQuote;
    return true;
}

void copyRecord(const Record& from, Record& copy)
{
    copy.text = from.text;
    copy.unquoted = from.unquoted;
    copy.line = from.line;
    copy.problem = from.problem;
    copy.uncomputed = from.uncomputed;
    copy.exactColumns = from.exactColumns;
    copy.fields.clear();
    for (const std::string_view field : from.fields) {
        if (isWithin(field, from.text)) {
            copy.fields.push_back(rebased(field, from.text, copy.text));
        } else if (isWithin(field, from.unquoted)) {
            copy.fields.push_back(rebased(field, from.unquoted, copy.unquoted));
        } else {
            copy.fields.emplace_back();
        }
    }
}
