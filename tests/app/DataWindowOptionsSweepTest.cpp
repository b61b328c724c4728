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
#include "tests/app/FileSweep.h"
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
