#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/sheet/SheetTestSupport.h"
#include "tests/support/TestScriptEngine.h"

namespace {

using TCases = std::vector<std::pair<const char*, const char*>>;

void expectAll(TSheet& sheet, const TCases& cases) {
  for (const auto& [formula, expected] : cases) EXPECT_EQ(evaluated(sheet, formula), expected) << formula;
}

// Column col from row 1 down, as typed into the grid.
void enterColumn(TSheet& sheet, int col, const std::vector<const char*>& texts) {
  for (std::size_t i = 0; i < texts.size(); ++i) enter(sheet, col, static_cast<int>(i) + 1, texts[i], 0);
}

}  // namespace

TEST(AggregateFunctions, SumsAndProductsPassOverWhatIsNoNumber) {
  TSheet sheet;
  enterColumn(sheet, 1, {"1", "abc", "", "2.5", "=1/0", "4"});
  expectAll(sheet, {{"=SUM()", "#VALUE!"},
                    {"=SUM(A1:A6)", "7.5"},
                    {"=SUM(A1:A3)", "1"},
                    {"=SUM(\"x\")", "0"},
                    {"=SUM(\"3\",TRUE,NOSUCHNAME,A2,A5)", "4"},
                    {"=SUM({1,\"2\",\"y\"},A1:A2,10)", "14"},
                    {"=SUMSQ(A1:A6,{3})", "32.25"},
                    {"=PRODUCT(A2:A3)", "1"},
                    {"=PRODUCT(A1:A6,-2)", "-20"},
                    {"=SUM(1E308,1E308)", "#VALUE!"},
                    {"=SUM(A1:A2000000000)", "#VALUE!"} /* two billion places are not read */,
                    {"=SUM({1,2}*3)", "9"}});
}

TEST(AggregateFunctions, RangeArgumentsFollowTheirCells) {
  TSheet sheet;
  enterColumn(sheet, 1, {"1", "2", "3"});
  enter(sheet, 2, 1, "=SUM(A1:A3)");
  enter(sheet, 2, 2, "=SUM(A1:A3*10)");
  EXPECT_EQ(shown(sheet, 2, 1), "6");
  enter(sheet, 1, 3, "30");
  EXPECT_EQ(shown(sheet, 2, 1), "33");
  EXPECT_EQ(shown(sheet, 2, 2), "330") << "a range scaled by a number is recorded too";
  enter(sheet, 1, 2, "=B1");
  EXPECT_EQ(shown(sheet, 1, 2), "#CIRC!");
  enter(sheet, 3, 1, "=GCD(C2:C3)");
  EXPECT_EQ(shown(sheet, 3, 1), "#VALUE!") << "an empty cell is no integer";
  enter(sheet, 3, 2, "12");
  enter(sheet, 3, 3, "18");
  EXPECT_EQ(shown(sheet, 3, 1), "6") << "the failed call still recorded its range";
}

TEST(AggregateFunctions, IntegersOnlyForDivisorsMultiplesAndMultinomials) {
  TSheet sheet;
  enterColumn(sheet, 1, {"12", "18", ""});
  expectAll(sheet, {{"=GCD(12,18)", "6"},
                    {"=GCD(0,4)", "4"},
                    {"=GCD(4,0)", "4"},
                    {"=GCD(0,0)", "1"},
                    {"=GCD(7,1)", "1"},
                    {"=GCD(-12,18)", "6"},
                    {"=GCD(A1:A2,{30})", "6"},
                    {"=GCD(A1:A3)", "#VALUE!"},
                    {"=GCD(12,\"x\")", "#VALUE!"},
                    {"=GCD(12.9,18)", "6"},
                    {"=GCD(2147483647,2147483646)", "1"},
                    {"=GCD(-2147483648,1073741824)", "1073741824"},
                    {"=GCD(-2147483648,0)", "#VALUE!"},
                    {"=LCM(4,6)", "12"},
                    {"=LCM(0,0)", "0"},
                    {"=LCM(-4,-6)", "0"},
                    {"=LCM(-4,6)", "12"},
                    {"=LCM(0,5)", "5"},
                    {"=LCM(65536,65537)", "#VALUE!"},
                    {"=LCM(46340,46341)", "2147441940"},
                    {"=LCM(-2147483648,-3)", "0"},
                    {"=LCM(-2147483648,3)", "#VALUE!"},
                    {"=LCM(5,\"x\")", "#VALUE!"},
                    {"=MULTINOMIAL(2,3,4)", "1260"},
                    {"=MULTINOMIAL({2,3},4)", "1260"},
                    {"=MULTINOMIAL(2,\"x\")", "#VALUE!"},
                    {"=MULTINOMIAL(2,-1)", "#VALUE!"},
                    {"=MULTINOMIAL(0)", "1"},
                    // Past 1754! the factorial of the sum leaves extended range; the value does not.
                    {"=MULTINOMIAL(1754,1)", "1755"},
                    {"=MULTINOMIAL(2000,0)", "1"},
                    {"=MULTINOMIAL(2147483647,1)", "2147483648"},
                    {"=MULTINOMIAL(1000,1000)", "#VALUE!"}});
}

