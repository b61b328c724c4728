#include "windows/TransactionDisplayOrder.h"

#include <algorithm>
#include <string>
#include <unordered_map>

#include "model/Asset.h"
#include "model/Portfolio.h"
#include "model/Transaction.h"
#include "sheet/NumberText.h"
#include "windows/TransactionEditing.h"

namespace {

constexpr const char* displayOrderKey = "DisplayOrder";
constexpr int firstLine = 2;

// Positions by number: the views look numbers up for every line.
std::unordered_map<int32_t, int> positionsOf(const std::vector<int32_t>& numbers) {
  std::unordered_map<int32_t, int> positions;
  positions.reserve(numbers.size());
  for (size_t i = 0; i < numbers.size(); ++i) positions.emplace(numbers[i], static_cast<int>(i));
  return positions;
}

// The order a transaction takes without a stored one: after the lines
// of the orders stored, in number order.
int unstoredOrder(const TTransaction& transaction) {
  const int order = transaction.Number() < INT32_MAX ? transaction.Number() + 1 : INT32_MAX;
  return std::max(order, firstLine);
}

}  // namespace

std::vector<TTransactionDisplayOrder::TOrderPair> TTransactionDisplayOrder::pairsFor(
    const std::vector<int32_t>& numbers) const {
  if (numbers == numbers_) return pairs_;
  const auto places = positionsOf(numbers_);
  std::vector<TOrderPair> moved(numbers.size());
  for (size_t i = 0; i < numbers.size(); ++i) {
    const auto found = places.find(numbers[i]);
    if (found != places.end()) moved[i] = pairs_[static_cast<size_t>(found->second)];
  }
  return moved;
}

void TTransactionDisplayOrder::follow(const std::vector<int32_t>& numbers) {
  if (numbers == numbers_) return;
  pairs_ = pairsFor(numbers);
  numbers_ = numbers;
}

void TTransactionDisplayOrder::loadFromTransactions(const TPortfolio& portfolio) {
  const std::vector<int32_t>& numbers = portfolio.TransactionNumbers();
  numbers_ = numbers;
  pairs_.assign(numbers.size(), TOrderPair{});
  for (size_t i = 0; i < numbers.size(); ++i) {
    const TTransaction* transaction = portfolio.findTransaction(numbers[i]);
    if (!transaction) continue;
    int32_t order = 0;
    if (textToIntStrict(transaction->getExternalProperty(displayOrderKey), order))
      order = std::max(order, firstLine);
    else
      order = unstoredOrder(*transaction);
    pairs_[i] = TOrderPair{order, order};
  }
}

void TTransactionDisplayOrder::storeInTransactions(const TPortfolio& portfolio) const {
  const std::vector<int32_t>& numbers = portfolio.TransactionNumbers();
  const std::vector<TOrderPair> pairs = pairsFor(numbers);
  for (size_t i = 0; i < numbers.size(); ++i) {
    TTransaction* transaction = portfolio.findTransaction(numbers[i]);
    if (!transaction || pairs[i].portfolioOrder < 0) continue;
    // The order it is read at without one is not stored: a look at the
    // window alone wrote every transaction file of the portfolio.
    int32_t stored = 0;
    if (!textToIntStrict(transaction->getExternalProperty(displayOrderKey), stored) &&
        pairs[i].portfolioOrder == unstoredOrder(*transaction))
      continue;
    transaction->setViewProperty(displayOrderKey, std::to_string(pairs[i].portfolioOrder));
  }
}

int TTransactionDisplayOrder::largestPortfolioOrder() const {
  int largest = 0;
  for (const TOrderPair& pair : pairs_) largest = std::max(largest, pair.portfolioOrder);
  return largest;
}

int TTransactionDisplayOrder::countBefore(int anchor, const std::vector<bool>& inView) const {
  int count = 0;
  for (size_t i = 0; i < pairs_.size() && i < inView.size(); ++i)
    if (inView[i] && pairs_[i].portfolioOrder < anchor) ++count;
  return count;
}

std::vector<int> TTransactionDisplayOrder::linePositions(const TPortfolio& portfolio, bool wholePortfolio,
                                                         const TAsset* asset) const {
  const std::vector<int32_t>& numbers = portfolio.TransactionNumbers();
  const std::vector<TOrderPair> pairs = pairsFor(numbers);
  std::vector<int> entries;
  std::vector<int> keys;
  auto keyAt = [&](int position, bool portfolioOrder) {
    return portfolioOrder ? pairs[position].portfolioOrder : pairs[position].assetOrder;
  };
  if (wholePortfolio) {
    for (int i = 0; i < static_cast<int>(numbers.size()); ++i) {
      entries.push_back(i);
      keys.push_back(keyAt(i, true));
    }
  } else if (asset) {
    const auto positions = positionsOf(numbers);
    const TTransactionTable& table = asset->Transactions();
    for (int i = 0; i < table.count(); ++i) {
      const auto found = positions.find(table.items(i)->Number());
      if (found == positions.end()) continue;
      entries.push_back(found->second);
      keys.push_back(keyAt(found->second, false));
    }
  }
  std::vector<int> ordered;
  ordered.reserve(entries.size());
  for (const int entry : orderByDisplayKeys(keys, largestPortfolioOrder())) ordered.push_back(entries[entry]);
  return ordered;
}

