#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "model/CustomProperties.h"
#include "model/Portfolio.h"
#include "sheet/FieldTable.h"
#include "sheet/Sheet.h"
#include "windows/DataObjects.h"
#include "windows/DataSheet.h"
#include "windows/TransactionSizes.h"

namespace {

// Objects keyed by a plain integer field, so that the frame is held without
// any model list behind it.
class TFakeObjects : public TDataObjects {
 public:
  explicit TFakeObjects(int n) {
    for (int i = 0; i < n; ++i) add(i);
  }
  void add(int score) {
    objects.push_back(std::make_unique<TCustomPropertyObject>());
    objects.back()->setCustomProperty("SCORE", std::to_string(score));
    objects.back()->setCustomProperty("NAME", "Object " + std::to_string(objects.size() - 1));
  }
  int count() const override { return static_cast<int>(objects.size()); }
  TCustomPropertyObject* item(int index) const override {
    return index >= 0 && index < count() ? objects[index].get() : nullptr;
  }
  bool isKeyKind(std::uint8_t kind) const override { return kind == 5; }
  // A window's filter: the object without a line is not shown.
  bool hasLine(int index) const override { return index != withoutLine && item(index) != nullptr; }
  int currentIndex() const override { return current; }
  void setCurrentIndex(int index) override { current = index >= 0 && index < count() ? index : -1; }

  std::vector<std::unique_ptr<TCustomPropertyObject>> objects;
  int current = -1;
  int withoutLine = -1;
};

void addField(TFieldTable& fields, const std::string& header, std::uint8_t kind, const std::string& symbol,
              const std::string& content, bool hidden = false) {
  fields.insertField(fields.count());
  TField& field = *fields.items(fields.count() - 1);
  field.setHeader(header);
  field.Kind = kind;
  field.setSymbol(symbol);
  field.Content = content;
  field.Hidden = hidden;
}

// Id (the key), a hidden field computed from the score, Name, Score and the
// squared distance of each object's id from "SELECTED".
class DataSheet : public ::testing::Test {
 protected:
  DataSheet() : objects(3), frame(sheet, fields, 45000.25) {
    addField(fields, "Id", 5, "ID", "");
    addField(fields, "Twice", 1, "TWICE", "SCORE*2", true);
    addField(fields, "Name", 2, "NAME", "");
    addField(fields, "Score", 1, "SCORE", "");
    addField(fields, "Distance", 1, "", "(ID-SELECTED)*(ID-SELECTED)");
    frame.setObjects(&objects);
  }

  int lineOf(int object) const {
    for (int line = 2; line <= frame.lastLine(); ++line)
      if (frame.lineToObject(line) == object) return line;
    return -1;
  }
  double cellOf(int object, int position) const {
    const int line = lineOf(object);
    return frame.rowWise ? sheet.getCellNumber(position, line) : sheet.getCellNumber(line, position);
  }

  TSheet sheet;
  TFieldTable fields;
  TFakeObjects objects;
  std::int32_t serials = 0;
  TDataSheet frame;
};

}  // namespace

TEST_F(DataSheet, SelectedCellHoldsTheCurrentObjectAndItsFormulasFollowTheSelection) {
  frame.build(-1, -1);
  EXPECT_EQ(frame.shownFieldCount(), 4);
  EXPECT_EQ(sheet.getColCount(), 4);  // header column and three objects
  EXPECT_EQ(sheet.getRowCount(), 4);  // the hidden field lies beyond
  EXPECT_EQ(sheet.getCellInteger(5, 1), -1);  // E1

  sheet.setCurrentCell(lineOf(1), 2);
  EXPECT_TRUE(frame.followSelection());
  EXPECT_EQ(objects.current, 1);
  EXPECT_EQ(sheet.getCellInteger(5, 1), 1);
  EXPECT_EQ(cellOf(1, 4), 0);
  EXPECT_EQ(cellOf(0, 4), 1);
  EXPECT_EQ(cellOf(2, 4), 1);
  EXPECT_FALSE(frame.followSelection());

  frame.rowWise = true;
  frame.build(2, lineOf(1));
  EXPECT_EQ(sheet.getCellInteger(1, 5), 1);  // A5
  EXPECT_EQ(cellOf(1, 5), 2);                // the hidden field's cell, twice the score
}

TEST_F(DataSheet, KnownOrdersComeFirstAndUnknownOnesFollowInIndexOrder) {
  frame.displayOrder = {3, -1, 2};
  frame.build(-1, -1);
  EXPECT_EQ(frame.lineToObject(2), 2);
  EXPECT_EQ(frame.lineToObject(3), 0);
  EXPECT_EQ(frame.lineToObject(4), 1);
  EXPECT_EQ(frame.lineToObject(5), -1);
}

