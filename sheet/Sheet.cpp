#include "sheet/Sheet.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "platform/LocaleSettings.h"
#include "sheet/BoundCells.h"
#include "sheet/CompiledFormula.h"
#include "sheet/MacroCallout.h"
#include "sheet/NumberText.h"
#include "sheet/ValueCells.h"

namespace {

constexpr int pointsPerInch = 72;
constexpr int fallbackPixelsPerInch = 96;
constexpr double rowHeightPerFontHeight = 1.5;
constexpr double headerWidthPerRowHeight = 1.7;
constexpr double columnWidthPerRowHeight = 5.35;
constexpr std::uint8_t maxDecimalsLimit = 15;

int screenPixelsPerInch() {
  HDC screen = GetDC(nullptr);
  if (!screen) return fallbackPixelsPerInch;
  int pixels = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return pixels > 0 ? pixels : fallbackPixelsPerInch;
}

// The default font's height in pixels on the screen.
int fontPixelHeight(const TFontProperties& font) {
  static const int pixelsPerInch = screenPixelsPerInch();
  return std::abs(MulDiv(font.size, pixelsPerInch, pointsPerInch));
}

// Half-way values go to the even neighbour, as the sizes always did.
int roundedSize(double size) { return static_cast<int>(std::nearbyint(size)); }

bool isIntegerCell(const TCell* cell) {
  return dynamic_cast<const TCellInteger*>(cell) || dynamic_cast<const TCellObject_integerProperty*>(cell);
}

bool isNumberCell(const TCell* cell) {
  return dynamic_cast<const TCellDouble*>(cell) || dynamic_cast<const TCellObject_doubleProperty*>(cell) ||
         dynamic_cast<const TCellObject_dateTimeProperty*>(cell);
}

}  // namespace

TSheet::TSheet() : tokenFactory(std::make_shared<TTokenObjectFactory>()) {
  const TLocaleSettings& locale = localeSettings();
  listSeparator.assign(1, locale.listSeparator);
  decimalSeparator.assign(1, locale.decimalSeparator);
  thousandSeparator.assign(1, locale.thousandSeparator);
  int rowHeight = roundedSize(fontPixelHeight(defaultFont) * rowHeightPerFontHeight);
  rowProps.defaultSize = rowHeight;
  colProps.setSize(0, roundedSize(rowHeight * headerWidthPerRowHeight));
  colProps.defaultSize = roundedSize(rowHeight * columnWidthPerRowHeight);
}

TSheet::~TSheet() { clearCells(); }

void TSheet::clearCells() {
  ++cellsGeneration_;
  for (auto column = cells.rbegin(); column != cells.rend(); ++column) {
    while (!column->empty()) column->pop_back();
  }
  cells.clear();
  dependents.clear();
  circularCells_.clear();
  resultValue.clear();
}

void TSheet::clearSizes() {
  colProps.clearSizes();
  rowProps.clearSizes();
}

// ---- Counts and sizes ----

void TSheet::setColCount(int n) {
  if (std::max(1, n) != colProps.count) ++cellsGeneration_;
  colProps.count = std::max(1, n);
  leftCol = std::min(leftCol, colProps.count);
  rightCol = std::min(rightCol, colProps.count);
  if (colProps.count < currentCol) currentCol = currentRow = -1;
  selection.right = std::min<LONG>(selection.right, colProps.count);
  if (selection.right < selection.left) selection = RECT{-1, -1, -1, -1};
}

void TSheet::setRowCount(int n) {
  if (std::max(1, n) != rowProps.count) ++cellsGeneration_;
  rowProps.count = std::max(1, n);
  topRow = std::min(topRow, rowProps.count);
  bottomRow = std::min(bottomRow, rowProps.count);
  if (rowProps.count < currentRow) currentCol = currentRow = -1;
  selection.bottom = std::min<LONG>(selection.bottom, rowProps.count);
  if (selection.bottom < selection.top) selection = RECT{-1, -1, -1, -1};
}

void TSheet::setLeftCol(int n) {
  n = std::min(n, colProps.count);
  leftCol = n <= colProps.fixedCount ? colProps.fixedCount + 1 : n;
}

void TSheet::setTopRow(int n) {
  n = std::min(n, rowProps.count);
  topRow = n <= rowProps.fixedCount ? rowProps.fixedCount + 1 : n;
}

void TSheet::setTopLeft(POINT point) {
  setLeftCol(point.x);
  setTopRow(point.y);
}

