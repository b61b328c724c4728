#include "windows/TransactionEditing.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <unordered_set>

#include "model/Prices.h"
#include "model/QuoteRecord.h"
#include "model/Transaction.h"

bool latestCloseAtOrBefore(TPrices& prices, double date, long double& close) {
  if (prices.isNull()) return false;
  prices.ensureSorted();
  // Binary search for the last record dated on or before the date.
  int low = 0;
  int high = prices.count();
  double recordDate = 0;
  TQuoteRecord quote;
  while (low < high) {
    const int middle = low + (high - low) / 2;
    prices.getRecordBySortedIndex(middle, recordDate, quote);
    if (recordDate <= date)
      low = middle + 1;
    else
      high = middle;
  }
  for (int i = low - 1; i >= 0; --i) {
    prices.getRecordBySortedIndex(i, recordDate, quote);
    if (quote.Error == 0 && (quote.Mask & quoteCloseBit)) {
      close = quote.Close;
      return true;
    }
  }
  return false;
}

bool autoCompleteAmounts(int fieldKind, long double price, TTradeAmounts& amounts) {
  if (!(price > 0) || !std::isfinite(price)) return false;
  switch (fieldKind) {
    case transactionDateKind:
    case transactionTimeKind:
    case transactionUnitsKind:
      amounts.value = amounts.units * price;
      return true;
    case transactionValueKind: {
      const long double amount = amounts.value;
      long double units = std::trunc(amount / price);
      if (!std::isfinite(units)) units = 0;
      amounts.units = units;
      amounts.value = units * price;
      amounts.fees = amount - amounts.value;
      return true;
    }
    default:
      return false;
  }
}

bool transactionCanHoldAmounts(const TTradeAmounts& amounts) {
  return transactionCanHoldAmount(amounts.units) && transactionCanHoldAmount(amounts.value) &&
         transactionCanHoldAmount(amounts.fees);
}

std::optional<std::vector<int32_t>> planRenumbering(const std::vector<int32_t>& lineNumbers,
                                                    const std::vector<int32_t>& portfolioNumbers) {
  const std::unordered_set<int32_t> renumbered(lineNumbers.begin(), lineNumbers.end());
  std::vector<int64_t> taken;
  for (const int32_t number : portfolioNumbers)
    if (number > 0 && !renumbered.count(number)) taken.push_back(number);
  std::sort(taken.begin(), taken.end());
  taken.erase(std::unique(taken.begin(), taken.end()), taken.end());
  std::vector<int32_t> plan;
  plan.reserve(lineNumbers.size());
  int64_t next = 1;
  auto nextTaken = taken.begin();
  for (size_t line = 0; line < lineNumbers.size(); ++line) {
    while (nextTaken != taken.end() && *nextTaken < next) ++nextTaken;
    while (nextTaken != taken.end() && *nextTaken == next) {
      ++next;
      ++nextTaken;
    }
    if (next > std::numeric_limits<int32_t>::max()) return std::nullopt;
    plan.push_back(static_cast<int32_t>(next));
    ++next;
  }
  return plan;
}

std::vector<int> orderByDisplayKeys(std::vector<int> keys, int largestKey) {
  for (int& key : keys)
    if (key < 0) key = ++largestKey;
  std::vector<int> order(keys.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return keys[a] < keys[b]; });
  return order;
}
