#include <gtest/gtest.h>

#include "controls/AllWebBrowsers.h"
#include "controls/OleWebBrowser.h"
#include "controls/ResizablePanelContainer.h"
#include "model/PortableIniFile.h"
#include "controls/WebPanel.h"
#include "model/PortableIniFile.h"
#include "model/UnsavedChanges.h"
#include "platform/Application.h"
#include "platform/Bitmap.h"
#include "platform/ComCtrls.h"
#include "platform/ExtControls.h"
#include "platform/FileSystem.h"
#include "platform/Form.h"
#include "platform/ListView.h"
#include "platform/StdControls.h"
#include "tests/support/TestFolders.h"
#include "tests/support/ToolButtonPictures.h"
#include "tests/support/WindowTestSupport.h"

namespace {

class CountingEvents : public TWebBrowserEvents {
 public:
  bool beforeNavigate(const std::string&) override {
    ++calls;
    return false;
  }
  void commandStateChange(long, bool) override { ++calls; }
  void downloadBegin() override { ++calls; }
  void downloadComplete() override { ++calls; }
  void navigateComplete() override { ++calls; }
  void documentComplete(bool) override { ++calls; }
  bool newWindow() override { return true; }
  void statusTextChange(const std::string&) override { ++calls; }
  void secureLockIcon(bool) override { ++calls; }
  int calls = 0;
};

// A browser that shows nothing and answers as a page at a fixed address would.
class StandInBrowser : public TWebBrowser {
 public:
  void navigate(const std::string& url) override { location = url; }
  void goBack() override {}
  void goForward() override {}
  void refresh() override { ++refreshes; }
  void stop() override {}
  std::string locationURL() const override { return location; }
  bool busy() const override { return false; }
  bool visible() const override { return shown; }
  void setVisible(bool visible) override { shown = visible; }
  bool scrollPosition(POINT& position) const override {
    position = {0, 120};
    return true;
  }
  bool scrollTo(POINT) override { return true; }
  HWND window() const override { return nullptr; }
  void setBounds(const RECT&) override {}

  std::string location;
  bool shown = true;
  int refreshes = 0;
};

class WebPanelWindow : public testing::Test {
 protected:
  WebPanelWindow() {
    options.clientWidth = 420;
    options.clientHeight = 300;
    form = std::make_unique<TForm>(options);
    panel = &form->add<TWebPanel>([this](HWND, TWebBrowserEvents&) -> std::unique_ptr<TWebBrowser> {
      if (!browserAvailable) return nullptr;
      auto made = std::make_unique<StandInBrowser>();
      browser = made.get();
      return made;
    });
    panel->setBounds(0, 0, 420, 300);
    form->showModeless();
  }
  ~WebPanelWindow() override { form->close(); }

  // One page load as the control reports it.
  void loadPage() {
    panel->navigation().downloadBegin();
    panel->navigation().navigateComplete();
    panel->navigation().documentComplete(true);
    panel->navigation().downloadComplete();
  }

  TFormOptions options;
  bool browserAvailable = false;
  StandInBrowser* browser = nullptr;
  std::unique_ptr<TForm> form;
  TWebPanel* panel = nullptr;
  TTemporaryFolder folder;
};

}  // namespace

// Wine has no page engine here: the object may be missing, or it navigates
// without a page ever loading. Either way nothing may crash, and no page
// property may be read from a document that is not there.
TEST(OleWebBrowser, RealControlNavigatesRefreshesAndGoesWithoutAPage) {
  TFormOptions options;
  options.clientWidth = 300;
  options.clientHeight = 200;
  TForm form(options);
  form.showModeless();
  CountingEvents events;
  for (int round = 0; round < 2; ++round) {
    std::unique_ptr<TOleWebBrowser> browser = TOleWebBrowser::create(form.handle(), events);
    if (!browser) {
      EXPECT_EQ(allWebBrowsers().count(), 0);
      continue;
    }
    EXPECT_EQ(allWebBrowsers().count(), 1);
    browser->setVisible(true);
    browser->navigate("about:blank");
    pumpFor(200);
    browser->refresh();
    browser->setBounds({0, 0, 200, 100});
    POINT position{7, 7};
    browser->scrollPosition(position);
    browser->scrollTo({0, 10});
    browser->locationURL();
    browser->setVisible(false);
    EXPECT_FALSE(browser->visible());
    browser.reset();
    EXPECT_EQ(allWebBrowsers().count(), 0);
  }
  form.close();
}

