#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model/PortableIniFile.h"
#include "model/SettingsBaseline.h"
#include "systems/System.h"
#include "tests/support/TestFolders.h"

namespace {

TSystemParameter& addParameter(TParameterEntryTable& params, long double low, long double high, int steps) {
  params.addParameter(-1, -1, params.count());
  TSystemParameter& parameter = *params.parameter(params.count() - 1);
  parameter.setHigh(high);
  parameter.setLow(low);
  parameter.setSteps(steps);
  return parameter;
}

}  // namespace

TEST(SystemParameter, SettersKeepLowValueHighInOrderAndStepsWalkTheGrid) {
  TSystemParameter parameter;
  parameter.setValue(5);
  parameter.setHigh(8);
  parameter.setLow(9);  // above Value and High: both rise to it
  EXPECT_EQ(parameter.Value(), 9);
  EXPECT_EQ(parameter.High(), 9);
  parameter.setHigh(2);  // below Low: Value and Low fall to it
  EXPECT_EQ(parameter.Low(), 2);
  EXPECT_EQ(parameter.Value(), 2);

  parameter.setSteps(0);
  EXPECT_EQ(parameter.Steps(), 1);
  EXPECT_FALSE(parameter.isOptimisable());

  parameter.setLow(10);
  parameter.setHigh(20);
  parameter.setSteps(5);
  parameter.setStepIndex(3);
  EXPECT_EQ(parameter.Value(), 17.5L);

  parameter.setLow(0);
  parameter.setHigh(1);
  parameter.setSteps(11);
  for (int i = 0; i < 11; ++i) {
    parameter.setStepIndex(i);
    const long double expected = static_cast<long double>(i) / 10;
    EXPECT_LE(std::fabs(parameter.Value() - expected), std::nextafter(expected, 2.0L) - expected) << i;
  }
  const double stamped = parameter.LastChange();
  parameter.setLocked(true);
  parameter.setStepIndex(4);  // locked: never varied
  EXPECT_EQ(parameter.StepIndex(), 10);
  EXPECT_GE(parameter.LastChange(), stamped);
}

TEST(ParameterEntryTable, GridVisitsEveryCombinationFirstParameterFastest) {
  TParameterEntryTable params;
  EXPECT_EQ(params.combinationCount(), 0u);
  EXPECT_TRUE(params.nextCombination());
  TSystemParameter& first = addParameter(params, 0, 2, 3);
  TSystemParameter& locked = addParameter(params, 0, 5, 4);
  locked.setLocked(true);
  TSystemParameter& second = addParameter(params, 0, 1, 2);
  EXPECT_EQ(params.optimisableCount(), 2);
  EXPECT_EQ(params.combinationCount(), 6u);

  params.resetStepIndexes();
  std::vector<std::pair<int, int>> visited{{first.StepIndex(), second.StepIndex()}};
  int falses = 0;
  while (!params.nextCombination()) {
    ++falses;
    visited.emplace_back(first.StepIndex(), second.StepIndex());
  }
  EXPECT_EQ(falses, 5);
  EXPECT_EQ(visited, (std::vector<std::pair<int, int>>{{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}}));
  EXPECT_EQ(first.Value(), 0);
  EXPECT_EQ(second.Value(), 0);

  // Four parameters of 70,000 steps would overflow 64 bits: the count saturates.
  TParameterEntryTable large;
  for (int i = 0; i < 4; ++i) addParameter(large, 0, 1, 70000);
  EXPECT_EQ(large.combinationCount(), std::numeric_limits<std::uint64_t>::max());
}

TEST(SystemEntryTable, MoveInsertAndRuleNumbers) {
  TRuleEntryTable rules;
  for (const char* symbol : {"S0", "S1", "S2"}) rules.addRule(-1, -1, symbol, rules.count());
  EXPECT_EQ(rules.nextNumber(), 4);
  ASSERT_EQ(rules.move(0, 5), 0);
  ASSERT_EQ(rules.count(), 6);
  EXPECT_EQ(rules.rule(0)->AssetSymbol(), "S1");
  EXPECT_EQ(rules.rule(1)->AssetSymbol(), "S2");
  for (int i = 2; i < 5; ++i) EXPECT_EQ(rules.rule(i)->AssetSymbol(), "") << i;
  EXPECT_EQ(rules.rule(5)->AssetSymbol(), "S0");
  EXPECT_EQ(rules.move(6, 0), -7);
  EXPECT_EQ(rules.deleteEntry(-1), -7);

  ASSERT_EQ(rules.duplicate(0), 0);
  EXPECT_EQ(rules.rule(1)->AssetSymbol(), "S1");
  EXPECT_EQ(rules.rule(1)->Number(), 4);

  TSystemRule& rule = *rules.rule(0);
  rule.setEnabled(true);
  rule.setCondition("X>1");
  rule.setUnits("1");
  rule.setPrincipal("1");
  EXPECT_EQ(rules.activeCount(), 0);  // Fees empty: inactive
  rule.setFees("0");
  EXPECT_EQ(rules.activeCount(), 1);
}

