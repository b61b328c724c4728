#include <gtest/gtest.h>

#include <vector>

#include "platform/LocaleSettings.h"
#include "sheet/BoundCells.h"
#include "sheet/SheetCanvas.h"
#include "sheet/ValueCells.h"
#include "tests/sheet/SheetTestSupport.h"

namespace {

TCellPtr cellOf(TSheet& sheet, std::uint8_t typeCode, const std::string& text) {
  TCellPtr cell = sheet.cellFactory.newCell(typeCode, &sheet);
  cell->setText(text, 1, 1);
  return cell;
}

}  // namespace

TEST(Cells, NumberDisplayFollowsDecimalsAndTrail) {
  TSheet sheet;
  TCellPtr cell = cellOf(sheet, 1, "3.14159");
  EXPECT_EQ(cell->getText(true), "3.14");
  EXPECT_EQ(cell->getText(false), "3.14159");
  cell->setText("2.5", 1, 1);
  EXPECT_EQ(cell->getText(true), "2.5");
  cell->decimalsFormatting()->fixedDecimals = true;
  EXPECT_EQ(cell->getText(true), "2.50");
  cell->numberFormatting()->trail = " %";
  EXPECT_EQ(cell->getText(true), "2.50 %");
  cell->setText("1234567", 1, 1);
  EXPECT_EQ(cell->getText(true), "1,234,567.00 %");
  sheet.decimalSeparator = ",";
  sheet.thousandSeparator = ".";
  cell->setText("1.234,5", 1, 1);
  EXPECT_EQ(cell->getText(true), "1.234,50 %");
}

TEST(Cells, IntegerEntriesTruncateWithinThirtyTwoBits) {
  TSheet sheet;
  TCellPtr cell = cellOf(sheet, 5, "2.9");
  EXPECT_EQ(static_cast<TCellInteger&>(*cell).value, 2);
  cell->setText(" -2.9 ", 1, 1);
  EXPECT_EQ(static_cast<TCellInteger&>(*cell).value, -2);
  cell->setText("1234567", 1, 1);
  EXPECT_EQ(cell->getText(true), "1,234,567");
  EXPECT_EQ(cell->getText(false), "1234567");
  // Beyond 32 bits the text is no integer: it becomes the formula.
  cell->setText("3000000000", 1, 1);
  EXPECT_EQ(cell->formula(), "3000000000");
  EXPECT_EQ(cell->getText(true), "#N/A");
  cell->setText("abc", 1, 1);
  EXPECT_EQ(cell->formula(), "abc") << "an identifier, evaluated through the sheet";
  EXPECT_EQ(cell->state, errNA);
}

TEST(Cells, TextCellsAndCurrencySymbols) {
  TSheet sheet;
  TCellPtr symbol = cellOf(sheet, 7, "  usd dollar");
  EXPECT_EQ(symbol->getText(true), "USD");
  TCellPtr text = cellOf(sheet, 2, "=\"a\"&\"b\"");
  EXPECT_EQ(text->getText(true), "ab");
  EXPECT_EQ(text->getEditText(), "=\"a\"&\"b\"");
  EXPECT_FALSE(text->setText("=\"a\"&\"b\"", 1, 1)) << "the same formula again";
  EXPECT_TRUE(text->setText("plain", 1, 1));
  EXPECT_FALSE(text->hasFormula());
  EXPECT_FALSE(text->setText("plain", 1, 1));
}

TEST(Cells, AFormulaKeepsItsTextWhetherItCompilesOrNot) {
  TSheet sheet;
  TCellPtr broken = cellOf(sheet, 1, "=(2+ 3");
  EXPECT_EQ(broken->state, errUnclosedBracket);
  EXPECT_EQ(broken->compiledFormula(), nullptr);
  TCellPtr copy = broken->clone();
  EXPECT_EQ(copy->getEditText(), "=(2+ 3");
  EXPECT_EQ(copy->state, errUnclosedBracket);
  EXPECT_TRUE(copy->setText("=(2+ 3)*\"4\"", 1, 1));
  EXPECT_EQ(copy->getEditText(), "=(2+ 3)*\"4\"");
  EXPECT_EQ(copy->getText(true), "20");
  TCellPtr alone = newHeapCell(1, nullptr);
  EXPECT_FALSE(alone->setText("=1+1", 1, 1)) << "nothing compiles a formula without a sheet";
  EXPECT_EQ(alone->getEditText(), "=1+1");
  EXPECT_EQ(alone->state, errNA);
}

TEST(Cells, DatesAreReadInTheCellsOrderWithoutTouchingTheLocale) {
  TSheet sheet;
  sheet.dateFormat = "dd.mm.yyyy";
  std::string systemFormat = localeSettings().shortDateFormat;
  TCellPtr date = cellOf(sheet, 3, "24.12.2023");
  EXPECT_EQ(static_cast<TCellDouble&>(*date).value, 45284.0);
  EXPECT_EQ(date->getText(true), "24.12.2023");
  EXPECT_EQ(localeSettings().shortDateFormat, systemFormat);
  static_cast<TCellDoubleAsDate&>(*date).format = "yyyy-mm-dd";
  date->setText("2024-01-02", 1, 1);
  EXPECT_EQ(date->getText(true), "2024-01-02");
  TCellPtr time = cellOf(sheet, 4, "0.25");
  EXPECT_EQ(time->getText(true), "6:00:00 AM");
}

