#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "app/DownloadForm.h"
#include "controls/SheetPanel.h"
#include "platform/ExtControls.h"
#include "platform/Menu.h"
#include "platform/PageControl.h"
#include "platform/Panel.h"
#include "tests/support/MainWindowFixture.h"
#include "tests/support/ToolButtonPictures.h"
#include "tests/support/WindowTestSupport.h"
#include "windows/PortfolioForm.h"

namespace {

void collectToolButtons(const TControl& control, std::vector<const TToolButton*>& found) {
  for (const TControl* child : control.children()) {
    if (const auto* button = dynamic_cast<const TToolButton*>(child)) found.push_back(button);
    collectToolButtons(*child, found);
  }
}

}  // namespace

using MainWindowControls = MainWindowTest;

TEST_F(MainWindowControls, EveryToolButtonOfTheTabsAndTheMenuPanelShowsItsHint) {
  std::vector<const TToolButton*> buttons;
  collectToolButtons(*main_, buttons);
  ASSERT_GT(buttons.size(), 60u);
  for (const TToolButton* button : buttons) {
    char caption[64] = {};
    GetWindowTextA(button->handle(), caption, sizeof caption);
    EXPECT_FALSE(registeredToolTip(button->handle()).empty()) << caption;
  }
  EXPECT_EQ(registeredToolTip(main_->reloadBtn->handle()), "Reload quotes");
}

// No tool button shows a letter or a word where a picture belongs: every
// one of every tab, and beside the tabs, shows colours (which no caption
// text has), enabled or not at the moment. Bars a tab shows only with a
// portfolio open are shown for the look.
TEST_F(MainWindowControls, EveryToolButtonOnEveryTabShowsAPicture) {
  main_->firstActivation = false;  // no loading
  main_->showModeless();
  std::set<const TToolButton*> seen;
  for (int tab = TmainForm::portfoliosTab; tab <= TmainForm::webTab; ++tab) {
    main_->pageControl->setActivePageIndex(tab);
    pumpFor(50);
    std::vector<const TToolButton*> buttons;
    collectToolButtons(*main_, buttons);
    for (const TToolButton* found : buttons) {
      if (seen.count(found)) continue;
      // The hidden controls around the button, up to the first shown one;
      // none of them a tab page other than the shown one.
      std::vector<TControl*> hidden;
      bool onOtherPage = false;
      for (TControl* control = found->parent(); control && !IsWindowVisible(control->handle());
           control = control->parent()) {
        if (control->parent() == main_->pageControl) onOtherPage = true;
        hidden.push_back(control);
      }
      if (onOtherPage) continue;
      seen.insert(found);
      for (auto at = hidden.rbegin(); at != hidden.rend(); ++at) (*at)->show();
      auto& button = const_cast<TToolButton&>(*found);
      const bool wasEnabled = button.enabled();
      button.setEnabled(true);
      EXPECT_GE(colouredPixels(button), 8) << "tab " << tab << ": " << button.text();
      button.setEnabled(wasEnabled);
      for (TControl* control : hidden) control->hide();
    }
  }
  std::vector<const TToolButton*> all;
  collectToolButtons(*main_, all);
  EXPECT_EQ(seen.size(), all.size());
}

TEST_F(MainWindowControls, CtrlTabAndCtrlPageKeysChangeTheTabFromInsideAGrid) {
  main_->firstActivation = false;  // no loading
  main_->showModeless();
  main_->pageControl->setActivePageIndex(TmainForm::portfoliosTab);
  TSheetPanel& grid = main_->portfolioForm->sheetPanel();
  grid.setFocus();
  {
    TKeyState control{VK_CONTROL};
    postKey(grid.handle(), VK_TAB);
    EXPECT_EQ(main_->pageControl->activePageIndex(), TmainForm::assetsTab);
    postKey(GetFocus() ? GetFocus() : main_->handle(), VK_NEXT);
    EXPECT_EQ(main_->pageControl->activePageIndex(), TmainForm::quotesTab);
    postKey(main_->handle(), VK_PRIOR);
    EXPECT_EQ(main_->pageControl->activePageIndex(), TmainForm::assetsTab);
  }
  {
    TKeyState controlShift{VK_CONTROL, VK_SHIFT};
    postKey(main_->handle(), VK_TAB);
    postKey(main_->handle(), VK_TAB);
    EXPECT_EQ(main_->pageControl->activePageIndex(), TmainForm::webTab);  // round the start
  }
  // A plain Tab stays with the control.
  postKey(main_->handle(), VK_TAB);
  EXPECT_EQ(main_->pageControl->activePageIndex(), TmainForm::webTab);
}

