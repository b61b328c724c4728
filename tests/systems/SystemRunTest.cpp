#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>

#include "model/Asset.h"
#include "model/PortableIniFile.h"
#include "model/Transaction.h"
#include "model/TransactionTable.h"
#include "platform/LocaleSettings.h"
#include "sheet/Sheet.h"
#include "systems/SystemNameTable.h"
#include "tests/systems/SystemPortfolio.h"

namespace {

class SystemRun : public testing::Test, public SystemPortfolio {
 protected:
  int run(const TSystemCallback& callback = {}) { return system.run(nullptr, &table, callback); }
  TSystem system;
};

// Every file of the asset folders, name to bytes.
std::map<std::string, std::string> transactionFiles(const TPortfolio& portfolio) {
  std::map<std::string, std::string> files;
  for (int a = 0; a < portfolio.assetCount(); ++a) {
    const std::string& folder = portfolio.assets(a)->TransactionFolder();
    for (const auto& [name, bytes] : folderContents(folder)) files[folder + name] = bytes;
  }
  return files;
}

}  // namespace

TEST(SystemNames, ReplacedTokenByTokenWithTheFirstNameWinning) {
  TSystemNameTable names;
  names.add("X", "A1");
  names.add("RULE", "RULE");
  names.add("AAA", "0");
  names.add("aaa", "B2");  // a parameter named like an asset: the asset wins
  names.add("S", "A3");
  std::string result;
  TSystem::substituteNames("x  +aaa*SUM(S;A1)&\"S\"", result, names, {'.', ';'});
  EXPECT_EQ(result, "A1  +0*SUM(A3;A1)&\"S\"");
  TSystem::substituteNames("RULE+1", result, names, {'.', ';'});
  EXPECT_EQ(result, "RULE+1");
  names.setRule("7");
  TSystem::substituteNames("rule+1", result, names, {'.', ';'});
  EXPECT_EQ(result, "7+1");
}

TEST_F(SystemRun, SixDaysPostSixSoftTransactionsAtMiddayAndARerunReplacesThem) {
  TSystemRule& rule = addRule(system, "aaa", "X>0");  // letter case aside
  rule.setFlag("\"BUY\"");
  system.setToDate(march(6));
  system.setFromDate(march(1));
  const size_t hard = transactions(false).size();
  std::vector<long double> positions;
  ASSERT_EQ(run([&](long double, long double, long double position) {
              positions.push_back(position);
              return 0;
            }),
            0);
  EXPECT_EQ(positions.size(), 8u);  // preparation, six days, the final call
  std::vector<const TTransaction*> soft = transactions(true);
  ASSERT_EQ(soft.size(), 6u);
  for (int d = 0; d < 6; ++d) {
    EXPECT_EQ(soft[d]->DateTime(), march(1 + d) + 0.5);
    EXPECT_EQ(soft[d]->Flag(), "BUY");
  }
  ASSERT_EQ(run(), 0);
  EXPECT_EQ(transactions(true).size(), 6u);
  EXPECT_EQ(transactions(false).size(), hard);
}

// A rerun stores file for file what the first run stored, the user's own
// transactions included; while it runs, each new soft transaction is
// written over the file of an old one, so the folders hold as many as
// before, and the old ones left over go at the end.
TEST_F(SystemRun, ARerunWritesOverTheFilesOfTheFirstAndLeavesNoneOfItsOwnBehind) {
  addRule(system, "AAA", "X>0");
  TSystemRule& rule = addRule(system, "BBB", "1");
  system.setToDate(march(10));
  system.setFromDate(march(1));
  ASSERT_EQ(portfolio->addTransaction(1, 0, march(5), 2, 200, 1, "", "mine", true), 0);
  ASSERT_EQ(run(), 0);
  const std::map<std::string, std::string> once = transactionFiles(*portfolio);
  ASSERT_EQ(transactions(true).size(), 20u);

  int checks = 0;
  ASSERT_EQ(run([&](long double low, long double, long double position) {
              if (position <= low) return 0;
              int softOnDisk = 0;
              for (int a = 0; a < portfolio->assetCount(); ++a) {
                TTransactionTable stored;
                if (stored.loadDirectory(portfolio->assets(a)->TransactionFolder()) != 0) return -1;
                for (int i = 0; i < stored.count(); ++i) softOnDisk += stored.items(i)->Soft() != 0;
              }
              ++checks;
              return softOnDisk == 20 ? 0 : -3;
            }),
            0);
  EXPECT_EQ(checks, 11);  // ten days and the final call
  EXPECT_EQ(transactionFiles(*portfolio), once);

  // Fewer transactions than before leave no trace of the others.
  rule.setCondition("X<" + std::to_string(static_cast<int>(march(3))));
  ASSERT_EQ(run(), 0);
  const std::map<std::string, std::string> fewer = transactionFiles(*portfolio);
  EXPECT_EQ(fewer.size(), once.size() - 8);
  for (const auto& [name, bytes] : fewer) EXPECT_EQ(name.find('~'), std::string::npos) << name;
}

