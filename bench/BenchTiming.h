#pragma once
// Timing for the benchmarks: wall-clock seconds over rounds. Other work on
// the machine only ever adds time, so the least of the rounds is the figure
// to compare between runs; the median beside it shows how far the rounds
// spread, and a wide spread says the machine was busy. Each round does work
// enough to be timed to the microsecond, and the figures print so.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// With KESTROVA_BENCH_SMALL set a benchmark makes a quick pass on small
// sizes: continuous integration runs every benchmark so, to see that none
// hangs or fails. Its figures then mean nothing.
inline bool smallRun() { return std::getenv("KESTROVA_BENCH_SMALL") != nullptr; }

template <class T>
T benchSize(T full, T small) {
  return smallRun() ? small : full;
}

// A small run makes two rounds: a benchmark whose second round fails, or
// finds the state the first left behind, is seen there too.
inline int benchRounds(int rounds) { return smallRun() ? std::min(rounds, 2) : rounds; }

inline double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The least and the median seconds of a few rounds.
struct TBenchTimes {
  double least = 0;
  double median = 0;

  // The times of one of `count` pieces of work a round does.
  TBenchTimes per(double count) const { return {least / count, median / count}; }
  // The times of what a round does beyond what another's does, and of
  // both.
  TBenchTimes operator-(const TBenchTimes& other) const { return {least - other.least, median - other.median}; }
  TBenchTimes operator+(const TBenchTimes& other) const { return {least + other.least, median + other.median}; }
};

inline TBenchTimes summarised(std::vector<double> seconds) {
  if (seconds.empty()) return {};
  std::sort(seconds.begin(), seconds.end());
  return {seconds.front(), seconds[seconds.size() / 2]};
}

// Runs prepare off the clock, then step on it, once a round.
template <class Prepare, class Step>
TBenchTimes timeRounds(int rounds, Prepare prepare, Step step) {
  std::vector<double> seconds;
  for (int round = 0; round < benchRounds(rounds); ++round) {
    prepare();
    const auto start = std::chrono::steady_clock::now();
    step();
    seconds.push_back(secondsSince(start));
  }
  return summarised(std::move(seconds));
}

template <class Step>
TBenchTimes timeRounds(int rounds, Step step) {
  return timeRounds(rounds, [] {}, step);
}

// The times of one call of a short piece of work: each round calls it as
// often as about `roundSeconds` allow (at least once), so that neither the
// clock's grain nor one interruption weighs much.
template <class Call>
TBenchTimes timeCalls(int rounds, Call call, double roundSeconds = 0.02) {
  long calls = 0;
  const auto start = std::chrono::steady_clock::now();
  do {
    call();
    ++calls;
  } while (secondsSince(start) < roundSeconds);
  return timeRounds(rounds, [&] {
           for (long i = 0; i < calls; ++i) call();
         }).per(static_cast<double>(calls));
}

// Microseconds with the digits that mean something at that size.
inline std::string microsecondsText(double seconds) {
  const double microseconds = seconds * 1e6;
  char text[32];
  std::snprintf(text, sizeof text, microseconds >= 1000 ? "%.0f" : microseconds >= 10 ? "%.1f" : "%.3f",
                microseconds);
  return text;
}

// "min 1234 us, median 1301 us"
inline std::string microseconds(const TBenchTimes& times) {
  return "min " + microsecondsText(times.least) + " us, median " + microsecondsText(times.median) + " us";
}
