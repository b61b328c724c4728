#include <gtest/gtest.h>

#include "tests/functions/FormulaValues.h"

// Expected values from a Python mpmath script (40 digits) written for these
// tests: net present values summed term by term, internal rates as the roots
// mpmath's findroot finds for them, MIRR from its closed form.

namespace {

struct CashFlowFunctions : testing::Test {
  TSheet sheet;
  double value(const std::string& formula) { return requiredNumberOf(sheet, formula); }
  std::string text(const std::string& formula) { return evaluated(sheet, formula); }

  // Values in column 1 and dates in column 2 from row 1; a number cell for
  // each non-empty text.
  void enterFlows(const std::vector<std::string>& values, const std::vector<std::string>& dates) {
    for (std::size_t i = 0; i < values.size(); ++i) {
      if (!values[i].empty()) enter(sheet, 1, static_cast<int>(i) + 1, values[i]);
    }
    for (std::size_t i = 0; i < dates.size(); ++i) {
      if (!dates[i].empty()) enter(sheet, 2, static_cast<int>(i) + 1, dates[i]);
    }
  }
};

}  // namespace

TEST_F(CashFlowFunctions, SeriesFromRangesConstantsAndScalarsAgainstIndependentValues) {
  enterFlows({"-70000", "12000", "15000", "18000", "21000", "26000"}, {});
  EXPECT_NEAR(value("=IRR(A1:A6)"), 0.086630948036531614293, 1e-12);
  EXPECT_NEAR(value("=IRR(A1:A6,-0.5)"), 0.086630948036531614293, 1e-12);
  EXPECT_NEAR(value("=IRR({-70000,12000,15000,18000,21000,26000})"), 0.086630948036531614293, 1e-12);
  EXPECT_NEAR(value("=MIRR({-120000,39000,30000,21000,37000,46000},0.1,0.12)"), 0.12609413036590514583, 1e-12);
  // NPV gathers every argument after the rate, scalars and arrays alike.
  EXPECT_NEAR(value("=NPV(0.1,-10000,{3000,4200},6800)"), 1188.4434123352230039, 1e-9);
  EXPECT_NEAR(value("=FVSCHEDULE(1,{0.09,0.11,0.1})"), 1.33089, 1e-15);
  EXPECT_EQ(value("=FVSCHEDULE(100,5%)"), 105);
}

TEST_F(CashFlowFunctions, DatedFlowsAgainstIndependentValues) {
  // 1 Jan 2008, 1 Mar, 30 Oct, 15 Feb 2009, 1 Apr 2009.
  enterFlows({"-10000", "2750", "4250", "3250", "2750"}, {"39448", "39508", "39751", "39859", "39904.75"});
  EXPECT_NEAR(value("=XNPV(0.09,A1:A5,B1:B5)"), 2086.6476020315366217, 1e-8);
  EXPECT_NEAR(value("=XIRR(A1:A5,B1:B5)"), 0.37336253351883151031, 1e-10);
  EXPECT_NEAR(value("=XIRR(A1:A5,B1:B5,0.5)"), 0.37336253351883151031, 1e-10);
  // The routines rewrite their own copy of the dates, never the cells.
  EXPECT_EQ(sheet.getCellNumber(2, 5), 39904.75);
  EXPECT_NEAR(value("=XNPV(0.1,{-100,110},{45000,45365})"), 0, 1e-12);
}

TEST_F(CashFlowFunctions, FailuresOfSeriesAndArguments) {
  enterFlows({"-100", "", "", "60", "70"}, {"45000", "45100", "45150", "45200", ""});
  enter(sheet, 1, 2, "abc", 2);
  // Texts and empty cells drop out of a series.
  EXPECT_NEAR(value("=NPV(0,A1:A5)"), 30, 1e-12);
  EXPECT_EQ(text("=XNPV(0.1,A1:A5,B1:B5)"), "#VALUE!") << "three values, four dates";
  EXPECT_EQ(text("=XIRR(A1:A2,B1:B2)"), "#VALUE!") << "no value of the other sign";
  EXPECT_EQ(text("=XNPV(0.1,{-100,110},{45000,44999})"), "#VALUE!") << "a date before the first";
  EXPECT_EQ(text("=XNPV(0.1,{-100,110},{45000,3000000})"), "#VALUE!") << "a date beyond the calendar";
  EXPECT_EQ(text("=IRR({-100})"), "#VALUE!");
  EXPECT_EQ(text("=IRR({100,100})"), "#NUM!") << "flows of one sign have no rate";
  EXPECT_EQ(text("=MIRR({100,200},0.1,0.1)"), "#VALUE!");
  for (const char* formula : {"=NPV(0.1)", "=IRR()", "=IRR(A1:A5,0.1,1)", "=MIRR(A1:A5,0.1)", "=XNPV(0.1,A1:A5)",
                              "=XIRR(A1:A5)", "=FVSCHEDULE(1)", "=IRR(A1:A5,\"guess\")", "=NPV(\"r\",1,2)"}) {
    EXPECT_EQ(text(formula), "#VALUE!") << formula;
  }
}
