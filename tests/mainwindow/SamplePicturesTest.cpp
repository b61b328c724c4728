#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "app/MainForm.h"
#include "controls/PaintBoxEx.h"
#include "controls/SheetPanel.h"
#include "model/Directories.h"
#include "model/PortfolioTable.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/ExtControls.h"
#include "platform/FileSystem.h"
#include "platform/PageControl.h"
#include "sheet/Sheet.h"
#include "systems/SystemForm.h"
#include "tests/support/MainWindowFixture.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestSupport.h"
#include "windows/FolioPickForm.h"
#include "windows/PortfolioForm.h"
#include "windows/TransactionForm.h"

namespace {

constexpr uint32_t tickGreen = 0x008000;
constexpr uint32_t boxFrame = 0x404040;
constexpr uint32_t boxInside = 0xFFFFFF;
constexpr uint32_t transparent = 0xFF00FF;

// Where a colour stands in part of a picture: how often, and the smallest
// rectangle around it.
struct TColourSpread {
  int count = 0;
  RECT bounds{10000, 10000, -1, -1};
};

TColourSpread spreadOf(const TScreenImage& image, const RECT& part, uint32_t rgb) {
  TColourSpread spread;
  for (int y = std::max(0L, part.top); y < std::min<LONG>(image.height(), part.bottom); ++y)
    for (int x = std::max(0L, part.left); x < std::min<LONG>(image.width(), part.right); ++x) {
      if (image.pixel(x, y) != rgb) continue;
      ++spread.count;
      spread.bounds = {std::min<LONG>(spread.bounds.left, x), std::min<LONG>(spread.bounds.top, y),
                       std::max<LONG>(spread.bounds.right, x + 1), std::max<LONG>(spread.bounds.bottom, y + 1)};
    }
  return spread;
}

// The program started on a copy of the sample folder, the pick dialog
// answered with Enter.
class SamplePictures : public MainWindowTest {
 protected:
  void SetUp() override {
    work_ = temporary_.path() + "work\\";
    ASSERT_TRUE(copyTree(sampleDataFolder(), work_, false));
    makeMainForm();
    TfolioPickForm& picks = main_->portfolioForm->folioPickForm();
    TModalDriver driver(picks, {[&] { postKey(focusInside(picks.handle()), VK_RETURN); }});
    main_->showModeless();
    ASSERT_TRUE(pumpUntil([&] { return !main_->firstActivation && !main_->activating(); }, 20000));
  }
};

// The sample had no pictures: Boolean cells showed "1" and "0" as text.
TEST_F(SamplePictures, TheSamplesFalseAndTrueImagesAreCheckBoxesOnATransparentGround) {
  ASSERT_EQ(main_->imageList.count(), 2);
  constexpr int size = 15;
  ASSERT_EQ(main_->imageList.height(), size);
  TBitmap drawn(2 * size, size);
  drawn.canvas().fillRect(RECT{0, 0, 2 * size, size}, 0x00FFFF);
  main_->imageList.draw(drawn.canvas(), 0, 0, 0);
  main_->imageList.draw(drawn.canvas(), size, 0, 1);
  for (int image = 0; image < 2; ++image) {
    int frame = 0, inside = 0, green = 0, ground = 0, showsThrough = 0;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) {
        const uint32_t pixel = drawn.pixel(size * image + x, y);
        frame += pixel == boxFrame ? 1 : 0;
        inside += pixel == boxInside ? 1 : 0;
        green += pixel == tickGreen ? 1 : 0;
        ground += pixel == transparent ? 1 : 0;
        showsThrough += pixel == 0xFFFF00 ? 1 : 0;  // the yellow ground, as 0x00RRGGBB
      }
    SCOPED_TRACE(image);
    EXPECT_EQ(frame, 48) << "a box of 13 x 13 pixels";
    EXPECT_EQ(ground, 0) << "the transparent colour is drawn";
    EXPECT_EQ(showsThrough, size * size - 13 * 13);
    EXPECT_EQ(green > 0, image == 1) << "only the true picture is ticked";
    EXPECT_EQ(inside + green, 11 * 11);
  }
}

// The tab shown as Ctrl+Tab brings it, from the first.
void showTab(TmainForm& main, int tab) {
  pumpUntil([&] { return IsChild(main.handle(), GetFocus()) != FALSE; });
  TKeyState control{VK_CONTROL};
  for (int i = 0; i < tab; ++i) postKey(GetFocus(), VK_TAB);
}

