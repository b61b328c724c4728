#include "functions/maths/LogicFunctions.h"

#include <gtest/gtest.h>

#include "tests/sheet/SheetTestSupport.h"

namespace {

TEST(LogicFormulas, IfHandsOnTheChosenArgument) {
  TSheet sheet;
  EXPECT_EQ("5", evaluated(sheet, "=IF(1=1,5,6)"));
  EXPECT_EQ("6", evaluated(sheet, "=IF(0,5,6)"));
  EXPECT_EQ("0", evaluated(sheet, "=IF(0,5)"));
  EXPECT_EQ("1", evaluated(sheet, "=IF(2)"));
  EXPECT_EQ("yes", evaluated(sheet, "=IF(-1,\"yes\",\"no\")"));
  EXPECT_EQ("1", evaluated(sheet, "=IF(TRUE,A1)"));  // an empty branch gives the condition
  EXPECT_EQ("0", evaluated(sheet, "=IF(FALSE,1,A1)"));
  EXPECT_EQ("#VALUE!", evaluated(sheet, "=IF(\"yes\",1,2)"));
  EXPECT_EQ("#VALUE!", evaluated(sheet, "=IF()"));
  EXPECT_EQ("#VALUE!", evaluated(sheet, "=IF(1,2,3,4)"));
  EXPECT_EQ("#DIV/0!", evaluated(sheet, "=IF(1,2,1/0)"));  // both branches are evaluated
  enter(sheet, 1, 1, "7");
  enter(sheet, 2, 1, "8");
  EXPECT_EQ("7", evaluated(sheet, "=IF(1,A1:B1,0)"));  // the range comes back as an array
  EXPECT_TRUE(sheet.resultIsArray);
}

TEST(LogicFormulas, AddressKinds) {
  TSheet sheet;
  EXPECT_EQ("$AB$3", evaluated(sheet, "=ADDRESS(3,28)"));
  EXPECT_EQ("$AB$3", evaluated(sheet, "=ADDRESS(3,28,1)"));
  EXPECT_EQ("AB$3", evaluated(sheet, "=ADDRESS(3,28,2)"));
  EXPECT_EQ("$AB3", evaluated(sheet, "=ADDRESS(3,28,3)"));
  EXPECT_EQ("AB3", evaluated(sheet, "=ADDRESS(3,28,4)"));
  EXPECT_EQ("#NUM!", evaluated(sheet, "=ADDRESS(3,28,5)"));
  EXPECT_EQ("#REF!", evaluated(sheet, "=ADDRESS(0,1)"));
  EXPECT_EQ(0, sheet.parseAndEvaluate("=ADDRESS(0,1)", 1, 1, false));  // a text, not an error
  EXPECT_EQ("#VALUE!", evaluated(sheet, "=ADDRESS(1)"));
}

}  // namespace
