// The memory of expression nodes. The symbolic algorithms build and drop
// millions of small nodes (every pass of a simplification copies its tree),
// and the general-purpose allocator spends more on each of them than the
// rule that made it. Nodes therefore keep their freed blocks in per-thread
// lists by size, and the next node of that size takes one from there.
//
// A block freed on one thread may serve a node on another: the blocks are
// plain memory from the global allocator, so it does not matter which list
// holds them. Each list keeps a bounded number of blocks and gives the rest
// back, so a large tree that is dropped leaves at most that much behind; a
// thread's lists are given back when it ends. Under the address sanitizer
// every node goes to the global allocator, so freed nodes stay poisoned.
#pragma once

#include <cstddef>

namespace kv::nodemem {

void* allocate(std::size_t size);
void release(void* block, std::size_t size) noexcept;

}  // namespace kv::nodemem
