#include <gtest/gtest.h>

#include <vector>

#include "controls/WebPanelNavigation.h"

namespace {

// Records what the panel asks and answers like a browser whose pages load
// only when the test says so.
class FakeBrowser : public TWebBrowser {
 public:
  explicit FakeBrowser(std::vector<std::string>& calls) : calls_(calls) {}
  void navigate(const std::string& url) override {
    calls_.push_back("navigate " + url);
    location = url;
  }
  void goBack() override { calls_.push_back("back"); }
  void goForward() override { calls_.push_back("forward"); }
  void refresh() override { calls_.push_back("refresh"); }
  void stop() override { calls_.push_back("stop"); }
  std::string locationURL() const override { return location; }
  bool busy() const override { return isBusy; }
  bool visible() const override { return shown; }
  void setVisible(bool visible) override { shown = visible; }
  bool scrollPosition(POINT& position) const override {
    if (!hasDocument) return false;
    position = scroll;
    return true;
  }
  bool scrollTo(POINT position) override {
    if (!hasDocument) return false;
    scroll = position;
    calls_.push_back("scroll " + std::to_string(position.x) + "," + std::to_string(position.y));
    return true;
  }
  HWND window() const override { return nullptr; }
  void setBounds(const RECT&) override {}

  std::string location;
  bool isBusy = false;
  bool shown = true;
  bool hasDocument = true;
  POINT scroll{0, 0};

 private:
  std::vector<std::string>& calls_;
};

class FakeView : public TWebPanelView {
 public:
  std::unique_ptr<TWebBrowser> createBrowser(TWebBrowserEvents&) override {
    if (!browserAvailable) return nullptr;
    auto made = std::make_unique<FakeBrowser>(calls);
    browser = made.get();
    ++created;
    return made;
  }
  void showAddress(const std::string& url) override { address = url; }
  void recentUrlsChanged() override {}
  void setBackEnabled(bool enabled) override { backEnabled = enabled; }
  void setForwardEnabled(bool) override {}
  void setStopEnabled(bool enabled) override { stopEnabled = enabled; }
  void setAddFavEnabled(bool) override {}
  void showStatusText(const std::string&) override {}
  void showSecure(bool) override {}
  void setRefreshTimer(bool enabled, int interval) override {
    timerEnabled = enabled;
    timerInterval = interval;
  }
  void selectFav(int index) override { selectedFav = index; }
  bool maximized() const override { return false; }
  void giveFocus(HWND window) override { focusGiven.push_back(window); }

  bool browserAvailable = true;
  FakeBrowser* browser = nullptr;
  int created = 0;
  std::vector<std::string> calls;
  std::string address;
  bool backEnabled = false;
  bool stopEnabled = false;
  bool timerEnabled = false;
  int timerInterval = 0;
  int selectedFav = -1;
  std::vector<HWND> focusGiven;
};

// One page load as the control reports it: a download, the navigation and
// the top-level document.
void loadPage(TWebPanelNavigation& panel) {
  panel.downloadBegin();
  panel.navigateComplete();
  panel.documentComplete(true);
  panel.downloadComplete();
}

class WebPanelNavigation : public testing::Test {
 protected:
  WebPanelNavigation() { panel.createBrowser(); }

  FakeView view;
  TWebPanelNavigation panel{view};
  HWND focus = reinterpret_cast<HWND>(0x1234);
};

}  // namespace

TEST_F(WebPanelNavigation, AFavouriteScrollsAndFocusesOnceWhenItsPageHasLoaded) {
  panel.settings.favs.insert(0, "http://quotes/", "Q", 5, 300);
  ASSERT_TRUE(panel.openFavForSymbol(" q ", focus));
  EXPECT_EQ(view.selectedFav, 0);
  EXPECT_FALSE(panel.pageCompleted());
  EXPECT_FALSE(panel.beforeNavigate("http://quotes/"));

  panel.downloadBegin();
  panel.downloadBegin();
  EXPECT_TRUE(view.stopEnabled);
  panel.navigateComplete();
  panel.documentComplete(false);  // a frame's document is not the page
  EXPECT_FALSE(panel.pageCompleted());
  panel.downloadComplete();
  EXPECT_TRUE(view.focusGiven.empty());  // one download still runs
  panel.documentComplete(true);
  panel.downloadComplete();
  EXPECT_TRUE(panel.pageCompleted());
  EXPECT_FALSE(view.stopEnabled);
  EXPECT_EQ(view.calls.back(), "scroll 5,300");
  EXPECT_EQ(view.focusGiven, std::vector<HWND>{focus});

  // A later download of the same page leaves the user's scrolling and focus alone.
  view.browser->scroll = {0, 900};
  panel.downloadBegin();
  panel.downloadComplete();
  panel.downloadComplete();  // unmatched completions do not upset the count
  EXPECT_EQ(view.browser->scroll.y, 900);
  EXPECT_EQ(view.focusGiven.size(), 1u);
  EXPECT_EQ(panel.downloadCount(), 0);
}

