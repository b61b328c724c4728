#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include "model/Forex.h"
#include "model/PortableIniFile.h"
#include "model/UnreadableFiles.h"
#include "platform/FileSystem.h"
#include "platform/LocaleSettings.h"
#include "systems/SystemForm.h"
#include "systems/SystemProgressForm.h"
#include "systems/SystemRunRecord.h"
#include "tests/support/NamedFiles.h"
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

// When the newest soft transaction of the portfolio was made: a run makes
// them all anew, while it writes only the files whose transactions changed.
double softMade(const TPortfolio& portfolio) {
  double made = 0;
  for (int a = 0; a < portfolio.assetCount(); ++a) {
    const TTransactionTable& list = portfolio.assets(a)->Transactions();
    for (int i = 0; i < list.count(); ++i)
      if (list.items(i)->Soft() != 0) made = std::max(made, list.items(i)->LastChange());
  }
  return made;
}

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
  const double read = softMade(*reopened.current());

  // Other macros, or a soft transaction deleted by hand, run it again; the
  // same transactions leave their files as they were.
  EXPECT_EQ(applySystemFile(form, systemFile, nullptr, "other macros", &reopened, centre, true, applied), 0);
  EXPECT_GT(softMade(*reopened.current()), read);
  EXPECT_TRUE(sameTime(writeTime(posted), written));
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

// A key another program added to a posted transaction's properties ran the
// system again at the next start, which made the transaction again without
// it and so took the key out of its file.
TEST_F(ProgressWindow, AKeyAnotherProgramGaveAPostedTransactionStaysWhileTheRunPostsItAgain) {
  const std::string systemFile = writeNineDaySystem();
  double applied = 0;
  ASSERT_EQ(applySystemFile(form, systemFile, nullptr, "macros", &table, centre, true, applied), 0);
  ASSERT_EQ(table.saveAll(), 0);
  const std::string posted = transactions(true)[3]->FileName();
  TPortableIniFile(posted).writeString("CustomProperties", "Reviewed", "yes");
  const std::string reviewed = readWholeFile(posted);

  TPortfolioTable reopened;
  ASSERT_EQ(reopened.open(portfolio->Folder(), false, {}, nullptr, true, false), 0);
  reopened.setCurrentIndex(0);
  for (const char* macros : {"macros", "other macros"}) {
    ASSERT_EQ(applySystemFile(form, systemFile, nullptr, macros, &reopened, centre, true, applied), 0);
    ASSERT_EQ(reopened.saveAll(), 0);
    EXPECT_EQ(readWholeFile(posted), reviewed) << macros;
  }
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
}

