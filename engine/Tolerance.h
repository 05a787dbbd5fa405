// The one numeric tolerance of the program: the symbolic algorithms, the
// structural comparison of numbers, the interval bounds and the graph
// builders all test against it, so a value that one rule takes for zero or
// for an integer is taken so by every other rule too.
#pragma once

#include <cmath>

namespace kv::tol {

inline constexpr double kEpsilon = 5e-12;

// |x| < eps.
inline bool isZero(double x) {
    return std::fabs(x) < kEpsilon;
}
// |floor(x) - x| < eps: only values equal to or just above an integer count
// (2.9999999999999 is not integral, 3.0000000000001 is).
inline bool isIntegral(double x) {
    return std::fabs(std::floor(x) - x) < kEpsilon;
}
// An integral value a computed constant may be folded to: within the
// tolerance of an integer, but not a tiny value that is not zero (1/1e12,
// exp(-30) are not the integer 0).
inline bool isFoldableIntegral(double x) {
    return isIntegral(x) && (x == 0 || std::fabs(x) >= 0.5);
}
// |a - b| < eps; also the comparisons of a coefficient with 1, -1 or -0.5.
inline bool equal(double a, double b) {
    return std::fabs(a - b) < kEpsilon;
}

}  // namespace kv::tol
