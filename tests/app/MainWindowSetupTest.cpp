#include <gtest/gtest.h>

#include "app/MainWindowSetup.h"
#include "app/SplashMatrix.h"
#include "model/Directories.h"
#include "model/PortableIniFile.h"
#include "model/Portfolio.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/ImageList.h"
#include "tests/support/TestFolders.h"

// Rectangles compare member by member here.
static bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

namespace {

// The directory table is program-wide: each test starts from an empty one.
void emptyDirectoryTable(const TTemporaryFolder& folder) {
  writeWholeFile(folder.path() + "empty.INI", "[Directories]\r\n");
  loadDirectoryTable(folder.path() + "empty.INI", "Directories");
}

}  // namespace

TEST(SplashMatrix, ThreeTicksStepTheColumnsOnceThriceAndTwice) {
  TSplashMatrix matrix;
  matrix.sizeOnce(228, 9);
  ASSERT_EQ(matrix.rowCount(), 25);
  matrix.sizeOnce(100, 9);  // a later activation keeps the columns
  EXPECT_EQ(matrix.rowCount(), 25);
  EXPECT_EQ(matrix.column(1), std::vector<uint8_t>(25, 2));

  int steps[4] = {};
  for (int tick = 0; tick < 3; ++tick)
    for (int column : matrix.tick([] { return 1; })) ++steps[column];
  EXPECT_EQ(steps[1], 1);
  EXPECT_EQ(steps[2], 3);
  EXPECT_EQ(steps[3], 2);
  EXPECT_EQ(matrix.phase(), 0);
  // New glyphs enter at the top and move down one row a step.
  EXPECT_EQ(std::vector<uint8_t>(matrix.column(2).begin(), matrix.column(2).begin() + 4),
            (std::vector<uint8_t>{1, 1, 1, 2}));
  EXPECT_EQ(matrix.column(1)[0], 1);
  EXPECT_EQ(matrix.column(1)[1], 2);
}

TEST(MainWindowSetup, EmptyDirectoriesGetUpperCaseDefaultsInsideTheFinalData) {
  TTemporaryFolder folder;
  emptyDirectoryTable(folder);
  applyDirectoryDefaults("c:\\work\\kestrova");
  EXPECT_EQ(getDirectory("<DATA>"), "C:\\WORK\\KESTROVA\\DATA\\");
  EXPECT_EQ(getDirectory("<TEMP>"), "C:\\WORK\\KESTROVA\\TEMP\\");
  EXPECT_EQ(getDirectory("<SCRIPTS>"), "C:\\WORK\\KESTROVA\\SCRIPTS\\");
  EXPECT_EQ(getDirectory("<FOLIOS>"), "C:\\WORK\\KESTROVA\\DATA\\FOLIOS\\");
  EXPECT_EQ(getDirectory("<BMPS>"), "C:\\WORK\\KESTROVA\\DATA\\BMPS\\");
  EXPECT_EQ(getDirectory("<GALLERY>"), "");
  EXPECT_EQ(getDirectory("<WEBS>"), "");

  writeWholeFile(folder.path() + "list.INI", "[Directories]\r\n<DATA>=d:\\elsewhere\r\n<QUOTES>=e:\\q\r\n");
  loadDirectoryTable(folder.path() + "list.INI", "Directories");
  applyDirectoryDefaults("c:\\work");
  EXPECT_EQ(getDirectory("<FOLIOS>"), "D:\\ELSEWHERE\\FOLIOS\\");
  EXPECT_EQ(getDirectory("<QUOTES>"), "E:\\Q\\");

  TMainPaths paths = executablePaths("C:\\Program\\Kestrova.exe", "c:\\work");
  EXPECT_EQ(paths.dirListFileName, "c:\\work\\Kestrova.INI");
  EXPECT_EQ(paths.languageFileName, "C:\\Program\\Kestrova.LNG");
  refreshDataPaths(paths);
  EXPECT_EQ(paths.guiOptionsFileName, "D:\\ELSEWHERE\\GUIoptions.INI");
  setDirectory("<DATA>", "f:\\moved");
  refreshDataPaths(paths);
  EXPECT_EQ(paths.chartFavsFileName, "F:\\MOVED\\ChartFavs.INI");
  emptyDirectoryTable(folder);
}

