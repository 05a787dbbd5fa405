#include "algebra/SimplifyMemo.h"

#include <atomic>
#include <bit>

#include "engine/TreeRebuild.h"

namespace kv::rw {

namespace {

std::atomic<bool> memoEnabled{true};

// Appends the words of a tree; false for a kind that is not kept.
bool write(const ExprNode& n, std::vector<std::uint64_t>& out) {
    const auto kindWord = static_cast<std::uint64_t>(n.kindId()) << 32;
    switch (n.kind()) {
        case Kind::Number:
            out.push_back(kindWord);
            out.push_back(std::bit_cast<std::uint64_t>(as<NumberNode>(n).value));
            return true;
        case Kind::Constant:
            out.push_back(kindWord | static_cast<std::uint32_t>(as<ConstantNode>(n).index));
            return true;
        case Kind::Variable:
            out.push_back(kindWord | static_cast<std::uint32_t>(as<VariableNode>(n).index));
            return true;
        case Kind::Zero:
            out.push_back(kindWord);
            return true;
        case Kind::Rnd:
        case Kind::List:
        case Kind::Text:
        case Kind::GraphRef:
        case Kind::NIntegrate:
            return false;
        case Kind::LogBase:
            out.push_back(kindWord);
            return write(operandOf(n), out) && write(*as<LogBaseNode>(n).base, out);
        default:
            out.push_back(kindWord);
            if (isBinaryKind(n.kind())) return write(leftOf(n), out) && write(rightOf(n), out);
            return write(operandOf(n), out);
    }
}

}  // namespace

bool SimplifyMemo::keyOf(const ExprNode& tree, Key& key) {
    key.words.clear();
    key.words.reserve(64);
    if (!write(tree, key.words)) return false;
    // FNV-1a over whole words, with a shift that brings the high bits (the
    // kinds, the exponents of numbers) down
    std::uint64_t h = 0xcbf29ce484222325ULL;
    for (std::uint64_t w : key.words) {
        h = (h ^ w) * 0x100000001b3ULL;
        h ^= h >> 29;
    }
    key.hash = h;
    key.nodes = key.words.size();
    return true;
}

const SimplifyMemo::Entry* SimplifyMemo::find(const Key& key) const {
    auto it = entries_.find(key.hash);
    if (it == entries_.end()) return nullptr;
    for (const Entry& e : it->second)
        if (e.key == key.words) return &e;
    return nullptr;
}

void SimplifyMemo::add(Key&& key, const ExprNode& result, std::size_t work) {
    const std::size_t resultNodes = countNodes(result, kMaxStoredNodes + 1);
    if (storedNodes_ + key.nodes + resultNodes > kMaxStoredNodes) return;
    if (find(key)) return;
    storedNodes_ += key.nodes + resultNodes;
    entries_[key.hash].push_back({std::move(key.words), result.clone(), work});
}

bool SimplifyMemo::enabled() {
    return memoEnabled.load(std::memory_order_relaxed);
}

void SimplifyMemo::setEnabled(bool on) {
    memoEnabled.store(on, std::memory_order_relaxed);
}

}  // namespace kv::rw
