#include <gtest/gtest.h>

#include <array>
#include <thread>

#include "model/Portfolio.h"
#include "model/Transaction.h"
#include "model/PortfolioTable.h"
#include "tests/functions/FormulaValues.h"
#include "tests/model/SampleWorkFolder.h"

// Expected figures are read off the sample's files (tools/make-sample-data
// writes them) and summed by hand or with a short script at development
// time: the euro portfolio 0 holds Nordwind (asset 0, OHLCV quotes), a
// Swiss, an American and a bond holding and a cash account; the dollar
// portfolio 1 holds an index fund, Atlantic Tech, a treasury fund, Nordwind
// in euros and a money market account. Day 45070 is Wednesday 24 May 2023;
// 45073 and 45074 are a weekend. EUR/USD on 24 May 2023 is 1.0451.
namespace {

class PortfolioFunctions : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(portfolios.openAll(sample.folios, true, {}, nullptr, true, false), 0);
    ASSERT_EQ(portfolios.loadForexTables({}, nullptr), 0);
    portfolios.setCurrentIndex(0);
    sheet.portfolioTable = &portfolios;
  }

  // The rows of an array result, cells by "," and rows by "|", numbers with
  // 15 digits; or the error text.
  std::string rowsOf(const std::string& formula) {
    enter(sheet, 1, 1, formula);
    sheet.currentCol = sheet.currentRow = 1;
    const TArray* array = sheet.currentCellArray();
    if (!array) return shown(sheet, 1, 1);
    std::string text;
    const std::int32_t rows = array->dimensions()[0], columns = array->dimensions()[1];
    for (std::int32_t row = 0; row < rows; ++row) {
      if (row > 0) text += "|";
      for (std::int32_t col = 0; col < columns; ++col) {
        if (col > 0) text += ",";
        TValueRecord value = array->at(row, col);
        if (value.kind != valueEmpty && sheet.convertValue(value, valueString)) text += value.string;
      }
    }
    return text;
  }

  TSampleWorkFolder sample;
  TPortfolioTable portfolios;
  TSheet sheet;
};

}  // namespace

TEST_F(PortfolioFunctions, NamesAndCodesOfPortfoliosAndAssets) {
  EXPECT_EQ(evaluated(sheet, "=PORTFOLIO_NAME(1)"), "Retirement Account");
  EXPECT_EQ(evaluated(sheet, "=PORTFOLIO_SYMBOL(0)"), "GRW");
  EXPECT_EQ(evaluated(sheet, "=PORTFOLIO_CURRENCY(1.9)"), "USD") << "indexes are integers";
  EXPECT_EQ(evaluated(sheet, "=ASSET_NAME(2)"), "Atlantic Tech Corp");
  EXPECT_EQ(evaluated(sheet, "=ASSET_SYMBOL(4)"), "EUR-CASH");
  EXPECT_EQ(evaluated(sheet, "=ASSET_CURRENCY(1)"), "CHF");
  for (const char* missing : {"=PORTFOLIO_NAME(-1)", "=PORTFOLIO_SYMBOL(2)", "=PORTFOLIO_NAV(2,45070)",
                              "=PORTFOLIO_FLAGS(-1,45070)", "=PORTFOLIO_QUOTES(2,45070)", "=ASSET_NAME(5)",
                              "=ASSET_QUOTES(-1,\"C\",45070)", "=ASSET_FIRST_TRADE(5)"}) {
    EXPECT_EQ(evaluated(sheet, missing), "#N/A") << missing;
  }
  EXPECT_EQ(evaluated(sheet, "=PORTFOLIO_NAME(\"first\")"), "#VALUE!");
  EXPECT_EQ(evaluated(sheet, "=PORTFOLIO_NAME(0,1)"), "#VALUE!");
  EXPECT_EQ(evaluated(sheet, "=ASSET_NAV(0)"), "#VALUE!");
  EXPECT_EQ(evaluated(sheet, "=ASSET_FLAG(0,45070,1)"), "#VALUE!");
  EXPECT_EQ(evaluated(sheet, "=PORTFOLIO_INVESTMENT(0,45070)"), "#VALUE!");
  EXPECT_EQ(evaluated(sheet, "=ASSET_QUOTES(0,\"C\",45070,45071,5,6)"), "#VALUE!");

  portfolios.setCurrentIndex(1);
  EXPECT_EQ(evaluated(sheet, "=ASSET_NAME(2)"), "US Treasury Fund") << "assets of the current portfolio";
  portfolios.setCurrentIndex(-1);
  EXPECT_EQ(evaluated(sheet, "=ASSET_NAME(0)"), "#N/A");
  EXPECT_EQ(evaluated(sheet, "=PORTFOLIO_NAME(0)"), "Growth Portfolio");
  sheet.portfolioTable = nullptr;
  EXPECT_EQ(evaluated(sheet, "=PORTFOLIO_NAME(0)"), "#N/A");
  EXPECT_EQ(evaluated(sheet, "=TRANSACTION_PORTFOLIO(3)"), "#N/A");
}

