#include <gtest/gtest.h>

#include "model/MonthSets.h"
#include "model/PortableIniFile.h"
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
  ASSERT_TRUE(saveMonthSets(layout));

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

TEST(MonthSets, AnOptionsFileThatCannotBeReadIsNotWrittenOver) {
  TTemporaryFolder folder;
  const std::string layout = folder.path() + "GUIoptions.INI";
  const std::string text = "[MainForm]\r\nLeft=10\r\n";
  writeWholeFile(layout, text);
  resetMonthSets();
  monthSets()[1] = {"French", {"janv"}};
  {
    THeldFile held(layout);
    ASSERT_TRUE(held.held());
    // The window places it holds would be lost to the month names alone.
    EXPECT_FALSE(saveMonthSets(layout));
  }
  EXPECT_EQ(readWholeFile(layout), text);
  const std::string folderLayout = folder.path() + "folder.INI";
  forceFolders(folderLayout);
  EXPECT_FALSE(saveMonthSets(folderLayout));
  EXPECT_TRUE(folderExists(folderLayout));
  takeUnreadableFiles();
}
