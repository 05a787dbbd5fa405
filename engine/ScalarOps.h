// The scalar operation of each node kind that computes a value from its
// operands, written once. The tree walk (ExprNode::evaluate), the compiled
// form (CompiledExpr, which runs it over blocks of points) and the
// simplifier's folding of constant arguments all call these, so a compiled
// sample has the bits of the tree's value and a folded constant is the value
// evaluation gives.
//
// Each is forced inline: the compiled form's copies of its loops are built for
// two kinds of processor, and each copy must vectorize the operation itself.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

#include "engine/ExprNode.h"
#include "engine/Power.h"

namespace kv {

// sign(t) * |t|! for t = x truncated toward zero, by descending
// multiplication from |t|. Once the product is infinite it stays so, and
// arguments beyond 64-bit range never reach an integer conversion.
inline double factorialValue(double x) {
    if (std::isnan(x)) return x;
    double t = std::trunc(x);
    double s = t < 0 ? -1.0 : (t > 0 ? 1.0 : 0.0);
    double y = std::fabs(t);
    if (y > 1000.0) return s * std::numeric_limits<double>::infinity();
    double acc = y;
    auto n = static_cast<std::int64_t>(y);
    for (std::int64_t i = 1; i < n && std::isfinite(acc); ++i) {
        y -= 1.0;
        acc *= y;
    }
    return acc * s;
}

// The value of a node of kind K whose operands have the values a and b (b is
// unused by the one-operand kinds; for LogBase a is the argument, b the
// base). NaN for a kind without such an operation.
template <Kind K>
[[gnu::always_inline]] inline double scalarOp(double a, double b = 0.0) {
    if constexpr (K == Kind::Sum) return a + b;
    if constexpr (K == Kind::Difference) return a - b;
    if constexpr (K == Kind::Product) return a * b;
    if constexpr (K == Kind::Quotient) return a / b;
    if constexpr (K == Kind::Power) return numericPower(a, b);
    if constexpr (K == Kind::LogBase) return std::log(a) / std::log(b);
    if constexpr (K == Kind::Negation) return -a;
    if constexpr (K == Kind::PlusMinus) return a;
    if constexpr (K == Kind::Sin) return std::sin(a);
    if constexpr (K == Kind::Cos) return std::cos(a);
    if constexpr (K == Kind::Tan) return std::tan(a);
    if constexpr (K == Kind::Asin) return std::asin(a);
    if constexpr (K == Kind::Acos) return std::acos(a);
    if constexpr (K == Kind::Atan) return std::atan(a);
    if constexpr (K == Kind::Sinh) return std::sinh(a);
    if constexpr (K == Kind::Cosh) return std::cosh(a);
    if constexpr (K == Kind::Tanh) return std::tanh(a);
    if constexpr (K == Kind::Exp) return std::exp(a);
    if constexpr (K == Kind::Ln) return std::log(a);
    if constexpr (K == Kind::Log) return std::log10(a);
    if constexpr (K == Kind::Log2) return std::log10(a) / std::log10(2.0);
    if constexpr (K == Kind::Sqrt) return std::sqrt(a);
    if constexpr (K == Kind::Abs) return std::fabs(a);
    if constexpr (K == Kind::Sign) return a < 0 ? -1.0 : (a > 0 ? 1.0 : 0.0);
    if constexpr (K == Kind::Fact) return factorialValue(a);
    (void)b;
    return std::numeric_limits<double>::quiet_NaN();
}

// The same for a kind known only at run time (the simplifier's folding).
inline double scalarOpOf(Kind kind, double a, double b = 0.0) {
    switch (kind) {
#define KV_SCALAR_OP(name) \
    case Kind::name:       \
        return scalarOp<Kind::name>(a, b);
        KV_SCALAR_OP(Sum)
        KV_SCALAR_OP(Difference)
        KV_SCALAR_OP(Product)
        KV_SCALAR_OP(Quotient)
        KV_SCALAR_OP(Power)
        KV_SCALAR_OP(LogBase)
        KV_SCALAR_OP(Negation)
        KV_SCALAR_OP(PlusMinus)
        KV_SCALAR_OP(Sin)
        KV_SCALAR_OP(Cos)
        KV_SCALAR_OP(Tan)
        KV_SCALAR_OP(Asin)
        KV_SCALAR_OP(Acos)
        KV_SCALAR_OP(Atan)
        KV_SCALAR_OP(Sinh)
        KV_SCALAR_OP(Cosh)
        KV_SCALAR_OP(Tanh)
        KV_SCALAR_OP(Exp)
        KV_SCALAR_OP(Ln)
        KV_SCALAR_OP(Log)
        KV_SCALAR_OP(Log2)
        KV_SCALAR_OP(Sqrt)
        KV_SCALAR_OP(Abs)
        KV_SCALAR_OP(Sign)
        KV_SCALAR_OP(Fact)
#undef KV_SCALAR_OP
        default:
            return std::numeric_limits<double>::quiet_NaN();
    }
}

}  // namespace kv