TEST_F(PortfolioFunctions, ValuesAtTheEndOfADay) {
  // Nordwind: 5 + 34 bought, 16 sold at 10:30 on the 24th; closes 49.07 on
  // the 24th and 49.67 on Friday the 26th.
  EXPECT_EQ(requiredNumberOf(sheet, "=ASSET_UNITS(0,45070)"), 23) << "the day's sale counts";
  EXPECT_EQ(requiredNumberOf(sheet, "=ASSET_UNITS(0,45069)"), 39);
  EXPECT_NEAR(requiredNumberOf(sheet, "=ASSET_NAV(0,45070)"), 23 * 49.07, 1e-9);
  EXPECT_EQ(evaluated(sheet, "=ASSET_NAV(0,45073)"), "#N/A") << "no quote on a Saturday";
  EXPECT_NEAR(requiredNumberOf(sheet, "=ASSET_NAV(0,45073,1)"), 23 * 49.67, 1e-9);
  EXPECT_EQ(requiredNumberOf(sheet, "=ASSET_NAV(0,44000)"), 0) << "nothing held yet";
  EXPECT_EQ(requiredNumberOf(sheet, "=ASSET_OPEN(0,45070)"), 49.42);
  EXPECT_EQ(requiredNumberOf(sheet, "=ASSET_HIGH(0,45070)"), 49.7);
  EXPECT_EQ(requiredNumberOf(sheet, "=ASSET_LOW(0,45070)"), 48.63);
  EXPECT_EQ(requiredNumberOf(sheet, "=ASSET_CLOSE(0,45070.8)"), 49.07);
  EXPECT_EQ(requiredNumberOf(sheet, "=ASSET_VOLUME(0,45070)"), 292684);
  EXPECT_EQ(evaluated(sheet, "=ASSET_CLOSE(0,45073)"), "#N/A") << "no earlier close stands in";
  EXPECT_EQ(evaluated(sheet, "=ASSET_OPEN(3,45070)"), "#N/A") << "the bond fund's file has closes only";
  EXPECT_EQ(evaluated(sheet, "=ASSET_BID(0,45070)"), "#N/A");
  EXPECT_EQ(requiredNumberOf(sheet, "=ASSET_CLOSE(4,45070)"), 1) << "an asset without prices is valued at 1 a unit";
  EXPECT_EQ(evaluated(sheet, "=ASSET_FLAG(0,45070)"), "SELL");
  EXPECT_EQ(evaluated(sheet, "=ASSET_FLAG(0,44000)"), "#N/A");

  // The dollar portfolio: GIX 8,542.80, UST 4,170.18, 9 Nordwind 441.63 EUR
  // at 1.0451, cash 46,000; Atlantic Tech not bought yet.
  const double nordwind = 441.63 * 1.0451;
  const double total = 8542.8 + 4170.18 + nordwind + 46000;
  EXPECT_NEAR(requiredNumberOf(sheet, "=PORTFOLIO_NAV(1,45070)"), total, 1e-8);
  EXPECT_EQ(evaluated(sheet, "=PORTFOLIO_NAV(1,45073)"), "#N/A");
  EXPECT_NEAR(requiredNumberOf(sheet, "=PORTFOLIO_NAV(1,45073,1)"), requiredNumberOf(sheet, "=PORTFOLIO_NAV(1,45072)"), 1e-8);
  EXPECT_NEAR(requiredNumberOf(sheet, "=PORTFOLIO_PERCENT_STOCKS(1,45070)"), (8542.8 * 88.5 + nordwind * 100) / total,
              1e-12);
  EXPECT_NEAR(requiredNumberOf(sheet, "=PORTFOLIO_PERCENT_BONDS(1,45070)"), (8542.8 * 6.5 + 4170.18 * 100) / total, 1e-12);
  EXPECT_NEAR(requiredNumberOf(sheet, "=PORTFOLIO_PERCENT_CASH(1,45070)"), (8542.8 * 2 + 46000 * 100) / total, 1e-12);
  EXPECT_NEAR(requiredNumberOf(sheet, "=PORTFOLIO_PERCENT_OTHER(1,45070)"), 8542.8 * 3 / total, 1e-12);
  EXPECT_EQ(evaluated(sheet, "=PORTFOLIO_PERCENT_OTHER(1,45074)"), "#N/A");
  EXPECT_NEAR(requiredNumberOf(sheet, "=PORTFOLIO_CURRENCY_PART(\"eur\",1,45070)"), 441.63, 1e-10);
  EXPECT_NEAR(requiredNumberOf(sheet, "=PORTFOLIO_CONVERTED_CURRENCY_PART(\"EUR\",1,45070)"), nordwind, 1e-10);
  EXPECT_EQ(requiredNumberOf(sheet, "=PORTFOLIO_CURRENCY_PART(\"GBP\",1,45070)"), 0) << "nothing held in pounds";
  EXPECT_EQ(evaluated(sheet, "=PORTFOLIO_CURRENCY_PART(\"EUR\",1,45073)"), "#N/A");
  EXPECT_NEAR(requiredNumberOf(sheet, "=PORTFOLIO_CURRENCY_PART(\"EUR\",1,45073,1)"), 9 * 49.67, 1e-10)
      << "nine units of Nordwind";

  // The last flag of each asset; Atlantic Tech has none yet, the money
  // market's deposits carry an empty one.
  EXPECT_EQ(rowsOf("=PORTFOLIO_FLAGS(1,45070)"), "0,SELL|1,|2,BUY|3,BUY|4,");
  // Only a missing portfolio fails; one without assets has an empty table.
  TPortfolio* dollars = portfolios.items(1);
  while (dollars->assetCount() > 0) ASSERT_EQ(dollars->deleteAsset(0), 0);
  EXPECT_EQ(rowsOf("=PORTFOLIO_FLAGS(1,45071)"), "");
  EXPECT_EQ(rowsOf("=PORTFOLIO_FLAGS(9,45070)"), "#N/A");
}

