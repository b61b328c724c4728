#pragma once
#include <cstdint>
#include <string>

// Number display and the text reworking behind the sheet's text functions.
// Case mapping is the system locale's (platform/LocaleSettings.h); results
// longer than a sheet text may be raise ERangeError, which the evaluator
// shows as "#VALUE!".

constexpr std::size_t maxSheetTextLength = 32767;
constexpr int maxFixedDecimals = 127;

// value in fixed notation, rounded at the last decimal shown as roundToDigits
// rounds (negative decimals round left of the point and show no decimals);
// grouped by three unless noThousands; trailing decimal zeros dropped when
// trimZeros, the decimal separator too when no decimal is left. An empty
// decimalSep or thousandSep stands for the locale's separator. A display
// never shows a negative zero.
// Raises EInvalidOp for a value that is not a finite number and ERangeError
// for more than maxFixedDecimals decimals or a result beyond
// maxSheetTextLength.
std::string formatFixed(int decimals, bool noThousands, bool trimZeros, long double value,
                        const std::string& decimalSep, const std::string& thousandSep);

// Decimal text with separator before every group of three digits (none when
// the separator is empty); the minus sign stays with the digits.
std::string intToStrGrouped(std::int32_t value, const std::string& separator);

// Each word capitalised, the rest lower-cased: a character counts as a
// letter when its upper- and lower-case forms differ, and every character
// that follows a non-letter starts a word ("2nd" becomes "2Nd").
std::string properCase(const std::string& text);

// text count times; empty for count <= 0.
std::string repeatString(const std::string& text, int count);

// text with only the instance-th occurrence of oldText (counting from 1,
// searching on after each occurrence, case-sensitive) replaced by newText;
// unchanged when there is no such occurrence or oldText is empty.
std::string substituteInstance(const std::string& text, const std::string& oldText, const std::string& newText,
                               int instance);

// Leading and trailing spaces removed and inner runs of spaces made one; only
// the space character counts.
std::string trimBlanks(const std::string& text);
