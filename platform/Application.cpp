#include "platform/Application.h"

#include <commctrl.h>
#include <ole2.h>

#include <algorithm>

#include "platform/Control.h"
#include "platform/FlagRestorer.h"
#include "platform/Form.h"
#include "platform/Timer.h"

namespace {

const UINT deferredCallMessage = WM_APP + 1;
const char* const utilityClassName = "KestrovaUtility";

// The nearest control of ours at or above a window (a system control's
// inner window, such as a combo box's edit, belongs to its control).
TControl* controlAtOrAbove(HWND window) {
  for (; window; window = GetParent(window)) {
    if (TControl* control = TControl::fromHandle(window)) return control;
  }
  return nullptr;
}

std::vector<TControl*> chainBelowTopLevel(TControl* control, HWND topLevel) {
  std::vector<TControl*> chain;
  for (; control && control->handle() != topLevel; control = control->parent()) chain.push_back(control);
  return chain;
}

}  // namespace

TApplication& application() {
  static TApplication instance;
  return instance;
}

TApplication::TApplication() {
  oleInitialized_ = SUCCEEDED(OleInitialize(nullptr));
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_BAR_CLASSES | ICC_COOL_CLASSES |
                                    ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS |
                                    ICC_UPDOWN_CLASS | ICC_USEREX_CLASSES};
  InitCommonControlsEx(&controls);
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &TApplication::utilityProcedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = utilityClassName;
  RegisterClassExA(&windowClass);
  utilityWindow_ = CreateWindowExA(0, utilityClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
}

TApplication::~TApplication() {
  if (utilityWindow_) DestroyWindow(utilityWindow_);
  if (oleInitialized_) OleUninitialize();
}

LRESULT CALLBACK TApplication::utilityProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    switch (message) {
      case WM_TIMER: {
        TApplication& app = application();
        const auto found = app.timers_.find(wParam);
        if (found != app.timers_.end()) found->second->fire();
        return 0;
      }
      case deferredCallMessage:
        application().runDeferredCalls();
        return 0;
      default:
        break;
    }
  } catch (...) {
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

int TApplication::run() {
  MSG message{};
  for (;;) {
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        terminated_ = true;
        return static_cast<int>(message.wParam);
      }
      handleMessage(message);
    }
    // The queue is empty: the program is idle until the next message or
    // until one of the idle handles is signalled, whichever comes first.
    if (onIdle) onIdle();
    const std::vector<HANDLE> handles = idleWaitHandles ? idleWaitHandles() : std::vector<HANDLE>{};
    MsgWaitForMultipleObjectsEx(static_cast<DWORD>(handles.size()), handles.data(), INFINITE, QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
  }
}

void TApplication::processMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      terminated_ = true;
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    handleMessage(message);
  }
}

void TApplication::handleMessage(MSG& message) {
  // Loops run inside a handler (menus, dialogs) bring their own messages.
  const TFlagRestorer keyScope(handlingKey_, message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST);
  if (modalLoopRunning() && redirectFromDisabledWindow(message, modalWindows_.back())) return;
  // Hooks may remove themselves while running: iterate over a copy.
  const auto hooks = hooks_;
  for (const auto& hook : hooks) {
    if (hook.second(message)) return;
  }
  if (message.message == WM_SYSKEYDOWN && message.wParam == VK_F4 && closeFromChild(message)) return;
  for (HWND dialog : modelessDialogs_) {
    if ((dialog == message.hwnd || IsChild(dialog, message.hwnd)) && IsDialogMessageA(dialog, &message)) return;
  }
  // The menu key asks the focused control for its menu. Controls that keep
  // their keys from the system never let it make that request, so it is
  // made here, as the system does, when the key comes up.
  if ((message.message == WM_KEYDOWN || message.message == WM_KEYUP) && message.wParam == VK_APPS) {
    if (message.message == WM_KEYUP)
      SendMessageA(message.hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(message.hwnd), MAKELPARAM(-1, -1));
    return;
  }
  if (message.message == WM_KEYDOWN) suppressDialogChar_ = false;
  if (message.message == WM_CHAR && suppressDialogChar_) {
    suppressDialogChar_ = false;
    if (message.wParam == '\t' || message.wParam == '\r' || message.wParam == 0x1B) return;
  }
  if (handleFormKeys(message)) return;
  if (message.message == WM_SYSCHAR && mnemonicKey(message)) return;
  TranslateMessage(&message);
  DispatchMessageA(&message);
}

