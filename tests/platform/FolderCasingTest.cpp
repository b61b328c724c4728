#include <gtest/gtest.h>

#include <string>

#include "platform/FileSystem.h"
#include "platform/FolderCasing.h"
#include "platform/LocaleSettings.h"
#include "tests/support/TestFolders.h"

namespace {

// The temporary folder as the program stores paths: upper-cased.
class FolderCasing : public testing::Test {
 protected:
  TTemporaryFolder temporary;
  std::string onDisk = temporary.path();
  std::string upper = upperCase(onDisk);
  TFolderCasing casing;
};

}  // namespace

TEST_F(FolderCasing, FoldersTakeTheirCasingOnDiskAndNamesStayAsGiven) {
  ASSERT_TRUE(forceFolders(onDisk + "Mixed\\Case"));
  writeWholeFile(onDisk + "Mixed\\Case\\Prices.csv", "1");
  const std::string resolved = casing.onDisk(upper + "MIXED\\CASE\\PRICES.CSV");
  EXPECT_EQ(resolved, onDisk + "Mixed\\Case\\PRICES.CSV");
  EXPECT_EQ(readWholeFile(resolved), "1");
  EXPECT_EQ(casing.onDisk(upper + "MIXED\\CASE\\"), onDisk + "Mixed\\Case\\");
  EXPECT_EQ(casing.onDisk(upper + "MIXED\\CASE\\*.CSV"), onDisk + "Mixed\\Case\\*.CSV");
}

TEST_F(FolderCasing, AMissingFolderIsLookedUpAgainOnceItExists) {
  EXPECT_EQ(casing.onDisk(upper + "LATER\\A.INI"), onDisk + "LATER\\A.INI");
  ASSERT_TRUE(forceFolders(onDisk + "Later"));
  EXPECT_EQ(casing.onDisk(upper + "LATER\\A.INI"), onDisk + "Later\\A.INI");
}

// A folder made again in another case: the casing found first still names
// it, since Windows paths ignore case.
TEST_F(FolderCasing, AFolderMadeAgainInAnotherCaseIsStillReached) {
  ASSERT_TRUE(forceFolders(onDisk + "Folio"));
  const std::string first = casing.onDisk(upper + "FOLIO\\1.INI");
  ASSERT_TRUE(removeFolder(onDisk + "Folio"));
  ASSERT_TRUE(forceFolders(onDisk + "FOLIO"));
  writeWholeFile(onDisk + "FOLIO\\1.INI", "kept");
  EXPECT_EQ(readWholeFile(casing.onDisk(upper + "FOLIO\\1.INI")), "kept");
  EXPECT_EQ(readWholeFile(first), "kept");
}

TEST_F(FolderCasing, PathsItCannotSpellAreLeftAlone) {
  for (const std::string& path : {std::string("relative\\FILE.INI"), std::string("\\\\server\\share\\A.INI"),
                                 std::string("Z:/unix/style.ini"), std::string("FILE.INI"), std::string("")})
    EXPECT_EQ(casing.onDisk(path), path);
  ASSERT_TRUE(forceFolders(onDisk + "Up\\Down"));
  writeWholeFile(onDisk + "Up\\Down\\X.TXT", "x");
  // Parts that name no single entry are written as given, and the path
  // still reaches the same file.
  const std::string dotted = casing.onDisk(upper + "UP\\.\\DOWN\\..\\DOWN\\X.TXT");
  EXPECT_EQ(readWholeFile(dotted), "x");
  EXPECT_EQ(casing.onDisk(upper + "UP\\\\DOWN\\X.TXT").find("\\\\"), onDisk.size() + 2);
}

// New files go in under their exact names where Wine offers them; a name
// taken, a folder made again in another case or a missing folder must
// still be answered as the usual path answers them.
TEST_F(FolderCasing, NewFilesUnderExactNamesKeepTheUsualAnswers) {
  ASSERT_TRUE(forceFolders(onDisk + "Trades"));
  const std::string first = upper + "TRADES\\1.INI";
  EXPECT_EQ(createNewFile(first, "one", false), TNewFileResult::created);
  EXPECT_EQ(readWholeFile(onDisk + "Trades\\1.INI"), "one");
  EXPECT_EQ(createNewFile(first, "again", false), TNewFileResult::nameTaken);
  EXPECT_EQ(readWholeFile(first), "one");

  ASSERT_TRUE(deleteFile(first));
  ASSERT_TRUE(removeFolder(onDisk + "Trades"));
  ASSERT_TRUE(forceFolders(onDisk + "TRADES"));
  EXPECT_EQ(createNewFile(upper + "TRADES\\2.INI", "two", false), TNewFileResult::created);
  EXPECT_EQ(readWholeFile(onDisk + "TRADES\\2.INI"), "two");
  EXPECT_EQ(createNewFile(upper + "GONE\\3.INI", "three", false), TNewFileResult::failed);

  const std::wstring exact = casing.exactFileName(upper + "TRADES\\4.INI");
  if (!exact.empty()) {
    EXPECT_EQ(exact.rfind(L"\\\\?\\unix/", 0), 0u);
    EXPECT_EQ(exact.substr(exact.size() - 6), L"/4.INI");
  }
}

// A file written over holds only the new bytes, whether the old ones were
// more or fewer; what is not there, or is a folder, is not made.
TEST_F(FolderCasing, FilesWrittenOverHoldOnlyTheNewBytes) {
  ASSERT_TRUE(forceFolders(onDisk + "Trades"));
  const std::string folder = upper + "TRADES\\";
  writeWholeFile(onDisk + "Trades\\5.INI", std::string(500, 'o'));
  EXPECT_TRUE(overwriteFile(folder + "5.INI", "short", false));
  EXPECT_EQ(readWholeFile(onDisk + "Trades\\5.INI"), "short");
  EXPECT_TRUE(overwriteFile(folder + "5.INI", "longer than before", true));
  EXPECT_EQ(readWholeFile(onDisk + "Trades\\5.INI"), "longer than before");

  EXPECT_FALSE(overwriteFile(folder + "9.INI", "gone", false));
  EXPECT_FALSE(pathExists(folder + "9.INI"));
  ASSERT_TRUE(forceFolders(folder + "8.INI"));
  EXPECT_FALSE(overwriteFile(folder + "8.INI", "other", false));
  EXPECT_TRUE(folderExists(folder + "8.INI"));
}
