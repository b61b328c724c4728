#include "controls/StatusIcon.h"

#include "platform/Canvas.h"
#include "platform/ImageList.h"

TStatusIcon::TStatusIcon(TControl* parent, const TImageList& images, int secureImage, int plainImage)
    : TControl(parent), images_(images), secureImage_(secureImage), plainImage_(plainImage) {
  TWindowParams params;
  params.bounds = {0, 0, images.width() + 4, images.height() + 2};
  createWindow(params);
}

void TStatusIcon::setSecure(bool secure) {
  secure_ = secure;
  invalidate();
}

void TStatusIcon::paint(TCanvas& canvas) {
  canvas.fillRect(clientRect(), clBtnFace);
  images_.draw(canvas, 0, 0, secure_ ? secureImage_ : plainImage_);
  TControl::paint(canvas);
}
