#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/QuoteRecord.h"

// Slot kinds of a compiled quote format. The codes are fixed: 7 + n is the
// month name of user month set n.
enum TQuoteSlotKind : uint8_t {
  quoteSlotEmpty = 0,
  quoteSlotLiteral = 1,
  quoteSlotDay = 2,          // D: one or more digits
  quoteSlotDay2 = 3,         // DD
  quoteSlotMonth = 4,        // M: one or more digits
  quoteSlotMonth2 = 5,       // MM
  quoteSlotMonthName = 6,    // MMM, built-in set
  quoteSlotUserMonthName0 = 7,  // MMM0 .. MMM9 are 7 .. 16
  quoteSlotYear = 17,        // Y: one or more digits
  quoteSlotYear2 = 18,       // YY: the two digits are the year
  quoteSlotCenturyYear = 19, // ccYY
  quoteSlotPivotYear = 20,   // ccYYpp
  quoteSlotYear3 = 21,       // YYY
  quoteSlotYear4 = 22,       // YYYY
  quoteSlotOpen = 23,        // 23 .. 32: the ten values in record order
  quoteSlotAskSize = 32,
};

struct TQuoteSlot {
  uint8_t kind = quoteSlotEmpty;
  char decimalSeparator = '.';
  uint8_t century = 20;
  uint8_t pivot = 50;
  std::string literal;  // escaped characters kept as backslash pairs
  // Worked out once when the format is compiled, for the parser.
  uint16_t fieldBit = 0;        // the Mask bit of a field slot
  bool plainCharacter = false;  // a literal of one character that matches itself
};

constexpr int quoteFormatSlotCount = 40;

// A compiled format; the first empty slot ends it. A format whose first
// slot is empty is the empty format, which its users reject as invalid.
struct TQuoteFormat {
  std::array<TQuoteSlot, quoteFormatSlotCount> slots;
  bool isEmpty() const { return slots[0].kind == quoteSlotEmpty; }
};

// Compiles a format string. Invalid strings, and without allowIncomplete
// strings lacking a day, month, year or Close, give the empty format.
TQuoteFormat compileQuoteFormat(std::string_view formatString, bool allowIncomplete);
bool isValidQuoteFormat(std::string_view formatString);

// The Mask bits a line of this format can carry.
uint16_t quoteFormatFields(const TQuoteFormat& format);

// Parses one line; Error is set when the line does not match the format.
void parseQuoteLine(std::string_view line, const TQuoteFormat& format, TQuoteRecord& quote);

// Writes one line; the line is empty when the record lacks a date part the
// format needs.
void formatQuoteLine(const TQuoteRecord& quote, const TQuoteFormat& format, std::string& line);

// The value with at most `decimals` decimals, trailing zeros removed, in the
// locale's decimal separator, in fixed notation however large; empty for a
// value that is no number.
std::string formatQuoteValue(int decimals, long double value);
