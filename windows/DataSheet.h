#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "windows/DateWindow.h"

class TDataObjects;
class TFieldTable;
class TSheet;

// The sheet of a data window without its window: bound cells built from
// the field table in either layout, the key field and the hidden
// "SELECTED" cell, the per-object line sizes and order, selection following,
// edits written back to the objects, sorting and moving lines, and the date
// window's "FROM_DATE" and "TO_DATE". The window wraps it with its grid,
// tool bars, timers and views.
class TDataSheet {
 public:
  TDataSheet(TSheet& sheet, TFieldTable& fields, double now);

  // nullptr: no object maps to a line, and the sheet shows the header only.
  void setObjects(TDataObjects* objects) { objects_ = objects; }
  TDataObjects* objects() const { return objects_; }

  bool rowWise = false;
  bool fixedOn = true;
  TDateWindow dates;
  // Per object index: row height row-wise, column width column-wise, and
  // the line the object was last shown at (-1 unknown).
  std::vector<int> rowHeights, colWidths, displayOrder;

  // Rebuilds every cell and recalculates; (col, row) becomes the current
  // cell when both are 1 or more. Answers the number of shown fields.
  int build(int col, int row);
  // "FROM_DATE" and "TO_DATE" from the date window.
  void defineDates();

  int shownFieldCount() const { return shownCount_; }
  int objectLineCount() const;
  int lastLine() const { return objectLineCount() + 1; }
  // The object shown at a sheet line (a row row-wise, a column
  // column-wise); -1 for none.
  int lineToObject(int line) const;
  int currentLine() const;
  int selectedObjectIndex() const { return lineToObject(currentLine()); }

  // Whether a line tells its object: the key field is shown. A grid laid
  // out without it (its field file damaged) cannot.
  bool namesObjects() const { return keyPosition() >= 1; }
  // The objects' current index follows the current cell, in a grid that
  // names its objects: one that cannot leaves the current object to the
  // other windows. When the index changed, the "SELECTED" cell takes it and
  // the formulas reading it recalculate. Answers whether it changed.
  bool followSelection();
  // Makes the object current that the first line shows, or would show in
  // a grid that names no object; answers whether the index changed.
  bool makeFirstObjectCurrent();
  // An edit of the current cell, written back to the object when its field
  // is bound to a symbol; answers whether the cell belongs to a field.
  bool cellEdited();
  // The current cell's edits are kept as its object's custom property.
  bool currentCellHoldsCustomProperty() const;

  void getCellSizes(bool rowWiseLayout);
  void setCellSizes(bool rowWiseLayout);
  void getDisplayOrder();
  // The arrays from and to the objects' external properties. Writing them
  // leaves the objects' change stamps alone.
  void readObjectProperties();
  void writeObjectProperties();

  // Sorts the object lines by the current cell's field; the selected
  // object stays selected and hidden fields move with their lines.
  bool sort(bool ascending);
  // Exchanges the current line with the previous (-1) or next (+1) one.
  bool moveCurrentLine(int step);
  // Places the object just appended to the list after the current line and
  // makes it current; the sheet is rebuilt.
  void addDisplayRecord(int rowHeight, int colWidth);
  // After the object of that index was deleted (count is the count before).
  void removeDisplayRecord(int index, int countBefore);

  // The stored text of the selected object's field with that symbol.
  void getFieldValue(const std::string& symbol, std::string& value, bool& found) const;

 private:
  int keyPosition() const;
  // The objects' current index := index; the "SELECTED" cell takes it.
  bool makeCurrent(int index);
  void setCellsOfField(int position, int line, int objectIndex, const class TField& field,
                       const std::vector<std::string>& replacements, const std::vector<std::string>& names);
  void placeCell(int position, int line, int& col, int& row) const;
  int totalPositions() const;

  TSheet& sheet_;
  TFieldTable& fields_;
  TDataObjects* objects_ = nullptr;
  int shownCount_ = 0;
};
