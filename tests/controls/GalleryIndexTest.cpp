#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "controls/GalleryIndex.h"
#include "model/PortableIniFile.h"
#include "model/UnsavedChanges.h"
#include "platform/FileSystem.h"
#include "tests/support/TestFolders.h"

namespace {

class GalleryIndex : public testing::Test {
 protected:
  GalleryIndex() {
    writeWholeFile(view, "[Chart]\r\nA=1\r\n");
    gallery.loadGallery(root);
  }

  // Writes a stand-in picture, as a bitmap saver would.
  static bool picture(const std::string& file) {
    writeWholeFile(file, "BM");
    return true;
  }

  TTemporaryFolder folder;
  std::string root = folder.path() + "GALLERY\\";
  std::string charts = root + "Charts\\";
  std::string view = folder.path() + "VIEW.INI";
  TGalleryIndex gallery;
};

}  // namespace

TEST_F(GalleryIndex, AddedItemsTakeTheFirstFreeNumberAndSurviveAReload) {
  ASSERT_EQ(gallery.add(1, view, "", picture), 0);
  EXPECT_EQ(readWholeFile(charts + "1.INI"), readWholeFile(view));
  EXPECT_TRUE(fileExists(charts + "1.BMP"));
  EXPECT_EQ(readWholeFile(charts + "0.INI"), "[Names]\r\n1=New\r\n\r\n");

  writeWholeFile(charts + "2.INI", "not indexed");
  ASSERT_EQ(gallery.add(1, view, " Spaced ", picture), 1);
  EXPECT_EQ(gallery.entries(1)[1].baseName, "3");
  EXPECT_TRUE(gallery.rename(1, 0, "   "));  // an empty caption would drop the item
  EXPECT_EQ(gallery.entries(1)[0].caption, "New");
  gallery.sortByCaption(1, false);

  TGalleryIndex reloaded;
  reloaded.loadGallery(root);
  ASSERT_EQ(reloaded.entries(1).size(), 2u);
  EXPECT_EQ(reloaded.entries(1)[0].caption, " Spaced ");  // the blank sorts first
  EXPECT_EQ(reloaded.entries(1)[1].caption, "New");
  EXPECT_TRUE(reloaded.entries(2).empty());
}

// A rename or a new order the index file refused (read-only, held) stayed
// only in memory and was gone at the next start, without a word: it waits
// for the close as the index stood, whatever the gallery holds by then.
TEST_F(GalleryIndex, AChangeTheIndexRefusedWaitsForTheCloseAsItStood) {
  ASSERT_EQ(gallery.add(1, view, "First", picture), 0);
  ASSERT_EQ(gallery.add(1, view, "Second", picture), 1);
  const std::string index = charts + "0.INI";
  const std::string before = readWholeFile(index);
  SetFileAttributesA(index.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(gallery.rename(1, 0, "Renamed"));
  EXPECT_TRUE(gallery.swap(1, 0, 1));
  EXPECT_EQ(readWholeFile(index), before);
  gallery.unloadGallery();
  EXPECT_EQ(saveUnsavedChanges(), std::vector<std::string>{index});
  SetFileAttributesA(index.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(saveUnsavedChanges().empty());
  EXPECT_EQ(readWholeFile(index), "[Names]\r\n2=Second\r\n1=Renamed\r\n\r\n");
}

TEST_F(GalleryIndex, KeysThatAreNoPlainNumbersNeverReachAFile) {
  forceFolders(charts);
  writeWholeFile(folder.path() + "X.INI", "outside");
  writeWholeFile(charts + "0.INI",
                 "[Names]\r\n..\\..\\X=Damaged\r\n0=Zero\r\n-1=Negative\r\n7=Seven\r\n7=Again\r\n1234567890=Long\r\n");
  gallery.loadGallery(root);
  ASSERT_EQ(gallery.entries(1).size(), 1u);
  EXPECT_EQ(gallery.entries(1)[0].baseName, "7");
  writeWholeFile(charts + "7.INI", "x");
  EXPECT_TRUE(gallery.remove(1, 0));
  EXPECT_FALSE(fileExists(charts + "7.INI"));
  EXPECT_TRUE(fileExists(folder.path() + "X.INI"));
  // What the gallery never took is not its own to drop.
  EXPECT_EQ(TPortableIniFile(charts + "0.INI").readString("Names", "0", ""), "Zero");
  gallery.loadGallery(root);
  EXPECT_TRUE(gallery.entries(1).empty());
}

TEST_F(GalleryIndex, AnAddThatFailsHalfWayLeavesNoEntryAndNoFiles) {
  EXPECT_EQ(gallery.add(3, view, "Web", [](const std::string&) { return false; }), -1);
  EXPECT_EQ(gallery.add(3, folder.path() + "MISSING.INI", "Web", picture), -1);
  EXPECT_TRUE(gallery.entries(3).empty());
  EXPECT_FALSE(pathExists(root + "Browsers\\1.INI"));
  EXPECT_FALSE(pathExists(root + "Browsers\\1.BMP"));
  EXPECT_FALSE(fileExists(root + "Browsers\\0.INI"));
}

TEST_F(GalleryIndex, MakingAViewCopiesTheItemUnderTheTargetPrefix) {
  ASSERT_EQ(gallery.add(2, view, "G", picture), 0);
  const std::string target = folder.path() + "VIEWS\\";
  EXPECT_EQ(gallery.make(2, 0, target, "Graph"), "");  // no such folder yet
  forceFolders(target);
  writeWholeFile(target + "Graph1.INI", "taken");
  EXPECT_EQ(gallery.make(2, 0, target, "Graph"), target + "Graph2.INI");
  EXPECT_EQ(readWholeFile(target + "Graph2.INI"), readWholeFile(view));
  EXPECT_EQ(gallery.make(2, 0, "", "Graph"), "");

  EXPECT_TRUE(gallery.ensureNotes(2, 0));
  EXPECT_EQ(readWholeFile(gallery.itemFile(2, 0, ".TXT")), "");
}

TEST(GalleryPicture, ShrinksToFitButNeverEnlargesAndCentres) {
  const TPicturePlace small = fitPicture(100, 50, 404, 204, 2);
  EXPECT_EQ(small.width, 100);
  EXPECT_EQ(small.left, 150);
  EXPECT_EQ(small.top, 75);
  const TPicturePlace large = fitPicture(800, 400, 404, 404, 2);
  EXPECT_EQ(large.width, 400);
  EXPECT_EQ(large.height, 200);
  EXPECT_EQ(large.left, 2);
  EXPECT_EQ(fitPicture(10, 10, 0, 0, 2).width, 1);
}
