#pragma once
#include <cstdint>

#include "controls/CellEditorChoice.h"
#include "controls/CellEditorCommit.h"

class TSheet;

// The cell an open in-place editor belongs to. A host may rebuild its sheet
// while an editor is open (a date timer, a reload); the editor's text then
// belongs to no cell that still stands there, so a commit is allowed only
// while the sheet shows the same place of the same generation of cells.
class TCellEditSession {
 public:
  void open(const TSheet& sheet);
  void close() { open_ = false; }
  bool isOpen() const { return open_; }
  // Open, and the sheet's current cell is still the one edited.
  bool belongsTo(const TSheet& sheet) const;

  std::uint8_t typeCode() const { return typeCode_; }
  TCellEditorChoice choice() const { return chooseCellEditor(typeCode_); }
  // The date editor's opening value.
  const TPickerValue& pickerOpening() const { return pickerOpening_; }
  int col() const { return col_; }
  int row() const { return row_; }

 private:
  bool open_ = false;
  int col_ = -1;
  int row_ = -1;
  std::uint64_t generation_ = 0;
  std::uint8_t typeCode_ = 0;
  TPickerValue pickerOpening_;
};
