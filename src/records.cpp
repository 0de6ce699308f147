#include "records.h"

#include <iterator>

#include "fields.h"

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

// A line that is a whole row by itself does not open a field of several lines, and one
// that is a whole row does not close it: a quote between two such lines is a stray one.
bool joinsTwoRows(const RecordReader& reader, std::string_view first, std::string_view last)
{
    return literalWidth(first, reader.separator) >= reader.width &&
           literalWidth(last, reader.separator) >= reader.width;
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
    record.text.swap(first.text);
    if (record.problem != RecordProblem::none) {
        record.fields.clear();
        return true;
    }
    if (reader.separator == whitespaceSeparated) {
        record.fields = splitWhitespaceLine(record.text);
        return true;
    }
    if (!splitQuotedLine(record.text, reader.separator, record.fields, record.unquoted)) {
        return true;
    }
    const std::size_t firstLength = record.text.size();
    std::vector<Line> taken;
    if (closeQuote(reader, record, taken) &&
        !joinsTwoRows(reader, std::string_view(record.text).substr(0, firstLength),
                      taken.back().text)) {
        return true;
    }
    reader.pending.insert(reader.pending.begin(), std::make_move_iterator(taken.begin()),
                          std::make_move_iterator(taken.end()));
    record.text.resize(firstLength);
    record.fields.clear();
    record.problem = RecordProblem::openQuote;
    return true;
}