// The record says that a run's soft transactions are still right: a system
// that posted none because it found nothing to run, or was stopped, leaves
// no record behind, and one kept of an earlier run stops matching for good.
TEST_F(ProgressWindow, ARecordIsKeptOnlyOfARunThatRanToItsEnd) {
  const std::string systemFile = portfolio->Folder() + "System.INI";
  const std::string record = portfolio->Folder() + "SystemRun.INI";
  const auto writeEmptySystem = [&] {
    std::remove(systemFile.c_str());
    TPortableIniFile ini(systemFile);
    TSystem().saveToIni(ini, {'.', ','});
  };
  writeEmptySystem();
  double applied = 0;
  EXPECT_EQ(applySystemFile(form, systemFile, nullptr, "", &table, centre, true, applied), 0);
  EXPECT_EQ(form.LastRunResult(), -7);
  EXPECT_GT(applied, 0);
  EXPECT_FALSE(fileExists(record));

  writeDailySystem(systemFile, "1");
  PostMessageA(form.stopBitBtn->handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(applySystemFile(form, systemFile, nullptr, "", &table, centre, true, applied), -8);
  EXPECT_FALSE(fileExists(record));
  EXPECT_EQ(applySystemFile(form, systemFile, nullptr, "", &table, centre, true, applied), 0);
  EXPECT_NE(lastSystemRunState(systemFile), 0u);

  writeEmptySystem();
  EXPECT_EQ(applySystemFile(form, systemFile, nullptr, "", &table, centre, true, applied), 0);
  EXPECT_EQ(lastSystemRunState(systemFile), 0u);
  portfolio->setName("Changed since the run");
  EXPECT_EQ(applySystemFile(form, systemFile, nullptr, "", &table, centre, true, applied), 0);
  EXPECT_EQ(form.LastRunResult(), -7);
  EXPECT_EQ(lastSystemRunState(systemFile), 0u);
}

// A macro that raises an error gives its cell an error value, as any formula
// error does: the rule does not fire that day, and the run goes to its end.
TEST_F(ProgressWindow, AMacroRaisingOnSomeDaysLetsTheRunEndAndBeRecordedAndIsToldOnce) {
  const std::string systemFile = portfolio->Folder() + "System.INI";
  TTestScriptEngine script(L"JScript", L"function check(day, last) { if (day > last) throw new Error(\"too late\"); "
                                       L"return 1; }");
  // From the fifth day on (days run at midday).
  writeDailySystem(systemFile, "check(X" + std::string(1, localeSettings().listSeparator) + std::to_string(march(5)) + ") " +
                                   "+ nothere()");
  double applied = 0;
  EXPECT_EQ(applySystemFile(form, systemFile, script.get(), "macros", &table, centre, true, applied), 0);
  EXPECT_EQ(form.LastRunResult(), 0);
  EXPECT_EQ(transactions(true).size(), 0u);  // nothere() is no macro: no day fires
  EXPECT_GT(applied, 0);
  EXPECT_EQ(form.LastMacroFailures().unknownNames, std::vector<std::string>{"nothere"});
  writeDailySystem(systemFile, "check(X" + std::string(1, localeSettings().listSeparator) + std::to_string(march(5)) + ")");
  applied = 0;
  EXPECT_EQ(applySystemFile(form, systemFile, script.get(), "macros", &table, centre, true, applied), 0);
  EXPECT_EQ(transactions(true).size(), 4u);
  EXPECT_GT(applied, 0);
  EXPECT_EQ(form.incompleteReason(), "");
  EXPECT_TRUE(form.lastRunComplete());
  const TMacroCallFailures& failures = form.LastMacroFailures();
  ASSERT_EQ(failures.raisedMacros.size(), 1u);
  EXPECT_EQ(failures.raisedMacros[0].name, "check");
  EXPECT_EQ(failures.raisedMacros[0].calls, 5u);
  // This bare engine tells its error to its site only; the program's host
  // passes it on (ScriptHostTest).
  EXPECT_EQ(macroFaultNotice("Systems", failures),
            "Trading system of \"Systems\": the macro check raised an error in 5 calls. Its rules did not fire on "
            "the days their cells held these errors.");

  // Recorded: the next request, say the next tab change, runs nothing and
  // tells nothing.
  const std::string posted = transactions(true).front()->FileName();
  const FILETIME written = writeTime(posted);
  Sleep(50);
  applied = 0;
  EXPECT_EQ(applySystemFile(form, systemFile, script.get(), "macros", &table, centre, true, applied), 0);
  EXPECT_GT(applied, 0);
  EXPECT_TRUE(sameTime(writeTime(posted), written));
  EXPECT_EQ(macroFaultNotice("Systems", form.LastMacroFailures()), "");
}

TEST(SystemProgress, TheNoticeNamesEachMacroOnceWithItsFirstErrorAndTheNamesNoMacroDefines) {
  TMacroCallFailures failures;
  EXPECT_EQ(macroFaultNotice("P", failures), "");
  failures.raised = 3;
  failures.raisedMacros = {{"one", "Macros.js, line 2, column 5: no", 1}, {"two", "", 2}};
  failures.unknown = 4;
  failures.unknownNames = {"tree"};
  EXPECT_EQ(macroFaultNotice("P", failures),
            "Trading system of \"P\": the macro one raised an error in 1 call (Macros.js, line 2, column 5: no); "
            "the macro two raised an error in 2 calls; no macro defines tree. Its rules did not fire on the days "
            "their cells held these errors.");
  // Only a macro the user stopped leaves the transactions incomplete.
  EXPECT_EQ(incompleteRunReason(0, failures), "");
  failures.stopped = 1;
  EXPECT_EQ(incompleteRunReason(0, failures), "a macro its trading system calls was stopped");
}

namespace {

// Presses Stop in the progress window of the System window (not the one
// passed) as soon as its next run lets messages through.
void stopNextRun(HWND besides) {
  struct TSearch {
    HWND besides;
    HWND found = nullptr;
  } search{besides};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM data) {
        auto& search = *reinterpret_cast<TSearch*>(data);
        char caption[64] = {};
        GetWindowTextA(window, caption, sizeof caption);
        if (window != search.besides && std::string(caption) == "Executing system...") search.found = window;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  ASSERT_NE(search.found, nullptr);
  const HWND stop = FindWindowExA(search.found, nullptr, nullptr, "&Stop");
  ASSERT_NE(stop, nullptr);
  PostMessageA(stop, BM_CLICK, 0, 0);
}

}  // namespace

TEST_F(ProgressWindow, NoSystemCountsAsAppliedWhileTheLastRunOfOnePortfolioWasCutShort) {
  std::string otherFolder;
  ASSERT_EQ(table.newPortfolio("Other", "OTH", otherFolder, sample.folios, "EUR"), 0);
  TPortfolio& other = *table.items(table.count() - 1);
  other.newAsset("A stock", "AAA", false, "YYYYMMDD,C", sample.quotes + "AAA.TXT", "EUR");
  TTestScriptEngine script(L"JScript", L"function fails() { throw 1; }");
  writeDailySystem(portfolio->Folder() + "System.INI", "1");
  writeDailySystem(other.Folder() + "System.INI", "1");
  const int first = table.currentIndex();

  TsystemForm window;
  window.setPortfolioTable(&table);
  stopNextRun(form.handle());
  window.applySystemFile(portfolio->Folder() + "System.INI", script.get(), "", &table, centre, true);
  EXPECT_EQ(window.lastRunIncompleteReason(), "the run of its trading system was stopped");
  table.setCurrentIndex(table.count() - 1);
  window.applySystemFile(other.Folder() + "System.INI", script.get(), "", &table, centre, true);
  EXPECT_EQ(window.lastRunIncompleteReason(), "");
  EXPECT_EQ(window.getSystemAppliedTime(), 0);

  table.setCurrentIndex(first);
  window.applySystemFile(portfolio->Folder() + "System.INI", script.get(), "", &table, centre, true);
  EXPECT_GT(window.getSystemAppliedTime(), 0);

  // A macro raising an error is no stop: the run counts as applied.
  writeDailySystem(other.Folder() + "System.INI", "fails()");
  table.setCurrentIndex(table.count() - 1);
  window.applySystemFile(other.Folder() + "System.INI", script.get(), "", &table, centre, true);
  EXPECT_EQ(window.lastRunIncompleteReason(), "");
  EXPECT_GT(window.getSystemAppliedTime(), 0);

  // Nor when that portfolio is closed before it ran again.
  stopNextRun(form.handle());
  writeDailySystem(other.Folder() + "System.INI", "1");
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
    const double made = softMade(*portfolio);
    applySystemFile(form, systemFile, nullptr, "", &table, centre, true, applied);
    const bool ranAgain = softMade(*portfolio) > made;
    EXPECT_EQ(ranAgain, std::string(condition).find("Now") != std::string::npos);
  }
}

