#pragma once
#include <cstdint>
#include <functional>
#include <string>

class TSheet;

// What a write through the grid came to. Only "written" is reported to the
// host as an edited value; a refused text keeps its editor open.
enum class TCellWrite { nothing, written, refused };

// A host's veto over the number about to be written into a bound
// property: true refuses it.
using TBoundNumberVeto = std::function<bool(double number)>;

// Writes an edit, memo, currency or image editor's text into the current
// cell of the type code (or its bound property). A bound numeric property
// refuses a text that does not read as a number, and a number the veto
// refuses; a value cell takes any text the way typing does (a number, else a
// formula), unless numberRequired: then it refuses a text that is no number,
// as a bound number does. A text refused for being no number the cell can
// keep (none at all, or beyond what a number holds) puts why into
// unreadable, for the user who is to correct it.
TCellWrite commitEditorText(TSheet& sheet, std::uint8_t typeCode, const std::string& text,
                            bool numberRequired = false, const TBoundNumberVeto& veto = {},
                            std::string* unreadable = nullptr);

// Delete on the current cell: the bound property's empty value, or an empty
// string for a value cell. Nothing for a locked cell or no current cell.
TCellWrite clearCurrentCell(TSheet& sheet);

// Boolean cells and the transaction soft flag are negated in place.
TCellWrite toggleCurrentCell(TSheet& sheet, std::uint8_t typeCode);

// The colour dialog's choice written as the cell's integer.
TCellWrite writeCurrentCellColor(TSheet& sheet, std::int32_t color);

// The date-time picker's side of a date or time cell.
struct TPickerValue {
  bool shown = false;  // the cell's value lies in the picker's range
  double value = 0.0;  // the cell's value (date and time)
};

// The value the date editor opens with: the cell's value or the bound
// transaction date or time.
TPickerValue openingPickerValue(const TSheet& sheet, std::uint8_t typeCode);

// The value to write when the picker closes, false when nothing is to be
// written: the picked day (date mode) or time of day (time mode) replaces
// that part of the opening value and keeps the other; an unchanged picker
// writes nothing, so a formula or a time part the picker does not show
// survive a visit.
bool pickedCellValue(const TPickerValue& opening, bool timeMode, double pickedDay, double pickedTime,
                     double& result);

// Writes the picked value into the current cell or its bound property; a
// transaction date the model cannot hold is refused, as is a bound date or
// time (the day, or the time of day) the veto refuses.
TCellWrite commitPickedValue(TSheet& sheet, std::uint8_t typeCode, double value,
                             const TBoundNumberVeto& veto = {});

// Why a picked value of the type code was refused, for a message; empty
// where a beep says enough. A typed text that is no number says its own why
// (see commitEditorText).
std::string refusalText(std::uint8_t typeCode);

// Day numbers the picker can show (1 January 1753 to 31 December 9999).
bool pickerCanShow(double dateTime);
