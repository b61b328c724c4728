#pragma once
#include <memory>
#include <string>
#include <vector>

#include "model/History.h"
#include "model/ProgressReport.h"
#include "model/QuoteFormat.h"

// Exchange rates of one currency pair by date: amount in FromCode × rate =
// amount in ToCode.
class TForex : public THistory {
 public:
  std::string FromCode;
  std::string ToCode;
  bool Derived = false;  // made as a cross rate through the US dollar

  void clear() override;

  // amount × the rate of the date (with atDate: the record of that day or
  // the last before it, the first or last record outside the table; without
  // it: the latest record). False for an empty table.
  bool rateAt(long double& result, bool atDate, double& rateDate, double date, long double amount);
  // The reciprocal table; records with a zero or non-finite rate are left out.
  void makeInverse(const TForex& source);
  // FROM → USD times USD → TO, on the FROM → USD dates that have a USD → TO
  // rate of the same day.
  void makeCross(const TForex& fromToDollar, TForex& dollarToTo);
};

// The program-wide cache of exchange-rate tables: read from files in the
// <FOREX> directory, made as the inverse of the opposite pair, or crossed
// through the US dollar, and kept until cleared.
class TForexTables {
 public:
  static constexpr const char* defaultFormat = "yyyymmdd,c";

  TForexTables();

  // Compiles a complete format; -6 when invalid, else 0.
  int setFormat(const std::string& formatString);
  void clearTables();

  // The index of the from → to table, made when needed; -2 when it cannot
  // be made, -6 when the format is invalid.
  int getTable(const std::string& from, const std::string& to, const TProgressProcedure& progress, void* cookie,
               double& loadTime);
  // The cached from → to table, or none.
  TForex* findTable(const std::string& from, const std::string& to) const;
  int tableCount() const { return static_cast<int>(tables_.size()); }
  TForex& table(int index) { return *tables_[index]; }
  const TForex& table(int index) const { return *tables_[index]; }

  // Converts with the cached tables only. False when no table of the pair
  // is cached, it is empty, or its rate is zero or not finite.
  bool convert(const std::string& from, const std::string& to, long double amount, double date, bool atDate,
               long double& result, double& rateDate) const;

  int alignAllToDates(const std::vector<double>& dates, double fromDate);
  int restoreAll();
  // Merges every table's dates into the list, sorted; on a failure the
  // list is emptied and the failure returned.
  int mergeAllDates(std::vector<double>& dates) const;

 private:
  TForex& appendTable();
  void removeLastTable();

  TQuoteFormat format_;
  std::vector<std::unique_ptr<TForex>> tables_;  // in the order they were made
};

// The one cache of the program.
TForexTables& forexTables();
