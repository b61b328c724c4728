#include "app/DirSelForm.h"

#include <algorithm>

#include "app/MainWindowSetup.h"
#include "controls/SelDirDlg.h"
#include "model/Directories.h"
#include "model/LanguageStrings.h"
#include "model/PortableIniFile.h"
#include "platform/Application.h"
#include "platform/Colors.h"
#include "platform/FileSystem.h"
#include "platform/Panel.h"
#include "platform/StdControls.h"

namespace {

TFormOptions dirSelFormOptions(HWND owner) {
  TFormOptions options = dialogOptions("Directories", 545, 321, true);
  options.owner = owner;
  return options;
}

constexpr int rowHeight = 28;

}  // namespace

TdirSelForm::TdirSelForm(HWND owner) : TForm(dirSelFormOptions(owner)) {
  helpContext = 1900;
  dirsPanel_ = &add<TPanel>();
  dirsPanel_->setBevelOuter(TBevelCut::none);
  dirsPanel_->setBounds(0, 4, 456, rowCount * rowHeight + 8);
  for (int row = 0; row < rowCount; ++row) {
    const int top = 4 + row * rowHeight;
    TDirRow& line = rows_[row];
    line.label = &dirsPanel_->add<TLabel>(startDirectoryNames()[row]);
    line.label->setBounds(8, top + 4, 80, 17);
    line.edit = &dirsPanel_->add<TEdit>();
    line.edit->setBounds(90, top, 326, 21);
    line.edit->setReadOnly(true);
    line.edit->setTabStop(true);
    line.edit->onChange = [this] { dirEditChange(); };
    line.browse = &dirsPanel_->add<TButton>("...");
    line.browse->setBounds(420, top, 28, 21);
    line.browse->setTabStop(true);
    line.browse->onClick = [this, row] { browseClick(row); };
  }
  helpBtn_ = &add<TButton>("&Help");
  helpBtn_->setBounds(462, 40, 75, 25);
  helpBtn_->setTabStop(true);
  helpBtn_->onClick = [this] { application().helpContext(helpContext); };
  helpBtn_->setAnchors(akTop | akRight);
  okBtn_ = &add<TButton>("&OK");
  okBtn_->setBounds(462, 8, 75, 25);
  okBtn_->setTabStop(true);
  okBtn_->setDefault(true);
  okBtn_->setAnchors(akTop | akRight);
  okBtn_->setEnabled(false);
  okBtn_->onClick = [this] { okBtnClick(); };
  defaultButton = okBtn_;
  closeOnEscape();
  FormCreate();
}

TdirSelForm::~TdirSelForm() = default;

void TdirSelForm::FormCreate() {
  selDirDlg_ = nullptr;
  for (int row = 0; row < rowCount; ++row) rows_[row].edit->setText(getDirectory(startDirectoryNames()[row]));
  dirEditChange();
}

void TdirSelForm::loadTranslations(const std::string& languageFile) {
  languageFile_ = languageFile;
  helpBtn_->setText(commonString(1));
  okBtn_->setText(commonString(0));
  const TPortableIniFile ini(languageFile);
  setText(ini.readString("DirsSetup", "Caption", text()));
}

bool TdirSelForm::execute(const RECT& anchorRect) {
  accepted_ = false;
  const int left = std::max(0, static_cast<int>((anchorRect.left + anchorRect.right + 1 - width()) / 2));
  const int top = std::max(0, static_cast<int>((anchorRect.top + anchorRect.bottom + 1 - height()) / 2));
  setBounds(left, top, width(), height());
  if (!visible()) showModal();
  return accepted_;
}

bool TdirSelForm::allDirsOK() {
  bool result = true;
  // Every row is tested so that every missing directory shows red; only the
  // first one takes the focus.
  for (TDirRow& row : rows_) {
    const std::string folder = row.edit->text();
    TFont font = row.label->font();
    if (!folder.empty() && folderExists(folder)) {
      font.setColor(clWindowText);
    } else {
      font.setColor(clRed);
      if (result) {
        row.edit->selectAll();
        row.edit->setFocus();
        result = false;
      }
    }
    row.label->setFont(font);
    row.label->invalidate();
  }
  return result;
}

void TdirSelForm::dirEditChange() { okBtn_->setEnabled(allDirsOK()); }

void TdirSelForm::browseClick(int row) {
  TDirRow& line = rows_[row];
  std::string chosen;
  if (selDirDlg_) {
    RECT bounds{};
    GetWindowRect(handle(), &bounds);
    TSelectDirectoryRequest request;
    request.anchorRect = bounds;
    request.initialDir = line.edit->text();
    request.filter = "*.*|*.*";
    request.caption = line.label->text();
    selDirDlg_->execute(request, chosen);
  }
  line.edit->setText(chosen);
  dirEditChange();
}

void TdirSelForm::okBtnClick() {
  for (const TDirRow& row : rows_) setDirectory(row.label->text(), row.edit->text());
  accepted_ = true;
  setModalResult(mrOk);
}
