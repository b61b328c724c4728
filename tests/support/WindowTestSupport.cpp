#include "WindowTestSupport.h"

#include <commctrl.h>

#include <filesystem>

#include "PngWriter.h"
#include "platform/Application.h"
#include "platform/FileSystem.h"
#include "platform/Form.h"
#include "platform/Timer.h"
#include "platform/GdiObjects.h"

bool pumpUntil(const std::function<bool()>& condition, int timeoutMilliseconds) {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeoutMilliseconds);
  for (;;) {
    application().processMessages();
    if (condition()) return true;
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 20)),
                              QS_ALLINPUT);
  }
}

void pumpFor(int milliseconds) {
  pumpUntil([] { return false; }, milliseconds);
}

TKeyState::TKeyState(std::initializer_list<int> keys) {
  GetKeyboardState(saved_);
  BYTE state[256];
  GetKeyboardState(state);
  for (int key : keys) state[key] = 0x80;
  SetKeyboardState(state);
}

TKeyState::~TKeyState() { SetKeyboardState(saved_); }

void sendMouse(HWND window, UINT message, int x, int y, WPARAM keys) {
  SendMessageA(window, message, keys, MAKELPARAM(x, y));
}

void sendKey(HWND window, int virtualKey) {
  SendMessageA(window, WM_KEYDOWN, virtualKey, 1);
  SendMessageA(window, WM_KEYUP, virtualKey, 0xC0000001);
}

void postKey(HWND window, int virtualKey) {
  PostMessageA(window, WM_KEYDOWN, virtualKey, 1);
  PostMessageA(window, WM_KEYUP, virtualKey, 0xC0000001);
  pumpFor(30);
}

void postChar(HWND window, char character) {
  PostMessageA(window, WM_CHAR, static_cast<unsigned char>(character), 1);
  pumpFor(30);
}

namespace {

// The form's property naming the driver that drives it now.
constexpr char modalDriverProperty[] = "KestrovaModalDriver";

}  // namespace

TModalDriver::TModalDriver(TForm& form, std::vector<std::function<void()>> steps, int timeoutMilliseconds)
    : form_(form),
      steps_(std::move(steps)),
      timeoutMilliseconds_(timeoutMilliseconds),
      deadline_(GetTickCount64() + static_cast<unsigned long long>(timeoutMilliseconds)),
      timer_(std::make_unique<TTimer>(30, [this] { tick(); })) {
  if (form_.handle()) SetPropA(form_.handle(), modalDriverProperty, this);
  timer_->setEnabled(true);
}

TModalDriver::~TModalDriver() {
  if (form_.handle() && GetPropA(form_.handle(), modalDriverProperty) == this)
    RemovePropA(form_.handle(), modalDriverProperty);
}

void TModalDriver::tick() {
  if (form_.handle() && GetPropA(form_.handle(), modalDriverProperty) != this) {
    timer_->setEnabled(false);
    return;
  }
  if (!form_.modal()) return;
  timer_->setEnabled(false);
  if (next_ < steps_.size()) {
    steps_[next_++]();
    // However long the steps took on a busy machine, the dialog has the
    // whole time-out to close after the last.
    if (next_ == steps_.size())
      deadline_ = GetTickCount64() + static_cast<unsigned long long>(timeoutMilliseconds_);
  } else if (GetTickCount64() > deadline_) {
    timedOut_ = true;
    form_.setModalResult(mrAbort);
  }
  timer_->setEnabled(true);
}

uint32_t rgbOf(TColor color) {
  const COLORREF rgb = colorToRGB(color);
  return (GetRValue(rgb) << 16) | (GetGValue(rgb) << 8) | GetBValue(rgb);
}

bool TScreenImage::pixelIs(int x, int y, TColor color) const { return pixel(x, y) == rgbOf(color); }

std::string TScreenImage::savePng(const std::string& name) const {
  char module[MAX_PATH];
  GetModuleFileNameA(nullptr, module, MAX_PATH);
  std::string folder = module;
  folder = folder.substr(0, folder.find_last_of('\\') + 1) + "pictures\\";
  forceFolders(folder);
  const std::string path = folder + name + ".png";
  writeFileAtomically(path, encodePng(width_, height_, pixels_));
  return path;
}

namespace {

TScreenImage captureScreenRect(const RECT& rect) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return {};
  TWindowDC screen(nullptr);
  TMemoryDC memory(screen.get());
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  TBitmapHandle bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  {
    TSelectedObject selected(memory.get(), bitmap.get());
    BitBlt(memory.get(), 0, 0, width, height, screen.get(), rect.left, rect.top, SRCCOPY);
    GdiFlush();
  }
  const auto* source = static_cast<const uint32_t*>(bits);
  std::vector<uint32_t> pixels(source, source + static_cast<size_t>(width) * height);
  for (uint32_t& pixel : pixels) pixel &= 0x00FFFFFF;
  return {width, height, std::move(pixels)};
}

// A paint reaches the display some time after it is done: Wine hands the
// window's picture to the X server on its own schedule, and a screen copy
// reads it through another connection, which a loaded server may answer
// first. So the copy is taken again until two in a row agree.
TScreenImage settledCapture(HWND window, const std::function<RECT()>& area) {
  RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  pumpFor(50);
  const ULONGLONG deadline = GetTickCount64() + 3000;
  TScreenImage image = captureScreenRect(area());
  for (;;) {
    pumpFor(50);
    TScreenImage again = captureScreenRect(area());
    if (again == image || GetTickCount64() > deadline) return again;
    image = std::move(again);
  }
}

}  // namespace

TScreenImage captureClient(HWND window) {
  return settledCapture(window, [window] {
    RECT rect;
    GetClientRect(window, &rect);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  });
}

TScreenImage captureWindow(HWND window) {
  return settledCapture(window, [window] {
    RECT rect;
    GetWindowRect(window, &rect);
    return rect;
  });
}

HWND focusInside(HWND window) {
  const HWND topLevel = GetAncestor(window, GA_ROOT);
  pumpUntil([window, topLevel] {
    // A window hidden and shown again at once can get the X server's late
    // word of the hide after it is active again; Wine takes it for the
    // keyboard leaving for another program and makes the desktop the
    // foreground. A user would click the window; the test gives it back
    // the activation, and the window puts the keys where it put them.
    if (GetForegroundWindow() == GetDesktopWindow() && IsWindowVisible(topLevel)) SetForegroundWindow(topLevel);
    return IsChild(window, GetFocus()) != FALSE;
  });
  return GetFocus();
}

std::vector<HWND> shownThreadWindows() {
  std::vector<HWND> windows;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM data) -> BOOL {
        if (IsWindowVisible(window)) reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::string registeredToolTip(HWND control) {
  std::pair<HWND, std::string> search{control, {}};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM data) -> BOOL {
        auto& [target, text] = *reinterpret_cast<std::pair<HWND, std::string>*>(data);
        char className[64] = {};
        GetClassNameA(window, className, sizeof className);
        if (lstrcmpiA(className, TOOLTIPS_CLASSA) != 0) return TRUE;
        char buffer[1024] = {};
        TOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND;
        tool.hwnd = GetParent(target);
        tool.uId = reinterpret_cast<UINT_PTR>(target);
        tool.lpszText = buffer;
        if (!SendMessageA(window, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool))) return TRUE;
        SendMessageA(window, TTM_GETTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
        text = buffer;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.second;
}
