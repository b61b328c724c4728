#pragma once
#include "platform/Control.h"

// A drawn area without a background of its own (its onPaint covers it all,
// so nothing flickers); wheel turns over it go on to its parent.
class TPaintBoxEx : public TControl {
 public:
  explicit TPaintBoxEx(TControl* parent);

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};
