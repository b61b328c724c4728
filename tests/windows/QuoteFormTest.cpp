#include <gtest/gtest.h>

#include "controls/ResizablePanel.h"
#include "controls/SheetPanel.h"
#include "model/Asset.h"
#include "model/PortableIniFile.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "model/Prices.h"
#include "platform/ExtControls.h"
#include "platform/FileSystem.h"
#include "platform/FloatingPoint.h"
#include "platform/Panel.h"
#include "platform/PageControl.h"
#include "sheet/Sheet.h"
#include "tests/model/SampleWorkFolder.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestSupport.h"
#include "windows/QuoteEditor.h"
#include "windows/QuoteForm.h"

// The first sample portfolio: four assets with price files and a cash
// account without one.
TEST(QuoteWindow, ListsAssetsWithPricesOnlyAndTheEditorFollowsTheSelection) {
  setExtendedPrecision();
  TSampleWorkFolder sample;
  TPortfolioTable table;
  ASSERT_EQ(table.open(sample.folios + "1\\", false, {}, nullptr, true, false), 0);
  table.setCurrentIndex(0);
  TPortfolio& portfolio = *table.current();
  TForm main{mainWindowOptions("Kestrova", 760, 480)};
  TPageControl& pages = main.add<TPageControl>();
  pages.setAlign(TAlign::client);
  main.showModeless();
  TquoteForm& form = createChildForm<TquoteForm>(pages, "Quotes");
  form.setPortfolioTable(&table);
  form.loadView();
  // A look makes no layout file in the portfolio's folder: the user's
  // first change of the layout does, below.
  const std::string controls = portfolio.Folder() + "QuoteControls.INI";
  ASSERT_FALSE(fileExists(controls));
  EXPECT_TRUE(form.saveView().empty());
  form.loadView();
  form.saveView();
  EXPECT_FALSE(fileExists(controls));
  if (!form.rowWiseBtn().down()) form.setRowWise(true);
  ASSERT_EQ(form.dataSheet().objectLineCount(), 4);
  for (int line = 2; line <= 5; ++line)
    EXPECT_FALSE(portfolio.assets(form.dataSheet().lineToObject(line))->noPriceHistoryLocation());

  form.quotesBtn().setDown(true);
  form.quotesBtnClick();
  EXPECT_TRUE(form.quoteEditorContainer().visible());
  EXPECT_EQ(form.quoteEditor().rows().rowCount(), 0);
  TSheet& sheet = form.sheetPanel().sheet();
  sheet.setCurrentCell(2, 3);
  form.sheetPanel().refresh();
  const int index = form.dataSheet().lineToObject(3);
  EXPECT_EQ(form.quotesAssetIndex(), index);
  EXPECT_EQ(form.quoteEditor().rows().rowCount(), portfolio.assets(index)->Prices().count());
  pumpFor(100);
  captureWindow(main.handle()).savePng("quotes-window");

  // A commit, and the views the window recomputes after it, leave the
  // editor's rows in the user's sort and the cursor on its day.
  TQuoteEditor& editor = form.quoteEditor();
  TSheet& quotes = editor.quotesPanel().sheet();
  quotes.setCurrentCell(1, 2);
  editor.quoteSort(false);
  const int lastColumn = quotes.getColCount();
  quotes.setCurrentCell(lastColumn, 4);
  const double day = quotes.getCellNumber(1, 4);
  quotes.setCurrentCellContent(1, "77", alignRight);
  editor.quotesPanel().onCellValueEdited();
  editor.quoteCommitEditsBtnClick();
  pumpFor(300);
  EXPECT_GT(quotes.getCellNumber(1, 2), quotes.getCellNumber(1, 3));
  EXPECT_EQ(quotes.currentCol, lastColumn);
  EXPECT_EQ(quotes.currentRow, 4);
  EXPECT_EQ(quotes.getCellNumber(1, 4), day);
  EXPECT_EQ(quotes.getCellNumber(lastColumn, 4), 77);

  // The editor's place, state and column widths are kept with the
  // portfolio; columns never shown keep their widths.
  form.quoteEditor().quotesPanel().setColWidth(1, 97);
  TPanel& sortGroup = *form.quoteEditor().toolGroups()[1];
  form.quoteEditor().quoteEdControlBar().setBandVisible(sortGroup, false);
  form.quoteEditor().quotesPanel().refresh();
  form.saveView();
  {
    const TPortableIniFile ini(portfolio.Folder() + "QuoteControls.INI");
    EXPECT_EQ(ini.readInteger("QuoteGrid", "DateWidth", -1), 97);
    EXPECT_EQ(ini.readInteger("QuoteGrid", "AskSizeWidth", -1), 0);
  }
  // Written in the order the file has always had; no creation controls.
  const std::string text = readWholeFile(portfolio.Folder() + "QuoteControls.INI");
  const auto at = [&](const std::string& part) { return text.find(part); };
  EXPECT_EQ(at("[CreationControls]"), std::string::npos);
  EXPECT_LT(at("[SheetControls]"), at("[QuoteGrid]"));
  EXPECT_LT(at("[QuoteFieldControls]"), at("[Notes]"));
  EXPECT_LT(at("[SetupControls]"), at("Nulls="));
  EXPECT_LT(at("Nulls="), at("FixedOn="));
  EXPECT_LT(at("[GridDirectionControls]"), at("Nulls="));

  // The sheet leaves Insert and Ctrl+Delete alone: no asset is made or lost here.
  for (const auto& [pressed, shift] : {std::pair<WORD, TShiftState>{VK_INSERT, 0}, {VK_DELETE, ssCtrl}}) {
    WORD key = pressed;
    form.sheetPanel().onSheetKeyDown(key, shift);
    EXPECT_EQ(key, pressed);
  }
  form.quotesBtn().setDown(false);
  form.quotesBtnClick();
  form.loadView();
  EXPECT_TRUE(form.quotesBtn().down());
  EXPECT_TRUE(form.quoteEditorContainer().visible());
  sheet.setCurrentCell(2, 3);
  form.sheetPanel().refresh();
  EXPECT_EQ(form.quoteEditor().quotesPanel().getColWidth(1), 97);
  EXPECT_FALSE(sortGroup.visible());
}
