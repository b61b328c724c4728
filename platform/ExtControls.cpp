#include "platform/ExtControls.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/ImageList.h"
#include "platform/ToolTips.h"

TImage::TImage(TControl* parent) : TControl(parent) {
  TWindowParams params;
  params.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  params.bounds = {0, 0, 105, 105};
  createWindow(params);
}

TImage::~TImage() = default;

TBitmap& TImage::picture() {
  if (!picture_) picture_ = std::make_unique<TBitmap>();
  invalidate();
  return *picture_;
}

void TImage::setSystemIcon(LPCSTR icon) {
  icon_ = LoadIconA(nullptr, icon);  // shared system icons are never destroyed
  invalidate();
}

void TImage::setStretch(bool stretch) {
  stretch_ = stretch;
  invalidate();
}

void TImage::paint(TCanvas& canvas) {
  if (picture_ && !picture_->empty()) {
    if (stretch_) canvas.stretchDraw(clientRect(), *picture_);
    else canvas.draw(0, 0, *picture_);
  } else if (icon_) {
    DrawIconEx(canvas.handle(), 0, 0, icon_, stretch_ ? clientWidth() : 0, stretch_ ? clientHeight() : 0, 0, nullptr,
               DI_NORMAL);
  }
  TControl::paint(canvas);
}

TSplitter::TSplitter(TControl* parent, TAlign side) : TControl(parent) {
  TWindowParams params;
  params.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  params.bounds = {0, 0, 3, 3};
  createWindow(params);
  setAlign(side);
  setCursor(horizontal() ? IDC_SIZEWE : IDC_SIZENS);
}

TControl* TSplitter::resizedControl() const {
  if (!parent()) return nullptr;
  const RECT own = bounds();
  for (TControl* sibling : parent()->children()) {
    if (sibling == this || sibling->align() != align() || !sibling->visible()) continue;
    const RECT other = sibling->bounds();
    const bool touches = (align() == TAlign::left && other.right == own.left) ||
                         (align() == TAlign::right && other.left == own.right) ||
                         (align() == TAlign::top && other.bottom == own.top) ||
                         (align() == TAlign::bottom && other.top == own.bottom);
    if (touches) return sibling;
  }
  return nullptr;
}

void TSplitter::mouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TControl::mouseDown(button, shift, x, y);
  if (button != TMouseButton::left) return;
  resizing_ = resizedControl();
  if (!resizing_) return;
  GetCursorPos(&grab_);
  startSize_ = horizontal() ? resizing_->width() : resizing_->height();
}

void TSplitter::mouseMove(TShiftState shift, int x, int y) {
  TControl::mouseMove(shift, x, y);
  if (!resizing_ || !(shift & ssLeft)) return;
  POINT at;
  GetCursorPos(&at);
  int delta = horizontal() ? at.x - grab_.x : at.y - grab_.y;
  if (align() == TAlign::right || align() == TAlign::bottom) delta = -delta;
  // What the other aligned controls leave for the resized one and the rest.
  const int available = horizontal() ? parent()->clientWidth() : parent()->clientHeight();
  const int own = horizontal() ? width() : height();
  int others = 0;
  for (TControl* sibling : parent()->children()) {
    if (sibling == this || sibling == resizing_ || !sibling->visible()) continue;
    const bool sameAxis = horizontal() ? (sibling->align() == TAlign::left || sibling->align() == TAlign::right)
                                       : (sibling->align() == TAlign::top || sibling->align() == TAlign::bottom);
    if (sameAxis) others += horizontal() ? sibling->width() : sibling->height();
  }
  const int maximum = std::max(minSize, available - own - others - minSize);
  const int size = std::clamp(startSize_ + delta, minSize, maximum);
  if (horizontal()) resizing_->setSize(size, resizing_->height());
  else resizing_->setSize(resizing_->width(), size);
  parent()->realign();
}

void TSplitter::mouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TControl::mouseUp(button, shift, x, y);
  if (resizing_) {
    resizing_ = nullptr;
    if (onMoved) onMoved();
  }
}

