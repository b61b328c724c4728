#include "model/QuoteFormat.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "model/MonthSets.h"
#include "platform/LocaleSettings.h"

namespace {

// Variable-width digit fields read at most this many digits: a longer run
// fails the slot instead of overflowing the value.
constexpr int maxFieldDigits = 9;

// Fixed notation is used below this magnitude, exponent form above it
// (18 significant digits is all an extended value holds).
constexpr long double fixedNotationLimit = 1e18L;

// Decimal mantissas of up to 19 digits fit a 64-bit integer; powers of ten
// up to 10^27 are exact in the 64-bit significand of an extended value, so
// one division of the two is correctly rounded.
constexpr int maxExactMantissaDigits = 19;
constexpr int maxExactPowerOfTen = 27;

// Month names: set 0 is the built-in English set, set n + 1 user set n.
const std::string& monthNameOfSet(int set, int month) { return monthSets()[set].names[month - 1]; }

char upperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isFixedWidth(uint8_t kind) {
  switch (kind) {
    case quoteSlotDay2:
    case quoteSlotMonth2:
    case quoteSlotYear2:
    case quoteSlotCenturyYear:
    case quoteSlotPivotYear:
    case quoteSlotYear3:
    case quoteSlotYear4:
      return true;
    default:
      return false;
  }
}

bool isMonthNameKind(uint8_t kind) { return kind >= quoteSlotMonthName && kind <= quoteSlotUserMonthName0 + 9; }
bool isYearKind(uint8_t kind) { return kind >= quoteSlotYear && kind <= quoteSlotYear4; }
bool isValueKind(uint8_t kind) { return kind >= quoteSlotOpen && kind <= quoteSlotAskSize; }
int valueIndexOf(uint8_t kind) { return kind - quoteSlotOpen; }

uint16_t fieldBitOf(uint8_t kind) {
  if (kind == quoteSlotDay || kind == quoteSlotDay2) return quoteDayBit;
  if (kind == quoteSlotMonth || kind == quoteSlotMonth2 || isMonthNameKind(kind)) return quoteMonthBit;
  if (isYearKind(kind)) return quoteYearBit;
  if (isValueKind(kind)) return quoteValueBit(valueIndexOf(kind));
  return 0;
}

int valueKindOfLetter(char upper) {
  static constexpr std::string_view letters = "OHLCVIBAPQ";
  const size_t index = letters.find(upper);
  return index == std::string_view::npos ? -1 : quoteSlotOpen + static_cast<int>(index);
}

class TFormatCompiler {
 public:
  explicit TFormatCompiler(std::string_view text) : text_(text) {}

  // False on an invalid item; the slots then hold a partial format.
  bool compile(TQuoteFormat& format) {
    slots_ = &format.slots;
    while (position_ < text_.size() && filled_ < quoteFormatSlotCount) {
      const char c = upperAscii(text_[position_]);
      if (c == '#') break;
      if (!compileItem(c)) return false;
    }
    return true;
  }

  uint16_t usedFields() const { return used_; }

 private:
  bool compileItem(char c) {
    if (c == 'D') return addField(repeats('D', 2) == 2 ? quoteSlotDay2 : quoteSlotDay);
    if (c == 'M') return compileMonth();
    if (c == 'Y') {
      static constexpr uint8_t yearKinds[5] = {0, quoteSlotYear, quoteSlotYear2, quoteSlotYear3, quoteSlotYear4};
      return addField(yearKinds[repeats('Y', 4)]);
    }
    if (isDigit(c)) return compileTwoDigitYear();
    if (const int valueKind = valueKindOfLetter(c); valueKind >= 0) {
      ++position_;
      return addField(static_cast<uint8_t>(valueKind));
    }
    if (c == 'S') {
      if (position_ + 1 >= text_.size()) return false;
      separator_ = text_[position_ + 1];
      position_ += 2;
      return true;
    }
    if (c == '\\') {
      if (position_ + 1 >= text_.size()) return false;
      appendLiteral(text_.substr(position_, 2));
      position_ += 2;
      return true;
    }
    appendLiteral(text_.substr(position_, 1));
    ++position_;
    return true;
  }

