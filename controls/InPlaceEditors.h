#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

#include "controls/SpinButton.h"
#include "platform/Control.h"
#include "platform/Panel.h"
#include "platform/StdControls.h"

struct TFontProperties;

// The pieces of the grid's in-place editors. Each hands Enter (and a
// double-click) and Esc to its owner, which commits or cancels; leaving the
// editor for anything outside it is its owner's exit.
struct TEditorKeys {
  std::function<void()> onAccept;
  std::function<void()> onCancel;
};

// The text of the edit and memo editors: no frame of their own, the memo
// wrapping its words and growing instead of scrolling.
class TInPlaceEdit : public TEdit {
 public:
  TInPlaceEdit(TControl* parent, bool multiLine, TEditorKeys& keys);

  void caretToEnd();
  int lineCount() const;

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void keyDown(WORD& key, TShiftState shift) override;
  void keyPress(char& key) override;
  void doubleClick() override;

 private:
  TEditorKeys& keys_;
};

// A date-time picker in date mode (drop-down calendar) or time mode (spin
// buttons), day numbers in and out.
class TInPlacePicker : public TControl {
 public:
  TInPlacePicker(TControl* parent, bool timeMode, TEditorKeys& keys);

  bool timeMode() const { return timeMode_; }
  // The day number (date mode) or time of day (time mode) shown.
  void setValue(double dateTime);
  double pickedDay() const;
  double pickedTime() const;
  // The drop-down calendar is open: Enter and Esc belong to it.
  bool calendarOpen() const { return calendarOpen_; }
  std::function<void()> onChange;

 protected:
  void keyDown(WORD& key, TShiftState shift) override;
  void keyPress(char& key) override;
  bool notificationReceived(NMHDR& header, LRESULT& result) override;
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  bool timeMode_;
  bool calendarOpen_ = false;
  TEditorKeys& keys_;
};

// The panel behind a composite editor: the window colour, no frame.
class TEditorPanel : public TPanel {
 public:
  explicit TEditorPanel(TControl* parent);
};

// The image index editor's preview of the image the edit names.
class TImagePreview : public TControl {
 public:
  explicit TImagePreview(TControl* parent);
  HIMAGELIST images = nullptr;
  int imageIndex = -1;

 protected:
  void paint(TCanvas& canvas) override;
};

// Fonts of the model as real fonts for the editors.
TFont fontOf(const TFontProperties& font);
