// What the files of the simplifier share: the rule families' entry points,
// called by ExprNode::simplify and by each other, and the small helpers
// several families use. Internal to algebra/.
#pragma once

#include <cstddef>

#include "algebra/RewriteBudget.h"
#include "algebra/Rewriting.h"
#include "engine/ExprNode.h"
#include "engine/Tolerance.h"

namespace kv::rw {

// The rules of one node kind, applied to operands that are already
// simplified (SimplifySums.cpp, SimplifyProducts.cpp, SimplifyPowers.cpp).
NodePtr simplifySum(NodePtr u, NodePtr v);
NodePtr simplifyProduct(NodePtr a, NodePtr b);
NodePtr simplifyPower(NodePtr base, NodePtr e);
NodePtr simplifyLog(const ExprNode& node, NodePtr a);
NodePtr simplifyExp(NodePtr a);
NodePtr simplifyAbs(NodePtr a);
NodePtr simplifySign(NodePtr a);

inline bool isLogKind(Kind k) {
    return k == Kind::Ln || k == Kind::Log || k == Kind::Log2 || k == Kind::LogBase;
}

// A logarithm of the same kind (and base) as `model` around `argument`.
inline NodePtr logLike(const ExprNode& model, NodePtr argument) {
    if (model.kind() == Kind::LogBase)
        return std::make_unique<LogBaseNode>(std::move(argument),
                                             as<LogBaseNode>(model).base->clone());
    return makeFunction(model.kind(), std::move(argument));
}

// The base and the exponent of a factor: u^e gives (u, e), anything else (f, 1).
// (u^a)^n with an integral constant n counts as u^(a*n) when factors merge.
inline bool isPowerOfPower(const ExprNode& f) {
    if (f.kind() != Kind::Power || leftOf(f).kind() != Kind::Power) return false;
    const double n = rw::constantValue(rightOf(f));
    return tol::isIntegral(n) || tol::isIntegral(-n);
}
inline const ExprNode& baseOf(const ExprNode& f) {
    if (f.kind() != Kind::Power) return f;
    return isPowerOfPower(f) ? leftOf(leftOf(f)) : leftOf(f);
}
inline NodePtr exponentCopy(const ExprNode& f) {
    if (f.kind() != Kind::Power) return number(1.0);
    if (isPowerOfPower(f)) return product(rightOf(leftOf(f)).clone(), rightOf(f).clone());
    return rightOf(f).clone();
}

class SimplifyMemo;
// How many sums the sum rules have recorded, on this thread.
std::uint64_t sumFills();
// Tells the sum rules that the memo now knows `node` by its mark. If it is
// the sum they built last, and built since the count was `fillsBefore`, the
// terms they collected for it are kept for the next sum that holds it.
void keepSumTerms(const ExprNode& node, const SimplifyMemo& memo, std::uint64_t fillsBefore);

inline bool spend(std::size_t units = 1) {
    return RewriteBudget::current()->spend(units);
}

}  // namespace kv::rw
