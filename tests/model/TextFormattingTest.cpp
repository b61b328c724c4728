#include <gtest/gtest.h>

#include <limits>

#include "model/TextFormatting.h"
#include "platform/LocaleSettings.h"
#include "platform/NumericErrors.h"

namespace {
// The way number cells display: thousands on, zeros trimmed, given separators.
std::string shown(int decimals, double value, bool trimZeros = true) {
  return formatFixed(decimals, false, trimZeros, value, "", "");
}

class TextFormattingTest : public testing::Test {
 protected:
  void TearDown() override { localeSettings() = defaultLocaleSettings(); }
};
}  // namespace

TEST_F(TextFormattingTest, FormatFixedGroupsAndUsesTheGivenSeparators) {
  EXPECT_EQ(formatFixed(2, false, true, 1234.5, ",", "."), "1.234,5");
  EXPECT_EQ(formatFixed(2, false, false, 1234.5, ",", "."), "1.234,50");
  EXPECT_EQ(formatFixed(2, false, false, -1234567.891, "", ""), "-1,234,567.89");
  EXPECT_EQ(formatFixed(0, false, false, 1234567, "", "'"), "1'234'567");
  EXPECT_EQ(formatFixed(2, false, false, 999.999, "", ""), "1,000.00");
  EXPECT_EQ(formatFixed(2, false, false, 123, ", ", " "), "123, 00");
  // The locale's separators stand in for empty parameters.
  localeSettings().decimalSeparator = ',';
  localeSettings().thousandSeparator = '.';
  EXPECT_EQ(formatFixed(2, false, false, 1234.5, "", ""), "1.234,50");
}

TEST_F(TextFormattingTest, FormatFixedTrimsZerosAndRoundsNegativeDecimalsToTheLeft) {
  EXPECT_EQ(formatFixed(2, true, true, 3, ".", ""), "3");
  EXPECT_EQ(formatFixed(-2, true, true, 1234, ".", ""), "1200");
  EXPECT_EQ(formatFixed(-2, false, false, 1250, "", ""), "1,200");
  EXPECT_EQ(formatFixed(-3, false, false, 987654, "", ""), "988,000");
  EXPECT_EQ(shown(2, 3.14159), "3.14");
  EXPECT_EQ(shown(2, 2.5), "2.5");
  EXPECT_EQ(shown(2, 2.5, false), "2.50");
  EXPECT_EQ(shown(2, 0.1), "0.1");
  EXPECT_EQ(shown(3, 0.0005), "0");
}

TEST_F(TextFormattingTest, FormatFixedShowsTheDigitsOfTheStoredDouble) {
  EXPECT_EQ(formatFixed(15, true, true, 1234.1, "", ""), "1234.1");
  EXPECT_EQ(formatFixed(15, true, true, 0.1 + 0.2, "", ""), "0.3");
  EXPECT_EQ(formatFixed(17, true, true, 0.1 + 0.2, "", ""), "0.30000000000000004");
  EXPECT_EQ(formatFixed(15, true, true, 45000.5, "", ""), "45000.5");
  EXPECT_EQ(formatFixed(15, true, true, 123456789.123456789, "", ""), "123456789.12345679");
  EXPECT_EQ(formatFixed(0, true, true, 9007199254740993.0, "", ""), "9007199254740992");
  EXPECT_EQ(formatFixed(2, true, false, 1e25, "", ""), "10000000000000000000000000.00");
  EXPECT_EQ(formatFixed(0, true, true, 1e308, "", "").size(), 309u);
  EXPECT_EQ(formatFixed(20, true, false, 0.1, "", ""), "0.10000000000000000000");
  // Halves follow the sheet's rounding: to the even neighbour.
  EXPECT_EQ(shown(0, 2.5), "2");
  EXPECT_EQ(shown(0, 3.5), "4");
  EXPECT_EQ(shown(2, 0.125), "0.12");
}

