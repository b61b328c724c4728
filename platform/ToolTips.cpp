#include "platform/ToolTips.h"

#include <commctrl.h>

#include "platform/Control.h"

namespace {

TOOLINFOA toolFor(HWND tips, const TControl& control, char* text) {
  TOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = GetParent(control.handle()) ? GetParent(control.handle()) : tips;
  tool.uId = reinterpret_cast<UINT_PTR>(control.handle());
  tool.lpszText = text;
  return tool;
}

}  // namespace

TToolTips::TToolTips(TControl& owner) {
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&classes);
  window_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner.handle(), nullptr,
                            GetModuleHandleA(nullptr), nullptr);
}

TToolTips::~TToolTips() {
  if (window_) DestroyWindow(window_);
}

void TToolTips::setHint(const TControl& control, const std::string& text) {
  if (!window_ || !control.handle()) return;
  std::string copy = text;
  TOOLINFOA tool = toolFor(window_, control, copy.data());
  SendMessageA(window_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  if (!text.empty()) SendMessageA(window_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

std::string TToolTips::hint(const TControl& control) const {
  char text[1024] = {};
  TOOLINFOA tool = toolFor(window_, control, text);
  if (!window_ || !SendMessageA(window_, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool))) return {};
  SendMessageA(window_, TTM_GETTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
  return text;
}
