#include "graphics/SplitWork.h"

#include <algorithm>
#include <system_error>
#include <thread>

namespace kv {

int samplingWorkers(long long samples) {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores >= 2 && samples >= 2 * kSamplesPerExtraWorker ? 2 : 1;
}

void splitWork(int count, int workers, const std::function<void(int, int, int)>& work) {
    if (count <= 0) return;
    workers = std::clamp(workers, 1, count);
    if (workers == 1) {
        work(0, count, 0);
        return;
    }
    // Worker 1 takes the upper half; this thread the lower.
    const int middle = count / 2;
    std::thread helper;
    try {
        helper = std::thread(work, middle, count, 1);
    } catch (const std::system_error&) {
        work(0, count, 0);
        return;
    }
    try {
        work(0, middle, 0);
    } catch (...) {
        helper.join();
        throw;
    }
    helper.join();
}

}  // namespace kv
