#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <windows.h>

#include "app/DirSelForm.h"
#include "app/MainWindowSetup.h"
#include "app/SplashForm.h"
#include "app/WebForm.h"
#include "macros/MacroForm.h"
#include "model/Asset.h"
#include "model/Directories.h"
#include "model/Forex.h"
#include "model/PortableIniFile.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "model/Transaction.h"
#include "model/TransactionTable.h"
#include "model/UnreadableFiles.h"
#include "model/UnsavedChanges.h"
#include "controls/EditPanel.h"
#include "controls/EditorStatus.h"
#include "controls/ListViewXPSafe.h"
#include "controls/SheetPanel.h"
#include "sheet/Sheet.h"
#include "platform/Application.h"
#include "platform/ComCtrls.h"
#include "platform/ExtControls.h"
#include "platform/LocaleSettings.h"
#include "platform/PageControl.h"
#include "platform/StdControls.h"
#include "platform/Timer.h"
#include "systems/SystemForm.h"
#include "tests/model/SampleWorkFolder.h"
#include "tests/support/MainWindowFixture.h"
#include "tests/support/WindowTestSupport.h"
#include "windows/AssetForm.h"
#include "windows/FolioPickForm.h"
#include "windows/PortfolioForm.h"
#include "windows/QuoteForm.h"
#include "windows/TransactionForm.h"

using MainWindowState = MainWindowTest;

TEST_F(MainWindowState, TheProgressWindowGoesWithTheMinimisedProgramAndComesBackShown) {
  int hidden = 0;
  std::vector<bool> restored;
  main_->systemRuns.hideProgressWindow = [&] { ++hidden; };
  main_->systemRuns.restoreProgressWindow = [&](bool show) { restored.push_back(show); };
  application().onMinimize = [this] { main_->AppMinimize(); };
  application().onRestore = [this] { main_->AppRestore(); };
  main_->firstActivation = false;  // no loading
  main_->showModeless();
  ShowWindow(main_->handle(), SW_MINIMIZE);
  ASSERT_TRUE(pumpUntil([&] { return hidden == 1; }));
  ShowWindow(main_->handle(), SW_MAXIMIZE);
  ASSERT_TRUE(pumpUntil([&] { return restored.size() == 1; }));
  // Resizing a shown window is no restore.
  ShowWindow(main_->handle(), SW_RESTORE);
  pumpFor(100);
  EXPECT_EQ(hidden, 1);
  EXPECT_EQ(restored, std::vector<bool>{true});
}

namespace {

// A portfolio "Systems" of one asset with ten days of quotes, current, and
// on the System tab a rule that buys it every day of nine of them.
class SystemRuns : public MainWindowTest {
 protected:
  TSystemRule& arriveWithDailyRule(std::string& folder) {
    std::string quotes;
    for (int d = 1; d <= 10; ++d) quotes += "202403" + std::string(d < 10 ? "0" : "") + std::to_string(d) + ",10\r\n";
    writeWholeFile(work_ + "DATA\\QUOTES\\AAA.TXT", quotes);
    TPortfolioTable& table = *main_->portfolioTable;
    EXPECT_EQ(table.newPortfolio("Systems", "SYS", folder, work_ + "DATA\\FOLIOS\\", "EUR"), 0);
    table.setCurrentIndex(table.count() - 1);
    table.current()->newAsset("A stock", "AAA", false, "YYYYMMDD,C", work_ + "DATA\\QUOTES\\AAA.TXT", "EUR");
    main_->arriveAtSystemTab();
    TSystem& system = main_->systemForm->Editor().Edited();
    system.Rules().addRule(-1, -1, "AAA", 0);
    TSystemRule& rule = *system.Rules().rule(0);
    rule.setEnabled(true);
    rule.setCondition("1");
    rule.setUnits("1");
    rule.setPrincipal("X");
    rule.setFees("0");
    system.setToDate(45361.5);    // 10 March 2024
    system.setFromDate(45353.5);  // 2 March 2024
    return rule;
  }
};

}  // namespace

TEST_F(SystemRuns, LeavingTheSystemTabSavesTheSystemAndRunsItOnceUntilSomethingChanges) {
  std::string folder;
  TSystemRule& rule = arriveWithDailyRule(folder);
  TPortfolio& portfolio = *main_->portfolioTable->current();
  const TTransactionTable& transactions = portfolio.assets(0)->Transactions();
  ASSERT_EQ(main_->systemForm->PortfolioSerial(), portfolio.Serial());
  main_->leaveSystemTab();
  EXPECT_TRUE(fileExists(folder + "System.INI"));
  EXPECT_GE(transactions.count(), 9);

  // The run's own transactions are no reason to run again.
  const double changed = portfolio.lastChange();
  main_->leaveSystemTab();
  EXPECT_EQ(portfolio.lastChange(), changed);

  main_->shuttingDown = true;
  rule.setUnits("2");
  main_->leaveSystemTab();
  EXPECT_EQ(portfolio.lastChange(), changed) << "no system runs while shutting down";
}