TEST(SystemIni, LoadingTrustsOnlySectionsThatExist) {
  TTemporaryFolder folder;
  const std::string name = folder.path() + "System.INI";
  writeWholeFile(name,
                 "[Rule]\r\nCount=3\r\n[Rule1]\r\nAssetSymbol=A\r\n[Rule3]\r\nAssetSymbol=C\r\n"
                 "[Symbol]\r\nCount=2000000000\r\n[Symbol1]\r\nSymbol=S\r\n[Symbol2]\r\nSymbol=T\r\n"
                 "[Param]\r\nCount=1\r\n[Param1]\r\nSymbol=P\r\nValue=3\r\n");
  TPortableIniFile ini(name);
  TSystem system;
  EXPECT_EQ(system.loadFromIni(ini, {'.', ';'}), -7);
  ASSERT_EQ(system.Rules().count(), 3);
  EXPECT_EQ(system.Rules().rule(1)->AssetSymbol(), "");
  EXPECT_EQ(system.Rules().rule(2)->AssetSymbol(), "C");
  EXPECT_EQ(system.Symbols().count(), 2);
  EXPECT_EQ(system.Params().parameter(0)->Value(), 3);
  EXPECT_EQ(system.FromDate(), clearedSystemDate);
}

TEST(SystemIni, SavesInKeyOrderAndReadsEveryTextBackUnchanged) {
  TTemporaryFolder folder;
  const std::string name = folder.path() + "System.INI";
  TSystem system;
  system.setToDate(45001.2);
  system.setFromDate(45000.9);
  EXPECT_EQ(system.FromDate(), 45000.5);
  system.setFromDate(45003);
  EXPECT_EQ(system.ToDate(), 45003.5);
  TSystemRule& rule = *system.Rules().rule((system.Rules().addRule(-1, -1, "AAA", 0), 0));
  rule.setEnabled(true);
  rule.setCondition("\"A\"<\"B\"");
  rule.setUnits("IF(X>1,5;2)");
  rule.setFlag("\"BUY\"");
  system.Params().addParameter(-1, -1, 0);
  system.Params().parameter(0)->setSymbol("P");
  system.Params().parameter(0)->setValue(45000.5);
  {
    TPortableIniFile ini(name);
    ASSERT_EQ(system.saveToIni(ini, {',', ';'}), 0);
  }
  const std::string text = readWholeFile(name);
  EXPECT_NE(text.find("[Rule1]\r\nRowHeight=-1\r\nColWidth=-1\r\nNumber=1\r\nEnabled=1\r\n"
                      "Condition=\"\"A\"<\"B\"\"\r\nAssetSymbol=\"AAA\"\r\nUnits=\"IF(X>1.5;2)\"\r\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("Value= 4.50005000000000E+0004\r\n"), std::string::npos) << text;

  TPortableIniFile ini(name);
  TSystem loaded;
  ASSERT_EQ(loaded.loadFromIni(ini, {',', ';'}), 0);
  EXPECT_EQ(loaded.Rules().rule(0)->Condition(), "\"A\"<\"B\"");
  EXPECT_EQ(loaded.Rules().rule(0)->Units(), "IF(X>1,5;2)");
  EXPECT_EQ(loaded.Rules().rule(0)->Flag(), "\"BUY\"");
  EXPECT_EQ(loaded.Rules().rule(0)->TransactionComment(), "");
  EXPECT_EQ(loaded.FromDate(), 45003.5);
}

// A rule deleted takes its section with it at a save that writes only
// what changed.
TEST(SystemIni, ARuleDeletedTakesItsSectionWithIt) {
  TTemporaryFolder folder;
  const std::string name = folder.path() + "System.INI";
  TSystem system;
  for (const char* symbol : {"A", "B", "C"}) system.Rules().addRule(-1, -1, symbol, system.Rules().count());
  const TSettingsBaseline::TWriter write = [&](TPortableIniFile& ini) { system.saveToIni(ini, {'.', ','}); };
  TSettingsBaseline saved;
  ASSERT_TRUE(saved.save(name, write));
  ASSERT_TRUE(TPortableIniFile(name).sectionExists("Rule3"));
  ASSERT_EQ(system.Rules().deleteEntry(1), 0);
  ASSERT_TRUE(saved.save(name, write));
  const TPortableIniFile ini(name);
  EXPECT_EQ(ini.readString("Rule2", "AssetSymbol", ""), "C");
  EXPECT_FALSE(ini.sectionExists("Rule3"));
}
