#include "algebra/SimplifyMemo.h"

#include <algorithm>
#include <atomic>
#include <bit>

#include "engine/TreeRebuild.h"

namespace kv::rw {

namespace {

std::atomic<bool> memoEnabled{true};

// Gives the words of a tree to `sink` in order, while it takes them; false
// for a kind that is not kept, or when the sink stops.
template <class Sink>
bool words(const ExprNode& n, Sink& sink) {
    const auto kindWord = static_cast<std::uint64_t>(n.kindId()) << 32;
    switch (n.kind()) {
        case Kind::Number:
            return sink(kindWord) && sink(std::bit_cast<std::uint64_t>(as<NumberNode>(n).value));
        case Kind::Constant:
            return sink(kindWord | static_cast<std::uint32_t>(as<ConstantNode>(n).index));
        case Kind::Variable:
            return sink(kindWord | static_cast<std::uint32_t>(as<VariableNode>(n).index));
        case Kind::Zero:
            return sink(kindWord);
        case Kind::Rnd:
        case Kind::List:
        case Kind::Text:
        case Kind::GraphRef:
        case Kind::NIntegrate:
            return false;
        case Kind::LogBase:
            return sink(kindWord) && words(operandOf(n), sink) &&
                   words(*as<LogBaseNode>(n).base, sink);
        default:
            if (!sink(kindWord)) return false;
            if (isBinaryKind(n.kind())) return words(leftOf(n), sink) && words(rightOf(n), sink);
            return words(operandOf(n), sink);
    }
}

// Whether the tree is the one the words were written from.
bool matches(const ExprNode& tree, const std::uint64_t* key, std::size_t size) {
    std::size_t at = 0;
    auto next = [&](std::uint64_t w) { return at < size && key[at++] == w; };
    return words(tree, next) && at == size;
}

// FNV-1a over whole words, with a shift that brings the high bits (the
// kinds, the exponents of numbers) down.
std::uint64_t hashOf(const std::uint64_t* w, std::size_t count) {
    std::uint64_t h = 0xcbf29ce484222325ULL;
    for (std::size_t i = 0; i < count; ++i) {
        h = (h ^ w[i]) * 0x100000001b3ULL;
        h ^= h >> 29;
    }
    return h;
}

}  // namespace

bool SimplifyMemo::keyOf(const ExprNode& tree, Key& key) {
    key.words.clear();
    key.words.reserve(64);
    key.lent = nullptr;
    key.split = 0;
    auto append = [&key](std::uint64_t w) {
        key.words.push_back(w);
        return true;
    };
    if (isBinaryKind(tree.kind())) {
        if (!append(static_cast<std::uint64_t>(tree.kindId()) << 32) ||
            !words(leftOf(tree), append))
            return false;
        key.split = key.words.size();
        if (!words(rightOf(tree), append)) return false;
    } else if (!words(tree, append)) {
        return false;
    }
    key.hash = hashOf(key.words.data(), key.words.size());
    key.nodes = key.words.size();
    return true;
}

void SimplifyMemo::findSplit(const ExprNode& tree, Key& key) {
    if (key.split != 0) return;
    std::size_t count = 0;
    auto counter = [&count](std::uint64_t) {
        ++count;
        return true;
    };
    words(leftOf(tree), counter);
    key.split = 1 + count;
}

void SimplifyMemo::keyOfWords(const std::uint64_t* words, std::size_t count, Key& key) {
    key.words.clear();
    key.lent = words;
    key.split = 0;
    key.hash = hashOf(words, count);
    key.nodes = count;
}

SimplifyMemo::Entry* SimplifyMemo::find(const Key& key) {
    auto [it, end] = entries_.equal_range(key.hash);
    for (; it != end; ++it)
        if (std::equal(it->second.key.begin(), it->second.key.end(), key.data(),
                       key.data() + key.size()))
            return &it->second;
    return nullptr;
}

SimplifyMemo::Entry* SimplifyMemo::add(Key&& key, const ExprNode& result, std::size_t work) {
    // A sum that simplified to itself is kept as its key alone.
    const bool itself = matches(result, key.data(), key.size());
    const std::size_t resultNodes = itself ? 0 : countNodes(result, kMaxStoredNodes + 1);
    if (storedNodes_ + key.nodes + resultNodes > kMaxStoredNodes) return nullptr;
    if (find(key)) return nullptr;
    storedNodes_ += key.nodes + resultNodes;
    if (key.lent) key.words.assign(key.lent, key.lent + key.nodes);
    const std::uint64_t hash = key.hash;
    auto it = entries_.emplace(
        hash, Entry{std::move(key.words), itself ? nullptr : result.clone(), work});
    return &it->second;
}

bool SimplifyMemo::enabled() {
    return memoEnabled.load(std::memory_order_relaxed);
}

void SimplifyMemo::setEnabled(bool on) {
    memoEnabled.store(on, std::memory_order_relaxed);
}

}  // namespace kv::rw
