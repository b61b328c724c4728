#include "controls/CellEditSession.h"

#include "sheet/Sheet.h"

void TCellEditSession::open(const TSheet& sheet) {
  open_ = true;
  col_ = sheet.currentCol;
  row_ = sheet.currentRow;
  generation_ = sheet.cellsGeneration();
  typeCode_ = sheet.currentCellType();
  const TCellEditorKind kind = choice().kind;
  pickerOpening_ = kind == TCellEditorKind::date || kind == TCellEditorKind::time
                       ? openingPickerValue(sheet, typeCode_)
                       : TPickerValue{};
}

bool TCellEditSession::belongsTo(const TSheet& sheet) const {
  return open_ && sheet.currentCol == col_ && sheet.currentRow == row_ &&
         sheet.cellsGeneration() == generation_ && sheet.currentCellType() == typeCode_;
}
