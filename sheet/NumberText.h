#pragma once
#include <cstdint>
#include <string>

// Number texts as a sheet reads and writes them, with separators given as
// texts (a sheet's own, or the locale's).

// Blanks, an optional "+" or "-", decimal digits, blanks; the value must fit
// a signed 32-bit integer.
bool textToIntStrict(const std::string& text, std::int32_t& value);

// A decimal number: blanks, sign, digits with at most one decimal
// separator, an optional exponent (E, sign, digits), blanks. Thousands
// separators may group the digits before the decimal separator: a first
// group of one to three digits not beginning with 0, then groups of three;
// a separator anywhere else makes the text no number. Where the separator is
// the no-break space, a plain space serves as well. Only finite numbers are
// accepted; one below the smallest double reads as a zero of its sign.
bool textToFloat(const std::string& text, const std::string& decimalSep, const std::string& thousandSep,
                 double& value);

// textToFloat with the separators of the user's regional settings: what a
// user types into a number box outside a sheet.
bool localTextToFloat(const std::string& text, double& value);

// 15 significant digits without trailing zeros; exponent form ("1E20",
// "1.5E-7") from 1E15 up and below 1E-4.
std::string floatToText(double x, const std::string& decimalSep);

// x truncated toward zero when that fits a signed 32-bit integer; false for
// NaN, infinities and anything beyond.
bool truncateToInt32(double x, std::int32_t& value);
