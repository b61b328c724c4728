#pragma once

class TCanvas;

// Point kinds, one byte as sources and series store them.
enum TPointKind : int {
  pkNone = 0,
  pkDot = 1,
  pkDiagonalCross = 2,
  pkUprightCross = 3,
  pkBothCrosses = 4,
  pkCircle = 5,
  pkTriangleUp = 6,
  pkTriangleDown = 7,
  pkSquare = 8,
  pkDiamond = 9
};

// A marker centred on (x, y) with the canvas's current pen and brush; size
// s grows it by s pixels on every side. Other kinds draw nothing.
void drawPointMarker(TCanvas& canvas, int x, int y, int size, int kind);
