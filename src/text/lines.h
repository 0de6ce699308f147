#ifndef BOLETIM_LINES_H
#define BOLETIM_LINES_H

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

#include "cells/cell.h"
#include "text/encoding.h"

// What the first bytes of a class file say it is.
// A zip is what .xlsx and .ods files are; an old spreadsheet, Excel's .xls; a locked one,
// an .xlsx saved with a password, which is kept in the same kind of file as an .xls.
enum class FileKind { text, utf16, zip, oldSpreadsheet, lockedSpreadsheet, binary };

enum class LineProblem { none, tooLong, nullByte };

// No line of a class is anywhere near as long as a row may be; past it the rest of the
// line is skipped rather than held in memory.
constexpr std::size_t longestLine = longestRow;

// The file is read this much at a time.
constexpr std::size_t blockSize = std::size_t{64} << 10U;

struct Line {
    std::string text; // UTF-8, without its line end; of a long line, the start
    long number = 0;
    LineProblem problem = LineProblem::none;
};

// Reads a class file in blocks, from file or, where it is null, from memory.
struct LineReader {
    std::FILE* file = nullptr;
    std::string_view memory;
    FileKind kind = FileKind::text;
    Utf16Decoder utf16;
    std::string raw;   // the last block as read
    std::string block; // the same as text: UTF-8 for a UTF-16 file
    std::size_t next = 0;
    // Whether any block so far held a CR or a null byte: most files have none, and a line
    // of them is then searched for an LF alone.
    bool hadCarriageReturn = false;
    bool hadNullByte = false;
    bool endOfInput = false;
    bool endSeen = false; // the file's end met after the last block read
    long lineNumber = 0;
};

// Reads the first block and tells the file's kind, skipping a byte-order mark.
FileKind startReading(LineReader& reader);

// The next line: LF, CRLF and CR each end one; a last line without a line end counts.
// UTF-8 or, where a line is not, Windows-1252, made UTF-8. False at the end of the input.
bool readLine(LineReader& reader, Line& line);

#endif