TEST(AllWebBrowsers, OffersTabEnterCtrlKeysAndExtendedEditingKeys) {
  MSG message{};
  message.message = WM_KEYDOWN;
  message.wParam = VK_TAB;
  EXPECT_TRUE(TAllWebBrowsers::isRoutedKey(message, false));
  message.wParam = 'A';
  EXPECT_FALSE(TAllWebBrowsers::isRoutedKey(message, false));
  EXPECT_TRUE(TAllWebBrowsers::isRoutedKey(message, true));
  message.wParam = VK_LEFT;
  EXPECT_FALSE(TAllWebBrowsers::isRoutedKey(message, false));
  message.lParam = 1 << 24;
  EXPECT_TRUE(TAllWebBrowsers::isRoutedKey(message, false));
  message.message = WM_MOUSEMOVE;
  EXPECT_FALSE(TAllWebBrowsers::isRoutedKey(message, true));
}

TEST_F(WebPanelWindow, WithoutABrowserThePaneSaysSo) {
  // The fixture's factory made none.
  EXPECT_TRUE(pumpUntil([&] { return panel->noBrowserNotice().visible(); }));
  panel->goAddress(nullptr);
  panel->refresh(nullptr);
  panel->browserEnable(true);
  EXPECT_FALSE(panel->browserEnabled());
  captureWindow(form->handle()).savePng("web-panel-no-browser");
}

TEST_F(WebPanelWindow, PagesFavouritesSettingsAndDeletion) {
  browserAvailable = true;
  panel->browserEnable(false);
  panel->browserEnable(true);
  ASSERT_NE(browser, nullptr);
  EXPECT_FALSE(panel->noBrowserNotice().visible());

  panel->addressCombo().setText("http://quotes.example/acme");
  panel->goAddress(nullptr);
  loadPage();
  EXPECT_EQ(panel->addressCombo().text(), "http://quotes.example/acme");
  EXPECT_EQ(panel->addressCombo().count(), 1);
  panel->addFav();
  ASSERT_EQ(panel->favListView().itemCount(), 1);
  EXPECT_EQ(panel->favListView().itemText(0, 1), "http://quotes.example/acme");
  EXPECT_EQ(panel->getSelectedFavItem()->Y, 120);
  panel->navigation().settings.favs.get(0)->Symbol = "ACME";
  panel->setTimedRefreshInterval(1000);
  EXPECT_TRUE(panel->autorefreshButton().down());
  panel->setStatusVisible(false);
  pumpFor(100);
  captureWindow(form->handle()).savePng("web-panel-with-favourites");

  const std::string file = folder.path() + "WEB1.INI";
  ASSERT_EQ(panel->saveSettings(file), 0);
  TWebPanel& other = form->add<TWebPanel>([](HWND, TWebBrowserEvents&) { return std::make_unique<StandInBrowser>(); });
  ASSERT_EQ(other.loadSettings(file), 0);
  EXPECT_FALSE(other.statusVisible());
  EXPECT_EQ(other.timedRefreshInterval(), 5000);
  EXPECT_EQ(other.favListView().itemText(0), "ACME");
  EXPECT_TRUE(other.openFavForSymbol(" acme ", nullptr));
  EXPECT_EQ(other.addressCombo().text(), "http://quotes.example/acme");

  // With a handler, Delete only asks; without one the panel goes with its file.
  int asked = 0;
  other.onDelSelfRequest = [&](TWebPanel&) { ++asked; };
  other.deleteButton().performClick();
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(fileExists(file));
  other.onDelSelfRequest = nullptr;
  int deleted = -1;
  other.onDeleted = [&](TWebPanel&, int result) { deleted = result; };
  // A file that refuses keeps its panel and what waits for it, and says so.
  holdUnsavedChange(file, "settings", [] { return false; });
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
  other.deleteButton().performClick();
  EXPECT_TRUE(pumpUntil([&] { return deleted == -4; }));
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(other.refusedDeletion(), "The browser was not deleted: " + file + " is read-only.");
  EXPECT_EQ(saveUnsavedChanges(), std::vector<std::string>{file});
  deleted = -1;
  other.deleteButton().performClick();
  EXPECT_EQ(deleted, -1);  // not inside the click
  EXPECT_TRUE(pumpUntil([&] { return deleted == 0; }));
  EXPECT_FALSE(fileExists(file));
  EXPECT_TRUE(saveUnsavedChanges().empty());
}

