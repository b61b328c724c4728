#include <gtest/gtest.h>

#include <functional>
#include <string>

#include <windows.h>
#include <commctrl.h>

#include "app/DownloadForm.h"
#include "app/MainForm.h"
#include "app/SharedPopupMenus.h"
#include "app/SplashForm.h"
#include "model/Asset.h"
#include "model/Directories.h"
#include "model/Forex.h"
#include "model/PortableIniFile.h"
#include "model/Portfolio.h"
#include "macros/MacroForm.h"
#include "model/PortfolioTable.h"
#include "model/TransactionTable.h"
#include "systems/SystemForm.h"
#include "windows/AssetForm.h"
#include "windows/PortfolioForm.h"
#include "windows/QuoteForm.h"
#include "windows/TransactionForm.h"
#include "chart/PriceChart.h"
#include "chart/PriceGraph.h"
#include "chart/Series.h"
#include "chart/SheetGraph.h"
#include "chart/SheetViewOwner.h"
#include "chart/Source.h"
#include "chart/SourceTable.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "controls/EditPanel.h"
#include "controls/SheetPanel.h"
#include "windows/PortfolioForm.h"
#include "controls/EditorStatus.h"
#include "controls/FontAttributeSets.h"
#include "controls/WebPanel.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/ExtControls.h"
#include "platform/ComCtrls.h"
#include "platform/FileSystem.h"
#include "platform/PageControl.h"
#include "platform/Panel.h"
#include "platform/Timer.h"
#include "tests/support/ScriptedMessageBox.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestSupport.h"

namespace {

TFormOptions hostOptions() {
  TFormOptions options;
  options.caption = "Views";
  options.clientWidth = 600;
  options.clientHeight = 400;
  return options;
}

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

// A main window made on a working folder with every directory in place,
// never shown, so no loading runs: its menus, dialogs and gallery are real.
class PopupMenus : public ::testing::Test {
 protected:
  void SetUp() override {
    work_ = temporary_.path();
    for (const char* folder : {"TEMP", "SCRIPTS", "DATA\\FOLIOS", "DATA\\DLISTS", "DATA\\MACROS", "DATA\\BMPS",
                               "DATA\\GALLERY", "DATA\\WEBS", "DATA\\FOREX", "DATA\\QUOTES"})
      forceFolders(work_ + folder);
    writeWholeFile(work_ + "Kestrova.INI", "[Directories]\r\n<GALLERY>=" + work_ + "DATA\\GALLERY\r\n<WEBS>=" +
                                               work_ + "DATA\\WEBS\r\n");
    TMainFormContext context;
    context.executablePath = work_ + "Kestrova.exe";
    context.currentDirectory = work_;
    context.messageBox = &messages_;
    main_ = std::make_unique<TmainForm>(context);
    ASSERT_FALSE(main_->closeOnActivate);
    host_ = std::make_unique<TForm>(hostOptions());
    host_->showModeless();
  }

