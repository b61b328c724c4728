#include <gtest/gtest.h>

#include <algorithm>

#include "controls/AssetPickForm.h"
#include "controls/CurrPickForm.h"
#include "controls/DownloadItem.h"
#include "controls/DownloadPickForm.h"
#include "controls/ListViewXPSafe.h"
#include "model/Directories.h"
#include "model/LanguageStrings.h"
#include "model/Portfolio.h"
#include "model/PortableIniFile.h"
#include "model/PortfolioTable.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Panel.h"
#include "platform/StdControls.h"
#include "tests/model/SampleWorkFolder.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestSupport.h"

namespace {

std::vector<std::string> captions(const TListView& list, int column = 0) {
  std::vector<std::string> texts;
  for (int row = 0; row < list.itemCount(); ++row) texts.push_back(list.itemText(row, column));
  return texts;
}

int rowOf(const TListView& list, const std::string& caption) {
  const std::vector<std::string> texts = captions(list);
  const auto found = std::find(texts.begin(), texts.end(), caption);
  return found == texts.end() ? -1 : static_cast<int>(found - texts.begin());
}

// Whether a row of a list shows a pixel of the colour (the state images are
// drawn in plain colours of their own).
bool rowShows(const TListView& list, int row, uint32_t rgb) {
  const TScreenImage image = captureClient(list.handle());
  const RECT rect = list.itemRect(row);
  for (int y = std::max(0L, rect.top); y < std::min<long>(rect.bottom, image.height()); ++y)
    for (int x = 0; x < std::min(24, image.width()); ++x)
      if (image.pixel(x, y) == rgb) return true;
  return false;
}

constexpr uint32_t chosenListGreen = 0x00C000;
constexpr uint32_t listYellow = 0xFFFF00;

}  // namespace

TEST(CurrencyPick, AcceptingFillsTheOutputsAndCancellingLeavesThemAlone) {
  TcurrPickForm form;
  std::string symbol = "us", name, country;
  bool accepted = false;
  bool okEnabled = false;
  TModalDriver accept(form, {[&] {
    okEnabled = form.okBtn.enabled();
    captureWindow(form.handle()).savePng("currency-pick");
    postKey(form.currencyListView.handle(), VK_RETURN);
  }});
  form.pickCurrency({0, 0, 20, 20}, symbol, name, country, accepted);
  EXPECT_FALSE(accept.timedOut());
  EXPECT_TRUE(okEnabled);
  EXPECT_TRUE(accepted);
  EXPECT_EQ(symbol + "|" + name + "|" + country, "USD|Dollar|USA");
  // Anchored at the screen's corner the dialog stays on the screen.
  EXPECT_EQ(form.left(), 0);
  EXPECT_EQ(form.top(), 0);

  symbol = "XAU";
  TModalDriver cancel(form, {[&] {
    okEnabled = form.okBtn.enabled();
    postKey(form.currencyListView.handle(), VK_RETURN);  // nothing selected: closes, accepting nothing
  }});
  form.pickCurrency({100, 100, 300, 200}, symbol, name, country, accepted);
  EXPECT_FALSE(okEnabled);
  EXPECT_FALSE(accepted);
  EXPECT_EQ(symbol + "|" + name + "|" + country, "XAU|Dollar|USA");

  // The "Symbol" header twice: descending.
  form.currencyListView.onColumnClick(0);
  form.currencyListView.onColumnClick(0);
  EXPECT_EQ(captions(form.currencyListView), (std::vector<std::string>{"USD", "JPY", "GBP", "EUR", "CHF"}));

  // The grid's currency editor asks through its picker interface.
  TCurrencyPicker& picker = form;
  EXPECT_EQ(picker.currencyCount(), 5);
  symbol = "eu";
  TModalDriver pick(form, {[&] { postKey(form.currencyListView.handle(), VK_RETURN); }});
  EXPECT_TRUE(picker.pickCurrency({0, 0, 20, 20}, symbol));
  EXPECT_EQ(symbol, "EUR");
}

