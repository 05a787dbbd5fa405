// The composite Simpson rule behind numeric integrals.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/WorkBounds.h"

namespace kv {

class ExprNode;

// The largest pair count a numeric integral evaluates (10^8 divisions): more
// would freeze the program for minutes. The nintegrate command refuses larger
// requests with a message; evaluation clamps to it.
inline constexpr std::int64_t kMaxSimpsonPairs = 50'000'000 / kWorkBoundDivisor;

// The pair count an integral uses for its evaluated `steps`: truncated,
// clamped to kMaxSimpsonPairs, at least 2 and even (NaN and counts below 2
// give 2).
std::int64_t simpsonPairCount(double steps);

// An integrand compiled for the Simpson rule, or the note that it does not
// compile, with the working memory of its evaluation.
struct CompiledIntegrand;

// Integrates `integrand` over [a, b] in the variable row `variable` with
// `pairs` Simpson pairs (fewer than 2 become 2, an odd count is raised by one).
// The variable is left at the last sample point. b < a gives the negated value.
// With many pairs the samples come from the compiled integrand, kept in
// `*compiled` from one call to the next (same bits as the plain loop).
double simpsonIntegral(const ExprNode& integrand, int variable, std::int64_t pairs, double a,
                       double b, std::shared_ptr<CompiledIntegrand>* compiled = nullptr);

}  // namespace kv
