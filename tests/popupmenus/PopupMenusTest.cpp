#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "app/ChartPopupMenu.h"
#include "app/SharedPopupMenus.h"
#include "chart/PriceChart.h"
#include "chart/GraphSourceForm.h"
#include "chart/PriceGraph.h"
#include "chart/Series.h"
#include "chart/SheetGraph.h"
#include "chart/SheetViewOwner.h"
#include "chart/Source.h"
#include "chart/SourceTable.h"
#include "model/UnsavedChanges.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/ComCtrls.h"
#include "controls/EditPanel.h"
#include "controls/EditorStatus.h"
#include "controls/FontAttributeSets.h"
#include "controls/GalleryForm.h"
#include "controls/WebPanel.h"
#include "model/Directories.h"
#include "model/PortableIniFile.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/ExtControls.h"
#include "platform/FileSystem.h"
#include "platform/ListView.h"
#include "platform/PageControl.h"
#include "platform/Panel.h"
#include "platform/Timer.h"
#include "tests/support/MainWindowFixture.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestSupport.h"

namespace {

TMenuItem* findItem(TMenuItem& parent, const std::string& path) {
  TMenuItem* current = &parent;
  size_t start = 0;
  while (current != nullptr && start <= path.size()) {
    const size_t end = std::min(path.find(" > ", start), path.size());
    TMenuItem* next = nullptr;
    for (const auto& item : current->items())
      if (item->caption == path.substr(start, end - start)) next = item.get();
    current = next;
    start = end + 3;
  }
  return current;
}

void click(TPopupMenu& menu, TControl& target, const std::string& path) {
  menu.popupComponent = &target;
  if (menu.onPopup) menu.onPopup();
  TMenuItem* item = findItem(menu, path);
  ASSERT_NE(item, nullptr) << path;
  ASSERT_TRUE(item->onClick) << path;
  item->onClick();
}

// Every enabled leaf item of a menu has a handler.
void expectHandlers(const TMenuItem& parent, const std::string& path) {
  for (const auto& item : parent.items()) {
    if (item->caption == "-") continue;
    const std::string here = path + " > " + item->caption;
    if (!item->items().empty()) {
      expectHandlers(*item, here);
    } else if (item->enabled) {
      EXPECT_TRUE(item->onClick) << here;
    }
  }
}

// The main window's shared menus, opened on controls of a window of their own.
class PopupMenus : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    host_ = std::make_unique<TForm>(mainWindowOptions("Views", 600, 400));
    host_->showModeless();
  }

  std::unique_ptr<TForm> host_;
};

}  // namespace

TEST_F(PopupMenus, NotesItemsWorkOnTheEditorTheMenuWasOpenedOn) {
  TPopupMenu& menu = main_->popupMenus->notesPopupMenu;
  TEditPanel& editor = host_->add<TEditPanel>();
  editor.setAlign(TAlign::client);
  TEditorStatus document;
  editor.setEditorStatus(&document);
  editor.insertText("alpha beta");

  menu.popupComponent = &editor;
  menu.onPopup();
  EXPECT_FALSE(findItem(menu, "&Copy\tCtrl+C")->enabled);
  EXPECT_TRUE(findItem(menu, "&Edit")->enabled);
  EXPECT_FALSE(findItem(menu, "Set&up > &Font")->enabled);  // no attribute sets
  expectHandlers(menu, "notes");

  click(menu, editor, "&Select all\tCtrl+A");
  menu.onPopup();
  EXPECT_TRUE(findItem(menu, "&Copy\tCtrl+C")->enabled);
  EXPECT_TRUE(findItem(menu, "Cut\tCtrl+X")->enabled);
  click(menu, editor, "&Delete\tCtrl+Del");
  std::string line;
  document.getLine(1, line);
  EXPECT_EQ(line, "");
  click(menu, editor, "&Edit > &Undo\tCtrl+Z");
  document.getLine(1, line);
  EXPECT_EQ(line, "alpha beta");

  click(menu, editor, "&Time/Date\tF5");
  document.getLine(1, line);
  EXPECT_GT(line.size(), std::string("alpha beta").size());

  // Sets without the set of id 0 give the font dialog nothing to show.
  TFontAttributeSets sets;
  TFontAttributes keyword;
  keyword.id = 1;
  sets.add(keyword);
  editor.setFontAttributeSets(&sets);
  click(menu, editor, "Set&up > &Font");
  EXPECT_EQ(sets.find(1)->fontName, keyword.fontName);

  // Read-only: no editing items, and a menu opened elsewhere does nothing.
  document.readOnly = true;
  menu.onPopup();
  EXPECT_FALSE(findItem(menu, "&Paste\tCtrl+V")->enabled);
  EXPECT_FALSE(findItem(menu, "Delete &Line\tCtrl+Y")->enabled);
  click(menu, *host_, "&Select all\tCtrl+A");
  EXPECT_EQ(main_->popupMenus->notesTarget(), nullptr);
}

