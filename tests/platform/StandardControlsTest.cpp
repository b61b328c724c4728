#include <gtest/gtest.h>

#include <commctrl.h>

#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/CalendarDates.h"
#include "platform/ComCtrls.h"
#include "platform/DateTime.h"
#include "platform/DateTimePicker.h"
#include "platform/ExtControls.h"
#include "platform/Form.h"
#include "platform/ListView.h"
#include "platform/PageControl.h"
#include "platform/Panel.h"
#include "platform/StdControls.h"
#include "tests/support/WindowTestSupport.h"

namespace {

TFormOptions dialogOptions() {
  TFormOptions options;
  options.caption = "Dialog";
  options.clientWidth = 300;
  options.clientHeight = 200;
  options.border = TBorderStyle::dialog;
  return options;
}

// A drawn control that claims every key, as the grid and the editors do.
class TAllKeysPanel : public TPanel {
 public:
  explicit TAllKeysPanel(TControl* parent) : TPanel(parent) { setTabStop(true); }
  std::vector<WORD> keys;

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_GETDLGCODE) return DLGC_WANTALLKEYS;
    return TPanel::handleMessage(message, wParam, lParam);
  }
  void keyDown(WORD& key, TShiftState shift) override {
    keys.push_back(key);
    TPanel::keyDown(key, shift);
  }
};

}  // namespace

TEST(StandardControls, EnterAndEscPressTheDialogButtonsUnlessTheFocusedControlWantsThem) {
  TForm form(dialogOptions());
  auto& edit = form.add<TEdit>("text");
  edit.setBounds(10, 10, 100, 22);
  auto& grid = form.add<TAllKeysPanel>();
  grid.setBounds(10, 40, 100, 50);
  auto& ok = form.add<TButton>("&OK");
  ok.setBounds(10, 150, 75, 23);
  ok.modalResult = mrOk;
  ok.setDefault(true);
  auto& cancel = form.add<TButton>("Cancel");
  cancel.setBounds(100, 150, 75, 23);
  cancel.modalResult = mrCancel;
  cancel.setCancel(true);
  int okClicks = 0;
  ok.onClick = [&] { ++okClicks; };

  {
    TModalDriver driver(form, {[&] { grid.setFocus(); },
                               [&] { postKey(grid.handle(), VK_RETURN); },  // the grid keeps Enter
                               [&] { edit.setFocus(); },
                               [&] { postKey(edit.handle(), VK_RETURN); }});
    EXPECT_EQ(form.showModal(), mrOk);
  }
  EXPECT_EQ(okClicks, 1);
  EXPECT_EQ(grid.keys, std::vector<WORD>{VK_RETURN});

  TModalDriver escaper(form, {[&] { postKey(edit.handle(), VK_ESCAPE); }});
  EXPECT_EQ(form.showModal(), mrCancel);
  EXPECT_EQ(okClicks, 1);
}

// Esc in a multi-line edit is a key press for its owner; the edit's window,
// its panel and its window all stay.
TEST(StandardControls, EscInAMemoClosesNeitherItsPanelNorItsWindow) {
  TForm form(mainWindowOptions("Memos", 300, 200));
  auto& panel = form.add<TPanel>();
  panel.setBounds(10, 10, 200, 60);
  auto& inPanel = panel.add<TMemo>();
  inPanel.setBounds(5, 5, 150, 40);
  auto& onForm = form.add<TMemo>();
  onForm.setBounds(10, 100, 200, 60);
  int closes = 0;
  form.onClose = [&] { ++closes; };
  std::vector<char> pressed;
  for (TMemo* memo : {&inPanel, &onForm}) memo->onKeyPress = [&](char& key) { pressed.push_back(key); };
  form.showModeless();
  for (TMemo* memo : {&inPanel, &onForm}) {
    memo->setFocus();
    postKey(memo->handle(), VK_ESCAPE);
    pumpFor(50);
  }
  EXPECT_TRUE(IsWindow(panel.handle()));
  EXPECT_TRUE(IsWindow(inPanel.handle()));
  EXPECT_TRUE(IsWindowVisible(form.handle()));
  EXPECT_EQ(closes, 0);
  EXPECT_EQ(pressed, (std::vector<char>{27, 27}));
  form.close();
}

