// The best per-run time of a piece of work over several rounds, for comparisons in one run.
#pragma once

#include <algorithm>
#include <chrono>

namespace vex::bench {

// `after` runs at the end of each round, inside the timing (for work the system finishes later,
// such as queued drawing).
template <class F, class After = void (*)()>
double BestSeconds(F f, int rounds, int runs, After after = [] {}) {
  using Clock = std::chrono::steady_clock;
  double best = 1e30;
  for (int r = 0; r < rounds; ++r) {
    const auto start = Clock::now();
    for (int i = 0; i < runs; ++i) f();
    after();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count() / runs);
  }
  return best;
}

}  // namespace vex::bench
