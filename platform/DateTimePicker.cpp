#include "platform/DateTimePicker.h"

#include <commctrl.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <windowsx.h>

#include "platform/Application.h"
#include "platform/CalendarDates.h"
#include "platform/DateTime.h"

namespace {

// Windows' picker selects its first field when it takes the focus; Wine's
// selects none until an arrow key, and the digits typed meanwhile are lost.
bool pickerTakesFocusWithoutAField() {
  static const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
}

// The marks between the fields ("/", ".", ":", the space before AM/PM):
// typed as a date or time is written, each moves on to the next field.
bool separatesFields(char key) { return key == ' ' || std::ispunct(static_cast<unsigned char>(key)); }

}  // namespace

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
  ~TSystemPicker() override { stopWatchingCalendarKeys(); }
  TSystemPicker(const TSystemPicker&) = delete;
  TSystemPicker& operator=(const TSystemPicker&) = delete;

  // Wine's picker holds the digits typed into a field until the field is
  // full or left, and answers the value without them: leaving the field and
  // coming back takes them in.
  void takeTypedDigits() {
    if (!focused()) return;
    defaultHandling(WM_KEYDOWN, VK_RIGHT, 1);
    defaultHandling(WM_KEYDOWN, VK_LEFT, 1);
  }

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    const bool doubleClicked = message == WM_LBUTTONDOWN && secondPressOfDoubleClick(lParam);
    const LRESULT result = TControl::handleMessage(message, wParam, lParam);
    // After the picker's own press handling, which takes the focus.
    if (doubleClicked) owner_.doubleClick();
    if (message == WM_SETFOCUS && pickerTakesFocusWithoutAField()) nextField();
    return message == WM_GETDLGCODE && owner_.wantAllKeys ? result | DLGC_WANTALLKEYS : result;
  }
  void doubleClick() override { owner_.doubleClick(); }
  void keyDown(WORD& key, TShiftState shift) override { owner_.keyDown(key, shift); }
  void keyPress(char& key) override {
    owner_.keyPress(key);
    if (key == 0 || !separatesFields(key)) return;
    key = 0;
    nextField();
  }
  bool notificationReceived(NMHDR& header, LRESULT& result) override {
    switch (header.code) {
      case DTN_DROPDOWN:
        owner_.calendarOpen_ = true;
        watchCalendarKeys();
        break;
      case DTN_CLOSEUP:
        calendarClosed();
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
  // The system's picker class asks for no double-clicks: two presses in the
  // system's time and place make one here.
  bool secondPressOfDoubleClick(LPARAM lParam) {
    const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const DWORD now = GetMessageTime();
    const bool second = lastPressTime_ != 0 && now - lastPressTime_ <= GetDoubleClickTime() &&
                        std::abs(at.x - lastPress_.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                        std::abs(at.y - lastPress_.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    lastPressTime_ = second ? 0 : (now == 0 ? 1 : now);
    lastPress_ = at;
    return second;
  }

  // As Right moves it, past the key events of the picker's users.
  void nextField() { defaultHandling(WM_KEYDOWN, VK_RIGHT, 1); }

  // The open calendar is a window of its own with the keyboard. Wine's
  // ignores Esc, and Alt+F4 there closed the calendar for good (the picker
  // showed none again) instead of the window; both are the picker's here.
  void watchCalendarKeys() {
    calendar_ = reinterpret_cast<HWND>(SendMessageA(handle(), DTM_GETMONTHCAL, 0, 0));
    if (calendar_ == nullptr || calendarKeysHook_ != 0) return;
    calendarKeysHook_ = application().addMessageHook([this](MSG& message) {
      if (message.hwnd != calendar_) return false;
      const bool escape = message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE;
      const bool close = message.message == WM_SYSKEYDOWN && message.wParam == VK_F4;
      if (!escape && !close) return false;
      closeCalendar();
      // Alt+F4 goes on as the picker's own: the window is asked to close.
      message.hwnd = handle();
      return escape;
    });
  }

  void stopWatchingCalendarKeys() {
    if (calendarKeysHook_ != 0) application().removeMessageHook(calendarKeysHook_);
    calendarKeysHook_ = 0;
  }

  // Closes without a pick, the date kept. Wine's picker knows no request to
  // close its calendar: it is hidden as a second press on the button hides
  // it.
  void closeCalendar() {
    SendMessageA(handle(), DTM_CLOSEMONTHCAL, 0, 0);
    if (IsWindowVisible(calendar_)) ShowWindow(calendar_, SW_HIDE);
    calendarClosed();
  }

  void calendarClosed() {
    owner_.calendarOpen_ = false;
    stopWatchingCalendarKeys();
    // Wine's calendar, hidden, keeps the keyboard and the activation (its
    // picker even hands them back to it after telling of the close): the
    // keys typed next reached nothing, and the first Alt+F4 only closed the
    // hidden calendar.
    const HWND calendar = calendar_;
    const HWND picker = handle();
    const auto takeKeysBack = [calendar, picker] {
      if (calendar != nullptr && GetFocus() == calendar && !IsWindowVisible(calendar) && IsWindow(picker))
        SetFocus(picker);
    };
    takeKeysBack();
    application().postDeferred(takeKeysBack);
  }

  TDateTimePicker& owner_;
  DWORD lastPressTime_ = 0;
  POINT lastPress_{};
  HWND calendar_ = nullptr;
  int calendarKeysHook_ = 0;
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

void TDateTimePicker::setFillColor(TColor color) {
  setColor(color);
  datePicker_->setColor(color);
  timePicker_->setColor(color);
}

LRESULT TDateTimePicker::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // The frame takes no keys: the keys given to it go to the picker shown.
  if (message == WM_SETFOCUS && shown().canFocus()) {
    shown().setFocus();
    return 0;
  }
  return TControl::handleMessage(message, wParam, lParam);
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
  (kind_ == TDateTimeKind::date ? datePicker_ : timePicker_)->takeTypedDigits();
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
