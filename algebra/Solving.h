// Entry points of limits, numeric zeros and exact solving that are not node
// operations.
#pragma once

#include <cstddef>

#include "engine/ErrorCode.h"
#include "engine/ExprNode.h"
#include "engine/IntervalSet.h"
#include "engine/Tolerance.h"
#include "engine/WorkBounds.h"

namespace kv {

// ---- Limits --------------------------------------------------------------------

// A limit value counts as zero below this magnitude.
inline constexpr double kLimitZero = tol::kEpsilon;
// l'Hospital steps one limit computation may take.
inline constexpr int kMaxLhospitalSteps = 8;
// l'Hospital steps of all the ways one limit computation tries.
inline constexpr int kMaxLhospitalTotal = 32;
// The largest quotient (nodes of both parts) that l'Hospital's rule
// differentiates. Each step can
// multiply the size of a quotient many times over (a tower of exp grows by
// ten a step) and the work of a derivative grows with the square of its
// input, so a larger one would take minutes; no ordinary limit comes near.
inline constexpr std::size_t kMaxLhospitalNodes = 4'000 / kWorkBoundDivisor;
// The error code and message of a limit that was not found.
inline constexpr ErrorCode kLimitErrorCode = ErrorCode::Graph;
inline constexpr const char* kLimitNotFound = "Limita nebyla nalezena nebo neexistuje!";

// Resets the shared l'Hospital counter, takes the limit of `node` and
// replaces a missing value by a ZeroNode.
LimitResult computeLimit(const ExprNode& node, const LimitRequest& request);

// Infinities as trees: +inf is a number, -inf its negation, the two-sided
// infinity (+-)inf.
NodePtr positiveInfinity();
NodePtr negativeInfinity();
NodePtr twoSidedInfinity();

// ---- Numeric zeros -------------------------------------------------------------

// What the numeric zero search looks for: zeros in `variable`, reported as
// intervals of width `epsilon` around points where |f| < epsilon, scanning
// with step `h`.
struct RootRequest {
    int variable = -1;
    double epsilon = 1e-8;
    double h = 0.1;
};

// Scan points one search may visit in an interval; nsolve refuses a request
// beyond this (ten million points take a few seconds), and scanZeros widens
// the step of any other request so that it stays within it.
inline constexpr double kMaxScanSteps = 1e7 / kWorkBoundDivisor;
// Evaluations of a tree the size of f per scan step, for the work bound:
// f at both ends of the step, and f' at both ends in the search for roots
// without a sign change.
inline constexpr double kScanEvaluationsPerStep = 4.0;
// Halley steps per bracket before it is given up.
inline constexpr int kMaxHalleySteps = 150;

// The request that zerosIn and domainIn use while the scope lives (they take
// only the variable; epsilon and h come from here, defaulting to 1e-8 and 0.1).
class RootRequestScope {
  public:
    explicit RootRequestScope(const RootRequest& request);
    ~RootRequestScope();
    RootRequestScope(const RootRequestScope&) = delete;
    RootRequestScope& operator=(const RootRequestScope&) = delete;

  private:
    RootRequest request_;  // a copy: the scope may outlive the caller's request
    const RootRequest* previous_;
};

// epsilon and h of the innermost RootRequestScope for `variable`.
RootRequest currentRootRequest(int variable);

// The roots of f = 0 in the variable, as the solve command lists them: those
// of f.roots, less any at which f has no value. `tooMuchWork` is set, and
// nothing returned, when the sums solved on the way passed kMaxSolveWork
// nodes together. Ordinary equations solve sums of tens of nodes; each level
// of the logarithmic rewriting can double the sum, and the bound ends such a
// chain within a second.
inline constexpr std::size_t kMaxSolveWork = 6'000 / kWorkBoundDivisor;
OwnedNodeList solveRoots(const ExprNode& f, int variable, bool& tooMuchWork);

// The zeros of f in `set` under `request`: f.zerosIn inside a scope of the
// request. The variable's value is restored afterwards.
IntervalSet findZeros(const ExprNode& f, const IntervalSet& set, const RootRequest& request);

// The numeric scan: sign changes refined by Halley's iteration (bisection
// when Halley leaves the bracket), points with |f| < epsilon, the right end of
// each interval, and touching roots found among the zeros of f'.
IntervalSet scanZeros(const RootRequest& request, const ExprNode& f, const IntervalSet& set);

// The intersection of two interval sets.
IntervalSet intersect(const IntervalSet& a, const IntervalSet& b);

}  // namespace kv
