#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/DownloadForm.h"
#include "app/DownloadBrowserPane.h"
#include "app/DownloadLists.h"
#include "app/MainWindowSetup.h"
#include "app/WebMosaics.h"
#include "chart/SheetGraph.h"
#include "chart/SliderForm.h"
#include "chart/Source.h"
#include "chart/SourceTable.h"
#include "controls/ChildForm.h"
#include "controls/DownloadItem.h"
#include "controls/GalleryForm.h"
#include "controls/WebBrowser.h"
#include "controls/WebPanel.h"
#include "controls/WebPanelSettings.h"
#include "model/PortableIniFile.h"
#include "model/PortfolioTable.h"
#include "platform/FileSystem.h"
#include "platform/PageControl.h"
#include "platform/ExtControls.h"
#include "platform/Form.h"
#include "platform/Panel.h"
#include "platform/StdControls.h"
#include "sheet/FieldTable.h"
#include "sheet/Sheet.h"
#include "macros/MacroReference.h"
#include "macros/MacroSheetStore.h"
#include "macros/ScriptEngineDeclarations.h"
#include "systems/OptimizeForm.h"
#include "systems/System.h"
#include "tests/app/FileSweep.h"
#include "tests/support/ThreadTime.h"
#include "tests/support/ScriptedMessageBox.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestSupport.h"
#include "windows/PortfolioForm.h"
#include "windows/ToolBarOptions.h"
#include "windows/TransactionForm.h"

