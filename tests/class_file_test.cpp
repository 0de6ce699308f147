#include <array>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "encoding.h"

namespace {

// A line that is not UTF-8 is Windows-1252, byte by byte; one that is stays as it is. The
// class files of the golden cases hold only well-formed text of either kind.
TEST(ClassFileTest, LinesBecomeUtf8)
{
    const auto cases = std::to_array<std::pair<std::string, std::string>>({
        {"Jos\xC3\xA9", "Jos\xC3\xA9"},
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},                         // four bytes, U+1F600
        {"Jos\xE9", "Jos\xC3\xA9"},                                       // é in Windows-1252
        {"\x80\x81\x92\x9F", "\xE2\x82\xAC\xC2\x81\xE2\x80\x99\xC5\xB8"}, // € , ’ Ÿ
        {"\xC0\xAF", "\xC3\x80\xC2\xAF"},                                 // overlong: not UTF-8
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},                 // a surrogate: not UTF-8
        {"\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC"}, // past U+10FFFF
        {"\xC3", "\xC3\x83"},                                             // cut short
    });
    for (const auto& [line, utf8] : cases) {
        EXPECT_EQ(lineAsUtf8(line), utf8) << testing::PrintToString(line);
    }
}

} // namespace
