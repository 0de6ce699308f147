#include <algorithm>
#include <array>
#include <cstdint>

#include "class/school_rule.h"

// The exact mean is sum / (weightSum × 10^scale), where sum is Σ weight × grade, the
// weights in thousandths and the grades in units of 10^-scale. Grades of at most six
// decimals and under 10^4, as teachers type them, make sums that 64 bits hold at 10^-6;
// any others, up to 18 decimals and 10^9, take 128 bits at 10^-18. One algorithm serves
// both, over the integer type.

namespace {

constexpr int narrowScale = 6;
constexpr int wideScale = 18;

// The concepts' bounds, from A's down, in tenths.
constexpr std::array<std::int64_t, 4> boundsInTenths{90, 75, 60, 40};
constexpr std::array<char, 5> letters{'A', 'B', 'C', 'D', 'E'};

constexpr std::array<std::uint32_t, 10> powersOfTen{
    1, 10, 100, 1'000, 10'000, 100'000, 1'000'000, 10'000'000, 100'000'000, 1'000'000'000};

// floor(value / divisor), as Int128's.
std::int64_t floorDivided(std::int64_t value, std::uint32_t divisor)
{
    const std::int64_t quotient = value / divisor;
    return quotient * divisor > value ? quotient - 1 : quotient;
}

// A grade's digits as a Number: all of them in 128 bits; in 64, those of a grade that fits.
template <typename Number> Number numberOf(std::uint64_t digits);

template <> std::int64_t numberOf(std::uint64_t digits)
{
    return static_cast<std::int64_t>(digits);
}

template <> Int128 numberOf(std::uint64_t digits)
{
    return Int128::ofUnsigned(digits);
}

std::int64_t narrowed(std::int64_t value)
{
    return value;
}

std::int64_t narrowed(Int128 value)
{
    return value.narrowed();
}

// In 64 bits, a power of ten is one factor (the narrow sums need at most 10^9).
std::int64_t timesPowerOfTen(std::int64_t value, int power)
{
    return power > 0 ? value * powersOfTen.at(static_cast<std::size_t>(power)) : value;
}

std::int64_t dividedByPowerOfTen(std::int64_t value, int power)
{
    return power > 0 ? floorDivided(value, powersOfTen.at(static_cast<std::size_t>(power))) : value;
}

// value × 10^power, by factors a multiplication takes.
template <typename Number> Number timesPowerOfTen(Number value, int power)
{
    for (; power > 0; power -= 9) {
        value = value * powersOfTen.at(static_cast<std::size_t>(std::min(power, 9)));
    }
    return value;
}

// floor(value / 10^power).
template <typename Number> Number dividedByPowerOfTen(Number value, int power)
{
    for (; power > 0; power -= 9) {
        value = floorDivided(value, powersOfTen.at(static_cast<std::size_t>(std::min(power, 9))));
    }
    return value;
}

template <typename Number>
WeightedSum<Number> weightedSum(std::span<const ExactGrade> grades,
                                const std::vector<Thousandths>& weights, std::uint32_t weightSum,
                                int scale)
{
    WeightedSum<Number> mean{Number{}, weightSum, scale};
    for (std::size_t grade = 0; grade < grades.size() && grade < weights.size(); ++grade) {
        const ExactGrade& typed = grades[grade];
        const Number value =
            timesPowerOfTen(numberOf<Number>(typed.digits), typed.exponent + scale);
        const Number product = value * weights[grade].value;
        mean.sum = typed.negative ? mean.sum - product : mean.sum + product;
    }
    return mean;
}

// The concepts' bounds as sums of the scale: bound × weightSum × 10^scale.
template <typename Number> std::array<Number, 4> boundsAsSums(std::uint32_t weightSum, int scale)
{
    std::array<Number, 4> sums{};
    for (std::size_t bound = 0; bound < sums.size(); ++bound) {
        sums.at(bound) = timesPowerOfTen(Number(boundsInTenths.at(bound)) * weightSum, scale - 1);
    }
    return sums;
}

// The exact mean's letter, as its index from A's.
template <typename Number>
std::size_t letterOf(const WeightedSum<Number>& mean, const std::array<Number, 4>& bounds)
{
    std::size_t letter = 0;
    while (letter < bounds.size() && mean.sum < bounds.at(letter)) {
        ++letter;
    }
    return letter;
}

// The nearest multiple of step (in thousandths), halves up, in billionths:
// floor(mean / step + 1/2), where mean / step is sum / (weightSum × step × 10^(scale-3)).
template <typename Number>
std::int64_t roundedToStep(const WeightedSum<Number>& mean, std::uint32_t step)
{
    const Number unit = timesPowerOfTen(Number(mean.weightSum) * step, mean.scale - 3);
    const Number twice = floorDivided(mean.sum * 2U + unit, 2 * mean.weightSum);
    const std::int64_t multiples =
        narrowed(dividedByPowerOfTen(floorDivided(twice, step), mean.scale - 3));
    return multiples * step * 1'000'000;
}

// The mean at decimals (at most the scale): floor(mean × 10^decimals + 1/2), or, where
// that shows the bound of the letter above the mean's, floor(mean × 10^decimals).
template <typename Number>
std::int64_t shownAt(const WeightedSum<Number>& mean, int decimals, std::size_t letter)
{
    // mean × 10^decimals is sum / (weightSum × 10^(scale - decimals)).
    const int power = mean.scale - decimals;
    const Number half = timesPowerOfTen(Number(mean.weightSum), power);
    const std::int64_t rounded = narrowed(
        dividedByPowerOfTen(floorDivided(mean.sum * 2U + half, 2 * mean.weightSum), power));
    const std::int64_t boundAbove =
        letter == 0 ? INT64_MAX
                    : boundsInTenths.at(letter - 1) *
                          powersOfTen.at(static_cast<std::size_t>(decimals)) / 10;
    return rounded < boundAbove
               ? rounded
               : narrowed(dividedByPowerOfTen(floorDivided(mean.sum, mean.weightSum), power));
}

// Whether 64 bits hold the grade at 10^-6: at most six decimals, and under 10^4.
bool fitsNarrow(const ExactGrade& grade)
{
    constexpr std::uint64_t narrowLimit = 10'000'000'000; // 10^4 at 10^-6
    const int power = grade.exponent + narrowScale;
    return power >= 0 && power < 10 &&
           grade.digits < narrowLimit / powersOfTen.at(static_cast<std::size_t>(power));
}

} // namespace

