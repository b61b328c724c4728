#pragma once
#include <string>

// Date serials as whole days. A day from noon on counts as the next one, so
// "today" in a to date is tomorrow after midday; the date filters of the
// data windows use the same rule, and halves always go up.
double truncDay(double date);
double roundDay(double date);

// The from/to range of a data window and its day count, as the date
// pickers, the days box and the frame buttons change it. The sheet sees
// fromId() as "FROM_DATE" and toId() as "TO_DATE".
class TDateWindow {
 public:
  // Yesterday to today (tomorrow from noon on).
  explicit TDateWindow(double now);

  double fromDate() const { return from_; }
  double toDate() const { return to_; }
  double fromId() const { return truncDay(from_); }
  double toId() const { return roundDay(to_); }
  // Whole days in the range, at least 2.
  int days() const;

  // A new from date keeps the to date unless fewer than two days would be
  // left; then the to date moves to from + 1.
  void setFrom(double date);
  // A new to date keeps the from date unless fewer than two days would be
  // left; then the from date moves to to - 1.
  void setTo(double date);
  // The days box: a whole number sets the count ending at the to date; any
  // other text keeps the range. Answers whether the text was a number.
  bool setDaysText(const std::string& text);
  // Both dates move by n days.
  void scroll(int days);
  // One frame back (-1) or forward (+1) by the days box's count; nothing
  // when the text is not a whole number.
  bool scrollFrame(const std::string& daysText, int direction);

 private:
  double from_;
  double to_;
};

// The text of a days or runs box as a whole number, read as any number the
// user types; false for anything else.
bool parseDays(const std::string& text, int& days);
