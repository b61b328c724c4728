#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "controls/WebBrowser.h"
#include "controls/WebPanelSettings.h"

// What the navigation logic of a web panel asks of the panel's window.
class TWebPanelView {
 public:
  virtual ~TWebPanelView() = default;

  // A new browser control placed in the browser pane, or null when none
  // could be made (the pane then says so).
  virtual std::unique_ptr<TWebBrowser> createBrowser(TWebBrowserEvents& events) = 0;
  virtual void showAddress(const std::string& url) = 0;
  virtual void recentUrlsChanged() = 0;
  virtual void setBackEnabled(bool enabled) = 0;
  virtual void setForwardEnabled(bool enabled) = 0;
  virtual void setStopEnabled(bool enabled) = 0;
  virtual void setAddFavEnabled(bool enabled) = 0;
  virtual void showStatusText(const std::string& text) = 0;
  virtual void showSecure(bool secure) = 0;
  virtual void setRefreshTimer(bool enabled, int interval) = 0;
  virtual void selectFav(int index) = 0;
  virtual bool maximized() const = 0;
  // Gives the focus back to a window when it still exists and can take it.
  virtual void giveFocus(HWND window) = 0;
};

// The browser side of a web panel without its window: the browser's life,
// opening pages and favourites, the scroll position and focus to restore
// when a page has loaded, auto-refresh and the recent addresses.
class TWebPanelNavigation : public TWebBrowserEvents {
 public:
  explicit TWebPanelNavigation(TWebPanelView& view);
  ~TWebPanelNavigation() override;

  TWebPanelSettings settings;

  TWebBrowser* browser() const { return browser_.get(); }
  void createBrowser();
  void destroyBrowser();
  // A browser exists and is visible.
  bool browserEnabled() const;
  void browserEnable(bool enable);

  void back(HWND focusWindow);
  void forward(HWND focusWindow);
  void stop(HWND focusWindow);
  void refresh(HWND focusWindow);
  void openFav(const TFav& favourite, HWND focusWindow);
  void openDefault(HWND focusWindow) { openFav(settings.favs.getDefault(), focusWindow); }
  bool openFavForSymbol(const std::string& symbol, HWND focusWindow);
  // The text names a favourite by its Symbol, or is an address.
  void goAddress(const std::string& text, HWND focusWindow);
  void makeHome(const std::string& addressText);

  // Favourite list edits; each answers the row to select afterwards (-1: none).
  int addFav(int selectedIndex);
  int deleteFav(int selectedIndex);
  int moveFavUp(int selectedIndex);
  int moveFavDown(int selectedIndex);

  int timedRefreshInterval() const { return settings.timedRefreshInterval; }
  void setTimedRefreshInterval(int milliseconds);
  bool refreshTimerRunning() const { return timerRunning_; }
  void refreshTimerTick();

  bool pageCompleted() const { return pageCompleted_; }
  int downloadCount() const { return pageLoad_.downloads(); }
  POINT restorePosition() const { return pageLoad_.position; }
  const std::string& currentAddress() const { return currentAddress_; }
  const TFav& rememberedPage() const { return rememberedPage_; }

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
  POINT currentScroll() const;
  void updateRefreshTimer();

  TWebPanelView& view_;
  std::unique_ptr<TWebBrowser> browser_;
  TFav rememberedPage_;
  bool pageCompleted_ = true;
  TPageLoad pageLoad_{TPageLoad::noPosition};
  HWND focusWindow_ = nullptr;
  std::string currentAddress_;
  bool timerRunning_ = false;
};
