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

#include <array>
#include <cstddef>

namespace kv::nodemem {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kPooled = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kPooled = false;
#else
inline constexpr bool kPooled = true;
#endif
#else
inline constexpr bool kPooled = true;
#endif

// Sizes are kept in steps of 16 bytes up to 128; larger nodes (none of the
// common kinds) go straight to the global allocator.
inline constexpr std::size_t kStep = 16;
inline constexpr std::size_t kClasses = 8;
// The most blocks one list keeps: 16 Ki blocks, at most 2 MiB in the list of
// the largest size.
inline constexpr std::size_t kMaxKept = std::size_t{1} << 14;

struct FreeBlock {
    FreeBlock* next;
};

// Trivially destructible, so that it stays usable while a thread's other
// objects are destroyed: a node freed after the lists were given back goes
// to the global allocator.
struct Lists {
    std::array<FreeBlock*, kClasses> head;
    std::array<std::size_t, kClasses> count;
    bool registered;  // the thread's drain is registered (NodeAllocator.cpp)
    bool closed;      // the drain has run
};
inline constinit thread_local Lists lists{};

constexpr std::size_t classOf(std::size_t size) {
    return (size + kStep - 1) / kStep - 1;
}

// Puts a block at the head of list c.
inline void pushBlock(Lists& l, std::size_t c, void* block) noexcept {
    auto* b = static_cast<FreeBlock*>(block);
    b->next = l.head[c];
    l.head[c] = b;
    ++l.count[c];
}

// Everything but a block from or to a list: the global allocator, the first
// block a thread gives back, a full list.
void* allocateSlow(std::size_t size);
void releaseSlow(void* block, std::size_t size) noexcept;

// Inline, so that a node's allocation is a few instructions.
inline void* allocate(std::size_t size) {
    const std::size_t c = classOf(size);
    if (kPooled && c < kClasses) {
        Lists& l = lists;
        if (FreeBlock* b = l.head[c]) {
            l.head[c] = b->next;
            --l.count[c];
            return b;
        }
    }
    return allocateSlow(size);
}

inline void release(void* block, std::size_t size) noexcept {
    const std::size_t c = classOf(size);
    if (kPooled && c < kClasses) {
        Lists& l = lists;
        if (l.registered && !l.closed && l.count[c] < kMaxKept) {
            pushBlock(l, c, block);
            return;
        }
    }
    releaseSlow(block, size);
}

}  // namespace kv::nodemem