TEST(Cells, ConditionalFormatsApplyStrictlyBeyondTheThreshold) {
  TSheet sheet;
  TCellPtr cell = cellOf(sheet, 1, "0");
  cell->setConditionalFillColor(0x0000FF);
  cell->setThreshold(true, 0.0);
  std::int32_t fill = 0;
  cell->applyConditionalFormat(nullptr, fill, 0.01);
  EXPECT_EQ(fill, 0x0000FF);
  cell->applyConditionalFormat(nullptr, fill, 0.0);
  EXPECT_EQ(fill, sheet.defaultFillColor);
  cell->setThreshold(false, 0.0);
  cell->applyConditionalFormat(nullptr, fill, -0.01);
  EXPECT_EQ(fill, 0x0000FF);
  cell->applyConditionalFormat(nullptr, fill, 0.0);
  EXPECT_EQ(fill, sheet.defaultFillColor);
  // Dates compare whole days.
  TCellPtr date = cellOf(sheet, 3, "45284.75");
  date->setConditionalFillColor(0x00FF00);
  date->setThreshold(true, 45284.0);
  date->applyConditionalFormat(nullptr, fill, 45284.75);
  EXPECT_EQ(fill, sheet.defaultFillColor);
}

TEST(Cells, FormatsComeFromThePoolAndCopyWithTheCell) {
  TSheet sheet;
  TCellPtr cell = cellOf(sheet, 1, "1");
  TFontProperties bold;
  bold.style = fsBold;
  cell->setFont(&bold);
  cell->setFillColor(0x123456);
  cell->setConditionalFont(nullptr);
  ASSERT_NE(cell->format(), nullptr);
  EXPECT_NE(cell->format()->ownerBlock(), nullptr);
  TCellPtr copy = cell->clone();
  TFontProperties font;
  std::int32_t fill = 0;
  copy->getFontAndFill(&font, fill);
  EXPECT_EQ(font.style, fsBold);
  EXPECT_EQ(fill, 0x123456);
  EXPECT_NE(copy->numberFormatting()->conditionalFormat, nullptr);
  cell->setFont(nullptr);
  cell->getFontAndFill(&font, fill);
  EXPECT_EQ(font, sheet.defaultFont);
  auto conditional = TConditionalFontAndFill::Create(&bold, 1);
  static_cast<TConditionalFontAndFill&>(*conditional).threshold = 5;
  conditional->assign(nullptr);
  EXPECT_EQ(static_cast<TConditionalFontAndFill&>(*conditional).threshold, 0.0);
  EXPECT_EQ(conditional->fillColor, clWindow);
  EXPECT_EQ(conditional->fontName, "MS Sans Serif");
  EXPECT_EQ(conditional->size, 8);
}

TEST(Cells, FactoryMakesEveryTypeCodeAndNothingElse) {
  TSheet sheet;
  EXPECT_EQ(sheet.cellFactory.newCell(0, &sheet), nullptr);
  EXPECT_EQ(sheet.cellFactory.newCell(28, &sheet), nullptr);
  std::vector<TCellPtr> cells;
  for (std::uint8_t code = 1; code <= 27; ++code) {
    cells.push_back(sheet.cellFactory.newCell(code, &sheet));
    ASSERT_NE(cells.back(), nullptr);
    EXPECT_EQ(cells.back()->cellType(), code);
  }
  // A second block, freed again when its cells go (dates and times take
  // slots of their own).
  int perBlock = sheet.cellFactory.slotsPerBlock();
  for (int count = 0; count < perBlock; ++count) cells.push_back(sheet.cellFactory.newCell(1, &sheet));
  EXPECT_EQ(sheet.cellFactory.blockCount(), 2);
  cells.clear();
  EXPECT_EQ(sheet.cellFactory.blockCount(), 1);
}

TEST(Cells, BoundCellsShowNotAvailableWithoutTheirObject) {
  TSheet sheet;
  TCellPtr name = cellOf(sheet, 13, "3");
  EXPECT_EQ(name->getText(true), "#N/A");
  EXPECT_EQ(name->getText(false), "3");
  TValueRecord value;
  value.kind = valueString;
  value.string = "x";
  EXPECT_FALSE(static_cast<TCellObject&>(*name).setPropertyValue(value));
  sheet.showErrorTexts = false;
  EXPECT_EQ(name->getText(true), "");
  sheet.showErrorTexts = true;
  TCellPtr number = cellOf(sheet, 20, "1234");
  EXPECT_EQ(number->getText(true), "1,234");
  EXPECT_FALSE(static_cast<TCellObject&>(*number).setPropertyValue(value));
  EXPECT_EQ(sheet.getCellInteger(1, 1), 0);
  sheet.putCell(1, 1, std::move(number));
  EXPECT_EQ(sheet.getCellInteger(1, 1), 1234) << "a bound cell's value is its id";
}

TEST(Cells, ErrorTextsAreHiddenWhenTheSheetSaysSo) {
  TSheet sheet;
  enter(sheet, 1, 1, "=1/0");
  TCell* cell = sheet.getCell(1, 1);
  ASSERT_EQ(cell->state, errDivZero);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = 80;
  info.bmiHeader.biHeight = -20;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(dc, bitmap);
  auto inkedPixels = [&]() {
    TSheetCanvas canvas(dc);
    canvas.brushColor = 0xFFFFFF;
    canvas.font.color = 0;
    RECT all{0, 0, 80, 20};
    canvas.fillRect(all);
    cell->draw(canvas, all, 0, 80);
    GdiFlush();
    int inked = 0;
    for (int i = 0; i < 80 * 20; ++i) inked += (static_cast<std::uint32_t*>(bits)[i] & 0xFFFFFF) != 0xFFFFFF;
    return inked;
  };
  EXPECT_GT(inkedPixels(), 0);
  sheet.showErrorTexts = false;
  EXPECT_EQ(inkedPixels(), 0);
  SelectObject(dc, previous);
  DeleteObject(bitmap);
  DeleteDC(dc);
}
