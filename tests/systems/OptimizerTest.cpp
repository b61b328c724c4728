#include <gtest/gtest.h>

#include "model/Prices.h"
#include "platform/FileSystem.h"
#include "platform/LocaleSettings.h"
#include "systems/Optimizer.h"
#include "tests/support/TestScriptEngine.h"
#include "tests/systems/SystemPortfolio.h"

TEST(Optimizer, ShuffledRunsAggregateAndLogNumbersArePlain) {
  const std::vector<long double> runs{1, 5, 2, 4};
  EXPECT_EQ(TOptimizer::aggregate(runs, TShuffleAggregation::median), 3);
  EXPECT_EQ(TOptimizer::aggregate(runs, TShuffleAggregation::mean), 3);
  EXPECT_EQ(TOptimizer::aggregate(runs, TShuffleAggregation::max), 5);
  EXPECT_EQ(TOptimizer::aggregate(runs, TShuffleAggregation::min), 1);
  EXPECT_EQ(TOptimizer::aggregate({7, 1, 4}, TShuffleAggregation::median), 4);
  EXPECT_EQ(TOptimizer::logNumber(0.1L + 0.1L + 0.1L), "0.3");
  EXPECT_EQ(TOptimizer::logNumber(1234.5L), "1234.5");
}

namespace {

class Optimizing : public testing::Test, public SystemPortfolio {
 protected:
  void SetUp() override {
    addRule(system, "AAA", "X-FROM_DATE<DAYS");
    for (const char* name : {"DAYS", "UNUSED", "SCALE"}) {
      system.Params().addParameter(-1, -1, system.Params().count());
      system.Params().parameter(system.Params().count() - 1)->setSymbol(name);
    }
    system.Params().parameter(0)->setHigh(4);
    system.Params().parameter(0)->setSteps(3);   // 0, 2, 4
    system.Params().parameter(1)->setLocked(true);
    system.Params().parameter(2)->setHigh(0.2);  // 0, 0.1, 0.2
    system.Params().parameter(2)->setSteps(3);
    settings.objective = "DAYS*10+SCALE*0";
    settings.fromDate = march(2);
    settings.toDate = march(9);
    settings.temporaryRoot = sample.temporary.path();
    settings.logFileName = sample.temporary.path() + "log.csv";
  }

  TSystem system;
  TOptimizeSettings settings;
  TOptimizer optimizer;
};

}  // namespace

TEST_F(Optimizing, WalksTheGridOnADuplicateAndLogsItInOrder) {
  const int hard = static_cast<int>(transactions(false).size());
  std::vector<long double> progress;
  optimizer.showProgress = [&](long double fraction) { progress.push_back(fraction); };
  ASSERT_EQ(optimizer.optimize(table, system, nullptr, settings), 0);
  EXPECT_EQ(optimizer.simulations(), 9u);
  EXPECT_EQ(progress.back(), 1);
  EXPECT_EQ(readWholeFile(settings.logFileName),
            "<OBJECTIVE>,DAYS,SCALE\r\n0,0,0\r\n20,2,0\r\n40,4,0\r\n0,0,0.1\r\n20,2,0.1\r\n40,4,0.1\r\n"
            "0,0,0.2\r\n20,2,0.2\r\n40,4,0.2\r\n");
  // Equal objectives: the earlier combination stays.
  EXPECT_EQ(optimizer.maxResult().objective(), 40);
  EXPECT_EQ(optimizer.maxResult().getValue(1), 0);
  EXPECT_EQ(optimizer.minResult().getValue(0), 0);
  EXPECT_DOUBLE_EQ(static_cast<double>(optimizer.lastResult().getValue(1)), 0.2);
  // The user's portfolio is current again, untouched, and the duplicate gone.
  EXPECT_EQ(table.count(), 1);
  EXPECT_EQ(table.current(), portfolio);
  EXPECT_TRUE(transactions(true).empty());
  EXPECT_EQ(static_cast<int>(transactions(false).size()), hard);
}

TEST_F(Optimizing, ShuffledRunsGiveTheSeriesBackAndStopEndsTheSearch) {
  settings.shuffle = true;
  settings.runs = 3;
  TPrices& prices = portfolio->assets(0)->Prices();
  const bool modified = prices.modified();
  int calls = 0;
  optimizer.keepRunning = [&] { return ++calls < 40; };
  ASSERT_EQ(optimizer.optimize(table, system, nullptr, settings), 0);
  EXPECT_LT(optimizer.simulations(), 27u);
  EXPECT_EQ(prices.savedCount(), 0);
  EXPECT_EQ(prices.modified(), modified);
  EXPECT_EQ(table.count(), 1);
  EXPECT_EQ(table.current(), portfolio);
}

TEST_F(Optimizing, ALogThatCannotBeWrittenEndsTheSearchCleanly) {
  settings.logFileName = sample.temporary.path() + "missing\\log.csv";
  EXPECT_EQ(optimizer.optimize(table, system, nullptr, settings), -4);
  EXPECT_FALSE(optimizer.logError().empty());
  EXPECT_EQ(table.count(), 1);
  EXPECT_EQ(table.current(), portfolio);
  for (int i = 0; i < 3; ++i) system.Params().parameter(i)->setLocked(true);
  EXPECT_EQ(optimizer.optimize(table, system, nullptr, settings), -7);
}

