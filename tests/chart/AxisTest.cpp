#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chart/Axis.h"
#include "platform/Canvas.h"
#include "platform/Form.h"
#include "tests/chart/ChartPictures.h"
#include "tests/chart/ChartTestData.h"

namespace {

TFormOptions axisForm() {
  TFormOptions options;
  options.caption = "Axes";
  options.clientWidth = 600;
  options.clientHeight = 400;
  return options;
}

TFont axisFont() {
  TFont font("Arial", 8);
  font.setColor(clBlack);
  return font;
}

bool anyInk(const TBitmap& bitmap, TColor background) {
  const uint32_t paper = rgbOf(background);
  for (int y = 0; y < bitmap.height(); ++y) {
    for (int x = 0; x < bitmap.width(); ++x) {
      if (bitmap.pixel(x, y) != paper) return true;
    }
  }
  return false;
}

}  // namespace

TEST(AxisStrips, DateAxesOverTheRangesThatChangeTheStep) {
  TForm form(axisForm());
  auto& axis = form.add<TXAxis>();
  axis.setBounds(0, 0, 500, 24);
  axis.setFont(axisFont());
  axis.setColor(clWhite);
  axis.setDateLabels(true);
  axis.setDateFormatString("yyyy-mm-dd");
  axis.setTimeFormatString("hh:nn:ss");
  const double start = day(2024, 1, 3) + 0.375;
  const struct {
    const char* name;
    double days;
  } ranges[] = {{"1min", 1.0 / 1440},   {"15min", 1.0 / 96}, {"1h", 1.0 / 24}, {"1d", 1},    {"13d", 13},
                {"14d", 14},            {"55d", 55},        {"364d", 364},    {"365d", 365}, {"3y", 3 * 365.25}};
  for (const auto& range : ranges) {
    axis.setLo(start);
    axis.setHi(start + range.days);
    axis.updateTicks();
    EXPECT_FALSE(axis.tickPositions().empty()) << range.name;
    saveBitmapPicture(axis.bitmap(), std::string("chart-date-axis-") + range.name);
  }
  // With the slider on, a long tick and a label in swapped colours mark the
  // mouse position.
  axis.setShowSlider(true);
  axis.setSliderPos(250);
  axis.updateTicks();
  saveBitmapPicture(axis.bitmap(), "chart-date-axis-slider");
  EXPECT_EQ(axis.bitmap().pixel(250, 3), 0x000000u);
  int dark = 0;
  for (int x = 200; x < 300; ++x) dark += axis.bitmap().pixel(x, 12) == 0x000000u;
  EXPECT_GT(dark, 30);
}

TEST(AxisStrips, LogarithmicAxisOverOneToAThousand) {
  TForm form(axisForm());
  auto& axis = form.add<TYAxis>();
  axis.setBounds(0, 0, 45, 380);
  axis.setFont(axisFont());
  axis.setColor(clWhite);
  axis.setLogarithmic(true);
  axis.setLo(1);
  axis.setHi(1000);
  axis.updateTicks();
  saveBitmapPicture(axis.bitmap(), "chart-log-axis-1-1000");
  ASSERT_FALSE(axis.tickPositions().empty());
  EXPECT_EQ(axis.formatTick(1000), "1000");
  // The long tick of a labelled value reaches 4 pixels left of the base line.
  const int y = axis.tickPositions().back();
  EXPECT_EQ(axis.bitmap().pixel(44 - 4, y), 0x000000u);
  EXPECT_EQ(axis.bitmap().pixel(44, y - 1), 0x000000u);
}

// Paints as a WM_PAINT would, onto any canvas.
class TPaintableYAxis : public TYAxis {
 public:
  using TYAxis::TYAxis;
  using TYAxis::paint;
};

TEST(AxisStrips, NothingReachesTheScreenWhileSuspended) {
  TForm form(axisForm());
  auto& axis = form.add<TPaintableYAxis>();
  axis.setBounds(10, 10, 45, 300);
  axis.setFont(axisFont());
  axis.setColor(clWhite);
  axis.setNoPaint(true);
  axis.setLo(0);
  axis.setHi(100);
  TBitmap screen(45, 300);
  screen.canvas().fillRect({0, 0, 45, 300}, clRed);
  axis.paint(screen.canvas());
  EXPECT_FALSE(anyInk(screen, clRed));
  EXPECT_FALSE(anyInk(axis.bitmap(), clWhite));
  axis.setNoPaint(false);
  axis.paint(screen.canvas());
  EXPECT_TRUE(anyInk(axis.bitmap(), clWhite));
  EXPECT_EQ(screen.pixel(0, 0), 0xFFFFFFu);
}
