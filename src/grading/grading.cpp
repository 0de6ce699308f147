#include "grading/grading.h"

namespace {

// Passing each intermediate result through memory as a float forces it to be rounded
// there: no compiler, whatever its flags, may then fuse a product with the sum that
// follows it (one rounding instead of two) or carry a step in a wider register.
float roundedToFloat(float value)
{
    const volatile float stored = value;
    return stored;
}

} // namespace

float computeWeightedAverage(float grade01, float grade02, float grade03)
{
    const float firstTwoWeighted = roundedToFloat(grade01 + roundedToFloat(2.0f * grade02));
    const float thirdWeighted = roundedToFloat(3.0f * grade03);
    const float weightedSum = roundedToFloat(firstTwoWeighted + thirdWeighted);
    return roundedToFloat(weightedSum / 6.0f);
}

std::string classifyConcept(float weightedAverage)
{
    if (weightedAverage >= 9.0f) {
        return "A";
    }
    if (weightedAverage >= 7.5f) {
        return "B";
    }
    if (weightedAverage >= 6.0f) {
        return "C";
    }
    if (weightedAverage >= 4.0f) {
        return "D";
    }
    return "E"; // below 4, and not-a-number, which fails every comparison above
}

bool isApproved(std::string_view conceptLetter)
{
    return conceptLetter == "A" || conceptLetter == "B" || conceptLetter == "C";
}
