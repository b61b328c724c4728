#pragma once
#include <string>

#include "controls/DirectoryControls.h"
#include "platform/ExtControls.h"
#include "platform/Form.h"
#include "platform/Panel.h"

class TMessageBox;

// What the directory dialog is opened with; a struct, so that the texts of
// the same type cannot change places unseen.
struct TSelectDirectoryRequest {
  RECT anchorRect{};  // the dialog is centred on it (screen coordinates)
  std::string initialDir;
  std::string filter;  // of the file list: "All files (*.*)|*.*"
  std::string caption;
};

// "Select directory": a folder chosen from the lists or typed, created when
// missing. A click in the edit moves the lists to the typed folder when it
// exists; Enter in the edit, and the opening, also create it.
class TselDirDlg : public TForm {
 public:
  explicit TselDirDlg(TMessageBox& messages);

  void loadTranslations(const std::string& languageFile);
  // True when accepted, with chosenDir the chosen folder with a trailing
  // backslash; otherwise chosenDir is the initial folder with one. An empty
  // path stays empty.
  bool execute(const TSelectDirectoryRequest& request, std::string& chosenDir);

  TPanel* backPanel;
  TPanel* dirPanel;
  TPanel* leftPanel;
  TDriveComboBox* driveComboBox;
  TDirectoryListBox* directoryListBox;
  TSplitter* splitter;
  TPanel* rightPanel;
  TFileListBox* fileListBox;
  TFilterComboBox* FilterComboBox;
  TEdit* edit;
  TButton* okBtn;

  std::string dirDoesntExistCreate = "Directory doesn't exist. Create?";
  std::string failedToCreateDir = "Failed to create directory!";

 private:
  void applyEdit(bool createMissing);
  void okBtnClick();
  void directoryChanged();

  TMessageBox& messages_;
  bool accepted_ = false;
};
