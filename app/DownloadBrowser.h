#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/FavList.h"
#include "controls/WebBrowser.h"

// What the Downloads tab's browser logic asks of its window.
class TDownloadBrowserView {
 public:
  virtual ~TDownloadBrowserView() = default;

  // A new, hidden browser control in the browser panel, or null when none
  // can be made here.
  virtual std::unique_ptr<TWebBrowser> createBrowser(TWebBrowserEvents& events) = 0;
  virtual std::string addressText() const = 0;
  // Sets the address box's text without it counting as the user's change.
  virtual void setAddressText(const std::string& text) = 0;
  // The address history changed (new entries, cleared).
  virtual void addressHistoryChanged() = 0;
  // The address box's item index now.
  virtual int addressItemIndex() const = 0;
  virtual void setBackEnabled(bool enabled) = 0;
  virtual void setForwardEnabled(bool enabled) = 0;
  virtual void setStopEnabled(bool enabled) = 0;
  virtual void showStatusText(const std::string& text) = 0;
  virtual void showSecure(bool secure) = 0;
  // The tool-bar refresh that runs every 200 ms while the browser is on.
  virtual void setFocusTimer(bool enabled) = 0;
};

// The address history rule: the trimmed text goes to the top unless it is
// already among the first `keep` entries (compared exactly). Nothing is
// dropped here; the whole history is saved.
void updateAddressHistory(std::vector<std::string>& entries, const std::string& text, int keep);

// The browser below the download items, without its window: the control
// lives only while the tab is shown; leaving remembers the page and its
// scroll position, coming back opens it again and scrolls it back once it
// has loaded; the first coming opens the home page.
class TDownloadBrowser : public TWebBrowserEvents {
 public:
  explicit TDownloadBrowser(TDownloadBrowserView& view);
  ~TDownloadBrowser() override;

  TFav homePage;
  TFav currentPage;
  std::vector<std::string> addressHistory;
  bool allowNewBrowserWin = false;
  int keepUrls = 100;

  TWebBrowser* browser() const { return browser_.get(); }
  void makeWebBrowser();
  void killWebBrowser();
  // A control exists and shows.
  bool enabled() const;
  void webBrowserEnable(bool enable);

  void back();
  void forward();
  void stop();
  void refresh();
  void home();
  void go();
  void makeHome();
  void clearAll();
  void toggleNewWindows() { allowNewBrowserWin = !allowNewBrowserWin; }

  // The address box: entered, a key (true when it was Enter or Esc, which
  // the box must then not see), and a change of its text or item.
  void addressEntered();
  bool addressKey(WORD key);
  void addressChanged();

  bool homePending() const { return homePending_; }
  bool resetScrollOnNavigate() const { return resetScrollOnNavigate_; }
  bool secureLock() const { return secureLock_; }
  int downloadCount() const { return pageLoad_.downloads(); }
  POINT savedScroll() const { return pageLoad_.position; }
  const std::string& addressTextOnEnter() const { return addressTextOnEnter_; }

  bool beforeNavigate(const std::string& url) override;
  void commandStateChange(long command, bool enabled) override;
  void downloadBegin() override;
  void downloadComplete() override;
  void navigateComplete() override;
  void documentComplete(bool topLevel) override;
  bool newWindow() override;
  void statusTextChange(const std::string& text) override;
  void secureLockIcon(bool secure) override;

 private:
  // The page's scroll position, (0, 0) when there is no page to ask.
  POINT pageScroll() const;

  TDownloadBrowserView& view_;
  std::unique_ptr<TWebBrowser> browser_;
  bool resetScrollOnNavigate_ = true;
  bool secureLock_ = false;
  bool homePending_ = true;
  int addressItemIndex_ = -1;
  TPageLoad pageLoad_{{0, 0}};
  std::string addressTextOnEnter_;
};
