#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "chart/Axis.h"
#include "chart/PositionReadout.h"
#include "chart/PriceChart.h"
#include "chart/PriceGraph.h"
#include "controls/ResizablePanelContainer.h"
#include "platform/Bitmap.h"
#include "model/PortableIniFile.h"
#include "platform/Form.h"
#include "platform/StdControls.h"
#include "tests/chart/ChartPictures.h"
#include "tests/chart/ChartTestData.h"
#include "tests/support/TestFolders.h"

namespace {

TFormOptions chartForm() {
  TFormOptions options;
  options.caption = "Chart";
  options.clientWidth = 520;
  options.clientHeight = 360;
  return options;
}

// A chart filling a form, over 40 days of candles with volumes.
struct TChartFixture {
  TChartFixture() : form(chartForm()), chart(form.add<TPriceChart>()) {
    chart.setBounds(0, 0, 500, 340);
    TFont font("Arial", 8);
    font.setColor(clBlack);
    chart.setAxesFont(font);
    TPriceGraph& graph = chart.graph();
    graph.setFont(font);
    TPriceSeries& series = *graph.series(graph.addSeries());
    auto prices = std::make_unique<TPrices>();
    for (int i = 0; i < 40; ++i) {
      const long double close = 100 + 15 * std::sin(i / 5.0);
      prices->addRecord(quoteOf(close - 2 + i % 3, close + 3, close - 3, close, 1000 + 50 * (i % 7)), false, 0,
                        day(2024, 3, 1) + i);
    }
    series.takePrices(std::move(prices));
    series.barFields = quoteOpenBit | quoteHighBit | quoteLowBit | quoteCloseBit;
    series.color = 0x800000;
    series.caption = "Sample";
    graph.setHighlighted(0);
    graph.setShowContinuousX(false);
    chart.setBottomXGrid(true);
    chart.setLeftYGrid(true);
    chart.setBottomXAxisDates(true);
    chart.setTopXAxisDates(true);
    graph.rebuildXValues();
    graph.setLoX(graph.firstX());
    graph.setHiX(graph.lastX());
    chart.syncAxes();
  }

  TForm form;
  TPriceChart& chart;
};

// The shown text field inside the chart that holds the keys, once they
// have reached one; none when they do not.
HWND captionEditorWithTheKeys(const TPriceChart& chart) {
  const auto editorHasThem = [&] {
    const HWND focused = GetFocus();
    char name[16] = {};
    GetClassNameA(focused, name, sizeof name);
    return IsChild(chart.handle(), focused) && IsWindowVisible(focused) && lstrcmpiA(name, "Edit") == 0;
  };
  return pumpUntil(editorHasThem) ? GetFocus() : nullptr;
}

}  // namespace

TEST(PriceChart, HiddenAxesKeepOnePixelInsideTheFrame) {
  TChartFixture fixture;
  TPriceChart& chart = fixture.chart;
  const int frameWidth = chart.plotFrame().clientWidth();
  const int frameHeight = chart.plotFrame().clientHeight();
  EXPECT_EQ(chart.topXAxis().top(), 0);
  EXPECT_EQ(chart.bottomXAxis().bounds().bottom, frameHeight);
  EXPECT_EQ(chart.rightYAxis().bounds().right, frameWidth);
  chart.setTopXAxisVisible(false);
  chart.setBottomXAxisVisible(false);
  chart.setLeftYAxisVisible(false);
  chart.setRightYAxisVisible(false);
  EXPECT_EQ(chart.topXAxis().bounds().bottom, 1);
  EXPECT_EQ(chart.bottomXAxis().top(), frameHeight - 1);
  EXPECT_EQ(chart.leftYAxis().bounds().right, 1);
  EXPECT_EQ(chart.rightYAxis().left(), frameWidth - 1);
  // The plot overlaps each Y axis by one column and spans the frame.
  const RECT plot = chart.graph().bounds();
  EXPECT_EQ(plot.left, 0);
  EXPECT_EQ(plot.right, frameWidth);
  EXPECT_EQ(plot.top, 1);
  EXPECT_EQ(plot.bottom, frameHeight - 1);
  // Sizes of 0 or less change nothing.
  chart.setLeftYAxisWidth(0);
  chart.setTopTextHeight(-1);
  EXPECT_EQ(chart.getLeftYAxisWidth(), 39);
  EXPECT_EQ(chart.getTopTextHeight(), 16);

  fixture.form.showModeless();
  pumpFor(200);
  captureClient(fixture.form.handle()).savePng("chart-all-axes-hidden");
  fixture.form.close();
}

