#include <gtest/gtest.h>

#include <memory>

#include "controls/EditorStatus.h"

namespace {

// A 32-bit top-down bitmap selected into a memory canvas, read back pixel by pixel.
class TTestCanvas {
 public:
  TTestCanvas(int width, int height) : dc_(CreateCompatibleDC(nullptr)), width_(width) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
  }
  ~TTestCanvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  COLORREF pixel(int x, int y) const {
    GdiFlush();
    const uint32_t p = bits_[y * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }

 private:
  HDC dc_;
  int width_;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  uint32_t* bits_ = nullptr;
};

TFontAttributes font(uint16_t id, COLORREF colour, const char* name, int size) {
  TFontAttributes record;
  record.id = id;
  record.colour = static_cast<int32_t>(colour);
  record.fontName = name;
  record.size = size;
  return record;
}

class EditorRender : public testing::Test {
 protected:
  void SetUp() override {
    document.backgroundColour = RGB(255, 255, 255);
    fonts.add(font(2, RGB(0, 0, 255), "Arial", 14));
    fonts.add(font(1, RGB(255, 0, 0), "Courier New", 10));
  }
  void render(bool keepCaretVisible, const TTextRect& highlight = TEditorStatus::noHighlight) {
    document.render(canvas.dc(), view, &ids, &fonts, keepCaretVisible, highlight);
  }

  TTestCanvas canvas{400, 200};
  RECT view{0, 0, 400, 200};
  TEditorStatus document;
  TFontAttributeSets fonts;
  std::vector<uint16_t> ids;
};

TEST_F(EditorRender, AttributeTableKeepsIdOrder) {
  fonts.add(font(0, 0, "Arial", 8));
  fonts.add(font(1, 0, "Arial", 9));
  ASSERT_EQ(fonts.count(), 3u);
  EXPECT_EQ(fonts[0].id, 0);
  EXPECT_EQ(fonts[1].size, 9);
  EXPECT_EQ(fonts[2].id, 2);
  EXPECT_EQ(fonts.find(3), nullptr);
}

TEST_F(EditorRender, CharactersSitAtTheirComputedPositions) {
  document.insertText("a\tbc");
  ids = {1, 1, 2, 2, 0, 0};
  document.setCaret({5, 1});
  // The highlight exchanges colours: "b" gets the blue of its font behind it.
  render(false, {3, 0, 4, 0});
  ASSERT_FALSE(document.widthTables.empty());
  const std::vector<int>& bounds = document.widthTables[0];
  ASSERT_EQ(bounds.size(), 6u);  // the row height, then five boundaries
  EXPECT_GT(bounds[0], 0);
  EXPECT_EQ(bounds[1], 0);
  EXPECT_EQ(bounds[3] % document.tabWidth, 0);
  EXPECT_GT(bounds[3], bounds[2]);
  EXPECT_EQ(document.caretX, bounds[5]);
  EXPECT_EQ(document.caretHeight, bounds[0]);
  EXPECT_EQ(canvas.pixel((bounds[3] + bounds[4]) / 2, 0), RGB(0, 0, 255));
  EXPECT_EQ(canvas.pixel(bounds[3] - 1, 0), RGB(255, 255, 255));
  EXPECT_EQ(canvas.pixel(bounds[4] + 1, 0), RGB(255, 255, 255));
}

TEST_F(EditorRender, LinesWithoutIdsOrCharactersKeepAHeight) {
  document.insertText("ab\n\n\nx");
  ids = {1, 1, 0, 0, 2, 2};  // shorter than the text: the colouring lags behind
  document.setCaret({1, 2});
  render(true);
  ASSERT_GE(document.widthTables.size(), 4u);
  for (int row = 0; row < 4; ++row) EXPECT_GT(document.widthTables[row][0], 0) << row;
  EXPECT_GT(document.caretHeight, 0);
  // The empty line 2 takes the font of its line end, the large one.
  EXPECT_GT(document.widthTables[1][0], document.widthTables[2][0]);
}

TEST_F(EditorRender, WideCharactersKeepTheirWidth) {
  fonts.add(font(3, 0, "Arial", 300));
  document.insertText("WW");
  ids = {3, 3};
  render(false);
  EXPECT_GE(fonts.find(3)->widths['W'], 256);
  EXPECT_EQ(document.widthTables[0][2], fonts.find(3)->widths['W']);
}

TEST_F(EditorRender, KeepsTheCaretInView) {
  std::string lines;
  for (int i = 0; i < 100; ++i) lines += "line " + std::to_string(i) + "\n";
  document.insertText(lines);
  document.setCaret({300, 80});
  document.render(canvas.dc(), view, nullptr, nullptr, true, TEditorStatus::noHighlight);
  EXPECT_GE(79, document.topLineIndex);
  EXPECT_GE(document.lastVisibleLine, 79);
  EXPECT_GT(document.caretHeight, 0);
  EXPECT_GE(document.caretX, 0);
  EXPECT_LT(document.caretX, 400);
  EXPECT_EQ(document.viewWidth(), 400);

  document.caretFromPoint(3, document.caretY + 1);
  EXPECT_EQ(document.getCaret().y, 80);
  document.setTopLine(1, false);
  document.keyDown(VK_NEXT, 0);
  EXPECT_GT(document.topLine(), 5);
}

// A long line is laid out only where the view stands; clicks, the caret
// and the colouring follow what is painted, at its end and past it too.
TEST_F(EditorRender, ALongLineIsLaidOutWhereTheViewStands) {
  std::string text;
  while (text.size() < 20000) text += "abc\tWW ";
  document.lines = {"short", text};
  // Two fonts by turns, three characters each; the line ends of the short
  // line take ids too.
  ids.assign(5 + 2 + text.size() + 2, 0);
  for (size_t i = 0; i < text.size(); ++i) ids[7 + i] = i / 3 % 2 ? 1 : 2;
  document.setLeftPixel(30000);
  document.setCaret({1, 1});
  render(false);
  ASSERT_EQ(document.widthTableColumns.size(), document.widthTables.size());
  EXPECT_EQ(document.widthTableColumns[0], 1);
  const std::vector<int>& row = document.widthTables[1];
  const int first = document.widthTableColumns[1];
  EXPECT_GT(first, 1);
  EXPECT_LE(row[1], document.leftPixel);
  EXPECT_GE(row.back(), document.rightPixel);
  EXPECT_LT(row.size(), 1000u);
  EXPECT_GE(document.widestLine, row.back());

  document.caretFromPoint(100, row[0] / 2 + document.widthTables[0][0]);
  const TTextPoint clicked = document.getCaret();
  EXPECT_EQ(clicked.y, 2);
  const int at = row[1 + clicked.x - first] - document.leftPixel;
  EXPECT_LE(std::abs(at - 100), row[2 + clicked.x - first] - row[1 + clicked.x - first]);
  render(false);
  EXPECT_EQ(document.caretX, at);

  for (const int column : {static_cast<int>(text.size()) + 1, static_cast<int>(text.size()) + 300, 5000, 1}) {
    document.setCaret({column, 2});
    render(true);
    EXPECT_GT(document.caretHeight, 0) << column;
    EXPECT_GE(document.caretX, 0) << column;
    EXPECT_LT(document.caretX, document.viewWidth()) << column;
  }
  EXPECT_EQ(document.leftPixel, 0);
}

}  // namespace
