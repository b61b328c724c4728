#include <gtest/gtest.h>

#include "controls/CellEditSession.h"
#include "controls/CellEditorChoice.h"
#include "controls/CellEditorCommit.h"
#include "controls/SheetScrollMap.h"
#include "controls/SpinRepeat.h"
#include "platform/LocaleSettings.h"
#include "sheet/Sheet.h"
#include "tests/support/TestScriptEngine.h"

namespace {

TEST(SheetScrollMap, ThumbAtTheTopReachesTheFirstScrollingRowOfAHugeSheet) {
  TScrollAxis axis{2, 41, 1'000'000, 1'000'000, 1};
  EXPECT_EQ(scrollLineAt(axis, 1), 2);
  EXPECT_EQ(scrollThumb(axis).pageSize, 1);
  // Every row the thumb can land on maps back to the position it came from.
  for (int position : {1, 2, 17, 5000, 9999, 10000}) {
    TScrollAxis at = axis;
    at.first = scrollLineAt(axis, position);
    at.last = at.first + 39;
    EXPECT_EQ(scrollThumb(at).position, position) << position;
  }
  // A sheet shorter than the view: the page is the whole bar.
  TScrollAxis small{1, 30, 5, 5, 0};
  EXPECT_EQ(scrollThumb(small).pageSize, scrollScaleMax);
  EXPECT_EQ(scrollThumb(small).position, 1);
}

TEST(SpinRepeat, StepsAtOnceThenShrinksTowardTheFloor) {
  TSpinRepeat spin;
  spin.start(-1);
  EXPECT_EQ(spin.direction(), -1);
  std::vector<unsigned> delays;
  for (int i = 0; i < 5; ++i) delays.push_back(spin.nextDelayMs());
  EXPECT_EQ(delays, (std::vector<unsigned>{0, 200, 180, 162, 146}));
  for (int i = 0; i < 40; ++i) spin.nextDelayMs();
  EXPECT_EQ(spin.nextDelayMs(), TSpinRepeat::floorDelayMs);
  spin.stop();
  EXPECT_FALSE(spin.active());

  TSheet sheet;
  std::string text = "abc";
  EXPECT_FALSE(spinStep(sheet, text, 1));
  EXPECT_EQ(text, "abc");
  text = "";
  EXPECT_TRUE(spinStep(sheet, text, -1));
  EXPECT_EQ(text, "-1");
}

class CellEditingTest : public testing::Test {
 protected:
  void SetUp() override {
    sheet.setColCount(5);
    sheet.setRowCount(5);
  }
  void place(int col, int row, const std::string& text, std::uint8_t type) {
    sheet.setCellContent(col, row, 0, text, type);
    sheet.setCurrentCell(col, row);
  }
  TSheet sheet;
};

TEST_F(CellEditingTest, OpeningTextsFollowTheTypedCharacter) {
  place(1, 1, "12.5", cellNumber);
  EXPECT_EQ(openingEditorText(sheet, cellNumber, "7"), "7");
  EXPECT_EQ(openingEditorText(sheet, cellNumber, " "), "12.5");
  place(2, 1, "ab", cellString);
  EXPECT_EQ(openingEditorText(sheet, cellString, "x"), "abx");
  place(3, 1, "4", cellImage);
  EXPECT_EQ(openingEditorText(sheet, cellImage, "9"), "4");
  EXPECT_EQ(chooseCellEditor(0x80 | cellDate).kind, TCellEditorKind::date);
  EXPECT_EQ(chooseCellEditor(18).kind, TCellEditorKind::number);
  EXPECT_TRUE(chooseCellEditor(18).bound);
  EXPECT_EQ(chooseCellEditor(0).kind, TCellEditorKind::none);
}

TEST_F(CellEditingTest, TextCommitsKeepFormulasAndReportOnlyChanges) {
  place(1, 1, "2", cellNumber);
  place(1, 2, "3", cellNumber);
  EXPECT_EQ(commitEditorText(sheet, cellNumber, "=A1*5"), TCellWrite::written);
  EXPECT_EQ(sheet.getCell(1, 2)->formula(), "=A1*5");
  EXPECT_DOUBLE_EQ(sheet.getCellNumber(1, 2), 10.0);
  EXPECT_EQ(commitEditorText(sheet, cellNumber, "=A1*5"), TCellWrite::nothing);
  sheet.setCurrentCellLocked(true);
  EXPECT_EQ(commitEditorText(sheet, cellNumber, "4"), TCellWrite::nothing);
  EXPECT_EQ(clearCurrentCell(sheet), TCellWrite::nothing);
  sheet.setCurrentCellLocked(false);
  EXPECT_EQ(clearCurrentCell(sheet), TCellWrite::written);
  // A bound number refuses a text that is no number, before anything is written.
  place(3, 3, "5", cellTransactionUnits);
  EXPECT_EQ(commitEditorText(sheet, cellTransactionUnits, "abc"), TCellWrite::refused);
  EXPECT_NE(commitEditorText(sheet, cellTransactionUnits, "12.5"), TCellWrite::refused);
  place(2, 2, "1", cellBoolean);
  EXPECT_EQ(toggleCurrentCell(sheet, cellBoolean), TCellWrite::written);
  EXPECT_EQ(sheet.getCellInteger(2, 2), 0);
}

// A separator out of place makes a typed text no number: a cell that must
// hold a number, and a bound number, refuse it with the message every such
// refusal gives, rather than keep it ten or a thousand times off.
TEST_F(CellEditingTest, AMisplacedSeparatorIsRefusedWhereANumberIsRequired) {
  sheet.decimalSeparator = ",";
  sheet.thousandSeparator = ".";
  place(1, 1, "0,075", cellNumber);
  std::string why;
  EXPECT_EQ(commitEditorText(sheet, cellNumber, "0.125", true, {}, &why), TCellWrite::refused);
  EXPECT_EQ(why, "\"0.125\" is no number this cell can keep. Type a number, or press Esc to leave the cell as it was.");
  EXPECT_EQ(sheet.getCellNumber(1, 1), 0.075);
  EXPECT_EQ(commitEditorText(sheet, cellNumber, "1.250,5", true), TCellWrite::written);
  EXPECT_EQ(sheet.getCellNumber(1, 1), 1250.5);
  place(2, 2, "5", cellTransactionUnits);
  EXPECT_EQ(commitEditorText(sheet, cellTransactionUnits, "1.5"), TCellWrite::refused);
  sheet.decimalSeparator = ".";
  sheet.thousandSeparator = ",";
  EXPECT_EQ(commitEditorText(sheet, cellTransactionUnits, "1,5"), TCellWrite::refused);
  EXPECT_EQ(commitEditorText(sheet, cellNumber, "1,2,3", true), TCellWrite::refused);
}

// Where the date separator is the thousands separator, a misplaced one
// reads as a date: "1.5" is the first of May. A number cell and a bound
// number take what reads as a number only, else "1.5" typed as units became
// some 46,000 units, and a custom number property a formula in error.
TEST_F(CellEditingTest, ADateOrATimeTypedWhereANumberIsRequiredIsRefused) {
  const TLocaleSettings saved = localeSettings();
  localeSettings().dateSeparator = '.';
  localeSettings().shortDateFormat = "dd.MM.yyyy";
  sheet.decimalSeparator = ",";
  sheet.thousandSeparator = ".";
  place(1, 1, "0,075", cellNumber);
  std::string why;
  const TCellWrite required = commitEditorText(sheet, cellNumber, "1.5", true, {}, &why);
  const double kept = sheet.getCellNumber(1, 1);
  place(2, 2, "5", cellTransactionUnits);
  const TCellWrite units = commitEditorText(sheet, cellTransactionUnits, "1.5");
  const TCellWrite time = commitEditorText(sheet, cellTransactionUnits, "12:30");
  const TCellWrite grouped = commitEditorText(sheet, cellTransactionUnits, "1.500");
  localeSettings() = saved;
  EXPECT_EQ(required, TCellWrite::refused);
  EXPECT_EQ(why, "\"1.5\" is no number this cell can keep. Type a number, or press Esc to leave the cell as it was.");
  EXPECT_EQ(kept, 0.075);
  EXPECT_EQ(units, TCellWrite::refused);
  EXPECT_EQ(time, TCellWrite::refused);
  EXPECT_NE(grouped, TCellWrite::refused);
}

TEST_F(CellEditingTest, ThePickerWritesOnlyWhatChangedAndKeepsTheOtherPart) {
  TPickerValue opening{true, 45123.75};
  double result = 0;
  EXPECT_FALSE(pickedCellValue(opening, false, 45123, 0, result));
  ASSERT_TRUE(pickedCellValue(opening, false, 45130, 0, result));
  EXPECT_DOUBLE_EQ(result, 45130.75);
  EXPECT_FALSE(pickedCellValue(opening, true, 0, 0.75, result));
  ASSERT_TRUE(pickedCellValue(opening, true, 0, 0.5, result));
  EXPECT_DOUBLE_EQ(result, 45123.5);
  // Before day 0 the time still counts forward from midnight.
  ASSERT_TRUE(pickedCellValue(TPickerValue{true, -1.25}, true, 0, 0.5, result));
  EXPECT_DOUBLE_EQ(result, -1.5);
  // A value the picker cannot show is left alone unless a value is picked.
  place(1, 3, "1e12", cellDate);
  TCellEditSession session;
  session.open(sheet);
  EXPECT_FALSE(session.pickerOpening().shown);
  EXPECT_TRUE(pickedCellValue(session.pickerOpening(), false, 36526, 0, result));
  EXPECT_DOUBLE_EQ(result, 36526);
}

TEST_F(CellEditingTest, ASessionEndsWithARebuildOfItsSheet) {
  place(2, 2, "5", cellNumber);
  TCellEditSession session;
  session.open(sheet);
  EXPECT_TRUE(session.belongsTo(sheet));
  sheet.setCellContent(3, 3, 0, "1", cellNumber);
  EXPECT_TRUE(session.belongsTo(sheet));
  sheet.clearCells();
  place(2, 2, "8", cellNumber);
  EXPECT_FALSE(session.belongsTo(sheet));
  session.open(sheet);
  sheet.setCurrentCell(3, 3);
  EXPECT_FALSE(session.belongsTo(sheet));
}

}  // namespace

namespace {

// The same formula entered again through the grid is computed again (a
// macro function the user stopped gets its call); a recalculation or a
// write that is no entry leaves it.
TEST_F(CellEditingTest, TheSameFormulaEnteredAgainIsComputedAgain) {
  TTestScriptEngine engine(L"JScript", L"var calls = 0;\r\nfunction counted() { return ++calls; }");
  sheet.setScriptEngine(engine.get(), false);
  place(1, 1, "", cellNumber);
  EXPECT_EQ(commitEditorText(sheet, cellNumber, "=counted()"), TCellWrite::written);
  EXPECT_DOUBLE_EQ(sheet.getCellNumber(1, 1), 1.0);
  sheet.setCellContent(1, 1, 0, "=counted()", cellNumber);
  EXPECT_DOUBLE_EQ(sheet.getCellNumber(1, 1), 1.0);
  commitEditorText(sheet, cellNumber, "=counted()");
  EXPECT_DOUBLE_EQ(sheet.getCellNumber(1, 1), 2.0);
}

}  // namespace