TEST_F(PortfolioFunctions, AmountsAndFlowsOverAPeriod) {
  // Nordwind's sale on the 24th: value -785.12, fees 4.90.
  EXPECT_NEAR(requiredNumberOf(sheet, "=ASSET_INVESTMENT(0,45070,45070)"), -780.22, 1e-10) << "the whole of one day";
  EXPECT_NEAR(requiredNumberOf(sheet, "=ASSET_PRINCIPAL(0,45070,45072)"), -785.12, 1e-10);
  EXPECT_NEAR(requiredNumberOf(sheet, "=ASSET_FEES(0,44564,45657)"), 61.87, 1e-10);
  EXPECT_NEAR(requiredNumberOf(sheet, "=ASSET_FEES(0,45657,44564)"), -61.87, 1e-10) << "not reordered";
  EXPECT_EQ(requiredNumberOf(sheet, "=ASSET_FEES(0,45071,45072)"), 0);

  // The dollar portfolio's fees from day 45100 to 45200: four custody fees
  // of 12.50 at one instant (one in euros at 1.0686), Nordwind's 4.90 EUR
  // at 1.0661 and 1.0404, and three in dollars.
  EXPECT_EQ(rowsOf("=PORTFOLIO_FEE_FLOWS(1,45100,45200)"),
            "45107.4375,50.8575|45121.4375,5.22389|45166.4375,7.66|45173.4375,5.09796|45184.4375,7.9|"
            "45197.4375,5.48");
  EXPECT_NEAR(requiredNumberOf(sheet, "=PORTFOLIO_INVESTMENT(1,45121,45121)"), 995.9 * 1.0661, 1e-9);
  EXPECT_NEAR(requiredNumberOf(sheet, "=PORTFOLIO_FEES(1,45100,45200)"), 50.8575 + 5.22389 + 7.66 + 5.09796 + 7.9 + 5.48,
              1e-9);
  EXPECT_EQ(rowsOf("=PORTFOLIO_PRINCIPAL_FLOWS(1,45073,45074)"), "#N/A");

  EXPECT_EQ(rowsOf("=ASSET_FLOWS(0,45070,45072)"), "45070.4375,-780.22");
  EXPECT_EQ(rowsOf("=ASSET_FLOWS(0,45070,45072,0,0)"), "45070.4375,-780.22");
  EXPECT_EQ(rowsOf("=ASSET_PRINCIPAL_FLOWS(0,45070,45072,100,50)"), "45070,100|45070.4375,-785.12|45072,50");
  EXPECT_EQ(rowsOf("=ASSET_FEE_FLOWS(0,45073,45074,0,-1)"), "45074,-1") << "an end value alone";
  // The start value first and the end value after it, even on one day or
  // with the days reversed.
  EXPECT_EQ(rowsOf("=ASSET_FEE_FLOWS(0,45073,45073,-2,3)"), "45073,-2|45073,3");
  EXPECT_EQ(rowsOf("=PORTFOLIO_FLOWS(0,45074,45073,-2,3)"), "45074,-2|45073,3");
  EXPECT_EQ(rowsOf("=ASSET_FEE_FLOWS(0,45073,45074,\"x\")"), "#VALUE!");
  // A transaction at midnight of the from day joins the start value's row.
  ASSERT_EQ(portfolios.items(0)->addTransaction(0, 0, 45071, 1, 49, 1, "", "", false), 0);
  EXPECT_EQ(rowsOf("=ASSET_FLOWS(0,45071,45072,100)"), "45071,150");
  EXPECT_EQ(rowsOf("=ASSET_UNITS(0,45070,45071)"), "45070.4375,-16|45071,1");
  EXPECT_EQ(rowsOf("=ASSET_UNITS(0,45073,45074)"), "#N/A");
}

