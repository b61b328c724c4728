#include "platform/Control.h"

#include <windowsx.h>

#include <algorithm>

#include "platform/Application.h"
#include "platform/Canvas.h"
#include "platform/Dialogs.h"
#include "platform/Menu.h"

namespace {

const char* const ownClassName = "KestrovaWindow";

void showCursor(LPCSTR cursor) {
  SetCursor(cursor == emptyCursor ? nullptr : LoadCursorA(nullptr, cursor ? cursor : reinterpret_cast<LPCSTR>(IDC_ARROW)));
}

void registerOwnClass(WNDPROC procedure) {
  static const bool registered = [procedure] {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    windowClass.lpszClassName = ownClassName;
    return RegisterClassExA(&windowClass) != 0;
  }();
  (void)registered;
}

}  // namespace

bool isDialogKey(WORD key) { return key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE; }

bool wantsDialogKey(HWND window, WORD key) {
  MSG message{window, WM_KEYDOWN, key, 1, 0, {0, 0}};
  const LRESULT codes = SendMessageA(window, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(&message));
  if (codes & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return true;
  return key == VK_TAB && (codes & DLGC_WANTTAB);
}

bool inNormalWindow(HWND window) {
  const HWND root = window ? GetAncestor(window, GA_ROOT) : nullptr;
  return root == nullptr || (!IsIconic(root) && !IsZoomed(root));
}

TShiftState currentShiftState() {
  TShiftState shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
  if (GetKeyState(VK_LBUTTON) < 0) shift |= ssLeft;
  if (GetKeyState(VK_RBUTTON) < 0) shift |= ssRight;
  if (GetKeyState(VK_MBUTTON) < 0) shift |= ssMiddle;
  return shift;
}

TControl::TControl(TControl* parent) : parent_(parent) {
  if (parent_) {
    parent_->children_.push_back(this);
    font_ = parent_->font_;
  }
}

TControl::~TControl() {
  // Children first, while our window (their parent window) still exists.
  while (!ownedChildren_.empty()) ownedChildren_.pop_back();
  for (TControl* child : children_) child->parent_ = nullptr;
  children_.clear();
  if (parent_) std::erase(parent_->children_, this);
  application().controlDestroyed(this);
  if (window_) {
    HWND window = window_;
    detachWindow();
    DestroyWindow(window);
  }
}

TControl* TControl::fromHandle(HWND window) {
  return window ? application().controlOf(window) : nullptr;
}

void TControl::createWindow(const TWindowParams& params) {
  registerOwnClass(&TControl::windowProcedure);
  HWND parentWindow = parent_ ? parent_->window_ : params.owner;
  const RECT& b = params.bounds;
  if (params.className) {
    window_ = CreateWindowExA(params.exStyle, params.className, params.caption.c_str(), params.style, b.left, b.top,
                              b.right - b.left, b.bottom - b.top, parentWindow, nullptr, GetModuleHandleA(nullptr),
                              nullptr);
    if (!window_) return;
    application().attachControl(window_, this);
    originalProcedure_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TControl::windowProcedure)));
    capturesMouse_ = false;
  } else {
    CreateWindowExA(params.exStyle, ownClassName, params.caption.c_str(), params.style, b.left, b.top,
                    b.right - b.left, b.bottom - b.top, parentWindow, nullptr, GetModuleHandleA(nullptr), this);
  }
  if (!window_) return;
  SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.handle()), FALSE);
  recordAnchorBase();
}

void TControl::detachWindow() {
  application().detachControl(window_);
  if (originalProcedure_)
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(originalProcedure_));
  else
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DefWindowProcA));
  window_ = nullptr;
}

LRESULT CALLBACK TControl::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  TControl* control = fromHandle(window);
  if (!control && message == WM_NCCREATE) {
    control = static_cast<TControl*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    control->window_ = window;
    application().attachControl(window, control);
  }
  if (!control) return DefWindowProcA(window, message, wParam, lParam);
  // No exception may cross the system's window procedure.
  LRESULT result = 0;
  try {
    result = control->handleMessage(message, wParam, lParam);
  } catch (...) {
    result = control->window_ ? control->defaultHandling(message, wParam, lParam) : 0;
  }
  // The window is gone, and its handle may name another window next.
  if (message == WM_NCDESTROY) {
    application().detachControl(window);
    if (control->window_ == window) control->window_ = nullptr;
  }
  return result;
}

