#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

#include "chart/PriceGraph.h"
#include "chart/SheetGraph.h"
#include "chart/SliderForm.h"
#include "chart/SliderScale.h"
#include "chart/SliderScrolling.h"
#include "chart/SourceTable.h"
#include "platform/ComCtrls.h"
#include "platform/Form.h"
#include "platform/LocaleSettings.h"
#include "platform/StdControls.h"
#include "tests/support/WindowTestSupport.h"

TEST(SliderScale, PositionsAndValuesMapOntoTheGrid) {
  TSliderScale whole(3, 0, 10, 11);
  EXPECT_EQ(whole.trackMaximum(), 11);
  EXPECT_EQ(whole.valueAt(11), 10);
  EXPECT_EQ(whole.valueAt(0), 0);
  for (int position = 0; position <= 11; ++position) {
    EXPECT_EQ(whole.valueAt(position), std::round(whole.valueAt(position))) << position;
  }
  EXPECT_EQ(whole.positionOf(10), 11);
  EXPECT_EQ(whole.decimals, 0);

  EXPECT_EQ(TSliderScale(0, 0, 1, 5000).trackMaximum(), 1000);
  TSliderScale quarters(0, 0, 1, 5);
  EXPECT_EQ(quarters.decimals, 2);
  localeSettings().decimalSeparator = '.';
  EXPECT_EQ(quarters.format(0.25L), "0.25");
  EXPECT_EQ(quarters.read(quarters.format(0.25L)), 0.25L);
  EXPECT_EQ(TSliderScale::countDecimals(10, 0.1L, 0.05L), 2);
  EXPECT_EQ(TSliderScale::countDecimals(10, 1.0L / 3, 1), 10);
  EXPECT_EQ(quarters.read("15"), 1);
  EXPECT_EQ(quarters.read("abc"), 0);

  // Read as every number the user types: a thousands separator only between
  // groups of three, so "1.000" under German settings is a thousand, not 1,
  // and "0.5" is no number at all.
  const TLocaleSettings saved = localeSettings();
  localeSettings().decimalSeparator = ',';
  localeSettings().thousandSeparator = '.';
  TSliderScale thousands(0, 0, 5000, 5001);
  EXPECT_EQ(thousands.read("1.000"), 1000);
  EXPECT_EQ(thousands.read("2,5"), 2.5L);
  EXPECT_EQ(thousands.read("0.5"), 0);
  localeSettings() = saved;
}


TEST(SliderForm, CommitsGoToTheTableAndNotifyOnceAfterTheLast) {
  TSourceTable table(TSource::create);
  table.insertSource(0);
  TSource& source = *table.getSource(0);
  source.Caption = "Wave";
  source.insertParameter(0, "P", "Amplitude", "How high", 2, 0, 10, 11, false);
  source.insertParameter(1, "Q", "", "", 1, 0, 1, 1, false);  // one step: no slider
  table.insertSource(1);
  table.getSource(1)->insertParameter(0, "R", "", "", 1, 0, 5, 6, false);  // no title: no group

  TSliderForm form;
  int notifications = 0;
  ASSERT_TRUE(form.buildSliders(&table, "Graph sliders", [&](TSliderForm*) { ++notifications; }, POINT{300, 300}));
  form.showModeless();
  ASSERT_EQ(form.sliderCount(), 1);
  EXPECT_EQ(form.groupCount(), 1);
  EXPECT_EQ(form.text(), "Graph sliders");
  const TSliderForm::TSlider& slider = form.slider(0);
  EXPECT_EQ(slider.edit->text(), "2");
  EXPECT_EQ(slider.trackBar->position(), 2);

  const auto start = std::chrono::steady_clock::now();
  // Text put into the box from outside shows the value it commits at once.
  slider.trackBar->setFocus();
  slider.edit->setText("15");
  EXPECT_EQ(slider.edit->text(), "10");
  EXPECT_EQ(source.parameter(0)->Value, 10);
  slider.edit->setText("4");
  slider.upDown->onClick(true);
  EXPECT_EQ(source.parameter(0)->Value, 5);
  EXPECT_EQ(slider.trackBar->position(), 6);
  EXPECT_TRUE(form.modified());
  pumpFor(1500);
  EXPECT_EQ(notifications, 0);
  ASSERT_TRUE(pumpUntil([&] { return notifications > 0; }, 3000));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1900));
  pumpFor(300);
  EXPECT_EQ(notifications, 1);

  TSourceTable empty(TSource::create);
  EXPECT_FALSE(form.buildSliders(&empty, "none", nullptr, POINT{0, 0}));
}

