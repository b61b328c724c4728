#pragma once
#include <windows.h>

#include <string>

class TControl;

// The hints of a window's controls: a text shown when the mouse rests on a
// control. One object per window; the hints go with it.
class TToolTips {
 public:
  explicit TToolTips(TControl& owner);
  ~TToolTips();
  TToolTips(const TToolTips&) = delete;
  TToolTips& operator=(const TToolTips&) = delete;

  void setHint(const TControl& control, const std::string& text);
  // The hint of a control; empty when it has none.
  std::string hint(const TControl& control) const;

 private:
  HWND window_ = nullptr;
};
