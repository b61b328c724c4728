#include <gtest/gtest.h>

#include "controls/FieldEditModel.h"
#include "sheet/Cell.h"
#include "sheet/Sheet.h"

namespace {

// Three fields: the first is a window's own (its definition not editable).
TFieldTable sampleTable() {
  TFieldTable table;
  const char* symbols[] = {"NAME", "UNITS", "VALUE"};
  for (int i = 0; i < 3; ++i) {
    table.insertField(i);
    TField& field = *table.items(i);
    field.setSymbol(symbols[i]);
    field.setHeader(std::string("Header ") + symbols[i]);
    field.Kind = 1;
    field.EditableDefinition = i > 0;
  }
  return table;
}

}  // namespace

TEST(FieldEditModel, CommandsChangeOnlyTheWorkingCopyAndSpareProtectedFields) {
  const TFieldTable table = sampleTable();
  TFieldEditModel model(table);
  EXPECT_FALSE(model.deleteField(0));
  EXPECT_FALSE(model.toggleHidden(0));
  EXPECT_TRUE(model.moveDown(0));  // moving is allowed, changing is not
  EXPECT_EQ(model.fields().items(1)->Symbol, "NAME");

  EXPECT_TRUE(model.toggleFixed(2));
  EXPECT_EQ(model.fields().Fixed, 3);
  EXPECT_TRUE(model.toggleFixed(2));
  EXPECT_EQ(model.fields().Fixed, 2);
  EXPECT_TRUE(model.toolState(1).fixedDown);
  EXPECT_FALSE(model.toolState(1).editEnabled);

  const int added = model.newField(0, ",");
  EXPECT_EQ(added, 1);
  EXPECT_EQ(model.fields().items(1)->TestContent, "100000,1234567890123456789");
  EXPECT_TRUE(model.setKind(1, 17));
  EXPECT_TRUE(model.toolState(1).decimalsEnabled);
  EXPECT_TRUE(model.toolState(1).trailEnabled);
  EXPECT_TRUE(model.toggleDisabled(1));
  EXPECT_FALSE(model.toolState(1).hiddenEnabled);

  // Each Clear resets its own format.
  TFontProperties bold;
  bold.style = 1;
  EXPECT_TRUE(model.setFormatFont(1, false, bold));
  EXPECT_TRUE(model.setFormatFill(1, true, 0x00FF00));
  EXPECT_TRUE(model.clearFormat(1, false));
  EXPECT_FALSE(model.fields().items(1)->Format->Enabled);
  EXPECT_TRUE(model.fields().items(1)->ConditionalFormat->Enabled);

  std::string stored;
  EXPECT_TRUE(model.editCell(0, 3, "  ==SUM(A1;B1)  ", stored));
  EXPECT_EQ(stored, "SUM(A1;B1)");
  EXPECT_FALSE(model.editCell(2, 3, "=1", stored));
  // A symbol names a property in the objects' files, where "=" ends a name.
  EXPECT_FALSE(model.editCell(0, 1, "A=B", stored));
  EXPECT_EQ(model.fields().items(0)->Symbol, "UNITS");

  EXPECT_EQ(table.count(), 3);
  EXPECT_EQ(table.items(0)->Symbol, "NAME");
  TFieldTable target;
  model.applyTo(target);
  EXPECT_EQ(target.count(), 4);
  EXPECT_EQ(target.items(0)->Content, "SUM(A1;B1)");
}

TEST(FieldEditModel, EditAsTextKeepsFieldOrderAndRefusesToDropProtectedFields) {
  TFieldEditModel model(sampleTable());
  EXPECT_EQ(model.asText(), "NAME\tHeader NAME\t\t\nUNITS\tHeader UNITS\t\t\nVALUE\tHeader VALUE\t\t\n");

  std::string message;
  EXPECT_TRUE(model.fromText(" N \t Name \r\n\r\nV\tValue\tA*2\t5\r\nX\r\n\r\n  \r\n", message));
  ASSERT_EQ(model.count(), 4);
  EXPECT_EQ(model.fields().items(0)->Symbol, "N");
  EXPECT_EQ(model.fields().items(1)->Header, "");
  EXPECT_EQ(model.fields().items(2)->Content, "A*2");
  EXPECT_EQ(model.fields().items(3)->Symbol, "X");

  EXPECT_TRUE(model.fromText("N\nU\nV\n", message));
  EXPECT_EQ(model.count(), 3);

  // One line only would remove fields 1 and 2, both editable: allowed. Then
  // with the protected field moved last, dropping it is refused.
  EXPECT_TRUE(model.moveDown(0));
  EXPECT_TRUE(model.moveDown(1));
  EXPECT_FALSE(model.fromText("A\nB\n", message));
  EXPECT_NE(message.find("cannot be deleted"), std::string::npos);
  EXPECT_EQ(model.count(), 3);
  EXPECT_EQ(model.fields().items(0)->Symbol, "U");
}

TEST(FieldEditModel, TheGridShowsEachFieldsStateAndItsTestValue) {
  TFieldTable table = sampleTable();
  table.items(0)->Locked = false;
  table.items(1)->Locked = true;
  table.items(2)->Disabled = true;
  table.items(2)->Kind = 20;
  table.items(2)->setTestContent("42");
  table.items(0)->Kind = 0;
  TFieldEditModel model(table);
  TSheet sheet;
  sheet.currentCol = 1;
  sheet.currentRow = 3;
  model.fillSheet(sheet);
  EXPECT_EQ(sheet.getRowCount(), 4);
  EXPECT_EQ(sheet.getCellText(4, 1, true), "Format test");
  EXPECT_EQ(sheet.getCellText(1, 4, true), "VALUE");
  EXPECT_EQ(sheet.getCell(4, 2), nullptr);  // kind 0: no test cell
  ASSERT_NE(sheet.getCell(4, 4), nullptr);
  EXPECT_EQ(sheet.getCell(4, 4)->cellType(), 5);
  TFontProperties font;
  std::int32_t fill = 0;
  sheet.getCell(1, 2)->getFontAndFill(&font, fill);
  EXPECT_EQ(fill, clRed);
  sheet.getCell(2, 3)->getFontAndFill(&font, fill);
  EXPECT_EQ(fill, clWindow);
  sheet.getCell(3, 4)->getFontAndFill(&font, fill);
  EXPECT_EQ(fill, clBlack);
  EXPECT_EQ(font.color, clWhite);
  EXPECT_EQ(sheet.currentRow, 3);
}
