#include "graphics/DefinitionDomain.h"

#include "algebra/Solving.h"
#include "engine/Workspace.h"

namespace kv {

// Building a tree resets the values of the variables it holds, and the
// domain search builds trees. So the search gets the trees with every other
// variable (an animated one, the fixed coordinate of a surface row) replaced
// by its current value, and every value is put back afterwards.
IntervalSet definedPieces(const std::vector<const ExprNode*>& trees, double lo, double hi,
                          int variable, double tolerance, double h) {
    auto& vars = Workspace::current().variables;
    std::vector<double> saved;
    saved.reserve(vars.size());
    for (const auto& v : vars) saved.push_back(v.value);
    std::vector<NodePtr> fixed;
    for (const ExprNode* tree : trees) {
        NodePtr t;
        for (std::size_t r = 0; r < saved.size(); ++r) {
            const ExprNode& current = t ? *t : *tree;
            if (static_cast<int>(r) == variable || !current.dependsOn(static_cast<int>(r)))
                continue;
            t = current.substitute(static_cast<int>(r), *number(saved[r]));
        }
        fixed.push_back(t ? std::move(t) : tree->clone());
    }

    IntervalSet whole(lo, hi);
    whole.tolerance = tolerance;
    IntervalSet result = whole;
    {
        // The domain search reads its point width and scanning step from here.
        RootRequestScope request({variable, tolerance, h});
        for (const NodePtr& tree : fixed)
            result = intersect(result, tree->domainIn(whole, variable));
    }
    fixed.clear();
    for (std::size_t r = 0; r < saved.size() && r < vars.size(); ++r) vars[r].value = saved[r];
    return result;
}

}  // namespace kv
