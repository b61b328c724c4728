#include <gtest/gtest.h>

#include <chrono>

#include <windows.h>

#include "controls/WebPanelSettings.h"
#include "model/PortableIniFile.h"
#include "model/UnreadableFiles.h"
#include "tests/support/NamedFiles.h"
#include "tests/support/TestFolders.h"
#include "tests/support/ThreadTime.h"

namespace {

class WebPanelSettings : public testing::Test {
 protected:
  TTemporaryFolder folder;
  std::string file = folder.path() + "WEB1.INI";
};

}  // namespace

TEST_F(WebPanelSettings, WritesSectionsAndKeysInTheirFixedOrder) {
  TWebPanelSettings settings;
  settings.inContainer = true;
  settings.tileRight = 0.5;
  settings.toolbarWidth = 269;
  settings.timedRefreshInterval = 60000;
  settings.favs.setDefault("http://home/", "", 0, 40);
  settings.favs.insert(0, " http://a/ ", "A", 1, 2);
  settings.recentUrls = {"http://a/", "http://b/"};
  ASSERT_EQ(settings.saveSettings(file), 0);
  EXPECT_EQ(readWholeFile(file),
            "[Tile]\r\nLeft= 0.00000000000000E+0000\r\nTop= 0.00000000000000E+0000\r\n"
            "Right= 5.00000000000000E-0001\r\nBottom= 1.00000000000000E+0000\r\nMaximized=0\r\n\r\n"
            "[ToolBar]\r\nVisible=1\r\nToolBarWidth=269\r\n\r\n"
            "[Buttons]\r\nVisible=1\r\nLeft=11\r\nTop=2\r\n\r\n"
            "[Default]\r\nVisible=1\r\nLeft=185\r\nTop=2\r\n\r\n"
            "[Address]\r\nVisible=1\r\nLeft=11\r\nTop=28\r\nComboWidth=206\r\n\r\n"
            "[Delete]\r\nVisible=1\r\nLeft=244\r\nTop=0\r\n\r\n"
            "[Favs]\r\nVisible=1\r\nWidth=142\r\nSymbolWidth=50\r\n\r\n"
            "[Status]\r\nVisible=1\r\n\r\n[NewWin]\r\nAllow=0\r\n\r\n[Autorefresh]\r\nInterval=60000\r\n\r\n"
            "[Fav0]\r\nURL=http://home/\r\nX=0\r\nY=40\r\n\r\n"
            "[Fav1]\r\nURL=\" http://a/ \"\r\nSymbol=A\r\nX=1\r\nY=2\r\n\r\n"
            "[Fav]\r\nCount=1\r\n\r\n[URLs]\r\nKeep=100\r\n\r\n"
            "[RecentURLs]\r\n0=http://a/\r\n1=http://b/\r\n\r\n");

  // Blanks at the ends survive the round trip; a panel outside a container
  // neither writes nor reads tile bounds.
  TWebPanelSettings loaded;
  ASSERT_EQ(loaded.loadSettings(file), 0);
  EXPECT_EQ(loaded.favs.get(0)->URL, " http://a/ ");
  EXPECT_EQ(loaded.favs.getDefault().Y, 40);
  EXPECT_EQ(loaded.tileRight, 1);
  EXPECT_EQ(loaded.timedRefreshInterval, 60000);
  EXPECT_EQ(loaded.recentUrls, settings.recentUrls);
  EXPECT_EQ(TWebPanelSettings().loadSettings(folder.path() + "NONE.INI"), -2);
}

TEST_F(WebPanelSettings, SavingFewerFavouritesErasesTheStaleSections) {
  TWebPanelSettings settings;
  for (int i = 0; i < 8; ++i) settings.favs.insert(i, "http://" + std::to_string(i) + "/", "", 0, 0);
  ASSERT_EQ(settings.saveSettings(file), 0);
  for (int i = 7; i >= 5; --i) settings.favs.remove(i);
  ASSERT_EQ(settings.saveSettings(file), 0);
  TPortableIniFile ini(file);
  EXPECT_EQ(ini.readInteger("Fav", "Count", -1), 5);
  EXPECT_TRUE(ini.sectionExists("Fav5"));
  for (int i = 6; i <= 8; ++i) EXPECT_FALSE(ini.sectionExists("Fav" + std::to_string(i)));
}

