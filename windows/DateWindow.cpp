#include "windows/DateWindow.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>

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
  const size_t first = text.find_first_not_of(' ');
  const size_t last = text.find_last_not_of(' ');
  if (first == std::string::npos) return false;
  const std::string digits = text.substr(first, last - first + 1);
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(digits.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || value < -2147483647L || value > 2147483647L) return false;
  days = static_cast<int>(value);
  return true;
}
