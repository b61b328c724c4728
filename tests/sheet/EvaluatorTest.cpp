#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "platform/NumericErrors.h"
#include "sheet/BuiltinDispatch.h"
#include "sheet/FormulaCompiler.h"
#include "tests/sheet/SheetTestSupport.h"
#include "tests/support/TestScriptEngine.h"

TEST(Evaluator, ArithmeticAndPrecedence) {
  TSheet sheet;
  EXPECT_EQ(evaluated(sheet, "=1+2"), "3") << "the opening = is no comparison";
  EXPECT_EQ(evaluated(sheet, "=2+3*4"), "14");
  EXPECT_EQ(evaluated(sheet, "=(1+2)*3"), "9");
  EXPECT_EQ(evaluated(sheet, "=2^3^2"), "512");
  EXPECT_EQ(evaluated(sheet, "=-2^2"), "4");
  EXPECT_EQ(evaluated(sheet, "=1+2=3"), "1");
  EXPECT_EQ(evaluated(sheet, "=\"a\"&(1+2)"), "a3");
  EXPECT_EQ(evaluated(sheet, "=\"a\"&1+2"), "#N/A") << "& binds as + does: (\"a\"&1)+2";
  EXPECT_EQ(evaluated(sheet, "=50%"), "0.5");
  EXPECT_EQ(evaluated(sheet, "=7 DIV 2"), "3");
  EXPECT_EQ(evaluated(sheet, "=-7 DIV 2"), "-3");
  EXPECT_EQ(evaluated(sheet, "=-7 MOD 2"), "-1");
  EXPECT_EQ(evaluated(sheet, "=NOT 0"), "1");
  EXPECT_EQ(evaluated(sheet, "=NOT 7"), "0");
  EXPECT_EQ(evaluated(sheet, "=0.1*3"), "0.3");
  EXPECT_EQ(evaluated(sheet, "=PI"), "3.14159265358979");
  EXPECT_EQ(evaluated(sheet, "=true+1"), "2");
}

TEST(Evaluator, ErrorsAndTheirTexts) {
  TSheet sheet;
  EXPECT_EQ(evaluated(sheet, "=5 DIV 0"), "#DIV/0!");
  EXPECT_EQ(evaluated(sheet, "=5 MOD 0"), "#DIV/0!");
  EXPECT_EQ(evaluated(sheet, "=1/0"), "#DIV/0!");
  EXPECT_EQ(evaluated(sheet, "=0/0"), "#NUM!");
  EXPECT_EQ(evaluated(sheet, "=0^-1"), "#DIV/0!");
  EXPECT_EQ(evaluated(sheet, "=(-8)^(1/3)"), "#NUM!");
  EXPECT_EQ(evaluated(sheet, "=1E308*10"), "#VALUE!") << "overflow";
  EXPECT_EQ(evaluated(sheet, "=\"abc\"+5"), "#N/A") << "the one-operand form leaves two operands";
  EXPECT_EQ(evaluated(sheet, "=\"abc\"+\"def\""), "#VALUE!");
  EXPECT_EQ(evaluated(sheet, "=NOT \"x\""), "#VALUE!");
  EXPECT_EQ(evaluated(sheet, "=(1+2"), "#(?");
  EXPECT_EQ(evaluated(sheet, "=1+2)"), "#?)");
  EXPECT_EQ(evaluated(sheet, "={1,2"), "#{?");
  EXPECT_EQ(evaluated(sheet, "=1 2"), "#OP?");
  EXPECT_EQ(evaluated(sheet, "=NOSUCHFUNCTION(1)"), "#NAME?") << "no script engine";
  EXPECT_EQ(evaluated(sheet, "=A1<1"), "#VALUE!") << "an empty cell compares with nothing";
}

// A typing slip must not fall back on the one-operand + or - and show a
// plausible number.
TEST(Evaluator, AnOperatorWithoutItsRightOperandIsAMissingOperator) {
  TSheet sheet;
  for (const char* text : {"=1+", "=5-", "=1+*2", "=SUM(1,2)+", "=1+-", "=2*", "=(1+)", "=SUM(1-,2)", "={1+}",
                           "=A1 AND", "=1=", "=-", "=1+%"}) {
    EXPECT_EQ(evaluated(sheet, text), "#OP?") << text;
  }
  EXPECT_EQ(evaluated(sheet, "=-5"), "-5");
  EXPECT_EQ(evaluated(sheet, "=2*-3"), "-6");
  EXPECT_EQ(evaluated(sheet, "=2-+3"), "-1");
  EXPECT_EQ(evaluated(sheet, "=1+ +2"), "3");
  EXPECT_EQ(evaluated(sheet, "=1- -(2)"), "3");
  EXPECT_EQ(evaluated(sheet, "=2^-NOT 0"), "0.5");
  EXPECT_EQ(evaluated(sheet, "=1+-(2)"), "-1");
}