TEST_F(MainWindowControls, TheMenuButtonsNeverCoverATab) {
  main_->firstActivation = false;
  main_->showModeless();
  for (const int width : {1200, 700, 400, 200}) {
    main_->setBounds(0, 0, width, 500);
    pumpFor(50);
    RECT lastTab{};
    ASSERT_TRUE(TabCtrl_GetItemRect(main_->pageControl->handle(), TmainForm::tabCount - 1, &lastTab));
    EXPECT_LE(lastTab.right, main_->menuPanel->left()) << width;
    EXPECT_LE(main_->menuPanel->left() + main_->menuPanel->width(), main_->clientWidth()) << width;
  }
}

namespace {

// How often the control's menu opened from the keyboard; each opening is
// closed again at once.
int keyboardMenuOpenings(TControl& control, TPopupMenu& menu, const std::function<void()>& press) {
  int opened = 0;
  const auto before = menu.onPopup;
  menu.onPopup = [&] {
    ++opened;
    PostMessageA(control.handle(), WM_CANCELMODE, 0, 0);
    SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
      KillTimer(nullptr, id);
      EndMenu();
    });
    if (before) before();
  };
  control.setFocus();
  press();
  pumpUntil([&] { return opened > 0; });
  pumpFor(300);  // time for a second opening, which must not come
  menu.onPopup = before;
  return opened;
}

}  // namespace

TEST_F(MainWindowControls, ShiftF10AndTheMenuKeyOpenTheFocusedControlsMenu) {
  main_->firstActivation = false;
  main_->showModeless();
  main_->pageControl->setActivePageIndex(TmainForm::portfoliosTab);
  TSheetPanel& grid = main_->portfolioForm->sheetPanel();
  TPopupMenu& menu = main_->portfolioForm->sheetPopupMenu();
  EXPECT_EQ(keyboardMenuOpenings(grid, menu,
                                 [&] {
                                   TKeyState shift{VK_SHIFT};
                                   PostMessageA(grid.handle(), WM_SYSKEYDOWN, VK_F10, 0);
                                   PostMessageA(grid.handle(), WM_SYSKEYUP, VK_F10, 0xC0000000);
                                   pumpFor(100);
                                 }),
            1);
  EXPECT_EQ(keyboardMenuOpenings(grid, menu, [&] { postKey(grid.handle(), VK_APPS); }), 1);
}

TEST_F(MainWindowControls, TheReloadButtonShowsAGreenArrowOnlyWhileQuotesWait) {
  main_->firstActivation = false;
  main_->showModeless();
  const auto countGreen = [&] {
    const TScreenImage image = captureClient(main_->reloadBtn->handle());
    int green = 0, grey = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        green += image.pixel(x, y) == rgbOf(0x008000) ? 1 : 0;
        grey += image.pixel(x, y) == rgbOf(clGrayText) ? 1 : 0;
      }
    return std::pair{green, grey};
  };
  ASSERT_FALSE(main_->reloadBtn->enabled());
  const auto [greenOff, greyOff] = countGreen();
  EXPECT_EQ(greenOff, 0);
  EXPECT_GT(greyOff, 10);
  main_->reloadBtn->setEnabled(true);
  const auto [greenOn, greyOn] = countGreen();
  EXPECT_GT(greenOn, 10);
  EXPECT_EQ(greyOn, 0);
}
