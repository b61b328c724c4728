#pragma once
#include <functional>

#include "platform/Control.h"

enum class TDateTimeKind { date, time };

// The days a picker shows: 1 January 1753 to 31 December 9999. The system's
// calendar knows no earlier day, and a day it cannot show it silently
// refuses, leaving the picker on its last day.
constexpr double firstPickerDay = -53688.0;
constexpr double lastPickerDay = 2958465.0;

// The system's date and time picker: a date with a drop-down calendar, or a
// time of day with spin buttons. The system fixes the mode of its control at
// creation, so the picker holds one of each and shows the one in use.
class TDateTimePicker : public TControl {
 public:
  explicit TDateTimePicker(TControl* parent);

  TDateTimeKind kind() const { return kind_; }
  void setKind(TDateTimeKind kind);
  // A day number with the time as fraction (day 0 is 30 December 1899).
  double dateTime() const;
  void setDateTime(double dateTime);
  // The colour behind the date or time and around the picker. The system's
  // picker asks its parent for the brush of its face as an edit control
  // does; a colour of the picker's own thus shows on its face.
  void setFillColor(TColor color);
  // The picker of the kind shown: it takes the focus and the keys, whose
  // events (onKeyDown, onKeyPress) fire on this control.
  TControl& picker() const { return shown(); }
  // The drop-down calendar is open; Enter and Esc are its own then.
  bool calendarOpen() const { return calendarOpen_; }
  // Enter, Esc and Tab come to the key events instead of the form's buttons
  // (an in-place editor ends with them).
  bool wantAllKeys = false;
  // The user changed the value (typed, spun or picked in the calendar).
  std::function<void()> onChange;

 protected:
  void resized() override;
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  class TSystemPicker;
  TControl& shown() const;

  TSystemPicker* datePicker_ = nullptr;
  TSystemPicker* timePicker_ = nullptr;
  TDateTimeKind kind_ = TDateTimeKind::date;
  bool calendarOpen_ = false;
};
