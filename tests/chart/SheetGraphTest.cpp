#include <gtest/gtest.h>

#include <string>

#include "chart/PriceGraph.h"
#include "chart/Series.h"
#include "chart/SheetGraph.h"
#include "chart/SheetGraphSettings.h"
#include "chart/SourceTable.h"
#include "model/PortableIniFile.h"
#include "model/UnreadableFiles.h"
#include "platform/FileSystem.h"
#include "model/Prices.h"
#include "platform/Form.h"
#include "platform/StdControls.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestSupport.h"

namespace {

TFormOptions graphForm() {
  TFormOptions options;
  options.caption = "Sheet graph";
  options.clientWidth = 520;
  options.clientHeight = 360;
  return options;
}

// A sheet graph of three formula lines in a form, computed once.
struct TGraphFixture {
  TGraphFixture() : form(graphForm()), graph(form.add<TSheetGraph>()) {
    graph.setBounds(0, 0, 500, 340);
    TSourceTable& table = graph.sourceTable();
    const char* closes[] = {"SIN(X)*P", "COS(X)*P", "SIN(2*X)"};
    const int colors[] = {0x800000, 0x008000, 0x000080};
    for (int i = 0; i < 3; ++i) {
      table.insertSource(i);
      TSource& source = *table.getSource(i);
      source.Close = closes[i];
      source.Color = colors[i];
      source.Caption = std::string("Line ") + std::to_string(i + 1);
      source.Identifier = std::string("L") + std::to_string(i + 1);
      source.insertParameter(0, "P", "Amplitude", "", 2, 0, 5, 11, false);
    }
    graph.setXFormulas("0", "2*PI", "101", false);
    form.show();
  }
  bool computed() {
    return pumpUntil([&] { return !graph.computing() && graph.graph().seriesCount() == 3 && !graph.stale(); },
                     5000);
  }
  int points(int line) { return graph.graph().series(line)->prices()->count(); }

  TForm form;
  TSheetGraph& graph;
};

}  // namespace

TEST(SheetGraph, ComputesItsLinesAndShowsThem) {
  TGraphFixture fixture;
  fixture.graph.rebuild();
  ASSERT_TRUE(fixture.computed());
  EXPECT_EQ(fixture.points(0), 101);
  EXPECT_DOUBLE_EQ(fixture.graph.graph().loX(), 0);
  EXPECT_NEAR(fixture.graph.graph().hiX(), 6.283185307179586, 1e-12);
  captureClient(fixture.form.handle()).savePng("SheetGraph-three-lines");

  // A log scale that no formula reads is applied at once.
  fixture.graph.setLogarithmic(true);
  EXPECT_FALSE(fixture.graph.computing());
  EXPECT_TRUE(fixture.graph.getLogarithmic());
}

TEST(SheetGraph, OneStepIsOnePointAndNothingRunsAgain) {
  TGraphFixture fixture;
  fixture.graph.setXFormulas("0", "10", "1", false);
  fixture.graph.rebuild();
  ASSERT_TRUE(fixture.computed());
  EXPECT_EQ(fixture.points(0), 1);
  pumpFor(3000);
  EXPECT_EQ(fixture.graph.computationCount(), 1);
  EXPECT_EQ(fixture.points(0), 1);
}

TEST(SheetGraph, SelectionChangesDuringRunsKeepTheSeriesCount) {
  TGraphFixture fixture;
  fixture.graph.setXFormulas("0", "2*PI", "20000", false);
  fixture.graph.rebuild();
  for (int i = 0; i < 200; ++i) {
    fixture.graph.refreshSelection();
    if (i % 20 == 0) pumpFor(20);
    ASSERT_LE(fixture.graph.heldSeriesCount(), 3);
  }
  // Stopping before a change of data waits for the run's end.
  fixture.graph.invalidateCompute(false);
  fixture.graph.invalidateCompute(true);
  ASSERT_TRUE(pumpUntil([&] { return !fixture.graph.computing() && !fixture.graph.stale(); }, 20000));
  EXPECT_EQ(fixture.graph.heldSeriesCount(), 3);
  EXPECT_EQ(fixture.points(2), 20000);
}

