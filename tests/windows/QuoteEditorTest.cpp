#include <gtest/gtest.h>

#include <cstdio>

#include "controls/SheetPanel.h"
#include "model/Asset.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "model/Prices.h"
#include "platform/ExtControls.h"
#include "platform/FloatingPoint.h"
#include "platform/Form.h"
#include "platform/StdControls.h"
#include "platform/FileSystem.h"
#include "tests/model/SampleWorkFolder.h"
#include "tests/support/ScriptedMessageBox.h"
#include "tests/support/WindowTestSupport.h"
#include "windows/QuoteEditor.h"

namespace {

TFormOptions editorOptions() {
  TFormOptions options;
  options.caption = "Quotes";
  options.clientWidth = 520;
  options.clientHeight = 200;
  return options;
}

// An asset with open and close prices of its own file in a portfolio of its
// own, and an editor on it in a shown window.
class QuoteEditor : public testing::Test {
 protected:
  void SetUp() override {
    setExtendedPrecision();
    writeWholeFile(priceFile, original);
    int32_t serials = 0;
    TPortfolio maker{serials};
    ASSERT_EQ(maker.createNew("Made", "MAD", folder, "EUR"), 0);
    ASSERT_EQ(table.open(folder, false, {}, nullptr, true, false), 0);
    table.setCurrentIndex(0);
    ASSERT_EQ(table.current()->newAsset("Stock", "STK", false, "YYYYMMDD,O,C", priceFile, "EUR"), 0);
    asset = table.current()->assets(0);
    editor.setAlign(TAlign::client);
    form.showModeless();
  }

  TSampleWorkFolder sample;
  std::string priceFile = sample.quotes + "Q.TXT";
  std::string original = "20240102,1,2\r\n20240103,3,4\r\n";
  std::string folder = sample.folios + "7\\";
  TPortfolioTable table;
  TAsset* asset = nullptr;
  TForm form{editorOptions()};
  TQuoteEditor& editor = form.add<TQuoteEditor>();
};

// The same on forty days of quotes, more than the grid shows at once: 1
// January to 9 February 2024, the close of day n being 100 + n.
class LongQuoteEditor : public QuoteEditor {
 protected:
  LongQuoteEditor() {
    original.clear();
    for (int n = 1; n <= 40; ++n) {
      char line[32];
      std::snprintf(line, sizeof line, "2024%02d%02d,1,%d\r\n", n <= 31 ? 1 : 2, n <= 31 ? n : n - 31, 100 + n);
      original += line;
    }
  }
};

}  // namespace

TEST_F(QuoteEditor, ComputesOnTheSelectionCommitsToTheFileAndRefusesAnEmptySeries) {
  std::string message;
  editor.onMessage = [&](const std::string& text) { message = text; };
  int committed = 0;
  editor.onCommitted = [&] { ++committed; };
  int stopped = 0;
  editor.onBeforeCommit = [&] { ++stopped; };
  editor.showQuotes(&table, asset, -1, -1);
  TSheet& sheet = editor.quotesPanel().sheet();
  ASSERT_EQ(sheet.getColCount(), 3);
  EXPECT_EQ(sheet.getCellText(1, 1, false), "Date");
  EXPECT_EQ(sheet.getCellText(3, 1, false), "Close");
  EXPECT_FALSE(editor.quoteCommitEditsBtn().enabled());

  sheet.setCurrentCell(3, 2);
  sheet.setSelection(3, 2, 3, 3);
  editor.quoteArgEdit().setText("2");
  editor.quoteArithmetic(TQuoteEditorRows::multiplyOperation);
  EXPECT_EQ(sheet.getCellNumber(3, 3), 8);
  EXPECT_TRUE(editor.quoteCommitEditsBtn().enabled());
  sheet.setCurrentCell(1, 2);
  editor.quoteNewBtnClick();  // an unavailable row, dropped at commit
  EXPECT_EQ(sheet.getRowCount(), 4);
  pumpFor(100);
  captureWindow(form.handle()).savePng("quote-editor");
  editor.quoteCommitEditsBtnClick();
  EXPECT_EQ(committed, 1);
  EXPECT_EQ(readWholeFile(priceFile), "20240102,1,4\r\n20240103,3,8\r\n");
  EXPECT_EQ(sheet.getRowCount(), 3);

  sheet.setCurrentCell(1, 2);
  sheet.setSelection(1, 2, 3, 3);
  editor.quoteDelBtnClick();
  editor.quoteCommitEditsBtnClick();
  EXPECT_FALSE(message.empty());
  EXPECT_EQ(committed, 1);
  EXPECT_EQ(stopped, 1) << "a refused commit leaves the views computing";
  EXPECT_EQ(readWholeFile(priceFile), "20240102,1,4\r\n20240103,3,8\r\n");
}