  // Consumes up to `limit` copies of the letter (either case); their count.
  int repeats(char letter, int limit) {
    int count = 0;
    while (count < limit && position_ < text_.size() && upperAscii(text_[position_]) == letter) {
      ++count;
      ++position_;
    }
    return count;
  }

  bool compileMonth() {
    const int count = repeats('M', 3);
    if (count < 3) return addField(count == 2 ? quoteSlotMonth2 : quoteSlotMonth);
    if (position_ < text_.size() && isDigit(text_[position_])) {
      const int set = text_[position_++] - '0';
      return addField(static_cast<uint8_t>(quoteSlotUserMonthName0 + set));
    }
    return addField(quoteSlotMonthName);
  }

  bool compileTwoDigitYear() {
    auto digitAt = [&](size_t offset) { return position_ + offset < text_.size() && isDigit(text_[position_ + offset]); };
    auto letterAt = [&](size_t offset, char letter) {
      return position_ + offset < text_.size() && upperAscii(text_[position_ + offset]) == letter;
    };
    if (!digitAt(1) || !letterAt(2, 'Y') || !letterAt(3, 'Y')) return false;
    const int century = (text_[position_] - '0') * 10 + (text_[position_ + 1] - '0');
    int pivot = -1;
    if (digitAt(4)) {
      if (!digitAt(5)) return false;
      pivot = (text_[position_ + 4] - '0') * 10 + (text_[position_ + 5] - '0');
    }
    position_ += pivot < 0 ? 4 : 6;
    if (!addField(pivot < 0 ? quoteSlotCenturyYear : quoteSlotPivotYear)) return false;
    TQuoteSlot& slot = (*slots_)[filled_ - 1];
    slot.century = static_cast<uint8_t>(century);
    if (pivot >= 0) slot.pivot = static_cast<uint8_t>(pivot);
    return true;
  }

  bool addField(uint8_t kind) {
    const uint16_t bit = fieldBitOf(kind);
    if (used_ & bit) return false;
    if (filled_ > 0) {
      const uint8_t previous = (*slots_)[filled_ - 1].kind;
      if (previous != quoteSlotLiteral && !isFixedWidth(previous)) return false;
    }
    TQuoteSlot& slot = (*slots_)[filled_++];
    slot.kind = kind;
    if (isValueKind(kind)) slot.decimalSeparator = separator_;
    used_ |= bit;
    return true;
  }

  void appendLiteral(std::string_view characters) {
    if (filled_ > 0 && (*slots_)[filled_ - 1].kind == quoteSlotLiteral) {
      (*slots_)[filled_ - 1].literal += characters;
      return;
    }
    TQuoteSlot& slot = (*slots_)[filled_++];
    slot.kind = quoteSlotLiteral;
    slot.literal.append(characters.data(), characters.size());
  }

  std::string_view text_;
  size_t position_ = 0;
  std::array<TQuoteSlot, quoteFormatSlotCount>* slots_ = nullptr;
  int filled_ = 0;
  uint16_t used_ = 0;
  char separator_ = '.';
};

// --- Parsing -------------------------------------------------------------

class TLineScanner {
 public:
  explicit TLineScanner(std::string_view line) : line_(line) {}

  bool atEnd() const { return position_ >= line_.size(); }
  char current() const { return line_[position_]; }

  bool matchLiteral(const std::string& literal);
  bool readDigits(int& value);
  bool readFixedDigits(int count, int& value);
  bool readMonthName(int set, int& month);
  bool readValue(char separator, long double& value);

