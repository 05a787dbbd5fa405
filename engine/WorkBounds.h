// How much work one command may do. Each bound lies far above real use and
// keeps the worst request to a few seconds and a bounded amount of memory;
// the domain headers (quadrature, zero search, graphs, rewriting) derive
// their limits from these.
#pragma once

#include <cstddef>

namespace kv {

// Fuzzing builds run every input under sanitizers, some fifteen times
// slower than a normal build, and must still finish each input within a
// second or so. They divide the bounds on work by this; the code and its
// paths stay the same, only the ceilings are lower.
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
inline constexpr long long kWorkBoundDivisor = 100;
#else
inline constexpr long long kWorkBoundDivisor = 1;
#endif

// Nodes of one tree built by expanding user functions, differentiating,
// expanding products or any other rewrite.
inline constexpr std::size_t kMaxTreeNodes = 2'000'000 / kWorkBoundDivisor;

}  // namespace kv
