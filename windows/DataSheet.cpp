#include "windows/DataSheet.h"

#include <algorithm>
#include <cstdlib>

#include "model/CustomProperties.h"
#include "sheet/Cell.h"
#include "sheet/FieldTable.h"
#include "sheet/Props.h"
#include "sheet/Sheet.h"
#include "sheet/ValueRecord.h"
#include "windows/DataObjects.h"
#include "windows/DataWindowLines.h"

namespace {

constexpr std::uint8_t stringCell = 2;
constexpr std::uint8_t integerCell = 5;

// Numbers, dates and times are kept in the objects with "." whatever the
// user's separator.
bool isNumericKind(std::uint8_t kind) { return kind == 1 || kind == 3 || kind == 4; }

char separatorOf(const std::string& text, char fallback) { return text.empty() ? fallback : text[0]; }

int integerProperty(const TCustomPropertyObject& object, const std::string& key, int fallback) {
  const std::string text = object.getExternalProperty(key);
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0') return fallback;
  return static_cast<int>(value);
}

// The size a line takes from what its object holds, as the sheet shows it.
int storedLineSize(const TCustomPropertyObject& object, const std::string& key, int fallback) {
  return std::max(TProps::minimumSize, integerProperty(object, key, fallback));
}

void applyFormat(TSheet& sheet, TCell& cell, const TField& field) {
  if (TDecimalsFormatting* decimals = cell.decimalsFormatting()) {
    decimals->maxDecimals = field.MaxDecimals;
    decimals->fixedDecimals = field.FixedDecimals;
  }
  if (TNumberFormatting* number = cell.numberFormatting()) number->trail = field.Trail;
  if (field.Format->Enabled) {
    TFontProperties font = sheet.defaultFont;
    field.Format->applyToFont(font);
    cell.setFont(&font);
    cell.setFillColor(field.Format->FillColor);
  }
  if (field.ConditionalFormat->Enabled) {
    TFontProperties font = sheet.defaultFont;
    field.ConditionalFormat->applyToFont(font);
    cell.setConditionalFont(&font);
    cell.setConditionalFillColor(field.ConditionalFormat->FillColor);
    cell.setThreshold(field.ConditionalFormat->IfAboveThreshold, field.ConditionalFormat->Threshold);
  }
  cell.locked = field.Locked;
}

}  // namespace

TDataSheet::TDataSheet(TSheet& sheet, TFieldTable& fields, double now)
    : dates(now), sheet_(sheet), fields_(fields) {}

void TDataSheet::placeCell(int position, int line, int& col, int& row) const {
  col = rowWise ? position : line;
  row = rowWise ? line : position;
}

int TDataSheet::totalPositions() const {
  int last = 0;
  for (const auto& field : fields_.Fields) last = std::max<int>(last, field->Position);
  return last;
}

void TDataSheet::defineDates() {
  TValueRecord value;
  value.kind = valueNumber;
  value.number = dates.fromId();
  sheet_.setCustomId("FROM_DATE", value);
  value.number = dates.toId();
  sheet_.setCustomId("TO_DATE", value);
}

int TDataSheet::build(int col, int row) {
  sheet_.clearCells();
  sheet_.autoRecalculate = false;
  sheet_.recordDependents = false;
  sheet_.setFixedCols(0);
  sheet_.setFixedRows(0);
  defineDates();

  const int fieldCount = fields_.count();
  sheet_.setColCount(rowWise ? std::max(fieldCount, 1) : 1);
  sheet_.setRowCount(rowWise ? 1 : std::max(fieldCount, 1));
  shownCount_ = assignFieldPositions(fields_);
  for (const auto& field : fields_.Fields) {
    if (field->Position < 1) continue;
    int c, r;
    placeCell(field->Position, 1, c, r);
    sheet_.setCellContent(c, r, 0, field->Header, stringCell);
  }
  if (rowWise) {
    sheet_.setFixedRows(1);
    sheet_.setRowCount(1);
  } else {
    sheet_.setFixedCols(1);
    sheet_.setColCount(1);
  }

  if (objects_) {
    const int count = objects_->count();
    const std::vector<std::string> names{"SELECTED"};
    const std::vector<std::string> replacements{selectedReference(count, rowWise)};
    int c, r;
    placeCell(1, count + 2, c, r);
    sheet_.setCellContent(c, r, 0, std::to_string(objects_->currentIndex()), integerCell);
    int line = 1;
    for (int index : objectsInDisplayOrder(displayOrder, count)) {
      if (!objects_->hasLine(index)) continue;
      ++line;
      if (rowWise)
        sheet_.setRowCount(line);
      else
        sheet_.setColCount(line);
      for (const auto& field : fields_.Fields)
        if (!field->Disabled) setCellsOfField(field->Position, line, index, *field, replacements, names);
    }
  }

  const int extent = std::max(totalPositions(), 1);
  const int selectedLine = objects_ ? objects_->count() + 2 : 1;
  sheet_.readableCols = rowWise ? extent : selectedLine;
  sheet_.readableRows = rowWise ? selectedLine : extent;

  const int fixed = fixedOn ? std::min(shownCount_, fields_.shownFixedCount()) : 0;
  if (rowWise) {
    sheet_.setColCount(std::max(shownCount_, 1));
    sheet_.setFixedCols(fixed);
  } else {
    sheet_.setRowCount(std::max(shownCount_, 1));
    sheet_.setFixedRows(fixed);
  }
  setCellSizes(rowWise);

  sheet_.markAllDirty();
  sheet_.autoRecalculate = true;
  sheet_.recordDependents = true;
  sheet_.stopAtFirstError = false;
  sheet_.recalculateAll(true);
  sheet_.setCurrentCell(col >= 1 && row >= 1 ? col : -1, col >= 1 && row >= 1 ? row : -1);
  sheet_.recordDependents = false;
  sheet_.stopAtFirstError = true;
  return shownCount_;
}

