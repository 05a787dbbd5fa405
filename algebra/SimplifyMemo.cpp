#include "algebra/SimplifyMemo.h"

#include <atomic>
#include <bit>

#include "engine/TreeRebuild.h"

namespace kv::rw {

namespace {

std::atomic<bool> memoEnabled{true};

std::uint64_t mix(std::uint64_t h, std::uint64_t v) {
    // splitmix64's finaliser over the running hash and the next word
    std::uint64_t z = h ^ (v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2));
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

bool hashTree(const ExprNode& n, std::uint64_t& hash, std::size_t& nodes) {
    ++nodes;
    std::uint64_t h = static_cast<std::uint64_t>(n.kindId()) + 1;
    switch (n.kind()) {
        case Kind::Number:
            h = mix(h, std::bit_cast<std::uint64_t>(as<NumberNode>(n).value));
            break;
        case Kind::Constant:
            h = mix(h, static_cast<std::uint64_t>(as<ConstantNode>(n).index));
            break;
        case Kind::Variable:
            h = mix(h, static_cast<std::uint64_t>(as<VariableNode>(n).index));
            break;
        case Kind::Zero:
            break;
        case Kind::Rnd:
        case Kind::List:
        case Kind::Text:
        case Kind::GraphRef:
        case Kind::NIntegrate:
            return false;
        case Kind::LogBase: {
            std::uint64_t a = 0, b = 0;
            if (!hashTree(operandOf(n), a, nodes) || !hashTree(*as<LogBaseNode>(n).base, b, nodes))
                return false;
            h = mix(mix(h, a), b);
            break;
        }
        default:
            if (isBinaryKind(n.kind())) {
                std::uint64_t a = 0, b = 0;
                if (!hashTree(leftOf(n), a, nodes) || !hashTree(rightOf(n), b, nodes)) return false;
                h = mix(mix(h, a), b);
            } else {
                std::uint64_t a = 0;
                if (!hashTree(operandOf(n), a, nodes)) return false;
                h = mix(h, a);
            }
    }
    hash = h;
    return true;
}

// Equality of two keyable trees, exact: numbers bit for bit, children in order.
bool sameTree(const ExprNode& a, const ExprNode& b) {
    if (a.kind() != b.kind()) return false;
    switch (a.kind()) {
        case Kind::Number:
            return std::bit_cast<std::uint64_t>(as<NumberNode>(a).value) ==
                   std::bit_cast<std::uint64_t>(as<NumberNode>(b).value);
        case Kind::Constant:
            return as<ConstantNode>(a).index == as<ConstantNode>(b).index;
        case Kind::Variable:
            return as<VariableNode>(a).index == as<VariableNode>(b).index;
        case Kind::Zero:
            return true;
        case Kind::LogBase:
            return sameTree(operandOf(a), operandOf(b)) &&
                   sameTree(*as<LogBaseNode>(a).base, *as<LogBaseNode>(b).base);
        default:
            if (isBinaryKind(a.kind()))
                return sameTree(leftOf(a), leftOf(b)) && sameTree(rightOf(a), rightOf(b));
            return sameTree(operandOf(a), operandOf(b));
    }
}

}  // namespace

bool SimplifyMemo::keyOf(const ExprNode& tree, std::uint64_t& hash, std::size_t& nodes) {
    nodes = 0;
    return hashTree(tree, hash, nodes);
}

const SimplifyMemo::Entry* SimplifyMemo::find(std::uint64_t hash, const ExprNode& tree) const {
    auto it = entries_.find(hash);
    if (it == entries_.end()) return nullptr;
    for (const Entry& e : it->second)
        if (sameTree(*e.key, tree)) return &e;
    return nullptr;
}

void SimplifyMemo::add(std::uint64_t hash, const ExprNode& tree, std::size_t treeNodes,
                       const ExprNode& result, std::size_t work) {
    const std::size_t resultNodes = countNodes(result, kMaxStoredNodes + 1);
    if (storedNodes_ + treeNodes + resultNodes > kMaxStoredNodes) return;
    if (find(hash, tree)) return;
    storedNodes_ += treeNodes + resultNodes;
    entries_[hash].push_back({tree.clone(), result.clone(), work});
}

bool SimplifyMemo::enabled() {
    return memoEnabled.load(std::memory_order_relaxed);
}

void SimplifyMemo::setEnabled(bool on) {
    memoEnabled.store(on, std::memory_order_relaxed);
}

}  // namespace kv::rw