TEST_F(QuoteEditor, DeleteEmptiesCellsAndEmptyOrInvalidCellsRefuseTheCommitBeforeStoppingTheViews) {
  std::vector<std::string> messages;
  editor.onMessage = [&](const std::string& text) { messages.push_back(text); };
  int stopped = 0;
  int restarted = 0;
  editor.onBeforeCommit = [&] { ++stopped; };
  editor.onCommitted = [&] { ++restarted; };
  editor.showQuotes(&table, asset, -1, -1);
  TSheet& sheet = editor.quotesPanel().sheet();
  TSheetPanel& grid = editor.quotesPanel();
  grid.setFocus();

  // Delete on the first date and on the second close.
  sheet.setCurrentCell(1, 2);
  sendKey(grid.handle(), VK_DELETE);
  ASSERT_TRUE(pumpUntil([&] { return editor.rows().cell(0, 0).state == TQuoteEditorRows::cellEmpty; }));
  EXPECT_EQ(sheet.getCellText(1, 2, true), "");
  sheet.setCurrentCell(3, 3);
  sendKey(grid.handle(), VK_DELETE);
  ASSERT_TRUE(pumpUntil([&] { return editor.rows().cell(2, 1).state == TQuoteEditorRows::cellEmpty; }));
  EXPECT_EQ(sheet.getCellText(3, 3, true), "");
  EXPECT_TRUE(editor.quoteCommitEditsBtn().enabled());
  // Text that is no number typed over the second open.
  sheet.setCurrentCell(2, 3);
  sheet.setCurrentCellContent(1, "abc", alignRight);
  grid.onCellValueEdited();
  EXPECT_EQ(editor.rows().cell(1, 1).state, TQuoteEditorRows::cellInvalid);
  sheet.setCurrentCell(1, 3);
  grid.refresh();
  pumpFor(100);
  captureWindow(form.handle()).savePng("quote-editor-blocked");

  editor.quoteCommitEditsBtnClick();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("line 1, Date: empty"), std::string::npos) << messages[0];
  EXPECT_NE(messages[0].find(", Open: not a number"), std::string::npos) << messages[0];
  EXPECT_NE(messages[0].find(", Close: empty"), std::string::npos) << messages[0];
  EXPECT_EQ(sheet.currentCol, 1);
  EXPECT_EQ(sheet.currentRow, 2);
  EXPECT_EQ(stopped, restarted) << "views stopped by a refused commit are started again";
  EXPECT_EQ(readWholeFile(priceFile), original);
  EXPECT_EQ(asset->Prices().count(), 2);

  // Given values, the commit writes them and nothing else.
  sheet.setCurrentCell(2, 3);
  sheet.setCurrentCellContent(1, "5", alignRight);
  grid.onCellValueEdited();
  sheet.setCurrentCell(3, 3);
  sheet.setCurrentCellContent(1, "6", alignRight);
  grid.onCellValueEdited();
  sheet.setSelection(1, 2, 1, 2);
  sheet.setCurrentCell(1, 2);
  editor.quoteUnavailableBtnClick();
  editor.quoteCommitEditsBtnClick();
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_EQ(stopped, 1);
  EXPECT_EQ(restarted, 1);
  EXPECT_EQ(readWholeFile(priceFile), "20240103,5,6\r\n");
}

