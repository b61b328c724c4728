#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "macros/MacroIndex.h"
#include "model/UnreadableFiles.h"
#include "tests/support/TestFolders.h"

namespace {

const std::string jscript = "{F414C260-6AC0-11CF-B6D1-00AA00BBBB58}";
const std::string vbscript = "{B54F3741-5B07-11CF-A4B0-00AA004A55E8}";

void package(const std::string& folder, const std::string& name, const std::string& engine, bool active,
             const std::string& source = "") {
  writeWholeFile(folder + name + ".INI",
                 "[Configuration]\r\nEngine=" + engine + "\r\nActive=" + (active ? "1" : "0") + "\r\n");
  if (!source.empty()) writeWholeFile(folder + name + ".js", source);
}

}  // namespace

TEST(MacroIndex, ListsOnlyTheExactEnginesPackages) {
  TTemporaryFolder folder;
  package(folder.path(), "Trend", jscript, true);
  package(folder.path(), "Lower", "{f414c260-6ac0-11cf-b6d1-00aa00bbbb58}", true);
  package(folder.path(), "Basic", vbscript, false);
  TMacroIndex index;
  ASSERT_EQ(0, index.load(folder.path(), jscript));
  ASSERT_EQ(1, index.count());
  EXPECT_EQ("Trend", index.item(0)->name());
  EXPECT_TRUE(index.item(0)->Active());
  EXPECT_EQ(nullptr, index.item(1));
  EXPECT_EQ(0, index.indexOf("TREND"));
}

TEST(MacroIndex, CopyIsByteIdenticalAndOnlyOnce) {
  TTemporaryFolder folder;
  package(folder.path(), "Trend", jscript, true, "function twice(x){return 2*x;}\r\n");
  TMacroIndex index;
  index.load(folder.path(), jscript);
  TMacroReference* copy = index.copy(0, "copy");
  ASSERT_NE(nullptr, copy);
  EXPECT_EQ("Trend_copy", copy->name());
  EXPECT_TRUE(copy->Active());  // the descriptor came along
  EXPECT_EQ(readWholeFile(folder.path() + "Trend.js"), readWholeFile(folder.path() + "Trend_copy.js"));
  EXPECT_EQ(readWholeFile(folder.path() + "Trend.INI"), readWholeFile(folder.path() + "Trend_copy.INI"));
  EXPECT_EQ(nullptr, index.copy(0, "copy"));
  EXPECT_EQ(2, index.count());
}

TEST(MacroIndex, NamesOfOtherEnginesAndLongerNamesAreLeftAlone) {
  TTemporaryFolder folder;
  package(folder.path(), "Trend", jscript, true, "trend");
  package(folder.path(), "Trend.v2", jscript, true, "v2");
  package(folder.path(), "Basic", vbscript, true, "basic");
  TMacroIndex index;
  index.load(folder.path(), jscript);
  int trend = index.indexOf("Trend");
  ASSERT_GE(trend, 0);
  // Another engine's package is not in the list, yet its files are its own.
  EXPECT_EQ(-1, index.rename(trend, "Basic"));
  EXPECT_EQ(nullptr, index.add("Basic"));
  EXPECT_EQ("basic", readWholeFile(folder.path() + "Basic.js"));
  EXPECT_EQ(0, index.remove(trend));
  EXPECT_FALSE(fileExists(folder.path() + "Trend.js"));
  EXPECT_EQ("v2", readWholeFile(folder.path() + "Trend.v2.js"));
  EXPECT_TRUE(fileExists(folder.path() + "Trend.v2.INI"));
}

TEST(MacroIndex, RenameChecksTheNameAndMovesEveryFile) {
  TTemporaryFolder folder;
  package(folder.path(), "Trend", jscript, true, "trend");
  package(folder.path(), "Other", jscript, false);
  TMacroIndex index;
  index.load(folder.path(), jscript);
  int trend = index.indexOf("Trend");
  EXPECT_EQ(-6, index.rename(trend, "  "));
  EXPECT_EQ(-6, index.rename(trend, "a.b"));
  EXPECT_EQ(-6, index.rename(trend, "a:b"));
  EXPECT_EQ(-1, index.rename(trend, "OTHER"));
  EXPECT_EQ(-7, index.rename(9, "x"));
  EXPECT_EQ(-4, index.rename(trend, std::string(300, 'n')));
  EXPECT_EQ("trend", readWholeFile(folder.path() + "Trend.js"));

  ASSERT_EQ(0, index.rename(trend, " Trend2 "));
  EXPECT_EQ("Trend2", index.item(trend)->name());
  EXPECT_EQ("trend", readWholeFile(folder.path() + "Trend2.js"));
  EXPECT_FALSE(fileExists(folder.path() + "Trend.js"));

  // Only the letter case changes: the same files, nothing lost.
  ASSERT_EQ(0, index.rename(trend, "TREND2"));
  EXPECT_EQ("trend", readWholeFile(folder.path() + "TREND2.js"));
  EXPECT_TRUE(fileExists(folder.path() + "TREND2.INI"));
}