TEST_F(PopupMenus, NotesShortcutsRunTheirItemsInAnEditorCarryingTheMenu) {
  TEditPanel& editor = host_->add<TEditPanel>();
  editor.setAlign(TAlign::client);
  TEditorStatus document;
  editor.setEditorStatus(&document);
  editor.insertText("first line");
  editor.setPopupMenu(&main_->popupMenus->notesPopupMenu);
  editor.setFocus();
  std::string line;
  {
    TKeyState control({VK_CONTROL});
    postKey(editor.handle(), 'Y');  // delete line
  }
  document.getLine(1, line);
  EXPECT_EQ(line, "");
  {
    TKeyState control({VK_CONTROL});
    postKey(editor.handle(), 'Z');  // undo
  }
  document.getLine(1, line);
  EXPECT_EQ(line, "first line");
  // Read-only, the shortcut's item is off and the key stays with the editor.
  document.readOnly = true;
  {
    TKeyState control({VK_CONTROL});
    postKey(editor.handle(), 'Y');
  }
  document.getLine(1, line);
  EXPECT_EQ(line, "first line");
}

TEST_F(PopupMenus, ChartItemsToggleAndSizeTheChartTheMenuWasOpenedOn) {
  TchartPopupMenu& menu = main_->popupMenus->sheetChartAndGraphPopupMenu;
  TSheetChart& chart = host_->add<TSheetChart>();
  chart.setBounds(0, 0, 500, 350);
  menu.popupComponent = &chart;
  menu.onPopup();
  ASSERT_EQ(menu.popupTarget, &chart);
  expectHandlers(menu, "chart");
  EXPECT_TRUE(menu.seriesItems().empty());
  EXPECT_EQ(findItem(menu, "&Data")->items().size(), 2u);  // no series: no separator either
  EXPECT_TRUE(findItem(menu, "&Plot > &Profile")->enabled);  // a chart has a value profile
  EXPECT_FALSE(findItem(menu, "&Data > &Favorites")->enabled);  // no favourites yet

  const bool crossHair = chart.getCrossHair();
  click(menu, chart, "&Plot > Cr&osshair");
  EXPECT_NE(chart.getCrossHair(), crossHair);
  menu.onPopup();
  EXPECT_EQ(findItem(menu, "&Plot > Cr&osshair")->checked, chart.getCrossHair());

  const int topAlign = chart.getTopTextAlign();
  click(menu, chart, "&Captions > &Bottom > &Align > &Center");
  EXPECT_EQ(chart.getBottomTextAlign(), 2);
  EXPECT_EQ(chart.getTopTextAlign(), topAlign);

  chart.setMaxProfileBins(100);
  menu.onPopup();
  for (const auto& item : findItem(menu, "&Plot > &Profile > &Max bins")->items()) EXPECT_FALSE(item->checked);
  click(menu, chart, "&Plot > &Profile > &Max bins > 64");
  EXPECT_EQ(chart.getMaxProfileBins(), 64);
  menu.onPopup();
  EXPECT_TRUE(findItem(menu, "&Plot > &Profile > &Max bins > 64")->checked);

  EXPECT_EQ(TchartPopupMenu::enlarged(1), 2);
  EXPECT_EQ(TchartPopupMenu::reduced(2), 1);
  const int height = chart.getBottomXAxisHeight();
  click(menu, chart, "&Axes > &Bottom > &Enlarge");
  EXPECT_EQ(chart.getBottomXAxisHeight(), TchartPopupMenu::enlarged(height));

  // Opened on something that is no chart, every item is off.
  menu.popupComponent = host_.get();
  menu.onPopup();
  EXPECT_EQ(menu.popupTarget, nullptr);
  EXPECT_FALSE(findItem(menu, "&Plot")->enabled);
}

