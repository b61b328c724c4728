#include "controls/GetStringForm.h"

#include "model/LanguageStrings.h"
#include "platform/StdControls.h"

namespace {

TFormOptions stringFormOptions() {
  return dialogOptions("", 168, 65, true);
}

}  // namespace

TgetStringForm::TgetStringForm() : TForm(stringFormOptions()) {
  edit_ = &add<TEdit>();
  edit_->setBounds(8, 8, 152, 21);
  edit_->setTabStop(true);
  okBtn_ = &addDefaultButton("&OK", 85, 36, 75, 23, [this] { okBtnClick(); });
  // Esc closes without accepting, although the prompt has no Cancel button.
  closeOnEscape();
  edit_->onEnter = [this] {
    const int end = static_cast<int>(edit_->text().size());
    edit_->setSelection(end, end);
  };
}

void TgetStringForm::loadTranslations(const std::string&) { okBtn_->setText(commonString(0)); }

bool TgetStringForm::execute(POINT position, const std::string& caption, std::string& text) {
  accepted_ = false;
  setCaption(caption);
  const RECT at = bounds();
  setBounds(position.x, position.y, at.right - at.left, at.bottom - at.top);
  edit_->setText(text);
  showModal();
  if (accepted_) text = edit_->text();
  return accepted_;
}

void TgetStringForm::okBtnClick() {
  accepted_ = true;
  setModalResult(mrOk);
}
