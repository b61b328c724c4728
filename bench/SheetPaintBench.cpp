// Painting a 60 x 40 visible area of a sheet of 1,000,000 cells (1,000 x
// 1,000 numbers and texts), scrolled to its middle, into a memory bitmap.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "bench/BenchTiming.h"
#include "platform/FloatingPoint.h"
#include "platform/LocaleSettings.h"
#include "sheet/SheetCanvas.h"
#include "sheet/Sheet.h"

namespace {

const int side = benchSize(1000, 100);
constexpr int visibleCols = 60;
constexpr int visibleRows = 40;
constexpr int colWidth = 50;
constexpr int rowHeight = 18;
constexpr int headerWidth = 40;

}  // namespace

int main() {
  localeSettings() = defaultLocaleSettings();
  setExtendedPrecision();
  TSheet sheet;
  sheet.setColCount(side);
  sheet.setRowCount(side);
  sheet.setDefaultColWidth(colWidth);
  sheet.setDefaultRowHeight(rowHeight);
  sheet.setColWidth(0, headerWidth);
  sheet.setRowHeight(0, rowHeight);
  const auto start = std::chrono::steady_clock::now();
  for (int col = 1; col <= side; ++col) {
    for (int row = 1; row <= side; ++row) {
      if ((col + row) % 5 == 0) {
        std::string text = std::to_string(row);
        text.insert(0, "Text ");
        sheet.setCellContent(col, row, 0, text, 2);
      } else {
        sheet.setCellContent(col, row, 0, std::to_string(row * 1000 + col) + ".5", 1);
      }
    }
  }
  double filling = secondsSince(start);
  sheet.leftCol = side / 2;
  sheet.topRow = side / 2;
  sheet.currentCol = sheet.leftCol + 3;
  sheet.currentRow = sheet.topRow + 3;
  sheet.selection = RECT{sheet.currentCol, sheet.currentRow, sheet.currentCol + 5, sheet.currentRow + 5};

  const int width = headerWidth + visibleCols * colWidth;
  const int height = rowHeight + visibleRows * rowHeight;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  HDC dc = CreateCompatibleDC(nullptr);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(dc, bitmap);
  RECT area{0, 0, width, height};
  const auto paint = [&] {
    TSheetCanvas canvas(dc);
    sheet.paint(canvas, area);
    GdiFlush();
  };
  const auto firstStart = std::chrono::steady_clock::now();
  paint();
  const double first = secondsSince(firstStart);
  const TBenchTimes times = timeRounds(21, paint);
  std::printf("filled %d cells in %.2f s\n", side * side, filling);
  std::printf("paint %d x %d visible cells (%d x %d pixels): first %s us, then %s; shown to column %d, row %d\n",
              visibleCols, visibleRows, width, height, microsecondsText(first).c_str(), microseconds(times).c_str(),
              sheet.rightCol, sheet.bottomRow);
  SelectObject(dc, previous);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return 0;
}
