#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/MonthsForm.h"
#include "model/MonthSets.h"
#include "model/PortableIniFile.h"
#include "model/UnreadableFiles.h"
#include "model/UnsavedChanges.h"
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
  // As the main window holds the file, the month names among its settings.
  TSettingsBaseline layout;
  layout.take(options, writeUserMonthSets, TPortableIniFile(options));
  user.setEnabled(true);
  EXPECT_TRUE(editMonthNames(folder.path() + "none.LNG", options, RECT{0, 0, 800, 600}, layout));
  user.setEnabled(false);
  ASSERT_TRUE(edited);
  loadMonthSets(options);
  EXPECT_EQ(monthSets()[1].names[0], "Jaenner");
  EXPECT_EQ(monthSets()[1].names[1], "Feber");
  EXPECT_EQ(monthSets()[1].names[2], "M\xe4rz");
  EXPECT_EQ(monthSets()[5].description, "Dutch");
  resetMonthSets();
}

// A name typed while the options file was saved as UTF-16 went with the
// one-line notice: the change waits for the close, which saves it once the
// file takes it and names the file while it does not.
TEST(MonthsForm, AnEditTheFileRefusesWaitsForTheClose) {
  TTemporaryFolder folder;
  const std::string options = folder.path() + "GUIoptions.INI";
  const std::string ansi = "[MonthNames0]\r\nDescription=German\r\n1=Januar\r\n";
  writeWholeFile(options, ansi);
  loadMonthSets(options);
  std::string utf16 = "\xff\xfe";
  for (const char c : ansi) utf16 += std::string{c, '\0'};
  writeWholeFile(options, utf16);
  bool edited = false;
  TTimer user(100, [&] {
    TmonthsForm* form = shownForm<TmonthsForm>();
    if (form == nullptr || edited) return;
    edited = true;
    form->monthEdit(2).setText("Februar");
    form->okBtn().performClick();
  });
  // As the main window holds the file, the month names among its settings.
  TSettingsBaseline layout;
  layout.take(options, writeUserMonthSets, TPortableIniFile(options));
  user.setEnabled(true);
  EXPECT_FALSE(editMonthNames(folder.path() + "none.LNG", options, RECT{0, 0, 800, 600}, layout));
  user.setEnabled(false);
  ASSERT_TRUE(edited);
  EXPECT_EQ(readWholeFile(options), utf16);
  EXPECT_EQ(monthSets()[1].names[1], "Februar");
  EXPECT_EQ(saveUnsavedChanges(), std::vector<std::string>{options});
  EXPECT_EQ(readWholeFile(options), utf16);
  EXPECT_EQ(refusedSaveText(options), options + " is saved as Unicode (UTF-16), not as ANSI text");
  // Saved again as ANSI text, the file takes the name, and nothing waits.
  writeWholeFile(options, ansi);
  EXPECT_TRUE(saveUnsavedChanges().empty());
  EXPECT_TRUE(saveUnsavedChanges().empty());
  loadMonthSets(options);
  EXPECT_EQ(monthSets()[1].names[0], "Januar");
  EXPECT_EQ(monthSets()[1].names[1], "Februar");
  resetMonthSets();
}
