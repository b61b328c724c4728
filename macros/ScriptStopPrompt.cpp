#include "macros/ScriptStopPrompt.h"

namespace {

constexpr int stopButtonId = 1;
constexpr int clientWidth = 300, clientHeight = 86;
// The waiting side ends the window with this; WM_CLOSE is the user's.
constexpr UINT endMessage = WM_APP;
// Posted when the activation left: where it went is known only then.
constexpr UINT comeForwardMessage = WM_APP + 1;

}  // namespace

TScriptStopPrompt::TScriptStopPrompt(std::string call)
    : text_(call.empty() ? "A macro is still running." : "The macro function " + call + " is still running."),
      owner_(GetActiveWindow()),
      waitingThread_(GetCurrentThreadId()),
      thread_([this] { execute(); }) {}

TScriptStopPrompt::~TScriptStopPrompt() {
  closing_ = true;
  if (HWND window = window_.load()) PostMessageA(window, endMessage, 0, 0);
  // The window going gives the activation back to its owner, on this
  // thread, by a message this thread must answer while it waits.
  while (!ended_) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_SENDMESSAGE);
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  thread_.join();
}

LRESULT CALLBACK TScriptStopPrompt::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* prompt = reinterpret_cast<TScriptStopPrompt*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  switch (message) {
    case WM_NCCREATE:
      SetWindowLongPtrA(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
      break;
    case WM_COMMAND:
      if (prompt != nullptr && (LOWORD(wParam) == stopButtonId || LOWORD(wParam) == IDCANCEL ||
                                LOWORD(wParam) == IDOK)) {
        prompt->stopRequested_ = true;
        EnableWindow(GetDlgItem(window, stopButtonId), FALSE);
      }
      return 0;
    case WM_CLOSE:
      // The user closing it (Alt+F4) asks for the stop as Stop does; the
      // window goes when the waiting side is done.
      SendMessageA(window, WM_COMMAND, stopButtonId, 0);
      return 0;
    case endMessage:
      DestroyWindow(window);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) {
        SetFocus(GetDlgItem(window, stopButtonId));
        return 0;
      }
      // Looked at once the activation has moved on.
      PostMessageA(window, comeForwardMessage, 0, 0);
      return 0;
    case WM_TIMER:
    case comeForwardMessage:
      // A click on one of the waiting thread's windows (they take no input
      // meanwhile) activates it, and without a window manager Wine raises
      // it over this one on the screen, whatever the window order says:
      // this window comes to the front again with the keys. Other windows,
      // a script's own message box among them, keep them.
      if (prompt != nullptr) {
        const HWND foreground = GetForegroundWindow();
        const bool waitingSideActive = GetWindowThreadProcessId(foreground, nullptr) == prompt->waitingThread_;
        // With the keys back, the window can still lie under the one the
        // click raised, when the screen takes that raise late (a busy
        // machine): the window order does not show it, so the window is
        // raised again now and then while it holds the keys.
        if (waitingSideActive || (foreground == window && message == WM_TIMER)) {
          // Already first in the window order, the window is raised on the
          // screen only by a change of that order.
          for (HWND place : {HWND_NOTOPMOST, HWND_TOPMOST})
            SetWindowPos(window, place, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        if (waitingSideActive) SetForegroundWindow(window);
      }
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void TScriptStopPrompt::execute() {
  struct TEnded {
    std::atomic<bool>& ended;
    ~TEnded() { ended = true; }
  } ended{ended_};
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = windowProcedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  windowClass.lpszClassName = windowClassName;
  RegisterClassA(&windowClass);  // fails harmlessly when already registered

  RECT bounds{0, 0, clientWidth, clientHeight};
  const DWORD style = WS_POPUP | WS_CAPTION | WS_VISIBLE;
  AdjustWindowRectEx(&bounds, style, FALSE, WS_EX_TOPMOST | WS_EX_DLGMODALFRAME);
  const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
  // Owned by the waiting thread's window, it stays above it whatever
  // raises that window.
  HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_DLGMODALFRAME, windowClassName, "Macros", style,
                                (GetSystemMetrics(SM_CXSCREEN) - width) / 2, (GetSystemMetrics(SM_CYSCREEN) - height) / 2,
                                width, height, IsWindow(owner_) ? owner_ : nullptr, nullptr, windowClass.hInstance, this);
  if (window == nullptr) return;
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  HWND text = CreateWindowExA(0, "STATIC", text_.c_str(), WS_CHILD | WS_VISIBLE, 12, 8, clientWidth - 24, 32, window,
                              nullptr, windowClass.hInstance, nullptr);
  HWND button = CreateWindowExA(0, "BUTTON", "Stop", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                                (clientWidth - 88) / 2, 48, 88, 26, window,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(stopButtonId)), windowClass.hInstance, nullptr);
  SendMessageA(text, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SetForegroundWindow(window);
  SetFocus(button);
  // Losing the activation to another thread is not always told to this
  // window: a look now and then catches that too.
  SetTimer(window, 1, 250, nullptr);
  window_ = window;
  if (closing_) PostMessageA(window, endMessage, 0, 0);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (IsDialogMessageA(window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}
