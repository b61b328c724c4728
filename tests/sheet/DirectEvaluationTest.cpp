#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "tests/sheet/SheetTestSupport.h"
#include "tests/support/ThreadTime.h"

// Cells evaluate the formulas of numbers and texts straight from their
// compiled tokens; a loose text is always evaluated on a working copy, so
// the two must agree on every value, error and link.

TEST(DirectEvaluation, CellsGiveWhatTheWorkingCopyGives) {
  TSheet sheet;
  enter(sheet, 1, 1, "4");
  enter(sheet, 1, 2, "7", 5);   // an integer cell
  enter(sheet, 1, 3, "x", 2);   // a text
  enter(sheet, 1, 4, "=1/0");   // a cell in error
  enter(sheet, 1, 5, "12", 2);  // a number as text
  const char* formulas[] = {
      "=A1*1.5+3", "=A1/0", "=0/0", "=A1/A2", "=A1^-1", "=0^-1", "=(-8)^(1/3)", "=1E308*10", "=-A1%",
      "=A1 MOD 3", "=A2 MOD 0", "=A1*2 MOD A2", "=A1>A2", "=A2=7", "=A1<>4", "=A2>=6.5", "=+A2",
      "=IF(A1>3,SQRT(A1),A1^2)", "=IF(A1>5,SQRT(-A1),A1^2)", "=IF(A1,B9,C1)", "=ROUND(A1/A2,4)", "=SUM(A1:A2)*2",
      "=SUM(A2:A1)", "=A3+1", "=A5+1", "=B9+1", "=B9", "=ZZZZ1+1", "=A99999999+1", "=TRUE+1", "=PI*2", "=A4+1",
      "=A1:A2", "=ABS(-A1)", "=A1 A2", "=A2-A2/3*3", "=A1*(A2-(A1+(A2*(A1-(A2+1)))))", "=nosuch(1)+1",
      "=ROUNDUP(A1/7)", "=TRUNC(-A1/3,1)", "=ROUND(A1)", "=ROUND(A1/3,A2/2)", "=LN(0)", "=LN(A2)", "=SQRT(A3)",
      "=ACOSH(0.5)", "=IF(A2-7,1)", "=IF(A1-4,1)", "=IF(A1>1,A2)", "=IF(A1>1,A4,2)", "=IF(A1<1,A4,2)",
  };
  int row = 1;
  for (const char* formula : formulas) {
    std::uint8_t code = sheet.parseAndEvaluate(formula, 4, row, false);
    TValueRecord expected = sheet.resultValue;
    enter(sheet, 4, row, formula);
    const TCell* cell = sheet.getCell(4, row);
    ASSERT_NE(cell, nullptr) << formula;
    EXPECT_EQ(cell->state, code) << formula;
    if (code == stateValid && sheet.convertValue(expected, valueNumber)) {
      EXPECT_EQ(sheet.getCellNumber(4, row), expected.number) << formula;
    }
    ++row;
  }
}

TEST(DirectEvaluation, TextsGiveWhatTheWorkingCopyGives) {
  TSheet sheet;
  const std::string longText(40, 'w');  // beyond a string's own small buffer
  enter(sheet, 1, 1, "4");
  enter(sheet, 1, 2, "7", 5);
  enter(sheet, 1, 3, "x", 2);
  enter(sheet, 1, 4, "=1/0");
  enter(sheet, 1, 5, longText, 2);
  enter(sheet, 1, 6, "1", 6);  // a Boolean
  const char* formulas[] = {
      "=A3&\"y\"", "=A1&A2", "=1.5&A3", "=\"a\"&\"b\"&\"c\"", "=(A3&\"1\")&(A5&\"2\")", "=A5&A5&A5&A3",
      "=A1/3&\"\"", "=A6&A3", "=TRUE&\"x\"", "=LEN(A3&\"xyz\")+A1", "=LEFT(A5&A3,41)&A5", "=UPPER(A3)&LOWER(\"Q\")",
      "=\"abc\"", "=A4&\"x\"", "=A3&A4", "=B9&\"x\"", "=A1:A2&\"x\"", "=PI&\"x\"", "=\"x\"+1", "=A3>\"w\"",
      "=IF(A1>3,\"yes\",\"no\")", "=IF(A1>3,A3&\"!\",2)", "=LEN(REPT(A5,800)&REPT(A5,100))",
  };
  int row = 1;
  for (const char* formula : formulas) {
    std::uint8_t code = sheet.parseAndEvaluate(formula, 4, row, false);
    TValueRecord expected = sheet.resultValue;
    enter(sheet, 4, row, formula, 2);
    const TCell* cell = sheet.getCell(4, row);
    ASSERT_NE(cell, nullptr) << formula;
    EXPECT_EQ(cell->state, code) << formula;
    if (code == stateValid && sheet.convertValue(expected, valueString)) {
      EXPECT_EQ(shown(sheet, 4, row), expected.string) << formula;
    }
    ++row;
  }
  // Both sides of "&" are linked.
  enter(sheet, 6, 1, "=A3&A1", 2);
  enter(sheet, 1, 3, "z", 2);
  EXPECT_EQ(shown(sheet, 6, 1), "z4");
  enter(sheet, 1, 1, "5");
  EXPECT_EQ(shown(sheet, 6, 1), "z5");
}

