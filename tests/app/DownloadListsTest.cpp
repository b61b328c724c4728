#include <gtest/gtest.h>

#include <algorithm>

#include "app/DownloadLists.h"
#include "app/MainWindowSetup.h"
#include "controls/DownloadItem.h"
#include "controls/DownloadListing.h"
#include "model/Directories.h"
#include "model/PortableIniFile.h"
#include "model/UnreadableFiles.h"
#include "platform/FileSystem.h"
#include "platform/LocaleSettings.h"
#include "tests/support/DamagedRecords.h"
#include "tests/support/TestFolders.h"

using namespace std::string_literals;

namespace {

std::string upperRoot(const TTemporaryFolder& folder) { return upperCase(folder.path()) + "DLISTS\\"; }

void writeItem(const std::string& file, const std::string& name, const std::string& dataPath, double lastUpdate,
               std::vector<std::string> remarks = {}) {
  TDownloadItem item;
  item.fileName = file;
  item.Name = name;
  item.DataPath = dataPath;
  item.LastUpdate = lastUpdate;
  item.Remarks = std::move(remarks);
  ASSERT_EQ(item.saveToFile(), 0);
}

TClearResult clearItem(const std::string& file) {
  TDownloadItem item;
  item.loadFromFile(file);
  std::string why;
  return clearDownloadItem(item, why);
}

double lastUpdateOf(const std::string& file) {
  TDownloadItem item;
  item.loadFromFile(file);
  return item.LastUpdate;
}

}  // namespace

TEST(DownloadLists, ListsAreMadeCopiedRenamedCheckedAndDeleted) {
  TTemporaryFolder folder;
  const std::string root = upperRoot(folder);
  ASSERT_EQ(newDownloadList(root, "New list"), 1);
  forceFolders(root + "2");  // a folder without "0.INI" still takes its number
  ASSERT_EQ(newDownloadList(root, "New list"), 3);
  const std::string first = root + "1\\";
  writeItem(first + "1.INI", "Alpha", "", 0);
  writeItem(first + "0.TXT", "not an item", "", 0);
  TListDescriptor(first).rename("  Shares ");
  TListDescriptor(first).setChecked(true);

  const int copy = copyDownloadList(root, first);
  ASSERT_EQ(copy, 4);
  EXPECT_TRUE(fileExists(root + "4\\1.INI"));
  EXPECT_TRUE(fileExists(root + "4\\0.TXT"));
  EXPECT_TRUE(TListDescriptor(root + "4\\").checked());  // the descriptor is copied as it is
  EXPECT_EQ(copyDownloadList(root, root + "9\\"), -1);

  TListDescriptor(root + "3\\").rename("");
  std::vector<std::string> names;
  for (const TPickRow& row : listDownloadLists(root)) names.push_back(row.texts[0]);
  EXPECT_EQ(names, (std::vector<std::string>{"Shares", "?", "Shares"}));

  EXPECT_EQ(copyDownloadItem(first + "1.INI", first), 2);
  EXPECT_EQ(downloadItemFiles(first).size(), 2u);
  TDownloadItem beta;
  beta.loadFromFile(first + "2.INI");
  EXPECT_TRUE(renameDownloadItem(beta, " Beta "));
  TDownloadItem renamed;
  renamed.loadFromFile(first + "2.INI");
  EXPECT_EQ(renamed.Name, "Beta");

  std::string why;
  EXPECT_EQ(deleteDownloadItems({first + "2.INI"}, why), std::vector<bool>{true});
  EXPECT_EQ(deleteDownloadLists({root + "4\\"}, why), std::vector<bool>{true});
  EXPECT_FALSE(pathExists(root + "4"));
}

