#include "windows/DateWindow.h"

#include <algorithm>
#include <cmath>

#include "sheet/NumberText.h"

double truncDay(double date) { return std::trunc(date); }

double roundDay(double date) { return std::floor(date + 0.5); }

TDateWindow::TDateWindow(double now) : from_(truncDay(now) - 1), to_(roundDay(now)) {}

int TDateWindow::days() const { return std::max(2, static_cast<int>(roundDay(to_) - truncDay(from_)) + 1); }

void TDateWindow::setFrom(double date) {
  from_ = date;
  to_ = roundDay(from_) + days() - 1;
}

void TDateWindow::setTo(double date) {
  to_ = date;
  from_ = roundDay(to_) - days() + 1;
}

bool TDateWindow::setDaysText(const std::string& text) {
  int count;
  const bool isNumber = parseDays(text, count);
  if (!isNumber) count = days();
  from_ = roundDay(to_) - std::max(2, count) + 1;
  return isNumber;
}

void TDateWindow::scroll(int days) {
  from_ = truncDay(from_) + days;
  to_ = roundDay(to_) + days;
}

bool TDateWindow::scrollFrame(const std::string& daysText, int direction) {
  int count;
  if (!parseDays(daysText, count)) return false;
  scroll(direction * count);
  return true;
}

bool parseDays(const std::string& text, int& days) {
  double value = 0;
  std::int32_t whole = 0;
  if (!localTextToFloat(text, value) || value != std::trunc(value) || !truncateToInt32(value, whole)) return false;
  days = whole;
  return true;
}
