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
}

bool TSpeedButton::commandReceived(WORD code) {
  if (code == BN_CLICKED) click();
  return true;
}
