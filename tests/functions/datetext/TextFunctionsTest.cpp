#include "functions/datetext/TextFunctions.h"

#include <gtest/gtest.h>

#include "model/TextFormatting.h"
#include "platform/NumericErrors.h"
#include "tests/sheet/SheetTestSupport.h"

namespace {

constexpr std::int32_t largest = 2147483647;

TEST(TextFunctionsTest, ExtractingFollowsTheClampingRules) {
  EXPECT_EQ("bc", extractText("abc", 2, 5));
  EXPECT_EQ("ab", extractText("abc", -7, 2));
  EXPECT_EQ("", extractText("abc", 4, 1));
  EXPECT_EQ("", extractText("abc", 1, -1));
  EXPECT_EQ("abc", extractText("abc", 1, 3));
}

TEST(TextFunctionsTest, LeftRightMid) {
  EXPECT_EQ("a", leftText("abc", 1));
  EXPECT_EQ("", leftText("abc", -1));
  EXPECT_EQ("abc", leftText("abc", largest));
  EXPECT_EQ("c", rightText("abc", 1));
  EXPECT_EQ("abc", rightText("abc", 5));
  EXPECT_EQ("abc", rightText("abc", largest));
  EXPECT_EQ("", rightText("abc", 0));
  EXPECT_EQ("", rightText("abc", -2147483647 - 1));
  EXPECT_EQ("bc", midText("abc", 2, 5).value());
  EXPECT_EQ("", midText("abc", 4, 1).value());
  // start + count past 2^31 must not wrap to a negative end
  EXPECT_EQ("bc", midText("abc", 2, largest).value());
  EXPECT_EQ("", midText("abc", largest, largest).value());
  EXPECT_FALSE(midText("abc", 0, 1));
  EXPECT_FALSE(midText("abc", 1, -1));
}

TEST(TextFunctionsTest, ReplaceKeepsTheRestOfTheText) {
  EXPECT_EQ("aXef", replaceText("abcdef", 2, 3, "X"));
  EXPECT_EQ("Xabcdef", replaceText("abcdef", 1, 0, "X"));
  EXPECT_EQ("abcdefX", replaceText("abcdef", 7, 0, "X"));
  EXPECT_EQ("abcdefX", replaceText("abcdef", 99, 5, "X"));
  // No range checks: the tail is read from start + count, clamped to 1.
  EXPECT_EQ("aXabcdef", replaceText("abcdef", 2, -5, "X"));
  EXPECT_EQ("X", replaceText("abcdef", -3, 99, "X"));
  EXPECT_EQ("aX", replaceText("abcdef", 2, largest, "X"));
  EXPECT_EQ("abcdefX", replaceText("abcdef", largest, largest, "X"));
  EXPECT_THROW(replaceText("ab", 2, 0, std::string(maxSheetTextLength - 1, 'x')), ERangeError);
  EXPECT_EQ(maxSheetTextLength, replaceText("ab", 2, 1, std::string(maxSheetTextLength - 1, 'x')).size());
}

TEST(TextFunctionsTest, FindTellsCase) {
  EXPECT_EQ(4, findText("b", "abcb", 3));
  EXPECT_EQ(2, findText("b", "abcb"));
  EXPECT_FALSE(findText("B", "abcb"));
  EXPECT_FALSE(findText("b", "abcb", 0));
  EXPECT_FALSE(findText("b", "abcb", 5));
  EXPECT_FALSE(findText("", "abcb", 5));
  EXPECT_EQ(3, findText("", "abcb", 3));
  EXPECT_EQ(1, findText("", "abcb"));
  EXPECT_EQ(1, findText("", ""));
  EXPECT_FALSE(findText("cbx", "abcb"));
}

TEST(TextFunctionsTest, SearchIgnoresCase) {
  EXPECT_EQ(2, searchText("B", "abcb"));
  EXPECT_EQ(4, searchText("B", "abcb", 3));
  EXPECT_EQ(3, searchText("CB", "abcb"));
  EXPECT_FALSE(searchText("", "abcb"));
  EXPECT_FALSE(searchText("", "abcb", 2));
  EXPECT_FALSE(searchText("x", "abcb"));
  EXPECT_FALSE(searchText("a*", "abcb"));  // no wildcards
  EXPECT_TRUE(startWithinText("abcb", 4));
  EXPECT_FALSE(startWithinText("abcb", 5));
  EXPECT_FALSE(startWithinText("abcb", 0));
  EXPECT_FALSE(startWithinText("", 1));
}

TEST(TextFunctionsTest, CharactersAndCodes) {
  EXPECT_EQ("A", characterOfCode(65));
  EXPECT_EQ("A", characterOfCode(321));
  EXPECT_EQ("\xff", characterOfCode(-1));
  EXPECT_EQ(std::string(1, '\0'), characterOfCode(256));
  EXPECT_EQ(97, codeOfFirstCharacter("abc"));
  EXPECT_EQ(233, codeOfFirstCharacter("\xe9t\xe9"));
  EXPECT_FALSE(codeOfFirstCharacter(""));
}

TEST(TextFunctionsTest, SubstituteWithoutOverlap) {
  EXPECT_EQ("xa", substituteAll("aaa", "aa", "x"));
  EXPECT_EQ("b-bb-", substituteAll("aba", "a", "b-"));
  EXPECT_EQ("abc", substituteAll("abc", "", "x"));
  EXPECT_EQ("Abc", substituteAll("Abc", "a", "x"));  // case matters
  EXPECT_EQ("a-b-c", substituteOne("a-b-c", "-", "+", 3));
  EXPECT_EQ("a-b+c", substituteOne("a-b-c", "-", "+", 2));
  // Each of 8192 letters becoming four would pass the sheet's text length.
  EXPECT_THROW(substituteAll(std::string(8192, 'a'), "a", "bbbb"), ERangeError);
  EXPECT_THROW(substituteOne(std::string(maxSheetTextLength, 'a'), "a", "bb", 1), ERangeError);
  // A text already beyond it that does not grow passes unchanged.
  EXPECT_EQ(maxSheetTextLength + 1, substituteAll(std::string(maxSheetTextLength + 1, 'a'), "a", "b").size());
}

TEST(TextFunctionsTest, DollarRoundsThenWritesMoney) {
  TLocaleSettings settings = defaultLocaleSettings();
  EXPECT_EQ("$1,234.57", dollarText(1234.567, 2, settings));
  EXPECT_EQ("$1,200", dollarText(1234.567, -2, settings));
  EXPECT_EQ("($1,234.57)", dollarText(-1234.567, 2, settings));
  EXPECT_EQ("$0.12", dollarText(0.125, 2, settings));  // the half goes to the even neighbour
  // Money holds four decimals whatever is shown.
  EXPECT_EQ("$1.234600", dollarText(1.23456789, 6, settings));
  EXPECT_EQ("$922,337,203,685,477", dollarText(922337203685477.0, 0, settings));
  EXPECT_FALSE(dollarText(922337203685478.0, 0, settings));
  EXPECT_FALSE(dollarText(-1e300, 2, settings));

  settings.currencyString = "EUR";
  settings.decimalSeparator = ',';
  settings.thousandSeparator = '.';
  settings.currencyFormat = 3;
  settings.negativeCurrencyFormat = 8;
  EXPECT_EQ("1.234,57 EUR", dollarText(1234.567, 2, settings));
  EXPECT_EQ("-1.234,57 EUR", dollarText(-1234.567, 2, settings));
  settings.negativeCurrencyFormat = 15;
  EXPECT_EQ("(0,50 EUR)", dollarText(-0.5, 2, settings));
  EXPECT_EQ("0,00 EUR", dollarText(-0.001, 2, settings));  // no negative zero
}

}  // namespace

