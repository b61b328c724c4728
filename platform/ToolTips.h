#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

class TControl;

// The hints of a window's controls: a text shown when the mouse rests on a
// control. All hints of one top-level window share one tool-tip window,
// which goes with that window; the hints set through an object go with it.
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
  // Made for an owner outside any top-level window, and destroyed here.
  bool ownWindow_ = false;
  // The tools set through this object, as (window, control) handles.
  std::vector<std::pair<HWND, HWND>> tools_;
};
