#include "windows/DateWindow.h"

#include <algorithm>
#include <cmath>

#include "platform/DateTimePicker.h"
#include "sheet/NumberText.h"

double truncDay(double date) { return std::trunc(date); }

double roundDay(double date) { return std::floor(date + 0.5); }

TDateWindow::TDateWindow(double now) : from_(truncDay(now) - 1), to_(roundDay(now)) {}

int TDateWindow::days() const { return std::max(2, static_cast<int>(roundDay(to_) - truncDay(from_)) + 1); }

void TDateWindow::setFrom(double date) {
  from_ = std::clamp(date, firstPickerDay, lastPickerDay - 1);
  to_ = std::min(roundDay(from_) + days() - 1, lastPickerDay);
}

void TDateWindow::setTo(double date) {
  to_ = std::clamp(date, firstPickerDay + 1, lastPickerDay);
  from_ = std::max(roundDay(to_) - days() + 1, firstPickerDay);
}

void TDateWindow::setDays(int count) { from_ = roundDay(to_) - std::clamp(count, 2, mostDaysEndingOn(to_)) + 1; }

void TDateWindow::scroll(int days) {
  const double step = std::clamp<double>(days, firstPickerDay - truncDay(from_), lastPickerDay - roundDay(to_));
  from_ = truncDay(from_) + step;
  to_ = roundDay(to_) + step;
}

bool TDateWindow::scrollFrame(const std::string& daysText, int direction) {
  int count;
  if (!parseDays(daysText, count)) return false;
  // Beyond the days the pickers show a frame only reaches their end; the
  // bound also keeps the negated count from overflowing.
  const int widest = static_cast<int>(lastPickerDay - firstPickerDay);
  count = std::clamp(count, -widest, widest);
  scroll(direction < 0 ? -count : count);
  return true;
}

namespace {

bool wholeNumber(const std::string& text, double& value) {
  return localTextToFloat(text, value) && std::isfinite(value) && value == std::trunc(value);
}

}  // namespace

bool parseDays(const std::string& text, int& days) {
  double value = 0;
  std::int32_t whole = 0;
  if (!wholeNumber(text, value) || !truncateToInt32(value, whole)) return false;
  days = whole;
  return true;
}

int mostDaysEndingOn(double toDay) { return static_cast<int>(roundDay(toDay) - firstPickerDay) + 1; }

std::string daysRefusal(const std::string& text, double toDay) {
  // Read at any size: a count past the largest integer reaches before the
  // first day as well, and is no text the box may pass over in silence.
  double count = 0;
  if (!wholeNumber(text, count) || count <= mostDaysEndingOn(toDay)) return std::string();
  return "\"" + text + "\" is no number this box can keep: the dates reach back to 1 January 1753 at the most, " +
         std::to_string(mostDaysEndingOn(toDay)) + " days up to the to date. The days stay as they were.";
}

bool TDaysTyping::count(const std::string& text, int daysNow, double toDay, int& days) {
  if (!before_) before_ = daysNow;
  if (!daysRefusal(text, toDay).empty()) {
    days = *before_;
    return true;
  }
  return parseDays(text, days);
}

std::string TDaysTyping::end(const std::string& text, double toDay) {
  if (!before_) return std::string();
  before_.reset();
  return daysRefusal(text, toDay);
}