// Each formula entered into a text cell shows what the working copy gives.
void expectSameAsWorkingCopy(TSheet& sheet, int col, const std::vector<std::string>& formulas) {
  int row = 1;
  for (const std::string& formula : formulas) {
    std::uint8_t code = sheet.parseAndEvaluate(formula, col, row, false);
    TValueRecord expected = sheet.resultValue;
    enter(sheet, col, row, formula, 2);
    const TCell* cell = sheet.getCell(col, row);
    ASSERT_NE(cell, nullptr) << formula;
    EXPECT_EQ(cell->state, code) << formula;
    if (code == stateValid && sheet.convertValue(expected, valueString)) {
      EXPECT_EQ(shown(sheet, col, row), expected.string) << formula;
    }
    ++row;
  }
}

TEST(DirectEvaluation, SumsLookupsAndLengthsGiveWhatTheWorkingCopyGives) {
  TSheet sheet;
  // Unsorted keys of both number kinds with a repeated one, values of every
  // kind beside them, texts and an error below.
  const char* keys[] = {"5", "2", "9", "2.5", "7", "2.5"};
  const char* values[] = {"50", "x", "90", "25", "", "26"};
  for (int row = 1; row <= 6; ++row) {
    enter(sheet, 1, row, keys[row - 1], row == 2 ? 5 : 1);
    if (*values[row - 1]) enter(sheet, 2, row, values[row - 1], row == 2 ? 2 : 1);
  }
  enter(sheet, 3, 1, "12", 2);
  enter(sheet, 3, 2, "=1/0");
  enter(sheet, 3, 3, "w", 2);
  expectSameAsWorkingCopy(
      sheet, 5,
      {"=SUM(A1:A6)", "=SUM(A6:A1)", "=SUM(A1:C6)", "=SUM(C1:C3)", "=SUM(A1:A6,B1,C1,2)*2", "=SUM(A1:A1)",
       "=SUM(B2)", "=SUM(A1:D99999999)", "=SUM(H1:H9)", "=SUM(A1:A6)/0", "=SUM(A1:A3&\"\")",
       "=VLOOKUP(2.7,A1:B6,2)", "=VLOOKUP(2,A1:B6,2)", "=VLOOKUP(9,A1:B6,2,0)", "=VLOOKUP(6,A1:B6,2,0)",
       "=VLOOKUP(1,A1:B6,2)", "=VLOOKUP(7,A1:B6,2)", "=VLOOKUP(5,A1:B6,3)", "=VLOOKUP(5,A1:B6,0)",
       "=VLOOKUP(100,A1:B6,2)*2", "=VLOOKUP(A3,A1:C6,3)", "=VLOOKUP(A1,A1:C3,1.9)", "=VLOOKUP(\"x\",B1:B6,1)",
       "=VLOOKUP(2,A1:A1,1)", "=VLOOKUP(9,C1:C3,1)", "=VLOOKUP(5,A1:B6,2,H1)", "=VLOOKUP(8,A1:B6,2,1)",
       "=VLOOKUP(H1,A1:B6,2)", "=VLOOKUP(5,A1:B6)", "=LEN(A4&\"x\")", "=LEN(A1)", "=LEN(B1/7)+1", "=LEN(C2)",
       "=LEN(H1)", "=LEN(A1:A2)", "=LEN(-1E15)", "=LEN(999999999999999)", "=LEN(A2)"});
  // What a range's reader reads is linked whole.
  enter(sheet, 8, 1, "=SUM(A1:A3)");
  enter(sheet, 8, 2, "=VLOOKUP(2.7,A1:B6,2)");
  enter(sheet, 1, 2, "3");
  EXPECT_EQ(shown(sheet, 8, 1), "17");
  enter(sheet, 2, 4, "24");
  EXPECT_EQ(shown(sheet, 8, 2), "24");
  // A named value that bears a range's text stands for it.
  TValueRecord named;
  named.kind = valueInteger;
  named.integer = 100;
  sheet.setCustomId("A1:A3", named);
  expectSameAsWorkingCopy(sheet, 9, {"=SUM(A1:A3)", "=VLOOKUP(2,A1:A3,1)"});
}

