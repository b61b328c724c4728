#include "macros/ScriptStopPrompt.h"

namespace {

constexpr int stopButtonId = 1;
constexpr int clientWidth = 300, clientHeight = 86;

}  // namespace

TScriptStopPrompt::TScriptStopPrompt(std::string call)
    : text_(call.empty() ? "A macro is still running." : "The macro function " + call + " is still running."),
      thread_([this] { execute(); }) {}

TScriptStopPrompt::~TScriptStopPrompt() {
  closing_ = true;
  if (HWND window = window_.load()) PostMessageA(window, WM_CLOSE, 0, 0);
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
      // Only the waiting side closes it: the user's way out is Stop.
      if (prompt != nullptr && prompt->closing_) DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void TScriptStopPrompt::execute() {
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
  HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_DLGMODALFRAME, windowClassName, "Macros", style,
                                (GetSystemMetrics(SM_CXSCREEN) - width) / 2, (GetSystemMetrics(SM_CYSCREEN) - height) / 2,
                                width, height, nullptr, nullptr, windowClass.hInstance, this);
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
  window_ = window;
  if (closing_) PostMessageA(window, WM_CLOSE, 0, 0);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (IsDialogMessageA(window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}
