#include "model/QuoteFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "model/MonthSets.h"
#include "platform/LocaleSettings.h"

namespace {

// Variable-width digit fields read at most this many digits: a longer run
// fails the slot instead of overflowing the value.
constexpr int maxFieldDigits = 9;

// The digits of the largest extended value in fixed notation, with room
// for a sign and the point.
constexpr size_t maxFixedIntegerDigits = 4940;

// Decimal mantissas of up to 19 digits fit a 64-bit integer; powers of ten
// up to 10^27 are exact in the 64-bit significand of an extended value, so
// one division of the two is correctly rounded.
constexpr int maxExactDigits = 19;
constexpr int maxExactPowerOfTen = 27;
// Far more significant digits than an extended value holds, so that the
// rounding of its last bit is decided by the digits kept.
constexpr size_t keptSignificantDigits = 160;

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
// Each reader takes the cursor and returns the cursor after what it read, or
// nullptr when the line does not match there.

bool isPlainLiteralCharacter(char c) { return c != '?' && c != ' ' && c != '*' && c != 'T' && c != '\\'; }

const char* matchLiteralPattern(const char* p, const char* end, const std::string& literal) {
  size_t k = 0;
  while (k < literal.size()) {
    const char c = literal[k];
    if (c == '?') {
      if (p == end) return nullptr;
      ++p;
      ++k;
    } else if (c == ' ') {
      while (k < literal.size() && literal[k] == ' ') ++k;
      if (p == end || *p != ' ') return nullptr;
      while (p != end && *p == ' ') ++p;
    } else if (c == '*') {
      while (k < literal.size() && literal[k] == '*') ++k;
      if (k == literal.size()) return end;
      char stop = literal[k];
      if (stop == 'T') stop = '\t';
      else if (stop == '\\') stop = literal[k + 1];
      while (p != end && *p != stop) ++p;
      if (p == end) return end;
    } else if (c == '\\') {
      // A short line may end inside an escaped part of the literal.
      if (p == end) return end;
      if (*p != literal[k + 1]) return nullptr;
      ++p;
      k += 2;
    } else {
      const char expected = c == 'T' ? '\t' : c;
      if (p == end || *p != expected) return nullptr;
      ++p;
      ++k;
    }
  }
  return p;
}

inline const char* readDigits(const char* p, const char* end, int& value) {
  const char* const start = p;
  value = 0;
  while (p != end && isDigit(*p)) {
    if (p - start == maxFieldDigits) return nullptr;
    value = value * 10 + (*p++ - '0');
  }
  return p == start ? nullptr : p;
}

inline const char* readFixedDigits(const char* p, const char* end, int count, int& value) {
  if (end - p < count) return nullptr;
  value = 0;
  for (int i = 0; i < count; ++i, ++p) {
    if (!isDigit(*p)) return nullptr;
    value = value * 10 + (*p - '0');
  }
  return p;
}

const char* readMonthName(const char* p, const char* end, int set, int& month) {
  const size_t left = static_cast<size_t>(end - p);
  for (month = 1; month <= 12; ++month) {
    const std::string& name = monthNameOfSet(set, month);
    if (name.empty() || name.size() > left) continue;
    size_t i = 0;
    while (i < name.size() && upperAscii(name[i]) == upperAscii(p[i])) ++i;
    if (i == name.size()) return p + i;
  }
  return nullptr;
}

// Powers of ten exactly representable in the 64-bit significand.
constexpr long double exactPowersOfTen[maxExactPowerOfTen + 1] = {
    1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,  1e7L,  1e8L,  1e9L,  1e10L, 1e11L, 1e12L, 1e13L,
    1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L, 1e20L, 1e21L, 1e22L, 1e23L, 1e24L, 1e25L, 1e26L, 1e27L};

// A number that does not fit the exact path, converted by the C library.
// The library's time grows with the square of the text's length, so only
// the leading significant digits go to it, with the place of the decimal
// point as an exponent; the digits after those decide no more than whether
// anything non-zero follows, which one more digit carries.
long double decimalTextToExtended(const char* p, const char* end, char separator) {
  std::string text;
  if (p != end && (*p == '+' || *p == '-')) text += *p++;
  int64_t exponent = 0;
  bool afterSeparator = false;
  bool significant = false;
  bool droppedNonZero = false;
  size_t kept = 0;
  for (; p != end; ++p) {
    const char c = *p;
    if (c == separator) {
      afterSeparator = true;
    } else if (!significant && c == '0') {
      if (afterSeparator) --exponent;
    } else if (kept < keptSignificantDigits) {
      significant = true;
      text += c;
      ++kept;
      if (afterSeparator) --exponent;
    } else {
      if (!afterSeparator) ++exponent;
      droppedNonZero = droppedNonZero || c != '0';
    }
  }
  if (kept == 0) {
    text += '0';
    exponent = 0;
  } else if (droppedNonZero) {
    text += '1';
    --exponent;
  }
  text += 'e';
  text += std::to_string(exponent);
  return std::strtold(text.c_str(), nullptr);
}

// Takes a sign or the separator, then digits and the separator once; a
// valid number (one with a digit) is stored, anything else leaves the
// value absent. Never fails.
inline const char* readValue(const char* p, const char* end, char separator, long double& value, bool& present) {
  const char* const start = p;
  bool negative = false;
  bool leadingSeparator = false;
  if (p != end && !isDigit(*p)) {
    if (*p == separator) leadingSeparator = true;
    else if (*p == '+' || *p == '-') negative = *p == '-';
    else return p;
    ++p;
  }
  uint64_t mantissa = 0;
  const char* const integerStart = p;
  if (!leadingSeparator) {
    while (p != end && isDigit(*p)) mantissa = mantissa * 10 + static_cast<uint64_t>(*p++ - '0');
  }
  int digits = static_cast<int>(p - integerStart);
  int scale = 0;
  if (leadingSeparator || (p != end && *p == separator)) {
    if (!leadingSeparator) ++p;
    const char* const fractionStart = p;
    while (p != end && isDigit(*p)) mantissa = mantissa * 10 + static_cast<uint64_t>(*p++ - '0');
    scale = static_cast<int>(p - fractionStart);
    digits += scale;
  }
  present = digits > 0;
  if (!present) return p;
  // Up to 19 digits (leading zeros included) cannot overflow the mantissa.
  if (digits > maxExactDigits || scale > maxExactPowerOfTen) {
    value = decimalTextToExtended(start, p, separator);
    // A run of digits beyond every extended value is no number.
    present = std::isfinite(value);
    return p;
  }
  value = static_cast<long double>(mantissa);
  if (scale > 0) value /= exactPowersOfTen[scale];
  if (negative) value = -value;
  return p;
}

inline const char* readDateSlot(const char* p, const char* end, const TQuoteSlot& slot, TQuoteRecord& quote) {
  int value = 0;
  switch (slot.kind) {
    case quoteSlotDay:
      p = readDigits(p, end, value);
      if (p == nullptr || value < 1 || value > 31) return nullptr;
      quote.Day = static_cast<uint16_t>(value);
      return p;
    case quoteSlotDay2:
      if (p == end || *p > '3') return nullptr;
      p = readFixedDigits(p, end, 2, value);
      if (p == nullptr || value < 1 || value > 31) return nullptr;
      quote.Day = static_cast<uint16_t>(value);
      return p;
    case quoteSlotMonth:
      p = readDigits(p, end, value);
      if (p == nullptr || value < 1 || value > 12) return nullptr;
      quote.Month = static_cast<uint16_t>(value);
      return p;
    case quoteSlotMonth2:
      if (p == end || *p > '1') return nullptr;
      p = readFixedDigits(p, end, 2, value);
      if (p == nullptr || value < 1 || value > 12) return nullptr;
      quote.Month = static_cast<uint16_t>(value);
      return p;
    case quoteSlotYear:
      p = readDigits(p, end, value);
      if (p == nullptr || value < 1 || value > 9999) return nullptr;
      break;
    case quoteSlotYear2:
      p = readFixedDigits(p, end, 2, value);
      break;
    case quoteSlotCenturyYear:
      p = readFixedDigits(p, end, 2, value);
      value += slot.century * 100;
      break;
    case quoteSlotPivotYear:
      p = readFixedDigits(p, end, 2, value);
      value += (value > slot.pivot ? slot.century - 1 : slot.century) * 100;
      break;
    case quoteSlotYear3:
      p = readFixedDigits(p, end, 3, value);
      break;
    case quoteSlotYear4:
      p = readFixedDigits(p, end, 4, value);
      break;
    default:  // month names
      p = readMonthName(p, end, slot.kind - quoteSlotMonthName, value);
      if (p != nullptr) quote.Month = static_cast<uint16_t>(value);
      return p;
  }
  if (p != nullptr) quote.Year = static_cast<uint16_t>(value);
  return p;
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
  for (TQuoteSlot& slot : format.slots) {
    slot.fieldBit = fieldBitOf(slot.kind);
    slot.plainCharacter = slot.kind == quoteSlotLiteral && slot.literal.size() == 1 &&
                          isPlainLiteralCharacter(slot.literal[0]);
  }
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
  // The mask is built apart: kept in the record, it would be written back
  // after every value, since a store into a value might change it.
  uint16_t mask = 0;
  quote.Error = 0;
  const char* p = line.data();
  const char* const end = p + line.size();
  for (const TQuoteSlot& slot : format.slots) {
    const uint8_t kind = slot.kind;
    if (kind == quoteSlotLiteral) {
      if (slot.plainCharacter) {
        p = p != end && *p == slot.literal[0] ? p + 1 : nullptr;
      } else {
        p = matchLiteralPattern(p, end, slot.literal);
      }
    } else if (isValueKind(kind)) {
      long double value = 0;
      bool present = false;
      p = readValue(p, end, slot.decimalSeparator, value, present);
      if (present) {
        quote.*quoteValueFields[valueIndexOf(kind)] = value;
        mask |= slot.fieldBit;
      }
    } else if (kind == quoteSlotEmpty) {
      break;
    } else {
      p = readDateSlot(p, end, slot, quote);
      if (p != nullptr) mask |= slot.fieldBit;
    }
    if (p == nullptr) {
      quote.Error = 1;
      break;
    }
  }
  quote.Mask = mask;
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

// Fixed notation whatever the magnitude: the reader takes no exponent, so an
// exponent form would read back as another number, or fail the line. A value
// that is no number writes nothing, so that its slot reads back as absent.
std::string formatQuoteValue(int decimals, long double value) {
  const char decimalSeparator = localeSettings().decimalSeparator;
  if (!std::isfinite(value)) return std::string();
  char buffer[128];
  std::string text;
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  if (result.ec == std::errc()) {
    text.assign(buffer, result.ptr);
  } else {
    text.assign(maxFixedIntegerDigits + static_cast<size_t>(std::max(decimals, 0)), '\0');
    const auto longer = std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, decimals);
    text.resize(static_cast<size_t>(longer.ptr - text.data()));
  }
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
