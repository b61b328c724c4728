#pragma once
#include <memory>
#include <string>

#include "model/SettingsBaseline.h"
#include "platform/Form.h"
#include "windows/TransactionRanges.h"

class TButton;
class TCheckBox;
class TDateTimePicker;
class TBevel;
class TToolTips;

// Asks for the days whose transactions are merged, whether they go, and the
// date of the merged transaction.
class TsumTransForm : public TForm {
 public:
  TsumTransForm();
  ~TsumTransForm() override;

  // True when closed by OK; the three dates and the check box are then
  // handed back. Start and end stay within lowest..highest.
  bool execute(double& start, double& end, bool& deleteSource, double& destination, double lowest,
               double highest);
  void loadGUIoptions(const std::string& fileName);
  void saveGUIoptions(const std::string& fileName);
  void loadTranslations() {}

  TDateTimePicker& startDateTimePicker() const { return *startDateTimePicker_; }
  TDateTimePicker& endDateTimePicker() const { return *endDateTimePicker_; }
  TDateTimePicker& destinationDateTimePicker() const { return *destinationDateTimePicker_; }
  TCheckBox& delCheckBox() const { return *delCheckBox_; }
  TButton& startFirstDateBtn() const { return *startFirstDateBtn_; }
  TButton& startLastDateBtn() const { return *startLastDateBtn_; }
  TButton& endLastDateBtn() const { return *endLastDateBtn_; }
  TButton& dstFirstDateBtn() const { return *dstFirstDateBtn_; }
  TButton& okBtn() const { return *okBtn_; }

 private:
  void showDates();
  void okBtnClick();
  void writeGUIoptions(TPortableIniFile& ini) const;

  TMergeDates dates_;
  TBevel* sourceGroupBox_ = nullptr;
  TDateTimePicker* startDateTimePicker_ = nullptr;
  TDateTimePicker* endDateTimePicker_ = nullptr;
  TButton* startFirstDateBtn_ = nullptr;
  TButton* startLastDateBtn_ = nullptr;
  TButton* endFirstDateBtn_ = nullptr;
  TButton* endLastDateBtn_ = nullptr;
  TCheckBox* delCheckBox_ = nullptr;
  TBevel* destinationGroupBox_ = nullptr;
  TDateTimePicker* destinationDateTimePicker_ = nullptr;
  TButton* dstFirstDateBtn_ = nullptr;
  TButton* dstLastDateBtn_ = nullptr;
  TButton* helpBtn_ = nullptr;
  TButton* okBtn_ = nullptr;
  std::unique_ptr<TToolTips> hints_;
  bool accepted_ = false;
  TSettingsBaseline savedGUIoptions_;
};