 private:
  std::string_view line_;
  size_t position_ = 0;
};

bool TLineScanner::matchLiteral(const std::string& literal) {
  size_t k = 0;
  while (k < literal.size()) {
    const char c = literal[k];
    if (c == '?') {
      if (atEnd()) return false;
      ++position_;
      ++k;
    } else if (c == ' ') {
      while (k < literal.size() && literal[k] == ' ') ++k;
      if (atEnd() || current() != ' ') return false;
      while (!atEnd() && current() == ' ') ++position_;
    } else if (c == '*') {
      while (k < literal.size() && literal[k] == '*') ++k;
      if (k == literal.size()) {
        position_ = line_.size();
        return true;
      }
      char stop = literal[k];
      if (stop == 'T') stop = '\t';
      else if (stop == '\\') stop = literal[k + 1];
      const size_t found = line_.find(stop, position_);
      if (found == std::string_view::npos) {
        position_ = line_.size();
        return true;
      }
      position_ = found;
    } else if (c == '\\') {
      // A short line may end inside an escaped part of the literal.
      if (atEnd()) return true;
      if (current() != literal[k + 1]) return false;
      ++position_;
      k += 2;
    } else {
      const char expected = c == 'T' ? '\t' : c;
      if (atEnd() || current() != expected) return false;
      ++position_;
      ++k;
    }
  }
  return true;
}

bool TLineScanner::readDigits(int& value) {
  int count = 0;
  value = 0;
  while (!atEnd() && isDigit(current())) {
    if (++count > maxFieldDigits) return false;
    value = value * 10 + (current() - '0');
    ++position_;
  }
  return count > 0;
}

bool TLineScanner::readFixedDigits(int count, int& value) {
  value = 0;
  for (int i = 0; i < count; ++i) {
    if (atEnd() || !isDigit(current())) return false;
    value = value * 10 + (current() - '0');
    ++position_;
  }
  return true;
}

bool TLineScanner::readMonthName(int set, int& month) {
  const std::string_view rest = line_.substr(position_);
  for (month = 1; month <= 12; ++month) {
    const std::string& name = monthNameOfSet(set, month);
    if (name.empty() || name.size() > rest.size()) continue;
    bool same = true;
    for (size_t i = 0; i < name.size() && same; ++i) same = upperAscii(name[i]) == upperAscii(rest[i]);
    if (same) {
      position_ += name.size();
      return true;
    }
  }
  return false;
}

// Converts a run of digits with at most one decimal point (the run is
// known to hold at least one digit) to the nearest extended value.
long double decimalToExtended(std::string_view run, char separator) {
  const bool negative = run[0] == '-';
  uint64_t mantissa = 0;
  int significantDigits = 0;
  int scale = 0;
  bool afterSeparator = false;
  bool exact = true;
  for (char c : run) {
    if (c == separator) {
      afterSeparator = true;
    } else if (isDigit(c)) {
      if (mantissa == 0 && c == '0') {
        if (afterSeparator) ++scale;
        continue;
      }
      if (significantDigits == maxExactMantissaDigits) {
        exact = false;
        break;
      }
      mantissa = mantissa * 10 + static_cast<uint64_t>(c - '0');
      ++significantDigits;
      if (afterSeparator) ++scale;
    }
  }
  if (exact && scale <= maxExactPowerOfTen) {
    long double power = 1;
    for (int i = 0; i < scale; ++i) power *= 10;
    const long double magnitude = static_cast<long double>(mantissa) / power;
    return negative ? -magnitude : magnitude;
  }
  std::string text;
  text.reserve(run.size());
  for (char c : run) text += c == separator ? '.' : c;
  return std::strtold(text.c_str(), nullptr);
}

bool TLineScanner::readValue(char separator, long double& value) {
  const size_t start = position_;
  bool seenSeparator = false;
  bool seenDigit = false;
  if (!atEnd()) {
    const char c = current();
    if (isDigit(c)) seenDigit = true;
    else if (c == separator) seenSeparator = true;
    else if (c != '+' && c != '-') return false;
    ++position_;
  }
  while (!atEnd()) {
    const char c = current();
    if (isDigit(c)) seenDigit = true;
    else if (c == separator && !seenSeparator) seenSeparator = true;
    else break;
    ++position_;
  }
  if (!seenDigit) return false;
  value = decimalToExtended(line_.substr(start, position_ - start), separator);
  return true;
}

bool parseDateSlot(TLineScanner& scanner, const TQuoteSlot& slot, TQuoteRecord& quote) {
  int value = 0;
  switch (slot.kind) {
    case quoteSlotDay:
      if (!scanner.readDigits(value) || value < 1 || value > 31) return false;
      quote.Day = static_cast<uint16_t>(value);
      return true;
    case quoteSlotDay2:
      if (scanner.atEnd() || scanner.current() < '0' || scanner.current() > '3') return false;
      if (!scanner.readFixedDigits(2, value) || value < 1 || value > 31) return false;
      quote.Day = static_cast<uint16_t>(value);
      return true;
    case quoteSlotMonth:
      if (!scanner.readDigits(value) || value < 1 || value > 12) return false;
      quote.Month = static_cast<uint16_t>(value);
      return true;
    case quoteSlotMonth2:
      if (scanner.atEnd() || scanner.current() < '0' || scanner.current() > '1') return false;
      if (!scanner.readFixedDigits(2, value) || value < 1 || value > 12) return false;
      quote.Month = static_cast<uint16_t>(value);
      return true;
    case quoteSlotYear:
      if (!scanner.readDigits(value) || value < 1 || value > 9999) return false;
      break;
    case quoteSlotYear2:
      if (!scanner.readFixedDigits(2, value)) return false;
      break;
    case quoteSlotCenturyYear:
      if (!scanner.readFixedDigits(2, value)) return false;
      value += slot.century * 100;
      break;
    case quoteSlotPivotYear:
      if (!scanner.readFixedDigits(2, value)) return false;
      value += (value > slot.pivot ? slot.century - 1 : slot.century) * 100;
      break;
    case quoteSlotYear3:
      if (!scanner.readFixedDigits(3, value)) return false;
      break;
    case quoteSlotYear4:
      if (!scanner.readFixedDigits(4, value)) return false;
      break;
    default:  // month names
      if (!scanner.readMonthName(slot.kind - quoteSlotMonthName, value)) return false;
      quote.Month = static_cast<uint16_t>(value);
      return true;
  }
  quote.Year = static_cast<uint16_t>(value);
  return true;
}

// --- Writing -------------------------------------------------------------

void appendPadded(std::string& line, int value, int width) {
  char digits[16];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  for (int pad = width - static_cast<int>(result.ptr - digits); pad > 0; --pad) line += '0';
  line.append(digits, result.ptr);
}

void appendLiteral(std::string& line, const std::string& literal) {
  for (size_t k = 0; k < literal.size(); ++k) {
    if (literal[k] == 'T') line += '\t';
    else if (literal[k] == '\\') line += literal[++k];
    else line += literal[k];
  }
}

// False when the record lacks the slot's date part.
bool appendDateSlot(std::string& line, const TQuoteSlot& slot, const TQuoteRecord& quote) {
  if (!(quote.Mask & fieldBitOf(slot.kind))) return false;
  switch (slot.kind) {
    case quoteSlotDay: appendPadded(line, quote.Day, 1); break;
    case quoteSlotDay2: appendPadded(line, quote.Day, 2); break;
    case quoteSlotMonth: appendPadded(line, quote.Month, 1); break;
    case quoteSlotMonth2: appendPadded(line, quote.Month, 2); break;
    case quoteSlotYear: appendPadded(line, quote.Year, 1); break;
    case quoteSlotYear2:
    case quoteSlotCenturyYear:
    case quoteSlotPivotYear: appendPadded(line, quote.Year % 100, 2); break;
    case quoteSlotYear3: appendPadded(line, quote.Year % 1000, 3); break;
    case quoteSlotYear4: appendPadded(line, quote.Year % 10000, 4); break;
    default:
      if (quote.Month >= 1 && quote.Month <= 12) line += monthNameOfSet(slot.kind - quoteSlotMonthName, quote.Month);
      break;
  }
  return true;
}

}  // namespace