TEST(SheetGraph, ViewFileKeepsFormulasCaptionsAndSources) {
  TTemporaryFolder folder;
  const std::string fileName = folder.path() + "Graph.ini";
  {
    TGraphFixture fixture;
    EXPECT_EQ(fixture.graph.loadFromFile(fileName, ',', ';'), -2);
    fixture.graph.setXFormulas("0,5", "MAX(1; 2)", "11", false);
    fixture.graph.setLogarithmic(true);
    ASSERT_EQ(fixture.graph.saveToFile(',', ';'), 0);
  }
  {
    TPortableIniFile ini(fileName);
    EXPECT_EQ(ini.readString("FromX", "Formula", ""), "0.5");
    EXPECT_EQ(ini.readString("ToX", "Formula", ""), "MAX(1; 2)");
    EXPECT_TRUE(ini.readBool("Graph", "Logarithmic", false));
    EXPECT_EQ(ini.readInteger("Sources", "Count", 0), 3);
  }
  TForm form(graphForm());
  TSheetGraph& graph = form.add<TSheetGraph>();
  ASSERT_EQ(graph.loadFromFile(fileName, '.', ','), 0);
  EXPECT_EQ(graph.pendingSettings().fromXFormula, "0.5");
  EXPECT_EQ(graph.pendingSettings().toXFormula, "MAX(1, 2)");
  EXPECT_TRUE(graph.pendingSettings().logarithmic);
  EXPECT_EQ(graph.sourceTable().count(), 3);

  // Quotes around a whole formula and blanks at its ends stay.
  graph.setXFormulas(" 0.5", "\"2\"", "11 ", false);
  ASSERT_EQ(graph.saveToFile('.', ','), 0);
  TSheetGraph& again = form.add<TSheetGraph>();
  ASSERT_EQ(again.loadFromFile(fileName, '.', ','), 0);
  EXPECT_EQ(again.pendingSettings().fromXFormula, " 0.5");
  EXPECT_EQ(again.pendingSettings().toXFormula, "\"2\"");
  EXPECT_EQ(again.pendingSettings().stepsFormula, "11 ");
}

// The sample's graph and the template new graphs start from: the title is
// the graph's own top text, shown once built and kept by the next save, also
// by one made while the graph computes and its captions show nothing.
TEST(SheetGraph, TheSampleGraphsShowTheirTitleAndKeepIt) {
  const std::string title = "Savings plan: end value over the yearly rate";
  for (const char* view : {"DATA\\FOLIOS\\Graphs\\Folio_0.INI", "DATA\\GraphTemplate.INI"}) {
    SCOPED_TRACE(view);
    TTemporaryFolder folder;
    const std::string fileName = folder.path() + "Graph.INI";
    ASSERT_TRUE(CopyFileA((sampleDataFolder() + view).c_str(), fileName.c_str(), FALSE));
    TForm form(graphForm());
    TSheetGraph& graph = form.add<TSheetGraph>();
    graph.setBounds(0, 0, 500, 340);
    form.show();
    ASSERT_EQ(graph.loadFromFile(fileName, '.', ','), 0);
    graph.rebuild();
    ASSERT_EQ(graph.getTopText(), "");
    ASSERT_EQ(graph.saveToFile('.', ','), 0);
    EXPECT_EQ(TPortableIniFile(fileName).readString("TopText", "Text", ""), title);
    ASSERT_TRUE(pumpUntil([&] { return !graph.computing() && graph.graph().seriesCount() == 1 && !graph.stale(); },
                          5000));
    EXPECT_EQ(graph.getTopText(), title);
    ASSERT_EQ(graph.saveToFile('.', ','), 0);
    TPortableIniFile ini(fileName);
    EXPECT_EQ(ini.readString("TopText", "Formula", ""), title);
    EXPECT_EQ(ini.readString("TopText", "Text", ""), title);
  }
}

