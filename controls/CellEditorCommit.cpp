#include "controls/CellEditorCommit.h"

#include <cmath>

#include "controls/CellEditorChoice.h"
#include "model/PlainText.h"
#include "model/Transaction.h"
#include "platform/CalendarDates.h"
#include "platform/DateTime.h"
#include "platform/DateTimePicker.h"
#include "sheet/MacroCallout.h"
#include "sheet/Sheet.h"
#include "sheet/ValueCells.h"

namespace {

bool writable(const TSheet& sheet) {
  return sheet.hasCurrentCell() && sheet.currentCell() && !sheet.currentCellLocked();
}

// The kind a bound numeric property converts a text to; 0 for a text
// property.
std::uint8_t boundNumericKind(std::uint8_t code) {
  if (code == cellTransactionNumber) return valueInteger;
  if ((code >= cellPercentStocks && code < cellTransactionNumber) ||
      (code >= cellTransactionUnits && code <= cellTransactionFees)) {
    return valueNumber;
  }
  return 0;
}

// Runs the write and reports whether the cell's or property's text changed.
template <class Write>
TCellWrite writeAndCompare(TSheet& sheet, bool bound, Write write) {
  const TCellEditorChoice choice{TCellEditorKind::none, bound, false};
  const std::string before = currentEditableText(sheet, choice);
  const std::uint8_t typeBefore = sheet.currentCellType();
  write();
  const bool changed = currentEditableText(sheet, choice) != before || sheet.currentCellType() != typeBefore;
  return changed ? TCellWrite::written : TCellWrite::nothing;
}

}  // namespace

TCellWrite commitEditorText(TSheet& sheet, std::uint8_t typeCode, const std::string& text, bool numberRequired,
                            const TBoundNumberVeto& veto, std::string* unreadable) {
  if (!writable(sheet)) return TCellWrite::nothing;
  const std::uint8_t code = typeCode & 0x7F;
  const TCellEditorChoice choice = chooseCellEditor(code);
  double number = 0.0;
  // Read as the cells read a typed number: a date or a time is no number
  // here, since where the date separator groups thousands a misplaced one
  // ("1.5") would read as a day number thousands of times off.
  const auto readsAs = [&](std::uint8_t kind) {
    const std::string entry = trimmedText(text);
    std::int32_t integer = 0;
    if (kind == valueInteger ? readCellInteger(&sheet, entry, integer) : readCellNumber(&sheet, entry, number))
      return true;
    if (unreadable)
      *unreadable = "\"" + text +
                    "\" is no number this cell can keep. Type a number, or press Esc to leave the cell as it was.";
    return false;
  };
  if (choice.bound) {
    const std::uint8_t kind = boundNumericKind(code);
    if (kind && !readsAs(kind)) return TCellWrite::refused;
    if (kind == valueNumber && veto && veto(number)) return TCellWrite::refused;
    return writeAndCompare(sheet, true, [&] { sheet.setCurrentObjectText(text); });
  }
  switch (code) {
    case cellNumber:
    case cellInteger:
      if (numberRequired && !text.empty() && !readsAs(code == cellInteger ? valueInteger : valueNumber))
        return TCellWrite::refused;
      [[fallthrough]];
    case cellString:
    case cellCurrency:
    case cellImage: {
      const std::uint8_t alignment = sheet.currentCell()->alignment;
      // Typed anew: a macro function the user stopped may run again.
      TMacroRetry retry;
      return writeAndCompare(sheet, false, [&] { sheet.setCurrentCellContent(code, text, alignment); });
    }
    default:
      return TCellWrite::nothing;
  }
}

TCellWrite clearCurrentCell(TSheet& sheet) {
  if (!sheet.hasCurrentCell() || sheet.currentCellLocked()) return TCellWrite::nothing;
  const std::uint8_t code = sheet.currentCellType() & 0x7F;
  if (!sheet.currentCell()) return TCellWrite::nothing;
  switch (code) {
    case cellPortfolioName:
    case cellPortfolioSymbol:
    case cellPortfolioCurrency:
    case cellAssetName:
    case cellAssetSymbol:
    case cellAssetCurrency:
    case cellTransactionDate:
    case cellTransactionTime:
    case cellTransactionFlag:
      return writeAndCompare(sheet, true, [&] { sheet.setCurrentObjectText(std::string()); });
    case cellTransactionNumber:
      return writeAndCompare(sheet, true, [&] { sheet.setCurrentObjectInteger(-1); });
    case cellTransactionSoft:
      return writeAndCompare(sheet, true, [&] { sheet.setCurrentObjectInteger(0); });
    default:
      if (boundNumericKind(code)) return writeAndCompare(sheet, true, [&] { sheet.setCurrentObjectNumber(0.0); });
      return writeAndCompare(sheet, false, [&] { sheet.setCurrentCellString(std::string()); });
  }
}

