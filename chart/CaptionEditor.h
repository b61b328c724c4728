#pragma once
#include "platform/StdControls.h"

// The in-place editor of a chart caption: word-wrapped text filling the
// caption strip without a border or scroll bars (the strip is one line
// high), in the strip's colour and font and with its alignment (0 left,
// 1 right, 2 centre). Enter and Tab are no text in it.
class TCaptionEditor : public TEdit {
 public:
  TCaptionEditor(TControl* parent, int alignment);
  int alignment() const { return alignment_; }

  void doEnter() override;

 protected:
  void keyPress(char& key) override;
  HBRUSH controlColor(HDC dc) override;

 private:
  int alignment_;
  TBrushHandle background_;
};
