#pragma once

// A fixed piece of work timed next to each benchmark, so figures taken on a
// busy or a different machine compare: results are also given in "std::pow
// calls" of this machine at this moment.

#include <benchmark/benchmark.h>

#include <cmath>
#include <ctime>
#include <string>

namespace bench
{
// Processor time of the calling thread, in nanoseconds.
inline double ThreadNanoseconds()
{
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return now.tv_sec * 1e9 + now.tv_nsec;
}

// Nanoseconds of one std::pow call (the engine's envelope curve), the
// fastest of a few short runs.
inline double PowCallNanoseconds()
{
  constexpr int kCalls = 200000;
  double fastest = 1e300;
  for (int run = 0; run < 5; ++run)
  {
    double sum = 0.0;
    const double start = ThreadNanoseconds();
    for (int i = 0; i < kCalls; ++i)
      sum += std::pow(0.25 + i * (0.5 / kCalls), 2.001);
    const double elapsed = ThreadNanoseconds() - start;
    benchmark::DoNotOptimize(sum);
    fastest = elapsed < fastest ? elapsed : fastest;
  }
  return fastest / kCalls;
}

// Reports `elapsed` thread nanoseconds spent on `items` units of work as
// "<unit>_ns" and as "<unit>_pow": the cost of one unit in std::pow calls,
// timed right after the benchmark's loop.
inline void ReportPerItem(benchmark::State& state, double elapsed, double items, const char* unit)
{
  const double perItem = elapsed / items;
  state.counters[std::string(unit) + "_ns"] = perItem;
  state.counters[std::string(unit) + "_pow"] = perItem / PowCallNanoseconds();
}
} // namespace bench
