// Numeric powers: squares are x*x and cubes the correctly rounded cube,
// checked against exact integer arithmetic; other powers are std::pow.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

#include "engine/Power.h"

namespace kv {
namespace {

bool sameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0 || (a != a && b != b);
}

// The double nearest to m^3 * 2^(3k) (ties to even), m < 2^42 so that m^3
// fits in 126 bits.
double exactCube(std::int64_t m, int k) {
    const bool negative = m < 0;
    const unsigned __int128 u = static_cast<unsigned __int128>(negative ? -m : m);
    unsigned __int128 v = u * u * u;
    int length = 0;
    for (unsigned __int128 t = v; t != 0; t >>= 1) ++length;
    int shift = 0;
    if (length > 53) {
        shift = length - 53;
        const unsigned __int128 rest = v & ((static_cast<unsigned __int128>(1) << shift) - 1);
        const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
        v >>= shift;
        if (rest > half || (rest == half && (v & 1) != 0)) ++v;
    }
    const double magnitude =
        std::ldexp(static_cast<double>(static_cast<std::uint64_t>(v)), shift + 3 * k);
    return negative ? -magnitude : magnitude;
}

TEST(PowerTest, CubesAreRoundedOnceFromTheExactCube) {
    std::mt19937_64 random(2024);
    int checked = 0;
    auto check = [&](std::int64_t m, int k) {
        const double x = std::ldexp(static_cast<double>(m), k);
        const double expected = exactCube(m, k);
        ASSERT_TRUE(sameBits(cubeOf(x), expected))
            << "m=" << m << " k=" << k << ": " << cubeOf(x) << " instead of " << expected;
        ++checked;
    };
    // Mantissas of every length up to 42 bits, scaled far up and down.
    for (int bits = 1; bits <= 42; ++bits) {
        std::uniform_int_distribution<std::int64_t> mantissa(std::int64_t{1} << (bits - 1),
                                                             (std::int64_t{1} << bits) - 1);
        std::uniform_int_distribution<int> scale(-300, 280);
        for (int n = 0; n < 2000; ++n) {
            const std::int64_t m = mantissa(random) * (n % 2 == 0 ? 1 : -1);
            check(m, scale(random) - bits);
        }
    }
    // Odd mantissas whose cube has exactly 54 bits lie halfway between two
    // doubles: the tie goes to the even one.
    for (std::int64_t m = 192001; m < 262144; m += 2) {
        const unsigned __int128 c = static_cast<unsigned __int128>(m) * m * m;
        if ((c >> 53) == 1) check(m, -20);
    }
    EXPECT_GT(checked, 100000);
}

TEST(PowerTest, SquaresAreOneProduct) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> mantissa(-2.0, 2.0);
    std::uniform_int_distribution<int> scale(-540, 520);
    for (int n = 0; n < 100000; ++n) {
        const double x = std::ldexp(mantissa(random), scale(random));
        ASSERT_TRUE(sameBits(numericPower(x, 2.0), x * x)) << x;
    }
}

struct PowerRow {
    double base;
    double exponent;
};

// Where the cube leaves the exact product to pow (zeros, non-finite, cubes
// beyond 2^1000 or below 2^-960), and every exponent but 2 and 3, the value
// is std::pow's.
TEST(PowerTest, OtherPowersAreStdPow) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const PowerRow rows[] = {
        {0.0, 3.0},     {-0.0, 3.0},     {inf, 3.0},    {-inf, 3.0},    {nan, 3.0},
        {0x1p340, 3.0}, {-0x1p340, 3.0}, {1e-300, 3.0}, {-3e-321, 3.0}, {1.5e103, 3.0},
        {2.0, 0.5},     {-8.0, 1.0 / 3}, {1.1, 4.0},    {-2.0, -1.0},   {0.0, -2.0},
        {10.0, 22.0},   {nan, 0.0},      {1.0, nan},    {-1.5, 2.5},    {7.0, 3.0000001},
    };
    for (const PowerRow& row : rows)
        EXPECT_TRUE(
            sameBits(numericPower(row.base, row.exponent), std::pow(row.base, row.exponent)))
            << row.base << "^" << row.exponent;
    // A cube inside the range: the exact product, finite and of the base's sign.
    EXPECT_TRUE(sameBits(numericPower(-3.0, 3.0), -27.0));
    EXPECT_TRUE(sameBits(numericPower(0x1p-300, 3.0), 0x1p-900));
}

}  // namespace
}  // namespace kv