// A multi-line edit claims Tab; one that cannot be changed lets Tab and
// Shift+Tab move on.
TEST(StandardControls, TabAndShiftTabMoveOnFromAReadOnlyMemo) {
  TForm form(mainWindowOptions("Memos", 300, 200));
  auto& before = form.add<TEdit>("before");
  before.setBounds(10, 10, 100, 22);
  auto& memo = form.add<TMemo>();
  memo.setBounds(10, 40, 200, 60);
  memo.setReadOnly(true);
  auto& after = form.add<TEdit>("after");
  after.setBounds(10, 110, 100, 22);
  form.showModeless();
  memo.setFocus();
  postKey(memo.handle(), VK_TAB);
  EXPECT_EQ(GetFocus(), after.handle());
  memo.setFocus();
  {
    TKeyState shift{VK_SHIFT};
    postKey(memo.handle(), VK_TAB);
  }
  EXPECT_EQ(GetFocus(), before.handle());
  EXPECT_EQ(memo.text(), "");

  memo.setReadOnly(false);
  memo.setFocus();
  postKey(memo.handle(), VK_TAB);
  EXPECT_EQ(GetFocus(), memo.handle());
  form.close();
}

TEST(StandardControls, ListViewSortsByHeaderKeyAndWalksTheSelection) {
  TForm form(dialogOptions());
  auto& list = form.add<TListView>(TListViewOptions{.multiSelect = true});
  list.setBounds(0, 0, 300, 200);
  list.addColumn("Name", 100);
  list.addColumn("Symbol", 60);
  const std::vector<std::pair<std::string, std::string>> rows{{"beta", "B"}, {"Alpha", "c"}, {"gamma", "a"}};
  for (size_t i = 0; i < rows.size(); ++i) {
    const int row = list.addItem(rows[i].first, static_cast<LPARAM>(i + 10));
    list.setItemText(row, 1, rows[i].second);
  }
  list.toggleSortKey(1);
  EXPECT_EQ(list.tag, 2);
  list.sortByColumn(1, list.tag < 0, false);
  EXPECT_EQ(list.itemText(0, 1), "a");
  EXPECT_EQ(list.itemText(2, 1), "c");
  list.toggleSortKey(1);  // the same header again: descending
  EXPECT_EQ(list.tag, -2);
  list.sortByColumn(1, list.tag < 0, false);
  EXPECT_EQ(list.itemData(0), 11);
  list.sortByColumn(0, false, true);
  EXPECT_EQ(list.itemText(0), "Alpha");
  EXPECT_EQ(list.findData(12), 2);

  list.setSelected(0, true);
  list.setSelected(2, true);
  EXPECT_EQ(list.selectedCount(), 2);
  EXPECT_EQ(list.nextSelected(-1), 0);
  EXPECT_EQ(list.nextSelected(0), 2);
  EXPECT_EQ(list.nextSelected(2), -1);
  EXPECT_EQ(list.previousSelected(list.itemCount()), 2);
  EXPECT_EQ(list.previousSelected(2), 0);
  EXPECT_EQ(list.previousSelected(0), -1);
  list.setItemIndex(1);
  EXPECT_EQ(list.selectedCount(), 1);
  EXPECT_EQ(list.itemIndex(), 1);
}

TEST(StandardControls, ListViewChecksStateImagesAndScrollsRowsIntoView) {
  TForm form(dialogOptions());
  auto& list = form.add<TListView>(TListViewOptions{.checkBoxes = true});
  list.setBounds(0, 0, 300, 120);
  list.addColumn("Name", 100);
  form.showModeless();
  std::vector<int> checkedRows;
  list.onItemChecked = [&](int row) { checkedRows.push_back(row); };
  list.beginUpdate();
  for (int i = 0; i < 200; ++i) list.addItem("row " + std::to_string(i), i);
  list.endUpdate();
  list.setChecked(3, true);
  EXPECT_TRUE(list.checked(3));
  EXPECT_FALSE(list.checked(4));
  EXPECT_FALSE(checkedRows.empty());
  EXPECT_EQ(list.topIndex(), 0);
  list.setItemIndex(150);
  EXPECT_GT(list.topIndex(), 100);
  const RECT row = list.itemRect(150);
  EXPECT_GE(row.top, 0);
  EXPECT_LE(row.bottom, list.clientHeight());
}

