// The school's rule against exact rational arithmetic: random weights, 1 to 12 grades
// in the grammar's forms, random rounding steps; every concept and shown mean the exact
// one. And where the exact mean's reach stops.
#include <array>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "class_maker.h"
#include "exact_mean.h"

namespace {

// A grade in hundredths as a teacher may type it, and the same as a plain decimal.
struct Typed {
    std::string typed;
    std::string plain;
};

Typed typedGrade(int hundredths, std::mt19937& random)
{
    const std::string whole = std::to_string(hundredths / 100);
    const std::string cents = std::to_string(100 + hundredths % 100).substr(1);
    const std::string plain = whole + ',' + cents;
    switch (std::uniform_int_distribution<int>(0, 6)(random)) {
    case 0:
        return {plain, plain}; // 7,50
    case 1:
        return {whole + '.' + cents, plain}; // 7.50
    case 2:
        return {std::to_string(hundredths) + "e-2", plain}; // 750e-2
    case 3:
        return {'0' + plain, plain}; // 07,50
    case 4:
        return {'+' + plain + '0', plain}; // +7,500
    case 5: { // a formula's value, as a spreadsheet keeps it: 6,666666666666667
        std::string digits = plain;
        for (int more = std::uniform_int_distribution<int>(1, 16)(random); more > 0; --more) {
            digits += static_cast<char>('0' + random() % 10);
        }
        return {digits, digits};
    }
    default:
        return {hundredths % 100 == 0 ? whole : plain, plain}; // 7
    }
}

// A class of five students made by the rule's weights: the file, and each student's
// grades as plain decimals.
struct MadeClass {
    std::vector<std::int64_t> weights; // in thousandths
    std::int64_t step = 0;             // in thousandths, 0 for none
    std::string file;
    std::vector<std::vector<std::string>> plain;
};

// The last grade that brings the mean to within 10^-14 of a concept's bound, just below
// or just above it, as a formula's value with 14 decimals; none where that grade would be
// 10^4 or more (its last weight too small beside the others').
std::optional<std::string>
gradeAtABound(const MadeClass& made, const std::vector<std::string>& grades, std::mt19937& random)
{
    const std::array<std::uint32_t, 4> boundsInTenths{90, 75, 60, 40};
    std::uint32_t weightSum = 0;
    exact::Integer rest = 0; // in 10^-18 times the weights
    for (std::size_t grade = 0; grade < made.weights.size(); ++grade) {
        const auto weight = static_cast<std::uint32_t>(made.weights[grade]);
        weightSum += weight;
        rest = grade < grades.size() ? rest - exact::units(grades[grade]) * weight : rest;
    }
    rest = rest + exact::Integer(boundsInTenths.at(random() % boundsInTenths.size())) * weightSum *
                      100'000'000 * 1'000'000'000;
    const exact::Integer grade =
        floorDivided(rest, static_cast<std::uint32_t>(made.weights.back()), 4) +
        static_cast<std::int64_t>(random() % 2);
    const exact::Integer most = exact::Integer(exact::Integer::base) * exact::Integer::base;
    if (!(grade < most) || !(-most < grade)) {
        return std::nullopt;
    }
    return exact::asText(grade, 14, true);
}

MadeClass madeClass(std::mt19937& random)
{
    const std::vector<std::int64_t> weightChoices{1000, 2000, 3000, 1500,     250,
                                                  4000, 1,    999,  1'000'000};
    const std::vector<std::int64_t> steps{0, 0, 100, 500, 1000, 250, 50, 2500};
    MadeClass made;
    made.file = "Nome";
    const auto count = std::uniform_int_distribution<std::size_t>(1, 12)(random);
    for (std::size_t grade = 0; grade < count; ++grade) {
        made.weights.push_back(weightChoices.at(random() % weightChoices.size()));
        made.file += ";N" + std::to_string(grade + 1);
    }
    made.step = steps.at(random() % steps.size());
    for (int student = 0; student < 5; ++student) {
        made.file += "\nAluno " + std::to_string(student);
        std::vector<std::string> plain;
        for (std::size_t grade = 0; grade < count; ++grade) {
            const Typed typed =
                typedGrade(std::uniform_int_distribution<int>(0, 1000)(random), random);
            const auto aimed = grade + 1 == count && random() % 3 == 0
                                   ? gradeAtABound(made, plain, random)
                                   : std::nullopt;
            plain.push_back(aimed.value_or(typed.plain));
            made.file += ';' + aimed.value_or(typed.typed);
        }
        made.plain.push_back(plain);
    }
    made.file += '\n';
    return made;
}

// The rule of the class's weights and step.
ClassOptions optionsOf(const MadeClass& made)
{
    ClassOptions options;
    options.rule.weights.clear();
    for (const std::int64_t weight : made.weights) {
        options.rule.weights.push_back({static_cast<std::uint32_t>(weight), ""});
    }
    if (made.step != 0) {
        options.rule.step = Thousandths{static_cast<std::uint32_t>(made.step), ""};
    }
    return options;
}

// Most grades from 0 to 10 in every form; a third of the students' last grade brings the
// mean to within 10^-14 of a bound, where a rounding error would show.
TEST(RuleTest, EveryConceptAndMeanIsTheExactOnes)
{
    std::mt19937 random(34);
    for (int trial = 0; trial < 300; ++trial) {
        const MadeClass made = madeClass(random);
        const ClassRun run = runClass(made.file, optionsOf(made));
        const auto rows = made_up::tableRows(run.table);
        ASSERT_EQ(rows.size(), made.plain.size() + 1) << made.file << run.result.problem;
        for (std::size_t student = 0; student < made.plain.size(); ++student) {
            const exact::Expected expected =
                exact::expectedMean(made.plain[student], made.weights, made.step);
            const std::vector<std::string> shown(rows[student + 1].end() - 3,
                                                 rows[student + 1].end() - 1);
            EXPECT_EQ(shown, (std::vector<std::string>{expected.shown, {expected.letter}}))
                << made.file;
        }
    }
}

// Where the exact mean's reach stops: 18 decimals, and less than 10^9. Past it, a row in
// error, never a value rounded to fit.
TEST(RuleTest, TheExactReachStopsAtItsBounds)
{
    const auto cases = std::to_array<std::pair<const char*, bool>>({
        {"0.000000000000000001", true},   // 10^-18
        {"0.0000000000000000001", false}, // 10^-19
        {"6.666666666666667", true},      // a formula's value, as a spreadsheet keeps it
        {"0.30000000000000004", true},
        {"999999999.999999999", true},
        {"1e9", false},
        {"-999999999", true},
        {"7.50000000000000000000000", true}, // zeros past the reach are no digits
        {"7.00000000000000000000001", false},
        {"1e-99999999", false},
        {"0e99999", true},
    });
    for (const auto& [typed, within] : cases) {
        EXPECT_EQ(exactGrade(typed).withinReach, within) << typed;
    }
}

} // namespace
