#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "sheet/FormulaCompiler.h"
#include "sheet/FormulaTokenizer.h"
#include "sheet/ValueArray.h"
#include "tests/sheet/TokenText.h"

namespace {

// The compiled form of a text, or "error" when it does not compile.
std::string compiled(const std::string& text, char decimalSeparator = '.', char listSeparator = ',') {
  TRPNstackObject list(std::make_shared<TTokenObjectFactory>());
  TSyntaxFlags flags;
  if (!infixToRPN(list, text, decimalSeparator, listSeparator, flags)) return "error";
  return tokenText(list);
}

TSyntaxFlags flagsOf(const std::string& text) {
  TRPNstackObject list;
  TSyntaxFlags flags;
  EXPECT_FALSE(infixToRPN(list, text, '.', ',', flags)) << text;
  return flags;
}

void expectCompiles(const std::vector<std::pair<std::string, std::string>>& cases) {
  for (const auto& [text, expected] : cases) EXPECT_EQ(compiled(text), expected) << text;
}

}  // namespace

TEST(FormulaCompiler, PrecedenceAndAssociativity) {
  expectCompiles({
      {"1+2*3-4", "1 2 3 * + 4 -"},
      {"(1+2)*3", "1 2 + 3 *"},
      {"8/4/2", "8 4 / 2 /"},
      {"2^3^2", "2 3 2 ^ ^"},
      {"1<2=3", "1 2 < 3 ="},
      {"A1&B1+1", "A1 B1 & 1 +"},
      {"1+2 AND 3", "1 2 3 AND +"},
      {"1 OR 2*3 XOR 4", "1 2 3 * OR 4 XOR"},
      {"NOT A1^2", "A1 2 ^ NOT"},
      {"50%*2", "50 % 2 *"},
      {"-A1:B2", "A1 B2 : u-"},
      {"SUM(A1:B2)*2", "A1 B2 : SUM/1 2 *"},
      {"F(1)^2", "1 F/1 2 ^"},
      {"-F(1)", "1 F/1 u-"},
      {"A1>=1<>B1<=2", "A1 1 >= B1 <> 2 <="},
  });
}

TEST(FormulaCompiler, LeadingEqualsSignEndsTheListWithTheWholeExpression) {
  expectCompiles({
      {"=1+2", "1 2 + START"},
      {"=A1>5", "A1 5 > START"},
      {"=A1=B1", "A1 B1 = START"},
      {"=A1<>0", "A1 0 <> START"},
      {"= -2", "-2 START"},
      {"=\"abc\"+5", "\"abc\" 5 + START"},
      {"1=1", "1 1 ="},
      {"{=1}", "{1 =}"},
  });
}

TEST(FormulaCompiler, SignsBeforeDigitsBelongToTheNumber) {
  expectCompiles({
      {"-2^2", "-2 2 ^"},
      {"-A1^2", "A1 2 ^ u-"},
      {"+.5", "0.5"},
      {"2*-3", "2 -3 *"},
      {"1--1", "1 -1 -"},
      {"1 -1", "1 1 -"},
      {"(1)-2", "1 2 -"},
      {"5%-2", "5 % 2 -"},
      {"{1}-2", "{1} 2 -"},
      {"{-1,+2}", "{-1 2}"},
      {"2^-A1", "2 A1 u- ^"},
  });
}

TEST(FormulaCompiler, WordOperatorsInAnyCase) {
  expectCompiles({
      {"7 div 2", "7 2 DIV"},
      {"7 Mod 2", "7 2 MOD"},
      {"a1 and b1", "a1 b1 AND"},
      {"NOT(A1)", "A1 NOT"},
      {"not (A1)", "A1 NOT"},
      {"MOD(7,2)", "7 2 MOD"},
      {"ANDY(1)", "1 ANDY/1"},
  });
}

TEST(FormulaCompiler, ArgumentCountsIncludingEmptyArguments) {
  expectCompiles({
      {"SUM(1,2)", "1 2 SUM/2"},
      {"F()", "F/0"},
      {"F(,1)", "_ 1 F/2"},
      {"F(1,,2)", "1 _ 2 F/3"},
      {"F(1,)", "1 _ F/2"},
      {"F(,)", "_ _ F/2"},
      {"F(G(1,2),3)", "1 2 G/2 3 F/2"},
      {"F(G(),H(1))", "G/0 1 H/1 F/2"},
      {"F(-A1)", "A1 u- F/1"},
      {"F((1))", "1 F/1"},
      {"F(1,(2+3))", "1 2 3 + F/2"},
      {"F(1+2,3)", "1 2 + 3 F/2"},
      {"F(1)+G(2,3)", "1 F/1 2 3 G/2 +"},
      {"F({1,2},3)", "{1 2} 3 F/2"},
  });
  EXPECT_EQ(compiled("F(1;2)", ',', ';'), "1 2 F/2");
}