// A save failing at close once let the program end and the edit go with it.
// A system that names another portfolio by its index reads it: a change
// there runs it again, whether that portfolio's tab was left (only the
// current portfolio changed) or the Quotes tab (any portfolio may have).
TEST_F(SystemRuns, ASystemNamingAnotherPortfolioRunsAgainWhenThatOneChanges) {
  std::string folder;
  TSystemRule& rule = arriveWithDailyRule(folder);
  TPortfolioTable& table = *main_->portfolioTable;
  TPortfolio& systems = *table.current();
  std::string namedFolder;
  ASSERT_EQ(table.newPortfolio("Named", "NAM", namedFolder, work_ + "DATA\\FOLIOS\\", "EUR"), 0);
  const int named = table.count() - 1;
  table.items(named)->newAsset("A stock", "AAA", false, "YYYYMMDD,C", work_ + "DATA\\QUOTES\\AAA.TXT", "EUR");
  const auto buy = [&](long double units) {
    ASSERT_EQ(table.items(named)->addTransaction(0, 0, 45352.5, units, 10 * units, 0, "", "", true), 0);
  };
  buy(2);
  const std::string list(1, localeSettings().listSeparator);
  rule.setPrincipal("PORTFOLIO_NAV(" + std::to_string(named) + list + "X" + list + "1)");
  const int own = table.indexOfFolder(systems.Folder());
  table.setCurrentIndex(own);
  main_->leaveSystemTab();
  // The values of the soft transactions posted, each once.
  const auto values = [&] {
    std::vector<long double> found;
    const TTransactionTable& list = systems.assets(0)->Transactions();
    for (int i = 0; i < list.count(); ++i) {
      if (list.items(i)->Soft() != 0 && std::find(found.begin(), found.end(), list.items(i)->Value()) == found.end())
        found.push_back(list.items(i)->Value());
    }
    return found;
  };
  EXPECT_EQ(values(), std::vector<long double>{20});

  table.setCurrentIndex(named);
  buy(1);
  main_->applySelectedPortfolioSystemIfNeeded();
  EXPECT_EQ(table.currentIndex(), named);
  EXPECT_EQ(values(), std::vector<long double>{30});

  table.setCurrentIndex(own);
  buy(1);
  main_->applyPortfolioSystemsIfNeeded();
  EXPECT_EQ(values(), std::vector<long double>{40});
  EXPECT_TRUE(messages_.texts.empty());
}