void TDataSheet::setCellsOfField(int position, int line, int objectIndex, const TField& field,
                                 const std::vector<std::string>& replacements,
                                 const std::vector<std::string>& names) {
  int col, row;
  placeCell(position, line, col, row);
  std::string content;
  if (objects_->isKeyKind(field.Kind)) {
    content = std::to_string(objectIndex);
  } else {
    const char decimal = separatorOf(sheet_.decimalSeparator, '.');
    fields_.translateFormula(field.Content, line, content, replacements, names,
                             separatorOf(sheet_.listSeparator, ';'), decimal, rowWise);
    if (!content.empty() && content[0] != '=') content.insert(content.begin(), '=');
    const bool formulaRules = !content.empty() && field.Locked;
    if (!field.Symbol.empty() && !formulaRules) {
      const std::string value = isNumericKind(field.Kind)
                                    ? objects_->item(objectIndex)->getCustomProperty(field.Symbol, ".", sheet_.decimalSeparator)
                                    : objects_->item(objectIndex)->getCustomProperty(field.Symbol);
      if (!value.empty()) content = value;
    }
  }
  sheet_.setCellContent(col, row, field.Alignment, content, field.Kind);
  if (TCell* cell = sheet_.getCell(col, row)) applyFormat(sheet_, *cell, field);
}

int TDataSheet::objectLineCount() const {
  return std::max(0, (rowWise ? sheet_.getRowCount() : sheet_.getColCount()) - 1);
}

int TDataSheet::keyPosition() const {
  if (!objects_) return -1;
  for (const auto& field : fields_.Fields)
    if (objects_->isKeyKind(field->Kind)) return field->Position > 0 ? field->Position : -1;
  return -1;
}

int TDataSheet::lineToObject(int line) const {
  const int key = keyPosition();
  if (key < 1 || line < 2 || line > lastLine()) return -1;
  int col, row;
  placeCell(key, line, col, row);
  const int index = sheet_.getCellInteger(col, row);
  return index >= 0 && index < objects_->count() ? index : -1;
}

int TDataSheet::currentLine() const {
  if (!sheet_.hasCurrentCell()) return -1;
  return rowWise ? sheet_.currentRow : sheet_.currentCol;
}

bool TDataSheet::followSelection() {
  if (!objects_ || !namesObjects()) return false;
  return makeCurrent(selectedObjectIndex());
}

bool TDataSheet::makeFirstObjectCurrent() {
  if (!objects_) return false;
  for (int index : objectsInDisplayOrder(displayOrder, objects_->count()))
    if (objects_->hasLine(index)) return makeCurrent(index);
  return false;
}

bool TDataSheet::makeCurrent(int index) {
  const int old = objects_->currentIndex();
  objects_->setCurrentIndex(index);
  const int now = objects_->currentIndex();
  if (now == old) return false;
  int col, row;
  placeCell(1, objects_->count() + 2, col, row);
  sheet_.setCellContent(col, row, 0, std::to_string(now), integerCell);
  return true;
}

bool TDataSheet::currentCellHoldsCustomProperty() const {
  if (selectedObjectIndex() < 0) return false;
  const TField* field = fields_.fieldAtPosition(rowWise ? sheet_.currentCol : sheet_.currentRow);
  return field && field->holdsCustomProperty();
}

