#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

#include <windows.h>
#include <commctrl.h>

#include "app/MainForm.h"
#include "controls/EditPanel.h"
#include "controls/EditorStatus.h"
#include "controls/ResizablePanel.h"
#include "controls/SheetPanel.h"
#include "model/Directories.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "platform/ExtControls.h"
#include "platform/FileSystem.h"
#include "platform/PageControl.h"
#include "sheet/Sheet.h"
#include "systems/SystemForm.h"
#include "model/Asset.h"
#include "tests/support/MainWindowFixture.h"
#include "tests/support/ScriptedMessageBox.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestSupport.h"
#include "windows/AssetForm.h"
#include "windows/FolioPickForm.h"
#include "windows/PortfolioForm.h"
#include "windows/QuoteEditor.h"
#include "windows/QuoteForm.h"
#include "windows/TransactionForm.h"

namespace {

// The main window started on a copy of the sample as the program starts:
// the first activation loads everything and offers the portfolios, and the
// pick dialog is answered with keys.
class MainWindowKeyboard : public MainWindowTest {
 protected:
  void SetUp() override {
    work_ = temporary_.path() + "work\\";
    ASSERT_TRUE(copyTree(sampleDataFolder(), work_, false));
    makeMainForm();
  }

  // Shows the window; its first activation runs, and the pick dialog gets
  // the keys the step presses into its focused control.
  void start(const std::function<void(HWND focus)>& accept) {
    TfolioPickForm& picks = main_->portfolioForm->folioPickForm();
    TModalDriver driver(picks, {[&] { accept(focusInside(picks.handle())); }});
    main_->showModeless();
    ASSERT_TRUE(pumpUntil([&] { return !main_->firstActivation && !main_->activating(); }, 20000));
    // The activation comes back from the dialog; where the keys land in the
    // window is what the tests look at.
    pumpUntil([&] { return IsChild(main_->handle(), GetFocus()) != FALSE; });
    ASSERT_GT(main_->portfolioTable->count(), 0);
  }

  void startWithEnter() {
    start([](HWND focus) { postKey(focus, VK_RETURN); });
  }

  HWND focus() const { return GetFocus(); }

  // The focused window is shown and lies on the tab shown (or is the tab
  // row, when that may keep it).
  ::testing::AssertionResult keysReachTheTabShown(bool orTheTabRow = false) const {
    const HWND page = main_->pageControl->activePage()->handle();
    const HWND focused = GetFocus();
    if (!focused) return ::testing::AssertionFailure() << "no window has the focus";
    if (!IsWindowVisible(focused)) return ::testing::AssertionFailure() << "the focused window is hidden";
    if (orTheTabRow && focused == main_->pageControl->handle()) return ::testing::AssertionSuccess();
    if (!IsChild(page, focused)) return ::testing::AssertionFailure() << "the focus lies outside the tab shown";
    return ::testing::AssertionSuccess();
  }

  void ctrlTab(int times) {
    TKeyState control{VK_CONTROL};
    for (int i = 0; i < times; ++i) postKey(GetFocus(), VK_TAB);
  }

