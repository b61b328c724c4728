#include "controls/FieldEditModel.h"

#include <algorithm>
#include <vector>

#include "model/PlainText.h"
#include "platform/Colors.h"
#include "sheet/Cell.h"
#include "sheet/Sheet.h"

namespace {

constexpr int kindCount = 28;
constexpr std::uint8_t stringCell = 2;
const char* const columnTitles[TFieldEditModel::columnCount] = {"Symbol", "Header", "Definition", "Format test"};

bool decimalsKind(int kind) { return kind == 1 || (kind >= 16 && kind <= 19) || (kind >= 23 && kind <= 25); }

bool trailKind(int kind) { return kind == 1 || (kind >= 3 && kind <= 5) || (kind >= 16 && kind <= 25); }

bool conditionalKind(int kind) {
  return kind == 1 || (kind >= 3 && kind <= 6) || kind == 9 || (kind >= 16 && kind <= 19) ||
         (kind >= 21 && kind <= 25) || kind == 27;
}

std::vector<std::string> splitAt(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

}  // namespace

TFieldEditModel::TFieldEditModel(const TFieldTable& source) { copy_.assign(&source); }

bool TFieldEditModel::editable(int index) const {
  const TField* field = copy_.items(index);
  return field && field->EditableDefinition;
}

TField* TFieldEditModel::editableField(int index) const { return editable(index) ? copy_.items(index) : nullptr; }

int TFieldEditModel::newField(int current, const std::string& decimalSeparator) {
  const int index = current < 0 || current >= count() ? (current < 0 ? 0 : count()) : current + 1;
  if (copy_.insertField(index) != 0) return current;
  std::string testContent = "100000";
  testContent.append(decimalSeparator).append("1234567890123456789");
  copy_.items(index)->setTestContent(testContent);
  return index;
}

bool TFieldEditModel::deleteField(int index) { return editable(index) && copy_.deleteField(index) == 0; }

bool TFieldEditModel::moveUp(int index) { return index > 0 && copy_.moveField(index, index - 1) == 0; }

bool TFieldEditModel::moveDown(int index) { return index + 1 < count() && copy_.moveField(index, index + 1) == 0; }

bool TFieldEditModel::setKind(int index, int kind) {
  TField* field = editableField(index);
  if (!field || kind < 0 || kind >= kindCount) return false;
  field->Kind = static_cast<std::uint8_t>(kind);
  return true;
}

bool TFieldEditModel::toggleDisabled(int index) {
  TField* field = editableField(index);
  if (!field) return false;
  field->Disabled = !field->Disabled;
  return true;
}

bool TFieldEditModel::toggleHidden(int index) {
  TField* field = editableField(index);
  if (!field || field->Disabled) return false;
  field->Hidden = !field->Hidden;
  return true;
}

bool TFieldEditModel::toggleLocked(int index) {
  TField* field = editableField(index);
  if (!field) return false;
  field->Locked = !field->Locked;
  return true;
}

bool TFieldEditModel::toggleAlignment(int index, std::uint8_t bit) {
  TField* field = editableField(index);
  if (!field) return false;
  field->Alignment ^= bit;
  return true;
}

bool TFieldEditModel::toggleFixed(int index) {
  if (index < 0 || index >= count()) return false;
  copy_.Fixed = index + 1 <= copy_.Fixed ? index : index + 1;
  return true;
}

bool TFieldEditModel::setMaxDecimals(int index, int decimals) {
  TField* field = editableField(index);
  if (!field || decimals < 0 || decimals > 15) return false;
  field->MaxDecimals = static_cast<std::uint8_t>(decimals);
  return true;
}

bool TFieldEditModel::toggleFixedDecimals(int index) {
  TField* field = editableField(index);
  if (!field) return false;
  field->FixedDecimals = !field->FixedDecimals;
  return true;
}

bool TFieldEditModel::setTrail(int index, const std::string& trail) {
  TField* field = editableField(index);
  if (!field) return false;
  field->Trail = trail;
  return true;
}

bool TFieldEditModel::setFormatFont(int index, bool conditional, const TFontProperties& font) {
  TField* field = editableField(index);
  if (!field) return false;
  if (conditional) field->ConditionalFormat->assignFont(font);
  else field->Format->assignFont(font);
  return true;
}

bool TFieldEditModel::setFormatFill(int index, bool conditional, std::int32_t color) {
  TField* field = editableField(index);
  if (!field) return false;
  TFontAndFillProps& format = conditional ? *field->ConditionalFormat : *field->Format;
  format.setFillColor(color);
  return true;
}

bool TFieldEditModel::setThreshold(int index, bool ifAbove, double threshold) {
  TField* field = editableField(index);
  if (!field) return false;
  field->ConditionalFormat->setCondition(ifAbove, threshold);
  return true;
}

bool TFieldEditModel::clearFormat(int index, bool conditional) {
  TField* field = editableField(index);
  if (!field) return false;
  if (conditional) field->ConditionalFormat->setDefaults();
  else field->Format->setDefaults();
  return true;
}

bool TFieldEditModel::editCell(int index, int column, const std::string& text, std::string& stored) {
  TField* field = editableField(index);
  if (!field || column < 1 || column > columnCount) return false;
  std::string cleaned = text;
  cleaned.erase(0, cleaned.find_first_not_of(' '));
  cleaned.erase(0, cleaned.find_first_not_of('='));
  cleaned.erase(cleaned.find_last_not_of(" \t\r\n") + 1);
  switch (column) {
    case 1:
      // The symbol names the objects' property in their files, where "="
      // ends a name.
      if (cleaned.find('=') != std::string::npos) return false;
      field->setSymbol(cleaned);
      stored = field->Symbol;
      break;
    case 2: field->setHeader(cleaned); stored = field->Header; break;
    case 3: field->Content = cleaned; stored = field->Content; break;
    default: field->setTestContent(cleaned); stored = field->TestContent; break;
  }
  return true;
}

TFieldToolState TFieldEditModel::toolState(int index) const {
  TFieldToolState state;
  const TField* field = copy_.items(index);
  if (!field) return state;
  const bool editable = field->EditableDefinition;
  state.fieldRow = true;
  state.deleteEnabled = editable;
  state.upEnabled = index > 0;
  state.downEnabled = index + 1 < count();
  state.editEnabled = editable;
  state.hiddenEnabled = editable && !field->Disabled;
  state.decimalsEnabled = editable && decimalsKind(field->Kind);
  state.trailEnabled = editable && trailKind(field->Kind);
  state.conditionalEnabled = editable && conditionalKind(field->Kind);
  state.kind = field->Kind;
  state.disabledDown = field->Disabled;
  state.hiddenDown = field->Hidden;
  state.leftDown = (field->Alignment & fieldAlignLeft) != 0;
  state.rightDown = (field->Alignment & fieldAlignRight) != 0;
  state.topDown = (field->Alignment & fieldAlignTop) != 0;
  state.bottomDown = (field->Alignment & fieldAlignBottom) != 0;
  state.fixedDown = index < copy_.Fixed;
  state.lockedDown = field->Locked;
  return state;
}

std::string TFieldEditModel::asText() const {
  std::string text;
  for (const auto& field : copy_.Fields)
    text += field->Symbol + '\t' + field->Header + '\t' + field->Content + '\t' + field->TestContent + '\n';
  return text;
}

bool TFieldEditModel::fromText(const std::string& text, std::string& message) {
  std::vector<std::string> lines = splitAt(text, '\n');
  // The text ends where only blank lines follow an empty one.
  size_t used = lines.size();
  while (used > 0 && trimmedOf(lines[used - 1], " \t\r").empty()) --used;
  lines.resize(used);
  for (int index = static_cast<int>(lines.size()); index < count(); ++index) {
    if (!editable(index)) {
      message = "The text has fewer lines than there are fields, and field \"" + copy_.items(index)->Symbol +
                "\" cannot be deleted.";
      return false;
    }
  }
  for (size_t line = 0; line < lines.size(); ++line) {
    const int index = static_cast<int>(line);
    if (index >= count() && copy_.insertField(index) != 0) {
      message = "The text has more lines than a field table can hold.";
      return false;
    }
    std::vector<std::string> parts = splitAt(lines[line], '\t');
    parts.resize(columnCount);
    TField& field = *copy_.items(index);
    field.setSymbol(trimmedOf(parts[0], " \t\r"));
    field.setHeader(trimmedOf(parts[1], " \t\r"));
    field.Content = trimmedOf(parts[2], " \t\r");
    field.setTestContent(trimmedOf(parts[3], " \t\r"));
  }
  while (count() > static_cast<int>(lines.size())) copy_.deleteField(count() - 1);
  return true;
}

void TFieldEditModel::fillSheet(TSheet& sheet) const {
  const int currentCol = sheet.currentCol;
  const int currentRow = sheet.currentRow;
  sheet.clearCells();
  sheet.setColCount(columnCount);
  sheet.setRowCount(count() + 1);
  for (int column = 1; column <= columnCount; ++column)
    sheet.setCellContent(column, 1, 0, columnTitles[column - 1], stringCell);
  TFontProperties whiteFont = sheet.defaultFont;
  whiteFont.color = clWhite;
  for (int index = 0; index < count(); ++index) {
    const TField& field = *copy_.items(index);
    const int row = index + 2;
    const std::string* texts[3] = {&field.Symbol, &field.Header, &field.Content};
    const TColor fill = field.Disabled ? clBlack : field.Hidden ? clGray : field.Locked ? clWindow : clRed;
    for (int column = 1; column <= 3; ++column) {
      sheet.setCellContent(column, row, 0, *texts[column - 1], stringCell);
      TCell* cell = sheet.getCell(column, row);
      if (!cell) continue;
      cell->setFillColor(fill);
      if (field.Disabled) cell->setFont(&whiteFont);
    }
    const std::uint8_t cellType = testCellType(field.Kind);
    if (cellType != 0) {
      sheet.setCellContent(4, row, field.Alignment, field.TestContent, cellType);
      if (TCell* cell = sheet.getCell(4, row)) {
        if (TDecimalsFormatting* decimals = cell->decimalsFormatting()) {
          decimals->maxDecimals = std::min<std::uint8_t>(field.MaxDecimals, 15);
          decimals->fixedDecimals = field.FixedDecimals;
        }
        if (TNumberFormatting* number = cell->numberFormatting()) number->trail = field.Trail;
        if (field.Format->Enabled) {
          TFontProperties font = sheet.defaultFont;
          field.Format->applyToFont(font);
          cell->setFont(&font);
          cell->setFillColor(field.Format->FillColor);
        }
        if (field.ConditionalFormat->Enabled) {
          TFontProperties font = sheet.defaultFont;
          field.ConditionalFormat->applyToFont(font);
          cell->setConditionalFont(&font);
          cell->setConditionalFillColor(field.ConditionalFormat->FillColor);
          cell->setThreshold(field.ConditionalFormat->IfAboveThreshold, field.ConditionalFormat->Threshold);
        }
      }
    }
    if (field.EditorRowHeight >= 0) sheet.setRowHeight(row, field.EditorRowHeight);
  }
  sheet.currentCol = currentCol;
  sheet.currentRow = currentRow;
}
