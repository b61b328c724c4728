#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <vector>

#include "controls/ToolGlyphs.h"
#include "platform/Canvas.h"

namespace {

constexpr TColor rgb(int red, int green, int blue) { return static_cast<TColor>((blue << 16) | (green << 8) | red); }

constexpr TColor ink = rgb(0, 0, 0);
constexpr TColor darkGrey = rgb(96, 96, 96);
constexpr TColor grey = rgb(128, 128, 128);
constexpr TColor silver = rgb(192, 192, 192);
constexpr TColor paper = rgb(255, 255, 255);
constexpr TColor navy = rgb(0, 40, 140);
constexpr TColor blue = rgb(40, 110, 230);
constexpr TColor skyBlue = rgb(170, 210, 255);
constexpr TColor darkGreen = rgb(0, 100, 0);
constexpr TColor green = rgb(40, 170, 40);
constexpr TColor darkRed = rgb(130, 0, 0);
constexpr TColor red = rgb(225, 35, 35);
constexpr TColor pink = rgb(255, 160, 180);
constexpr TColor gold = rgb(255, 205, 0);
constexpr TColor darkGold = rgb(150, 100, 0);
constexpr TColor noteYellow = rgb(255, 245, 150);
constexpr TColor wall = rgb(255, 235, 190);
constexpr TColor brown = rgb(150, 80, 30);

// Draws in a 16 x 16 cell; right and bottom edges of boxes are exclusive,
// as GDI's, and lines include both ends.
class TGlyphPainter {
 public:
  TGlyphPainter(TCanvas& canvas, int x, int y) : canvas_(canvas), x_(x), y_(y) {}

  void fill(int left, int top, int right, int bottom, TColor colour) {
    canvas_.fillRect({x_ + left, y_ + top, x_ + right, y_ + bottom}, colour);
  }
  void box(int left, int top, int right, int bottom, TColor inside, TColor outline) {
    canvas_.setPen(outline);
    canvas_.setBrush(inside);
    canvas_.rectangle({x_ + left, y_ + top, x_ + right, y_ + bottom});
  }
  void frame(int left, int top, int right, int bottom, TColor outline) {
    canvas_.frameRect({x_ + left, y_ + top, x_ + right, y_ + bottom}, outline);
  }
  void oval(int left, int top, int right, int bottom, TColor inside, TColor outline) {
    canvas_.setPen(outline);
    if (inside == clNone) canvas_.setBrush(paper, TBrushStyle::clear);
    else canvas_.setBrush(inside);
    canvas_.ellipse({x_ + left, y_ + top, x_ + right, y_ + bottom});
  }
  void shape(std::vector<POINT> points, TColor inside, TColor outline) {
    for (POINT& point : points) point = {point.x + x_, point.y + y_};
    canvas_.setPen(outline);
    canvas_.setBrush(inside);
    canvas_.polygon(points);
  }
  void line(int x1, int y1, int x2, int y2, TColor colour, int width = 1) {
    canvas_.setPen(colour, width);
    canvas_.line(x_ + x1, y_ + y1, x_ + x2, y_ + y2);
    if (width == 1) dot(x2, y2, colour);
  }
  void lines(std::vector<POINT> points, TColor colour, int width = 1) {
    for (POINT& point : points) point = {point.x + x_, point.y + y_};
    canvas_.setPen(colour, width);
    canvas_.polyline(points);
  }
  void dot(int x, int y, TColor colour) { canvas_.setPixel(x_ + x, y_ + y, colour); }

