#include "text/encoding.h"

#include <algorithm>
#include <array>
#include <climits>
#include <clocale>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <cwchar>

namespace {

constexpr char32_t replacementCharacter = 0xFFFD;

bool isContinuationByte(unsigned char byte)
{
    return (byte & 0xC0U) == 0x80U;
}

// The length of the sequence that lead starts, 0 where no sequence may start with it.
std::size_t sequenceLength(unsigned char lead)
{
    if (lead < 0x80U) {
        return 1;
    }
    if (lead >= 0xC2U && lead <= 0xDFU) {
        return 2;
    }
    if (lead >= 0xE0U && lead <= 0xEFU) {
        return 3;
    }
    if (lead >= 0xF0U && lead <= 0xF4U) {
        return 4;
    }
    return 0;
}

// The code point of the well-formed sequence at text[next], and its length; length 0
// where none starts there.
struct Decoded {
    char32_t codePoint;
    std::size_t length;
};

Decoded decodeUtf8(std::string_view text, std::size_t next)
{
    const auto lead = static_cast<unsigned char>(text[next]);
    const std::size_t length = sequenceLength(lead);
    if (length == 0 || next + length > text.size()) {
        return {0, 0};
    }
    char32_t codePoint = length == 1 ? lead : lead & (0x7FU >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[next + i]);
        if (!isContinuationByte(byte)) {
            return {0, 0};
        }
        codePoint = (codePoint << 6U) | (byte & 0x3FU);
    }
    const bool overlong =
        (length == 3 && codePoint < 0x800U) || (length == 4 && codePoint < 0x10000U);
    const bool surrogate = codePoint >= 0xD800U && codePoint <= 0xDFFFU;
    if (overlong || surrogate || codePoint > 0x10FFFFU) {
        return {0, 0};
    }
    return {codePoint, length};
}

// Where Windows-1252 differs from Latin-1, 0x80 to 0x9F; its five unassigned bytes stay
// the control characters Latin-1 has there.
constexpr std::array<char32_t, 32> windows1252From0x80 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool isClassicLocale()
{
    const char* name = std::setlocale(LC_CTYPE, nullptr);
    const std::string_view locale = name == nullptr ? "C" : name;
    return locale == "C" || locale == "POSIX";
}

// A wide character is the code point itself on the systems this program is built for
// (glibc says so with __STDC_ISO_10646__).
void appendInLocale(std::string& text, char32_t codePoint)
{
    std::array<char, MB_LEN_MAX> bytes{};
    std::mbstate_t state{};
    const std::size_t length = std::wcrtomb(bytes.data(), static_cast<wchar_t>(codePoint), &state);
    if (length == static_cast<std::size_t>(-1)) {
        text += codePoint == U'\u2588' ? '#' : '?';
    } else {
        text.append(bytes.data(), length);
    }
}

} // namespace

bool isUtf8(std::string_view text)
{
    // Most text is ASCII: eight bytes at a time, while none has its high bit set.
    constexpr std::uint64_t highBits = 0x8080808080808080U;
    std::size_t ascii = 0;
    for (std::uint64_t eight = 0; ascii + sizeof eight <= text.size(); ascii += sizeof eight) {
        std::memcpy(&eight, text.data() + ascii, sizeof eight);
        if ((eight & highBits) != 0) {
            break;
        }
    }
    for (std::size_t next = ascii; next < text.size();) {
        const std::size_t length = decodeUtf8(text, next).length;
        if (length == 0) {
            return false;
        }
        next += length;
    }
    return true;
}

void appendUtf8(std::string& text, char32_t codePoint)
{
    const auto byte = [](char32_t bits) { return static_cast<char>(bits); };
    if (codePoint < 0x80U) {
        text += byte(codePoint);
    } else if (codePoint < 0x800U) {
        text += byte(0xC0U | (codePoint >> 6U));
        text += byte(0x80U | (codePoint & 0x3FU));
    } else if (codePoint < 0x10000U) {
        text += byte(0xE0U | (codePoint >> 12U));
        text += byte(0x80U | ((codePoint >> 6U) & 0x3FU));
        text += byte(0x80U | (codePoint & 0x3FU));
    } else {
        text += byte(0xF0U | (codePoint >> 18U));
        text += byte(0x80U | ((codePoint >> 12U) & 0x3FU));
        text += byte(0x80U | ((codePoint >> 6U) & 0x3FU));
        text += byte(0x80U | (codePoint & 0x3FU));
    }
}

