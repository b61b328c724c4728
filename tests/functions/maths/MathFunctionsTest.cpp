#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/RandomGenerator.h"
#include "tests/sheet/SheetTestSupport.h"

namespace {

using TCases = std::vector<std::pair<const char*, const char*>>;

void expectAll(TSheet& sheet, const TCases& cases) {
  for (const auto& [formula, expected] : cases) EXPECT_EQ(evaluated(sheet, formula), expected) << formula;
}

}  // namespace

TEST(MathFunctions, TrigonometricHyperbolicAndLogarithmicValues) {
  TSheet sheet;
  // Expected values: mpmath at 40 digits, shown to 15 significant digits.
  expectAll(sheet, {{"=ACOS(0.5)", "1.0471975511966"},
                    {"=ACOS(-1)", "3.14159265358979"},
                    {"=ASIN(-0.3)", "-0.304692654015398"},
                    {"=ATAN(2)", "1.10714871779409"},
                    {"=ACOSH(2.5)", "1.56679923697241"},
                    {"=ASINH(-1.5)", "-1.19476321728711"},
                    {"=ATANH(0.25)", "0.255412811882995"},
                    {"=ATAN2(-1,2)", "2.0344439357957"},
                    {"=ATAN2(1,1)*4", "3.14159265358979"},
                    {"=COS(1.2)", "0.362357754476674"},
                    {"=SIN(-0.7)", "-0.644217687237691"},
                    {"=TAN(1)", "1.5574077246549"},
                    {"=COSH(2)", "3.76219569108363"},
                    {"=SINH(-1)", "-1.1752011936438"},
                    {"=TANH(0.5)", "0.46211715726001"},
                    {"=DEGREES(1)", "57.2957795130823"},
                    {"=RADIANS(30)", "0.523598775598299"},
                    {"=EXP(2.5)", "12.1824939607035"},
                    {"=LN(10)", "2.30258509299405"},
                    {"=LOG(100,3)", "4.19180654857877"},
                    {"=LOG(8,2)", "3"},
                    {"=LOG10(2)", "0.301029995663981"},
                    {"=SQRT(2)", "1.4142135623731"},
                    {"=SQRTPI(2)", "2.506628274631"},
                    {"=SQR(3)", "9"},
                    {"=FRAC(-3.75)", "-0.75"},
                    {"=PI()", "3.14159265358979"},
                    {"=POWER(-2,3)", "-8"},
                    {"=SIGN(-0.1)", "-1"}});
}

TEST(MathFunctions, DomainErrorsPolesAndOverflow) {
  TSheet sheet;
  expectAll(sheet, {{"=ASIN(2)", "#NUM!"},
                    {"=ACOS(-1.0000001)", "#NUM!"},
                    {"=ACOSH(0.5)", "#NUM!"},
                    {"=ATANH(1)", "#DIV/0!"},
                    {"=ATANH(-1.5)", "#NUM!"},
                    {"=LN(0)", "#DIV/0!"},
                    {"=LN(-1)", "#NUM!"},
                    {"=LOG10(0)", "#DIV/0!"},
                    {"=LOG(-8)", "#NUM!"},
                    {"=LOG(8,1)", "#DIV/0!"},
                    {"=LOG(1,1)", "#NUM!"},
                    {"=SQRT(-1)", "#NUM!"},
                    {"=SQRTPI(-1)", "#NUM!"},
                    {"=POWER(-8,1/3)", "#NUM!"},
                    {"=POWER(0,-1)", "#DIV/0!"},
                    {"=EXP(710)", "#VALUE!"},
                    {"=COSH(1000)", "#VALUE!"},
                    {"=SQR(1E200)", "#VALUE!"},
                    // 170! = 7.25741561530799897e306, the largest below the double limit.
                    {"=FACT(170)", "7.257415615308E306"},
                    {"=FACT(171)", "#VALUE!"}});
}

TEST(MathFunctions, ArgumentCountsAndConversions) {
  TSheet sheet;
  enter(sheet, 1, 1, "abc", 2);
  expectAll(sheet, {{"=ABS()", "#VALUE!"},
                    {"=ABS(1,2)", "#VALUE!"},
                    {"=PI(1)", "#VALUE!"},
                    {"=ROUND(2.5)", "#VALUE!"},
                    {"=LOG(1,2,3)", "#VALUE!"},
                    {"=ABS(A1)", "#VALUE!"},
                    {"=ABS(B1)", "#VALUE!"},
                    {"=ABS(\"-4\")", "4"},
                    {"=ABS(TRUE)", "1"},
                    {"=FACT(3.9)", "6"},
                    {"=COMBIN(\"5\",2)", "10"}});
}

