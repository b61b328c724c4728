#include "platform/Dialogs.h"

#include <commdlg.h>

#include <cstring>

#include "platform/Application.h"

namespace {

// A box owned by a window that a modal dialog disabled would hand the
// activation back to that window when it closes, leaving the dialog without
// the keyboard: the box belongs to the dialog instead.
HWND enabledOwner(HWND owner) {
  if (!owner || IsWindowEnabled(owner)) return owner;
  const HWND popup = GetLastActivePopup(owner);
  return popup && popup != owner && IsWindowEnabled(popup) && IsWindowVisible(popup) ? popup : GetActiveWindow();
}

class TSystemMessageBox : public TMessageBox {
 public:
  int show(HWND owner, const std::string& text, const std::string& caption, UINT flags) override {
    return MessageBoxA(enabledOwner(owner ? owner : GetActiveWindow()), text.c_str(), caption.c_str(), flags);
  }
};

// "Text|*.txt|All|*.*" as the dialog wants it: parts ended by NULs, the
// whole ended by a second NUL.
std::string dialogFilter(const std::string& filter) {
  std::string result = filter;
  for (char& c : result) {
    if (c == '|') c = '\0';
  }
  result.push_back('\0');
  result.push_back('\0');
  return result;
}

bool runFileDialog(HWND owner, const TFileDialogOptions& options, std::string& fileName, bool save) {
  char buffer[MAX_PATH * 4] = {};
  strncpy(buffer, fileName.c_str(), sizeof(buffer) - 1);
  const std::string filter = dialogFilter(options.filter);
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = options.filter.empty() ? nullptr : filter.c_str();
  dialog.lpstrFile = buffer;
  dialog.nMaxFile = sizeof(buffer);
  dialog.lpstrTitle = options.title.empty() ? nullptr : options.title.c_str();
  dialog.lpstrDefExt = options.defaultExtension.empty() ? nullptr : options.defaultExtension.c_str();
  dialog.lpstrInitialDir = options.initialDir.empty() ? nullptr : options.initialDir.c_str();
  dialog.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
  if (options.mustExist && !save) dialog.Flags |= OFN_FILEMUSTEXIST;
  if (options.promptOverwrite && save) dialog.Flags |= OFN_OVERWRITEPROMPT;
  const BOOL accepted = save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
  if (accepted) fileName = buffer;
  return accepted != FALSE;
}

}  // namespace

TMessageBox& systemMessageBox() {
  static TSystemMessageBox box;
  return box;
}

bool TColorDialog::execute(HWND owner, TColor& color) {
  static COLORREF customColors[16] = {};  // kept between uses, as users expect
  CHOOSECOLORA dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.rgbResult = colorToRGB(color);
  dialog.lpCustColors = customColors;
  dialog.Flags = CC_RGBINIT | CC_FULLOPEN;
  if (!ChooseColorA(&dialog)) return false;
  color = static_cast<TColor>(dialog.rgbResult);
  return true;
}

bool TFontDialog::execute(HWND owner, TFont& font) {
  LOGFONTA logFont = font.logFont();
  CHOOSEFONTA dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.lpLogFont = &logFont;
  dialog.rgbColors = colorToRGB(font.color());
  dialog.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS;
  if (!ChooseFontA(&dialog)) return false;
  TFont chosen = TFont::fromLogFont(logFont);
  chosen.setColor(static_cast<TColor>(dialog.rgbColors));
  font = chosen;
  return true;
}

bool TFileDialog::open(HWND owner, const TFileDialogOptions& options, std::string& fileName) {
  return runFileDialog(owner, options, fileName, false);
}

bool TFileDialog::save(HWND owner, const TFileDialogOptions& options, std::string& fileName) {
  return runFileDialog(owner, options, fileName, true);
}

TFindDialog::TFindDialog(bool withReplace) : withReplace_(withReplace) {}

TFindDialog::~TFindDialog() {
  if (dialog_) {
    application().removeModelessDialog(dialog_);
    DestroyWindow(dialog_);
  }
}

UINT TFindDialog::message() {
  static const UINT registered = RegisterWindowMessageA(FINDMSGSTRINGA);
  return registered;
}

