#include "platform/Form.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "platform/Application.h"
#include "platform/ExtControls.h"
#include "platform/Menu.h"
#include "platform/StdControls.h"

namespace {

DWORD formStyle(const TFormOptions& options) {
  if (options.parent) return WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  DWORD style = WS_CLIPCHILDREN;
  switch (options.border) {
    case TBorderStyle::sizeable:
    case TBorderStyle::sizeToolWindow:
      style |= WS_CAPTION | WS_THICKFRAME;
      break;
    case TBorderStyle::dialog:
    case TBorderStyle::single:
    case TBorderStyle::toolWindow:
      style |= WS_CAPTION | WS_BORDER;
      break;
    case TBorderStyle::none:
      style |= WS_POPUP;
      break;
  }
  if (options.border != TBorderStyle::none && options.systemMenu) {
    style |= WS_SYSMENU;
    if (options.minimizeBox && options.border != TBorderStyle::dialog) style |= WS_MINIMIZEBOX;
    if (options.maximizeBox && options.border != TBorderStyle::dialog) style |= WS_MAXIMIZEBOX;
  }
  return style;
}

DWORD formExStyle(const TFormOptions& options) {
  if (options.parent) return WS_EX_CONTROLPARENT;
  DWORD style = WS_EX_CONTROLPARENT;
  if (options.border == TBorderStyle::dialog) style |= WS_EX_DLGMODALFRAME;
  if (options.border == TBorderStyle::toolWindow || options.border == TBorderStyle::sizeToolWindow)
    style |= WS_EX_TOOLWINDOW;
  if (options.stayOnTop) style |= WS_EX_TOPMOST;
  return style;
}

}  // namespace

TForm::TForm(const TFormOptions& options) : TControl(options.parent) {
  TWindowParams params;
  params.caption = options.caption;
  params.style = formStyle(options);
  params.exStyle = formExStyle(options);
  params.owner = options.owner;
  RECT rect{0, 0, options.clientWidth, options.clientHeight};
  AdjustWindowRectEx(&rect, params.style, FALSE, params.exStyle);
  OffsetRect(&rect, -rect.left, -rect.top);
  if (!options.parent) {
    // New top-level forms appear in the middle of the screen.
    OffsetRect(&rect, std::max(0L, (GetSystemMetrics(SM_CXSCREEN) - rect.right) / 2),
               std::max(0L, (GetSystemMetrics(SM_CYSCREEN) - rect.bottom) / 2));
  }
  params.bounds = rect;
  createWindow(params);
  if (options.parent) setAlign(TAlign::client);
}

int TForm::showModal() {
  if (modal_ || !handle()) return mrCancel;
  modal_ = true;
  modalResult_ = mrNone;
  ShowWindow(handle(), SW_SHOW);
  SetForegroundWindow(handle());
  if (onShow) onShow();
  application().runModalLoop(handle(), [this] {
    if (modalResult_ == mrNone) return false;
    if (closeAllowed()) return true;
    modalResult_ = mrNone;
    return false;
  });
  modal_ = false;
  if (modalResult_ == mrNone) modalResult_ = mrCancel;
  if (handle()) {
    ShowWindow(handle(), SW_HIDE);
    // Opened again, the dialog starts in its first field (or where its
    // caller puts the keys before), not where this use left them.
    application().forgetFocus(handle());
    if (onClose) onClose();
  }
  return modalResult_;
}

void TForm::showModeless() {
  if (!handle()) return;
  const bool wasVisible = visible();
  ShowWindow(handle(), SW_SHOW);
  SetForegroundWindow(handle());
  if (!wasVisible && onShow) onShow();
}

void TForm::close() {
  if (modal_) {
    if (modalResult_ == mrNone) modalResult_ = mrCancel;
    return;
  }
  if (!closeAllowed()) return;
  hide();
  if (onClose) onClose();
}

void TForm::setClientSize(int width, int height) {
  RECT rect{0, 0, width, height};
  AdjustWindowRectEx(&rect, GetWindowLongA(handle(), GWL_STYLE), GetMenu(handle()) != nullptr,
                     GetWindowLongA(handle(), GWL_EXSTYLE));
  setSize(rect.right - rect.left, rect.bottom - rect.top);
}

void TForm::centerOn(const RECT& anchor) {
  const int w = width();
  const int h = height();
  // Integer division truncating toward zero, as the dialogs' placing rule says.
  const int left = std::max(0L, (anchor.left + anchor.right + 1 - w) / 2);
  const int top = std::max(0L, (anchor.top + anchor.bottom + 1 - h) / 2);
  setBounds(left, top, w, h);
}

void TForm::closeOnEscape() {
  keyPreview = true;
  onKeyDown = [this](WORD& key, TShiftState shift) {
    if (key == VK_ESCAPE && !(shift & (ssCtrl | ssAlt))) {
      key = 0;
      close();
    }
  };
}

TButton& TForm::addDefaultButton(const std::string& caption, int left, int top, int width, int height,
                                 std::function<void()> onClick) {
  TButton& button = add<TButton>(caption);
  button.setBounds(left, top, width, height);
  button.setTabStop(true);
  button.setDefault(true);
  button.onClick = std::move(onClick);
  defaultButton = &button;
  return button;
}

