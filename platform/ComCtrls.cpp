#include "platform/ComCtrls.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/GdiObjects.h"
#include "platform/ToolTips.h"

namespace {

TWindowParams commonControl(const char* className, DWORD style, RECT bounds) {
  TWindowParams params;
  params.className = className;
  params.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style;
  params.bounds = bounds;
  return params;
}

}  // namespace

TStatusBar::TStatusBar(TControl* parent) : TControl(parent) {
  // Placed by the parent's alignment, not by the bar itself.
  createWindow(commonControl(STATUSCLASSNAMEA, CCS_NORESIZE | CCS_NOPARENTALIGN | SBARS_SIZEGRIP, {0, 0, 200, 22}));
  setAlign(TAlign::bottom);
}

TStatusBar::~TStatusBar() = default;

void TStatusBar::setPanels(const std::vector<int>& widths) {
  std::vector<int> edges;
  int right = 0;
  for (int width : widths) {
    right = width < 0 ? -1 : right + width;
    edges.push_back(right);
    if (width < 0) break;
  }
  SendMessageA(handle(), SB_SIMPLE, FALSE, 0);
  SendMessageA(handle(), SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  hintCutTexts();
}

void TStatusBar::setPanelText(int panel, const std::string& text) {
  SendMessageA(handle(), SB_SETTEXTA, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(text.c_str()));
  hintCutTexts();
}

std::string TStatusBar::hint() const { return tips_ ? tips_->hint(*this) : std::string(); }

void TStatusBar::resized() {
  TControl::resized();
  hintCutTexts();
}

bool TStatusBar::panelTextFits(int panel, const std::string& text) const {
  // From the panels' edges, not the bar's own panel rectangles: placed by
  // its parent, the bar does not move them when it is sized.
  std::vector<int> edges(static_cast<size_t>(SendMessageA(handle(), SB_GETPARTS, 0, 0)));
  SendMessageA(handle(), SB_GETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  if (panel < 0 || static_cast<size_t>(panel) >= edges.size()) return true;
  const int left = panel == 0 ? 0 : edges[static_cast<size_t>(panel) - 1];
  const int right = edges[static_cast<size_t>(panel)] < 0 ? clientWidth() : edges[static_cast<size_t>(panel)];
  // The bar draws a panel's text a few pixels inside its edges, and its
  // grip covers the right end of the last.
  constexpr int textInset = 3;
  int room = right - left - 2 * textInset;
  if (static_cast<size_t>(panel) == edges.size() - 1 && (GetWindowLongA(handle(), GWL_STYLE) & SBARS_SIZEGRIP))
    room -= GetSystemMetrics(SM_CXVSCROLL);
  TWindowDC dc(handle());
  TSelectedObject font(dc.get(), reinterpret_cast<HFONT>(SendMessageA(handle(), WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32A(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx <= room;
}

void TStatusBar::hintCutTexts() {
  if (!handle() || SendMessageA(handle(), SB_ISSIMPLE, 0, 0)) return;
  std::string cut;
  const int panels = static_cast<int>(SendMessageA(handle(), SB_GETPARTS, 0, 0));
  for (int panel = 0; panel < panels; ++panel) {
    const std::string text = panelText(panel);
    if (!text.empty() && !panelTextFits(panel, text)) cut += (cut.empty() ? "" : "\r\n") + text;
  }
  if (!tips_ && cut.empty()) return;
  if (!tips_) tips_ = std::make_unique<TToolTips>(*this);
  tips_->setHint(*this, cut);
}

std::string TStatusBar::panelText(int panel) const {
  const LRESULT length = LOWORD(SendMessageA(handle(), SB_GETTEXTLENGTHA, panel, 0));
  std::string text(static_cast<size_t>(length) + 1, '\0');
  SendMessageA(handle(), SB_GETTEXTA, panel, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return text;
}

void TStatusBar::setSimpleText(const std::string& text) {
  SendMessageA(handle(), SB_SIMPLE, text.empty() ? FALSE : TRUE, 0);
  if (!text.empty()) SendMessageA(handle(), SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(text.c_str()));
}

TProgressBar::TProgressBar(TControl* parent) : TControl(parent) {
  createWindow(commonControl(PROGRESS_CLASSA, 0, {0, 0, 150, 17}));
}

void TProgressBar::setRange(int minimum, int maximum) { SendMessageA(handle(), PBM_SETRANGE32, minimum, maximum); }
void TProgressBar::setPosition(int position) { SendMessageA(handle(), PBM_SETPOS, position, 0); }
int TProgressBar::position() const { return static_cast<int>(SendMessageA(handle(), PBM_GETPOS, 0, 0)); }

TTrackBar::TTrackBar(TControl* parent, bool vertical, DWORD styles) : TControl(parent) {
  createWindow(commonControl(TRACKBAR_CLASSA, WS_TABSTOP | styles | (vertical ? TBS_VERT : TBS_HORZ),
                             vertical ? RECT{0, 0, 45, 150} : RECT{0, 0, 150, 45}));
}

void TTrackBar::setRange(int minimum, int maximum) {
  SendMessageA(handle(), TBM_SETRANGEMIN, FALSE, minimum);
  SendMessageA(handle(), TBM_SETRANGEMAX, TRUE, maximum);
}

void TTrackBar::setPosition(int position) { SendMessageA(handle(), TBM_SETPOS, TRUE, position); }
void TTrackBar::setThumbLength(int length) { SendMessageA(handle(), TBM_SETTHUMBLENGTH, static_cast<WPARAM>(length), 0); }
int TTrackBar::position() const { return static_cast<int>(SendMessageA(handle(), TBM_GETPOS, 0, 0)); }

bool TTrackBar::scrollReceived(WORD, int) {
  if (onChange) onChange();
  return true;
}

TUpDown::TUpDown(TControl* parent, bool horizontal) : TControl(parent) {
  createWindow(commonControl(UPDOWN_CLASSA,
                             UDS_ARROWKEYS | UDS_SETBUDDYINT | UDS_NOTHOUSANDS | (horizontal ? UDS_HORZ : 0),
                             horizontal ? RECT{0, 0, 34, 17} : RECT{0, 0, 17, 23}));
}

void TUpDown::setRange(int minimum, int maximum) { SendMessageA(handle(), UDM_SETRANGE32, minimum, maximum); }
void TUpDown::setPosition(int position) { SendMessageA(handle(), UDM_SETPOS32, 0, position); }
int TUpDown::position() const { return static_cast<int>(SendMessageA(handle(), UDM_GETPOS32, 0, 0)); }
void TUpDown::setAssociate(TControl* edit) {
  SendMessageA(handle(), UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit ? edit->handle() : nullptr), 0);
}

bool TUpDown::notificationReceived(NMHDR& header, LRESULT& result) {
  if (header.code != UDN_DELTAPOS) return false;
  if (onClick) onClick(reinterpret_cast<NMUPDOWN&>(header).iDelta > 0);
  result = 0;
  return true;
}

TScrollBar::TScrollBar(TControl* parent, bool vertical) : TControl(parent) {
  createWindow(commonControl("SCROLLBAR", vertical ? SBS_VERT : SBS_HORZ,
                             vertical ? RECT{0, 0, 17, 121} : RECT{0, 0, 121, 17}));
}

void TScrollBar::setParams(int position, int minimum, int maximum, int pageSize) {
  SCROLLINFO info{sizeof(SCROLLINFO), SIF_ALL, minimum, maximum, static_cast<UINT>(std::max(0, pageSize)),
                  position, 0};
  SetScrollInfo(handle(), SB_CTL, &info, TRUE);
}

int TScrollBar::position() const {
  SCROLLINFO info{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, 0, 0};
  GetScrollInfo(handle(), SB_CTL, &info);
  return info.nPos;
}

void TScrollBar::setPosition(int position) {
  SCROLLINFO info{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, position, 0};
  SetScrollInfo(handle(), SB_CTL, &info, TRUE);
}

int TScrollBar::minimum() const {
  SCROLLINFO info{sizeof(SCROLLINFO), SIF_RANGE, 0, 0, 0, 0, 0};
  GetScrollInfo(handle(), SB_CTL, &info);
  return info.nMin;
}

int TScrollBar::maximum() const {
  SCROLLINFO info{sizeof(SCROLLINFO), SIF_RANGE, 0, 0, 0, 0, 0};
  GetScrollInfo(handle(), SB_CTL, &info);
  return info.nMax;
}

bool TScrollBar::scrollReceived(WORD code, int) {
  SCROLLINFO info{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
  GetScrollInfo(handle(), SB_CTL, &info);
  // The highest position a thumb of page size can reach.
  const int top = info.nPage > 0 ? info.nMax - static_cast<int>(info.nPage) + 1 : info.nMax;
  int position = info.nPos;
  switch (code) {
    case SB_LINEUP: position -= smallChange; break;
    case SB_LINEDOWN: position += smallChange; break;
    case SB_PAGEUP: position -= largeChange; break;
    case SB_PAGEDOWN: position += largeChange; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: position = info.nTrackPos; break;
    case SB_TOP: position = info.nMin; break;
    case SB_BOTTOM: position = top; break;
    default: break;
  }
  position = std::clamp(position, info.nMin, std::max(info.nMin, top));
  if (onScroll) onScroll(code, position);
  if (position != info.nPos) setPosition(position);
  return true;
}