TEST_F(PortfolioFunctions, PriceRowsOfAnAsset) {
  EXPECT_EQ(rowsOf("=ASSET_QUOTES(0,\"cXo\",45069,45075)"),
            "45069,49.27,,48.55|45070,49.07,,49.42|45071,49.67,,49.12|45072,49.67,,49.53|45075,50.11,,49.65");
  // The same span backwards, from either end of a weekend.
  EXPECT_EQ(rowsOf("=ASSET_QUOTES(0,\"C\",45075,45069)"),
            "45075,50.11|45072,49.67|45071,49.67|45070,49.07|45069,49.27");
  EXPECT_EQ(rowsOf("=ASSET_QUOTES(0,\"C\",45074,45070)"), "45072,49.67|45071,49.67|45070,49.07");
  EXPECT_EQ(rowsOf("=ASSET_QUOTES(0,\"C\",45070,45074)"), "45070,49.07|45071,49.67|45072,49.67");
  EXPECT_EQ(rowsOf("=ASSET_QUOTES(0,\"V\",45069,45075,2)"), "45069,36203|45070,292684");
  EXPECT_EQ(rowsOf("=ASSET_QUOTES(0,\"V\",45075,45069,1)"), "45075,308739");
  // One day: the last record at or before it stands for it; before the
  // first record, the first.
  EXPECT_EQ(rowsOf("=ASSET_QUOTES(0,\"C\",45073)"), "45072,49.67");
  EXPECT_EQ(rowsOf("=ASSET_QUOTES(0,\"h\",40000)"), "44564,42.24");
  EXPECT_EQ(rowsOf("=ASSET_QUOTES(0,\"C\",45070,40000,2)"), "45070,49.07|45069,49.27");
  EXPECT_EQ(rowsOf("=ASSET_QUOTES(0,\"C\",40000,40010)"), "44564,42") << "the first record stands for the start";
  EXPECT_EQ(rowsOf("=ASSET_QUOTES(0,\"C\",40010,40000)"), "#N/A") << "backwards, nothing is dated that early";

  // Rows without any asked field are dropped.
  EXPECT_EQ(rowsOf("=ASSET_QUOTES(3,\"CO\",45070,45071)"), "45070,104.39,|45071,104.63,");
  EXPECT_EQ(rowsOf("=ASSET_QUOTES(3,\"O\",45070,45071)"), "#N/A");
  EXPECT_EQ(rowsOf("=ASSET_QUOTES(3,\"\",45070)"), "#N/A");
  EXPECT_EQ(rowsOf("=ASSET_QUOTES(4,\"C\",45070,45080)"), "#N/A") << "the cash account has no prices";
  EXPECT_EQ(rowsOf("=ASSET_QUOTES(0,REPT(\"C\",32000),44564,45657)"), "#VALUE!") << "beyond the element limit";
}