TEST_F(WebPanelWindow, TileFractionsFromTheFileAreCheckedAsForEveryTile) {
  TResizablePanelContainer& container = form->add<TResizablePanelContainer>();
  container.setBounds(0, 0, 400, 300);
  TWebPanel& tile = container.add<TWebPanel>([](HWND, TWebBrowserEvents&) { return std::unique_ptr<TWebBrowser>(); });
  container.setRelativeBounds(&tile, 0, 0, 0.5, 0.5);
  ASSERT_TRUE(tile.hasFractions());
  const std::string file = folder.path() + "WEB1.INI";
  ASSERT_EQ(tile.saveSettings(file), 0);
  {
    TPortableIniFile ini(file);
    ini.writeFloat("Tile", "Left", 0.75);
    ini.writeFloat("Tile", "Right", 0.25);
  }
  ASSERT_EQ(tile.loadSettings(file), 0);
  const RECT bounds = tile.getRestoredBounds();
  EXPECT_EQ(bounds.right - bounds.left, 400);
  EXPECT_EQ(bounds.bottom - bounds.top, 300);
  EXPECT_EQ(tile.fractions().right, 1);
}

TEST_F(WebPanelWindow, HeaderClicksReorderTheFavouritesAndEscRestoresTheAddress) {
  browserAvailable = true;
  panel->browserEnable(false);
  panel->browserEnable(true);
  TFavList& favs = panel->navigation().settings.favs;
  favs.insert(0, "http://b/", "beta", 0, 0);
  favs.insert(1, "http://a/", "Alpha", 0, 0);
  favs.insert(2, "http://c/", "gamma", 0, 0);
  const std::string file = folder.path() + "WEB2.INI";
  ASSERT_EQ(panel->saveSettings(file), 0);
  ASSERT_EQ(panel->loadSettings(file), 0);

  ListView_SetItemState(panel->favListView().handle(), -1, 0, LVIS_SELECTED);
  NMLISTVIEW click{};
  click.hdr.hwndFrom = panel->favListView().handle();
  click.hdr.code = LVN_COLUMNCLICK;
  click.iSubItem = 0;
  SendMessageA(GetParent(panel->favListView().handle()), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&click));
  EXPECT_EQ(favs.get(0)->Symbol, "Alpha");
  EXPECT_EQ(favs.get(2)->Symbol, "gamma");
  SendMessageA(GetParent(panel->favListView().handle()), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&click));
  EXPECT_EQ(favs.get(0)->Symbol, "gamma");
  EXPECT_EQ(panel->favListView().itemText(0), "gamma");

  panel->addressCombo().setText("http://a/");
  panel->goAddress(nullptr);
  loadPage();
  panel->addressCombo().setText("typed but not gone to");
  HWND edit = GetWindow(panel->addressCombo().handle(), GW_CHILD);
  postKey(edit ? edit : panel->addressCombo().handle(), VK_ESCAPE);
  EXPECT_EQ(panel->addressCombo().text(), "http://a/");

  TBitmap picture;
  panel->snapshot(picture);
  EXPECT_EQ(picture.width(), panel->clientWidth() - 10);
  EXPECT_EQ(picture.height(), panel->clientHeight() - 1);
}

TEST(WebPanelWithSystemBrowser, SwitchesOffAndOnAndRefreshesWithoutAPage) {
  TFormOptions options;
  options.clientWidth = 400;
  options.clientHeight = 280;
  TForm form(options);
  TWebPanel& panel = form.add<TWebPanel>();
  panel.setBounds(0, 0, 400, 280);
  form.showModeless();
  panel.addressCombo().setText("about:blank");
  panel.goAddress(nullptr);
  pumpFor(200);
  panel.refresh(nullptr);
  panel.browserEnable(false);
  EXPECT_FALSE(panel.browserEnabled());
  panel.browserEnable(true);
  pumpFor(200);
  panel.makeHome();
  panel.addFav();
  TBitmap picture;
  panel.snapshot(picture);
  captureWindow(form.handle()).savePng("web-panel-system-browser");
  form.close();
}

