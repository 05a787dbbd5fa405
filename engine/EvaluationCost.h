// What one evaluation of a tree costs, in node visits: every node once, and
// the integrand of a numeric integral once per sample point of its Simpson
// rule. The commands that evaluate a tree many times (graphs, the zero
// search) or once at great cost (integrals, nested or over many pairs)
// compare it with kMaxEvaluationWork before they start, so that no request
// runs for minutes.
#pragma once

#include "engine/WorkBounds.h"

namespace kv {

class ExprNode;

// Node visits one evaluate() of `tree` makes with the present variable
// values. An integral whose division count holds an integral counts with
// the largest pair count evaluation allows.
double evaluationCost(const ExprNode& tree);

}  // namespace kv
