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
// |a - b| < eps; also the comparisons of a coefficient with 1, -1 or -0.5.
inline bool equal(double a, double b) {
    return std::fabs(a - b) < kEpsilon;
}

}  // namespace kv::tol
