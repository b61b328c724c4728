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
#include "tests/support/MainWindowFixture.h"
#include "tests/support/WindowTestSupport.h"
#include "windows/AssetForm.h"
#include "windows/FolioPickForm.h"
#include "windows/PortfolioForm.h"
#include "windows/QuoteForm.h"
#include "windows/TransactionForm.h"

using MainWindowState = MainWindowTest;

TEST_F(MainWindowState, WithoutACurrentPortfolioNoRunAndNoProgressWindow) {
  int shown = 0;
  main_->systemRuns.showProgressWindow = [&](bool show) { shown += show ? 1 : 0; };
  ASSERT_EQ(main_->portfolioTable->current(), nullptr);
  main_->applySelectedPortfolioSystemIfNeeded();
  EXPECT_EQ(shown, 0);
}

TEST_F(MainWindowState, TheCurrencyTablesGoWithTheWindow) {
  writeWholeFile(getDirectory("<FOREX>") + "EURtoUSD.CSV", "20240301,1.08\r\n20240304,1.09\r\n");
  double loadTime = 0;
  ASSERT_GE(forexTables().getTable("EUR", "USD", {}, nullptr, loadTime), 0);
  ASSERT_GT(forexTables().tableCount(), 0);
  main_.reset();
  EXPECT_EQ(forexTables().tableCount(), 0);
}

TEST_F(MainWindowState, OnlyAskedToTheMainWindowsOptionsBringTheMacroWindowsAlong) {
  {
    TPortableIniFile ini(main_->paths().guiOptionsFileName);
    ini.writeInteger("MacroSheet", "EditorColor", 0x123456);
    ini.updateFile();
  }
  const TColor before = main_->macroForm->editorColor();
  ASSERT_NE(before, 0x123456);
  main_->loadGUIoptions(false);
  EXPECT_EQ(main_->macroForm->editorColor(), before);
  main_->loadGUIoptions(true);
  EXPECT_EQ(main_->macroForm->editorColor(), 0x123456);
}

// The width the Downloads window keeps must not swing with whether the user
// happened to look at its tab: it is the width it shows at, seen or not.
TEST_F(MainWindowState, AWindowOnATabNeverShownKeepsTheWidthItShowsAt) {
  const std::string optionsFile = main_->paths().guiOptionsFileName;
  writeWholeFile(optionsFile, "[MainWindow]\r\nFirstRun=0\r\nLeft=0\r\nTop=0\r\nWidth=900\r\nHeight=700\r\n");
  main_->loadGUIoptions(true);
  ASSERT_NE(main_->pageControl->activePageIndex(), 6);
  const int shownWidth = main_->pageControl->activePage()->width();
  ASSERT_LT(shownWidth, 900);
  ASSERT_TRUE(main_->saveGUIoptions().empty());
  EXPECT_EQ(TPortableIniFile(optionsFile).readInteger("DownloadSheet", "Width", 0), shownWidth);
}

TEST_F(MainWindowState, TheSplashWindowCarriesTheProgramsTitleUntilTheMainWindowShows) {
  EXPECT_EQ(application().title(), "Kestrova");
  TsplashForm splash;
  EXPECT_EQ(splash.text(), "Kestrova");
  application().setTitle("Loading...");
  EXPECT_EQ(splash.text(), "Loading...");
  application().setTitle("Kestrova");
  EXPECT_EQ(splash.text(), "Kestrova");
}

TEST_F(MainWindowState, LettingGoOfThePortfoliosClearsEveryWindowsView) {
  TPortfolioTable& table = *main_->portfolioTable;
  std::string folder;
  ASSERT_EQ(table.newPortfolio("Old", "OLD", folder, work_ + "DATA\\FOLIOS\\", "EUR"), 0);
  main_->portfolioForm->loadView();
  main_->portfolioForm->notesBtn().setDown(true);
  main_->portfolioForm->notesBtnClick();
  ASSERT_NE(main_->portfolioForm->globalNotes(), nullptr);
  table.setCurrentIndex(0);
  const int32_t oldSerial = table.current()->Serial();
  main_->assetForm->tabEntered(nullptr, 0, false, 0, 0);
  main_->quoteForm->tabEntered(nullptr, 0, false, 0, 0);
  main_->transactionForm->tabEntered(nullptr, 0);
  main_->arriveAtSystemTab();
  ASSERT_EQ(main_->assetForm->shownPortfolioSerial(), oldSerial);
  ASSERT_EQ(main_->transactionForm->shownPortfolioSerial(), oldSerial);
  ASSERT_EQ(main_->systemForm->PortfolioSerial(), oldSerial);

  main_->releasePortfolios();
  EXPECT_EQ(table.count(), 0);
  EXPECT_EQ(main_->portfolioForm->globalNotes(), nullptr) << "the notes of the old folders are let go";
  for (TdataForm* form : std::vector<TdataForm*>{main_->portfolioForm, main_->assetForm, main_->quoteForm})
    EXPECT_EQ(form->windowDir(), "");
  EXPECT_EQ(main_->assetForm->shownPortfolioSerial(), 0);
  EXPECT_EQ(main_->quoteForm->shownPortfolioSerial(), 0);
  EXPECT_EQ(main_->transactionForm->shownPortfolioSerial(), 0);
  EXPECT_EQ(main_->systemForm->PortfolioSerial(), 0);

  ASSERT_EQ(table.newPortfolio("New", "NEW", folder, work_ + "DATA\\FOLIOS\\", "EUR"), 0);
  EXPECT_NE(table.items(0)->Serial(), oldSerial);
}

