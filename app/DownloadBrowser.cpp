#include "app/DownloadBrowser.h"

#include <algorithm>

#include "model/Directories.h"
#include "model/PlainText.h"

void updateAddressHistory(std::vector<std::string>& entries, const std::string& text, int keep) {
  const std::string address = trimmedOf(text, " \t");
  const auto compared = entries.begin() + std::clamp<ptrdiff_t>(keep, 0, static_cast<ptrdiff_t>(entries.size()));
  if (std::find(entries.begin(), compared, address) == compared) entries.insert(entries.begin(), address);
}

TDownloadBrowser::TDownloadBrowser(TDownloadBrowserView& view) : view_(view) {}

TDownloadBrowser::~TDownloadBrowser() {
  // The view may be partly gone by now; the control only stops and goes.
  if (browser_ && browser_->busy()) browser_->stop();
  browser_.reset();
}

void TDownloadBrowser::makeWebBrowser() {
  pageLoad_.reset();
  browser_ = view_.createBrowser(*this);
  if (browser_) browser_->setVisible(false);
}

void TDownloadBrowser::killWebBrowser() {
  if (browser_) {
    if (browser_->busy()) browser_->stop();
    browser_.reset();
  }
  pageLoad_.reset();
}

bool TDownloadBrowser::enabled() const { return browser_ && browser_->visible(); }

void TDownloadBrowser::webBrowserEnable(bool enable) {
  if (enable == enabled()) return;
  if (enable) {
    if (!browser_) makeWebBrowser();
    // Without a control the browser never counts as on, and leaving would
    // never stop the timer.
    if (!browser_) return;
    view_.setFocusTimer(true);
    browser_->setVisible(true);
    if (homePending_) {
      home();
      homePending_ = false;
      return;
    }
    pageLoad_.position = {currentPage.X, currentPage.Y};
    view_.setAddressText(currentPage.URL);
    resetScrollOnNavigate_ = false;
    browser_->navigate(navigationTarget(currentPage.URL));
    return;
  }
  view_.setFocusTimer(false);
  currentPage.URL = collapseFileURL(browser_->locationURL());
  // While a page still loads its scroll position means nothing: the one
  // remembered before stays.
  if (pageLoad_.downloads() == 0) {
    const POINT position = pageScroll();
    currentPage.X = position.x;
    currentPage.Y = position.y;
  }
  killWebBrowser();
  makeWebBrowser();
  view_.setAddressText("");
  resetScrollOnNavigate_ = false;
  if (browser_) {
    browser_->navigate("");
    browser_->setVisible(false);
  }
}

POINT TDownloadBrowser::pageScroll() const {
  POINT position{0, 0};
  if (!browser_ || !browser_->scrollPosition(position)) return {0, 0};
  return position;
}

void TDownloadBrowser::back() {
  if (!browser_) return;
  pageLoad_.position = TPageLoad::noPosition;
  browser_->goBack();
}

void TDownloadBrowser::forward() {
  if (!browser_) return;
  pageLoad_.position = TPageLoad::noPosition;
  browser_->goForward();
}

void TDownloadBrowser::stop() {
  if (browser_) browser_->stop();
}

void TDownloadBrowser::refresh() {
  if (!enabled()) return;
  if (pageLoad_.downloads() == 0) pageLoad_.position = pageScroll();
  resetScrollOnNavigate_ = false;
  browser_->refresh();
}

void TDownloadBrowser::home() {
  if (!browser_) return;
  if (browser_->busy()) browser_->stop();
  pageLoad_.position = {homePage.X, homePage.Y};
  const std::string url = homePage.URL;
  view_.setAddressText(url);
  resetScrollOnNavigate_ = false;
  browser_->navigate(navigationTarget(url));
}

void TDownloadBrowser::go() {
  if (!browser_) return;
  if (browser_->busy()) browser_->stop();
  resetScrollOnNavigate_ = true;
  browser_->navigate(navigationTarget(view_.addressText()));
}

void TDownloadBrowser::makeHome() {
  const POINT position = pageScroll();
  homePage.URL = trimmedOf(view_.addressText(), " \t");
  homePage.Symbol.clear();
  homePage.X = position.x;
  homePage.Y = position.y;
}

void TDownloadBrowser::clearAll() {
  addressHistory.clear();
  view_.addressHistoryChanged();
  view_.setAddressText("");
}

void TDownloadBrowser::addressEntered() {
  addressTextOnEnter_ = view_.addressText();
  addressItemIndex_ = view_.addressItemIndex();
}

bool TDownloadBrowser::addressKey(WORD key) {
  addressItemIndex_ = view_.addressItemIndex();
  if (key == VK_RETURN) {
    go();
    return true;
  }
  if (key == VK_ESCAPE) {
    view_.setAddressText(addressTextOnEnter_);
    return true;
  }
  return false;
}

void TDownloadBrowser::addressChanged() {
  const int index = view_.addressItemIndex();
  if (index == addressItemIndex_) return;
  // A pick from the drop-down list opens the page at once.
  addressItemIndex_ = index;
  go();
}

bool TDownloadBrowser::beforeNavigate(const std::string& url) {
  if (!browser_ || !browser_->visible()) return true;
  homePending_ = false;
  if (resetScrollOnNavigate_ && url != browser_->locationURL()) pageLoad_.position = TPageLoad::noPosition;
  return false;
}

void TDownloadBrowser::commandStateChange(long command, bool enabled) {
  if (command == 1) view_.setForwardEnabled(enabled);
  if (command == 2) view_.setBackEnabled(enabled);
}

void TDownloadBrowser::downloadBegin() {
  pageLoad_.begin();
  view_.setStopEnabled(true);
}

void TDownloadBrowser::downloadComplete() {
  if (!pageLoad_.end()) return;
  view_.setStopEnabled(false);
  pageLoad_.restoreScroll(browser_.get());
}

void TDownloadBrowser::navigateComplete() {
  if (!browser_) return;
  const std::string address = collapseFileURL(browser_->locationURL());
  view_.setAddressText(address);
  addressTextOnEnter_ = address;
  updateAddressHistory(addressHistory, address, keepUrls);
  view_.addressHistoryChanged();
  addressItemIndex_ = view_.addressItemIndex();
}

void TDownloadBrowser::documentComplete(bool topLevel) { resetScrollOnNavigate_ = !browser_ || topLevel; }

bool TDownloadBrowser::newWindow() { return !allowNewBrowserWin; }

void TDownloadBrowser::statusTextChange(const std::string& text) { view_.showStatusText(text); }

void TDownloadBrowser::secureLockIcon(bool secure) {
  secureLock_ = secure;
  view_.showSecure(secure);
}
