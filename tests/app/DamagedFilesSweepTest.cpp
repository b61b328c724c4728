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
#include "platform/FloatingPoint.h"
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
#include "tests/model/SampleWorkFolder.h"
#include "tests/support/ThreadTime.h"
#include "tests/support/LayoutDamage.h"
#include "tests/support/ScriptedMessageBox.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestSupport.h"
#include "windows/AssetForm.h"
#include "windows/PortfolioForm.h"
#include "windows/QuoteForm.h"
#include "windows/ToolBarOptions.h"
#include "windows/TransactionForm.h"

namespace {

// One kind of window or view file: how a clean one is made, and how one
// is read into its own class and written back to another name.
struct TFileKind {
  const char* name;
  std::function<void(const std::string& fileName)> makeClean;
  std::function<void(const std::string& from, const std::string& to)> loadAndSave;
};

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

// The sections of the file that reference holds, as file holds them:
// sections a save leaves behind unread are no part of what was read.
std::map<std::string, std::vector<std::string>> readBack(const std::string& file, const std::string& reference) {
  std::vector<std::string> sections;
  TPortableIniFile(reference).readSections(sections);
  const TPortableIniFile ini(file);
  std::map<std::string, std::vector<std::string>> read;
  for (const std::string& section : sections) ini.readSectionValues(section, read[section]);
  return read;
}

// A kind of file read and written back after each damage within the time
// a clean one takes (give or take Wine), giving what reading it again gives.
void sweep(const TFileKind& kind, const TTemporaryFolder& folder) {
  const std::string clean = folder.path() + "clean.INI";
  deleteFile(clean);
  kind.makeClean(clean);
  const std::string cleanText = readWholeFile(clean);
  ASSERT_FALSE(cleanText.empty()) << kind.name;
  for (TLayoutDamage damage : allLayoutDamages()) {
    const std::string damaged = folder.path() + "damaged.INI";
    const std::string first = folder.path() + "first.INI";
    const std::string second = folder.path() + "second.INI";
    for (const std::string& name : {first, second}) deleteFile(name);
    writeWholeFile(damaged, damageLayoutText(cleanText, damage));
    const auto started = threadProcessorTime();
    kind.loadAndSave(damaged, first);
    EXPECT_LT(threadProcessorTime() - started, std::chrono::seconds(3))
        << kind.name << ", " << layoutDamageName(damage);
    kind.loadAndSave(first, second);
    EXPECT_EQ(readBack(first, second), readBack(second, second)) << kind.name << ", " << layoutDamageName(damage);
  }
}

// A data window on a tab of a main window, showing the sample's first
// portfolio; its options file is read when its view loads and written when
// the view is saved.
template <class Window>
struct TDataWindowHost {
  explicit TDataWindowHost(const std::string& optionsFile, int width = 760, int height = 420)
      : main(mainWindowOptions("Kestrova", width, height)) {
    table.open(sample.folios + "1\\", false, {}, nullptr, true, false);
    table.setCurrentIndex(0);
    pages.setAlign(TAlign::client);
    main.showModeless();
    window = &createChildForm<Window>(pages, "Data");
    window->setPortfolioTable(&table);
    options = pathOf(optionsFile);
  }
  // A file of the data folder, or of the portfolio's own when no folder is named.
  std::string pathOf(const std::string& file) const {
    return file.find('\\') == std::string::npos ? sample.folios + "1\\" + file : sample.data + file;
  }
  TFileKind kind(const char* name) { return kindOf(name, options); }
  TFileKind kindOf(const char* name, const std::string& file) {
    return {name,
            [this, file](const std::string& fileName) {
              loadAndSaveView();
              if (!fileExists(file)) saveChangedLayout();
              copyFile(file, fileName, false);
              userFilesAtFirst = userFiles();
            },
            [this, file](const std::string& from, const std::string& to) {
              copyFile(from, file, false);
              loadAndSaveView();
              copyFile(file, to, false);
            }};
  }
  // A look makes no options file: the layout the window shows is written
  // whole once the user changed it, and changed back.
  void saveChangedLayout() {
    const bool rowWise = window->rowWiseBtn().down();
    window->setRowWise(!rowWise);
    window->saveView();
    window->setRowWise(rowWise);
    window->saveView();
  }
  // With savePortfolios the view's order and sizes reach the files with
  // the portfolio, as at close.
  void loadAndSaveView() {
    window->loadView();
    window->saveView();
    if (savePortfolios) {
      EXPECT_EQ(table.saveAll(), 0);
    }
  }