void TFindDialog::execute(HWND owner) {
  if (dialog_) {
    ShowWindow(dialog_, SW_SHOW);
    SetForegroundWindow(dialog_);
    return;
  }
  strncpy(findBuffer_, findText.c_str(), sizeof(findBuffer_) - 1);
  strncpy(replaceBuffer_, replaceText.c_str(), sizeof(replaceBuffer_) - 1);
  record_ = {};
  record_.lStructSize = sizeof(record_);
  record_.hwndOwner = owner;
  record_.lpstrFindWhat = findBuffer_;
  record_.wFindWhatLen = sizeof(findBuffer_);
  record_.lpstrReplaceWith = replaceBuffer_;
  record_.wReplaceWithLen = sizeof(replaceBuffer_);
  record_.lCustData = reinterpret_cast<LPARAM>(this);
  record_.Flags = (options.down ? FR_DOWN : 0) | (options.wholeWord ? FR_WHOLEWORD : 0) |
                  (options.matchCase ? FR_MATCHCASE : 0) | (hideWholeWord ? FR_HIDEWHOLEWORD : 0) |
                  (hideUpDown ? FR_HIDEUPDOWN : 0);
  dialog_ = withReplace_ ? ReplaceTextA(&record_) : FindTextA(&record_);
  if (!dialog_) return;
  application().addModelessDialog(dialog_);
  if (positionAtOpening_) {
    setPosition(positionAtOpening_->x, positionAtOpening_->y);
    positionAtOpening_.reset();
  }
}

void TFindDialog::close() {
  if (!dialog_) return;
  HWND dialog = dialog_;
  closed();
  DestroyWindow(dialog);
}

void TFindDialog::closed() {
  application().removeModelessDialog(dialog_);
  dialog_ = nullptr;
  if (onClose) onClose();
}

void TFindDialog::setPosition(int screenX, int screenY) {
  if (dialog_)
    SetWindowPos(dialog_, nullptr, screenX, screenY, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  else
    positionAtOpening_ = POINT{screenX, screenY};
}

void TFindDialog::handleMessage(LPARAM lParam) {
  auto* record = reinterpret_cast<FINDREPLACEA*>(lParam);
  auto* dialog = reinterpret_cast<TFindDialog*>(record->lCustData);
  if (!dialog) return;
  if (record->Flags & FR_DIALOGTERM) {
    dialog->closed();
    return;
  }
  dialog->findText = record->lpstrFindWhat;
  dialog->replaceText = record->lpstrReplaceWith ? record->lpstrReplaceWith : "";
  dialog->options.down = (record->Flags & FR_DOWN) != 0;
  dialog->options.wholeWord = (record->Flags & FR_WHOLEWORD) != 0;
  dialog->options.matchCase = (record->Flags & FR_MATCHCASE) != 0;
  dialog->options.replaceAll = (record->Flags & FR_REPLACEALL) != 0;
  if (record->Flags & FR_FINDNEXT) {
    if (dialog->onFind) dialog->onFind();
  } else if (record->Flags & (FR_REPLACE | FR_REPLACEALL)) {
    if (dialog->onReplace) dialog->onReplace();
  }
}

bool clipboardHasText() { return IsClipboardFormatAvailable(CF_TEXT) != FALSE; }

std::string clipboardText() {
  std::string text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const auto* chars = static_cast<const char*>(GlobalLock(data))) {
      text = chars;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

bool setClipboardText(const std::string& text) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  if (!memory) return false;
  if (auto* chars = static_cast<char*>(GlobalLock(memory))) {
    std::memcpy(chars, text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
  }
  if (!OpenClipboard(application().utilityWindow())) {
    GlobalFree(memory);
    return false;
  }
  EmptyClipboard();
  const bool stored = SetClipboardData(CF_TEXT, memory) != nullptr;
  CloseClipboard();
  if (!stored) GlobalFree(memory);  // the clipboard owns it only once stored
  return stored;
}

TCaret::TCaret(HWND window, int width, int height)
    : window_(window), created_(CreateCaret(window, nullptr, width, height) != FALSE) {}

TCaret::~TCaret() {
  if (created_) DestroyCaret();
}

void TCaret::moveTo(int x, int y) {
  if (created_) SetCaretPos(x, y);
}

void TCaret::show() {
  if (created_ && !shown_) shown_ = ShowCaret(window_) != FALSE;
}

void TCaret::hide() {
  if (created_ && shown_) {
    HideCaret(window_);
    shown_ = false;
  }
}
