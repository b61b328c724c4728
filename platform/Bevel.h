#pragma once
#include "platform/Control.h"
#include "platform/Panel.h"

enum class TBevelShape { box, frame, topLine, bottomLine, leftLine, rightLine };

// A frame or line drawn around or beside an area that other controls fill;
// only the frame is drawn, what lies inside shows through.
class TBevel : public TControl {
 public:
  explicit TBevel(TControl* parent, TBevelShape shape = TBevelShape::box, TBevelCut style = TBevelCut::lowered);
  void setShape(TBevelShape shape);
  void setStyle(TBevelCut style);
  TBevelCut style() const { return style_; }

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void paint(TCanvas& canvas) override;

 private:
  TBevelShape shape_;
  TBevelCut style_;
};
