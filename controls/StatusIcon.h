#pragma once
#include "platform/Control.h"

class TImageList;

// A small picture at the end of a status bar that tells whether the page
// shown is secure: one image of a list for a secure page, another otherwise,
// at the control's top-left corner.
class TStatusIcon : public TControl {
 public:
  TStatusIcon(TControl* parent, const TImageList& images, int secureImage, int plainImage);
  void setSecure(bool secure);
  bool secure() const { return secure_; }

 protected:
  void paint(TCanvas& canvas) override;

 private:
  const TImageList& images_;
  int secureImage_;
  int plainImage_;
  bool secure_ = false;
};
