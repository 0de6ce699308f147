// The school's mean computed apart, for the tests to hold the program to: exact rational
// arithmetic on integers of any size in decimal limbs, for grades of up to 18 decimals
// and weights of up to three. Not the program's way (64- or 128-bit binary words).
#ifndef BOLETIM_TESTS_EXACT_MEAN_H
#define BOLETIM_TESTS_EXACT_MEAN_H

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace exact {

// A signed integer: its sign, and its magnitude in limbs of nine decimal digits, the
// least significant first.
struct Integer {
    static constexpr std::int64_t base = 1'000'000'000;
    bool negative = false;
    std::vector<std::int64_t> limbs;

    Integer(std::int64_t value = 0) // NOLINT(google-explicit-constructor): a number
        : negative(value < 0)
    {
        for (std::int64_t rest = value < 0 ? -value : value; rest != 0; rest /= base) {
            limbs.push_back(rest % base);
        }
    }
};

// Carries each limb's excess into the next; a magnitude that came out below zero turns
// the sign.
inline Integer normalized(Integer value)
{
    value.limbs.push_back(0);
    for (std::size_t limb = 0; limb + 1 < value.limbs.size(); ++limb) {
        const std::int64_t carry =
            value.limbs[limb] / Integer::base - (value.limbs[limb] % Integer::base < 0 ? 1 : 0);
        value.limbs[limb] -= carry * Integer::base;
        value.limbs[limb + 1] += carry;
    }
    if (value.limbs.back() < 0) { // -(b^n - m): the magnitude is b^n minus the rest
        value.negative = !value.negative;
        value.limbs.back() += 1;
        for (std::size_t limb = 0; limb < value.limbs.size(); ++limb) {
            value.limbs[limb] = (limb + 1 < value.limbs.size() ? Integer::base - 1 : 0) -
                                value.limbs[limb] + (limb == 0 ? 1 : 0);
        }
        return normalized(value);
    }
    while (!value.limbs.empty() && value.limbs.back() == 0) {
        value.limbs.pop_back();
    }
    value.negative = value.negative && !value.limbs.empty();
    return value;
}

inline Integer operator-(Integer value)
{
    value.negative = !value.negative && !value.limbs.empty();
    return value;
}

inline Integer operator+(Integer one, const Integer& other)
{
    one.limbs.resize(std::max(one.limbs.size(), other.limbs.size()));
    for (std::size_t limb = 0; limb < other.limbs.size(); ++limb) {
        one.limbs[limb] += one.negative == other.negative ? other.limbs[limb] : -other.limbs[limb];
    }
    return normalized(one);
}

inline Integer operator-(const Integer& one, const Integer& other)
{
    return one + -other;
}

inline Integer operator*(Integer value, std::int64_t factor) // 0 ≤ factor < 10^9
{
    for (std::int64_t& limb : value.limbs) {
        limb *= factor;
    }
    return normalized(value);
}

inline bool operator<(const Integer& one, const Integer& other)
{
    return (one - other).negative;
}

// floor(value / (divisor × 10^power)), 0 < divisor < 10^9.
inline Integer floorDivided(Integer value, std::int64_t divisor, int power = 0)
{
    for (; power >= 0; --power) {
        const std::int64_t by = power == 0 ? divisor : 10;
        std::int64_t remainder = 0;
        for (std::size_t limb = value.limbs.size(); limb-- > 0;) {
            const std::int64_t current = remainder * Integer::base + value.limbs[limb];
            value.limbs[limb] = current / by;
            remainder = current % by;
        }
        value = normalized(value.negative && remainder != 0 ? value - 1 : value);
    }
    return value;
}

struct Expected {
    char letter;
    std::string shown; // with a point, no trailing zeros but a step's: 6, 8.333333, 6.0
};

// "7,5", "-0.25", "75" in units of 10^-18; the test's own grades have at most 18 decimals.
inline Integer units(const std::string& typed)
{
    Integer value = 0;
    int decimals = -1;
    for (const char character : typed) {
        if (character == ',' || character == '.') {
            decimals = 0;
        } else if (character >= '0' && character <= '9') {
            value = value * 10 + (character - '0');
            decimals += decimals >= 0 ? 1 : 0;
        }
    }
    for (int missing = decimals < 0 ? 18 : 18 - decimals; missing > 0; --missing) {
        value = value * 10;
    }
    return typed.starts_with('-') ? -value : value;
}

inline std::string asText(const Integer& units, int decimals, bool keepZeros)
{
    std::string digits = units.limbs.empty() ? "0" : std::to_string(units.limbs.back());
    for (std::size_t limb = units.limbs.size(); limb-- > 1;) {
        const std::string part = std::to_string(units.limbs[limb - 1]);
        digits += std::string(9 - part.size(), '0') + part;
    }
    if (static_cast<int>(digits.size()) <= decimals) {
        digits.insert(0, static_cast<std::size_t>(decimals + 1) - digits.size(), '0');
    }
    std::string whole = digits.substr(0, digits.size() - static_cast<std::size_t>(decimals));
    std::string fraction = digits.substr(whole.size());
    if (!keepZeros) {
        fraction.erase(fraction.find_last_not_of('0') + 1);
    }
    const std::string text = fraction.empty() ? whole : whole + '.' + fraction;
    return units.negative ? '-' + text : text;
}

// The concept and the mean shown at six decimals, or at the step's, of grades weighted in
// thousandths, rounded to a step in thousandths where it is not 0.
inline Expected expectedMean(const std::vector<std::string>& grades,
                             const std::vector<std::int64_t>& weights, std::int64_t step = 0)
{
    Integer sum = 0; // the mean is sum / (weightSum × 10^18)
    std::int64_t weightSum = 0;
    for (std::size_t grade = 0; grade < grades.size(); ++grade) {
        sum = sum + units(grades[grade]) * weights[grade];
        weightSum += weights[grade];
    }
    // The mean reaches a bound of tenths where sum × 10 ≥ bound × weightSum × 10^18.
    const std::vector<std::pair<std::int64_t, char>> bounds{
        {90, 'A'}, {75, 'B'}, {60, 'C'}, {40, 'D'}};
    const auto reaches = [&](std::int64_t bound) {
        return !(sum * 10 < Integer(bound) * weightSum * Integer::base * Integer::base);
    };
    if (step != 0) {
        // The nearest multiple of the step, halves up: floor((2 sum + u) / 2u), where u is
        // weightSum × step × 10^15.
        const Integer unit = Integer(weightSum) * step * Integer::base * 1'000'000;
        const Integer thousandths =
            floorDivided(floorDivided(sum * 2 + unit, 2 * weightSum, 15), step) * step;
        const auto letter = std::find_if(bounds.begin(), bounds.end(), [&](const auto& bound) {
            return !(thousandths * 10 < Integer(bound.first) * 1000);
        });
        const int decimals = step % 10 != 0 ? 3 : step % 100 != 0 ? 2 : step % 1000 != 0 ? 1 : 0;
        return {letter == bounds.end() ? 'E' : letter->second,
                asText(floorDivided(thousandths, 1, 3 - decimals), decimals, true)};
    }
    const auto letter = std::find_if(bounds.begin(), bounds.end(),
                                     [&](const auto& bound) { return reaches(bound.first); });
    // Six decimals, halves up, but cut where that would reach a bound the mean does not:
    // mean × 10^6 is sum / (weightSum × 10^12).
    Integer shown =
        floorDivided(sum * 2 + Integer(weightSum) * 1'000'000 * 1'000'000, 2 * weightSum, 12);
    for (const auto& [bound, boundLetter] : bounds) {
        if (!(shown * 10 < Integer(bound) * 1'000'000) && !reaches(bound)) {
            shown = floorDivided(sum, weightSum, 12);
        }
    }
    return {letter == bounds.end() ? 'E' : letter->second, asText(shown, 6, false)};
}

} // namespace exact

#endif
