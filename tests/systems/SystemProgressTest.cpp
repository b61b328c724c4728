#include <gtest/gtest.h>

#include "model/Forex.h"
#include "model/PortableIniFile.h"
#include "platform/LocaleSettings.h"
#include "systems/SystemForm.h"
#include "systems/SystemProgressForm.h"
#include "tests/support/TestScriptEngine.h"
#include "tests/support/WindowTestSupport.h"
#include "tests/systems/SystemPortfolio.h"

TEST(SystemProgress, RatioAndTimeLeft) {
  TSystemProgress progress;
  progress.begin(1000);
  EXPECT_EQ(progress.report(99, 104, 99), 0);
  EXPECT_EQ(progress.Ratio(), 0);
  EXPECT_EQ(progress.secondsLeft(1000.5), 0);
  progress.report(0, 9, 5);  // half done
  EXPECT_EQ(TSystemProgress::etaText(progress.secondsLeft(1000 + 10.0 / 86400)), "0 : 00 : 10");
  EXPECT_EQ(TSystemProgress::etaText(progress.secondsLeft(1000 + 7205.0 / 86400)), "2 : 00 : 05");
  progress.skipAll();
  EXPECT_EQ(progress.report(0, 9, 6), -9);
  EXPECT_FALSE(progress.dueToShow(1000 + 2.0 / 86400));
  EXPECT_TRUE(systemRunFailed(-5));
  EXPECT_FALSE(systemRunFailed(-7));
}

namespace {

class ProgressWindow : public testing::Test, public SystemPortfolio {
 protected:
  // A system file beside the portfolio buying AAA on each of nine days.
  std::string writeNineDaySystem() {
    const std::string systemFile = portfolio->Folder() + "System.INI";
    TSystem system;
    addRule(system, "AAA", "1");
    system.setToDate(march(9));
    system.setFromDate(march(1));
    TPortableIniFile ini(systemFile);
    system.saveToIni(ini, {'.', ','});
    return systemFile;
  }

  TsystemProgressForm form;
  RECT centre{0, 0, 800, 600};
};

}  // namespace

TEST_F(ProgressWindow, AShortRunStaysHiddenAndSkipAllStopsTheRun) {
  portfolio->setName("Bonds & Stocks");
  TSystem system;
  addRule(system, "AAA", "1");
  system.setToDate(march(9));
  system.setFromDate(march(1));
  EXPECT_EQ(form.execute(&system, nullptr, true, centre, &table), 0);
  EXPECT_EQ(form.LastRunResult(), 0);
  EXPECT_EQ(transactions(true).size(), 9u);
  EXPECT_EQ(form.portfolioLabel->text(), "Bonds && Stocks");
  pumpFor(300);
  EXPECT_FALSE(form.visible());
  EXPECT_FALSE(form.stopBitBtn->enabled());

  PostMessageA(form.cancelBitBtn->handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(form.execute(&system, nullptr, true, centre, &table), -9);
  EXPECT_EQ(form.LastRunResult(), -9);
}

TEST_F(ProgressWindow, AMissingSystemFileRunsNothingAndCountsAsApplied) {
  double applied = 0;
  EXPECT_EQ(applySystemFile(form, sample.temporary.path() + "none\\System.INI", nullptr, "", &table, centre, true, applied),
            0);
  EXPECT_EQ(form.LastRunResult(), -7);
  EXPECT_GT(applied, 0);
}

namespace {

FILETIME writeTime(const std::string& fileName) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  GetFileAttributesExA(fileName.c_str(), GetFileExInfoStandard, &data);
  return data.ftLastWriteTime;
}

bool sameTime(const FILETIME& a, const FILETIME& b) { return CompareFileTime(&a, &b) == 0; }

}  // namespace