// A system that names another portfolio by its index reads it: a change
// there runs the system again, a change in a portfolio it does not name
// does not. So does its own index, when a formula uses it as a number.
TEST_F(ProgressWindow, ASystemNamingAnotherPortfolioByItsIndexRunsAgainWhenThatOneChanged) {
  const std::string list(1, localeSettings().listSeparator);
  std::string folder;
  ASSERT_EQ(table.newPortfolio("Named", "NAM", folder, sample.folios, "EUR"), 0);
  TPortfolio& named = *table.items(table.count() - 1);
  named.newAsset("A stock", "AAA", false, "YYYYMMDD,C", sample.quotes + "AAA.TXT", "EUR");
  ASSERT_EQ(named.addTransaction(0, 0, march(1), 2, 20, 0, "", "", true), 0);
  ASSERT_EQ(table.newPortfolio("Unrelated", "UNR", folder, sample.folios, "EUR"), 0);
  TPortfolio& unrelated = *table.items(table.count() - 1);
  unrelated.newAsset("A stock", "AAA", false, "YYYYMMDD,C", sample.quotes + "AAA.TXT", "EUR");
  ASSERT_EQ(table.indexOfFolder(named.Folder()), 1);
  table.setCurrentIndex(0);
  ASSERT_EQ(table.current(), portfolio);

  const std::string systemFile = portfolio->Folder() + "System.INI";
  {
    TSystem system;
    TSystemRule& rule = addRule(system, "AAA", "1");
    rule.setPrincipal("PORTFOLIO_NAV(1" + list + "X" + list + "1)");
    system.setToDate(march(2));
    system.setFromDate(march(2));
    TPortableIniFile ini(systemFile);
    system.saveToIni(ini, {'.', ','});
  }
  auto posted = [&] {
    const std::vector<const TTransaction*> soft = transactions(true);
    return soft.size() == 1 ? soft.front() : nullptr;
  };
  double applied = 0;
  ASSERT_EQ(applySystemFile(form, systemFile, nullptr, "", &table, centre, true, applied), 0);
  ASSERT_NE(posted(), nullptr);
  EXPECT_EQ(posted()->Value(), 22.0L);  // 2 units at 11

  const std::string first = posted()->FileName();
  const FILETIME written = writeTime(first);
  const double made = softMade(*portfolio);
  Sleep(50);
  ASSERT_EQ(unrelated.addTransaction(0, 0, march(1), 5, 50, 0, "", "", true), 0);
  applySystemFile(form, systemFile, nullptr, "", &table, centre, true, applied);
  ASSERT_NE(posted(), nullptr);
  EXPECT_EQ(softMade(*portfolio), made);
  EXPECT_TRUE(sameTime(writeTime(first), written));

  ASSERT_EQ(named.addTransaction(0, 0, march(1), 1, 10, 0, "", "", true), 0);
  applySystemFile(form, systemFile, nullptr, "", &table, centre, true, applied);
  ASSERT_NE(posted(), nullptr);
  EXPECT_EQ(posted()->Value(), 33.0L);
  EXPECT_FALSE(sameTime(writeTime(posted()->FileName()), written));

  // Through a symbol and in another argument place too: the currency part
  // names its portfolio second.
  {
    TSystem system;
    TSystemRule& rule = addRule(system, "AAA", "1");
    rule.setPrincipal("PART");
    TSymbolEntryTable& symbols = system.Symbols();
    symbols.addSymbol(-1, -1, 0);
    symbols.symbol(0)->setSymbol("PART");
    symbols.symbol(0)->setDefinition("PORTFOLIO_CURRENCY_PART(\"EUR\"" + list + "1" + list + "X" + list + "1)");
    system.setToDate(march(2));
    system.setFromDate(march(2));
    TPortableIniFile ini(systemFile);
    system.saveToIni(ini, {'.', ','});
  }
  applySystemFile(form, systemFile, nullptr, "", &table, centre, true, applied);
  ASSERT_NE(posted(), nullptr);
  const double partMade = softMade(*portfolio);
  named.setName("Renamed");
  applySystemFile(form, systemFile, nullptr, "", &table, centre, true, applied);
  ASSERT_NE(posted(), nullptr);
  EXPECT_GT(softMade(*portfolio), partMade);
}

