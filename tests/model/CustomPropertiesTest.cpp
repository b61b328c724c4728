#include <gtest/gtest.h>

#include "model/ChangeStamps.h"
#include "model/CustomProperties.h"
#include "model/PortableIniFile.h"
#include "tests/support/TestFolders.h"

TEST(ChangeStamps, AlwaysIncreaseEvenWithinOneClockTick) {
  double previous = changeStamp();
  for (int i = 0; i < 10000; ++i) {
    const double next = changeStamp();
    ASSERT_GT(next, previous);
    previous = next;
  }
}

TEST(CustomProperties, NamesAreTrimmedCaseInsensitiveAndStandOnce) {
  TCustomProperties list;
  list.setValue("  Target ", " 12 ", "", "", true);
  list.setValue("target", "13", "", "", true);
  ASSERT_EQ(list.Lines().size(), 1u);
  EXPECT_EQ(list.Lines()[0].Name, "target");
  EXPECT_EQ(list.getValue("TARGET  ", "", ""), "13");
  EXPECT_EQ(list.getValue("missing", "", ""), "");

  list.setValue("Empty", "", "", "", true);
  EXPECT_EQ(list.Lines().size(), 2u);
  list.deleteName(" EMPTY", true);
  EXPECT_EQ(list.Lines().size(), 1u);
}

TEST(CustomProperties, SeparatorSwapOnTheWayInAndOut) {
  TCustomProperties list;
  list.setValue("Rate", "1,5", ",", ".", true);
  EXPECT_EQ(list.getValue("Rate", "", ""), "1.5");
  EXPECT_EQ(list.getValue("Rate", ".", ","), "1,5");
  list.setValue("Long", "a..b.", ".", "::", true);
  EXPECT_EQ(list.getValue("Long", "", ""), "a::::b::");
}

TEST(CustomProperties, TouchDecidesWhetherTheStampMoves) {
  TCustomProperties list;
  const double created = list.LastChange();
  list.setValue("A", "1", "", "", false);
  list.deleteName("A", false);
  EXPECT_EQ(list.LastChange(), created);
  list.deleteName("absent", true);
  EXPECT_EQ(list.LastChange(), created);
  list.setValue("A", "1", "", "", true);
  EXPECT_GT(list.LastChange(), created);
}

TEST(CustomProperties, FileRoundTripDropsEmptyValuesAndMergesHandEditedTwins) {
  TTemporaryFolder folder;
  const std::string file = folder.path() + "props.ini";
  writeWholeFile(file,
                 "[CustomProperties]\r\nGoal =first\r\nGoal=second\r\nOld=gone\r\n"
                 "[Other]\r\nKeep=me\r\n");
  TCustomPropertyObject object;
  {
    TPortableIniFile ini(file);
    object.CustomProperties.loadFromIni(ini, "CustomProperties");
  }
  EXPECT_EQ(object.getCustomProperty("goal"), "first");
  object.setCustomProperty("Goal", "third");
  object.setCustomProperty("Old", "");
  object.setExternalProperty("ColWidth", "64");
  EXPECT_EQ(object.CustomProperties.Lines().size(), 2u);
  {
    TPortableIniFile ini(file);
    object.CustomProperties.saveToIni(ini, "CustomProperties");
    object.ExternalProperties.saveToIni(ini, "ExternalProperties");
    ASSERT_TRUE(ini.updateFile());
  }
  EXPECT_EQ(readWholeFile(file),
            "[CustomProperties]\r\nGoal=third\r\n[Other]\r\nKeep=me\r\n\r\n"
            "[ExternalProperties]\r\nColWidth=64\r\n\r\n");
}

TEST(CustomProperties, EveryValueSurvivesASaveAndUnstorableNamesFailIt) {
  TTemporaryFolder folder;
  const std::string file = folder.path() + "props.ini";
  TCustomPropertyObject object;
  const std::vector<std::pair<std::string, std::string>> properties = {
      {"Quoted", "\"Buy low\""}, {"Empty", "\"\""}, {"[1]", "x]"}, {"[2", "y]"}, {"Later", "z"}};
  for (const auto& [name, value] : properties) object.setCustomProperty(name, value);
  {
    TPortableIniFile ini(file);
    EXPECT_TRUE(object.CustomProperties.saveToIni(ini, "CustomProperties"));
    ASSERT_TRUE(ini.updateFile());
  }
  TCustomPropertyObject loaded;
  {
    TPortableIniFile ini(file);
    loaded.CustomProperties.loadFromIni(ini, "CustomProperties");
  }
  for (const auto& [name, value] : properties) EXPECT_EQ(loaded.getCustomProperty(name), value) << name;

  object.setCustomProperty("a=b", "lost");
  TPortableIniFile ini(file);
  EXPECT_FALSE(object.CustomProperties.saveToIni(ini, "CustomProperties"));
  EXPECT_EQ(ini.readString("CustomProperties", "Later", ""), "z");
}
