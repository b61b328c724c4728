#pragma once
#include <cstdint>
#include <string>

// Number texts as a sheet reads and writes them, with separators given as
// texts (a sheet's own, or the locale's).

// Blanks, an optional "+" or "-", decimal digits, blanks; the value must fit
// a signed 32-bit integer.
bool textToIntStrict(const std::string& text, std::int32_t& value);

// A decimal number: blanks, sign, digits with at most one decimal
// separator, an optional exponent (E, sign, digits), blanks. Every thousands
// separator is dropped first; where it is the no-break space, so is every
// plain space between the digits. Only finite numbers are accepted.
bool textToFloat(const std::string& text, const std::string& decimalSep, const std::string& thousandSep,
                 double& value);

// 15 significant digits without trailing zeros; exponent form ("1E20",
// "1.5E-7") from 1E15 up and below 1E-4.
std::string floatToText(double x, const std::string& decimalSep);

// x truncated toward zero when that fits a signed 32-bit integer; false for
// NaN, infinities and anything beyond.
bool truncateToInt32(double x, std::int32_t& value);
