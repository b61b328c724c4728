#include "platform/ToolTips.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "platform/Control.h"
#include "platform/GdiObjects.h"

namespace {

// The top-level window's property that holds its shared tool-tip window.
constexpr char toolTipsProperty[] = "KestrovaToolTips";
// The tip draws its text this far inside its client area, on either side.
constexpr int tipTextInset = 2;

// The width a line takes when drawn in the font. Wine draws some letters
// wider than it measures them ("w" by two pixels), and a tip sized by the
// measure cut off the last letters of "New browser": the line is drawn once
// off the screen and its last inked column found.
int drawnTextWidth(HFONT font, const std::string& text) {
  TMemoryDC dc;
  TSelectedObject selectedFont(dc.get(), font);
  SIZE measured{};
  GetTextExtentPoint32A(dc.get(), text.c_str(), static_cast<int>(text.size()), &measured);
  const int width = 2 * measured.cx + 16;
  const int height = std::max<int>(measured.cy, 1);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  TBitmapHandle bitmap(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) return measured.cx;
  TSelectedObject selectedBitmap(dc.get(), bitmap.get());
  RECT area{0, 0, width, height};
  FillRect(dc.get(), &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetTextColor(dc.get(), RGB(0, 0, 0));
  SetBkMode(dc.get(), TRANSPARENT);
  DrawTextA(dc.get(), text.c_str(), static_cast<int>(text.size()), &area, DT_SINGLELINE | DT_NOPREFIX);
  GdiFlush();
  const auto* pixels = static_cast<const std::uint32_t*>(bits);
  for (int x = width - 1; x >= measured.cx; --x)
    for (int y = 0; y < height; ++y)
      if ((pixels[static_cast<size_t>(y) * width + x] & 0xFFFFFF) != 0xFFFFFF) return x + 1;
  return measured.cx;
}

// Widens a tip being sized until its text area holds the text as drawn.
void fitTipToText(HWND tip, WINDOWPOS& place) {
  char text[1024] = {};
  GetWindowTextA(tip, text, sizeof text);
  if (!text[0]) return;
  // The frame from the style: before its first showing the tip has none yet.
  RECT frame{}, margin{};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(tip, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongA(tip, GWL_EXSTYLE)));
  SendMessageA(tip, TTM_GETMARGIN, 0, reinterpret_cast<LPARAM>(&margin));
  const int outside = (frame.right - frame.left) + 2 * tipTextInset + margin.left + margin.right;
  const int needed = drawnTextWidth(reinterpret_cast<HFONT>(SendMessageA(tip, WM_GETFONT, 0, 0)), text);
  // A text longer than a line may be is wrapped by the tip itself.
  if (needed > static_cast<int>(SendMessageA(tip, TTM_GETMAXTIPWIDTH, 0, 0))) return;
  place.cx = std::max(place.cx, needed + outside);
}

LRESULT CALLBACK tipProcedure(HWND tip, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message == WM_WINDOWPOSCHANGING) {
    auto& place = *reinterpret_cast<WINDOWPOS*>(lParam);
    // Hiding sizes the tip to nothing.
    if (!(place.flags & (SWP_NOSIZE | SWP_HIDEWINDOW)) && place.cx > 0) fitTipToText(tip, place);
  } else if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(tip, &tipProcedure, 0);
  }
  return DefSubclassProc(tip, message, wParam, lParam);
}

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
  HWND tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
  if (!tip) return nullptr;
  SetWindowSubclass(tip, &tipProcedure, 0, 0);
  // A long hint (a whole notice) wraps into lines half the screen wide
  // instead of running off its edge.
  SendMessageA(tip, TTM_SETMAXTIPWIDTH, 0, GetSystemMetrics(SM_CXSCREEN) / 2);
  return tip;
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
  // The mouse rests on the windows inside a control made of several (a date
  // picker's system picker, an editable combo box's edit), not on the
  // control's own: each of them shows the hint.
  std::vector<HWND> windows{control.handle()};
  EnumChildWindows(
      control.handle(),
      [](HWND inner, LPARAM found) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(inner);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  for (HWND window : windows) {
    std::string copy = text;
    TOOLINFOA tool = toolFor(window_, window, copy.data());
    SendMessageA(window_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    const std::pair<HWND, HWND> key{tool.hwnd, window};
    std::erase(tools_, key);
    if (text.empty()) continue;
    SendMessageA(window_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    tools_.push_back(key);
  }
}

std::string TToolTips::hint(const TControl& control) const {
  char text[1024] = {};
  TOOLINFOA tool = toolFor(window_, control.handle(), text);
  if (!window_ || !SendMessageA(window_, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool))) return {};
  // TTM_GETTEXTA copies no more than 80 characters, whatever the buffer; the
  // wide message copies all the tip shows.
  wchar_t wide[std::size(text)] = {};
  TTTOOLINFOW wideTool{};
  wideTool.cbSize = sizeof wideTool;
  wideTool.hwnd = tool.hwnd;
  wideTool.uId = tool.uId;
  wideTool.lpszText = wide;
  SendMessageA(window_, TTM_GETTEXTW, std::size(wide), reinterpret_cast<LPARAM>(&wideTool));
  WideCharToMultiByte(CP_ACP, 0, wide, -1, text, static_cast<int>(std::size(text)), nullptr, nullptr);
  return text;
}