TEST(SheetGraph, ChartShowsANarrowerDateRangeWithoutComputing) {
  TForm form(graphForm());
  TSheetChart& chart = form.add<TSheetChart>();
  chart.setBounds(0, 0, 500, 340);
  chart.sourceTable().insertSource(0);
  TSource& source = *chart.sourceTable().getSource(0);
  source.Close.assign(1, 'X');
  source.Index = true;
  form.show();
  chart.setDateRange(45000, 45009, false);
  chart.rebuild();
  ASSERT_TRUE(pumpUntil([&] { return !chart.computing() && !chart.stale(); }, 5000));
  EXPECT_EQ(chart.computationCount(), 1);

  chart.setDateRange(45002, 45006, true);
  EXPECT_EQ(chart.computationCount(), 1);
  EXPECT_DOUBLE_EQ(chart.graph().loX(), 45002);
  EXPECT_DOUBLE_EQ(chart.graph().hiX(), 45006);
  TPrices& prices = *chart.graph().series(0)->prices();
  double date = 0;
  TQuoteRecord quote;
  prices.getRecordBySortedIndex(2, date, quote);
  EXPECT_NEAR(static_cast<double>(chart.graph().series(0)->fieldValue(quoteFieldClose, quote)), 100, 1e-9);

  chart.setDateRange(44999, 45006, true);  // before the computed data
  EXPECT_EQ(chart.computationCount(), 2);
}

// Every computation shows the hourglass and hides the cross-hair; once it
// ends, the cross-hair follows the mouse again, in a graph as it was and in
// one loaded from its view file with the cross-hair on.
TEST(SheetGraph, CrossHairFollowsTheMouseAfterEveryComputation) {
  TTemporaryFolder folder;
  const std::string fileName = folder.path() + "Graph.ini";
  auto movesWithTheMouse = [](TSheetGraph& graph, int x, int y) {
    sendMouse(graph.graph().handle(), WM_MOUSEMOVE, x, y);
    pumpFor(50);
    const POINT at = graph.graph().crossHair();
    return at.x == x && at.y == y && graph.graph().cursor() == emptyCursor;
  };
  {
    TGraphFixture fixture;
    TSheetGraph& graph = fixture.graph;
    ASSERT_EQ(graph.loadFromFile(fileName, '.', ','), -2);  // names the file to save
    graph.setCrossHair(true);
    graph.rebuild();
    ASSERT_TRUE(fixture.computed());
    EXPECT_TRUE(movesWithTheMouse(graph, 100, 80));

    // A changed range computes again; meanwhile the cross-hair rests hidden
    // and comes back where the mouse went.
    graph.setXFormulas("0", "PI", "51", true);
    ASSERT_TRUE(graph.computing());
    EXPECT_EQ(graph.graph().cursor(), IDC_WAIT);
    sendMouse(graph.graph().handle(), WM_MOUSEMOVE, 120, 90);
    EXPECT_EQ(graph.graph().crossHair().x, -1);
    ASSERT_TRUE(pumpUntil([&] { return !graph.computing() && fixture.points(0) == 51; }, 5000));
    EXPECT_TRUE(pumpUntil([&] { return graph.graph().crossHair().x == 120; }, 3000));
    EXPECT_TRUE(movesWithTheMouse(graph, 60, 40));

    graph.rebuild();
    ASSERT_TRUE(graph.computing());
    ASSERT_TRUE(fixture.computed());
    EXPECT_TRUE(movesWithTheMouse(graph, 200, 150));
    ASSERT_EQ(graph.saveToFile('.', ','), 0);
  }
  TForm form(graphForm());
  TSheetGraph& graph = form.add<TSheetGraph>();
  graph.setBounds(0, 0, 500, 340);
  form.show();
  ASSERT_EQ(graph.loadFromFile(fileName, '.', ','), 0);
  EXPECT_TRUE(graph.getCrossHair());
  graph.rebuild();
  ASSERT_TRUE(pumpUntil([&] { return !graph.computing() && !graph.stale(); }, 5000));
  EXPECT_TRUE(movesWithTheMouse(graph, 150, 100));
  EXPECT_TRUE(movesWithTheMouse(graph, 30, 20));

  // Off, the plot shows the cross cursor again, computing or not.
  graph.setCrossHair(false);
  EXPECT_EQ(graph.graph().crossHair().x, -1);
  graph.rebuild();
  ASSERT_TRUE(pumpUntil([&] { return !graph.computing() && !graph.stale(); }, 5000));
  EXPECT_EQ(graph.graph().cursor(), IDC_CROSS);
  sendMouse(graph.graph().handle(), WM_MOUSEMOVE, 70, 70);
  EXPECT_EQ(graph.graph().crossHair().x, -1);
}