TEST_F(PortfolioFunctions, NetAssetValueByDay) {
  // Ascending rows are valued at midnight, descending ones at the end of
  // each day; the dollar portfolio's quote days are its assets' trading days.
  EXPECT_EQ(rowsOf("=PORTFOLIO_QUOTES(1,45069,45075)"),
            "45069,59199.259094|45070,59174.527513|45071,59213.401647|45072,59296.356846|45075,59267.142619");
  EXPECT_EQ(rowsOf("=PORTFOLIO_QUOTES(1,45075,45069,2)"), "45075.9999884259,59267.142619|45072.9999884259,59296.356846");
  EXPECT_EQ(rowsOf("=PORTFOLIO_QUOTES(1,45074)"), "45072,59296.356846") << "back to the last day with a value";
  EXPECT_EQ(rowsOf("=PORTFOLIO_QUOTES(1,45073,45074)"), "45072,59296.356846");
  // On 23 December 2024 a purchase at 10:30 tells midnight from the day's end.
  EXPECT_EQ(rowsOf("=PORTFOLIO_QUOTES(1,45649)"), "45649,108751.603335");
  EXPECT_EQ(rowsOf("=PORTFOLIO_QUOTES(1,45649,45649)"), "45649,108751.603335");
  EXPECT_EQ(rowsOf("=PORTFOLIO_QUOTES(1,45650,45649)"), "45650.9999884259,92142.052595|45649.9999884259,92264.353335");
  // The last quote day is 31 December 2024, in both directions.
  EXPECT_EQ(rowsOf("=PORTFOLIO_QUOTES(1,45653,99999)"),
            "45653,92017.942799|45656,92180.3358|45657,92093.131258");
  EXPECT_EQ(rowsOf("=PORTFOLIO_QUOTES(1,99999,45653)"),
            "45657.9999884259,92093.131258|45656.9999884259,92180.3358|45653.9999884259,92017.942799");
  EXPECT_EQ(rowsOf("=PORTFOLIO_QUOTES(1,2000000)"), "45657,92093.131258") << "a far day goes back to the last quote";
  EXPECT_EQ(rowsOf("=PORTFOLIO_QUOTES(1,\"x\")"), "#VALUE!");
  EXPECT_EQ(rowsOf("=PORTFOLIO_QUOTES(1,-2000000000,45070)"), "#VALUE!") << "no day of the calendar";
}

