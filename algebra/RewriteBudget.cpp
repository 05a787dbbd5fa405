#include "algebra/RewriteBudget.h"

#include <algorithm>

#include "algebra/SimplifyMemo.h"
#include "engine/TreeRebuild.h"

namespace kv {

RewriteBudget::RewriteBudget(std::size_t inputNodes)
    : work_(std::max(kMinWork, inputNodes * kWorkPerNode)),
      nodeLimit_(std::clamp(inputNodes * kNodesPerNode, kMinNodes, kMaxNodes)) {}

RewriteBudget RewriteBudget::forDerivative(std::size_t inputNodes) {
    RewriteBudget b(inputNodes);
    const double square = 40.0 * static_cast<double>(inputNodes) * static_cast<double>(inputNodes);
    // Fuzzing builds lower it as every bound on work (engine/WorkBounds.h).
    constexpr double divisor = static_cast<double>(kWorkBoundDivisor);
    b.work_ = static_cast<std::size_t>(std::clamp(square, 2e6 / divisor, 2e7 / divisor));
    b.nodeLimit_ = std::clamp(inputNodes * 2 * kNodesPerNode, kMinNodes, kMaxNodes);
    b.shared_ = true;
    if (rw::SimplifyMemo::enabled()) b.memo_ = std::make_shared<rw::SimplifyMemo>();
    return b;
}

RewriteBudget::Scope::Scope(const ExprNode& input, Mode mode) : previous_(active_) {
    switch (mode) {
        case Mode::Join:
            if (active_) return;
            break;
        case Mode::Fresh:
            break;
        case Mode::Derivative:
            if (active_ && active_->shared()) return;
            own_.emplace(forDerivative(countNodes(input, kMaxNodes)));
            active_ = &*own_;
            return;
    }
    own_.emplace(countNodes(input, kMaxNodes));
    active_ = &*own_;
}

RewriteBudget::Scope::~Scope() {
    if (own_) active_ = previous_;
}

}  // namespace kv
