#include "platform/ScrollRequest.h"

std::optional<int> requestedScrollPosition(HWND window, int bar, WORD code, int position, const TScrollSteps& steps) {
  switch (code) {
    case SB_LINEUP: return position - steps.line;
    case SB_LINEDOWN: return position + steps.line;
    case SB_PAGEUP: return position - steps.page;
    case SB_PAGEDOWN: return position + steps.page;
    case SB_TOP: return steps.first;
    case SB_BOTTOM: return steps.last;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO info{sizeof info, SIF_TRACKPOS, 0, 0, 0, 0, 0};
      GetScrollInfo(window, bar, &info);
      return info.nTrackPos;
    }
    default: return std::nullopt;
  }
}
