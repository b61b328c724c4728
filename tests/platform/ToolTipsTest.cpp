#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "platform/DateTimePicker.h"
#include "platform/ExtControls.h"
#include "platform/Form.h"
#include "platform/GdiObjects.h"
#include "platform/Panel.h"
#include "platform/StdControls.h"
#include "platform/ToolTips.h"
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

namespace {

// The width of a line as drawn in the font: its last inked column, found on
// a bitmap off the screen. Wine draws some letters wider than it measures
// them, so no measuring call tells it.
int drawnWidth(HFONT font, const std::string& text) {
  const TWindowDC screen(nullptr);
  const TMemoryDC dc(screen.get());
  const TBitmapHandle bitmap(CreateCompatibleBitmap(screen.get(), 400, 40));
  const TSelectedObject selectedBitmap(dc.get(), bitmap.get());
  const TSelectedObject selectedFont(dc.get(), font);
  RECT area{0, 0, 400, 40};
  FillRect(dc.get(), &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  TextOutA(dc.get(), 0, 0, text.c_str(), static_cast<int>(text.size()));
  int width = 0;
  for (int x = 0; x < 400; ++x)
    for (int y = 0; y < 40; ++y)
      if ((GetPixel(dc.get(), x, y) & 0xFFFFFF) != 0xFFFFFF) width = x + 1;
  return width;
}

}  // namespace

// A tip holds its text whole: the text area of the tip window (its client
// area less the two pixels the tip keeps free on either side) is at least
// as wide as the text drawn in the tip's font. Hints of many "w" were cut.
// A date picker is a frame around the system's picker, an editable combo
// box holds an edit: the mouse rests on those inner windows, and the hint
// shows there.
TEST(ToolTips, AHintShowsOnTheWindowsInsideItsControl) {
  TForm form(mainWindowOptions("Inner", 300, 200));
  TDateTimePicker& picker = form.add<TDateTimePicker>();
  picker.setBounds(10, 10, 120, 24);
  TComboBox& days = form.add<TComboBox>(TComboStyle::dropDown);
  days.setBounds(10, 50, 80, 24);
  TToolTips hints(form);
  hints.setHint(picker, "From date");
  hints.setHint(days, "Days in range");
  HWND daysEdit = FindWindowExA(days.handle(), nullptr, "Edit", nullptr);
  ASSERT_NE(daysEdit, nullptr);
  EXPECT_EQ(registeredToolTip(picker.picker().handle()), "From date");
  EXPECT_EQ(registeredToolTip(daysEdit), "Days in range");
  EXPECT_EQ(hints.hint(picker), "From date");

  form.showModeless();
  const std::vector<HWND> tips = tipWindowsOf(form.handle());
  ASSERT_EQ(tips.size(), 1u);
  POINT cursor{};
  GetCursorPos(&cursor);
  for (const auto& [inner, text] : {std::pair<HWND, const char*>{picker.picker().handle(), "From date"},
                                    std::pair<HWND, const char*>{daysEdit, "Days in range"}}) {
    SendMessageA(tips[0], TTM_POP, 0, 0);
    RECT place{};
    GetWindowRect(inner, &place);
    SetCursorPos((place.left + place.right) / 2, (place.top + place.bottom) / 2);
    PostMessageA(inner, WM_MOUSEMOVE, 0, MAKELPARAM((place.right - place.left) / 2, (place.bottom - place.top) / 2));
    EXPECT_TRUE(pumpUntil([&] { return IsWindowVisible(tips[0]) != FALSE; }, 3000)) << text;
    char shown[64] = {};
    GetWindowTextA(tips[0], shown, sizeof shown);
    EXPECT_STREQ(shown, text);
  }
  SetCursorPos(cursor.x, cursor.y);

  // An empty text takes the hint off every window of the control.
  hints.setHint(days, "");
  EXPECT_EQ(registeredToolTip(daysEdit), "");
}

TEST(ToolTips, TheTipWindowIsWideEnoughForItsText) {
  TForm form(mainWindowOptions("Tools", 400, 200));
  TPanel& bar = form.add<TPanel>();
  bar.setBounds(0, 0, 400, 30);
  std::vector<TToolButton*> buttons;
  const std::vector<std::string> hints = {"One day forward", "New browser", "Field type", "W", "Www www www"};
  for (size_t i = 0; i < hints.size(); ++i) {
    TToolButton& button = bar.add<TToolButton>(std::to_string(i));
    button.setBounds(static_cast<int>(i) * 30, 0, 23, 22);
    button.setHint(hints[i]);
    buttons.push_back(&button);
  }
  form.showModeless();
  const HWND tips = tipWindowsOf(form.handle()).at(0);
  POINT cursor{};
  GetCursorPos(&cursor);
  for (size_t i = 0; i < hints.size(); ++i) {
    SCOPED_TRACE(hints[i]);
    ShowWindow(tips, SW_HIDE);
    RECT place{};
    GetWindowRect(buttons[i]->handle(), &place);
    SetCursorPos((place.left + place.right) / 2, (place.top + place.bottom) / 2);
    PostMessageA(buttons[i]->handle(), WM_MOUSEMOVE, 0, MAKELPARAM(11, 11));
    char shown[64] = {};
    ASSERT_TRUE(pumpUntil(
        [&] {
          GetWindowTextA(tips, shown, sizeof shown);
          return IsWindowVisible(tips) && hints[i] == shown;
        },
        3000));
    pumpFor(50);
    RECT client{}, margin{};
    GetClientRect(tips, &client);
    SendMessageA(tips, TTM_GETMARGIN, 0, reinterpret_cast<LPARAM>(&margin));
    const int textArea = client.right - 4 - margin.left - margin.right;
    EXPECT_GE(textArea, drawnWidth(reinterpret_cast<HFONT>(SendMessageA(tips, WM_GETFONT, 0, 0)), hints[i]));
  }
  SetCursorPos(cursor.x, cursor.y);
}
