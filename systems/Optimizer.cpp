#include "systems/Optimizer.h"

#include <windows.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <exception>
#include <fstream>
#include <memory>
#include <tuple>

#include "model/Forex.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "platform/RandomGenerator.h"
#include "sheet/Cell.h"
#include "sheet/FormulaTokenReader.h"
#include "sheet/Sheet.h"
#include "systems/System.h"

namespace {

constexpr double oneSecond = 1.0 / 86400;
constexpr std::uint8_t numberCell = 1;

// A name left in the objective after the system's names were replaced that
// the sheet cannot read either (no constant, named value, cell or range): no
// run gives it a value.
bool hasUnknownName(TSheet& sheet, const std::string& formula) {
  TFormulaTokenReader reader(formula, sheet.formulaDecimalSeparator(), sheet.formulaListSeparator());
  while (reader.next()) {
    const TTokenObject& token = reader.token();
    if (token.tokenClass != tokenOperand || token.value.kind != valueIdentifier) continue;
    TValueRecord value = token.value;
    std::unique_ptr<TArray> range;
    try {
      sheet.resolveIdentifier(value, &range, false, true, true, 0, 0);
    } catch (const EInvalidReference&) {
      return true;
    }
    if (value.kind == valueIdentifier) return true;
  }
  return false;
}

// The objective tried once on the prepared sheet, before any run: its parse
// error, or an error no run can mend (an unknown name, a macro the engine
// does not define, raising an error or stopped); valid when none.
// Other errors may well go once the system has run (a division by a value
// the run makes), and are left to the runs.
std::uint8_t triedState(TSheet& sheet, const std::string& formula) {
  const int row = sheet.getUsedExtent().y + 1;
  const bool recalculate = sheet.autoRecalculate;
  const int col = sheet.currentCol, current = sheet.currentRow;
  const TMacroCallFailures before = sheet.macroCallout.failures();
  sheet.autoRecalculate = false;
  sheet.currentCol = 1;
  sheet.currentRow = row;
  sheet.setCellContent(1, row, 0, formula, numberCell);
  std::uint8_t state = errNA;
  if (TCell* cell = sheet.getCell(1, row)) {
    state = cell->state;
    if ((state == stateValid || state == errNA) && hasUnknownName(sheet, formula)) {
      state = errName;
    } else if ((state == stateValid || state == errNA) && cell->hasFormula()) {
      state = stateValid;
      cell->evaluate(1, row, false);
      const TMacroCallFailures& after = sheet.macroCallout.failures();
      if (cell->state == errName || cell->state == errScript) {
        state = cell->state;
      } else if (after.unknown != before.unknown) {
        state = errName;
      } else if (after.stopped != before.stopped || after.raised != before.raised) {
        state = errScript;
      }
    }
  }
  sheet.putCell(1, row, nullptr);
  sheet.currentCol = col;
  sheet.currentRow = current;
  sheet.autoRecalculate = recalculate;
  return state == errNA ? static_cast<std::uint8_t>(stateValid) : state;
}

// Puts the program back as it was before the search, on every way out.
class TDuplicateGuard {
 public:
  TDuplicateGuard(TPortfolioTable& table, int previousIndex) : table_(table), previousIndex_(previousIndex) {}
  ~TDuplicateGuard() {
    try {
      restorePrices();
      table_.setCurrentIndex(previousIndex_);
      for (int i = table_.count() - 1; i >= 0 && duplicate_ != nullptr; --i) {
        if (table_.items(i) == duplicate_) table_.deletePortfolio(i);
      }
    } catch (const std::exception&) {
      // A destructor cannot report; the temporary folder is the only leftover.
    }
  }
  TDuplicateGuard(const TDuplicateGuard&) = delete;
  TDuplicateGuard& operator=(const TDuplicateGuard&) = delete;

  void setDuplicate(TPortfolio* duplicate) { duplicate_ = duplicate; }
  void setAligned() { aligned_ = true; }
  // The shared series and currency tables hold their own records again.
  void restorePrices() {
    if (!aligned_ || duplicate_ == nullptr) return;
    aligned_ = false;
    duplicate_->restoreAlignedPrices();
    forexTables().restoreAll();
  }

