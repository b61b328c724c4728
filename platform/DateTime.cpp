#include "platform/DateTime.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <utility>

#include "platform/CalendarDates.h"
#include "platform/NumericErrors.h"

namespace {

constexpr long long millisecondsPerDay = 86400000;
constexpr double firstDay = -693593;  // 1 January 0001
constexpr double lastDay = 2958465;   // 31 December 9999
// Two-digit years are read as 1950 to 2049.
constexpr int twoDigitYearPivot = 50;

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t'; }
// Bytes above 127 are the code page's accented letters.
bool isLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || static_cast<unsigned char>(c) >= 0x80;
}

bool startsWithNoCase(std::string_view text, std::size_t at, std::string_view word) {
  if (text.size() - at < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i)
    if (asciiLower(text[at + i]) != asciiLower(word[i])) return false;
  return true;
}

std::string_view trimBlanksOf(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The fraction of the day in whole milliseconds. Rounding never reaches the
// next midnight: the date of a value is its whole part, and a time of 24:00
// would contradict it.
long long millisecondOfDay(double dateTime) {
  long long milliseconds = std::llround(std::fabs(dateTime - std::trunc(dateTime)) * millisecondsPerDay);
  return std::min(milliseconds, millisecondsPerDay - 1);
}

// ---- formatting ----

struct TDateTimeParts {
  int year, month, day, weekday;
  int hour, minute, second, millisecond;
};

TDateTimeParts partsOf(double dateTime) {
  if (!std::isfinite(dateTime) || std::trunc(dateTime) < firstDay || std::trunc(dateTime) > lastDay)
    throw ERangeError();
  TDateTimeParts parts{};
  decodeDate(dateTime, parts.year, parts.month, parts.day);
  parts.weekday = dayOfWeek(dateTime);
  decodeTime(dateTime, parts.hour, parts.minute, parts.second, parts.millisecond);
  return parts;
}

void appendNumber(std::string& text, int value, int width) {
  std::string digits = std::to_string(value);
  if (static_cast<int>(digits.size()) < width) text.append(width - digits.size(), '0');
  text += digits;
}

std::size_t runLength(std::string_view format, std::size_t at) {
  std::size_t end = at;
  while (end < format.size() && asciiLower(format[end]) == asciiLower(format[at])) ++end;
  return end - at;
}

// A marker anywhere in the format (outside quotes) switches hours to 12.
bool hasTwelveHourMarker(std::string_view format) {
  for (std::size_t i = 0; i < format.size(); ++i) {
    char c = format[i];
    if (c == '"' || c == '\'') {
      std::size_t close = format.find(c, i + 1);
      if (close == std::string_view::npos) return false;
      i = close;
    } else if (startsWithNoCase(format, i, "am/pm") || startsWithNoCase(format, i, "a/p") ||
               startsWithNoCase(format, i, "ampm")) {
      return true;
    }
  }
  return false;
}

void appendFormatted(std::string& text, std::string_view format, const TDateTimeParts& parts,
                     const TLocaleSettings& settings, bool expandsStandardFormats) {
  const bool twelveHour = hasTwelveHourMarker(format);
  const bool beforeNoon = parts.hour < 12;
  bool followsHour = false;
  std::size_t i = 0;
  while (i < format.size()) {
    const char c = format[i];
    const std::size_t run = runLength(format, i);
    switch (asciiLower(c)) {
      case '"':
      case '\'': {
        std::size_t close = format.find(c, i + 1);
        if (close == std::string_view::npos) close = format.size();
        text += format.substr(i + 1, close - i - 1);
        i = close + 1;
        continue;
      }
      case '/':
        text += settings.dateSeparator;
        ++i;
        continue;
      case ':':
        text += settings.timeSeparator;
        ++i;
        continue;
      case 'c':
        if (!expandsStandardFormats) break;
        appendFormatted(text, settings.shortDateFormat, parts, settings, false);
        if (parts.hour != 0 || parts.minute != 0 || parts.second != 0 || parts.millisecond != 0) {
          text += ' ';
          appendFormatted(text, settings.longTimeFormat, parts, settings, false);
        }
        followsHour = false;
        ++i;
        continue;
      case 'd': {
        std::size_t letters = std::min<std::size_t>(run, 4);
        if (letters <= 2) appendNumber(text, parts.day, static_cast<int>(letters));
        else if (letters == 3) text += settings.shortDayNames[parts.weekday - 1];
        else text += settings.longDayNames[parts.weekday - 1];
        followsHour = false;
        i += letters;
        continue;
      }
      case 'm': {
        std::size_t letters = std::min<std::size_t>(run, 4);
        if (followsHour && letters <= 2) appendNumber(text, parts.minute, static_cast<int>(letters));
        else if (letters <= 2) appendNumber(text, parts.month, static_cast<int>(letters));
        else if (letters == 3) text += settings.shortMonthNames[parts.month - 1];
        else text += settings.longMonthNames[parts.month - 1];
        followsHour = false;
        i += letters;
        continue;
      }
      case 'y':
        if (run <= 2) appendNumber(text, parts.year % 100, 2);
        else appendNumber(text, parts.year, 4);
        followsHour = false;
        i += run;
        continue;
      case 'h': {
        std::size_t letters = std::min<std::size_t>(run, 2);
        int hour = twelveHour ? (parts.hour % 12 == 0 ? 12 : parts.hour % 12) : parts.hour;
        appendNumber(text, hour, static_cast<int>(letters));
        followsHour = true;
        i += letters;
        continue;
      }
      case 'n':
      case 's': {
        std::size_t letters = std::min<std::size_t>(run, 2);
        appendNumber(text, asciiLower(c) == 'n' ? parts.minute : parts.second, static_cast<int>(letters));
        followsHour = false;
        i += letters;
        continue;
      }
      case 'z': {
        std::size_t letters = std::min<std::size_t>(run, 3);
        appendNumber(text, parts.millisecond, letters == 3 ? 3 : 1);
        followsHour = false;
        i += letters;
        continue;
      }
      case 'a':
        if (startsWithNoCase(format, i, "am/pm")) {
          text += format.substr(beforeNoon ? i : i + 3, 2);
          i += 5;
          continue;
        }
        if (startsWithNoCase(format, i, "a/p")) {
          text += format[beforeNoon ? i : i + 2];
          i += 3;
          continue;
        }
        if (startsWithNoCase(format, i, "ampm")) {
          text += beforeNoon ? settings.timeAMString : settings.timePMString;
          i += 4;
          continue;
        }
        break;
    }
    text += c;
    ++i;
  }
}

// ---- reading ----

// Reads up to maxDigits digits at `at`; false when there is no digit or more
// follow.
bool readNumber(std::string_view text, std::size_t& at, std::size_t maxDigits, int& value, std::size_t& digits) {
  value = 0;
  digits = 0;
  while (at < text.size() && isDigit(text[at])) {
    if (++digits > maxDigits) return false;
    value = value * 10 + (text[at++] - '0');
  }
  return digits > 0;
}

// The slots of day, month and year in the order the short date format names
// them; letters the format lacks follow in month-day-year order.
std::string dateFieldOrder(std::string_view format) {
  std::string order;
  for (std::size_t i = 0; i < format.size(); ++i) {
    char c = asciiLower(format[i]);
    if (c == '"' || c == '\'') {
      std::size_t close = format.find(format[i], i + 1);
      if (close == std::string_view::npos) break;
      i = close;
    } else if ((c == 'd' || c == 'm' || c == 'y') && order.find(c) == std::string::npos) {
      order += c;
    }
  }
  for (char slot : {'m', 'd', 'y'})
    if (order.find(slot) == std::string::npos) order += slot;
  return order;
}

// The date separator and every other punctuation the short date format
// writes between its fields ("dd.mm.yyyy", "dd mmm yyyy").
std::string dateSeparatorsOf(std::string_view format, const TLocaleSettings& settings) {
  std::string separators(1, settings.dateSeparator);
  for (std::size_t i = 0; i < format.size(); ++i) {
    char c = format[i];
    if (c == '"' || c == '\'') {
      std::size_t close = format.find(c, i + 1);
      if (close == std::string_view::npos) break;
      i = close;
    } else if (!isLetter(c) && !isDigit(c) && c != '/') {
      separators += c;
    }
  }
  return separators;
}

int monthNamed(std::string_view name, const TLocaleSettings& settings) {
  for (int month = 0; month < 12; ++month)
    if (sameText(std::string(name), settings.longMonthNames[month]) ||
        sameText(std::string(name), settings.shortMonthNames[month]))
      return month + 1;
  return 0;
}

int currentYear() {
  int year = 0, month = 0, day = 0;
  decodeDate(currentDateTime(), year, month, day);
  return year;
}

struct TDateField {
  int value = 0;
  std::size_t digits = 0;
  bool isMonthName = false;
};

bool readDate(std::string_view text, double& date, const TLocaleSettings& settings) {
  const std::string separators = dateSeparatorsOf(settings.shortDateFormat, settings);
  const bool blankSeparates = separators.find(' ') != std::string::npos;
  TDateField fields[3];
  int count = 0;
  std::size_t at = 0;
  while (at < text.size()) {
    if (count == 3) return false;
    TDateField& field = fields[count++];
    if (isDigit(text[at])) {
      if (!readNumber(text, at, 4, field.value, field.digits)) return false;
    } else if (isLetter(text[at])) {
      std::size_t start = at;
      while (at < text.size() && isLetter(text[at])) ++at;
      field.value = monthNamed(text.substr(start, at - start), settings);
      field.isMonthName = true;
      if (field.value == 0) return false;
    } else {
      return false;
    }
    std::size_t fieldEnd = at;
    while (at < text.size() && isBlank(text[at])) ++at;
    if (at == text.size()) break;
    if (!isBlank(text[at]) && separators.find(text[at]) != std::string::npos) {
      ++at;
      while (at < text.size() && isBlank(text[at])) ++at;
    } else if (at == fieldEnd || !blankSeparates) {
      return false;
    }
  }
  if (count < 2) return false;

  std::string order = dateFieldOrder(settings.shortDateFormat);
  int year = 0, month = 0, day = 0;
  bool twoDigitYear = false;
  if (count == 2) {
    order.erase(order.find('y'), 1);
    year = currentYear();
  }
  for (int k = 0; k < count; ++k) {
    const TDateField& field = fields[k];
    if (field.isMonthName && order[k] != 'm') return false;
    if (order[k] == 'd') day = field.value;
    if (order[k] == 'm') month = field.value;
    if (order[k] == 'y') {
      year = field.value;
      twoDigitYear = field.digits <= 2;
    }
  }
  if (twoDigitYear) year += year < twoDigitYearPivot ? 2000 : 1900;
  return encodeDate(year, month, day, date);
}

enum class TMarker { none, beforeNoon, afterNoon };

// Takes an AM/PM marker off either end of the text: the settings' own texts
// or AM, PM, A, P in any case.
TMarker takeMarker(std::string_view& text, const TLocaleSettings& settings) {
  const std::pair<std::string_view, TMarker> markers[] = {
      {settings.timeAMString, TMarker::beforeNoon}, {settings.timePMString, TMarker::afterNoon},
      {"AM", TMarker::beforeNoon},                  {"PM", TMarker::afterNoon},
      {"A", TMarker::beforeNoon},                   {"P", TMarker::afterNoon}};
  const std::string upper = upperCase(std::string(text));
  for (const auto& [word, marker] : markers) {
    if (word.empty() || word.size() >= text.size()) continue;
    const std::string upperWord = upperCase(std::string(word));
    std::size_t tail = text.size() - word.size();
    if (upper.compare(tail, word.size(), upperWord) == 0 && !isLetter(text[tail - 1])) {
      text = trimBlanksOf(text.substr(0, tail));
      return marker;
    }
    if (upper.compare(0, word.size(), upperWord) == 0 && !isLetter(text[word.size()])) {
      text = trimBlanksOf(text.substr(word.size()));
      return marker;
    }
  }
  return TMarker::none;
}

bool readTime(std::string_view text, double& time, const TLocaleSettings& settings) {
  TMarker marker = takeMarker(text, settings);
  int hour = 0, minute = 0, second = 0, millisecond = 0;
  std::size_t at = 0, digits = 0;
  if (!readNumber(text, at, 2, hour, digits)) return false;
  if (at >= text.size() || text[at++] != settings.timeSeparator) return false;
  if (!readNumber(text, at, 2, minute, digits)) return false;
  if (at < text.size() && text[at] == settings.timeSeparator) {
    ++at;
    if (!readNumber(text, at, 2, second, digits)) return false;
    if (at < text.size() && text[at] == settings.decimalSeparator) {
      ++at;
      if (!readNumber(text, at, 3, millisecond, digits)) return false;
      for (; digits < 3; ++digits) millisecond *= 10;
    }
  }
  if (at != text.size()) return false;
  if (marker != TMarker::none) {
    if (hour > 12) return false;
    hour = hour % 12 + (marker == TMarker::afterNoon ? 12 : 0);
  }
  return encodeTime(hour, minute, second, millisecond, time);
}

}  // namespace