namespace {

TEST(TextFormulas, ConversionsCountsAndErrorCodes) {
  localeSettings() = defaultLocaleSettings();
  TSheet sheet;
  EXPECT_EQ("A", evaluated(sheet, "=CHAR(321)"));
  EXPECT_EQ("97", evaluated(sheet, "=CODE(\"abc\")"));
  EXPECT_EQ("#VALUE!", evaluated(sheet, "=CODE(\"\")"));
  EXPECT_EQ("a\nb", evaluated(sheet, "=CLEAN(\"a\"&CHAR(9)&CHAR(10)&\"b\")"));
  EXPECT_EQ("$1,234.57", evaluated(sheet, "=DOLLAR(1234.567)"));
  EXPECT_EQ("#NUM!", evaluated(sheet, "=DOLLAR(1E15)"));
  EXPECT_EQ("0", evaluated(sheet, "=EXACT(\"a\",\"A\")"));
  EXPECT_EQ("#VALUE!", evaluated(sheet, "=FIND(\"B\",\"abcb\")"));
  EXPECT_EQ("#VALUE!", evaluated(sheet, "=FIND(\"b\",\"abcb\",0)"));
  EXPECT_EQ("2", evaluated(sheet, "=SEARCH(\"B\",\"abcb\")"));
  EXPECT_EQ("#NUM!", evaluated(sheet, "=SEARCH(\"b\",\"abcb\",0)"));
  EXPECT_EQ("#VALUE!", evaluated(sheet, "=SEARCH(\"\",\"abcb\")"));
  EXPECT_EQ("1,234.50", evaluated(sheet, "=FIXED(1234.5)"));
  EXPECT_EQ("1234.5", evaluated(sheet, "=FIXED(1234.54,1,1)"));
  EXPECT_EQ("a", evaluated(sheet, "=LEFT(\"abc\")"));
  EXPECT_EQ("3", evaluated(sheet, "=LEN(\"abc\")"));
  EXPECT_EQ("#NUM!", evaluated(sheet, "=MID(\"abc\",0,1)"));
  EXPECT_EQ("bc", evaluated(sheet, "=MID(\"abc\",2,2147483647)"));
  EXPECT_EQ("aXef", evaluated(sheet, "=REPLACE(\"abcdef\",2,3,\"X\")"));
  EXPECT_EQ("abab", evaluated(sheet, "=REPT(\"ab\",2)"));
  EXPECT_EQ("#VALUE!", evaluated(sheet, "=REPT(\"abcd\",1073741825)"));
  EXPECT_EQ("a-b+c", evaluated(sheet, "=SUBSTITUTE(\"a-b-c\",\"-\",\"+\",2)"));
  EXPECT_EQ("Two Words", evaluated(sheet, "=PROPER(\"two wORDS\")"));
  EXPECT_EQ("a b", evaluated(sheet, "=TRIM(\"  a   b \")"));
  EXPECT_EQ("ABC", evaluated(sheet, "=UPPER(\"aBc\")"));
  EXPECT_EQ("abc", evaluated(sheet, "=LOWER(\"aBc\")"));
  EXPECT_EQ("36526", evaluated(sheet, "=VALUE(\"1/1/2000\")"));
  EXPECT_EQ("#VALUE!", evaluated(sheet, "=VALUE(\"abc\")"));
  EXPECT_EQ("#VALUE!", evaluated(sheet, "=LEN()"));
  EXPECT_EQ("#VALUE!", evaluated(sheet, "=UPPER(\"a\",\"b\")"));
}

TEST(TextFormulas, TTellsTextsFromNumbersAndEmptyCells) {
  TSheet sheet;
  enter(sheet, 1, 2, "abc", 2);  // a text cell
  enter(sheet, 1, 3, "12");
  EXPECT_EQ("abc", evaluated(sheet, "=T(A2)"));
  EXPECT_EQ("", evaluated(sheet, "=T(A3)"));
  EXPECT_EQ("", evaluated(sheet, "=T(5)"));
  EXPECT_EQ("#VALUE!", evaluated(sheet, "=T(A4)"));
  EXPECT_EQ("#VALUE!", evaluated(sheet, "=T({1,2})"));
}

}  // namespace
