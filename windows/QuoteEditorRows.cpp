#include "windows/QuoteEditorRows.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "model/Asset.h"
#include "model/PriceCache.h"
#include "model/Prices.h"
#include "model/QuoteRecord.h"

namespace {

// Records whose dates lie closer than this are one date to the series.
constexpr double sameDateTolerance = 0.5;

}  // namespace

void TQuoteEditorRows::clear() {
  fields_.clear();
  cells_.clear();
  modified_ = false;
  sortColumn_ = -1;
  sortAscending_ = true;
}

void TQuoteEditorRows::loadKeepingSort(TPrices& prices, uint16_t fieldMask) {
  const int column = sortColumn_;
  const bool ascending = sortAscending_;
  load(prices, fieldMask);
  if (column >= 0) sortRows(0, rowCount() - 1, column, ascending);
}

int TQuoteEditorRows::rowOfDate(long double date) const {
  for (int row = 0; row < rowCount(); ++row) {
    const TCell& dateCell = cell(0, row);
    if (dateCell.state == cellValid && std::fabs(static_cast<double>(dateCell.value - date)) < sameDateTolerance)
      return row;
  }
  return -1;
}

void TQuoteEditorRows::load(TPrices& prices, uint16_t fieldMask) {
  clear();
  for (int field = 0; field < quoteValueCount; ++field)
    if (fieldMask & quoteValueBit(field)) fields_.push_back(field);
  const int records = prices.isNull() ? 0 : prices.count();
  const int columns = columnCount();
  cells_.resize(static_cast<size_t>(records) * static_cast<size_t>(columns));
  for (int row = 0; row < records; ++row) {
    double date = 0;
    TQuoteRecord quote;
    prices.getRecordBySortedIndex(row, date, quote);
    TCell* line = &cells_[index(0, row)];
    line[0] = TCell{date, cellValid, false};
    for (int column = 1; column < columns; ++column) {
      const int field = fields_[column - 1];
      if (quote.Mask & quoteValueBit(field))
        line[column] = TCell{quote.*quoteValueFields[field], cellValid, false};
      else
        line[column] = TCell{0, cellUnavailable, false};
    }
  }
}

void TQuoteEditorRows::setValue(int column, int row, long double value) {
  cells_[index(column, row)] = TCell{value, cellValid, true};
  modified_ = true;
}

bool TQuoteEditorRows::emptyCells(int left, int top, int right, int bottom) {
  if (!validRange(left, top, right, bottom)) return false;
  bool changed = false;
  for (int row = top; row <= bottom; ++row)
    for (int column = left; column <= right; ++column) {
      TCell& cell = cells_[index(column, row)];
      if (cell.state == cellEmpty) continue;
      cell = TCell{0, cellEmpty, true};
      changed = true;
    }
  if (changed) modified_ = true;
  return changed;
}

void TQuoteEditorRows::setInvalid(int column, int row) {
  cells_[index(column, row)] = TCell{0, cellInvalid, true};
  modified_ = true;
}

bool TQuoteEditorRows::blocksCommit(int column, int row) const {
  const TCellState state = cell(column, row).state;
  if (state == cellEmpty || state == cellInvalid) return true;
  if (column != 0 || state != cellUnavailable) return false;
  // A row whose date was put away on purpose drops with the values it came
  // with; a value given since then would be lost without a word.
  for (int valueColumn = 1; valueColumn < columnCount(); ++valueColumn) {
    const TCell& valueCell = cell(valueColumn, row);
    if (valueCell.state == cellValid && valueCell.changed) return true;
  }
  return false;
}

std::vector<TQuoteEditorRows::TCellPlace> TQuoteEditorRows::blockingCells() const {
  std::vector<TCellPlace> blocking;
  for (int row = 0; row < rowCount(); ++row)
    for (int column = 0; column < columnCount(); ++column)
      if (blocksCommit(column, row)) blocking.push_back({column, row});
  return blocking;
}

void TQuoteEditorRows::insertUnavailableRow(int row) {
  row = std::clamp(row, 0, rowCount());
  cells_.insert(cells_.begin() + static_cast<std::ptrdiff_t>(index(0, row)), static_cast<size_t>(columnCount()),
                TCell{0, cellUnavailable, true});
  modified_ = true;
}

bool TQuoteEditorRows::deleteRows(int first, int last) {
  first = std::max(first, 0);
  last = std::min(last, rowCount() - 1);
  if (first > last) return false;
  cells_.erase(cells_.begin() + static_cast<std::ptrdiff_t>(index(0, first)),
               cells_.begin() + static_cast<std::ptrdiff_t>(index(0, last + 1)));
  modified_ = true;
  return true;
}

bool TQuoteEditorRows::validRange(int& left, int& top, int& right, int& bottom) const {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, columnCount() - 1);
  bottom = std::min(bottom, rowCount() - 1);
  return left <= right && top <= bottom;
}

