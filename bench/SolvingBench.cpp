// Numeric solving and integration at the sizes a user may ask for: a zero
// search over a million scan points, one where most brackets cannot be
// refined to epsilon (a fast oscillation), and Simpson integrals of a
// million pairs, with the integrand compiled and walked as a tree; limits
// and exact solving of textbook size.
#include <string>

#include "BenchSupport.h"
#include "lang/Transcript.h"

namespace {

void command(benchmark::State& state, const std::string& text, bool compiled) {
    kv::bench::Session s;
    s.ci.workspace().compiledSampling = compiled;
    // The whole console path: parsed, carried out and printed.
    for (auto _ : state) benchmark::DoNotOptimize(kv::runCommand(s.ci, text));
}

void nsolvePolynomial(benchmark::State& state) {
    command(state, "nsolve(x^3-2*x-5, x, [-10..10], h=0.00002)", true);
}
void nsolveOscillation(benchmark::State& state) {
    command(state, "nsolve(sin(100000*x)*x^3-x, x, [0..1.01], h=0.00001)", true);
}
void nintegrateCompiled(benchmark::State& state) {
    command(state, "nintegrate(3*x^3-2*x+1/(1+x^2), x, [0..1], n=1000000)", true);
}
void nintegrateTree(benchmark::State& state) {
    command(state, "nintegrate(3*x^3-2*x+1/(1+x^2), x, [0..1], n=1000000)", false);
}

// Limits and exact solving at the sizes of a textbook exercise.
void limLhospital(benchmark::State& state) {
    command(state, "lim((x-sin(x))/x^3, x->0)", true);
}
void limPowerOfOne(benchmark::State& state) {
    command(state, "lim(cos(x)^(1/x^2), x->0)", true);
}
void limRationalAtInfinity(benchmark::State& state) {
    command(state, "lim((3*x^3-x)/(2*x^3+5), x->inf)", true);
}
void limPole(benchmark::State& state) {
    command(state, "lim(1/(x-2)^2, x->2)", true);
}
void solveCubic(benchmark::State& state) {
    command(state, "solve(x^3-6*x^2+11*x-6, x)", true);
}
void solveLogarithmic(benchmark::State& state) {
    command(state, "solve(3*2^x=24, x)", true);
}
void solveRadical(benchmark::State& state) {
    command(state, "solve(x-3*sqrt(x)+2, x)", true);
}

}  // namespace

BENCHMARK(limLhospital)->Unit(benchmark::kMicrosecond);
BENCHMARK(limPowerOfOne)->Unit(benchmark::kMicrosecond);
BENCHMARK(limRationalAtInfinity)->Unit(benchmark::kMicrosecond);
BENCHMARK(limPole)->Unit(benchmark::kMicrosecond);
BENCHMARK(solveCubic)->Unit(benchmark::kMicrosecond);
BENCHMARK(solveLogarithmic)->Unit(benchmark::kMicrosecond);
BENCHMARK(solveRadical)->Unit(benchmark::kMicrosecond);
BENCHMARK(nsolvePolynomial)->Unit(benchmark::kMillisecond);
BENCHMARK(nsolveOscillation)->Unit(benchmark::kMillisecond);
BENCHMARK(nintegrateCompiled)->Unit(benchmark::kMillisecond);
BENCHMARK(nintegrateTree)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return kv::bench::runAll(argc, argv, [](const kv::bench::MedianReporter& r) {
        const double tree = r.at("nintegrateTree");
        const double compiled = r.at("nintegrateCompiled");
        if (tree > 0 && compiled > 0)
            std::printf("\nnintegrate of 10^6 pairs: compiled integrand %.2f times faster\n",
                        tree / compiled);
    });
}
