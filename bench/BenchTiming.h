#pragma once
// Timing for the benchmarks: wall-clock seconds, and the best or the median
// of a few rounds, which leave out the rounds the machine was busy elsewhere.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <vector>

// With KESTROVA_BENCH_SMALL set a benchmark makes one quick pass on small
// sizes: continuous integration runs every benchmark so, to see that none
// hangs or fails. Its figures then mean nothing.
inline bool smallRun() { return std::getenv("KESTROVA_BENCH_SMALL") != nullptr; }

template <class T>
T benchSize(T full, T small) {
  return smallRun() ? small : full;
}

inline int benchRounds(int rounds) { return smallRun() ? 1 : rounds; }

inline double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

template <class Step>
double bestTime(int rounds, Step step) {
  double best = 1e9;
  for (int round = 0; round < benchRounds(rounds); ++round) {
    const auto start = std::chrono::steady_clock::now();
    step();
    best = std::min(best, secondsSince(start));
  }
  return best;
}

template <class Step>
double medianTime(int rounds, Step step) {
  std::vector<double> times;
  for (int round = 0; round < benchRounds(rounds); ++round) {
    const auto start = std::chrono::steady_clock::now();
    step();
    times.push_back(secondsSince(start));
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}
