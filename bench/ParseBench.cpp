// Parsing one 10 kB command line into a tree.
#include <string>

#include "BenchSupport.h"

namespace {

std::string line(std::size_t size) {
    std::string s = "1";
    for (int k = 0; s.size() < size; ++k)
        s += "+" + std::to_string(k % 10) + "*x^2-sin(y/" + std::to_string(k % 9 + 1) + ")";
    return s;
}

void parse(benchmark::State& state) {
    kv::bench::Session s;
    const std::string text = line(static_cast<std::size_t>(state.range(0)));
    state.counters["chars"] = static_cast<double>(text.size());
    for (auto _ : state) {
        kv::NodePtr r = s.ci.parseCommand(text);
        benchmark::DoNotOptimize(r.get());
    }
}

}  // namespace

BENCHMARK(parse)->Arg(10000)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    return kv::bench::runAll(argc, argv, [](const kv::bench::MedianReporter&) {});
}
