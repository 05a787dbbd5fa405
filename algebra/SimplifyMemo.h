// The results of `simplify` within one derivative, kept so that a subtree met
// again is not simplified again. Internal to algebra/.
//
// A derivative simplifies every rule's result, and the result of a sum rule
// holds the simplified results of the rules below it: the derivative of
// t1 + ... + tn simplifies the growing sum once per term, and each time the
// sum of the earlier terms comes back unchanged. Looking that sum up turns
// the work of every step from the size of the sum times its depth into the
// size of the sum.
//
// Every result is a function of the tree and of the budget: the rules spend
// work as they go and stop when it is spent. An entry therefore keeps the
// work its first computation spent, and is used only while the budget can pay
// more than that; using it spends the same work. A computation that ran out of
// work is not kept. So the results, the work spent and the point where the
// budget runs out are the same as without the memo.
//
// Keys are exact: kinds, numbers bit for bit, variable and constant rows,
// children in order. Trees with lists, texts, graph references, random
// numbers or integrals are not kept (copying them has effects of its own).
//
// A sum that simplified to itself and is its own final form is, at every
// step of a derivative, the sum of the earlier terms. The memo also knows
// such a sum by its node: it marks the node and keeps its facts (the entry,
// and what the pipeline's first walk counts), so the walks of the next step
// (the key, the plain-tree test, the final form) take the facts instead of
// walking it again; in a key it is one word that names its entry. A mark
// holds while the node's subtree is unchanged: the rewriting helpers that
// take a child out of a node or put one in clear the node's mark, and a
// pass reaches a node's subtree only through the node.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "engine/ExprNode.h"
#include "engine/WorkBounds.h"

namespace kv::rw {

class SimplifyMemo {
  public:
    // The most nodes the keys and results of all entries may hold, half the
    // size a tree may have; past it no entry is added.
    static constexpr std::size_t kMaxStoredNodes = kMaxTreeNodes / 2;
    // The most marked nodes whose facts are kept.
    static constexpr std::size_t kMaxFacts = std::size_t{1} << 16;

    // A tree written as words, in prefix order: a word of kind and row per
    // node, and the bits of each number after its word. Cheaper to keep and
    // to compare than a copy of the tree.
    struct Key {
        std::vector<std::uint64_t> words;
        std::uint64_t hash = 0;
        std::size_t nodes = 0;
    };
    struct Entry {
        std::vector<std::uint64_t> key;
        NodePtr result;  // null when the tree simplified to itself
        std::size_t work;
        // Set for a tree that simplified to itself once its final form (the
        // quotient and sign forms of the pipeline) is known to be the tree
        // itself too.
        bool final = false;
        // Its number in the memo, from 1.
        std::uint32_t id = 0;
    };

    // What the memo knows of a marked node (below).
    struct Facts {
        std::uint32_t stamp = 0;
        Entry* entry = nullptr;
        // The plain-tree test of the pipeline and its counts, when known.
        bool counted = false;
        bool plain = false;
        std::size_t nodes = 0;
        std::size_t powers = 0;
    };

    // The key of `tree`; false when the tree cannot be a key (see above).
    bool keyOf(const ExprNode& tree, Key& key) const;

    // Marks `node`, a tree equal to the key of `entry` (which simplified to
    // itself and is its own final form), and keeps its facts. `counts`
    // holds the plain-tree test and counts when they are known.
    void remember(ExprNode& node, Entry& entry, const Facts* counts = nullptr);
    // The memo's marks are below this; the sum rules mark the sum they built
    // last with marks from it up (SimplifySums.cpp).
    static constexpr std::uint32_t kFirstSumMark = std::uint32_t{1} << 31;

    // The facts of a node marked by this memo and unchanged since, or null.
    const Facts* factsOf(const ExprNode& node) const {
        if (node.mark() == 0 || node.mark() >= kFirstSumMark) return nullptr;
        auto it = facts_.find(&node);
        return it != facts_.end() && it->second.stamp == node.mark() ? &it->second : nullptr;
    }
    // The entry of the key, or null. Entries stay where they are while the
    // memo lives.
    Entry* find(const Key& key);
    // Keeps `result` as the simplified form of the key's tree, computed with
    // `work` units; the entry, or null when none was added.
    Entry* add(Key&& key, const ExprNode& result, std::size_t work);

    // A number no other memo of the process has, for records that must not
    // be taken for another memo's (one may later have this one's address).
    std::uint64_t serial() const { return serial_; }

    // How many lookups found their entry.
    std::size_t hits() const { return hits_; }
    void countHit() { ++hits_; }

    // Whether derivatives use a memo; on unless a test compares the two ways.
    static bool enabled();
    static void setEnabled(bool on);

  private:
    std::unordered_multimap<std::uint64_t, Entry> entries_;
    std::unordered_map<const ExprNode*, Facts> facts_;
    std::uint32_t stamps_ = 0;
    std::uint64_t serial_ = nextSerial();
    static std::uint64_t nextSerial();
    std::size_t entryCount_ = 0;
    std::size_t storedNodes_ = 0;
    std::size_t hits_ = 0;
};

}  // namespace kv::rw