TEST(MathFunctions, RoundingToDigitsAndMultiples) {
  TSheet sheet;
  expectAll(sheet, {{"=ROUND(2.5,0)", "2"},
                    {"=ROUND(1234.5,-2)", "1200"},
                    {"=ROUNDUP(-1.1)", "-2"},
                    {"=ROUNDUP(1.1,1)", "1.1"},
                    {"=ROUNDDOWN(-1.9,0)", "-1"},
                    {"=INT(-1.1)", "-2"},
                    {"=INT(1.9)", "1"},
                    {"=TRUNC(123.456,-1)", "120"},
                    {"=CEILING(2.1,0.5)", "2.5"},
                    {"=CEILING(-2.5,1)", "#VALUE!"},
                    {"=CEILING(3000000000.5,1)", "3000000001"},
                    {"=FLOOR(0,1)", "0"},
                    {"=FLOOR(2.9999999999999996,1)", "3"},
                    {"=MROUND(-7,2)", "-8"},
                    {"=MROUND(7,0)", "#DIV/0!"},
                    {"=ODD(-2.5)", "-3"},
                    {"=ODD(2147483647)", "2147483647"},
                    {"=ODD(2147483648)", "#VALUE!"},
                    {"=EVEN(3)", "4"},
                    {"=EVEN(-3)", "-4"}});
}

TEST(MathFunctions, IntegerFunctionsStayWithin32Bits) {
  TSheet sheet;
  expectAll(sheet, {{"=MOD(-7,3)", "-1"},
                    {"=MOD(7,-3)", "1"},
                    {"=QUOTIENT(-7,2)", "-3"},
                    {"=MOD(5,0)", "#DIV/0!"},
                    {"=QUOTIENT(5,0)", "#DIV/0!"},
                    {"=QUOTIENT(-2147483648,-1)", "#VALUE!"},
                    {"=MOD(-2147483648,-1)", "#VALUE!"},
                    {"=QUOTIENT(-2147483648,1)", "-2147483648"},
                    {"=MOD(3000000000,7)", "#VALUE!"},
                    {"=QUOTIENT(1E300,1)", "#VALUE!"},
                    {"=EVEN(2147483647)", "#VALUE!"},
                    {"=EVEN(-2147483647)", "-2147483648"},
                    {"=EVEN(-2147483648)", "-2147483648"}});
}

TEST(MathFunctions, FactorialsAndCombinations) {
  TSheet sheet;
  expectAll(sheet, {{"=FACT(0)", "1"},
                    {"=FACT(-1)", "#VALUE!"},
                    {"=FACTDOUBLE(7)", "105"},
                    {"=FACTDOUBLE(-1)", "#VALUE!"},
                    {"=COMBIN(10,3)", "120"},
                    {"=COMBIN(3,5)", "#VALUE!"},
                    {"=PERMUT(5,2)", "20"},
                    {"=PERMUT(5,-1)", "#VALUE!"},
                    // The direct products overflow on the way to these; the
                    // fallback's answer must not be shown as that overflow.
                    {"=COMBIN(2000,2000)", "1"},
                    {"=COMBIN(1755,1754)", "1755"},
                    {"=COMBIN(3000,2997)", "4495501000"},
                    {"=GEOMEAN(MAKEVECTOR(1234,10000,0))", "10000"},
                    {"=GEOMEAN(1E300,1E300,1E300,1E300,1E300,1E300,1E300,1E300,1E300,1E300,1E300,1E300,1E300,"
                     "1E300,1E300,1E300,1E300)",
                     "1E300"},
                    {"=2^-20000", "0"},
                    {"=0.5^-20000", "#VALUE!"}});
}

TEST(MathFunctions, RandomDrawsFollowTheSharedGenerator) {
  TSheet sheet;
  setRandomSeed(0);
  // state * 134775813 + 1 modulo 2^32 before each draw: 1, then 134775814.
  EXPECT_EQ(evaluated(sheet, "=RAND()"), "2.3283064365387E-10");
  EXPECT_EQ(evaluated(sheet, "=RAND()"), "0.0313799395225942");
  setRandomSeed(0x80000000u);
  EXPECT_EQ(evaluated(sheet, "=RANDBETWEEN(1,6)"), "4") << "state 0x80000001: 1 + (state * 6) >> 32";
  EXPECT_EQ(evaluated(sheet, "=RANDBETWEEN(-2147483648,2147483647)"), "134775814") << "the whole 32-bit range";
  EXPECT_EQ(evaluated(sheet, "=RANDBETWEEN(5,5)"), "5");
  EXPECT_EQ(evaluated(sheet, "=RANDBETWEEN(6,5)"), "#VALUE!");
  EXPECT_EQ(evaluated(sheet, "=RAND(1)"), "#VALUE!");
}
