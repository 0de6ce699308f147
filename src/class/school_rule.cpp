#include "class/school_rule.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace {

constexpr std::size_t mostWeights = 20;
constexpr std::uint32_t mostWeight = 1000 * 1000; // 1000, in thousandths
constexpr std::uint32_t mostStep = 10 * 1000;     // 10, in thousandths

constexpr std::array<std::uint64_t, 20> powersOfTen{1,
                                                    10,
                                                    100,
                                                    1'000,
                                                    10'000,
                                                    100'000,
                                                    1'000'000,
                                                    10'000'000,
                                                    100'000'000,
                                                    1'000'000'000,
                                                    10'000'000'000,
                                                    100'000'000'000,
                                                    1'000'000'000'000,
                                                    10'000'000'000'000,
                                                    100'000'000'000'000,
                                                    1'000'000'000'000'000,
                                                    10'000'000'000'000'000,
                                                    100'000'000'000'000'000,
                                                    1'000'000'000'000'000'000,
                                                    10'000'000'000'000'000'000U};

// The digits of an item of --pesos or --arredondamento: digits, a point or a comma, and at
// most three decimals; in thousandths.
std::optional<std::uint32_t> thousandthsOf(std::string_view text)
{
    std::uint64_t value = 0;
    int decimals = -1;
    bool digits = false;
    for (const char character : text) {
        if (character >= '0' && character <= '9') {
            value = value * 10 + static_cast<std::uint64_t>(character - '0');
            decimals += decimals >= 0 ? 1 : 0;
            digits = true;
        } else if ((character == '.' || character == ',') && decimals < 0) {
            decimals = 0;
        } else {
            return std::nullopt;
        }
        if (value > 100'000'000 || decimals > 3) {
            return std::nullopt;
        }
    }
    if (!digits) {
        return std::nullopt;
    }
    value *= powersOfTen.at(static_cast<std::size_t>(3 - std::max(decimals, 0)));
    return static_cast<std::uint32_t>(value);
}

std::string_view trimmedText(std::string_view text)
{
    const std::size_t start = text.find_first_not_of(" \t");
    const std::size_t end = text.find_last_not_of(" \t");
    return start == std::string_view::npos ? std::string_view()
                                           : text.substr(start, end - start + 1);
}

// A number of thousandths as the table shows it: 1500 as 1,5.
std::string typedThousandths(std::uint32_t value)
{
    std::string text = std::to_string(value / 1000);
    std::uint32_t decimals = value % 1000;
    if (decimals != 0) {
        std::string fraction = std::to_string(1000 + decimals).substr(1);
        fraction.erase(fraction.find_last_not_of('0') + 1);
        text += ',' + fraction;
    }
    return text;
}

} // namespace

SchoolRule SchoolRule::standard()
{
    return {{{1000, "1"}, {2000, "2"}, {3000, "3"}}, std::nullopt, false};
}

SchoolRule SchoolRule::boletim()
{
    SchoolRule rule = standard();
    rule.asBoletim = true;
    return rule;
}

std::string SchoolRule::described() const
{
    if (asBoletim) {
        return "como o boletim: pesos 1, 2 e 3, em precis\u00e3o simples";
    }
    return (weights.size() == 1 ? "peso " : "pesos ") + weightsListed() + "; m\u00e9dia exata, " +
           (step ? "arredondada a m\u00faltiplos de " + step->typed : "sem arredondamento");
}

std::string SchoolRule::weightsListed() const
{
    // Between weights with a decimal comma, a comma would run them together.
    const bool decimal = std::any_of(weights.begin(), weights.end(), [](const Thousandths& weight) {
        return weight.typed.find(',') != std::string::npos;
    });
    std::string text;
    for (std::size_t weight = 0; weight < weights.size(); ++weight) {
        text += weight == 0 ? "" : weight + 1 == weights.size() ? " e " : decimal ? "; " : ", ";
        text += weights[weight].typed;
    }
    return text;
}

