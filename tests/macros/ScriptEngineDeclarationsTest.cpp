#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "model/PortableIniFile.h"
#include "model/UnreadableFiles.h"
#include "platform/FileSystem.h"
#include "platform/GuidText.h"
#include "macros/ScriptEngineDeclarations.h"
#include "tests/support/TestFolders.h"

namespace {

TScriptEngineAttributes engineNumbered(int number) {
  TScriptEngineAttributes engine = defaultEngineAttributes();
  engine.classId.Data1 = 0xABCD0000u + number;
  engine.description = "Engine " + std::to_string(number);
  engine.fileFilter = "*.xs";
  return engine;
}

}  // namespace

TEST(ScriptEngineDeclarations, KeysAreFourUpperCaseHexDigitsAndReadBack) {
  TTemporaryFolder folder;
  TScriptEngineDeclarations declarations;
  declarations.setPath(folder.path() + "Kestrova.AXE");
  EXPECT_FALSE(declarations.load(false));  // no file: nothing declared
  for (int i = 0; i < 18; ++i) declarations.add(engineNumbered(i));
  declarations.engines[3].fonts[fcKeyword].colour = 123;
  ASSERT_TRUE(declarations.save(17));

  TPortableIniFile file(declarations.path());
  EXPECT_EQ(guidToText(declarations.engines[9].classId), file.readString("Engines", "0009", ""));
  EXPECT_EQ(guidToText(declarations.engines[10].classId), file.readString("Engines", "000A", ""));
  EXPECT_EQ(guidToText(declarations.engines[17].classId), file.readString("Engines", "0011", ""));
  EXPECT_EQ(guidToText(declarations.engines[17].classId), file.readString("Defaults", "MacroEngine", ""));

  TScriptEngineDeclarations reread;
  reread.setPath(declarations.path());
  ASSERT_TRUE(reread.load(false));
  ASSERT_EQ(18u, reread.engines.size());
  EXPECT_EQ(17, reread.selectedIndex());
  EXPECT_EQ("Engine 4", reread.engines[4].description);
  EXPECT_EQ(123, reread.engines[3].fonts[fcKeyword].colour);
  EXPECT_EQ(fsBold, reread.engines[3].fonts[fcOperator].style);
  EXPECT_FALSE(reread.load(true));  // unchanged since
}

TEST(ScriptEngineDeclarations, ABadClassIdCostsOnlyItsOwnEntry) {
  TTemporaryFolder folder;
  std::string path = folder.path() + "Kestrova.AXE";
  writeWholeFile(path,
                 "[Defaults]\r\nMacroEngine={00000000-0000-0000-0000-000000000002}\r\n"
                 "[Engines]\r\n0000={00000000-0000-0000-0000-000000000001}\r\n0001=not a class id\r\n"
                 "0002={00000000-0000-0000-0000-000000000002}\r\n"
                 "[{00000000-0000-0000-0000-000000000002}]\r\nFileFilter=*.js;*.jse\r\nNotSourceColor=5\r\n");
  TScriptEngineDeclarations declarations;
  declarations.setPath(path);
  ASSERT_TRUE(declarations.load(false));
  ASSERT_EQ(2u, declarations.engines.size());
  EXPECT_EQ(1, declarations.selectedIndex());
  EXPECT_EQ("Undefined", declarations.engines[1].description);  // no Description key
  EXPECT_EQ(5, declarations.engines[1].fonts[fcNotSource].colour);
  EXPECT_EQ(255, declarations.engines[1].fonts[fcFunction].colour);
  EXPECT_EQ((std::vector<std::string>{".js", ".jse"}), fileFilterExtensions(declarations.engines[1].fileFilter));
}