void TSheet::setDefaultColWidth(int w) { colProps.defaultSize = std::max(TProps::minimumSize, w); }

void TSheet::setDefaultRowHeight(int h) {
  if (h < 0) h = roundedSize(fontPixelHeight(defaultFont) * rowHeightPerFontHeight);
  rowProps.defaultSize = std::max(TProps::minimumSize, h);
}

// ---- Number texts ----

bool TSheet::tryStrToIntStrict(const std::string& text, std::int32_t& value) const {
  return textToIntStrict(text, value);
}

std::int32_t TSheet::strToIntStrict(const std::string& text) const {
  std::int32_t value = 0;
  if (!textToIntStrict(text, value)) throw EConvertError("'" + text + "' is not a valid integer value");
  return value;
}

bool TSheet::tryStrToFloat(const std::string& text, double& value) const {
  return textToFloat(text, decimalSeparator, thousandSeparator, value);
}

double TSheet::strToFloat(const std::string& text) const {
  double value = 0.0;
  if (!tryStrToFloat(text, value)) throw EConvertError("'" + text + "' is not a valid floating point value");
  return value;
}

std::string TSheet::floatToStr(double x) const {
  return floatToText(x, decimalSeparator.size() == 1 ? decimalSeparator
                                                     : std::string(1, localeSettings().decimalSeparator));
}

// ---- Cell access ----

void TSheet::freeCellAt(int col, int row) {
  if (!getCell(col, row)) return;
  ++cellsGeneration_;
  cells[static_cast<std::size_t>(col) - 1][static_cast<std::size_t>(row) - 1].reset();
  dependents.removeFromAll({col - 1, row - 1});
}

void TSheet::putCell(int col, int row, TCellPtr cell) {
  if (col < 1 || row < 1) return;
  if (!cell) {
    freeCellAt(col, row);
    return;
  }
  if (getCell(col, row) == cell.get()) {
    // Already stored there: the place keeps owning it.
    (void)cell.release();
    return;
  }
  if (static_cast<std::size_t>(col) > cells.size()) cells.resize(static_cast<std::size_t>(col));
  auto& column = cells[static_cast<std::size_t>(col) - 1];
  if (static_cast<std::size_t>(row) > column.size()) column.resize(static_cast<std::size_t>(row));
  cell->setOwner(this);
  bool hasFormula = cell->hasFormula();
  if (column[static_cast<std::size_t>(row) - 1]) ++cellsGeneration_;
  column[static_cast<std::size_t>(row) - 1] = std::move(cell);
  // The links of a place belong to its formula: a cell without one reads
  // nothing. A formula cell keeps them; whoever set its formula made them.
  if (!hasFormula) dependents.removeFromAll({col - 1, row - 1});
}

int TSheet::lastColumnWithRow(int row) const {
  for (int col = static_cast<int>(cells.size()); col > colProps.fixedCount; --col) {
    if (static_cast<int>(cells[static_cast<std::size_t>(col) - 1].size()) >= row) return col;
  }
  return colProps.fixedCount;
}

POINT TSheet::getUsedExtent() const {
  POINT extent{std::max<LONG>(colProps.fixedCount, static_cast<LONG>(cells.size())), rowProps.fixedCount};
  for (std::size_t col = static_cast<std::size_t>(std::max(0, colProps.fixedCount)); col < cells.size(); ++col) {
    extent.y = std::max<LONG>(extent.y, static_cast<LONG>(cells[col].size()));
  }
  return extent;
}

// ---- Creating cells ----

