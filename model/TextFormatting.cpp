#include "model/TextFormatting.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>

#include "model/Rounding.h"
#include "platform/LocaleSettings.h"
#include "platform/NumericErrors.h"

namespace {

// A decimal number: its significant digits and the power of ten of the
// first one (value = d0.d1d2... * 10^firstPower). The shortest digits of a
// long double need 21 places; one more takes a carry.
struct TDecimalDigits {
  bool negative = false;
  char digits[24];
  int count = 0;
  int firstPower = 0;
};

// The shortest digits that read back as the same number. Sheet values are
// doubles, so a double's digits are shown: 1234.1 is edited as 1234.1, not as
// the 1234.099999999999909 its binary value spells out.
template <typename Float>
TDecimalDigits shortestDigits(Float value) {
  char buffer[64];
  const char* end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific).ptr;
  TDecimalDigits number;
  const char* cursor = buffer;
  if (*cursor == '-') {
    number.negative = true;
    ++cursor;
  }
  for (; cursor < end && *cursor != 'e'; ++cursor)
    if (*cursor != '.') number.digits[number.count++] = *cursor;
  if (cursor < end) {
    ++cursor;
    if (*cursor == '+') ++cursor;
    std::from_chars(cursor, end, number.firstPower);
  }
  return number;
}

TDecimalDigits shortestDigitsOf(long double value) {
  if (std::fabs(value) <= std::numeric_limits<double>::max()) return shortestDigits(static_cast<double>(value));
  return shortestDigits(value);
}

void makeZero(TDecimalDigits& number) {
  number.digits[0] = '0';
  number.count = 1;
  number.firstPower = 0;
}

// Drops the digits below 10^-decimals, rounding half up. After roundToDigits
// only a number with more significant digits than a double holds has any.
void cutAfterDecimals(TDecimalDigits& number, int decimals) {
  int kept = number.firstPower + decimals + 1;
  if (kept >= number.count) return;
  if (kept < 0) {
    makeZero(number);
    return;
  }
  bool roundUp = number.digits[kept] >= '5';
  number.count = kept;
  if (roundUp) {
    int position = kept - 1;
    while (position >= 0 && number.digits[position] == '9') number.digits[position--] = '0';
    if (position >= 0) {
      ++number.digits[position];
    } else {
      std::memmove(number.digits + 1, number.digits, number.count);
      number.digits[0] = '1';
      ++number.count;
      ++number.firstPower;
    }
  }
  if (number.count == 0) makeZero(number);
}

char digitAt(const TDecimalDigits& number, int powerOfTen) {
  int index = number.firstPower - powerOfTen;
  return index >= 0 && index < number.count ? number.digits[index] : '0';
}

bool isZero(const TDecimalDigits& number) {
  return std::all_of(number.digits, number.digits + number.count, [](char digit) { return digit == '0'; });
}

// Appends digits with separator before every group of three counted from
// the right.
void appendGrouped(std::string& text, std::string_view digits, std::string_view separator) {
  if (separator.empty()) {
    text += digits;
    return;
  }
  std::size_t leading = (digits.size() - 1) % 3 + 1;
  text += digits.substr(0, leading);
  for (std::size_t group = leading; group < digits.size(); group += 3) {
    text += separator;
    text += digits.substr(group, 3);
  }
}

void checkSheetTextLength(std::size_t length) {
  if (length > maxSheetTextLength) throw ERangeError();
}

}  // namespace

std::string formatFixed(int decimals, bool noThousands, bool trimZeros, long double value,
                        const std::string& decimalSep, const std::string& thousandSep) {
  if (!std::isfinite(value)) throw EInvalidOp();
  if (decimals > maxFixedDecimals) throw ERangeError();
  const TLocaleSettings& locale = localeSettings();
  // Rounding as ROUND does keeps a cell's display and its rounded value in
  // agreement, ties to even included.
  const int shownDecimals = std::max(0, decimals);
  TDecimalDigits number = shortestDigitsOf(roundToDigits(decimals, 0, value));
  cutAfterDecimals(number, shownDecimals);

  // The largest number has 4933 integer digits; 127 decimals follow.
  char digits[4933 + maxFixedDecimals];
  int integerCount = 0;
  for (int power = std::max(number.firstPower, 0); power >= 0; --power) digits[integerCount++] = digitAt(number, power);
  int fractionCount = 0;
  for (int power = -1; power >= -shownDecimals; --power) digits[integerCount + fractionCount++] = digitAt(number, power);
  if (trimZeros)
    while (fractionCount > 0 && digits[integerCount + fractionCount - 1] == '0') --fractionCount;

  // The given thousands separator replaces the locale's also when no decimal
  // separator follows, so a sheet's own separator holds for whole numbers too.
  const std::string_view localeThousands(&locale.thousandSeparator, 1);
  const std::string_view groupSeparator =
      noThousands ? std::string_view() : thousandSep.empty() ? localeThousands : std::string_view(thousandSep);
  const std::string_view decimalSeparator =
      decimalSep.empty() ? std::string_view(&locale.decimalSeparator, 1) : std::string_view(decimalSep);
  const bool showsSign = number.negative && !isZero(number);

  std::size_t length = showsSign + integerCount + (integerCount - 1) / 3 * groupSeparator.size();
  if (fractionCount > 0) length += decimalSeparator.size() + fractionCount;
  checkSheetTextLength(length);
  std::string text;
  text.reserve(length);
  if (showsSign) text += '-';
  appendGrouped(text, std::string_view(digits, integerCount), groupSeparator);
  if (fractionCount > 0) {
    text += decimalSeparator;
    text.append(digits + integerCount, fractionCount);
  }
  return text;
}

std::string intToStrGrouped(std::int32_t value, const std::string& separator) {
  std::string digits = std::to_string(std::llabs(static_cast<long long>(value)));
  std::string text = value < 0 ? "-" : "";
  appendGrouped(text, digits, separator);
  return text;
}

std::string properCase(const std::string& text) {
  const std::string lower = lowerCase(text);
  const std::string upper = upperCase(lower);
  std::string result(lower.size(), ' ');
  bool followsLetter = false;
  for (std::size_t i = 0; i < lower.size(); ++i) {
    result[i] = followsLetter ? lower[i] : upper[i];
    followsLetter = lower[i] != upper[i];
  }
  return result;
}

std::string repeatString(const std::string& text, int count) {
  if (count <= 0 || text.empty()) return std::string();
  checkSheetTextLength(text.size() * static_cast<std::size_t>(count));
  std::string result;
  result.reserve(text.size() * count);
  for (int i = 0; i < count; ++i) result += text;
  return result;
}

std::string substituteInstance(const std::string& text, const std::string& oldText, const std::string& newText,
                               int instance) {
  if (instance < 1 || oldText.empty()) return text;
  std::size_t position = text.find(oldText);
  for (int found = 1; found < instance && position != std::string::npos; ++found)
    position = text.find(oldText, position + oldText.size());
  if (position == std::string::npos) return text;
  std::string result = text;
  result.replace(position, oldText.size(), newText);
  return result;
}

std::string trimBlanks(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  bool pendingBlank = false;
  for (char c : text) {
    if (c == ' ') {
      pendingBlank = !result.empty();
    } else {
      if (pendingBlank) result += ' ';
      pendingBlank = false;
      result += c;
    }
  }
  return result;
}
