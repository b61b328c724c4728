#pragma once
#include <windows.h>

#include <vector>

// What the keyboard routing needs of a live browser control.
class TRoutedBrowser {
 public:
  virtual ~TRoutedBrowser() = default;
  virtual HWND window() const = 0;
  // Offers a key message to the control's in-place object; true when it took it.
  virtual bool translateAccelerator(MSG& message) = 0;
};

// The program's live browser controls. The message loop hands keys to the
// window under the focus, which in a browser control is a page window that
// never sees Tab, Enter or the Ctrl combinations unless its in-place object
// is offered them first; while any browser lives, a message hook does that.
class TAllWebBrowsers {
 public:
  ~TAllWebBrowsers();

  // The first registration installs the routing hook.
  void add(TRoutedBrowser* browser);
  // Unknown browsers are ignored; the last removal takes the hook away.
  void remove(TRoutedBrowser* browser);
  int count() const { return static_cast<int>(browsers_.size()); }

  // Routes one message; true when it was handled here.
  bool routeMessage(MSG& message);
  // The keys a browser wants offered: Tab, Enter, anything with Ctrl held,
  // and the extended Backspace, Left, Right and Delete.
  static bool isRoutedKey(const MSG& message, bool ctrlDown);

 private:
  TRoutedBrowser* browserOf(HWND window) const;

  std::vector<TRoutedBrowser*> browsers_;
  int hookId_ = 0;
};

// The one register of the program.
TAllWebBrowsers& allWebBrowsers();
