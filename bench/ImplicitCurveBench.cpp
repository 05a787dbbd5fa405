// An implicit curve on an 800 x 800 grid: compiled sampling on all cores
// against sampling point by point with `evaluate`.
#include <string>

#include "BenchSupport.h"

namespace {

std::string command(int n) {
    return "icurve(x^2+y^2-4+sin(3*x)*cos(2*y), [-3..3], [-3..3], num_x=" + std::to_string(n) +
           ", num_y=" + std::to_string(n) + ", id=1)";
}

void build(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    kv::bench::buildGraph(state, command(n), true, static_cast<double>(n) * n);
}

void buildPlain(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    kv::bench::buildGraph(state, command(n), false, static_cast<double>(n) * n);
}

}  // namespace

BENCHMARK(build)->Arg(200)->Arg(800)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(buildPlain)->Arg(800)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
    return kv::bench::runAll(argc, argv, [](const kv::bench::MedianReporter& r) {
        std::printf(
            "\n800 x 800 implicit curve, median: compiled %.2f ms, point by point %.2f ms\n",
            r.at("build/800") / 1e6, r.at("buildPlain/800") / 1e6);
    });
}
