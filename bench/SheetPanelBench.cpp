// The sheet grid control on a 1920 x 1080 surface over a sheet of 100,000
// rows x 20 columns of formulas: 200 line-downs each followed by the full
// refresh, a full repaint, the time from an arrow key to the screen, and
// the refresh over a small sheet beside the large one (a refresh that
// scanned the sheet would grow with it).
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "controls/ScrollBarEx.h"
#include "controls/SheetPanel.h"
#include "platform/Application.h"
#include "platform/FloatingPoint.h"
#include "platform/Form.h"
#include "platform/LocaleSettings.h"
#include "sheet/ColumnLetters.h"
#include "sheet/Sheet.h"

namespace {

constexpr int columns = 20;
const int largeRows = benchSize(100'000, 2'000);
const int smallRows = benchSize(1'000, 200);
constexpr int lineDowns = 200;

void fill(TSheet& sheet, int rows) {
  sheet.setColCount(columns);
  sheet.setRowCount(rows);
  for (int row = 1; row <= rows; ++row) {
    sheet.setCellContent(1, row, 0, std::to_string(row) + ".25", 1);
    for (int col = 2; col <= columns; ++col) {
      std::string formula(1, '=');
      formula += columnLetters(col - 1);
      formula += std::to_string(row);
      formula += "*1.5+";
      formula += std::to_string(col);
      sheet.setCellContent(col, row, 0, formula, 1);
    }
  }
}

void pump() { application().processMessages(); }

}  // namespace

int main() {
  localeSettings() = defaultLocaleSettings();
  setExtendedPrecision();
  TFormOptions options;
  options.caption = "Sheet grid benchmark";
  options.clientWidth = 1920;
  options.clientHeight = 1080;
  TForm form(options);
  TSheetPanel& panel = form.add<TSheetPanel>();
  panel.setBounds(0, 0, 1920, 1080);
  panel.setDefaultColWidth(90);
  panel.setDefaultRowHeight(18);
  int renders = 0;
  auto lastRender = std::chrono::steady_clock::now();
  panel.onRender = [&] {
    ++renders;
    lastRender = std::chrono::steady_clock::now();
  };
  form.showModeless();
  pump();

  auto start = std::chrono::steady_clock::now();
  fill(panel.sheet(), largeRows);
  std::printf("filling %d x %d formulas: %.2f s\n", largeRows, columns, secondsSince(start));
  panel.sheet().setCurrentCell(2, 2);
  panel.refresh();
  panel.setFocus();
  pump();

  // Up and down again, so that every round scrolls the same rows.
  const HWND bar = panel.vScrollBar().handle();
  int direction = SB_LINEUP;
  const TBenchTimes lineDownTimes = timeRounds(
      5, [&] { direction = direction == SB_LINEDOWN ? SB_LINEUP : SB_LINEDOWN; },
      [&] {
        for (int i = 0; i < lineDowns; ++i) {
          SendMessageA(panel.handle(), WM_VSCROLL, direction, reinterpret_cast<LPARAM>(bar));
          panel.refresh();
        }
        GdiFlush();
      });
  std::printf("%d line-downs (or ups), each refreshed: a line %s (top row now %d)\n", lineDowns,
              microseconds(lineDownTimes.per(lineDowns)).c_str(), panel.sheet().topRow);

  // The same as the control runs them: messages handled as they come, the
  // screen refreshed as the coalescing allows, until it shows the last row.
  std::vector<double> coalesced;
  for (int round = 0; round < benchRounds(5); ++round) {
    direction = direction == SB_LINEDOWN ? SB_LINEUP : SB_LINEDOWN;
    pump();
    Sleep(80);
    start = std::chrono::steady_clock::now();
    for (int i = 0; i < lineDowns; ++i) {
      SendMessageA(panel.handle(), WM_VSCROLL, direction, reinterpret_cast<LPARAM>(bar));
      pump();
    }
    const auto sent = std::chrono::steady_clock::now();
    while (secondsSince(sent) < 0.1) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
      pump();
    }
    coalesced.push_back(std::chrono::duration<double>(lastRender - start).count());
  }
  std::printf("%d line-downs (or ups), refreshes coalesced: to the last picture %s (top row now %d)\n", lineDowns,
              microseconds(summarised(coalesced)).c_str(), panel.sheet().topRow);

  const TBenchTimes repaint = timeRounds(21, [&] {
    panel.render();
    GdiFlush();
  });
  std::printf("full repaint of the 1920 x 1080 grid: %s\n", microseconds(repaint).c_str());

  const TBenchTimes refreshLarge = timeRounds(21, [&] { panel.refresh(); });

  // An arrow key to the screen: after a quiet spell the key refreshes at
  // once; a key right after a refresh waits for the coalesced one.
  for (const bool quiet : {true, false}) {
    std::vector<double> keyToScreen;
    for (int round = 0; round < benchRounds(9); ++round) {
      pump();
      if (quiet) Sleep(80);
      renders = 0;
      const auto pressed = std::chrono::steady_clock::now();
      SendMessageA(panel.handle(), WM_KEYDOWN, round % 2 ? VK_UP : VK_DOWN, 1);
      while (renders == 0) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
        pump();
      }
      GdiFlush();
      keyToScreen.push_back(secondsSince(pressed));
    }
    std::printf("arrow key %s: to the screen %s\n", quiet ? "after a quiet spell" : "right after a refresh",
                microseconds(summarised(keyToScreen)).c_str());
  }

  panel.sheet().clearCells();
  fill(panel.sheet(), smallRows);
  panel.refresh();
  const TBenchTimes refreshSmall = timeRounds(21, [&] { panel.refresh(); });
  std::printf("full refresh over %d rows: %s\n", largeRows, microseconds(refreshLarge).c_str());
  std::printf("full refresh over %d rows: %s\n", smallRows, microseconds(refreshSmall).c_str());
  return 0;
}
