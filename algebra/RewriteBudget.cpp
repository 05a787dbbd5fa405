#include "algebra/RewriteBudget.h"

#include <algorithm>

#include "engine/TreeRebuild.h"

namespace kv {

namespace {
thread_local RewriteBudget* activeBudget = nullptr;
}

RewriteBudget::RewriteBudget(std::size_t inputNodes)
    : work_(std::max(kMinWork, inputNodes * kWorkPerNode)),
      nodeLimit_(std::clamp(inputNodes * kNodesPerNode, kMinNodes, kMaxNodes)) {}

RewriteBudget* RewriteBudget::current() { return activeBudget; }

RewriteBudget::Scope::Scope(const ExprNode& input, bool fresh) : previous_(activeBudget) {
    if (activeBudget && !fresh) return;
    own_.emplace(countNodes(input, kMaxNodes));
    activeBudget = &*own_;
}

RewriteBudget::Scope::~Scope() {
    if (own_) activeBudget = previous_;
}

}  // namespace kv
