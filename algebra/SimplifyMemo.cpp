#include "algebra/SimplifyMemo.h"

#include <atomic>
#include <bit>

#include "engine/TreeRebuild.h"

namespace kv::rw {

namespace {

std::atomic<bool> memoEnabled{true};

// The word that stands for the tree of an entry in the key of a tree that
// holds it as a node the memo knows. Its high half is no kind, so it cannot
// be read as another tree's words: equal keys still mean equal trees. The
// same tree written out in full has another key; a lookup then misses, which
// costs time only (a computation gives what its entry would).
std::uint64_t referenceTo(const SimplifyMemo::Entry& e) {
    return (std::uint64_t{0xFFFFFFFFu} << 32) | e.id;
}

// Gives the words of a tree to `sink` in order, while it takes them; false
// for a kind that is not kept, or when the sink stops. A sum the memo knows
// by its node is the one word that names its entry.
template <class Sink>
bool words(const ExprNode& n, Sink& sink, const SimplifyMemo& memo) {
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
            return sink(kindWord) && words(operandOf(n), sink, memo) &&
                   words(*as<LogBaseNode>(n).base, sink, memo);
        case Kind::Sum:
        case Kind::Difference:
            if (const SimplifyMemo::Facts* f = memo.factsOf(n)) return sink(referenceTo(*f->entry));
            [[fallthrough]];
        default:
            if (!sink(kindWord)) return false;
            if (isBinaryKind(n.kind()))
                return words(leftOf(n), sink, memo) && words(rightOf(n), sink, memo);
            return words(operandOf(n), sink, memo);
    }
}

// The sinks: one appends the words, one compares them with a key.
struct Append {
    std::vector<std::uint64_t>& out;
    bool operator()(std::uint64_t w) {
        out.push_back(w);
        return true;
    }
};

struct Compare {
    const std::vector<std::uint64_t>& key;
    std::size_t at = 0;
    bool operator()(std::uint64_t w) { return at < key.size() && key[at++] == w; }
};

// Whether the tree is the one the words were written from.
bool matches(const ExprNode& tree, const std::vector<std::uint64_t>& key,
             const SimplifyMemo& memo) {
    Compare c{key};
    return words(tree, c, memo) && c.at == key.size();
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

bool SimplifyMemo::keyOf(const ExprNode& tree, Key& key) const {
    key.words.clear();
    key.words.reserve(64);
    Append append{key.words};
    if (!words(tree, append, *this)) return false;
    key.hash = hashOf(key.words.data(), key.words.size());
    key.nodes = key.words.size();
    return true;
}

void SimplifyMemo::remember(ExprNode& node, Entry& entry, const Facts* counts) {
    // Facts of nodes freed since stay until their address is marked again;
    // the table is bounded like the entries.
    if (facts_.size() >= kMaxFacts && !facts_.count(&node)) return;
    if (++stamps_ >= kFirstSumMark) stamps_ = 1;
    Facts f = counts ? *counts : Facts{};
    f.stamp = stamps_;
    f.entry = &entry;
    facts_[&node] = f;
    node.setMark(stamps_);
}

SimplifyMemo::Entry* SimplifyMemo::find(const Key& key) {
    auto [it, end] = entries_.equal_range(key.hash);
    for (; it != end; ++it)
        if (it->second.key == key.words) return &it->second;
    return nullptr;
}

SimplifyMemo::Entry* SimplifyMemo::add(Key&& key, const ExprNode& result, std::size_t work) {
    // A sum that simplified to itself is kept as its key alone.
    const bool itself = matches(result, key.words, *this);
    const std::size_t resultNodes = itself ? 0 : countNodes(result, kMaxStoredNodes + 1);
    if (storedNodes_ + key.nodes + resultNodes > kMaxStoredNodes) return nullptr;
    if (find(key)) return nullptr;
    storedNodes_ += key.nodes + resultNodes;
    const std::uint64_t hash = key.hash;
    auto it = entries_.emplace(
        hash, Entry{std::move(key.words), itself ? nullptr : result.clone(), work});
    it->second.id = static_cast<std::uint32_t>(++entryCount_);
    return &it->second;
}

std::uint64_t SimplifyMemo::nextSerial() {
    static std::atomic<std::uint64_t> count{0};
    return ++count;
}

bool SimplifyMemo::enabled() {
    return memoEnabled.load(std::memory_order_relaxed);
}

void SimplifyMemo::setEnabled(bool on) {
    memoEnabled.store(on, std::memory_order_relaxed);
}

}  // namespace kv::rw
