#include "controls/SelDirDlg.h"

#include "model/LanguageStrings.h"
#include "model/PortableIniFile.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"

namespace {

TFormOptions dialogOptions() {
  TFormOptions options;
  options.caption = "Select directory";
  options.clientWidth = 436;
  options.clientHeight = 353;
  options.border = TBorderStyle::sizeable;
  options.minimizeBox = false;
  options.maximizeBox = false;
  options.stayOnTop = true;
  return options;
}

std::string trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

TselDirDlg::TselDirDlg(TMessageBox& messages) : TForm(dialogOptions()), messages_(messages) {
  setSize(444, 387);
  setConstraints(170, 140);
  backPanel = &add<TPanel>();
  backPanel->setBevelOuter(TBevelCut::none);
  backPanel->setBorderWidth(4);
  backPanel->setAlign(TAlign::client);

  auto& bottom = backPanel->add<TPanel>();
  bottom.setBevelOuter(TBevelCut::none);
  bottom.setBounds(0, 0, 100, 31);
  bottom.setAlign(TAlign::bottom);
  okBtn = &bottom.add<TButton>("&OK");
  okBtn->setAnchors(akTop | akRight);
  edit = &backPanel->add<TEdit>();
  edit->setBounds(0, 0, 100, 23);
  edit->setAlign(TAlign::bottom);

  dirPanel = &backPanel->add<TPanel>();
  dirPanel->setBevelOuter(TBevelCut::none);
  dirPanel->setAlign(TAlign::client);
  leftPanel = &dirPanel->add<TPanel>();
  leftPanel->setBevelOuter(TBevelCut::none);
  leftPanel->setBounds(0, 0, 210, 100);
  leftPanel->setAlign(TAlign::left);
  splitter = &dirPanel->add<TSplitter>(TAlign::left);
  splitter->setBounds(210, 0, 4, 100);
  rightPanel = &dirPanel->add<TPanel>();
  rightPanel->setBevelOuter(TBevelCut::none);
  rightPanel->setAlign(TAlign::client);

  driveComboBox = &leftPanel->add<TDriveComboBox>();
  firstField = driveComboBox;
  driveComboBox->setAlign(TAlign::top);
  directoryListBox = &leftPanel->add<TDirectoryListBox>();
  directoryListBox->setAlign(TAlign::client);
  FilterComboBox = &rightPanel->add<TFilterComboBox>();
  FilterComboBox->setAlign(TAlign::bottom);
  fileListBox = &rightPanel->add<TFileListBox>();
  fileListBox->setAlign(TAlign::client);

  realign();
  okBtn->setBounds(bottom.clientWidth() - 75, 6, 75, 23);
  okBtn->setAnchors(akTop | akRight);
  okBtn->setDefault(true);

  driveComboBox->onChange = [this] { directoryListBox->setDirectory(driveComboBox->drive() + "\\"); };
  directoryListBox->onDirectoryChange = [this] { directoryChanged(); };
  FilterComboBox->onChange = [this] { fileListBox->setMask(FilterComboBox->mask()); };
  edit->onMouseUp = [this](TMouseButton button, TShiftState, int, int) {
    if (button == TMouseButton::left) applyEdit(false);
  };
  edit->onKeyDown = [this](WORD& key, TShiftState) {
    if (key == VK_RETURN) {
      applyEdit(true);
      key = 0;
    }
  };
  okBtn->onClick = [this] { okBtnClick(); };
  keyPreview = true;
  onKeyDown = [this](WORD& key, TShiftState) {
    if (key == VK_ESCAPE) {
      key = 0;
      accepted_ = false;
      setModalResult(mrCancel);
    }
  };
}

void TselDirDlg::loadTranslations(const std::string& languageFile) {
  okBtn->setText(commonString(0));
  const TPortableIniFile file(languageFile);
  dirDoesntExistCreate = file.readString("DirsBrowse", "DirDoesnExistCreate", dirDoesntExistCreate);
  failedToCreateDir = file.readString("DirsBrowse", "FailedToCreateDir", failedToCreateDir);
}

bool TselDirDlg::execute(const TSelectDirectoryRequest& request, std::string& chosenDir) {
  accepted_ = false;
  centerOn(request.anchorRect);
  FilterComboBox->setFilter(request.filter);
  fileListBox->setMask(FilterComboBox->mask());
  edit->setText(withTrailingBackslash(request.initialDir));
  applyEdit(true);
  setCaption(request.caption);
  if (!visible()) showModal();
  chosenDir = accepted_ ? withTrailingBackslash(trimmed(edit->text())) : withTrailingBackslash(request.initialDir);
  return accepted_;
}

void TselDirDlg::directoryChanged() {
  const std::string& folder = directoryListBox->directory();
  edit->setText(withTrailingBackslash(folder));
  driveComboBox->setDrive(folder);
  fileListBox->setDirectory(folder);
}

void TselDirDlg::applyEdit(bool createMissing) {
  const std::string path = trimmed(edit->text());
  if (path.empty()) {
    edit->setText(withTrailingBackslash(directoryListBox->directory()));
    return;
  }
  if (folderExists(path)) {
    directoryListBox->setDirectory(path);
    return;
  }
  // A click only moves to folders that exist: a half-typed path clicked
  // into must not leave folders behind.
  if (!createMissing) return;
  if (forceFolders(path) && folderExists(path)) {
    directoryListBox->setDirectory(path);
    return;
  }
  messages_.show(handle(), failedToCreateDir, commonString(4), MB_OK | MB_ICONERROR);
  edit->setText(withTrailingBackslash(directoryListBox->directory()));
}

void TselDirDlg::okBtnClick() {
  const std::string path = trimmed(edit->text());
  if (path.empty() || folderExists(path)) {
    accepted_ = true;
  } else if (messages_.show(handle(), dirDoesntExistCreate, commonString(2),
                            MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES) {
    if (forceFolders(path) && folderExists(path)) accepted_ = true;
    else messages_.show(handle(), failedToCreateDir, commonString(4), MB_OK | MB_ICONERROR);
  }
  setModalResult(accepted_ ? mrOk : mrCancel);
}
