#include "windows/TransactionSheet.h"

#include <algorithm>

#include "model/Portfolio.h"
#include "model/Transaction.h"
#include "sheet/FieldTable.h"
#include "sheet/Sheet.h"
#include "windows/TransactionDisplayOrder.h"

namespace {

constexpr std::uint8_t stringKind = 2;
constexpr std::uint8_t firstBoundKind = 20;
constexpr std::uint8_t lastBoundKind = 27;
constexpr int headerLine = 1;

bool isBound(const TField& field) { return field.Kind >= firstBoundKind && field.Kind <= lastBoundKind; }
// Kinds whose text holds a number: their stored text uses "." whatever the
// sheet's separator.
bool holdsNumberText(const TField& field) { return field.Kind == 1 || field.Kind == 3 || field.Kind == 4; }

std::string respelled(std::string text, char from, const std::string& to) {
  if (to.size() != 1 || to[0] == from) return text;
  std::replace(text.begin(), text.end(), from, to[0]);
  return text;
}

}  // namespace

int TTransactionSheet::build(const TPortfolio* portfolio, const TAsset* asset, bool wholePortfolio, bool rowWise,
                             const TTransactionDisplayOrder& order, bool fixedFieldsOn) {
  rowWise_ = rowWise;
  linePositions_.clear();
  sheet_.clearCells();
  sheet_.autoRecalculate = false;
  sheet_.setFixedCols(0);
  sheet_.setFixedRows(0);
  const int fieldCount = fields_.count();
  if (rowWise) {
    sheet_.setColCount(std::max(fieldCount, 1));
    sheet_.setRowCount(1);
  } else {
    sheet_.setColCount(1);
    sheet_.setRowCount(std::max(fieldCount, 1));
  }
  // Shown fields first, then the hidden ones beyond them.
  int position = 0;
  int shown = 0;
  numberPosition_ = -1;
  for (const bool hiddenPass : {false, true})
    for (const auto& field : fields_.Fields) {
      if (hiddenPass == false) field->Position = -1;
      if (field->Disabled || field->Hidden != hiddenPass) continue;
      field->Position = ++position;
      if (!hiddenPass) ++shown;
      sheet_.setCurrentCell(cellCol(position, headerLine), cellRow(position, headerLine));
      sheet_.setCurrentCellContent(stringKind, field->Header, 0);
    }
  for (const auto& field : fields_.Fields)
    if (field->Position > 0 && isBound(*field)) {
      numberPosition_ = field->Position;
      break;
    }
  if (rowWise)
    sheet_.setFixedRows(1);
  else
    sheet_.setFixedCols(1);

  if (portfolio && (wholePortfolio || asset)) {
    const std::vector<int32_t>& numbers = portfolio->TransactionNumbers();
    int line = headerLine;
    for (const int entry : order.linePositions(*portfolio, wholePortfolio, asset)) {
      if (!portfolio->findTransaction(numbers[entry])) continue;
      ++line;
      if (rowWise)
        sheet_.setRowCount(line);
      else
        sheet_.setColCount(line);
      fillLine(*portfolio, numbers[entry], line);
      linePositions_.push_back(entry);
    }
  }

  const int fixed = fixedFieldsOn ? std::min(shown, fields_.shownFixedCount()) : 0;
  if (rowWise) {
    sheet_.setColCount(std::max(shown, 1));
    sheet_.setFixedCols(fixed);
  } else {
    sheet_.setRowCount(std::max(shown, 1));
    sheet_.setFixedRows(fixed);
  }
  sheet_.markAllDirty();
  sheet_.autoRecalculate = true;
  sheet_.recordDependents = true;
  sheet_.stopAtFirstError = false;
  sheet_.recalculateAll(true);
  sheet_.recordDependents = false;
  sheet_.stopAtFirstError = true;
  return shown;
}

void TTransactionSheet::fillLine(const TPortfolio& portfolio, int32_t number, int line) {
  const TTransaction* transaction = portfolio.findTransaction(number);
  const char listSeparator = sheet_.listSeparator.empty() ? ';' : sheet_.listSeparator[0];
  const char decimalSeparator = sheet_.decimalSeparator.empty() ? '.' : sheet_.decimalSeparator[0];
  for (const auto& field : fields_.Fields) {
    if (field->Position <= 0) continue;
    const int col = cellCol(field->Position, line);
    const int row = cellRow(field->Position, line);
    sheet_.setCurrentCell(col, row);
    if (isBound(*field)) {
      sheet_.setCurrentCellContent(field->Kind, std::to_string(number), field->Alignment);
    } else {
      std::string content;
      fields_.translateFormula(field->Content, line, content, {}, {}, listSeparator, decimalSeparator, rowWise_);
      if (!content.empty() && content[0] != '=') content.insert(content.begin(), '=');
      if (!field->Symbol.empty() && (content.empty() || !field->Locked)) {
        std::string own = transaction->getCustomProperty(field->Symbol);
        if (holdsNumberText(*field)) own = respelled(own, '.', sheet_.decimalSeparator);
        if (!own.empty()) content = own;
      }
      sheet_.setCurrentCellContent(field->Kind, content, field->Alignment);
    }
    sheet_.setCurrentCellMaxDecimals(field->MaxDecimals);
    sheet_.setCurrentCellFixedDecimals(field->FixedDecimals);
    sheet_.setCurrentCellTrail(field->Trail);
    sheet_.selection = RECT{col, row, col, row};
    if (field->Format && field->Format->Enabled) {
      TFontProperties font = sheet_.defaultFont;
      field->Format->applyToFont(font);
      sheet_.setSelectionFont(&font);
      sheet_.setSelectionFillColor(field->Format->FillColor);
    }
    if (field->ConditionalFormat && field->ConditionalFormat->Enabled) {
      TFontProperties font = sheet_.defaultFont;
      field->ConditionalFormat->applyToFont(font);
      sheet_.setSelectionConditionalFont(&font);
      sheet_.setSelectionConditionalFillColor(field->ConditionalFormat->FillColor);
      sheet_.setSelectionThreshold(field->ConditionalFormat->IfAboveThreshold, field->ConditionalFormat->Threshold);
    }
    sheet_.setCurrentCellLocked(field->Locked);
  }
  sheet_.selection = RECT{-1, -1, -1, -1};
}

int32_t TTransactionSheet::transactionOnLine(int line) const {
  if (numberPosition_ <= 0 || line <= headerLine) return -1;
  const int col = cellCol(numberPosition_, line);
  const int row = cellRow(numberPosition_, line);
  if (!sheet_.cellHasValue(col, row)) return -1;
  return sheet_.getCellInteger(col, row);
}
