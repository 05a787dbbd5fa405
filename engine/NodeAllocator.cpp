#include "engine/NodeAllocator.h"

#include <array>
#include <new>

namespace kv::nodemem {

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kPooled = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kPooled = false;
#else
constexpr bool kPooled = true;
#endif
#else
constexpr bool kPooled = true;
#endif

// Sizes are kept in steps of 16 bytes up to 128; larger nodes (none of the
// common kinds) go straight to the global allocator.
constexpr std::size_t kStep = 16;
constexpr std::size_t kClasses = 8;
// The most blocks one list keeps: 16 Ki blocks, at most 2 MiB in the list of
// the largest size.
constexpr std::size_t kMaxKept = std::size_t{1} << 14;

struct FreeBlock {
    FreeBlock* next;
};

// Trivially destructible, so that it stays usable while a thread's other
// objects are destroyed: a node freed after the lists were given back goes
// to the global allocator.
struct Lists {
    std::array<FreeBlock*, kClasses> head;
    std::array<std::size_t, kClasses> count;
    bool registered;  // the drain below is registered
    bool closed;      // the drain has run
};
constinit thread_local Lists lists{};

// Gives the thread's blocks back when the thread ends. Touched before the
// thread's first block enters its lists, which registers it.
struct Drain {
    bool touched = false;
    Drain() = default;
    Drain(const Drain&) = delete;
    Drain& operator=(const Drain&) = delete;
    ~Drain() {
        lists.closed = true;
        for (std::size_t c = 0; c < kClasses; ++c)
            while (FreeBlock* b = lists.head[c]) {
                lists.head[c] = b->next;
                ::operator delete(b);
            }
    }
};
thread_local Drain drain;

constexpr std::size_t classOf(std::size_t size) {
    return (size + kStep - 1) / kStep - 1;
}

}  // namespace

void* allocate(std::size_t size) {
    const std::size_t c = classOf(size);
    if (!kPooled || c >= kClasses) return ::operator new(size);
    Lists& l = lists;
    if (FreeBlock* b = l.head[c]) {
        l.head[c] = b->next;
        --l.count[c];
        return b;
    }
    return ::operator new((c + 1) * kStep);
}

void release(void* block, std::size_t size) noexcept {
    const std::size_t c = classOf(size);
    if (!kPooled || c >= kClasses) {
        ::operator delete(block);
        return;
    }
    Lists& l = lists;
    if (l.closed || l.count[c] >= kMaxKept) {
        ::operator delete(block);
        return;
    }
    if (!l.registered) {
        drain.touched = true;
        l.registered = true;
    }
    auto* b = static_cast<FreeBlock*>(block);
    b->next = l.head[c];
    l.head[c] = b;
    ++l.count[c];
}

}  // namespace kv::nodemem