// Keys as the user presses them: Insert for a new row, the close typed, the
// commit button clicked.
TEST_F(QuoteEditor, ARowTypedWithoutADateIsNamedAndNothingIsCommitted) {
  std::vector<std::string> messages;
  editor.onMessage = [&](const std::string& text) { messages.push_back(text); };
  int committed = 0;
  editor.onCommitted = [&] { ++committed; };
  editor.showQuotes(&table, asset, -1, -1);
  TSheet& sheet = editor.quotesPanel().sheet();
  TSheetPanel& grid = editor.quotesPanel();
  sheet.setCurrentCell(1, 3);
  grid.setFocus();
  postKey(grid.handle(), VK_INSERT);
  ASSERT_EQ(editor.rows().rowCount(), 3);
  EXPECT_EQ(editor.rows().cell(0, 1).state, TQuoteEditorRows::cellUnavailable);
  postKey(grid.handle(), VK_RIGHT);
  postKey(grid.handle(), VK_RIGHT);
  ASSERT_EQ(sheet.currentCol, 3);
  ASSERT_EQ(sheet.currentRow, 3);
  postChar(grid.handle(), '5');
  ASSERT_TRUE(grid.editing());
  postChar(grid.numberEdit().handle(), '0');
  sendKey(grid.numberEdit().handle(), VK_RETURN);
  ASSERT_TRUE(pumpUntil([&] { return editor.rows().cell(2, 1).state == TQuoteEditorRows::cellValid; }));
  ASSERT_TRUE(editor.quoteCommitEditsBtn().enabled());

  const HWND commit = editor.quoteCommitEditsBtn().handle();
  sendMouse(commit, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
  sendMouse(commit, WM_LBUTTONUP, 5, 5);
  ASSERT_TRUE(pumpUntil([&] { return !messages.empty(); }));
  EXPECT_NE(messages[0].find("line 2, Date: none"), std::string::npos) << messages[0];
  EXPECT_NE(messages[0].find("needs a date"), std::string::npos) << messages[0];
  EXPECT_EQ(messages[0].find("N/A"), std::string::npos) << "a date cannot be marked unavailable: " << messages[0];
  EXPECT_EQ(committed, 0);
  EXPECT_EQ(readWholeFile(priceFile), original);
  EXPECT_EQ(editor.rows().rowCount(), 3) << "the row stays to be given its date";
  EXPECT_EQ(editor.rows().cell(2, 1).value, 50);
  EXPECT_TRUE(editor.quoteCommitEditsBtn().enabled());
  EXPECT_EQ(sheet.currentCol, 1);
  EXPECT_EQ(sheet.currentRow, 3);
}

TEST_F(QuoteEditor, AFileThatCannotTakeTheCommitIsToldAndReadAgainWhenTheUserSaysSo) {
  TScriptedMessageBox box(IDNO);
  editor.messages = &box;
  int stopped = 0;
  int restarted = 0;
  editor.onBeforeCommit = [&] { ++stopped; };
  editor.onCommitted = [&] { ++restarted; };
  editor.showQuotes(&table, asset, -1, -1);
  TSheet& sheet = editor.quotesPanel().sheet();
  sheet.setCurrentCell(3, 3);
  sheet.setCurrentCellContent(1, "40", alignRight);
  editor.quotesPanel().onCellValueEdited();
  // Another program rewrites the file in a format of its own.
  const std::string rewritten = "Date;Open;Close\r\n2024-01-02;1;2\r\n2024-01-03;3;4\r\n2024-01-04;5;6\r\n";
  writeWholeFile(priceFile, rewritten);

  editor.quoteCommitEditsBtnClick();
  ASSERT_EQ(box.texts.size(), 1u);
  EXPECT_NE(box.texts[0].find("Q.TXT\" changed since its quotes were read"), std::string::npos) << box.texts[0];
  EXPECT_NE(box.texts[0].find("Read the file again?"), std::string::npos) << box.texts[0];
  EXPECT_EQ(readWholeFile(priceFile), rewritten);
  EXPECT_TRUE(editor.rows().modified()) << "No keeps the changes in the editor";
  EXPECT_EQ(editor.rows().cell(2, 1).value, 40);
  EXPECT_EQ(stopped, restarted);

  // The downloader replaces the file: gone at the commit, back in the
  // asset's format with a day more by the time the user answers Yes.
  deleteFile(priceFile);
  const std::string replaced = "20240102,1,2\r\n20240103,3,4\r\n20240104,5,6\r\n";
  box.respond = [&](const std::string&) {
    writeWholeFile(priceFile, replaced);
    return IDYES;
  };
  editor.quoteCommitEditsBtnClick();
  ASSERT_EQ(box.texts.size(), 2u);
  EXPECT_NE(box.texts[1].find("or the file is gone"), std::string::npos) << box.texts[1];
  EXPECT_EQ(readWholeFile(priceFile), replaced);
  EXPECT_FALSE(editor.rows().modified()) << "Yes drops the changes";
  ASSERT_EQ(editor.rows().rowCount(), 3) << "and shows what the file holds now";
  EXPECT_EQ(editor.rows().cell(2, 1).value, 4);
  EXPECT_EQ(stopped, restarted);
}

// A commit brought the grid back oldest first with the cursor in the row it
// was in, on whatever day stood there then: the user's sort and place were
// lost at every commit.
TEST_F(LongQuoteEditor, ACommitKeepsTheSortTheDayTheCursorIsOnAndTheScrollPosition) {
  editor.showQuotes(&table, asset, -1, -1);
  TSheet& sheet = editor.quotesPanel().sheet();
  TSheetPanel& grid = editor.quotesPanel();
  sheet.setCurrentCell(1, 2);
  editor.quoteSort(false);
  // A new row on top, which the commit drops: the days below it move up.
  editor.quoteNewBtnClick();
  sheet.topRow = 25;
  sheet.setCurrentCell(3, 30);
  grid.refresh();
  const double day = sheet.getCellNumber(1, 30);
  ASSERT_EQ(sheet.getCellNumber(3, 30), 100 + 13);
  sheet.setCurrentCellContent(1, "7", alignRight);
  grid.onCellValueEdited();

  editor.quoteCommitEditsBtnClick();
  EXPECT_NE(readWholeFile(priceFile).find("20240113,1,7\r\n"), std::string::npos);
  ASSERT_EQ(editor.rows().rowCount(), 40);
  for (int row = 2; row <= 40; ++row)
    ASSERT_GT(sheet.getCellNumber(1, row), sheet.getCellNumber(1, row + 1)) << "latest first, row " << row;
  EXPECT_EQ(sheet.currentCol, 3);
  EXPECT_EQ(sheet.currentRow, 29);
  EXPECT_EQ(sheet.getCellNumber(1, 29), day);
  EXPECT_EQ(sheet.getCellNumber(3, 29), 7);
  EXPECT_EQ(sheet.topRow, 25);

  // The next commit keeps them as well.
  sheet.setCurrentCellContent(1, "8", alignRight);
  grid.onCellValueEdited();
  editor.quoteCommitEditsBtnClick();
  EXPECT_NE(readWholeFile(priceFile).find("20240113,1,8\r\n"), std::string::npos);
  EXPECT_GT(sheet.getCellNumber(1, 2), sheet.getCellNumber(1, 3));
  EXPECT_EQ(sheet.currentRow, 29);
  EXPECT_EQ(sheet.getCellNumber(1, 29), day);
}