bool TApplication::handleFormKeys(MSG& message) {
  if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN && message.message != WM_CHAR) return false;
  TControl* owner = controlAtOrAbove(message.hwnd);
  for (TControl* control = owner; control; control = control->parent()) {
    if (auto* form = dynamic_cast<TForm*>(control); form && form->previewKey(message)) return true;
  }
  // An inner window of a system control (a combo box's edit) is no control
  // of ours and hands no dialog keys up itself.
  const WORD key = static_cast<WORD>(message.wParam);
  // F1 asks for the topic of the nearest control that names one.
  if (message.message == WM_KEYDOWN && key == VK_F1 && currentShiftState() == 0) {
    for (TControl* control = owner; control; control = control->parent())
      if (control->helpContext != 0) return helpContext(control->helpContext);
  }
  if (message.message == WM_KEYDOWN && owner && !TControl::fromHandle(message.hwnd) && isDialogKey(key) &&
      !wantsDialogKey(message.hwnd, key) && owner->dialogKey(key, currentShiftState())) {
    suppressDialogChar_ = true;
    return true;
  }
  return false;
}

bool TApplication::mnemonicKey(const MSG& message) {
  // The window's outermost form: the key reaches every part of the window.
  TForm* form = nullptr;
  for (TControl* control = controlAtOrAbove(message.hwnd); control; control = control->parent())
    if (auto* found = dynamic_cast<TForm*>(control)) form = found;
  return form && form->mnemonicKey(static_cast<char>(message.wParam));
}

void TApplication::mainWindowMinimized(bool minimized) {
  if (minimized == minimized_) return;
  minimized_ = minimized;
  const std::function<void()>& handler = minimized ? onMinimize : onRestore;
  if (handler) handler();
}

TApplication::THelpHook TApplication::setHelpHook(THelpHook hook) {
  THelpHook previous = std::move(helpHook_);
  helpHook_ = std::move(hook);
  return previous;
}

bool TApplication::helpCommand(UINT command, ULONG_PTR data) {
  if (!helpHook_) return false;
  bool passOn = false;
  const bool handled = helpHook_(command, data, passOn);
  return passOn ? false : handled;
}

void TApplication::setTitle(const std::string& title) {
  title_ = title;
  if (onTitleChange) onTitleChange();
}

int TApplication::addMessageHook(std::function<bool(MSG&)> hook) {
  hooks_.emplace_back(nextHookId_, std::move(hook));
  return nextHookId_++;
}

void TApplication::removeMessageHook(int id) {
  std::erase_if(hooks_, [id](const auto& hook) { return hook.first == id; });
}

void TApplication::addModelessDialog(HWND dialog) { modelessDialogs_.push_back(dialog); }
void TApplication::removeModelessDialog(HWND dialog) { std::erase(modelessDialogs_, dialog); }

void TApplication::runModalLoop(HWND window, const std::function<bool()>& done) {
  struct TDisabling {
    HWND modal;
    std::vector<HWND> disabled;
  } disabling{window, {}};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND other, LPARAM context) -> BOOL {
        auto& state = *reinterpret_cast<TDisabling*>(context);
        if (other != state.modal && IsWindowVisible(other) && IsWindowEnabled(other)) {
          EnableWindow(other, FALSE);
          state.disabled.push_back(other);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&disabling));
  modalWindows_.push_back(window);
  bool quit = false;
  int quitCode = 0;
  MSG message;
  while (!done() && IsWindow(window)) {
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) {
      quit = true;
      quitCode = static_cast<int>(message.wParam);
      break;
    }
    if (got < 0) break;
    handleMessage(message);
  }
  modalWindows_.pop_back();
  // Owners come back before the modal window hides, so the activation
  // returns to them and not to some other program.
  for (HWND other : disabling.disabled) {
    if (IsWindow(other)) EnableWindow(other, TRUE);
  }
  if (quit) {
    terminated_ = true;
    PostQuitMessage(quitCode);
  }
}

bool TApplication::redirectFromDisabledWindow(MSG& message, HWND modal) {
  // The keyboard can be left in a window the modal loop disabled (a message
  // box owned by it hands the activation back there when it closes): its
  // keys would reach nothing, not even Esc the dialog. They go to the modal
  // window, which takes the activation back; Alt+F4 asks the disabled
  // window itself to close, whose close decides what becomes of the dialog
  // (the main window's ends the program, and the loop with it).
  const bool keyMessage = message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST;
  if (!keyMessage || !message.hwnd || message.hwnd == modal || IsChild(modal, message.hwnd)) return false;
  const HWND root = GetAncestor(message.hwnd, GA_ROOT);
  if (!root || IsWindowEnabled(root)) return false;
  if (message.message == WM_SYSKEYDOWN && message.wParam == VK_F4) {
    PostMessageA(root, WM_CLOSE, 0, 0);
    return true;
  }
  if (GetActiveWindow() != modal) SetActiveWindow(modal);
  const HWND focus = GetFocus();
  message.hwnd = focus == modal || IsChild(modal, focus) ? focus : modal;
  return false;
}

