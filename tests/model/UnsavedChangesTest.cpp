#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "model/Directories.h"
#include "model/PortableIniFile.h"
#include "model/SettingsBaseline.h"
#include "model/UnsavedChanges.h"
#include "platform/FileSystem.h"
#include "tests/support/TestFolders.h"

namespace {

// The changes left by a test go with it.
struct TNoChangesLeft {
  ~TNoChangesLeft() { giveUpUnsavedChanges({"A.INI", "B.INI"}); }
};

}  // namespace

TEST(UnsavedChanges, EachFailingFileIsNamedOnceAndItsChangesWaitInTheOrderMade) {
  TNoChangesLeft cleanUp;
  std::vector<std::string> saved;
  bool aTakes = false;
  const auto change = [&](const std::string& file, const std::string& value, const bool& takes) {
    return [&saved, &takes, file, value] {
      if (takes) saved.push_back(file + value);
      return takes;
    };
  };
  const bool bTakes = true;
  holdUnsavedChange("A.INI", "", change("A.INI", "1", aTakes));
  holdUnsavedChange("B.INI", "", change("B.INI", "1", bTakes));
  holdUnsavedChange("A.INI", "", change("A.INI", "2", bTakes));
  EXPECT_EQ(saveUnsavedChanges(), std::vector<std::string>{"A.INI"});
  // The later change of A waits behind the first, which failed.
  EXPECT_EQ(saved, std::vector<std::string>{"B.INI1"});
  aTakes = true;
  EXPECT_TRUE(saveUnsavedChanges().empty());
  EXPECT_EQ(saved, (std::vector<std::string>{"B.INI1", "A.INI1", "A.INI2"}));
  EXPECT_TRUE(saveUnsavedChanges().empty());
  EXPECT_EQ(saved.size(), 3u);
}

TEST(UnsavedChanges, ALaterChangeOfTheSameThingReplacesOrLetsGoTheOneWaiting) {
  TNoChangesLeft cleanUp;
  std::vector<std::string> saved;
  const auto change = [&saved](const std::string& value, bool takes) {
    return [&saved, value, takes] {
      saved.push_back(value);
      return takes;
    };
  };
  holdUnsavedChange("A.INI", "Checked", change("1", false));
  holdUnsavedChange("A.INI", "Checked", change("0", false));
  EXPECT_EQ(saveUnsavedChanges(), std::vector<std::string>{"A.INI"});
  EXPECT_EQ(saved, std::vector<std::string>{"0"});
  forgetUnsavedChange("A.INI", "Checked");
  EXPECT_TRUE(saveUnsavedChanges().empty());
  EXPECT_EQ(saved.size(), 1u);
  // Given up at the close, a change is not tried again.
  holdUnsavedChange("B.INI", "", change("b", false));
  EXPECT_EQ(saveUnsavedChanges(), std::vector<std::string>{"B.INI"});
  giveUpUnsavedChanges({"B.INI"});
  EXPECT_TRUE(saveUnsavedChanges().empty());
  EXPECT_EQ(saved.size(), 2u);
}

// A window's settings outlive the window: what they were when it went is
// saved, against what the file held when the window read it, so that what
// another program wrote since stays.
TEST(UnsavedChanges, SettingsKeptForTheCloseAreWhatTheOwnerShowedWhenItWent) {
  TTemporaryFolder folder;
  const std::string file = folder.path() + "0.INI";
  const std::string utf16("\xff\xfe[\0P\0]\0", 8);
  writeWholeFile(file, "[Panel]\r\nUrl=old\r\nZoom=100\r\n");
  std::string url = "old";
  const TSettingsBaseline::TWriter write = [&url](TPortableIniFile& ini) {
    ini.writeString("Panel", "Url", url);
    ini.writeString("Panel", "Zoom", "100");
  };
  TSettingsBaseline baseline;
  baseline.take(file, write);
  url = "new";
  const TChangeSave save = keptSettingsSave(file, baseline, write);
  url = "gone with the window";
  writeWholeFile(file, utf16);
  EXPECT_FALSE(save());
  EXPECT_EQ(readWholeFile(file), utf16);
  writeWholeFile(file, "[Panel]\r\nUrl=old\r\nZoom=150\r\n");
  EXPECT_TRUE(save());
  EXPECT_EQ(readWholeFile(file), "[Panel]\r\nUrl=new\r\nZoom=150\r\n");
}

