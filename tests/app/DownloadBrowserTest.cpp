#include <gtest/gtest.h>

#include "app/DownloadBrowser.h"

namespace {

// A page at an address, scrolled where the test puts it.
class TFakeBrowser : public TWebBrowser {
 public:
  void navigate(const std::string& url) override { navigations.push_back(location = url); }
  void goBack() override {}
  void goForward() override {}
  void refresh() override { ++refreshes; }
  void stop() override {}
  std::string locationURL() const override { return location; }
  bool busy() const override { return false; }
  bool visible() const override { return shown; }
  void setVisible(bool visible) override { shown = visible; }
  bool scrollPosition(POINT& position) const override {
    position = scroll;
    return true;
  }
  bool scrollTo(POINT position) override {
    scrolledTo.push_back(position);
    scroll = position;
    return true;
  }
  HWND window() const override { return nullptr; }
  void setBounds(const RECT&) override {}

  std::string location;
  std::vector<std::string> navigations;
  std::vector<POINT> scrolledTo;
  POINT scroll{0, 0};
  bool shown = true;
  int refreshes = 0;
};

class TFakeView : public TDownloadBrowserView {
 public:
  std::unique_ptr<TWebBrowser> createBrowser(TWebBrowserEvents&) override {
    auto made = std::make_unique<TFakeBrowser>();
    browser = made.get();
    ++made_;
    return made;
  }
  std::string addressText() const override { return address; }
  void setAddressText(const std::string& text) override { address = text; }
  void addressHistoryChanged() override {}
  int addressItemIndex() const override { return itemIndex; }
  void setBackEnabled(bool) override {}
  void setForwardEnabled(bool) override {}
  void setStopEnabled(bool) override {}
  void showStatusText(const std::string&) override {}
  void showSecure(bool) override {}
  void setFocusTimer(bool enabled) override { focusTimer = enabled; }

  TFakeBrowser* browser = nullptr;
  std::string address;
  int itemIndex = -1;
  bool focusTimer = false;
  int made_ = 0;
};

// One page load as the control reports it.
void load(TDownloadBrowser& logic, TFakeView& view, const std::string& url) {
  if (logic.beforeNavigate(url)) return;
  view.browser->location = url;
  logic.downloadBegin();
  logic.navigateComplete();
  logic.documentComplete(true);
  logic.downloadComplete();
}

}  // namespace

TEST(DownloadBrowser, AddressHistoryAddsOnlyWhatIsNotAmongTheKeptEntries) {
  std::vector<std::string> history{"a", "b", "c"};
  updateAddressHistory(history, " b ", 2);
  EXPECT_EQ(history, (std::vector<std::string>{"a", "b", "c"}));
  updateAddressHistory(history, "c", 2);
  EXPECT_EQ(history, (std::vector<std::string>{"c", "a", "b", "c"}));
  updateAddressHistory(history, "A", 100);  // case counts
  EXPECT_EQ(history.front(), "A");
}

TEST(DownloadBrowser, TheTabOpensHomeFirstThenThePageLeftScrolledAsItWas) {
  TFakeView view;
  TDownloadBrowser logic(view);
  logic.homePage.URL = "http://home/";
  logic.homePage.Y = 40;
  logic.makeWebBrowser();
  ASSERT_FALSE(logic.enabled());

  logic.webBrowserEnable(true);
  EXPECT_TRUE(view.focusTimer);
  EXPECT_EQ(view.browser->navigations.back(), "http://home/");
  load(logic, view, "http://home/");
  ASSERT_EQ(view.browser->scrolledTo.size(), 1u);
  EXPECT_EQ(view.browser->scrolledTo[0].y, 40);
  EXPECT_EQ(logic.addressHistory, std::vector<std::string>{"http://home/"});

  // A link followed from the completed page does not take the home position.
  view.browser->scroll = {0, 0};
  load(logic, view, "http://quotes/");
  EXPECT_EQ(view.browser->scrolledTo.size(), 1u);

  // Refresh keeps the position the user scrolled to.
  view.browser->scroll = {0, 250};
  logic.refresh();
  view.browser->scroll = {0, 0};
  logic.downloadBegin();
  logic.downloadComplete();
  EXPECT_EQ(view.browser->scroll.y, 250);

  // Leaving while a page still loads keeps the position remembered before.
  logic.webBrowserEnable(false);
  EXPECT_FALSE(view.focusTimer);
  EXPECT_EQ(logic.currentPage.URL, "http://quotes/");
  EXPECT_EQ(logic.currentPage.Y, 250);
  EXPECT_EQ(view.address, "");
  logic.webBrowserEnable(true);
  view.browser->scroll = {0, 0};
  logic.downloadBegin();
  view.browser->scroll = {0, 999};
  logic.webBrowserEnable(false);
  EXPECT_EQ(logic.currentPage.Y, 250);

  logic.webBrowserEnable(true);
  EXPECT_EQ(view.browser->navigations.back(), "http://quotes/");
  EXPECT_EQ(view.address, "http://quotes/");
  load(logic, view, "http://quotes/");
  EXPECT_EQ(view.browser->scroll.y, 250);

  // New windows only when allowed; Esc puts back the text of entering.
  EXPECT_TRUE(logic.newWindow());
  logic.toggleNewWindows();
  EXPECT_FALSE(logic.newWindow());
  logic.addressEntered();
  view.address = "http://typ";
  EXPECT_TRUE(logic.addressKey(VK_ESCAPE));
  EXPECT_EQ(view.address, "http://quotes/");
}
