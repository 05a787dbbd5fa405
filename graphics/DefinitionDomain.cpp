#include "graphics/DefinitionDomain.h"

#include "algebra/Solving.h"

namespace kv {

IntervalSet definedPieces(const std::vector<const ExprNode*>& trees, double lo, double hi,
                          int variable, double tolerance, double h) {
    IntervalSet whole(lo, hi);
    whole.tolerance = tolerance;
    // The domain search reads its point width and scanning step from here.
    RootRequestScope request({variable, tolerance, h});
    IntervalSet result = whole;
    for (const ExprNode* tree : trees) {
        IntervalSet domain = tree->domainIn(whole, variable);
        result = intersect(result, domain);
    }
    return result;
}

}  // namespace kv
