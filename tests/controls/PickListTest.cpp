#include <gtest/gtest.h>

#include <algorithm>

#include "controls/DownloadItem.h"
#include "controls/DownloadListing.h"
#include "controls/DownloadPickState.h"
#include "controls/PickDialogLayout.h"
#include "controls/PickList.h"
#include "controls/PickRows.h"
#include "model/PortableIniFile.h"
#include "platform/FileSystem.h"
#include "tests/support/TestFolders.h"

namespace {

std::vector<std::string> column(const std::vector<TPickRow>& rows, size_t index) {
  std::vector<std::string> texts;
  for (const TPickRow& row : rows) texts.push_back(row.texts.at(index));
  return texts;
}

void sortByNumber(std::vector<TPickRow>& rows) {
  std::sort(rows.begin(), rows.end(), [](const TPickRow& a, const TPickRow& b) { return a.number < b.number; });
}

}  // namespace

TEST(PickList, FindStartsBesideTheSelectionAndStopsAtTheEnd) {
  const std::vector<std::string> captions = {"Alpha", "beta", "Gamma", "alphabet"};
  EXPECT_EQ(findPickRow(captions, -1, "ALPHA", true, false), 0);
  EXPECT_EQ(findPickRow(captions, 0, "alpha", true, false), 3);
  EXPECT_EQ(findPickRow(captions, 0, "alpha", true, true), 3);
  EXPECT_EQ(findPickRow(captions, 3, "Alpha", true, true), -1);  // the last row is searched again, no wrapping
  EXPECT_EQ(findPickRow(captions, 3, "alpha", false, false), 0);
  EXPECT_EQ(findPickRow(captions, 0, "alpha", false, false), 0);  // up from the top row starts at it
  EXPECT_EQ(findPickRow(captions, 1, "mm", true, false), 2);
  EXPECT_EQ(findPickRow(captions, 1, "delta", true, false), -1);
  EXPECT_EQ(findPickRow({}, -1, "", true, false), -1);
}

TEST(PickList, CurrencyRowsAreFoundByTheBeginningOfTheirSymbol) {
  const std::vector<TPickRow> rows = builtInCurrencyRows();
  const std::vector<std::string> symbols = column(rows, 0);
  EXPECT_EQ(rows.at(findCurrencyRow(symbols, "us")).texts, (std::vector<std::string>{"USD", "Dollar", "USA"}));
  EXPECT_EQ(findCurrencyRow(symbols, "XAU"), -1);
}

TEST(DownloadListing, ListsNumberedFoldersAndItemFilesByTheNamesFound) {
  TTemporaryFolder folder;
  const std::string lists = folder.path();
  forceFolders(lists + "07");
  writeWholeFile(lists + "07\\0.INI", "[List]\r\nName=Stocks\r\n");
  forceFolders(lists + "2");
  writeWholeFile(lists + "2\\0.INI", "[Other]\r\n");
  forceFolders(lists + "new");
  writeWholeFile(lists + "new\\0.INI", "[List]\r\nName=ignored\r\n");
  forceFolders(lists + "5");  // no descriptor
  forceFolders(lists + "0");
  writeWholeFile(lists + "0\\0.INI", "[List]\r\nName=zero\r\n");

  std::vector<TPickRow> listRows = listDownloadLists(lists);
  sortByNumber(listRows);
  ASSERT_EQ(listRows.size(), 2u);
  EXPECT_EQ(listRows[0].texts[0], "?");
  EXPECT_EQ(listRows[0].number, 2);
  EXPECT_EQ(listRows[1].texts[0], "Stocks");
  EXPECT_EQ(listRows[1].number, 7);
  EXPECT_EQ(listRows[1].foundName, "07");
  EXPECT_EQ(listRows[1].stateImage, 0);

  const std::string list = lists + "07\\";
  writeWholeFile(list + "012.INI", "[DownloadItem]\r\nName=Acme\r\nSymbol=ACM\r\nCurrency=USD\r\nLastUpdate=0\r\n");
  writeWholeFile(list + "3.INI",
                 "[DownloadItem]\r\nName=Dated\r\nCurrency=EUR\r\nLastUpdate=45123.5\r\n[Remarks]\r\n1=note\r\n");
  writeWholeFile(list + "4.INI", "[DownloadItem]\r\nName=Broken\r\nUrlEngine={bad}\r\n");
  writeWholeFile(list + "notes.INI", "[DownloadItem]\r\nName=not an item\r\n");
  forceFolders(list + "6.INI");

  int failures = -1;
  std::vector<TPickRow> itemRows = listDownloadItems(list, failures);
  sortByNumber(itemRows);
  ASSERT_EQ(itemRows.size(), 3u);
  EXPECT_EQ(failures, 1);
  EXPECT_EQ(itemRows[0].texts[3], "7/16/2023 12:00:00 PM");
  EXPECT_EQ(itemRows[0].stateImage, 6);
  EXPECT_EQ(itemRows[1].texts[0], "Broken");  // shows what could be read
  EXPECT_EQ(itemRows[2].texts, (std::vector<std::string>{"Acme", "ACM", "USD", ""}));
  EXPECT_EQ(itemRows[2].number, 12);
  EXPECT_EQ(itemRows[2].foundName, "012.INI");
  EXPECT_EQ(itemRows[2].stateImage, 5);

  EXPECT_EQ(positiveNumberName("0000000000012"), 12);
  EXPECT_EQ(positiveNumberName("99999999999"), -1);
  EXPECT_EQ(positiveNumberName("+7"), -1);
  EXPECT_EQ(lastUpdateText(1e300), "");
}

