#include "functions/TextFunctions.h"

#include <algorithm>
#include <cmath>

#include "model/Rounding.h"
#include "model/TextFormatting.h"
#include "platform/NumericErrors.h"

namespace {

void checkResultLength(std::int64_t length) {
  if (length > static_cast<std::int64_t>(maxSheetTextLength)) throw ERangeError();
}

// Money keeps four decimals in a signed 64-bit count of ten-thousandths.
constexpr long double moneyScale = 10000.0L;
constexpr long double largestMoneyCount = 9223372036854775807.0L;

// An amount written with the currency symbol placed as Windows' currency
// format codes place it; `digits` is the amount without sign.
std::string placeCurrency(const std::string& digits, bool negative, const TLocaleSettings& settings) {
  const std::string& symbol = settings.currencyString;
  if (!negative) {
    switch (settings.currencyFormat) {
      case 1: return digits + symbol;
      case 2: return symbol + ' ' + digits;
      case 3: return digits + ' ' + symbol;
      default: return symbol + digits;
    }
  }
  switch (settings.negativeCurrencyFormat) {
    case 1: return '-' + symbol + digits;
    case 2: return symbol + '-' + digits;
    case 3: return symbol + digits + '-';
    case 4: return '(' + digits + symbol + ')';
    case 5: return '-' + digits + symbol;
    case 6: return digits + '-' + symbol;
    case 7: return digits + symbol + '-';
    case 8: return '-' + digits + ' ' + symbol;
    case 9: return '-' + symbol + ' ' + digits;
    case 10: return digits + ' ' + symbol + '-';
    case 11: return symbol + ' ' + digits + '-';
    case 12: return symbol + ' ' + '-' + digits;
    case 13: return digits + '-' + ' ' + symbol;
    case 14: return '(' + symbol + ' ' + digits + ')';
    case 15: return '(' + digits + ' ' + symbol + ')';
    default: return '(' + symbol + digits + ')';
  }
}

}  // namespace

std::string extractText(const std::string& text, std::int64_t start, std::int64_t count) {
  const std::int64_t length = static_cast<std::int64_t>(text.size());
  if (start < 1) start = 1;
  if (start > length || count <= 0) return std::string();
  if (count > length - start + 1) count = length - start + 1;
  return text.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(count));
}

std::string characterOfCode(std::int32_t n) { return std::string(1, static_cast<char>(n & 0xFF)); }

std::optional<std::int32_t> codeOfFirstCharacter(const std::string& text) {
  if (text.empty()) return std::nullopt;
  return static_cast<unsigned char>(text[0]);
}

std::optional<std::string> dollarText(double value, std::int32_t decimals, const TLocaleSettings& settings) {
  const long double rounded = roundToDigits(decimals, 0, value);
  // The conversion to money rounds half to even, as the processor does.
  const long double count = std::nearbyintl(rounded * moneyScale);
  if (!(std::fabs(count) <= largestMoneyCount)) return std::nullopt;
  const long double money = count / moneyScale;
  const std::string digits = formatFixed(decimals > 0 ? decimals : 0, false, false, std::fabs(money),
                                         std::string(1, settings.decimalSeparator),
                                         std::string(1, settings.thousandSeparator));
  std::string text = placeCurrency(digits, money < 0, settings);
  checkResultLength(static_cast<std::int64_t>(text.size()));
  return text;
}

bool startWithinText(const std::string& within, std::int32_t start) {
  return start >= 1 && static_cast<std::size_t>(start) <= within.size();
}

std::optional<std::int32_t> findText(const std::string& find, const std::string& within,
                                     std::optional<std::int32_t> start) {
  if (!start) {
    if (find.empty()) return 1;
    start = 1;
  } else {
    if (!startWithinText(within, *start)) return std::nullopt;
    if (find.empty()) return *start;
  }
  const std::size_t position = within.find(find, static_cast<std::size_t>(*start - 1));
  if (position == std::string::npos) return std::nullopt;
  return static_cast<std::int32_t>(position + 1);
}

std::optional<std::int32_t> searchText(const std::string& find, const std::string& within, std::int32_t start) {
  if (find.empty() || start < 1) return std::nullopt;
  const std::size_t position = upperCase(within).find(upperCase(find), static_cast<std::size_t>(start - 1));
  if (position == std::string::npos) return std::nullopt;
  return static_cast<std::int32_t>(position + 1);
}

std::string leftText(const std::string& text, std::int32_t count) { return extractText(text, 1, count); }

std::string rightText(const std::string& text, std::int32_t count) {
  return extractText(text, static_cast<std::int64_t>(text.size()) - count + 1, count);
}

std::optional<std::string> midText(const std::string& text, std::int32_t start, std::int32_t count) {
  if (start < 1 || count < 0) return std::nullopt;
  return extractText(text, start, count);
}

std::string replaceText(const std::string& oldText, std::int32_t start, std::int32_t count,
                        const std::string& newText) {
  const std::int64_t length = static_cast<std::int64_t>(oldText.size());
  const std::string head = extractText(oldText, 1, static_cast<std::int64_t>(start) - 1);
  const std::string tail = extractText(oldText, static_cast<std::int64_t>(start) + count, length);
  checkResultLength(static_cast<std::int64_t>(head.size() + newText.size() + tail.size()));
  return head + newText + tail;
}

std::string substituteAll(const std::string& text, const std::string& oldText, const std::string& newText) {
  if (oldText.empty()) return text;
  // Only growth is refused: a text already longer came from elsewhere.
  const std::int64_t limit = std::max<std::int64_t>(maxSheetTextLength, static_cast<std::int64_t>(text.size()));
  std::string result;
  std::size_t from = 0;
  for (std::size_t found = text.find(oldText); found != std::string::npos; found = text.find(oldText, from)) {
    result.append(text, from, found - from);
    result += newText;
    from = found + oldText.size();
    if (static_cast<std::int64_t>(result.size()) > limit) throw ERangeError();
  }
  result.append(text, from, std::string::npos);
  if (static_cast<std::int64_t>(result.size()) > limit) throw ERangeError();
  return result;
}

std::string substituteOne(const std::string& text, const std::string& oldText, const std::string& newText,
                          std::int32_t instance) {
  std::string result = substituteInstance(text, oldText, newText, instance);
  if (result.size() > text.size()) checkResultLength(static_cast<std::int64_t>(result.size()));
  return result;
}
