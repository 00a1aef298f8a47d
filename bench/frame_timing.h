#pragma once
// Per-step timing shared by the view benchmarks: each step is timed by hand so
// its median, and its ratio to a clear measured in the same run, can be
// reported beside Google Benchmark's mean.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace pelt::bench {

inline double millisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

inline double median(std::vector<double>& samples) {
  std::sort(samples.begin(), samples.end());
  return samples[samples.size() / 2];
}

template <class F>
double medianMs(int runs, F&& f) {
  std::vector<double> samples;
  for (int i = 0; i < runs; ++i) {
    auto start = std::chrono::steady_clock::now();
    f();
    samples.push_back(millisecondsSince(start));
  }
  return median(samples);
}

// Times `step` only; `prepare` runs untimed before each step. Returns the
// median step in milliseconds.
template <class Prepare, class Step>
double timeSteps(benchmark::State& state, Prepare&& prepare, Step&& step) {
  std::vector<double> samples;
  for (auto _ : state) {
    prepare();
    auto start = std::chrono::steady_clock::now();
    step();
    const double ms = millisecondsSince(start);
    state.SetIterationTime(ms / 1000.0);
    samples.push_back(ms);
  }
  return median(samples);
}

// Reports a median step against the median of 200 runs of `clear` now.
template <class Clear>
void reportAgainstClear(benchmark::State& state, double stepMs, Clear&& clear) {
  const double clearMs = medianMs(200, clear);
  state.counters["median_ms"] = stepMs;
  state.counters["clear_ms"] = clearMs;
  state.counters["x_clear"] = stepMs / clearMs;
}

}  // namespace pelt::bench
