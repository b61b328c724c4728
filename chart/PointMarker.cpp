#include "chart/PointMarker.h"

#include "platform/Canvas.h"

namespace {

// GDI end points are exclusive: a line to (x + s + 2) ends at x + s + 1.
void diagonalCross(TCanvas& canvas, int x, int y, int s) {
  canvas.line(x - s - 1, y - s - 1, x + s + 2, y + s + 2);
  canvas.line(x + s + 1, y - s - 1, x - s - 2, y + s + 2);
}

void uprightCross(TCanvas& canvas, int x, int y, int s) {
  canvas.line(x, y - s - 1, x, y + s + 2);
  canvas.line(x - s - 1, y, x + s + 2, y);
}

}  // namespace

void drawPointMarker(TCanvas& canvas, int x, int y, int size, int kind) {
  const int s = size;
  switch (kind) {
    case pkDot:
      canvas.ellipse({x - 1, y - 1, x + 1, y + 1});
      break;
    case pkDiagonalCross:
      diagonalCross(canvas, x, y, s);
      break;
    case pkUprightCross:
      uprightCross(canvas, x, y, s);
      break;
    case pkBothCrosses:
      diagonalCross(canvas, x, y, s);
      uprightCross(canvas, x, y, s);
      break;
    case pkCircle:
      canvas.ellipse({x - s - 1, y - s - 1, x + s + 2, y + s + 2});
      break;
    case pkTriangleUp:
      canvas.polygon({{x, y - s - 1}, {x - s - 2, y + s}, {x + s + 2, y + s}});
      break;
    case pkTriangleDown:
      canvas.polygon({{x, y + s + 1}, {x - s - 2, y - s}, {x + s + 2, y - s}});
      break;
    case pkSquare:
      canvas.polygon({{x - s - 1, y - s - 1}, {x + s + 1, y - s - 1}, {x + s + 1, y + s + 1}, {x - s - 1, y + s + 1}});
      break;
    case pkDiamond:
      canvas.polygon({{x, y - s - 2}, {x - s - 2, y}, {x, y + s + 2}, {x + s + 2, y}});
      break;
    default:
      break;
  }
}
