#pragma once
#include <windows.h>
#include <commdlg.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Colors.h"
#include "platform/Font.h"

// The system's message box and common dialogs behind small interfaces, so
// that tests can put a scripted answer in their place.

class TMessageBox {
 public:
  virtual ~TMessageBox() = default;
  // MessageBox flags (MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, ...);
  // returns IDOK, IDYES, IDNO, ...
  virtual int show(HWND owner, const std::string& text, const std::string& caption, UINT flags) = 0;
};

// The real message box, owned by the active window of the thread.
TMessageBox& systemMessageBox();

class TColorDialog {
 public:
  virtual ~TColorDialog() = default;
  // True with the chosen colour, false when cancelled (colour unchanged).
  virtual bool execute(HWND owner, TColor& color);
};

class TFontDialog {
 public:
  virtual ~TFontDialog() = default;
  virtual bool execute(HWND owner, TFont& font);
};

struct TFileDialogOptions {
  std::string title;
  std::string filter;  // "Text files|*.txt|All files|*.*"
  std::string defaultExtension;
  std::string initialDir;
  bool mustExist = true;
  bool promptOverwrite = true;
};

class TFileDialog {
 public:
  virtual ~TFileDialog() = default;
  virtual bool open(HWND owner, const TFileDialogOptions& options, std::string& fileName);
  virtual bool save(HWND owner, const TFileDialogOptions& options, std::string& fileName);
};

struct TFindOptions {
  bool down = true;
  bool wholeWord = false;
  bool matchCase = false;
  bool replaceAll = false;  // the Replace All button of the replace dialog
};

// The modeless find (or find-and-replace) dialog. Its buttons fire the
// events; it stays open until closed. The message loop hands it its keys.
class TFindDialog {
 public:
  explicit TFindDialog(bool withReplace = false);
  virtual ~TFindDialog();
  TFindDialog(const TFindDialog&) = delete;
  TFindDialog& operator=(const TFindDialog&) = delete;

  // Opens the dialog (or brings it forward) owned by a window of ours.
  virtual void execute(HWND owner);
  virtual void close();
  bool visible() const { return dialog_ != nullptr && IsWindowVisible(dialog_); }
  HWND handle() const { return dialog_; }
  // Moves the open dialog; before it is open, the position is kept for its
  // next opening.
  void setPosition(int screenX, int screenY);

  std::string findText;
  std::string replaceText;
  TFindOptions options;
  bool hideWholeWord = false;
  bool hideUpDown = false;
  int tag = 0;  // free for the owner's bookkeeping
  std::function<void()> onFind;
  std::function<void()> onReplace;
  std::function<void()> onClose;  // by the user or by close()

  // The registered message the dialog sends its owner; windows hand it here.
  static UINT message();
  static void handleMessage(LPARAM lParam);

 private:
  void closed();

  bool withReplace_;
  HWND dialog_ = nullptr;
  std::optional<POINT> positionAtOpening_;
  FINDREPLACEA record_{};
  char findBuffer_[256] = {};
  char replaceBuffer_[256] = {};
};

// Clipboard text (the ANSI text format).
bool clipboardHasText();
std::string clipboardText();
bool setClipboardText(const std::string& text);

// The system caret of a window, destroyed with the object.
class TCaret {
 public:
  TCaret(HWND window, int width, int height);
  ~TCaret();
  TCaret(const TCaret&) = delete;
  TCaret& operator=(const TCaret&) = delete;
  void moveTo(int x, int y);
  void show();
  void hide();

 private:
  HWND window_;
  bool created_;
  bool shown_ = false;
};
