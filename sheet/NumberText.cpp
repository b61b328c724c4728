#include "sheet/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string_view>
#include <system_error>

#include "platform/LocaleSettings.h"

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
  // Spelled again in the form from_chars reads: "." as the decimal point,
  // every other character that is no digit, sign or exponent letter refused.
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
  // A thousands separator counts only where grouping puts it: after a first
  // group of one to three digits that does not begin with 0, then between
  // groups of exactly three, all before the decimal separator. Anywhere else
  // it is a slip ("0.125" or "1.5" where "." groups thousands), and reading
  // past it would give a number many times off.
  bool grouped = false;
  std::size_t groupStart = std::string::npos;  // index in plain of the group's first digit
  const auto groupLength = [&] { return groupStart == std::string::npos ? 0 : plain.size() - groupStart; };
  const auto groupsEndWell = [&] { return !grouped || groupLength() == 3; };
  // Nobody types a no-break space: a plain one stands for it.
  const bool blankThousands = thousandSep == "\xA0";
  while (i < end) {
    std::size_t separatorLength = 0;
    if (blankThousands && text[i] == ' ') {
      separatorLength = 1;
    } else if (!thousandSep.empty() && text.compare(i, thousandSep.size(), thousandSep) == 0) {
      separatorLength = thousandSep.size();
    }
    if (separatorLength > 0) {
      const std::size_t length = groupLength();
      const bool firstGroupFits = !grouped && length >= 1 && length <= 3 && plain[groupStart] != '0';
      if (point || exponent || !(firstGroupFits || (grouped && length == 3))) return false;
      grouped = true;
      groupStart = std::string::npos;
      i += separatorLength;
      continue;
    }
    if (!decimalSep.empty() && text.compare(i, decimalSep.size(), decimalSep) == 0) {
      if (point || exponent || !groupsEndWell()) return false;
      point = true;
      plain += '.';
      i += decimalSep.size();
      continue;
    }
    char c = text[i];
    if (isDigit(c)) {
      (exponent ? exponentDigits : digits) = true;
      if (!point && !exponent && groupStart == std::string::npos) groupStart = plain.size();
    } else if (c == '+' || c == '-') {
      bool atStart = plain.empty();
      bool afterExponent = !plain.empty() && (plain.back() == 'E');
      if (!atStart && !afterExponent) return false;
    } else if (c == 'e' || c == 'E') {
      if (exponent || !digits || (!point && !groupsEndWell())) return false;
      exponent = true;
      c = 'E';
    } else {
      return false;
    }
    plain += c;
    ++i;
  }
  if (!digits || (exponent && !exponentDigits) || (!point && !exponent && !groupsEndWell())) return false;
  // from_chars rounds every text correctly and takes no lock. The C
  // library's strtod took one around its big-number arithmetic, which cost a
  // typed number most of its time, and read some exact halfway texts among
  // the smallest numbers as the smallest normal one. from_chars takes no "+"
  // before a number.
  const char* first = plain.data() + (plain.front() == '+' ? 1 : 0);
  const char* last = plain.data() + plain.size();
  double number = 0.0;
  const std::from_chars_result read = std::from_chars(first, last, number);
  if (read.ptr != last) return false;
  if (read.ec == std::errc::result_out_of_range) {
    // Too large is no number; too small has always been the zero of its
    // sign that the C library reads.
    number = std::strtod(plain.c_str(), nullptr);
    if (!std::isfinite(number)) return false;
  } else if (read.ec != std::errc()) {
    return false;
  }
  value = number;
  return true;
}

bool localTextToFloat(const std::string& text, double& value) {
  const TLocaleSettings& locale = localeSettings();
  return textToFloat(text, std::string(1, locale.decimalSeparator), std::string(1, locale.thousandSeparator), value);
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
  // The 15 significant digits rounded to nearest, ties to even, as printf's
  // "%.14e" rounds them: [-]d.dddddddddddddde[+-]xx.
  constexpr int significantDigits = 15;
  char printed[32];
  const char* printedEnd =
      std::to_chars(printed, printed + sizeof printed, x, std::chars_format::scientific, significantDigits - 1).ptr;
  const char* ePosition = std::find(static_cast<const char*>(printed), printedEnd, 'e');
  int exponent = 0;
  std::from_chars(ePosition + 2, printedEnd, exponent);
  if (ePosition[1] == '-') exponent = -exponent;
  const bool negative = printed[0] == '-';
  char digits[significantDigits];
  std::size_t digitCount = 0;
  for (const char* c = printed + (negative ? 1 : 0); c < ePosition; ++c) {
    if (isDigit(*c)) digits[digitCount++] = *c;
  }
  while (digitCount > 1 && digits[digitCount - 1] == '0') --digitCount;
  const std::string_view significant(digits, digitCount);
  std::string result = negative ? "-" : "";
  if (exponent >= significantDigits || exponent < -4) {
    result += digits[0];
    if (digitCount > 1) result.append(decimalSep).append(significant.substr(1));
    char exponentText[8];
    result += 'E';
    result.append(exponentText, std::to_chars(exponentText, exponentText + sizeof exponentText, exponent).ptr);
    return result;
  }
  if (exponent < 0) {
    result += '0';
    result += decimalSep;
    result.append(static_cast<std::size_t>(-exponent - 1), '0');
    result += significant;
    return result;
  }
  const auto whole = static_cast<std::size_t>(exponent) + 1;
  if (digitCount <= whole) {
    result += significant;
    result.append(whole - digitCount, '0');
  } else {
    result += significant.substr(0, whole);
    result += decimalSep;
    result += significant.substr(whole);
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
