#include "controls/GetStringForm.h"

#include <algorithm>

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

POINT placeKeptOn(const RECT& workArea, SIZE size, POINT wanted) {
  const LONG left = std::max(workArea.left, std::min(wanted.x, workArea.right - size.cx));
  const LONG top = std::max(workArea.top, std::min(wanted.y, workArea.bottom - size.cy));
  return {left, top};
}

POINT placeCentredOn(const RECT& workArea, SIZE size) {
  return {(workArea.left + workArea.right - size.cx) / 2, (workArea.top + workArea.bottom - size.cy) / 2};
}

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
