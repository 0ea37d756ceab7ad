// Timing for comparisons in one run: the best per-run time of a piece of work over several
// rounds, and two pieces of work timed in alternating rounds (so that whatever else the machine
// does falls on both alike), with their medians and bests.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
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

struct TTimes {
  double best = 0, median = 0;  // seconds per run
};

inline TTimes Summarize(std::vector<double> perRun) {
  TTimes t;
  if (perRun.empty()) return t;
  std::sort(perRun.begin(), perRun.end());
  t.best = perRun.front();
  t.median = perRun[perRun.size() / 2];
  return t;
}

// `reference` and `measured` in alternating rounds of `runs` calls each (which goes first
// alternates too); per-run times of each round summarized.
template <class R, class M, class After = void (*)()>
std::pair<TTimes, TTimes> AlternatingSeconds(R reference, M measured, int rounds, int runs, After after = [] {}) {
  using Clock = std::chrono::steady_clock;
  std::vector<double> a, b;
  const auto time = [&](auto& f) {
    const auto start = Clock::now();
    for (int i = 0; i < runs; ++i) f();
    after();
    return std::chrono::duration<double>(Clock::now() - start).count() / runs;
  };
  for (int r = 0; r < rounds; ++r) {
    if (r % 2 == 0) {
      a.push_back(time(reference));
      b.push_back(time(measured));
    } else {
      b.push_back(time(measured));
      a.push_back(time(reference));
    }
  }
  return {Summarize(a), Summarize(b)};
}

// One headline figure, in the form ./run bench collects into the published table:
// @figure|name|value|goal|met
inline void Figure(const std::string& name, const std::string& value, const std::string& goal, bool met) {
  std::printf("@figure|%s|%s|%s|%s\n", name.c_str(), value.c_str(), goal.c_str(), met ? "yes" : "no");
}

inline std::string Fixed(double v, int decimals = 2) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  return buf;
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
