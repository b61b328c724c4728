#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string_view>

#include "platform/DateTime.h"
#include "platform/LocaleSettings.h"
#include "sheet/BoundCells.h"
#include "sheet/ColumnLetters.h"
#include "sheet/NumberText.h"
#include "sheet/Sheet.h"
#include "sheet/ValueCells.h"

namespace {

constexpr int lettersInAlphabet = 26;

enum class TRefParse { notReference, valid, beyondSheet };

struct TCellRefParts {
  int col = 0;
  int row = 0;
  bool absCol = false;
  bool absRow = false;
};

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// [$]letters[$]digits. Values are counted in 64 bits and stop growing once
// past the limits, so no text can overflow them.
TRefParse classifyCellRef(std::string_view text, int colLimit, int rowLimit, TCellRefParts& parts) {
  parts = TCellRefParts();
  if (text.size() < 2) return TRefParse::notReference;
  std::size_t i = 0;
  if (text[i] == '$') {
    parts.absCol = true;
    ++i;
  }
  std::int64_t col = 0;
  bool beyond = false;
  while (i < text.size() && isLetter(text[i])) {
    int letter = (text[i] & ~0x20) - 'A' + 1;
    if (!beyond) col = col * lettersInAlphabet + letter;
    if (col > colLimit) beyond = true;
    ++i;
  }
  if (col < 1 || i >= text.size()) return TRefParse::notReference;
  if (text[i] == '$') {
    parts.absRow = true;
    ++i;
  }
  if (i >= text.size()) return TRefParse::notReference;
  std::int64_t row = 0;
  for (; i < text.size(); ++i) {
    if (!isDigit(text[i])) return TRefParse::notReference;
    if (row <= rowLimit) row = row * 10 + (text[i] - '0');
  }
  if (row < 1) return TRefParse::notReference;
  if (beyond || row > rowLimit) return TRefParse::beyondSheet;
  parts.col = static_cast<int>(col);
  parts.row = static_cast<int>(row);
  return TRefParse::valid;
}

std::string_view trimmedView(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

struct TRangeParts {
  TCellRefParts first;
  TCellRefParts last;
};

TRefParse classifyRangeRef(std::string_view text, int colLimit, int rowLimit, TRangeParts& parts) {
  std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) return TRefParse::notReference;
  TRefParse first = classifyCellRef(trimmedView(text.substr(0, colon)), colLimit, rowLimit, parts.first);
  TRefParse last = classifyCellRef(trimmedView(text.substr(colon + 1)), colLimit, rowLimit, parts.last);
  if (first == TRefParse::notReference || last == TRefParse::notReference) return TRefParse::notReference;
  if (first == TRefParse::beyondSheet || last == TRefParse::beyondSheet) return TRefParse::beyondSheet;
  if (parts.first.row > parts.last.row) std::swap(parts.first.row, parts.last.row);
  if (parts.first.col > parts.last.col) std::swap(parts.first.col, parts.last.col);
  return TRefParse::valid;
}

// The names the sheet knows without a cell: case does not matter.
bool sameAsciiName(const std::string& text, std::string_view name) {
  if (text.size() != name.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if ((text[i] & ~0x20) != name[i]) return false;
  }
  return true;
}

bool resolveConstant(TValueRecord& value) {
  const std::string& name = value.string;
  if (name.size() > 5 || name.empty()) return false;
  if (sameAsciiName(name, "TRUE") || sameAsciiName(name, "FALSE")) {
    bool truth = (name[0] & ~0x20) == 'T';
    value.clear();
    value.kind = valueInteger;
    value.integer = truth ? 1 : 0;
    return true;
  }
  if (sameAsciiName(name, "PI") || sameAsciiName(name, "E")) {
    double number = name.size() == 2 ? std::numbers::pi : std::exp(1.0);
    value.clear();
    value.kind = valueNumber;
    value.number = number;
    return true;
  }
  return false;
}

// "*" any run of characters (also none), "?" any one character; both texts
// are already in upper case.
bool wildcardMatch(const std::string& text, const std::string& pattern) {
  std::size_t t = 0;
  std::size_t p = 0;
  std::size_t starPattern = std::string::npos;
  std::size_t starText = 0;
  while (t < text.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == text[t])) {
      ++t;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starPattern = p++;
      starText = t;
    } else if (starPattern != std::string::npos) {
      p = starPattern + 1;
      t = ++starText;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

int compareCodes(const std::string& a, const std::string& b) {
  std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    int difference = static_cast<unsigned char>(a[i]) - static_cast<unsigned char>(b[i]);
    if (difference != 0) return difference;
  }
  return static_cast<int>(a.size()) - static_cast<int>(b.size());
}

}  // namespace