TEST(Evaluator, IntegerOperatorsRefuseWhatDoesNotFit32Bits) {
  TSheet sheet;
  EXPECT_EQ(evaluated(sheet, "=3000000000 DIV 1"), "#VALUE!");
  EXPECT_EQ(evaluated(sheet, "=-2147483648 DIV -1"), "#VALUE!");
  EXPECT_EQ(evaluated(sheet, "=-2147483648 MOD -1"), "#VALUE!");
  EXPECT_EQ(evaluated(sheet, "=-2147483648 DIV 1"), "-2147483648");
  EXPECT_EQ(evaluated(sheet, "=2147483647.9 DIV 1"), "2147483647");
}

TEST(Evaluator, ComparisonsPromoteToTheHigherKind) {
  TSheet sheet;
  EXPECT_EQ(evaluated(sheet, "=\"10\"<\"9\""), "1") << "two texts";
  EXPECT_EQ(evaluated(sheet, "=2=\"2.0\""), "0") << "compared as texts";
  EXPECT_EQ(evaluated(sheet, "=3=\"3\""), "1");
  EXPECT_EQ(evaluated(sheet, "=\"abc\"=\"ABC\""), "1");
  EXPECT_EQ(evaluated(sheet, "=2.5>2"), "1");
  EXPECT_EQ(evaluated(sheet, "=\"12/24/2023\"+0"), "45284") << "a date text counts as its day number";
}

TEST(Evaluator, LogicalOperatorsTolerateOneSide) {
  TSheet sheet;
  EXPECT_EQ(evaluated(sheet, "=TRUE OR \"x\""), "1");
  EXPECT_EQ(evaluated(sheet, "=TRUE XOR \"x\""), "0");
  EXPECT_EQ(evaluated(sheet, "=TRUE AND \"x\""), "#VALUE!");
  EXPECT_EQ(evaluated(sheet, "=0 OR 0"), "0");
  EXPECT_EQ(evaluated(sheet, "=1 XOR 0"), "1");
}

TEST(Evaluator, ReferencesRangesAndNames) {
  TSheet sheet;
  enter(sheet, 1, 1, "2");
  enter(sheet, 1, 2, "3");
  enter(sheet, 2, 1, "abc", 2);
  EXPECT_EQ(evaluated(sheet, "=A1*A2"), "6");
  EXPECT_EQ(evaluated(sheet, "=$A$1+a2"), "5");
  EXPECT_EQ(evaluated(sheet, "=B1&\"!\""), "abc!");
  EXPECT_EQ(evaluated(sheet, "=A1:A2"), "2") << "an array result shows its first element";
  EXPECT_EQ(evaluated(sheet, "=UNKNOWNNAME"), "id:UNKNOWNNAME");
  TValueRecord named;
  named.kind = valueNumber;
  named.number = 1.5;
  sheet.setCustomId(" Rate ", named);
  EXPECT_EQ(evaluated(sheet, "=rate*2"), "3");
  sheet.setCustomId("A1", named);
  EXPECT_EQ(evaluated(sheet, "=A1"), "2") << "the cell shadows the named value";
}

TEST(Evaluator, ReferencesBeyondTheSheetAreRefErrors) {
  TSheet sheet;
  EXPECT_EQ(evaluated(sheet, "=A99999999999"), "#REF!");
  EXPECT_EQ(evaluated(sheet, "=ZZZZZZZZ1+1"), "#REF!");
  sheet.setRowCount(100);
  EXPECT_EQ(evaluated(sheet, "=A101"), "#REF!");
  EXPECT_EQ(evaluated(sheet, "=A1:A101"), "#REF!");
  sheet.setRowCount(2147483647);
  // Two billion places are not read into memory.
  EXPECT_EQ(evaluated(sheet, "=A1:A2000000000"), "#VALUE!");
}

TEST(Evaluator, TextResultsStayWithinTheSheetLimit) {
  TSheet sheet;
  enter(sheet, 1, 1, std::string(20000, 'x'), 2);
  enter(sheet, 1, 2, "=A1&A1", 2);
  EXPECT_EQ(shown(sheet, 1, 2), "#VALUE!");
}

