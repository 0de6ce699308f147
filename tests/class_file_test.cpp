#include <array>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "encoding.h"
#include "fields.h"

namespace {

// A line that is not UTF-8 is Windows-1252, byte by byte; one that is stays as it is.
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

TEST(ClassFileTest, TheFirstLineDecidesTheSeparator)
{
    const auto cases = std::to_array<std::pair<std::string, char>>({
        {"42;Ana;7,5;8;9", ';'},
        {"42\tAna\t7,5\t8\t9", '\t'},
        {R"(42,"Silva, Ana","7,5",8,9)", ','},
        {"Nome,Nota 1,Nota 2,Nota 3", ','},
        {"Maria Jos\xC3\xA9 7,5 8,5 9,5", whitespaceSeparated}, // decimal commas
        {"\"a;b\";7;8", whitespaceSeparated},                   // three fields only
        {"42 7 8 9", whitespaceSeparated},
    });
    for (const auto& [line, separator] : cases) {
        EXPECT_EQ(detectSeparator(line), separator) << line;
    }
}

TEST(ClassFileTest, QuotedFieldsAreReadAsSpreadsheetsWriteThem)
{
    std::vector<std::string> fields;
    EXPECT_FALSE(splitQuotedLine(R"(a;"b;c";"d""e";f"g;;)", ';', fields, false));
    EXPECT_EQ(fields, (std::vector<std::string>{"a", "b;c", "d\"e", "f\"g", "", ""}));

    fields.clear();
    EXPECT_TRUE(splitQuotedLine(R"(1;"Hugo)", ';', fields, false));
    EXPECT_FALSE(splitQuotedLine(R"(Lima";7)", ';', fields, true));
    EXPECT_EQ(fields, (std::vector<std::string>{"1", "Hugo\nLima", "7"}));
}

TEST(ClassFileTest, AGradeFieldIsOneNumber)
{
    struct Case {
        std::string field;
        GradeProblem problem;
        float grade;
    };
    const auto cases = std::to_array<Case>({
        {" 7,5\t", GradeProblem::none, 7.5f},
        {"7.25", GradeProblem::none, 7.25f},
        {"-0,5e1", GradeProblem::none, -5.0f},
        {"", GradeProblem::empty, 0.0f},
        {"  ", GradeProblem::empty, 0.0f},
        {"7.5.3", GradeProblem::notANumber, 7.5f},
        {"7,5,3", GradeProblem::notANumber, 7.5f},
        {"7 ,5", GradeProblem::notANumber, 7.0f},
        {"sete", GradeProblem::notANumber, 0.0f},
        {"1e39x", GradeProblem::notANumber, 3.40282347e38f},
        {"1e39", GradeProblem::tooLarge, 3.40282347e38f},
        {"-1e39", GradeProblem::tooLarge, -3.40282347e38f},
    });
    for (const Case& expected : cases) {
        const GradeField read = readGradeField(expected.field);
        EXPECT_EQ(read.problem, expected.problem) << '"' << expected.field << '"';
        if (read.problem != GradeProblem::empty) {
            EXPECT_EQ(read.grade, expected.grade) << '"' << expected.field << '"';
        }
    }
}

} // namespace