TEST(AggregateFunctions, SeriesSums) {
  TSheet sheet;
  enter(sheet, 1, 1, "x", 2);
  expectAll(sheet, {{"=SERIESSUM(2,1,1,{1,1,1})", "14"},
                    {"=SERIESSUM(2,1,1,1,1,1)", "14"},
                    {"=SERIESSUM(2,0,2,{1,\"a\",1})", "17"} /* 1 + (skipped 2^2) + 2^4 */,
                    {"=SERIESSUM(2,0,1,1,\"a\",1)", "3"} /* the text argument does not move the exponent */,
                    {"=SERIESSUM(2,0,1,1,A1,1)", "3"},
                    {"=SERIESSUM(0.5,-1,0.5,3)", "6"},
                    {"=SERIESSUM(0,-1,1,3)", "#DIV/0!"},
                    {"=SERIESSUM(-2,0.5,1,1)", "#NUM!"},
                    {"=SERIESSUM(2,1,1)", "#VALUE!"},
                    {"=SERIESSUM(\"a\",1,1,1)", "#VALUE!"}});
}

TEST(AggregateFunctions, CountAndSumByCriterion) {
  TSheet sheet;
  enterColumn(sheet, 1, {"1", "2", "3", "4"});
  enterColumn(sheet, 2, {"ABC", "abc", "red apple", "", "x"});
  enterColumn(sheet, 3, {"10", "20", "30", "40", "50"});
  enter(sheet, 4, 1, ">2", 2);
  expectAll(sheet, {{"=COUNTIF(A1:A4,\">2\")", "2"},
                    {"=COUNTIF(A1:A4,D1)", "2"},
                    {"=COUNTIF(A1:A4,\"<>3\")", "3"},
                    {"=COUNTIF(A1:A4,\">=1+2\")", "2"},
                    {"=COUNTIF(A1:A4,3)", "1"},
                    {"=COUNTIF(A1:A4,\"1+2\")", "1"} /* a criterion without an operator is evaluated */,
                    {"=COUNTIF(B1:B5,\"abc\")", "2"},
                    {"=COUNTIF(B1:B5,\"red apple\")", "1"},
                    {"=COUNTIF(B1:B5,\"<>abc\")", "3"} /* the empty cell never passes */,
                    {"=COUNTIF(B1:B5,\">b\")", "2"},
                    {"=COUNTIF(B1:B5,\"a*\")", "0"} /* no wildcards in criteria */,
                    {"=COUNTIF({1,2,3},\">1\")", "2"},
                    {"=SUMIF(A1:A4,\">2\")", "7"},
                    {"=SUMIF(A1:A4,\">2\",C1:C5)", "70"},
                    {"=SUMIF(C1:C5,\">0\",A1:A3)", "6"} /* only the first three pairs */,
                    {"=SUMIF(B1:B5,\"abc\",C1:C5)", "30"},
                    {"=SUMIF(A1:A4,\">2\",5)", "7"} /* a single value is no sum range */,
                    {"=SUMIF(A1:A4,\">2\",NOSUCHNAME)", "#VALUE!"},
                    {"=COUNTIF(A1:A4,\">(\")", "#VALUE!"},
                    {"=COUNTIF(A1:A4)", "#VALUE!"},
                    {"=COUNTIF(5,\">2\")", "#VALUE!"},
                    {"=COUNTIF(A1,\">0\")", "#VALUE!"} /* a single cell is no range */});
}

TEST(AggregateFunctions, CriteriaNeverRunTextsAsFormulas) {
  TTestScriptEngine script(L"JScript", L"var calls = 0; function F() { calls++; return 'x'; }"
                                       L"function G() { return calls; }");
  TSheet sheet;
  sheet.setScriptEngine(script.get(), false);
  enterColumn(sheet, 1, {"x\"&F()&\"", "plain", "say \"hi\""});
  enter(sheet, 2, 1, "x\"&F()&\"", 2);
  expectAll(sheet, {{"=COUNTIF(A1:A3,\"<>zzz\")", "1"} /* only the element without a quote is compared */,
                    {"=COUNTIF(A1:A3,B1)", "0"},
                    {"=COUNTIF(A1:A3,\"=\"&B1)", "#VALUE!"} /* what follows "=" does not compile */,
                    {"=G()", "0"}});
  sheet.setScriptEngine(nullptr, false);
}

TEST(AggregateFunctions, ACriterionThatCallsItselfEndsInAnError) {
  TSheet sheet;
  enterColumn(sheet, 1, {"1", "2", "3"});
  enter(sheet, 3, 1, "1+COUNTIF(A1:A3,C1)", 2);
  enter(sheet, 4, 1, "=COUNTIF(A1:A3,C1)");
  EXPECT_EQ(shown(sheet, 4, 1), "#VALUE!");
  enter(sheet, 4, 2, "=COUNTIF(A1:A3,\"1+COUNTIF(A1:A3,2)\")");
  EXPECT_EQ(shown(sheet, 4, 2), "1") << "a nested criterion that ends is fine";
  enter(sheet, 4, 3, "=COUNTIF(A1:A3,\">1\")");
  EXPECT_EQ(shown(sheet, 4, 3), "2") << "a failed chain leaves nothing behind";
}

TEST(AggregateFunctions, CriterionReferencesAreRecorded) {
  TSheet sheet;
  enterColumn(sheet, 1, {"1", "2", "3"});
  enter(sheet, 2, 1, ">1", 2);
  enter(sheet, 3, 1, "=COUNTIF(A1:A3,B1)");
  EXPECT_EQ(shown(sheet, 3, 1), "2");
  enter(sheet, 2, 1, ">2", 2);
  EXPECT_EQ(shown(sheet, 3, 1), "1");
  enter(sheet, 1, 3, "0");
  EXPECT_EQ(shown(sheet, 3, 1), "0");
}
