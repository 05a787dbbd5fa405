// How large a graph may be. A plot command that asks for more is refused
// with a message instead of trying to allocate whatever was asked: the
// limits lie far above real use (a smooth curve needs a few thousand points,
// an animation a few hundred frames) and far below what would exhaust the
// machine (ten million vertices take about 120 MB of geometry).
#pragma once

#include "engine/WorkBounds.h"

namespace kv {

// Animation frames of one graph.
inline constexpr int kMaxGraphFrames = 10'000;
// Vertices of one graph, summed over all its frames.
inline constexpr long long kMaxGraphVertices = 10'000'000 / kWorkBoundDivisor;
// Vertices of all graphs of the scene together.
inline constexpr long long kMaxSceneVertices = 30'000'000 / kWorkBoundDivisor;
// Regula falsi rounds of one crossing of an implicit curve (`iters`): the
// crossing is stored as a float, which a few dozen rounds settle.
inline constexpr int kMaxCrossingRounds = 100;

}  // namespace kv
