// A curve of 10^6 samples: compiled sampling against sampling point by point
// with `evaluate`.
#include <string>

#include "BenchSupport.h"

namespace {

std::string command(int n) {
    return "curve([cos(t)*exp(-t/50), sin(t)*exp(-t/50), t/10+sin(5*t)/(1+t^2)], [t, 0..100], "
           "nlines=" +
           std::to_string(n) + ", id=1)";
}

void build(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    kv::bench::buildGraph(state, command(n), true, n);
}

void buildPlain(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    kv::bench::buildGraph(state, command(n), false, n);
}

}  // namespace

BENCHMARK(build)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(buildPlain)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
    return kv::bench::runAll(argc, argv, [](const kv::bench::MedianReporter& r) {
        std::printf("\ncurve of 10^6 samples, median: compiled %.2f ms, point by point %.2f ms\n",
                    r.at("build/1000000") / 1e6, r.at("buildPlain/1000000") / 1e6);
    });
}