LRESULT TControl::defaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
  if (originalProcedure_) return CallWindowProcA(originalProcedure_, window_, message, wParam, lParam);
  return DefWindowProcA(window_, message, wParam, lParam);
}

LRESULT TControl::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (mouseMessage(message, wParam, lParam)) {
    // The system turns a right click into a context-menu request only in
    // its default handling, which passes it up to a parent with a menu.
    if (originalProcedure_ || (message == WM_RBUTTONUP && window_)) return defaultHandling(message, wParam, lParam);
    return 0;
  }
  switch (message) {
    case WM_SIZE: {
      const LRESULT result = defaultHandling(message, wParam, lParam);
      realign();
      resized();
      return result;
    }
    case WM_SETFOCUS:
      application().focusMovedTo(this);
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      WORD key = static_cast<WORD>(wParam);
      const TShiftState shift = currentShiftState();
      keyDown(key, shift);
      if (key == 0) return 0;
      if (message == WM_KEYDOWN && isDialogKey(key) && !wantsDialogKey(window_, key) && dialogKey(key, shift)) {
        application().suppressDialogChar();
        return 0;
      }
      break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      WORD key = static_cast<WORD>(wParam);
      keyUp(key, currentShiftState());
      if (key == 0) return 0;
      break;
    }
    case WM_CHAR: {
      char key = static_cast<char>(wParam);
      keyPress(key);
      if (key == 0) return 0;
      return defaultHandling(message, static_cast<unsigned char>(key), lParam);
    }
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == window_) {
        if (application().isBusy()) {
          SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
          return TRUE;
        }
        if (cursor_ || !originalProcedure_) {
          showCursor(cursor_);
          return TRUE;
        }
      }
      break;
    case WM_CONTEXTMENU:
      if (popupMenu_) {
        POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (at.x == -1 && at.y == -1) {  // from the keyboard: at the control
          at = {0, 0};
          ClientToScreen(window_, &at);
        }
        // A menu shared by many controls acts on the one it was opened on.
        popupMenu_->popupComponent = this;
        popupMenu_->popup(window_, at.x, at.y);
        return 0;
      }
      break;
    case WM_ERASEBKGND:
      if (!originalProcedure_) {
        RECT client;
        GetClientRect(window_, &client);
        TBrushHandle brush(CreateSolidBrush(colorToRGB(color_ == clDefault ? clBtnFace : color_)));
        FillRect(reinterpret_cast<HDC>(wParam), &client, brush.get());
        return 1;
      }
      break;
    case WM_PAINT:
      if (!originalProcedure_) {
        TPaintDC dc(window_);
        TCanvas canvas(dc.get());
        canvas.setFont(font_);
        paint(canvas);
        return 0;
      }
      break;
    case WM_COMMAND:
      if (lParam) {
        TControl* child = fromHandle(reinterpret_cast<HWND>(lParam));
        if (child && child != this && child->commandReceived(HIWORD(wParam))) return 0;
      }
      break;
    case WM_MEASUREITEM:
      if (measureMenuItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam))) return TRUE;
      break;
    case WM_DRAWITEM: {
      const auto& draw = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (drawMenuItem(draw)) return TRUE;
      TControl* child = draw.CtlType == ODT_MENU ? nullptr : fromHandle(draw.hwndItem);
      if (child && child != this && child->drawItemReceived(draw)) return TRUE;
      break;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      TControl* child = fromHandle(header->hwndFrom);
      LRESULT result = 0;
      if (child && child != this && child->notificationReceived(*header, result)) return result;
      break;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (lParam) {
        TControl* child = fromHandle(reinterpret_cast<HWND>(lParam));
        if (child && child != this && child->scrollReceived(LOWORD(wParam), HIWORD(wParam))) return 0;
      }
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN: {
      TControl* child = fromHandle(reinterpret_cast<HWND>(lParam));
      if (child && child != this) {
        if (HBRUSH brush = child->controlColor(reinterpret_cast<HDC>(wParam))) return reinterpret_cast<LRESULT>(brush);
      }
      break;
    }
    default:
      if (message == TFindDialog::message()) {
        TFindDialog::handleMessage(lParam);
        return 0;
      }
      break;
  }
  return defaultHandling(message, wParam, lParam);
}