TEST_F(ProgressWindow, ASystemRunsAgainOnlyWhenWhatItDependsOnChanged) {
  const std::string systemFile = writeNineDaySystem();
  const std::string systemText = readWholeFile(systemFile);
  double applied = 0;
  ASSERT_EQ(applySystemFile(form, systemFile, nullptr, "macros", &table, centre, true, applied), 0);
  ASSERT_EQ(transactions(true).size(), 9u);
  // The state is kept beside the system, whose file is not rewritten.
  EXPECT_EQ(readWholeFile(systemFile), systemText);
  const std::string posted = transactions(true).front()->FileName();
  const FILETIME written = writeTime(posted);
  ASSERT_EQ(table.saveAll(), 0);

  // As at the next start: the portfolio read again from its folder, the
  // system file written in another spelling.
  std::string text = readWholeFile(systemFile);
  const size_t condition = text.find("Condition=\"1\"\r\n");
  ASSERT_NE(condition, std::string::npos) << text;
  text.replace(condition, 15, "Condition=1\r\n");
  writeWholeFile(systemFile, text);
  TPortfolioTable reopened;
  ASSERT_EQ(reopened.open(portfolio->Folder(), false, {}, nullptr, true, false), 0);
  reopened.setCurrentIndex(0);
  Sleep(50);
  applied = 0;
  applySystemFile(form, sample.temporary.path() + "none\\System.INI", nullptr, "", &reopened, centre, true, applied);
  ASSERT_EQ(form.LastRunResult(), -7);
  EXPECT_EQ(applySystemFile(form, systemFile, nullptr, "macros", &reopened, centre, true, applied), 0);
  EXPECT_GT(applied, 0);
  EXPECT_EQ(form.LastRunResult(), 0);  // nothing ran, so nothing failed
  EXPECT_TRUE(sameTime(writeTime(posted), written));

  // Other macros, or a soft transaction deleted by hand, run it again.
  EXPECT_EQ(applySystemFile(form, systemFile, nullptr, "other macros", &reopened, centre, true, applied), 0);
  EXPECT_FALSE(sameTime(writeTime(posted), written));
  TPortfolio& again = *reopened.current();
  const TTransactionTable& list = again.assets(0)->Transactions();
  auto soft = [&] {
    std::vector<std::int32_t> numbers;
    for (int i = 0; i < list.count(); ++i) {
      if (list.items(i)->Soft() != 0) numbers.push_back(list.items(i)->Number());
    }
    return numbers;
  };
  ASSERT_EQ(soft().size(), 9u);
  ASSERT_EQ(again.deleteTransaction(soft().front()), 0);
  ASSERT_EQ(soft().size(), 8u);
  EXPECT_EQ(applySystemFile(form, systemFile, nullptr, "other macros", &reopened, centre, true, applied), 0);
  EXPECT_EQ(soft().size(), 9u);
}

TEST_F(ProgressWindow, ASystemRunsAgainWhenARateOrANameItReadsChangedAndOnlyThen) {
  const std::string systemFile = portfolio->Folder() + "System.INI";
  const std::string list(1, localeSettings().listSeparator);
  {
    TSystem system;
    TSystemRule& rule = addRule(system, "AAA", "1");
    rule.setPrincipal("CURRENCY_CONVERT(\"EUR\"" + list + "\"USD\"" + list + "X)");
    rule.setTransactionComment("PORTFOLIO_NAME(PORTFOLIO)");
    system.setToDate(march(2));
    system.setFromDate(march(2));
    TPortableIniFile ini(systemFile);
    system.saveToIni(ini, {'.', ','});
  }
  // As the reload button does: the tables read again from their files.
  auto rates = [&](const std::string& rate) {
    writeWholeFile(sample.forex + "EURtoUSD.CSV", "20240301," + rate + "\r\n");
    forexTables().clearTables();
    double loadTime = 0;
    ASSERT_GE(forexTables().getTable("EUR", "USD", {}, nullptr, loadTime), 0);
  };
  auto posted = [&] {
    const std::vector<const TTransaction*> soft = transactions(true);
    return soft.size() == 1 ? soft.front() : nullptr;
  };
  double applied = 0;
  rates("1.5");
  ASSERT_EQ(applySystemFile(form, systemFile, nullptr, "", &table, centre, true, applied), 0);
  ASSERT_NE(posted(), nullptr);
  EXPECT_EQ(posted()->Value(), 1.5L);
  EXPECT_EQ(posted()->getCustomProperty(transactionCommentProperty), "Systems");

  rates("3");
  applySystemFile(form, systemFile, nullptr, "", &table, centre, true, applied);
  ASSERT_NE(posted(), nullptr);
  EXPECT_EQ(posted()->Value(), 3.0L);
  rates("1.5");
  applySystemFile(form, systemFile, nullptr, "", &table, centre, true, applied);
  ASSERT_NE(posted(), nullptr);
  EXPECT_EQ(posted()->Value(), 1.5L);

  portfolio->setName("Renamed");
  applySystemFile(form, systemFile, nullptr, "", &table, centre, true, applied);
  ASSERT_NE(posted(), nullptr);
  EXPECT_EQ(posted()->getCustomProperty(transactionCommentProperty), "Renamed");

  // The same rates read again are no change.
  const std::string last = posted()->FileName();
  const FILETIME lastWritten = writeTime(last);
  Sleep(50);
  rates("1.5");
  applySystemFile(form, systemFile, nullptr, "", &table, centre, true, applied);
  ASSERT_NE(posted(), nullptr);
  EXPECT_EQ(posted()->FileName(), last);
  EXPECT_TRUE(sameTime(writeTime(last), lastWritten));
}