  TTemporaryFolder temporary_;
  std::string work_;
  TScriptedMessageBox messages_;
  std::unique_ptr<TmainForm> main_;
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

TEST_F(PopupMenus, DeleteAsksFirstAndThenTheOwningWindowGivesUpTheViewAndItsFile) {
  TchartPopupMenu& menu = main_->popupMenus->sheetChartAndGraphPopupMenu;
  TViewOwnerPanel& owner = host_->add<TViewOwnerPanel>();
  owner.setAlign(TAlign::client);
  TSheetGraph& graph = owner.dock(std::make_unique<TSheetGraph>(&owner));
  TSheetGraph& chart = owner.dock(std::make_unique<TSheetChart>(&owner));
  const std::string chartFile = work_ + "DATA\\FOLIOS\\Folio_2.INI";
  writeWholeFile(chartFile, "[Chart]\r\n");
  chart.loadFromFile(chartFile, '.', ';');

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
  EXPECT_EQ(messages_.texts, (std::vector<std::string>{"Delete chart?", "Delete graph?", "Delete chart?"}));
}

using MainWindowState = PopupMenus;

TEST_F(MainWindowState, TheProgressWindowGoesWithTheMinimisedProgramAndComesBackShown) {
  int hidden = 0;
  std::vector<bool> restored;
  main_->systemRuns.hideProgressWindow = [&] { ++hidden; };
  main_->systemRuns.restoreProgressWindow = [&](bool show) { restored.push_back(show); };
  application().onMinimize = [this] { main_->AppMinimize(); };
  application().onRestore = [this] { main_->AppRestore(); };
  main_->firstActivation = false;  // no loading
  main_->showModeless();
  ShowWindow(main_->handle(), SW_MINIMIZE);
  ASSERT_TRUE(pumpUntil([&] { return hidden == 1; }));
  ShowWindow(main_->handle(), SW_MAXIMIZE);
  ASSERT_TRUE(pumpUntil([&] { return restored.size() == 1; }));
  // Resizing a shown window is no restore.
  ShowWindow(main_->handle(), SW_RESTORE);
  pumpFor(100);
  EXPECT_EQ(hidden, 1);
  EXPECT_EQ(restored, std::vector<bool>{true});
}

namespace {

// A portfolio "Systems" of one asset with ten days of quotes, current, and
// on the System tab a rule that buys it every day of nine of them.
class SystemRuns : public PopupMenus {
 protected:
  TSystemRule& arriveWithDailyRule(std::string& folder) {
    std::string quotes;
    for (int d = 1; d <= 10; ++d) quotes += "202403" + std::string(d < 10 ? "0" : "") + std::to_string(d) + ",10\r\n";
    writeWholeFile(work_ + "DATA\\QUOTES\\AAA.TXT", quotes);
    TPortfolioTable& table = *main_->portfolioTable;
    EXPECT_EQ(table.newPortfolio("Systems", "SYS", folder, work_ + "DATA\\FOLIOS\\", "EUR"), 0);
    table.setCurrentIndex(table.count() - 1);
    table.current()->newAsset("A stock", "AAA", false, "YYYYMMDD,C", work_ + "DATA\\QUOTES\\AAA.TXT", "EUR");
    main_->arriveAtSystemTab();
    TSystem& system = main_->systemForm->Editor().Edited();
    system.Rules().addRule(-1, -1, "AAA", 0);
    TSystemRule& rule = *system.Rules().rule(0);
    rule.setEnabled(true);
    rule.setCondition("1");
    rule.setUnits("1");
    rule.setPrincipal("X");
    rule.setFees("0");
    system.setToDate(45361.5);    // 10 March 2024
    system.setFromDate(45353.5);  // 2 March 2024
    return rule;
  }
};

}  // namespace

TEST_F(SystemRuns, LeavingTheSystemTabSavesTheSystemAndRunsItOnceUntilSomethingChanges) {
  std::string folder;
  TSystemRule& rule = arriveWithDailyRule(folder);
  TPortfolio& portfolio = *main_->portfolioTable->current();
  const TTransactionTable& transactions = portfolio.assets(0)->Transactions();
  ASSERT_EQ(main_->systemForm->PortfolioSerial(), portfolio.Serial());
  main_->leaveSystemTab();
  EXPECT_TRUE(fileExists(folder + "System.INI"));
  EXPECT_GE(transactions.count(), 9);

  // The run's own transactions are no reason to run again.
  const double changed = portfolio.lastChange();
  main_->leaveSystemTab();
  EXPECT_EQ(portfolio.lastChange(), changed);

  main_->shuttingDown = true;
  rule.setUnits("2");
  main_->leaveSystemTab();
  EXPECT_EQ(portfolio.lastChange(), changed) << "no system runs while shutting down";
}

// A save failing at close once let the program end and the edit go with it.
TEST_F(MainWindowState, ASaveFailingAtCloseIsReportedAndCancelKeepsTheProgramAndTheEdit) {
  TPortfolioTable& table = *main_->portfolioTable;
  std::string folder;
  ASSERT_EQ(table.newPortfolio("Savings", "SAV", folder, work_ + "DATA\\FOLIOS\\", "EUR"), 0);
  table.setCurrentIndex(table.count() - 1);
  table.current()->setName("Renamed savings");
  // A folder where the header file belongs: nothing can be written there.
  const std::string header = folder + "0.INI";
  const std::string headerText = readWholeFile(header);
  ASSERT_TRUE(DeleteFileA(header.c_str()));
  ASSERT_TRUE(CreateDirectoryA(header.c_str(), nullptr));
  ASSERT_NE(table.saveAll(), 0);
  main_->firstActivation = false;  // no loading
  main_->showModeless();
  messages_.answer = IDCANCEL;
  SendMessageA(main_->handle(), WM_CLOSE, 0, 0);
  ASSERT_EQ(messages_.texts.size(), 1u);
  EXPECT_EQ(messages_.texts[0], "Failed to save the portfolios: your latest changes are not on disk.");
  EXPECT_TRUE(IsWindowVisible(main_->handle())) << "cancelled: the program stays";
  EXPECT_EQ(table.current()->Name(), "Renamed savings");
  RemoveDirectoryA(header.c_str());
  writeWholeFile(header, headerText);
}

namespace {

// The Downloads window's buttons carry their words as captions and no hint.
void collectToolButtons(const TControl& control, const TControl& skipped, std::vector<const TToolButton*>& found) {
  for (const TControl* child : control.children()) {
    if (child == &skipped) continue;
    if (const auto* button = dynamic_cast<const TToolButton*>(child)) found.push_back(button);
    collectToolButtons(*child, skipped, found);
  }
}

}  // namespace

using MainWindowControls = PopupMenus;

TEST_F(MainWindowControls, EveryToolButtonOfTheTabsAndTheMenuPanelShowsItsHint) {
  std::vector<const TToolButton*> buttons;
  collectToolButtons(*main_, *main_->downloadForm, buttons);
  ASSERT_GT(buttons.size(), 60u);
  for (const TToolButton* button : buttons) {
    char caption[64] = {};
    GetWindowTextA(button->handle(), caption, sizeof caption);
    EXPECT_FALSE(registeredToolTip(button->handle()).empty()) << caption;
  }
  EXPECT_EQ(registeredToolTip(main_->reloadBtn->handle()), "Reload quotes");
}

TEST_F(MainWindowState, WithoutACurrentPortfolioNoRunAndNoProgressWindow) {
  int shown = 0;
  main_->systemRuns.showProgressWindow = [&](bool show) { shown += show ? 1 : 0; };
  ASSERT_EQ(main_->portfolioTable->current(), nullptr);
  main_->applySelectedPortfolioSystemIfNeeded();
  EXPECT_EQ(shown, 0);
}

TEST_F(SystemRuns, ARunThatCannotDeleteItsOldTransactionsIsReported) {
  std::string folder;
  TSystemRule& rule = arriveWithDailyRule(folder);
  main_->leaveSystemTab();
  ASSERT_TRUE(messages_.texts.empty());
  std::string transactionFolder;
  for (const TFoundFile& entry : findFiles(folder + "*"))
    if (entry.isFolder && entry.name.size() > 4 && entry.name.substr(entry.name.size() - 4) == ".TRN")
      transactionFolder = folder + entry.name + "\\";
  ASSERT_FALSE(transactionFolder.empty());
  const std::vector<TFoundFile> held = findFiles(transactionFolder + "*.INI");
  ASSERT_FALSE(held.empty());
  // Another program holds one of the run's transactions open.
  HANDLE locked = CreateFileA((transactionFolder + held.back().name).c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  rule.setUnits("2");
  main_->leaveSystemTab();
  CloseHandle(locked);
  ASSERT_EQ(messages_.texts.size(), 1u);
  EXPECT_NE(messages_.texts[0].find("Systems"), std::string::npos);
}

TEST_F(MainWindowState, TheCurrencyTablesGoWithTheWindow) {
  writeWholeFile(getDirectory("<FOREX>") + "EURtoUSD.CSV", "20240301,1.08\r\n20240304,1.09\r\n");
  double loadTime = 0;
  ASSERT_GE(forexTables().getTable("EUR", "USD", {}, nullptr, loadTime), 0);
  ASSERT_GT(forexTables().tableCount(), 0);
  main_.reset();
  EXPECT_EQ(forexTables().tableCount(), 0);
}

TEST_F(MainWindowState, OnlyAskedToTheMainWindowsOptionsBringTheMacroWindowsAlong) {
  {
    TPortableIniFile ini(main_->paths().guiOptionsFileName);
    ini.writeInteger("MacroSheet", "EditorColor", 0x123456);
    ini.updateFile();
  }
  const TColor before = main_->macroForm->editorColor();
  ASSERT_NE(before, 0x123456);
  main_->loadGUIoptions(false);
  EXPECT_EQ(main_->macroForm->editorColor(), before);
  main_->loadGUIoptions(true);
  EXPECT_EQ(main_->macroForm->editorColor(), 0x123456);
}

TEST_F(MainWindowControls, CtrlTabAndCtrlPageKeysChangeTheTabFromInsideAGrid) {
  main_->firstActivation = false;  // no loading
  main_->showModeless();
  main_->pageControl->setActivePageIndex(TmainForm::portfoliosTab);
  TSheetPanel& grid = main_->portfolioForm->sheetPanel();
  grid.setFocus();
  {
    TKeyState control{VK_CONTROL};
    postKey(grid.handle(), VK_TAB);
    EXPECT_EQ(main_->pageControl->activePageIndex(), TmainForm::assetsTab);
    postKey(GetFocus() ? GetFocus() : main_->handle(), VK_NEXT);
    EXPECT_EQ(main_->pageControl->activePageIndex(), TmainForm::quotesTab);
    postKey(main_->handle(), VK_PRIOR);
    EXPECT_EQ(main_->pageControl->activePageIndex(), TmainForm::assetsTab);
  }
  {
    TKeyState controlShift{VK_CONTROL, VK_SHIFT};
    postKey(main_->handle(), VK_TAB);
    postKey(main_->handle(), VK_TAB);
    EXPECT_EQ(main_->pageControl->activePageIndex(), TmainForm::webTab);  // round the start
  }
  // A plain Tab stays with the control.
  postKey(main_->handle(), VK_TAB);
  EXPECT_EQ(main_->pageControl->activePageIndex(), TmainForm::webTab);
}

TEST_F(MainWindowControls, TheMenuButtonsNeverCoverATab) {
  main_->firstActivation = false;
  main_->showModeless();
  for (const int width : {1200, 700, 400, 200}) {
    main_->setBounds(0, 0, width, 500);
    pumpFor(50);
    RECT lastTab{};
    ASSERT_TRUE(TabCtrl_GetItemRect(main_->pageControl->handle(), TmainForm::tabCount - 1, &lastTab));
    EXPECT_LE(lastTab.right, main_->menuPanel->left()) << width;
    EXPECT_LE(main_->menuPanel->left() + main_->menuPanel->width(), main_->clientWidth()) << width;
  }
}

namespace {

// How often the control's menu opened from the keyboard; each opening is
// closed again at once.
int keyboardMenuOpenings(TControl& control, TPopupMenu& menu, const std::function<void()>& press) {
  int opened = 0;
  const auto before = menu.onPopup;
  menu.onPopup = [&] {
    ++opened;
    PostMessageA(control.handle(), WM_CANCELMODE, 0, 0);
    SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
      KillTimer(nullptr, id);
      EndMenu();
    });
    if (before) before();
  };
  control.setFocus();
  press();
  pumpFor(300);
  menu.onPopup = before;
  return opened;
}

}  // namespace

TEST_F(MainWindowControls, ShiftF10AndTheMenuKeyOpenTheFocusedControlsMenu) {
  main_->firstActivation = false;
  main_->showModeless();
  main_->pageControl->setActivePageIndex(TmainForm::portfoliosTab);
  TSheetPanel& grid = main_->portfolioForm->sheetPanel();
  TPopupMenu& menu = main_->portfolioForm->sheetPopupMenu();
  EXPECT_EQ(keyboardMenuOpenings(grid, menu,
                                 [&] {
                                   TKeyState shift{VK_SHIFT};
                                   PostMessageA(grid.handle(), WM_SYSKEYDOWN, VK_F10, 0);
                                   PostMessageA(grid.handle(), WM_SYSKEYUP, VK_F10, 0xC0000000);
                                   pumpFor(100);
                                 }),
            1);
  EXPECT_EQ(keyboardMenuOpenings(grid, menu, [&] { postKey(grid.handle(), VK_APPS); }), 1);
}

TEST_F(MainWindowControls, TheReloadButtonShowsAGreenArrowOnlyWhileQuotesWait) {
  main_->firstActivation = false;
  main_->showModeless();
  const auto countGreen = [&] {
    const TScreenImage image = captureClient(main_->reloadBtn->handle());
    int green = 0, grey = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        green += image.pixel(x, y) == rgbOf(0x008000) ? 1 : 0;
        grey += image.pixel(x, y) == rgbOf(clGrayText) ? 1 : 0;
      }
    return std::pair{green, grey};
  };
  ASSERT_FALSE(main_->reloadBtn->enabled());
  const auto [greenOff, greyOff] = countGreen();
  EXPECT_EQ(greenOff, 0);
  EXPECT_GT(greyOff, 10);
  main_->reloadBtn->setEnabled(true);
  const auto [greenOn, greyOn] = countGreen();
  EXPECT_GT(greenOn, 10);
  EXPECT_EQ(greyOn, 0);
}

