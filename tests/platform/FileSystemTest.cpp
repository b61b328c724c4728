#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "platform/FileSystem.h"
#include "tests/support/TestFolders.h"

namespace {

std::vector<std::string> names(const std::string& pattern) {
  std::vector<std::string> result;
  for (const TFoundFile& entry : findFiles(pattern)) result.push_back(entry.name + (entry.isFolder ? "\\" : ""));
  std::sort(result.begin(), result.end());
  return result;
}

}  // namespace

TEST(FileSystem, AtomicWritesReplaceWholeFilesAndLeaveNothingBehind) {
  TTemporaryFolder folder;
  std::string file = folder.path() + "prices.csv";
  std::string big(5 << 20, 'q');
  EXPECT_TRUE(writeFileAtomically(file, "first"));
  EXPECT_TRUE(writeFileAtomically(file, big));
  EXPECT_EQ(readWholeFile(file), big);
  EXPECT_FALSE(writeFileAtomically(folder.path() + "missing\\prices.csv", "x"));
  EXPECT_FALSE(writeFileAtomically(folder.path() + "aux.csv", "x")) << "a device, not a file";
  std::string bytes = "x";
  EXPECT_FALSE(readFileBytes(folder.path() + "missing.csv", bytes));
  EXPECT_EQ(bytes, "");

  // A file the user protected stays as it was.
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(writeFileAtomically(file, "lost?"));
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(readFileBytes(file, bytes));
  EXPECT_EQ(bytes, big);
  EXPECT_EQ(names(folder.path() + "*"), (std::vector<std::string>{"prices.csv"}));
}

TEST(FileSystem, DeviceNamesWhateverTheirFolderAndExtension) {
  for (const char* device : {"AUX", "C:\\Q\\aux.csv", "nul.", "Com1.Csv", "LPT9 .txt", "C:CON", "\\\\.\\COM3",
                             "D:\\conout$"})
    EXPECT_TRUE(namesDevice(device)) << device;
  for (const char* file : {"AUXI.CSV", "C:\\AUX\\prices.csv", "COM10", "com.csv", "LPT", "PRNT.INI", "x.aux", ""})
    EXPECT_FALSE(namesDevice(file)) << file;
}

TEST(FileSystem, FoldersFilesAndWildcards) {
  TTemporaryFolder folder;
  std::string deep = folder.path() + "a\\b\\c\\";
  EXPECT_TRUE(forceFolders(deep));
  EXPECT_TRUE(forceFolders(deep));
  EXPECT_TRUE(folderExists(deep));
  EXPECT_FALSE(fileExists(deep));
  writeWholeFile(deep + "1.INI", "one");
  writeWholeFile(deep + "2.ini", "two");
  writeWholeFile(deep + "3.TRN", "three");
  EXPECT_TRUE(createFolder(deep + "4.INI"));

  EXPECT_EQ(names(deep + "*.INI"), (std::vector<std::string>{"1.INI", "2.ini", "4.INI\\"}));
  EXPECT_TRUE(findFiles(folder.path() + "none\\*").empty());
  EXPECT_TRUE(pathExists(deep + "4.INI"));
  EXPECT_FALSE(isReparsePoint(deep + "4.INI"));

  EXPECT_FALSE(copyFile(deep + "2.ini", deep + "1.INI", true));
  EXPECT_TRUE(copyFile(deep + "2.ini", deep + "1.INI", false));
  EXPECT_EQ(readWholeFile(deep + "1.INI"), "two");
  EXPECT_EQ(fileAge(deep + "nothing"), -1);
  EXPECT_EQ(fileAge(deep + "4.INI"), -1);
  EXPECT_GT(fileAge(deep + "1.INI"), 0);

  EXPECT_FALSE(removeFolder(deep));  // not empty
  EXPECT_TRUE(deleteFile(deep + "3.TRN"));
  EXPECT_FALSE(deleteFile(deep + "3.TRN"));
  EXPECT_TRUE(removeFolder(deep + "4.INI\\"));
  EXPECT_EQ(fullPathName(deep + "..\\x"), folder.path() + "a\\b\\x");
}
