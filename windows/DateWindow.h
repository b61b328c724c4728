#pragma once
#include <optional>
#include <string>

// Date serials as whole days. A day from noon on counts as the next one, so
// "today" in a to date is tomorrow after midday; the date filters of the
// data windows use the same rule, and halves always go up.
double truncDay(double date);
double roundDay(double date);

// The from/to range of a data window and its day count, as the date
// pickers, the days box and the frame buttons change it. The sheet sees
// fromId() as "FROM_DATE" and toId() as "TO_DATE". Both dates stay within
// the days the pickers show, so that the pickers, the days box and the
// stored dates tell the same range: a date beyond is clipped to the nearest
// day shown.
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
  // The count ending at the to date, at least 2 and back to the first day
  // the pickers show at the most.
  void setDays(int count);
  // Both dates move by n days, no further than the pickers show.
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

// The most days a range ending on the given day can hold: back to the first
// day the pickers show.
int mostDaysEndingOn(double toDay);

// Why a days box refuses its text for a range ending on the given day: a
// whole number reaching before the first day the pickers show. Empty for
// any other text (a count in range, or no number, which the box ignores).
std::string daysRefusal(const std::string& text, double toDay);

// The days box while the user types into it. Each change is taken at once
// when it reads as a count in range; a count reaching before the first day
// the pickers show gives way to the count the box had before the typing,
// and is told when the typing ends (Return, or the box left).
class TDaysTyping {
 public:
  // The count to take for the box's text, given the window's count and to
  // day now; false for text that is no number (the window keeps its range).
  bool count(const std::string& text, int daysNow, double toDay, int& days);
  bool typing() const { return before_.has_value(); }
  // Ends the typing: why the text is refused, empty when it was taken.
  std::string end(const std::string& text, double toDay);
  // Ends the typing without a word, the window keeping the count it took.
  void drop() { before_.reset(); }

 private:
  std::optional<int> before_;
};