  void clickTab(int tab) {
    RECT place{};
    ASSERT_TRUE(TabCtrl_GetItemRect(main_->pageControl->handle(), tab, &place));
    const int x = (place.left + place.right) / 2, y = (place.top + place.bottom) / 2;
    PostMessageA(main_->pageControl->handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(main_->pageControl->handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    pumpFor(200);
  }

  std::string folioFolder(const char* name) const { return work_ + "DATA\\FOLIOS\\" + name + "\\"; }

  // The Portfolios grid with the Growth Portfolio's "Target return" (0.075)
  // as the current cell, holding the keys; its messages are the test's.
  TSheetPanel& atTargetReturn() { return atGrowthPortfolios("Target return"); }

  // The same with the Growth Portfolio's field of that header.
  TSheetPanel& atGrowthPortfolios(const std::string& header) {
    TportfolioForm& form = *main_->portfolioForm;
    TSheetPanel& grid = form.sheetPanel();
    grid.messages = &messages_;
    TSheet& sheet = grid.sheet();
    const int portfolio = main_->portfolioTable->indexOfFolder(folioFolder("1"));
    EXPECT_GE(portfolio, 0);
    for (int line = 2; line <= form.dataSheet().lastLine(); ++line) {
      if (form.dataSheet().lineToObject(line) != portfolio) continue;
      for (int field = 1; field <= std::max(grid.maxVisibleCol(), grid.maxVisibleRow()); ++field) {
        const bool rowWise = form.dataSheet().rowWise;
        if (sheet.getCellText(rowWise ? field : 1, rowWise ? 1 : field, true) != header) continue;
        sheet.setCurrentCell(rowWise ? field : line, rowWise ? line : field);
        grid.refresh();
        grid.setFocus();
        return grid;
      }
    }
    ADD_FAILURE() << "no " << header << " cell";
    return grid;
  }

  // Typed onto the grid's current cell: the first key opens the editor,
  // which takes the rest and is left open.
  static void typeOnto(TSheetPanel& grid, const std::string& text) {
    postChar(grid.handle(), text[0]);
    ASSERT_TRUE(grid.editing());
    HWND editor = GetFocus();
    for (const char c : text.substr(1)) postChar(editor, c);
  }

  // The quote editor shown with the Quotes window's second line's prices.
  TQuoteEditor& quoteEditorOnSecondLine() {
    TquoteForm& quotes = *main_->quoteForm;
    quotes.quotesBtn().setDown(true);
    quotes.quotesBtnClick();
    EXPECT_TRUE(quotes.quoteEditorContainer().visible());
    quotes.sheetPanel().sheet().setCurrentCell(2, 3);
    quotes.sheetPanel().refresh();
    pumpFor(100);
    return quotes.quoteEditor();
  }

  // Alt+F4 as the keyboard gives it, on the window with the keys; the
  // window is only hidden when the close goes through, as the program
  // would end there.
  void altF4() {
    main_->onClose = nullptr;
    TKeyState alt{VK_MENU};
    PostMessageA(GetFocus(), WM_SYSKEYDOWN, VK_F4, 0x20000001);
    PostMessageA(GetFocus(), WM_SYSKEYUP, VK_F4, 0xE0000001);
    pumpFor(300);
  }
};

// The window lies above the other in the order of their shared parent.
bool inFrontOf(HWND window, HWND other) {
  for (HWND below = GetWindow(window, GW_HWNDNEXT); below; below = GetWindow(below, GW_HWNDNEXT))
    if (below == other) return true;
  return false;
}

// The text in the portfolios' notes editor.
std::string portfolioNotesText(const TmainForm& main) {
  std::string text;
  if (const TEditorStatus* notes = main.portfolioForm->noteEditPanel().editorStatus()) notes->getText(false, text);
  return text;
}

// Pressed with Alt held, as the keyboard gives a mnemonic.
void postAltKey(HWND window, char key) {
  TKeyState alt{VK_MENU};
  PostMessageA(window, WM_SYSKEYDOWN, static_cast<WPARAM>(key), 0x20000001);
  PostMessageA(window, WM_SYSKEYUP, static_cast<WPARAM>(key), 0xE0000001);
  pumpFor(50);
}

}  // namespace

// The tab row was disabled while the pick dialog handed the activation back,
// so nothing had the keyboard until a click.
TEST_F(MainWindowKeyboard, ThePickDialogAcceptedWithEnterLeavesTheKeysInThePortfoliosGrid) {
  startWithEnter();
  TSheetPanel& grid = main_->portfolioForm->sheetPanel();
  EXPECT_EQ(focus(), grid.handle());
  TSheet& sheet = grid.sheet();
  const int row = sheet.currentRow;
  postKey(focus(), VK_DOWN);
  EXPECT_NE(sheet.currentRow, row) << "Down moves the current cell";
  ctrlTab(1);
  EXPECT_EQ(main_->pageControl->activePageIndex(), TmainForm::assetsTab);
  EXPECT_EQ(focus(), main_->assetForm->sheetPanel().handle());
}

TEST_F(MainWindowKeyboard, ThePickDialogAcceptedWithAltOLeavesTheKeysInThePortfoliosGrid) {
  start([](HWND focused) { postAltKey(focused, 'O'); });
  EXPECT_EQ(focus(), main_->portfolioForm->sheetPanel().handle());
}

// A page hidden with the focus inside kept it, and the keys went on editing
// the grid the user had left.
TEST_F(MainWindowKeyboard, CtrlTabHandsTheKeysToTheArrivingTabsGrid) {
  startWithEnter();
  TSheetPanel& folios = main_->portfolioForm->sheetPanel();
  folios.setFocus();
  TSheet& foliosSheet = folios.sheet();
  const int row = foliosSheet.currentRow, col = foliosSheet.currentCol;
  ctrlTab(3);
  ASSERT_EQ(main_->pageControl->activePageIndex(), TmainForm::transactionsTab);
  EXPECT_TRUE(keysReachTheTabShown());
  EXPECT_EQ(focus(), main_->transactionForm->sheetPanel().handle());
  postKey(focus(), VK_DOWN);
  EXPECT_EQ(foliosSheet.currentRow, row);
  EXPECT_EQ(foliosSheet.currentCol, col);

  // Back the other way, every tab in turn takes the keys.
  for (int tab = TmainForm::quotesTab; tab >= TmainForm::portfoliosTab; --tab) {
    TKeyState controlShift{VK_CONTROL, VK_SHIFT};
    postKey(focus(), VK_TAB);
    ASSERT_EQ(main_->pageControl->activePageIndex(), tab);
    EXPECT_TRUE(keysReachTheTabShown()) << tab;
  }
  for (int tab = TmainForm::assetsTab; tab < TmainForm::tabCount; ++tab) {
    ctrlTab(1);
    ASSERT_EQ(main_->pageControl->activePageIndex(), tab);
    EXPECT_TRUE(keysReachTheTabShown()) << tab;
  }
}

TEST_F(MainWindowKeyboard, AClickOnATabLeavesNoKeysInTheTabLeft) {
  startWithEnter();
  ctrlTab(1);
  TSheetPanel& assets = main_->assetForm->sheetPanel();
  assets.setFocus();
  TSheet& assetSheet = assets.sheet();
  const std::string before = assetSheet.getCurrentCellText(false);
  clickTab(TmainForm::quotesTab);
  ASSERT_EQ(main_->pageControl->activePageIndex(), TmainForm::quotesTab);
  EXPECT_TRUE(keysReachTheTabShown(true));
  for (const char key : {'G', 'B', 'P'}) postKey(focus(), key);
  postKey(focus(), VK_RETURN);
  EXPECT_FALSE(assets.editing());
  EXPECT_EQ(assetSheet.getCurrentCellText(false), before);
}

TEST_F(MainWindowKeyboard, ATabChosenInCodeTakesTheKeysFromTheTabLeft) {
  startWithEnter();
  ASSERT_EQ(focus(), main_->portfolioForm->sheetPanel().handle());
  main_->pageControl->setActivePageIndex(TmainForm::macrosTab);
  EXPECT_TRUE(keysReachTheTabShown());
}

// On the tab row the arrow keys go on choosing tabs: the tab shown does not
// take them away.
TEST_F(MainWindowKeyboard, TheTabRowKeepsTheKeysWhileArrowsChooseTabs) {
  startWithEnter();
  main_->pageControl->setFocus();
  postKey(focus(), VK_RIGHT);
  ASSERT_EQ(main_->pageControl->activePageIndex(), TmainForm::assetsTab);
  EXPECT_EQ(focus(), main_->pageControl->handle());
}

// The tab handing the keys to its grid brought the grid's tile in front of
// the notes lying over it: the notes were hidden and the keys went to the
// grid instead of the notes the user had typed into.
TEST_F(MainWindowKeyboard, ATileOverTheGridStaysInFrontAndKeepsTheKeysAcrossTabChanges) {
  startWithEnter();
  TportfolioForm& form = *main_->portfolioForm;
  form.notesBtn().performClick();
  ASSERT_TRUE(form.notesBtn().down());
  const HWND notesTile = form.noteEditorContainer().handle();
  const HWND gridTile = form.sheetContainer().handle();
  ASSERT_TRUE(inFrontOf(notesTile, gridTile));
  const HWND editor = form.noteEditPanel().handle();
  const HWND text = ChildWindowFromPointEx(editor, POINT{10, 10}, CWP_SKIPINVISIBLE);
  sendMouse(text, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
  sendMouse(text, WM_LBUTTONUP, 5, 5);
  ASSERT_TRUE(form.noteEditPanel().holdsFocus());

  ctrlTab(1);
  ASSERT_EQ(main_->pageControl->activePageIndex(), TmainForm::assetsTab);
  {
    TKeyState controlShift{VK_CONTROL, VK_SHIFT};
    postKey(focus(), VK_TAB);
  }
  ASSERT_EQ(main_->pageControl->activePageIndex(), TmainForm::portfoliosTab);
  EXPECT_TRUE(inFrontOf(notesTile, gridTile)) << "Ctrl+Shift+Tab";
  EXPECT_EQ(focus(), editor);

  // Round all the tabs and back to the first.
  ctrlTab(TmainForm::tabCount);
  ASSERT_EQ(main_->pageControl->activePageIndex(), TmainForm::portfoliosTab);
  EXPECT_TRUE(inFrontOf(notesTile, gridTile)) << "Ctrl+Tab";
  EXPECT_EQ(focus(), editor);
  postChar(focus(), 'Q');
  EXPECT_NE(portfolioNotesText(*main_).find('Q'), std::string::npos) << "the keys reach the notes";
}

// Started with the notes over the grid, the first arrival at the tab laid
// the grid over them.
TEST_F(MainWindowKeyboard, TheGridTakesTheKeysAtTheStartWithoutComingInFrontOfTheNotes) {
  const std::string controls = work_ + "DATA\\FOLIOS\\FolioControls.INI";
  writeWholeFile(controls, readWholeFile(controls) + "\r\n[Notes]\r\nShow=1\r\nMaximized=1\r\n");
  startWithEnter();
  TportfolioForm& form = *main_->portfolioForm;
  ASSERT_TRUE(form.notesBtn().down());
  EXPECT_TRUE(inFrontOf(form.noteEditorContainer().handle(), form.sheetContainer().handle()));
  EXPECT_EQ(focus(), form.sheetPanel().handle());
}

// A number typed and not confirmed was dropped at close without a word.
TEST_F(MainWindowKeyboard, ANumberLeftInItsEditorIsSavedAtClose) {
  startWithEnter();
  TSheetPanel& grid = atTargetReturn();
  typeOnto(grid, "0.5");
  altF4();
  EXPECT_FALSE(IsWindowVisible(main_->handle())) << "closed";
  EXPECT_TRUE(messages_.texts.empty());
  EXPECT_NE(readWholeFile(folioFolder("1") + "0.INI").find("TargetReturn=0.5\r\n"), std::string::npos);
}

// "abc" with Ctrl+Tab told "is no number" twice and left its editor open on
// the tab left; the close dropped it. Later the close was held by the text,
// told again at every Alt+F4, until the user found Esc: at a close the text
// is given up once told, and the close goes on.
TEST_F(MainWindowKeyboard, ATextRefusedAtATabChangeKeepsTheUserInTheCellAndAtTheCloseIsToldOnceAndGivenUp) {
  startWithEnter();
  TSheetPanel& grid = atTargetReturn();
  const std::string header = readWholeFile(folioFolder("1") + "0.INI");
  typeOnto(grid, "abc");
  ctrlTab(1);
  ASSERT_EQ(messages_.texts.size(), 1u);
  EXPECT_NE(messages_.texts[0].find("\"abc\" is no number"), std::string::npos) << messages_.texts[0];
  EXPECT_EQ(main_->pageControl->activePageIndex(), TmainForm::portfoliosTab);
  EXPECT_TRUE(grid.editing());
  EXPECT_EQ(grid.numberEdit().text(), "abc");
  EXPECT_EQ(focus(), grid.numberEdit().handle());

  clickTab(TmainForm::assetsTab);
  EXPECT_EQ(messages_.texts.size(), 2u) << "a click on a tab";
  EXPECT_EQ(main_->pageControl->activePageIndex(), TmainForm::portfoliosTab);
  EXPECT_TRUE(grid.editing());

  // Esc gives the text up; then the tab changes, and nothing was written.
  postKey(focus(), VK_ESCAPE);
  EXPECT_FALSE(grid.editing());
  EXPECT_EQ(grid.sheet().getCurrentCellText(true), "0.075");
  ctrlTab(1);
  EXPECT_EQ(main_->pageControl->activePageIndex(), TmainForm::assetsTab);
  EXPECT_TRUE(keysReachTheTabShown());
  EXPECT_EQ(messages_.texts.size(), 2u);
  EXPECT_EQ(readWholeFile(folioFolder("1") + "0.INI"), header);

  // Typed again and left at Alt+F4: told once, given up, and the program ends.
  clickTab(TmainForm::portfoliosTab);
  TSheetPanel& again = atTargetReturn();
  typeOnto(again, "abc");
  altF4();
  EXPECT_EQ(messages_.texts.size(), 3u) << "Alt+F4";
  EXPECT_NE(messages_.texts.back().find("\"abc\" is no number"), std::string::npos) << messages_.texts.back();
  EXPECT_FALSE(IsWindowVisible(main_->handle())) << "the close went on";
  EXPECT_EQ(readWholeFile(folioFolder("1") + "0.INI"), header);
}

// A currency the list does not know, left in its editor: No at the close
// kept the text and asked again at every Alt+F4, and only Esc in the cell
// let the program end. At a close No gives the text up and the close goes
// on; at a tab change it keeps the user in the cell, to mend it.
TEST_F(MainWindowKeyboard, ACurrencyDeclinedAtTheCloseIsGivenUpAndTheCloseGoesOn) {
  ASSERT_TRUE(CopyFileA(deliveredLanguageFile().c_str(), (work_ + "Kestrova.LNG").c_str(), FALSE));
  startWithEnter();
  TSheetPanel& grid = atGrowthPortfolios("Currency");
  const std::string header = readWholeFile(folioFolder("1") + "0.INI");
  typeOnto(grid, "678");
  ctrlTab(1);
  ASSERT_EQ(messages_.texts.size(), 1u);
  EXPECT_NE(messages_.texts[0].find("\"678\" is not a currency of the list"), std::string::npos) << messages_.texts[0];
  EXPECT_EQ(main_->pageControl->activePageIndex(), TmainForm::portfoliosTab);
  EXPECT_TRUE(grid.editing());

  altF4();
  EXPECT_EQ(messages_.texts.size(), 2u) << "asked once more, at the close";
  EXPECT_FALSE(grid.editing());
  EXPECT_FALSE(IsWindowVisible(main_->handle())) << "closed";
  EXPECT_EQ(readWholeFile(folioFolder("1") + "0.INI"), header);
}

namespace {

// The System window's rules grid on the Retirement Account's condition
// "MOMENTUM<DIP", holding the keys; its messages are the test's.
TSheetPanel& atTheSystemCondition(TmainForm& main, TMessageBox& messages, const std::string& folder) {
  TPortfolioTable& table = *main.portfolioTable;
  table.setCurrentIndex(table.indexOfFolder(folder));
  main.systemForm->messages = &messages;
  {
    TKeyState control{VK_CONTROL};
    for (int i = 0; i < TmainForm::systemTab; ++i) postKey(GetFocus(), VK_TAB);
  }
  EXPECT_EQ(main.pageControl->activePageIndex(), TmainForm::systemTab);
  TSheetPanel& grid = main.systemForm->grid(TSystemPage::rules);
  TSheet& sheet = grid.sheet();
  bool found = false;
  const POINT used = sheet.getUsedExtent();
  for (int col = 1; col <= used.x && !found; ++col)
    for (int row = 1; row <= used.y && !found; ++row)
      if (sheet.getCellText(col, row, false) == "MOMENTUM<DIP") {
        sheet.setCurrentCell(col, row);
        found = true;
      }
  EXPECT_TRUE(found);
  grid.refresh();
  grid.setFocus();
  return grid;
}

}  // namespace

// The System window asks before it keeps a condition no run could read:
// No at the close once held the close as the currency question did.
TEST_F(MainWindowKeyboard, AConditionDeclinedAtTheCloseIsGivenUpAndTheCloseGoesOn) {
  startWithEnter();
  TSheetPanel& grid = atTheSystemCondition(*main_, messages_, folioFolder("2"));
  for (const std::string& text : messages_.texts) ADD_FAILURE() << text;
  messages_.texts.clear();
  const std::string system = readWholeFile(folioFolder("2") + "System.INI");
  typeOnto(grid, "+");
  altF4();
  ASSERT_EQ(messages_.texts.size(), 1u);
  EXPECT_NE(messages_.texts[0].find("Keep it anyway?"), std::string::npos) << messages_.texts[0];
  EXPECT_FALSE(grid.editing());
  EXPECT_FALSE(IsWindowVisible(main_->handle())) << "closed";
  EXPECT_EQ(readWholeFile(folioFolder("2") + "System.INI"), system);
}

TEST_F(MainWindowKeyboard, ASystemConditionLeftInItsEditorIsSavedAtClose) {
  startWithEnter();
  TSheetPanel& grid = atTheSystemCondition(*main_, messages_, folioFolder("2"));
  for (const std::string& text : messages_.texts) ADD_FAILURE() << text;
  typeOnto(grid, "+0");
  ASSERT_EQ(grid.textEditor().text(), "MOMENTUM<DIP+0");
  altF4();
  for (const std::string& text : messages_.texts) ADD_FAILURE() << text;
  EXPECT_FALSE(IsWindowVisible(main_->handle())) << "closed";
  EXPECT_NE(readWholeFile(folioFolder("2") + "System.INI").find("Condition=\"MOMENTUM<DIP+0\""), std::string::npos);
}

// Rows typed into the quote editor and not committed were lost at close
// without a question.
TEST_F(MainWindowKeyboard, TheCloseAsksToCommitOrDiscardTheQuoteEditorsRows) {
  startWithEnter();
  ctrlTab(TmainForm::quotesTab);
  ASSERT_EQ(main_->pageControl->activePageIndex(), TmainForm::quotesTab);
  TQuoteEditor& editor = quoteEditorOnSecondLine();
  TSheetPanel& grid = editor.quotesPanel();
  TSheet& sheet = grid.sheet();
  ASSERT_GT(grid.maxVisibleRow(), 2);
  const std::string before = sheet.getCellText(2, 2, false);
  sheet.setCurrentCell(2, 2);
  grid.refresh();
  grid.setFocus();
  typeOnto(grid, "77");  // left in its editor
  std::string asked;
  messages_.respond = [&](const std::string& text) {
    asked = text;
    return IDCANCEL;
  };
  altF4();
  EXPECT_NE(asked.find("have changes that are not committed"), std::string::npos) << asked;
  EXPECT_TRUE(IsWindowVisible(main_->handle())) << "Cancel keeps the program and the rows";
  EXPECT_TRUE(editor.rows().modified());
  EXPECT_EQ(sheet.getCellText(2, 2, false), "77");

  messages_.respond = [](const std::string&) { return IDNO; };
  altF4();
  EXPECT_FALSE(IsWindowVisible(main_->handle()));
  EXPECT_EQ(sheet.getCellText(2, 2, false), before) << "discarded";
}

TEST_F(MainWindowKeyboard, YesCommitsTheQuoteEditorsRowsBeforeTheClose) {
  startWithEnter();
  ctrlTab(TmainForm::quotesTab);
  TQuoteEditor& editor = quoteEditorOnSecondLine();
  TSheetPanel& grid = editor.quotesPanel();
  ASSERT_GT(grid.maxVisibleRow(), 2);
  TAsset* asset = main_->portfolioTable->current()->assets(main_->quoteForm->dataSheet().selectedObjectIndex());
  ASSERT_NE(asset, nullptr);
  grid.sheet().setCurrentCell(2, 2);
  grid.refresh();
  grid.setFocus();
  typeOnto(grid, "77.25");
  postKey(focus(), VK_RETURN);
  ASSERT_TRUE(editor.rows().modified());
  messages_.answer = IDYES;
  altF4();
  EXPECT_EQ(messages_.texts.size(), 1u);
  EXPECT_FALSE(IsWindowVisible(main_->handle()));
  const std::string file = asset->PriceHistoryLocation();
  EXPECT_NE(readWholeFile(file).find("77.25"), std::string::npos) << file;
}
