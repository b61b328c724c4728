#include <gtest/gtest.h>

#include "app/DownloadBrowser.h"
#include "app/DownloadForm.h"
#include "model/PortableIniFile.h"
#include "platform/Dialogs.h"
#include "platform/PageControl.h"
#include "platform/StdControls.h"
#include "tests/support/ScriptedMessageBox.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestSupport.h"

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

TEST(DownloadBrowser, TheDownloadsTabKeepsHomeAndHistoryInItsOptionsAndGoesOnEnter) {
  TTemporaryFolder folder;
  TFormOptions options;
  options.caption = "Downloads host";
  options.clientWidth = 900;
  options.clientHeight = 500;
  TForm host(options);
  TPageControl& pages = host.add<TPageControl>();
  pages.setAlign(TAlign::client);
  host.showModeless();
  TScriptedMessageBox messages{IDYES};
  TFakeBrowser* browser = nullptr;
  TdownloadForm& form = createChildForm<TdownloadForm>(
      pages, "Downloads", messages, [&browser](HWND, TWebBrowserEvents&) -> std::unique_ptr<TWebBrowser> {
        auto made = std::make_unique<TFakeBrowser>();
        browser = made.get();
        return made;
      });

  const std::string fileName = folder.path() + "options.INI";
  writeWholeFile(fileName, "[DownloadSheet]\r\nWidth=" + std::to_string(form.width() + 100) +
                               "\r\nUrlComboWidth=300\r\n[DownloadSheetWebHome]\r\nURL=http://home/\r\n"
                               "[DownloadSheetURLs]\r\n0=http://a/\r\n1=\r\n2=\" spaced \"\r\n");
  form.loadGUIoptions(TPortableIniFile(fileName));
  TdownloadBrowserPane& pane = form.browserPane();
  EXPECT_EQ(pane.browser().addressHistory, (std::vector<std::string>{"http://a/", " spaced "}));
  // The window is 100 pixels narrower than when the options were written.
  EXPECT_EQ(pane.addressCombo().width(), 200);

  form.webBrowserEnable(true);
  ASSERT_NE(browser, nullptr);
  EXPECT_EQ(browser->navigations.back(), "http://home/");
  EXPECT_EQ(pane.addressCombo().text(), "http://home/");
  pane.addressCombo().setFocus();
  pane.addressCombo().setText("http://typed/");
  postKey(GetWindow(pane.addressCombo().handle(), GW_CHILD), VK_RETURN);
  EXPECT_TRUE(pumpUntil([&] { return browser->navigations.back() == "http://typed/"; }, 2000));

  {
    TPortableIniFile saved(fileName);
    form.saveGUIoptions(saved);
  }
  const TPortableIniFile saved(fileName);
  // Written again from 0 on, the empty entry gone.
  EXPECT_EQ(saved.readString("DownloadSheetURLs", "1", ""), " spaced ");
  EXPECT_EQ(saved.readString("DownloadSheetURLs", "2", "none"), "none");
  EXPECT_EQ(saved.readString("DownloadSheetWebHome", "URL", ""), "http://home/");
  form.webBrowserEnable(false);
  EXPECT_FALSE(browser->visible());
}
