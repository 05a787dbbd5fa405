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
// together inside simplify) shares the budget of the outermost call. `simpl`
// opens a fresh one, except inside a derivative: differentiation simplifies
// every intermediate result, and the sizes of those add up to the cube of the
// nesting depth (sin(sin(...sin(x)))), so a derivative has one budget for all
// of them, growing with the square of its input; once it is spent the
// remaining steps are left unsimplified. Comparisons of subtrees spend work
// too (rw::countedEquals).
#pragma once

#include <cstddef>
#include <memory>
#include <optional>

#include "engine/ExprNode.h"
#include "engine/WorkBounds.h"

namespace kv {

namespace rw {
class SimplifyMemo;
}

class RewriteBudget {
  public:
    // Work units per input node and the floor for small inputs.
    static constexpr std::size_t kWorkPerNode = 400;
    static constexpr std::size_t kMinWork = 200'000;
    // Nodes a rule may build, per input node, with a floor and a ceiling.
    static constexpr std::size_t kNodesPerNode = 32;
    static constexpr std::size_t kMinNodes = 4'000;
    static constexpr std::size_t kMaxNodes = kMaxTreeNodes;

    explicit RewriteBudget(std::size_t inputNodes);
    // A budget for a whole derivative, shared by the simplification of every
    // step of it (below).
    static RewriteBudget forDerivative(std::size_t inputNodes);

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
    // The work left.
    std::size_t work() const { return work_; }
    // Lowers the work left to at most `units` (for tests of the points where
    // the work runs out).
    void limitWork(std::size_t units) {
        if (units < work_) work_ = units;
    }
    // True for the budget of a derivative: `simpl` spends from it instead of
    // opening its own.
    bool shared() const { return shared_; }
    // Set when a derivative would pass its result limit: it stops building and its
    // result is a placeholder. A caller that must know opens the derivative's
    // scope itself and asks afterwards.
    void markOverflow() { overflowed_ = true; }
    bool overflowed() const { return overflowed_; }
    // The node count past which a derivative stops (kMaxNodes unless set).
    std::size_t resultLimit() const { return resultLimit_; }
    void setResultLimit(std::size_t nodes) { resultLimit_ = nodes; }
    std::size_t nodeLimit() const { return nodeLimit_; }
    // The results of `simplify` kept for this budget (a derivative's), or
    // null (algebra/SimplifyMemo.h).
    rw::SimplifyMemo* memo() const { return memo_.get(); }

    // The current budget, or null outside every scope.
    static RewriteBudget* current() { return active_; }

    // Makes a budget current for its lifetime (below).
    class Scope;

  private:
    // The budget of the innermost scope on this thread.
    static inline thread_local RewriteBudget* active_ = nullptr;

    std::size_t work_;
    std::size_t nodeLimit_;
    bool shared_ = false;
    bool overflowed_ = false;
    std::size_t resultLimit_ = kMaxNodes;
    std::shared_ptr<rw::SimplifyMemo> memo_;
};

// Makes a budget sized from `input` current for its lifetime, unless one
// is current already and the mode says to join it.
class RewriteBudget::Scope {
  public:
    enum class Mode {
        Join,        // open one only when none is current
        Fresh,       // always open one
        Derivative,  // open a shared one unless a shared one is current
    };
    explicit Scope(const ExprNode& input, Mode mode = Mode::Join);
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

  private:
    RewriteBudget* previous_ = nullptr;
    std::optional<RewriteBudget> own_;
};

}  // namespace kv