TEST(PickDialogLayout, SectionsKeepTheirKeysInOrderAndMissingKeysKeepTheCurrentLayout) {
  TTemporaryFolder folder;
  const std::string file = folder.path() + "GUIoptions.INI";
  {
    TPortableIniFile ini(file);
    writePickDialogLayout(ini, downloadPickLayoutKeys(), {10, 20, 539, 273, 150, {130, 70, 70, 67}});
    writePickDialogLayout(ini, currencyPickLayoutKeys(), {10, 20, 280, 258, 0, {50, 120, 90}});
    ini.writeString("AssetPick", "Width", "wide");
  }
  TPortableIniFile ini(file);
  std::vector<std::string> keys;
  ini.readSection("DownloadPick", keys);
  EXPECT_EQ(keys, (std::vector<std::string>{"Left", "Top", "Height", "Width", "ListWidth", "NameWidth", "SymbolWidth",
                                            "CurrencyWidth", "UpdatedWidth"}));
  keys.clear();
  ini.readSection("CurrencyPick", keys);
  EXPECT_EQ(keys, (std::vector<std::string>{"Height", "Width", "SymbolWidth", "NameWidth", "CountryWidth"}));

  TPickDialogLayout layout{1, 2, 284, 273, 0, {130, 70, 70}};
  readPickDialogLayout(ini, assetPickLayoutKeys(), layout);
  EXPECT_EQ(layout.width, 284);
  readPickDialogLayout(ini, downloadPickLayoutKeys(), layout);
  EXPECT_EQ(layout.left, 10);
  EXPECT_EQ(layout.listWidth, 150);
  EXPECT_EQ(layout.columnWidths, (std::vector<int>{130, 70, 70, 67}));

  // A window saved off the screen or too small to use comes back whole.
  TPickDialogLayout lost{-500, 2000, 10, 5000, 0, {}};
  fitPickDialogLayout(lost, {0, 0, 1280, 1024}, 150, 120);
  EXPECT_EQ(lost.left, 0);
  EXPECT_EQ(lost.width, 150);
  EXPECT_EQ(lost.height, 1024);
  EXPECT_EQ(lost.top, 0);
}

TEST(DownloadPickState, ChoosingAnotherListDropsTheItemsShownBeforeItLoads) {
  TTemporaryFolder folder;
  for (const char* list : {"1", "07"}) {
    forceFolders(folder.path() + list);
    writeWholeFile(folder.path() + list + "\\0.INI", std::string("[List]\r\nName=List ") + list + "\r\n");
  }
  writeWholeFile(folder.path() + "1\\1.INI", "[DownloadItem]\r\nName=first\r\nCurrency=USD\r\n");
  writeWholeFile(folder.path() + "07\\012.INI", "[DownloadItem]\r\nName=twelfth\r\nCurrency=USD\r\n");

  TDownloadPickState state;
  state.setListsFolder(folder.path());
  state.listLists();
  ASSERT_EQ(state.lists().size(), 2u);
  const int seventh = state.lists()[0].number == 7 ? 0 : 1;
  EXPECT_FALSE(state.canAccept(1));

  state.chooseList(1 - seventh);
  EXPECT_EQ(state.loadChosenList(), 0);
  EXPECT_TRUE(state.canAccept(1));
  EXPECT_FALSE(state.canAccept(0));
  EXPECT_EQ(state.lists()[static_cast<size_t>(1 - seventh)].stateImage, 1);

  state.chooseList(seventh);  // within the delay: nothing of list 1 may be accepted
  EXPECT_TRUE(state.items().empty());
  EXPECT_FALSE(state.canAccept(1));
  state.loadChosenList();
  EXPECT_EQ(state.chosenList(), 7);
  ASSERT_EQ(state.items().size(), 1u);
  EXPECT_EQ(state.itemFileName(state.items()[0]), folder.path() + "07\\012.INI");
  TDownloadItem item;
  EXPECT_EQ(item.loadFromFile(state.itemFileName(state.items()[0])), 0);
  EXPECT_EQ(item.Name, "twelfth");
  EXPECT_EQ(state.lists()[static_cast<size_t>(seventh)].stateImage, 1);
  EXPECT_EQ(state.lists()[static_cast<size_t>(1 - seventh)].stateImage, 0);

  state.chooseList(-1);
  state.loadChosenList();
  EXPECT_FALSE(state.itemsShown());
  EXPECT_EQ(state.itemFileName(TPickRow{}), "");
}
