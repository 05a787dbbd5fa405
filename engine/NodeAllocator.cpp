#include "engine/NodeAllocator.h"

#include <new>

namespace kv::nodemem {

namespace {

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

}  // namespace

void* allocateSlow(std::size_t size) {
    const std::size_t c = classOf(size);
    if (!kPooled || c >= kClasses) return ::operator new(size);
    return ::operator new((c + 1) * kStep);
}

void releaseSlow(void* block, std::size_t size) noexcept {
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
    // The thread's first block: its drain is registered before the block
    // enters the list.
    drain.touched = true;
    l.registered = true;
    pushBlock(l, c, block);
}

}  // namespace kv::nodemem