MeanRule::MeanRule(const SchoolRule& rule) : rule_(rule)
{
    for (const Thousandths& weight : rule.weights) {
        weightSum_ += weight.value;
    }
    narrowBounds_ = boundsAsSums<std::int64_t>(weightSum_, narrowScale);
    wideBounds_ = boundsAsSums<Int128>(weightSum_, wideScale);
}

template <typename Number>
char MeanRule::decide(const WeightedSum<Number>& mean, const std::array<Number, 4>& bounds)
{
    rounded_.reset();
    exactLetter_ = letterOf(mean, bounds);
    if (!rule_.step) {
        return letters.at(exactLetter_);
    }
    rounded_ = roundedToStep(mean, rule_.step->value);
    std::size_t letter = 0;
    while (letter < boundsInTenths.size() && *rounded_ < boundsInTenths.at(letter) * 100'000'000) {
        ++letter;
    }
    return letters.at(letter);
}

char MeanRule::conceptOf(std::span<const ExactGrade> grades)
{
    wide_ = !std::all_of(grades.begin(), grades.end(), fitsNarrow);
    if (wide_) {
        wideSum_ = weightedSum<Int128>(grades, rule_.weights, weightSum_, wideScale);
        return decide(wideSum_, wideBounds_);
    }
    narrowSum_ = weightedSum<std::int64_t>(grades, rule_.weights, weightSum_, narrowScale);
    return decide(narrowSum_, narrowBounds_);
}

ShownMean MeanRule::shown(int decimals) const
{
    if (rounded_) {
        const int shownDecimals = decimalsOf(*rule_.step);
        return {*rounded_ / powersOfTen.at(static_cast<std::size_t>(9 - shownDecimals)),
                shownDecimals, true};
    }
    return {wide_ ? shownAt(wideSum_, decimals, exactLetter_)
                  : shownAt(narrowSum_, decimals, exactLetter_),
            decimals};
}
