#pragma once
#include <windows.h>

#include <string>

// What a web panel needs of a browser control. The real one hosts the
// system's WebBrowser object; tests use a fake. Every answer is safe to ask
// at any time: without a loaded page the scroll position is simply not there.
class TWebBrowser {
 public:
  virtual ~TWebBrowser() = default;

  virtual void navigate(const std::string& url) = 0;
  virtual void goBack() = 0;
  virtual void goForward() = 0;
  virtual void refresh() = 0;
  virtual void stop() = 0;
  // Empty when the control cannot tell.
  virtual std::string locationURL() const = 0;
  virtual bool busy() const = 0;
  virtual bool visible() const = 0;
  virtual void setVisible(bool visible) = 0;
  // The page's scroll position; false when there is no page to ask.
  virtual bool scrollPosition(POINT& position) const = 0;
  virtual bool scrollTo(POINT position) = 0;
  // The control's own window, for keyboard routing.
  virtual HWND window() const = 0;
  // Fits the control to a rectangle of its parent's client area.
  virtual void setBounds(const RECT& bounds) = 0;
};

// The control's events as a panel takes them, on the GUI thread.
class TWebBrowserEvents {
 public:
  virtual ~TWebBrowserEvents() = default;

  // True cancels the navigation.
  virtual bool beforeNavigate(const std::string& url) = 0;
  // Command 1 is "forward possible", 2 "back possible".
  virtual void commandStateChange(long command, bool enabled) = 0;
  virtual void downloadBegin() = 0;
  virtual void downloadComplete() = 0;
  virtual void navigateComplete() = 0;
  // topLevel: the completed document is the browser's own, not a frame's.
  virtual void documentComplete(bool topLevel) = 0;
  // True cancels the new window.
  virtual bool newWindow() = 0;
  virtual void statusTextChange(const std::string& text) = 0;
  virtual void secureLockIcon(bool secure) = 0;
};

// A page counts as loaded only when the last of its downloads has ended,
// and a scroll position kept for it is put back once then: later downloads
// of the same page (frames, scripts, refreshed parts) must not scroll it
// back under the user's hand.
class TPageLoad {
 public:
  static constexpr POINT noPosition{-1, -1};

  explicit TPageLoad(POINT kept) : position(kept) {}

  void begin() { ++downloads_; }
  // A completion without its beginning (the control sends them after a
  // stop) must not leave the count below zero, or no page would count as
  // loaded again. True when this was the last download.
  bool end() {
    if (downloads_ > 0) --downloads_;
    return downloads_ == 0;
  }
  void reset() { downloads_ = 0; }
  int downloads() const { return downloads_; }
  void restoreScroll(TWebBrowser* browser) {
    if (position.x >= 0 && position.y >= 0 && browser != nullptr && browser->scrollTo(position)) position = noPosition;
  }

  // Where the page is to be scrolled once it has loaded.
  POINT position;

 private:
  int downloads_ = 0;
};
