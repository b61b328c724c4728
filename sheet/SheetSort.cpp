// Sorting rows or columns of the sheet (and of arrays, for MSORT), and
// exchanging two rows or columns. Every sort orders numbers first, then
// texts by their character codes, then everything else in the order it had.
#include <algorithm>
#include <string>
#include <vector>

#include "model/QuickSort.h"
#include "sheet/BoundCells.h"
#include "sheet/Sheet.h"
#include "sheet/ValueCells.h"

namespace {

enum class TSortSegment { number, text, other };

struct TSortKey {
  TSortSegment segment = TSortSegment::other;
  double number = 0.0;
  std::string text;
};

struct TSortEntry {
  int source;  // the row or column the entry came from
  double number;
  std::string text;
};

// Texts compare by their unsigned character codes: every capital letter
// before every small one.
bool textBefore(const TSortEntry& a, const TSortEntry& b) {
  return std::lexicographical_compare(a.text.begin(), a.text.end(), b.text.begin(), b.text.end(),
                                      [](char x, char y) {
                                        return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
                                      });
}

// The sources of first..last in their sorted order.
template <class KeyOf>
std::vector<int> sortedOrder(int first, int last, bool ascending, KeyOf keyOf) {
  std::vector<TSortEntry> numbers;
  std::vector<TSortEntry> texts;
  std::vector<int> others;
  for (int line = first; line <= last; ++line) {
    TSortKey key = keyOf(line);
    switch (key.segment) {
      case TSortSegment::number: numbers.push_back({line, key.number, {}}); break;
      case TSortSegment::text: texts.push_back({line, 0.0, std::move(key.text)}); break;
      case TSortSegment::other: others.push_back(line); break;
    }
  }
  quickSortBy(numbers.data(), numbers.size(), [](const TSortEntry& entry) { return entry.number; });
  // Stable, so equal texts keep the order they came in.
  std::stable_sort(texts.begin(), texts.end(), textBefore);
  std::vector<int> order;
  order.reserve(static_cast<std::size_t>(last - first + 1));
  for (const TSortEntry& entry : numbers) order.push_back(entry.source);
  for (const TSortEntry& entry : texts) order.push_back(entry.source);
  // Descending turns numbers and texts round; the others stay last.
  if (!ascending) std::reverse(order.begin(), order.end());
  order.insert(order.end(), others.begin(), others.end());
  return order;
}

// Puts every line in its place with one exchange per misplaced position.
template <class Exchange>
void applyOrder(std::vector<int>& order, int first, Exchange exchange) {
  std::vector<std::size_t> positionOf(order.size());
  for (std::size_t i = 0; i < order.size(); ++i) positionOf[static_cast<std::size_t>(order[i] - first)] = i;
  for (std::size_t i = 0; i < order.size(); ++i) {
    int source = order[i];
    int wanted = first + static_cast<int>(i);
    if (source == wanted) continue;
    // The line now at wanted goes to source: whoever waits for it finds it there.
    std::size_t waiting = positionOf[static_cast<std::size_t>(wanted - first)];
    order[waiting] = source;
    positionOf[static_cast<std::size_t>(source - first)] = waiting;
    exchange(wanted, source);
  }
}

bool isNumberFamily(const TCell* cell) {
  return dynamic_cast<const TCellNumber*>(cell) || dynamic_cast<const TCellObject_numberProperty*>(cell);
}

TSortKey cellKey(const TSheet& sheet, const TCell* cell) {
  TSortKey key;
  if (!cell) return key;
  bool valid = cell->state == stateValid;
  if (isNumberFamily(cell)) {
    key.segment = TSortSegment::number;
    if (!valid) return key;
    if (const auto* number = dynamic_cast<const TCellNumber*>(cell)) {
      key.number = number->numericValue();
    } else {
      TValueRecord value;
      if (static_cast<const TCellObject*>(cell)->getPropertyValue(value) && sheet.convertValue(value, valueNumber)) {
        key.number = value.number;
      }
    }
    return key;
  }
  key.segment = TSortSegment::text;
  if (!valid) return key;
  if (const auto* text = dynamic_cast<const TCellString*>(cell)) {
    key.text = text->value;
  } else {
    key.text = cell->getText(true);
  }
  return key;
}

TSortKey elementKey(const TValueRecord& element) {
  TSortKey key;
  if (element.kind == valueInteger) {
    key.segment = TSortSegment::number;
    key.number = element.integer;
  } else if (element.kind == valueNumber) {
    key.segment = TSortSegment::number;
    key.number = element.number;
  } else if (element.kind == valueString) {
    key.segment = TSortSegment::text;
    key.text = element.string;
  }
  return key;
}

}  // namespace