TEST_F(PopupMenus, ChartSeriesItemsFollowTheLegendOfEachChartAndDrawTheirColour) {
  TchartPopupMenu& menu = main_->popupMenus->sheetChartAndGraphPopupMenu;
  TSheetChart& three = host_->add<TSheetChart>();
  TSheetGraph& one = host_->add<TSheetGraph>();
  for (const char* caption : {"Close", "Average", "Volume"}) {
    const int index = three.graph().addSeries();
    three.graph().series(index)->caption = caption;
  }
  one.graph().addSeries();  // no caption: not in the legend
  const int only = one.graph().addSeries();
  one.graph().series(only)->caption = "R&D";

  menu.popupComponent = &three;
  menu.onPopup();
  EXPECT_EQ(menu.seriesItems().size(), 3u);
  menu.popupComponent = &one;
  menu.onPopup();
  ASSERT_EQ(menu.seriesItems().size(), 1u);
  TMenuItem& series = *menu.seriesItems()[0];
  EXPECT_EQ(series.caption, "R&&D");
  EXPECT_EQ(findItem(menu, "&Data")->items().size(), 4u);  // sources, favourites, separator, the series
  EXPECT_TRUE(series.checked);
  EXPECT_FALSE(findItem(menu, "&Plot > &Profile")->enabled);  // a graph has none
  series.onClick();
  EXPECT_FALSE(one.getSeriesEnabled(only));
  one.setSeriesEnabled(only, true);

  // Checked, the item shows a square in the series' colour before its caption.
  TBitmap picture(200, 20);
  DRAWITEMSTRUCT draw{};
  draw.CtlType = ODT_MENU;
  draw.hDC = picture.canvas().handle();
  draw.rcItem = {0, 0, 200, 20};
  draw.itemData = reinterpret_cast<ULONG_PTR>(&series);
  ASSERT_TRUE(drawMenuItem(draw));
  EXPECT_EQ(picture.pixel(5, 10), rgbOf(one.getSeriesColor(only)));
  draw.itemData = 0;
  EXPECT_FALSE(drawMenuItem(draw));

  // Shown for real, the owner-drawn item is measured and drawn by its owner.
  TTimer closer(300, [] { EndMenu(); });
  closer.setEnabled(true);
  menu.popup(one.handle(), 100, 100);
  closer.setEnabled(false);
  EXPECT_EQ(menu.popupTarget, &one);
}

TEST_F(PopupMenus, NamedFavouritesOfTheViewsKindAreOfferedAndAppendACopy) {
  TchartPopupMenu& menu = main_->popupMenus->sheetChartAndGraphPopupMenu;
  TSourceTable& favourites = *main_->graphFavorites;
  for (const char* caption : {"Trend & band", "", "Moving average"}) {
    favourites.insertSource(favourites.count());
    favourites.getSource(favourites.count() - 1)->Caption = caption;
  }
  TSheetGraph& graph = host_->add<TSheetGraph>();
  TSheetChart& chart = host_->add<TSheetChart>();
  menu.popupComponent = &chart;
  menu.onPopup();
  EXPECT_FALSE(findItem(menu, "&Data > &Favorites")->enabled);  // charts take the chart favourites

  menu.popupComponent = &graph;
  menu.onPopup();
  TMenuItem& offered = *findItem(menu, "&Data > &Favorites");
  ASSERT_EQ(offered.items().size(), 2u);
  EXPECT_EQ(offered.items()[0]->caption, "Trend && band");
  EXPECT_EQ(offered.items()[1]->tag, 2);
  const int before = graph.sourceTable().count();
  offered.items()[1]->onClick();
  ASSERT_EQ(graph.sourceTable().count(), before + 1);
  EXPECT_EQ(graph.sourceTable().getSource(before)->Caption, "Moving average");

  writeWholeFile(work_ + "DATA\\GraphTemplate.INI", "[x]\r\n");
  writeWholeFile(work_ + "DATA\\ChartTemplate.INI", "[x]\r\n");
  click(menu, graph, "&Gallery > &Clear default");
  EXPECT_FALSE(fileExists(work_ + "DATA\\GraphTemplate.INI"));
  EXPECT_TRUE(fileExists(work_ + "DATA\\ChartTemplate.INI"));
}