TEST_F(SamplePictures, TheSystemWindowShowsItsEnabledRulesTicked) {
  TPortfolioTable& table = *main_->portfolioTable;
  table.setCurrentIndex(table.indexOfFolder(work_ + "DATA\\FOLIOS\\2\\"));
  showTab(*main_, TmainForm::systemTab);
  ASSERT_EQ(main_->pageControl->activePageIndex(), TmainForm::systemTab);
  TSheetPanel& grid = main_->systemForm->grid(TSystemPage::rules);
  TSheet& sheet = grid.sheet();
  pumpFor(200);
  int enabledCol = 0, headerRow = 0;
  const POINT used = sheet.getUsedExtent();
  for (int col = 1; col <= used.x && enabledCol == 0; ++col)
    for (int row = 1; row <= used.y && enabledCol == 0; ++row)
      if (sheet.getCellText(col, row, false) == "Enabled") {
        enabledCol = col;
        headerRow = row;
      }
  ASSERT_GT(enabledCol, 0);
  // The cells' places, the current cell then moved off them.
  std::vector<RECT> cells;
  // The rules stand in rows below the headers or in columns beside them.
  const bool byRow = headerRow == 1;
  for (int rule = 1; rule <= 2; ++rule) {
    sheet.setCurrentCell(byRow ? enabledCol : enabledCol + rule, byRow ? headerRow + rule : headerRow);
    RECT cell{};
    sheet.getCurrentCellRect(cell);
    cells.push_back(cell);
  }
  sheet.setCurrentCell(enabledCol, headerRow);
  grid.refresh();
  pumpFor(200);
  const TScreenImage image = captureClient(grid.paintBox().handle());
  image.savePng("sample-system-enabled-column");
  for (const RECT& cell : cells) {
    SCOPED_TRACE(cell.top);
    ASSERT_GE(cell.left, 0) << "the column is in sight";
    const TColourSpread frame = spreadOf(image, cell, boxFrame);
    const TColourSpread tick = spreadOf(image, cell, tickGreen);
    EXPECT_EQ(frame.count, 48);
    EXPECT_GT(tick.count, 10);
    EXPECT_EQ(spreadOf(image, cell, transparent).count, 0);
    // The box centred in the cell, the tick inside the box.
    EXPECT_EQ(frame.bounds.right - frame.bounds.left, 13);
    EXPECT_NEAR((frame.bounds.left + frame.bounds.right) / 2.0, (cell.left + cell.right) / 2.0, 2.0);
    EXPECT_NEAR((frame.bounds.top + frame.bounds.bottom) / 2.0, (cell.top + cell.bottom) / 2.0, 2.0);
    EXPECT_GT(tick.bounds.left, frame.bounds.left);
    EXPECT_LT(tick.bounds.right, frame.bounds.right);
    EXPECT_GT(tick.bounds.top, frame.bounds.top);
    EXPECT_LT(tick.bounds.bottom, frame.bounds.bottom);
  }
}

// A soft transaction's flag showed "1" or "0": the grid had no true and
// false pictures.
TEST_F(SamplePictures, TheTransactionsWindowShowsTheSoftFlagsAsTickedOrEmptyBoxes) {
  showTab(*main_, TmainForm::transactionsTab);
  ASSERT_EQ(main_->pageControl->activePageIndex(), TmainForm::transactionsTab);
  TtransactionForm& form = *main_->transactionForm;
  form.wholePortfolioBtn().setDown(true);
  form.wholePortfolioBtnClick();
  TSheetPanel& grid = form.sheetPanel();
  TSheet& sheet = grid.sheet();
  pumpFor(200);
  const POINT used = sheet.getUsedExtent();
  const auto headerCell = [&](const std::string& header) {
    for (int col = 1; col <= used.x; ++col)
      for (int row = 1; row <= used.y; ++row)
        if (sheet.getCellText(col, row, false) == header) return POINT{col, row};
    return POINT{0, 0};
  };
  const POINT softHeader = headerCell("Soft"), flagHeader = headerCell("Flag");
  const int softCol = softHeader.x, softRow = softHeader.y;
  ASSERT_GT(softCol, 0);
  ASSERT_GT(flagHeader.x, 0);
  grid.refresh();
  pumpFor(200);
  const TScreenImage image = captureClient(grid.paintBox().handle());
  image.savePng("sample-transactions-soft-flags");
  // Each transaction in sight shows a box, the soft ones ticked.
  const bool byRow = softRow == 1;
  int boxes = 0, ticked = 0, soft = 0;
  for (int line = 2; line <= (byRow ? used.y : used.x); ++line) {
    const int col = byRow ? softCol : line, row = byRow ? line : softRow;
    sheet.setCurrentCell(col, row);
    RECT cell{};
    sheet.getCurrentCellRect(cell);
    if (cell.left < 0 || cell.bottom > image.height() || cell.right > image.width()) continue;
    // The sample's system trades, the only soft ones, bear its flag.
    const bool isSoft = sheet.getCellText(byRow ? flagHeader.x : line, byRow ? line : flagHeader.y, true) == "SYS";
    soft += isSoft ? 1 : 0;
    boxes += spreadOf(image, cell, boxFrame).count == 48 ? 1 : 0;
    const int green = spreadOf(image, cell, tickGreen).count;
    ticked += green > 10 ? 1 : 0;
    EXPECT_EQ(green > 10, isSoft) << "line " << line;
  }
  EXPECT_GT(soft, 0);
  EXPECT_GT(boxes, soft);
  EXPECT_EQ(ticked, soft);
}

}  // namespace
