#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "platform/ExtControls.h"
#include "platform/Form.h"
#include "platform/Panel.h"
#include "tests/support/WindowTestSupport.h"

namespace {

// The tool-tip windows of this thread owned by a top-level window.
std::vector<HWND> tipWindowsOf(HWND owner) {
  std::pair<HWND, std::vector<HWND>> search{owner, {}};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM data) -> BOOL {
        auto& [wanted, found] = *reinterpret_cast<std::pair<HWND, std::vector<HWND>>*>(data);
        char className[64] = {};
        GetClassNameA(window, className, sizeof className);
        if (lstrcmpiA(className, TOOLTIPS_CLASSA) == 0 && GetWindow(window, GW_OWNER) == wanted)
          found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.second;
}

LRESULT toolCount(HWND tips) { return SendMessageA(tips, TTM_GETTOOLCOUNT, 0, 0); }

}  // namespace

TEST(ToolTips, TheButtonsOfAWindowShareOneTipWindowAndEachKeepsItsOwnHint) {
  TForm form(mainWindowOptions("Tools", 300, 200));
  TPanel& bar = form.add<TPanel>();
  TPanel& inner = bar.add<TPanel>();
  TToolButton& first = bar.add<TToolButton>("1");
  TToolButton& second = bar.add<TToolButton>("2");
  TToolButton& nested = inner.add<TToolButton>("3");
  first.setHint("First");
  second.setHint("Second");
  nested.setHint("Nested");

  const std::vector<HWND> tips = tipWindowsOf(form.handle());
  ASSERT_EQ(tips.size(), 1u);
  EXPECT_EQ(toolCount(tips[0]), 3);
  EXPECT_EQ(first.hint(), "First");
  EXPECT_EQ(registeredToolTip(second.handle()), "Second");
  EXPECT_EQ(registeredToolTip(nested.handle()), "Nested");

  // The mouse resting on a button shows its hint.
  form.showModeless();
  nested.setBounds(40, 0, 23, 22);
  RECT place{};
  GetWindowRect(nested.handle(), &place);
  POINT cursor{};
  GetCursorPos(&cursor);
  SetCursorPos((place.left + place.right) / 2, (place.top + place.bottom) / 2);
  PostMessageA(nested.handle(), WM_MOUSEMOVE, 0, MAKELPARAM(11, 11));
  const bool shownOnRest = pumpUntil([&] { return IsWindowVisible(tips[0]) != FALSE; }, 3000);
  SetCursorPos(cursor.x, cursor.y);
  ASSERT_TRUE(shownOnRest);
  char shown[64] = {};
  GetWindowTextA(tips[0], shown, sizeof shown);
  EXPECT_STREQ(shown, "Nested");

  // A button that goes takes its hint along and leaves the others theirs.
  {
    TToolButton passing(&bar, "4");
    passing.setHint("Passing");
    EXPECT_EQ(toolCount(tips[0]), 4);
  }
  EXPECT_EQ(toolCount(tips[0]), 3);
  EXPECT_EQ(registeredToolTip(first.handle()), "First");

  // A new text replaces the old one; an empty one removes the hint.
  second.setHint("Other");
  EXPECT_EQ(second.hint(), "Other");
  EXPECT_EQ(toolCount(tips[0]), 3);
  second.setHint("");
  EXPECT_EQ(second.hint(), "");
  EXPECT_EQ(toolCount(tips[0]), 2);

  // Another window keeps hints of its own.
  TForm other(mainWindowOptions("Other", 300, 200));
  TToolButton& elsewhere = other.add<TToolButton>("5");
  elsewhere.setHint("Elsewhere");
  ASSERT_EQ(tipWindowsOf(other.handle()).size(), 1u);
  EXPECT_NE(tipWindowsOf(other.handle())[0], tips[0]);
  EXPECT_EQ(elsewhere.hint(), "Elsewhere");
  EXPECT_EQ(toolCount(tips[0]), 2);
}