TEST(StandardControls, ScrollBarsStepPastSixteenBitsAndBandsKeepTheirLayout) {
  TForm form(dialogOptions());
  auto& bar = form.add<TScrollBar>(false);
  bar.setBounds(0, 0, 200, 17);
  bar.setParams(100000, 0, 200000, 10);
  bar.largeChange = 5000;
  int seen = -1;
  bar.onScroll = [&](int, int& position) { seen = position; };
  SendMessageA(form.handle(), WM_HSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), reinterpret_cast<LPARAM>(bar.handle()));
  EXPECT_EQ(seen, 105000);
  EXPECT_EQ(bar.position(), 105000);
  SendMessageA(form.handle(), WM_HSCROLL, MAKEWPARAM(SB_BOTTOM, 0), reinterpret_cast<LPARAM>(bar.handle()));
  EXPECT_EQ(bar.position(), 200000 - 10 + 1);

  auto& bands = form.add<TControlBar>();
  auto& first = bands.add<TPanel>();
  first.name = "fileBar";
  first.setBounds(0, 0, 80, 22);
  auto& second = bands.add<TPanel>();
  second.name = "editBar";
  second.setBounds(0, 0, 80, 22);
  bands.addBand(first, 120);
  bands.addBand(second, 150);
  bands.setLayout({{"editBar", 140, false}, {"fileBar", 130, true}});
  const std::vector<TBandLayout> layout = bands.layout();
  ASSERT_EQ(layout.size(), 2u);
  EXPECT_EQ(layout[0].name, "editBar");
  EXPECT_EQ(layout[1].name, "fileBar");
  EXPECT_TRUE(layout[1].newRow);
  EXPECT_FALSE(layout[0].newRow);
}

TEST(StandardControls, GroupBoxInsideShowsItsParentsColour) {
  TForm form(dialogOptions());
  form.setColor(clWindow);
  auto& group = form.add<TGroupBox>("Group");
  group.setBounds(10, 10, 200, 150);
  form.showModeless();
  pumpFor(200);
  const TScreenImage picture = captureClient(group.handle());
  EXPECT_TRUE(picture.pixelIs(100, 80, clWindow));
  EXPECT_TRUE(picture.pixelIs(20, 130, clWindow));
}

TEST(StandardControls, AnEditableComboBoxTakesTypedTextBeyondItsWidth) {
  TForm form(dialogOptions());
  auto& box = form.add<TComboBox>(TComboStyle::dropDown);
  box.setBounds(10, 10, 60, 24);
  form.showModeless();
  const HWND edit = GetWindow(box.handle(), GW_CHILD);
  ASSERT_NE(edit, nullptr);
  const std::string typed = "AVERAGE(RETURNS)*SQRT(252)/STDEV(RETURNS)";
  for (const char c : typed) postChar(edit, c);
  pumpFor(50);
  EXPECT_EQ(box.text(), typed);
}

// A tab given a shorter caption, or a last tab taken away, leaves nothing of
// itself beside the tabs: the strip right of the last tab shows the page
// control's colour only.
TEST(StandardControls, ShorterOrFewerTabsLeaveNoPieceOfTheOldOnes) {
  TForm form(mainWindowOptions("Tabs", 400, 120));
  auto& pages = form.add<TPageControl>();
  pages.setBounds(10, 10, 380, 24);
  pages.own(std::make_unique<TTabSheet>(&pages, "Notes"));
  TTabSheet& object = pages.own(std::make_unique<TTabSheet>(&pages, "Retirement Account"));
  auto last = std::make_unique<TTabSheet>(&pages, "Euro Bond Fund");
  form.showModeless();
  pumpFor(100);
  const auto tabRight = [&](int index) {
    RECT tab{};
    TabCtrl_GetItemRect(pages.handle(), index, &tab);
    return tab;
  };
  const auto stripIsClearBetween = [&](int left, int right, const RECT& tab) {
    const TScreenImage strip = captureClient(pages.handle());
    for (int x = left; x < right; ++x)
      for (int y = tab.top; y < tab.bottom - 2; ++y)
        if (!strip.pixelIs(x, y, clBtnFace)) return false;
    return true;
  };
  const RECT before = tabRight(2);
  object.setCaption("Growth Portfolio");
  pumpFor(100);
  const RECT after = tabRight(2);
  ASSERT_LT(after.right, before.right);
  EXPECT_TRUE(stripIsClearBetween(after.right + 1, before.right + 2, before)) << "after the rename";
  last.reset();
  pumpFor(100);
  EXPECT_TRUE(stripIsClearBetween(tabRight(1).right + 1, after.right + 2, after)) << "after the last tab went";
}