namespace {

void fillSources(TSourceTable& table) {
  for (int i = 0; i < 3; ++i) {
    table.insertSource(i);
    TSource& source = *table.getSource(i);
    source.Close = "SIN(X)*P";
    source.Caption = "Line " + std::to_string(i + 1);
    source.insertParameter(0, "P", "Amplitude", "", 2, 0, 5, 11, false);
  }
}

void graphLoadAndSave(bool chart, const std::string& from, const std::string& to) {
  TForm form(mainWindowOptions("View", 400, 300));
  TSheetGraph& graph = chart ? form.add<TSheetChart>() : form.add<TSheetGraph>();
  // The graph saves into the file it read.
  copyFile(from, to, false);
  graph.loadFromFile(to, '.', ',');
  graph.saveToFile('.', ',');
}

const char* const engineId = "{B54F3741-5B07-11CF-A4B0-00AA004A55E8}";

std::string folderOf(const std::string& fileName) { return fileName.substr(0, fileName.find_last_of('\\') + 1); }

// A window's control bar of two groups, as the data windows build theirs.
struct TToolBar {
  TToolBar() : form(mainWindowOptions("Tool groups", 600, 100)), bar(form.add<TControlBar>()) {
    bar.setBounds(0, 0, 600, 26);
    for (const char* name : {"First", "Second"}) {
      TPanel& panel = bar.add<TPanel>();
      panel.name = name;
      panel.setSize(100, 22);
      panels.push_back(&panel);
      bar.addBand(panel, TControlBar::bandWidthFor(panel));
    }
  }
  std::vector<TToolGroupSection> groups() const {
    return {{"FirstControls", panels[0]}, {"SecondControls", panels[1]}};
  }
  TForm form;
  TControlBar& bar;
  std::vector<TPanel*> panels;
};

const std::vector<TFileKind>& fileKinds() {
  static const std::vector<TFileKind> kinds = {
      {"system settings",
       [](const std::string& fileName) {
         writeWholeFile(fileName, readWholeFile(sampleDataFolder() + "DATA\\FOLIOS\\2\\System.INI"));
       },
       [](const std::string& from, const std::string& to) {
         TSystem system;
         system.loadFromIni(TPortableIniFile(from), {'.', ';'});
         TPortableIniFile ini(to);
         system.saveToIni(ini, {'.', ';'});
       }},
      {"chart view",
       [](const std::string& fileName) {
         TForm form(mainWindowOptions("View", 400, 300));
         TSheetChart& chart = form.add<TSheetChart>();
         chart.loadFromFile(fileName, '.', ',');
         fillSources(chart.sourceTable());
         chart.saveToFile('.', ',');
       },
       [](const std::string& from, const std::string& to) { graphLoadAndSave(true, from, to); }},
      {"graph view",
       [](const std::string& fileName) {
         TForm form(mainWindowOptions("View", 400, 300));
         TSheetGraph& graph = form.add<TSheetGraph>();
         graph.loadFromFile(fileName, '.', ',');
         fillSources(graph.sourceTable());
         graph.setXFormulas("0", "2*PI", "101", false);
         graph.saveToFile('.', ',');
       },
       [](const std::string& from, const std::string& to) { graphLoadAndSave(false, from, to); }},
      {"source file",
       [](const std::string& fileName) {
         TSourceTable table(TSource::create);
         fillSources(table);
         table.saveToFile(fileName, '.', ',');
       },
       [](const std::string& from, const std::string& to) {
         TSourceTable table(TSource::create);
         table.loadFromFile(from, '.', ',');
         table.saveToFile(to, '.', ',');
       }},
      {"browser view",
       [](const std::string& fileName) {
         TWebPanelSettings settings;
         settings.addRecentUrl("http://example.com/quotes");
         settings.addRecentUrl("http://example.com/news");
         settings.saveSettings(fileName);
       },
       [](const std::string& from, const std::string& to) {
         TWebPanelSettings settings;
         settings.loadSettings(from);
         settings.saveSettings(to);
       }},
      {"download item",
       [](const std::string& fileName) {
         TDownloadItem item;
         item.fileName = fileName;
         item.Name = "Global index";
         item.Symbol = "GIX";
         item.Remarks = {"Exchange=XETRA", "Note=weekly"};
         item.saveToFile();
       },
       [](const std::string& from, const std::string& to) {
         TDownloadItem item;
         item.loadFromFile(from);
         item.fileName = to;
         item.saveToFile();
       }},
      {"engine declarations",
       [](const std::string& fileName) {
         TScriptEngineDeclarations declarations;
         declarations.setPath(fileName);
         TScriptEngineAttributes engine;
         engine.menuName = "VBScript";
         engine.fileFilter = "*.vbs";
         declarations.add(engine);
         declarations.save(0);
       },
       [](const std::string& from, const std::string& to) {
         TScriptEngineDeclarations declarations;
         declarations.setPath(from);
         declarations.load(false);
         declarations.setPath(to);
         declarations.enginesModified = true;
         declarations.save(declarations.selectedIndex());
       }},
      {"main window options",
       [](const std::string& fileName) {
         TPortableIniFile ini(fileName);
         saveMainWindowBounds(ini, true, {10, 20, 810, 620});
         TSheet sheet;
         sheet.setColWidth(2, 120);
         sheet.setRowHeight(3, 30);
         sheet.setCellContent(1, 1, 0, "=2*3", 1);
         saveMacroSheet(sheet, ini);
       },
       [](const std::string& from, const std::string& to) {
         const TPortableIniFile read(from);
         const RECT bounds = mainWindowBounds(read, {0, 0, 1024, 768}, {0, 0, 1280, 1000});
         TSheet sheet;
         loadMacroSheet(sheet, read);
         TPortableIniFile written(to);
         saveMainWindowBounds(written, true, bounds);
         saveMacroSheet(sheet, written);
       }},
      {"gallery options",
       [](const std::string& fileName) {
         TgalleryForm gallery;
         TPortableIniFile ini(fileName);
         gallery.saveGUIoptions(ini);
       },
       [](const std::string& from, const std::string& to) {
         TgalleryForm gallery;
         gallery.loadGUIoptions(TPortableIniFile(from));
         TPortableIniFile ini(to);
         gallery.saveGUIoptions(ini);
       }},
      {"slider options",
       [](const std::string& fileName) { TSliderForm().saveGUIoptions(fileName); },
       [](const std::string& from, const std::string& to) {
         TSliderForm sliders;
         sliders.loadGUIoptions(from);
         sliders.saveGUIoptions(to);
       }},
      {"tool-bar layout",
       [](const std::string& fileName) {
         TToolBar bar;
         TPortableIniFile ini(fileName);
         TToolGroupPlaces().write(ini, bar.groups());
       },
       [](const std::string& from, const std::string& to) {
         TToolBar bar;
         TToolGroupPlaces places;
         places.read(TPortableIniFile(from), bar.bar, bar.groups());
         TPortableIniFile ini(to);
         places.write(ini, bar.groups());
       }},
      {"macro package",
       [](const std::string& fileName) {
         TMacroReference package;
         package.create(folderOf(fileName), "clean", engineId);
         package.setActive(true);
         package.save();
       },
       [](const std::string& from, const std::string& to) {
         // A package is named by its descriptor: the one read is the one saved.
         copyFile(from, to, false);
         TMacroReference package;
         package.load(folderOf(to), to.substr(folderOf(to).size()), engineId);
         package.modified = true;
         package.save();
       }},
      {"web mosaic",
       [](const std::string& fileName) {
         const std::string folder = folderOf(fileName) + "mosaic\\1\\";
         forceFolders(folder);
         writeMosaicName(folder, "Markets");
         copyFile(folder + "0.INI", fileName, false);
       },
       [](const std::string& from, const std::string& to) {
         const std::string root = folderOf(to) + "mosaics\\";
         forceFolders(root + "1");
         copyFile(from, root + "1\\0.INI", false);
         const std::vector<TMosaicRow> rows = listMosaicFolders(root);
         writeMosaicName(root + "1\\", rows.empty() ? "" : rows[0].name);
         copyFile(root + "1\\0.INI", to, false);
       }},
      {"optimiser settings",
       [](const std::string& fileName) {
         ToptimizeForm form;
         TPortableIniFile ini(fileName);
         form.saveGUIoptions(ini);
       },
       [](const std::string& from, const std::string& to) {
         ToptimizeForm form;
         form.loadGUIoptions(TPortableIniFile(from));
         TPortableIniFile ini(to);
         form.saveGUIoptions(ini);
       }},
      {"download list",
       [](const std::string& fileName) {
         // Only a list's own descriptor is written: the list is made first.
         const std::string root = folderOf(fileName) + "made lists\\";
         forceFolders(root);
         const std::string folder = root + std::to_string(newDownloadList(root, "Indices")) + "\\";
         setDownloadListChecked(folder, true);
         copyFile(folder + "0.INI", fileName, false);
       },
       [](const std::string& from, const std::string& to) {
         const std::string folder = folderOf(to) + "lists\\1\\";
         forceFolders(folder);
         copyFile(from, folder + "0.INI", false);
         setDownloadListChecked(folder, downloadListChecked(folder));
         copyFile(folder + "0.INI", to, false);
       }},
  };
  return kinds;
}

}  // namespace

