#pragma once
#include <memory>
#include <string>

#include "platform/Form.h"

class TButton;
class TDateTimePicker;
class TEdit;
class TGroupBox;
class TSpeedButton;
class TSpinButton;

// Asks for the threshold of a conditional format and whether it applies
// above or below it. Kind 3 thresholds are dates, kind 4 times of day, any
// other kind plain numbers.
class TgetThresholdForm : public TForm {
 public:
  TgetThresholdForm();
  ~TgetThresholdForm() override;

  bool execute(double& threshold, bool& above, int kind);
  static std::string floatToString(double x);
  void loadTranslations() {}

  TSpeedButton& aboveSpeedBtn() const { return *aboveSpeedBtn_; }
  TSpeedButton& belowSpeedBtn() const { return *belowSpeedBtn_; }
  TDateTimePicker& dateTimePicker() const { return *dateTimePicker_; }
  TEdit& thresholdEdit() const { return *thresholdEdit_; }
  TSpinButton& thresholdUpDown() const { return *thresholdUpDown_; }
  TButton& okBtn() const { return *okBtn_; }

 private:
  void okBtnClick();
  void spin(int direction);

  TGroupBox* thresholdGroupBox_ = nullptr;
  TSpeedButton* aboveSpeedBtn_ = nullptr;
  TSpeedButton* belowSpeedBtn_ = nullptr;
  TDateTimePicker* dateTimePicker_ = nullptr;
  TEdit* thresholdEdit_ = nullptr;
  TSpinButton* thresholdUpDown_ = nullptr;
  TButton* okBtn_ = nullptr;
  int kind_ = 0;
  double threshold_ = 0;
  bool accepted_ = false;
};
