#include <gtest/gtest.h>

#include "model/MonthSets.h"
#include "model/PortableIniFile.h"
#include "model/SettingsBaseline.h"
#include "model/UnreadableFiles.h"
#include "platform/FileSystem.h"
#include "tests/support/TestFolders.h"

namespace {

// The month names are saved through what the main window holds of its
// options file, taken as it reads the file at the start: nothing of a file
// not there, and for one it could not read, what it shows.
TSettingsBaseline optionsBaseline(const std::string& fileName) {
  TSettingsBaseline baseline;
  const TPortableIniFile read(fileName);
  if (!pathExists(fileName)) return baseline;
  if (read.readFailed())
    baseline.takeAsShown(fileName, writeUserMonthSets, read);
  else
    baseline.take(fileName, writeUserMonthSets, read);
  return baseline;
}

}  // namespace

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

TEST(MonthSets, SaveWritesTheUserSetsCutToTwentyCharactersAndKeepsTheRestOfTheFile) {
  TTemporaryFolder folder;
  // A file not there yet takes every set.
  const std::string fresh = folder.path() + "fresh.INI";
  resetMonthSets();
  TSettingsBaseline savedFresh = optionsBaseline(fresh);
  monthSets()[1] = {"French", {"janv", "", "mars"}};
  monthSets()[10].description = "Last";
  ASSERT_TRUE(saveMonthSets(fresh, savedFresh));
  TPortableIniFile written(fresh);
  EXPECT_EQ(written.readString("MonthNames9", "Description", ""), "Last");
  std::vector<std::string> entries;
  written.readSectionValues("MonthNames0", entries);
  EXPECT_EQ(entries, (std::vector<std::string>{"Description=French", "1=janv", "3=mars"}));

  std::string layout = folder.path() + "GUIoptions.INI";
  writeWholeFile(layout, "[MainForm]\r\nLeft=10\r\n[MonthNames2]\r\nDescription=old\r\n5=stale\r\n");
  loadMonthSets(layout);
  TSettingsBaseline saved = optionsBaseline(layout);
  monthSets()[3].names[4] = "a name far longer than twenty";
  monthSets()[3].names[5] = "juin";
  ASSERT_TRUE(saveMonthSets(layout, saved));
  TPortableIniFile ini(layout);
  EXPECT_EQ(ini.readString("MainForm", "Left", ""), "10");
  entries.clear();
  ini.readSectionValues("MonthNames2", entries);
  EXPECT_EQ(entries, (std::vector<std::string>{"Description=old", "5=a name far longer th", "6=juin"}));

  resetMonthSets();
  loadMonthSets(fresh);
  EXPECT_EQ(monthSets()[1].names[2], "mars");
  EXPECT_EQ(monthSets()[0].names[0], "Jan");
  resetMonthSets();
}

// A save wrote only the sets that changed: the headers of the others stayed
// out of a file that lacked them.
TEST(MonthSets, EverySaveLeavesAllTenHeadersAndKeepsWhatAnotherProgramWrote) {
  TTemporaryFolder folder;
  const std::string layout = folder.path() + "GUIoptions.INI";
  const auto headers = [&] {
    TPortableIniFile ini(layout);
    int count = 0;
    for (int userSet = 0; userSet < userMonthSetCount; ++userSet)
      count += ini.sectionExists("MonthNames" + std::to_string(userSet)) ? 1 : 0;
    return count;
  };
  writeWholeFile(layout, "[MainForm]\r\nLeft=10\r\n[MonthNames4]\r\nDescription=Dutch\r\n1=jan\r\n");
  loadMonthSets(layout);
  TSettingsBaseline saved = optionsBaseline(layout);
  // Written by another program while the dialog was open.
  TPortableIniFile other(layout);
  other.writeString("MonthNames7", "Description", "theirs");
  other.writeString("MonthNames4", "2", "feb");
  ASSERT_TRUE(other.updateFile());
  monthSets()[1].description = "French";
  ASSERT_TRUE(saveMonthSets(layout, saved));
  EXPECT_EQ(headers(), userMonthSetCount);
  TPortableIniFile ini(layout);
  EXPECT_EQ(ini.readString("MainForm", "Left", ""), "10");
  EXPECT_EQ(ini.readString("MonthNames0", "Description", ""), "French");
  EXPECT_EQ(ini.readString("MonthNames7", "Description", ""), "theirs");
  std::vector<std::string> entries;
  ini.readSectionValues("MonthNames4", entries);
  EXPECT_EQ(entries, (std::vector<std::string>{"Description=Dutch", "1=jan", "2=feb"}));

  // A save with no set changed writes the headers the file lacks, and then
  // nothing more.
  writeWholeFile(layout, "[MainForm]\r\nLeft=10\r\n");
  loadMonthSets(layout);
  TSettingsBaseline unchanged = optionsBaseline(layout);
  ASSERT_TRUE(saveMonthSets(layout, unchanged));
  EXPECT_EQ(headers(), userMonthSetCount);
  const std::string text = readWholeFile(layout);
  TSettingsBaseline again = optionsBaseline(layout);
  ASSERT_TRUE(saveMonthSets(layout, again));
  EXPECT_EQ(readWholeFile(layout), text);
  resetMonthSets();
}

TEST(MonthSets, AnOptionsFileThatCannotBeReadIsNotWrittenOver) {
  TTemporaryFolder folder;
  const std::string layout = folder.path() + "GUIoptions.INI";
  const std::string text = "[MainForm]\r\nLeft=10\r\n";
  writeWholeFile(layout, text);
  resetMonthSets();
  TSettingsBaseline saved = optionsBaseline(layout);
  monthSets()[1] = {"French", {"janv"}};
  {
    THeldFile held(layout);
    ASSERT_TRUE(held.held());
    // The window places it holds would be lost to the month names alone.
    EXPECT_FALSE(saveMonthSets(layout, saved));
  }
  EXPECT_EQ(readWholeFile(layout), text);
  const std::string folderLayout = folder.path() + "folder.INI";
  forceFolders(folderLayout);
  TSettingsBaseline savedIntoFolder = optionsBaseline(folderLayout);
  monthSets()[1] = {"Dutch", {"jan"}};
  EXPECT_FALSE(saveMonthSets(folderLayout, savedIntoFolder));
  EXPECT_TRUE(folderExists(folderLayout));
  takeUnreadableFiles();
  resetMonthSets();
}
