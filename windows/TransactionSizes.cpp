#include "windows/TransactionSizes.h"

#include <algorithm>
#include <string>

#include "model/Portfolio.h"
#include "model/Transaction.h"
#include "sheet/FieldTable.h"
#include "sheet/NumberText.h"
#include "sheet/Props.h"
#include "sheet/Sheet.h"

namespace {

constexpr int headerLine = 1;
constexpr int firstLine = 2;
constexpr const char* rowHeightKey = "RowHeight";
constexpr const char* colWidthKey = "ColWidth";

bool shown(const TField& field) { return !field.Hidden && !field.Disabled && field.Position >= 1; }

// The size a transaction holds for its line, 0 when it holds none that reads.
int32_t storedSize(const TTransaction& transaction, const char* key) {
  int32_t size = 0;
  return textToIntStrict(transaction.getExternalProperty(key), size) && size >= 1 ? size : 0;
}

// The size the line takes from it, as the sheet shows it.
int storedLineSize(const TTransaction& transaction, const char* key, int defaultSize) {
  const int32_t size = storedSize(transaction, key);
  return size >= 1 ? std::max(TProps::minimumSize, static_cast<int>(size)) : defaultSize;
}

}  // namespace

void captureTransactionSizes(const TSheet& sheet, TFieldTable& fields, const TPortfolio& portfolio,
                             const std::vector<int32_t>& lineNumbers, bool rowWise) {
  // The layout not shown keeps its sizes: only unset ones take the defaults.
  fields.defaultMissingSizes(sheet.getDefaultRowHeight(), sheet.getDefaultColWidth());
  if (rowWise)
    fields.RowWiseFixedHeight = sheet.getRowHeight(headerLine);
  else
    fields.ColWiseFixedWidth = sheet.getColWidth(headerLine);
  for (const auto& field : fields.Fields) {
    if (!shown(*field)) continue;
    if (rowWise)
      field->RowWiseWidth = sheet.getColWidth(field->Position);
    else
      field->ColWiseHeight = sheet.getRowHeight(field->Position);
  }
  for (size_t i = 0; i < lineNumbers.size(); ++i) {
    TTransaction* transaction = portfolio.findTransaction(lineNumbers[i]);
    if (!transaction) continue;
    const int line = firstLine + static_cast<int>(i);
    if (rowWise)
      transaction->setViewSize(rowHeightKey, sheet.getRowHeight(line),
                               storedLineSize(*transaction, rowHeightKey, sheet.getDefaultRowHeight()));
    else
      transaction->setViewSize(colWidthKey, sheet.getColWidth(line),
                               storedLineSize(*transaction, colWidthKey, sheet.getDefaultColWidth()));
  }
}

void applyTransactionSizes(TSheet& sheet, const TFieldTable& fields, const TPortfolio* portfolio,
                           const std::vector<int32_t>& lineNumbers, bool rowWise) {
  sheet.clearSizes();
  if (rowWise)
    sheet.setRowHeight(headerLine, fields.RowWiseFixedHeight);
  else
    sheet.setColWidth(headerLine, fields.ColWiseFixedWidth);
  for (const auto& field : fields.Fields) {
    if (!shown(*field)) continue;
    if (rowWise)
      sheet.setColWidth(field->Position, field->RowWiseWidth >= 1 ? field->RowWiseWidth : fields.DefaultRowWiseWidth);
    else
      sheet.setRowHeight(field->Position,
                         field->ColWiseHeight >= 1 ? field->ColWiseHeight : fields.DefaultColWiseHeight);
  }
  if (!portfolio) return;
  for (size_t i = 0; i < lineNumbers.size(); ++i) {
    const TTransaction* transaction = portfolio->findTransaction(lineNumbers[i]);
    if (!transaction) continue;
    const int32_t size = storedSize(*transaction, rowWise ? rowHeightKey : colWidthKey);
    if (size < 1) continue;
    const int line = firstLine + static_cast<int>(i);
    if (rowWise)
      sheet.setRowHeight(line, size);
    else
      sheet.setColWidth(line, size);
  }
}