TEST_F(WebPanelSettings, ACountInTheOldFileNeverMakesTheSaveSlow) {
  writeWholeFile(file, "[Fav]\r\nCount=2147483647\r\n[Fav1]\r\nURL=http://one/\r\n[Fav2]\r\nURL=http://two/\r\n"
                       "[Fav9]\r\nURL=http://nine/\r\n[Favs]\r\nVisible=1\r\n");
  TWebPanelSettings settings;
  settings.favs.insert(0, "http://new/", "", 0, 0);
  // Counting up to the old count takes minutes.
  const auto start = threadProcessorTime();
  ASSERT_EQ(settings.saveSettings(file), 0);
  EXPECT_LT(threadProcessorTime() - start, std::chrono::seconds(5));
  TPortableIniFile ini(file);
  EXPECT_EQ(ini.readString("Fav1", "URL", ""), "http://new/");
  EXPECT_FALSE(ini.sectionExists("Fav2"));
  EXPECT_FALSE(ini.sectionExists("Fav9"));
  EXPECT_TRUE(ini.sectionExists("Favs"));
}

TEST_F(WebPanelSettings, LoadingTrustsNoCountAndKeepsRecentAddressesBounded) {
  writeWholeFile(file,
                 "[Fav]\r\nCount=2000000000\r\n[Fav1]\r\nURL=http://one/\r\nSymbol=One\r\n"
                 "[Fav2]\r\nURL=http://two/\r\n[Fav4]\r\nURL=http://four/\r\n"
                 "[URLs]\r\nKeep=2\r\n[RecentURLs]\r\n0=http://a/\r\n1=\r\n2=http://a/\r\n3=http://b/\r\n4=http://c/\r\n"
                 "[Autorefresh]\r\nInterval=1\r\n");
  TWebPanelSettings settings;
  settings.favs.insert(0, "http://stale/", "", 0, 0);
  ASSERT_EQ(settings.loadSettings(file), 0);
  ASSERT_EQ(settings.favs.count(), 2);
  EXPECT_EQ(settings.favs.get(1)->URL, "http://two/");
  EXPECT_EQ(settings.favs.indexOfSymbol("  oNe "), 0);
  EXPECT_EQ(settings.favs.getDefault().URL, "");
  EXPECT_EQ(settings.recentUrls, (std::vector<std::string>{"http://a/", "http://b/"}));
  EXPECT_EQ(settings.timedRefreshInterval, 5000);

  settings.addRecentUrl("http://b/");
  EXPECT_EQ(settings.recentUrls.size(), 2u);
  settings.addRecentUrl("http://new/");
  EXPECT_EQ(settings.recentUrls, (std::vector<std::string>{"http://new/", "http://a/"}));
  settings.setKeepRecentUrls(-3);
  EXPECT_EQ(settings.keepRecentUrls, 0);
  EXPECT_TRUE(settings.recentUrls.empty());
}

// A panel file under which a folder stands, or whose favourites fall short
// of their count, is named.
TEST_F(WebPanelSettings, AFileNotReadWholeIsNamed) {
  takeUnreadableFiles();
  takePartlyReadFiles();
  writeWholeFile(file, "[Fav]\r\nCount=3\r\n[Fav1]\r\nURL=http://one/\r\n");
  TWebPanelSettings settings;
  ASSERT_EQ(settings.loadSettings(file), 0);
  EXPECT_EQ(settings.favs.count(), 1);
  EXPECT_EQ(takePartlyReadFiles(), std::vector<std::string>{file});
  writeWholeFile(file, "[Fav]\r\nCount=1,0\r\n[Fav1]\r\nURL=http://one/\r\n");
  ASSERT_EQ(settings.loadSettings(file), 0);
  EXPECT_EQ(settings.favs.count(), 0);
  EXPECT_EQ(takePartlyReadFiles(), std::vector<std::string>{file});

  ASSERT_TRUE(DeleteFileA(file.c_str()));
  ASSERT_TRUE(CreateDirectoryA(file.c_str(), nullptr));
  EXPECT_EQ(settings.loadSettings(file), -3);
  EXPECT_EQ(takeUnreadableFiles(), std::vector<std::string>{file});
}

