// Taylor coefficients computed exactly, without derivatives: a function of
// one variable is expanded about a point as a truncated power series whose
// coefficients are fractions of integers. Where the derivatives of a
// function grow past any budget (every quotient rule squares the
// denominator: the tenth derivative of 1/(1+x^2) has millions of nodes),
// its series is no longer than its degree.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "engine/ExprNode.h"

namespace kv {

// A reduced fraction, den > 0.
struct ExactFraction {
    std::int64_t num = 0;
    std::int64_t den = 1;
};

// The coefficients c_0..c_degree of f(point + t) = sum of c_k t^k. f may use
// numbers (whole ones, or binary fractions such as 0.5), the variable, + - *
// /, powers with a whole exponent, powers with a fractional exponent and sqrt
// of a series starting with 1 (sqrt also with a square fraction), exp, sin,
// cos, sinh, cosh, tan, tanh and atan of a series starting with 0, and ln of
// one starting with 1. Nothing for anything else: another variable, a named
// constant, another function, a division by a series starting with 0, or a
// numerator or denominator past 2^62. The point is a constant tree of the
// same operations, so 1/3 is exactly a third (a decimal such as 0.1 is the
// binary fraction the number is).
std::optional<std::vector<ExactFraction>> exactTaylorCoefficients(const ExprNode& f, int variable,
                                                                  const ExprNode& point,
                                                                  int degree);

}  // namespace kv