  // The working folder's files but the windows' options and field files,
  // whose sizes follow the layout.
  std::map<std::string, std::string> userFiles() const {
    std::map<std::string, std::string> files = folderContents(sample.root);
    std::erase_if(files, [](const auto& file) {
      const std::string& name = file.first;
      return name.ends_with("Controls.INI") || name.ends_with("Fields.INI");
    });
    return files;
  }

  std::vector<std::string> changedUserFiles() const {
    const std::map<std::string, std::string> now = userFiles();
    std::vector<std::string> changed;
    for (const auto& [name, text] : now) {
      // Notes the options show are made empty at once, as the Notes button
      // makes them.
      if (!userFilesAtFirst.contains(name) && text.empty()) continue;
      if (!userFilesAtFirst.contains(name) || userFilesAtFirst.at(name) != text) changed.push_back(name);
    }
    for (const auto& [name, text] : userFilesAtFirst)
      if (!now.contains(name)) changed.push_back(name);
    return changed;
  }

  TSampleWorkFolder sample;
  TPortfolioTable table;
  TForm main;
  TPageControl& pages = main.add<TPageControl>();
  Window* window = nullptr;
  std::string options;
  bool savePortfolios = false;
  std::map<std::string, std::string> userFilesAtFirst;
};

}  // namespace

// Every kind of damage found in the window layer's files, for every file it
// reads.
TEST(DamagedFilesSweep, EveryFileReadsAndSavesQuicklyAndTheSameTwice) {
  TTemporaryFolder folder;
  for (const TFileKind& kind : fileKinds()) sweep(kind, folder);
}

// The user's own files stay as they were, whatever the options held.
TEST(DamagedFilesSweep, TheDataWindowsOwnOptionsReadAndSaveQuicklyAndTheSameTwice) {
  setExtendedPrecision();
  TTemporaryFolder folder;
  {
    TDataWindowHost<TportfolioForm> portfolios("FOLIOS\\FolioControls.INI");
    sweep(portfolios.kind("Portfolios window options"), folder);
    EXPECT_EQ(portfolios.changedUserFiles(), std::vector<std::string>{});
  }
  {
    TDataWindowHost<TassetForm> assets("AssetControls.INI");
    sweep(assets.kind("Assets window options"), folder);
    EXPECT_EQ(assets.changedUserFiles(), std::vector<std::string>{});
  }
  {
    TDataWindowHost<TquoteForm> quotes("QuoteControls.INI");
    sweep(quotes.kind("Quotes window options"), folder);
    EXPECT_EQ(quotes.changedUserFiles(), std::vector<std::string>{});
  }
  {
    TDataWindowHost<TtransactionForm> transactions("TransactionControls.INI");
    sweep(transactions.kind("Transactions window options"), folder);
    EXPECT_EQ(transactions.changedUserFiles(), std::vector<std::string>{});
  }
}

// A field file damaged, emptied or without its key field once set the
// display order of every portfolio or asset to -1 at close.
TEST(DamagedFilesSweep, DamagedFieldFilesLeaveTheOrderStoredInThePortfolioAndAssetFiles) {
  setExtendedPrecision();
  TTemporaryFolder folder;
  const auto emptied = [](auto& host, const std::string& fieldFile) {
    writeWholeFile(host.pathOf(fieldFile), "");
    host.loadAndSaveView();
    writeWholeFile(host.pathOf(fieldFile), "[Fields]\r\nCount=1\r\n[0]\r\nHeader=Name\r\nKind=3\r\n");
    host.loadAndSaveView();
  };
  {
    TDataWindowHost<TportfolioForm> portfolios("FOLIOS\\FolioControls.INI");
    portfolios.savePortfolios = true;
    sweep(portfolios.kindOf("Portfolios window fields", portfolios.pathOf("FOLIOS\\FolioFields.INI")), folder);
    emptied(portfolios, "FOLIOS\\FolioFields.INI");
    EXPECT_EQ(portfolios.changedUserFiles(), std::vector<std::string>{});
  }
  {
    TDataWindowHost<TassetForm> assets("AssetControls.INI");
    assets.savePortfolios = true;
    sweep(assets.kindOf("Assets window fields", assets.pathOf("AssetFields.INI")), folder);
    emptied(assets, "AssetFields.INI");
    EXPECT_EQ(assets.changedUserFiles(), std::vector<std::string>{});
  }
  {
    TDataWindowHost<TquoteForm> quotes("QuoteControls.INI");
    quotes.savePortfolios = true;
    sweep(quotes.kindOf("Quotes window fields", quotes.pathOf("QuoteFields.INI")), folder);
    emptied(quotes, "QuoteFields.INI");
    EXPECT_EQ(quotes.changedUserFiles(), std::vector<std::string>{});
  }
}