TToolButton::TToolButton(TControl* parent, const std::string& caption) : TControl(parent) {
  TWindowParams params;
  params.caption = caption;
  params.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  params.bounds = {0, 0, 23, 22};
  createWindow(params);
}

TToolButton::~TToolButton() = default;

void TToolButton::setHint(const std::string& text) {
  if (!tips_) tips_ = std::make_unique<TToolTips>(*this);
  tips_->setHint(*this, text);
}

std::string TToolButton::hint() const { return tips_ ? tips_->hint(*this) : std::string(); }

void TToolButton::setImages(const TImageList* images, int index) {
  images_ = images;
  imageIndex_ = index;
  invalidate();
}

void TToolButton::setImageIndex(int index) {
  imageIndex_ = index;
  invalidate();
}

void TToolButton::setDisabledImageIndex(int index) {
  disabledImageIndex_ = index;
  invalidate();
}

void TToolButton::setDown(bool down) {
  if (down == down_) return;
  down_ = down;
  if (down && group != 0 && parent()) {
    for (TControl* sibling : parent()->children()) {
      auto* button = dynamic_cast<TToolButton*>(sibling);
      if (button && button != this && button->group == group) button->setDown(false);
    }
  }
  invalidate();
}

LRESULT TToolButton::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSELEAVE:
      hot_ = false;
      invalidate();
      return 0;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_ENABLE:
      // The caption's colour follows the state; nothing else repaints it.
      invalidate();
      return TControl::handleMessage(message, wParam, lParam);
    default:
      return TControl::handleMessage(message, wParam, lParam);
  }
}

void TToolButton::mouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == TMouseButton::left && enabled()) {
    pressed_ = true;
    invalidate();
  }
  TControl::mouseDown(button, shift, x, y);
}

void TToolButton::mouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  pressed_ = false;
  invalidate();
  TControl::mouseUp(button, shift, x, y);
}

void TToolButton::mouseMove(TShiftState shift, int x, int y) {
  if (!hot_) {
    hot_ = true;
    TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, handle(), 0};
    TrackMouseEvent(&track);
    invalidate();
  }
  TControl::mouseMove(shift, x, y);
}

void TToolButton::click() {
  if (!enabled()) return;
  if (checkButton) setDown(group != 0 ? true : !down_);
  TControl::click();
}

