#include "model/Forex.h"

#include <algorithm>
#include <cmath>

#include "model/Directories.h"
#include "model/LanguageStrings.h"
#include "model/QuickSort.h"
#include "model/UnreadableFiles.h"
#include "platform/CalendarDates.h"

namespace {
const std::string dollar = "USD";

bool isUsableRate(long double rate) { return rate != 0 && std::isfinite(rate); }

// A table file that is there but gives no table leaves every value in its
// currencies blank, and one that gives a table without some of its days
// converts them at a neighbouring day's rate: either way the user is told
// which file. The program never writes a table, so it stays as it is.
int loadTableFile(TForex& table, const std::string& fileName, const TQuoteFormat& format) {
  const int result = table.load(fileName, format);
  if (table.passedOver() > 0)
    reportPartlyReadFile(fileName);
  else if (result == -3 || result == -5 || result == -7)
    reportUnreadableFile(fileName);
  return result;
}

}  // namespace

void TForex::clear() {
  THistory::clear();
  FromCode.clear();
  ToCode.clear();
  Derived = false;
}

bool TForex::rateAt(long double& result, bool atDate, double& rateDate, double date, long double amount) {
  if (records_.empty()) return false;
  ensureSorted();
  auto used = records_.end() - 1;
  if (atDate) {
    // The last record dated on or before the date; the first one when the
    // date precedes them all.
    used = std::upper_bound(records_.begin(), records_.end(), date,
                            [](double value, const THistoryRecord& record) { return value < record.Date; });
    if (used != records_.begin()) --used;
  }
  result = amount * used->Value;
  rateDate = used->Date;
  return true;
}

void TForex::makeInverse(const TForex& source) {
  clear();
  records_.reserve(source.records_.size());
  for (const THistoryRecord& record : source.records_) {
    // A zero rate has no inverse; leaving the day out lets lookups fall back
    // on the neighbouring rates instead of spreading infinities.
    if (!isUsableRate(record.Value)) continue;
    records_.push_back({record.Date, 1 / record.Value});
  }
  FromCode = source.ToCode;
  ToCode = source.FromCode;
  sorted_ = source.sorted_;
}

void TForex::makeCross(const TForex& fromToDollar, TForex& dollarToTo) {
  clear();
  records_.reserve(fromToDollar.records_.size());
  for (const THistoryRecord& record : fromToDollar.records_) {
    long double product = 0;
    double rateDate = 0;
    if (!dollarToTo.rateAt(product, true, rateDate, record.Date, record.Value)) break;
    if (std::trunc(rateDate) == std::trunc(record.Date)) records_.push_back({record.Date, product});
  }
  records_.shrink_to_fit();
}

TForexTables::TForexTables() { setFormat(defaultFormat); }

int TForexTables::setFormat(const std::string& formatString) {
  format_ = compileQuoteFormat(formatString, false);
  return format_.isEmpty() ? -6 : 0;
}

void TForexTables::clearTables() { tables_.clear(); }

TForex* TForexTables::findTable(const std::string& from, const std::string& to) const {
  for (const auto& table : tables_) {
    if (table->FromCode == from && table->ToCode == to) return table.get();
  }
  return nullptr;
}

TForex& TForexTables::appendTable() {
  tables_.push_back(std::make_unique<TForex>());
  return *tables_.back();
}

void TForexTables::removeLastTable() { tables_.pop_back(); }

// Each table is put in date order when it is made, on the thread that makes
// it: rate look-ups, which the sheet graphs' compute threads make too, then
// only read it.
int TForexTables::getTable(const std::string& fromText, const std::string& toText, const TProgressProcedure& progress,
                           void* cookie, double& loadTime) {
  const std::string from = normalizeCurrency(fromText);
  const std::string to = normalizeCurrency(toText);
  for (size_t i = 0; i < tables_.size(); ++i) {
    if (tables_[i]->FromCode == from && tables_[i]->ToCode == to) return static_cast<int>(i);
  }
  const int index = tableCount();
  TForex& table = appendTable();
  auto ready = [&](TForex& made) {
    made.ensureSorted();
    loadTime = currentDateTime();
    reportProgress(progress, cookie, progressReady, "");
  };
  if (const TForex* opposite = findTable(to, from)) {
    reportProgress(progress, cookie, progressDerivingTable, from + "->" + to);
    table.makeInverse(*opposite);
    ready(table);
    return index;
  }
  if (format_.isEmpty()) {
    removeLastTable();
    return -6;
  }
  const std::string folder = getDirectory("<FOREX>");
  reportProgress(progress, cookie, progressReadingTable, from + "->" + to);
  if (loadTableFile(table, folder + from + "to" + to + ".CSV", format_) == 0) {
    table.FromCode = from;
    table.ToCode = to;
    ready(table);
    return index;
  }
  reportProgress(progress, cookie, progressReadingTable, to + "->" + from);
  if (loadTableFile(table, folder + to + "to" + from + ".CSV", format_) == 0) {
    table.FromCode = to;
    table.ToCode = from;
    ready(table);
    // Both directions stay cached.
    TForex& inverse = appendTable();
    reportProgress(progress, cookie, progressDerivingTable, from + "->" + to);
    inverse.makeInverse(table);
    ready(inverse);
    return index + 1;
  }
  removeLastTable();
  if (from == dollar || to == dollar) return -2;
  double stepTime = 0;
  const int toDollar = getTable(from, dollar, progress, cookie, stepTime);
  if (toDollar < 0) return -2;
  const int fromDollar = getTable(dollar, to, progress, cookie, stepTime);
  if (fromDollar < 0) return -2;
  const int crossIndex = tableCount();
  TForex& cross = appendTable();
  reportProgress(progress, cookie, progressDerivingTable, from + "->" + to);
  cross.makeCross(*tables_[toDollar], *tables_[fromDollar]);
  cross.Derived = true;
  cross.FromCode = from;
  cross.ToCode = to;
  ready(cross);
  return crossIndex;
}

bool TForexTables::convert(const std::string& fromText, const std::string& toText, long double amount, double date,
                           bool atDate, long double& result, double& rateDate) const {
  const std::string from = normalizeCurrency(fromText);
  const std::string to = normalizeCurrency(toText);
  if (from == to) {
    result = amount;
    rateDate = date;
    return true;
  }
  long double rate = 0;
  if (TForex* direct = findTable(from, to)) {
    if (!direct->rateAt(rate, atDate, rateDate, date, 1) || !isUsableRate(rate)) return false;
    result = amount * rate;
    return true;
  }
  if (TForex* opposite = findTable(to, from)) {
    if (!opposite->rateAt(rate, atDate, rateDate, date, 1) || !isUsableRate(rate)) return false;
    result = amount / rate;
    return true;
  }
  return false;
}

int TForexTables::alignAllToDates(const std::vector<double>& dates, double fromDate) {
  int first = 0;
  for (const auto& table : tables_) {
    const int result = table->alignToDates(dates, fromDate);
    if (first == 0) first = result;
  }
  return first;
}

int TForexTables::restoreAll() {
  int first = 0;
  for (const auto& table : tables_) {
    const int result = table->restore();
    if (first == 0) first = result;
  }
  return first;
}

int TForexTables::mergeAllDates(std::vector<double>& dates) const {
  for (const auto& table : tables_) {
    const int result = table->mergeDates(dates);
    if (result != 0) {
      dates.clear();
      return result;
    }
    quickSortDoubles(dates);
  }
  return 0;
}

TForexTables& forexTables() {
  static TForexTables instance;
  return instance;
}
