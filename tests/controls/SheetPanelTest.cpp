#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "controls/CurrPickForm.h"
#include "controls/ListViewXPSafe.h"
#include "controls/PaintBoxEx.h"
#include "controls/ScrollBarEx.h"
#include "controls/SheetPanel.h"
#include "model/LanguageStrings.h"
#include "platform/CalendarDates.h"
#include "platform/Form.h"
#include "platform/GdiObjects.h"
#include "platform/PageControl.h"
#include "platform/Panel.h"
#include "platform/Timer.h"
#include "sheet/Sheet.h"
#include "tests/support/ScriptedMessageBox.h"
#include "tests/support/TestFolders.h"
#include "tests/support/ThreadTime.h"
#include "tests/support/WindowTestSupport.h"

namespace {

constexpr int colWidth = 64;
constexpr int rowHeight = 20;

class SheetPanelTest : public testing::Test {
 protected:
  SheetPanelTest() : form_(formOptions()), panel(form_.add<TSheetPanel>()), other(form_.add<TSheetPanel>()) {
    panel.setBounds(0, 0, 480, 300);
    other.setBounds(0, 310, 100, 60);
    panel.setDefaultColWidth(colWidth);
    panel.setDefaultRowHeight(rowHeight);
    panel.setMaxVisibleCol(8);
    panel.setMaxVisibleRow(40);
    panel.onCellValueEdited = [this] { ++edits; };
    panel.onRender = [this] { ++renders; };
    form_.showModeless();
    pumpFor(100);
  }

  static TFormOptions formOptions() {
    TFormOptions options;
    options.caption = "Sheet grid";
    options.clientWidth = 500;
    options.clientHeight = 380;
    return options;
  }

  TSheet& sheet() { return panel.sheet(); }
  HWND surface() { return panel.paintBox().handle(); }

  // The middle of a cell on the surface, from the sheet's own sizes.
  POINT cellCenter(int col, int row) {
    int x = sheet().getShowRowCoords() ? sheet().getColWidth(0) : 0;
    for (int c = sheet().leftCol; c < col; ++c) x += sheet().getColWidth(c);
    int y = sheet().getShowColCoords() ? sheet().getRowHeight(0) : 0;
    for (int r = 1; r <= sheet().getFixedRows(); ++r) y += sheet().getRowHeight(r);
    for (int r = sheet().topRow; r < row; ++r) y += sheet().getRowHeight(r);
    return POINT{x + sheet().getColWidth(col) / 2, y + sheet().getRowHeight(row) / 2};
  }

  void click(int col, int row, WPARAM keys = 0) {
    const POINT at = cellCenter(col, row);
    sendMouse(surface(), WM_LBUTTONDOWN, at.x, at.y, MK_LBUTTON | keys);
    sendMouse(surface(), WM_LBUTTONUP, at.x, at.y, keys);
    pumpFor(20);
  }

  void place(int col, int row, const std::string& text, std::uint8_t type) {
    sheet().setCellContent(col, row, 0, text, type);
  }

  void focusOther() {
    other.setFocus();
    pumpFor(20);
  }

