#include "text/lines.h"

#include <algorithm>
#include <array>

namespace {

// Of a line too long to keep, the start that an error row shows.
constexpr std::size_t shownOfLongLine = 100;

constexpr std::string_view utf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view utf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view utf16BigEndianMark = "\xFE\xFF";
constexpr std::string_view zipStart = "PK\x03\x04";                             // .xlsx, .ods
constexpr std::string_view oldOfficeStart = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"; // .xls

// Reads the next block into reader.raw; false at the end of the input or at a read error,
// which the caller tells apart with ferror.
bool readBlock(LineReader& reader)
{
    if (reader.endOfInput || reader.endSeen) {
        reader.endOfInput = true;
        return false;
    }
    if (reader.file == nullptr) {
        reader.raw.assign(reader.memory.substr(0, blockSize));
        reader.memory.remove_prefix(reader.raw.size());
    } else {
        // Read into an array of its own, whose size a fortified build sees and checks.
        std::array<char, blockSize> block; // NOLINT(cppcoreguidelines-pro-type-member-init)
        reader.raw.assign(block.data(), std::fread(block.data(), 1, block.size(), reader.file));
        // A terminal says the end once (Ctrl-D): a block this large is read past the
        // stream's buffer, and reading again would wait for another.
        reader.endSeen = std::feof(reader.file) != 0;
    }
    reader.endOfInput = reader.raw.empty();
    return !reader.endOfInput;
}

void noteBlock(LineReader& reader)
{
    reader.hadCarriageReturn =
        reader.hadCarriageReturn || reader.block.find('\r') != std::string::npos;
    reader.hadNullByte = reader.hadNullByte || reader.block.find('\0') != std::string::npos;
}

// Makes reader.block the next block of text; false at the end.
bool nextBlock(LineReader& reader)
{
    reader.next = 0;
    reader.block.clear();
    while (reader.block.empty() && readBlock(reader)) {
        if (reader.kind == FileKind::utf16) {
            decodeUtf16(reader.utf16, reader.raw, reader.block);
        } else {
            reader.block.swap(reader.raw);
        }
    }
    const bool unfinished = !reader.utf16.partialUnit.empty() || reader.utf16.highSurrogate != 0;
    if (reader.block.empty() && unfinished) {
        reader.utf16 = Utf16Decoder{};
        appendUtf8(reader.block, U'\uFFFD');
    }
    noteBlock(reader);
    return !reader.block.empty();
}

FileKind kindOf(std::string_view start)
{
    if (start.starts_with(utf16LittleEndianMark) || start.starts_with(utf16BigEndianMark)) {
        return FileKind::utf16;
    }
    if (start.starts_with(zipStart)) {
        return FileKind::zip;
    }
    if (start.starts_with(oldOfficeStart)) {
        // A password's encryption keeps the workbook in streams named so, in UTF-16.
        const std::string_view encrypted("E\0n\0c\0r\0y\0p\0t\0i\0o\0n\0I\0n\0f\0o\0", 28);
        return start.find(encrypted) != std::string_view::npos ? FileKind::lockedSpreadsheet
                                                               : FileKind::oldSpreadsheet;
    }
    return start.find('\0') == std::string_view::npos ? FileKind::text : FileKind::binary;
}

// Where the next LF or CR is, from start; npos where there is none.
std::size_t nextLineEnd(const LineReader& reader, std::size_t start)
{
    const std::string_view block = reader.block;
    const std::size_t linefeed = block.find('\n', start);
    if (!reader.hadCarriageReturn) {
        return linefeed;
    }
    const std::size_t searched =
        (linefeed == std::string_view::npos ? block.size() : linefeed) - start;
    const std::size_t carriageReturn = block.substr(start, searched).find('\r');
    return carriageReturn == std::string_view::npos ? linefeed : start + carriageReturn;
}

// Appends the line's bytes up to its end or the block's; true at the line's end.
bool takeLineBytes(LineReader& reader, Line& line)
{
    const std::size_t end = nextLineEnd(reader, reader.next);
    const std::size_t stop = end == std::string::npos ? reader.block.size() : end;
    const std::size_t room = longestLine - std::min(longestLine, line.text.size());
    if (stop - reader.next > room) {
        line.problem = LineProblem::tooLong;
    }
    line.text.append(reader.block, reader.next, std::min(stop - reader.next, room));
    reader.next = stop;
    if (end == std::string::npos) {
        return false;
    }
    const char lineEnd = reader.block[reader.next++];
    if (lineEnd == '\r' && (reader.next < reader.block.size() || nextBlock(reader)) &&
        reader.block[reader.next] == '\n') {
        ++reader.next; // CRLF is one line end
    }
    return true;
}

} // namespace

FileKind startReading(LineReader& reader)
{
    if (!readBlock(reader)) {
        return reader.kind;
    }
    reader.kind = kindOf(reader.raw);
    if (reader.kind == FileKind::utf16) {
        reader.utf16.bigEndian = reader.raw.starts_with(utf16BigEndianMark);
        decodeUtf16(reader.utf16, std::string_view(reader.raw).substr(2), reader.block);
    } else {
        reader.block.swap(reader.raw);
        if (reader.block.starts_with(utf8Mark)) {
            reader.block.erase(0, utf8Mark.size());
        }
    }
    noteBlock(reader);
    return reader.kind;
}

bool readLine(LineReader& reader, Line& line)
{
    line.problem = LineProblem::none;
    line.text.clear();
    bool started = false;
    while (reader.next < reader.block.size() || nextBlock(reader)) {
        started = true;
        if (takeLineBytes(reader, line)) {
            break;
        }
    }
    if (!started) {
        return false;
    }
    line.number = ++reader.lineNumber;
    if (line.problem == LineProblem::tooLong) {
        line.text = lineAsUtf8(startOfText(line.text, shownOfLongLine)) + "\u2026";
        return true;
    }
    if (!isUtf8(line.text)) {
        line.text = lineAsUtf8(line.text);
    }
    if (reader.hadNullByte && line.text.find('\0') != std::string::npos) {
        line.problem = LineProblem::nullByte;
        std::string shown;
        for (const char character : line.text) {
            shown +=
                character == '\0' ? std::string_view("\uFFFD") : std::string_view(&character, 1);
        }
        line.text = shown;
    }
    return true;
}
