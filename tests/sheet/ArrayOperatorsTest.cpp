#include <gtest/gtest.h>

#include "tests/sheet/SheetTestSupport.h"

namespace {

// The array a formula leaves, written out as {a,b;c,d}, or the error text.
std::string arrayText(TSheet& sheet, const std::string& formula) {
  enter(sheet, 9, 9, formula);
  if (TCell* cell = sheet.getCell(9, 9); cell && cell->state != 0) return cellStateText(cell->state);
  sheet.currentCol = sheet.currentRow = 9;
  const TArray* array = sheet.currentCellArray();
  if (!array || array->dimensionCount() != 2) return "no array";
  std::string text = "{";
  for (int r = 0; r < array->dimensions()[0]; ++r) {
    for (int c = 0; c < array->dimensions()[1]; ++c) {
      TValueRecord element = array->at(r, c);
      if (c > 0) text += ',';
      text += sheet.convertValue(element, valueString) ? element.string : "kind" + std::to_string(element.kind);
    }
    if (r + 1 < array->dimensions()[0]) text += ';';
  }
  return text + "}";
}

}  // namespace

TEST(ArrayOperators, WholeArrayEqualityComparesTextsExactly) {
  TSheet sheet;
  EXPECT_EQ(evaluated(sheet, "={1,2,3}={1,2,3}"), "1");
  EXPECT_EQ(evaluated(sheet, "={1,2,3}<>{1,2,4}"), "1");
  EXPECT_EQ(evaluated(sheet, "={1,2,3}<>{1,2,3}"), "0");
  EXPECT_EQ(evaluated(sheet, "={1,2}={1,2,3}"), "#VALUE!") << "shapes differ";
  EXPECT_EQ(evaluated(sheet, "={1,2}={{1},{2}}"), "#VALUE!") << "a row is no column";
  EXPECT_EQ(evaluated(sheet, "={\"a\"}={\"A\"}"), "0") << "case counts between arrays";
  EXPECT_EQ(evaluated(sheet, "=\"a\"=\"A\""), "1") << "but not between single values";
  EXPECT_EQ(evaluated(sheet, "={1,2.5}={\"1\",2.5}"), "1") << "promoted to the common kind";
  EXPECT_EQ(evaluated(sheet, "={1,2}=1"), "#VALUE!");
  enter(sheet, 1, 1, "1");
  enter(sheet, 1, 2, "2");
  enter(sheet, 2, 1, "1");
  EXPECT_EQ(evaluated(sheet, "=A1:A3={{1},{2},{9}}"), "1") << "an empty cell against anything tells nothing";
  EXPECT_EQ(evaluated(sheet, "=A1:A2=B1:B2"), "1");
}

TEST(ArrayOperators, ScalingSignsAndDivision) {
  TSheet sheet;
  EXPECT_EQ(arrayText(sheet, "={1,\"x\",3}*2"), "{2,0,6}") << "what is no number becomes 0";
  EXPECT_EQ(arrayText(sheet, "=2*{{1,2},{3,4}}"), "{2,4;6,8}");
  EXPECT_EQ(arrayText(sheet, "=-{1,2}"), "{-1,-2}");
  EXPECT_EQ(arrayText(sheet, "=+{\"2.5\",\"x\"}"), "{2.5,0}");
  EXPECT_EQ(arrayText(sheet, "={3,6}/4"), "{0.75,1.5}");
  EXPECT_EQ(evaluated(sheet, "={2,4}/0"), "#DIV/0!");
  EXPECT_EQ(evaluated(sheet, "={1E300}*1E10"), "#VALUE!") << "overflow";
  EXPECT_EQ(evaluated(sheet, "={1,2}+5"), "#N/A") << "the sign form leaves the array behind";
  EXPECT_EQ(evaluated(sheet, "=5-{1,2}"), "#N/A");
  enter(sheet, 1, 1, "4");
  enter(sheet, 1, 2, "x", 2);
  EXPECT_EQ(arrayText(sheet, "=A1:A3*0.5"), "{2;0;0}") << "a range is read when evaluated";
}

TEST(ArrayOperators, IntegerDivisionAndRemainder) {
  TSheet sheet;
  EXPECT_EQ(arrayText(sheet, "={7,-7} DIV 2"), "{3,-3}");
  EXPECT_EQ(arrayText(sheet, "={7,-7} MOD 2"), "{1,-1}");
  EXPECT_EQ(arrayText(sheet, "={7.9,\"x\",3000000000} DIV 1"), "{7,0,0}") << "beyond 32 bits is no integer";
  EXPECT_EQ(evaluated(sheet, "=2 DIV {1,2}"), "#VALUE!");
  EXPECT_EQ(evaluated(sheet, "={1,2} DIV 0"), "#DIV/0!");
  EXPECT_EQ(evaluated(sheet, "={-2147483648} DIV -1"), "#VALUE!");
  EXPECT_EQ(evaluated(sheet, "={-2147483648} MOD -1"), "#VALUE!");
}

TEST(ArrayOperators, RangeOperandsAreRecordedWhole) {
  TSheet sheet;
  enter(sheet, 1, 1, "3");
  enter(sheet, 1, 2, "2");
  enter(sheet, 2, 2, "=A1:A3={{3},{2},{5}}");
  EXPECT_EQ(shown(sheet, 2, 2), "1");
  enter(sheet, 1, 3, "4");
  EXPECT_EQ(shown(sheet, 2, 2), "0") << "the third place was recorded too";
}