TEST(Evaluator, ArrayResultsSpillOnlyWhenAsked) {
  TSheet sheet;
  enter(sheet, 2, 2, "={{1,2},{3,4}}");
  EXPECT_EQ(shown(sheet, 2, 2), "1");
  EXPECT_EQ(sheet.getCell(3, 2), nullptr);
  sheet.expandVectorResults = true;
  sheet.recalculateAll(false);
  EXPECT_EQ(shown(sheet, 3, 2), "2");
  EXPECT_EQ(shown(sheet, 2, 3), "3");
  EXPECT_EQ(shown(sheet, 3, 3), "4");
  sheet.currentCol = sheet.currentRow = 2;
  ASSERT_NE(sheet.currentCellArray(), nullptr);
  EXPECT_EQ(sheet.currentCellArray()->elementCount(), 4);
}

// Four nested levels of a hundred, from some eight hundred characters, would
// be a hundred million elements: refused before anything is allocated.
TEST(Evaluator, ArrayConstantsKeepWithinTheElementLimit) {
  TSheet sheet;
  std::string constant = "0";
  for (int level = 0; level < 4; ++level) {
    std::string list = "{" + constant;
    for (int item = 1; item < 100; ++item) list += ",0";
    constant = list + "}";
  }
  sheet.expandVectorResults = true;
  EXPECT_EQ(evaluated(sheet, "=ROWS(" + constant + ")"), "#VALUE!");
  enter(sheet, 2, 2, "=" + constant);
  EXPECT_EQ(shown(sheet, 2, 2), "#N/A") << "a formula's own result fails as any raised failure";
  EXPECT_EQ(sheet.getCell(3, 2), nullptr) << "nothing spilled";
}

// ---- The frame of built-in routines ----

namespace {

// A compiled call of F with the given argument text, ready for one step.
struct TCallList {
  explicit TCallList(TSheet& sheet, const std::string& arguments) : list(sheet.tokenFactory) {
    std::uint8_t status = 0;
    sheet.compileFormula("F(" + arguments + ")", list, status);
    EXPECT_EQ(status, 0);
    // The operators inside the arguments go first, as in a real walk.
    while (index < list.count() - 1) {
      if (list.getItem(index)->tokenClass != tokenOperator) {
        ++index;
      } else if (sheet.evaluateOperator(list, index, true, 5, 5) != 0) {
        ADD_FAILURE() << "argument failed";
        return;
      }
    }
  }
  TRPNstackObject list;
  int index = 0;
};

std::uint8_t runOn(TSheet& sheet, TCallList& call, TBuiltinRoutine routine) {
  return runBuiltinStep(sheet, call.list, call.index, true, 5, 5, routine);
}

}  // namespace

TEST(BuiltinFrame, ConversionKeepsTheKindAndTheResultReplacesTheCall) {
  TSheet sheet;
  enter(sheet, 1, 1, "4");
  TCallList call(sheet, "\"2.5\",A1,7");
  EXPECT_EQ(runOn(sheet, call,
                  [](TEvalContext& c) {
                    double a = 0, b = 0, d = 0;
                    if (c.argumentCount() != 3 || !c.numberArgument(0, a) || !c.numberArgument(1, b) ||
                        !c.numberArgument(2, d)) {
                      return;
                    }
                    // The text stays a text that now also holds its number.
                    if (c.argument(0)->value.kind != valueString) return;
                    c.setNumberResult(static_cast<long double>(a) + b + d);
                  }),
            0);
  ASSERT_EQ(call.list.count(), 1);
  EXPECT_EQ(call.index, 1);
  EXPECT_EQ(call.list.getItem(0)->tokenClass, tokenOperand);
  EXPECT_DOUBLE_EQ(call.list.getItem(0)->value.number, 13.5);
  EXPECT_EQ(sheet.dependents.getDependents({0, 0}).size(), 1u) << "the reference was recorded";
}