// A portfolio one asset kept closed once went unmentioned once loading ended.
TEST_F(MainWindowState, ThePortfolioAnAssetKeptClosedIsTheNoticeWithTheAssetAndWhy) {
  takeLoadFailures();
  takeUnreadableFiles();
  reportUnreadableFile("C:\\DATA\\QUOTES\\OTHER.TXT");
  const std::string failure = "Portfolio Growth (GRW) not opened: asset C:\\DATA\\FOLIOS\\1\\2.INI (Gold (AU)): "
                              "its price file \"COM1\" cannot be read.";
  reportLoadFailure(failure);
  main_->showFileNotices();
  EXPECT_TRUE(main_->noticeBar->visible());
  EXPECT_EQ(main_->noticeBar->panelText(0), failure + " Could not read C:\\DATA\\QUOTES\\OTHER.TXT; taken as missing.");
  reportUnreadableFile("C:\\DATA\\QUOTES\\OTHER.TXT");
  main_->showFileNotices();
  EXPECT_EQ(main_->noticeBar->panelText(0), "Could not read C:\\DATA\\QUOTES\\OTHER.TXT; taken as missing.");
}

namespace {

// The main window made anew on work, whose directory list names a Web
// folder that is not there: the start opens the directory set-up, where
// the user first does what meanwhile does, then names another folder and
// accepts. The window loads nothing afterwards.
void makeMainFormThroughTheDirectorySetUp(const std::function<void(TdirSelForm&)>& meanwhile,
                                          std::unique_ptr<TmainForm>& main, const std::string& work,
                                          TMessageBox& messages) {
  main.reset();
  const std::string list = work + "Kestrova.INI";
  writeWholeFile(list, "[Fetch]\r\nx=1\r\n[Directories]\r\n<GALLERY>=" + work + "DATA\\GALLERY\r\n<WEBS>=" + work +
                           "NOWHERE\r\n");
  bool answered = false;
  TTimer user(100, [&] {
    TdirSelForm* setUp = shownForm<TdirSelForm>();
    if (setUp == nullptr || answered) return;
    answered = true;
    meanwhile(*setUp);
    forceFolders(work + "NEWWEBS");
    const auto& names = startDirectoryNames();
    const auto webs = std::find(names.begin(), names.end(), "<WEBS>") - names.begin();
    setUp->dirEdit(static_cast<int>(webs)).setText(work + "NEWWEBS");
    setUp->okBtn().performClick();
  });
  user.setEnabled(true);
  TMainFormContext context;
  context.executablePath = work + "Kestrova.exe";
  context.currentDirectory = work;
  context.messageBox = &messages;
  main = std::make_unique<TmainForm>(context);
  user.setEnabled(false);
  main->firstActivation = false;  // no loading
  EXPECT_TRUE(answered);
}

}  // namespace

// The set-up the start opens for a missing directory once ran the loading
// in its message loop when the main window was activated meanwhile (as a
// box of the start hands the activation back when it closes): the loading
// reached the pick dialogs and windows not made yet, and the program
// crashed.
TEST_F(MainWindowState, AnActivationWhileTheStartAsksForDirectoriesWaitsUntilTheWindowIsMade) {
  makeMainFormThroughTheDirectorySetUp(
      [](TdirSelForm& setUp) {
        SendMessageA(GetWindow(setUp.handle(), GW_OWNER), WM_ACTIVATE, WA_ACTIVE, 0);
        pumpFor(300);
      },
      main_, work_, messages_);
  ASSERT_NE(main_, nullptr);
  EXPECT_FALSE(main_->closeOnActivate);
  EXPECT_NE(main_->currPickForm, nullptr);
  pumpFor(300);
  EXPECT_TRUE(messages_.texts.empty());
}

// The downloader reads and writes the same list: an entry it wrote while
// the set-up showed once went with the program's save of the directories.
TEST_F(MainWindowState, TheDirectorySaveKeepsWhatTheDownloaderWroteIntoTheListMeanwhile) {
  makeMainFormThroughTheDirectorySetUp(
      [&](TdirSelForm&) {
        TPortableIniFile downloader(work_ + "Kestrova.INI");
        downloader.writeString("Directories", "<FETCH>", "F:\\FETCH\\");
        downloader.writeString("Fetch", "y", "2");
      },
      main_, work_, messages_);
  ASSERT_NE(main_, nullptr);
  EXPECT_TRUE(messages_.texts.empty());
  const TPortableIniFile list(work_ + "Kestrova.INI");
  EXPECT_EQ(upperCase(list.readString("Directories", "<WEBS>", "")), upperCase(work_ + "NEWWEBS\\"));
  EXPECT_EQ(list.readString("Directories", "<FETCH>", ""), "F:\\FETCH\\");
  EXPECT_EQ(list.readString("Fetch", "x", ""), "1");
  EXPECT_EQ(list.readString("Fetch", "y", ""), "2");
}