namespace {

// A system of one rule buying AAA every day from 1 to 9 March whose
// condition is the given formula.
void writeDailySystem(const std::string& systemFile, const std::string& condition) {
  TSystem system;
  SystemPortfolio::addRule(system, "AAA", condition);
  system.setToDate(SystemPortfolio::march(9));
  system.setFromDate(SystemPortfolio::march(1));
  TPortableIniFile ini(systemFile);
  system.saveToIni(ini, {'.', ','});
}

}  // namespace

TEST_F(ProgressWindow, ARunCutShortIsNeitherAppliedNorRecordedAndTellsWhy) {
  const std::string systemFile = portfolio->Folder() + "System.INI";
  writeDailySystem(systemFile, "1");
  double applied = 0;
  PostMessageA(form.stopBitBtn->handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(applySystemFile(form, systemFile, nullptr, "", &table, centre, true, applied), -8);
  EXPECT_LT(transactions(true).size(), 9u);
  EXPECT_EQ(applied, 0);
  EXPECT_EQ(form.incompleteReason(), "the run of its trading system was stopped");
  EXPECT_FALSE(form.lastRunComplete());
  // The next occasion runs it to its end.
  EXPECT_EQ(applySystemFile(form, systemFile, nullptr, "", &table, centre, true, applied), 0);
  EXPECT_EQ(transactions(true).size(), 9u);
  EXPECT_GT(applied, 0);
  EXPECT_EQ(form.incompleteReason(), "");

  // A macro that raises an error from the fifth day on: the run goes on without
  // the value, and is no more complete than a stopped one.
  TTestScriptEngine script(L"JScript", L"function check(day, last) { if (day > last) throw 1; return 1; }");
  writeDailySystem(systemFile, "check(X" + std::string(1, localeSettings().listSeparator) + std::to_string(march(5)) + ")");
  for (int attempt = 0; attempt < 2; ++attempt) {
    SCOPED_TRACE(attempt);
    applied = 0;
    EXPECT_EQ(applySystemFile(form, systemFile, script.get(), "", &table, centre, true, applied), 0);
    EXPECT_EQ(form.LastRunResult(), 0);
    EXPECT_EQ(transactions(true).size(), 4u);
    EXPECT_EQ(applied, 0);
    EXPECT_EQ(form.incompleteReason(), "a macro its trading system calls raised an error");
  }
}

TEST_F(ProgressWindow, NoSystemCountsAsAppliedWhileTheLastRunOfOnePortfolioWasCutShort) {
  std::string otherFolder;
  ASSERT_EQ(table.newPortfolio("Other", "OTH", otherFolder, sample.folios, "EUR"), 0);
  TPortfolio& other = *table.items(table.count() - 1);
  other.newAsset("A stock", "AAA", false, "YYYYMMDD,C", sample.quotes + "AAA.TXT", "EUR");
  TTestScriptEngine script(L"JScript", L"function fails() { throw 1; }");
  writeDailySystem(portfolio->Folder() + "System.INI", "fails()");
  writeDailySystem(other.Folder() + "System.INI", "1");
  const int first = table.currentIndex();

  TsystemForm window;
  window.setPortfolioTable(&table);
  window.applySystemFile(portfolio->Folder() + "System.INI", script.get(), "", &table, centre, true);
  EXPECT_EQ(window.lastRunIncompleteReason(), "a macro its trading system calls raised an error");
  table.setCurrentIndex(table.count() - 1);
  window.applySystemFile(other.Folder() + "System.INI", script.get(), "", &table, centre, true);
  EXPECT_EQ(window.lastRunIncompleteReason(), "");
  EXPECT_EQ(window.getSystemAppliedTime(), 0);

  writeDailySystem(portfolio->Folder() + "System.INI", "1");
  table.setCurrentIndex(first);
  window.applySystemFile(portfolio->Folder() + "System.INI", script.get(), "", &table, centre, true);
  EXPECT_GT(window.getSystemAppliedTime(), 0);

  // Nor when that portfolio is closed before it ran again.
  writeDailySystem(other.Folder() + "System.INI", "fails()");
  table.setCurrentIndex(table.count() - 1);
  window.applySystemFile(other.Folder() + "System.INI", script.get(), "", &table, centre, true);
  EXPECT_EQ(window.getSystemAppliedTime(), 0);
  table.setCurrentIndex(first);
  ASSERT_EQ(table.close(other.Folder(), false, {}, nullptr), 0);
  EXPECT_GT(window.getSystemAppliedTime(), 0);
}

// The clock is an input of a system that reads it: one reading the moment
// runs at every request, one reading only prices does not.
TEST_F(ProgressWindow, ASystemReadingTheClockRunsAgainAndOneWithoutItDoesNot) {
  const std::string systemFile = portfolio->Folder() + "System.INI";
  for (const char* condition : {"X<Now()+1", "X>LEN(\"NOW\")"}) {
    SCOPED_TRACE(condition);
    writeDailySystem(systemFile, condition);
    double applied = 0;
    applySystemFile(form, systemFile, nullptr, "", &table, centre, true, applied);
    ASSERT_FALSE(transactions(true).empty());
    const std::string first = transactions(true).front()->FileName();
    const FILETIME written = writeTime(first);
    Sleep(50);
    applySystemFile(form, systemFile, nullptr, "", &table, centre, true, applied);
    const bool ranAgain = !sameTime(writeTime(first), written);
    EXPECT_EQ(ranAgain, std::string(condition).find("Now") != std::string::npos);
  }
}

// A system file held by another program once ran as an empty system: the
// portfolio lost its soft transactions and the run's record was replaced.
// Nothing runs now, and both stay as they were.
TEST_F(ProgressWindow, ASystemFileThatCannotBeReadRunsNothingAndKeepsTheLastRun) {
  const std::string systemFile = writeNineDaySystem();
  double applied = 0;
  ASSERT_EQ(applySystemFile(form, systemFile, nullptr, "", &table, centre, true, applied), 0);
  ASSERT_EQ(transactions(true).size(), 9u);
  const std::string record = portfolio->Folder() + "SystemRun.INI";
  const std::string recordText = readWholeFile(record);
  ASSERT_FALSE(recordText.empty());
  portfolio->setName("Changed since the run");
  {
    THeldFile held(systemFile);
    applied = 0;
    EXPECT_EQ(applySystemFile(form, systemFile, nullptr, "", &table, centre, true, applied), 0);
  }
  EXPECT_GT(applied, 0);
  EXPECT_EQ(transactions(true).size(), 9u);
  EXPECT_EQ(readWholeFile(record), recordText);
}
