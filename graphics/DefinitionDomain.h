// Where a graph's expressions are defined: the builders sample only there
// when the definition asks for it (check_def), so a pole or a gap in the
// domain splits the geometry instead of being bridged by a segment.
#pragma once

#include <vector>

#include "engine/ExprNode.h"
#include "engine/IntervalSet.h"

namespace kv {

// The pieces of [lo, hi] (lo <= hi) on which every tree is defined as a
// function of `variable`: the intersection of their definition domains, in
// the order of `trees`. `tolerance` is the width of the domain search's
// points and `h` its scanning step. Changes the variable's value.
IntervalSet definedPieces(const std::vector<const ExprNode*>& trees, double lo, double hi,
                          int variable, double tolerance, double h);

}  // namespace kv
