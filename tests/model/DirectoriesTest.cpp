#include <gtest/gtest.h>

#include <windows.h>

#include "model/Directories.h"
#include "model/SettingsBaseline.h"
#include "model/UnreadableFiles.h"
#include "platform/FileSystem.h"
#include "tests/support/TestFolders.h"

namespace {

std::string withSlashes(std::string path) {
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

void makeFiles(const std::string& folder, std::initializer_list<const char*> names) {
  forceFolders(folder);
  for (const char* name : names) writeWholeFile(folder + name, name);
}

}  // namespace

TEST(Directories, PathsCollapseToTheLongestPlaceholderAndExpandBack) {
  TTemporaryFolder folder;
  std::string list = folder.path() + "dirs.ini";
  writeWholeFile(list, "[Other]\r\nx=1\r\n[Directories]\r\n<data>=c:\\app\\data\r\n<FOLIOS>=C:\\App\\Data\\Folios\\\r\n"
                       "<Forex>= c:\\app\\data\\forex \r\n<ROOT>=d:\r\n");
  loadDirectoryTable(list, "Directories");
  setDirectory("<gallery>", " ");  // a directory without a path
  setDirectory("<Temp>", folder.path());

  EXPECT_EQ(getDirectory("<forex>"), "C:\\APP\\DATA\\FOREX\\");
  EXPECT_EQ(getDirectory("<ROOT>"), "D:");
  EXPECT_EQ(getDirectory("<GALLERY>"), "");
  EXPECT_EQ(getDirectory("<WEBS>"), "");
  EXPECT_EQ(collapsePath(" c:\\app\\data\\folios\\3\\0.ini"), "<FOLIOS>3\\0.INI");
  EXPECT_EQ(collapsePath("c:\\app\\data\\x;c:\\app\\data\\forex\\y"), "<DATA>X;<FOREX>Y");
  EXPECT_EQ(expandPath("<folios>3\\0.ini "), "C:\\APP\\DATA\\FOLIOS\\3\\0.INI");
  EXPECT_EQ(expandPath(" plain\\path "), "PLAIN\\PATH");

  EXPECT_EQ(collapseFileURL(" FILE:///c:/app/data/forex/x.htm"), "file:///<FOREX>X.HTM");
  EXPECT_EQ(collapseFileURL("file:///" + withSlashes(folder.path()) + "sub"), "file:///<TEMP>SUB");
  forceFolders(folder.path() + "sub");
  EXPECT_EQ(collapseFileURL("file:///" + withSlashes(folder.path()) + "sub"), "file:///<TEMP>SUB\\");
  EXPECT_EQ(expandFileURL("file:///<Forex>x.htm"), "file:///C:\\APP\\DATA\\FOREX\\X.HTM");
  EXPECT_EQ(collapseFileURL(" http://c:/app/data "), "http://c:/app/data");

  setDirectory("<FOLIOS>", "c:\\app\\data\\forex\\more");  // longer now: sorted first
  EXPECT_EQ(collapsePath("c:\\app\\data\\forex\\more\\1"), "<FOLIOS>1");

  EXPECT_EQ(includeTrailingBackslash("C:"), "C:");
  EXPECT_EQ(includeTrailingBackslash(""), "");
  EXPECT_EQ(includeTrailingBackslash("a"), "a\\");
}

TEST(Directories, DeletingRemovesTreesButRefusesDangerousFolders) {
  TTemporaryFolder folder;
  std::string tree = folder.path() + "tree\\";
  makeFiles(tree + "a\\b\\", {"1.INI", "2.TXT"});
  makeFiles(tree, {"top.INI"});
  EXPECT_TRUE(deleteDirContents(tree));
  EXPECT_TRUE(folderExists(tree));
  EXPECT_TRUE(findFiles(tree + "*").empty());
  EXPECT_TRUE(deleteDirContents(folder.path() + "missing\\"));
  makeFiles(tree + "c\\", {"3.INI"});
  EXPECT_TRUE(deleteTree(folder.path() + "tree"));
  EXPECT_FALSE(folderExists(tree));

  // An empty or relative folder would be taken from the current directory.
  char saved[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, saved);
  makeFiles(folder.path() + "current\\sub\\", {"kept.INI"});
  SetCurrentDirectoryA((folder.path() + "current").c_str());
  for (const char* refused : {"", "sub", "sub\\", ".\\sub", "Q:\\", "Q:", "Q:\\sub\\..", "\\\\server\\share\\"}) {
    EXPECT_FALSE(deleteDirContents(refused)) << refused;
    EXPECT_FALSE(deleteTree(refused)) << refused;
  }
  SetCurrentDirectoryA(saved);
  EXPECT_TRUE(fileExists(folder.path() + "current\\sub\\kept.INI"));
}

TEST(Directories, DeletingNeverFollowsALink) {
  // No program can make a folder link under Wine, but Wine shows a Unix
  // symbolic link to a folder as one: the build makes folder-link\tree\link,
  // pointing at folder-link\target, beside the test programs. Where that is
  // missing the test makes its own link.
  char program[MAX_PATH];
  GetModuleFileNameA(nullptr, program, MAX_PATH);
  std::string root = program;
  root.erase(root.rfind('\\') + 1).append("folder-link\\");
  TTemporaryFolder folder;
  if (!folderExists(root + "tree")) {
    root = folder.path();
    forceFolders(root + "tree");
    forceFolders(root + "target");
    CreateSymbolicLinkA((root + "tree\\link").c_str(), (root + "target").c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY);
  }
  // Written each time: a faulty delete that followed the link took it.
  makeFiles(root + "target\\", {"precious.INI"});
  const std::string link = root + "tree\\link";
  ASSERT_TRUE(isReparsePoint(link)) << link << " is no folder link";
  deleteTree(root + "tree");
  deleteTree(link);
  EXPECT_TRUE(fileExists(root + "target\\precious.INI"));
}

TEST(Directories, CopyingMakesAFreshTreeOrNothing) {
  TTemporaryFolder folder;
  std::string source = folder.path() + "source\\";
  makeFiles(source + "a\\b\\", {"1.INI"});
  makeFiles(source, {"0.INI"});
  std::string copy = folder.path() + "x\\copy";
  EXPECT_TRUE(copyTree(source, copy, false));
  EXPECT_EQ(readWholeFile(copy + "\\a\\b\\1.INI"), "1.INI");

  // Into an existing destination only by replacing it, which removes what it held.
  makeFiles(copy + "\\", {"mine.TXT"});
  EXPECT_FALSE(copyTree(source, copy, false));
  EXPECT_TRUE(fileExists(copy + "\\mine.TXT"));
  EXPECT_TRUE(copyTree(source, copy, true));
  EXPECT_FALSE(fileExists(copy + "\\mine.TXT"));
  EXPECT_TRUE(fileExists(copy + "\\0.INI"));

  EXPECT_FALSE(copyTree(source, source + "a\\inside", true));
  EXPECT_FALSE(folderExists(source + "a\\inside"));
  EXPECT_FALSE(copyTree(source + "a", folder.path() + "source", true));
  EXPECT_TRUE(fileExists(source + "0.INI"));
  EXPECT_FALSE(copyTree(folder.path() + "nothing", folder.path() + "empty", false));
  EXPECT_FALSE(folderExists(folder.path() + "empty"));
}

TEST(Directories, UniqueFileNamesSkipFilesAndFoldersAndEndAtTheRange) {
  TTemporaryFolder folder;
  makeFiles(folder.path(), {"1.INI", "2.INI", "P1.txt", "2147483646", "2147483647"});
  forceFolders(folder.path() + "3.INI");
  std::string base = folder.path();
  EXPECT_EQ(uniqueFileName(base, "", ".INI", 1, 2147483647), base + "4.INI");
  EXPECT_EQ(uniqueFileName(base.substr(0, base.size() - 1), " P ", " txt", 1, 5), base + "P2.txt");
  EXPECT_EQ(uniqueFileName(base, "", "", 5, 4), "");
  EXPECT_EQ(uniqueFileName(base, "", "", 2147483646, 2147483647), "");
  EXPECT_EQ(uniqueFileName(base, "", "", -2147483647 - 1, -2147483647 - 1), base + "-2147483648");
  EXPECT_EQ(uniqueFileName(base + "missing", "", ".INI", 1, 10), "");
}

TEST(Directories, AListThatDidNotReadWholeIsToldAndOneThatCannotBeReadIsNotWrittenOver) {
  TTemporaryFolder folder;
  const std::string list = folder.path() + "dirs.ini";
  const std::string text = "[Fetch]\r\nx=1\r\n[Directories]\r\n<DATA>=C:\\APP\\DATA\\\r\n";
  writeWholeFile(list, text);
  EXPECT_EQ(loadDirectoryTable(list, "Directories"), TDirectoryListRead::whole);
  EXPECT_EQ(loadDirectoryTable(list + "none", "Directories"), TDirectoryListRead::whole);  // missing: nothing passed over

  writeWholeFile(list, "[Directories]\r\n<DATA>=C:\\APP\\DATA\\\r\n<FOLIOS\r\n");
  EXPECT_EQ(loadDirectoryTable(list, "Directories"), TDirectoryListRead::inPart);
  EXPECT_EQ(getDirectory("<DATA>"), "C:\\APP\\DATA\\");

  writeWholeFile(list, text);
  {
    THeldFile held(list);
    ASSERT_TRUE(held.held());
    TSettingsBaseline saved;
    EXPECT_EQ(loadDirectoryTable(list, "Directories", nullptr, &saved), TDirectoryListRead::failed);
    EXPECT_EQ(getDirectory("<DATA>"), "");
    setDirectory("<DATA>", "D:\\DATA");
    // Given up while held: once free again, the list would lose its other
    // sections to what the table holds.
    EXPECT_FALSE(saveDirectoryTable(list, "Directories", saved));
  }
  EXPECT_EQ(readWholeFile(list), text);

  const std::string folderList = folder.path() + "folder.ini";
  forceFolders(folderList);
  TSettingsBaseline savedIntoFolder;
  EXPECT_EQ(loadDirectoryTable(folderList, "Directories", nullptr, &savedIntoFolder), TDirectoryListRead::failed);
  setDirectory("<DATA>", "E:\\DATA");
  EXPECT_FALSE(saveDirectoryTable(folderList, "Directories", savedIntoFolder));
  EXPECT_TRUE(folderExists(folderList));
  takeUnreadableFiles();
  takePartlyReadFiles();
}