namespace {

void setReadOnly(const std::string& name, bool readOnly) {
  SetFileAttributesA(name.c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
}

// A new portfolio "Savings" of the working folder, made current, with funds
// priced from one quote file: "A fund" (FND), then "Fund 1" (F1) and on.
// folder: the portfolio's.
TPortfolio& newSavings(TPortfolioTable& table, const std::string& root, std::string& folder, int funds = 1) {
  EXPECT_EQ(table.newPortfolio("Savings", "SAV", folder, root + "DATA\\FOLIOS\\", "EUR"), 0);
  table.setCurrentIndex(table.count() - 1);
  TPortfolio& portfolio = *table.current();
  const std::string quotes = root + "DATA\\QUOTES\\SAV.TXT";
  writeWholeFile(quotes, "20240102,10\r\n");
  for (int i = 0; i < funds; ++i) {
    const std::string number = std::to_string(i);
    EXPECT_EQ(portfolio.newAsset(i == 0 ? "A fund" : "Fund " + number, i == 0 ? "FND" : "F" + number, false,
                                 "YYYYMMDD,C", quotes, "EUR"),
              0);
  }
  return portfolio;
}

// At the close the user may also end the program without what the file did
// not take; the question speaks of no changes of the user's, since a window
// may have had something to write where the user changed nothing.
// why: the reason the program found for the failure, and its advice.
std::string closeQuestion(const std::string& name, const std::string& why = "") {
  return "Failed to save " + name + "." + why +
         "\r\rTry Again: save again.\rContinue: end the program and leave the file as it is; what was not "
         "written into it is lost.\rCancel: go back to the program.";
}

}  // namespace

TEST_F(MainWindowState, ASaveFailingAtCloseIsReportedAndCancelKeepsTheProgramAndTheEdit) {
  TPortfolioTable& table = *main_->portfolioTable;
  std::string folder;
  newSavings(table, work_, folder, 0).setName("Renamed savings");
  // A folder where the header file belongs: nothing can be written there.
  const std::string header = folder + "0.INI";
  const std::string headerText = readWholeFile(header);
  ASSERT_TRUE(DeleteFileA(header.c_str()));
  ASSERT_TRUE(CreateDirectoryA(header.c_str(), nullptr));
  ASSERT_NE(table.saveAll(), 0);
  main_->firstActivation = false;  // no loading
  main_->showModeless();
  messages_.answer = IDCANCEL;
  SendMessageA(main_->handle(), WM_CLOSE, 0, 0);
  ASSERT_EQ(messages_.texts.size(), 1u);
  EXPECT_EQ(messages_.texts[0], closeQuestion(header));
  EXPECT_TRUE(IsWindowVisible(main_->handle())) << "cancelled: the program stays";
  EXPECT_EQ(table.current()->Name(), "Renamed savings");
  RemoveDirectoryA(header.c_str());
  writeWholeFile(header, headerText);
}

namespace {

// A new "Savings" with one fund; its header, the asset's file and the
// asset's transaction are each changed.
struct TChangedPortfolio {
  std::string header;
  std::string assetFile;
  std::string transactionFile;
};

TChangedPortfolio changedPortfolio(TPortfolioTable& table, const std::string& root) {
  std::string folder;
  TPortfolio& portfolio = newSavings(table, root, folder);
  TAsset& asset = *portfolio.assets(0);
  TTransaction& transaction = *asset.Transactions().items(0);
  portfolio.setName("Renamed savings");
  asset.setSymbol("FNX");
  EXPECT_TRUE(transaction.setFees(7));
  return {folder + "0.INI", TAsset::fileNameIn(asset.Folder(), asset.Number()), transaction.FileName()};
}

}  // namespace

// A file that stayed unwritable once kept the program open until it was
// killed, and every other edit was lost with it. The question named the
// portfolio's folder, as if all its changes were lost, when only its header
// was left.
TEST_F(MainWindowState, AtTheCloseAnUnwritableFileCanBeLeftWithItsChangesWhileTheRestIsSaved) {
  const TChangedPortfolio changed = changedPortfolio(*main_->portfolioTable, work_);
  const std::string headerText = readWholeFile(changed.header);
  setReadOnly(changed.header, true);
  main_->macroForm->sheetPanel().sheet().setCellContent(1, 1, 0, "=7*6", 1);
  main_->firstActivation = false;  // no loading
  main_->showModeless();
  // Trying again changes nothing while the file stays read-only.
  std::vector<int> answers = {IDTRYAGAIN, IDCONTINUE};
  messages_.respond = [&](const std::string&) {
    const int answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  };
  EXPECT_TRUE(main_->onCloseQuery()) << "the program ends";
  const std::string question = closeQuestion(changed.header);
  EXPECT_EQ(messages_.texts, (std::vector<std::string>{question, question}));
  setReadOnly(changed.header, false);
  EXPECT_EQ(readWholeFile(changed.header), headerText);
  EXPECT_EQ(TPortableIniFile(changed.assetFile).readString("Asset", "Symbol", ""), "FNX");
  EXPECT_EQ(TPortableIniFile(changed.transactionFile).readFloat("Transaction", "Fees", 0), 7);
  EXPECT_NE(readWholeFile(main_->paths().guiOptionsFileName).find("=7*6"), std::string::npos)
      << "the saves after the failed one still ran";
}

// An asset file that could not be written once kept its transactions from
// being saved too, while the question named only the portfolio's folder.
TEST_F(MainWindowState, AnUnwritableAssetFileIsNamedAtTheCloseAndItsTransactionsAreSaved) {
  const TChangedPortfolio changed = changedPortfolio(*main_->portfolioTable, work_);
  const std::string assetText = readWholeFile(changed.assetFile);
  setReadOnly(changed.assetFile, true);
  main_->firstActivation = false;  // no loading
  main_->showModeless();
  messages_.respond = [](const std::string&) { return IDCONTINUE; };
  EXPECT_TRUE(main_->onCloseQuery()) << "the program ends";
  EXPECT_EQ(messages_.texts, std::vector<std::string>{closeQuestion(changed.assetFile)});
  setReadOnly(changed.assetFile, false);
  EXPECT_EQ(readWholeFile(changed.assetFile), assetText);
  EXPECT_EQ(TPortableIniFile(changed.header).readString("Portfolio", "Name", ""), "Renamed savings");
  EXPECT_EQ(TPortableIniFile(changed.transactionFile).readFloat("Transaction", "Fees", 0), 7);
}

// A record that lost a line while the program ran is written whole by the
// close, which said nothing of it: the foot that tells it is gone by then.
TEST_F(MainWindowState, ARecordTheCloseWritesWholeIsToldOfInABox) {
  const TChangedPortfolio changed = changedPortfolio(*main_->portfolioTable, work_);
  const std::string text = readWholeFile(changed.assetFile);
  const size_t at = text.find("\r\nName=");
  ASSERT_NE(at, std::string::npos) << text;
  writeWholeFile(changed.assetFile, text.substr(0, at) + text.substr(text.find("\r\n", at + 2)));
  main_->firstActivation = false;  // no loading
  main_->showModeless();
  EXPECT_TRUE(main_->onCloseQuery()) << "the program ends";
  EXPECT_EQ(messages_.texts,
            std::vector<std::string>{"Another program had cut Name out of the asset A fund of Renamed savings while "
                                     "this program ran; it put back what it holds."});
  EXPECT_EQ(TPortableIniFile(changed.assetFile).readString("Asset", "Name", ""), "A fund");
  EXPECT_EQ(TPortableIniFile(changed.assetFile).readString("Asset", "Symbol", ""), "FNX");
}

// A transaction file another program cut after its Units while the
// program ran stayed cut when the user changed nothing of it, and the next
// start kept the whole portfolio closed. The close puts back what the
// program holds and tells it; the files nobody changed are not rewritten.
TEST_F(MainWindowState, TheCloseMendsARecordCutWhileNothingOfItChanged) {
  std::string folder;
  TAsset& asset = *newSavings(*main_->portfolioTable, work_, folder).assets(0);
  const std::string file = asset.Transactions().items(0)->FileName();
  const std::string assetFile = TAsset::fileNameIn(asset.Folder(), asset.Number());
  const std::string whole = readWholeFile(file);
  const size_t units = whole.find("\r\n", whole.find("Units=")) + 2;
  ASSERT_LT(units, whole.size()) << whole;
  writeWholeFile(file, whole.substr(0, units));
  const int64_t assetWritten = fileAge(assetFile);
  const int64_t headerWritten = fileAge(folder + "0.INI");
  main_->firstActivation = false;  // no loading
  main_->showModeless();
  EXPECT_TRUE(main_->onCloseQuery()) << "the program ends";
  ASSERT_EQ(messages_.texts.size(), 1u);
  EXPECT_TRUE(messages_.texts[0].starts_with("Another program had cut Value")) << messages_.texts[0];
  EXPECT_TRUE(messages_.texts[0].ends_with(" of the asset A fund of Savings while this program ran; it put back what "
                                           "it holds."))
      << messages_.texts[0];
  // Every entry as before the cut; the blank line that ended the file may go.
  writeWholeFile(file + ".whole", whole);
  EXPECT_EQ(TPortableIniFile(file).contentText(), TPortableIniFile(file + ".whole").contentText());
  EXPECT_EQ(fileAge(assetFile), assetWritten);
  EXPECT_EQ(fileAge(folder + "0.INI"), headerWritten);
}

// Each file that fails is named, once, in the order tried.
TEST_F(MainWindowState, EveryUnwritableFileOfAPortfolioIsNamedAtTheClose) {
  const TChangedPortfolio changed = changedPortfolio(*main_->portfolioTable, work_);
  for (const std::string& file : {changed.header, changed.transactionFile}) setReadOnly(file, true);
  main_->firstActivation = false;  // no loading
  main_->showModeless();
  messages_.respond = [](const std::string&) { return IDCONTINUE; };
  EXPECT_TRUE(main_->onCloseQuery()) << "the program ends";
  for (const std::string& file : {changed.header, changed.transactionFile}) setReadOnly(file, false);
  EXPECT_EQ(messages_.texts,
            std::vector<std::string>{"Failed to save " + changed.header + ", " + changed.transactionFile +
                                     ".\r\rTry Again: save again.\rContinue: end the program and leave the files as "
                                     "they are; what was not written into them is lost.\rCancel: go back to the "
                                     "program."});
  EXPECT_EQ(TPortableIniFile(changed.assetFile).readString("Asset", "Symbol", ""), "FNX");
}

// A trade added to a read-only portfolio once asked about the 38 files
// whose lines it moved in a box taller than the screen: the question names
// a few and counts the rest.
TEST_F(MainWindowState, AQuestionAboutManyFilesNamesAFewAndCountsTheRest) {
  TPortfolioTable& table = *main_->portfolioTable;
  std::string folder;
  TPortfolio& portfolio = newSavings(table, work_, folder, 8);
  ASSERT_EQ(table.saveAll(), 0);
  std::vector<std::string> files;
  for (int i = 0; i < portfolio.assetCount(); ++i) {
    TAsset& asset = *portfolio.assets(i);
    asset.setSymbol("G" + std::to_string(i));
    files.push_back(TAsset::fileNameIn(asset.Folder(), asset.Number()));
    setReadOnly(files.back(), true);
  }
  main_->firstActivation = false;  // no loading
  main_->showModeless();
  messages_.respond = [](const std::string&) { return IDCONTINUE; };
  EXPECT_TRUE(main_->onCloseQuery()) << "the program ends";
  for (const std::string& file : files) setReadOnly(file, false);
  std::string named;
  for (size_t i = 0; i < 5; ++i) named += (i == 0 ? "" : ", ") + files[i];
  EXPECT_EQ(messages_.texts,
            std::vector<std::string>{"Failed to save " + named +
                                     " and 3 more.\r\rTry Again: save again.\rContinue: end the program and leave "
                                     "the files as they are; what was not written into them is lost.\rCancel: go "
                                     "back to the program."});
}

// The close saves the tab it leaves, then every data window: a file left
// unwritten once asked again, and Continue had to be chosen twice.
TEST_F(MainWindowState, AFileLeftUnsavedAtTheCloseIsAskedAboutOnce) {
  TportfolioForm& form = *main_->portfolioForm;
  form.loadView();
  form.setRowWise(!form.rowWiseBtn().down());
  ASSERT_TRUE(form.saveView().empty());
  const std::string controls = work_ + "DATA\\FOLIOS\\FolioControls.INI";
  const std::string controlsText = readWholeFile(controls);
  ASSERT_FALSE(controlsText.empty());
  form.setDates(45000, 45029);
  setReadOnly(controls, true);
  main_->firstActivation = false;  // no loading
  main_->showModeless();
  ASSERT_EQ(main_->pageControl->activePageIndex(), TmainForm::portfoliosTab);
  messages_.respond = [](const std::string&) { return IDCONTINUE; };
  EXPECT_TRUE(main_->onCloseQuery()) << "the program ends";
  ASSERT_EQ(messages_.texts.size(), 1u);
  EXPECT_NE(messages_.texts[0].find("\\FolioControls.INI.\r"), std::string::npos)
      << messages_.texts[0];
  setReadOnly(controls, false);
  EXPECT_EQ(readWholeFile(controls), controlsText);
}

// A folder where the options file belongs was once taken for a missing
// file: every close with nothing changed asked about a failed save, Cancel
// or Continue. It is a file that cannot be read: named, and told at the
// close only once the user changed what it holds.
TEST_F(MainWindowState, AFolderWhereTheOptionsFileBelongsIsNamedAndToldOnlyForAChange) {
  const std::string optionsFile = main_->paths().guiOptionsFileName;
  ASSERT_TRUE(forceFolders(optionsFile));
  main_->firstActivation = false;  // no loading
  main_->showModeless();
  takeUnreadableFiles();
  main_->loadGUIoptions(false);
  main_->loadMacroGUIoptions();
  const std::vector<std::string> named = takeUnreadableFiles();
  EXPECT_NE(std::find(named.begin(), named.end(), optionsFile), named.end());
  messages_.answer = IDCANCEL;
  EXPECT_TRUE(main_->closeCore(false));
  EXPECT_TRUE(main_->closeCore(false));
  EXPECT_EQ(messages_.texts, std::vector<std::string>{});
  main_->macroForm->sheetPanel().sheet().setCellContent(1, 1, 0, "=7*6", 1);
  messages_.answer = IDCONTINUE;
  EXPECT_TRUE(main_->closeCore(false));
  EXPECT_EQ(messages_.texts, std::vector<std::string>{"Failed to save " + optionsFile + "."});
  EXPECT_TRUE(folderExists(optionsFile));
}

namespace {

// Every whole number of a settings file's text spelled as one beyond what
// any option holds.
std::string wholeNumbersBeyondRange(const std::string& text) {
  std::string out;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    end = end == std::string::npos ? text.size() : end + 2;
    std::string line = text.substr(start, end - start);
    const size_t equals = line.find('=');
    int number = 0;
    if (line[0] != '[' && equals != std::string::npos &&
        iniTextToInteger(line.substr(equals + 1, line.find('\r') - equals - 1), number))
      line = line.substr(0, equals + 1) + "9223372036854775808\r\n";
    out += line;
    start = end;
  }
  return out;
}

}  // namespace

