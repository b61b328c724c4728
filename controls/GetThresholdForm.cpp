#include "controls/GetThresholdForm.h"

#include <cmath>

#include "controls/SpeedButton.h"
#include "controls/SpinButton.h"
#include "controls/ThresholdText.h"
#include "platform/DateTimePicker.h"
#include "platform/StdControls.h"
#include "sheet/NumberText.h"

namespace {

constexpr int dateKind = 3;
constexpr int timeKind = 4;

TFormOptions thresholdFormOptions() {
  return dialogOptions("Threshold", 217, 153, true);
}

}  // namespace

TgetThresholdForm::TgetThresholdForm() : TForm(thresholdFormOptions()) {
  thresholdGroupBox_ = &add<TGroupBox>("");
  thresholdGroupBox_->setBounds(8, 4, 201, 105);
  aboveSpeedBtn_ = &thresholdGroupBox_->add<TSpeedButton>("&Above", true);
  aboveSpeedBtn_->setBounds(16, 20, 80, 25);
  belowSpeedBtn_ = &thresholdGroupBox_->add<TSpeedButton>("&Below", false);
  belowSpeedBtn_->setBounds(104, 20, 80, 25);
  dateTimePicker_ = &thresholdGroupBox_->add<TDateTimePicker>();
  dateTimePicker_->setBounds(16, 64, 168, 21);
  thresholdEdit_ = &thresholdGroupBox_->add<TEdit>();
  thresholdEdit_->setBounds(16, 64, 152, 21);
  thresholdEdit_->setTabStop(true);
  thresholdUpDown_ = &thresholdGroupBox_->add<TSpinButton>();
  thresholdUpDown_->setBounds(168, 64, 16, 21);
  thresholdUpDown_->onSpin = [this](int direction) { spin(direction); };
  okBtn_ = &addDefaultButton("&OK", 134, 120, 75, 25, [this] { okBtnClick(); });
  closeOnEscape();
}

TgetThresholdForm::~TgetThresholdForm() = default;

std::string TgetThresholdForm::floatToString(double x) { return thresholdFloatToString(x); }

bool TgetThresholdForm::execute(double& threshold, bool& above, int kind) {
  accepted_ = false;
  kind_ = kind;
  (above ? aboveSpeedBtn_ : belowSpeedBtn_)->setDown(true);
  const bool picked = kind == dateKind || kind == timeKind;
  dateTimePicker_->setVisible(picked);
  thresholdEdit_->setVisible(!picked);
  thresholdUpDown_->setVisible(!picked);
  if (kind == dateKind) {
    dateTimePicker_->setKind(TDateTimeKind::date);
    dateTimePicker_->setDateTime(std::trunc(threshold));
  } else if (kind == timeKind) {
    dateTimePicker_->setKind(TDateTimeKind::time);
    dateTimePicker_->setDateTime(threshold - std::floor(threshold));
  } else {
    thresholdEdit_->setText(floatToString(threshold));
  }
  if (!visible()) showModal();
  if (accepted_) {
    above = aboveSpeedBtn_->down();
    threshold = threshold_;
  }
  return accepted_;
}

void TgetThresholdForm::okBtnClick() {
  if (kind_ == dateKind) {
    threshold_ = std::trunc(dateTimePicker_->dateTime());
  } else if (kind_ == timeKind) {
    const double picked = dateTimePicker_->dateTime();
    threshold_ = picked - std::floor(picked);
  } else if (!localTextToFloat(thresholdEdit_->text(), threshold_)) {
    // Text that is no number is refused: the user corrects it here.
    MessageBeep(MB_OK);
    thresholdEdit_->setFocus();
    return;
  }
  accepted_ = true;
  setModalResult(mrOk);
}

void TgetThresholdForm::spin(int direction) {
  double value = 0;
  if (!localTextToFloat(thresholdEdit_->text(), value)) return;
  thresholdEdit_->setText(floatToString(value + direction));
}
