#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <utility>

#include <gtest/gtest.h>

#include "grading/grading.h"

namespace {

constexpr float infinity = std::numeric_limits<float>::infinity();
constexpr float largest = std::numeric_limits<float>::max();
const float notANumber = std::numeric_limits<float>::quiet_NaN();

// The float just below a bound: where a last-place error changes the letter.
float justBelow(float bound)
{
    return std::nextafter(bound, 0.0f);
}

// Equal to the bit, so that -0 and 0 differ (they print differently); any NaN matches NaN.
bool sameFloat(float actual, float expected)
{
    if (std::isnan(expected)) {
        return std::isnan(actual);
    }
    return std::bit_cast<std::uint32_t>(actual) == std::bit_cast<std::uint32_t>(expected);
}

struct MeanCase {
    float grade01;
    float grade02;
    float grade03;
    float weightedAverage;
    const char* conceptLetter;
};

TEST(GradingTest, WeightedAverageIsRoundedAtEveryStepAndClassified)
{
    const auto cases = std::to_array<MeanCase>({
        {7.0f, 8.0f, 9.0f, 8.333333f, "B"},
        {6.0f, 6.0f, 6.0f, 6.0f, "C"},
        {4.0f, 4.0f, 4.0f, 4.0f, "D"},
        {9.0f, 9.0f, 9.0f, 9.0f, "A"},
        {7.5f, 7.5f, 7.5f, 7.5f, "B"},
        {10.0f, 10.0f, 10.0f, 10.0f, "A"},
        {20.0f, 20.0f, 20.0f, 20.0f, "A"},
        {-1.0f, -1.0f, -1.0f, -1.0f, "E"},
        {-0.0f, -0.0f, -0.0f, -0.0f, "E"},
        // The decimal means are 6 and 4; the single-precision steps fall just short. A
        // product fused with the following sum would give the bound and the higher letter.
        {7.22f, 0.35f, 9.36f, justBelow(6.0f), "D"},
        {0.0f, 1.2f, 7.2f, justBelow(4.0f), "E"},
        {3e38f, 3e38f, 3e38f, infinity, "A"},
        // Doubling the second grade overflows on its own, before the first grade is added.
        {-largest, largest, 0.0f, infinity, "A"},
        {infinity, -infinity, 0.0f, notANumber, "E"},
        {notANumber, 7.0f, 8.0f, notANumber, "E"},
    });
    for (const MeanCase& expected : cases) {
        SCOPED_TRACE(testing::Message()
                     << expected.grade01 << ", " << expected.grade02 << ", " << expected.grade03);
        const float weightedAverage =
            computeWeightedAverage(expected.grade01, expected.grade02, expected.grade03);
        EXPECT_TRUE(sameFloat(weightedAverage, expected.weightedAverage))
            << "got " << weightedAverage;
        EXPECT_EQ(classifyConcept(weightedAverage), expected.conceptLetter);
    }
}

TEST(GradingTest, EachBoundBelongsToTheHigherLetter)
{
    const auto cases = std::to_array<std::pair<float, std::string_view>>({
        {infinity, "A"},
        {1e30f, "A"},
        {9.0f, "A"},
        {justBelow(9.0f), "B"},
        {7.5f, "B"},
        {justBelow(7.5f), "C"},
        {6.0f, "C"},
        {justBelow(6.0f), "D"},
        {4.0f, "D"},
        {justBelow(4.0f), "E"},
        {0.0f, "E"},
        {-1.0f, "E"},
        {-infinity, "E"},
        {notANumber, "E"},
    });
    for (const auto& [weightedAverage, conceptLetter] : cases) {
        EXPECT_EQ(classifyConcept(weightedAverage), conceptLetter) << "mean " << weightedAverage;
    }
}

TEST(GradingTest, OnlyAToCPass)
{
    const auto cases = std::to_array<std::pair<std::string_view, bool>>({
        {"A", true},
        {"B", true},
        {"C", true},
        {"D", false},
        {"E", false},
        {"", false},
        {"a", false},
        {"AB", false},
    });
    for (const auto& [conceptLetter, approved] : cases) {
        EXPECT_EQ(isApproved(conceptLetter), approved) << '"' << conceptLetter << '"';
    }
}

} // namespace