// Numbers beyond what an option holds were replaced at the close without
// any edit ("Width=9223372036854775808" became 1024), while the notice said
// the file was left as it stands. They stay as spelled until the user
// changes that option.
TEST_F(MainWindowState, OptionsBeyondTheirRangeStayAsSpelledUntilTheUserChangesThem) {
  const std::string optionsFile = main_->paths().guiOptionsFileName;
  main_->firstActivation = false;  // no loading
  main_->showModeless();
  main_->loadGUIoptions(true);
  main_->loadMacroGUIoptions();
  ASSERT_TRUE(main_->saveGUIoptions().empty());
  const std::string text = wholeNumbersBeyondRange(readWholeFile(optionsFile));
  ASSERT_NE(text.find("\r\nWidth=9223372036854775808\r\n"), std::string::npos);
  writeWholeFile(optionsFile, text);
  takePartlyReadFiles();
  main_->loadGUIoptions(true);
  main_->loadMacroGUIoptions();
  EXPECT_EQ(takePartlyReadFiles(), std::vector<std::string>{optionsFile});
  EXPECT_TRUE(main_->saveGUIoptions().empty());
  EXPECT_EQ(readWholeFile(optionsFile), text);
  const RECT shown = main_->bounds();
  const int width = shown.right - shown.left - 20;
  main_->setBounds(shown.left, shown.top, width, shown.bottom - shown.top);
  EXPECT_TRUE(main_->saveGUIoptions().empty());
  const TPortableIniFile saved(optionsFile);
  EXPECT_EQ(saved.readInteger("MainWindow", "Width", 0), width);
  EXPECT_EQ(saved.readString("MainWindow", "Left", ""), "9223372036854775808");
}

