#pragma once
#include <string>

#include "platform/Control.h"

enum class TBevelCut { none, lowered, raised };

// A plain container with an optional raised or lowered frame and a centred
// caption. Aligned children share the space inside the frame.
class TPanel : public TControl {
 public:
  explicit TPanel(TControl* parent, const std::string& caption = {});

  void setCaption(const std::string& caption);
  TBevelCut bevelOuter() const { return bevelOuter_; }
  TBevelCut bevelInner() const { return bevelInner_; }
  void setBevelOuter(TBevelCut cut);
  void setBevelInner(TBevelCut cut);
  void setBevelWidth(int width);
  void setBorderWidth(int width);
  // The width of everything drawn around the inside.
  int frameWidth() const;

 protected:
  RECT alignRect() const override;
  void paint(TCanvas& canvas) override;

 private:
  void frameChanged();

  TBevelCut bevelOuter_ = TBevelCut::raised;
  TBevelCut bevelInner_ = TBevelCut::none;
  int bevelWidth_ = 1;
  int borderWidth_ = 0;
};

// A panel without a frame, to group and align controls.
TPanel& addPlainPanel(TControl& parent);