// A panel file emptied, cut off, or holding a size or place no window can
// take once gave the panel what stood in for it, or that size, without a
// word: each is named, and the panel keeps its own for what is damaged.
TEST_F(WebPanelSettings, AFileEmptiedCutOffOrHoldingSizesNoWindowTakesIsNamed) {
  TWebPanelSettings written;
  written.recentUrls = {"http://a/"};
  ASSERT_EQ(written.saveSettings(file), 0);
  const std::string whole = readWholeFile(file);
  const auto replaced = [&whole](const std::string& from, const std::string& to) {
    std::string text = whole;
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
  };
  const std::vector<std::string> damages = {
      "",
      whole.substr(0, whole.find("[URLs]")),
      whole.substr(0, whole.find("http://a/") + 7),
      replaced("ComboWidth=206", "ComboWidth=1E300"),
      replaced("Width=142", "Width=2147483647"),
      replaced("SymbolWidth=50", "SymbolWidth=-5"),
      replaced("[Default]\r\nVisible=1\r\nLeft=185", "[Default]\r\nVisible=1\r\nLeft=40000"),
  };
  takeFilesNamedAsPartlyRead();
  for (const std::string& damaged : damages) {
    writeWholeFile(file, damaged);
    TWebPanelSettings settings;
    ASSERT_EQ(settings.loadSettings(file), 0);
    EXPECT_EQ(takeFilesNamedAsPartlyRead(), std::vector<std::string>{file}) << damaged;
    EXPECT_EQ(settings.comboWidth, 206);
    EXPECT_EQ(settings.favsWidth, 142);
    EXPECT_EQ(settings.symbolWidth, 50);
    EXPECT_EQ(settings.defaults.Left, 185);
  }
  writeWholeFile(file, whole);
  ASSERT_EQ(TWebPanelSettings().loadSettings(file), 0);
  EXPECT_TRUE(takeFilesNamedAsPartlyRead().empty());
}

// Every save of a panel in a mosaic writes its tile: one without a side of
// it showed the default for it without a word.
TEST_F(WebPanelSettings, APanelInAMosaicWithoutASideOfItsTileIsNamed) {
  TWebPanelSettings written;
  written.inContainer = true;
  written.tileLeft = 0.5;
  ASSERT_EQ(written.saveSettings(file), 0);
  const std::string whole = readWholeFile(file);
  const size_t left = whole.find("Left=");
  ASSERT_NE(left, std::string::npos);
  ASSERT_LT(left, whole.find("[ToolBar]"));
  const std::string withoutLeft = whole.substr(0, left) + whole.substr(whole.find("\r\n", left) + 2);
  takePartlyReadFiles();
  for (const bool inContainer : {true, false}) {
    writeWholeFile(file, withoutLeft);
    TWebPanelSettings settings;
    settings.inContainer = inContainer;
    ASSERT_EQ(settings.loadSettings(file), 0);
    EXPECT_EQ(takePartlyReadFiles().size(), inContainer ? 1u : 0u) << inContainer;
    EXPECT_EQ(readWholeFile(file), withoutLeft);
  }
  writeWholeFile(file, whole);
  TWebPanelSettings settings;
  settings.inContainer = true;
  ASSERT_EQ(settings.loadSettings(file), 0);
  EXPECT_TRUE(takePartlyReadFiles().empty());
}

TEST(FavList, IndexErrorsChangeNothing) {
  TFavList list;
  EXPECT_EQ(list.insert(1, "x", "", 0, 0), -7);
  EXPECT_EQ(list.insert(0, "a", "", 0, 0), 0);
  EXPECT_EQ(list.insert(1, "b", "", 0, 0), 0);
  EXPECT_EQ(list.swap(0, 2), -7);
  EXPECT_EQ(list.remove(-1), -7);
  EXPECT_EQ(list.get(2), nullptr);
  EXPECT_EQ(list.swap(0, 1), 0);
  EXPECT_EQ(list.get(0)->URL, "b");
  EXPECT_EQ(list.count(), 2);
}

TEST(AddressGroupLayout, ShrinksTheComboByWhatTheToolBarLostWithinTheMinimum) {
  const TAddressGroupLayout same = addressGroupLayout(206, 269, 269);
  EXPECT_EQ(same.groupWidth, 256);
  EXPECT_EQ(same.goLeft, 237);
  EXPECT_EQ(same.gripLeft, 254);
  EXPECT_EQ(addressGroupLayout(206, 269, 400).comboWidth, 206);  // never widened
  EXPECT_EQ(addressGroupLayout(206, 269, 219).comboWidth, 156);
  EXPECT_EQ(addressGroupLayout(206, 269, 0).groupWidth, 161);
  EXPECT_EQ(effectiveRefreshInterval(-5), 0);
  EXPECT_EQ(effectiveRefreshInterval(1), 5000);
}