void TSheet::exchangePlaces(int col1, int row1, int col2, int row2) {
  if (!getCell(col1, row1) && !getCell(col2, row2)) return;
  for (auto [col, row] : {std::pair{col1, row1}, std::pair{col2, row2}}) {
    if (static_cast<std::size_t>(col) > cells.size()) cells.resize(static_cast<std::size_t>(col));
    auto& column = cells[static_cast<std::size_t>(col) - 1];
    if (static_cast<std::size_t>(row) > column.size()) column.resize(static_cast<std::size_t>(row));
  }
  auto& first = cells[static_cast<std::size_t>(col1) - 1][static_cast<std::size_t>(row1) - 1];
  auto& second = cells[static_cast<std::size_t>(col2) - 1][static_cast<std::size_t>(row2) - 1];
  std::swap(first, second);
  shiftFormulaReferences(col1 - col2, row1 - row2, first.get());
  shiftFormulaReferences(col2 - col1, row2 - row1, second.get());
}

bool TSheet::sortRange(bool ascending, bool byRows, int first, int last, int key, int firstOther, int lastOther) {
  POINT used = getUsedExtent();
  last = std::min<int>(last, byRows ? used.y : used.x);
  lastOther = std::min<int>(lastOther, byRows ? used.x : used.y);
  if (first < 1 || last <= first) return false;
  std::vector<int> order = sortedOrder(first, last, ascending, [&](int line) {
    return cellKey(*this, byRows ? getCell(key, line) : getCell(line, key));
  });
  firstOther = std::max(1, firstOther);
  applyOrder(order, first, [&](int a, int b) {
    for (int other = firstOther; other <= lastOther; ++other) {
      if (byRows) {
        exchangePlaces(other, a, other, b);
      } else {
        exchangePlaces(a, other, b, other);
      }
    }
  });
  restoreConsistency();
  return true;
}

bool TSheet::msortArray(bool ascending, bool byRows, int first, int last, int key, int firstOther, int lastOther,
                        TArray& array) const {
  if (array.dimensionCount() != 2 || first < 1 || last <= first) return false;
  int rows = array.dimensions()[0];
  int columns = array.dimensions()[1];
  int lines = byRows ? rows : columns;
  int others = byRows ? columns : rows;
  // The key and the moving part must lie inside the array too.
  if (last > lines || lastOther > others || key < 1 || key > others || firstOther < 1) return false;
  std::vector<int> order = sortedOrder(first, last, ascending, [&](int line) {
    return elementKey(byRows ? array.at(line - 1, key - 1) : array.at(key - 1, line - 1));
  });
  applyOrder(order, first, [&](int a, int b) {
    for (int other = firstOther; other <= lastOther; ++other) {
      if (byRows) {
        std::swap(array.at(a - 1, other - 1), array.at(b - 1, other - 1));
      } else {
        std::swap(array.at(other - 1, a - 1), array.at(other - 1, b - 1));
      }
    }
  });
  return true;
}

bool TSheet::exchangeColumns(int c1, int c2) {
  POINT used = getUsedExtent();
  if (c1 == c2 || c1 < 1 || c2 < 1 || c1 > used.x || c2 > used.x) return false;
  colProps.swapSizes(c1, c2);
  std::size_t larger = static_cast<std::size_t>(std::max(c1, c2));
  if (larger > cells.size()) cells.resize(larger);
  auto& first = cells[static_cast<std::size_t>(c1) - 1];
  auto& second = cells[static_cast<std::size_t>(c2) - 1];
  first.swap(second);
  for (auto& cell : first) shiftFormulaReferences(c1 - c2, 0, cell.get());
  for (auto& cell : second) shiftFormulaReferences(c2 - c1, 0, cell.get());
  restoreConsistency();
  return true;
}

bool TSheet::exchangeRows(int r1, int r2) {
  POINT used = getUsedExtent();
  if (r1 == r2 || r1 < 1 || r2 < 1 || r1 > used.y || r2 > used.y) return false;
  rowProps.swapSizes(r1, r2);
  for (int col = 1; col <= static_cast<int>(cells.size()); ++col) exchangePlaces(col, r1, col, r2);
  restoreConsistency();
  return true;
}