TEST_F(WebPanelWindow, DefaultButtonsFollowTheirHandlersAndTheSetupMenuSeesTheAddressGo) {
  EXPECT_FALSE(panel->makeDefaultButton().enabled());
  EXPECT_FALSE(panel->makeDefaultEnabled());
  int made = 0, cleared = 0;
  panel->setOnMakeDefaultRequest([&](TWebPanel&) { ++made; });
  panel->setOnClearDefaultRequest([&](TWebPanel&) { ++cleared; });
  EXPECT_TRUE(panel->makeDefaultButton().enabled());
  EXPECT_TRUE(panel->clearDefaultEnabled());
  panel->makeDefaultButton().performClick();
  panel->clearDefaultButton().performClick();
  EXPECT_EQ(made, 1);
  EXPECT_EQ(cleared, 1);
  panel->setOnClearDefaultRequest(nullptr);
  EXPECT_FALSE(panel->clearDefaultButton().enabled());
  EXPECT_FALSE(panel->clearDefaultEnabled());

  // No favourite is selected, yet the address can be gone to.
  EXPECT_EQ(panel->getSelectedFavItem(), nullptr);
  EXPECT_TRUE(panel->goEnabled());
}

TEST_F(WebPanelWindow, HidingEveryGroupLeavesTheSetupHandleAndNoTileIsWrittenOutsideAMosaic) {
  panel->setStatusVisible(false);
  EXPECT_FALSE(panel->setupHandle().visible());
  panel->setButtonsVisible(false);
  panel->setDefaultVisible(false);
  panel->setDeleteVisible(false);
  panel->setAddressVisible(false);
  EXPECT_TRUE(panel->setupHandle().visible());
  panel->setDeleteVisible(true);
  EXPECT_FALSE(panel->setupHandle().visible());

  // Moved about on a plain form, the panel has recorded fractions of it.
  panel->setBounds(10, 10, 400, 280);
  const std::string file = folder.path() + "WEB3.INI";
  ASSERT_EQ(panel->saveSettings(file), 0);
  TPortableIniFile stored(file);
  EXPECT_EQ(stored.readString("Tile", "Left", "none"), "none");
  EXPECT_EQ(stored.readString("Tile", "Bottom", "none"), "none");
  EXPECT_NE(stored.readString("Tile", "Maximized", "none"), "none");
}

