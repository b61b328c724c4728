#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/FileReadAhead.h"
#include "platform/FileSystem.h"
#include "tests/support/TestFolders.h"

namespace {

std::vector<std::string> namesOf(const std::vector<TFoundFile>& entries) {
  std::vector<std::string> names;
  for (const TFoundFile& entry : entries) names.push_back(entry.name + (entry.isFolder ? "\\" : ""));
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

// What is queued comes back as the disk holds it, once; what is not, or
// cannot be read whole, is left to the loader at once.
TEST(FileReadAhead, GivesEachFileAndListingOnceAndLeavesTheRestToTheLoader) {
  TTemporaryFolder folder;
  const std::string trn = folder.path() + "1.TRN\\";
  forceFolders(trn + "7.INI\\");
  writeWholeFile(folder.path() + "1.INI", "[Asset]\r\nName=A\r\n");
  writeWholeFile(trn + "1.INI", "one");
  writeWholeFile(trn + "2.INI", std::string(100000, 't'));
  writeWholeFile(trn + "3.CSV", "not listed");
  writeWholeFile(trn + "4.INI", "");
  writeWholeFile(trn + "5.INI", std::string(1024 * 1024 + 1, 'b'));
  {
    TFileReadAhead readAhead(2);
    readAhead.queueFile(folder.path() + "1.INI");
    readAhead.queueFile(folder.path() + "missing.INI");
    readAhead.queueFolder(trn, "*.INI");
    readAhead.queueFolder(folder.path() + "none.TRN\\", "*.INI");

    EXPECT_EQ(readAhead.takeFile(folder.path() + "1.INI"), "[Asset]\r\nName=A\r\n");
    EXPECT_EQ(readAhead.takeFile(folder.path() + "1.INI"), std::nullopt);
    EXPECT_EQ(readAhead.takeFile(folder.path() + "missing.INI"), std::nullopt);
    const auto listing = readAhead.takeListing(trn);
    ASSERT_TRUE(listing);
    EXPECT_EQ(namesOf(*listing), namesOf(findFiles(trn + "*.INI")));
    EXPECT_EQ(namesOf(*listing), (std::vector<std::string>{"1.INI", "2.INI", "4.INI", "5.INI", "7.INI\\"}));
    EXPECT_EQ(readAhead.takeListing(trn), std::nullopt);
    EXPECT_EQ(readAhead.takeFile(trn + "2.INI"), std::string(100000, 't'));
    EXPECT_EQ(readAhead.takeFile(trn + "1.INI"), "one");
    EXPECT_EQ(readAhead.takeFile(trn + "4.INI"), "");
    EXPECT_EQ(readAhead.takeFile(trn + "5.INI"), std::nullopt) << "read by the loader a piece at a time";
    EXPECT_EQ(readAhead.takeFile(trn + "7.INI"), std::nullopt) << "a folder is no file";
    EXPECT_EQ(readAhead.takeFile(trn + "3.CSV"), std::nullopt);
    const auto none = readAhead.takeListing(folder.path() + "none.TRN\\");
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->empty());
    EXPECT_EQ(readAhead.takeListing(folder.path()), std::nullopt) << "never queued";
  }
  // A file another program holds is read by the loader, which then meets
  // the error itself.
  const std::string held = trn + "1.INI";
  HANDLE holder = CreateFileA(held.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  {
    TFileReadAhead readAhead(1);
    readAhead.queueFile(held);
    EXPECT_EQ(readAhead.takeFile(held), std::nullopt);
  }
  CloseHandle(holder);
}

// With its room full of texts the loader takes later, a reader stops: the
// loader asking for a file not read yet reads it itself instead of waiting
// for ever, and the reader, let go, neither keeps nor gives it.
TEST(FileReadAhead, ALoaderTakingOutOfOrderNeverWaitsForAFullRoom) {
  TTemporaryFolder folder;
  for (const char* name : {"A", "B"}) {
    const std::string sub = folder.path() + name + "\\";
    forceFolders(sub);
    for (int i = 1; i <= 6; ++i) writeWholeFile(sub + std::to_string(i) + ".INI", name + std::to_string(i));
  }
  for (int round = 0; round < 20; ++round) {
    // One reader with room for one text lists B only after A's texts are
    // taken: B's listing is then the loader's own.
    const bool oneReader = round % 2 == 0;
    TFileReadAhead readAhead(oneReader ? 1 : 2, oneReader ? 1 : 2);
    readAhead.queueFolder(folder.path() + "A\\", "*.INI");
    readAhead.queueFolder(folder.path() + "B\\", "*.INI");
    for (const char* name : {"B", "A"}) {
      const std::string sub = folder.path() + name + "\\";
      const auto listing = readAhead.takeListing(sub);
      if (listing) {
        EXPECT_EQ(listing->size(), 6u);
      }
      for (int i = 6; i >= 1; --i) {
        const std::optional<std::string> text = readAhead.takeFile(sub + std::to_string(i) + ".INI");
        if (text) {
          EXPECT_EQ(*text, name + std::to_string(i));
        }
      }
    }
  }
  // Dropped with work queued and texts not taken.
  for (int round = 0; round < 20; ++round) {
    TFileReadAhead readAhead(3, 1);
    for (int i = 0; i < 10; ++i) readAhead.queueFolder(folder.path() + "A\\", "*.INI");
  }
}
