#pragma once
#include <array>
#include <string>

#include "platform/Form.h"

class TButton;
class TEdit;
class TLabel;
class TPanel;
class TselDirDlg;

// Shows the eleven named directories at once and accepts only a set in
// which every one exists. The directory table changes only on OK; the caller
// writes the directory list file.
class TdirSelForm : public TForm {
 public:
  static constexpr int rowCount = 11;

  explicit TdirSelForm(HWND owner = nullptr);
  ~TdirSelForm() override;

  void setSelDirDlg(TselDirDlg* dialog) { selDirDlg_ = dialog; }
  void loadTranslations(const std::string& languageFile);
  // Runs the dialog centred over anchorRect; true when closed by OK.
  bool execute(const RECT& anchorRect);
  // Marks every missing directory red, makes the first one's edit active;
  // true when none is missing.
  bool allDirsOK();
  void dirEditChange();

  TLabel& dirLabel(int row) const { return *rows_[row].label; }
  TEdit& dirEdit(int row) const { return *rows_[row].edit; }
  TButton& browseButton(int row) const { return *rows_[row].browse; }
  TButton& okBtn() const { return *okBtn_; }

 private:
  struct TDirRow {
    TLabel* label = nullptr;
    TEdit* edit = nullptr;
    TButton* browse = nullptr;
  };

  void FormCreate();
  void browseClick(int row);
  void okBtnClick();

  TselDirDlg* selDirDlg_ = nullptr;
  std::string languageFile_;
  TPanel* dirsPanel_;
  std::array<TDirRow, rowCount> rows_{};
  TButton* helpBtn_;
  TButton* okBtn_;
  bool accepted_ = false;
};