char32_t nextCodePoint(std::string_view text, std::size_t& next)
{
    const Decoded decoded = decodeUtf8(text, next);
    next += std::max<std::size_t>(decoded.length, 1);
    return decoded.length == 0 ? replacementCharacter : decoded.codePoint;
}

std::string_view startOfText(std::string_view text, std::size_t most)
{
    std::size_t length = std::min(text.size(), most);
    while (length > 0 && length < text.size() &&
           isContinuationByte(static_cast<unsigned char>(text[length]))) {
        --length;
    }
    return text.substr(0, length);
}

std::string quotedForMessage(std::string_view text)
{
    constexpr std::size_t longestShown = 40;
    std::string shown(startOfText(text, longestShown));
    std::replace(shown.begin(), shown.end(), '\n', ' ');
    return '"' + shown + (shown.size() < text.size() ? "\u2026\"" : "\"");
}

std::string lineAsUtf8(std::string_view line)
{
    if (isUtf8(line)) {
        return std::string(line);
    }
    // A line that is not all UTF-8 may still be mostly so, one stray Windows-1252 byte typed
    // into it: each well-formed sequence stays what it is, and each other byte is read alone.
    std::string text;
    text.reserve(line.size() * 2);
    for (std::size_t next = 0; next < line.size();) {
        const Decoded decoded = decodeUtf8(line, next);
        if (decoded.length != 0) {
            text.append(line.substr(next, decoded.length));
            next += decoded.length;
            continue;
        }
        const auto byte = static_cast<unsigned char>(line[next++]);
        const bool differsFromLatin1 = byte >= 0x80U && byte < 0xA0U;
        appendUtf8(text, differsFromLatin1 ? windows1252From0x80.at(byte - 0x80U) : byte);
    }
    return text;
}

void decodeUtf16(Utf16Decoder& decoder, std::string_view bytes, std::string& utf8)
{
    for (const char byte : bytes) {
        decoder.partialUnit += byte;
        if (decoder.partialUnit.size() < 2) {
            continue;
        }
        const char32_t first = static_cast<unsigned char>(decoder.partialUnit[0]);
        const char32_t second = static_cast<unsigned char>(decoder.partialUnit[1]);
        decoder.partialUnit.clear();
        const char32_t unit = decoder.bigEndian ? (first << 8U) | second : (second << 8U) | first;
        const bool high = unit >= 0xD800U && unit <= 0xDBFFU;
        const bool low = unit >= 0xDC00U && unit <= 0xDFFFU;
        if (decoder.highSurrogate != 0 && low) {
            appendUtf8(utf8,
                       0x10000U + ((decoder.highSurrogate - 0xD800U) << 10U) + (unit - 0xDC00U));
            decoder.highSurrogate = 0;
            continue;
        }
        if (decoder.highSurrogate != 0) {
            appendUtf8(utf8, replacementCharacter);
            decoder.highSurrogate = 0;
        }
        if (high) {
            decoder.highSurrogate = unit;
        } else {
            appendUtf8(utf8, low ? replacementCharacter : unit);
        }
    }
}

std::string inLocaleEncoding(std::string_view utf8)
{
    if (isClassicLocale()) {
        return std::string(utf8);
    }
    std::string text;
    for (std::size_t next = 0; next < utf8.size();) {
        const Decoded decoded = decodeUtf8(utf8, next);
        if (decoded.length == 0) { // not UTF-8: bytes the user gave, already in the locale's
            text += utf8[next++];
            continue;
        }
        appendInLocale(text, decoded.codePoint);
        next += decoded.length;
    }
    return text;
}
