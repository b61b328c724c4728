#pragma once
#include "platform/Control.h"

// A lowered frame drawn around an area that other controls fill.
class TBevel : public TControl {
 public:
  explicit TBevel(TControl* parent);

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void paint(TCanvas& canvas) override;
};
