#include "macros/MacroForm.h"

#include <algorithm>

#include "controls/EditPanel.h"
#include "platform/Dialogs.h"
#include "platform/ListView.h"
#include "platform/StdControls.h"
#include "macros/AddEngineForm.h"

namespace {

RECT screenBounds(HWND window) {
  RECT bounds;
  GetWindowRect(window, &bounds);
  return bounds;
}

}  // namespace

void TmacroForm::editorEnginesAddMenuItemClick() {
  TEngineRecordFields fields;
  fields.classId = defaultEngineAttributes().classId;
  fields.menuName = "&XScript";
  fields.description = "XScript";
  fields.fileFilter = "*.xs";
  if (!editEngineRecord(fields, 2010, screenBounds(handle()), "Add engine")) return;
  TScriptEngineAttributes engine = defaultEngineAttributes();
  engine.classId = fields.classId;
  engine.menuName = fields.menuName;
  engine.description = fields.description;
  engine.fileFilter = fields.fileFilter;
  declarations_.add(engine);
  auto checkedHandler = std::move(macroListView_->onItemChecked);
  macroListView_->onItemChecked = nullptr;
  macroEngineComboBox_->addItem(engine.description);
  macroEngineComboBox_->setItemIndex(macroEngineComboBox_->count() - 1);
  engineSelectionChanged();
  macroListView_->onItemChecked = std::move(checkedHandler);
}

void TmacroForm::editorEnginesEditMenuItemClick() {
  int index = macroEngineComboBox_->itemIndex();
  if (selectedEngine() == nullptr) return;
  TScriptEngineAttributes& engine = declarations_.engines[index];
  TEngineRecordFields fields{engine.classId, engine.menuName, engine.description, engine.fileFilter};
  if (!editEngineRecord(fields, 2020, screenBounds(handle()), "Edit engine record")) return;
  engine.classId = fields.classId;
  engine.menuName = fields.menuName;
  engine.description = fields.description;
  engine.fileFilter = fields.fileFilter;
  declarations_.enginesModified = true;
  // The combo box has no item setter: rebuilt with the same selection.
  auto changeHandler = std::move(macroEngineComboBox_->onChange);
  macroEngineComboBox_->onChange = nullptr;
  macroEngineComboBox_->clear();
  for (const TScriptEngineAttributes& each : declarations_.engines) macroEngineComboBox_->addItem(each.description);
  macroEngineComboBox_->setItemIndex(index);
  macroEngineComboBox_->onChange = std::move(changeHandler);
}

void TmacroForm::editorEnginesDeleteMenuItemClick() {
  int index = macroEngineComboBox_->itemIndex();
  const TScriptEngineAttributes* engine = selectedEngine();
  if (engine == nullptr) return;
  std::string question = "Delete " + engine->description + " engine?";
  if (systemMessageBox().show(handle(), question, "Delete", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) return;
  host_.resetEngine();
  declarations_.remove(index);
  auto changeHandler = std::move(macroEngineComboBox_->onChange);
  macroEngineComboBox_->onChange = nullptr;
  macroEngineComboBox_->clear();
  for (const TScriptEngineAttributes& each : declarations_.engines) macroEngineComboBox_->addItem(each.description);
  int count = static_cast<int>(declarations_.engines.size());
  macroEngineComboBox_->setItemIndex(count == 0 ? -1 : std::min(index, count - 1));
  macroEngineComboBox_->onChange = std::move(changeHandler);
  engineSelectionChanged();
}

void TmacroForm::getFontAttributes(int fontClass) {
  int index = macroEngineComboBox_->itemIndex();
  if (selectedEngine() == nullptr || fontDialog_ == nullptr) return;
  TFontAttributes& record = declarations_.engines[index].fonts[fontClass];
  TFont font(record.fontName, record.size, record.style);
  font.setColor(record.colour);
  if (!fontDialog_->execute(handle(), font)) return;
  record.colour = font.color();
  record.fontName = font.name();
  record.size = font.size();
  record.style = font.style();
  if (!fontAttributeSets_.add(record)) return;
  declarations_.enginesModified = true;
  fontAttributeSets_.invalidateWidths();
  macroEditPanel_->setFontAttributeSets(&fontAttributeSets_);
  macroEditPanel_->invalidate();
}