TEST(CurrencyPick, TheDeliveredLanguageFileListsEveryCurrencyWithItsCountry) {
  resetLanguageStrings();
  const std::string language = deliveredLanguageFile();
  loadCommonStrings(language);
  loadCountries(language);
  loadCurrencies(language);
  TcurrPickForm form;
  form.loadTranslations(language);
  form.initList();
  // The file's dialog texts are the dialog's own.
  EXPECT_EQ(form.text(), "Currency");
  EXPECT_EQ(form.okBtn.text(), "&OK");
  EXPECT_EQ(form.currencyListView.columnCaption(2), "Country");
  ASSERT_GE(currencyCount(), 150);
  EXPECT_EQ(form.currencyCount(), currencyCount());
  const int euro = rowOf(form.currencyListView, "EUR");
  ASSERT_GE(euro, 0);
  EXPECT_EQ(form.currencyListView.itemText(euro, 1) + "|" + form.currencyListView.itemText(euro, 2),
            "Euro|European Union");
  std::string symbol = "gb";
  TModalDriver pick(form, {[&] { postKey(form.currencyListView.handle(), VK_RETURN); }});
  EXPECT_TRUE(static_cast<TCurrencyPicker&>(form).pickCurrency({0, 0, 20, 20}, symbol));
  EXPECT_EQ(symbol, "GBP");
  resetLanguageStrings();
}

class DownloadPick : public testing::Test {
 protected:
  DownloadPick() {
    setDirectory("<DLISTS>", lists);
    writeList("07", "Stocks");
    writeWholeFile(lists + "07\\012.INI", "[DownloadItem]\r\nName=Acme\r\nSymbol=ACM\r\nCurrency=USD\r\n");
    writeWholeFile(lists + "07\\3.INI", "[DownloadItem]\r\nName=Dated\r\nLastUpdate=45123.5\r\n[Remarks]\r\n1=x\r\n");
    // A malformed engine must not leave the dialog disabled under the hourglass.
    writeWholeFile(lists + "07\\4.INI", "[DownloadItem]\r\nName=Broken\r\nUrlEngine={bad}\r\n");
    writeList("1", "Bonds");
    writeWholeFile(lists + "1\\1.INI", "[DownloadItem]\r\nName=Treasury\r\n");
    form.listLists();
  }

  void writeList(const std::string& folder, const std::string& name) {
    forceFolders(lists + folder);
    writeWholeFile(lists + folder + "\\0.INI", "[List]\r\nName=" + name + "\r\n");
  }

  TTemporaryFolder folder;
  std::string lists = folder.path() + "DLISTS\\";
  TdownloadPickForm form;
};

TEST_F(DownloadPick, AListChangeDropsTheOldItemsAtOnceAndTheDialogComesBackEnabled) {
  ASSERT_EQ(captions(form.listListView).size(), 2u);
  const int stocks = rowOf(form.listListView, "Stocks");
  const int bonds = rowOf(form.listListView, "Bonds");
  bool okDuringDelay = true, shownDuringDelay = true, listsEnabled = false, busy = true;
  bool chosenShown = false, otherShown = false;
  std::vector<std::string> items;
  TModalDriver driver(form, {[&] {
    form.listListView.setItemIndex(bonds);
    ASSERT_TRUE(pumpUntil([&] { return form.objectListView.visible(); }));
    form.objectListView.setSelected(0, true);
    ASSERT_TRUE(form.okBtn.enabled());
    // Another list: within the delay nothing of the first may be accepted.
    form.listListView.setItemIndex(stocks);
    okDuringDelay = form.okBtn.enabled();
    shownDuringDelay = form.objectListView.visible() || form.objectListView.itemCount() > 0;
    postKey(form.listListView.handle(), VK_RETURN);
    ASSERT_TRUE(pumpUntil([&] { return form.objectListView.visible(); }));
    listsEnabled = form.listListView.enabled() && form.objectListView.enabled();
    busy = application().isBusy();
    items = captions(form.objectListView);
    chosenShown = rowShows(form.listListView, stocks, chosenListGreen);
    otherShown = rowShows(form.listListView, bonds, listYellow) && !rowShows(form.listListView, bonds, chosenListGreen);
    form.objectListView.onColumnClick(0);
    for (int row = 0; row < form.objectListView.itemCount(); ++row)
      form.objectListView.setSelected(row, form.objectListView.itemText(row) != "Dated");
    pumpFor(50);
    captureWindow(form.handle()).savePng("download-pick");
    postKey(form.objectListView.handle(), VK_RETURN);
  }});
  EXPECT_TRUE(form.execute());
  EXPECT_FALSE(driver.timedOut());
  EXPECT_FALSE(okDuringDelay);
  EXPECT_FALSE(shownDuringDelay);
  EXPECT_TRUE(listsEnabled);
  EXPECT_FALSE(busy);
  EXPECT_TRUE(chosenShown);
  EXPECT_TRUE(otherShown);
  std::sort(items.begin(), items.end());
  EXPECT_EQ(items, (std::vector<std::string>{"Acme", "Broken", "Dated"}));

  // Read back by the names found ("07\012.INI"), in the list's order.
  TDownloadItem item;
  ASSERT_TRUE(form.getFirstDownloadItem(item));
  EXPECT_EQ(item.Name, "Acme");
  EXPECT_EQ(item.Symbol, "ACM");
  ASSERT_TRUE(form.getNextDownloadItem(item));
  EXPECT_EQ(item.Name, "Broken");
  EXPECT_FALSE(form.getNextDownloadItem(item));
  EXPECT_EQ(item.Name, "Broken");
}