TEST(SliderForm, TypedNumbersArriveAsTypedAndTheBoxShowsThemWhenLeft) {
  localeSettings().decimalSeparator = '.';
  TSourceTable table(TSource::create);
  table.insertSource(0);
  TSource& source = *table.getSource(0);
  source.Caption = "Average";
  source.insertParameter(0, "P", "Period", "", 30, 5, 60, 12, false);
  source.insertParameter(1, "F", "Fraction", "", 0.5L, 0, 1, 5, false);
  TSliderForm form;
  ASSERT_TRUE(form.buildSliders(&table, "Sliders", nullptr, POINT{300, 300}));
  form.showModeless();
  SetForegroundWindow(form.handle());
  auto type = [&](const TSliderForm::TSlider& slider, const std::string& text) {
    slider.edit->setFocus();
    slider.edit->selectAll();
    for (char c : text) SendMessageA(slider.edit->handle(), WM_CHAR, static_cast<unsigned char>(c), 1);
  };
  const TSliderForm::TSlider& period = form.slider(0);
  type(period, "25");
  ASSERT_TRUE(period.edit->focused());
  EXPECT_EQ(period.edit->text(), "25");
  EXPECT_EQ(source.parameter(0)->Value, 25);
  const TSliderForm::TSlider& fraction = form.slider(1);
  type(fraction, "0.25");
  EXPECT_EQ(source.parameter(1)->Value, 0.25L);
  type(fraction, "3");
  EXPECT_EQ(source.parameter(1)->Value, 1);
  // Leaving the box shows the value committed, in the slider's decimals.
  period.edit->setFocus();
  EXPECT_EQ(fraction.edit->text(), "1.00");
  EXPECT_EQ(source.parameter(1)->Value, 1);

  // A value set from elsewhere keeps the caret where the user left it.
  period.edit->setSelection(1, 1);
  period.upDown->onClick(true);
  EXPECT_EQ(period.edit->text(), "30");
  EXPECT_EQ(period.edit->selection(), std::make_pair(1, 1));
}

TEST(SliderForm, GraphWithSlidersOpen) {
  TFormOptions options;
  options.caption = "Sheet graph";
  options.clientWidth = 520;
  options.clientHeight = 360;
  TForm host(options);
  TSheetGraph& graph = host.add<TSheetGraph>();
  graph.setBounds(0, 0, 520, 360);
  const char* closes[] = {"SIN(X*F)*P", "COS(X)*P+O", "SIN(2*X)*P"};
  for (int i = 0; i < 3; ++i) {
    graph.sourceTable().insertSource(i);
    TSource& source = *graph.sourceTable().getSource(i);
    source.Close = closes[i];
    source.Caption = std::string("Line ") + std::to_string(i + 1);
    source.Color = i == 0 ? 0x0000C0 : i == 1 ? 0x008000 : 0xC00000;
    source.LineWidth = 2;
    source.insertParameter(0, "P", "Amplitude", "", 1 + i, 0, 5, 21, false);
    source.insertParameter(1, i == 0 ? "F" : "O", i == 0 ? "Frequency" : "Offset", "", i == 0 ? 1.5L : 0, 0, 3, 13,
                           false);
  }
  graph.setXFormulas("0", "2*PI", "201", false);
  host.show();
  graph.rebuild();
  ASSERT_TRUE(pumpUntil([&] { return !graph.computing() && !graph.stale(); }, 5000));

  TSliderForm sliders;
  ASSERT_TRUE(sliders.buildSliders(&graph.sourceTable(), "Graph sliders", [&](TSliderForm*) { graph.rebuild(); },
                                   POINT{700, 200}));
  sliders.showModeless();
  sliders.slider(0).trackBar->setPosition(14);
  sliders.slider(0).trackBar->onChange();
  sliders.close();  // fires the pending notification at once
  ASSERT_TRUE(pumpUntil([&] { return !graph.computing() && !graph.stale(); }, 5000));
  EXPECT_EQ(graph.sourceTable().getSource(0)->parameter(0)->Value, 3.25L);
  sliders.showModeless();
  pumpFor(200);
  captureClient(host.handle()).savePng("SheetGraph-with-sliders-graph");
  captureWindow(sliders.handle()).savePng("SheetGraph-with-sliders-window");
}