std::optional<std::vector<Thousandths>> weightsOf(std::string_view text, std::string& why)
{
    const char separator = text.find(';') != std::string_view::npos ? ';' : ',';
    std::vector<Thousandths> weights;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find(separator, start), text.size());
        const std::string_view item = trimmedText(text.substr(start, end - start));
        const auto value = thousandthsOf(
            separator == ',' && item.find(',') != std::string_view::npos ? std::string_view()
                                                                         : item);
        if (!value || *value == 0 || *value > mostWeight) {
            why = "--pesos pede n\u00fameros positivos de at\u00e9 1000, com at\u00e9 tr\u00eas "
                  "casas decimais, separados por v\u00edrgula (1,2,3 ou 1.5,2,2.5) ou, com "
                  "v\u00edrgula decimal, por ponto e v\u00edrgula (1,5;2;2,5): '" +
                  std::string(text) + "'";
            return std::nullopt;
        }
        weights.push_back({*value, typedThousandths(*value)});
        start = end + 1;
    }
    if (weights.size() > mostWeights) {
        why = "--pesos aceita at\u00e9 20 pesos, e h\u00e1 " + std::to_string(weights.size());
        return std::nullopt;
    }
    return weights;
}

std::optional<Thousandths> stepOf(std::string_view text, std::string& why)
{
    const auto value = thousandthsOf(trimmedText(text));
    if (!value || *value == 0 || *value > mostStep) {
        why = "--arredondamento pede um passo positivo de at\u00e9 10, com at\u00e9 tr\u00eas "
              "casas decimais, como 0,1, 0,5 ou 1: '" +
              std::string(text) + "'";
        return std::nullopt;
    }
    return Thousandths{*value, typedThousandths(*value)};
}

int decimalsOf(const Thousandths& step)
{
    return step.value % 10 != 0 ? 3 : step.value % 100 != 0 ? 2 : step.value % 1000 != 0 ? 1 : 0;
}

double MeanRule::shownValue(int decimals) const
{
    const ShownMean mean = shown(decimals);
    return static_cast<double>(mean.units) /
           static_cast<double>(powersOfTen.at(static_cast<std::size_t>(mean.decimals)));
}

double valueOf(const ExactGrade& grade)
{
    std::array<char, 32> text{};
    char* out = text.data();
    *out = '-';
    out += grade.negative ? 1 : 0;
    out = std::to_chars(out, text.data() + 24, grade.digits).ptr;
    *out++ = 'e';
    std::to_chars(out, text.data() + text.size() - 1, grade.exponent);
    return std::strtod(text.data(), nullptr);
}

char* putShown(char* out, ShownMean mean, char decimalMark)
{
    const auto decimals = static_cast<std::size_t>(mean.decimals);
    std::uint64_t magnitude = mean.units < 0 ? 0 - static_cast<std::uint64_t>(mean.units)
                                             : static_cast<std::uint64_t>(mean.units);
    // The digits from the last, at least one before the mark.
    std::array<char, longestShown> reversed{};
    std::size_t count = 0;
    for (; magnitude != 0 || count <= decimals; magnitude /= 10) {
        reversed.at(count++) = static_cast<char>('0' + magnitude % 10);
    }
    std::size_t dropped = 0; // trailing zeros of the decimals
    while (!mean.fixedDecimals && dropped < decimals && reversed.at(dropped) == '0') {
        ++dropped;
    }
    if (mean.units < 0) {
        *out++ = '-';
    }
    for (std::size_t digit = count; digit-- > dropped;) {
        if (digit + 1 == decimals) {
            *out++ = decimalMark;
        }
        *out++ = reversed.at(digit);
    }
    return out;
}

std::string shownText(ShownMean mean, char decimalMark)
{
    std::array<char, longestShown> text{};
    return {text.data(), putShown(text.data(), mean, decimalMark)};
}