// Every kind of damage found in the window layer's files, for every file it
// reads: a test of each kind of file, named after it.
class DamagedFileKind : public testing::TestWithParam<std::size_t> {};

TEST_P(DamagedFileKind, ReadsAndSavesQuicklyAndTheSameTwice) {
  TTemporaryFolder folder;
  sweep(fileKinds()[GetParam()], folder);
}

INSTANTIATE_TEST_SUITE_P(DamagedFilesSweep, DamagedFileKind, testing::Range<std::size_t>(0, fileKinds().size()),
                         [](const testing::TestParamInfo<std::size_t>& kind) {
                           std::string name;
                           bool wordStart = true;
                           for (const char c : std::string(fileKinds()[kind.param].name)) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) {
                               wordStart = true;
                               continue;
                             }
                             name += wordStart ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
                             wordStart = false;
                           }
                           return name;
                         });

namespace {

// A browser that only keeps what it was sent to.
class TRecordingBrowser : public TWebBrowser {
 public:
  explicit TRecordingBrowser(std::vector<std::string>& navigations) : navigations_(navigations) {}
  void navigate(const std::string& url) override { navigations_.push_back(url); }
  void goBack() override {}
  void goForward() override {}
  void refresh() override {}
  void stop() override {}
  std::string locationURL() const override { return navigations_.empty() ? "" : navigations_.back(); }
  bool busy() const override { return false; }
  bool visible() const override { return shown_; }
  void setVisible(bool visible) override { shown_ = visible; }
  bool scrollPosition(POINT& position) const override {
    position = {0, 0};
    return true;
  }
  bool scrollTo(POINT) override { return true; }
  HWND window() const override { return nullptr; }
  void setBounds(const RECT&) override {}

 private:
  std::vector<std::string>& navigations_;
  bool shown_ = false;
};

}  // namespace