bool TControl::mouseMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // Every message passes here, and reading the key state costs a call into
  // the system per key: a list filled with thousands of rows felt it.
  if (message < WM_MOUSEMOVE || message > WM_MOUSEWHEEL) return false;
  const int x = GET_X_LPARAM(lParam);
  const int y = GET_Y_LPARAM(lParam);
  TShiftState shift = currentShiftState();
  auto buttonOf = [](UINT m) {
    switch (m) {
      case WM_RBUTTONDOWN:
      case WM_RBUTTONUP:
      case WM_RBUTTONDBLCLK:
        return TMouseButton::right;
      case WM_MBUTTONDOWN:
      case WM_MBUTTONUP:
      case WM_MBUTTONDBLCLK:
        return TMouseButton::middle;
      default:
        return TMouseButton::left;
    }
  };
  // The message's own button flags are the truth for the held buttons.
  shift &= ~(ssLeft | ssRight | ssMiddle);
  if (wParam & MK_LBUTTON) shift |= ssLeft;
  if (wParam & MK_RBUTTON) shift |= ssRight;
  if (wParam & MK_MBUTTON) shift |= ssMiddle;
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (capturesMouse_) SetCapture(window_);
      if (message == WM_LBUTTONDOWN) clickPending_ = true;
      mouseDown(buttonOf(message), shift, x, y);
      return true;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
      if (capturesMouse_) SetCapture(window_);
      // The double-click event comes first, then the press that carries it.
      if (message == WM_LBUTTONDBLCLK) doubleClick();
      if (window_) mouseDown(buttonOf(message), shift | ssDouble, x, y);
      return true;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      if (capturesMouse_ && GetCapture() == window_ && !(wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)))
        ReleaseCapture();
      const bool clicked = message == WM_LBUTTONUP && clickPending_;
      clickPending_ = false;
      mouseUp(buttonOf(message), shift, x, y);
      if (clicked && !originalProcedure_ && window_) {
        const RECT client = clientRect();
        if (x >= 0 && y >= 0 && x < client.right && y < client.bottom) click();
      }
      return true;
    }
    case WM_MOUSEMOVE:
      mouseMove(shift, x, y);
      return true;
    case WM_MOUSEWHEEL: {
      POINT at{x, y};
      ScreenToClient(window_, &at);
      return mouseWheel(GET_WHEEL_DELTA_WPARAM(wParam), shift, at.x, at.y) && !originalProcedure_;
    }
    default:
      return false;
  }
}