TEST_F(DownloadPick, FindChoosesAMatchingListAtOnce) {
  TFindDialog find;
  form.setFindDialog(&find);
  std::vector<std::string> items;
  TModalDriver driver(form, {[&] {
    sendMouse(form.listListView.handle(), WM_RBUTTONDOWN, 5, 5, MK_RBUTTON);
    sendMouse(form.listListView.handle(), WM_RBUTTONUP, 5, 5);
    find.findText = "bond";
    find.options.down = true;
    find.onFind();
    items = captions(form.objectListView);
    find.close();
    postKey(form.listListView.handle(), VK_ESCAPE);
  }});
  EXPECT_FALSE(form.execute());
  EXPECT_FALSE(driver.timedOut());
  EXPECT_EQ(items, (std::vector<std::string>{"Treasury"}));
  TDownloadItem item;
  EXPECT_FALSE(form.getFirstDownloadItem(item));
}

TEST(AssetPick, ListsAssetsInTheCallersOrderAndWalksTheSelectionBothWays) {
  TSampleWorkFolder sample;
  TPortfolioTable table;
  ASSERT_EQ(table.open(sample.folios + "1\\", false, {}, nullptr, true, false), 0);
  const TPortfolio& portfolio = *table.items(0);
  ASSERT_GE(portfolio.assetCount(), 3);

  TassetPickForm form;
  form.listAssets(&portfolio, {{2, 0}, {99, 1}, {0, 2}, {1, 3}});
  ASSERT_EQ(form.assetListView.itemCount(), 3);
  EXPECT_EQ(form.assetListView.itemText(0), portfolio.assets(2)->Name());
  EXPECT_EQ(form.assetListView.itemText(1, 1), portfolio.assets(0)->Symbol());
  EXPECT_FALSE(form.okBtn.enabled());

  bool okEnabled = false;
  int foundRow = -1;
  TModalDriver driver(form, {[&] {
    form.findDialog->findText = portfolio.assets(1)->Name();
    form.findDialog->onFind();
    foundRow = form.assetListView.itemIndex();
    form.assetListView.setSelected(0, true);
    okEnabled = form.okBtn.enabled();
    pumpFor(50);
    captureWindow(form.handle()).savePng("asset-pick");
    postKey(form.assetListView.handle(), VK_RETURN);
  }});
  EXPECT_TRUE(form.execute());
  EXPECT_FALSE(driver.timedOut());
  EXPECT_EQ(foundRow, 2);
  EXPECT_TRUE(okEnabled);
  EXPECT_EQ(form.selectedCount(), 2);
  EXPECT_EQ(form.getFirstAssetIndex(), 2);
  EXPECT_EQ(form.getNextAssetIndex(), 1);
  EXPECT_EQ(form.getNextAssetIndex(), -1);
  EXPECT_EQ(form.getLastAssetIndex(), 1);
  EXPECT_EQ(form.getPrevAssetIndex(), 2);
  EXPECT_EQ(form.getPrevAssetIndex(), -1);

  form.listAssets(nullptr, {{0, 0}});
  EXPECT_EQ(form.assetListView.itemCount(), 0);
}

TEST_F(DownloadPick, LayoutComesBackFromItsSectionAndStaysOnTheScreen) {
  form.setBounds(40, 30, 600, 320);
  form.listListPanel.setBounds(0, 0, 210, form.listListPanel.height());
  form.objectListView.setColumnWidth(3, 90);
  const std::string file = folder.path() + "GUIoptions.INI";
  {
    TPortableIniFile ini(file);
    form.saveGUIoptions(ini);
  }
  TdownloadPickForm restored;
  restored.loadGUIoptions(TPortableIniFile(file));
  EXPECT_EQ(restored.left(), 40);
  EXPECT_EQ(restored.width(), 600);
  EXPECT_EQ(restored.height(), 320);
  EXPECT_EQ(restored.listListPanel.width(), 210);
  EXPECT_EQ(restored.objectListView.columnWidth(3), 90);

  TPortableIniFile damaged(file);
  damaged.writeInteger("DownloadPick", "Left", -3000);
  damaged.writeInteger("DownloadPick", "Width", 5);
  restored.loadGUIoptions(damaged);
  EXPECT_GE(restored.left(), 0);
  EXPECT_GE(restored.width(), 150);
}
