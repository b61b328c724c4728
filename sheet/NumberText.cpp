#include "sheet/NumberText.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Largest magnitude of each sign: the digits of -2147483648 fit as well.
constexpr std::int64_t int32Limit = 2147483648LL;

}  // namespace

bool textToIntStrict(const std::string& text, std::int32_t& value) {
  std::size_t i = 0;
  std::size_t n = text.size();
  while (i < n && isBlank(text[i])) ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::size_t firstDigit = i;
  std::int64_t magnitude = 0;
  while (i < n && isDigit(text[i])) {
    magnitude = magnitude * 10 + (text[i++] - '0');
    if (magnitude > int32Limit) return false;
  }
  if (i == firstDigit) return false;
  while (i < n && isBlank(text[i])) ++i;
  if (i != n) return false;
  if (!negative && magnitude == int32Limit) return false;
  value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
  return true;
}

bool textToFloat(const std::string& text, const std::string& decimalSep, const std::string& thousandSep,
                 double& value) {
  // Spelled again in the form strtod reads: "." as the decimal point, every
  // other character that is no digit, sign or exponent letter refused.
  std::string plain;
  plain.reserve(text.size());
  std::size_t i = 0;
  std::size_t n = text.size();
  while (i < n && isBlank(text[i])) ++i;
  std::size_t end = n;
  while (end > i && isBlank(text[end - 1])) --end;
  bool digits = false;
  bool point = false;
  bool exponent = false;
  bool exponentDigits = false;
  while (i < end) {
    if (!thousandSep.empty() && text.compare(i, thousandSep.size(), thousandSep) == 0) {
      i += thousandSep.size();
      continue;
    }
    if (!decimalSep.empty() && text.compare(i, decimalSep.size(), decimalSep) == 0) {
      if (point || exponent) return false;
      point = true;
      plain += '.';
      i += decimalSep.size();
      continue;
    }
    char c = text[i];
    if (isDigit(c)) {
      (exponent ? exponentDigits : digits) = true;
    } else if (c == '+' || c == '-') {
      bool atStart = plain.empty();
      bool afterExponent = !plain.empty() && (plain.back() == 'E');
      if (!atStart && !afterExponent) return false;
    } else if (c == 'e' || c == 'E') {
      if (exponent || !digits) return false;
      exponent = true;
      c = 'E';
    } else {
      return false;
    }
    plain += c;
    ++i;
  }
  if (!digits || (exponent && !exponentDigits)) return false;
  errno = 0;
  char* stop = nullptr;
  double number = std::strtod(plain.c_str(), &stop);
  if (*stop != '\0' || !std::isfinite(number)) return false;
  value = number;
  return true;
}

std::string floatToText(double x, const std::string& decimalSep) {
  if (std::isnan(x)) return "NAN";
  if (std::isinf(x)) return x > 0 ? "INF" : "-INF";
  if (x == 0.0) return "0";
  // A whole number below 1E15 has at most 15 digits, all of which the
  // general form below would print as they are: texts are made of counts
  // and amounts far more often than of fractions.
  constexpr double firstExponentForm = 1e15;
  if (std::fabs(x) < firstExponentForm && std::trunc(x) == x) {
    char digits[24];
    const std::to_chars_result written = std::to_chars(digits, digits + sizeof digits, static_cast<long long>(x));
    return std::string(digits, written.ptr);
  }
  constexpr int significantDigits = 15;
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*e", significantDigits - 1, x);
  // buffer: [-]d.dddddddddddddde[+-]xx
  std::string mantissa(buffer);
  std::size_t ePosition = mantissa.find('e');
  int exponent = std::atoi(mantissa.c_str() + ePosition + 1);
  std::string digits;
  bool negative = mantissa[0] == '-';
  for (std::size_t k = negative ? 1 : 0; k < ePosition; ++k) {
    if (isDigit(mantissa[k])) digits += mantissa[k];
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  std::string result = negative ? "-" : "";
  if (exponent >= significantDigits || exponent < -4) {
    result += digits[0];
    if (digits.size() > 1) result += decimalSep + digits.substr(1);
    result += 'E';
    result += std::to_string(exponent);
    return result;
  }
  if (exponent < 0) {
    result += '0';
    result += decimalSep;
    result.append(static_cast<std::size_t>(-exponent - 1), '0');
    result += digits;
    return result;
  }
  auto whole = static_cast<std::size_t>(exponent) + 1;
  if (digits.size() <= whole) {
    result += digits;
    result.append(whole - digits.size(), '0');
  } else {
    result += digits.substr(0, whole);
    result += decimalSep;
    result += digits.substr(whole);
  }
  return result;
}

bool truncateToInt32(double x, std::int32_t& value) {
  if (!std::isfinite(x)) return false;
  double whole = std::trunc(x);
  if (whole < static_cast<double>(std::numeric_limits<std::int32_t>::min()) ||
      whole > static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
    return false;
  }
  value = static_cast<std::int32_t>(whole);
  return true;
}
