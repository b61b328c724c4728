#include "windows/TransactionRanges.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "model/Asset.h"
#include "model/DeletionRefusal.h"
#include "model/Portfolio.h"
#include "model/Transaction.h"
#include "platform/DateTime.h"
#include "platform/FileSystem.h"
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

// The amounts of the selected transactions: in a merge, the very ones the
// deletion takes. Differences of the running sums at the window's ends
// would leave out a transaction stamped exactly at its start.
template <class Selected>
TMergeSums sumOf(const TTransactionTable& table, Selected selected) {
  TMergeSums sums;
  for (int i = 0; i < table.count(); ++i) {
    const TTransaction* transaction = table.items(i);
    if (!selected(*transaction)) continue;
    ++sums.count;
    sums.units += transaction->Units();
    sums.value += transaction->Value();
    sums.fees += transaction->Fees();
  }
  return sums;
}

// The first of the selected transactions' files, in every asset, that would
// refuse its deletion, and why: asked before any goes.
template <class Selected>
std::string refusalAmong(const std::vector<TAsset*>& assets, Selected selected) {
  std::vector<std::string> files;
  for (const TAsset* asset : assets) {
    const TTransactionTable& table = asset->Transactions();
    for (int i = 0; i < table.count(); ++i)
      if (selected(*table.items(i))) files.push_back(table.items(i)->FileName());
  }
  return firstDeletionRefusal(files);
}

// The selected transactions still there after their deletion: their files
// stayed after all, taken by another program since they were asked. Empty
// when none; else which ("transaction 5 was not") and why the first stayed,
// and with leftOut that a merged transaction does not count them.
template <class Selected>
std::string stayedAmong(const TAsset& asset, Selected selected, const std::string& notDone, bool leftOut) {
  const TTransactionTable& table = asset.Transactions();
  std::string numbers;
  std::string file;
  int count = 0;
  for (int i = 0; i < table.count(); ++i) {
    const TTransaction* transaction = table.items(i);
    if (!selected(*transaction)) continue;
    numbers += (count++ == 0 ? "" : ", ") + std::to_string(transaction->Number());
    if (file.empty()) file = transaction->FileName();
  }
  if (count == 0) return {};
  std::string why = firstDeletionRefusal({file});
  if (why.empty()) why = file + " could not be deleted";
  const bool one = count == 1;
  return (one ? "transaction " + numbers + " was " : "transactions " + numbers + " were ") + notDone + ": " + why +
         (leftOut ? std::string(", and the merged transaction leaves ") + (one ? "it" : "them") + " out" : "");
}

std::string withMore(const std::string& told, const std::string& more) {
  return more.empty() ? told : told.empty() ? more : told + "; " + more;
}

// Replaces the asset's transactions of the window by their sum, as
// mergeTransactions does once every source was asked.
int mergeInto(TPortfolio& portfolio, TAsset& asset, const TMergeSums& sums, bool deleteSource, int& mergedCount,
              double destination, double from, double to, std::string& why) {
  std::string flag;
  bool found = false;
  asset.flagAt(flag, found, to);
  if (!found) return -7;
  const TLocaleSettings& locale = localeSettings();
  const std::string comment =
      formatDateTime(locale.shortDateFormat, from) + " ... " + formatDateTime(locale.shortDateFormat, to);
  const int32_t number = portfolio.nextTransactionNumber();
  if (asset.addTransaction(number, 0, destination, sums.units, sums.value, sums.fees, flag, comment, true) != 0) {
    why = "the merged transaction of " + shortLabel(objectLabel(asset.Name(), asset.Symbol())) +
          " could not be written: " + whyNoNewTransaction(portfolio, asset);
    return -4;
  }
  ++mergedCount;
  if (!deleteSource || asset.deleteTransactionsBetweenDates(number, false, from, to) == 0) return 0;
  // A source that stayed is counted by itself: the merged transaction takes
  // what went, and only that.
  const auto source = [&](const TTransaction& t) {
    return t.Number() != number && from <= t.DateTime() && t.DateTime() <= to;
  };
  const TMergeSums stayed = sumOf(asset.Transactions(), source);
  why = stayedAmong(asset, source, "not deleted", true);
  TTransaction* merged = asset.Transactions().findNumber(number);
  merged->setUnits(sums.units - stayed.units);
  merged->setValue(sums.value - stayed.value);
  merged->setFees(sums.fees - stayed.fees);
  merged->save("the asset " + asset.Name() + " of " + portfolio.Name());
  return -4;
}

}  // namespace

std::string whyNoNewTransaction(const TPortfolio& portfolio, const TAsset& asset) {
  std::string folder = asset.TransactionFolder();
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  if (!folderExists(folder)) return folder + " is missing";
  if (portfolio.nextTransactionNumber() < 0) return "the portfolio has given every transaction number";
  return folder + " took no new file: its disk may be full or write-protected";
}

int mergeTransactions(TPortfolio& portfolio, const std::vector<TAsset*>& assets, bool deleteSource, int& mergedCount,
                      double destination, double firstDay, double lastDay, std::string& why) {
  why.clear();
  double from = 0;
  double to = 0;
  mergeWindow(firstDay, lastDay, from, to);
  const auto inWindow = [&](const TTransaction& t) { return from <= t.DateTime() && t.DateTime() <= to; };
  // Every asset's sum and sources are asked before any is merged: the
  // merge is one deletion.
  std::vector<TMergeSums> sums;
  for (const TAsset* asset : assets) {
    sums.push_back(sumOf(asset->Transactions(), inWindow));
    const TMergeSums& sum = sums.back();
    if (sum.count == 0 || (transactionCanHoldAmount(sum.units) && transactionCanHoldAmount(sum.value) &&
                           transactionCanHoldAmount(sum.fees)))
      continue;
    why = "the sum of the transactions of " + shortLabel(objectLabel(asset->Name(), asset->Symbol())) +
          " is more than a transaction holds";
    return -4;
  }
  if (deleteSource) why = refusalAmong(assets, inWindow);
  if (!why.empty()) return -4;
  int result = 0;
  for (size_t i = 0; i < assets.size(); ++i) {
    if (sums[i].count == 0) continue;
    std::string told;
    const int before = mergedCount;
    const int merged =
        mergeInto(portfolio, *assets[i], sums[i], deleteSource, mergedCount, destination, from, to, told);
    why = withMore(why, told);
    if (result == 0) result = merged;
    // A merged transaction that could not be made stops the merge there.
    if (mergedCount == before) break;
  }
  const int rebuilt = portfolio.rebuildTransactionNumbers();
  return result != 0 ? result : rebuilt;
}

int deleteTransactionRange(TPortfolio& portfolio, const std::vector<TAsset*>& assets, int32_t lo, int32_t hi,
                           std::string& why) {
  const auto inRange = [&](const TTransaction& t) { return lo <= t.Number() && t.Number() <= hi; };
  why = refusalAmong(assets, inRange);
  if (!why.empty()) return -4;
  int result = 0;
  for (TAsset* asset : assets) {
    if (asset->Transactions().countBetweenNumbers(lo, hi) == 0) continue;
    if (asset->deleteTransactionsByNumber(lo, hi, -1, false) == 0) continue;
    why = withMore(why, stayedAmong(*asset, inRange, "not", false));
    result = -4;
  }
  const int rebuilt = portfolio.rebuildTransactionNumbers();
  return result != 0 ? result : rebuilt;
}