// A file held by another program is not rewritten from the read that
// failed: saves fail while it is held, and an engine added meanwhile joins
// those the file declares once it can be read. The engines were once
// replaced by the added one alone.
TEST(ScriptEngineDeclarations, AFileNotReadKeepsItsEnginesBesideTheOnesAdded) {
  TTemporaryFolder folder;
  TScriptEngineDeclarations first;
  first.setPath(folder.path() + "Kestrova.AXE");
  first.add(engineNumbered(1));
  first.add(engineNumbered(2));
  ASSERT_TRUE(first.save(1));
  const std::string text = readWholeFile(first.path());

  TScriptEngineDeclarations declarations;
  declarations.setPath(first.path());
  {
    THeldFile held(first.path());
    ASSERT_TRUE(held.held());
    declarations.load(false);
    EXPECT_TRUE(declarations.engines.empty());
    declarations.add(engineNumbered(3));
    EXPECT_FALSE(declarations.saveSelectedEngineGUID(0));
    EXPECT_FALSE(declarations.save(0));
  }
  EXPECT_EQ(readWholeFile(first.path()), text);
  ASSERT_TRUE(declarations.save(0));
  TScriptEngineDeclarations reread;
  reread.setPath(first.path());
  ASSERT_TRUE(reread.load(false));
  ASSERT_EQ(3u, reread.engines.size());
  EXPECT_EQ("Engine 3", reread.engines[0].description);
  EXPECT_EQ("Engine 1", reread.engines[1].description);
  EXPECT_EQ("Engine 2", reread.engines[2].description);
  EXPECT_EQ(0, reread.selectedIndex());
  EXPECT_TRUE(declarations.load(true)) << "the list shows the engines the file kept";
  EXPECT_EQ(3u, declarations.engines.size());
}

// A folder under the file's name was once told nowhere, and every close
// with nothing changed asked about a failed save. It is a file that cannot
// be read: named once, and written only for a change of the user's.
TEST(ScriptEngineDeclarations, AFolderUnderTheNameIsToldOnceAndFailsOnlyAChangedSave) {
  TTemporaryFolder folder;
  const std::string path = folder.path() + "Kestrova.AXE";
  ASSERT_TRUE(forceFolders(path));
  TScriptEngineDeclarations declarations;
  declarations.setPath(path);
  takeUnreadableFiles();
  EXPECT_FALSE(declarations.load(false));
  EXPECT_EQ(takeUnreadableFiles(), std::vector<std::string>{path});
  EXPECT_FALSE(declarations.load(true));
  EXPECT_EQ(takeUnreadableFiles(), std::vector<std::string>{}) << "not again at each visit of the tab";
  EXPECT_TRUE(declarations.save(-1));
  EXPECT_TRUE(declarations.saveSelectedEngineGUID(-1));
  declarations.add(engineNumbered(1));
  EXPECT_FALSE(declarations.save(0));
  EXPECT_TRUE(folderExists(path));
}

// A selection the user did not change is not written: the file keeps the
// one another program set meanwhile. It was once set back at every close.
TEST(ScriptEngineDeclarations, OnlyASelectionTheUserChangedIsWritten) {
  TTemporaryFolder folder;
  TScriptEngineDeclarations other;
  other.setPath(folder.path() + "Kestrova.AXE");
  other.add(engineNumbered(1));
  other.add(engineNumbered(2));
  ASSERT_TRUE(other.save(1));
  TScriptEngineDeclarations declarations;
  declarations.setPath(other.path());
  ASSERT_TRUE(declarations.load(false));
  ASSERT_EQ(declarations.selectedIndex(), 1);
  ASSERT_TRUE(other.saveSelectedEngineGUID(0));
  EXPECT_TRUE(declarations.save(1));
  TScriptEngineDeclarations reread;
  reread.setPath(other.path());
  ASSERT_TRUE(reread.load(false));
  EXPECT_EQ(reread.selectedIndex(), 0);
  ASSERT_TRUE(reread.save(1));
  ASSERT_TRUE(declarations.load(true));
  EXPECT_EQ(declarations.selectedIndex(), 1) << "the user's choice is written";
}
