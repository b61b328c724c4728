#include "platform/DateTimePicker.h"

#include <commctrl.h>

#include <cmath>

#include "platform/CalendarDates.h"
#include "platform/DateTime.h"

class TDateTimePicker::TSystemPicker : public TControl {
 public:
  TSystemPicker(TControl* parent, TDateTimePicker& owner, DWORD modeStyle) : TControl(parent), owner_(owner) {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_DATE_CLASSES};
    InitCommonControlsEx(&classes);
    TWindowParams params;
    params.className = DATETIMEPICK_CLASSA;
    params.style = WS_CHILD | WS_TABSTOP | modeStyle;
    createWindow(params);
  }

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    const LRESULT result = TControl::handleMessage(message, wParam, lParam);
    return message == WM_GETDLGCODE && owner_.wantAllKeys ? result | DLGC_WANTALLKEYS : result;
  }
  void keyDown(WORD& key, TShiftState shift) override { owner_.keyDown(key, shift); }
  void keyPress(char& key) override { owner_.keyPress(key); }
  bool notificationReceived(NMHDR& header, LRESULT& result) override {
    switch (header.code) {
      case DTN_DROPDOWN:
        owner_.calendarOpen_ = true;
        break;
      case DTN_CLOSEUP:
        owner_.calendarOpen_ = false;
        break;
      case DTN_DATETIMECHANGE:
        if (owner_.onChange) owner_.onChange();
        break;
      default:
        return false;
    }
    result = 0;
    return true;
  }

 private:
  TDateTimePicker& owner_;
};

TDateTimePicker::TDateTimePicker(TControl* parent) : TControl(parent) {
  TWindowParams params;
  params.style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  params.bounds = {0, 0, 186, 21};
  createWindow(params);
  datePicker_ = &add<TSystemPicker>(*this, DTS_SHORTDATEFORMAT);
  timePicker_ = &add<TSystemPicker>(*this, DTS_TIMEFORMAT);
  resized();
  setKind(TDateTimeKind::date);
}

TControl& TDateTimePicker::shown() const {
  return kind_ == TDateTimeKind::date ? static_cast<TControl&>(*datePicker_) : *timePicker_;
}

void TDateTimePicker::setKind(TDateTimeKind kind) {
  kind_ = kind;
  datePicker_->setVisible(kind == TDateTimeKind::date);
  timePicker_->setVisible(kind == TDateTimeKind::time);
}

void TDateTimePicker::resized() {
  // Creating the window sizes it before the constructor has made the pickers.
  if (!datePicker_ || !timePicker_) return;
  const RECT client = clientRect();
  datePicker_->setBounds(client);
  timePicker_->setBounds(client);
  TControl::resized();
}

double TDateTimePicker::dateTime() const {
  SYSTEMTIME time{};
  if (SendMessageA(shown().handle(), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) != GDT_VALID) return 0;
  double date = 0, fraction = 0;
  encodeDate(time.wYear, time.wMonth, time.wDay, date);
  encodeTime(time.wHour, time.wMinute, time.wSecond, time.wMilliseconds, fraction);
  return combineDateAndTime(date, fraction);
}

void TDateTimePicker::setDateTime(double dateTime) {
  int year, month, day, hour, minute, second, millisecond;
  decodeDate(dateTime, year, month, day);
  decodeTime(dateTime, hour, minute, second, millisecond);
  SYSTEMTIME time{static_cast<WORD>(year),   static_cast<WORD>(month),  0,
                  static_cast<WORD>(day),    static_cast<WORD>(hour),   static_cast<WORD>(minute),
                  static_cast<WORD>(second), static_cast<WORD>(millisecond)};
  SendMessageA(datePicker_->handle(), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
  SendMessageA(timePicker_->handle(), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}