// A settings file held by another program while the panel loads leaves the
// panel empty; its saves leave the file as it is, held or let go, and write
// only what the user changed afterwards. A file nobody changed is not
// written, so a read-only one saves without failing.
TEST_F(WebPanelWindow, ASettingsFileIsWrittenOnlyWithWhatTheUserChanged) {
  TFavList& favs = panel->navigation().settings.favs;
  favs.insert(0, "http://quotes.example/acme", "ACME", 0, 0);
  panel->navigation().settings.addRecentUrl("http://news.example/");
  const std::string file = folder.path() + "WEB1.INI";
  ASSERT_EQ(panel->saveSettings(file), 0);
  const std::string text = readWholeFile(file);

  const auto newPanel = [&]() -> TWebPanel& {
    TWebPanel& made =
        form->add<TWebPanel>([](HWND, TWebBrowserEvents&) { return std::make_unique<StandInBrowser>(); });
    made.setBounds(0, 0, 420, 300);
    return made;
  };
  TWebPanel& unread = newPanel();
  {
    THeldFile held(file);
    EXPECT_EQ(unread.loadSettings(file), -3);
    EXPECT_EQ(unread.favListView().itemCount(), 0);
    EXPECT_EQ(unread.saveToOwnFile(), 0);
  }
  EXPECT_EQ(unread.saveToOwnFile(), 0);
  EXPECT_EQ(readWholeFile(file), text);
  unread.setStatusVisible(false);
  ASSERT_EQ(unread.saveToOwnFile(), 0);
  {
    const TPortableIniFile changed(file);
    EXPECT_FALSE(changed.readBool("Status", "Visible", true));
    EXPECT_EQ(changed.readString("Fav1", "URL", ""), "http://quotes.example/acme");
    EXPECT_EQ(changed.readString("RecentURLs", "0", ""), "http://news.example/");
  }

  writeWholeFile(file, text);
  TWebPanel& read = newPanel();
  ASSERT_EQ(read.loadSettings(file), 0);
  EXPECT_EQ(read.favListView().itemCount(), 1);
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(read.saveToOwnFile(), 0);
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(readWholeFile(file), text);

  // Favourites' sections another program left past the count are none:
  // one added under such a number does not take their keys, and they go.
  writeWholeFile(file, text + "[Fav2]\r\nURL=http://old.example/\r\nSymbol=OLD\r\n"
                             "[Fav3]\r\nURL=http://older.example/\r\n");
  TWebPanel& leftOver = newPanel();
  ASSERT_EQ(leftOver.loadSettings(file), 0);
  EXPECT_EQ(leftOver.favListView().itemCount(), 1);
  leftOver.navigation().settings.favs.insert(1, "http://new.example/", "", 0, 0);
  ASSERT_EQ(leftOver.saveToOwnFile(), 0);
  const TPortableIniFile favourites(file);
  EXPECT_EQ(favourites.readString("Fav2", "URL", ""), "http://new.example/");
  EXPECT_EQ(favourites.readString("Fav2", "Symbol", ""), "");
  EXPECT_FALSE(favourites.sectionExists("Fav3"));
}

// The address box shrinks by what the tool bar lost since its width was
// kept: a width kept from a maximised window left the box a stub for good.
TEST_F(WebPanelWindow, TheToolBarWidthIsKeptFromANormalWindowOnlyAndMendedThere) {
  panel->setAlign(TAlign::client);
  const std::string file = folder.path() + "WEB1.INI";
  ASSERT_EQ(panel->saveSettings(file), 0);
  const int normalWidth = panel->toolbar().width();
  TPortableIniFile(file).writeInteger("ToolBar", "ToolBarWidth", normalWidth + 300);
  ASSERT_EQ(panel->loadSettings(file), 0);
  ASSERT_EQ(panel->saveToOwnFile(), 0);
  EXPECT_EQ(TPortableIniFile(file).readInteger("ToolBar", "ToolBarWidth", 0), normalWidth);

  ShowWindow(form->handle(), SW_MAXIMIZE);
  ASSERT_TRUE(pumpUntil([&] { return panel->toolbar().width() > normalWidth; }));
  ASSERT_EQ(panel->saveToOwnFile(), 0);
  EXPECT_EQ(TPortableIniFile(file).readInteger("ToolBar", "ToolBarWidth", 0), normalWidth);
}

// Every button of the tool bar and of the favourites pane shows its picture
// (grey while disabled) and keeps its hint and its name; the key at the
// status bar's end turns from grey to gold for a secure page.
TEST_F(WebPanelWindow, ButtonsShowPicturesAndTheKeyTellsASecurePage) {
  panel->setFavsVisible(true);
  expectPictureButtons(*panel,
                       {"Back", "Forward", "Stop", "Refresh", "Autorefresh", "Home", "Favorites", "Make default",
                        "Clear default", "Delete", "Make home", "Go", "Add", "Move up", "Move down", "Close"},
                       "web-panel-buttons");
  // The favourites pane's Go and Delete are buttons of their own.
  EXPECT_EQ(static_cast<int>(toolButtonsIn(*panel).size()), 18);
  for (TToolButton* button : toolButtonsIn(*panel)) EXPECT_EQ(button->text(), button->hint());

  EXPECT_EQ(goldKeyPixels(panel->statusBar()), 0);
  panel->navigation().secureLockIcon(true);
  EXPECT_GE(goldKeyPixels(panel->statusBar()), 10);
  captureWindow(panel->handle()).savePng("web-panel-secure");
  panel->navigation().secureLockIcon(false);
  EXPECT_EQ(goldKeyPixels(panel->statusBar()), 0);
}
