#include "controls/ThresholdText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/LocaleSettings.h"

namespace {

constexpr double exponentFormFrom = 1E18;
constexpr double smallestFixed = 0.5E-15;  // rounds to the last of fifteen decimals

std::string exponentForm(double x, char separator) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.14E", x);
  std::string text = buffer;
  const size_t e = text.find('E');
  std::string mantissa = text.substr(0, e);
  const int exponent = std::atoi(text.c_str() + e + 1);
  while (mantissa.back() == '0') mantissa.pop_back();
  if (mantissa.back() == '.') mantissa.pop_back();
  for (char& c : mantissa)
    if (c == '.') c = separator;
  return mantissa + "E" + std::to_string(exponent);
}

}  // namespace

std::string thresholdFloatToString(double x) {
  const char separator = localeSettings().decimalSeparator;
  const double magnitude = std::fabs(x);
  if (!std::isfinite(x) || magnitude >= exponentFormFrom || (x != 0 && magnitude < smallestFixed))
    return exponentForm(x, separator);
  // No more decimals than fifteen significant digits reach, so digits beyond
  // a double's precision are not shown as noise.
  char digits[40];
  std::snprintf(digits, sizeof digits, "%.14E", x);
  const int exponent = std::atoi(std::strchr(digits, 'E') + 1);
  char buffer[80];
  std::snprintf(buffer, sizeof buffer, "%.*f", std::clamp(14 - exponent, 0, 15), x);
  std::string text = buffer;
  const size_t point = text.find('.');
  if (point != std::string::npos) {
    text[point] = separator;
    while (text.back() == '0') text.pop_back();
    if (text.back() == separator) text.pop_back();
  }
  if (text == "-0") text = "0";
  return text;
}