// A graph favourite the user adds in the source editor once overwrote one
// another program had added under the same number meanwhile, and nothing
// was said. The save is refused, and the user told which file and why.
TEST_F(PopupMenus, AFavouriteSaveRefusedIsToldWhenTheEditorCloses) {
  TchartPopupMenu& menu = main_->popupMenus->sheetChartAndGraphPopupMenu;
  const std::string file = main_->paths().graphFavsFileName;
  writeWholeFile(file, "[Sources]\r\nCount=0\r\n");
  ASSERT_EQ(main_->graphFavorites->loadFromFile(file, '.', ','), 0);
  TSheetGraph& graph = host_->add<TSheetGraph>();
  graph.sourceTable().insertSource(0);
  graph.sourceTable().getSource(0)->Caption = "mine";
  {
    TPortableIniFile other(file);
    other.writeInteger("Sources", "Count", 1);
    other.writeString("0", "Caption", "theirs");
  }
  const std::string theirs = readWholeFile(file);
  bool added = false;
  TTimer user(100, [&] {
    TgraphSourceForm* editor = shownForm<TgraphSourceForm>();
    if (editor == nullptr || added) return;
    added = true;
    editor->addFavourite();
    editor->okBtnClick();
  });
  user.setEnabled(true);
  click(menu, graph, "&Data > &Sources");
  user.setEnabled(false);
  ASSERT_TRUE(added);
  EXPECT_EQ(readWholeFile(file), theirs);
  ASSERT_FALSE(messages_.texts.empty());
  EXPECT_NE(messages_.texts.back().find("Failed to save " + file + ".\r\r" + file +
                                        " was changed by another program meanwhile, which added a section [0] as "
                                        "this program did."),
            std::string::npos)
      << messages_.texts.back();
  // Given up here, the favourites wait for the close, still refused there
  // while the other program's favourite stands under their number.
  EXPECT_EQ(saveUnsavedChanges(), std::vector<std::string>{file});
  EXPECT_EQ(readWholeFile(file), theirs);
  giveUpUnsavedChanges({file});
}

// A chart added to the gallery once showed a gallery without tabs, and a
// graph one showing the charts tab, its new row nowhere.
TEST_F(PopupMenus, GalleryAddShowsTheViewsKindWithTheNewRowChosen) {
  TchartPopupMenu& menu = main_->popupMenus->sheetChartAndGraphPopupMenu;
  TgalleryForm& gallery = *main_->galleryForm;
  gallery.loadGallery(work_ + "DATA\\GALLERY");
  TSheetChart& chart = host_->add<TSheetChart>();
  TSheetGraph& graph = host_->add<TSheetGraph>();
  writeWholeFile(work_ + "CHART.INI", "[x]\r\n");
  writeWholeFile(work_ + "GRAPH.INI", "[x]\r\n");
  chart.loadFromFile(work_ + "CHART.INI", '.', ',');
  graph.loadFromFile(work_ + "GRAPH.INI", '.', ',');
  for (auto [view, kind] : {std::pair<TPriceChart*, int>{&chart, 1}, {&graph, 2}}) {
    int tabs = -1;
    int shownKind = -1;
    int chosenRow = -1;
    TModalDriver driver(gallery, {[&] {
      tabs = gallery.pageControl().pageCount();
      shownKind = gallery.activeKind();
      chosenRow = gallery.favListView().itemIndex();
      gallery.close();
    }});
    click(menu, *view, "&Gallery > &Add");
    EXPECT_FALSE(driver.timedOut());
    EXPECT_EQ(tabs, 1) << kind;
    EXPECT_EQ(shownKind, kind);
    EXPECT_EQ(chosenRow, 0) << kind;
    EXPECT_EQ(gallery.galleryIndex().entries(kind).size(), 1u);
  }
}

