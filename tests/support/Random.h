// A small deterministic generator for the randomised tests: the same
// sequence on every platform and library, so a failing seed can be replayed.
#pragma once

#include <cstdint>

namespace kv::test {

class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint32_t next() {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(state_ >> 33);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }
    double uniform(double lo, double hi) { return lo + (hi - lo) * (next() / 4294967296.0); }

  private:
    std::uint64_t state_;
};

}  // namespace kv::test
