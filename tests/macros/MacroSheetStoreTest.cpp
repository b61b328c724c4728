#include <gtest/gtest.h>

#include <chrono>

#include "model/PortableIniFile.h"
#include "sheet/Cell.h"
#include "sheet/Sheet.h"
#include "macros/MacroSheetStore.h"
#include "tests/support/ThreadTime.h"
#include "tests/support/TestFolders.h"

TEST(MacroSheetStore, CellsAndSizesComeBackAndTextsMayHoldColonsAndEquals) {
  TTemporaryFolder folder;
  const std::string fileName = folder.path() + "GUIoptions.INI";
  {
    TSheet empty;
    TPortableIniFile file(fileName);
    saveMacroSheet(empty, file);
    EXPECT_FALSE(file.sectionExists("MacroSheetCells"));
    // The row numbers' own width is the sheet's, not the user's.
    EXPECT_EQ(file.readInteger("MacroSheetCols", "High", 99), -1);
    EXPECT_EQ(file.readInteger("MacroSheetRows", "High", 99), -1);
  }
  TSheet sheet;
  sheet.setCellContent(1, 1, 0, "20", 1);
  sheet.setCellContent(2, 3, 0, "=A1*2.5", 1);
  sheet.setCellContent(3, 2, 0, "a:b=c", 2);
  sheet.setColWidth(2, 120);
  sheet.setRowHeight(3, 30);
  {
    TPortableIniFile file(fileName);
    saveMacroSheet(sheet, file);
  }
  TSheet loaded;
  TPortableIniFile file(fileName);
  loadMacroSheet(loaded, file);
  EXPECT_EQ("50", loaded.getCellText(2, 3, true));
  EXPECT_EQ("a:b=c", loaded.getCellText(3, 2, false));
  EXPECT_EQ(120, loaded.getColWidth(2));
  EXPECT_EQ(30, loaded.getRowHeight(3));
  EXPECT_FALSE(loaded.hasCurrentCell());
}

// The stored "High" once set how many indexes were read: 2147483647 froze the
// program at its start.
TEST(MacroSheetStore, DamagedSizesAreReadOnlyAsFarAsTheFileHoldsThemAndWithinAScreen) {
  TTemporaryFolder folder;
  const std::string fileName = folder.path() + "GUIoptions.INI";
  writeWholeFile(fileName,
                 "[MacroSheetCols]\r\nHigh=2147483647\r\n0=27\r\n1=2147483647\r\n2=-5\r\n3=abc\r\n"
                 "999999999=40\r\n[MacroSheetRows]\r\nHigh=2147483647\r\n0=-2147483648\r\n1=30\r\n");
  const auto started = threadProcessorTime();
  TSheet loaded;
  TPortableIniFile file(fileName);
  loadMacroSheet(loaded, file);
  EXPECT_LT(threadProcessorTime() - started, std::chrono::seconds(1));
  EXPECT_EQ(loaded.colProps.lastSized(), 3);
  EXPECT_LE(loaded.getColWidth(1), 4096);
  EXPECT_EQ(loaded.getColWidth(2), TProps::minimumSize);
  EXPECT_EQ(loaded.getRowHeight(0), TProps::minimumSize);
  EXPECT_EQ(loaded.getRowHeight(1), 30);

  // What is saved from it reads back the same.
  TPortableIniFile saved(folder.path() + "again.INI");
  saveMacroSheet(loaded, saved);
  TSheet again;
  loadMacroSheet(again, saved);
  EXPECT_EQ(again.colProps.sizes, loaded.colProps.sizes);
  EXPECT_EQ(again.rowProps.sizes, loaded.rowProps.sizes);
}

TEST(MacroSheetStore, FormulasAreStoredAsFormulasInTheStoredSpelling) {
  TTemporaryFolder folder;
  const std::string fileName = folder.path() + "GUIoptions.INI";
  // A user whose decimal separator is the comma.
  auto commaSpelling = [](TSheet& sheet) {
    sheet.decimalSeparator.assign(1, ',');
    sheet.listSeparator.assign(1, ';');
  };
  TSheet sheet;
  commaSpelling(sheet);
  sheet.setCellContent(1, 1, 0, "20", 1);
  sheet.setCellContent(1, 2, 0, "=ROUND(A1*2,5;0)", 1);
  sheet.setCellContent(1, 3, 0, "=A1/0", 1);
  sheet.recalculateAll(false);
  {
    TPortableIniFile file(fileName);
    saveMacroSheet(sheet, file);
    EXPECT_EQ(file.readString("MacroSheetCells", "1:2", ""), "1:=ROUND(A1*2.5;0)");
    EXPECT_EQ(file.readString("MacroSheetCells", "1:3", ""), "1:=A1/0");
  }
  TSheet loaded;
  commaSpelling(loaded);
  const TPortableIniFile file(fileName);
  loadMacroSheet(loaded, file);
  EXPECT_EQ(loaded.getCell(1, 2)->getEditText(), "=ROUND(A1*2,5;0)");
  EXPECT_EQ(loaded.getCell(1, 3)->getEditText(), "=A1/0");
  // Still a formula: it follows its input.
  loaded.setCellContent(1, 1, 0, "4", 1);
  EXPECT_EQ(loaded.getCellText(1, 2, true), "10");
}

// Numbers and formulas take the stored separators; a text the user typed
// into a test cell comes back as typed under any settings.
TEST(MacroSheetStore, NumbersAreStoredWithPointAndTextsAsTyped) {
  TTemporaryFolder folder;
  const std::string fileName = folder.path() + "GUIoptions.INI";
  TSheet german;
  german.decimalSeparator.assign(1, ',');
  german.listSeparator.assign(1, ';');
  german.thousandSeparator.assign(1, '.');
  german.setCellContent(1, 1, 0, "2,5", 1);
  german.setCellContent(1, 2, 0, "1,50", 2);
  german.setCellContent(1, 3, 0, "Smith; John", 2);
  {
    TPortableIniFile file(fileName);
    saveMacroSheet(german, file);
  }
  TSheet english;
  english.decimalSeparator.assign(1, '.');
  english.listSeparator.assign(1, ',');
  TPortableIniFile file(fileName);
  loadMacroSheet(english, file);
  EXPECT_EQ(english.getCellText(1, 1, false), "2.5");
  EXPECT_EQ(english.getCellText(1, 2, false), "1,50");
  EXPECT_EQ(english.getCellText(1, 3, false), "Smith; John");
}