TQuoteFormat compileQuoteFormat(std::string_view formatString, bool allowIncomplete) {
  TQuoteFormat format;
  TFormatCompiler compiler(formatString);
  if (!compiler.compile(format)) return TQuoteFormat{};
  const uint16_t required = quoteDateBits | quoteCloseBit;
  if (!allowIncomplete && (compiler.usedFields() & required) != required) return TQuoteFormat{};
  return format;
}

bool isValidQuoteFormat(std::string_view formatString) { return !compileQuoteFormat(formatString, false).isEmpty(); }

uint16_t quoteFormatFields(const TQuoteFormat& format) {
  uint16_t fields = 0;
  for (const TQuoteSlot& slot : format.slots) {
    if (slot.kind == quoteSlotEmpty) break;
    fields |= fieldBitOf(slot.kind);
  }
  return fields;
}

void parseQuoteLine(std::string_view line, const TQuoteFormat& format, TQuoteRecord& quote) {
  quote.Mask = 0;
  quote.Error = 0;
  TLineScanner scanner(line);
  for (const TQuoteSlot& slot : format.slots) {
    if (slot.kind == quoteSlotEmpty) break;
    bool ok = true;
    if (slot.kind == quoteSlotLiteral) {
      ok = scanner.matchLiteral(slot.literal);
    } else if (isValueKind(slot.kind)) {
      long double value = 0;
      if (scanner.readValue(slot.decimalSeparator, value)) {
        quote.*quoteValueFields[valueIndexOf(slot.kind)] = value;
        quote.Mask |= fieldBitOf(slot.kind);
      }
    } else {
      ok = parseDateSlot(scanner, slot, quote);
      if (ok) quote.Mask |= fieldBitOf(slot.kind);
    }
    if (!ok) {
      quote.Error = 1;
      return;
    }
  }
}

