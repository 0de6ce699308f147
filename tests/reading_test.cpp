#include <array>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <ios>
#include <iterator>
#include <limits>
#include <ostream>
#include <random>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "grading/reading.h"

namespace {

// What a read of one grade leaves behind: the value's bits, the stream's state and the
// input it did not take.
struct Outcome {
    std::uint32_t bits;
    std::ios_base::iostate state;
    std::string rest;
    bool operator==(const Outcome&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Outcome& outcome)
{
    return out << std::bit_cast<float>(outcome.bits) << " (bits " << std::hex << outcome.bits
               << "), state " << outcome.state << std::dec << ", rest \"" << outcome.rest << '"';
}

// Stands for a grade that a skipped read leaves as it was.
constexpr float untouched = 123.25f;
constexpr float largest = std::numeric_limits<float>::max();
constexpr auto good = std::ios_base::goodbit;
constexpr auto fail = std::ios_base::failbit;
constexpr auto eof = std::ios_base::eofbit;

Outcome readGrade(std::istringstream& stream, const std::string& text)
{
    stream.clear();
    stream.str(text);
    float grade = untouched;
    stream >> grade;
    return {std::bit_cast<std::uint32_t>(grade), stream.rdstate(),
            std::string(std::istreambuf_iterator<char>(stream.rdbuf()), {})};
}

struct ReadCase {
    std::string text;
    float grade;
    std::ios_base::iostate state;
    std::string rest;
};

// Each of these was read otherwise by at least one C++ library's own float extraction, or
// depends on the stream around the reader: whitespace, the end of input, the state. How
// the reader takes text alone is the same code everywhere, and the next test compares it
// with libstdc++ on every short text.
TEST(ReadingTest, GradesAreReadByTheProgramsRulesOnEveryLibrary)
{
    const std::string zeros(1000, '0');
    const auto cases = std::to_array<ReadCase>({
        {"inf 8", 0.0f, fail, "inf 8"},
        {"0x10", 0.0f, good, "x10"},
        {"7,5", 7.0f, good, ",5"},
        {"1e5e5", 1e5f, good, "e5"},
        {"1e39", largest, fail | eof, ""},
        {"-1e39 ", -largest, fail, " "},
        {"1" + zeros, largest, fail | eof, ""},
        {"1e-40", 1e-40f, eof, ""},
        {"-1e-50\n", -0.0f, good, "\n"},
        {" \t\n-0 ", -0.0f, good, " "},
        {"", untouched, fail | eof, ""},
        {"  \n", untouched, fail | eof, ""},
        // Halfway between two floats goes to the even one; a last digit a thousand places
        // on tips it to the other, so no digit may be dropped.
        {"16777217", 16777216.0f, eof, ""},
        {"16777217." + zeros + "1", 16777218.0f, eof, ""},
        {"0." + zeros + "1e1000", 0.1f, eof, ""},
    });
    std::istringstream stream;
    useGradeReader(stream);
    for (const ReadCase& readCase : cases) {
        const Outcome expected{std::bit_cast<std::uint32_t>(readCase.grade), readCase.state,
                               readCase.rest};
        EXPECT_EQ(readGrade(stream, readCase.text), expected)
            << "reading \"" << readCase.text.substr(0, 40) << '"';
    }
}

#ifdef __GLIBCXX__
constexpr bool referenceLibrary = true;
#else
constexpr bool referenceLibrary = false;
#endif

// A number-like text with long digit runs, huge and tiny exponents, and a character after.
std::string randomNumberText(std::mt19937& random)
{
    const auto pick = [&random](std::size_t count) { return random() % count; };
    const auto digits = [&pick](std::size_t length) {
        std::string run;
        for (std::size_t i = 0; i < length; ++i) {
            run += static_cast<char>('0' + pick(10));
        }
        return run;
    };
    const auto runLengths = std::to_array<std::size_t>({0, 0, 1, 2, 7, 9, 40, 400, 3000});
    const std::string signs = "+- ";
    const std::string after = " 0159.eE+-,xan";
    std::string text(pick(3), '0');
    text.insert(0, signs.substr(pick(signs.size()), pick(2)));
    text += digits(runLengths.at(pick(runLengths.size())));
    text += pick(2) == 0 ? "." : "";
    text += digits(runLengths.at(pick(runLengths.size())));
    if (pick(3) != 0) {
        text += pick(2) == 0 ? "e" : "E";
        text += signs.substr(pick(signs.size()), pick(2));
        text += digits(pick(12));
    }
    return text + after.substr(pick(after.size()), pick(2));
}

// Steps text to the next one of its length over alphabet, counting like a number with the
// first character lowest; false after the last one.
bool advanceText(std::string& text, const std::string& alphabet)
{
    for (char& character : text) {
        const std::size_t next = alphabet.find(character) + 1;
        if (next < alphabet.size()) {
            character = alphabet[next];
            return true;
        }
        character = alphabet.front();
    }
    return false;
}

// libstdc++'s own float extraction reads exactly as the program must: on every text the
// program's reader has to give the same value, state and rest of the input.
TEST(ReadingTest, SameAsLibstdcxxOnEveryShortTextAndManyLongOnes)
{
    if (!referenceLibrary) {
        GTEST_SKIP() << "the reference extraction is libstdc++'s";
    }
    std::istringstream reference;
    std::istringstream ours;
    useGradeReader(ours);
    int compared = 0;
    const auto compare = [&](const std::string& text) {
        ++compared;
        const Outcome theirs = readGrade(reference, text);
        ASSERT_EQ(readGrade(ours, text), theirs) << "reading \"" << text.substr(0, 60) << '"';
    };

    const std::string alphabet = "0159.eE+-,xan ";
    for (std::size_t length = 0; length <= 5 && !testing::Test::HasFatalFailure(); ++length) {
        std::string text(length, alphabet.front());
        do {
            compare(text);
        } while (!testing::Test::HasFatalFailure() && advanceText(text, alphabet));
    }
    constexpr int randomTexts = 4000;
    std::mt19937 random(20261208);
    for (int i = 0; i < randomTexts && !testing::Test::HasFatalFailure(); ++i) {
        compare(randomNumberText(random));
    }
    // Every text up to 5 characters over 14 is 1 + 14 + ... + 14^5 of them.
    EXPECT_EQ(compared, 579195 + randomTexts);
}

// boletim-turma reads a field with the same grammar, without a stream: the same value,
// failure and rest on every text that does not start with a blank, which a stream skips.
TEST(ReadingTest, AFieldReadsAsTheStreamReads)
{
    std::istringstream stream;
    useGradeReader(stream);
    const std::string alphabet = "0159.eE+-,xan ";
    for (std::size_t length = 1; length <= 4; ++length) {
        std::string text(length, alphabet.front());
        do {
            if (text.front() == ' ') {
                continue;
            }
            const Outcome fromStream = readGrade(stream, text);
            const GradeText fromField = readGradeText(text);
            const Outcome expected{fromStream.bits, fromStream.state & fail, fromStream.rest};
            const Outcome actual{std::bit_cast<std::uint32_t>(fromField.grade),
                                 fromField.failed ? fail : good, text.substr(fromField.length)};
            ASSERT_EQ(actual, expected) << '"' << text << '"';
        } while (advanceText(text, alphabet));
    }
}

// Short decimals, the grades people type, are converted without strtof: to exactly the
// float strtof gives, here on texts of up to 9 digits (past 2^24, where strtof takes over
// again) and exponents up to 13.
TEST(ReadingTest, ShortDecimalsAreTheNearestFloat)
{
    std::mt19937 random(20261209);
    const auto pick = [&random](int count) {
        return static_cast<int>(random() % static_cast<unsigned>(count));
    };
    for (int i = 0; i < 200000; ++i) {
        std::string text = pick(3) == 0 ? "-" : "";
        const int digits = 1 + pick(9);
        const int point = pick(digits + 2); // past the digits: no point
        for (int digit = 0; digit < digits; ++digit) {
            text += point == digit ? "." : "";
            text += static_cast<char>('0' + pick(10));
        }
        if (pick(3) == 0) {
            text += 'e';
            text += std::to_string(pick(27) - 13);
        }
        const GradeText read = readGradeText(text);
        ASSERT_EQ(std::bit_cast<std::uint32_t>(read.grade),
                  std::bit_cast<std::uint32_t>(std::strtof(text.c_str(), nullptr)))
            << '"' << text << '"';
        ASSERT_EQ(read.length, text.size());
    }
}

} // namespace
