#include "controls/AllWebBrowsers.h"

#include <algorithm>

#include "platform/Application.h"

TAllWebBrowsers::~TAllWebBrowsers() {
  if (hookId_ != 0) application().removeMessageHook(hookId_);
}

void TAllWebBrowsers::add(TRoutedBrowser* browser) {
  if (!browser || std::find(browsers_.begin(), browsers_.end(), browser) != browsers_.end()) return;
  browsers_.push_back(browser);
  if (hookId_ == 0) hookId_ = application().addMessageHook([this](MSG& message) { return routeMessage(message); });
}

void TAllWebBrowsers::remove(TRoutedBrowser* browser) {
  const auto found = std::find(browsers_.begin(), browsers_.end(), browser);
  if (found == browsers_.end()) return;
  // Order does not matter: the last entry takes the slot.
  *found = browsers_.back();
  browsers_.pop_back();
  if (browsers_.empty() && hookId_ != 0) {
    application().removeMessageHook(hookId_);
    hookId_ = 0;
  }
}

bool TAllWebBrowsers::isRoutedKey(const MSG& message, bool ctrlDown) {
  if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST) return false;
  const WPARAM key = message.wParam;
  if (key == VK_TAB || key == VK_RETURN || ctrlDown) return true;
  const bool extended = (message.lParam & (1 << 24)) != 0;
  return extended && (key == VK_BACK || key == VK_LEFT || key == VK_RIGHT || key == VK_DELETE);
}

TRoutedBrowser* TAllWebBrowsers::browserOf(HWND window) const {
  for (TRoutedBrowser* browser : browsers_) {
    const HWND own = browser->window();
    if (own && (window == own || IsChild(own, window))) return browser;
  }
  return nullptr;
}

bool TAllWebBrowsers::routeMessage(MSG& message) {
  if (!isRoutedKey(message, (GetKeyState(VK_CONTROL) & 0x8000) != 0)) return false;
  TRoutedBrowser* browser = browserOf(message.hwnd);
  if (!browser) return false;
  if (!browser->translateAccelerator(message)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return true;
}

TAllWebBrowsers& allWebBrowsers() {
  static TAllWebBrowsers browsers;
  return browsers;
}
