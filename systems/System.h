#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "systems/SystemEntryTable.h"

class TPortableIniFile;
class TPortfolio;
class TPortfolioTable;
class TSheet;
class TSystemNameTable;
struct IActiveScript;
struct TMacroCallFailures;

// The progress callback of a run: (low, high, position) in days; 0 goes on,
// any other answer ends the run and becomes its result (-8 Stop, -9 Skip
// all). The callers' callbacks also keep their windows alive.
using TSystemCallback = std::function<int(long double low, long double high, long double position)>;

// 1 January 2100 at midday: the range of a system that was never set.
constexpr double clearedSystemDate = 73051.5;

// A portfolio's trading system: rules that post soft transactions on the
// days their conditions hold, the symbols and parameters they use, the
// simulated date range, kept in the portfolio's "System.INI".
class TSystem {
 public:
  TSystem();
  ~TSystem();
  TSystem(const TSystem&) = delete;
  TSystem& operator=(const TSystem&) = delete;

  void clear();
  void clearRulesAndRange();
  // Dates are held at midday of their day.
  void setFromDate(double date);
  void setToDate(double date);
  void setSaveSoftTransactions(bool save);
  // The first non-zero code of the three tables; every table is loaded.
  int loadFromIni(const TPortableIniFile& ini, TFormulaSeparators separators);
  int saveToIni(TPortableIniFile& ini, TFormulaSeparators separators) const;
  int assign(const TSystem* source, bool copyTimes);
  // Rules and range only: the System window's commit and discard of rules.
  int assignRulesAndRange(const TSystem* source, bool copyTimes);
  double lastChange() const;

  // ---- The run (SystemRun.cpp) ----
  // Replaces the names of the table in a formula, token by token.
  static void substituteNames(const std::string& formula, std::string& result, const TSystemNameTable& names,
                              TFormulaSeparators separators);
  // Lays the system out in the sheet over the portfolio table's current
  // portfolio; replaces the names in objective in place. 0, -7 without a
  // sheet, -5 on an exception.
  int compileToSheet(TSheet* sheet, std::string& objective, double fromDate, double toDate) const;
  // The run sheet, compiled after the soft transactions of the range are
  // gone; nullptr on any failure. Their files are asked first: when one
  // refuses, -4, nothing is deleted, and refusal (when given) names it and
  // why.
  int prepareRun(std::unique_ptr<TSheet>& sheet, IActiveScript* scriptEngine, TPortfolioTable* portfolioTable,
                 std::string& objective, const TSystemCallback& callback, std::string* refusal = nullptr) const;
  // Replays the days of the prepared sheet; may be called again on it.
  // objectiveState, when given, receives the state of the objective's cell
  // (its error when it gave no number).
  int simulate(TSheet* sheet, bool setParameters, const TSystemCallback& callback, bool& objectiveFound,
               double& objectiveValue, const std::string& objective, std::uint8_t* objectiveState = nullptr) const;
  // macroFailures, when given, receives the macro calls of the run that
  // gave no value because they were stopped or raised an error: the
  // transactions of such a run are not what the system gives. refusal: see
  // prepareRun.
  int run(IActiveScript* scriptEngine, TPortfolioTable* portfolioTable, const TSystemCallback& callback,
          TMacroCallFailures* macroFailures = nullptr, std::string* refusal = nullptr) const;
  // Posts the transactions of the rules (rows firstRow .. lastRow) that
  // fire on the day.
  void fireRules(const TSheet& sheet, TPortfolio& portfolio, int lastRow, int firstRow, double day) const;

  TRuleEntryTable& Rules() { return rules_; }
  const TRuleEntryTable& Rules() const { return rules_; }
  TSymbolEntryTable& Symbols() { return symbols_; }
  const TSymbolEntryTable& Symbols() const { return symbols_; }
  TParameterEntryTable& Params() { return params_; }
  const TParameterEntryTable& Params() const { return params_; }
  double FromDate() const { return fromDate_; }
  double ToDate() const { return toDate_; }
  bool SaveSoftTransactions() const { return saveSoftTransactions_; }

 private:
  void stamp();

  TRuleEntryTable rules_;
  TSymbolEntryTable symbols_;
  TParameterEntryTable params_;
  double fromDate_ = clearedSystemDate;
  double toDate_ = clearedSystemDate;
  double lastChange_ = 0;
  bool saveSoftTransactions_ = true;
};