TEST_F(PopupMenus, WebPanelItemsWorkOnThePanelAboveTheControlTheMenuWasOpenedOn) {
  TwebPanelMenus& menus = main_->popupMenus->webPanelMenus;
  TWebPanel& panel =
      host_->add<TWebPanel>([](HWND, TWebBrowserEvents&) { return std::unique_ptr<TWebBrowser>(); });
  panel.setBounds(0, 0, 500, 350);
  TControl& inside = panel.statusBar();

  menus.webPanelSetupPopupMenu.popupComponent = &inside;
  menus.webPanelSetupPopupMenu.onPopup();
  ASSERT_EQ(menus.webPopupTarget, &panel);
  expectHandlers(menus.webPanelSetupPopupMenu, "setup");
  menus.webPanelFavsPopupMenu.popupComponent = &inside;
  menus.webPanelFavsPopupMenu.onPopup();
  expectHandlers(menus.webPanelFavsPopupMenu, "favourites");
  EXPECT_FALSE(findItem(menus.webPanelFavsPopupMenu, "&Go")->enabled);

  const bool status = panel.statusVisible();
  click(menus.webPanelSetupPopupMenu, inside, "&Status");
  EXPECT_NE(panel.statusVisible(), status);

  TPopupMenu& timer = menus.webPanelTimerPopupMenu;
  click(timer, inside, "10 sec");
  EXPECT_EQ(panel.timedRefreshInterval(), 10000);
  timer.onPopup();
  EXPECT_TRUE(findItem(timer, "10 sec")->checked);
  panel.setTimedRefreshInterval(45000);
  click(menus.webPanelSetupPopupMenu, inside, "&Buttons > &Autorefresh > 30 sec");
  EXPECT_EQ(panel.timedRefreshInterval(), 30000);
  panel.setTimedRefreshInterval(45000);
  timer.onPopup();
  EXPECT_TRUE(findItem(timer, "10 sec")->checked);  // an unlisted interval moves no mark
  EXPECT_FALSE(findItem(timer, "Off")->checked);

  messages_.answer = IDNO;
  click(menus.webPanelSetupPopupMenu, inside, "D&elete");
  ASSERT_EQ(messages_.texts.size(), 1u);
  EXPECT_EQ(messages_.texts[0], "Delete browser?");
  EXPECT_TRUE(IsWindow(panel.handle()));

  writeWholeFile(work_ + "DATA\\BrowserTemplate.INI", "[x]\r\n");
  click(menus.webPanelSetupPopupMenu, inside, "&Gallery > &Clear default");
  EXPECT_FALSE(fileExists(work_ + "DATA\\BrowserTemplate.INI"));

  // A panel's own button opens the shared timer menu on that panel, not on
  // the one a menu was opened on before.
  TWebPanel& other =
      host_->add<TWebPanel>([](HWND, TWebBrowserEvents&) { return std::unique_ptr<TWebBrowser>(); });
  other.setBounds(0, 0, 500, 350);
  other.setTimedRefreshPopupMenu(&timer);
  TTimer closer(200, [] { EndMenu(); });
  closer.setEnabled(true);
  other.autorefreshButton().performClick();
  closer.setEnabled(false);
  EXPECT_EQ(menus.webPopupTarget, &other);
}

// Make default and Add to gallery did nothing, without a word, when the
// view's file refused its save: the window's box names the file and why.
TEST_F(PopupMenus, MakeDefaultAndGalleryAddTellWhichFileRefusedTheViewsSaveAndWhy) {
  TchartPopupMenu& chartMenu = main_->popupMenus->sheetChartAndGraphPopupMenu;
  TPopupMenu& webMenu = main_->popupMenus->webPanelMenus.webPanelSetupPopupMenu;
  TSheetChart& chart = host_->add<TSheetChart>();
  TWebPanel& panel =
      host_->add<TWebPanel>([](HWND, TWebBrowserEvents&) { return std::unique_ptr<TWebBrowser>(); });
  const std::string chartFile = work_ + "CHART.INI";
  const std::string panelFile = work_ + "BROWSER.INI";
  writeWholeFile(chartFile, "[Steps]\r\nFormula=0\r\n");
  writeWholeFile(panelFile, "[Autorefresh]\r\nInterval=0\r\n");
  chart.loadFromFile(chartFile, '.', ',');
  panel.loadSettings(panelFile);
  struct TRow {
    TPopupMenu& menu;
    TControl& view;
    const std::string& file;
    const char* item;
    const char* told;
  };
  const TRow rows[] = {
      {chartMenu, chart, chartFile, "&Gallery > &Make default", "The default was not made: "},
      {chartMenu, chart, chartFile, "&Gallery > &Add", "The chart was not added to the gallery: "},
      {webMenu, panel, panelFile, "&Gallery > &Make default", "The default browser was not made: "},
      {webMenu, panel, panelFile, "&Gallery > &Add", "The browser was not added to the gallery: "},
  };
  int changes = 0;
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.item + (" " + row.file));
    // A change the view's save has to write.
    ++changes;
    chart.setStepsFormula(std::to_string(changes));
    panel.setTimedRefreshInterval(5000 + changes * 1000);
    const std::string text = readWholeFile(row.file);
    messages_.texts.clear();
    {
      THeldFile held(row.file);
      ASSERT_TRUE(held.held());
      click(row.menu, row.view, row.item);
    }
    EXPECT_EQ(messages_.texts, std::vector<std::string>{row.told + row.file + " is held open by another program."});
    EXPECT_EQ(readWholeFile(row.file), text);
  }
  giveUpUnsavedChanges({chartFile, panelFile});
}

