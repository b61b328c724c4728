#pragma once
#include <functional>
#include <string>

#include "platform/Control.h"

class TButton;
class TMainMenu;

enum TModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7 };

enum class TBorderStyle { sizeable, dialog, single, none, toolWindow, sizeToolWindow };

struct TFormOptions {
  std::string caption;
  int clientWidth = 400;
  int clientHeight = 300;
  TBorderStyle border = TBorderStyle::sizeable;
  bool systemMenu = true;
  bool minimizeBox = true;
  bool maximizeBox = true;
  bool stayOnTop = false;
  HWND owner = nullptr;
  // A child form: a child window inside this control, filling it.
  TControl* parent = nullptr;
};

// A dialog of fixed size without minimise and maximise boxes.
TFormOptions dialogOptions(std::string caption, int clientWidth, int clientHeight, bool stayOnTop);

// A window of the program: top-level (modal with a result, or modeless) or
// a child filling a host control. Forms do their own keyboard handling:
// Tab moves between tab stops unless the focused control wants Tab, Enter
// and Esc press the default and cancel buttons unless the focused control
// wants them, and with keyPreview the form sees every key first.
class TForm : public TControl {
 public:
  explicit TForm(const TFormOptions& options);

  // Shows the form modally and returns its modal result (mrCancel when the
  // program quits meanwhile).
  int showModal();
  bool modal() const { return modal_; }
  int modalResult() const { return modalResult_; }
  // A non-zero result ends the modal loop (after onCloseQuery agrees).
  void setModalResult(int result) { modalResult_ = result; }
  void showModeless();
  // As the close box: asks onCloseQuery, then ends the modal loop with
  // mrCancel or hides the modeless form and fires onClose.
  void close();

  void setCaption(const std::string& caption) { setText(caption); }
  void setClientSize(int width, int height);
  // Centres the form on a rectangle of the screen, never off its left or
  // top edge.
  void centerOn(const RECT& anchor);
  void setMainMenu(TMainMenu* menu);
  // Esc (without Ctrl or Alt) closes the form without accepting, for the
  // dialogs whose Esc has no Cancel button to press.
  void closeOnEscape();
  // The button Enter presses: a tab stop at the given place.
  TButton& addDefaultButton(const std::string& caption, int left, int top, int width, int height,
                            std::function<void()> onClick);

  TControl* activeControl() const;
  // Moves the focus to the next (or previous) tab stop of the form.
  void selectNext(bool forward);
  // Called by the message loop for keys aimed at this form's controls
  // (with keyPreview the form's key events see them first).
  bool previewKey(MSG& message);
  // Alt and a letter: clicks the first shown, enabled button, check box,
  // radio button or tool button whose caption marks that letter with "&".
  // False when none does.
  bool mnemonicKey(char key);
  bool dialogKey(WORD key, TShiftState shift) override;

  bool keyPreview = false;
  // The field that has the keys when the form opens; the first tab stop
  // when none is named.
  TControl* firstField = nullptr;
  TControl* defaultButton = nullptr;
  TControl* cancelButton = nullptr;

  std::function<bool()> onCloseQuery;
  std::function<void()> onClose;
  std::function<void()> onShow;
  std::function<void()> onActivate;

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  bool closeAllowed() { return !onCloseQuery || onCloseQuery(); }

  bool modal_ = false;
  int modalResult_ = mrNone;
  TMainMenu* mainMenu_ = nullptr;
};

// The nearest form at or above a control.
TForm* parentForm(TControl* control);