 private:
  TCanvas& canvas_;
  int x_;
  int y_;
};

using TGlyphDrawing = std::function<void(TGlyphPainter&)>;

// An arrow pointing left, right, up or down, filling most of the cell.
void arrow(TGlyphPainter& p, char direction, TColor inside, TColor outline) {
  std::vector<POINT> points = {{1, 7}, {7, 1}, {7, 4}, {14, 4}, {14, 10}, {7, 10}, {7, 13}};
  for (POINT& point : points) {
    if (direction == '>') point.x = 15 - point.x;
    if (direction == '^' || direction == 'v') point = {point.y + 1, point.x};
    if (direction == 'v') point.y = 15 - point.y;
  }
  if (direction == '<' || direction == '>')
    for (POINT& point : points) point.y += 1;
  p.shape(points, inside, outline);
}

// Small marks in the lower right corner, over another picture.
void plusBadge(TGlyphPainter& p) {
  p.shape({{10, 8}, {13, 8}, {13, 10}, {15, 10}, {15, 13}, {13, 13}, {13, 15}, {10, 15}, {10, 13}, {8, 13}, {8, 10},
           {10, 10}},
          green, darkGreen);
}
void crossBadge(TGlyphPainter& p) {
  p.line(9, 9, 14, 14, red, 2);
  p.line(14, 9, 9, 14, red, 2);
}
void checkBadge(TGlyphPainter& p) { p.lines({{8, 11}, {10, 14}, {15, 8}}, green, 2); }

void house(TGlyphPainter& p) {
  p.box(11, 2, 13, 7, red, darkRed);
  p.box(3, 7, 13, 15, wall, brown);
  p.box(7, 10, 10, 15, brown, brown);
  p.shape({{0, 8}, {7, 1}, {8, 1}, {15, 8}}, red, darkRed);
}

void page(TGlyphPainter& p, int left, int top, int right, int bottom) {
  p.shape({{left, top}, {right - 4, top}, {right, top + 4}, {right, bottom}, {left, bottom}}, paper, ink);
  p.lines({{right - 4, top}, {right - 4, top + 4}, {right + 1, top + 4}}, ink);
}

void textLines(TGlyphPainter& p, int left, int right, int top, int bottom, TColor colour) {
  for (int y = top; y <= bottom; y += 2) p.line(left, y, right, y, colour);
}

// A window with its blue title bar.
void window(TGlyphPainter& p, int left, int top, int right, int bottom) {
  p.box(left, top, right, bottom, paper, navy);
  p.fill(left + 1, top + 1, right - 1, top + 3, blue);
}

void note(TGlyphPainter& p) {
  p.box(2, 1, 14, 15, noteYellow, darkGold);
  textLines(p, 4, 11, 4, 12, grey);
}

void star(TGlyphPainter& p, double centreX, double centreY, double outer, double inner) {
  std::vector<POINT> points;
  for (int corner = 0; corner < 10; ++corner) {
    const double radius = corner % 2 == 0 ? outer : inner;
    const double angle = 3.14159265358979 * (corner / 5.0 - 0.5);
    points.push_back(
        {std::lround(centreX + radius * std::cos(angle)), std::lround(centreY + radius * std::sin(angle))});
  }
  p.shape(points, gold, darkGold);
}

void globe(TGlyphPainter& p) {
  p.oval(1, 1, 15, 15, skyBlue, blue);
  p.oval(5, 1, 11, 15, clNone, blue);
  p.line(1, 7, 14, 7, blue);
  p.line(3, 4, 12, 4, blue);
  p.line(3, 11, 12, 11, blue);
}

void key(TGlyphPainter& p, TColor inside, TColor outline) {
  p.box(7, 6, 15, 9, inside, outline);
  p.box(11, 8, 13, 12, inside, outline);
  p.box(13, 8, 15, 11, inside, outline);
  p.oval(0, 3, 9, 12, inside, outline);
  p.box(3, 6, 5, 9, paper, outline);
}

void lock(TGlyphPainter& p, bool closed) {
  const TColor body = closed ? gold : silver;
  const TColor edge = closed ? darkGold : darkGrey;
  const int shackleLeft = closed ? 5 : 8;
  p.lines({{shackleLeft, closed ? 8 : 5}, {shackleLeft, 3}, {shackleLeft + 1, 2}, {shackleLeft + 4, 2},
           {shackleLeft + 5, 3}, {shackleLeft + 5, 8}},
          darkGrey, 2);
  p.box(2, 7, 14, 15, body, edge);
  p.line(8, 9, 8, 12, ink);
  p.dot(7, 10, ink);
  p.dot(9, 10, ink);
}

void clock(TGlyphPainter& p) {
  p.oval(0, 0, 16, 16, paper, navy);
  for (const POINT tick : {POINT{8, 2}, POINT{13, 8}, POINT{8, 13}, POINT{2, 8}}) p.dot(tick.x, tick.y, grey);
  p.line(8, 8, 8, 4, ink);
  p.line(8, 8, 11, 8, ink);
  p.dot(8, 8, red);
}

void roundArrow(TGlyphPainter& p, TColor colour) {
  std::vector<POINT> arc;
  for (int degrees = 60; degrees <= 330; degrees += 15) {
    const double angle = degrees * 3.14159265358979 / 180;
    arc.push_back({std::lround(7.5 + 5 * std::cos(angle)), std::lround(8 - 5 * std::sin(angle))});
  }
  p.lines(arc, colour, 2);
  const POINT tip = arc.front();
  p.shape({{tip.x + 4, tip.y - 4}, {tip.x + 4, tip.y + 3}, {tip.x - 3, tip.y + 1}}, colour, colour);
}

void stopSign(TGlyphPainter& p) {
  p.shape({{5, 1}, {10, 1}, {14, 5}, {14, 10}, {10, 14}, {5, 14}, {1, 10}, {1, 5}}, red, darkRed);
  for (int step = 0; step < 6; ++step) {
    for (int thickness = 0; thickness < 2; ++thickness) {
      p.dot(5 + step + thickness, 5 + step, paper);
      p.dot(10 - step + thickness, 5 + step, paper);
    }
  }
}

void goButton(TGlyphPainter& p) {
  p.oval(0, 0, 16, 16, green, darkGreen);
  p.shape({{3, 7}, {8, 7}, {8, 4}, {12, 8}, {8, 12}, {8, 9}, {3, 9}}, paper, paper);
}

void bigCross(TGlyphPainter& p, TColor colour, int width) {
  p.line(3, 3, 12, 12, colour, width);
  p.line(12, 3, 3, 12, colour, width);
}

void magnifier(TGlyphPainter& p) {
  p.line(9, 9, 14, 14, brown, 3);
  p.oval(1, 1, 11, 11, skyBlue, ink);
  p.dot(4, 4, paper);
  p.dot(5, 3, paper);
}

void folder(TGlyphPainter& p) {
  p.box(1, 2, 7, 5, gold, darkGold);
  p.box(1, 4, 15, 14, gold, darkGold);
}

void questionMark(TGlyphPainter& p) {
  p.oval(0, 0, 16, 16, blue, navy);
  p.lines({{5, 6}, {5, 4}, {6, 3}, {9, 3}, {10, 4}, {10, 6}, {8, 8}, {8, 10}}, paper, 2);
  p.fill(7, 11, 9, 13, paper);
}

// Kept inside the middle 12 x 12, to fit the narrow button of the
// currency editor.
void coins(TGlyphPainter& p) {
  p.oval(5, 2, 14, 11, gold, darkGold);
  p.oval(2, 5, 11, 14, gold, darkGold);
  p.oval(4, 7, 9, 12, clNone, darkGold);
}

// A triangle pointing left or right with its tip at x, 5 pixels wide.
void pointer(TGlyphPainter& p, int tipX, char direction, TColor inside, TColor outline) {
  const int back = direction == '<' ? tipX + 5 : tipX - 5;
  p.shape({{tipX, 7}, {back, 2}, {back, 12}}, inside, outline);
}

// Date steps: pointers towards an end bar, a double bar (in green) for the
// first or last date all series share. Laid out pointing left, mirrored
// for right.
void dateStep(TGlyphPainter& p, char direction, int pointers, int bars) {
  const bool common = bars == 2;
  const TColor inside = common ? green : blue;
  const TColor outline = common ? darkGreen : navy;
  const auto placed = [direction](int x) { return direction == '<' ? x : 15 - x; };
  for (int bar = 0; bar < bars; ++bar) {
    const int left = std::min(placed(1 + 3 * bar), placed(2 + 3 * bar));
    p.fill(left, 2, left + 2, 13, outline);
  }
  const int firstTip = bars > 0 ? 1 + 3 * bars : 2;
  for (int step = 0; step < pointers; ++step) pointer(p, placed(firstTip + 6 * step), direction, inside, outline);
}

// A small grid of cells, one row or column of it marked.
void grid(TGlyphPainter& p) {
  p.frame(0, 1, 16, 15, grey);
  for (int x = 5; x <= 10; x += 5) p.line(x, 1, x, 14, grey);
  for (int y = 5; y <= 10; y += 4) p.line(0, y, 15, y, grey);
}

// Bars of rising or falling heights beside an arrow down.
void sortBars(TGlyphPainter& p, bool ascending) {
  for (int bar = 0; bar < 4; ++bar) {
    const int height = 3 * (ascending ? bar + 1 : 4 - bar);
    p.box(1 + 3 * bar, 15 - height, 4 + 3 * bar, 15, skyBlue, blue);
  }
  p.line(14, 1, 14, 13, darkGreen);
  p.shape({{12, 10}, {15, 10}, {14, 14}, {13, 14}}, darkGreen, darkGreen);
}

// Lines of text against the edge they are aligned to, which shows red.
void alignment(TGlyphPainter& p, char side) {
  const int lengths[] = {11, 7, 11, 5};
  for (int row = 0; row < 4; ++row) {
    const int length = lengths[row], at = 3 + 3 * row;
    if (side == 'L') p.line(2, at, 1 + length, at, navy);
    if (side == 'R') p.line(14 - length, at, 13, at, navy);
    if (side == 'T') p.line(at, 2, at, 1 + length, navy);
    if (side == 'B') p.line(at, 14 - length, at, 13, navy);
  }
  if (side == 'L') p.line(0, 0, 0, 15, red);
  if (side == 'R') p.line(15, 0, 15, 15, red);
  if (side == 'T') p.line(0, 0, 15, 0, red);
  if (side == 'B') p.line(0, 15, 15, 15, red);
}

void gear(TGlyphPainter& p) {
  std::vector<POINT> teeth;
  for (int step = 0; step < 32; ++step) {
    const double radius = step % 4 < 2 ? 7.4 : 5.2;
    const double angle = 3.14159265358979 * (step + 0.5) / 16;
    teeth.push_back({std::lround(7.5 + radius * std::cos(angle)), std::lround(7.5 + radius * std::sin(angle))});
  }
  p.shape(teeth, skyBlue, navy);
  p.oval(5, 5, 11, 11, paper, navy);
}

void pencil(TGlyphPainter& p) {
  p.shape({{9, 3}, {12, 6}, {5, 13}, {2, 14}, {2, 13}, {3, 10}}, gold, darkGold);
  p.shape({{9, 3}, {11, 1}, {14, 4}, {12, 6}}, pink, darkRed);
}

const std::map<std::string, TGlyphDrawing>& glyphDrawings() {
  static const std::map<std::string, TGlyphDrawing> drawings = {
      {"BACKBMP", [](TGlyphPainter& p) { arrow(p, '<', blue, navy); }},
      {"FORWARDBMP", [](TGlyphPainter& p) { arrow(p, '>', blue, navy); }},
      {"UPBMP", [](TGlyphPainter& p) { arrow(p, '^', blue, navy); }},
      {"DOWNBMP", [](TGlyphPainter& p) { arrow(p, 'v', blue, navy); }},
      {"STOPBMP", stopSign},
      {"REFRESHBMP", [](TGlyphPainter& p) { roundArrow(p, green); }},
      {"TIMERBMP", clock},
      {"HOMEBMP", house},
      {"MAKEHOMEBMP",
       [](TGlyphPainter& p) {
         house(p);
         plusBadge(p);
       }},
      {"FAVSBMP", [](TGlyphPainter& p) { star(p, 7.5, 8, 7.5, 3.2); }},
      {"MAKEDEFBMP",
       [](TGlyphPainter& p) {
         window(p, 0, 1, 13, 13);
         checkBadge(p);
       }},
      {"CLEARDEFBMP",
       [](TGlyphPainter& p) {
         window(p, 0, 1, 13, 13);
         crossBadge(p);
       }},
      {"DELBMP", [](TGlyphPainter& p) { bigCross(p, red, 3); }},
      {"CLOSEBMP", [](TGlyphPainter& p) { bigCross(p, navy, 2); }},
      {"GOBMP", goButton},
      {"ADDBMP",
       [](TGlyphPainter& p) {
         p.shape({{6, 2}, {9, 2}, {9, 6}, {13, 6}, {13, 9}, {9, 9}, {9, 13}, {6, 13}, {6, 9}, {2, 9}, {2, 6}, {6, 6}},
                 green, darkGreen);
       }},
      {"KEYBMP", [](TGlyphPainter& p) { key(p, gold, darkGold); }},
      {"KEYGRAYBMP", [](TGlyphPainter& p) { key(p, silver, grey); }},
      {"CURRBTNBMP", coins},
      {"UPDATEBMP",
       [](TGlyphPainter& p) {
         p.lines({{1, 10}, {1, 14}, {14, 14}, {14, 10}}, darkGrey, 2);
         p.shape({{8, 12}, {13, 7}, {10, 7}, {10, 1}, {5, 1}, {5, 7}, {2, 7}, {7, 12}}, green, darkGreen);
       }},
      {"REMARKSBMP", note},
      {"ZAPREMARKSBMP",
       [](TGlyphPainter& p) {
         note(p);
         crossBadge(p);
       }},
      {"FINDBMP", magnifier},
      {"PROPERTIESBMP",
       [](TGlyphPainter& p) {
         page(p, 2, 0, 13, 15);
         for (int y = 5; y <= 11; y += 3) {
           p.fill(4, y, 6, y + 2, blue);
           p.line(7, y + 1, 10, y + 1, grey);
         }
       }},
      {"CLEARBMP",
       [](TGlyphPainter& p) {
         p.shape({{1, 10}, {7, 4}, {14, 11}, {8, 15}}, pink, darkRed);
         p.shape({{1, 10}, {4, 7}, {10, 13}, {8, 15}}, blue, navy);
       }},
      {"NEWBMP",
       [](TGlyphPainter& p) {
         page(p, 1, 0, 12, 14);
         plusBadge(p);
       }},
      {"COPYBMP",
       [](TGlyphPainter& p) {
         page(p, 0, 0, 9, 10);
         textLines(p, 2, 5, 4, 8, blue);
         page(p, 5, 5, 14, 15);
         textLines(p, 7, 11, 10, 13, blue);
       }},
      {"MONTHSBMP",
       [](TGlyphPainter& p) {
         p.box(1, 2, 15, 15, paper, ink);
         p.fill(2, 3, 14, 6, red);
         for (int y = 8; y <= 12; y += 2)
           for (int x = 3; x <= 12; x += 3) p.fill(x, y, x + 2, y + 1, grey);
         p.line(4, 1, 4, 3, ink);
         p.line(11, 1, 11, 3, ink);
       }},
      {"NETSETUPBMP", globe},
      {"ITEMBMP",
       [](TGlyphPainter& p) {
         page(p, 2, 0, 13, 15);
         textLines(p, 4, 10, 6, 12, blue);
       }},
      {"ITEMREMARKSBMP",
       [](TGlyphPainter& p) {
         page(p, 1, 0, 11, 15);
         textLines(p, 3, 8, 6, 12, blue);
         p.box(7, 7, 16, 16, noteYellow, darkGold);
         p.line(11, 9, 11, 12, red);
         p.dot(11, 14, red);
       }},
      {"LOCKBMP", [](TGlyphPainter& p) { lock(p, true); }},
      {"UNLOCKBMP", [](TGlyphPainter& p) { lock(p, false); }},
      {"NOTESBMP",
       [](TGlyphPainter& p) {
         note(p);
         p.fill(2, 1, 14, 3, blue);
       }},
      {"NEWBROWSERBMP",
       [](TGlyphPainter& p) {
         globe(p);
         plusBadge(p);
       }},
      {"GALLERYBMP",
       [](TGlyphPainter& p) {
         for (const POINT corner : {POINT{0, 1}, POINT{8, 1}, POINT{0, 9}, POINT{8, 9}}) {
           p.box(corner.x, corner.y, corner.x + 7, corner.y + 6, skyBlue, navy);
           p.fill(corner.x + 1, corner.y + 3, corner.x + 6, corner.y + 5, green);
         }
       }},
      {"CASCADEBMP",
       [](TGlyphPainter& p) {
         window(p, 0, 0, 10, 8);
         window(p, 3, 3, 13, 11);
         window(p, 6, 6, 16, 14);
       }},
      {"TILEHORZBMP",
       [](TGlyphPainter& p) {
         window(p, 0, 1, 16, 8);
         window(p, 0, 8, 16, 15);
       }},
      {"TILEVERTBMP",
       [](TGlyphPainter& p) {
         window(p, 0, 1, 8, 15);
         window(p, 8, 1, 16, 15);
       }},
      {"SYNCHDATESBMP",
       [](TGlyphPainter& p) {
         p.box(0, 2, 7, 9, paper, ink);
         p.fill(1, 3, 6, 5, red);
         p.box(9, 7, 16, 14, paper, ink);
         p.fill(10, 8, 15, 10, red);
         p.line(6, 11, 9, 11, blue, 2);
         p.line(7, 4, 10, 4, blue, 2);
       }},
      {"FIRSTDATEBMP", [](TGlyphPainter& p) { dateStep(p, '<', 1, 1); }},
      {"FIRSTCOMMONBMP", [](TGlyphPainter& p) { dateStep(p, '<', 1, 2); }},
      {"FRAMEBACKBMP", [](TGlyphPainter& p) { dateStep(p, '<', 2, 0); }},
      {"DAYBACKBMP", [](TGlyphPainter& p) { pointer(p, 5, '<', blue, navy); }},
      {"DAYFORWARDBMP", [](TGlyphPainter& p) { pointer(p, 10, '>', blue, navy); }},
      {"FRAMEFORWARDBMP", [](TGlyphPainter& p) { dateStep(p, '>', 2, 0); }},
      {"LASTCOMMONBMP", [](TGlyphPainter& p) { dateStep(p, '>', 1, 2); }},
      {"LASTDATEBMP", [](TGlyphPainter& p) { dateStep(p, '>', 1, 1); }},
      {"NEWCHARTBMP",
       [](TGlyphPainter& p) {
         p.lines({{0, 0}, {0, 15}, {15, 15}}, ink);
         for (const auto& [x, low, open, close, high] :
              {std::array{3, 12, 11, 7, 5}, std::array{7, 9, 8, 4, 2}, std::array{11, 10, 5, 9, 3}}) {
           p.line(x + 1, high, x + 1, low, ink);
           p.box(x, std::min(open, close), x + 3, std::max(open, close) + 1, open > close ? green : red, ink);
         }
       }},
      {"NEWGRAPHBMP",
       [](TGlyphPainter& p) {
         p.lines({{0, 0}, {0, 15}, {15, 15}}, ink);
         p.lines({{2, 12}, {5, 8}, {8, 10}, {11, 4}, {14, 2}}, red, 2);
       }},
      {"ROWWISEBMP",
       [](TGlyphPainter& p) {
         p.fill(1, 2, 15, 14, paper);
         grid(p);
         p.fill(1, 6, 15, 10, skyBlue);
         p.line(2, 8, 13, 8, navy);
         p.shape({{11, 6}, {14, 8}, {11, 10}}, navy, navy);
       }},
      {"COLWISEBMP",
       [](TGlyphPainter& p) {
         p.fill(1, 2, 15, 14, paper);
         grid(p);
         p.fill(6, 2, 10, 14, skyBlue);
         p.line(8, 3, 8, 12, navy);
         p.shape({{6, 10}, {8, 13}, {10, 10}}, navy, navy);
       }},
      {"SHOWERRORSBMP",
       [](TGlyphPainter& p) {
         p.shape({{7, 1}, {8, 1}, {15, 14}, {0, 14}}, gold, darkGold);
         p.line(7, 5, 7, 9, ink);
         p.line(8, 5, 8, 9, ink);
         p.fill(7, 11, 9, 13, ink);
       }},
      {"SORTASCBMP", [](TGlyphPainter& p) { sortBars(p, true); }},
      {"SORTDESCBMP", [](TGlyphPainter& p) { sortBars(p, false); }},
      {"FIXEDBMP",
       [](TGlyphPainter& p) {
         p.fill(1, 2, 15, 14, paper);
         p.fill(1, 2, 15, 5, skyBlue);
         p.fill(1, 2, 5, 14, skyBlue);
         grid(p);
         p.line(5, 1, 5, 14, navy);
         p.line(0, 5, 15, 5, navy);
       }},
      {"SETUPBMP", gear},
      {"LOADBMP",
       [](TGlyphPainter& p) {
         folder(p);
         p.shape({{8, 0}, {12, 4}, {10, 4}, {10, 8}, {6, 8}, {6, 4}, {4, 4}}, green, darkGreen);
       }},
      {"TEMPLATEBMP",
       [](TGlyphPainter& p) {
         page(p, 2, 0, 13, 15);
         for (int y = 5; y <= 11; y += 3)
           for (int x = 4; x <= 10; x += 2) p.dot(x, y, blue);
         p.box(4, 8, 8, 11, skyBlue, blue);
       }},
      {"NULLBMP",
       [](TGlyphPainter& p) {
         p.oval(2, 2, 14, 14, clNone, red);
         p.oval(3, 3, 13, 13, clNone, red);
         p.line(13, 1, 2, 14, red, 2);
       }},
      {"QUOTESBMP",
       [](TGlyphPainter& p) {
         p.box(0, 0, 13, 13, paper, ink);
         p.fill(1, 1, 12, 3, silver);
         textLines(p, 2, 10, 5, 11, blue);
         pencil(p);
       }},
      {"MERGEBMP",
       [](TGlyphPainter& p) {
         p.lines({{1, 2}, {6, 7}, {14, 7}}, blue, 2);
         p.lines({{1, 13}, {6, 8}}, blue, 2);
         p.shape({{11, 4}, {15, 7}, {11, 11}}, blue, navy);
       }},
      {"AUTOCOMPLETEBMP",
       [](TGlyphPainter& p) {
         p.line(1, 14, 10, 5, brown, 2);
         star(p, 11, 4.5, 4, 1.8);
       }},
      {"FIRSTQUOTEBMP",
       [](TGlyphPainter& p) {
         p.box(0, 1, 13, 15, paper, ink);
         p.fill(1, 2, 12, 5, gold);
         textLines(p, 3, 10, 7, 13, blue);
         pointer(p, 10, '<', green, darkGreen);
       }},
      {"RENUMBERBMP",
       [](TGlyphPainter& p) {
         for (int row = 0; row < 3; ++row) {
           p.box(1, 1 + 5 * row, 4, 4 + 5 * row, gold, darkGold);
           p.line(6, 2 + 5 * row, 8 + 2 * row, 2 + 5 * row, navy);
         }
         p.lines({{13, 1}, {13, 13}}, green, 2);
         p.shape({{10, 10}, {15, 10}, {13, 14}, {12, 14}}, green, darkGreen);
       }},
      {"ALLBMP",
       [](TGlyphPainter& p) {
         for (int sheet = 2; sheet >= 0; --sheet) {
           p.box(3 * sheet, 3 * (2 - sheet), 3 * sheet + 10, 3 * (2 - sheet) + 10, paper, navy);
           p.fill(3 * sheet + 1, 3 * (2 - sheet) + 1, 3 * sheet + 9, 3 * (2 - sheet) + 3, blue);
         }
       }},
      {"UNAVAILABLEBMP",
       [](TGlyphPainter& p) {
         p.box(0, 3, 16, 13, paper, grey);
         p.line(3, 11, 12, 4, red, 2);
       }},
      {"ADDOPBMP",
       [](TGlyphPainter& p) {
         p.fill(7, 2, 9, 14, navy);
         p.fill(2, 7, 14, 9, navy);
         p.frame(1, 1, 15, 15, skyBlue);
       }},
      {"SUBOPBMP",
       [](TGlyphPainter& p) {
         p.fill(2, 7, 14, 9, navy);
         p.frame(1, 1, 15, 15, skyBlue);
       }},
      {"MULOPBMP",
       [](TGlyphPainter& p) {
         p.line(4, 4, 11, 11, navy, 2);
         p.line(11, 4, 4, 11, navy, 2);
         p.frame(1, 1, 15, 15, skyBlue);
       }},
      {"DIVOPBMP",
       [](TGlyphPainter& p) {
         p.fill(2, 7, 14, 9, navy);
         p.fill(7, 3, 9, 5, navy);
         p.fill(7, 11, 9, 13, navy);
         p.frame(1, 1, 15, 15, skyBlue);
       }},
      {"DISCARDBMP",
       [](TGlyphPainter& p) {
         p.lines({{5, 5}, {10, 5}, {13, 8}, {13, 10}, {10, 13}, {6, 13}}, red, 2);
         p.shape({{1, 5}, {6, 1}, {6, 9}}, red, darkRed);
       }},
      {"COMMITBMP", [](TGlyphPainter& p) { p.lines({{1, 8}, {5, 12}, {14, 3}}, green, 3); }},
      {"READONLYBMP",
       [](TGlyphPainter& p) {
         page(p, 0, 0, 10, 13);
         textLines(p, 2, 6, 5, 9, blue);
         p.lines({{9, 10}, {9, 8}, {10, 7}, {12, 7}, {13, 8}, {13, 10}}, darkGrey);
         p.box(8, 10, 15, 16, gold, darkGold);
       }},
      {"FONTSBMP",
       [](TGlyphPainter& p) {
         p.shape({{6, 1}, {9, 1}, {14, 14}, {11, 14}, {10, 11}, {5, 11}, {4, 14}, {1, 14}}, navy, navy);
         p.shape({{7, 4}, {8, 4}, {9, 8}, {6, 8}}, paper, paper);
       }},
      {"COLORSBMP",
       [](TGlyphPainter& p) {
         p.oval(0, 1, 16, 15, wall, brown);
         p.fill(3, 4, 6, 7, red);
         p.fill(7, 3, 10, 6, green);
         p.fill(11, 5, 14, 8, blue);
         p.fill(4, 9, 7, 12, gold);
       }},
      {"DECIMALSBMP",
       [](TGlyphPainter& p) {
         p.box(0, 3, 16, 13, paper, grey);
         p.fill(3, 9, 5, 11, ink);
         for (int digit = 0; digit < 2; ++digit) p.oval(6 + 4 * digit, 5, 9 + 4 * digit, 11, clNone, navy);
       }},
      {"LEFTALIGNBMP", [](TGlyphPainter& p) { alignment(p, 'L'); }},
      {"RIGHTALIGNBMP", [](TGlyphPainter& p) { alignment(p, 'R'); }},
      {"TOPALIGNBMP", [](TGlyphPainter& p) { alignment(p, 'T'); }},
      {"BOTTOMALIGNBMP", [](TGlyphPainter& p) { alignment(p, 'B'); }},
      {"HIDDENBMP",
       [](TGlyphPainter& p) {
         p.shape({{0, 8}, {4, 4}, {11, 4}, {15, 8}, {11, 12}, {4, 12}}, paper, ink);
         p.oval(5, 5, 11, 11, blue, navy);
         p.line(2, 14, 13, 2, red, 2);
       }},
      {"DISABLEDBMP",
       [](TGlyphPainter& p) {
         p.box(0, 3, 16, 13, silver, grey);
         p.oval(4, 4, 12, 12, paper, red);
         p.line(5, 8, 10, 8, red, 2);
       }},
      {"TRAILINGBMP",
       [](TGlyphPainter& p) {
         p.box(0, 3, 9, 13, paper, grey);
         p.line(2, 8, 14, 8, navy);
         p.shape({{11, 5}, {15, 8}, {11, 11}}, blue, navy);
       }},
      {"FIXEDFIELDBMP",
       [](TGlyphPainter& p) {
         p.shape({{4, 1}, {11, 1}, {10, 3}, {10, 7}, {13, 10}, {2, 10}, {5, 7}, {5, 3}}, red, darkRed);
         p.line(7, 10, 7, 15, darkGrey);
         p.line(8, 10, 8, 15, darkGrey);
       }},
      {"EDITASTEXTBMP",
       [](TGlyphPainter& p) {
         page(p, 1, 0, 12, 15);
         textLines(p, 3, 9, 5, 11, grey);
         pencil(p);
       }},
      {"OPTIMIZEBMP",
       [](TGlyphPainter& p) {
         p.lines({{0, 0}, {0, 15}, {15, 15}}, ink);
         p.lines({{2, 13}, {4, 9}, {6, 6}, {8, 5}, {10, 6}, {12, 9}, {14, 13}}, blue, 2);
         // A flag on the summit: the best value found.
         p.line(8, 0, 8, 4, darkRed);
         p.shape({{9, 0}, {13, 2}, {9, 4}}, red, darkRed);
       }},
      // A favourite taken into the sources, which lie to the left of the
      // favourites.
      {"USEFAVBMP",
       [](TGlyphPainter& p) {
         star(p, 10, 5.5, 5.5, 2.4);
         p.shape({{0, 11}, {4, 7}, {4, 9}, {10, 9}, {10, 13}, {4, 13}, {4, 15}}, green, darkGreen);
       }},
      {"DIRSETUPBMP", folder},
      {"HELPBMP", questionMark},
  };
  return drawings;
}

}  // namespace

bool drawToolGlyph(TCanvas& canvas, int x, int y, const std::string& name) {
  const auto found = glyphDrawings().find(name);
  if (found == glyphDrawings().end()) return false;
  TGlyphPainter painter(canvas, x, y);
  found->second(painter);
  return true;
}
