#include "controls/SpeedButton.h"

TSpeedButton::TSpeedButton(TControl* parent, const std::string& caption, bool startsGroup) : TControl(parent) {
  TWindowParams params;
  params.className = "BUTTON";
  params.caption = caption;
  params.style = WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON | BS_PUSHLIKE | (startsGroup ? WS_GROUP : 0);
  createWindow(params);
}

bool TSpeedButton::down() const { return SendMessageA(handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void TSpeedButton::setDown(bool down) {
  // The others of the parent come up, as a click on this one makes them.
  if (down)
    for (TControl* sibling : parent()->children())
      if (sibling != this && dynamic_cast<TSpeedButton*>(sibling))
        SendMessageA(sibling->handle(), BM_SETCHECK, BST_UNCHECKED, 0);
  SendMessageA(handle(), BM_SETCHECK, down ? BST_CHECKED : BST_UNCHECKED, 0);
  leaveTabOrder();
}

bool TSpeedButton::commandReceived(WORD code) {
  if (code == BN_CLICKED) {
    leaveTabOrder();
    click();
  }
  return true;
}

// The system makes the checked button of a radio group a tab stop; speed
// buttons are reached by the mouse and their letters, and Tab (the keys a
// dialog opens with among them) goes to the fields.
void TSpeedButton::leaveTabOrder() {
  for (TControl* sibling : parent()->children())
    if (dynamic_cast<TSpeedButton*>(sibling)) sibling->setTabStop(false);
}
