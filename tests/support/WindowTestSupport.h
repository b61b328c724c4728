#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Colors.h"
#include "platform/Form.h"

class TTimer;

// Drives real windows under Wine: messages go through the program's own
// message path, waits pump until a condition holds or a time-out passes.

// Pumps messages until the condition holds; false after the time-out.
bool pumpUntil(const std::function<bool()>& condition, int timeoutMilliseconds = 5000);
// Pumps messages for a while (lets paints, timers and posted calls run).
void pumpFor(int milliseconds);

// Sets keys as held (or released) in the thread's key state, so handlers
// that read the shift state see them. Restores the previous state on leaving.
class TKeyState {
 public:
  TKeyState(std::initializer_list<int> keys);
  ~TKeyState();
  TKeyState(const TKeyState&) = delete;
  TKeyState& operator=(const TKeyState&) = delete;

 private:
  BYTE saved_[256];
};

// Mouse and key messages sent straight to a window (client coordinates).
void sendMouse(HWND window, UINT message, int x, int y, WPARAM keys = 0);
void sendKey(HWND window, int virtualKey);  // key down and up
// A key press as the message loop sees it: posted and pumped, so forms'
// key handling (Tab, Enter, Esc, key preview) takes part.
void postKey(HWND window, int virtualKey);
void postChar(HWND window, char character);

// Drives a modal dialog: runs the steps one per tick while it shows (the
// ticker is stopped during a step, so steps that pump never overlap). When
// the steps are done and the dialog still shows the time-out after the last
// one, it is closed, so that a failing test never hangs. A driver made for
// a form takes it over from any earlier one, which then does nothing more:
// the earlier one's time-out would close the form shown again for the new.
class TModalDriver {
 public:
  TModalDriver(TForm& form, std::vector<std::function<void()>> steps, int timeoutMilliseconds = 5000);
  ~TModalDriver();
  TModalDriver(const TModalDriver&) = delete;
  TModalDriver& operator=(const TModalDriver&) = delete;
  bool timedOut() const { return timedOut_; }

 private:
  void tick();

  TForm& form_;
  std::vector<std::function<void()>> steps_;
  size_t next_ = 0;
  const int timeoutMilliseconds_;
  unsigned long long deadline_;
  bool timedOut_ = false;
  std::unique_ptr<TTimer> timer_;
};

// The visible top-level windows of this thread, in z-order.
std::vector<HWND> shownThreadWindows();
// The shown form of this thread of a kind: a dialog the code under test
// makes and runs itself; null while none shows.
template <class Form>
Form* shownForm() {
  for (HWND window : shownThreadWindows())
    if (auto* form = dynamic_cast<Form*>(TControl::fromHandle(window))) return form;
  return nullptr;
}

// The window inside the given one that holds the keys, once they have
// arrived there (Wine activates a window just shown a moment later now and
// then, and a busy machine makes the moment long); whatever holds them after
// the time-out when they do not. An activation Wine handed to the desktop
// meanwhile is given back to the window, as a user's click would.
HWND focusInside(HWND window);

// The text of the tooltip registered for a control in any tooltip window
// of this thread; empty when none shows one for it.
std::string registeredToolTip(HWND control);

// A copy of part of the screen: what the user sees, child controls included.
class TScreenImage {
 public:
  TScreenImage() = default;
  TScreenImage(int width, int height, std::vector<uint32_t> pixels)
      : width_(width), height_(height), pixels_(std::move(pixels)) {}

  int width() const { return width_; }
  int height() const { return height_; }
  uint32_t pixel(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }  // 0x00RRGGBB
  bool pixelIs(int x, int y, TColor color) const;
  // Writes the picture as PNG under the build folder's "pictures" folder;
  // returns the file's path.
  std::string savePng(const std::string& name) const;

  bool operator==(const TScreenImage&) const = default;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<uint32_t> pixels_;
};

// The window's client area (or whole window) as it is on the screen once
// pending paints have run and the picture has stopped changing.
TScreenImage captureClient(HWND window);
TScreenImage captureWindow(HWND window);

// 0x00RRGGBB of a TColor, to compare with captured pixels.
uint32_t rgbOf(TColor color);

// Options of a plain main window with the given caption and client size.
inline TFormOptions mainWindowOptions(const char* caption, int clientWidth, int clientHeight) {
  TFormOptions options;
  options.caption = caption;
  options.clientWidth = clientWidth;
  options.clientHeight = clientHeight;
  return options;
}
