#include "controls/ScrollBarEx.h"

#include <algorithm>

#include "platform/ScrollRequest.h"

TScrollBarEx::TScrollBarEx(TControl* parent, bool vertical) : TControl(parent) {
  TWindowParams params;
  params.className = "SCROLLBAR";
  params.style = WS_CHILD | WS_VISIBLE | (vertical ? SBS_VERT : SBS_HORZ);
  createWindow(params);
  apply();
}

void TScrollBarEx::setMin(int min) {
  min_ = min;
  apply();
}

void TScrollBarEx::setParams(int max, int position, int page) {
  if (max == max_ && position == position_ && page == page_) return;
  max_ = max;
  page_ = page;
  position_ = position;
  largeChange_ = std::max(max / 10, 1);
  apply();
}

void TScrollBarEx::apply() {
  SCROLLINFO info{sizeof info, SIF_ALL | SIF_DISABLENOSCROLL, min_, max_, static_cast<UINT>(std::max(0, page_)),
                  position_, 0};
  if (handle()) SetScrollInfo(handle(), SB_CTL, &info, TRUE);
}

bool TScrollBarEx::scrollReceived(WORD code, int) {
  if (onScrollCode) {
    if (code == SB_ENDSCROLL) return true;
    SCROLLINFO info{sizeof info, SIF_TRACKPOS, 0, 0, 0, 0, 0};
    if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) GetScrollInfo(handle(), SB_CTL, &info);
    onScrollCode(code, info.nTrackPos);
    return true;
  }
  const int last = std::max(min_, max_ - std::max(page_ - 1, 0));
  const std::optional<int> requested =
      requestedScrollPosition(handle(), SB_CTL, code, position_, {smallChange_, largeChange_, min_, last});
  if (!requested) return true;
  const int position = std::clamp(*requested, min_, last);
  if (position != position_) {
    position_ = position;
    apply();
    if (onScroll) onScroll(position_);
  }
  return true;
}