// The pick dialog's sizes alike, and the file was not even named.
TEST_F(MainWindowState, ThePickDialogsSizesBeyondTheirRangeStayAsSpelled) {
  const std::string controls = getDirectory("<FOLIOS>") + "FolioControls.INI";
  std::string text = "[FolioPick]\r\n";
  for (const char* key : {"Left", "Top", "Height", "Width", "NameWidth", "SymbolWidth", "CurrencyWidth"})
    text += std::string(key) + "=9223372036854775808\r\n";
  writeWholeFile(controls, text);
  takePartlyReadFiles();
  TfolioPickForm& picks = main_->portfolioForm->folioPickForm();
  TModalDriver driver(picks, {[&] { postKey(focusInside(picks.handle()), VK_ESCAPE); }});
  main_->getInitialPortfolioPicks();
  EXPECT_EQ(readWholeFile(controls), text);
  EXPECT_EQ(takePartlyReadFiles(), std::vector<std::string>{controls});
}

// An unchanged close once rewrote every open portfolio's header: a hand
// edit made meanwhile went back, and a read-only header asked at every close.
TEST_F(MainWindowState, AnUnchangedCloseLeavesThePortfolioHeadersAsTheyAreAndAsksNothing) {
  TPortfolioTable& table = *main_->portfolioTable;
  std::string archived;
  std::string edited;
  ASSERT_EQ(table.newPortfolio("Archive", "ARC", archived, work_ + "DATA\\FOLIOS\\", "EUR"), 0);
  ASSERT_EQ(table.newPortfolio("Savings", "SAV", edited, work_ + "DATA\\FOLIOS\\", "EUR"), 0);
  table.items(0)->setCustomProperty("Kept", "until 2030");
  ASSERT_EQ(main_->portfolioForm->savePortfolios(), 0);
  const std::string archivedHeader = archived + "0.INI";
  const std::string editedHeader = edited + "0.INI";
  TPortableIniFile(editedHeader).writeString("CustomProperties", "Goal", "retire");
  setReadOnly(archivedHeader, true);
  std::map<std::string, std::pair<std::string, int64_t>> before;
  for (const std::string& file : {archivedHeader, editedHeader}) before[file] = {readWholeFile(file), fileAge(file)};
  main_->firstActivation = false;  // no loading
  main_->showModeless();
  messages_.answer = IDCANCEL;
  EXPECT_TRUE(main_->onCloseQuery());
  EXPECT_EQ(messages_.texts, std::vector<std::string>{});
  setReadOnly(archivedHeader, false);
  for (const auto& [file, was] : before) {
    EXPECT_EQ(readWholeFile(file), was.first) << file;
    EXPECT_EQ(fileAge(file), was.second) << file;
  }
}

