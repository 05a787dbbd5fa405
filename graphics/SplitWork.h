// Splits the rows of a sampling grid between the cores: the surface and
// implicit-curve builders sample their grids on two threads. Each row is
// computed by exactly one worker and written to its own place, so the result
// does not depend on how the rows were split.
#pragma once

#include <functional>

namespace kv {

// Fewest samples worth a second thread: below, starting it costs more than
// it saves.
inline constexpr long long kSamplesPerExtraWorker = 20'000;

// How many workers (1 or 2) sample a grid of `samples` points.
int samplingWorkers(long long samples);

// Calls work(first, last, worker) for consecutive ranges of [0, count), one
// per worker, worker 0 on this thread. Waits for all before returning. When
// a thread cannot be started its range is done on this thread.
void splitWork(int count, int workers, const std::function<void(int, int, int)>& work);

}  // namespace kv
