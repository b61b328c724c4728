#include "platform/ToolTips.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/Control.h"

namespace {

// The top-level window's property that holds its shared tool-tip window.
constexpr char toolTipsProperty[] = "KestrovaToolTips";

TOOLINFOA toolFor(HWND tips, HWND control, char* text) {
  TOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = GetParent(control) ? GetParent(control) : tips;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = text;
  return tool;
}

HWND createToolTipWindow(HWND owner) {
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&classes);
  return CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

// A tool-tip window is a top-level window of its own, and a window with
// many tool buttons would otherwise make one for each: every one of them
// costs the window's creation time.
TToolTips::TToolTips(TControl& owner) {
  HWND root = owner.handle() ? GetAncestor(owner.handle(), GA_ROOT) : nullptr;
  if (root == nullptr) {
    window_ = createToolTipWindow(owner.handle());
    ownWindow_ = true;
    return;
  }
  window_ = static_cast<HWND>(GetPropA(root, toolTipsProperty));
  if (window_ != nullptr && IsWindow(window_)) return;
  // Owned by the top-level window, it is destroyed with it.
  window_ = createToolTipWindow(root);
  if (window_) SetPropA(root, toolTipsProperty, window_);
}

TToolTips::~TToolTips() {
  if (!window_ || !IsWindow(window_)) return;
  if (ownWindow_) {
    DestroyWindow(window_);
    return;
  }
  for (const auto& [parent, control] : tools_) {
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = parent;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    SendMessageA(window_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void TToolTips::setHint(const TControl& control, const std::string& text) {
  if (!window_ || !control.handle()) return;
  std::string copy = text;
  TOOLINFOA tool = toolFor(window_, control.handle(), copy.data());
  SendMessageA(window_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  const std::pair<HWND, HWND> key{tool.hwnd, control.handle()};
  std::erase(tools_, key);
  if (text.empty()) return;
  SendMessageA(window_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  tools_.push_back(key);
}

std::string TToolTips::hint(const TControl& control) const {
  char text[1024] = {};
  TOOLINFOA tool = toolFor(window_, control.handle(), text);
  if (!window_ || !SendMessageA(window_, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool))) return {};
  SendMessageA(window_, TTM_GETTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
  return text;
}
