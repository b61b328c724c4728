#include "controls/CellEditorChoice.h"

#include "model/PlainText.h"
#include "sheet/Sheet.h"

TCellEditorChoice chooseCellEditor(std::uint8_t typeCode) {
  using enum TCellEditorKind;
  switch (typeCode & 0x7F) {
    case cellNumber:
    case cellInteger:
      return {number, false, false};
    case cellString:
      return {text, false, true};
    case cellDate:
      return {date, false, false};
    case cellTime:
      return {time, false, false};
    case cellBoolean:
      return {toggle, false, false};
    case cellCurrency:
      return {currency, false, true};
    case cellColor:
      return {color, false, false};
    case cellImage:
      return {image, false, true};
    case cellPortfolioName:
    case cellPortfolioSymbol:
    case cellAssetName:
    case cellAssetSymbol:
    case cellTransactionFlag:
      return {text, true, true};
    case cellPortfolioCurrency:
    case cellAssetCurrency:
      return {currency, true, false};
    case cellTransactionDate:
      return {date, true, false};
    case cellTransactionTime:
      return {time, true, false};
    case cellTransactionSoft:
      return {toggle, true, false};
    default:
      break;
  }
  const std::uint8_t code = typeCode & 0x7F;
  if ((code >= cellPercentStocks && code <= cellTransactionNumber) ||
      (code >= cellTransactionUnits && code <= cellTransactionFees)) {
    return {number, true, false};
  }
  return {};
}

std::string currentEditableText(const TSheet& sheet, const TCellEditorChoice& choice) {
  if (!choice.bound) {
    // The formula when there is one: the editor must not turn it into its value.
    const TCell* cell = sheet.currentCell();
    return cell ? cell->getEditText() : std::string();
  }
  std::string text;
  sheet.getCurrentObjectText(text);
  return text;
}

std::string openingEditorText(const TSheet& sheet, std::uint8_t typeCode, const std::string& initialText) {
  const TCellEditorChoice choice = chooseCellEditor(typeCode);
  const std::string typed = trimmedText(initialText);
  switch (choice.kind) {
    case TCellEditorKind::text:
      // Typing into a text goes on from its end.
      return currentEditableText(sheet, choice) + typed;
    case TCellEditorKind::image:
      return currentEditableText(sheet, choice);
    case TCellEditorKind::number:
    case TCellEditorKind::currency:
      return typed.empty() ? currentEditableText(sheet, choice) : typed;
    default:
      return std::string();
  }
}
