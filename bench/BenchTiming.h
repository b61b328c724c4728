#pragma once
// Timing for the benchmarks: wall-clock seconds and the best of a few
// rounds, which leaves out the rounds the machine was busy elsewhere.
#include <algorithm>
#include <chrono>

inline double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

template <class Step>
double bestTime(int rounds, Step step) {
  double best = 1e9;
  for (int round = 0; round < rounds; ++round) {
    const auto start = std::chrono::steady_clock::now();
    step();
    best = std::min(best, secondsSince(start));
  }
  return best;
}