TEST(SliderScrolling, ShowsASpanWithTheLeastMove) {
  TSliderScrolling scrolling;
  scrolling.setExtent(500, 200);
  EXPECT_TRUE(scrolling.needed());
  scrolling.show(400, 450);
  EXPECT_EQ(scrolling.position(), 250);
  scrolling.show(300, 350);  // already shown
  EXPECT_EQ(scrolling.position(), 250);
  scrolling.show(100, 150);
  EXPECT_EQ(scrolling.position(), 100);
  scrolling.setPosition(1000);
  EXPECT_EQ(scrolling.position(), 300);
  scrolling.setExtent(500, 600);  // the window grew: nothing to scroll
  EXPECT_EQ(scrolling.position(), 0);
  EXPECT_FALSE(scrolling.needed());
}

TEST(SliderForm, TrackBarsWithoutTicksBeforeTheirEditsAndTheWindowScrollsToTheSliderInUse) {
  TSourceTable table(TSource::create);
  table.insertSource(0);
  TSource& source = *table.getSource(0);
  source.Caption = "Many";
  for (int i = 0; i < 12; ++i) {
    std::string symbol(1, 'P');
    symbol += std::to_string(i);
    source.insertParameter(i, symbol, "", "", 1, 0, 10, 11, false);
  }

  TSliderForm form;
  ASSERT_TRUE(form.buildSliders(&table, "Sliders", nullptr, POINT{300, 300}));
  form.showModeless();
  ASSERT_EQ(form.sliderCount(), 12);

  const TSliderForm::TSlider& first = form.slider(0);
  const LONG style = GetWindowLongA(first.trackBar->handle(), GWL_STYLE);
  EXPECT_TRUE(style & TBS_NOTICKS);
  EXPECT_TRUE(style & TBS_BOTH);
  HDC screen = GetDC(nullptr);
  const int pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(SendMessageA(first.trackBar->handle(), TBM_GETTHUMBLENGTH, 0, 0), MulDiv(16, pixelsPerInch, 96));
  EXPECT_EQ(GetNextDlgTabItem(first.panel->handle(), first.trackBar->handle(), FALSE), first.edit->handle());

  // The window is never made taller than its groups.
  MINMAXINFO limits{};
  SendMessageA(form.handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  EXPECT_EQ(limits.ptMaxTrackSize.y, form.height());

  // Made shorter, it scrolls to the slider that takes the focus.
  form.setSize(form.width(), 160);
  EXPECT_TRUE(pumpUntil([&] { return form.scrolling().needed(); }));
  auto shownWhole = [&](int index) {
    RECT row = form.slider(index).panel->bounds();
    MapWindowPoints(form.slider(index).panel->parent()->handle(), form.handle(), reinterpret_cast<POINT*>(&row), 2);
    return row.top >= 0 && row.bottom <= form.clientHeight();
  };
  EXPECT_FALSE(shownWhole(11));
  form.slider(11).edit->setFocus();
  EXPECT_TRUE(pumpUntil([&] { return shownWhole(11); }));
  form.slider(0).trackBar->setFocus();
  EXPECT_TRUE(pumpUntil([&] { return shownWhole(0); }));
  SendMessageA(form.handle(), WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(form.scrolling().position(), form.scrolling().maximumPosition());
  EXPECT_TRUE(shownWhole(11));
  SendMessageA(form.handle(), WM_VSCROLL, SB_PAGEUP, 0);
  EXPECT_EQ(form.scrolling().position(), form.scrolling().maximumPosition() - form.clientHeight());
  // Grown back, every group is at its place again.
  form.slider(11).edit->setFocus();
  form.setSize(form.width(), form.height() + 2000);
  EXPECT_TRUE(pumpUntil([&] { return !form.scrolling().needed(); }));
  EXPECT_EQ(form.group(0).top(), MulDiv(2, pixelsPerInch, 96));
  form.close();
}