void TSheet::setCellContent(int col, int row, std::uint8_t alignment, const std::string& text,
                            std::uint8_t typeCode) {
  if (col < 1 || row < 1) return;
  TCell* existing = getCell(col, row);
  if (existing && existing->locked) return;
  std::uint8_t wanted = typeCode;
  // A text that makes its cell a number cell is read once: the cell takes
  // the number as read here.
  double number = 0.0;
  bool readAsNumber = false;
  if (!isCellType(typeCode)) {
    readAsNumber = !(existing && existing->cellType() == 2) && tryStrToFloat(text, number);
    wanted = readAsNumber ? 1 : 2;
  }
  TCellPtr fresh;
  if (!existing || existing->cellType() != wanted) {
    fresh = cellFactory.newCell(wanted, this);
    if (!fresh) return;
    if (existing) fresh->assign(existing);
    fresh->setOwner(this);
  }
  TCell* cell = fresh ? fresh.get() : existing;
  bool changed = false;
  // A new cell holds its empty value, which entering that value's text
  // leaves as it is: its edit text is not made only to be compared.
  if ((fresh && !existing) || cell->getEditText() != text) {
    // Only a plain number cell is of type 1.
    changed = readAsNumber ? static_cast<TCellDoubleAsDouble*>(cell)->enterNumber(number, col, row)
                           : cell->setText(text, col, row);
  } else if (fresh && fresh->hasFormula()) {
    // The new cell took over the formula but not the old cell's value, which
    // was of another kind: its own value comes from evaluating it.
    if (autoRecalculate) {
      changed = fresh->evaluate(col, row, true);
    } else {
      fresh->state = errNA;
      changed = true;
    }
  } else if (TMacroRetry::active() && cell->hasFormula() && autoRecalculate) {
    // The user entered the same formula again: it is computed again, so
    // that a macro function stopped before gets its call.
    changed = cell->evaluate(col, row, true);
  }
  cell->alignment = alignment;
  if (fresh) putCell(col, row, std::move(fresh));
  if (changed) recalculateDependents(col - 1, row - 1);
}

void TSheet::setCurrentCellContent(std::uint8_t typeCode, const std::string& text, std::uint8_t alignment) {
  if (hasCurrentCell()) setCellContent(currentCol, currentRow, alignment, text, typeCode);
}

void TSheet::createCellRange(std::uint8_t typeCode, std::uint8_t alignment, TCellBlock& block, const RECT& range) {
  block = TCellBlock();
  if (range.left > range.right || range.top > range.bottom || range.left <= colProps.fixedCount ||
      range.right > colProps.count || range.top <= rowProps.fixedCount || range.bottom > rowProps.count) {
    return;
  }
  TCellPtr model = newHeapCell(typeCode, this);
  if (!model) return;
  model->alignment = alignment;
  // Every slot aligned as a heap object would be.
  constexpr std::size_t slotAlignment = alignof(std::max_align_t);
  std::size_t instanceSize = (cellInstanceSize(typeCode) + slotAlignment - 1) / slotAlignment * slotAlignment;
  std::int64_t count = static_cast<std::int64_t>(range.right - range.left + 1) * (range.bottom - range.top + 1);
  // The block's size must not wrap round: a range that large cannot be
  // held anyway.
  if (count > std::numeric_limits<std::int32_t>::max() / static_cast<std::int64_t>(instanceSize)) return;
  try {
    block.memory = std::make_unique<std::byte[]>(static_cast<std::size_t>(count) * instanceSize);
  } catch (const std::bad_alloc&) {
    return;
  }
  block.count = static_cast<int>(count);
  block.instanceSize = instanceSize;
  if (static_cast<std::size_t>(range.right) > cells.size()) cells.resize(static_cast<std::size_t>(range.right));
  std::byte* slot = block.memory.get();
  for (int col = range.left; col <= range.right; ++col) {
    auto& column = cells[static_cast<std::size_t>(col) - 1];
    if (static_cast<std::size_t>(range.bottom) > column.size()) column.resize(static_cast<std::size_t>(range.bottom));
    for (int row = range.top; row <= range.bottom; ++row) {
      TCellPtr cell(constructCell(typeCode, slot, TCellOrigin{this, allocatedElsewhere}));
      slot += instanceSize;
      cell->assign(model.get());
      putCell(col, row, std::move(cell));
    }
  }
}

bool TSheet::setSelectionType(std::uint8_t typeCode) {
  if (!hasCurrentCell()) return false;
  bool replaced = false;
  int lastCol = std::min<int>(selection.right, static_cast<int>(cells.size()));
  for (int col = std::max<int>(1, selection.left); col <= lastCol; ++col) {
    int lastRow = std::min<int>(selection.bottom, static_cast<int>(cells[static_cast<std::size_t>(col) - 1].size()));
    for (int row = std::max<int>(1, selection.top); row <= lastRow; ++row) {
      TCell* cell = getCell(col, row);
      if (!cell || cell->locked || cell->cellType() == typeCode) continue;
      replaced = true;
      if (!isCellType(typeCode)) {
        freeCellAt(col, row);
        continue;
      }
      TCellPtr fresh = cellFactory.newCell(typeCode, this);
      fresh->assign(cell);
      fresh->setOwner(this);
      fresh->setText(cell->getEditText(), col, row);
      putCell(col, row, std::move(fresh));
    }
  }
  if (!replaced) return false;
  if (autoRecalculate) {
    recalculateAll(false);
  } else {
    markAllDirty();
  }
  return true;
}