TEST(MacroIndex, NewPackagesAreWrittenAndDeletingKeepsIndexesDense) {
  TTemporaryFolder folder;
  TMacroIndex index;
  index.load(folder.path(), jscript);
  for (const char* name : {"A", "B", "C", "D", "E"}) {
    TMacroReference* added = index.add(name);
    ASSERT_NE(nullptr, added);
    EXPECT_EQ(0, added->save());
  }
  EXPECT_EQ(nullptr, index.add("c"));
  index.item(4)->setActive(true);
  EXPECT_EQ(0, index.saveAll());
  ASSERT_EQ(0, index.remove(2));
  EXPECT_EQ("D", index.item(2)->name());
  EXPECT_EQ("E", index.item(3)->name());
  EXPECT_EQ(-7, index.remove(4));

  TMacroIndex reread;
  reread.load(folder.path(), jscript);
  ASSERT_EQ(4, reread.count());
  EXPECT_TRUE(reread.item(reread.indexOf("E"))->Active());
  EXPECT_FALSE(reread.item(reread.indexOf("A"))->Active());
}

// A mark toggled writes the mark alone: the engine and whatever else
// another program wrote into the descriptor since the load stay.
TEST(MacroIndex, ATogglesSaveKeepsWhatAnotherProgramWroteIntoTheDescriptor) {
  TTemporaryFolder folder;
  package(folder.path(), "Trend", jscript, false);
  TMacroIndex index;
  ASSERT_EQ(0, index.load(folder.path(), jscript));
  const std::string edited = "[Configuration]\r\nEngine=" + vbscript + "\r\nActive=0\r\nAuthor=someone\r\n";
  writeWholeFile(folder.path() + "Trend.INI", edited);
  index.item(0)->setActive(true);
  ASSERT_EQ(0, index.item(0)->save());
  EXPECT_EQ(readWholeFile(folder.path() + "Trend.INI"),
            "[Configuration]\r\nEngine=" + vbscript + "\r\nActive=1\r\nAuthor=someone\r\n");
}

// A descriptor emptied, cut off, holding a mark that is no number, or under
// which a folder stands once left its package out of the list, or showed it
// with a mark nobody set, without a word. Each is named; a package whose
// descriptor still names its engine is listed unmarked, and a save leaves
// the descriptor as it stands.
TEST(MacroIndex, ADescriptorNotWholeIsNamedAndLeftAsItStands) {
  TTemporaryFolder folder;
  const std::string descriptor = folder.path() + "Trend.INI";
  const std::string whole = "[Configuration]\r\nEngine=" + jscript + "\r\nActive=1\r\n";
  struct TDamage {
    const char* name;
    std::string text;
    bool listed;
  };
  const std::vector<TDamage> damages = {
      {"emptied", "", false},
      {"cut inside the engine", whole.substr(0, whole.find("-11CF")), false},
      {"cut before the mark", whole.substr(0, whole.find("Active=")), true},
      {"cut inside the mark", whole.substr(0, whole.find("Active=") + 7), true},
      {"a mark of no number", "[Configuration]\r\nEngine=" + jscript + "\r\nActive=1E300\r\n", true},
  };
  for (const TDamage& damage : damages) {
    writeWholeFile(descriptor, damage.text);
    takePartlyReadFiles();
    takeLoadFailures();
    TMacroIndex index;
    ASSERT_EQ(0, index.load(folder.path(), jscript));
    ASSERT_EQ(index.count(), damage.listed ? 1 : 0) << damage.name;
    if (damage.listed) {
      EXPECT_FALSE(index.item(0)->Active()) << damage.name;
    }
    const std::vector<std::string> partly = takePartlyReadFiles();
    const std::vector<std::string> failures = takeLoadFailures();
    EXPECT_EQ(partly.size() + failures.size(), 1u) << damage.name;
    const std::string told = partly.empty() ? (failures.empty() ? "" : failures[0]) : partly[0];
    EXPECT_NE(told.find(descriptor), std::string::npos) << damage.name << ": " << told;
    EXPECT_EQ(index.saveAll(), 0);
    EXPECT_EQ(readWholeFile(descriptor), damage.text) << damage.name;
  }

  deleteFile(descriptor);
  ASSERT_TRUE(forceFolders(descriptor));
  takeUnreadableFiles();
  TMacroIndex index;
  ASSERT_EQ(0, index.load(folder.path(), jscript));
  EXPECT_EQ(index.count(), 0);
  EXPECT_EQ(takeUnreadableFiles(), std::vector<std::string>{descriptor});
}