// A home address or favourite of 200,000 characters once held the start
// for most of a minute while the address box laid it out.
TEST(DamagedFilesSweep, AddressesNoBrowserCanNavigateAreRefusedWhenAViewLoadsAndStayInItsFile) {
  TTemporaryFolder folder;
  const std::string longest = "http://example.com/" + std::string(2083 - 19, 'a');
  const std::string overlong = longest + "a";
  const std::string damaged = "http://example.com/" + std::string(200000, 'z');
  std::vector<std::string> navigations;
  {
    TForm form(mainWindowOptions("Kestrova", 700, 400));
    form.showModeless();
    TWebPanel& panel = form.add<TWebPanel>([&navigations](HWND, TWebBrowserEvents&) {
      return std::make_unique<TRecordingBrowser>(navigations);
    });
    panel.setBounds(0, 0, 600, 300);
    const std::string view = folder.path() + "browser.INI";
    const std::string text = "[Fav0]\r\nURL=" + damaged + "\r\n[Fav]\r\nCount=3\r\n[Fav1]\r\nURL=" + overlong +
                             "\r\nSymbol=LONG\r\n[Fav2]\r\nURL=" + longest + "\r\nSymbol=EDGE\r\n[Fav3]\r\nURL=" +
                             damaged + "\r\nSymbol=DAMAGED\r\n[RecentURLs]\r\n0=" + damaged + "\r\n1=http://ok/\r\n";
    writeWholeFile(view, text);
    const auto started = threadProcessorTime();
    ASSERT_EQ(panel.loadSettings(view), 0);
    panel.browserEnable(true);
    panel.openDefault(nullptr);
    EXPECT_LT(threadProcessorTime() - started, std::chrono::seconds(3));
    EXPECT_EQ(panel.addressCombo().text(), "");
    for (const std::string& sent : navigations) EXPECT_LE(sent.size(), 2083u);
    EXPECT_EQ(panel.navigation().openFavForSymbol("EDGE", nullptr), true);
    EXPECT_EQ(navigations.back(), longest);
    EXPECT_EQ(panel.addressCombo().text(), longest);
    navigations.clear();
    EXPECT_EQ(panel.navigation().openFavForSymbol("LONG", nullptr), true);
    EXPECT_EQ(navigations, std::vector<std::string>{""});
    ASSERT_EQ(panel.saveSettings(view), 0);
    const TPortableIniFile saved(view);
    EXPECT_EQ(saved.readString("Fav0", "URL", ""), damaged);
    EXPECT_EQ(saved.readString("Fav1", "URL", ""), overlong);
    EXPECT_EQ(saved.readString("Fav3", "URL", ""), damaged);
    EXPECT_EQ(saved.readString("RecentURLs", "0", ""), damaged);
  }
  {
    TForm form(mainWindowOptions("Kestrova", 700, 400));
    TPageControl& pages = form.add<TPageControl>();
    pages.setAlign(TAlign::client);
    form.showModeless();
    TScriptedMessageBox messages;
    navigations.clear();
    TdownloadForm& downloads = createChildForm<TdownloadForm>(
        pages, "Downloads", messages,
        [&navigations](HWND, TWebBrowserEvents&) { return std::make_unique<TRecordingBrowser>(navigations); });
    const std::string options = folder.path() + "GUIoptions.INI";
    writeWholeFile(options, "[DownloadSheetWebHome]\r\nURL=" + damaged + "\r\n[DownloadSheetURLs]\r\n0=" + damaged +
                                "\r\n1=http://ok/\r\n");
    const auto started = threadProcessorTime();
    downloads.loadGUIoptions(TPortableIniFile(options));
    downloads.webBrowserEnable(true);
    EXPECT_LT(threadProcessorTime() - started, std::chrono::seconds(3));
    EXPECT_EQ(downloads.browserPane().addressCombo().text(), "");
    EXPECT_EQ(navigations, std::vector<std::string>{""});
    {
      TPortableIniFile ini(options);
      downloads.saveGUIoptions(ini);
    }
    const TPortableIniFile saved(options);
    EXPECT_EQ(saved.readString("DownloadSheetWebHome", "URL", ""), damaged);
    EXPECT_EQ(saved.readString("DownloadSheetURLs", "0", ""), damaged);
    downloads.webBrowserEnable(false);
  }
}