bool TApplication::closeFromChild(const MSG& message) {
  // The system asks the top window to close on Alt+F4 when the focused
  // window passes the key on; Wine's combo boxes keep it, and the window
  // stayed open. The request is made here for every child, as the system
  // would make it: only with Alt held, not for F4 in the menu's key mode.
  if (!(HIWORD(message.lParam) & KF_ALTDOWN)) return false;
  if (!message.hwnd || !(GetWindowLongPtrA(message.hwnd, GWL_STYLE) & WS_CHILD)) return false;
  const HWND root = GetAncestor(message.hwnd, GA_ROOT);
  if (!root || !IsWindowEnabled(root)) return false;
  PostMessageA(root, WM_SYSCOMMAND, SC_CLOSE, 0);
  return true;
}

void TApplication::postDeferred(std::function<void()> call) {
  deferredCalls_.push_back(std::move(call));
  if (!deferredPosted_) {
    deferredPosted_ = true;
    PostMessageA(utilityWindow_, deferredCallMessage, 0, 0);
  }
}

void TApplication::runDeferredCalls() {
  deferredPosted_ = false;
  // Calls queued by these calls wait for the next message, so a call that
  // queues itself again cannot starve the loop.
  std::deque<std::function<void()>> calls;
  calls.swap(deferredCalls_);
  for (auto& call : calls) call();
}

void TApplication::busy() {
  if (busyCount_++ == 0) SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
}

void TApplication::available() {
  if (busyCount_ == 0 || --busyCount_ > 0) return;
  // The window under the mouse puts its own cursor back.
  POINT at;
  HWND under = GetCursorPos(&at) ? WindowFromPoint(at) : nullptr;
  if (under && GetWindowThreadProcessId(under, nullptr) == GetCurrentThreadId())
    SendMessageA(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  else
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
}

UINT_PTR TApplication::startTimer(TTimer& timer, UINT milliseconds) {
  const UINT_PTR id = nextTimerId_++;
  SetTimer(utilityWindow_, id, milliseconds, nullptr);
  timers_[id] = &timer;
  return id;
}

void TApplication::stopTimer(UINT_PTR id) {
  KillTimer(utilityWindow_, id);
  timers_.erase(id);
}

void TApplication::focusMovedTo(TControl* control) {
  HWND topLevel = GetAncestor(control->handle(), GA_ROOT);
  if (!topLevel || topLevel == control->handle()) return;
  TControl*& recorded = focusByTopLevel_[topLevel];
  TControl* previous = recorded;
  if (previous == control) return;
  recorded = control;
  const std::vector<TControl*> oldChain = chainBelowTopLevel(previous, topLevel);
  const std::vector<TControl*> newChain = chainBelowTopLevel(control, topLevel);
  auto contains = [](const std::vector<TControl*>& chain, TControl* c) {
    return std::find(chain.begin(), chain.end(), c) != chain.end();
  };
  for (TControl* leaving : oldChain) {
    if (!contains(newChain, leaving)) leaving->doExit();
  }
  for (auto entering = newChain.rbegin(); entering != newChain.rend(); ++entering) {
    if (!contains(oldChain, *entering)) (*entering)->doEnter();
  }
  for (TControl* holder : newChain) holder->focusMovedInside(*control);
}

TApplication::TFocusInPlace::TFocusInPlace() : saved_(application().focusingInPlace_) {
  application().focusingInPlace_ = true;
}

TApplication::TFocusInPlace::~TFocusInPlace() { application().focusingInPlace_ = saved_; }

TControl* TApplication::focusedControl(HWND topLevel) const {
  const auto found = focusByTopLevel_.find(topLevel);
  return found == focusByTopLevel_.end() ? nullptr : found->second;
}

void TApplication::attachControl(HWND window, TControl* control) {
  std::lock_guard lock(controlsLock_);
  controls_[window] = control;
}

void TApplication::detachControl(HWND window) {
  std::lock_guard lock(controlsLock_);
  controls_.erase(window);
}

TControl* TApplication::controlOf(HWND window) const {
  std::lock_guard lock(controlsLock_);
  const auto found = controls_.find(window);
  return found != controls_.end() ? found->second : nullptr;
}

TControl* TApplication::takeFocusWhenShown(HWND topLevel) {
  const auto found = focusWhenShown_.find(topLevel);
  if (found == focusWhenShown_.end()) return nullptr;
  TControl* control = found->second;
  focusWhenShown_.erase(found);
  return control;
}

void TApplication::controlDestroyed(TControl* control) {
  const auto goes = [control](const auto& entry) {
    return entry.second == control || entry.first == control->handle();
  };
  std::erase_if(focusByTopLevel_, goes);
  std::erase_if(focusWhenShown_, goes);
}