// A view's save once dropped what its writes answered: each file it cannot
// write is named, so that the close can tell the user and keep the edit.
TEST(DamagedFilesSweep, EveryFileOfAViewThatCannotBeWrittenIsNamed) {
  // The folders' names come back in capitals.
  const auto upper = [](TSaveFailures names) {
    for (std::string& name : names)
      for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return names;
  };
  const auto check = [&upper](auto& host, const std::string& fieldFile) {
    TdataForm& window = *host.window;
    window.loadView();
    window.notesBtn().setDown(true);
    window.notesBtnClick();
    ASSERT_NE(window.globalNotes(), nullptr);
    const std::string notesFile = window.globalNotes()->fileName;
    for (const std::string& file : {host.options, host.pathOf(fieldFile), notesFile}) {
      // Something to write into every file: files nobody changed are not written.
      ASSERT_TRUE(window.globalNotes()->insertText("A note "));
      window.synchDatesBtn().setDown(!window.synchDatesBtn().down());
      ++window.fieldTable().DefaultColWiseHeight;
      SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
      EXPECT_EQ(upper(window.saveView()), upper({file}));
      SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
      EXPECT_EQ(window.saveView(), TSaveFailures{}) << file;
    }
    EXPECT_EQ(readWholeFile(notesFile).find("A note A note A note "), 0u);
  };
  {
    TDataWindowHost<TportfolioForm> portfolios("FOLIOS\\FolioControls.INI");
    check(portfolios, "FOLIOS\\FolioFields.INI");
  }
  {
    TDataWindowHost<TassetForm> assets("AssetControls.INI");
    check(assets, "AssetFields.INI");
  }
}