bool TSheet::parseCellRef(const std::string& text, int& col, bool& absRow, bool& absCol, int& row) const {
  TCellRefParts parts;
  bool valid = classifyCellRef(text, std::max(colProps.count, readableCols), std::max(rowProps.count, readableRows), parts) == TRefParse::valid;
  if (!valid) parts = TCellRefParts();
  col = parts.col;
  row = parts.row;
  absCol = parts.absCol;
  absRow = parts.absRow;
  return valid;
}

bool TSheet::parseRangeRef(const std::string& text, int& firstCol, int& firstRow, int& lastCol, int& lastRow,
                           bool& firstAbsRow, bool& firstAbsCol, bool& lastAbsRow, bool& lastAbsCol) const {
  TRangeParts parts;
  bool valid = classifyRangeRef(text, std::max(colProps.count, readableCols), std::max(rowProps.count, readableRows), parts) == TRefParse::valid;
  if (!valid) parts = TRangeParts();
  firstCol = parts.first.col;
  firstRow = parts.first.row;
  lastCol = parts.last.col;
  lastRow = parts.last.row;
  firstAbsRow = parts.first.absRow;
  firstAbsCol = parts.first.absCol;
  lastAbsRow = parts.last.absRow;
  lastAbsCol = parts.last.absCol;
  return valid;
}

bool TSheet::parseRangeRef(const std::string& text, int& firstCol, int& firstRow, int& lastCol, int& lastRow) const {
  bool flags[4];
  return parseRangeRef(text, firstCol, firstRow, lastCol, lastRow, flags[0], flags[1], flags[2], flags[3]);
}

std::string TSheet::cellAddressText(int col, int row, bool absRow, bool absCol) const {
  if (col < 1 || row < 1) return cellStateText(errRef);
  std::string text;
  if (absCol) text += '$';
  text += columnLetters(col);
  if (absRow) text += '$';
  text += std::to_string(row);
  return text;
}

namespace {

// A text as a number: a number with the sheet's separators, else a date in
// the system's short form (its day number), else a time (its day fraction).
bool textAsNumber(const TSheet& sheet, const std::string& text, double& number) {
  return sheet.tryStrToFloat(text, number) || tryStrToDate(text, number) || tryStrToTime(text, number);
}

}  // namespace

bool TSheet::convertValue(TValueRecord& value, std::uint8_t target) const {
  double number = 0.0;
  switch (target) {
    case valueEmpty:
      return value.kind == valueEmpty;
    case valueInteger:
      if (value.kind == valueInteger) return true;
      if (value.kind == valueNumber) return truncateToInt32(value.number, value.integer);
      if (value.kind == valueString) return textAsNumber(*this, value.string, number) && truncateToInt32(number, value.integer);
      return false;
    case valueNumber:
      if (value.kind == valueInteger) {
        value.number = value.integer;
        return true;
      }
      if (value.kind == valueNumber) return true;
      if (value.kind == valueString && textAsNumber(*this, value.string, number)) {
        value.number = number;
        return true;
      }
      return false;
    case valueString:
      if (value.kind == valueInteger) {
        value.string = std::to_string(value.integer);
        return true;
      }
      if (value.kind == valueNumber) {
        value.string = floatToStr(value.number);
        return true;
      }
      return value.kind == valueString;
    default:
      return false;
  }
}

std::uint8_t TSheet::unifyValueKinds(TValueRecord& a, TValueRecord& b, int col, int row, bool record) {
  if (a.kind == valueIdentifier) resolveIdentifier(a, nullptr, record, false, true, col, row);
  if (b.kind == valueIdentifier) resolveIdentifier(b, nullptr, record, false, true, col, row);
  std::uint8_t kind = std::max(a.kind, b.kind);
  if (a.kind < valueInteger || b.kind < valueInteger || kind > valueString) return valueEmpty;
  if (!convertValue(a, kind) || !convertValue(b, kind)) return valueEmpty;
  return kind;
}

