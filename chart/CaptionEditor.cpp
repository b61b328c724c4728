#include "chart/CaptionEditor.h"

namespace {

// The system's edit control takes its alignment only when it is made.
DWORD alignmentStyle(int alignment) { return alignment == 1 ? ES_RIGHT : alignment == 2 ? ES_CENTER : ES_LEFT; }

}  // namespace

TCaptionEditor::TCaptionEditor(TControl* parent, int alignment)
    : TEdit(parent, ES_MULTILINE | ES_AUTOVSCROLL | alignmentStyle(alignment)), alignment_(alignment) {
  SetWindowLongA(handle(), GWL_EXSTYLE, GetWindowLongA(handle(), GWL_EXSTYLE) & ~WS_EX_CLIENTEDGE);
  SetWindowPos(handle(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

void TCaptionEditor::doEnter() {
  if (parent()) setFont(parent()->font());
  TEdit::doEnter();
}

void TCaptionEditor::keyPress(char& key) {
  TEdit::keyPress(key);
  if (key == '\t') key = 0;
}

HBRUSH TCaptionEditor::controlColor(HDC dc) {
  const TColor background = parent() ? parent()->color() : clBtnFace;
  background_.reset(CreateSolidBrush(colorToRGB(background)));
  SetBkColor(dc, colorToRGB(background));
  SetTextColor(dc, colorToRGB(font().color()));
  return background_.get();
}