// A mark typed as a word once read as unchecked without a word.
TEST(DownloadLists, AMarkThatDoesNotReadIsShownUncheckedAndNamed) {
  TTemporaryFolder folder;
  const std::string root = upperRoot(folder);
  ASSERT_EQ(newDownloadList(root, "Shares"), 1);
  const std::string descriptor = root + "1\\0.INI";
  TPortableIniFile(descriptor).writeString("List", "Checked", "yes");
  const std::string text = readWholeFile(descriptor);
  takeLoadFailures();
  EXPECT_FALSE(TListDescriptor(root + "1\\").checked());
  EXPECT_EQ(takeLoadFailures(), std::vector<std::string>{"Download list " + descriptor +
                                                         " holds \"yes\" for Checked, which is no number;"
                                                         " taken as not checked."});
  EXPECT_EQ(readWholeFile(descriptor), text);
  takeLoadFailures();
}

TEST(DownloadLists, ClearingRefusesTheUsersOwnFoldersAndKeepsTheDateOfDataThatStays) {
  TTemporaryFolder folder;
  const std::string root = upperRoot(folder);
  const std::string data = upperCase(folder.path()) + "DATA\\";
  forceFolders(data + "QUOTES");
  writeWholeFile(data + "QUOTES\\IBM.TXT", "prices");
  writeWholeFile(folder.path() + "EMPTY.INI", "[Directories]\r\n");
  loadDirectoryTable(folder.path() + "EMPTY.INI", "Directories");
  setDirectory("<DATA>", data);
  setDirectory("<QUOTES>", data + "QUOTES");
  const std::string list = root + "1\\";
  forceFolders(list);
  const std::string own = folder.path() + "OWN\\";
  forceFolders(own + "SUB");
  writeWholeFile(own + "SUB\\A.TXT", "a");

  writeItem(list + "1.INI", "quotes", data + "QUOTES", 45000);
  writeItem(list + "2.INI", "above data", folder.path(), 45000);
  writeItem(list + "3.INI", "drive", "C:\\", 45000);
  writeItem(list + "4.INI", "own folder", own, 45000);
  writeItem(list + "5.INI", "gone", folder.path() + "NOWHERE.TXT", 45000);
  EXPECT_EQ(clearItem(list + "1.INI"), TClearResult::refused);
  EXPECT_EQ(clearItem(list + "2.INI"), TClearResult::refused);
  EXPECT_EQ(clearItem(list + "3.INI"), TClearResult::refused);
  EXPECT_TRUE(fileExists(data + "QUOTES\\IBM.TXT"));
  EXPECT_EQ(lastUpdateOf(list + "1.INI"), 45000);
  EXPECT_EQ(clearItem(list + "4.INI"), TClearResult::cleared);
  EXPECT_TRUE(folderExists(own));
  EXPECT_FALSE(pathExists(own + "SUB"));
  EXPECT_EQ(lastUpdateOf(list + "4.INI"), 0);
  EXPECT_EQ(clearItem(list + "5.INI"), TClearResult::cleared);

  // A data file held open cannot go: the item keeps its date.
  const std::string busy = folder.path() + "BUSY.TXT";
  writeWholeFile(busy, "held");
  writeItem(list + "6.INI", "held", busy, 45000);
  HANDLE held = CreateFileA(busy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(clearItem(list + "6.INI"), TClearResult::fileKept);
  CloseHandle(held);
  EXPECT_EQ(lastUpdateOf(list + "6.INI"), 45000);

  writeItem(list + "7.INI", "remarks", "", 0, {"1=bad line"});
  EXPECT_EQ(zapListRemarks(list), 0);
  TDownloadItem zapped;
  zapped.loadFromFile(list + "7.INI");
  EXPECT_TRUE(zapped.Remarks.empty());
  writeWholeFile(folder.path() + "EMPTY.INI", "[Directories]\r\n");
  loadDirectoryTable(folder.path() + "EMPTY.INI", "Directories");
}

TEST(DownloadLists, QueueTextSortingAndConfirmation) {
  EXPECT_EQ(downloadQueueText({"c:\\Lists\\3\\", "c:\\Lists\\7\\"}), "C:\\LISTS\\3\\\nC:\\LISTS\\7\\\n");
  EXPECT_EQ(downloadQueueText({}), "");

  std::vector<TPickRow> rows(3);
  rows[0].texts = {"b", "X", "EUR", "12/01/2024"};
  rows[1].texts = {"A", "y", "USD", "02/03/2025"};
  rows[2].texts = {"c", "z", "CHF", ""};
  sortDownloadRows(rows, 4, 4);  // by the date text, not the date
  EXPECT_EQ(rows[0].texts[0], "c");
  EXPECT_EQ(rows[1].texts[0], "A");
  sortDownloadRows(rows, -1, 4);
  EXPECT_EQ(rows[0].texts[0], "c");
  EXPECT_EQ(rows[2].texts[0], "A");
  sortDownloadRows(rows, 2, 1);  // lists sort by name only
  EXPECT_EQ(rows[0].texts[0], "c");
  EXPECT_EQ(nextSortKey(2, 1), -2);
  EXPECT_EQ(nextSortKey(-2, 1), 2);
  EXPECT_EQ(nextSortKey(2, 3), 4);

  EXPECT_EQ(confirmationText("Delete list", "Delete selected lists", {"Bonds"}), "Delete list\n\n\"Bonds\"");
  EXPECT_EQ(confirmationText("Delete list", "Delete selected lists", {""}), "Delete selected lists?");
  EXPECT_EQ(confirmationText("Delete list", "Delete selected lists", {"a", "b"}), "Delete selected lists?");
}

// A descriptor or item file that did not read whole (damaged, held by
// another program, in a form of its own) keeps every line a write does not
// touch, or is not written at all where it cannot: its rewrite would lose
// what reading passed over. One that read whole takes only the key
// written, with everything else as it stands.
TEST(DownloadLists, FilesThatDidNotReadWholeAreNeverCutDown) {
  TTemporaryFolder folder;
  const std::string root = upperRoot(folder);
  const std::string list = root + "1\\";
  forceFolders(list);
  const std::string descriptor = list + "0.INI";
  const std::string clean = "[List]\r\nName=Shares\r\nChecked=0\r\nSchedule=daily\r\n[Downloader]\r\nRun=3\r\n";
  writeWholeFile(descriptor, clean);
  ASSERT_TRUE(TListDescriptor(list).setChecked(false));
  EXPECT_EQ(readWholeFile(descriptor), clean) << "the mark as it stands writes nothing";
  ASSERT_TRUE(TListDescriptor(list).setChecked(true));
  EXPECT_EQ(readWholeFile(descriptor), "[List]\r\nName=Shares\r\nChecked=1\r\nSchedule=daily\r\n[Downloader]\r\nRun=3\r\n");

  for (const auto& [damaged, renamed] :
       {std::pair{"[List]\r\nName=Shares\r\nChecked=1\r\nsome damage\r\n"s,
                  "[List]\r\nName=Bonds\r\nChecked=0\r\nsome damage\r\n"s},
        std::pair{"[List]\nName=Shares\nChecked=1\n"s, "[List]\nName=Bonds\nChecked=0\n"s}}) {
    writeWholeFile(descriptor, damaged);
    EXPECT_TRUE(TListDescriptor(list).setChecked(false));
    EXPECT_TRUE(TListDescriptor(list).rename("Bonds"));
    EXPECT_EQ(readWholeFile(descriptor), renamed);
  }
  for (const std::string& damaged :
       {"\xff\xfe[\0L\0i\0s\0t\0]\0\r\0\n\0"s, "[List\r\nName=Shares\r\nChecked=1\r\n"s}) {
    writeWholeFile(descriptor, damaged);
    EXPECT_FALSE(TListDescriptor(list).setChecked(true));
    EXPECT_FALSE(TListDescriptor(list).rename("Bonds"));
    EXPECT_EQ(readWholeFile(descriptor), damaged);
  }
  writeWholeFile(descriptor, clean);
  {
    THeldFile held(descriptor);
    ASSERT_TRUE(held.held());
    EXPECT_FALSE(TListDescriptor(list).setChecked(true));
  }
  EXPECT_EQ(readWholeFile(descriptor), clean);
  deleteFile(descriptor);
  EXPECT_FALSE(TListDescriptor(list).setChecked(true));
  EXPECT_FALSE(TListDescriptor(list).rename("Bonds"));
  EXPECT_FALSE(fileExists(descriptor)) << "a list gone is not made again";

  // An item read only in part would be saved with defaults for the rest:
  // neither renamed, nor cleared (its data stays), nor rid of its remarks.
  const std::string data = folder.path() + "DATA.TXT";
  writeWholeFile(data, "quotes");
  const std::string item = list + "1.INI";
  // Nor one emptied, or cut off inside its data path, which then names
  // another file.
  writeWholeFile(folder.path() + "DATA", "other quotes");
  for (const std::string& partial :
       {"[DownloadItem]\r\nName=Alpha\r\nDataPath=" + data +
            "\r\nLastUpdate=45000\r\nUrlEngine={not-a-guid}\r\nURL=kept\r\n[Remarks]\r\n1=note\r\n",
        "[DownloadItem]\r\nName=Alpha\r\nDataPath=" + data + "\r\nLastUpdate=45000\r\nno setting\r\n[Remarks]\r\n1=note\r\n",
        ""s, "[DownloadItem]\r\nName=Alpha\r\nLastUpdate=45000\r\nDataPath=" + data.substr(0, data.size() - 4)}) {
    writeWholeFile(item, partial);
    TDownloadItem held;
    held.loadFromFile(item);
    EXPECT_FALSE(renameDownloadItem(held, "Beta"));
    EXPECT_EQ(clearItem(item), TClearResult::saveFailed);
    EXPECT_FALSE(zapItemRemarks(held));
    EXPECT_EQ(readWholeFile(item), partial);
    EXPECT_TRUE(fileExists(data));
    EXPECT_TRUE(fileExists(folder.path() + "DATA"));
  }
}

// A list descriptor cut off inside the list's name once showed its start as
// the name, one with its section renamed or emptied showed "?", and a
// folder under its name hid the list, all without a word. Each is named;
// the lists still show as far as they read.
TEST(DownloadLists, ADescriptorNotWholeOrUnderAFolderIsNamed) {
  TTemporaryFolder folder;
  const std::string root = upperRoot(folder);
  const std::string whole = "[List]\r\nName=Stocks\r\nChecked=1\r\n";
  std::vector<std::pair<std::string, std::string>> damaged = {{"cut off", "[List]\r\nChecked=1\r\nName=Sto"}};
  for (const TDamagedRecord& record : damagedRecords(whole)) damaged.emplace_back(record.name, record.text);
  std::vector<std::string> expected;
  for (size_t i = 0; i < damaged.size(); ++i) {
    const std::string list = root + std::to_string(i + 1) + "\\";
    forceFolders(list);
    writeWholeFile(list + "0.INI", damaged[i].second);
    expected.push_back(list + "0.INI");
  }
  const std::string hidden = root + std::to_string(damaged.size() + 1) + "\\0.INI";
  forceFolders(hidden);
  forceFolders(root + "99");
  writeWholeFile(root + "99\\0.INI", whole);
  takePartlyReadFiles();
  takeUnreadableFiles();
  const std::vector<TPickRow> rows = listDownloadLists(root);
  ASSERT_EQ(rows.size(), damaged.size() + 1);
  EXPECT_EQ(rows[0].texts[0], "Sto");
  std::vector<std::string> named = takePartlyReadFiles();
  std::sort(named.begin(), named.end());
  EXPECT_EQ(named, expected);
  EXPECT_EQ(takeUnreadableFiles(), std::vector<std::string>{hidden});
  for (size_t i = 0; i < damaged.size(); ++i)
    EXPECT_EQ(readWholeFile(expected[i]), damaged[i].second) << damaged[i].first;
}
