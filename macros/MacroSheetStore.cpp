#include "macros/MacroSheetStore.h"

#include <algorithm>
#include <string>
#include <vector>

#include "model/PortableIniFile.h"
#include "sheet/BoundCells.h"
#include "sheet/Cell.h"
#include "sheet/CellFactory.h"
#include "sheet/Props.h"
#include "sheet/Sheet.h"
#include "sheet/StoredFormula.h"
#include "sheet/ValueCells.h"

namespace {

const char* const colsSection = "MacroSheetCols";
const char* const rowsSection = "MacroSheetRows";
const char* const cellsSection = "MacroSheetCells";
constexpr int highestTypeCode = 27;

char separator(const std::string& text, char fallback) { return text.empty() ? fallback : text[0]; }

// A text cell's value is the user's own text, which no separator changes.
bool holdsText(const TCell* cell) {
  return dynamic_cast<const TCellString*>(cell) != nullptr ||
         dynamic_cast<const TCellObject_stringProperty*>(cell) != nullptr;
}

bool readNumber(const std::string& text, int& number) {
  if (text.empty() || text.size() > 9) return false;
  number = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + (c - '0');
  }
  return true;
}

// A stored width or height beyond this is damage, not a choice: no screen is
// that large.
constexpr int largestSize = 4096;

// The sizes stored under the section's numbered keys. Only keys that exist
// are read, so a damaged "High" cannot make the load go through millions of
// indexes, and an index is taken only when the section holds at least as
// many keys, as saveMacroSheet writes every index up to the last.
void loadSizes(const TPortableIniFile& file, const char* section, int firstIndex, TProps& props) {
  const int high = file.readInteger(section, "High", -1);
  std::vector<std::string> keys;
  file.readSection(section, keys);
  const int keyCount = static_cast<int>(keys.size());
  for (const std::string& key : keys) {
    int index = 0;
    if (!readNumber(key, index) || index < firstIndex || index > high || index >= keyCount) continue;
    const int size = file.readInteger(section, key, props.getSize(index));
    props.setSize(index, std::clamp(size, TProps::minimumSize, largestSize));
  }
}

}  // namespace

void saveMacroSheet(const TSheet& sheet, TPortableIniFile& file) {
  file.eraseSection(colsSection);
  file.eraseSection(rowsSection);
  file.eraseSection(cellsSection);
  // Column 0 holds the row numbers, sized by the sheet and never read back.
  int highCol = sheet.colProps.lastSized();
  if (highCol == 0) highCol = -1;
  file.writeInteger(colsSection, "High", highCol);
  for (int i = 0; i <= highCol; ++i) file.writeInteger(colsSection, std::to_string(i), sheet.getColWidth(i));
  int highRow = sheet.rowProps.lastSized();
  file.writeInteger(rowsSection, "High", highRow);
  for (int i = 0; i <= highRow; ++i) file.writeInteger(rowsSection, std::to_string(i), sheet.getRowHeight(i));
  char decimal = separator(sheet.decimalSeparator, '.'), list = separator(sheet.listSeparator, ',');
  POINT used = sheet.getUsedExtent();
  for (int col = 1; col <= used.x; ++col)
    for (int row = 1; row <= used.y; ++row) {
      const TCell* cell = sheet.getCell(col, row);
      if (cell == nullptr || cell->cellType() == 0) continue;
      // The formula, not its result: a value would no longer follow its
      // inputs, and a formula in error has no value text at all.
      std::string text = contentToStore(cell->getEditText(), holdsText(cell), decimal, list);
      file.writeString(cellsSection, std::to_string(col) + ":" + std::to_string(row),
                       std::to_string(cell->cellType()) + ":" + text);
    }
}

void loadMacroSheet(TSheet& sheet, const TPortableIniFile& file) {
  // Column 0 (the row numbers) keeps its width.
  loadSizes(file, colsSection, 1, sheet.colProps);
  loadSizes(file, rowsSection, 0, sheet.rowProps);
  std::vector<std::string> entries;
  file.readSectionValues(cellsSection, entries);
  if (entries.empty()) return;
  char decimal = separator(sheet.decimalSeparator, '.'), list = separator(sheet.listSeparator, ',');
  sheet.autoRecalculate = false;
  for (const std::string& entry : entries) {
    // The key's ":", the "=" after it and the value's first ":" split the
    // line, so the text itself may hold both.
    size_t keyColon = entry.find(':');
    if (keyColon == std::string::npos) continue;
    size_t equals = entry.find('=', keyColon);
    if (equals == std::string::npos) continue;
    size_t valueColon = entry.find(':', equals);
    if (valueColon == std::string::npos) continue;
    int col, row, type;
    if (!readNumber(entry.substr(0, keyColon), col) || !readNumber(entry.substr(keyColon + 1, equals - keyColon - 1), row) ||
        !readNumber(entry.substr(equals + 1, valueColon - equals - 1), type))
      continue;
    if (col < 1 || row < 1 || type > highestTypeCode) continue;
    const bool textCell = holdsText(newHeapCell(static_cast<std::uint8_t>(type), nullptr).get());
    std::string text = contentFromStore(entry.substr(valueColon + 1), textCell, decimal, list);
    sheet.setCellContent(col, row, 0, text, static_cast<std::uint8_t>(type));
  }
  sheet.autoRecalculate = true;
  sheet.recalculateAll(false);
  sheet.currentCol = sheet.currentRow = -1;
}