TEST_F(WebPanelNavigation, ALinkFollowedAfterThePageCompletedGetsNoRestoredPosition) {
  panel.settings.favs.insert(0, "http://a/", "A", 0, 400);
  panel.openFav(*panel.settings.favs.get(0), nullptr);
  view.browser->hasDocument = false;  // as under a browser that renders nothing
  loadPage(panel);
  EXPECT_EQ(panel.restorePosition().y, 400);  // kept until a page can take it

  EXPECT_FALSE(panel.beforeNavigate("http://a/next"));
  EXPECT_EQ(panel.restorePosition().y, -1);

  // Refresh during a download keeps the position it was given.
  view.browser->hasDocument = true;
  view.browser->scroll = {0, 70};
  panel.refresh(nullptr);
  EXPECT_EQ(panel.restorePosition().y, 70);
  panel.downloadBegin();
  view.browser->scroll = {0, 10};
  panel.refresh(nullptr);
  EXPECT_EQ(panel.restorePosition().y, 70);
  panel.downloadComplete();
  EXPECT_EQ(view.browser->scroll.y, 70);
}

TEST_F(WebPanelNavigation, AddressesGoToRecentListsAndNewWindowsNeedPermission) {
  panel.settings.setKeepRecentUrls(2);
  for (const char* url : {"http://a/", "http://b/", "http://a/", "http://c/"}) {
    panel.goAddress(url, nullptr);
    loadPage(panel);
  }
  EXPECT_EQ(panel.settings.recentUrls, (std::vector<std::string>{"http://c/", "http://b/"}));
  EXPECT_EQ(view.address, "http://c/");
  EXPECT_TRUE(panel.newWindow());
  panel.settings.allowNewWin = true;
  EXPECT_FALSE(panel.newWindow());
}

TEST_F(WebPanelNavigation, SwitchingOffRemembersThePageAndSwitchingOnReturnsToIt) {
  panel.goAddress("http://page/", nullptr);
  loadPage(panel);
  panel.setTimedRefreshInterval(1);
  EXPECT_TRUE(view.timerEnabled);
  EXPECT_EQ(view.timerInterval, 5000);
  view.browser->scroll = {3, 250};

  panel.browserEnable(false);
  EXPECT_FALSE(panel.browserEnabled());
  EXPECT_FALSE(view.timerEnabled);
  EXPECT_EQ(panel.rememberedPage().URL, "http://page/");
  EXPECT_EQ(view.address, "");
  EXPECT_EQ(view.created, 2);  // a fresh, hidden control stands by
  panel.refreshTimerTick();
  EXPECT_NE(view.calls.back(), "refresh");

  panel.browserEnable(true);
  EXPECT_TRUE(view.timerEnabled);
  EXPECT_EQ(view.calls.back(), "navigate http://page/");
  EXPECT_EQ(panel.restorePosition().y, 250);
  panel.refreshTimerTick();
  EXPECT_EQ(view.calls.back(), "refresh");
}

TEST_F(WebPanelNavigation, WithoutABrowserEveryCommandIsHarmless) {
  FakeView noBrowserView;
  noBrowserView.browserAvailable = false;
  TWebPanelNavigation alone(noBrowserView);
  alone.createBrowser();
  alone.browserEnable(true);
  alone.goAddress("http://x/", nullptr);
  alone.refresh(nullptr);
  alone.back(nullptr);
  alone.navigateComplete();
  alone.downloadComplete();
  alone.makeHome(" http://home/ ");
  EXPECT_EQ(alone.addFav(-1), -1);
  EXPECT_FALSE(alone.browserEnabled());
  EXPECT_TRUE(alone.beforeNavigate("http://x/"));
  EXPECT_EQ(alone.settings.favs.getDefault().URL, "http://home/");
}

TEST_F(WebPanelNavigation, FavouriteListEditsAnswerTheRowToSelect) {
  panel.goAddress("http://one/", nullptr);
  loadPage(panel);
  EXPECT_EQ(panel.addFav(-1), 0);
  EXPECT_EQ(panel.addFav(-1), 1);
  EXPECT_EQ(panel.addFav(0), 1);
  EXPECT_EQ(panel.settings.favs.count(), 3);
  EXPECT_EQ(panel.moveFavUp(0), 0);
  EXPECT_EQ(panel.moveFavDown(1), 2);
  EXPECT_EQ(panel.deleteFav(2), 1);
  EXPECT_EQ(panel.deleteFav(0), 0);
  EXPECT_EQ(panel.deleteFav(0), -1);
}
