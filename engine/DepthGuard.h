// The one guard against runaway recursion: a scope adds its levels to a
// counter for as long as it lasts, and the recursive algorithm compares the
// counter with its own ceiling. The parser counts parentheses and tree links
// this way; the limit search and the solver count their nested calls.
#pragma once

namespace kv {

class DepthGuard {
  public:
    explicit DepthGuard(int& depth, int levels = 1) : depth_(depth), levels_(levels) {
        depth_ += levels_;
    }
    ~DepthGuard() { depth_ -= levels_; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

    // Whether the nesting, this scope included, is at most `ceiling`.
    bool within(int ceiling) const { return depth_ <= ceiling; }

  private:
    int& depth_;
    int levels_;
};

}  // namespace kv