// Faults are flags that stay until cleared: one left by other work (here a
// 0/0 of either unit) must neither fail a formula that computes cleanly nor
// hide a formula's own fault.
TEST(DirectEvaluation, AFaultLeftByOtherWorkChangesNoResult) {
  TSheet sheet;
  enter(sheet, 1, 1, "16");
  enter(sheet, 1, 2, "2");
  const char* formulas[] = {"=SQRT(A1)", "=ROUND(A1/3,2)", "=A1^A2", "=SUM(A1:A2)", "=LEN(A1/3&\"\")",
                            "=SQRT(-A1)", "=A1^0.5", "=ROUND(A1/7,3)", "=(-A1)^0.5", "=SUM(A1:A2)*2"};
  volatile double zero = 0.0;
  volatile long double wideZero = 0.0L;
  int row = 1;
  for (const char* formula : formulas) {
    std::uint8_t code = sheet.parseAndEvaluate(formula, 4, row, false);
    TValueRecord expected = sheet.resultValue;
    volatile double leftOver = zero / zero;
    volatile long double wideLeftOver = wideZero / wideZero;
    (void)leftOver;
    (void)wideLeftOver;
    enter(sheet, 4, row, formula);
    ASSERT_EQ(sheet.getCell(4, row)->state, code) << formula;
    if (code == stateValid && sheet.convertValue(expected, valueNumber)) {
      EXPECT_EQ(sheet.getCellNumber(4, row), expected.number) << formula;
    }
    ++row;
  }
  EXPECT_EQ(sheet.getCell(4, 6)->state, errNum);
  EXPECT_EQ(shown(sheet, 4, 1), "4");
}

TEST(DirectEvaluation, LinksAreThoseTheWorkingCopyRecords) {
  TSheet sheet;
  enter(sheet, 1, 1, "2");
  enter(sheet, 1, 2, "3");
  enter(sheet, 2, 1, "=A2/0+A1");  // stops at the division: A1 is not read
  EXPECT_EQ(shown(sheet, 2, 1), "#DIV/0!");
  EXPECT_EQ(sheet.dependents.getDependents({0, 0}).size(), 0u);
  EXPECT_EQ(sheet.dependents.getDependents({0, 1}).size(), 1u);
  enter(sheet, 2, 2, "=IF(A1>1,A2,C9)");  // the branch not taken is not read
  EXPECT_EQ(shown(sheet, 2, 2), "3");
  EXPECT_TRUE(sheet.dependents.getDependents({2, 8}).empty());
  enter(sheet, 1, 2, "5");
  EXPECT_EQ(shown(sheet, 2, 2), "5");
  enter(sheet, 3, 1, "=C2+1");
  enter(sheet, 3, 2, "=C1*2");  // closes a cycle
  EXPECT_EQ(shown(sheet, 3, 2), "#CIRC!");
}

TEST(DirectEvaluation, ALongFormulaTakesTimeInProportionToItsLength) {
  // 100,000 operators took seconds while every step closed the gap its
  // operands left in the middle of a working copy; a loose formula is
  // always evaluated on one. One formula ten times as long as another takes
  // about the time of ten of those, measured in the thread's processor
  // time (the clock would count a busy machine's waits too); time growing
  // with the square of the length would take ten times that.
  constexpr int operators = 100000;
  constexpr int parts = 10;
  const auto formulaOf = [](int count) {
    std::string formula = "=1";
    for (int i = 0; i < count; ++i) formula += "+1";
    return formula;
  };
  const std::string formula = formulaOf(operators);
  const std::string part = formulaOf(operators / parts);
  TSheet sheet;
  enter(sheet, 1, 1, formula);
  EXPECT_EQ(sheet.getCellNumber(1, 1), operators + 1);
  ASSERT_EQ(sheet.parseAndEvaluate(formula + "&\"x\"", 1, 2, false), stateValid);
  EXPECT_EQ(sheet.resultValue.string, std::to_string(operators + 1) + "x");

  // The least of a few rounds: the processor's caches and the clock's
  // ticks still vary.
  std::chrono::duration<double> whole{1e9};
  std::chrono::duration<double> inParts{1e9};
  for (int round = 0; round < 3; ++round) {
    auto started = threadProcessorTime();
    ASSERT_EQ(sheet.parseAndEvaluate(formula, 1, 2, false), stateValid);
    whole = std::min(whole, threadProcessorTime() - started);
    started = threadProcessorTime();
    for (int i = 0; i < parts; ++i) ASSERT_EQ(sheet.parseAndEvaluate(part, 1, 2, false), stateValid);
    inParts = std::min(inParts, threadProcessorTime() - started);
  }
  // Room for a tick of the clock that measures the thread (about 16 ms).
  EXPECT_LT(whole.count(), 3 * inParts.count() + 0.05) << "the whole formula took " << whole.count()
                                                       << " s, ten of a tenth of its length " << inParts.count() << " s";
}

TEST(DirectEvaluation, MovedFormulasReadTheirNewPlaces) {
  TSheet sheet;
  enter(sheet, 1, 1, "2");
  enter(sheet, 1, 2, "3");
  enter(sheet, 2, 2, "=A2*10+A1");
  sheet.shiftRows(1, 1);
  ASSERT_EQ(sheet.getCell(2, 3)->formula(), "=A3*10+A2");
  enter(sheet, 1, 3, "4");
  EXPECT_EQ(shown(sheet, 2, 3), "42");
  sheet.shiftColumns(2, -1);  // the column read goes
  const TCell* moved = sheet.getCell(1, 3);
  ASSERT_NE(moved, nullptr);
  EXPECT_NE(moved->formula(), "=A3*10+A2");
  EXPECT_NE(moved->state, stateValid);
  EXPECT_EQ(moved->state, sheet.parseAndEvaluate(std::string(moved->formula()), 1, 3, false));
}