TEST_F(PortfolioFunctions, TradesAllocationsAndOwnersOfTransactions) {
  EXPECT_EQ(requiredNumberOf(sheet, "=PORTFOLIO_FIRST_TRADE(0)"), 44564.375) << "the first deposit";
  EXPECT_EQ(requiredNumberOf(sheet, "=PORTFOLIO_LAST_TRADE(0)"), 45638.6) << "a trading system's sale";
  EXPECT_EQ(requiredNumberOf(sheet, "=ASSET_FIRST_TRADE(0)"), 44602.4375);
  EXPECT_EQ(requiredNumberOf(sheet, "=ASSET_LAST_TRADE(4)"), 45478.378);
  EXPECT_EQ(requiredNumberOf(sheet, "=ASSET_PERCENT_STOCKS(2)"), 95);
  EXPECT_EQ(requiredNumberOf(sheet, "=ASSET_PERCENT_BONDS(3)"), 90);
  EXPECT_EQ(requiredNumberOf(sheet, "=ASSET_PERCENT_CASH(2)"), 5);
  EXPECT_EQ(requiredNumberOf(sheet, "=ASSET_PERCENT_OTHER(2)"), 0);
  portfolios.current()->assets(2)->Allocation().clear();
  EXPECT_EQ(evaluated(sheet, "=ASSET_PERCENT_STOCKS(2)"), "#N/A") << "no valid allocation";
  EXPECT_EQ(evaluated(sheet, "=PORTFOLIO_PERCENT_STOCKS(0,45070)"), "#N/A") << "a held asset without one";

  // Both portfolios number their transactions from 1; the euro one up to 50.
  EXPECT_EQ(requiredNumberOf(sheet, "=TRANSACTION_PORTFOLIO(3)"), 0);
  EXPECT_EQ(requiredNumberOf(sheet, "=TRANSACTION_PORTFOLIO(47)"), 0);
  EXPECT_EQ(evaluated(sheet, "=TRANSACTION_PORTFOLIO(51)"), "#N/A");
  EXPECT_EQ(evaluated(sheet, "=TRANSACTION_PORTFOLIO(0)"), "#NUM!");
  EXPECT_EQ(requiredNumberOf(sheet, "=TRANSACTION_ASSET(24)"), 2);
  EXPECT_EQ(requiredNumberOf(sheet, "=TRANSACTION_ASSET(50)"), 4);
  EXPECT_EQ(evaluated(sheet, "=TRANSACTION_ASSET(-3)"), "#NUM!");
  portfolios.setCurrentIndex(1);
  EXPECT_EQ(requiredNumberOf(sheet, "=TRANSACTION_ASSET(24)"), 1) << "Atlantic Tech's in the dollar portfolio";
  EXPECT_EQ(evaluated(sheet, "=TRANSACTION_ASSET(50)"), "#N/A");
}

TEST_F(PortfolioFunctions, FormulasReadingBoundCellsFollowTheirChanges) {
  enter(sheet, 1, 2, "0", 13);
  enter(sheet, 2, 2, "=ASSET_NAME(A2)", 2);
  enter(sheet, 1, 3, "3", 23);
  enter(sheet, 2, 3, "=ASSET_UNITS(0,45070)");
  enter(sheet, 3, 3, "=A3+ASSET_UNITS(0,45070)");
  EXPECT_EQ(shown(sheet, 2, 2), "Nordwind Energie AG");
  EXPECT_TRUE(sheet.setAssetName(0, "Nordwind Energy"));
  EXPECT_EQ(shown(sheet, 2, 2), "Nordwind Energy");
  // A transaction's units are read by the cell bound to the transaction;
  // a formula reading the model directly follows at the next full pass.
  EXPECT_TRUE(sheet.setTransactionUnits(3, -20));
  EXPECT_EQ(shown(sheet, 3, 3), "22");
  EXPECT_EQ(shown(sheet, 2, 3), "23");
  sheet.recalculateAll(false);
  EXPECT_EQ(shown(sheet, 2, 3), "19");
}

