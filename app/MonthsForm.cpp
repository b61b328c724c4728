#include "app/MonthsForm.h"

#include <algorithm>
#include <memory>

#include "model/LanguageStrings.h"
#include "model/PlainText.h"
#include "model/PortableIniFile.h"
#include "model/SettingsBaseline.h"
#include "model/UnsavedChanges.h"
#include "platform/Application.h"
#include "platform/ComCtrls.h"
#include "platform/StdControls.h"

namespace {

TFormOptions monthsFormOptions() {
  return dialogOptions("Month names", 321, 249, true);
}

std::string storedText(const std::string& typed) { return trimmedText(typed).substr(0, monthTextLength); }

}  // namespace

TmonthsForm::TmonthsForm() : TForm(monthsFormOptions()) {
  helpContext = 1710;
  add<TLabel>("Set").setBounds(8, 12, 24, 17);
  setNumberLabel_ = &add<TLabel>("0");
  setNumberLabel_->setBounds(36, 12, 16, 17);
  setUpDown_ = &add<TUpDown>(true);
  setUpDown_->setBounds(56, 9, 34, 21);
  setUpDown_->setRange(0, userMonthSetCount - 1);
  setUpDown_->onClick = [this](bool up) {
    const int next = std::clamp(position_ + (up ? 1 : -1), 0, userMonthSetCount - 1);
    if (next != position_) setUpDownClick(next);
  };
  setDescriptionEdit_ = &add<TEdit>();
  setDescriptionEdit_->setBounds(100, 9, 213, 21);
  setDescriptionEdit_->setMaxLength(static_cast<int>(monthTextLength));
  setDescriptionEdit_->setTabStop(true);
  setDescriptionEdit_->onChange = [this] { currentSet().description = storedText(setDescriptionEdit_->text()); };
  for (int month = 1; month <= 12; ++month) {
    const int column = (month - 1) / 6;
    const int row = (month - 1) % 6;
    const int left = 8 + column * 160;
    const int top = 42 + row * 27;
    add<TLabel>(std::to_string(month)).setBounds(left, top + 3, 20, 17);
    TEdit* edit = &add<TEdit>();
    edit->setBounds(left + 24, top, 121, 21);
    edit->setMaxLength(static_cast<int>(monthTextLength));
    edit->setTabStop(true);
    edit->onChange = [this, month, edit] { currentSet().names[month - 1] = storedText(edit->text()); };
    monthEdits_[month - 1] = edit;
  }
  helpBtn_ = &add<TButton>("&Help");
  helpBtn_->setBounds(158, 216, 75, 25);
  helpBtn_->setTabStop(true);
  helpBtn_->onClick = [this] { application().helpContext(helpContext); };
  okBtn_ = &addDefaultButton("&OK", 238, 216, 75, 25, [this] { okBtnClick(); });
  closeOnEscape();
}

TmonthsForm::~TmonthsForm() = default;

void TmonthsForm::loadTranslations(const std::string& languageFile) {
  helpBtn_->setText(commonString(1));
  okBtn_->setText(commonString(0));
  const TPortableIniFile ini(languageFile);
  setText(ini.readString("MonthsSetup", "Caption", text()));
}

bool TmonthsForm::execute(const RECT& rect) {
  accepted_ = false;
  sets_ = monthSets();
  setUpDown_->setRange(0, userMonthSetCount - 1);
  for (int set = 0; set < userMonthSetCount; ++set) {
    if (!sets_[set + 1].description.empty()) {
      setUpDown_->setPosition(set);
      setUpDownClick(set);
      break;
    }
  }
  // Integer division rounds toward zero, as the placement rule asks.
  const int left = std::max(0, static_cast<int>((rect.left + rect.right + 1 - width()) / 2));
  const int top = std::max(0, static_cast<int>((rect.top + rect.bottom + 1 - height()) / 2));
  setBounds(left, top, width(), height());
  if (!visible()) showModal();
  return accepted_;
}

void TmonthsForm::setUpDownClick(int position) {
  // The position first: every text set below stores itself into this set.
  position_ = position;
  setNumberLabel_->setText(std::to_string(position));
  const TMonthSet shown = currentSet();
  setDescriptionEdit_->setText(shown.description);
  for (int month = 1; month <= 12; ++month) monthEdits_[month - 1]->setText(shown.names[month - 1]);
}

void TmonthsForm::okBtnClick() {
  const TMonthSet builtIn = monthSets()[0];
  monthSets() = sets_;
  monthSets()[0] = builtIn;
  accepted_ = true;
  setModalResult(mrOk);
}

bool editMonthNames(const std::string& languageFile, const std::string& optionsFile, const RECT& rect,
                    TSettingsBaseline& layout) {
  TmonthsForm form;
  form.loadTranslations(languageFile);
  if (!form.execute(rect)) return false;
  if (saveMonthSets(optionsFile, layout)) return true;
  // The names stay in use; the close saves them again, and asks.
  holdUnsavedChange(optionsFile, "", [optionsFile, saved = layout]() mutable { return saveMonthSets(optionsFile, saved); });
  return false;
}
