#include "macros/AddEngineForm.h"

#include "platform/Application.h"
#include "platform/GuidText.h"
#include "platform/MaskEdit.h"
#include "platform/StdControls.h"
#include "macros/MacroReference.h"

namespace {

TFormOptions addEngineFormOptions() {
  return dialogOptions("Add script engine", 352, 164, false);
}

// Braced class id text: typing overwrites the digits, the braces and
// dashes stay.
constexpr const char* classIdMask = "{CCCCCCCC-CCCC-CCCC-CCCC-CCCCCCCCCCCC}";

}  // namespace

TaddEngineForm::TaddEngineForm() : TForm(addEngineFormOptions()) {
  auto place = [this](const char* caption, int top, TEdit& edit) {
    add<TLabel>(caption).setBounds(8, top + 3, 80, 16);
    edit.setBounds(96, top, 248, 21);
    edit.setTabStop(true);
    edit.onChange = [this] { editChange(); };
    return &edit;
  };
  auto labelled = [&](const char* caption, int top) { return place(caption, top, add<TEdit>()); };
  catIdMaskEdit_ = &add<TMaskEdit>(classIdMask, '#');
  place("Engine GUID", 8, *catIdMaskEdit_);
  menuEntryEdit_ = labelled("Menu entry", 36);
  descriptionEdit_ = labelled("Description", 64);
  fileFilterEdit_ = labelled("File filter", 92);
  okBtn_ = &add<TButton>("OK");
  okBtn_->setBounds(188, 128, 75, 25);
  okBtn_->setTabStop(true);
  okBtn_->setEnabled(false);
  okBtn_->onClick = [this] {
    accepted_ = true;
    setModalResult(mrOk);
  };
  helpBtn_ = &add<TButton>("Help");
  helpBtn_->setBounds(269, 128, 75, 25);
  helpBtn_->setTabStop(true);
  helpBtn_->onClick = [this] { application().helpContext(helpContext); };
  // Enter accepts only what OK would; both keys end here, not in the edits.
  keyPreview = true;
  onKeyDown = [this](WORD& key, TShiftState) {
    if (key == VK_RETURN) {
      key = 0;
      accepted_ = okBtn_->enabled();
      setModalResult(accepted_ ? mrOk : mrCancel);
    } else if (key == VK_ESCAPE) {
      key = 0;
      accepted_ = false;
      setModalResult(mrCancel);
    }
  };
}

void TaddEngineForm::setFields(const TEngineRecordFields& fields) {
  catIdMaskEdit_->setText(guidToText(fields.classId));
  menuEntryEdit_->setText(fields.menuName);
  descriptionEdit_->setText(fields.description);
  fileFilterEdit_->setText(fields.fileFilter);
  editChange();
}

void TaddEngineForm::editChange() {
  bool valid = tryTextToGuid(trimmed(catIdMaskEdit_->text()), fields_.classId);
  fields_.menuName = trimmed(menuEntryEdit_->text());
  fields_.description = trimmed(descriptionEdit_->text());
  fields_.fileFilter = trimmed(fileFilterEdit_->text());
  valid = valid && !fields_.menuName.empty() && !fields_.description.empty() && !fields_.fileFilter.empty();
  okBtn_->setEnabled(valid);
}

bool editEngineRecord(TEngineRecordFields& fields, int helpContext, const RECT& bounds, const std::string& caption) {
  TaddEngineForm dialog;
  dialog.setCaption(caption);
  dialog.helpContext = helpContext;
  dialog.setFields(fields);
  dialog.centerOn(bounds);
  dialog.showModal();
  if (!dialog.accepted()) return false;
  fields = dialog.fields();
  return true;
}
