#ifndef BOLETIM_RECORDS_H
#define BOLETIM_RECORDS_H

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "text/fields.h"
#include "text/lines.h"

// A quoted field may hold line ends, as spreadsheets write a cell of several lines; a
// quote still open after this many lines or bytes was typed by mistake.
constexpr std::size_t mostLinesOfAField = 20;
constexpr std::size_t longestQuotedText = std::size_t{64} << 10U;

enum class RecordProblem { none, tooLong, nullByte, openQuote };

// One row of the file: a line, or several that quotes join. Its fields point into its own
// text and unquoted, so a record is read into, and not copied.
struct Record {
    Fields fields;
    std::string text;     // as typed, its lines joined by '\n'
    std::string unquoted; // the fields whose quotes had to be taken out
    long line = 0;        // where it starts
    RecordProblem problem = RecordProblem::none;
    // A spreadsheet's cells whose formula has no value the file keeps, by column.
    std::vector<std::size_t> uncomputed;
    // Each field in its own column, as a sheet's cells are, so that a row may end before
    // its empty cells; a line of text that ends early lacks fields instead.
    bool exactColumns = false;
};

struct RecordReader {
    LineReader* lines = nullptr; // null where all there is to read is pending
    std::deque<Line> pending;    // read before the next line of lines
    char separator = ' ';
    std::size_t gradeWords = 3; // of a line of words, the last ones that are grades
    Line line{};                // the last line read, its memory used again
};

// The next record; false at the end. A quote that does not close within the limits, or
// closes as a stray one, makes the line where it opened a record of its own with the
// problem openQuote, and the lines after it are read again. A stray one joins a line that
// is a row by itself, or closes where no field can end ("Zé ... Ana "Bia").
bool readRecord(RecordReader& reader, Record& record);

// Makes copy a copy of from whose fields point into its own text.
void copyRecord(const Record& from, Record& copy);

#endif