void TTransactionDisplayOrder::capture(const std::vector<int>& shownPositions, bool wholePortfolio,
                                       const std::vector<int32_t>& numbers) {
  follow(numbers);
  int line = firstLine;
  if (wholePortfolio) {
    for (const int position : shownPositions) pairs_[position] = TOrderPair{line, line}, ++line;
    return;
  }
  std::vector<int> held;
  for (const int position : shownPositions) {
    pairs_[position].assetOrder = line++;
    held.push_back(pairs_[position].portfolioOrder);
  }
  std::sort(held.begin(), held.end());
  // Shown positions are already in ascending asset order.
  for (size_t i = 0; i < shownPositions.size(); ++i) pairs_[shownPositions[i]].portfolioOrder = held[i];
}

void TTransactionDisplayOrder::placeAdded(int newPosition, int anchorPosition, int insertionLine,
                                          bool wholePortfolio, const std::vector<int32_t>& numbers) {
  follow(numbers);
  const int anchorOrder = anchorPosition >= 0 && anchorPosition < static_cast<int>(pairs_.size())
                              ? pairs_[anchorPosition].portfolioOrder
                              : -1;
  const int portfolioLine = wholePortfolio ? insertionLine + 1
                            : anchorOrder >= 0 ? anchorOrder + 1
                                               : largestPortfolioOrder() + 1;
  const int assetLine = insertionLine + 1;
  for (TOrderPair& pair : pairs_) {
    if (pair.portfolioOrder >= portfolioLine) ++pair.portfolioOrder;
    if (pair.assetOrder >= assetLine) ++pair.assetOrder;
  }
  pairs_[newPosition] = wholePortfolio ? TOrderPair{portfolioLine, portfolioLine} : TOrderPair{assetLine, portfolioLine};
}

void TTransactionDisplayOrder::keepAfterDeletion(const std::vector<int32_t>& oldNumbers,
                                                 const std::vector<int32_t>& newNumbers) {
  follow(oldNumbers);
  const auto oldPositions = positionsOf(oldNumbers);
  std::vector<TOrderPair> kept(newNumbers.size());
  for (size_t i = 0; i < newNumbers.size(); ++i) {
    const auto found = oldPositions.find(newNumbers[i]);
    if (found == oldPositions.end()) continue;
    const int order = pairs_[found->second].portfolioOrder;
    kept[i] = TOrderPair{order, order};
  }
  pairs_ = std::move(kept);
  numbers_ = newNumbers;
}

int TTransactionDisplayOrder::placeMerged(int anchor, int mergedCount, const std::vector<int32_t>& oldNumbers,
                                          const std::vector<int32_t>& newNumbers, const std::vector<bool>& inView) {
  follow(oldNumbers);
  const auto oldPositions = positionsOf(oldNumbers);
  std::vector<TOrderPair> placed(newNumbers.size());
  int nextMerged = anchor;
  int keptInView = 0;
  for (size_t i = 0; i < newNumbers.size(); ++i) {
    const auto found = oldPositions.find(newNumbers[i]);
    int order = 0;
    if (found == oldPositions.end()) {
      order = ++nextMerged;
    } else {
      const int old = pairs_[static_cast<size_t>(found->second)].portfolioOrder;
      order = old <= anchor ? old : old + mergedCount;
      if (old <= anchor && i < inView.size() && inView[i]) ++keptInView;
    }
    placed[i] = TOrderPair{order, order};
  }
  pairs_ = std::move(placed);
  numbers_ = newNumbers;
  return keptInView;
}

void TTransactionDisplayOrder::movePositions(const std::vector<int>& newPositions,
                                             const std::vector<int32_t>& numbers) {
  const int listLength = static_cast<int>(numbers.size());
  std::vector<TOrderPair> moved(numbers.size());
  for (size_t i = 0; i < newPositions.size() && i < pairs_.size(); ++i)
    if (newPositions[i] >= 0 && newPositions[i] < listLength) moved[newPositions[i]] = pairs_[i];
  pairs_ = std::move(moved);
  numbers_ = numbers;
}
