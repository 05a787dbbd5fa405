#include "engine/EvaluationCost.h"

#include <utility>
#include <vector>

#include "engine/ExprNode.h"
#include "engine/Quadrature.h"
#include "engine/TreeRebuild.h"

namespace kv {

namespace {

// Sample points of one evaluation of the integral: its pair count as
// evaluation finds it now (a count that uses variables, with their present
// values), or the largest when the count holds an integral of its own.
double samplePoints(const NIntegrateNode& n) {
    std::int64_t pairs = kMaxSimpsonPairs;
    if (!holdsKind(*n.steps, Kind::NIntegrate)) pairs = simpsonPairCount(n.steps->evaluate());
    return 2.0 * static_cast<double>(pairs) + 1.0;
}

}  // namespace

double evaluationCost(const ExprNode& tree) {
    // Without recursion, as trees may be deep: each node with the number of
    // times one evaluation of the whole visits it.
    double total = 0.0;
    std::vector<std::pair<const ExprNode*, double>> stack{{&tree, 1.0}};
    while (!stack.empty()) {
        const ExprNode* node = stack.back().first;
        const double times = stack.back().second;
        stack.pop_back();
        total += times;
        if (node->kind() == Kind::NIntegrate) {
            const auto& n = as<NIntegrateNode>(*node);
            stack.push_back({n.lower.get(), times});
            stack.push_back({n.upper.get(), times});
            stack.push_back({n.steps.get(), times});
            stack.push_back({n.operand.get(), times * samplePoints(n)});
            continue;
        }
        forEachChild(*node, [&](const ExprNode& c) { stack.push_back({&c, times}); });
    }
    return total;
}

}  // namespace kv
