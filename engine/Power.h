// Numeric powers a^b in double. Squares and cubes are the correctly rounded
// power: x^2 is x*x, one rounding, and x^3 is carried as a double-double and
// rounded once, so x^2 == x*x always (glibc's pow errs by up to 0.54 ULP and
// misrounds about one square in a thousand). Every other power is std::pow.
//
// The cube is written once for a double and for the compiled form's vectors
// of two doubles (the compiler's vector extension, which both gcc and clang
// lower to the target's vector instructions; vector and scalar operations
// round alike), so the two give the same bits.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>

namespace kv {

using Double2 = double __attribute__((vector_size(16)));
using Mask2 = std::int64_t __attribute__((vector_size(16)));  // lanes of all ones or zero

namespace power_detail {

inline double magnitudeOf(double x) { return std::fabs(x); }
inline Double2 magnitudeOf(Double2 x) {
    return reinterpret_cast<Double2>(reinterpret_cast<Mask2>(x) &
                                     static_cast<std::int64_t>(~(1ULL << 63)));
}

// a * b = p + e exactly (Dekker's product; exact where neither a, b nor the
// partial products overflow or underflow, which the cube's range ensures).
template <typename T>
inline void twoProduct(T a, T b, T& p, T& e) {
    constexpr double kSplit = 134217729.0;  // 2^27 + 1
    p = a * b;
    T t = kSplit * a;
    const T ah = t - (t - a);
    const T al = a - ah;
    t = kSplit * b;
    const T bh = t - (t - b);
    const T bl = b - bh;
    e = ((ah * bh - p) + ah * bl + al * bh) + al * bl;
}

}  // namespace power_detail

// x^3 rounded once: x*x exactly as p + e, times x as p3 + e3 exactly, plus
// e*x; the sum is within 2^-100 of the cube and r is its nearest double.
// Gives whether r may be used: false for cubes beyond [2^-960, 2^1000] in
// magnitude (where the products could overflow or lose bits to underflow),
// zeros and non-finite values, which take std::pow. T is double (a bool) or
// Double2 (a Mask2, a lane per value); no branches either way.
template <typename T>
inline auto roundedCube(T x, T& r) {
    using power_detail::twoProduct;
    T p;
    T e;
    twoProduct(x, x, p, e);
    T p3;
    T e3;
    twoProduct(p, x, p3, e3);
    r = p3 + (e3 + e * x);
    const T magnitude = power_detail::magnitudeOf(r);
    return (magnitude >= 0x1p-960) & (magnitude <= 0x1p1000);
}

inline double cubeOf(double x) {
    double r = 0.0;
    return roundedCube(x, r) ? r : std::pow(x, 3.0);
}

// a^b as every numeric evaluation computes it.
inline double numericPower(double a, double b) {
    if (b == 2.0) return a * a;
    if (b == 3.0) return cubeOf(a);
    return std::pow(a, b);
}

}  // namespace kv
