#include <gtest/gtest.h>

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
#include "tests/support/MainWindowFixture.h"
#include "tests/support/ScriptedMessageBox.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestSupport.h"
#include "windows/AssetForm.h"
#include "windows/FolioPickForm.h"
#include "windows/PortfolioForm.h"
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
    TModalDriver driver(picks, {[&] { accept(GetFocus()); }});
    main_->showModeless();
    ASSERT_TRUE(pumpUntil([&] { return !main_->firstActivation && !main_->activating(); }, 20000));
    pumpFor(200);
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
  RECT quotes{};
  ASSERT_TRUE(TabCtrl_GetItemRect(main_->pageControl->handle(), TmainForm::quotesTab, &quotes));
  const int x = (quotes.left + quotes.right) / 2, y = (quotes.top + quotes.bottom) / 2;
  PostMessageA(main_->pageControl->handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageA(main_->pageControl->handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  pumpFor(200);
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