// ---- Values of cells ----

bool TSheet::cellHasValue(int col, int row) const {
  const TCell* cell = getCell(col, row);
  return cell && cell->state == stateValid;
}

std::string TSheet::getCellText(int col, int row, bool forDisplay) const {
  const TCell* cell = getCell(col, row);
  return cell ? cell->getText(forDisplay) : std::string();
}

std::int32_t TSheet::getCellInteger(int col, int row) const {
  TValueRecord value;
  cellToValue(getCell(col, row), false, value);
  return convertValue(value, valueInteger) ? value.integer : 0;
}

double TSheet::getCellNumber(int col, int row) const {
  TValueRecord value;
  cellToValue(getCell(col, row), false, value);
  return convertValue(value, valueNumber) ? value.number : 0.0;
}

TArray* TSheet::currentCellArray() const {
  const TCell* cell = currentCell();
  const TRPNstackObject* result = cell ? cell->workingCopy() : nullptr;
  const TTokenObject* first = result ? result->getItem(0) : nullptr;
  return first && first->tokenClass == tokenOperand ? first->subArray() : nullptr;
}

std::uint8_t TSheet::currentCellType() const {
  const TCell* cell = currentCell();
  return cell ? cell->cellType() : 0;
}

namespace {

TValueRecord valueOf(std::uint8_t kind) {
  TValueRecord value;
  value.kind = kind;
  return value;
}

}  // namespace

void TSheet::setCurrentCellString(const std::string& text) {
  TValueRecord value = valueOf(valueString);
  value.string = text;
  TCell* cell = currentCell();
  if (!cell || cell->locked) return;
  bool hadFormula = cell->hasFormula();
  bool changed = setCellValue(value, cell);
  if (hadFormula && !cell->hasFormula()) dependents.removeFromAll({currentCol - 1, currentRow - 1});
  if (changed) recalculateDependents(currentCol - 1, currentRow - 1);
}

void TSheet::setCurrentCellInteger(std::int32_t n) {
  TValueRecord value = valueOf(valueInteger);
  value.integer = n;
  TCell* cell = currentCell();
  if (!cell || cell->locked) return;
  bool hadFormula = cell->hasFormula();
  bool changed = setCellValue(value, cell);
  if (hadFormula && !cell->hasFormula()) dependents.removeFromAll({currentCol - 1, currentRow - 1});
  if (changed) recalculateDependents(currentCol - 1, currentRow - 1);
}

void TSheet::setCurrentCellNumber(double x) {
  TValueRecord value = valueOf(valueNumber);
  value.number = x;
  TCell* cell = currentCell();
  if (!cell || cell->locked) return;
  bool hadFormula = cell->hasFormula();
  bool changed = setCellValue(value, cell);
  if (hadFormula && !cell->hasFormula()) dependents.removeFromAll({currentCol - 1, currentRow - 1});
  if (changed) recalculateDependents(currentCol - 1, currentRow - 1);
}

bool TSheet::markCurrentCellDirty() {
  TCell* cell = currentCell();
  if (!cell || cell->locked || cell->state == errNA) return false;
  cell->state = errNA;
  return true;
}

void TSheet::walkSelection(void (*action)(TCell&, void*), void* data, bool includeLocked) {
  int lastCol = std::min<int>(selection.right, static_cast<int>(cells.size()));
  for (int col = std::max<int>(1, selection.left); col <= lastCol; ++col) {
    auto& column = cells[static_cast<std::size_t>(col) - 1];
    int lastRow = std::min<int>(selection.bottom, static_cast<int>(column.size()));
    for (int row = std::max<int>(1, selection.top); row <= lastRow; ++row) {
      TCell* cell = column[static_cast<std::size_t>(row) - 1].get();
      if (cell && (includeLocked || !cell->locked)) action(*cell, data);
    }
  }
}

bool TSheet::markSelectionDirty() {
  bool changed = false;
  walkSelection(
      [](TCell& cell, void* data) {
        if (cell.state == errNA) return;
        cell.state = errNA;
        *static_cast<bool*>(data) = true;
      },
      &changed, false);
  return changed;
}

// ---- Formats, locks and number options ----

bool TSheet::currentCellLocked() const {
  const TCell* cell = currentCell();
  return cell && cell->locked;
}

void TSheet::setCurrentCellLocked(bool b) {
  if (TCell* cell = currentCell()) cell->locked = b;
}