void TToolButton::paint(TCanvas& canvas) {
  const RECT r = clientRect();
  const bool sunk = pressed_ || down_;
  if (sunk) canvas.frame3D(r, clBtnShadow, clBtnHighlight);
  else if (hot_ && enabled()) canvas.frame3D(r, clBtnHighlight, clBtnShadow);
  const int offset = sunk ? 1 : 0;
  if (images_ && imageIndex_ >= 0) {
    const int x = (r.right - images_->width()) / 2 + offset;
    const int y = (r.bottom - images_->height()) / 2 + offset;
    const bool ownDisabledImage = !enabled() && disabledImageIndex_ >= 0;
    ImageList_DrawEx(images_->handle(), ownDisabledImage ? disabledImageIndex_ : imageIndex_, canvas.handle(), x, y,
                     0, 0, CLR_NONE, CLR_NONE, enabled() || ownDisabledImage ? ILD_NORMAL : ILD_BLEND50);
  } else {
    TFont caption = font();
    caption.setColor(enabled() ? clBtnText : clGrayText);
    canvas.setFont(caption);
    canvas.setBrush(clBtnFace, TBrushStyle::clear);
    RECT textRect = r;
    OffsetRect(&textRect, offset, offset);
    canvas.textRect(textRect, text(), DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  TControl::paint(canvas);
}

TControlBar::TControlBar(TControl* parent) : TControl(parent) {
  TWindowParams params;
  params.className = REBARCLASSNAMEA;
  params.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | CCS_NORESIZE | CCS_NOPARENTALIGN |
                 CCS_NODIVIDER | RBS_VARHEIGHT | RBS_BANDBORDERS;
  params.bounds = {0, 0, 300, 26};
  createWindow(params);
  setAlign(TAlign::top);
}

void TControlBar::addBand(TControl& control, int width, bool newRow) {
  SetParent(control.handle(), handle());
  REBARBANDINFOA band{};
  band.cbSize = sizeof(band);
  band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_STYLE | RBBIM_ID;
  band.fStyle = RBBS_GRIPPERALWAYS | RBBS_CHILDEDGE | (newRow ? RBBS_BREAK : 0);
  band.hwndChild = control.handle();
  band.cxMinChild = 0;
  band.cyMinChild = static_cast<UINT>(control.height());
  band.cx = static_cast<UINT>(width);
  band.wID = static_cast<UINT>(bandControls_.size());
  bandControls_.push_back(&control);
  SendMessageA(handle(), RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
  fitHeight();
}

int TControlBar::bandCount() const { return static_cast<int>(SendMessageA(handle(), RB_GETBANDCOUNT, 0, 0)); }

std::vector<TBandLayout> TControlBar::layout() const {
  std::vector<TBandLayout> result;
  for (int index = 0; index < bandCount(); ++index) {
    REBARBANDINFOA band{};
    band.cbSize = sizeof(band);
    band.fMask = RBBIM_SIZE | RBBIM_STYLE | RBBIM_ID;
    SendMessageA(handle(), RB_GETBANDINFOA, index, reinterpret_cast<LPARAM>(&band));
    if (band.wID >= bandControls_.size()) continue;
    result.push_back({bandControls_[band.wID]->name, static_cast<int>(band.cx), (band.fStyle & RBBS_BREAK) != 0});
  }
  return result;
}

void TControlBar::setLayout(const std::vector<TBandLayout>& layout) {
  int target = 0;
  for (const TBandLayout& wanted : layout) {
    const auto control = std::find_if(bandControls_.begin(), bandControls_.end(),
                                      [&](TControl* c) { return c->name == wanted.name; });
    if (control == bandControls_.end()) continue;
    const int index = static_cast<int>(
        SendMessageA(handle(), RB_IDTOINDEX, static_cast<WPARAM>(control - bandControls_.begin()), 0));
    if (index < 0) continue;
    SendMessageA(handle(), RB_MOVEBAND, index, target);
    REBARBANDINFOA band{};
    band.cbSize = sizeof(band);
    band.fMask = RBBIM_STYLE;
    SendMessageA(handle(), RB_GETBANDINFOA, target, reinterpret_cast<LPARAM>(&band));
    band.fMask = RBBIM_SIZE | RBBIM_STYLE;
    band.cx = static_cast<UINT>(std::max(0, wanted.width));
    band.fStyle = wanted.newRow ? (band.fStyle | RBBS_BREAK) : (band.fStyle & ~RBBS_BREAK);
    SendMessageA(handle(), RB_SETBANDINFOA, target, reinterpret_cast<LPARAM>(&band));
    ++target;
  }
  fitHeight();
}

int TControlBar::bandWidthFor(const TControl& control) {
  constexpr int gripperAllowance = 12;
  return control.width() + gripperAllowance;
}

void TControlBar::setBandVisible(TControl& control, bool visible) {
  const auto found = std::find(bandControls_.begin(), bandControls_.end(), &control);
  if (found == bandControls_.end()) return;
  const int index = static_cast<int>(
      SendMessageA(handle(), RB_IDTOINDEX, static_cast<WPARAM>(found - bandControls_.begin()), 0));
  if (index >= 0) SendMessageA(handle(), RB_SHOWBAND, static_cast<WPARAM>(index), visible ? TRUE : FALSE);
  control.setVisible(visible);
  fitHeight();
}

void TControlBar::fitHeight() {
  // A bar whose groups are all hidden has no row left to show.
  const bool anyShown = std::any_of(bandControls_.begin(), bandControls_.end(),
                                    [](const TControl* control) { return control->visible(); });
  const int barHeight = anyShown ? static_cast<int>(SendMessageA(handle(), RB_GETBARHEIGHT, 0, 0)) : 0;
  if ((barHeight > 0 || !anyShown) && barHeight != height()) setSize(width(), barHeight);
}

bool TControlBar::notificationReceived(NMHDR& header, LRESULT&) {
  if (header.code != RBN_HEIGHTCHANGE) return false;
  fitHeight();
  return true;
}
