// What every benchmark program shares: a counting allocation hook, a session
// (scene, interpreter, current workspace) and a reporter that keeps each
// benchmark's median time so a program can print ratios after its run.
//
// Include this header in exactly one file per program: it replaces the
// global operator new.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "engine/Workspace.h"
#include "graphics/SceneModel.h"
#include "lang/CommandInterpreter.h"

namespace kv::bench {

// Every allocation through operator new in the whole program, on any thread.
inline std::atomic<long long> allocations{0};

inline long long allocationCount() {
    return allocations.load(std::memory_order_relaxed);
}

struct Session {
    SceneModel scene;
    CommandInterpreter ci{&scene};
    Workspace::Scope scope{ci.workspace()};

    // Runs a command; aborts the benchmark program when it fails.
    void run(const std::string& command) {
        ci.parseCommand(command);
        if (ci.hasError()) {
            std::fprintf(stderr, "%s: %s\n", command.c_str(), ci.workspace().error.message.c_str());
            std::exit(1);
        }
    }
};

// The time of ours() over the time of native(), measured in `pairs`
// alternating runs (an odd number), and the median of the pairs' ratios:
// both sides of a pair see the same state of a shared machine.
template <typename Native, typename Ours>
double pairedRatio(int pairs, Native&& native, Ours&& ours) {
    using Clock = std::chrono::steady_clock;
    auto secondsOf = [](auto&& body) {
        const Clock::time_point start = Clock::now();
        body();
        return std::chrono::duration<double>(Clock::now() - start).count();
    };
    std::vector<double> ratios;
    for (int pair = 0; pair < pairs; ++pair) {
        const double base = secondsOf(native);
        ratios.push_back(secondsOf(ours) / base);
    }
    const auto middle = ratios.begin() + static_cast<std::ptrdiff_t>(ratios.size() / 2);
    std::nth_element(ratios.begin(), middle, ratios.end());
    return *middle;
}

// Builds the graph of a plot command once per iteration; removing it is not
// timed. Counters: allocations per build (all of them, parsing and geometry
// included) and per sample, for `samples` samples per build.
inline void buildGraph(benchmark::State& state, const std::string& command, bool compiled,
                       double samples) {
    Session s;
    s.ci.workspace().compiledSampling = compiled;
    long long allocs = 0;
    for (auto _ : state) {
        const long long before = allocationCount();
        s.run(command);
        allocs += allocationCount() - before;
        state.PauseTiming();
        s.run("clear_graphs()");
        state.ResumeTiming();
    }
    const double builds = static_cast<double>(state.iterations());
    state.counters["allocs_per_build"] = static_cast<double>(allocs) / builds;
    state.counters["allocs_per_sample"] = static_cast<double>(allocs) / builds / samples;
}

// Keeps real time per iteration (ns) by benchmark name: the median when
// repetitions are asked for, else the one run.
class MedianReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            const std::string name =
                r.run_name.function_name + (r.run_name.args.empty() ? "" : "/" + r.run_name.args);
            const double ns = r.GetAdjustedRealTime() *
                              benchmark::GetTimeUnitMultiplier(benchmark::kNanosecond) /
                              benchmark::GetTimeUnitMultiplier(r.time_unit);
            if (r.run_type == Run::RT_Aggregate) {
                if (r.aggregate_name == "median") medians[name] = ns;
            } else if (!r.error_occurred) {
                medians[name] = ns;
            }
        }
    }
    double at(const std::string& name) const {
        auto it = medians.find(name);
        return it == medians.end() ? 0.0 : it->second;
    }
    std::map<std::string, double> medians;
};

// Runs the registered benchmarks with the reporter; then `after(reporter)`.
template <class After>
int runAll(int argc, char** argv, After after) {
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    after(reporter);
    benchmark::Shutdown();
    return 0;
}

}  // namespace kv::bench

// The counting hook: plain and aligned operator new; the array and nothrow
// forms call these.
void* operator new(std::size_t n) {
    kv::bench::allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t n, std::align_val_t a) {
    kv::bench::allocations.fetch_add(1, std::memory_order_relaxed);
    const std::size_t al = static_cast<std::size_t>(a);
    if (void* p = std::aligned_alloc(al, (n + al - 1) / al * al)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
    std::free(p);
}