TEST(MainWindowSetup, FirstRunShrinksToTheDesignSizeAndLaterRunsTakeTheStoredBounds) {
  TTemporaryFolder folder;
  const std::string fileName = folder.path() + "GUIoptions.INI";
  {
    TPortableIniFile ini(fileName);
    EXPECT_EQ(mainWindowBounds(ini, {0, 0, 1280, 1024}, {0, 0, 1280, 1024}), (RECT{0, 0, 1024, 768}));
    EXPECT_EQ(mainWindowBounds(ini, {0, 0, 800, 600}, {0, 0, 800, 600}), (RECT{0, 0, 800, 600}));
    saveMainWindowBounds(ini, false, {5, 5, 105, 105});  // maximised: only the mark
    saveMainWindowMaximized(ini, true);
  }
  {
    TPortableIniFile ini(fileName);
    EXPECT_FALSE(ini.readBool("MainWindow", "FirstRun", true));
    EXPECT_EQ(ini.readInteger("MainWindow", "Width", -1), -1);
    EXPECT_TRUE(mainWindowMaximized(ini));
    // Without stored bounds the current size is centred on the screen.
    EXPECT_EQ(mainWindowBounds(ini, {0, 0, 1000, 700}, {0, 0, 1280, 1024}), (RECT{140, 162, 1140, 862}));
    saveMainWindowBounds(ini, true, {10, 20, 810, 620});
    saveMainWindowMaximized(ini, false);
  }
  TPortableIniFile ini(fileName);
  EXPECT_EQ(mainWindowBounds(ini, {0, 0, 1280, 1024}, {0, 0, 1280, 1024}), (RECT{10, 20, 810, 620}));
  EXPECT_FALSE(mainWindowMaximized(ini));
}

// Stored bounds off the screen or of a negative size once left the window
// where its user could never reach it; wrapping sums made it worse.
TEST(MainWindowSetup, DamagedStoredBoundsAreFittedToTheWorkArea) {
  TTemporaryFolder folder;
  const std::string fileName = folder.path() + "GUIoptions.INI";
  const RECT area{0, 0, 1280, 1000};
  const RECT current{0, 0, 1024, 768};
  const auto boundsFrom = [&](const char* left, const char* top, const char* width, const char* height) {
    writeWholeFile(fileName, std::string("[MainWindow]\r\nFirstRun=0\r\nLeft=") + left + "\r\nTop=" + top +
                                 "\r\nWidth=" + width + "\r\nHeight=" + height + "\r\n");
    return mainWindowBounds(TPortableIniFile(fileName), current, area);
  };
  EXPECT_EQ(boundsFrom("-30000", "30000", "800", "600"), (RECT{0, 400, 800, 1000}));
  EXPECT_EQ(boundsFrom("10", "20", "-1000", "-1000"), (RECT{10, 20, 410, 320}));
  EXPECT_EQ(boundsFrom("2147483647", "2147483647", "2147483647", "2147483647"), area);
  EXPECT_EQ(boundsFrom("-2147483648", "-2147483648", "-2147483648", "-2147483648"), (RECT{0, 0, 400, 300}));
  // Sizes that are no numbers keep the current size, centred.
  EXPECT_EQ(boundsFrom("abc", "abc", "abc", "abc"), (RECT{128, 116, 1152, 884}));
}

TEST(MainWindowSetup, TitleShowsTheNameOrElseTheSymbol) {
  EXPECT_EQ(mainTitle(nullptr), "Kestrova");
  int32_t serials = 0;
  TPortfolio portfolio(serials);
  EXPECT_EQ(mainTitle(&portfolio), "Kestrova");
  portfolio.setSymbol("GRW");
  EXPECT_EQ(mainTitle(&portfolio), "Kestrova: GRW");
  portfolio.setName("Growth");
  EXPECT_EQ(mainTitle(&portfolio), "Kestrova: Growth");
}

TEST(MainWindowSetup, NumberedBitmapsLoadUpToTheFirstMissingNumber) {
  TTemporaryFolder folder;
  TBitmap picture(16, 16);
  picture.canvas().fillRect({0, 0, 16, 16}, 0x00FF00);
  for (const char* name : {"0.BMP", "1.BMP", "3.BMP"}) ASSERT_TRUE(picture.saveToFile(folder.path() + name));
  TImageList images(16, 16);
  EXPECT_EQ(loadNumberedBitmaps(images, folder.path()), 2);
  // A picture of the wrong size ends the list as an unreadable one does.
  TBitmap wide(32, 16);
  ASSERT_TRUE(wide.saveToFile(folder.path() + "2.BMP"));
  EXPECT_EQ(loadNumberedBitmaps(images, folder.path()), 2);
  writeWholeFile(folder.path() + "1.BMP", "not a bitmap");
  EXPECT_EQ(loadNumberedBitmaps(images, folder.path()), 1);
  EXPECT_EQ(loadNumberedBitmaps(images, folder.path() + "missing\\"), 0);
}
