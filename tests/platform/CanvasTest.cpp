#include <gtest/gtest.h>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "tests/support/PngWriter.h"
#include "tests/support/TestFolders.h"

TEST(Canvas, AnInvertingPenDrawnTwiceLeavesThePictureAsItWas) {
  TBitmap bitmap(40, 20);
  TCanvas& canvas = bitmap.canvas();
  canvas.fillRect({0, 0, 40, 20}, clWhite);
  canvas.fillRect({0, 0, 20, 20}, clBlue);
  canvas.setPen(clBlack);
  canvas.setPenMode(R2_NOT);
  canvas.line(0, 10, 40, 10);
  EXPECT_EQ(bitmap.pixel(5, 10), 0xFFFF00u);  // blue inverted: yellow
  EXPECT_EQ(bitmap.pixel(30, 10), 0x000000u);
  canvas.line(0, 10, 40, 10);
  EXPECT_EQ(bitmap.pixel(5, 10), 0x0000FFu);
  EXPECT_EQ(bitmap.pixel(30, 10), 0xFFFFFFu);
}

TEST(Canvas, ClippingKeepsDrawingInsideAndClearsAgain) {
  TBitmap bitmap(30, 30);
  TCanvas& canvas = bitmap.canvas();
  canvas.fillRect({0, 0, 30, 30}, clWhite);
  canvas.setClipRect({10, 10, 20, 20});
  canvas.fillRect({0, 0, 30, 30}, clRed);
  EXPECT_EQ(bitmap.pixel(5, 5), 0xFFFFFFu);
  EXPECT_EQ(bitmap.pixel(15, 15), 0xFF0000u);
  canvas.clearClip();
  canvas.setBrush(clGreen);
  canvas.setPen(clNone);
  canvas.rectangle({0, 0, 31, 31});
  EXPECT_EQ(bitmap.pixel(5, 5), 0x008000u);
}

TEST(Canvas, TextWithAdvancesPlacesEveryCharacterWhereItIsTold) {
  TBitmap bitmap(200, 30);
  TCanvas& canvas = bitmap.canvas();
  canvas.fillRect({0, 0, 200, 30}, clWhite);
  TFont font("Arial", 12);
  font.setColor(clBlack);
  canvas.setFont(font);
  canvas.setBrush(clWhite, TBrushStyle::clear);
  // Two characters 150 pixels apart: ink near 0 and near 150, none between.
  canvas.textOutDx(2, 2, "II", {150, 10});
  auto inkIn = [&](int from, int to) {
    for (int y = 0; y < 30; ++y)
      for (int x = from; x < to; ++x)
        if (bitmap.pixel(x, y) != 0xFFFFFFu) return true;
    return false;
  };
  EXPECT_TRUE(inkIn(0, 20));
  EXPECT_FALSE(inkIn(40, 140));
  EXPECT_TRUE(inkIn(150, 175));
  // Too few advances: drawn without them rather than read past the array.
  canvas.textOutDx(2, 2, "III", {1});
}

TEST(Canvas, BitmapsRoundTripThroughBmpFilesAndStretch) {
  TTemporaryFolder folder;
  TBitmap bitmap(3, 2);
  bitmap.scanLine(0)[0] = 0x123456;
  bitmap.scanLine(1)[2] = 0xABCDEF;
  ASSERT_TRUE(bitmap.saveToFile(folder.path() + "picture.bmp"));
  TBitmap loaded;
  ASSERT_TRUE(loaded.loadFromFile(folder.path() + "picture.bmp"));
  ASSERT_EQ(loaded.width(), 3);
  ASSERT_EQ(loaded.height(), 2);
  EXPECT_EQ(loaded.pixel(0, 0), 0x123456u);
  EXPECT_EQ(loaded.pixel(2, 1), 0xABCDEFu);
  EXPECT_FALSE(loaded.loadFromFile(folder.path() + "missing.bmp"));
  EXPECT_TRUE(loaded.empty());
  EXPECT_FALSE(bitmap.saveToFile(folder.path() + "no folder\\picture.bmp"));

  TBitmap big(30, 20);
  big.canvas().stretchDraw({0, 0, 30, 20}, bitmap);
  EXPECT_EQ(big.pixel(2, 2), 0x123456u);
  EXPECT_EQ(big.pixel(28, 18), 0xABCDEFu);
}

TEST(Canvas, PngFilesHaveValidChunks) {
  const std::string png = encodePng(2, 1, {0xFF0000, 0x00FF00});
  EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  // The IEND chunk's CRC is a fixed, well-known value.
  EXPECT_EQ(png.substr(png.size() - 12), std::string("\0\0\0\0IEND\xAE\x42\x60\x82", 12));
}

TEST(Canvas, PicturesBuiltInThroughResourcesLoad) {
  TBitmap picture;
  ASSERT_TRUE(picture.loadFromResource("TESTPICTURE"));
  EXPECT_EQ(picture.width(), 2);
  EXPECT_EQ(picture.pixel(0, 0), 0xFF0000u);
  EXPECT_EQ(picture.pixel(1, 1), 0x00FF00u);
  EXPECT_FALSE(picture.loadFromResource("NOSUCHPICTURE"));
}