bool TQuoteEditorRows::markUnavailable(int left, int top, int right, int bottom) {
  if (!validRange(left, top, right, bottom)) return false;
  bool changed = false;
  for (int row = top; row <= bottom; ++row)
    for (int column = left; column <= right; ++column) {
      TCell& cell = cells_[index(column, row)];
      if (cell.state == cellUnavailable) continue;
      cell.state = cellUnavailable;
      changed = true;
    }
  if (!changed) return false;
  for (int row = top; row <= bottom; ++row)
    for (int column = left; column <= right; ++column) cells_[index(column, row)].changed = true;
  modified_ = true;
  return true;
}

bool TQuoteEditorRows::sortRows(int first, int last, int keyColumn, bool ascending) {
  if (keyColumn < 0 || keyColumn >= columnCount()) return false;
  first = std::max(first, 0);
  last = std::min(last, rowCount() - 1);
  if (first == 0 && last == rowCount() - 1) {
    sortColumn_ = keyColumn;
    sortAscending_ = ascending;
  }
  if (first >= last) return false;
  std::vector<int> order(static_cast<size_t>(last - first + 1));
  std::iota(order.begin(), order.end(), first);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    const TCell& x = cell(keyColumn, a);
    const TCell& y = cell(keyColumn, b);
    const bool xValid = x.state == cellValid;
    const bool yValid = y.state == cellValid;
    if (xValid != yValid) return xValid;
    if (!xValid) return false;
    return ascending ? x.value < y.value : y.value < x.value;
  });
  if (std::is_sorted(order.begin(), order.end())) return false;
  const int columns = columnCount();
  std::vector<TCell> sorted;
  sorted.reserve(order.size() * static_cast<size_t>(columns));
  for (const int row : order)
    sorted.insert(sorted.end(), cells_.begin() + static_cast<std::ptrdiff_t>(index(0, row)),
                  cells_.begin() + static_cast<std::ptrdiff_t>(index(0, row + 1)));
  std::copy(sorted.begin(), sorted.end(), cells_.begin() + static_cast<std::ptrdiff_t>(index(0, first)));
  return true;
}

bool TQuoteEditorRows::applyArithmetic(TOperation operation, long double a, int left, int top, int right,
                                       int bottom) {
  switch (operation) {
    case addOperation:
    case subtractOperation:
      if (a == 0) return false;
      break;
    case multiplyOperation:
      if (a == 1) return false;
      break;
    case divideOperation:
      if (a == 1 || a == 0) return false;
      break;
  }
  if (!std::isfinite(a) || !validRange(left, top, right, bottom)) return false;
  bool changed = false;
  for (int column = left; column <= right; ++column)
    for (int row = top; row <= bottom; ++row) {
      TCell& cell = cells_[index(column, row)];
      // An unavailable or empty cell holds no number: computing with it would
      // turn a "New" row into a valid record dated 30 Dec 1899.
      if (cell.state != cellValid) continue;
      const long double x = cell.value;
      long double result = x;
      switch (operation) {
        case addOperation: result = x + a; break;
        case subtractOperation: result = x - a; break;
        case multiplyOperation: result = x * a; break;
        case divideOperation: result = x / a; break;
      }
      if (!std::isfinite(result) || result == x) continue;
      cell.value = result;
      cell.changed = true;
      changed = true;
    }
  if (changed) modified_ = true;
  return changed;
}

int TQuoteEditorRows::commitCheck() const {
  if (!blockingCells().empty()) return commitBlocked;
  for (int row = 0; row < rowCount(); ++row)
    if (cell(0, row).state == cellValid) return commitDone;
  return commitNoValidRow;
}

int TQuoteEditorRows::commitTo(TPrices& prices) const {
  const int check = commitCheck();
  if (check != commitDone) return check;
  if (prices.isNull()) return commitNoValidRow;
  const int rows = rowCount();
  prices.clear(true);
  for (int row = 0; row < rows; ++row) {
    const TCell& dateCell = cell(0, row);
    if (dateCell.state != cellValid) continue;
    TQuoteRecord quote;
    for (int column = 1; column < columnCount(); ++column) {
      const TCell& valueCell = cell(column, row);
      if (valueCell.state != cellValid) continue;
      const int field = fields_[column - 1];
      quote.*quoteValueFields[field] = valueCell.value;
      quote.Mask = static_cast<uint16_t>(quote.Mask | quoteValueBit(field));
    }
    prices.addRecord(quote, true, sameDateTolerance, static_cast<double>(dateCell.value));
  }
  return commitDone;
}

int TQuoteEditorRows::commitAndSave(TAsset& asset) const {
  TPrices& prices = asset.Prices();
  const int result = commitTo(prices);
  if (result != commitDone) return result;
  const int saved = pricesTable().save(&prices);
  if (saved != 0) {
    // Left changed, the series would be written by whatever saves the
    // asset next, while the user is told the edit was not committed.
    prices.discardChanges();
    return saved;
  }
  pricesTable().reload(&prices);
  return commitDone;
}
