#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Bevel.h"
#include "platform/Control.h"

class TBitmap;
class TImageList;
class TToolTips;

// A picture: a bitmap (stretched or at its size) or a system icon.
class TImage : public TControl {
 public:
  explicit TImage(TControl* parent);
  ~TImage() override;
  TBitmap& picture();
  void setSystemIcon(LPCSTR icon);  // IDI_INFORMATION, ...
  void setStretch(bool stretch);

 protected:
  void paint(TCanvas& canvas) override;

 private:
  std::unique_ptr<TBitmap> picture_;
  HICON icon_ = nullptr;
  bool stretch_ = false;
};

// A bar between two aligned controls that resizes the one before it (the
// sibling aligned to the same side and touching it) while dragged.
class TSplitter : public TControl {
 public:
  explicit TSplitter(TControl* parent, TAlign side = TAlign::left);
  int minSize = 30;  // of the resized control and of what remains beside it
  std::function<void()> onMoved;

 protected:
  void mouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void mouseMove(TShiftState shift, int x, int y) override;
  void mouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  TControl* resizedControl() const;
  bool horizontal() const { return align() == TAlign::left || align() == TAlign::right; }

  TControl* resizing_ = nullptr;
  POINT grab_{};
  int startSize_ = 0;
};

// A flat tool button: raised under the mouse, sunk while pressed or down.
// It never takes the focus, so the control the user works in keeps it.
class TToolButton : public TControl {
 public:
  TToolButton(TControl* parent, const std::string& caption = {});
  ~TToolButton() override;
  void setImages(const TImageList* images, int index);
  void setImageIndex(int index);
  // The image shown while the button is disabled; without one the normal
  // image is drawn faded.
  void setDisabledImageIndex(int index);
  // A check button stays down after a click until clicked again (or, in a
  // group, until another button of the group goes down).
  bool checkButton = false;
  int group = 0;
  bool down() const { return down_; }
  void setDown(bool down);
  // The text shown when the mouse rests on the button; a caption of one or
  // two letters says little without it.
  void setHint(const std::string& text);
  std::string hint() const;

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void mouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void mouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void mouseMove(TShiftState shift, int x, int y) override;
  void click() override;
  void paint(TCanvas& canvas) override;

 private:
  const TImageList* images_ = nullptr;
  int imageIndex_ = -1;
  int disabledImageIndex_ = -1;
  bool hot_ = false;
  bool pressed_ = false;
  bool down_ = false;
  std::unique_ptr<TToolTips> tips_;
};

// Where a band of a control bar sits: the band's control by name, its width
// and whether it starts a new row. Windows save these as layout keys.
struct TBandLayout {
  std::string name;
  int width = 0;
  bool newRow = false;
};

// A bar of bands the user moves and sizes by their grippers; each band holds
// one control.
class TControlBar : public TControl {
 public:
  explicit TControlBar(TControl* parent);
  void addBand(TControl& control, int width, bool newRow = false);
  int bandCount() const;
  std::vector<TBandLayout> layout() const;
  // Puts the bands named in the list in that order with those widths; bands
  // not named keep their places after them.
  void setLayout(const std::vector<TBandLayout>& layout);
  void setBandVisible(TControl& control, bool visible);
  // The band's width to hold the control with its gripper.
  static int bandWidthFor(const TControl& control);

 protected:
  bool notificationReceived(NMHDR& header, LRESULT& result) override;

 private:
  void fitHeight();
  std::vector<TControl*> bandControls_;  // by band id
};
