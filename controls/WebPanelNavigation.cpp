#include "controls/WebPanelNavigation.h"

#include <algorithm>

#include "model/Directories.h"
#include "model/PlainText.h"

TWebPanelNavigation::TWebPanelNavigation(TWebPanelView& view) : view_(view) {}

TWebPanelNavigation::~TWebPanelNavigation() {
  // The view may be partly gone by now (it usually owns this object), so it
  // is not told; the browser only stops and goes.
  if (browser_ && browser_->busy()) browser_->stop();
  browser_.reset();
}

void TWebPanelNavigation::createBrowser() {
  pageLoad_.reset();
  browser_ = view_.createBrowser(*this);
}

void TWebPanelNavigation::destroyBrowser() {
  timerRunning_ = false;
  view_.setRefreshTimer(false, settings.timedRefreshInterval);
  if (!browser_) return;
  if (browser_->busy()) browser_->stop();
  browser_.reset();
}

bool TWebPanelNavigation::browserEnabled() const { return browser_ && browser_->visible(); }

void TWebPanelNavigation::browserEnable(bool enable) {
  if (enable == browserEnabled()) return;
  if (!enable) {
    timerRunning_ = false;
    view_.setRefreshTimer(false, settings.timedRefreshInterval);
    rememberedPage_.URL = collapseFileURL(browser_->locationURL());
    if (pageLoad_.downloads() == 0) {
      const POINT position = currentScroll();
      rememberedPage_.X = position.x;
      rememberedPage_.Y = position.y;
    }
    destroyBrowser();
    createBrowser();
    view_.showAddress("");
    if (browser_) {
      browser_->navigate("");
      browser_->setVisible(false);
    }
    return;
  }
  if (!browser_) createBrowser();
  if (!browser_) return;
  browser_->setVisible(true);
  pageLoad_.position = {rememberedPage_.X, rememberedPage_.Y};
  view_.showAddress(rememberedPage_.URL);
  pageCompleted_ = false;
  browser_->navigate(navigationTarget(rememberedPage_.URL));
  updateRefreshTimer();
}

void TWebPanelNavigation::back(HWND focusWindow) {
  if (!browser_) return;
  pageLoad_.position = TPageLoad::noPosition;
  focusWindow_ = focusWindow;
  browser_->goBack();
}

void TWebPanelNavigation::forward(HWND focusWindow) {
  if (!browser_) return;
  pageLoad_.position = TPageLoad::noPosition;
  focusWindow_ = focusWindow;
  browser_->goForward();
}

void TWebPanelNavigation::stop(HWND focusWindow) {
  focusWindow_ = focusWindow;
  if (browser_) browser_->stop();
}

void TWebPanelNavigation::refresh(HWND focusWindow) {
  if (!browserEnabled()) return;
  focusWindow_ = focusWindow;
  // While a download runs the page is not where the user left it.
  if (pageLoad_.downloads() == 0) pageLoad_.position = currentScroll();
  pageCompleted_ = false;
  browser_->refresh();
}

void TWebPanelNavigation::openFav(const TFav& favourite, HWND focusWindow) {
  if (!browser_) return;
  focusWindow_ = focusWindow;
  if (browser_->busy()) browser_->stop();
  pageLoad_.position = {favourite.X, favourite.Y};
  const std::string url = favourite.URL;  // the favourite may be replaced by what follows
  view_.showAddress(url);
  pageCompleted_ = false;
  browser_->navigate(navigationTarget(url));
}

bool TWebPanelNavigation::openFavForSymbol(const std::string& symbol, HWND focusWindow) {
  const int index = settings.favs.indexOfSymbol(symbol);
  if (index < 0) return false;
  view_.selectFav(index);
  openFav(*settings.favs.get(index), focusWindow);
  return true;
}

void TWebPanelNavigation::goAddress(const std::string& text, HWND focusWindow) {
  if (openFavForSymbol(text, focusWindow)) return;
  if (!browser_) return;
  focusWindow_ = focusWindow;
  pageCompleted_ = true;
  browser_->navigate(navigationTarget(trimmedOf(text, " \t")));
}