TEST(PriceChart, CaptionEditorsFillTheirStripWithoutFrameAndTakeTheAlignment) {
  TChartFixture fixture;
  TPriceChart& chart = fixture.chart;
  fixture.form.showModeless();
  chart.setTopText("Closing prices");
  chart.setTopTextAlign(2);
  chart.editTopText();
  const HWND editor = captionEditorWithTheKeys(chart);
  ASSERT_NE(editor, nullptr);
  const LONG style = GetWindowLongA(editor, GWL_STYLE);
  EXPECT_EQ(style & (ES_CENTER | ES_RIGHT), ES_CENTER);
  EXPECT_FALSE(style & (WS_VSCROLL | WS_HSCROLL | WS_BORDER));
  EXPECT_FALSE(GetWindowLongA(editor, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  RECT client{};
  GetClientRect(editor, &client);
  EXPECT_EQ(client.bottom, chart.getTopTextHeight() - 1);  // the whole strip holds the text
  postChar(editor, '\t');
  char typed[64] = {};
  GetWindowTextA(editor, typed, sizeof typed);
  EXPECT_STREQ(typed, "Closing prices");
  SetWindowTextA(editor, "Weekly closes");
  postChar(editor, '\r');
  EXPECT_EQ(chart.getTopText(), "Weekly closes");
  EXPECT_FALSE(IsWindowVisible(editor));

  chart.setTopTextAlign(1);
  chart.editTopText();
  ASSERT_NE(captionEditorWithTheKeys(chart), nullptr);
  EXPECT_EQ(GetWindowLongA(GetFocus(), GWL_STYLE) & (ES_CENTER | ES_RIGHT), ES_RIGHT);
  char text[64] = {};
  GetWindowTextA(GetFocus(), text, sizeof text);
  EXPECT_STREQ(text, "Weekly closes");
  fixture.form.close();
}

// Esc is pressed as the user does: a key press through the message loop.
TEST(PriceChart, EscInACaptionEditorKeepsTheCaptionAndTheEditor) {
  TTemporaryFolder folder;
  TChartFixture fixture;
  TPriceChart& chart = fixture.chart;
  fixture.form.showModeless();
  chart.setTopText("Closing prices");
  chart.setBottomText("Weekly");
  chart.setBottomTextVisible(true);
  for (const bool top : {true, false}) {
    SCOPED_TRACE(top ? "top" : "bottom");
    const std::string caption = top ? "Closing prices" : "Weekly";
    for (int round = 0; round < 2; ++round) {
      top ? chart.editTopText() : chart.editBottomText();
      const HWND editor = captionEditorWithTheKeys(chart);
      ASSERT_NE(editor, nullptr);
      ASSERT_TRUE(IsWindowVisible(editor));
      char shown[64] = {};
      GetWindowTextA(editor, shown, sizeof shown);
      EXPECT_EQ(shown, caption);
      postChar(editor, 'x');
      postKey(editor, VK_ESCAPE);
      pumpFor(50);
      ASSERT_TRUE(IsWindow(editor));
      EXPECT_FALSE(IsWindowVisible(editor));
      EXPECT_EQ(top ? chart.getTopText() : chart.getBottomText(), caption);
      EXPECT_EQ(top ? chart.getTopTextHeight() : chart.getBottomTextHeight(), 16);
    }
  }
  TPortableIniFile ini(folder.path() + "view.INI");
  ASSERT_EQ(chart.saveLayout(ini), 0);
  EXPECT_EQ(ini.readString("TopText", "Text", ""), "Closing prices");
  EXPECT_EQ(ini.readInteger("TopText", "Height", 0), 16);
  EXPECT_EQ(ini.readString("BottomText", "Text", ""), "Weekly");
  EXPECT_EQ(ini.readInteger("BottomText", "Height", 0), 16);
  fixture.form.close();
}

TEST(PriceChart, LayoutSavedLoadedAndSavedAgainByteForByte) {
  TTemporaryFolder folder;
  TChartFixture fixture;
  TPriceChart& chart = fixture.chart;
  chart.setTopTextVisible(false);
  chart.setBottomText("Closing prices");
  chart.setBottomTextAlign(2);
  chart.setRightYAxisWidth(50);
  chart.setShowPositionCenter(true);
  chart.setGridColor(0x808000);
  chart.setProfileVisible(true);
  chart.setMaxProfileBins(30);
  {
    TPortableIniFile ini(folder.path() + "view.INI");
    ASSERT_EQ(chart.saveLayout(ini), 0);
    ASSERT_TRUE(ini.updateFile());
  }
  const RECT frameBefore = chart.plotFrame().bounds();
  const RECT plotBefore = chart.graph().bounds();

  TChartFixture other;
  {
    TPortableIniFile ini(folder.path() + "view.INI");
    ASSERT_EQ(other.chart.loadLayout(ini), 0);
  }
  EXPECT_EQ(other.chart.getBottomText(), "Closing prices");
  EXPECT_FALSE(other.chart.getTopTextVisible());
  EXPECT_EQ(other.chart.getMaxProfileBins(), 30);
  {
    TPortableIniFile ini(folder.path() + "again.INI");
    ASSERT_EQ(other.chart.saveLayout(ini), 0);
    ASSERT_TRUE(ini.updateFile());
  }
  EXPECT_EQ(readWholeFile(folder.path() + "again.INI"), readWholeFile(folder.path() + "view.INI"));

  // Loading what the chart shows already moves nothing.
  TPortableIniFile ini(folder.path() + "view.INI");
  ASSERT_EQ(chart.loadLayout(ini), 0);
  const RECT frameAfter = chart.plotFrame().bounds();
  EXPECT_TRUE(EqualRect(&frameBefore, &frameAfter));
  const RECT plotAfter = chart.graph().bounds();
  EXPECT_TRUE(EqualRect(&plotBefore, &plotAfter));
}

TEST(PriceChart, TileBoundsInAContainerAndTheBitmapCopy) {
  TTemporaryFolder folder;
  TForm form(chartForm());
  auto& container = form.add<TResizablePanelContainer>();
  container.setBounds(0, 0, 400, 300);
  auto& chart = container.add<TPriceChart>();
  container.setRelativeBounds(&chart, 0.25, 0, 0.75, 0.5);
  {
    TPortableIniFile ini(folder.path() + "tile.INI");
    ASSERT_EQ(chart.saveLayout(ini), 0);
    EXPECT_EQ(ini.readFloat("Tile", "Left", -1), 0.25);
    EXPECT_EQ(ini.readFloat("Tile", "Bottom", -1), 0.5);
    ini.writeFloat("Tile", "Right", 1.0);
    ASSERT_TRUE(ini.updateFile());
  }
  TPortableIniFile ini(folder.path() + "tile.INI");
  ASSERT_EQ(chart.loadLayout(ini), 0);
  EXPECT_EQ(chart.bounds().left, 100);
  EXPECT_EQ(chart.bounds().right, 400);

  TBitmap copy;
  chart.copyToBitmap(copy);
  EXPECT_EQ(copy.width(), chart.clientWidth() - chart.plotFrame().left());
  EXPECT_EQ(copy.height(), chart.clientHeight() - 1);
}

TEST(PriceChart, LegendAndSeriesSwitches) {
  TChartFixture fixture;
  TPriceChart& chart = fixture.chart;
  TPriceGraph& graph = chart.graph();
  graph.addSeries();  // no caption: not in the legend
  const int third = graph.addSeries();
  graph.series(third)->caption = "Third";
  EXPECT_EQ(chart.getLegendCount(), 2);
  bool enabled = false;
  std::string caption;
  EXPECT_EQ(chart.getLegendItem(1, enabled, caption), third);
  EXPECT_EQ(caption, "Third");
  EXPECT_EQ(chart.getLegendItem(-1, enabled, caption), -1);
  EXPECT_EQ(chart.getLegendItem(3, enabled, caption), -1);
  chart.setSeriesEnabled(third, false);
  EXPECT_FALSE(chart.getSeriesEnabled(third));
  EXPECT_FALSE(chart.getSeriesEnabled(9));
  EXPECT_EQ(chart.getSeriesColor(9), graph.bgSeriesColor());
  EXPECT_EQ(chart.getSeriesPointKind(9), 0);
}

TEST(PriceChart, LinkedCrossHairsReadOutAndLink) {
  TChartFixture fixture;
  TPriceChart& chart = fixture.chart;
  TPriceGraph& graph = chart.graph();
  fixture.form.showModeless();
  pumpFor(200);

  // Another chart's move brings this cross-hair to the nearest bar.
  chart.setCrossHair(true);
  EXPECT_EQ(graph.cursor(), emptyCursor);  // the cross-hair stands in for the mouse pointer
  chart.moveCrossHairToX(&graph, day(2024, 3, 11));  // from its own plot: ignored
  const POINT own = graph.crossHair();
  TPriceGraph other(&fixture.form);
  chart.moveCrossHairToX(&other, day(2024, 3, 11) + 0.3);
  const int expected = static_cast<int>(std::nearbyint(10 * graph.plot().xScale())) + 1;
  EXPECT_EQ(graph.crossHair().x, expected);
  EXPECT_NE(graph.crossHair().x, own.x);
  EXPECT_EQ(chart.bottomXAxis().sliderPos(), expected);

  // The read-out under a resting mouse: X and Y texts in the labels.
  chart.setShowPositionCenter(true);
  chart.setShowPositionLeft(true);
  chart.setShowPositionBottom(true);
  POINT at{graph.clientWidth() / 2, graph.clientHeight() / 2};
  ClientToScreen(graph.handle(), &at);
  SetCursorPos(at.x, at.y);
  // The move reaches the plot, which shows the read-out once the mouse has
  // rested for half a second.
  EXPECT_TRUE(pumpUntil([&] { return chart.positionLabel(0).visible(); }, 3000));
  const std::string centre = chart.positionLabel(0).text();
  EXPECT_NE(centre.find(" : "), std::string::npos) << centre;
  EXPECT_TRUE(chart.positionLabel(3).visible());
  EXPECT_EQ(chart.positionLabel(3).text().front(), ' ');
  captureClient(fixture.form.handle()).savePng("chart-cross-hair-and-read-out");
  chart.hidePositionLabels();
  EXPECT_FALSE(chart.positionLabel(0).visible());
  EXPECT_EQ(chart.positionLabel(0).text(), "");

  // Press and release on the link caption open its address; elsewhere not.
  std::vector<std::string> opened;
  chart.openLink = [&opened](const std::string& address) { opened.push_back(address); };
  chart.linkAddress = "https://example.invalid/";
  graph.setLinkCaption("Source");
  graph.repaint();
  chart.graphMouseDown(TMouseButton::left, 0, 3, 3);
  chart.graphMouseUp(TMouseButton::left, 0, 4, 4);
  chart.graphMouseDown(TMouseButton::left, 0, 3, 3);
  chart.graphMouseUp(TMouseButton::left, 0, 300, 200);
  EXPECT_EQ(opened, std::vector<std::string>{"https://example.invalid/"});
  chart.setCrossHair(false);
  EXPECT_EQ(graph.cursor(), IDC_CROSS);
  fixture.form.close();
}

TEST(PositionReadout, MeasureTextWithoutDividingByZero) {
  auto measured = [](long double dx, long double dy, const char* dyText, long double anchor) {
    TMeasureInput input;
    input.continuousX = false;
    input.dx = dx;
    input.dy = dy;
    input.dyAxisText = dyText;
    input.anchorY = anchor;
    input.decimalSeparator = ".";
    input.thousandSeparator = ",";
    return measureText(input);
  };
  EXPECT_EQ(measured(4, 2.5, "2.5", 50), "+4 : +2.5 (5%)\nk = +0.625 (1.25%)");
  EXPECT_EQ(measured(4, -2.5, "-2.5", 50), "+4 : -2.5 (5%)\nk = -0.625 (1.25%)");
  // A press without a move: no slope. An anchor at 0: no percentages.
  EXPECT_EQ(measured(0, -2.5, "-2.5", 0), "+0 : -2.5");
}
