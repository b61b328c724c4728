#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "systems/Result.h"

class TPortfolioTable;
class TSystem;
struct IActiveScript;

// How the objectives of the shuffled runs of one combination become its
// objective; the numbers are those stored in the settings.
enum class TShuffleAggregation { median = 1, mean = 2, max = 3, min = 4 };

struct TOptimizeSettings {
  std::string objective;     // formula with the user's separators
  double fromDate = 0;       // whole days of the test window
  double toDate = 0;
  bool shuffle = false;
  int runs = 1;              // shuffled runs per combination
  TShuffleAggregation aggregation = TShuffleAggregation::median;
  std::string logFileName;   // empty: no log
  std::string temporaryRoot; // where the duplicate portfolio is made
};

// The optimiser's grid search, without its dialog: every combination of the
// optimisable parameters run on a temporary duplicate of the current
// portfolio, optionally on shuffled quote dates, keeping the largest, the
// smallest and the last objective. Whatever ends the search (Stop, a
// failure, an exception) the shared price series and currency tables get
// their own records back, the previous portfolio is current again and the
// duplicate is gone.
class TOptimizer {
 public:
  // Keeps the dialog alive between days and simulations; false once the
  // user pressed Stop.
  std::function<bool()> keepRunning;
  // Progress from 0 to 1.
  std::function<void(long double fraction)> showProgress;
  // After every combination that gave an objective.
  std::function<void()> resultsChanged;

  // 0 when the search ran (to its end or to Stop); -7 nothing to optimise
  // or no portfolio; the codes of the duplication, date merge or run
  // preparation; -4 when the log could not be written (logError says why);
  // objectiveRefused, before any run, when the objective does not compile
  // or, tried once, gives an error no run can mend; objectiveWithoutValue
  // when every run went to its end without a value (objectiveError says
  // why, with the first run's error).
  int optimize(TPortfolioTable& portfolioTable, TSystem& workingCopy, IActiveScript* scriptEngine,
               const TOptimizeSettings& settings);

  // Max, Min and Last no longer valid, so nothing of an earlier search can
  // be accepted.
  void clearResults();
  const TResult& maxResult() const { return max_; }
  const TResult& minResult() const { return min_; }
  const TResult& lastResult() const { return last_; }
  const std::string& logError() const { return logError_; }
  const std::string& objectiveError() const { return objectiveError_; }
  static constexpr int objectiveRefused = -6;
  static constexpr int objectiveWithoutValue = -10;
  std::uint64_t simulations() const { return simulations_; }
  // Seconds spent re-sampling and restoring the prices for shuffled runs.
  double alignSeconds() const { return alignSeconds_; }

  // The indexes of the first and the last of the sorted dates that shuffled
  // runs put in random order: those the simulated days from FromDate to
  // ToDate (both held at midday) can see, never a quote of a later day.
  static std::pair<size_t, size_t> shuffledSpan(const std::vector<double>& dates, double fromDate, double toDate);
  static long double aggregate(std::vector<long double> values, TShuffleAggregation aggregation);
  // 15 significant digits and "." whatever the user's settings.
  static std::string logNumber(long double x);

 private:
  void record(const TSystem& system, long double value);

  TResult max_, min_, last_;
  std::string logError_;
  std::string objectiveError_;
  std::uint64_t simulations_ = 0;
  double alignSeconds_ = 0;
};
