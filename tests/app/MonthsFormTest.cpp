#include <gtest/gtest.h>

#include "app/MonthsForm.h"
#include "model/MonthSets.h"
#include "model/PortableIniFile.h"
#include "platform/StdControls.h"
#include "platform/Timer.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestSupport.h"

TEST(MonthsForm, OpensOnTheFirstDescribedSetAndStoresTrimmedTextsOnlyOnOk) {
  resetMonthSets();
  monthSets()[3].description = "Deutsch";
  monthSets()[3].names[2] = "Mrz";
  TmonthsForm form;
  int openedOn = -1;
  std::string shownMarch;
  RECT placed{};
  TModalDriver driver(form, {[&] {
                               openedOn = form.position();
                               shownMarch = form.monthEdit(3).text();
                               GetWindowRect(form.handle(), &placed);
                               form.monthEdit(3).setText("  Maerz  ");
                               form.monthEdit(12).setText("abcdefghijklmnopqrstuvwxy");
                               captureWindow(form.handle()).savePng("month-names-dialog");
                               form.okBtn().performClick();
                             }});
  // A main window partly off the top left of the screen.
  ASSERT_TRUE(form.execute(RECT{-900, -700, 100, 100}));
  EXPECT_FALSE(driver.timedOut());
  EXPECT_EQ(openedOn, 2);
  EXPECT_EQ(shownMarch, "Mrz");
  EXPECT_EQ(placed.left, 0);
  EXPECT_EQ(placed.top, 0);
  EXPECT_EQ(monthSets()[3].names[2], "Maerz");
  EXPECT_EQ(monthSets()[3].names[11], "abcdefghijklmnopqrst");
  EXPECT_EQ(monthSets()[0].names[0], "Jan");
  resetMonthSets();
}

TEST(MonthsForm, EscapeAfterEditingSavesNothing) {
  TTemporaryFolder folder;
  const std::string options = folder.path() + "GUIoptions.INI";
  const std::string original = "[Main]\r\nLeft=3\r\n\r\n[MonthNames1]\r\nDescription= Odd \r\n1=j\r\n";
  writeWholeFile(options, original);
  loadMonthSets(options);
  TmonthsForm probe;
  bool edited = false;
  {
    TModalDriver driver(probe, {[&] {
      probe.setDescriptionEdit().setText("changed");
      edited = probe.editedSets()[2].description == "changed";
      postKey(probe.setDescriptionEdit().handle(), VK_ESCAPE);
    }});
    EXPECT_FALSE(probe.execute(RECT{0, 0, 800, 600}));
  }
  EXPECT_TRUE(edited);
  EXPECT_EQ(monthSets()[2].description, "Odd");
  EXPECT_EQ(readWholeFile(options), original);
  resetMonthSets();
}

// The months button once wrote every set from memory: names another program
// wrote into the file while the dialog showed went back to the old ones.
TEST(MonthsForm, AnEditWritesOnlyWhatTheUserChangedAndKeepsWhatAnotherProgramWroteSince) {
  TTemporaryFolder folder;
  const std::string options = folder.path() + "GUIoptions.INI";
  writeWholeFile(options, "[MonthNames0]\r\nDescription=German\r\n1=Januar\r\n2=Februar\r\n");
  loadMonthSets(options);
  bool edited = false;
  TTimer user(100, [&] {
    TmonthsForm* form = shownForm<TmonthsForm>();
    if (form == nullptr || edited) return;
    edited = true;
    {
      TPortableIniFile other(options);
      other.writeString("MonthNames0", "2", "Feber");
      other.writeString("MonthNames0", "3", "Maerz");
      other.writeString("MonthNames4", "Description", "Dutch");
    }
    form->monthEdit(1).setText("Jaenner");
    form->monthEdit(3).setText("M\xe4rz");
    form->okBtn().performClick();
  });
  user.setEnabled(true);
  EXPECT_TRUE(editMonthNames(folder.path() + "none.LNG", options, RECT{0, 0, 800, 600}));
  user.setEnabled(false);
  ASSERT_TRUE(edited);
  loadMonthSets(options);
  EXPECT_EQ(monthSets()[1].names[0], "Jaenner");
  EXPECT_EQ(monthSets()[1].names[1], "Feber");
  EXPECT_EQ(monthSets()[1].names[2], "M\xe4rz");
  EXPECT_EQ(monthSets()[5].description, "Dutch");
  resetMonthSets();
}
