#include "controls/InPlaceEditors.h"

#include <commctrl.h>

#include "model/FontProperties.h"
#include "platform/Canvas.h"

bool editorKey(WORD& key, TShiftState shift, TEditorKeys& keys) {
  if (key == VK_RETURN && !(shift & ssCtrl)) {
    key = 0;
    if (keys.onAccept) keys.onAccept();
    return true;
  }
  if (key == VK_ESCAPE) {
    key = 0;
    if (keys.onCancel) keys.onCancel();
    return true;
  }
  return false;
}

void swallowEnterAndEsc(char& key) {
  if (key == '\r' || key == 27) key = 0;
}

TFont fontOf(const TFontProperties& properties) {
  TFont font(properties.name, properties.size, properties.style);
  font.setColor(properties.color);
  return font;
}

// ---- Edit and memo ----

namespace {

DWORD editStyle(TInPlaceLines lines) {
  switch (lines) {
    case TInPlaceLines::wrapped:
      return ES_MULTILINE | ES_AUTOVSCROLL;
    case TInPlaceLines::unwrapped:
      return ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL;
    default:
      return ES_AUTOHSCROLL;
  }
}

}  // namespace

TInPlaceEdit::TInPlaceEdit(TControl* parent, TInPlaceLines lines, TEditorKeys& keys)
    : TEdit(parent, editStyle(lines)), keys_(keys) {
  const bool multiLine = lines != TInPlaceLines::single;
  SetWindowLongA(handle(), GWL_EXSTYLE, GetWindowLongA(handle(), GWL_EXSTYLE) & ~WS_EX_CLIENTEDGE);
  SetWindowPos(handle(), nullptr, 0, 0, multiLine ? 97 : 81, 21, SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
  setTabStop(false);
  setColor(clWindow);
}

void TInPlaceEdit::caretToEnd() {
  const int length = GetWindowTextLengthA(handle());
  SendMessageA(handle(), EM_SETSEL, length, length);
  SendMessageA(handle(), EM_SCROLLCARET, 0, 0);
}

int TInPlaceEdit::lineCount() const { return static_cast<int>(SendMessageA(handle(), EM_GETLINECOUNT, 0, 0)); }

LRESULT TInPlaceEdit::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_GETDLGCODE) return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
  return TEdit::handleMessage(message, wParam, lParam);
}

void TInPlaceEdit::keyDown(WORD& key, TShiftState shift) {
  if (!editorKey(key, shift, keys_)) TControl::keyDown(key, shift);
}

void TInPlaceEdit::keyPress(char& key) {
  swallowEnterAndEsc(key);
  if (key == '\t') key = 0;  // Tab is no text in a cell
  if (key) TControl::keyPress(key);
}

void TInPlaceEdit::doubleClick() {
  if (keys_.onAccept) keys_.onAccept();
}

// ---- Panels, preview and button ----

TEditorPanel::TEditorPanel(TControl* parent) : TPanel(parent) {
  setBevelOuter(TBevelCut::none);
  setBounds(-100, -100, 97, 21);
  setColor(clWindow);
}

TImagePreview::TImagePreview(TControl* parent) : TControl(parent) {
  TWindowParams params;
  params.bounds = RECT{0, 0, 25, 21};
  createWindow(params);
  setColor(clWindow);
}

void TImagePreview::paint(TCanvas& canvas) {
  canvas.fillRect(clientRect(), color());
  if (images && imageIndex >= 0 && imageIndex < ImageList_GetImageCount(images)) {
    ImageList_Draw(images, imageIndex, canvas.handle(), 4, 1, ILD_TRANSPARENT);
  }
}