void formatQuoteLine(const TQuoteRecord& quote, const TQuoteFormat& format, std::string& line) {
  line.clear();
  for (const TQuoteSlot& slot : format.slots) {
    if (slot.kind == quoteSlotEmpty) break;
    if (slot.kind == quoteSlotLiteral) {
      appendLiteral(line, slot.literal);
    } else if (isValueKind(slot.kind)) {
      if (!(quote.Mask & fieldBitOf(slot.kind))) continue;
      std::string text = formatQuoteValue(6, quote.*quoteValueFields[valueIndexOf(slot.kind)]);
      const size_t point = text.find(localeSettings().decimalSeparator);
      if (point != std::string::npos) text[point] = slot.decimalSeparator;
      line += text;
    } else if (!appendDateSlot(line, slot, quote)) {
      line.clear();
      return;
    }
  }
}

std::string formatQuoteValue(int decimals, long double value) {
  const char decimalSeparator = localeSettings().decimalSeparator;
  char buffer[128];
  if (!std::isfinite(value)) return std::isnan(value) ? "NAN" : (value < 0 ? "-INF" : "INF");
  if (std::fabs(value) >= fixedNotationLimit) {
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 17);
    std::string text(buffer, result.ptr);
    for (char& c : text) {
      if (c == 'e') c = 'E';
      else if (c == '.') c = decimalSeparator;
    }
    return text;
  }
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  std::string text(buffer, result.ptr);
  const size_t point = text.find('.');
  if (point != std::string::npos) {
    size_t end = text.find_last_not_of('0');
    if (end == point) --end;
    text.resize(end + 1);
    if (text.size() > point) text[point] = decimalSeparator;
  }
  // A negative value that rounds to zero is written as plain zero.
  if (text == "-0") text = "0";
  return text;
}
