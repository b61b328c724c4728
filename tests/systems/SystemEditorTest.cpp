#include <gtest/gtest.h>

#include "sheet/Sheet.h"
#include "systems/SystemEditor.h"

namespace {

// Types text into a cell of the grid as the in-place editor does.
void type(TSheet& sheet, int col, int row, const std::string& text) {
  sheet.setCellContent(col, row, 0, text, sheet.getCell(col, row) ? sheet.getCell(col, row)->cellType() : 2);
}

}  // namespace

TEST(SystemEditor, EditedCellsAreStoredCleanAndLayoutsTranspose) {
  TSystemEditor editor;
  TSheet sheet;
  ASSERT_EQ(editor.addRules(-1, {"AAA", "BBB", "CCC", "DDD"}, -1, -1), 3);
  EXPECT_EQ(editor.addRules(1, {"X1", "X2", "X3"}, -1, -1), 4);
  const TRuleEntryTable& rules = editor.Edited().Rules();
  EXPECT_EQ(rules.rule(2)->AssetSymbol(), "X1");
  EXPECT_EQ(rules.rule(4)->Number(), 7);

  editor.layOut(TSystemPage::rules, sheet);  // column-wise: rule k in column k + 2, fields in rows
  EXPECT_EQ(sheet.getCellText(1, 4, false), "Condition");
  type(sheet, 2, 4, "  ==X>1 ");
  editor.cellEdited(TSystemPage::rules, sheet, 2, 4);
  EXPECT_EQ(rules.rule(0)->Condition(), "X>1");
  EXPECT_EQ(sheet.getCell(2, 4)->getEditText(), "X>1");
  type(sheet, 3, 1, "99");
  editor.cellEdited(TSystemPage::rules, sheet, 3, 1);  // "Nr" edits are ignored
  EXPECT_EQ(rules.rule(1)->Number(), 2);

  editor.setRowWise(TSystemPage::rules, true);
  editor.layOut(TSystemPage::rules, sheet);
  EXPECT_EQ(sheet.getCell(4, 2)->getEditText(), "X>1");
  EXPECT_EQ(editor.entryAt(TSystemPage::rules, 4, 2), 0);
  EXPECT_EQ(editor.fieldAt(TSystemPage::rules, 4, 2), 3);
  EXPECT_EQ(editor.entryAt(TSystemPage::rules, 4, 1), -1);

  editor.addEntry(TSystemPage::params, -1, -1, -1);
  editor.layOut(TSystemPage::params, sheet);
  type(sheet, 2, 4, "7");  // High, below nothing: Value and Low stay 0
  editor.cellEdited(TSystemPage::params, sheet, 2, 4);
  type(sheet, 2, 3, "9");  // Low above High lifts High and Value
  editor.cellEdited(TSystemPage::params, sheet, 2, 3);
  EXPECT_EQ(sheet.getCellNumber(2, 2), 9);
  EXPECT_EQ(sheet.getCellNumber(2, 4), 9);
}

TEST(SystemEditor, CommitDiscardAndTheDateRange) {
  TSystemEditor editor;
  editor.Edited().setToDate(45010.5);
  editor.Edited().setFromDate(45001.5);
  editor.loadedFromFile();
  EXPECT_FALSE(editor.pageModified(TSystemPage::rules));
  // Loading the view again and again never moves the dates.
  for (int i = 0; i < 3; ++i) editor.loadedFromFile();
  EXPECT_EQ(editor.FromPicker(), 45001);
  EXPECT_EQ(editor.Edited().ToDate(), 45010.5);
  EXPECT_EQ(editor.Days(), 10);

  editor.daysChanged(1);
  EXPECT_EQ(editor.Days(), 2);
  EXPECT_EQ(editor.Edited().FromDate(), 45009.5);
  EXPECT_TRUE(editor.pageModified(TSystemPage::rules));
  editor.commit(TSystemPage::rules);
  EXPECT_FALSE(editor.pageModified(TSystemPage::rules));
  editor.shiftRange(5);
  EXPECT_EQ(editor.Edited().ToDate(), 45015.5);
  EXPECT_EQ(editor.Edited().FromDate(), 45014.5);
  editor.discard(TSystemPage::rules);
  EXPECT_EQ(editor.FromPicker(), 45009);
  EXPECT_EQ(editor.ToPicker(), 45010);

  editor.addEntry(TSystemPage::symbols, -1, -1, -1);
  EXPECT_TRUE(editor.pageModified(TSystemPage::symbols));
  EXPECT_FALSE(editor.pageModified(TSystemPage::params));
}

TEST(SystemEditor, SymbolsAsText) {
  TSystemEditor editor;
  for (int i = 0; i < 5; ++i) editor.addEntry(TSystemPage::symbols, i - 1, -1, -1);
  editor.setSymbolsText("A\tX+1\tfirst\n\nC\tA*2\n  \n", -1, -1);
  const TSymbolEntryTable& symbols = editor.Edited().Symbols();
  ASSERT_EQ(symbols.count(), 3);
  EXPECT_EQ(symbols.symbol(0)->Comment(), "first");
  EXPECT_EQ(symbols.symbol(1)->Symbol(), "");
  EXPECT_EQ(symbols.symbol(2)->Definition(), "A*2");
  EXPECT_EQ(editor.symbolsText(), "A\tX+1\tfirst\n\t\t\nC\tA*2\t\n");
}
