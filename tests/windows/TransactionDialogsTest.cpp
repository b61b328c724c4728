#include <gtest/gtest.h>

#include "controls/SpinButton.h"
#include "model/PortableIniFile.h"
#include "platform/CalendarDates.h"
#include "platform/DateTimePicker.h"
#include "platform/StdControls.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestSupport.h"
#include "windows/DelTransForm.h"
#include "windows/SumTransForm.h"

namespace {

double day(int year, int month, int d) {
  double date = 0;
  encodeDate(year, month, d, date);
  return date;
}

int bluePixels(const TControl& button) {
  const TScreenImage face = captureClient(button.handle());
  int blue = 0;
  for (int y = 0; y < face.height(); ++y)
    for (int x = 0; x < face.width(); ++x) blue += face.pixel(x, y) == 0x286EE6 ? 1 : 0;
  return blue;
}

}  // namespace

// The first and last buttons show pictures (a blue pointer at a bar), and
// keep their names for screen readers.
TEST(DelTransForm, OpensOnTheSelectedNumberAndClampsWhatIsTyped) {
  TdelTransForm form;
  int firstPicture = 0, lastPicture = 0;
  std::string firstName;
  int32_t openStart = 0;
  int32_t openEnd = 0;
  TModalDriver driver(form, {[&] {
                               openStart = form.range().start();
                               openEnd = form.range().end();
                               form.startTransNrEdit().setText("3.9");
                               form.endTransNrEdit().setFocus();  // leaving the start edit validates it
                               pumpFor(50);
                               form.endTransNrEdit().setText("50");
                               form.startTransNrEdit().setFocus();
                               pumpFor(50);
                               captureWindow(form.handle()).savePng("delete-transactions-dialog");
                               firstPicture = bluePixels(form.startFirstNrBtn());
                               lastPicture = bluePixels(form.endLastNrBtn());
                               firstName = form.startFirstNrBtn().text();
                               postKey(form.startTransNrEdit().handle(), VK_RETURN);
                             }});
  int32_t first = 7;
  int32_t last = 7;
  ASSERT_TRUE(form.execute(10, 1, first, last));
  EXPECT_FALSE(driver.timedOut());
  EXPECT_EQ(openStart, 7);
  EXPECT_EQ(openEnd, 7);
  EXPECT_EQ(first, 3);
  EXPECT_EQ(last, 10);
  EXPECT_GE(firstPicture, 10);
  EXPECT_GE(lastPicture, 10);
  EXPECT_EQ(firstName, "First transaction number");

  TModalDriver cancel(form, {[&] {
    form.startTransNrEdit().setText("2");
    postKey(form.startTransNrEdit().handle(), VK_ESCAPE);
  }});
  EXPECT_FALSE(form.execute(1, 10, first, last));
  EXPECT_EQ(first, 3);
}

// The keys are in the start date when the dialog opens, every time: a
// date typed at once goes there.
TEST(SumTransForm, OpensWithTheKeysInTheStartDate) {
  TsumTransForm form;
  for (int opening = 0; opening < 2; ++opening) {
    HWND focused = nullptr;
    TModalDriver driver(form, {[&] {
                                 focused = focusInside(form.handle());
                                 form.okBtn().setFocus();  // left elsewhere this time
                                 postKey(form.okBtn().handle(), VK_ESCAPE);
                               }});
    double start = day(2024, 1, 1), end = day(2024, 1, 20), destination = end;
    bool deleteSource = true;
    form.execute(start, end, deleteSource, destination, day(2024, 1, 1), day(2024, 1, 30));
    EXPECT_EQ(focused, form.startDateTimePicker().picker().handle()) << "opening " << opening;
  }
  // Shift+Tab from the start date goes back round to OK, not into the
  // picker's frame.
  HWND before = nullptr;
  TModalDriver driver(form, {[&] {
                               TKeyState shift{VK_SHIFT};
                               postKey(focusInside(form.handle()), VK_TAB);
                               before = GetFocus();
                               postKey(form.okBtn().handle(), VK_ESCAPE);
                             }});
  double start = day(2024, 1, 1), end = day(2024, 1, 20), destination = end;
  bool deleteSource = true;
  form.execute(start, end, deleteSource, destination, day(2024, 1, 1), day(2024, 1, 30));
  EXPECT_EQ(before, form.okBtn().handle());
}

TEST(SumTransForm, KeepsItsDatesConsistentAndRemembersItsPlaceAndChoice) {
  TTemporaryFolder folder;
  const std::string options = folder.path() + "GUIoptions.INI";
  TsumTransForm form;
  bool endDragged = false;
  TModalDriver driver(form, {[&] {
                               form.startLastDateBtn().performClick();  // start after end drags the end along
                               endDragged = form.endDateTimePicker().dateTime() == day(2024, 1, 30);
                               form.dstFirstDateBtn().performClick();
                               form.delCheckBox().setChecked(false);
                               pumpFor(50);
                               captureWindow(form.handle()).savePng("merge-transactions-dialog");
                               form.okBtn().performClick();
                             }});
  double start = day(2024, 1, 1);
  double end = day(2024, 1, 20) + 0.75;
  double destination = end;
  bool deleteSource = true;
  ASSERT_TRUE(form.execute(start, end, deleteSource, destination, day(2024, 1, 1), day(2024, 1, 30)));
  EXPECT_FALSE(driver.timedOut());
  EXPECT_TRUE(endDragged);
  EXPECT_EQ(start, day(2024, 1, 30));
  EXPECT_EQ(end, day(2024, 1, 30));
  EXPECT_EQ(destination, day(2024, 1, 1));
  EXPECT_FALSE(deleteSource);
  form.setBounds(40, 50, form.width(), form.height());
  form.saveGUIoptions(options);

  TsumTransForm again;
  again.loadGUIoptions(options);
  EXPECT_EQ(again.left(), 40);
  EXPECT_EQ(again.top(), 50);
  EXPECT_FALSE(again.delCheckBox().checked());
  TModalDriver cancel(again, {[&] { postKey(again.okBtn().handle(), VK_ESCAPE); }});
  EXPECT_FALSE(again.execute(start, end, deleteSource, destination, day(2024, 1, 1), day(2024, 1, 30)));
}

// A place the file spells so that it reads as none was written over with
// where the dialog stood after a mere load and close: it stays, and the
// file with it, until the user moves the dialog.
TEST(TransactionDialogs, APlaceThatDoesNotReadStaysUntilTheDialogIsMoved) {
  TTemporaryFolder folder;
  const std::string options = folder.path() + "GUIoptions.INI";
  const std::string text = "[DelTransactions]\r\nLeft=9223372036854775808\r\nTop=40\r\n"
                           "[SumTransactions]\r\nLeft=1E300\r\nTop=40\r\nDelete=0\r\n";
  writeWholeFile(options, text);
  TdelTransForm deletion;
  deletion.loadGUIoptions(options);
  deletion.saveGUIoptions(options);
  TsumTransForm merge;
  merge.loadGUIoptions(options);
  merge.saveGUIoptions(options);
  EXPECT_EQ(readWholeFile(options), text);
  deletion.setBounds(30, 40, deletion.width(), deletion.height());
  deletion.saveGUIoptions(options);
  merge.setBounds(20, 40, merge.width(), merge.height());
  merge.saveGUIoptions(options);
  EXPECT_EQ(readWholeFile(options), "[DelTransactions]\r\nLeft=30\r\nTop=40\r\n"
                                    "[SumTransactions]\r\nLeft=20\r\nTop=40\r\nDelete=0\r\n");
}
