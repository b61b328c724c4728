#include <gtest/gtest.h>

#include "model/MonthSets.h"
#include "model/PortableIniFile.h"
#include "model/SettingsBaseline.h"
#include "model/UnreadableFiles.h"
#include "platform/FileSystem.h"
#include "tests/support/TestFolders.h"

TEST(MonthSets, LoadResetsThenReadsTheDefinedUserSetsCutToTwentyCharacters) {
  TTemporaryFolder folder;
  std::string layout = folder.path() + "GUIoptions.INI";
  writeWholeFile(layout, "[MonthNames0]\r\nDescription=German with a very long description\r\n1=Januar\r\n3=M\xe4rz\r\n"
                         "[MonthNames9]\r\n12=Dezember-und-noch-viel-mehr\r\n");
  monthSets()[5].description = "left over";
  loadMonthSets(layout);

  const TMonthSets& sets = monthSets();
  EXPECT_EQ(sets[0].description, "US Jan-Dec");
  EXPECT_EQ(sets[0].names[11], "Dec");
  EXPECT_EQ(sets[1].description, "German with a very l");
  EXPECT_EQ(sets[1].names[0], "Januar");
  EXPECT_EQ(sets[1].names[1], "");
  EXPECT_EQ(sets[1].names[2], "M\xe4rz");
  EXPECT_EQ(sets[10].names[11], "Dezember-und-noch-vi");
  EXPECT_EQ(sets[5].description, "");
}

TEST(MonthSets, SaveRewritesTheTenSectionsAndKeepsTheRestOfTheFile) {
  TTemporaryFolder folder;
  std::string layout = folder.path() + "GUIoptions.INI";
  writeWholeFile(layout, "[MainForm]\r\nLeft=10\r\n[MonthNames2]\r\nDescription=old\r\n5=stale\r\n");
  resetMonthSets();
  monthSets()[1] = {"French", {"janv", "", "mars"}};
  monthSets()[3].names[4] = "a name far longer than twenty";
  {
    TPortableIniFile written(layout);
    writeMonthSets(written);
    ASSERT_TRUE(written.updateFile());
  }

  TPortableIniFile ini(layout);
  EXPECT_EQ(ini.readString("MainForm", "Left", ""), "10");
  std::vector<std::string> entries;
  for (int n = 0; n < 10; ++n) EXPECT_TRUE(ini.sectionExists("MonthNames" + std::to_string(n))) << n;
  ini.readSectionValues("MonthNames0", entries);
  ini.readSectionValues("MonthNames2", entries);
  ini.readSectionValues("MonthNames4", entries);
  EXPECT_EQ(entries, (std::vector<std::string>{"Description=French", "1=janv", "3=mars", "5=a name far longer th"}));

  resetMonthSets();
  loadMonthSets(layout);
  EXPECT_EQ(monthSets()[1].names[2], "mars");
  EXPECT_EQ(monthSets()[0].names[0], "Jan");
}

// The names dialog rewrote every set from memory: names another program
// wrote into the file since the start went back. Only what the user changed
// from the sets held is written now (see editMonthNames).
TEST(MonthSets, AnEditWritesOnlyWhatTheUserChanged) {
  TTemporaryFolder folder;
  std::string layout = folder.path() + "GUIoptions.INI";
  writeWholeFile(layout, "[MonthNames0]\r\nDescription=German\r\n1=Januar\r\n2=Februar\r\n");
  loadMonthSets(layout);
  TSettingsBaseline saved;
  saved.take(layout, writeMonthSets);
  {
    TPortableIniFile other(layout);
    other.writeString("MonthNames0", "2", "Feber");
    other.writeString("MonthNames0", "3", "Maerz");
    other.writeString("MonthNames4", "Description", "Dutch");
  }
  monthSets()[1].names[0] = "Jaenner";
  monthSets()[1].names[2] = "M\xe4rz";
  ASSERT_TRUE(saved.save(layout, writeMonthSets));
  loadMonthSets(layout);
  EXPECT_EQ(monthSets()[1].names[0], "Jaenner");
  EXPECT_EQ(monthSets()[1].names[1], "Feber");
  EXPECT_EQ(monthSets()[1].names[2], "M\xe4rz");
  EXPECT_EQ(monthSets()[5].description, "Dutch");
  resetMonthSets();
}

TEST(MonthSets, AnOptionsFileThatCannotBeReadIsNotWrittenOver) {
  TTemporaryFolder folder;
  const std::string layout = folder.path() + "GUIoptions.INI";
  const std::string text = "[MainForm]\r\nLeft=10\r\n";
  writeWholeFile(layout, text);
  resetMonthSets();
  TSettingsBaseline saved;
  saved.take(layout, writeMonthSets);
  monthSets()[1] = {"French", {"janv"}};
  {
    THeldFile held(layout);
    ASSERT_TRUE(held.held());
    // The window places it holds would be lost to the month names alone.
    EXPECT_FALSE(saved.save(layout, writeMonthSets));
  }
  EXPECT_EQ(readWholeFile(layout), text);
  const std::string folderLayout = folder.path() + "folder.INI";
  forceFolders(folderLayout);
  TSettingsBaseline savedIntoFolder;
  savedIntoFolder.take(folderLayout, writeMonthSets);
  monthSets()[1] = {"Dutch", {"jan"}};
  EXPECT_FALSE(savedIntoFolder.save(folderLayout, writeMonthSets));
  EXPECT_TRUE(folderExists(folderLayout));
  takeUnreadableFiles();
}