TEST_F(PortfolioFunctions, SheetsOnOtherThreadsReadTheModelSideBySide) {
  // Each round changes a date, so that the tables sort themselves again on
  // the first query, which four sheets on four threads make at once while
  // this thread polls the change stamps.
  const std::array<std::string, 4> formulas = {"=PORTFOLIO_NAV(0,45070)", "=SUM(PORTFOLIO_FLOWS(0,44564,45657))",
                                                "=ASSET_UNITS(0,45070)+TRANSACTION_ASSET(3)",
                                                "=SUM(ASSET_QUOTES(2,\"C\",45000,45100))"};
  TTransaction& sale = *portfolios.items(0)->findTransaction(3);
  for (int round = 0; round < 20; ++round) {
    sale.setDateTime(round % 2 == 0 ? 44600.4375 : 45070.4375);
    std::array<std::array<std::string, 4>, 4> results;
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < results.size(); ++t) {
      threads.emplace_back([&, t] {
        TSheet own;
        own.portfolioTable = &portfolios;
        for (std::size_t f = 0; f < formulas.size(); ++f) results[t][(f + t) % 4] = evaluated(own, formulas[(f + t) % 4]);
      });
    }
    double latest = 0;
    for (int poll = 0; poll < 100; ++poll) latest = std::max(latest, portfolios.lastChange());
    for (std::thread& thread : threads) thread.join();
    for (std::size_t f = 0; f < formulas.size(); ++f) {
      const std::string expected = evaluated(sheet, formulas[f]);
      for (const auto& result : results) ASSERT_EQ(result[f], expected) << formulas[f] << " in round " << round;
    }
    EXPECT_GE(latest, sale.LastChange());
  }
}

TEST_F(PortfolioFunctions, AValueNoNumberHoldsMakesEveryFigureBuiltOnItAnError) {
  // Units a file holds, worth more at Nordwind's price than any number;
  // and two payments whose sum no number holds either.
  TPortfolio& growth = *portfolios.items(0);
  ASSERT_TRUE(growth.findTransaction(1)->setUnits(1e308));
  for (const char* figure :
       {"=ASSET_NAV(0,45070,1)", "=PORTFOLIO_NAV(0,45070,1)", "=PORTFOLIO_PERCENT_CASH(0,45070,1)",
        "=PORTFOLIO_PERCENT_STOCKS(0,45070,1)", "=PORTFOLIO_PERCENT_BONDS(0,45070,1)",
        "=PORTFOLIO_PERCENT_OTHER(0,45070,1)", "=ASSET_NAV(1,45070,1)/PORTFOLIO_NAV(0,45070,1)*100",
        "=PORTFOLIO_CURRENCY_PART(\"EUR\",0,45070,1)", "=PORTFOLIO_CONVERTED_CURRENCY_PART(\"EUR\",0,45070,1)"}) {
    const std::string result = rowsOf(figure);
    EXPECT_EQ(result.substr(0, 1), "#") << figure << " gives " << result;
  }
  // Days without a value are passed over back to the last one with a value,
  // before the units came.
  EXPECT_EQ(rowsOf("=PORTFOLIO_QUOTES(0,45070,45071)").substr(0, 6), "44602,");
  ASSERT_TRUE(growth.findTransaction(1)->setUnits(5));
  EXPECT_NE(rowsOf("=PORTFOLIO_PERCENT_CASH(0,45070,1)").substr(0, 1), "#") << "a number again";

  ASSERT_TRUE(growth.findTransaction(2)->setValue(1.5e308));
  ASSERT_TRUE(growth.findTransaction(3)->setValue(1.5e308));
  for (const char* figure : {"=ASSET_INVESTMENT(0,45070,45071)", "=PORTFOLIO_INVESTMENT(0,45070,45071)",
                             "=PORTFOLIO_PRINCIPAL(0,45070,45071)", "=ASSET_PRINCIPAL(0,0,45071)"}) {
    const std::string result = rowsOf(figure);
    EXPECT_EQ(result.substr(0, 1), "#") << figure << " gives " << result;
  }
}
