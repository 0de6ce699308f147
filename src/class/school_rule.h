#ifndef BOLETIM_SCHOOL_RULE_H
#define BOLETIM_SCHOOL_RULE_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "class/int128.h"
#include "grading/reading.h"

// The school's rule for a class's means: its weights, one a grade, and its rounding, the
// mean computed exactly from the grades as typed (7,22 is 722/100); or boletim's own
// rule, three grades weighted 1, 2 and 3 in single precision, byte for byte.

// A weight or a rounding step as typed, exactly, in thousandths: 1,5 is 1500.
struct Thousandths {
    std::uint32_t value = 0;
    std::string typed; // as the table and messages show it: "1,5"
};

struct SchoolRule {
    std::vector<Thousandths> weights; // a weight a grade, in the grades' order
    std::optional<Thousandths> step;  // each mean rounded to a multiple of it, halves up
    bool asBoletim = false;           // single precision, as boletim computes

    // Three grades, weighted 1, 2 and 3, computed exactly, without rounding.
    static SchoolRule standard();
    // boletim's own: the same weights, in single precision.
    static SchoolRule boletim();

    [[nodiscard]] std::size_t grades() const
    {
        return weights.size();
    }
    // "1, 2 e 3", or "1,5; 2 e 2,5".
    [[nodiscard]] std::string weightsListed() const;
    // "pesos 1, 2 e 3; média exata, sem arredondamento", for the summary and "Resumo".
    [[nodiscard]] std::string described() const;
};

// The weights of --pesos: positive numbers with at most three decimals, each at most
// 1000, from 1 to 20 of them, separated by commas (1.5,2,2.5) or, where commas are
// decimal, by semicolons (1,5;2;2,5); or, in why, what is wrong.
std::optional<std::vector<Thousandths>> weightsOf(std::string_view text, std::string& why);

// The step of --arredondamento: a positive number with at most three decimals, at most 10.
std::optional<Thousandths> stepOf(std::string_view text, std::string& why);

// A mean as the table shows it: units × 10^-decimals.
struct ShownMean {
    std::int64_t units = 0;
    int decimals = 0;
    bool fixedDecimals = false; // a rounding step's decimals, shown even where zeros
};

// A weighted sum of grades, Σ weight × grade, the weights in thousandths and the grades
// in units of 10^-scale, and the weights' sum: the mean is sum / (weightSum × 10^scale).
template <typename Number> struct WeightedSum {
    Number sum{};
    std::uint32_t weightSum = 0;
    int scale = 0;
};

// What the rule makes of a student's grades: the concept, decided on the exact mean (or
// on the rounded one, where the school rounds), and the mean shown at a number of
// decimals, never past a concept's bound the mean does not reach.
class MeanRule {
  public:
    explicit MeanRule(const SchoolRule& rule);

    // The concept letter of the grades, which must all be within reach.
    [[nodiscard]] char conceptOf(std::span<const ExactGrade> grades);
    // The mean of the last grades the concept was asked of, shown at decimals (up to 6):
    // rounded halves up, or, where that would show a bound the mean does not reach, cut;
    // with a rounding step, the rounded mean at the step's decimals, whatever decimals.
    [[nodiscard]] ShownMean shown(int decimals) const;
    // The same as a double, for a spreadsheet's cell.
    [[nodiscard]] double shownValue(int decimals) const;

  private:
    template <typename Number>
    char decide(const WeightedSum<Number>& mean, const std::array<Number, 4>& bounds);

    SchoolRule rule_;
    std::uint32_t weightSum_ = 0;
    // The concepts' bounds, A's to D's, as sums of each scale.
    std::array<std::int64_t, 4> narrowBounds_{};
    std::array<Int128, 4> wideBounds_{};
    // The last grades' sum: in 64 bits where they fit, as most do, else in 128.
    bool wide_ = false;
    WeightedSum<std::int64_t> narrowSum_;
    WeightedSum<Int128> wideSum_;
    std::size_t exactLetter_ = 0;         // the exact mean's, from A's
    std::optional<std::int64_t> rounded_; // in billionths, where the school rounds
};

// A grade's exact value as the nearest double, for a spreadsheet's cell.
double valueOf(const ExactGrade& grade);

// A shown mean as text, with decimalMark and no trailing zeros unless its decimals are
// fixed: 8,333333, 6, 6,5; rounded to 0,5, 6,0. At most longestShown characters.
std::string shownText(ShownMean mean, char decimalMark);
char* putShown(char* out, ShownMean mean, char decimalMark);
constexpr std::size_t longestShown = 24;

// The number of decimals a step shows: 0,5 shows one, 0,25 two, 1 none.
int decimalsOf(const Thousandths& step);

#endif
