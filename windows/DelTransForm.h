#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "model/SettingsBaseline.h"
#include "platform/Form.h"
#include "windows/TransactionRanges.h"

class TButton;
class TEdit;
class TBevel;
class TSpinButton;
class TToolTips;

// Asks for the first and last number of a range of transactions to delete,
// kept within the numbers that exist.
class TdelTransForm : public TForm {
 public:
  TdelTransForm();
  ~TdelTransForm() override;

  // The range starts as first..last within the numbers a and b; true when
  // closed by OK, first and last then the range chosen.
  bool execute(int32_t a, int32_t b, int32_t& first, int32_t& last);
  void loadGUIoptions(const std::string& fileName);
  void saveGUIoptions(const std::string& fileName);
  void loadTranslations() {}

  const TNumberRange& range() const { return range_; }
  TEdit& startTransNrEdit() const { return *startTransNrEdit_; }
  TEdit& endTransNrEdit() const { return *endTransNrEdit_; }
  TSpinButton& startTransNrUpDown() const { return *startTransNrUpDown_; }
  TSpinButton& endTransNrUpDown() const { return *endTransNrUpDown_; }
  TButton& startFirstNrBtn() const { return *startFirstNrBtn_; }
  TButton& endLastNrBtn() const { return *endLastNrBtn_; }
  TButton& okBtn() const { return *okBtn_; }

 private:
  // Takes both edits' texts into the range and shows the range again.
  void validate();
  void showRange();
  void okBtnClick();
  void writeGUIoptions(TPortableIniFile& ini) const;

  TNumberRange range_;
  TBevel* transNrGroupBox_ = nullptr;
  TEdit* startTransNrEdit_ = nullptr;
  TEdit* endTransNrEdit_ = nullptr;
  TSpinButton* startTransNrUpDown_ = nullptr;
  TSpinButton* endTransNrUpDown_ = nullptr;
  TButton* startFirstNrBtn_ = nullptr;
  TButton* startLastNrBtn_ = nullptr;
  TButton* endFirstNrBtn_ = nullptr;
  TButton* endLastNrBtn_ = nullptr;
  TButton* helpBtn_ = nullptr;
  TButton* okBtn_ = nullptr;
  std::unique_ptr<TToolTips> hints_;
  bool accepted_ = false;
  TSettingsBaseline savedGUIoptions_;
};
