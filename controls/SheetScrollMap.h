#pragma once

class TSheet;

// The grid's scroll bars run on a fixed scale of 1..scrollScaleMax whatever
// the sheet's size. One axis of the sheet as a bar sees it: the first
// scrolling line shown, the last fully shown, the line count, the lines in
// use and the fixed lines.
struct TScrollAxis {
  int first = 1;
  int last = 1;
  int count = 1;
  int used = 0;
  int fixed = 0;
};

struct TScrollThumb {
  int pageSize = 1;
  int position = 1;
};

constexpr int scrollScaleMax = 10000;

TScrollAxis verticalScrollAxis(const TSheet& sheet);
TScrollAxis horizontalScrollAxis(const TSheet& sheet);

// Where the thumb stands for the sheet's view.
TScrollThumb scrollThumb(const TScrollAxis& axis, int maxPosition = scrollScaleMax);

// The first scrolling line for a thumb position: the smallest line whose
// thumb stands at that position, so position 1 reaches the first line even
// when one step of the bar spans many lines.
int scrollLineAt(const TScrollAxis& axis, int position, int maxPosition = scrollScaleMax);
