// A working list taken from a per-thread pool and given back, with its
// room, when it goes out of scope: code run millions of times (the rules of
// simplify, the walks over trees) then does not allocate its lists every
// time. A list taken while another is in use is another list.
#pragma once

#include <cstddef>
#include <vector>

namespace kv {

// Lists with more room than `Keep`, and lists past 64 in the pool, are freed.
template <class T, std::size_t Keep = 1024>
class Scratch {
  public:
    Scratch() {
        std::vector<std::vector<T>>& pool = poolOf();
        if (!pool.empty()) {
            list_.swap(pool.back());
            pool.pop_back();
        }
    }
    ~Scratch() {
        list_.clear();
        std::vector<std::vector<T>>& pool = poolOf();
        if (list_.capacity() <= Keep && pool.size() < kPool) pool.push_back(std::move(list_));
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    std::vector<T>& operator*() { return list_; }
    std::vector<T>* operator->() { return &list_; }

  private:
    static constexpr std::size_t kPool = 64;
    static std::vector<std::vector<T>>& poolOf() {
        static thread_local std::vector<std::vector<T>> pool;
        return pool;
    }
    std::vector<T> list_;
};

}  // namespace kv