TCellWrite toggleCurrentCell(TSheet& sheet, std::uint8_t typeCode) {
  if (!writable(sheet)) return TCellWrite::nothing;
  switch (typeCode & 0x7F) {
    case cellBoolean:
      sheet.setCurrentCellInteger(sheet.currentCellInteger() != 0 ? 0 : 1);
      return TCellWrite::written;
    case cellTransactionSoft:
      sheet.setCurrentObjectInteger(sheet.currentObjectInteger() != 0 ? 0 : 1);
      return TCellWrite::written;
    default:
      return TCellWrite::nothing;
  }
}

TCellWrite writeCurrentCellColor(TSheet& sheet, std::int32_t color) {
  if (!writable(sheet)) return TCellWrite::nothing;
  return writeAndCompare(sheet, false, [&] { sheet.setCurrentCellInteger(color); });
}

bool pickerCanShow(double dateTime) {
  return std::isfinite(dateTime) && dateTime >= firstPickerDay && dateTime < lastPickerDay + 1;
}

TPickerValue openingPickerValue(const TSheet& sheet, std::uint8_t typeCode) {
  const TCellEditorChoice choice = chooseCellEditor(typeCode);
  TPickerValue opening;
  opening.value = choice.bound ? sheet.currentObjectNumber() : sheet.currentCellNumber();
  if (choice.bound && (typeCode & 0x7F) == cellTransactionTime) {
    // The bound time is the fraction alone; its day is no part of the edit.
    opening.value = opening.value - std::trunc(opening.value);
  }
  opening.shown = pickerCanShow(opening.value);
  return opening;
}

bool pickedCellValue(const TPickerValue& opening, bool timeMode, double pickedDay, double pickedTime,
                     double& result) {
  const double day = opening.shown ? std::trunc(opening.value) : 0.0;
  const double timeOfDay = opening.shown ? std::fabs(opening.value - day) : 0.0;
  if (!timeMode) {
    if (opening.shown && pickedDay == day) return false;
    result = combineDateAndTime(pickedDay, timeOfDay);
    return true;
  }
  int hour = 0, minute = 0, second = 0, millisecond = 0;
  int pickedHour = 0, pickedMinute = 0, pickedSecond = 0;
  decodeTime(timeOfDay, hour, minute, second, millisecond);
  decodeTime(pickedTime, pickedHour, pickedMinute, pickedSecond, millisecond);
  // The picker shows whole seconds: milliseconds it cannot show are no change.
  if (opening.shown && hour == pickedHour && minute == pickedMinute && second == pickedSecond) return false;
  result = combineDateAndTime(day, pickedTime);
  return true;
}

TCellWrite commitPickedValue(TSheet& sheet, std::uint8_t typeCode, double value, const TBoundNumberVeto& veto) {
  if (!writable(sheet)) return TCellWrite::nothing;
  switch (typeCode & 0x7F) {
    case cellDate:
    case cellTime:
      sheet.setCurrentCellNumber(value);
      return TCellWrite::written;
    case cellTransactionDate:
      if (!transactionCanHold(std::trunc(value))) return TCellWrite::refused;
      if (veto && veto(std::trunc(value))) return TCellWrite::refused;
      sheet.setCurrentObjectNumber(std::trunc(value));
      return TCellWrite::written;
    case cellTransactionTime: {
      const double time = std::fabs(value - std::trunc(value));
      if (veto && veto(time)) return TCellWrite::refused;
      sheet.setCurrentObjectNumber(time);
      return TCellWrite::written;
    }
    default:
      return TCellWrite::nothing;
  }
}

std::string refusalText(std::uint8_t typeCode) {
  if ((typeCode & 0x7F) == cellTransactionDate)
    return "A transaction can be dated from 30 December 1899 to 31 December 9999. The date stays as it was.";
  return std::string();
}