// Under Wine a tab chosen with the arrow keys left the tab it came from
// marked as pressed, and from then on every click on a tab was taken for a
// click among pressed buttons: the user could no longer leave the page with
// the mouse.
TEST(StandardControls, TabsChosenByKeyStillAnswerClicks) {
  TForm form(mainWindowOptions("Tabs", 400, 200));
  auto& pages = form.add<TPageControl>();
  pages.setAlign(TAlign::client);
  for (const char* caption : {"First", "Second", "Third", "Fourth"}) {
    pages.own(std::make_unique<TTabSheet>(&pages, caption));
  }
  int changes = 0;
  pages.onChange = [&] { ++changes; };
  form.showModeless();
  pages.setFocus();
  const auto clickTab = [&](int index) {
    RECT tab{};
    SendMessageA(pages.handle(), TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&tab));
    sendMouse(pages.handle(), WM_LBUTTONDOWN, (tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2, MK_LBUTTON);
    sendMouse(pages.handle(), WM_LBUTTONUP, (tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
    pumpFor(50);
  };

  sendKey(pages.handle(), VK_RIGHT);
  EXPECT_EQ(pages.activePageIndex(), 1);
  clickTab(3);
  EXPECT_EQ(pages.activePageIndex(), 3);
  EXPECT_TRUE(pages.page(3)->visible());
  EXPECT_FALSE(pages.page(1)->visible());
  sendKey(pages.handle(), VK_LEFT);
  EXPECT_EQ(pages.activePageIndex(), 2);
  clickTab(0);
  EXPECT_EQ(pages.activePageIndex(), 0);
  EXPECT_EQ(changes, 4);
}

// A hidden window keeps the focus it holds: the keys typed after a page
// change went on reaching the page left, which the user no longer sees.
TEST(StandardControls, APageChangeTakesTheFocusAlongToThePageShown) {
  TForm form(mainWindowOptions("Tabs", 400, 200));
  auto& pages = form.add<TPageControl>();
  pages.setAlign(TAlign::client);
  std::vector<TEdit*> edits;
  for (const char* caption : {"First", "Second"}) {
    TTabSheet& page = pages.own(std::make_unique<TTabSheet>(&pages, caption));
    edits.push_back(&page.add<TEdit>());
    edits.back()->setBounds(10, 10, 100, 22);
  }
  TTabSheet& empty = pages.own(std::make_unique<TTabSheet>(&pages, "Empty"));
  form.showModeless();
  pages.setActivePageIndex(0);
  edits[0]->setFocus();
  pages.setActivePageIndex(1);
  EXPECT_EQ(GetFocus(), edits[1]->handle()) << "by code";
  pages.setFocus();
  sendKey(pages.handle(), VK_LEFT);
  EXPECT_EQ(GetFocus(), pages.handle()) << "the tab row keeps what it has";
  edits[0]->setFocus();
  pages.selectNextPage(true);
  EXPECT_EQ(GetFocus(), edits[1]->handle()) << "as by Ctrl+Tab";
  pages.selectNextPage(true);
  EXPECT_EQ(GetFocus(), empty.handle()) << "a page without a tab stop holds the keys itself";
  postKey(GetFocus(), 'X');
  EXPECT_EQ(edits[1]->text(), "");
}

// Back on a page the keys went to its first tab stop, not to the control
// the user had left them in.
TEST(StandardControls, APageShownAgainGivesTheKeysBackWhereTheUserLeftThem) {
  TForm form(mainWindowOptions("Tabs", 400, 200));
  auto& pages = form.add<TPageControl>();
  pages.setAlign(TAlign::client);
  TTabSheet& first = pages.own(std::make_unique<TTabSheet>(&pages, "First"));
  TEdit& top = first.add<TEdit>();
  top.setBounds(10, 10, 100, 22);
  TEdit& bottom = first.add<TEdit>();
  bottom.setBounds(10, 40, 100, 22);
  TTabSheet& second = pages.own(std::make_unique<TTabSheet>(&pages, "Second"));
  TEdit& other = second.add<TEdit>();
  other.setBounds(10, 10, 100, 22);
  form.showModeless();
  pages.setActivePageIndex(0);
  bottom.setFocus();
  pages.selectNextPage(true);
  ASSERT_EQ(GetFocus(), other.handle());
  pages.selectNextPage(true);
  EXPECT_EQ(GetFocus(), bottom.handle());
  EXPECT_EQ(first.lastFocused(), &bottom);

  // A control hidden meanwhile cannot take them: the first tab stop does.
  pages.selectNextPage(true);
  bottom.hide();
  EXPECT_EQ(first.lastFocused(), nullptr);
  pages.selectNextPage(true);
  EXPECT_EQ(GetFocus(), top.handle());
}

// Wine's picker took the focus with no field selected, so a date typed as
// it is written went nowhere until an arrow key chose a field, and the
// separators did not move on to the next field.
TEST(StandardControls, ADateOrTimeTypedAsWrittenFillsThePickersFields) {
  TForm form(mainWindowOptions("Dates", 300, 100));
  TEdit& other = form.add<TEdit>();
  other.setBounds(10, 40, 100, 22);
  TDateTimePicker& picker = form.add<TDateTimePicker>();
  picker.setBounds(10, 10, 150, 22);
  form.showModeless();
  double day = 0;
  encodeDate(2022, 11, 2, day);
  // Each time into a picker that takes the focus afresh.
  const auto typeInto = [&](const std::string& text) {
    other.setFocus();
    picker.picker().setFocus();
    for (const char c : text) {
      if (std::isdigit(static_cast<unsigned char>(c)))
        postKey(picker.picker().handle(), c);  // the digits' keys give their characters
      else
        postChar(picker.picker().handle(), c);
    }
  };
  const auto shown = [&] {
    int year = 0, month = 0, dayOfMonth = 0;
    decodeDate(picker.dateTime(), year, month, dayOfMonth);
    return std::to_string(year) + "-" + std::to_string(month) + "-" + std::to_string(dayOfMonth);
  };
  picker.setDateTime(day);
  typeInto("11/20/2026");
  EXPECT_EQ(shown(), "2026-11-20");
  // Taking the focus again starts at the first field again.
  picker.setDateTime(day);
  typeInto("3/4/2021");
  EXPECT_EQ(shown(), "2021-3-4");

  // Digits short of their field's length count when the value is read.
  picker.setDateTime(day);
  typeInto("3/4");
  EXPECT_EQ(shown(), "2022-3-4");

  picker.setKind(TDateTimeKind::time);
  const auto time = [&] {
    int hour = 0, minute = 0, second = 0, millisecond = 0;
    decodeTime(picker.dateTime(), hour, minute, second, millisecond);
    return hour * 3600 + minute * 60 + second;
  };
  picker.setDateTime(day + 0.25);
  typeInto("8:26:17");
  EXPECT_EQ(time(), 8 * 3600 + 26 * 60 + 17);
  picker.setDateTime(day + 0.25);
  typeInto("8:5");
  EXPECT_EQ(time(), 8 * 3600 + 5 * 60);
  typeInto("8:26:1");
  EXPECT_EQ(time(), 8 * 3600 + 26 * 60 + 1);
}

// Wine's combo boxes keep Alt+F4 from the system: with the keyboard in one,
// the window never closed.
TEST(StandardControls, AltF4ClosesTheWindowFromAComboBox) {
  for (const TComboStyle style : {TComboStyle::dropDownList, TComboStyle::dropDown}) {
    TForm form(dialogOptions());
    auto& box = form.add<TComboBox>(style);
    box.setBounds(10, 10, 120, 22);
    box.addItem("JScript");
    box.setItemIndex(0);
    bool closed = false;
    form.onClose = [&] { closed = true; };
    form.showModeless();
    box.setFocus();
    TKeyState alt({VK_MENU});
    PostMessageA(GetFocus(), WM_SYSKEYDOWN, VK_F4, 0x20000001);
    EXPECT_TRUE(pumpUntil([&] { return closed; }, 2000)) << static_cast<int>(style);
    EXPECT_FALSE(form.visible());
  }
}

namespace {

// Keys and clicks as the user gives them: through the system's input queue,
// to the window that has the keyboard, not to a window chosen here.
void typeKeys(std::initializer_list<std::pair<WORD, bool>> keys) {
  std::vector<INPUT> inputs;
  for (const auto& [key, up] : keys) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(input);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  pumpFor(300);
}

void clickAt(POINT at) {
  SetCursorPos(at.x, at.y);
  pumpFor(100);
  INPUT click[2]{};
  click[0].type = click[1].type = INPUT_MOUSE;
  click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, click, sizeof(INPUT));
  pumpFor(500);
}

}  // namespace

// Wine's calendar ignored Esc and, once hidden, kept the keyboard: the first
// Alt+F4 then closed only the calendar, for good, and the window stayed.
TEST(StandardControls, ADatePickersCalendarGivesTheKeysBackWhenItClosesAndAltF4ClosesTheWindow) {
  TForm form(mainWindowOptions("Dates", 300, 100));
  TDateTimePicker& picker = form.add<TDateTimePicker>();
  picker.setBounds(10, 10, 150, 22);
  double day = 0;
  encodeDate(2026, 9, 8, day);
  picker.setDateTime(day);
  int changes = 0;
  picker.onChange = [&] { ++changes; };
  bool closed = false;
  form.onClose = [&] { closed = true; };
  form.showModeless();
  SetForegroundWindow(form.handle());
  HWND keys = picker.picker().handle();
  SetFocus(keys);
  pumpFor(300);
  RECT bounds{};
  GetWindowRect(keys, &bounds);
  const POINT button{bounds.right - 8, (bounds.top + bounds.bottom) / 2};
  const auto calendar = [&] { return reinterpret_cast<HWND>(SendMessageA(keys, DTM_GETMONTHCAL, 0, 0)); };
  const auto openCalendar = [&] {
    clickAt(button);
    return picker.calendarOpen() && IsWindowVisible(calendar());
  };

  ASSERT_TRUE(openCalendar());
  typeKeys({{VK_ESCAPE, false}, {VK_ESCAPE, true}});
  EXPECT_FALSE(picker.calendarOpen());
  EXPECT_FALSE(IsWindowVisible(calendar())) << "Esc closes the calendar";
  EXPECT_EQ(GetFocus(), keys);
  EXPECT_EQ(GetActiveWindow(), form.handle());
  EXPECT_EQ(picker.dateTime(), day);
  EXPECT_EQ(changes, 0);

  // Closed by a second press on its button.
  ASSERT_TRUE(openCalendar());
  clickAt(button);
  EXPECT_FALSE(IsWindowVisible(calendar()));
  EXPECT_EQ(GetFocus(), keys);

  // Closed by a pick: a day in the middle of the month shown.
  ASSERT_TRUE(openCalendar());
  RECT month{};
  GetWindowRect(calendar(), &month);
  clickAt({(month.left + month.right) / 2, (month.top + month.bottom) / 2});
  EXPECT_FALSE(IsWindowVisible(calendar()));
  EXPECT_EQ(changes, 1);
  EXPECT_NE(picker.dateTime(), day);
  EXPECT_EQ(GetFocus(), keys);

  // Alt+F4 on the open calendar closes the window, not the calendar alone.
  ASSERT_TRUE(openCalendar());
  const HWND shown = calendar();
  typeKeys({{VK_MENU, false}, {VK_F4, false}, {VK_F4, true}, {VK_MENU, true}});
  EXPECT_TRUE(pumpUntil([&] { return closed; }, 2000));
  EXPECT_TRUE(IsWindow(shown));
}