TEST_F(SystemRun, StopOnTheThirdDayLeavesThreeDays) {
  addRule(system, "BBB", "1");
  system.setToDate(march(8));
  system.setFromDate(march(2));
  int days = 0;
  EXPECT_EQ(run([&](long double low, long double, long double position) { return position > low && ++days == 3 ? -8 : 0; }),
            -8);
  EXPECT_EQ(transactions(true).size(), 3u);
}

TEST_F(SystemRun, TheLastDayPassesToWhenTheLastQuoteIsAWholeDay) {
  addRule(system, "AAA", "1");
  system.setToDate(march(20));  // clamped to the last quote, 10 March 0:00
  system.setFromDate(march(8));
  ASSERT_EQ(run(), 0);
  std::vector<const TTransaction*> soft = transactions(true);
  ASSERT_EQ(soft.size(), 3u);
  EXPECT_EQ(soft.back()->DateTime(), march(10) + 0.5);
}

TEST_F(SystemRun, NothingToRunStillDeletesTheRangesSoftTransactions) {
  addRule(system, "AAA", "1");
  ASSERT_EQ(portfolio->addTransaction(0, 1, clearedSystemDate, 1, 1, 0, "", "", false), 0);
  EXPECT_EQ(run(), -7);
  EXPECT_TRUE(transactions(true).empty());
}

TEST_F(SystemRun, SymbolsParametersAndErrorsOnTheWay) {
  // A diamond of symbols ten levels deep over X, evaluated once per day in
  // order: each level doubles, so level 10 holds X * 2^10.
  TSymbolEntryTable& symbols = system.Symbols();
  for (int level = 0; level <= 10; ++level) {
    char definition[32];
    std::snprintf(definition, sizeof definition, "L%d+R%d", level - 1, level - 1);
    for (char side : {'L', 'R'}) {
      symbols.addSymbol(-1, -1, symbols.count());
      TSystemSymbol& symbol = *symbols.symbol(symbols.count() - 1);
      symbol.setSymbol(std::string(1, side) + std::to_string(level));
      symbol.setDefinition(level == 0 ? "X" : definition);
    }
  }
  system.Params().addParameter(-1, -1, 0);
  TSystemParameter& limit = *system.Params().parameter(0);
  limit.setSymbol("LIMIT");
  limit.setHigh(5);
  limit.setValue(3);
  TSystemRule& rule = addRule(system, "AAA", "1/(X-FROM_DATE-1)>0");  // an error on the second day
  rule.setUnits("L10/X");
  rule.setFees("RULE");
  addRule(system, "BBB", "X-FROM_DATE<LIMIT");
  system.setToDate(march(5));
  system.setFromDate(march(1));

  std::unique_ptr<TSheet> sheet;
  std::string objective = "LIMIT*2";
  ASSERT_EQ(system.prepareRun(sheet, nullptr, &table, objective, {}), 0);
  bool found = false;
  double value = 0;
  ASSERT_EQ(system.simulate(sheet.get(), false, {}, found, value, objective), 0);
  EXPECT_TRUE(found);
  EXPECT_EQ(value, 6);
  EXPECT_NEAR(sheet->getCellNumber(22, 3), (march(5) + 0.5) * 1024, 1e-6);

  std::vector<const TTransaction*> soft = transactions(true);
  ASSERT_EQ(soft.size(), 3u + 3u);  // AAA on days 3 to 5; BBB on days 1 to 3
  for (const TTransaction* transaction : soft) {
    if (transaction->Units() != 1) {
      EXPECT_EQ(transaction->Units(), 1024);
      EXPECT_EQ(transaction->Fees(), 1);
    }
  }
  limit.setStepIndex(1);  // 5, through the optimiser's path
  ASSERT_EQ(system.simulate(sheet.get(), true, {}, found, value, objective), 0);
  EXPECT_EQ(value, 10);
  EXPECT_EQ(transactions(true).size(), 3u + 5u);
}

// The sample portfolio's own system: it must load and run as shipped, so
// that the program's first start shows its soft transactions.
TEST(SampleSystem, RunsAndPostsItsSoftTransactionsInItsRange) {
  TSampleWorkFolder sample;
  TPortfolioTable table;
  ASSERT_EQ(table.open(sample.folios + "2\\", false, {}, nullptr, true, false), 0);
  table.setCurrentIndex(0);
  TSystem system;
  {
    const TPortableIniFile ini(sample.folios + "2\\System.INI");
    ASSERT_EQ(system.loadFromIni(ini, {localeSettings().decimalSeparator, localeSettings().listSeparator}), 0);
  }
  EXPECT_EQ(system.Params().combinationCount(), 16);
  ASSERT_EQ(system.run(nullptr, &table, {}), 0);
  const TTransactionTable& transactions = table.current()->assets(0)->Transactions();
  int posted = 0;
  for (int i = 0; i < transactions.count(); ++i) {
    const TTransaction& transaction = *transactions.items(i);
    if (transaction.Soft() == 0) continue;
    EXPECT_GE(transaction.DateTime(), system.FromDate() - 0.5);
    EXPECT_EQ(transaction.Flag(), "SYS");
    ++posted;
  }
  EXPECT_GT(posted, 2);
}
