#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>

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

// Enter (without Ctrl) accepts and Esc cancels; true, with the key
// consumed, when it was one of them.
bool editorKey(WORD& key, TShiftState shift, TEditorKeys& keys);
// Enter and Esc were handled at their key-down; their characters would only
// beep or break the line.
void swallowEnterAndEsc(char& key);

// How an in-place edit holds its text: one line, or many, broken at the
// words to the width or only where the text breaks them.
enum class TInPlaceLines { single, wrapped, unwrapped };

// The text of the edit and memo editors: no frame of their own, the memo
// growing instead of scrolling.
class TInPlaceEdit : public TEdit {
 public:
  TInPlaceEdit(TControl* parent, TInPlaceLines lines, TEditorKeys& keys);

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