// Only a number written as a portfolio function's index names a portfolio;
// under German settings too, where "1,0" is such a number.
TEST_F(ProgressWindow, APortfolioIsNamedOnlyByANumberWrittenAsTheIndexArgument) {
  const TLocaleSettings saved = localeSettings();
  localeSettings().decimalSeparator = ',';
  localeSettings().listSeparator = ';';
  const std::string systemFile = portfolio->Folder() + "System.INI";
  const std::pair<const char*, bool> cases[] = {
      {"PORTFOLIO_NAV(1;X;1)", true},
      {"2*portfolio_nav(1,0;X)", true},
      {"PORTFOLIO_CURRENCY_PART(\"EUR\";1;X)", true},
      {"ABS(TRANSACTION_PORTFOLIO(7))", true},
      {"PORTFOLIO_CURRENCY_PART(1;PORTFOLIO;X)", false},
      {"PORTFOLIO_NAV(PORTFOLIO;X;1)", false},
      {"PORTFOLIO_NAV(B2+1;X;1)", false},
      {"MAX(PORTFOLIO_NAV(ABS(0);X;1);1)", false},
      {"LEN(\"PORTFOLIO_NAV(1;X;1)\")", false},
      {"ASSET_NAV(1;X;1)", false},
  };
  for (const auto& [formula, names] : cases) {
    SCOPED_TRACE(formula);
    TSystem system;
    addRule(system, "AAA", "1");
    system.Symbols().addSymbol(-1, -1, 0);
    system.Symbols().symbol(0)->setSymbol("S");
    system.Symbols().symbol(0)->setDefinition(formula);
    {
      TPortableIniFile ini(systemFile);
      system.saveToIni(ini, {',', ';'});
    }
    EXPECT_EQ(systemNamesPortfolios(systemFile), names);
  }
  localeSettings() = saved;
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

// A system file cut off or contradicting itself is not the system that made
// the portfolio's soft transactions: run as it reads, it would replace them.
TEST_F(ProgressWindow, ASystemFileCutOffIsNotRunAndItsTransactionsAndRecordStayAsTheyAre) {
  const std::string systemFile = writeNineDaySystem();
  const std::string record = portfolio->Folder() + "SystemRun.INI";
  double applied = 0;
  ASSERT_EQ(applySystemFile(form, systemFile, nullptr, "macros", &table, centre, true, applied), 0);
  ASSERT_EQ(transactions(true).size(), 9u);
  ASSERT_EQ(table.saveAll(), 0);
  std::vector<std::pair<std::string, std::string>> files{{record, readWholeFile(record)}};
  for (const TTransaction* posted : transactions(true))
    files.emplace_back(posted->FileName(), readWholeFile(posted->FileName()));

  // Cut inside its rule, the last section a save wrote before the sizes,
  // before its first table, or emptied.
  std::string text = readWholeFile(systemFile);
  text = text.substr(0, text.find("Units="));
  for (const std::string& cut :
       {text, text + "Uni", text.substr(0, text.find("[Rule1]")), text.substr(0, text.find("[Rule]")), std::string()}) {
    writeWholeFile(systemFile, cut);
    takeLoadFailures();
    applied = 0;
    // Other macros: a whole system would run again.
    EXPECT_EQ(applySystemFile(form, systemFile, nullptr, "other macros", &table, centre, true, applied), 0);
    EXPECT_EQ(transactions(true).size(), 9u);
    EXPECT_GT(applied, 0);  // nothing to try again until something changes
    const std::vector<std::string> told = takeLoadFailures();
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].find("Trading system of \"Systems (SYS)\" not run: its file " + systemFile + " "), 0u) << told[0];
    EXPECT_EQ(readWholeFile(systemFile), cut);
    ASSERT_EQ(table.saveAll(), 0);
    for (const auto& [name, bytes] : files) EXPECT_EQ(readWholeFile(name), bytes) << name;
  }
  takeFilesNamedAsPartlyRead();
}

// The record is the program's own, yet one that did not read whole, or
// holds a state that does not read, is named and left as it stands: the
// system runs again instead.
TEST_F(ProgressWindow, ARunRecordThatDoesNotReadWholeIsNamedAndLeftAsItStands) {
  const std::string systemFile = writeNineDaySystem();
  const std::string record = portfolio->Folder() + "SystemRun.INI";
  for (const std::string& damaged : {std::string("[LastRun]\r\nState=12G4\r\n"), std::string("[LastRun\r\nState=1\r\n"),
                                     std::string("[LastRun]\r\nState=1\r\nno entry\r\n")}) {
    writeWholeFile(record, damaged);
    takePartlyReadFiles();
    double applied = 0;
    EXPECT_EQ(applySystemFile(form, systemFile, nullptr, "macros", &table, centre, true, applied), 0);
    EXPECT_EQ(form.LastRunResult(), 0);
    EXPECT_EQ(transactions(true).size(), 9u);
    EXPECT_EQ(readWholeFile(record), damaged);
    EXPECT_EQ(takeFilesNamedAsPartlyRead(), std::vector<std::string>{record});
  }
}
