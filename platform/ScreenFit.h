#pragma once
#include <windows.h>

// The part of the screen windows may take: without the task bar.
RECT screenWorkArea();

// A stored place and size kept usable whatever a layout file held: at least
// the minimum size, at most the work area, and moved so that the whole
// window lies on it.
RECT fitOnWorkArea(int left, int top, int width, int height, const RECT& workArea, SIZE minimum);