// A main window shrunk by damaged options once narrowed the sizes stored in
// intact view and option files: the boxes shown shrink, the files keep what
// the user set.
TEST(DamagedFilesSweep, ANarrowMainWindowLeavesTheSizesStoredInIntactFilesAsTheyWere) {
  TTemporaryFolder folder;
  {
    std::string wideText;
    {
      TDataWindowHost<TtransactionForm> wide("TransactionControls.INI", 1200, 800);
      wide.loadAndSaveView();
      wide.saveChangedLayout();
      wideText = readWholeFile(wide.options);
    }
    TDataWindowHost<TtransactionForm> narrow("TransactionControls.INI", 563, 300);
    writeWholeFile(narrow.options, wideText);
    const int stored = TPortableIniFile(narrow.options).readInteger("SelectionControls", "ComboWidth", 0);
    narrow.loadAndSaveView();
    EXPECT_LT(narrow.window->assetComboBox().width(), stored);
    const TPortableIniFile saved(narrow.options);
    EXPECT_EQ(saved.readInteger("SelectionControls", "ComboWidth", 0), stored);
    // The tool groups the narrow bar moved stay where the file had them.
    const TPortableIniFile wide(folder.path() + "wide.INI", TPortableIniFile::TReadText{wideText});
    for (const char* group : {"CreationControls", "GridDirectionControls", "SortControls", "AutoControls",
                              "OrderControls", "SetupControls", "SelectionControls"})
      for (const char* key : {"Left", "Top"})
        EXPECT_EQ(saved.readInteger(group, key, -1), wide.readInteger(group, key, -2)) << group << " " << key;
  }
  {
    TForm form(mainWindowOptions("Kestrova", 563, 300));
    form.showModeless();
    TWebPanel& panel = form.add<TWebPanel>([](HWND, TWebBrowserEvents&) { return std::unique_ptr<TWebBrowser>(); });
    panel.setBounds(0, 0, 400, 250);
    const std::string view = folder.path() + "browser.INI";
    writeWholeFile(view, "[ToolBar]\r\nToolBarWidth=1000\r\n[Buttons]\r\nVisible=1\r\nLeft=11\r\nTop=2\r\n"
                         "[Default]\r\nVisible=1\r\nLeft=185\r\nTop=2\r\n[Delete]\r\nVisible=1\r\nLeft=244\r\nTop=2\r\n"
                         "[Address]\r\nVisible=1\r\nLeft=300\r\nTop=2\r\nComboWidth=206\r\n");
    const TPortableIniFile stored(view);
    ASSERT_EQ(panel.loadSettings(view), 0);
    ASSERT_EQ(panel.saveSettings(view), 0);
    const TPortableIniFile saved(view);
    EXPECT_EQ(saved.readInteger("Address", "ComboWidth", 0), 206);
    for (const char* group : {"Buttons", "Default", "Delete", "Address"})
      for (const char* key : {"Left", "Top"})
        EXPECT_EQ(saved.readInteger(group, key, -1), stored.readInteger(group, key, -2)) << group << " " << key;
  }
  {
    TForm form(mainWindowOptions("Kestrova", 563, 300));
    TPageControl& pages = form.add<TPageControl>();
    pages.setAlign(TAlign::client);
    form.showModeless();
    TScriptedMessageBox messages;
    TdownloadForm& downloads = createChildForm<TdownloadForm>(pages, "Downloads", messages);
    const std::string options = folder.path() + "GUIoptions.INI";
    writeWholeFile(options, "[DownloadSheet]\r\nWidth=1200\r\nUrlComboWidth=352\r\n");
    downloads.loadGUIoptions(TPortableIniFile(options));
    EXPECT_LT(downloads.browserPane().addressCombo().width(), 352);
    {
      TPortableIniFile ini(options);
      downloads.saveGUIoptions(ini);
    }
    EXPECT_EQ(TPortableIniFile(options).readInteger("DownloadSheet", "UrlComboWidth", 0), 352);
  }
}

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

// Files a data window reads when its view loads, held by another program
// then, once showed the window empty and were overwritten with that at the
// next save. Now a save leaves every file it could not read as it is, and
// writes no file nobody changed, so read-only ones raise no failure.
TEST(DamagedFilesSweep, TheDataWindowsLeaveFilesTheyCouldNotReadOrNobodyChangedAsTheyWere) {
  setExtendedPrecision();
  const auto check = [](auto& host, std::vector<std::string> files) {
    for (std::string& file : files) file = host.pathOf(file);
    files.push_back(host.options);
    // Files as the window itself last wrote them.
    host.loadAndSaveView();
    std::map<std::string, std::string> texts;
    for (const std::string& file : files) texts[file] = readWholeFile(file);
    {
      std::vector<std::unique_ptr<THeldFile>> held;
      for (const std::string& file : files) held.push_back(std::make_unique<THeldFile>(file));
      host.window->loadView();
    }
    EXPECT_EQ(host.window->saveView(), TSaveFailures{});
    for (const std::string& file : files) EXPECT_EQ(readWholeFile(file), texts[file]) << file;

    host.window->loadView();
    for (const std::string& file : files) SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(host.window->saveView(), TSaveFailures{});
    for (const std::string& file : files) SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    for (const std::string& file : files) EXPECT_EQ(readWholeFile(file), texts[file]) << file;
  };
  {
    TDataWindowHost<TportfolioForm> portfolios("FOLIOS\\FolioControls.INI");
    check(portfolios, {"FOLIOS\\FolioFields.INI", "FOLIOS\\Charts\\Folio_0.INI", "FOLIOS\\Graphs\\Folio_0.INI"});
  }
  {
    TDataWindowHost<TassetForm> assets("AssetControls.INI");
    check(assets, {"AssetFields.INI", "FOLIOS\\1\\Charts\\Asset_0.INI"});
  }
  {
    TDataWindowHost<TquoteForm> quotes("QuoteControls.INI");
    check(quotes, {"QuoteFields.INI"});
  }
  {
    TDataWindowHost<TtransactionForm> transactions("TransactionControls.INI");
    check(transactions, {"TransactionFields.INI"});
  }
}