 private:
  TPortfolioTable& table_;
  int previousIndex_;
  TPortfolio* duplicate_ = nullptr;
  bool aligned_ = false;
};

class TLogFile {
 public:
  bool open(const std::string& fileName) {
    out_.open(fileName, std::ios::binary | std::ios::trunc);
    return out_.good();
  }
  bool isOpen() const { return out_.is_open(); }
  bool writeLine(const std::string& line) {
    out_ << line << "\r\n";
    out_.flush();
    return out_.good();
  }

 private:
  std::ofstream out_;
};

}  // namespace

void TOptimizer::clearResults() {
  for (TResult* result : {&max_, &min_, &last_}) result->clear();
}

std::pair<size_t, size_t> TOptimizer::shuffledSpan(const std::vector<double>& dates, double fromDate, double toDate) {
  if (dates.empty()) return {0, 0};
  const auto first = std::lower_bound(dates.begin(), dates.end(), fromDate - 0.5) - dates.begin();
  const auto end = std::upper_bound(dates.begin(), dates.end(), toDate) - dates.begin();
  const size_t last = end > 0 ? static_cast<size_t>(end - 1) : 0;
  return {std::min(static_cast<size_t>(first), last), last};
}

long double TOptimizer::aggregate(std::vector<long double> values, TShuffleAggregation aggregation) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  switch (aggregation) {
    case TShuffleAggregation::median:
      return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    case TShuffleAggregation::mean: {
      long double sum = 0;
      for (long double value : values) sum += value;
      return sum / static_cast<long double>(n);
    }
    case TShuffleAggregation::max:
      return values.back();
    case TShuffleAggregation::min:
      break;
  }
  return values.front();
}

std::string TOptimizer::logNumber(long double x) {
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, static_cast<double>(x), std::chars_format::general, 15);
  return std::string(text, result.ptr);
}

void TOptimizer::record(const TSystem& system, long double value) {
  const TParameterEntryTable& params = system.Params();
  int k = 0;
  for (int i = 0; i < params.count(); ++i) {
    if (params.parameter(i)->isOptimisable()) last_.setValue(k++, params.parameter(i)->Value());
  }
  last_.setObjective(value);
  // On equal objectives the earlier combination stays.
  if (!max_.valid() || max_.objective() < value) max_ = last_;
  if (!min_.valid() || min_.objective() > value) min_ = last_;
}

