// The symbolic tasks of bench_symbolic computed by GiNaC (a different
// computer algebra library, used here only as the yardstick), and the paired
// ratio of our time to GiNaC's for each. Both sides start from the same text
// and end with the printed result: GiNaC parses it (and so already collects
// like terms, which is its whole `simpl`), differentiates with diff(),
// expands with expand(), brings fractions together with normal() and prints
// to a string. Built only when pkg-config finds ginac. KV_BENCH_NO_MEMO=1
// runs our derivatives without the memo of simplified sums, as bench_symbolic.
#include <ginac/ginac.h>

#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "SymbolicTasks.h"
#include "lang/Transcript.h"

namespace {

struct Task {
    const char* name;
    std::string ours;  // our command line
    std::string text;  // the expression GiNaC parses
    std::function<GiNaC::ex(const GiNaC::ex&)> operate;
};

GiNaC::symbol& x() {
    static GiNaC::symbol s("x");
    return s;
}
GiNaC::symbol& y() {
    static GiNaC::symbol s("y");
    return s;
}

std::string ginacRun(const Task& t) {
    GiNaC::symtab table;
    table["x"] = x();
    table["y"] = y();
    GiNaC::parser reader(table);
    GiNaC::ex e = t.operate(reader(t.text));
    std::ostringstream out;
    out << e;
    return out.str();
}

std::vector<Task> tasks() {
    using GiNaC::ex;
    auto derive = [](const ex& e) { return e.diff(x()); };
    auto same = [](const ex& e) { return e; };
    auto expand = [](const ex& e) { return e.expand(); };
    auto normal = [](const ex& e) { return e.normal(); };
    std::vector<Task> out;
    for (int n : {15, 30, 60, 120, 240})
        out.push_back({n == 15    ? "derivative/15"
                       : n == 30  ? "derivative/30"
                       : n == 60  ? "derivative/60"
                       : n == 120 ? "derivative/120"
                                  : "derivative/240",
                       "derivate(" + kv::bench::polynomial(n) + ", x)", kv::bench::polynomial(n),
                       derive});
    out.push_back({"simplLikeTerms200", "simpl(" + kv::bench::likeTerms(200) + ")",
                   kv::bench::likeTerms(200), same});
    out.push_back({"expandall6", "expandall(" + kv::bench::linearFactors(6) + ")",
                   kv::bench::linearFactors(6), expand});
    out.push_back({"expandall9", "expandall(" + kv::bench::linearFactors(9) + ")",
                   kv::bench::linearFactors(9), expand});
    out.push_back({"expandall12", "expandall(" + kv::bench::linearFactors(12) + ")",
                   kv::bench::linearFactors(12), expand});
    out.push_back({"together20", "together(" + kv::bench::fractions(20) + ")",
                   kv::bench::fractions(20), normal});
    // GiNaC names the natural logarithm log.
    std::string nested = kv::bench::nested();
    nested.replace(nested.find("ln("), 3, "log(");
    out.push_back({"derivativeNested", "derivate(" + kv::bench::nested() + ", x)", nested, derive});
    return out;
}

void ginac(benchmark::State& state, const Task& t) {
    state.counters["chars"] = static_cast<double>(ginacRun(t).size());
    for (auto _ : state) benchmark::DoNotOptimize(ginacRun(t));
}

}  // namespace

int main(int argc, char** argv) {
    kv::bench::memoFromEnvironment();
    static const std::vector<Task> all = tasks();
    for (const Task& t : all)
        benchmark::RegisterBenchmark((std::string("ginac/") + t.name).c_str(), ginac, t)
            ->Unit(benchmark::kMillisecond);
    return kv::bench::runAll(argc, argv, [](const kv::bench::MedianReporter&) {
        // Paired ratios: each side repeats its task as often as GiNaC needs
        // for about a millisecond, the two sides alternate 101 times (11
        // times where ours then takes over 20 ms).
        kv::bench::Session s;
        std::printf("\nour time / GiNaC's time, median of alternating pairs:\n");
        for (const Task& t : all) {
            using Clock = std::chrono::steady_clock;
            const Clock::time_point start = Clock::now();
            int reps = 0;
            do {
                ginacRun(t);
                ++reps;
            } while (Clock::now() - start < std::chrono::milliseconds(1));
            // Fewer pairs where ours takes long (the large derivatives).
            const Clock::time_point ourStart = Clock::now();
            for (int i = 0; i < reps; ++i) kv::runCommand(s.ci, t.ours);
            const bool slow = Clock::now() - ourStart > std::chrono::milliseconds(20);
            const double ratio = kv::bench::pairedRatio(
                slow ? 11 : 101,
                [&] {
                    for (int i = 0; i < reps; ++i) benchmark::DoNotOptimize(ginacRun(t));
                },
                [&] {
                    for (int i = 0; i < reps; ++i)
                        benchmark::DoNotOptimize(kv::runCommand(s.ci, t.ours));
                });
            std::printf("  %-20s %7.2f\n", t.name, ratio);
        }
    });
}
