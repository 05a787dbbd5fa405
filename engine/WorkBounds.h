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

// Node visits of evaluation one command may ask for (see EvaluationCost.h):
// the samples of a graph times the nodes of its formulas, the scan steps of
// a zero search times its trees, the points of an integral times its
// integrand. A visit takes a few nanoseconds, so the bound keeps a request
// to about ten seconds at worst; every ordinary request, up to the largest
// graphs, stays far below.
inline constexpr double kMaxEvaluationWork = 4e9 / kWorkBoundDivisor;

// The message of a request beyond kMaxEvaluationWork.
inline constexpr const char* kTooMuchWork =
    "Výpočet by trval příliš dlouho! Zmenšete počet bodů, kroků nebo dělení.";

}  // namespace kv
