#include "controls/InPlaceEditors.h"

#include <commctrl.h>

#include <cmath>

#include "model/FontProperties.h"
#include "platform/CalendarDates.h"
#include "platform/Canvas.h"
#include "platform/DateTime.h"

namespace {

bool acceptOrCancel(WORD& key, TShiftState shift, TEditorKeys& keys) {
  if (key == VK_RETURN && !(shift & ssCtrl)) {
    key = 0;
    if (keys.onAccept) keys.onAccept();
    return true;
  }
  if (key == VK_ESCAPE) {
    key = 0;
    if (keys.onCancel) keys.onCancel();
    return true;
  }
  return false;
}

// Enter and Esc were handled at their key-down; their characters would only
// beep or break the line.
void swallowEnterAndEsc(char& key) {
  if (key == '\r' || key == 27) key = 0;
}

}  // namespace

TFont fontOf(const TFontProperties& properties) {
  TFont font(properties.name, properties.size, properties.style);
  font.setColor(properties.color);
  return font;
}

// ---- Edit and memo ----

TInPlaceEdit::TInPlaceEdit(TControl* parent, bool multiLine, TEditorKeys& keys)
    : TEdit(parent, multiLine ? ES_MULTILINE | ES_AUTOVSCROLL : ES_AUTOHSCROLL), keys_(keys) {
  SetWindowLongA(handle(), GWL_EXSTYLE, GetWindowLongA(handle(), GWL_EXSTYLE) & ~WS_EX_CLIENTEDGE);
  SetWindowPos(handle(), nullptr, 0, 0, multiLine ? 97 : 81, 21, SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
  setTabStop(false);
  setColor(clWindow);
}

void TInPlaceEdit::caretToEnd() {
  const int length = GetWindowTextLengthA(handle());
  SendMessageA(handle(), EM_SETSEL, length, length);
  SendMessageA(handle(), EM_SCROLLCARET, 0, 0);
}

int TInPlaceEdit::lineCount() const { return static_cast<int>(SendMessageA(handle(), EM_GETLINECOUNT, 0, 0)); }

LRESULT TInPlaceEdit::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_GETDLGCODE) return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
  return TEdit::handleMessage(message, wParam, lParam);
}

void TInPlaceEdit::keyDown(WORD& key, TShiftState shift) {
  if (!acceptOrCancel(key, shift, keys_)) TControl::keyDown(key, shift);
}

void TInPlaceEdit::keyPress(char& key) {
  swallowEnterAndEsc(key);
  if (key == '\t') key = 0;  // Tab is no text in a cell
  if (key) TControl::keyPress(key);
}

void TInPlaceEdit::doubleClick() {
  if (keys_.onAccept) keys_.onAccept();
}

// ---- Date-time picker ----

TInPlacePicker::TInPlacePicker(TControl* parent, bool timeMode, TEditorKeys& keys)
    : TControl(parent), timeMode_(timeMode), keys_(keys) {
  TWindowParams params;
  params.className = DATETIMEPICK_CLASSA;
  params.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | (timeMode ? DTS_TIMEFORMAT | DTS_UPDOWN : DTS_SHORTDATEFORMAT);
  params.bounds = RECT{-3, -3, 99, 22};
  createWindow(params);
  setValue(36526.0);  // 1 January 2000, 00:00:00
}

void TInPlacePicker::setValue(double dateTime) {
  SYSTEMTIME time{};
  int year = 2000, month = 1, day = 1;
  decodeDate(dateTime, year, month, day);
  int hour = 0, minute = 0, second = 0, millisecond = 0;
  decodeTime(dateTime, hour, minute, second, millisecond);
  time.wYear = static_cast<WORD>(year);
  time.wMonth = static_cast<WORD>(month);
  time.wDay = static_cast<WORD>(day);
  time.wHour = static_cast<WORD>(hour);
  time.wMinute = static_cast<WORD>(minute);
  time.wSecond = static_cast<WORD>(second);
  SendMessageA(handle(), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

double TInPlacePicker::pickedDay() const {
  SYSTEMTIME time{};
  SendMessageA(handle(), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
  double day = 0.0;
  encodeDate(time.wYear, time.wMonth, time.wDay, day);
  return day;
}

double TInPlacePicker::pickedTime() const {
  SYSTEMTIME time{};
  SendMessageA(handle(), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
  double fraction = 0.0;
  encodeTime(time.wHour, time.wMinute, time.wSecond, 0, fraction);
  return fraction;
}

LRESULT TInPlacePicker::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // Enter and Esc end the edit, not the form's default or cancel button.
  if (message == WM_GETDLGCODE) return TControl::handleMessage(message, wParam, lParam) | DLGC_WANTALLKEYS;
  return TControl::handleMessage(message, wParam, lParam);
}

void TInPlacePicker::keyDown(WORD& key, TShiftState shift) {
  // With the calendar open, Enter and Esc belong to it.
  if (calendarOpen_ || !acceptOrCancel(key, shift, keys_)) TControl::keyDown(key, shift);
}

void TInPlacePicker::keyPress(char& key) {
  swallowEnterAndEsc(key);
  if (key) TControl::keyPress(key);
}

bool TInPlacePicker::notificationReceived(NMHDR& header, LRESULT& result) {
  switch (header.code) {
    case DTN_DROPDOWN:
      calendarOpen_ = true;
      break;
    case DTN_CLOSEUP:
      calendarOpen_ = false;
      break;
    case DTN_DATETIMECHANGE:
      if (onChange) onChange();
      break;
    default:
      return false;
  }
  result = 0;
  return true;
}

// ---- Panels, preview and button ----

TEditorPanel::TEditorPanel(TControl* parent) : TPanel(parent) {
  setBevelOuter(TBevelCut::none);
  setBounds(-100, -100, 97, 21);
  setColor(clWindow);
}

TImagePreview::TImagePreview(TControl* parent) : TControl(parent) {
  TWindowParams params;
  params.bounds = RECT{0, 0, 25, 21};
  createWindow(params);
  setColor(clWindow);
}

void TImagePreview::paint(TCanvas& canvas) {
  canvas.fillRect(clientRect(), color());
  if (images && imageIndex >= 0 && imageIndex < ImageList_GetImageCount(images)) {
    ImageList_Draw(images, imageIndex, canvas.handle(), 4, 1, ILD_TRANSPARENT);
  }
}