bool TDataSheet::cellEdited() {
  const int index = selectedObjectIndex();
  if (index < 0) return false;
  TField* field = fields_.fieldAtPosition(rowWise ? sheet_.currentCol : sheet_.currentRow);
  if (!field) return false;
  if (field->holdsCustomProperty()) {
    TCustomPropertyObject* object = objects_->item(index);
    if (isNumericKind(field->Kind)) {
      object->setCustomProperty(field->Symbol, sheet_.getCurrentCellText(false), sheet_.decimalSeparator, ".");
    } else {
      const std::string text = neuterString(sheet_.getCurrentCellText(false));
      object->setCustomProperty(field->Symbol, text);
      sheet_.setCurrentCellString(text);
    }
  }
  return true;
}

void TDataSheet::getCellSizes(bool rowWiseLayout) {
  const int defaultHeight = sheet_.getDefaultRowHeight();
  const int defaultWidth = sheet_.getDefaultColWidth();
  // The layout not shown keeps its sizes: only unset ones take the defaults.
  fields_.defaultMissingSizes(defaultHeight, defaultWidth);
  std::vector<int>& sizes = rowWiseLayout ? rowHeights : colWidths;
  const int fallback = rowWiseLayout ? defaultHeight : defaultWidth;
  for (const auto& field : fields_.Fields) {
    if (field->Hidden || field->Disabled || field->Position < 1) continue;
    if (rowWiseLayout)
      field->RowWiseWidth = sheet_.getColWidth(field->Position);
    else
      field->ColWiseHeight = sheet_.getRowHeight(field->Position);
  }
  if (rowWiseLayout)
    fields_.RowWiseFixedHeight = sheet_.getRowHeight(1);
  else
    fields_.ColWiseFixedWidth = sheet_.getColWidth(1);
  if (!objects_) {
    sizes.assign(static_cast<size_t>(objectLineCount()), fallback);
    return;
  }
  // An object the window leaves out (the Quotes window's assets without
  // prices) keeps its size as last read or taken, else as it has stored
  // it: it was not shown to be changed.
  const std::string key = rowWiseLayout ? objects_->rowHeightKey() : objects_->colWidthKey();
  const std::vector<int> before = std::move(sizes);
  sizes.clear();
  for (int i = 0; i < objects_->count(); ++i) {
    const auto index = static_cast<size_t>(i);
    sizes.push_back(index < before.size() ? before[index] : integerProperty(*objects_->item(i), key, fallback));
  }
  for (int line = 2; line <= lastLine(); ++line) {
    const int index = lineToObject(line);
    if (index >= 0) sizes[index] = rowWiseLayout ? sheet_.getRowHeight(line) : sheet_.getColWidth(line);
  }
}

void TDataSheet::setCellSizes(bool rowWiseLayout) {
  sheet_.clearSizes();
  for (const auto& field : fields_.Fields) {
    if (field->Hidden || field->Disabled || field->Position < 1) continue;
    // A field without a size of its own (a hand-written file) takes the
    // table's default rather than the narrowest line.
    if (rowWiseLayout)
      sheet_.setColWidth(field->Position, field->RowWiseWidth >= 1 ? field->RowWiseWidth : fields_.DefaultRowWiseWidth);
    else
      sheet_.setRowHeight(field->Position,
                          field->ColWiseHeight >= 1 ? field->ColWiseHeight : fields_.DefaultColWiseHeight);
  }
  const std::vector<int>& sizes = rowWiseLayout ? rowHeights : colWidths;
  if (rowWiseLayout)
    sheet_.setRowHeight(1, fields_.RowWiseFixedHeight);
  else
    sheet_.setColWidth(1, fields_.ColWiseFixedWidth);
  const int last = std::min<int>(lastLine(), static_cast<int>(sizes.size()) + 2);
  for (int line = 2; line <= last; ++line) {
    const int index = lineToObject(line);
    if (index < 0 || index >= static_cast<int>(sizes.size())) continue;
    if (rowWiseLayout)
      sheet_.setRowHeight(line, sizes[index]);
    else
      sheet_.setColWidth(line, sizes[index]);
  }
}

void TDataSheet::getDisplayOrder() {
  const size_t count = static_cast<size_t>(objects_ ? objects_->count() : 0);
  std::vector<int> order(count, -1);
  bool mapped = false;
  for (int line = 2; line <= lastLine(); ++line) {
    const int index = lineToObject(line);
    if (index < 0) continue;
    order[static_cast<size_t>(index)] = line;
    mapped = true;
  }
  // A grid none of whose lines names its object (a field file without the
  // key field, or empty) shows nothing of the order: the one read stays.
  if (!mapped) {
    displayOrder.resize(count, -1);
    return;
  }
  displayOrder = std::move(order);
}

