#pragma once
#include <array>
#include <string>

#include "model/MonthSets.h"
#include "platform/Form.h"

class TButton;
class TEdit;
class TLabel;
class TUpDown;

// Edits the ten user month-name sets on a private copy of the program-wide
// sets; only OK copies it back. The dialog writes no file: its caller saves
// the sets when execute answers true.
class TmonthsForm : public TForm {
 public:

  TmonthsForm();
  ~TmonthsForm() override;

  void loadTranslations(const std::string& languageFile);
  // Runs the dialog centred over rect (screen coordinates); true when closed by OK.
  bool execute(const RECT& rect);
  // Shows user set position (0 to 9) in the edits.
  void setUpDownClick(int position);

  int position() const { return position_; }
  const TMonthSets& editedSets() const { return sets_; }
  TEdit& setDescriptionEdit() const { return *setDescriptionEdit_; }
  TEdit& monthEdit(int month) const { return *monthEdits_[month - 1]; }
  TLabel& setNumberLabel() const { return *setNumberLabel_; }
  TButton& okBtn() const { return *okBtn_; }

 private:
  TMonthSet& currentSet() { return sets_[position_ + 1]; }
  void okBtnClick();

  TMonthSets sets_;
  int position_ = 0;
  TUpDown* setUpDown_ = nullptr;
  TLabel* setNumberLabel_ = nullptr;
  TEdit* setDescriptionEdit_ = nullptr;
  std::array<TEdit*, 12> monthEdits_{};
  TButton* helpBtn_ = nullptr;
  TButton* okBtn_ = nullptr;
  bool accepted_ = false;
};

// The months button's whole job: runs the dialog over rect and, when the user
// accepted, saves the sets into optionsFile against layout, what the program
// holds of the whole file: what the user changed is written, what another
// program wrote since stays, and what it cut out of any part of the file is
// put back. False when nothing was accepted or the save failed, which the
// close then tries again.
bool editMonthNames(const std::string& languageFile, const std::string& optionsFile, const RECT& rect,
                    TSettingsBaseline& layout);