TEST(Optimizer, ShuffledRunsKeepTheQuotesAfterTheTestWindowInPlace) {
  std::vector<double> dates;
  for (int d = 1; d <= 10; ++d) dates.push_back(SystemPortfolio::march(d));
  // The system holds its dates at midday.
  const auto [first, last] = TOptimizer::shuffledSpan(dates, SystemPortfolio::march(2) + 0.5,
                                                      SystemPortfolio::march(9) + 0.5);
  EXPECT_EQ(first, 1u);
  EXPECT_EQ(last, 8u);
  const auto [only, same] = TOptimizer::shuffledSpan(dates, SystemPortfolio::march(12) + 0.5,
                                                     SystemPortfolio::march(14) + 0.5);
  EXPECT_LE(only, same);
}

TEST_F(Optimizing, AnObjectiveThatDoesNotCompileIsRefusedBeforeAnyRun) {
  settings.objective = "(DAYS*10+SCALE";  // cut at the box's width
  EXPECT_EQ(optimizer.optimize(table, system, nullptr, settings), TOptimizer::objectiveRefused);
  EXPECT_EQ(optimizer.simulations(), 0u);
  EXPECT_NE(optimizer.objectiveError().find("(DAYS*10+SCALE"), std::string::npos);
  EXPECT_FALSE(fileExists(settings.logFileName));
  EXPECT_EQ(table.count(), 1);
  EXPECT_EQ(table.current(), portfolio);

  settings.objective = "DAYS*10+";  // its "+" lacks an operand
  EXPECT_EQ(optimizer.optimize(table, system, nullptr, settings), TOptimizer::objectiveRefused);
  EXPECT_NE(optimizer.objectiveError().find("#OP?"), std::string::npos) << optimizer.objectiveError();
  EXPECT_EQ(optimizer.simulations(), 0u);

  settings.objective = "DAYS*10+SCALE*0";
  EXPECT_EQ(optimizer.optimize(table, system, nullptr, settings), 0);
  EXPECT_TRUE(optimizer.objectiveError().empty());
  EXPECT_EQ(optimizer.simulations(), 9u);
}

// Tried once before the runs, an objective that no run can give a value
// (an unknown name, a macro the engine lacks or one raising an error) is
// refused; one whose every run ends without a value is a failure with the
// first run's error, not an empty result. An error the runs may mend (a
// division by the units the runs buy) is left to them.
TEST_F(Optimizing, AnObjectiveWithoutAValueIsRefusedOrEndsWithTheFirstError) {
  const std::string list(1, localeSettings().listSeparator);
  TTestScriptEngine script(L"JScript", L"function fails() { throw 1; }\nfunction one() { return 1; }");
  for (const char* objective : {"NOSUCHNAME*2", "NOSUCHMACRO()*2", "fails()+DAYS"}) {
    SCOPED_TRACE(objective);
    settings.objective = objective;
    const bool withEngine = std::string(objective) != "NOSUCHNAME*2";
    EXPECT_EQ(optimizer.optimize(table, system, withEngine ? script.get() : nullptr, settings),
              TOptimizer::objectiveRefused) << optimizer.objectiveError();
    EXPECT_EQ(optimizer.simulations(), 0u);
    EXPECT_NE(optimizer.objectiveError().find(objective), std::string::npos) << optimizer.objectiveError();
    EXPECT_EQ(table.current(), portfolio);
  }
  EXPECT_NE(optimizer.objectiveError().find("#SCRIPT!"), std::string::npos) << optimizer.objectiveError();

  settings.objective = "DAYS/(DAYS-DAYS)";
  EXPECT_EQ(optimizer.optimize(table, system, script.get(), settings), TOptimizer::objectiveWithoutValue);
  EXPECT_EQ(optimizer.simulations(), 9u);
  EXPECT_FALSE(optimizer.maxResult().valid());
  EXPECT_NE(optimizer.objectiveError().find("#NUM!"), std::string::npos) << optimizer.objectiveError();
  EXPECT_EQ(table.count(), 1);

  // A value before the runs is not needed: the quotient of what they buy.
  settings.objective = "one()*DAYS/ASSET_UNITS(AAA" + list + "TO_DATE)";
  EXPECT_EQ(optimizer.optimize(table, system, script.get(), settings), 0) << optimizer.objectiveError();
  EXPECT_TRUE(optimizer.maxResult().valid());
  EXPECT_TRUE(optimizer.objectiveError().empty());

  // The names the sheet reads without a cell are no unknown names.
  for (const char* objective : {"DAYS*PI", "DAYS+TRUE", "DAYS*E", "DAYS*(A1+1)"}) {
    SCOPED_TRACE(objective);
    settings.objective = objective;
    EXPECT_EQ(optimizer.optimize(table, system, script.get(), settings), 0) << optimizer.objectiveError();
    EXPECT_TRUE(optimizer.maxResult().valid());
  }
}
