// simpl of a large expression: a sum of 60 products and quotients with
// repeated factors and like terms to collect.
#include <string>

#include "BenchSupport.h"

namespace {

std::string expression(int terms) {
    std::string e;
    for (int k = 1; k <= terms; ++k) {
        if (k > 1) e += "+";
        const std::string n = std::to_string(k % 7 + 1);
        e += n + "*x^2*y/(" + n + "*x) - sin(x)*" + n + "*y + (x+" + n + ")*(x-" + n + ")";
    }
    return e;
}

void simpl(benchmark::State& state) {
    kv::bench::Session s;
    const std::string command = "simpl(" + expression(static_cast<int>(state.range(0))) + ")";
    state.counters["chars"] = static_cast<double>(command.size());
    for (auto _ : state) {
        kv::NodePtr r = s.ci.parseCommand(command);
        benchmark::DoNotOptimize(r.get());
    }
}

}  // namespace

BENCHMARK(simpl)->Arg(60)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return kv::bench::runAll(argc, argv, [](const kv::bench::MedianReporter&) {});
}