// What the user deleted is not brought back by a retry, nor does a retry
// land in the object that takes the deleted one's name; what still has its
// place is saved.
TEST(UnsavedChanges, AChangeHeldForWhatWasDeletedSinceIsNotSaved) {
  struct TCase {
    const char* what;
    const char* heldFile;
    std::function<void(const std::string& root)> then;
    const char* atTheClose;  // what the held file holds then; nullptr for no file
  };
  const TCase cases[] = {
      {"a file deleted", "1\\0.INI", [](const std::string& root) { deleteFile(root + "1\\0.INI"); }, nullptr},
      {"a folder deleted before the file was made", "1\\Notes.TXT",
       [](const std::string& root) { deleteTree(root + "1"); }, nullptr},
      {"a folder deleted and its name taken again", "1\\0.INI",
       [](const std::string& root) {
         deleteTree(root + "1");
         forceFolders(root + "1");
         writeWholeFile(root + "1\\0.INI", "new");
       },
       "new"},
      {"a file renamed and its name taken again", "1\\0.INI",
       [](const std::string& root) {
         letGoUnsavedChanges(root + "1\\0.ini");
         writeWholeFile(root + "1\\0.INI", "new");
       },
       "new"},
      {"another folder deleted", "10\\0.INI", [](const std::string& root) { deleteTree(root + "1"); }, "held"},
      {"a file still to be made where its folder stands", "1\\Notes.TXT", [](const std::string&) {}, "held"},
  };
  for (const TCase& row : cases) {
    TTemporaryFolder folder;
    const std::string root = folder.path();
    for (const char* object : {"1", "10"}) {
      forceFolders(root + object);
      writeWholeFile(root + object + "\\0.INI", "old");
    }
    const std::string file = root + row.heldFile;
    holdUnsavedChange(file, "", [file] { return writeFileAtomically(file, "held"); });
    row.then(root);
    const std::vector<std::string> failing = saveUnsavedChanges();
    giveUpUnsavedChanges(failing);
    EXPECT_TRUE(failing.empty()) << row.what;
    if (row.atTheClose == nullptr)
      EXPECT_FALSE(pathExists(file)) << row.what;
    else
      EXPECT_EQ(readWholeFile(file), row.atTheClose) << row.what;
  }
}

// A retry writes what the save it stands for would have written: a
// favourite deleted, an address history trimmed, a home page cleared go
// from the file, and a value that needs its quotes keeps them.
TEST(UnsavedChanges, ARetryWritesWhatTheSaveItStandsForWouldHave) {
  struct TPanel {
    std::vector<std::pair<std::string, std::string>> favourites{{"a", "A"}, {"b", ""}};
    std::string home = "h";
    std::vector<std::string> recent{"x", "y"};
  };
  const std::vector<std::pair<std::string, std::function<void(TPanel&)>>> rows = {
      {"first favourite deleted", [](TPanel& panel) { panel.favourites.erase(panel.favourites.begin()); }},
      {"history trimmed", [](TPanel& panel) { panel.recent.pop_back(); }},
      {"home page cleared", [](TPanel& panel) { panel.home.clear(); }},
      {"value in quotes", [](TPanel& panel) { panel.recent[0] = " padded "; }}};
  TTemporaryFolder folder;
  const std::string held = folder.path() + "held.INI";
  const std::string direct = folder.path() + "direct.INI";
  for (const auto& [what, change] : rows) {
    SCOPED_TRACE(what);
    TPanel panel;
    const TSettingsBaseline::TWriter write = [&panel](TPortableIniFile& ini) {
      ini.writeInteger("Favs", "Count", static_cast<int>(panel.favourites.size()));
      ini.eraseNumberedSections("Fav", "", 1, 99);
      for (size_t i = 0; i < panel.favourites.size(); ++i) {
        ini.writeString("Fav" + std::to_string(i + 1), "Url", panel.favourites[i].first);
        ini.writeString("Fav" + std::to_string(i + 1), "Symbol", panel.favourites[i].second);
      }
      ini.writeString("Home", "Url", panel.home);
      ini.eraseSection("RecentURLs");
      for (size_t i = 0; i < panel.recent.size(); ++i)
        ini.writeString("RecentURLs", std::to_string(i), quotedWhereNeeded(panel.recent[i]));
    };
    TSettingsBaseline heldBaseline;
    TSettingsBaseline directBaseline;
    for (const auto& [file, baseline] : {std::pair{held, &heldBaseline}, std::pair{direct, &directBaseline}}) {
      writeWholeFile(file,
                     "[Favs]\r\nCount=2\r\n[Fav1]\r\nUrl=a\r\nSymbol=A\r\n[Fav2]\r\nUrl=b\r\n[Home]\r\nUrl=h\r\n"
                     "[RecentURLs]\r\n0=x\r\n1=y\r\n");
      baseline->take(file, write);
    }
    change(panel);
    ASSERT_TRUE(directBaseline.save(direct, write));
    const TChangeSave save = keptSettingsSave(held, heldBaseline, write);
    panel = TPanel{};
    panel.home = "gone with the window";
    EXPECT_TRUE(save());
    EXPECT_EQ(readWholeFile(held), readWholeFile(direct));
  }
}