void TForm::setMainMenu(TMainMenu* menu) {
  mainMenu_ = menu;
  if (menu) menu->attach(handle());
  else SetMenu(handle(), nullptr);
}

TControl* TForm::activeControl() const {
  return application().focusedControl(GetAncestor(handle(), GA_ROOT));
}

void TForm::selectNext(bool forward) {
  const std::vector<TControl*> stops = tabStops();
  if (stops.empty()) return;
  TControl* current = activeControl();
  auto at = std::find(stops.begin(), stops.end(), current);
  size_t index;
  if (at == stops.end()) {
    index = forward ? 0 : stops.size() - 1;
  } else {
    const size_t position = static_cast<size_t>(at - stops.begin());
    index = forward ? (position + 1) % stops.size() : (position + stops.size() - 1) % stops.size();
  }
  stops[index]->setFocus();
}

bool TForm::previewKey(MSG& message) {
  if (!keyPreview) return false;
  if (message.message == WM_CHAR) {
    char key = static_cast<char>(message.wParam);
    keyPress(key);
    message.wParam = static_cast<unsigned char>(key);
    return key == 0;
  }
  WORD key = static_cast<WORD>(message.wParam);
  keyDown(key, currentShiftState());
  message.wParam = key;
  return key == 0;
}

namespace {

bool marksMnemonic(const std::string& caption, char key) {
  for (size_t at = 0; at + 1 < caption.size(); ++at) {
    if (caption[at] != '&') continue;
    if (caption[at + 1] == '&') {
      ++at;
      continue;
    }
    return std::toupper(static_cast<unsigned char>(caption[at + 1])) == std::toupper(static_cast<unsigned char>(key));
  }
  return false;
}

TControl* mnemonicTarget(const TControl& parent, char key) {
  for (TControl* child : parent.children()) {
    if (!child->handle() || !IsWindowVisible(child->handle()) || !IsWindowEnabled(child->handle())) continue;
    const bool clickable = dynamic_cast<TButton*>(child) || dynamic_cast<TCheckBox*>(child) ||
                           dynamic_cast<TRadioButton*>(child) || dynamic_cast<TToolButton*>(child);
    if (clickable && marksMnemonic(child->text(), key)) return child;
    if (TControl* found = mnemonicTarget(*child, key)) return found;
  }
  return nullptr;
}

}  // namespace

bool TForm::mnemonicKey(char key) {
  TControl* target = mnemonicTarget(*this, key);
  if (!target) return false;
  if (dynamic_cast<TToolButton*>(target))
    target->performClick();
  else
    SendMessageA(target->handle(), BM_CLICK, 0, 0);
  return true;
}

bool TForm::dialogKey(WORD key, TShiftState shift) {
  if (shift & (ssCtrl | ssAlt)) return false;
  if (key == VK_TAB) {
    selectNext(!(shift & ssShift));
    return true;
  }
  TControl* button = key == VK_RETURN ? defaultButton : key == VK_ESCAPE ? cancelButton : nullptr;
  if (button && button->visible() && button->enabled()) {
    button->performClick();
    return true;
  }
  return TControl::dialogKey(key, shift);
}

TForm* parentForm(TControl* control) {
  for (; control; control = control->parent()) {
    if (auto* form = dynamic_cast<TForm*>(control)) return form;
  }
  return nullptr;
}

LRESULT TForm::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      close();
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && !parent()) {
        if (onActivate) onActivate();
        if (TControl* wanted = application().takeFocusWhenShown(handle()); wanted && wanted->canFocus()) {
          wanted->setFocus();
          return 0;
        }
        // The focus returns to the control that had it when the form was
        // left: for that control nothing happened, so no enter fires.
        TControl* last = activeControl();
        if (last && last->canFocus()) {
          last->setFocus();
          return 0;
        }
        if (!(HIWORD(wParam))) {  // not minimised
          defaultHandling(message, wParam, lParam);
          if (GetFocus() != handle()) return 0;
          if (firstField && firstField->canFocus())
            firstField->setFocus();
          else
            selectNext(true);
          return 0;
        }
      }
      break;
    case WM_GETMINMAXINFO:
      if (minWidth() > 0 || minHeight() > 0) {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize.x = std::max<LONG>(info->ptMinTrackSize.x, minWidth());
        info->ptMinTrackSize.y = std::max<LONG>(info->ptMinTrackSize.y, minHeight());
        return 0;
      }
      break;
    case WM_COMMAND:
      if (lParam == 0 && HIWORD(wParam) == 0 && mainMenu_ && mainMenu_->command(LOWORD(wParam))) return 0;
      break;
    default:
      break;
  }
  return TControl::handleMessage(message, wParam, lParam);
}

TFormOptions dialogOptions(std::string caption, int clientWidth, int clientHeight, bool stayOnTop) {
  TFormOptions options;
  options.caption = std::move(caption);
  options.clientWidth = clientWidth;
  options.clientHeight = clientHeight;
  options.border = TBorderStyle::dialog;
  options.minimizeBox = false;
  options.maximizeBox = false;
  options.stayOnTop = stayOnTop;
  return options;
}
