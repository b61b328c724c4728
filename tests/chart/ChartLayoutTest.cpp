#include <gtest/gtest.h>

#include <string>

#include "chart/ChartLayout.h"
#include "model/PortableIniFile.h"
#include "model/UnreadableFiles.h"
#include "tests/support/TestFolders.h"

TEST(ChartLayout, SavedLoadedAndSavedAgainByteForByte) {
  TTemporaryFolder folder;
  TChartLayout layout;
  layout.inContainer = true;
  layout.tileLeft = 0.25;
  layout.tileBottom = 0.5;
  layout.topXAxis.dates = true;
  layout.leftYAxis.visible = false;
  layout.rightYAxis.width = 51;
  layout.logarithmic = true;
  layout.showPositionRight = true;
  layout.labelColor = -2147483624;
  layout.graphFont.name = "Verdana";
  layout.gridBottomX = true;
  layout.maxProfileBins = 40;
  layout.topText.text = "Prices";
  layout.bottomText.align = 2;
  ASSERT_EQ(saveChartLayoutFile(folder.path() + "a.INI", layout), 0);

  TChartLayout loaded;
  loaded.inContainer = true;
  {
    TPortableIniFile ini(folder.path() + "a.INI");
    ASSERT_EQ(readChartLayout(ini, loaded), 0);
  }
  ASSERT_EQ(saveChartLayoutFile(folder.path() + "b.INI", loaded), 0);
  const std::string text = readWholeFile(folder.path() + "a.INI");
  EXPECT_EQ(readWholeFile(folder.path() + "b.INI"), text);

  // The sections in the file's order, the Tile bounds first.
  size_t at = 0;
  for (const char* section : {"[Tile]", "Left=", "Maximized=", "[TopXAxis]", "[BottomXAxis]", "[LeftYAxis]",
                              "[RightYAxis]", "[Axes]", "[Graph]", "[Grid]", "[Profile]", "[TopText]",
                              "[BottomText]"}) {
    const size_t next = text.find(section, at);
    ASSERT_NE(next, std::string::npos) << section;
    at = next;
  }
  EXPECT_NE(text.find("FontName=Verdana"), std::string::npos);
}

TEST(ChartLayout, CaptionTextsKeepTheirQuotesAndEdgeBlanks) {
  TTemporaryFolder folder;
  TChartLayout layout;
  layout.topText.text = "\"Prices\"";
  layout.bottomText.text = "  in euro ";
  ASSERT_EQ(saveChartLayoutFile(folder.path() + "a.INI", layout), 0);
  TChartLayout loaded;
  TPortableIniFile ini(folder.path() + "a.INI");
  ASSERT_EQ(readChartLayout(ini, loaded), 0);
  EXPECT_EQ(loaded.topText.text, "\"Prices\"");
  EXPECT_EQ(loaded.bottomText.text, "  in euro ");
}

TEST(ChartLayout, OutsideAContainerNoBoundsAndMissingKeysKeepValues) {
  TTemporaryFolder folder;
  TChartLayout layout;
  ASSERT_EQ(saveChartLayoutFile(folder.path() + "c.INI", layout), 0);
  const std::string text = readWholeFile(folder.path() + "c.INI");
  EXPECT_EQ(text.find("\nLeft="), std::string::npos);
  EXPECT_NE(text.find("Maximized=0"), std::string::npos);

  writeWholeFile(folder.path() + "d.INI", "[Graph]\r\nFill=1\r\n");
  TChartLayout partial;
  partial.maxProfileBins = 33;
  partial.graphFont.name = "Arial";
  TPortableIniFile ini(folder.path() + "d.INI");
  ASSERT_EQ(readChartLayout(ini, partial), 0);
  EXPECT_TRUE(partial.fill);
  EXPECT_EQ(partial.maxProfileBins, 33);
  EXPECT_EQ(partial.graphFont.name, "Arial");
}

TEST(ChartLayout, AFailedWriteReportsAndKeepsTheOldFile) {
  TTemporaryFolder folder;
  // A folder where the file should be cannot be replaced.
  EXPECT_EQ(saveChartLayoutFile(folder.path() + "missing\\x.INI", TChartLayout()), -4);
}

// Every save of a view in a container writes its tile: one without a side
// of it showed the default for it without a word.
TEST(ChartLayout, AViewInAContainerWithoutASideOfItsTileIsNamed) {
  TTemporaryFolder folder;
  const std::string file = folder.path() + "a.INI";
  TChartLayout layout;
  layout.inContainer = true;
  layout.tileBottom = 0.5;
  ASSERT_EQ(saveChartLayoutFile(file, layout), 0);
  const std::string whole = readWholeFile(file);
  takePartlyReadFiles();
  const auto namedAfterReading = [&](const std::string& text, bool inContainer) {
    writeWholeFile(file, text);
    TChartLayout loaded;
    loaded.inContainer = inContainer;
    TPortableIniFile ini(file);
    EXPECT_EQ(readChartLayout(ini, loaded), 0);
    return takePartlyReadFiles() == std::vector<std::string>{file};
  };
  EXPECT_FALSE(namedAfterReading(whole, true));
  const size_t bottom = whole.find("Bottom=");
  ASSERT_NE(bottom, std::string::npos);
  const std::string withoutBottom = whole.substr(0, bottom) + whole.substr(whole.find("\r\n", bottom) + 2);
  EXPECT_TRUE(namedAfterReading(withoutBottom, true));
  // Outside a container no save writes a tile.
  EXPECT_FALSE(namedAfterReading(withoutBottom, false));
  EXPECT_EQ(readWholeFile(file), withoutBottom);
}