TEST_F(SystemRuns, ARunThatCannotDeleteItsOldTransactionsIsReported) {
  std::string folder;
  TSystemRule& rule = arriveWithDailyRule(folder);
  main_->leaveSystemTab();
  ASSERT_TRUE(messages_.texts.empty());
  std::string transactionFolder;
  for (const TFoundFile& entry : findFiles(folder + "*"))
    if (entry.isFolder && entry.name.size() > 4 && entry.name.substr(entry.name.size() - 4) == ".TRN")
      transactionFolder = folder + entry.name + "\\";
  ASSERT_FALSE(transactionFolder.empty());
  const std::vector<TFoundFile> held = findFiles(transactionFolder + "*.INI");
  ASSERT_FALSE(held.empty());
  const std::map<std::string, std::string> before = folderContents(transactionFolder);
  // Another program holds one of the run's transactions open: the run once
  // deleted the others, wrote its own beside the one held, and told only a
  // code.
  const std::string heldFile = transactionFolder + held.back().name;
  HANDLE locked =
      CreateFileA(heldFile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  rule.setUnits("2");
  main_->leaveSystemTab();
  CloseHandle(locked);
  EXPECT_EQ(messages_.texts, std::vector<std::string>{"The trading system of \"Systems\" was not run: " + heldFile +
                                                      " is open in another program."});
  EXPECT_EQ(folderContents(transactionFolder), before);
  const TTransactionTable& transactions = main_->portfolioTable->current()->assets(0)->Transactions();
  EXPECT_EQ(static_cast<size_t>(transactions.count()), before.size());
  for (int i = 0; i < transactions.count(); ++i)
    EXPECT_EQ(transactions.items(i)->Units(), transactions.items(i)->Soft() != 0 ? 1 : 0);
}

// A save that failed when its tab was left keeps the edit in the window; the
// close tries it again and tells, whichever tab is shown then.
TEST_F(SystemRuns, EditsWhoseSaveFailedOnLeavingTheirTabAreSavedOrToldAtClose) {
  const std::string root = work_ + "DATA\\WEBS\\";
  forceFolders(root + "1");
  writeWholeFile(root + "1\\0.INI", "[Profile]\r\nName=Shares\r\n");
  writeWholeFile(root + "1\\Notes.TXT", "");
  TwebForm& web = *main_->webForm;
  web.setMosaicsRoot(root);
  web.mosaicListView().setItemIndex(0);
  ASSERT_TRUE(pumpUntil([&] { return web.shownMosaic() == 1; }));
  web.noteEditPanel().insertText("buy low");
  const std::string webNotes = web.notesDocument()->fileName;
  setReadOnly(webNotes, true);
  EXPECT_FALSE(web.tabLeft().empty());

  std::string folder;
  arriveWithDailyRule(folder);
  main_->shuttingDown = true;  // no run
  const std::string system = folder + "System.INI";
  writeWholeFile(system, "");
  setReadOnly(system, true);
  EXPECT_FALSE(main_->leaveSystemTab().empty());

  main_->firstActivation = false;  // no loading
  main_->showModeless();
  ASSERT_EQ(main_->pageControl->activePageIndex(), TmainForm::portfoliosTab);
  messages_.answer = IDCANCEL;
  for (const std::string& file : {system, webNotes}) {
    messages_.texts.clear();
    SendMessageA(main_->handle(), WM_CLOSE, 0, 0);
    ASSERT_EQ(messages_.texts.size(), 1u);
    // Folder names come back in capitals.
    const std::string why =
        file == system ? "\r\r" + file + " is read-only.\rMake such a file writable, or close the program that "
                                          "holds it, and Try Again."
                       : "";
    EXPECT_EQ(upperCase(messages_.texts[0]), upperCase(closeQuestion(file, why)));
    EXPECT_TRUE(IsWindowVisible(main_->handle()));
    setReadOnly(file, false);
  }
  messages_.texts.clear();
  EXPECT_TRUE(main_->closeCore(false));
  EXPECT_EQ(messages_.texts, std::vector<std::string>{});
  EXPECT_EQ(readWholeFile(webNotes), "buy low\r\n");
  EXPECT_NE(readWholeFile(system), "");
}

// Notes, the open macro source and the test sheet once went with a close
// whose saves failed, without a word.
TEST_F(MainWindowState, EveryFileTheCloseCannotWriteIsNamedAndCancelKeepsTheProgramAndTheEdit) {
  main_->portfolioForm->loadView();
  main_->portfolioForm->notesBtn().setDown(true);
  main_->portfolioForm->notesBtnClick();
  ASSERT_NE(main_->portfolioForm->globalNotes(), nullptr);
  TEditorStatus& notes = *main_->portfolioForm->globalNotes();
  ASSERT_TRUE(notes.insertText("Sell the bonds in May"));
  const std::string notesFile = notes.fileName;
  ASSERT_TRUE(notesFile.ends_with("\\FOLIOS\\Notes.TXT")) << notesFile;

  const std::string sourceFile = work_ + "DATA\\MACROS\\Trend.js";
  writeWholeFile(sourceFile, "function trend() {}\r\n");
  TEditorStatus& source = main_->macroForm->selectedMacroStatus();
  ASSERT_TRUE(source.loadFromFile(sourceFile));
  ASSERT_TRUE(source.insertText("// rising "));

  const std::string optionsFile = main_->paths().guiOptionsFileName;
  writeWholeFile(optionsFile, "[Layout]\r\nListWidth=200\r\n\r\n");
  TSheet& testSheet = main_->macroForm->sheetPanel().sheet();
  testSheet.setCellContent(1, 1, 0, "=7*6", 1);

  const std::string notesText = readWholeFile(notesFile);
  const std::string sourceText = readWholeFile(sourceFile);
  const std::string optionsText = readWholeFile(optionsFile);
  THeldFile heldSource(sourceFile);
  ASSERT_NE(heldSource.handle, INVALID_HANDLE_VALUE);
  setReadOnly(notesFile, true);
  setReadOnly(optionsFile, true);
  main_->firstActivation = false;  // no loading
  main_->showModeless();
  messages_.answer = IDCANCEL;
  // Each close stops at the first file it cannot write; that one is then
  // given free and the next close goes on to the next.
  const std::vector<std::pair<std::string, std::function<void()>>> failing = {
      {sourceFile, [&] { heldSource.release(); }},
      {notesFile, [&] { setReadOnly(notesFile, false); }},
      {optionsFile, [] {}}};
  for (const auto& [file, release] : failing) {
    messages_.texts.clear();
    SendMessageA(main_->handle(), WM_CLOSE, 0, 0);
    ASSERT_EQ(messages_.texts, std::vector<std::string>{closeQuestion(file)});
    EXPECT_TRUE(IsWindowVisible(main_->handle())) << "cancelled: the program stays";
    EXPECT_EQ(main_->shutDownForm, nullptr);
    release();
  }
  EXPECT_EQ(readWholeFile(optionsFile), optionsText);
  std::string text;
  notes.getText(false, text);
  EXPECT_EQ(text.find("Sell the bonds in May"), 0u) << text;
  source.getText(false, text);
  EXPECT_EQ(text.find("// rising function trend"), 0u) << text;
  EXPECT_EQ(testSheet.getCellText(1, 1, false), "42");

  // Retry once the file can be written: everything reaches the disk.
  messages_.texts.clear();
  messages_.respond = [&](const std::string&) {
    setReadOnly(optionsFile, false);
    return IDRETRY;
  };
  EXPECT_TRUE(main_->closeCore(false));
  EXPECT_EQ(messages_.texts, std::vector<std::string>{"Failed to save " + optionsFile + "."});
  EXPECT_NE(readWholeFile(notesFile), notesText);
  EXPECT_EQ(readWholeFile(notesFile).find("Sell the bonds in May"), 0u);
  EXPECT_EQ(readWholeFile(sourceFile).find("// rising function trend"), 0u);
  EXPECT_NE(readWholeFile(sourceFile), sourceText);
  EXPECT_NE(readWholeFile(optionsFile).find("=7*6"), std::string::npos);
}

// A line another program appended to a portfolio's notes while the program
// ran was written over, without a word, by the notes saved at the close.
TEST_F(MainWindowState, NotesWhoseFileAnotherProgramChangedAreAskedAboutAtTheirSave) {
  std::string folder;
  newSavings(*main_->portfolioTable, work_, folder, 0);
  TdataForm& form = *main_->portfolioForm;
  form.messages = &messages_;
  form.loadView();
  form.notesBtn().setDown(true);
  form.notesBtnClick();
  ASSERT_NE(form.objectNotes(), nullptr);
  TEditorStatus& notes = *form.objectNotes();
  const std::string notesFile = notes.fileName;
  ASSERT_EQ(notesFile, folder + "Notes.TXT");
  ASSERT_TRUE(notes.insertText("Sell the bonds in May"));
  const std::string appended = readWholeFile(notesFile) + "Bought 10 more\r\n";
  writeWholeFile(notesFile, appended);
  const std::string question =
      notesFile +
      " was changed by another program since it was read.\r\rTry Again: look at the file again; it is saved once "
      "that change is undone.\rContinue: write over it; what the other program wrote into it is lost.\rCancel: "
      "keep the text unsaved.";
  main_->firstActivation = false;  // no loading
  main_->showModeless();

  messages_.answer = IDCANCEL;
  SendMessageA(main_->handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(messages_.texts, std::vector<std::string>{question}) << "asked once, the close stops";
  EXPECT_TRUE(IsWindowVisible(main_->handle()));
  EXPECT_EQ(readWholeFile(notesFile), appended);
  std::string text;
  notes.getText(false, text);
  EXPECT_EQ(text.find("Sell the bonds in May"), 0u) << text;

  // Trying again finds the file still changed; Continue writes over it.
  messages_.texts.clear();
  std::vector<int> answers = {IDTRYAGAIN, IDCONTINUE};
  messages_.respond = [&](const std::string&) {
    const int answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  };
  EXPECT_TRUE(main_->closeCore(false));
  EXPECT_EQ(messages_.texts, (std::vector<std::string>{question, question}));
  EXPECT_EQ(readWholeFile(notesFile).find("Sell the bonds in May"), 0u);
  EXPECT_EQ(readWholeFile(notesFile).find("Bought 10 more"), std::string::npos);
}

// The line at the foot named the last file and counted the others ("and 1
// more file"), cut at the window's edge: a click lists every one whole, and
// its hint holds what it cut off.
TEST_F(MainWindowState, AClickOnTheNoticeListsEveryFileItToldOfWhole) {
  main_->setBounds(0, 0, 1024, 768);
  takeLoadFailures();
  takeUnreadableFiles();
  takePartlyReadFiles();
  takeDamagedFiles();
  const std::string failure = "Portfolio Growth (GRW) not opened: its file C:\\DATA\\FOLIOS\\1\\0.INI lacks "
                              "LoadAlways in section Portfolio.";
  reportLoadFailure(failure);
  reportUnreadableFile("C:\\DATA\\QUOTES\\ONE.TXT");
  reportUnreadableFile("C:\\DATA\\QUOTES\\TWO.TXT");
  main_->showFileNotices();
  reportDamagedFile("C:\\DATA\\GUIoptions.INI", "is saved as Unicode (UTF-16), not as ANSI text");
  reportPartlyReadFile("C:\\DATA\\GUIoptions.INI");
  reportPartlyReadFile("C:\\DATA\\FOLIOS\\FolioControls.INI");
  main_->showFileNotices();
  EXPECT_EQ(main_->noticeBar->panelText(0),
            "Could not read all of C:\\DATA\\GUIoptions.INI: it is saved as Unicode (UTF-16), not as ANSI text. "
            "Changes to it are not saved until it is repaired. Could not read all of "
            "C:\\DATA\\FOLIOS\\FolioControls.INI; what could not be read stays as it stands.");
  EXPECT_EQ(main_->noticeBar->hint(), main_->noticeBar->panelText(0));
  const HWND bar = main_->noticeBar->handle();
  sendMouse(bar, WM_LBUTTONDOWN, 20, 5, MK_LBUTTON);
  sendMouse(bar, WM_LBUTTONUP, 20, 5);
  EXPECT_FALSE(main_->noticeBar->visible());
  EXPECT_EQ(messages_.texts,
            std::vector<std::string>{
                failure + "\rCould not read C:\\DATA\\QUOTES\\ONE.TXT; taken as missing.\rCould not read "
                          "C:\\DATA\\QUOTES\\TWO.TXT; taken as missing.\rCould not read all of "
                          "C:\\DATA\\GUIoptions.INI: it is saved as Unicode (UTF-16), not as ANSI text. Changes to "
                          "it are not saved until it is repaired.\rCould not read all of "
                          "C:\\DATA\\FOLIOS\\FolioControls.INI; what could not be read stays as it stands."});
  // What was listed goes with the line: the next notice lists only its own.
  reportUnreadableFile("C:\\DATA\\QUOTES\\TWO.TXT");
  main_->showFileNotices();
  EXPECT_EQ(main_->noticeBar->hint(), "") << "a notice shown whole needs no hint";
  main_->noticeBarClick();
  ASSERT_EQ(messages_.texts.size(), 2u);
  EXPECT_EQ(messages_.texts[1], "Could not read C:\\DATA\\QUOTES\\TWO.TXT; taken as missing.");

  // A folder of many files lists every one: the list once stopped at 64
  // names, and at 256 lines.
  std::string all;
  for (int i = 0; i < 300; ++i) {
    const std::string name = "C:\\DATA\\QUOTES\\" + std::to_string(i) + ".TXT";
    reportUnreadableFile(name);
    all += (i == 0 ? "" : "\r") + ("Could not read " + name + "; taken as missing.");
    if (i == 149) main_->showFileNotices();
  }
  main_->showFileNotices();
  main_->noticeBarClick();
  ASSERT_EQ(messages_.texts.size(), 3u);
  EXPECT_EQ(messages_.texts[2], all);
}

// A change a window saved as it was made, and which its file refused then
// (a month name typed while the options file was in another encoding), was
// lost at the close without a question.
TEST_F(MainWindowState, AChangeRefusedWhenMadeIsAskedAboutAtTheCloseAndSavedOnTryAgain) {
  const std::string file = work_ + "DATA\\Elsewhere.INI";
  writeWholeFile(file, "[Kept]\r\nKey=old\r\n");
  setReadOnly(file, true);
  const auto save = [file] {
    TPortableIniFile ini(file);
    ini.writeString("Kept", "Key", "new");
    return ini.updateFile();
  };
  ASSERT_FALSE(save());
  holdUnsavedChange(file, "", save);
  main_->firstActivation = false;  // no loading
  main_->showModeless();
  // The saves before the directory set-up leave it for the close.
  EXPECT_TRUE(main_->closeCore(false));
  EXPECT_TRUE(messages_.texts.empty());
  messages_.respond = [&](const std::string&) {
    setReadOnly(file, false);
    return IDTRYAGAIN;
  };
  EXPECT_TRUE(main_->onCloseQuery()) << "the program ends";
  EXPECT_EQ(messages_.texts, std::vector<std::string>{closeQuestion(file)});
  EXPECT_EQ(TPortableIniFile(file).readString("Kept", "Key", ""), "new");
  EXPECT_TRUE(saveUnsavedChanges().empty());
}