TEST(FormulaCompiler, SyntaxErrorsSetTheirFlag) {
  EXPECT_TRUE(flagsOf("A1 (2)").missingOperator);
  EXPECT_EQ(compiled("A1(2)"), "2 A1/1") << "a word directly before ( calls a function";
  EXPECT_TRUE(flagsOf("1 2").missingOperator);
  EXPECT_TRUE(flagsOf("{1}{2}").missingOperator);
  EXPECT_TRUE(flagsOf("(1)(2)").missingOperator);
  EXPECT_TRUE(flagsOf("1E").missingOperator) << "a trailing E is no exponent";
  EXPECT_TRUE(flagsOf("(1").unclosedBracket);
  EXPECT_TRUE(flagsOf("{(1}").unclosedBracket);
  EXPECT_TRUE(flagsOf("1)").unmatchedClosingBracket);
  EXPECT_TRUE(flagsOf("{1,2").unclosedBrace);
  EXPECT_TRUE(flagsOf("1}").unmatchedClosingBrace);
  TSyntaxFlags both = flagsOf("(1}");
  EXPECT_TRUE(both.unclosedBracket && both.unmatchedClosingBrace);
  EXPECT_TRUE(flagsOf("1+").missingOperator);
  EXPECT_TRUE(flagsOf("F(1*,2)").missingOperator);
  EXPECT_TRUE(flagsOf("{1,2-}").missingOperator);
  EXPECT_EQ(compiled("1*+A1"), "1 A1 u+ *");
  EXPECT_FALSE(flagsOf("1E+").any()) << "a number that does not convert sets no flag";
  EXPECT_FALSE(flagsOf("1E999").any());
}

TEST(FormulaCompiler, FailedCompileLeavesTheOutputAsItWas) {
  TRPNstackObject list(std::make_shared<TTokenObjectFactory>());
  TSyntaxFlags flags;
  ASSERT_TRUE(infixToRPN(list, "1+2", '.', ',', flags));
  EXPECT_FALSE(infixToRPN(list, "F(3,{4,5)", '.', ',', flags));
  EXPECT_EQ(tokenText(list), "1 2 +");
  ASSERT_TRUE(infixToRPN(list, "6", '.', ',', flags));
  EXPECT_EQ(tokenText(list), "1 2 + 6");
}

// The sheet compiles every formula into the same working list and operator
// stack, whose dropped tokens serve later compiles: nothing of one formula,
// failed or not, may show in the next.
TEST(FormulaCompiler, ReusedListsCompileAsFreshOnes) {
  const std::vector<std::string> texts = {"=F(1,(2+3),)", "=G((A1);\"x\")", "F(3,{4,5)", "=-B7^2+3*B7%",
                                          "=IF(A1>=0,\"a\",{1,2;3,,4})", "=H()", "(1", "=SUM(A1:B2) MOD 3"};
  auto factory = std::make_shared<TTokenObjectFactory>();
  TRPNstackObject list(factory);
  TRPNstackObject operators(factory);
  TSyntaxFlags flags;
  for (int round = 0; round < 2; ++round) {
    for (const std::string& text : texts) {
      list.deleteRange(0, list.count() - 1);
      bool ok = infixToRPN(list, text, '.', ',', flags, &operators);
      EXPECT_EQ(ok ? tokenText(list) : "error", compiled(text)) << text;
    }
  }
}

TEST(FormulaCompiler, NumbersWithEitherSeparator) {
  expectCompiles({
      {"1E5", "1e+05"},
      {"1e-2", "0.01"},
      {"2147483647", "2147483647"},
      {"2147483648", "2147483648"},
      {"-2147483648", "-2147483648"},
      {"007", "7"},
      {"1E-999", "0"},
      {"1.", "1"},
  });
  EXPECT_EQ(compiled("F(1,5;2)", ',', ';'), "1.5 2 F/2");
  EXPECT_EQ(compiled("1.5", ',', ';'), "error") << "'.' is no decimal separator here";
}

TEST(FormulaCompiler, ArrayConstantsNestAndKeepEmptyElements) {
  expectCompiles({
      {"{1,2,3}", "{1 2 3}"},
      {"{{1,2},{3,4}}", "{{1 2} {3 4}}"},
      {"{,1}", "{_ 1}"},
      {"{1,}", "{1 _}"},
      {"{}", "{}"},
      {"{1+2,3}", "{1 2 + 3}"},
      {"{\"a}\",\"b\"}", "{\"a}\" \"b\"}"},
  });
}

