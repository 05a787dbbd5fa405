// Numeric powers a^b in double. Squares and cubes are the correctly rounded
// power: x^2 is x*x, one rounding, and x^3 is carried as a double-double and
// rounded once, so x^2 == x*x always (glibc's pow errs by up to 0.54 ULP and
// misrounds about one square in a thousand). Every other power is std::pow.
#pragma once

#include <cmath>

namespace kv {

namespace power_detail {

// a * b = p + e exactly (Dekker's product; exact where neither a, b nor the
// partial products overflow or underflow, which the cube's range ensures).
inline void twoProduct(double a, double b, double& p, double& e) {
    constexpr double kSplit = 134217729.0;  // 2^27 + 1
    p = a * b;
    double t = kSplit * a;
    const double ah = t - (t - a);
    const double al = a - ah;
    t = kSplit * b;
    const double bh = t - (t - b);
    const double bl = b - bh;
    e = ((ah * bh - p) + ah * bl + al * bh) + al * bl;
}

}  // namespace power_detail

// The magnitudes of cubes that roundedCube computes exactly: beyond them the
// products could overflow or lose bits to underflow.
inline constexpr double kExactCubeLowest = 0x1p-960;
inline constexpr double kExactCubeHighest = 0x1p1000;

// x^3 rounded once: x*x exactly as p + e, times x as p3 + e3 exactly, plus
// e*x; the sum is within 2^-100 of the cube and r is its nearest double.
// Gives whether r may be used: false for cubes outside the exact range
// above, zeros and non-finite values, which take std::pow.
inline bool roundedCube(double x, double& r) {
    using power_detail::twoProduct;
    double p = 0.0;
    double e = 0.0;
    twoProduct(x, x, p, e);
    double p3 = 0.0;
    double e3 = 0.0;
    twoProduct(p, x, p3, e3);
    r = p3 + (e3 + e * x);
    const double magnitude = std::fabs(r);
    return magnitude >= kExactCubeLowest && magnitude <= kExactCubeHighest;
}

inline double squareOf(double x) {
    return x * x;
}

inline double cubeOf(double x) {
    double r = 0.0;
    return roundedCube(x, r) ? r : std::pow(x, 3.0);
}

// a^b as every numeric evaluation computes it.
inline double numericPower(double a, double b) {
    if (b == 2.0) return squareOf(a);
    if (b == 3.0) return cubeOf(a);
    return std::pow(a, b);
}

}  // namespace kv