TEST(BuiltinFrame, FailuresBecomeCellErrors) {
  TSheet sheet;
  auto codeOf = [&](TBuiltinRoutine routine) {
    TCallList call(sheet, "1");
    return runOn(sheet, call, routine);
  };
  EXPECT_EQ(codeOf([](TEvalContext&) {}), errValue) << "no result";
  EXPECT_EQ(codeOf([](TEvalContext& c) { c.fail(errNA); }), errNA);
  EXPECT_EQ(codeOf([](TEvalContext&) { throw ERangeError(); }), errValue);
  EXPECT_EQ(codeOf([](TEvalContext&) { throw EDivByZero(); }), errDivZero);
  EXPECT_EQ(codeOf([](TEvalContext&) { throw EInvalidOp(); }), errNum);
  EXPECT_EQ(codeOf([](TEvalContext&) { throw ECircularReference(); }), errCirc);
  EXPECT_EQ(codeOf([](TEvalContext&) { throw std::bad_alloc(); }), errValue);
  EXPECT_EQ(codeOf([](TEvalContext& c) { c.setNumberResult(std::numeric_limits<long double>::quiet_NaN()); }), errNum);
  EXPECT_EQ(codeOf([](TEvalContext& c) { c.setNumberResult(1e400L); }), errValue);
  // A fault the routine did not check still fails the step.
  EXPECT_EQ(codeOf([](TEvalContext& c) {
              volatile long double zero = 0.0L;
              long double quotient = 1.0L / zero;
              c.setIntegerResult(quotient > 0 ? 1 : 0);
            }),
            errDivZero);
}

TEST(BuiltinFrame, ArrayArgumentsFromRangesConstantsAndResults) {
  TSheet sheet;
  enter(sheet, 1, 1, "1");
  enter(sheet, 1, 2, "x", 2);
  TCallList call(sheet, "A1:A3,{5,6},9");
  EXPECT_EQ(runOn(sheet, call,
                  [](TEvalContext& c) {
                    TArgumentArray range, constant, scalar;
                    if (!c.arrayArgument(0, range) || !c.arrayArgument(1, constant)) return;
                    if (c.arrayArgument(2, scalar)) return;  // a single value is no array
                    if (!c.arrayArgument(2, scalar, valueNumber) || scalar) return;
                    if (range->elementCount() != 3 || range->at(1, 0).kind != valueString ||
                        range->at(2, 0).kind != valueEmpty || constant->dimensions()[1] != 2) {
                      return;
                    }
                    c.setArrayResult(range.take());
                  }),
            0);
  ASSERT_EQ(call.list.count(), 1);
  EXPECT_EQ(call.list.getItem(0)->value.kind, valueOwnedArray);
  EXPECT_EQ(sheet.dependents.getDependents({0, 2}).size(), 1u) << "the whole range was recorded";
}

TEST(BuiltinFrame, BorrowedArraysAreTakenOverFromTheirOwner) {
  TSheet sheet;
  TRPNstackObject list(sheet.tokenFactory);
  auto operand = list.newToken();
  operand->tokenClass = tokenOperand;
  auto values = std::make_unique<TArray>();
  values->setSize2D(1, 2);
  TArray* original = values.get();
  operand->setOwnedArray(std::move(values));
  list.push(std::move(operand));
  auto call = list.newToken();
  call->tokenClass = tokenOperator;
  call->operatorCode = opFunctionCall;
  call->value.integer = 1;
  list.push(std::move(call));
  int index = 1;
  static TArray* seen;
  seen = original;
  EXPECT_EQ(runBuiltinStep(sheet, list, index, false, 1, 1,
                           [](TEvalContext& c) {
                             TArgumentArray array;
                             if (!c.arrayArgument(0, array) || !array.borrowed() || array.get() != seen) return;
                             c.setArrayResult(array.take());
                           }),
            0);
  ASSERT_EQ(list.count(), 1);
  EXPECT_EQ(list.getItem(0)->subArray(), original) << "no copy, no double free";
}

TEST(Evaluator, NamesNotBuiltInCallTheUsersMacros) {
  TTestScriptEngine script(L"JScript",
                           L"function twice(x) { return 2 * x; }"
                           L"function kinds(a, b, c) { return typeof a + ',' + typeof b + ',' + c; }"
                           L"function size(values) { return new VBArray(values).toArray().length; }");
  TSheet sheet;
  enter(sheet, 1, 1, "21");
  EXPECT_EQ(evaluated(sheet, "=twice(A1)"), "#NAME?") << "no engine yet";
  sheet.setScriptEngine(script.get(), false);
  EXPECT_EQ(evaluated(sheet, "=twice(A1)+1"), "43");
  EXPECT_EQ(evaluated(sheet, "=kinds(1,2.5,NOTANAME)"), "number,number,NOTANAME");
  EXPECT_EQ(evaluated(sheet, "=size(A1:C2)"), "6");
  EXPECT_EQ(evaluated(sheet, "=nosuchmacro(1)"), "#N/A");
  enter(sheet, 2, 1, "=twice(A1)");
  enter(sheet, 1, 1, "5");
  EXPECT_EQ(shown(sheet, 2, 1), "10") << "the argument's cell was recorded";
  sheet.setScriptEngine(nullptr, false);
}