TEST(FormulaCompiler, NestingIsCappedInsteadOfExhaustingTheStack) {
  auto nested = [](int depth, char open, char close) {
    return std::string(depth, open) + "1" + std::string(depth, close);
  };
  EXPECT_EQ(compiled(nested(maxNestingDepth, '(', ')')), "1");
  EXPECT_TRUE(flagsOf(nested(maxNestingDepth + 1, '(', ')')).unclosedBracket);
  EXPECT_NE(compiled(nested(maxNestingDepth, '{', '}')), "error");
  EXPECT_TRUE(flagsOf(nested(maxNestingDepth + 1, '{', '}')).unclosedBrace);
  EXPECT_TRUE(flagsOf(std::string(100000, '(')).unclosedBracket);
  EXPECT_TRUE(flagsOf(std::string(100000, '{')).unclosedBrace);
}

TEST(FormulaCompiler, HostileTextGivesAStatus) {
  // A megabyte of right-associative powers keeps the operator stack deep
  // to the end: the compile must stay linear.
  std::string powers;
  while (powers.size() < 1000000) powers += "2^";
  powers += "1";
  TRPNstackObject list(std::make_shared<TTokenObjectFactory>());
  TSyntaxFlags flags;
  ASSERT_TRUE(infixToRPN(list, powers, '.', ',', flags));
  EXPECT_EQ(list.count(), 1000001);
  EXPECT_EQ(compiled("\"unterminated, \"\"quoted"), "\"unterminated, \"quoted\"");
  EXPECT_EQ(compiled("\x01\x7f+\xe9t\xe9"), "\x01\x7f \xe9t\xe9 +");
  EXPECT_EQ(compiled(std::string("A\0B", 3)), std::string("A\0B", 3));
  EXPECT_EQ(compiled("F("), "error");
  EXPECT_EQ(compiled(""), "");
  EXPECT_EQ(compiled("   "), "");
}

TEST(FormulaTokenizer, PositionsAndTwoCharacterOperators) {
  std::string text = "  <> <= >= < =";
  std::vector<std::pair<int, std::size_t>> tokens;
  TTokenObject token;
  std::size_t position = 0;
  std::size_t endPosition = 0;
  for (;;) {
    getFormulaToken(token, text, position, endPosition, '.', ',', nullptr);
    if (token.tokenClass == tokenEnd) break;
    tokens.emplace_back(token.operatorCode, position);
    position = endPosition;
  }
  std::vector<std::pair<int, std::size_t>> expected{{opNotEqual, 2}, {opLessEqual, 5}, {opGreaterEqual, 8},
                                                    {opLess, 11},    {opEqual, 13}};
  EXPECT_EQ(tokens, expected);
  EXPECT_EQ(endPosition, text.size());
}

TEST(ValueArray, ConstantsBecomeRowsPaddedWithEmptyElements) {
  auto arrayOf = [](const std::string& text) {
    TRPNstackObject list;
    TSyntaxFlags flags;
    EXPECT_TRUE(infixToRPN(list, text, '.', ',', flags)) << text;
    TArray array;
    array.loadFromConstant(list.getItem(0)->subList());
    std::string shape;
    for (int size : array.dimensions()) shape += std::to_string(size) + "x";
    shape.pop_back();
    std::string elements;
    for (const TValueRecord& element : array.elements()) {
      elements += element.kind == valueEmpty ? "_" : std::to_string(element.integer);
    }
    return shape + ":" + elements;
  };
  EXPECT_EQ(arrayOf("{1,2,3}"), "1x3:123");
  EXPECT_EQ(arrayOf("{{1,2},{3,4}}"), "2x2:1234");
  EXPECT_EQ(arrayOf("{{1,2},{3}}"), "2x2:123_");
  EXPECT_EQ(arrayOf("{1,{2,3}}"), "2x2:1_23");
  EXPECT_EQ(arrayOf("{1+2,3}"), "1x4:12_3");
  EXPECT_EQ(arrayOf("{}"), "1x0:");
  EXPECT_EQ(arrayOf("{{},{}}"), "2x0:");
  EXPECT_EQ(arrayOf("{{{1},{2,3}},4}"), "2x2x2:1_234___");
  // A few characters can describe more elements than memory holds.
  std::string explosive = "1";
  for (int level = 0; level < 40; ++level) explosive = "{1," + explosive + "}";
  TRPNstackObject list;
  TSyntaxFlags flags;
  ASSERT_TRUE(infixToRPN(list, explosive, '.', ',', flags));
  TArray array;
  EXPECT_THROW(array.loadFromConstant(list.getItem(0)->subList()), std::length_error);
}