void TDataSheet::readObjectProperties() {
  rowHeights.clear();
  colWidths.clear();
  displayOrder.clear();
  if (!objects_) return;
  for (int i = 0; i < objects_->count(); ++i) {
    const TCustomPropertyObject& object = *objects_->item(i);
    rowHeights.push_back(integerProperty(object, objects_->rowHeightKey(), sheet_.getDefaultRowHeight()));
    colWidths.push_back(integerProperty(object, objects_->colWidthKey(), sheet_.getDefaultColWidth()));
    displayOrder.push_back(integerProperty(object, objects_->displayOrderKey(), -1));
  }
}

void TDataSheet::writeObjectProperties() {
  if (!objects_) return;
  getCellSizes(rowWise);
  getDisplayOrder();
  // The layout not shown keeps what was read; objects added since take the
  // defaults.
  const size_t count = static_cast<size_t>(objects_->count());
  rowHeights.resize(count, sheet_.getDefaultRowHeight());
  colWidths.resize(count, sheet_.getDefaultColWidth());
  // Lines in the order the objects' files give them store none: a look
  // alone wrote every object's file (and a read-only one raised a question).
  std::vector<int> stored;
  for (size_t i = 0; i < count; ++i)
    stored.push_back(integerProperty(*objects_->item(i), objects_->displayOrderKey(), -1));
  const bool storeOrder = !shownInStoredOrder(displayOrder, stored, static_cast<int>(count));
  for (size_t i = 0; i < count; ++i) {
    TCustomPropertyObject& object = *objects_->item(i);
    object.setViewSize(objects_->rowHeightKey(), rowHeights[i],
                       storedLineSize(object, objects_->rowHeightKey(), sheet_.getDefaultRowHeight()));
    object.setViewSize(objects_->colWidthKey(), colWidths[i],
                       storedLineSize(object, objects_->colWidthKey(), sheet_.getDefaultColWidth()));
    if (storeOrder) object.setViewProperty(objects_->displayOrderKey(), std::to_string(displayOrder[i]));
  }
}

bool TDataSheet::sort(bool ascending) {
  if (!sheet_.hasCurrentCell()) return false;
  const int selected = selectedObjectIndex();
  const int keyLine = rowWise ? sheet_.currentCol : sheet_.currentRow;
  getCellSizes(rowWise);
  // Hidden fields lie beyond the shown lines and must move with their
  // objects; the "SELECTED" cell lies beyond the object lines and stays.
  if (!sheet_.sortRange(ascending, rowWise, 2, lastLine(), keyLine, 1, totalPositions())) return false;
  getDisplayOrder();
  setCellSizes(rowWise);
  for (int line = 2; line <= lastLine(); ++line) {
    if (lineToObject(line) != selected) continue;
    if (rowWise)
      sheet_.setCurrentCell(keyLine, line);
    else
      sheet_.setCurrentCell(line, keyLine);
    break;
  }
  return true;
}

bool TDataSheet::moveCurrentLine(int step) {
  const int line = currentLine();
  const int other = line + step;
  if (line < 2 || other < 2 || other > lastLine()) return false;
  const bool moved = rowWise ? sheet_.exchangeRows(line, other) : sheet_.exchangeColumns(line, other);
  if (!moved) return false;
  getDisplayOrder();
  if (rowWise)
    sheet_.setCurrentCell(sheet_.currentCol, other);
  else
    sheet_.setCurrentCell(other, sheet_.currentRow);
  return true;
}

void TDataSheet::addDisplayRecord(int rowHeight, int colWidth) {
  getCellSizes(rowWise);
  if (!objects_ || objects_->count() < 1) return;
  const size_t count = static_cast<size_t>(objects_->count());
  rowHeights.resize(count, sheet_.getDefaultRowHeight());
  colWidths.resize(count, sheet_.getDefaultColWidth());
  rowHeights.back() = rowHeight;
  colWidths.back() = colWidth;
  const int col = sheet_.currentCol;
  const int row = sheet_.currentRow;
  getDisplayOrder();
  const int line = placeNewObject(displayOrder, rowWise ? row : col, lastLine());
  if (rowWise)
    build(std::max(sheet_.getFixedCols() + 1, col), line);
  else
    build(line, std::max(sheet_.getFixedRows() + 1, row));
}

void TDataSheet::removeDisplayRecord(int index, int countBefore) {
  removeObjectEntry(displayOrder, index, countBefore);
  removeObjectEntry(rowHeights, index, countBefore);
  removeObjectEntry(colWidths, index, countBefore);
}

void TDataSheet::getFieldValue(const std::string& symbol, std::string& value, bool& found) const {
  found = false;
  const int position = fields_.positionOfSymbol(symbol);
  if (position < 1 || !sheet_.hasCurrentCell()) return;
  const int col = rowWise ? position : sheet_.currentCol;
  const int row = rowWise ? sheet_.currentRow : position;
  if (!sheet_.cellHasValue(col, row)) return;
  value = sheet_.getCellText(col, row, false);
  found = true;
}
