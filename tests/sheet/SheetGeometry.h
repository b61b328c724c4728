#pragma once
#include "sheet/SheetCanvas.h"
#include "sheet/Sheet.h"
#include "tests/sheet/PaintSurface.h"

// Colours and sizes that make a painted sheet easy to measure: columns 50
// pixels wide, rows 20 high, the row-number column 30 wide and the letter
// row 20 high, so column A spans x 30..79 and row 1 y 20..39.
constexpr COLORREF background = RGB(10, 20, 30);
constexpr COLORREF face = RGB(190, 190, 190);
constexpr COLORREF fill = RGB(240, 240, 200);
constexpr COLORREF highlight = RGB(30, 60, 200);
constexpr COLORREF ink = RGB(0, 0, 255);

inline void prepare(TSheet& sheet, int cols, int rows) {
  sheet.setColCount(cols);
  sheet.setRowCount(rows);
  sheet.setDefaultColWidth(50);
  sheet.setDefaultRowHeight(20);
  sheet.setColWidth(0, 30);
  sheet.setRowHeight(0, 20);
  sheet.backgroundColor = background;
  sheet.headerColor = face;
  sheet.defaultFillColor = fill;
  sheet.selectionColor = highlight;
  sheet.defaultFont.color = ink;
}

inline void paint(TSheet& sheet, TPaintSurface& surface, const RECT& rect) {
  TSheetCanvas canvas(surface.dc());
  sheet.paint(canvas, rect);
}
