// A work and size budget for the rewriting passes.
//
// Some rewriting rules re-enter the passes on trees they have just built
// (a common denominator is simplified again, merged exponents are simplified,
// derivatives are simplified at every node). Each rule terminates on its own,
// but their combinations can take time exponential in the depth of a tree, and
// common denominators of nested fractions grow exponentially. A budget caps
// both: every visit of `simplify` spends one unit of work, and a rule that
// would build a tree beyond the node limit leaves its input as it is. When
// the work is spent, `simplify` returns its receiver unchanged. Either way the
// result keeps the value of the input; it is only less simplified.
//
// A budget is made current by a scope. The public entries open a scope sized
// from their input when none is current, so a nested call (simplify inside
// together inside simplify) shares the budget of the outermost call; `simpl`
// always opens a fresh one, so the simplification of each derivative step has
// its own.
#pragma once

#include <cstddef>
#include <optional>

#include "engine/ExprNode.h"

namespace kv {

class RewriteBudget {
public:
    // Work units per input node and the floor for small inputs.
    static constexpr std::size_t kWorkPerNode = 400;
    static constexpr std::size_t kMinWork = 200'000;
    // Nodes a rule may build, per input node, with a floor and a ceiling.
    static constexpr std::size_t kNodesPerNode = 32;
    static constexpr std::size_t kMinNodes = 4'000;
    static constexpr std::size_t kMaxNodes = 2'000'000;

    explicit RewriteBudget(std::size_t inputNodes);

    // Spends `units` of work; false once the work is spent.
    bool spend(std::size_t units = 1) {
        if (work_ < units) {
            work_ = 0;
            return false;
        }
        work_ -= units;
        return true;
    }
    bool exhausted() const { return work_ == 0; }
    std::size_t nodeLimit() const { return nodeLimit_; }

    // The current budget, or null outside every scope.
    static RewriteBudget* current();

    // Makes a budget current for its lifetime (below).
    class Scope;

private:
    std::size_t work_;
    std::size_t nodeLimit_;
};

// Makes a budget sized from `input` current for its lifetime, unless one
// is current already and `fresh` is false.
class RewriteBudget::Scope {
public:
    explicit Scope(const ExprNode& input, bool fresh = false);
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

private:
    RewriteBudget* previous_ = nullptr;
    std::optional<RewriteBudget> own_;
};

}  // namespace kv