int TOptimizer::optimize(TPortfolioTable& portfolioTable, TSystem& workingCopy, IActiveScript* scriptEngine,
                         const TOptimizeSettings& settings) {
  logError_.clear();
  objectiveError_.clear();
  simulations_ = 0;
  alignSeconds_ = 0;
  TParameterEntryTable& params = workingCopy.Params();
  clearResults();
  for (TResult* result : {&max_, &min_, &last_}) {
    result->setCount(params.optimisableCount());
  }
  const std::uint64_t combinations = params.combinationCount();
  const int previousIndex = portfolioTable.currentIndex();
  if (combinations == 0 || portfolioTable.current() == nullptr) return -7;
  auto running = [this] { return !keepRunning || keepRunning(); };

  TDuplicateGuard guard(portfolioTable, previousIndex);
  int result = portfolioTable.duplicatePortfolio(previousIndex, settings.temporaryRoot);
  if (result != 0) return result;
  TPortfolio* duplicate = portfolioTable.items(portfolioTable.count() - 1);
  guard.setDuplicate(duplicate);
  portfolioTable.setCurrentIndex(portfolioTable.count() - 1);

  workingCopy.setSaveSoftTransactions(false);
  workingCopy.setFromDate(settings.fromDate);
  workingCopy.setToDate(settings.toDate);

  std::vector<double> dates;
  size_t first = 0, last = 0;
  const int runs = settings.shuffle ? std::max(1, settings.runs) : 1;
  if (settings.shuffle) {
    setRandomSeed(GetTickCount());
    result = duplicate->mergeDatesInto(dates);
    if (result == 0) result = forexTables().mergeAllDates(dates);
    if (result != 0) return result;
    if (dates.empty()) return -7;
    std::tie(first, last) = shuffledSpan(dates, workingCopy.FromDate(), workingCopy.ToDate());
  }

  std::string objective = settings.objective;
  const TSystemCallback progress = [&](long double, long double, long double) { return running() ? 0 : -8; };
  params.resetStepIndexes();
  std::unique_ptr<TSheet> sheet;
  result = workingCopy.prepareRun(sheet, scriptEngine, &portfolioTable, objective, progress);
  if (result != 0 || !sheet) return result != 0 ? result : -7;
  const std::uint8_t objectiveState = triedState(*sheet, objective);
  if (objectiveState != stateValid) {
    objectiveError_ = "The objective \"" + settings.objective + "\" is no formula that can be computed (" +
                      cellStateText(objectiveState) + "): nothing was run.";
    return objectiveRefused;
  }

  TLogFile log;
  auto writeLog = [&](const std::string& line) {
    if (log.writeLine(line)) return true;
    logError_ = "Cannot write the log file \"" + settings.logFileName + "\".";
    return false;
  };
  if (!settings.logFileName.empty()) {
    if (!log.open(settings.logFileName)) {
      logError_ = "Cannot create the log file \"" + settings.logFileName + "\".";
      return -4;
    }
    std::string header = "<OBJECTIVE>";
    for (int i = 0; i < params.count(); ++i) {
      if (!params.parameter(i)->isOptimisable()) continue;
      header += ',';
      header += params.parameter(i)->Symbol();
    }
    if (!writeLog(header)) return -4;
  }

  const long double total = static_cast<long double>(combinations) * runs;
  long double done = 0;
  // The error of the first run that went to its end without an objective.
  std::uint8_t firstError = stateValid;
  auto simulate = [&](bool& found, double& value) {
    std::uint8_t state = stateValid;
    const int simulated = workingCopy.simulate(sheet.get(), true, progress, found, value, objective, &state);
    ++simulations_;
    if (simulated == 0 && !found && firstError == stateValid) firstError = state;
  };
  if (showProgress) showProgress(0);
  for (;;) {
    if (!running()) break;
    bool found = false;
    double value = 0;
    if (!settings.shuffle) {
      done += 1;
      if (showProgress) showProgress(done / total);
      simulate(found, value);
    } else {
      std::vector<long double> values;
      for (int run = 0; run < runs && running(); ++run) {
        done += 1;
        if (showProgress) showProgress(done / total);
        for (size_t k = last; k > first; --k) {
          const size_t j = first + nextRandomBelow(k - first + 1);
          std::swap(dates[j], dates[k]);
        }
        const auto alignStart = std::chrono::steady_clock::now();
        guard.setAligned();
        forexTables().alignAllToDates(dates, workingCopy.FromDate());
        duplicate->alignPricesToDates(dates, workingCopy.FromDate(), oneSecond);
        alignSeconds_ += std::chrono::duration<double>(std::chrono::steady_clock::now() - alignStart).count();
        bool runFound = false;
        double runValue = 0;
        simulate(runFound, runValue);
        if (runFound) values.push_back(runValue);
      }
      found = running() && !values.empty();
      if (found) value = static_cast<double>(aggregate(values, settings.aggregation));
    }
    if (found) {
      record(workingCopy, value);
      if (resultsChanged) resultsChanged();
      if (log.isOpen()) {
        std::string line = logNumber(last_.objective());
        for (int k = 0; k < last_.count(); ++k) {
          line += ',';
          line += logNumber(last_.getValue(k));
        }
        if (!writeLog(line)) return -4;
      }
    }
    if (params.nextCombination()) break;
  }
  const auto restoreStart = std::chrono::steady_clock::now();
  sheet.reset();
  guard.restorePrices();
  alignSeconds_ += std::chrono::duration<double>(std::chrono::steady_clock::now() - restoreStart).count();
  // Runs that all went to their end without a value are a failure, not an
  // empty result.
  if (!max_.valid() && firstError != stateValid) {
    objectiveError_ = "No combination gave a value of the objective \"" + settings.objective + "\"; the first gave " +
                      cellStateText(firstError) + ".";
    return objectiveWithoutValue;
  }
  return 0;
}
