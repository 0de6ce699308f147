#include "encoding.h"

#include <array>
#include <cstddef>

namespace {

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

// Where Windows-1252 differs from Latin-1, 0x80 to 0x9F; its five unassigned bytes stay
// the control characters Latin-1 has there.
constexpr std::array<char32_t, 32> windows1252From0x80 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(std::string& text, char32_t codePoint)
{
    const auto byte = [](char32_t bits) { return static_cast<char>(bits); };
    if (codePoint < 0x80U) {
        text += byte(codePoint);
    } else if (codePoint < 0x800U) {
        text += byte(0xC0U | (codePoint >> 6U));
        text += byte(0x80U | (codePoint & 0x3FU));
    } else {
        text += byte(0xE0U | (codePoint >> 12U));
        text += byte(0x80U | ((codePoint >> 6U) & 0x3FU));
        text += byte(0x80U | (codePoint & 0x3FU));
    }
}

} // namespace

bool isUtf8(std::string_view text)
{
    std::size_t next = 0;
    while (next < text.size()) {
        const auto lead = static_cast<unsigned char>(text[next]);
        const std::size_t length = sequenceLength(lead);
        if (length == 0 || next + length > text.size()) {
            return false;
        }
        char32_t codePoint = lead & (0x7FU >> length);
        for (std::size_t i = 1; i < length; ++i) {
            const auto byte = static_cast<unsigned char>(text[next + i]);
            if (!isContinuationByte(byte)) {
                return false;
            }
            codePoint = (codePoint << 6U) | (byte & 0x3FU);
        }
        const bool overlong =
            (length == 3 && codePoint < 0x800U) || (length == 4 && codePoint < 0x10000U);
        const bool surrogate = codePoint >= 0xD800U && codePoint <= 0xDFFFU;
        if (overlong || surrogate || codePoint > 0x10FFFFU) {
            return false;
        }
        next += length;
    }
    return true;
}

std::string lineAsUtf8(std::string_view line)
{
    if (isUtf8(line)) {
        return std::string(line);
    }
    std::string text;
    text.reserve(line.size() * 2);
    for (const char character : line) {
        const auto byte = static_cast<unsigned char>(character);
        const bool differsFromLatin1 = byte >= 0x80U && byte < 0xA0U;
        appendUtf8(text, differsFromLatin1 ? windows1252From0x80.at(byte - 0x80U) : byte);
    }
    return text;
}