  TForm form_;
  TSheetPanel& panel;
  TSheetPanel& other;
  int edits = 0;
  int renders = 0;
};

TEST_F(SheetPanelTest, TheFirstClickSelectsTheSecondEditsAndShiftExtends) {
  place(2, 3, "12.5", 1);
  focusOther();
  click(2, 3);
  EXPECT_EQ(sheet().currentCol, 2);
  EXPECT_EQ(sheet().currentRow, 3);
  EXPECT_FALSE(panel.editing());
  EXPECT_TRUE(panel.focused());
  click(2, 3);
  ASSERT_TRUE(panel.editing());
  EXPECT_EQ(panel.numberEdit().text(), "12.5");
  sendKey(panel.numberEdit().handle(), VK_ESCAPE);
  EXPECT_FALSE(panel.editing());
  EXPECT_EQ(edits, 0);

  // Shift extends from the anchor; Ctrl alone would grow the old selection.
  {
    TKeyState shift({VK_SHIFT});
    click(4, 6, MK_SHIFT);
  }
  EXPECT_EQ(sheet().selection.left, 2);
  EXPECT_EQ(sheet().selection.top, 3);
  EXPECT_EQ(sheet().selection.right, 4);
  EXPECT_EQ(sheet().selection.bottom, 6);
  EXPECT_FALSE(panel.editing());
}

TEST_F(SheetPanelTest, ATypedDigitStartsTheNumberEditorAndEnterCommitsOnce) {
  place(2, 3, "12.5", 1);
  place(3, 3, "5", 1);
  sheet().setCurrentCell(3, 3);
  sheet().setCurrentCellLocked(true);
  click(2, 3);
  postChar(panel.handle(), '7');
  ASSERT_TRUE(panel.editing());
  EXPECT_EQ(panel.numberEdit().text(), "7");
  EXPECT_EQ(GetFocus(), panel.numberEdit().handle());
  postKey(panel.numberEdit().handle(), VK_RETURN);
  EXPECT_FALSE(panel.editing());
  EXPECT_DOUBLE_EQ(sheet().getCellNumber(2, 3), 7.0);
  EXPECT_EQ(edits, 1);
  EXPECT_EQ(GetFocus(), panel.handle());

  // Delete clears by type; on a locked cell nothing happens.
  sendKey(panel.handle(), VK_DELETE);
  EXPECT_EQ(edits, 2);
  sendKey(panel.handle(), VK_RIGHT);
  EXPECT_EQ(sheet().currentCol, 3);
  sendKey(panel.handle(), VK_DELETE);
  EXPECT_EQ(edits, 2);
  EXPECT_DOUBLE_EQ(sheet().getCellNumber(3, 3), 5.0);

  // A bound number refuses a text that is no number, and one beyond what a
  // number holds, and says why: the editor stays open on the text.
  TScriptedMessageBox messages(IDOK);
  panel.messages = &messages;
  place(4, 4, "5", 23);
  click(4, 4);
  postChar(panel.handle(), 'x');
  ASSERT_TRUE(panel.editing());
  sendKey(panel.numberEdit().handle(), VK_RETURN);
  EXPECT_TRUE(panel.editing());
  EXPECT_EQ(panel.numberEdit().text(), "x");
  EXPECT_EQ(edits, 2);
  ASSERT_EQ(messages.texts.size(), 1u);
  EXPECT_EQ(messages.texts[0],
            "\"x\" is no number this cell can keep. Type a number, or press Esc to leave the cell as it was.");
  panel.numberEdit().setText("1e309");
  sendKey(panel.numberEdit().handle(), VK_RETURN);
  EXPECT_TRUE(panel.editing());
  EXPECT_EQ(panel.numberEdit().text(), "1e309");
  EXPECT_EQ(messages.texts.size(), 2u);
  sendKey(panel.numberEdit().handle(), VK_ESCAPE);
  EXPECT_FALSE(panel.editing());
  EXPECT_EQ(messages.texts.size(), 2u) << "Esc leaves without a word";
}

TEST_F(SheetPanelTest, SelectionColoursFollowTheFocus) {
  panel.setShowGridLines(false);
  click(2, 2);
  {
    TKeyState shift({VK_SHIFT});
    click(3, 4, MK_SHIFT);
  }
  const POINT inside = cellCenter(3, 3);
  TScreenImage image = captureClient(surface());
  EXPECT_TRUE(image.pixelIs(inside.x, inside.y, clHighlight));
  focusOther();
  image = captureClient(surface());
  EXPECT_TRUE(image.pixelIs(inside.x, inside.y, clBtnFace));
}

TEST_F(SheetPanelTest, TheThumbReachesTheTopOfAMillionRowsAndHeldKeysStillRepaint) {
  panel.setMaxVisibleRow(1'000'000);
  panel.setFixedRows(1);
  place(1, 1'000'000, "1", 1);
  sheet().setTopLeft(POINT{1, 500'000});
  panel.refresh();
  SendMessageA(panel.handle(), WM_VSCROLL, SB_TOP, reinterpret_cast<LPARAM>(panel.vScrollBar().handle()));
  EXPECT_EQ(sheet().topRow, 2);
  EXPECT_TRUE(pumpUntil([&] { return panel.vScrollBar().position() == 1; })) << panel.vScrollBar().position();

  // A held arrow key repeats faster than the refresh delay: the view must
  // follow all the same, while the key is still held, not only at its first
  // press. (A busy machine that stretches a pause past the delay only brings
  // the renders sooner.)
  click(2, 5);
  renders = 0;
  int repeats = 0;
  while (renders < 2 && repeats < 100) {
    SendMessageA(panel.handle(), WM_KEYDOWN, VK_DOWN, 0x40000001);
    ++repeats;
    pumpFor(33);
  }
  EXPECT_GE(renders, 2);
  EXPECT_EQ(sheet().currentRow, 5 + repeats);
}

TEST_F(SheetPanelTest, TheSpinButtonRepeatsOnItsScheduleUntilTheCaptureGoes) {
  place(2, 2, "10", 1);
  click(2, 2);
  click(2, 2);
  ASSERT_TRUE(panel.editing());
  using TClock = std::chrono::steady_clock;
  std::vector<TClock::time_point> steps;
  auto liveColours = panel.numberEdit().onChange;
  panel.numberEdit().onChange = [&] {
    liveColours();
    steps.push_back(TClock::now());
  };
  HWND spin = panel.numberSpin().handle();
  auto ms = [](TClock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); };
  // A timer never comes early, and a busy machine holds it back by any time:
  // each wait is at least its step of the schedule, whose shrinking the
  // repeat's own test checks.
  panel.numberEdit().setText("10");
  pumpFor(20);
  steps.clear();
  const TClock::time_point pressed = TClock::now();
  sendMouse(spin, WM_LBUTTONDOWN, 8, 3, MK_LBUTTON);
  ASSERT_TRUE(pumpUntil([&] { return steps.size() >= 4; }));
  // Another window takes the mouse: the repeat ends at once.
  ReleaseCapture();
  const std::size_t count = steps.size();
  // A timer as slow as the repeat's first step has ticked twice: a repeat
  // still running would have stepped by then, however busy the machine.
  int witnessTicks = 0;
  TTimer witness(200, [&] { ++witnessTicks; });
  witness.setEnabled(true);
  pumpUntil([&] { return witnessTicks >= 2; });
  EXPECT_EQ(steps.size(), count);
  EXPECT_EQ(panel.numberSpin().position(), 0);
  EXPECT_EQ(panel.numberEdit().text(), std::to_string(10 + static_cast<int>(count)));
  const double earliest[] = {0, 200, 180, 162};
  for (std::size_t i = 0; i < 4; ++i) {
    // Less a system tick or so: a timer's interval is rounded to it.
    const double waited = ms(steps[i] - (i == 0 ? pressed : steps[i - 1]));
    EXPECT_GE(waited, earliest[i] - 20.0) << "step " << i;
  }

  // A text that is no number is not counted on, and nothing typed is lost.
  panel.numberEdit().setText("abc");
  sendMouse(spin, WM_LBUTTONDOWN, 8, 17, MK_LBUTTON);
  sendMouse(spin, WM_LBUTTONUP, 8, 17);
  EXPECT_EQ(panel.numberEdit().text(), "abc");
}

// A number the host refused closed the editor and threw the typed text
// away, while a text that is no number kept it for correction.
TEST_F(SheetPanelTest, ANumberTheHostRefusesStaysInItsEditorForCorrection) {
  TScriptedMessageBox messages(IDOK);
  panel.messages = &messages;
  panel.refuseBoundNumber = [](double number) { return number > 100 ? std::string("Too large to keep.") : ""; };
  place(4, 4, "5", 23);
  click(4, 4);
  click(4, 4);
  ASSERT_TRUE(panel.editing());
  panel.numberEdit().setText("1e308");
  sendKey(panel.numberEdit().handle(), VK_RETURN);
  EXPECT_TRUE(panel.editing());
  EXPECT_EQ(panel.numberEdit().text(), "1e308");
  EXPECT_EQ(GetFocus(), panel.numberEdit().handle());
  EXPECT_EQ(messages.texts, std::vector<std::string>{"Too large to keep."});
  // Leaving for another control is refused the same way, once.
  focusOther();
  EXPECT_TRUE(panel.editing());
  EXPECT_EQ(panel.numberEdit().text(), "1e308");
  EXPECT_EQ(messages.texts.size(), 2u);
  sendKey(panel.numberEdit().handle(), VK_ESCAPE);
  EXPECT_FALSE(panel.editing());
  EXPECT_EQ(edits, 0);
}

// A number that does not read, told with OK alone, held every close until
// the user found Esc: a close must go on once the box was answered.
TEST_F(SheetPanelTest, AtACloseARefusedValueIsGivenUpOnceItsBoxIsAnswered) {
  TScriptedMessageBox messages(IDOK);
  panel.messages = &messages;
  panel.numberRequired = [] { return true; };
  panel.refuseBoundNumber = [](double number) { return number > 100 ? std::string("Too large to keep.") : ""; };
  place(4, 4, "5", 23);
  for (const std::string typed : {"abc", "1e308"}) {
    click(4, 4);
    click(4, 4);
    ASSERT_TRUE(panel.editing()) << typed;
    panel.numberEdit().setText(typed);
    // Taken elsewhere than at a close, the text stays to be mended.
    EXPECT_FALSE(panel.endEdit(TEditEnding::take)) << typed;
    EXPECT_TRUE(panel.editing()) << typed;
    const size_t told = messages.texts.size();
    EXPECT_TRUE(panel.endEdit(TEditEnding::closing)) << typed;
    EXPECT_EQ(messages.texts.size(), told + 1) << typed;
    EXPECT_FALSE(panel.editing()) << typed;
    EXPECT_DOUBLE_EQ(sheet().getCellNumber(4, 4), 5.0) << typed;
  }
  EXPECT_EQ(edits, 0);
}

// A refused text with Ctrl+Tab was told twice, once as the focus moved to
// the next page and once as its page hid, and its editor stayed open on the
// hidden page.
TEST(SheetPanelPages, AnEditARefusedTextHoldsThePageOrIsDroppedWhenThePageMustGo) {
  TForm form(mainWindowOptions("Pages", 400, 300));
  TPageControl& pages = form.add<TPageControl>();
  pages.setBounds(0, 0, 400, 300);
  TTabSheet& first = pages.own(std::make_unique<TTabSheet>(&pages, "First"));
  TTabSheet& second = pages.own(std::make_unique<TTabSheet>(&pages, "Second"));
  TPanel& tile = first.add<TPanel>();
  tile.setAlign(TAlign::client);
  TSheetPanel& grid = tile.add<TSheetPanel>();
  grid.setAlign(TAlign::client);
  TSheetPanel& later = second.add<TSheetPanel>();
  later.setAlign(TAlign::client);
  TScriptedMessageBox messages(IDOK);
  grid.messages = &messages;
  grid.numberRequired = [] { return true; };
  int changes = 0;
  pages.onChange = [&] { ++changes; };
  form.showModeless();
  TSheet& sheet = grid.sheet();
  sheet.setCellContent(2, 2, 0, "5", cellNumber);
  const auto type = [&](const std::string& text) {
    sheet.setCurrentCell(2, 2);
    grid.setFocus();
    postChar(grid.handle(), text[0]);
    ASSERT_TRUE(grid.editing());
    for (const char c : text.substr(1)) postChar(grid.numberEdit().handle(), c);
    ASSERT_EQ(grid.numberEdit().text(), text);
  };

  type("abc");
  pages.selectNextPage(true);
  EXPECT_EQ(messages.texts.size(), 1u) << "Ctrl+Tab";
  EXPECT_EQ(pages.activePage(), &first);
  EXPECT_EQ(changes, 0);
  EXPECT_TRUE(grid.editing());
  EXPECT_EQ(grid.numberEdit().text(), "abc");
  EXPECT_EQ(GetFocus(), grid.numberEdit().handle());

  RECT tab{};
  ASSERT_TRUE(TabCtrl_GetItemRect(pages.handle(), 1, &tab));
  PostMessageA(pages.handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM((tab.left + tab.right) / 2, tab.top + 4));
  PostMessageA(pages.handle(), WM_LBUTTONUP, 0, MAKELPARAM((tab.left + tab.right) / 2, tab.top + 4));
  pumpFor(200);
  EXPECT_EQ(messages.texts.size(), 2u) << "a click on the tab";
  EXPECT_EQ(pages.activePage(), &first);
  EXPECT_TRUE(grid.editing());

  // A page changed without asking cannot be held: the edit goes, told once.
  pages.setActivePage(&second);
  pumpFor(50);
  EXPECT_EQ(messages.texts.size(), 3u);
  EXPECT_FALSE(grid.editing());
  EXPECT_EQ(sheet.getCellText(2, 2, false), "5");

  // An accepted edit is taken on the way out.
  pages.setActivePage(&first);
  type("7");
  pages.selectNextPage(true);
  EXPECT_EQ(pages.activePage(), &second);
  EXPECT_FALSE(grid.editing());
  EXPECT_DOUBLE_EQ(sheet.getCellNumber(2, 2), 7.0);
  EXPECT_EQ(messages.texts.size(), 3u);

  // A tile hidden over a refused text: nothing is left to correct it in.
  pages.setActivePage(&first);
  type("xyz");
  tile.hide();
  pumpFor(50);
  EXPECT_EQ(messages.texts.size(), 4u);
  EXPECT_FALSE(grid.editing());
  EXPECT_DOUBLE_EQ(sheet.getCellNumber(2, 2), 7.0);
}

TEST_F(SheetPanelTest, AnEditorOpenDuringARebuildWritesNothingIntoTheNewSheet) {
  place(2, 3, "1", 1);
  click(2, 3);
  postChar(panel.handle(), '9');
  ASSERT_TRUE(panel.editing());
  // The host rebuilds its sheet (a date timer, a reload) under the editor.
  sheet().clearCells();
  place(2, 3, "4", 1);
  sendKey(panel.numberEdit().handle(), VK_RETURN);
  EXPECT_FALSE(panel.editing());
  EXPECT_DOUBLE_EQ(sheet().getCellNumber(2, 3), 4.0);
  EXPECT_EQ(edits, 0);
}

TEST_F(SheetPanelTest, EscapeLeavesADateAloneAndAnUnchangedPickerKeepsTheTime) {
  place(2, 2, "45123.75", 3);
  click(2, 2);
  postChar(panel.handle(), '\r');
  ASSERT_TRUE(panel.editing());
  EXPECT_EQ(panel.currentEditor()->handle(), GetParent(panel.datePicker().handle()));
  panel.datePicker().setDateTime(45200);
  sendKey(panel.datePicker().picker().handle(), VK_ESCAPE);
  EXPECT_FALSE(panel.editing());
  EXPECT_DOUBLE_EQ(sheet().getCellNumber(2, 2), 45123.75);
  EXPECT_EQ(edits, 0);

  // Visiting without a change writes nothing: the time part stays.
  postChar(panel.handle(), ' ');
  ASSERT_TRUE(panel.editing());
  sendKey(panel.datePicker().picker().handle(), VK_RETURN);
  EXPECT_DOUBLE_EQ(sheet().getCellNumber(2, 2), 45123.75);
  EXPECT_EQ(edits, 0);
}

// The picker opened from the keyboard had no field selected: the date typed
// as it is written went nowhere until an arrow key chose a field.
TEST_F(SheetPanelTest, ADateTypedAsWrittenAfterEnterOrOntoTheCellIsTaken) {
  const auto typeKeys = [&](const std::string& text) {
    for (const char c : text) {
      const HWND focus = GetFocus();
      if (std::isdigit(static_cast<unsigned char>(c)))
        postKey(focus, c);
      else
        postChar(focus, c);
    }
  };
  double first = 0, second = 0;
  encodeDate(2026, 11, 20, first);
  encodeDate(2021, 3, 4, second);
  place(2, 2, "45123", 3);
  click(2, 2);
  postKey(panel.handle(), VK_RETURN);
  ASSERT_TRUE(panel.editing());
  typeKeys("11/20/2026");
  postKey(GetFocus(), VK_RETURN);
  EXPECT_FALSE(panel.editing());
  EXPECT_DOUBLE_EQ(sheet().getCellNumber(2, 2), first);

  typeKeys("3/4/2021");
  ASSERT_TRUE(panel.editing());
  postKey(GetFocus(), VK_RETURN);
  EXPECT_DOUBLE_EQ(sheet().getCellNumber(2, 2), second);
  EXPECT_EQ(edits, 2);
}

// The fill went to the panel under the picker alone, which covered it.
TEST_F(SheetPanelTest, TheDatePickerShowsTheFillTheCellWouldShowForThePickedDay) {
  constexpr TColor red = 0x0000FF;
  place(2, 2, "45123", 3);
  sheet().setSelection(2, 2, 2, 2);
  sheet().setSelectionThreshold(true, 45200.0);
  sheet().setSelectionConditionalFillColor(red);
  const auto redShare = [&] {
    pumpFor(100);
    const TScreenImage image = captureClient(panel.datePicker().picker().handle());
    int reds = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) reds += image.pixel(x, y) == rgbOf(red) ? 1 : 0;
    return static_cast<double>(reds) / (image.width() * image.height());
  };
  click(2, 2);
  postChar(panel.handle(), ' ');
  ASSERT_TRUE(panel.editing());
  EXPECT_EQ(redShare(), 0.0) << "a day below the threshold";
  // A day above it, picked as the user picks one: the picker tells of the change.
  const HWND picker = panel.datePicker().picker().handle();
  panel.datePicker().setDateTime(45300);
  NMDATETIMECHANGE change{};
  change.nmhdr = {picker, static_cast<UINT_PTR>(GetDlgCtrlID(picker)), DTN_DATETIMECHANGE};
  change.dwFlags = GDT_VALID;
  SendMessageA(GetParent(picker), WM_NOTIFY, change.nmhdr.idFrom, reinterpret_cast<LPARAM>(&change));
  // Behind the digits and the button, most of the picker is red.
  EXPECT_GT(redShare(), 0.5);
  captureClient(form_.handle()).savePng("sheet-panel-date-editor-filled");
  sendKey(picker, VK_ESCAPE);
  EXPECT_FALSE(panel.editing());
}

TEST_F(SheetPanelTest, ADoubleClickOnTheDatePickerCommitsTheDate) {
  place(2, 2, "45123", 3);
  click(2, 2);
  postChar(panel.handle(), '\r');
  ASSERT_TRUE(panel.editing());
  panel.datePicker().setDateTime(45200);
  const HWND picker = panel.datePicker().picker().handle();
  for (int press = 0; press < 2; ++press) {
    sendMouse(picker, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    sendMouse(picker, WM_LBUTTONUP, 5, 5, 0);
  }
  EXPECT_FALSE(panel.editing());
  EXPECT_DOUBLE_EQ(sheet().getCellNumber(2, 2), 45200);
  EXPECT_EQ(edits, 1);
  EXPECT_TRUE(panel.focused());
}

TEST_F(SheetPanelTest, TheGridColourPaintsOnlyTheLinesBetweenCells) {
  panel.setShowRowCoords(true);
  panel.setShowColCoords(true);
  panel.setFixedRows(1);
  panel.setGridColor(0x0000FF);
  pumpFor(50);
  const POINT cell = cellCenter(2, 3);
  const int lineX = cell.x + colWidth / 2 - 1;  // the last column of the cell is the line
  const TScreenImage image = captureClient(surface());
  EXPECT_TRUE(image.pixelIs(lineX, cell.y, 0x0000FF));
  EXPECT_FALSE(image.pixelIs(cell.x, cell.y, 0x0000FF));
  // Headers and fixed cells keep their face.
  EXPECT_TRUE(image.pixelIs(cell.x, 10, clBtnFace));
  EXPECT_TRUE(image.pixelIs(cell.x, sheet().getRowHeight(0) + sheet().getRowHeight(1) / 2, clBtnFace));
  EXPECT_TRUE(image.pixelIs(10, cell.y, clBtnFace));
}

TEST_F(SheetPanelTest, AHiddenSheetShowsItsBackgroundAndAHiddenBarGivesItsRoomBack) {
  place(2, 2, "1", 1);
  click(3, 3);
  panel.setBackgroundColor(0x336699);
  panel.setSheetVisible(false);
  const POINT at = cellCenter(2, 2);
  EXPECT_TRUE(captureClient(surface()).pixelIs(at.x, at.y, 0x336699));
  click(2, 2);
  EXPECT_EQ(sheet().currentCol, 3);
  panel.setSheetVisible(true);

  const int height = panel.paintBox().height();
  panel.setShowHScrollBar(false);
  EXPECT_EQ(panel.paintBox().height(), height + 16);

  TFontProperties font;
  font.size = 9;  // 12 pixels high on the test screen
  panel.setDefaultFont(font);
  panel.setDefaultRowHeight(-1);
  EXPECT_EQ(panel.defaultRowHeight(), 18);
  panel.setDefaultColWidth(3);
  EXPECT_EQ(panel.defaultColWidth(), 6);
}

TEST_F(SheetPanelTest, TheMemoGrowsWithItsLinesAndBooleanAndColourCellsChangeAtOnce) {
  place(2, 2, "ab", 2);
  click(2, 2);
  postChar(panel.handle(), 'x');
  ASSERT_TRUE(panel.editing());
  EXPECT_EQ(panel.textEditor().text(), "abx");
  // Three lines of an 11-pixel font: trunc(11 x 1.3 x 3.3) pixels.
  // Typed as the user types (a multi-line edit reports no change for a text set at once).
  SendMessageA(panel.textEditor().handle(), EM_SETSEL, 0, -1);
  SendMessageA(panel.textEditor().handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("one\r\ntwo\r\nthree"));
  EXPECT_EQ(panel.textEditor().height(), 47);
  renders = 0;
  pumpFor(200);
  EXPECT_LE(renders, 1);  // an open memo must not keep the surface painting
  sendKey(panel.textEditor().handle(), VK_RETURN);
  EXPECT_EQ(sheet().getCellText(2, 2, false), "one\r\ntwo\r\nthree");
  EXPECT_EQ(edits, 1);

  place(3, 2, "1", 6);
  click(3, 2);
  postChar(panel.handle(), ' ');
  EXPECT_FALSE(panel.editing());
  EXPECT_EQ(sheet().getCellInteger(3, 2), 0);
  EXPECT_EQ(edits, 2);

  struct TGreenDialog : TColorDialog {
    bool execute(HWND, TColor& color) override {
      color = 0x00FF00;
      return true;
    }
  };
  panel.colorDialog = std::make_unique<TGreenDialog>();
  place(4, 2, "255", 8);
  click(4, 2);
  postChar(panel.handle(), '\r');
  EXPECT_EQ(sheet().getCellInteger(4, 2), 0x00FF00);
  EXPECT_EQ(edits, 3);
}

// A stored text far longer than a cell shows (a name of 200,001
// characters) opens, takes keys and goes back into the cell whole, at once;
// a text of short paragraphs, as long, still breaks at the words.
TEST_F(SheetPanelTest, ATextOfTwoHundredThousandCharactersEditsAtOnce) {
  std::string text(200001, 'N');
  text[100000] = ' ';
  place(2, 2, text, 2);
  const auto start = threadProcessorTime();
  click(2, 2);
  postChar(panel.handle(), 'x');
  ASSERT_TRUE(panel.editing());
  EXPECT_EQ(panel.textEditor().text().size(), text.size() + 1);
  sendKey(panel.textEditor().handle(), VK_END);
  postChar(panel.textEditor().handle(), 'y');
  sendKey(panel.textEditor().handle(), VK_RETURN);
  EXPECT_EQ(sheet().getCellText(2, 2, false), text + "xy");
  EXPECT_LT((threadProcessorTime() - start).count(), 2.0);

  std::string paragraph;
  for (int word = 0; word < 10; ++word) paragraph += "several words ";
  std::string paragraphs;
  int count = 0;
  for (; paragraphs.size() < text.size() / 50; ++count) paragraphs += paragraph + "\r\n";
  place(3, 2, paragraphs, 2);
  click(3, 2);
  postChar(panel.handle(), 'z');
  ASSERT_TRUE(panel.editing());
  EXPECT_GT(panel.textEditor().lineCount(), count + 1);
  sendKey(panel.textEditor().handle(), VK_ESCAPE);
  EXPECT_EQ(sheet().getCellText(3, 2, false), paragraphs);
}

// Four solid 16 x 16 images of the given colours.
HIMAGELIST solidImages() {
  HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR24, 4, 0);
  TMemoryDC dc;
  for (COLORREF color : {RGB(200, 0, 0), RGB(0, 160, 0), RGB(0, 0, 200), RGB(230, 180, 0)}) {
    TBitmapHandle bitmap(CreateCompatibleBitmap(TWindowDC(nullptr).get(), 16, 16));
    {
      TSelectedObject selected(dc.get(), bitmap.get());
      TBrushHandle brush(CreateSolidBrush(color));
      RECT all{0, 0, 16, 16};
      FillRect(dc.get(), &all, brush.get());
    }
    ImageList_Add(images, bitmap.get(), nullptr);
  }
  return images;
}

// The currency list of the language file delivered with the program, for
// the length of a test.
class DeliveredCurrencies {
 public:
  DeliveredCurrencies() {
    resetLanguageStrings();
    loadCountries(deliveredLanguageFile());
    loadCurrencies(deliveredLanguageFile());
    picker.initList();
  }
  ~DeliveredCurrencies() { resetLanguageStrings(); }
  TcurrPickForm picker;
};

TEST_F(SheetPanelTest, TheCurrencyEditorsButtonPicksFromTheDeliveredList) {
  DeliveredCurrencies currencies;
  panel.currencyPicker = &currencies.picker;
  place(6, 2, "USD", cellCurrency);
  click(6, 2);
  postChar(panel.handle(), ' ');
  ASSERT_TRUE(panel.editing());
  ASSERT_TRUE(panel.currencyButton().visible());
  EXPECT_EQ(panel.currencyEdit().width() + panel.currencyButton().width(), panel.currentEditor()->width());
  // The button shows gold coins in place of its name, which screen readers
  // still read.
  EXPECT_EQ(panel.currencyButton().text(), "Currency");
  const TScreenImage face = captureClient(panel.currencyButton().handle());
  int gold = 0;
  for (int y = 0; y < face.height(); ++y)
    for (int x = 0; x < face.width(); ++x) gold += face.pixel(x, y) == 0xFFCD00 ? 1 : 0;
  EXPECT_GE(gold, 20);
  // A click on the button opens the pick dialog on the first code beginning
  // with what is typed; Enter there takes it.
  panel.currencyEdit().setText("gb");
  bool shown = false;
  TModalDriver pick(currencies.picker, {[&] {
    shown = currencies.picker.visible();
    postKey(currencies.picker.currencyListView.handle(), VK_RETURN);
  }});
  const RECT button = panel.currencyButton().bounds();
  const int middle = (button.bottom - button.top) / 2;
  sendMouse(panel.currencyButton().handle(), WM_LBUTTONDOWN, 4, middle, MK_LBUTTON);
  sendMouse(panel.currencyButton().handle(), WM_LBUTTONUP, 4, middle);
  EXPECT_FALSE(pick.timedOut());
  EXPECT_TRUE(shown);
  EXPECT_EQ(panel.currencyEdit().text(), "GBP");
  EXPECT_TRUE(pumpUntil([&] { return GetFocus() == panel.currencyEdit().handle(); })) << "the keys came back";
  TScriptedMessageBox messages(IDNO);
  panel.messages = &messages;
  sendKey(panel.currencyEdit().handle(), VK_RETURN);
  EXPECT_FALSE(panel.editing());
  EXPECT_EQ(sheet().getCellText(6, 2, true), "GBP");
  EXPECT_TRUE(messages.texts.empty());
}

TEST_F(SheetPanelTest, ACodeNotOnTheCurrencyListIsKeptOnlyWhenTheUserSaysSo) {
  DeliveredCurrencies currencies;
  panel.currencyPicker = &currencies.picker;
  TScriptedMessageBox messages(IDNO);
  panel.messages = &messages;
  place(6, 2, "EUR", cellCurrency);
  click(6, 2);
  postChar(panel.handle(), 'p');
  ASSERT_TRUE(panel.editing());
  EXPECT_EQ(panel.currencyEdit().text(), "p");
  sendKey(panel.currencyEdit().handle(), VK_RETURN);
  // No: the typed text stays in the editor to be mended.
  ASSERT_EQ(messages.texts.size(), 1u);
  EXPECT_EQ(messages.texts[0],
            "\"P\" is not a currency of the list, so its figures are errors unless a currency table converts it. "
            "Keep it?");
  EXPECT_TRUE(panel.editing());
  EXPECT_EQ(panel.currencyEdit().text(), "p");
  EXPECT_EQ(GetFocus(), panel.currencyEdit().handle());
  EXPECT_EQ(sheet().getCellText(6, 2, true), "EUR");
  EXPECT_EQ(edits, 0);
  // Leaving the cell asks the same, and so does a tab change.
  focusOther();
  EXPECT_EQ(messages.texts.size(), 2u);
  EXPECT_TRUE(panel.editing());
  EXPECT_FALSE(panel.endEdit(TEditEnding::take));
  EXPECT_EQ(messages.texts.size(), 3u);
  EXPECT_TRUE(panel.editing());
  // At a close, which must end once answered, No gives the text up.
  EXPECT_TRUE(panel.endEdit(TEditEnding::closing));
  EXPECT_EQ(messages.texts.size(), 4u);
  EXPECT_FALSE(panel.editing());
  EXPECT_EQ(sheet().getCellText(6, 2, true), "EUR");
  EXPECT_EQ(edits, 0);
  // Yes keeps it.
  postChar(panel.handle(), 'p');
  ASSERT_TRUE(panel.editing());
  messages.answer = IDYES;
  sendKey(panel.currencyEdit().handle(), VK_RETURN);
  EXPECT_FALSE(panel.editing());
  EXPECT_EQ(sheet().getCellText(6, 2, true), "P");
  EXPECT_EQ(edits, 1);

  // A listed code in any case, an emptied cell and a formula ask nothing;
  // neither does an unchanged text.
  for (const std::string text : {"P", "chf", "", "=\"JPY\""}) {
    postChar(panel.handle(), ' ');
    ASSERT_TRUE(panel.editing()) << text;
    panel.currencyEdit().setText(text);
    sendKey(panel.currencyEdit().handle(), VK_RETURN);
    EXPECT_FALSE(panel.editing()) << text;
  }
  EXPECT_EQ(messages.texts.size(), 5u);
}

TEST_F(SheetPanelTest, PicturesOfEachEditorOverAFormattedSheet) {
  panel.setBounds(0, 0, 480, 300);
  HIMAGELIST images = solidImages();
  panel.setImageList(images);
  TFontProperties bold;
  bold.style = fsBold;
  const char* headers[] = {"Name", "Price", "Since", "At", "Note", "Currency", "Image"};
  for (int col = 1; col <= 7; ++col) place(col, 1, headers[col - 1], 2);
  sheet().setSelection(1, 1, 7, 1);
  sheet().setSelectionFont(&bold);
  sheet().setSelectionFillColor(0xE0F0FF);
  place(1, 2, "Alpha", 2);
  place(2, 2, "12.5", 1);
  place(3, 2, "45123.75", 3);
  place(4, 2, "0.5", 4);
  place(5, 2, "long note that wraps", 2);
  place(6, 2, "EUR", 7);
  place(7, 2, "3", 9);
  sheet().setSelection(2, 2, 2, 2);
  sheet().setSelectionThreshold(true, 10.0);
  sheet().setSelectionConditionalFillColor(0xC0FFC0);
  const std::vector<std::pair<int, std::string>> editors{
      {2, "number"}, {3, "date"}, {4, "time"}, {5, "text"}, {6, "currency"}, {7, "image"}};
  for (const auto& [col, name] : editors) {
    click(col, 2);
    postChar(panel.handle(), ' ');
    ASSERT_TRUE(panel.editing()) << name;
    EXPECT_GE(panel.currentEditor()->left(), 0) << name;  // the last column is only partly shown
    // Without a currency pick dialog the currency editor has no button.
    if (name == "currency") {
      EXPECT_FALSE(panel.currencyButton().visible());
    }
    if (name == "image") {
      EXPECT_EQ(panel.imagePreview().width(), 16 + 8);
    }
    pumpFor(50);
    captureClient(form_.handle()).savePng("sheet-panel-" + name + "-editor");
    sendKey(GetFocus(), VK_ESCAPE);
    EXPECT_FALSE(panel.editing()) << name;
  }
  EXPECT_EQ(edits, 0);
  panel.setImageList(nullptr);
  ImageList_Destroy(images);
}

}  // namespace
