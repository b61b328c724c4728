#include "macros/MacroForm.h"

#include "controls/EditPanel.h"
#include "controls/SheetPanel.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "model/PortableIniFile.h"
#include "platform/ExtControls.h"
#include "platform/Panel.h"
#include "platform/StdControls.h"
#include "sheet/MacroCallout.h"
#include "sheet/Cell.h"
#include "sheet/Sheet.h"
#include "macros/MacroSheetStore.h"

namespace {

const char* const layoutSection = "MacroSheet";
constexpr int highestCellType = 26;
constexpr int splitterSize = 4;

TValueRecord integerRecord(std::int32_t n) {
  TValueRecord value;
  value.kind = valueInteger;
  value.integer = n;
  return value;
}

// The formula when the cell has one: what the user typed is what he edits.
std::string currentEditText(const TSheet& sheet) {
  const TCell* cell = sheet.currentCell();
  return cell != nullptr ? cell->getEditText() : std::string();
}

}  // namespace

void TmacroForm::setPortfolioTable(TPortfolioTable* table) { sheetPanel_->sheet().portfolioTable = table; }

void TmacroForm::setSheetImageList(HIMAGELIST images) { sheetPanel_->setImageList(images); }

void TmacroForm::updateSheet(int portfolioIndex, int assetIndex) {
  TSheet& sheet = sheetPanel_->sheet();
  sheet.setCustomId("PORTFOLIO", integerRecord(portfolioIndex));
  sheet.setCustomId("ASSET", integerRecord(assetIndex));
  sheet.markAllDirty();
  sheet.recalculateAll(false);
  sheetPanel_->invalidate();
}

void TmacroForm::loadGUIoptions(TPortableIniFile& file) {
  int listWidth = file.readInteger(layoutSection, "ListWidth", macroListPanel_->width());
  macroListPanel_->setSize(std::max(0, std::min(listWidth, clientWidth() - splitterSize)), macroListPanel_->height());
  int editHeight = file.readInteger(layoutSection, "EditHeight", macroEditBottomPanel_->height());
  macroEditBottomPanel_->setSize(macroEditBottomPanel_->width(),
                                 std::max(0, std::min(editHeight, rightPanel_->clientHeight() - splitterSize)));
  editorColor_ = file.readInteger(layoutSection, "EditorColor", editorColor_);
  macroEditPanel_->setBgColor(editorColor_);
  realign();
  loadMacroSheet(sheetPanel_->sheet(), file);
  sheetPanel_->invalidate();
}

void TmacroForm::saveGUIoptions(TPortableIniFile& file) {
  HWND root = GetAncestor(handle(), GA_ROOT);
  if (!IsZoomed(root) && !IsIconic(root)) {
    file.writeInteger(layoutSection, "ListWidth", macroListPanel_->width());
    file.writeInteger(layoutSection, "EditHeight", macroEditBottomPanel_->height());
  }
  file.writeInteger(layoutSection, "EditorColor", editorColor_);
  saveMacroSheet(sheetPanel_->sheet(), file);
}

void TmacroForm::updateSheetEditor() {
  const TSheet& sheet = sheetPanel_->sheet();
  bool hasCell = sheet.hasCurrentCell();
  cellFormatBox_->setItemIndex(hasCell ? sheet.currentCellType() : 0);
  if (!sheetEdit_->focused()) sheetEdit_->setText(currentEditText(sheet));
  cellFormatBox_->setEnabled(hasCell);
  sheetEdit_->setEnabled(hasCell);
}

void TmacroForm::sheetPanelKeyPress(char& key) {
  const TSheet& sheet = sheetPanel_->sheet();
  if (static_cast<unsigned char>(key) < 32 || !sheetEdit_->enabled()) return;
  if (sheet.hasCurrentCell() && sheet.currentCellHasValue()) return;
  sheetEdit_->setFocus();
  sheetEdit_->setText(sheetEdit_->text() + key);
  int end = static_cast<int>(sheetEdit_->text().size());
  sheetEdit_->setSelection(end, end);
  sheetLeftByTyping_ = true;
  key = 0;
}

void TmacroForm::sheetEditKeyDown(WORD& key, TShiftState) {
  if (key == VK_RETURN) {
    key = 0;
    setCell();
    if (sheetLeftByTyping_) {
      sheetLeftByTyping_ = false;
      sheetPanel_->setFocus();
    }
  } else if (key == VK_ESCAPE) {
    key = 0;
    sheetEdit_->setText(currentEditText(sheetPanel_->sheet()));
    if (sheetLeftByTyping_) {
      sheetLeftByTyping_ = false;
      sheetPanel_->setFocus();
    } else {
      int end = static_cast<int>(sheetEdit_->text().size());
      sheetEdit_->setSelection(end, end);
    }
  }
}

void TmacroForm::setCell() {
  TSheet& sheet = sheetPanel_->sheet();
  if (!sheet.hasCurrentCell()) return;
  int type = cellFormatBox_->itemIndex();
  if (type < 0 || type > highestCellType) type = 0;
  TMacroRetry retry;
  sheet.setCurrentCellContent(static_cast<std::uint8_t>(type), sheetEdit_->text(), 0);
  sheetPanel_->invalidate();
}

void TmacroForm::cellFormatBoxChange() {
  TSheet& sheet = sheetPanel_->sheet();
  int type = cellFormatBox_->itemIndex();
  if (type < 0 || type > highestCellType) type = 0;
  if (!sheet.currentCellHasValue() && type > 0 && !sheetEdit_->text().empty())
    setCell();
  else
    sheet.setSelectionType(static_cast<std::uint8_t>(type));
  sheetPanel_->invalidate();
}