TEST_F(MainWindowState, TheSplashWindowCarriesTheProgramsTitleUntilTheMainWindowShows) {
  EXPECT_EQ(application().title(), "Kestrova");
  TsplashForm splash;
  EXPECT_EQ(splash.text(), "Kestrova");
  application().setTitle("Loading...");
  EXPECT_EQ(splash.text(), "Loading...");
  application().setTitle("Kestrova");
  EXPECT_EQ(splash.text(), "Kestrova");
}

TEST_F(MainWindowState, LettingGoOfThePortfoliosClearsEveryWindowsView) {
  TPortfolioTable& table = *main_->portfolioTable;
  std::string folder;
  ASSERT_EQ(table.newPortfolio("Old", "OLD", folder, work_ + "DATA\\FOLIOS\\", "EUR"), 0);
  main_->portfolioForm->loadView();
  main_->portfolioForm->notesBtn().setDown(true);
  main_->portfolioForm->notesBtnClick();
  ASSERT_NE(main_->portfolioForm->globalNotes(), nullptr);
  table.setCurrentIndex(0);
  const int32_t oldSerial = table.current()->Serial();
  main_->assetForm->tabEntered(nullptr, 0, false, 0, 0);
  main_->quoteForm->tabEntered(nullptr, 0, false, 0, 0);
  main_->transactionForm->tabEntered(nullptr, 0);
  main_->arriveAtSystemTab();
  ASSERT_EQ(main_->assetForm->shownPortfolioSerial(), oldSerial);
  ASSERT_EQ(main_->transactionForm->shownPortfolioSerial(), oldSerial);
  ASSERT_EQ(main_->systemForm->PortfolioSerial(), oldSerial);

  main_->releasePortfolios();
  EXPECT_EQ(table.count(), 0);
  EXPECT_EQ(main_->portfolioForm->globalNotes(), nullptr) << "the notes of the old folders are let go";
  for (TdataForm* form : std::vector<TdataForm*>{main_->portfolioForm, main_->assetForm, main_->quoteForm})
    EXPECT_EQ(form->windowDir(), "");
  EXPECT_EQ(main_->assetForm->shownPortfolioSerial(), 0);
  EXPECT_EQ(main_->quoteForm->shownPortfolioSerial(), 0);
  EXPECT_EQ(main_->transactionForm->shownPortfolioSerial(), 0);
  EXPECT_EQ(main_->systemForm->PortfolioSerial(), 0);

  ASSERT_EQ(table.newPortfolio("New", "NEW", folder, work_ + "DATA\\FOLIOS\\", "EUR"), 0);
  EXPECT_NE(table.items(0)->Serial(), oldSerial);
}