namespace {

// The caption editing of a sheet graph, reached as the chart's editor does.
class TCaptionGraph : public TSheetGraph {
 public:
  using TSheetGraph::TSheetGraph;
  using TSheetGraph::topTextEditDblClick;
  using TSheetGraph::topTextEditKeyPress;
  using TPriceChart::topTextEditor;
};

}  // namespace

TEST(SheetGraph, PlainCaptionsShowAtOnceAndFormulaCaptionsAfterComputing) {
  TForm form(graphForm());
  TCaptionGraph& graph = form.add<TCaptionGraph>();
  graph.setBounds(0, 0, 500, 340);
  graph.sourceTable().insertSource(0);
  graph.sourceTable().getSource(0)->Close = "X*X";
  graph.setXFormulas("0", "1", "11", false);
  form.show();
  graph.rebuild();
  ASSERT_TRUE(pumpUntil([&] { return !graph.computing() && !graph.stale(); }, 5000));
  const int computations = graph.computationCount();

  graph.editTopText();
  graph.topTextEditor().setText("Squares");
  char enter = 13;
  graph.topTextEditKeyPress(enter);
  EXPECT_EQ(enter, 0);
  EXPECT_EQ(graph.getTopText(), "Squares");
  EXPECT_EQ(graph.computationCount(), computations);

  // Esc pressed as the user does keeps the caption and the editor.
  graph.editTopText();
  postChar(graph.topTextEditor().handle(), 'x');
  postKey(graph.topTextEditor().handle(), VK_ESCAPE);
  pumpFor(50);
  EXPECT_EQ(graph.getTopText(), "Squares");
  EXPECT_FALSE(graph.topTextEditor().visible());
  EXPECT_EQ(graph.getTopTextHeight(), 16);
  EXPECT_EQ(graph.computationCount(), computations);

  graph.editTopText();
  EXPECT_TRUE(graph.topTextEditor().visible());
  EXPECT_EQ(graph.topTextEditor().text(), "Squares");
  graph.topTextEditor().setText("=\"Points: \" & NXS");
  graph.topTextEditDblClick();
  EXPECT_EQ(graph.computationCount(), computations + 1);
  ASSERT_TRUE(pumpUntil([&] { return !graph.computing() && graph.getTopText() == "Points: 11"; }, 5000))
      << graph.getTopText();
}

// Both kinds of view: a source that draws nothing else shows its closes as
// dots when its step line is off, so that the values and their axis stay.
TEST(SheetGraph, AGraphWithoutItsStepLineStillShowsItsValues) {
  TGraphFixture fixture;
  TSourceTable& table = fixture.graph.sourceTable();
  table.deleteSource(2);
  table.deleteSource(1);
  table.getSource(0)->StepLineClose = false;
  fixture.graph.rebuild();
  ASSERT_TRUE(pumpUntil([&] { return !fixture.graph.computing() && fixture.graph.graph().seriesCount() == 1; }, 5000));
  pumpFor(200);
  const TScreenImage image = captureClient(fixture.graph.graph().handle());
  int shown = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixelIs(x, y, 0x800000)) ++shown;
  EXPECT_GT(shown, 100);
  EXPECT_EQ(table.getSource(0)->PointKind, 0);  // what the source stores stays
}

