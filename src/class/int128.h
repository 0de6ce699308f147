#ifndef BOLETIM_INT128_H
#define BOLETIM_INT128_H

#include <array>
#include <cstddef>
#include <cstdint>

// A signed integer of 128 bits, two's complement in two words, for the exact sums of
// grades with many decimals on every target (32-bit ones have no such type). Only what
// those sums do: add, negate, multiply and floor-divide by a factor under 2^32, compare.
class Int128 {
  public:
    constexpr Int128() = default;
    constexpr explicit Int128(std::int64_t value)
        : high_(value < 0 ? ~std::uint64_t{0} : 0), low_(static_cast<std::uint64_t>(value))
    {
    }

    static constexpr Int128 ofUnsigned(std::uint64_t value)
    {
        return {0, value};
    }

    friend constexpr Int128 operator+(Int128 one, Int128 other)
    {
        const std::uint64_t low = one.low_ + other.low_;
        return {one.high_ + other.high_ + (low < one.low_ ? 1U : 0U), low};
    }
    friend constexpr Int128 operator-(Int128 value)
    {
        return Int128{~value.high_, ~value.low_} + Int128{1};
    }
    friend constexpr Int128 operator-(Int128 one, Int128 other)
    {
        return one + -other;
    }
    // value × factor, where the product fits: modulo 2^128, as two's complement allows.
    friend constexpr Int128 operator*(Int128 value, std::uint32_t factor)
    {
        const std::uint64_t lowLow = (value.low_ & 0xFFFFFFFFU) * factor;
        const std::uint64_t lowHigh = (value.low_ >> 32U) * factor;
        const std::uint64_t low = lowLow + (lowHigh << 32U);
        return {value.high_ * factor + (lowHigh >> 32U) + (low < lowLow ? 1U : 0U), low};
    }
    friend constexpr bool operator<(Int128 one, Int128 other)
    {
        return one.high_ != other.high_
                   ? static_cast<std::int64_t>(one.high_) < static_cast<std::int64_t>(other.high_)
                   : one.low_ < other.low_;
    }

    // floor(value / divisor), 32 bits at a time.
    friend constexpr Int128 floorDivided(Int128 value, std::uint32_t divisor)
    {
        const bool negative = value < Int128{};
        const Int128 magnitude = negative ? -value : value;
        const std::array<std::uint64_t, 4> limbs{
            magnitude.high_ >> 32U, magnitude.high_ & 0xFFFFFFFFU, magnitude.low_ >> 32U,
            magnitude.low_ & 0xFFFFFFFFU};
        std::array<std::uint64_t, 4> quotient{};
        std::uint64_t remainder = 0;
        for (std::size_t limb = 0; limb < limbs.size(); ++limb) {
            const std::uint64_t current = (remainder << 32U) | limbs.at(limb);
            quotient.at(limb) = current / divisor;
            remainder = current % divisor;
        }
        const Int128 whole{(quotient[0] << 32U) | quotient[1], (quotient[2] << 32U) | quotient[3]};
        // Below zero, a remainder makes the quotient one further from zero.
        return negative ? -(whole + Int128{remainder != 0 ? 1 : 0}) : whole;
    }

    // The value, which must fit in 64 bits.
    [[nodiscard]] constexpr std::int64_t narrowed() const
    {
        return static_cast<std::int64_t>(low_);
    }

  private:
    constexpr Int128(std::uint64_t high, std::uint64_t low) : high_(high), low_(low) {}

    std::uint64_t high_ = 0;
    std::uint64_t low_ = 0;
};

#endif
