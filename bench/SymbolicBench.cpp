// Symbolic algebra at growing sizes: the derivative of polynomials of 15 to
// 240 terms, simpl of 200 like terms, expandall of 6, 9 and 12 linear
// factors, together of 20 fractions and one nested derivative. Each
// benchmark runs the whole console path (parse, compute, print). After the
// run the program fits the growth exponent of the derivative's time,
// log(time) against log(terms), over 15..240 and over 60..240 terms.
// KV_BENCH_NO_MEMO=1 runs the derivatives without the memo of simplified
// subtrees (algebra/SimplifyMemo.h), the way they ran before it.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "SymbolicTasks.h"
#include "lang/Transcript.h"

namespace {

void command(benchmark::State& state, const std::string& text) {
    kv::bench::Session s;
    const std::string first = kv::runCommand(s.ci, text);
    if (s.ci.hasError()) {
        state.SkipWithError(first.c_str());
        return;
    }
    state.counters["chars"] = static_cast<double>(first.size());
    for (auto _ : state) benchmark::DoNotOptimize(kv::runCommand(s.ci, text));
}

void derivative(benchmark::State& state) {
    command(state, "derivate(" + kv::bench::polynomial(static_cast<int>(state.range(0))) + ", x)");
}

// The least-squares slope of log(time) over log(terms).
double slope(const kv::bench::MedianReporter& r, const std::vector<int>& terms) {
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    int n = 0;
    for (int t : terms) {
        const double ns = r.at("derivative/" + std::to_string(t));
        if (ns <= 0) return NAN;
        const double x = std::log(t), y = std::log(ns);
        sx += x, sy += y, sxx += x * x, sxy += x * y;
        ++n;
    }
    return (n * sxy - sx * sy) / (n * sxx - sx * sx);
}

}  // namespace

BENCHMARK(derivative)->Arg(15)->Arg(30)->Arg(60)->Arg(120)->Arg(240)->Unit(benchmark::kMillisecond);
#define KV_COMMAND(name, text) BENCHMARK_CAPTURE(command, name, text)->Unit(benchmark::kMillisecond)
KV_COMMAND(simplLikeTerms200, "simpl(" + kv::bench::likeTerms(200) + ")");
KV_COMMAND(expandall6, "expandall(" + kv::bench::linearFactors(6) + ")");
KV_COMMAND(expandall9, "expandall(" + kv::bench::linearFactors(9) + ")");
KV_COMMAND(expandall12, "expandall(" + kv::bench::linearFactors(12) + ")");
KV_COMMAND(together20, "together(" + kv::bench::fractions(20) + ")");
KV_COMMAND(derivativeNested, "derivate(" + kv::bench::nested() + ", x)");
#undef KV_COMMAND

int main(int argc, char** argv) {
    kv::bench::memoFromEnvironment();
    return kv::bench::runAll(argc, argv, [](const kv::bench::MedianReporter& r) {
        const double all = slope(r, {15, 30, 60, 120, 240});
        const double large = slope(r, {60, 120, 240});
        if (std::isfinite(all) || std::isfinite(large))
            std::printf("derivative growth exponent: %.2f over 15..240 terms, %.2f over 60..240\n",
                        all, large);
    });
}
