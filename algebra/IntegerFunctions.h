// The integer functions gcd and lcm.
//
// Arguments are doubles truncated toward zero to signed 64-bit integers.
// The sign rules: gcd is negative exactly when one of its two arguments is
// negative (gcd(-12, 18) = -6, gcd(-12, -18) = 6), and a zero argument counts
// as non-negative (gcd(a, 0) = |a| with that rule, so gcd(-4, 0) = -4); lcm is
// a*b / gcd(a, b), hence never negative, and 0 when an argument is 0.
//
// Values are kept as a sign and a 64-bit magnitude, so every case is exact and
// defined, INT64_MIN included: gcd(INT64_MIN, INT64_MIN) is +2^63, which a
// signed 64-bit integer cannot hold. A result magnitude beyond 2^64 - 1
// (only an lcm can grow so) is reported, never wrapped.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace kv {

struct SignedInteger {
    bool negative = false;
    std::uint64_t magnitude = 0;

    static SignedInteger of(std::int64_t v);
    double toDouble() const;
    bool operator==(const SignedInteger&) const = default;
};

// Truncation toward zero of v; nothing for NaN, the infinities and values
// whose truncation lies outside [-2^63, 2^63 - 1].
std::optional<std::int64_t> truncateToInt64(double v);

SignedInteger gcd(SignedInteger v, SignedInteger u);
// Nothing when the magnitude of the result exceeds 2^64 - 1.
std::optional<SignedInteger> lcm(SignedInteger a, SignedInteger b);

enum class IntegerStatus {
    Ok,
    NotFinite,   // an argument is NaN or infinite (index in `argument`)
    OutOfRange,  // an argument truncates outside the signed 64-bit range
    Overflow,    // the lcm does not fit in 64 bits
};

struct IntegerResult {
    IntegerStatus status = IntegerStatus::Ok;
    double value = 0.0;
    int argument = -1;  // the offending argument for NotFinite and OutOfRange
};

// Folds the list from the left: the empty list gives 0, one element itself.
IntegerResult gcdOf(const std::vector<double>& values);
IntegerResult lcmOf(const std::vector<double>& values);

}  // namespace kv
