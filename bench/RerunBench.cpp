// Recompute (rerunAll) of a document of 2000 simple command lines with their
// old output lines: assignments, arithmetic and function values.
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "lang/Transcript.h"

namespace {

std::vector<std::string> document(int commands) {
    std::vector<std::string> lines;
    for (int k = 0; k < commands; ++k) {
        const std::string n = std::to_string(k);
        switch (k % 4) {
            case 0:
                lines.push_back(">> a" + n + ":=" + n + "*2+1");
                break;
            case 1:
                lines.push_back(">> sin(" + n + ")+cos(2)*3");
                break;
            case 2:
                lines.push_back(">> (1+" + n + ")^2/7 // a comment");
                break;
            default:
                lines.push_back(">> sqrt(" + n + ")-ln(1+" + n + ")");
                break;
        }
        lines.push_back("   old output");
    }
    return lines;
}

void rerunAll(benchmark::State& state) {
    const std::vector<std::string> lines = document(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        auto s = std::make_unique<kv::bench::Session>();
        state.ResumeTiming();
        std::vector<std::string> out = kv::rerunAll(s->ci, lines, [] {});
        benchmark::DoNotOptimize(out.data());
        state.PauseTiming();
        s.reset();
        state.ResumeTiming();
    }
}

}  // namespace

BENCHMARK(rerunAll)->Arg(2000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return kv::bench::runAll(argc, argv, [](const kv::bench::MedianReporter& r) {
        std::printf("\nrerunAll of 2000 lines, median: %.2f ms (goal: under 1000 ms)\n",
                    r.at("rerunAll/2000") / 1e6);
    });
}