TEST_F(TextFormattingTest, FormatFixedNeverShowsNegativeZero) {
  EXPECT_EQ(shown(2, -0.0), "0");
  EXPECT_EQ(shown(2, -0.001, false), "0.00");
  EXPECT_EQ(shown(0, -0.4), "0");
  EXPECT_EQ(formatFixed(-2, false, false, -49, "", ""), "0");
  EXPECT_EQ(shown(2, -0.006), "-0.01");
}

TEST_F(TextFormattingTest, FormatFixedRefusesWhatItCannotShow) {
  EXPECT_THROW(shown(2, std::numeric_limits<double>::quiet_NaN()), EInvalidOp);
  EXPECT_THROW(shown(2, std::numeric_limits<double>::infinity()), EInvalidOp);
  EXPECT_NO_THROW(shown(maxFixedDecimals, 1.5));
  EXPECT_THROW(shown(maxFixedDecimals + 1, 1.5), ERangeError);
  EXPECT_THROW(shown(2147483647, 1.5), ERangeError);
  EXPECT_THROW(formatFixed(-2147483647, false, false, 1e300, "", ""), ERangeError);
  std::string longSeparator(400, '_');
  EXPECT_THROW(formatFixed(0, false, false, 1e300, "", longSeparator), ERangeError);
}

TEST_F(TextFormattingTest, IntToStrGroupedKeepsTheSignWithTheDigits) {
  EXPECT_EQ(intToStrGrouped(1000, "'"), "1'000");
  EXPECT_EQ(intToStrGrouped(999, "'"), "999");
  EXPECT_EQ(intToStrGrouped(-1234567, ","), "-1,234,567");
  EXPECT_EQ(intToStrGrouped(-123, ","), "-123");
  EXPECT_EQ(intToStrGrouped(-123456, ","), "-123,456");
  EXPECT_EQ(intToStrGrouped(-2147483647 - 1, "."), "-2.147.483.648");
  EXPECT_EQ(intToStrGrouped(1234567, ""), "1234567");
  EXPECT_EQ(intToStrGrouped(0, ","), "0");
}

TEST_F(TextFormattingTest, TextRoutinesOfTheSheetFunctions) {
  EXPECT_EQ(properCase("hello WORLD-foo 2nd"), "Hello World-Foo 2Nd");
  EXPECT_EQ(properCase("\xe9t\xe9 \xc9T\xc9"), "\xc9t\xe9 \xc9t\xe9");
  EXPECT_EQ(properCase(""), "");
  EXPECT_EQ(repeatString("ab", 3), "ababab");
  EXPECT_EQ(repeatString("ab", 0), "");
  EXPECT_EQ(repeatString("ab", -5), "");
  EXPECT_EQ(substituteInstance("a-b-c", "-", "+", 2), "a-b+c");
  EXPECT_EQ(substituteInstance("a-b-c", "-", "+", 0), "a-b-c");
  EXPECT_EQ(substituteInstance("a-b-c", "-", "+", 3), "a-b-c");
  EXPECT_EQ(substituteInstance("aaaa", "aa", "x", 2), "aax");
  EXPECT_EQ(substituteInstance("aAa", "a", "x", 2), "aAx");
  EXPECT_EQ(substituteInstance("abc", "", "x", 1), "abc");
  EXPECT_EQ(trimBlanks("  a   b  "), "a b");
  EXPECT_EQ(trimBlanks("\ta \t b\t"), "\ta \t b\t");
  EXPECT_EQ(trimBlanks("   "), "");
}

TEST_F(TextFormattingTest, RepeatStringStopsAtTheSheetTextLimit) {
  EXPECT_EQ(repeatString("x", 32767).size(), 32767u);
  EXPECT_THROW(repeatString("x", 32768), ERangeError);
  EXPECT_THROW(repeatString("abc", 2147483647), ERangeError);
  EXPECT_EQ(repeatString("", 2147483647), "");
}
