#include <gtest/gtest.h>

#include "model/PortfolioTable.h"
#include "tests/functions/FormulaValues.h"
#include "tests/model/SampleWorkFolder.h"

namespace {

// The sample's currency tables: EURtoUSD.CSV and USDtoCHF.CSV, from 3
// January 2022 (day 44564): EUR/USD 1.1354, then 1.1362 on the 4th and
// 1.1334 on Friday the 7th; USD/CHF 0.9165 on the 4th.
struct CurrencyConvert : testing::Test {
  void SetUp() override {
    double loadTime = 0;
    ASSERT_GE(forexTables().getTable("EUR", "USD", {}, nullptr, loadTime), 0);
    ASSERT_GE(forexTables().getTable("USD", "EUR", {}, nullptr, loadTime), 0);
    ASSERT_GE(forexTables().getTable("EUR", "CHF", {}, nullptr, loadTime), 0);
    sheet.portfolioTable = &portfolios;
  }

  TSampleWorkFolder sample;
  TPortfolioTable portfolios;
  TSheet sheet;
};

}  // namespace

TEST_F(CurrencyConvert, ThroughTheLoadedTables) {
  EXPECT_NEAR(requiredNumberOf(sheet, "=CURRENCY_CONVERT(\"EUR\",\"USD\",44565,100)"), 113.62, 1e-10);
  EXPECT_NEAR(requiredNumberOf(sheet, "=CURRENCY_CONVERT(\" eur\",\"usd\",44565.5)"), 1.1362, 1e-12) << "amount 1";
  EXPECT_NEAR(requiredNumberOf(sheet, "=CURRENCY_CONVERT(\"EUR\",\"USD\",44569.2,10)"), 11.334, 1e-11)
      << "a Saturday takes Friday's rate";
  EXPECT_NEAR(requiredNumberOf(sheet, "=CURRENCY_CONVERT(\"USD\",\"EUR\",44565,1.1362)"), 1, 1e-12);
  EXPECT_NEAR(requiredNumberOf(sheet, "=CURRENCY_CONVERT(\"EUR\",\"CHF\",44565,100)"), 113.62 * 0.9165, 1e-9);
  EXPECT_EQ(evaluated(sheet, "=CURRENCY_CONVERT(\"EUR\",\"GBP\",44565)"), "#N/A");
  EXPECT_EQ(evaluated(sheet, "=CURRENCY_CONVERT(\"EUR\",\"USD\",3000000)"), "#VALUE!");
  EXPECT_EQ(evaluated(sheet, "=CURRENCY_CONVERT(\"EUR\",\"USD\",44565,\"x\")"), "#VALUE!");
  EXPECT_EQ(evaluated(sheet, "=CURRENCY_CONVERT(\"EUR\",\"USD\")"), "#VALUE!");
  sheet.portfolioTable = nullptr;
  EXPECT_EQ(evaluated(sheet, "=CURRENCY_CONVERT(\"EUR\",\"USD\",44565)"), "#N/A");
}

TEST(Concatenate, JoinsTextsInOrder) {
  TSheet sheet;
  EXPECT_EQ(evaluated(sheet, "=CONCATENATE(\"x\")"), "x");
  EXPECT_EQ(evaluated(sheet, "=CONCATENATE(\"x\",1.5,\"\",2)"), "x1.52");
  EXPECT_EQ(evaluated(sheet, "=CONCATENATE(\"x\",A1:A2)"), "#VALUE!");
  EXPECT_EQ(evaluated(sheet, "=CONCATENATE()"), "#VALUE!");
  EXPECT_EQ(evaluated(sheet, "=LEN(CONCATENATE(REPT(\"x\",20000),REPT(\"y\",12767)))"), "32767");
  EXPECT_EQ(evaluated(sheet, "=CONCATENATE(REPT(\"x\",20000),REPT(\"y\",12768))"), "#VALUE!") << "beyond a cell's text";
}