bool encodeTime(int hour, int minute, int second, int millisecond, double& time) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
      millisecond > 999)
    return false;
  long long milliseconds = ((hour * 60LL + minute) * 60 + second) * 1000 + millisecond;
  time = static_cast<double>(milliseconds) / millisecondsPerDay;
  return true;
}

void decodeTime(double dateTime, int& hour, int& minute, int& second, int& millisecond) {
  long long milliseconds = millisecondOfDay(dateTime);
  millisecond = static_cast<int>(milliseconds % 1000);
  second = static_cast<int>(milliseconds / 1000 % 60);
  minute = static_cast<int>(milliseconds / 60000 % 60);
  hour = static_cast<int>(milliseconds / 3600000);
}

double combineDateAndTime(double date, double time) { return date < 0 ? date - time : date + time; }

int dayOfWeek(double dateTime) {
  // Day 0 was a Saturday.
  long long day = static_cast<long long>(std::trunc(dateTime));
  return static_cast<int>(((day % 7) + 13) % 7) + 1;
}

std::string formatDateTime(const std::string& format, double dateTime, const TLocaleSettings& settings) {
  const TDateTimeParts parts = partsOf(dateTime);
  std::string text;
  appendFormatted(text, format, parts, settings, true);
  return text;
}

bool tryStrToDate(const std::string& text, double& date, const TLocaleSettings& settings) {
  return readDate(trimBlanksOf(text), date, settings);
}

bool tryStrToTime(const std::string& text, double& time, const TLocaleSettings& settings) {
  return readTime(trimBlanksOf(text), time, settings);
}

bool tryStrToDateTime(const std::string& text, double& dateTime, const TLocaleSettings& settings) {
  const std::string_view whole = trimBlanksOf(text);
  if (readDate(whole, dateTime, settings)) return true;
  if (readTime(whole, dateTime, settings)) return true;
  // A date may hold blanks itself ("15 Mar 2024"): try every blank as the
  // boundary before the time.
  for (std::size_t at = 1; at < whole.size(); ++at) {
    if (!isBlank(whole[at]) || isBlank(whole[at - 1])) continue;
    double date = 0, time = 0;
    if (readDate(whole.substr(0, at), date, settings) && readTime(trimBlanksOf(whole.substr(at)), time, settings)) {
      dateTime = combineDateAndTime(date, time);
      return true;
    }
  }
  return false;
}