bool TSheet::compareValues(TValueRecord& a, TValueRecord& b, int& result, int col, int row, bool record,
                           bool wildcards) {
  switch (unifyValueKinds(a, b, col, row, record)) {
    case valueInteger:
      result = a.integer < b.integer ? -1 : (a.integer > b.integer ? 1 : 0);
      return true;
    case valueNumber:
      result = a.number < b.number ? -1 : (a.number > b.number ? 1 : 0);
      return true;
    case valueString: {
      std::string text = upperCase(a.string);
      std::string pattern = upperCase(b.string);
      result = compareCodes(text, pattern);
      if (wildcards && result != 0 && wildcardMatch(text, pattern)) result = 0;
      return true;
    }
    default:
      return false;
  }
}

void TSheet::cellToValue(const TCell* cell, bool busyAllowed, TValueRecord& value) const {
  value.clear();
  if (!cell) return;
  if (cell->state != stateValid && !(busyAllowed && cell->state == stateBusy)) return;
  if (!cell->readValue(value)) value.clear();
}

void TSheet::valueToCell(const TValueRecord& value, TCell* cell) {
  TValueRecord converted = value;
  if (auto* integerCell = dynamic_cast<TCellInteger*>(cell)) {
    integerCell->value = convertValue(converted, valueInteger) ? converted.integer : 0;
  } else if (auto* numberCell = dynamic_cast<TCellDouble*>(cell)) {
    numberCell->value = convertValue(converted, valueNumber) ? converted.number : 0.0;
  } else if (auto* stringCell = dynamic_cast<TCellString*>(cell)) {
    stringCell->value = convertValue(converted, valueString) ? converted.string : std::string();
  } else if (auto* objectCell = dynamic_cast<TCellObject*>(cell)) {
    objectCell->id = convertValue(converted, valueInteger) ? converted.integer : -1;
  }
}

bool TSheet::setCellValue(const TValueRecord& value, TCell* cell) {
  TValueRecord converted = value;
  if (auto* integerCell = dynamic_cast<TCellInteger*>(cell)) {
    return integerCell->setValue(convertValue(converted, valueInteger) ? converted.integer : 0);
  }
  if (auto* numberCell = dynamic_cast<TCellDouble*>(cell)) {
    return numberCell->setValue(convertValue(converted, valueNumber) ? converted.number : 0.0);
  }
  if (auto* stringCell = dynamic_cast<TCellString*>(cell)) {
    return stringCell->setValue(convertValue(converted, valueString) ? converted.string : std::string());
  }
  if (auto* objectCell = dynamic_cast<TCellObject*>(cell)) {
    return objectCell->setValue(convertValue(converted, valueInteger) ? converted.integer : -1);
  }
  return false;
}

bool TSheet::findCustomId(const std::string& name, const TValueRecord*& value) const {
  for (const TCustomIdObject& id : customIds) {
    if (sameText(id.name, name)) {
      value = &id.value;
      return true;
    }
  }
  return false;
}

void TSheet::setCustomId(const std::string& name, const TValueRecord& value) {
  std::string trimmed = trimmedText(name);
  for (TCustomIdObject& id : customIds) {
    if (sameText(id.name, trimmed)) {
      id.value = value;
      return;
    }
  }
  customIds.push_back(TCustomIdObject{trimmed, value});
}

bool TSheet::getCustomId(const std::string& name, TValueRecord& value) const {
  const TValueRecord* found = nullptr;
  if (!findCustomId(trimmedText(name), found)) return false;
  value = *found;
  return true;
}

void TSheet::rangeToArray(int firstCol, int firstRow, int lastCol, int lastRow, TArray& array) const {
  std::int64_t rows = static_cast<std::int64_t>(lastRow) - firstRow + 1;
  std::int64_t cols = static_cast<std::int64_t>(lastCol) - firstCol + 1;
  if (rows < 1 || cols < 1 || rows * cols > maxArrayElements) throw std::length_error("range too large");
  array.setSize2D(static_cast<std::int32_t>(rows), static_cast<std::int32_t>(cols));
  int lastAllocatedCol = std::min(lastCol, static_cast<int>(cells.size()));
  for (int col = firstCol; col <= lastAllocatedCol; ++col) {
    const auto& column = cells[static_cast<std::size_t>(col) - 1];
    int lastAllocatedRow = std::min(lastRow, static_cast<int>(column.size()));
    for (int row = firstRow; row <= lastAllocatedRow; ++row) {
      const TCell* cell = column[static_cast<std::size_t>(row) - 1].get();
      if (cell) cellToValue(cell, false, array.at(row - firstRow, col - firstCol));
    }
  }
}

