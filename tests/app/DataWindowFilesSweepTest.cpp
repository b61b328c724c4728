#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "app/DownloadForm.h"
#include "app/DownloadBrowserPane.h"
#include "app/MainWindowSetup.h"
#include "chart/SheetGraph.h"
#include "chart/SliderForm.h"
#include "chart/Source.h"
#include "chart/SourceTable.h"
#include "controls/ChildForm.h"
#include "controls/GalleryForm.h"
#include "controls/WebBrowser.h"
#include "controls/WebPanel.h"
#include "controls/WebPanelSettings.h"
#include "model/PortableIniFile.h"
#include "model/PortfolioTable.h"
#include "platform/FloatingPoint.h"
#include "platform/PageControl.h"
#include "platform/ExtControls.h"
#include "platform/Form.h"
#include "platform/StdControls.h"
#include "sheet/FieldTable.h"
#include "macros/MacroReference.h"
#include "macros/MacroSheetStore.h"
#include "macros/ScriptEngineDeclarations.h"
#include "systems/OptimizeForm.h"
#include "systems/System.h"
#include "tests/app/FileSweep.h"
#include "tests/support/ScriptedMessageBox.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestSupport.h"
#include "windows/AssetForm.h"
#include "windows/PortfolioForm.h"
#include "windows/QuoteForm.h"
#include "windows/ToolBarOptions.h"
#include "windows/TransactionForm.h"

namespace {

// A field file damaged, emptied or without its key field once set the
// display order of every portfolio or asset to -1 at close.
template <class Window>
void sweepFieldFile(const std::string& optionsFile, const std::string& fieldFile, const char* name, int group) {
  setExtendedPrecision();
  TTemporaryFolder folder;
  TDataWindowHost<Window> host(optionsFile);
  host.savePortfolios = true;
  sweep(host.kindOf(name, host.pathOf(fieldFile)), folder, layoutDamageGroup(group));
  writeWholeFile(host.pathOf(fieldFile), "");
  host.loadAndSaveView();
  writeWholeFile(host.pathOf(fieldFile), "[Fields]\r\nCount=1\r\n[0]\r\nHeader=Name\r\nKind=3\r\n");
  host.loadAndSaveView();
  EXPECT_EQ(host.changedUserFiles(), std::vector<std::string>{});
}

const TWindowSweep fieldFileSweeps[] = {
    {"Portfolios",
     [](int group) {
       sweepFieldFile<TportfolioForm>("FOLIOS\\FolioControls.INI", "FOLIOS\\FolioFields.INI", "Portfolios window fields",
                                      group);
     }},
    {"Assets",
     [](int group) { sweepFieldFile<TassetForm>("AssetControls.INI", "AssetFields.INI", "Assets window fields", group); }},
    {"Quotes",
     [](int group) { sweepFieldFile<TquoteForm>("QuoteControls.INI", "QuoteFields.INI", "Quotes window fields", group); }},
};

// Each data window's field file with each group of damages.
class DamagedFieldFiles : public testing::TestWithParam<std::tuple<int, int>> {};

}  // namespace

TEST_P(DamagedFieldFiles, LeaveTheOrderStoredInThePortfolioAndAssetFiles) {
  fieldFileSweeps[std::get<0>(GetParam())].run(std::get<1>(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(DamagedFilesSweep, DamagedFieldFiles,
                         testing::Combine(testing::Range(0, static_cast<int>(std::size(fieldFileSweeps))),
                                          testing::Range(0, layoutDamageGroups)),
                         [](const testing::TestParamInfo<std::tuple<int, int>>& sweep) {
                           return windowSweepName(fieldFileSweeps[std::get<0>(sweep.param)], std::get<1>(sweep.param));
                         });

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
