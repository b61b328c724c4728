#include "windows/TransactionRanges.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "model/Asset.h"
#include "model/Portfolio.h"
#include "platform/DateTime.h"
#include "platform/LocaleSettings.h"
#include "sheet/NumberText.h"

namespace {

constexpr double oneSecond = 1.0 / 86400.0;
constexpr double lastSecondOfDay = 0.999988425925926;

}  // namespace

void TMergeDates::reset(double start, double end, double destination, double lowest, double highest) {
  lowest_ = std::min(lowest, highest);
  highest_ = std::max(lowest, highest);
  start_ = start;
  end_ = end;
  destination_ = destination;
}

void TMergeDates::setStart(double date) {
  start_ = std::clamp(date, lowest_, highest_);
  if (start_ > end_) end_ = start_;
  if (start_ > destination_) destination_ = start_;
}

void TMergeDates::setEnd(double date) {
  end_ = std::clamp(date, lowest_, highest_);
  if (end_ < start_) start_ = end_;
  if (end_ < destination_) destination_ = end_;
}

void TNumberRange::reset(int32_t a, int32_t b, int32_t first, int32_t last) {
  lowest_ = std::min(a, b);
  highest_ = std::max(a, b);
  start_ = std::clamp(std::min(first, last), lowest_, highest_);
  end_ = std::clamp(std::max(first, last), start_, highest_);
}

bool TNumberRange::clampTyped(const std::string& text, int32_t& number) const {
  double value = 0;
  if (!localTextToFloat(text, value)) return false;
  if (value < lowest_)
    number = lowest_;
  else if (value > highest_)
    number = highest_;
  else
    number = static_cast<int32_t>(std::trunc(value));
  return true;
}

void TNumberRange::setStart(int32_t number) {
  start_ = std::clamp(number, lowest_, highest_);
  if (start_ > end_) end_ = start_;
}

void TNumberRange::setEnd(int32_t number) {
  end_ = std::clamp(number, lowest_, highest_);
  if (end_ < start_) start_ = end_;
}

void TNumberRange::typeStart(const std::string& text) {
  int32_t number = start_;
  if (clampTyped(text, number)) setStart(number);
}

void TNumberRange::typeEnd(const std::string& text) {
  int32_t number = end_;
  if (clampTyped(text, number)) setEnd(number);
}

void TNumberRange::stepStart(int step) {
  const int64_t number = static_cast<int64_t>(start_) + step;
  if (number >= lowest_ && number <= highest_) setStart(static_cast<int32_t>(number));
}

void TNumberRange::stepEnd(int step) {
  const int64_t number = static_cast<int64_t>(end_) + step;
  if (number >= lowest_ && number <= highest_) setEnd(static_cast<int32_t>(number));
}

void mergeWindow(double firstDay, double lastDay, double& from, double& to) {
  from = std::trunc(firstDay) - oneSecond;
  to = std::trunc(lastDay) + lastSecondOfDay;
}

namespace {

// The amounts of the transactions dated from..to, both included: the very
// ones the deletion takes. Differences of the running sums at the window's
// ends would leave out a transaction stamped exactly at its start.
TMergeSums sumBetween(TTransactionTable& table, double from, double to) {
  TMergeSums sums;
  for (int i = 0; i < table.count(); ++i) {
    const TTransaction* transaction = table.items(i);
    if (transaction->DateTime() < from || transaction->DateTime() > to) continue;
    ++sums.count;
    sums.units += transaction->Units();
    sums.value += transaction->Value();
    sums.fees += transaction->Fees();
  }
  return sums;
}

}  // namespace

int mergeAssetTransactions(TPortfolio& portfolio, TAsset& asset, bool deleteSource, int& mergedCount,
                           double destination, double firstDay, double lastDay) {
  double from = 0;
  double to = 0;
  mergeWindow(firstDay, lastDay, from, to);
  const TMergeSums sums = sumBetween(asset.Transactions(), from, to);
  if (sums.count == 0) return 0;
  std::string flag;
  bool found = false;
  asset.flagAt(flag, found, to);
  if (!found) return -7;
  const TLocaleSettings& locale = localeSettings();
  const std::string comment =
      formatDateTime(locale.shortDateFormat, from) + " ... " + formatDateTime(locale.shortDateFormat, to);
  const int32_t number = portfolio.nextTransactionNumber();
  int result = asset.addTransaction(number, 0, destination, sums.units, sums.value, sums.fees, flag, comment, true);
  if (result != 0) return result;
  ++mergedCount;
  if (deleteSource) result = asset.deleteTransactionsBetweenDates(number, false, from, to);
  const int rebuilt = portfolio.rebuildTransactionNumbers();
  return result != 0 ? result : rebuilt;
}

int deleteAssetTransactionRange(TPortfolio& portfolio, TAsset& asset, int32_t lo, int32_t hi) {
  if (asset.Transactions().countBetweenNumbers(lo, hi) == 0) return 0;
  const int result = asset.deleteTransactionsByNumber(lo, hi, -1, false);
  const int rebuilt = portfolio.rebuildTransactionNumbers();
  return result != 0 ? result : rebuilt;
}