bool TSheet::spillArray(const TArray& array, int col, int row, bool clearEmpty, int maxRows, int maxCols,
                        bool skipOrigin) {
  if (array.dimensionCount() != 2) return false;
  int rows = array.dimensions()[0];
  int cols = array.dimensions()[1];
  if (maxRows > 0) rows = std::min(rows, maxRows);
  if (maxCols > 0) cols = std::min(cols, maxCols);
  for (int i = 0; i < rows; ++i) {
    for (int j = 0; j < cols; ++j) {
      if (skipOrigin && i == 0 && j == 0) continue;
      const TValueRecord& element = array.at(i, j);
      if (element.kind >= valueInteger && element.kind <= valueIdentifier) {
        if (TCell* existing = getCell(col + j, row + i)) {
          valueToCell(element, existing);
          // A formula written over must be computed again by a full pass.
          existing->passMark = 0;
          continue;
        }
        TCellPtr cell = cellFactory.newCell(element.kind <= valueNumber ? 1 : 2, this);
        valueToCell(element, cell.get());
        putCell(col + j, row + i, std::move(cell));
      } else if (clearEmpty) {
        putCell(col + j, row + i, nullptr);
      }
    }
  }
  return true;
}

void TSheet::resolveIdentifier(TValueRecord& value, std::unique_ptr<TArray>* array, bool record, bool allowRange,
                               bool allowCellRef, int col, int row) {
  if (value.kind != valueIdentifier) return;
  if (resolveConstant(value)) return;
  // The name decides what is read; a named value found first is replaced
  // by a cell of the same name.
  const std::string name = value.string;
  if (!customIds.empty()) {
    const TValueRecord* found = nullptr;
    if (findCustomId(name, found)) value = *found;
  }
  if (!allowCellRef) return;
  bool recording = record && col >= 1 && row >= 1;
  TCellCoord dependent{col - 1, row - 1};
  TRangeParts range;
  TRefParse rangeParse = classifyRangeRef(name, std::max(colProps.count, readableCols), std::max(rowProps.count, readableRows), range);
  if (rangeParse == TRefParse::beyondSheet) throw EInvalidReference();
  if (rangeParse == TRefParse::valid) {
    if (range.first.col == range.last.col && range.first.row == range.last.row) {
      cellToValue(getCell(range.first.col, range.first.row), false, value);
      if (recording) dependents.addDependent(dependent, {range.first.col - 1, range.first.row - 1});
      return;
    }
    if (!allowRange || !array) return;
    auto values = std::make_unique<TArray>();
    rangeToArray(range.first.col, range.first.row, range.last.col, range.last.row, *values);
    *array = std::move(values);
    value.clear();
    value.kind = valueOwnedArray;
    if (recording) {
      dependents.addDependentRange(dependent, {range.first.col - 1, range.first.row - 1},
                                   {range.last.col - 1, range.last.row - 1});
    }
    return;
  }
  TCellRefParts place;
  TRefParse placeParse = classifyCellRef(name, std::max(colProps.count, readableCols), std::max(rowProps.count, readableRows), place);
  if (placeParse == TRefParse::beyondSheet) throw EInvalidReference();
  if (placeParse != TRefParse::valid) return;
  cellToValue(getCell(place.col, place.row), false, value);
  if (recording) dependents.addDependent(dependent, {place.col - 1, place.row - 1});
}

void TSheet::resolveToken(TTokenObject& token, bool record, bool allowRange, bool allowCellRef, int col, int row) {
  if (token.value.kind != valueIdentifier) return;
  std::unique_ptr<TArray> array;
  resolveIdentifier(token.value, allowRange ? &array : nullptr, record, allowRange, allowCellRef, col, row);
  if (array) token.setOwnedArray(std::move(array));
}
