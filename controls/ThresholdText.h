#pragma once
#include <string>

// The number text of the threshold prompt, in the user's decimal separator.

// Fifteen fixed decimals with trailing zeros (and a bare separator) removed:
// 12.5, 3. Numbers of 1E18 and more, and numbers too small to show a digit
// in fifteen decimals, take the exponent form of 15 significant digits
// ("1E25", "1.5E-20"), so that no threshold shows as another number.
std::string thresholdFloatToString(double x);
