// Timing helpers for comparisons in one run: the best per-run time over several rounds, and
// series of per-run times whose median and best are reported.
#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

namespace vex::bench {

// The seconds per run of one round of `runs` calls. `after` runs at the end of the round, inside
// the timing (for work the system finishes later, such as queued drawing).
template <class F, class After = void (*)()>
double RoundSeconds(F f, int runs, After after = [] {}) {
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  for (int i = 0; i < runs; ++i) f();
  after();
  return std::chrono::duration<double>(Clock::now() - start).count() / runs;
}

template <class F, class After = void (*)()>
double BestSeconds(F f, int rounds, int runs, After after = [] {}) {
  double best = 1e30;
  for (int r = 0; r < rounds; ++r) best = std::min(best, RoundSeconds(f, runs, after));
  return best;
}

// One figure measured once per round. On a shared machine the median says what a run typically
// costs and the best what it costs undisturbed; rounds of the figures being compared alternate, so
// a busy spell slows both alike.
class TSeries {
 public:
  void Add(double v) { values_.push_back(v); }
  bool Empty() const { return values_.empty(); }
  double Median() const {
    std::vector<double> v = values_;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    if (n == 0) return 0;
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
  }
  double Best() const { return values_.empty() ? 0 : *std::min_element(values_.begin(), values_.end()); }

 private:
  std::vector<double> values_;
};

}  // namespace vex::bench
