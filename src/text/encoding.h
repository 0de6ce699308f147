#ifndef BOLETIM_ENCODING_H
#define BOLETIM_ENCODING_H

#include <cstddef>
#include <string>
#include <string_view>

// Whether text is well-formed UTF-8: no stray, overlong or surrogate sequence.
bool isUtf8(std::string_view text);

// The line in UTF-8: each well-formed UTF-8 sequence as it is, and each other byte read as
// Windows-1252, which is what spreadsheets on Windows save as "CSV".
std::string lineAsUtf8(std::string_view line);

void appendUtf8(std::string& text, char32_t codePoint);

// The character of UTF-8 text that starts at next, which moves past it; U+FFFD for a
// byte that starts no well-formed sequence, which moves one byte.
char32_t nextCodePoint(std::string_view text, std::size_t& next);

// The start of text, at most most bytes, cut where a UTF-8 character starts.
std::string_view startOfText(std::string_view text, std::size_t most);

// What the user typed, in a message: in quotes, on one line, the start of it if it is long.
std::string quotedForMessage(std::string_view text);

// UTF-16 read a block at a time: a block may end inside a code unit or a surrogate pair,
// which the next block completes.
struct Utf16Decoder {
    bool bigEndian = false;
    std::string partialUnit;
    char32_t highSurrogate = 0;
};

// Appends bytes, decoded, to utf8; a lone surrogate becomes U+FFFD.
void decodeUtf16(Utf16Decoder& decoder, std::string_view bytes, std::string& utf8);

// UTF-8 text in the encoding of the locale's LC_CTYPE, where messages go; a character it
// cannot encode becomes '?' ('#' for a bar chart's block). In the C locale, whose encoding
// is ASCII, the text stays UTF-8, as bytes pass through there.
std::string inLocaleEncoding(std::string_view utf8);

#endif