namespace {

// Stands for a data window: it owns its docked views.
class TViewOwnerPanel : public TPanel, public TSheetViewOwner {
 public:
  explicit TViewOwnerPanel(TControl* parent) : TPanel(parent) {}
  TSheetGraph& dock(std::unique_ptr<TSheetGraph> view) {
    views.push_back(std::move(view));
    return *views.back();
  }
  std::unique_ptr<TSheetGraph> releaseSheetView(TSheetGraph& view) override {
    for (auto owned = views.begin(); owned != views.end(); ++owned)
      if (owned->get() == &view) {
        std::unique_ptr<TSheetGraph> released = std::move(*owned);
        views.erase(owned);
        return released;
      }
    return nullptr;
  }
  std::vector<std::unique_ptr<TSheetGraph>> views;
};

}  // namespace

// A default its file refuses is told, not taken as made.
TEST_F(PopupMenus, AViewGoesWithItsFileOnlyWhenAskedAndARefusedDefaultIsTold) {
  TchartPopupMenu& menu = main_->popupMenus->sheetChartAndGraphPopupMenu;
  TViewOwnerPanel& owner = host_->add<TViewOwnerPanel>();
  owner.setAlign(TAlign::client);
  TSheetGraph& graph = owner.dock(std::make_unique<TSheetGraph>(&owner));
  TSheetGraph& chart = owner.dock(std::make_unique<TSheetChart>(&owner));
  const std::string chartFile = work_ + "DATA\\FOLIOS\\Folio_2.INI";
  writeWholeFile(chartFile, "[Chart]\r\n");
  chart.loadFromFile(chartFile, '.', ';');
  const std::string defaults = getDirectory("<DATA>") + "ChartTemplate.INI";
  writeWholeFile(defaults, "[Old]\r\n");
  {
    const THeldFile held(defaults);
    click(menu, chart, "&Gallery > &Make default");
  }
  EXPECT_EQ(readWholeFile(defaults), "[Old]\r\n");

  messages_.answer = IDNO;
  click(menu, chart, "D&elete");
  EXPECT_TRUE(findItem(menu, "D&elete")->enabled);
  messages_.answer = IDYES;
  click(menu, graph, "D&elete");
  ASSERT_EQ(owner.views.size(), 1u);
  EXPECT_EQ(owner.views[0].get(), &chart);
  EXPECT_EQ(menu.popupTarget, nullptr);
  click(menu, chart, "D&elete");
  EXPECT_TRUE(owner.views.empty());
  // The views go once the menu's message has been handled.
  EXPECT_TRUE(fileExists(chartFile));
  ASSERT_TRUE(pumpUntil([&] { return !fileExists(chartFile); }));
  EXPECT_EQ(messages_.texts, (std::vector<std::string>{"The default was not made: " + defaults + " is held open by another program.",
                                                       "Delete chart?", "Delete graph?", "Delete chart?"}));
}

// Favourites added in a source editor whose file refused them (read-only,
// held) were lost without a word: they wait for the close as they stood.
// Read anew meanwhile (a directory set-up going on with the same folder),
// they show, and only a save that wrote them lets them go: read from the
// file, they were lost, and the next save of another change let them go.
TEST(Favourites, ThoseTheirFileRefusedWaitForTheCloseAsTheyStoodAndShowWhenReadAnew) {
  TTemporaryFolder folder;
  const std::string file = folder.path() + "GraphFavs.INI";
  writeWholeFile(file, "");
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
  TSourceTable favourites(&TSource::create);
  for (const char* caption : {"Trend", "Band"}) {
    favourites.insertSource(favourites.count());
    favourites.getSource(favourites.count() - 1)->Caption = caption;
  }
  saveFavourites(favourites, file, '.', ',');
  favourites.insertSource(favourites.count());
  EXPECT_EQ(saveUnsavedChanges(), std::vector<std::string>{file});
  EXPECT_EQ(readWholeFile(file), "");
  TSourceTable read(&TSource::create);
  ASSERT_EQ(read.loadFromFile(file, '.', ','), 0);
  ASSERT_EQ(read.count(), 2);
  read.insertSource(2);
  read.getSource(2)->Caption = "Peak";
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(saveFavourites(read, file, '.', ','));
  EXPECT_TRUE(saveUnsavedChanges().empty());
  TSourceTable saved(&TSource::create);
  ASSERT_EQ(saved.loadFromFile(file, '.', ','), 0);
  ASSERT_EQ(saved.count(), 3);
  EXPECT_EQ(saved.getSource(1)->Caption, "Band");
  EXPECT_EQ(saved.getSource(2)->Caption, "Peak");
}