void TSheet::setSelectionLocked(bool b) {
  walkSelection([](TCell& cell, void* data) { cell.locked = *static_cast<bool*>(data); }, &b, true);
}

void TSheet::setSelectionFont(const TFontProperties* font) {
  walkSelection([](TCell& cell, void* data) { cell.setFont(static_cast<const TFontProperties*>(data)); },
                const_cast<TFontProperties*>(font), false);
}

void TSheet::setSelectionFillColor(std::int32_t color) {
  walkSelection([](TCell& cell, void* data) { cell.setFillColor(*static_cast<std::int32_t*>(data)); }, &color, false);
}

void TSheet::setSelectionConditionalFont(const TFontProperties* font) {
  walkSelection(
      [](TCell& cell, void* data) { cell.setConditionalFont(static_cast<const TFontProperties*>(data)); },
      const_cast<TFontProperties*>(font), false);
}

void TSheet::setSelectionConditionalFillColor(std::int32_t color) {
  walkSelection([](TCell& cell, void* data) { cell.setConditionalFillColor(*static_cast<std::int32_t*>(data)); },
                &color, false);
}

void TSheet::setSelectionThreshold(bool ifAboveThreshold, double threshold) {
  struct TThreshold {
    bool above;
    double value;
  } setting{ifAboveThreshold, threshold};
  walkSelection(
      [](TCell& cell, void* data) {
        const auto& threshold = *static_cast<TThreshold*>(data);
        cell.setThreshold(threshold.above, threshold.value);
      },
      &setting, false);
}

void TSheet::setCurrentCellMaxDecimals(int n) {
  TCell* cell = currentCell();
  if (!cell || cell->locked) return;
  if (TDecimalsFormatting* decimals = cell->decimalsFormatting()) {
    decimals->maxDecimals = static_cast<std::uint8_t>(std::clamp<int>(n, 0, maxDecimalsLimit));
  }
}

void TSheet::setCurrentCellFixedDecimals(bool b) {
  TCell* cell = currentCell();
  if (!cell || cell->locked) return;
  if (TDecimalsFormatting* decimals = cell->decimalsFormatting()) decimals->fixedDecimals = b;
}

void TSheet::setCurrentCellTrail(const std::string& text) {
  TCell* cell = currentCell();
  if (!cell || cell->locked) return;
  if (TNumberFormatting* formatting = cell->numberFormatting()) formatting->trail = text;
}

void TSheet::getCurrentCellFont(TFontProperties& font) const {
  std::int32_t fill = defaultFillColor;
  if (const TCell* cell = currentCell()) {
    cell->getFontAndFill(&font, fill);
  } else {
    font = defaultFont;
  }
}

std::int32_t TSheet::currentCellFillColor() const {
  std::int32_t fill = defaultFillColor;
  if (const TCell* cell = currentCell()) cell->getFontAndFill(nullptr, fill);
  return fill;
}

void TSheet::getCurrentCellFormatForNumber(double x, TFontProperties& font, std::int32_t& fill) const {
  const TCell* cell = currentCell();
  std::int32_t whole = 0;
  if (cell && isNumberCell(cell)) {
    cell->applyConditionalFormat(&font, fill, x);
  } else if (cell && isIntegerCell(cell)) {
    if (truncateToInt32(x, whole)) cell->applyConditionalFormat(&font, fill, whole);
  } else {
    font = defaultFont;
    fill = defaultFillColor;
  }
}

void TSheet::getCurrentCellFormatForText(const std::string& text, TFontProperties& font, std::int32_t& fill) const {
  const TCell* cell = currentCell();
  if (cell && isIntegerCell(cell)) {
    std::int32_t whole = 0;
    if (readCellInteger(this, trimmedText(text), whole)) cell->applyConditionalFormat(&font, fill, whole);
  } else if (cell && isNumberCell(cell)) {
    double number = 0.0;
    if (tryStrToFloat(trimmedText(text), number)) cell->applyConditionalFormat(&font, fill, number);
  } else {
    font = defaultFont;
    fill = defaultFillColor;
  }
}

void TSheet::setMultiSelect(bool b) {
  multiSelect = b;
  if (!b) selection = RECT{currentCol, currentRow, currentCol, currentRow};
}

void TSheet::setScriptEngine(IActiveScript* engine, bool recalculate) {
  macroCallout.setScriptEngine(engine);
  if (recalculate) recalculateAll(false);
}
