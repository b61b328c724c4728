#pragma once
#include "platform/Control.h"

enum class TDateTimeKind { date, time };

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

 protected:
  void resized() override;

 private:
  class TSystemPicker;
  TControl& shown() const;

  TSystemPicker* datePicker_;
  TSystemPicker* timePicker_;
  TDateTimeKind kind_ = TDateTimeKind::date;
};