RECT TControl::bounds() const {
  RECT rect{};
  if (!window_) return rect;
  GetWindowRect(window_, &rect);
  HWND parentWindow = GetParent(window_);
  if (parentWindow && (GetWindowLongA(window_, GWL_STYLE) & WS_CHILD))
    MapWindowPoints(nullptr, parentWindow, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

int TControl::width() const {
  const RECT rect = bounds();
  return rect.right - rect.left;
}

int TControl::height() const {
  const RECT rect = bounds();
  return rect.bottom - rect.top;
}

RECT TControl::clientRect() const {
  RECT rect{};
  if (window_) GetClientRect(window_, &rect);
  return rect;
}

void TControl::placeWithoutRecording(const RECT& requested) {
  if (!window_) return;
  RECT rect = requested;
  if (rect.right - rect.left < minWidth_) rect.right = rect.left + minWidth_;
  if (rect.bottom - rect.top < minHeight_) rect.bottom = rect.top + minHeight_;
  if (rect.right < rect.left) rect.right = rect.left;
  if (rect.bottom < rect.top) rect.bottom = rect.top;
  const RECT current = bounds();
  if (EqualRect(&current, &rect)) return;
  SetWindowPos(window_, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void TControl::setBounds(const RECT& bounds) {
  placeWithoutRecording(bounds);
  recordAnchorBase();
  if (parent_ && align_ != TAlign::none) parent_->realign();
}

void TControl::setSize(int width, int height) {
  const RECT rect = bounds();
  setBounds(rect.left, rect.top, width, height);
}

void TControl::recordAnchorBase() {
  anchorBounds_ = bounds();
  if (parent_) {
    const RECT client = parent_->clientRect();
    anchorParentSize_ = {client.right, client.bottom};
  }
}

void TControl::setAlign(TAlign align) {
  align_ = align;
  if (parent_) parent_->realign();
}

void TControl::setAnchors(unsigned anchors) {
  anchors_ = anchors;
  recordAnchorBase();
}

void TControl::realign() {
  if (!window_ || realigning_) return;
  realigning_ = true;
  RECT space = alignRect();
  const RECT client = clientRect();
  auto place = [&](TAlign side) {
    for (TControl* child : children_) {
      if (child->align_ != side || !child->visible()) continue;
      const int w = child->width();
      const int h = child->height();
      switch (side) {
        case TAlign::top:
          child->placeWithoutRecording({space.left, space.top, space.right, space.top + h});
          space.top += child->height();
          break;
        case TAlign::bottom:
          child->placeWithoutRecording({space.left, space.bottom - h, space.right, space.bottom});
          space.bottom -= child->height();
          break;
        case TAlign::left:
          child->placeWithoutRecording({space.left, space.top, space.left + w, space.bottom});
          space.left += child->width();
          break;
        case TAlign::right:
          child->placeWithoutRecording({space.right - w, space.top, space.right, space.bottom});
          space.right -= child->width();
          break;
        case TAlign::client:
          child->placeWithoutRecording(space);
          break;
        case TAlign::none:
          break;
      }
    }
  };
  place(TAlign::top);
  place(TAlign::bottom);
  place(TAlign::left);
  place(TAlign::right);
  place(TAlign::client);
  for (TControl* child : children_) {
    if (child->align_ != TAlign::none || child->anchors_ == (akLeft | akTop)) continue;
    const int dx = client.right - child->anchorParentSize_.cx;
    const int dy = client.bottom - child->anchorParentSize_.cy;
    RECT rect = child->anchorBounds_;
    if (child->anchors_ & akRight) {
      rect.right += dx;
      if (!(child->anchors_ & akLeft)) rect.left += dx;
    }
    if (child->anchors_ & akBottom) {
      rect.bottom += dy;
      if (!(child->anchors_ & akTop)) rect.top += dy;
    }
    child->placeWithoutRecording(rect);
  }
  realigning_ = false;
}

void TControl::bringToFront() {
  if (window_) SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TControl::sendToBack() {
  if (window_) SetWindowPos(window_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool TControl::visible() const { return window_ && (GetWindowLongA(window_, GWL_STYLE) & WS_VISIBLE); }

void TControl::setVisible(bool visible) {
  if (!window_ || visible == this->visible()) return;
  // A hidden window may keep the focus (Wine leaves it there): an edit open
  // inside would stay open where no one sees it.
  if (!visible) endEditsInside(TEditEnding::giveUp);
  ShowWindow(window_, visible ? SW_SHOW : SW_HIDE);
  if (parent_ && align_ != TAlign::none) parent_->realign();
}

bool TControl::enabled() const { return window_ && IsWindowEnabled(window_); }

void TControl::setEnabled(bool enabled) {
  if (window_) EnableWindow(window_, enabled);
}

std::string TControl::text() const {
  if (!window_) return {};
  std::string text(static_cast<size_t>(GetWindowTextLengthA(window_)) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(window_, text.data(), static_cast<int>(text.size()))));
  return text;
}

void TControl::setText(const std::string& text) {
  if (window_) SetWindowTextA(window_, text.c_str());
}

void TControl::setColor(TColor color) {
  color_ = color;
  colorBrush_.reset(color == clDefault ? nullptr : CreateSolidBrush(colorToRGB(color)));
  invalidate();
}

void TControl::setFont(const TFont& font) {
  font_ = font;
  if (window_) SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.handle()), TRUE);
  invalidate();
}

void TControl::setCursor(LPCSTR systemCursor) {
  cursor_ = systemCursor;
  // Shows the new cursor at once when the mouse rests over the control.
  POINT at;
  if (window_ && GetCursorPos(&at) && WindowFromPoint(at) == window_ && !application().isBusy()) showCursor(cursor_);
}

bool TControl::tabStop() const { return window_ && (GetWindowLongA(window_, GWL_STYLE) & WS_TABSTOP); }

void TControl::setTabStop(bool tabStop) {
  if (!window_) return;
  LONG style = GetWindowLongA(window_, GWL_STYLE);
  SetWindowLongA(window_, GWL_STYLE, tabStop ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
}

bool TControl::holdsFocus() const {
  const HWND focus = GetFocus();
  return window_ && focus && (focus == window_ || IsChild(window_, focus));
}

namespace {

void collectTabStops(const TControl& control, std::vector<TControl*>& stops) {
  for (TControl* child : control.children()) {
    if (!child->visible() || !child->enabled()) continue;
    if (child->tabStop()) stops.push_back(child);
    collectTabStops(*child, stops);
  }
}

}  // namespace

std::vector<TControl*> TControl::tabStops() const {
  std::vector<TControl*> stops;
  collectTabStops(*this, stops);
  return stops;
}

bool TControl::canFocus() const {
  if (!window_) return false;
  for (HWND window = window_; window; window = GetParent(window)) {
    if (!IsWindowVisible(window) || !IsWindowEnabled(window)) return false;
    if (!(GetWindowLongA(window, GWL_STYLE) & WS_CHILD)) break;
  }
  return true;
}

void TControl::setFocus() {
  if (!window_) return;
  // A hidden window cannot take the keys (and activating it to try fails
  // now and then under Wine): its form gives them here when it shows.
  const HWND topLevel = GetAncestor(window_, GA_ROOT);
  if (topLevel && topLevel != window_ && !IsWindowVisible(topLevel)) {
    application().focusWhenShown(topLevel, this);
    return;
  }
  SetFocus(window_);
}

void TControl::setMouseCapture() {
  if (window_) SetCapture(window_);
}

void TControl::releaseMouseCapture() {
  if (hasMouseCapture()) ReleaseCapture();
}

void TControl::invalidate() {
  if (window_) InvalidateRect(window_, nullptr, TRUE);
}

void TControl::update() {
  if (window_) UpdateWindow(window_);
}

void TControl::doEnter() {
  if (onEnter) onEnter();
}

void TControl::doExit() {
  if (onExit) onExit();
}

bool TControl::dialogKey(WORD key, TShiftState shift) { return parent_ && parent_->dialogKey(key, shift); }

void TControl::mouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (onMouseDown) onMouseDown(button, shift, x, y);
}

void TControl::mouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (onMouseUp) onMouseUp(button, shift, x, y);
}

void TControl::mouseMove(TShiftState shift, int x, int y) {
  if (onMouseMove) onMouseMove(shift, x, y);
}

bool TControl::mouseWheel(int delta, TShiftState shift, int x, int y) {
  return onMouseWheel && onMouseWheel(delta, shift, x, y);
}

void TControl::click() {
  if (onClick) onClick();
}

void TControl::doubleClick() {
  if (onDoubleClick) onDoubleClick();
}

void TControl::keyDown(WORD& key, TShiftState shift) {
  if (onKeyDown) onKeyDown(key, shift);
}

void TControl::keyUp(WORD& key, TShiftState shift) {
  if (onKeyUp) onKeyUp(key, shift);
}

void TControl::keyPress(char& key) {
  if (onKeyPress) onKeyPress(key);
}

void TControl::resized() {
  if (onResize) onResize();
}

void TControl::paint(TCanvas& canvas) {
  if (onPaint) onPaint(canvas);
}

bool TControl::commandReceived(WORD) { return false; }
bool TControl::notificationReceived(NMHDR&, LRESULT&) { return false; }
bool TControl::scrollReceived(WORD, int) { return false; }
bool TControl::drawItemReceived(const DRAWITEMSTRUCT&) { return false; }

HBRUSH TControl::controlColor(HDC dc) {
  if (!colorBrush_) return nullptr;
  SetBkColor(dc, colorToRGB(color_));
  SetTextColor(dc, colorToRGB(font_.color()));
  return colorBrush_.get();
}

bool TControl::endEdit(TEditEnding) { return true; }

bool TControl::endEditsInside(TEditEnding ending) {
  const bool giveUp = ending == TEditEnding::giveUp;
  bool taken = endEdit(ending);
  if (!taken && !giveUp) return false;
  for (size_t i = 0; i < children_.size(); ++i) {
    if (children_[i]->endEditsInside(ending)) continue;
    taken = false;
    if (!giveUp) return false;
  }
  return taken;
}