TEST_F(DataSheet, SortingMovesHiddenFieldsWithTheirLinesAndKeepsTheSelection) {
  objects.objects[0]->setCustomProperty("SCORE", "5");
  objects.objects[2]->setCustomProperty("SCORE", "-4");
  frame.rowWise = true;
  objects.current = 0;
  frame.build(3, 2);  // Name of object 0
  sheet.setCurrentCell(3, lineOf(0));  // sort by Score
  ASSERT_TRUE(frame.sort(false));
  EXPECT_EQ(frame.lineToObject(2), 0);
  EXPECT_EQ(frame.lineToObject(4), 2);
  EXPECT_EQ(sheet.currentRow, 2);
  for (int object = 0; object < 3; ++object) EXPECT_EQ(cellOf(object, 5), 2 * cellOf(object, 3));
  ASSERT_TRUE(frame.sort(true));
  EXPECT_EQ(frame.lineToObject(2), 2);
  EXPECT_EQ(frame.lineToObject(4), 0);
  EXPECT_EQ(sheet.currentRow, 4);
  EXPECT_EQ(sheet.getCellInteger(1, 5), 0);  // "SELECTED" stayed where it was
  for (int object = 0; object < 3; ++object) EXPECT_EQ(cellOf(object, 5), 2 * cellOf(object, 3));
  EXPECT_EQ(frame.displayOrder, (std::vector<int>{4, 3, 2}));
}

// Once taken, such a property refused every save of its object for the rest
// of the session.
TEST_F(DataSheet, AnEditOfAFieldWhoseSymbolCannotNameAPropertyIsNotTaken) {
  fields.items(2)->Locked = false;
  fields.items(2)->Symbol = "NA=ME";
  frame.build(-1, -1);
  sheet.setCurrentCell(lineOf(1), 2);
  sheet.setCurrentCellString("Gold");
  frame.cellEdited();
  EXPECT_TRUE(objects.objects[1]->CustomProperties.storable());
  EXPECT_EQ(objects.objects[1]->getCustomProperty("NA=ME"), "");
}

TEST_F(DataSheet, EditsAreStoredInTheObjectsAndViewPropertiesLeaveTheirStamps) {
  fields.items(2)->Locked = false;
  frame.build(-1, -1);
  sheet.setCurrentCell(lineOf(1), 2);
  sheet.setCurrentCellString("  ==Gold ");
  EXPECT_TRUE(frame.cellEdited());
  EXPECT_EQ(objects.objects[1]->getCustomProperty("NAME"), "Gold");
  EXPECT_EQ(sheet.getCurrentCellText(false), "Gold");

  const double stamp = objects.objects[1]->lastChange();
  sheet.setColWidth(lineOf(1), 120);
  frame.writeObjectProperties();
  EXPECT_EQ(objects.objects[1]->getExternalProperty("ColWidth"), "120");
  EXPECT_EQ(objects.objects[1]->lastChange(), stamp);
  // Sizes the lines have without an entry make none, nor does the order
  // the lines have without one: a look alone wrote every object's file.
  EXPECT_EQ(objects.objects[1]->getExternalProperty("RowHeight"), "");
  EXPECT_EQ(objects.objects[2]->getExternalProperty("ColWidth"), "");
  for (const auto& object : objects.objects) EXPECT_EQ(object->getExternalProperty("DisplayOrder"), "");
  // Stored orders that place the lines as shown stay as they are, however
  // they count.
  objects.objects[0]->setViewProperty("DisplayOrder", "7");
  objects.objects[2]->setViewProperty("DisplayOrder", "12");
  frame.readObjectProperties();
  frame.build(-1, -1);
  frame.writeObjectProperties();
  EXPECT_EQ(objects.objects[0]->getExternalProperty("DisplayOrder"), "7");
  EXPECT_EQ(objects.objects[1]->getExternalProperty("DisplayOrder"), "");
  // A moved line stores every line's order.
  sheet.setCurrentCell(lineOf(1), 2);
  ASSERT_TRUE(frame.moveCurrentLine(-1));
  frame.writeObjectProperties();
  for (int object = 0; object < 3; ++object)
    EXPECT_EQ(objects.objects[object]->getExternalProperty("DisplayOrder"), std::to_string(lineOf(object)));
  EXPECT_EQ(lineOf(1), 3);
  EXPECT_EQ(objects.objects[1]->lastChange(), stamp);

  frame.readObjectProperties();
  frame.rowWise = true;
  frame.build(-1, -1);
  frame.rowWise = false;
  frame.build(-1, -1);
  EXPECT_EQ(sheet.getColWidth(lineOf(1)), 120);
}

