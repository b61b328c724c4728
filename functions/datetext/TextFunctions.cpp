#include "functions/datetext/TextFunctions.h"

#include <algorithm>
#include <cmath>

#include "model/Rounding.h"
#include "model/TextFormatting.h"
#include "platform/NumericErrors.h"
#include "sheet/EvalContext.h"
#include "sheet/Sheet.h"

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

std::string cleanControlChars(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (char c : text) {
    const unsigned char code = static_cast<unsigned char>(c);
    if (code >= 32 || code == '\n' || code == '\r') result += c;
  }
  return result;
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

namespace {

bool argumentCountWithin(const TEvalContext& context, int fewest, int most) {
  return context.argumentCount() >= fewest && context.argumentCount() <= most;
}

// An integer argument that may be left out.
bool optionalIntegerArgument(TEvalContext& context, int i, std::int32_t defaultValue, std::int32_t& value) {
  if (i >= context.argumentCount()) {
    value = defaultValue;
    return true;
  }
  return context.integerArgument(i, value);
}

// The one-text functions: CLEAN, LEN, LOWER, PROPER, TRIM, UPPER.
void evalTextToText(TEvalContext& context, std::string (*rework)(const std::string&)) {
  std::string text;
  if (context.argumentCount() == 1 && context.stringArgument(0, text)) context.setStringResult(rework(text));
}

void evalCHAR(TEvalContext& context) {
  std::int32_t code = 0;
  if (context.argumentCount() == 1 && context.integerArgument(0, code)) context.setStringResult(characterOfCode(code));
}

void evalCODE(TEvalContext& context) {
  std::string text;
  if (context.argumentCount() != 1 || !context.stringArgument(0, text)) return;
  if (std::optional<std::int32_t> code = codeOfFirstCharacter(text)) context.setIntegerResult(*code);
}

void evalDOLLAR(TEvalContext& context) {
  double value = 0;
  std::int32_t decimals = 0;
  if (!argumentCountWithin(context, 1, 2) || !context.numberArgument(0, value) ||
      !optionalIntegerArgument(context, 1, 2, decimals))
    return;
  std::optional<std::string> text = dollarText(value, decimals);
  if (!text) {
    context.fail(errNum);
    return;
  }
  context.setStringResult(std::move(*text));
}

void evalEXACT(TEvalContext& context) {
  std::string a, b;
  if (context.argumentCount() == 2 && context.stringArgument(0, a) && context.stringArgument(1, b))
    context.setIntegerResult(a == b ? 1 : 0);
}

// FIND and SEARCH (find, within [, start]).
void evalFindOrSearch(TEvalContext& context, bool ignoreCase) {
  std::string find, within;
  std::int32_t start = 1;
  if (!argumentCountWithin(context, 2, 3) || !context.stringArgument(0, find) || !context.stringArgument(1, within))
    return;
  const bool startGiven = context.argumentCount() == 3;
  if (startGiven && !context.integerArgument(2, start)) return;
  std::optional<std::int32_t> position;
  if (ignoreCase) {
    if (startGiven && !startWithinText(within, start)) {
      context.fail(errNum);
      return;
    }
    position = searchText(find, within, start);
  } else {
    position = findText(find, within, startGiven ? std::optional<std::int32_t>(start) : std::nullopt);
  }
  if (position) context.setIntegerResult(*position);
}

// FIXED (x [, decimals [, noCommas]]) with the sheet's own separators.
void evalFIXED(TEvalContext& context) {
  double value = 0;
  std::int32_t decimals = 0, noCommas = 0;
  if (!argumentCountWithin(context, 1, 3) || !context.numberArgument(0, value) ||
      !optionalIntegerArgument(context, 1, 2, decimals) || !optionalIntegerArgument(context, 2, 0, noCommas))
    return;
  const TSheet& sheet = context.sheet;
  context.setStringResult(
      formatFixed(decimals, noCommas != 0, false, value, sheet.decimalSeparator, sheet.thousandSeparator));
}

// LEFT and RIGHT (text [, n]).
void evalLeftOrRight(TEvalContext& context, std::string (*take)(const std::string&, std::int32_t)) {
  std::string text;
  std::int32_t count = 0;
  if (argumentCountWithin(context, 1, 2) && context.stringArgument(0, text) &&
      optionalIntegerArgument(context, 1, 1, count))
    context.setStringResult(take(text, count));
}

void evalLEN(TEvalContext& context) {
  std::string text;
  if (context.argumentCount() == 1 && context.stringArgument(0, text))
    context.setIntegerResult(static_cast<std::int32_t>(text.size()));
}

void evalMID(TEvalContext& context) {
  std::string text;
  std::int32_t start = 0, count = 0;
  if (context.argumentCount() != 3 || !context.stringArgument(0, text) || !context.integerArgument(1, start) ||
      !context.integerArgument(2, count))
    return;
  std::optional<std::string> part = midText(text, start, count);
  if (!part) {
    context.fail(errNum);
    return;
  }
  context.setStringResult(std::move(*part));
}

void evalREPLACE(TEvalContext& context) {
  std::string oldText, newText;
  std::int32_t start = 0, count = 0;
  if (context.argumentCount() == 4 && context.stringArgument(0, oldText) && context.integerArgument(1, start) &&
      context.integerArgument(2, count) && context.stringArgument(3, newText))
    context.setStringResult(replaceText(oldText, start, count, newText));
}

void evalREPT(TEvalContext& context) {
  std::string text;
  std::int32_t count = 0;
  if (context.argumentCount() == 2 && context.stringArgument(0, text) && context.integerArgument(1, count))
    context.setStringResult(repeatString(text, count));
}

void evalSUBSTITUTE(TEvalContext& context) {
  std::string text, oldText, newText;
  std::int32_t instance = 0;
  if (!argumentCountWithin(context, 3, 4) || !context.stringArgument(0, text) ||
      !context.stringArgument(1, oldText) || !context.stringArgument(2, newText))
    return;
  if (context.argumentCount() == 3) {
    context.setStringResult(substituteAll(text, oldText, newText));
  } else if (context.integerArgument(3, instance)) {
    context.setStringResult(substituteOne(text, oldText, newText, instance));
  }
}

// T (value): the conversion keeps the value's kind, which tells a text from
// a number that was only written as one.
void evalT(TEvalContext& context) {
  std::string text;
  if (context.argumentCount() != 1 || !context.stringArgument(0, text)) return;
  const bool isText = context.argument(0)->value.kind == valueString;
  context.setStringResult(isText ? std::move(text) : std::string());
}

void evalVALUE(TEvalContext& context) {
  double value = 0;
  if (context.argumentCount() == 1 && context.numberArgument(0, value)) context.setNumberResult(value);
}

}  // namespace

void registerTextFunctions(TBuiltinTable& table) {
  table[FunctionIdOf("CHAR")] = evalCHAR;
  table[FunctionIdOf("CLEAN")] = [](TEvalContext& context) { evalTextToText(context, cleanControlChars); };
  table[FunctionIdOf("CODE")] = evalCODE;
  table[FunctionIdOf("DOLLAR")] = evalDOLLAR;
  table[FunctionIdOf("EXACT")] = evalEXACT;
  table[FunctionIdOf("FIND")] = [](TEvalContext& context) { evalFindOrSearch(context, false); };
  table[FunctionIdOf("FIXED")] = evalFIXED;
  table[FunctionIdOf("LEFT")] = [](TEvalContext& context) { evalLeftOrRight(context, leftText); };
  table[FunctionIdOf("LEN")] = evalLEN;
  table[FunctionIdOf("LOWER")] = [](TEvalContext& context) {
    evalTextToText(context, [](const std::string& text) { return lowerCase(text); });
  };
  table[FunctionIdOf("MID")] = evalMID;
  table[FunctionIdOf("PROPER")] = [](TEvalContext& context) { evalTextToText(context, properCase); };
  table[FunctionIdOf("REPLACE")] = evalREPLACE;
  table[FunctionIdOf("REPT")] = evalREPT;
  table[FunctionIdOf("RIGHT")] = [](TEvalContext& context) { evalLeftOrRight(context, rightText); };
  table[FunctionIdOf("SEARCH")] = [](TEvalContext& context) { evalFindOrSearch(context, true); };
  table[FunctionIdOf("SUBSTITUTE")] = evalSUBSTITUTE;
  table[FunctionIdOf("T")] = evalT;
  table[FunctionIdOf("TRIM")] = [](TEvalContext& context) { evalTextToText(context, trimBlanks); };
  table[FunctionIdOf("UPPER")] = [](TEvalContext& context) {
    evalTextToText(context, [](const std::string& text) { return upperCase(text); });
  };
  table[FunctionIdOf("VALUE")] = evalVALUE;
}
