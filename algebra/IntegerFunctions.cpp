#include "algebra/IntegerFunctions.h"

#include <cmath>
#include <limits>

namespace kv {

SignedInteger SignedInteger::of(std::int64_t v) {
    // The magnitude of INT64_MIN is 2^63; computing it in unsigned arithmetic
    // avoids negating the signed value.
    if (v < 0) return {true, std::uint64_t{0} - static_cast<std::uint64_t>(v)};
    return {false, static_cast<std::uint64_t>(v)};
}

double SignedInteger::toDouble() const {
    double m = static_cast<double>(magnitude);
    return negative ? -m : m;
}

std::optional<std::int64_t> truncateToInt64(double v) {
    if (!std::isfinite(v)) return std::nullopt;
    const double t = std::trunc(v);
    // -2^63 is exact as a double; 2^63 is the first value beyond the range.
    constexpr double kTwo63 = 9223372036854775808.0;
    if (t < -kTwo63 || t >= kTwo63) return std::nullopt;
    return static_cast<std::int64_t>(t);
}

namespace {

std::uint64_t euclid(std::uint64_t v, std::uint64_t u) {
    if (v < u) std::swap(v, u);
    // gcd(v, 0) = v, which also covers gcd(0, 0) = 0.
    while (u != 0) {
        std::uint64_t r = v % u;
        v = u;
        u = r;
    }
    return v;
}

}  // namespace

// The result is negative exactly when one argument is negative; zero counts
// as non-negative.
SignedInteger gcd(SignedInteger v, SignedInteger u) {
    const bool negative = v.negative != u.negative;
    const std::uint64_t g = euclid(v.magnitude, u.magnitude);
    return {negative && g != 0, g};
}

// a*b / gcd(a, b): the signs cancel, so the result is never negative.
std::optional<SignedInteger> lcm(SignedInteger a, SignedInteger b) {
    if (a.magnitude == 0 || b.magnitude == 0) return SignedInteger{};
    const std::uint64_t g = euclid(a.magnitude, b.magnitude);
    const std::uint64_t q = a.magnitude / g;
    if (q > std::numeric_limits<std::uint64_t>::max() / b.magnitude) return std::nullopt;
    return SignedInteger{false, q * b.magnitude};
}

namespace {

template <class Step>
IntegerResult fold(const std::vector<double>& values, Step step) {
    IntegerResult result;
    SignedInteger acc;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!std::isfinite(values[i])) return {IntegerStatus::NotFinite, 0.0, static_cast<int>(i)};
        std::optional<std::int64_t> t = truncateToInt64(values[i]);
        if (!t) return {IntegerStatus::OutOfRange, 0.0, static_cast<int>(i)};
        SignedInteger next = SignedInteger::of(*t);
        if (i == 0) {
            acc = next;
            continue;
        }
        std::optional<SignedInteger> combined = step(acc, next);
        if (!combined) return {IntegerStatus::Overflow, 0.0, static_cast<int>(i)};
        acc = *combined;
    }
    result.value = acc.toDouble();
    return result;
}

}  // namespace

IntegerResult gcdOf(const std::vector<double>& values) {
    return fold(values, [](SignedInteger a, SignedInteger b) -> std::optional<SignedInteger> {
        return gcd(a, b);
    });
}

IntegerResult lcmOf(const std::vector<double>& values) {
    return fold(values, [](SignedInteger a, SignedInteger b) { return lcm(a, b); });
}

}  // namespace kv