TEST(SheetGraph, AChartWithoutStepLineOrBarsStillShowsItsCloses) {
  TForm form(graphForm());
  TSheetChart& chart = form.add<TSheetChart>();
  chart.setBounds(0, 0, 500, 340);
  chart.sourceTable().insertSource(0);
  auto& source = dynamic_cast<TChartSource&>(*chart.sourceTable().getSource(0));
  source.Close = "X";
  source.Color = 0x800000;
  source.StepLineClose = false;
  form.show();
  chart.setDateRange(45000, 45049, false);
  chart.rebuild();
  ASSERT_TRUE(pumpUntil([&] { return !chart.computing() && !chart.stale() && chart.graph().seriesCount() == 1; }, 5000));
  pumpFor(200);
  const TScreenImage image = captureClient(chart.graph().handle());
  int shown = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixelIs(x, y, 0x800000)) ++shown;
  EXPECT_GE(shown, 50);
  EXPECT_EQ(source.PointKind, 0);

  // A source that shows its closes as bars gets no dots beside them.
  source.ohlcClose = true;
  chart.rebuild();
  ASSERT_TRUE(pumpUntil([&] { return !chart.computing() && !chart.stale() && chart.graph().seriesCount() == 1; }, 5000));
  EXPECT_EQ(chart.graph().series(0)->closeMarker, 0);
}

