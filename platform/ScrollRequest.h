#pragma once
#include <windows.h>

#include <optional>

// The steps a scroll bar takes for a line and a page, and where it ends.
struct TScrollSteps {
  int line;
  int page;
  int first;
  int last;
};

// The position a scroll bar request (SB_LINEUP ... SB_THUMBTRACK) asks for,
// starting from the current one; the thumb's position is read at 32 bits
// from the bar (the message carries only 16). Nothing for requests that
// move nothing, such as the end of a drag.
std::optional<int> requestedScrollPosition(HWND window, int bar, WORD code, int position, const TScrollSteps& steps);
