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
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "engine/ExprNode.h"

namespace kv::rw {

class SimplifyMemo {
  public:
    // The most nodes the keys and results of all entries may hold; past it no
    // entry is added.
    static constexpr std::size_t kMaxStoredNodes = 1'000'000;

    struct Entry {
        NodePtr key;
        NodePtr result;
        std::size_t work;
    };

    // The hash of `tree` and its node count; false when the tree cannot be a
    // key (see above).
    static bool keyOf(const ExprNode& tree, std::uint64_t& hash, std::size_t& nodes);
    // The entry whose key is `tree`, or null.
    const Entry* find(std::uint64_t hash, const ExprNode& tree) const;
    // Keeps `result` as the simplified form of `tree`, computed with `work` units.
    void add(std::uint64_t hash, const ExprNode& tree, std::size_t treeNodes,
             const ExprNode& result, std::size_t work);

    // How many lookups found their entry.
    std::size_t hits() const { return hits_; }
    void countHit() { ++hits_; }

    // Whether derivatives use a memo; on unless a test compares the two ways.
    static bool enabled();
    static void setEnabled(bool on);

  private:
    std::unordered_map<std::uint64_t, std::vector<Entry>> entries_;
    std::size_t storedNodes_ = 0;
    std::size_t hits_ = 0;
};

}  // namespace kv::rw