// A view file held by another program while the view loads shows an empty
// view; saving it leaves the file as it is, held or let go, and a change
// the user makes afterwards is all that is written into it. A view file
// nobody changed is not written at all, so a read-only one saves without
// failing.
TEST(SheetGraph, AViewFileIsWrittenOnlyWithWhatTheUserChanged) {
  for (const char* view : {"DATA\\FOLIOS\\Charts\\Folio_0.INI", "DATA\\FOLIOS\\Graphs\\Folio_0.INI"}) {
    SCOPED_TRACE(view);
    const bool chart = std::string(view).find("Charts") != std::string::npos;
    TTemporaryFolder folder;
    const std::string fileName = folder.path() + "View.INI";
    ASSERT_TRUE(CopyFileA((sampleDataFolder() + view).c_str(), fileName.c_str(), FALSE));
    const std::string text = readWholeFile(fileName);
    const int sources = TPortableIniFile(fileName).readInteger("Sources", "Count", 0);
    ASSERT_GT(sources, 0);
    TForm form(graphForm());
    const auto shown = [&]() -> TSheetGraph& {
      TSheetGraph& graph = chart ? form.add<TSheetChart>() : form.add<TSheetGraph>();
      graph.setBounds(0, 0, 500, 340);
      return graph;
    };
    form.show();
    TSheetGraph& unread = shown();
    {
      THeldFile held(fileName);
      EXPECT_EQ(unread.loadFromFile(fileName, '.', ','), -3);
      EXPECT_EQ(unread.sourceTable().count(), 0);
      unread.rebuild();
      pumpFor(300);
      EXPECT_EQ(unread.saveToFile('.', ','), 0);
    }
    EXPECT_EQ(unread.saveToFile('.', ','), 0);
    EXPECT_EQ(readWholeFile(fileName), text);
    unread.setXFormulas("1", "2", "3", false);
    ASSERT_EQ(unread.saveToFile('.', ','), 0);
    const TPortableIniFile changed(fileName);
    EXPECT_EQ(changed.readString("ToX", "Formula", ""), "2");
    EXPECT_EQ(changed.readInteger("Sources", "Count", 0), sources);

    writeWholeFile(fileName, text);
    TSheetGraph& read = shown();
    ASSERT_EQ(read.loadFromFile(fileName, '.', ','), 0);
    read.rebuild();
    pumpUntil([&] { return !read.computing() && !read.stale(); }, 5000);
    SetFileAttributesA(fileName.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(read.saveToFile('.', ','), 0);
    SetFileAttributesA(fileName.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(readWholeFile(fileName), text);
  }
}

namespace {

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

}  // namespace

// A chart or graph view emptied, or cut off before its sources or inside a
// line, once showed what stood in for the rest without a word. It is named,
// and a save with nothing changed leaves it as it is.
TEST(SheetGraph, AViewFileEmptiedOrCutOffIsNamedAndLeftAsItIs) {
  TTemporaryFolder folder;
  const std::string fileName = folder.path() + "View.INI";
  TForm form(graphForm());
  form.show();
  for (const char* view : {"Charts", "Graphs"}) {
    const std::string text = readWholeFile(sampleDataFolder() + "DATA\\FOLIOS\\" + view + "\\Folio_0.INI");
    const size_t close = text.find("Close=");
    ASSERT_NE(close, std::string::npos);
    for (const std::string& damaged :
         {std::string(), text.substr(0, text.find("[Sources]")), text.substr(0, close + 9)}) {
      takePartlyReadFiles();
      writeWholeFile(fileName, damaged);
      TSheetGraph& graph = std::string(view) == "Charts" ? form.add<TSheetChart>() : form.add<TSheetGraph>();
      graph.setBounds(0, 0, 500, 340);
      graph.loadFromFile(fileName, '.', ',');
      EXPECT_EQ(takePartlyReadFiles(), std::vector<std::string>{fileName}) << view << ": " << damaged;
      EXPECT_EQ(graph.saveToFile('.', ','), 0);
      EXPECT_EQ(readWholeFile(fileName), damaged);
    }
  }
}

// A view file that could not be read, or only in part (a count of sources
// the sections do not bear out, a number or a colour the view cannot
// take), is named, and a save with nothing changed leaves it as it is.
TEST(SheetGraph, AViewFileNotReadWholeIsNamedAndLeftAsItIs) {
  TTemporaryFolder folder;
  const std::string fileName = folder.path() + "View.INI";
  const std::string text = readWholeFile(sampleDataFolder() + "DATA\\FOLIOS\\Graphs\\Folio_0.INI");
  TForm form(graphForm());
  form.show();
  takeUnreadableFiles();
  takePartlyReadFiles();
  for (const std::string& damaged :
       {replaced(text, "[Sources]\r\nCount=1", "[Sources]\r\nCount=3"),
        replaced(text, "1_Value= 2.00000000000000E+0001", "1_Value=20,5"), replaced(text, "Color=32768", "Color=green"),
        replaced(text, "[Sources]\r\nCount=1", "[Sources]\r\nCount=0")}) {
    writeWholeFile(fileName, damaged);
    TSheetGraph& graph = form.add<TSheetGraph>();
    graph.setBounds(0, 0, 500, 340);
    graph.loadFromFile(fileName, '.', ',');
    EXPECT_EQ(takePartlyReadFiles(), std::vector<std::string>{fileName}) << damaged;
    EXPECT_EQ(graph.saveToFile('.', ','), 0);
    EXPECT_EQ(readWholeFile(fileName), damaged);
  }
  EXPECT_TRUE(takeUnreadableFiles().empty());

  ASSERT_TRUE(DeleteFileA(fileName.c_str()));
  ASSERT_TRUE(CreateDirectoryA(fileName.c_str(), nullptr));
  TSheetGraph& graph = form.add<TSheetGraph>();
  graph.setBounds(0, 0, 500, 340);
  EXPECT_EQ(graph.loadFromFile(fileName, '.', ','), -3);
  EXPECT_EQ(takeUnreadableFiles(), std::vector<std::string>{fileName});
  EXPECT_EQ(graph.saveToFile('.', ','), 0);
  EXPECT_TRUE(folderExists(fileName));
}