// The Quotes window leaves out the assets without prices: their widths and
// heights in that window are not shown, and stay as they were.
TEST_F(DataSheet, AnObjectTheWindowLeavesOutKeepsItsSizes) {
  objects.objects[1]->setViewProperty("ColWidth", "140");
  objects.objects[1]->setViewProperty("RowHeight", "30");
  objects.withoutLine = 1;
  frame.readObjectProperties();
  frame.build(-1, -1);
  sheet.setColWidth(lineOf(2), 120);
  frame.writeObjectProperties();
  EXPECT_EQ(objects.objects[2]->getExternalProperty("ColWidth"), "120");
  EXPECT_EQ(objects.objects[1]->getExternalProperty("ColWidth"), "140");
  EXPECT_EQ(objects.objects[1]->getExternalProperty("RowHeight"), "30");

  // Shown again, it comes back at its own width.
  objects.withoutLine = -1;
  frame.readObjectProperties();
  frame.build(-1, -1);
  EXPECT_EQ(sheet.getColWidth(lineOf(1)), 140);

  // Widened, then left out before the next save: the new width is kept.
  sheet.setColWidth(lineOf(1), 150);
  frame.getCellSizes(false);
  objects.withoutLine = 1;
  frame.build(-1, -1);
  frame.writeObjectProperties();
  EXPECT_EQ(objects.objects[1]->getExternalProperty("ColWidth"), "150");
}

// A stored size the grid could not take as it stands ("1E300", one beyond
// any width, one below the smallest) was once replaced by the size shown
// for it at the next save, without the user touching the line.
TEST_F(DataSheet, SizesTheGridCouldNotTakeStayAsSpelledUntilTheLineIsResized) {
  objects.objects[0]->setExternalProperty("ColWidth", "1E300", "", "", false);
  objects.objects[0]->setExternalProperty("RowHeight", "1E300", "", "", false);
  objects.objects[1]->setExternalProperty("ColWidth", "99999999999", "", "", false);
  objects.objects[2]->setExternalProperty("ColWidth", "3", "", "", false);
  for (const bool rowWise : {false, true}) {
    frame.rowWise = rowWise;
    frame.readObjectProperties();
    frame.build(-1, -1);
    frame.writeObjectProperties();
    EXPECT_EQ(objects.objects[0]->getExternalProperty("ColWidth"), "1E300");
    EXPECT_EQ(objects.objects[0]->getExternalProperty("RowHeight"), "1E300");
    EXPECT_EQ(objects.objects[1]->getExternalProperty("ColWidth"), "99999999999");
    EXPECT_EQ(objects.objects[2]->getExternalProperty("ColWidth"), "3");
    for (const auto& object : objects.objects) EXPECT_FALSE(object->viewPropertiesUnsaved()) << rowWise;
  }
  frame.rowWise = false;
  frame.readObjectProperties();
  frame.build(-1, -1);
  sheet.setColWidth(lineOf(0), 90);
  frame.writeObjectProperties();
  EXPECT_EQ(objects.objects[0]->getExternalProperty("ColWidth"), "90");
  EXPECT_EQ(objects.objects[0]->getExternalProperty("RowHeight"), "1E300");
}

// Only the shown layout's sizes are taken from the grid: the other layout's
// fixed line and its field defaults are the user's until that layout shows.
TEST_F(DataSheet, TakingOneLayoutsSizesKeepsTheOthers) {
  fields.RowWiseFixedHeight = 25;
  fields.ColWiseFixedWidth = 100;
  fields.DefaultRowWiseWidth = 70;
  fields.DefaultColWiseHeight = 21;
  frame.rowWise = true;
  frame.build(-1, -1);
  sheet.setRowHeight(1, 30);
  frame.getCellSizes(true);
  EXPECT_EQ(fields.RowWiseFixedHeight, 30);
  EXPECT_EQ(fields.ColWiseFixedWidth, 100);
  EXPECT_EQ(fields.DefaultRowWiseWidth, 70);
  EXPECT_EQ(fields.DefaultColWiseHeight, 21);

  TPortfolio none(serials);
  captureTransactionSizes(sheet, fields, none, {}, false);
  EXPECT_EQ(fields.RowWiseFixedHeight, 30);
  EXPECT_EQ(fields.ColWiseFixedWidth, sheet.getColWidth(1));
  EXPECT_EQ(fields.DefaultRowWiseWidth, 70);
  EXPECT_EQ(fields.DefaultColWiseHeight, 21);
}

TEST_F(DataSheet, ANewObjectComesJustAfterTheCurrentLineAndIsSelected) {
  frame.build(3, 2);  // object 1's line is 3
  objects.add(9);
  frame.addDisplayRecord(30, 40);
  EXPECT_EQ(frame.lineToObject(4), 3);
  EXPECT_EQ(frame.lineToObject(5), 2);
  EXPECT_EQ(sheet.currentCol, 4);
  EXPECT_EQ(sheet.getColWidth(4), 40);
  EXPECT_TRUE(frame.followSelection());
  EXPECT_EQ(objects.current, 3);
  EXPECT_EQ(sheet.getCellInteger(6, 1), 3);  // F1 for four objects
}