void TWebPanelNavigation::makeHome(const std::string& addressText) {
  const POINT position = currentScroll();
  settings.favs.setDefault(trimmedOf(addressText, " \t"), "", position.x, position.y);
}

int TWebPanelNavigation::addFav(int selectedIndex) {
  if (!browser_) return selectedIndex;
  const std::string url = collapseFileURL(browser_->locationURL());
  if (url.empty()) return selectedIndex;
  const int index = selectedIndex < 0 ? settings.favs.count() : selectedIndex + 1;
  const POINT position = currentScroll();
  if (settings.favs.insert(index, url, "", position.x, position.y) != 0) return selectedIndex;
  return index;
}

int TWebPanelNavigation::deleteFav(int selectedIndex) {
  if (settings.favs.remove(selectedIndex) != 0) return selectedIndex;
  return std::min(selectedIndex, settings.favs.count() - 1);
}

int TWebPanelNavigation::moveFavUp(int selectedIndex) {
  return settings.favs.swap(selectedIndex, selectedIndex - 1) == 0 ? selectedIndex - 1 : selectedIndex;
}

int TWebPanelNavigation::moveFavDown(int selectedIndex) {
  return settings.favs.swap(selectedIndex, selectedIndex + 1) == 0 ? selectedIndex + 1 : selectedIndex;
}

void TWebPanelNavigation::setTimedRefreshInterval(int milliseconds) {
  settings.timedRefreshInterval = effectiveRefreshInterval(milliseconds);
  updateRefreshTimer();
}

void TWebPanelNavigation::refreshTimerTick() {
  if (browserEnabled()) refresh(focusWindow_);
}

void TWebPanelNavigation::updateRefreshTimer() {
  timerRunning_ = browserEnabled() && settings.timedRefreshInterval > 0;
  view_.setRefreshTimer(timerRunning_, settings.timedRefreshInterval);
}

POINT TWebPanelNavigation::currentScroll() const {
  POINT position{0, 0};
  if (!browser_ || !browser_->scrollPosition(position)) return {0, 0};
  return position;
}

bool TWebPanelNavigation::beforeNavigate(const std::string& url) {
  if (!browser_ || !browser_->visible()) return true;
  // A link followed inside a loaded page leads to a new page, which must not
  // take the scroll position of the favourite that was opened before.
  if (pageCompleted_ && url != browser_->locationURL()) pageLoad_.position = TPageLoad::noPosition;
  return false;
}

void TWebPanelNavigation::commandStateChange(long command, bool enabled) {
  if (command == 1) view_.setForwardEnabled(enabled);
  if (command == 2) view_.setBackEnabled(enabled);
}

void TWebPanelNavigation::downloadBegin() {
  pageLoad_.begin();
  view_.setStopEnabled(true);
}

void TWebPanelNavigation::downloadComplete() {
  if (!pageLoad_.end()) return;
  view_.setStopEnabled(false);
  pageLoad_.restoreScroll(browser_.get());
  // The focus goes back once too: a later download must not take it from
  // where the user has moved it.
  if (focusWindow_ && !view_.maximized()) view_.giveFocus(focusWindow_);
  focusWindow_ = nullptr;
}

void TWebPanelNavigation::navigateComplete() {
  if (!browser_) return;
  currentAddress_ = collapseFileURL(browser_->locationURL());
  view_.setAddFavEnabled(!currentAddress_.empty());
  view_.showAddress(currentAddress_);
  const std::string recent = trimmedOf(currentAddress_, " \t");
  if (!recent.empty()) {
    settings.addRecentUrl(recent);
    view_.recentUrlsChanged();
  }
}

void TWebPanelNavigation::documentComplete(bool topLevel) { pageCompleted_ = topLevel; }

bool TWebPanelNavigation::newWindow() { return !settings.allowNewWin; }

void TWebPanelNavigation::statusTextChange(const std::string& text) { view_.showStatusText(text); }

void TWebPanelNavigation::secureLockIcon(bool secure) { view_.showSecure(secure); }
