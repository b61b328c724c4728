#include "platform/GuiSynchronizer.h"

#include <chrono>
#include <utility>

namespace {

constexpr UINT synchronizeMessage = WM_APP + 0x251;
constexpr UINT_PTR deferredWorkTimer = 1;
constexpr char windowClassName[] = "KestrovaGuiSynchronizer";

void registerWindowClass(WNDPROC procedure) {
  WNDCLASSA windowClass{};
  if (GetClassInfoA(GetModuleHandleA(nullptr), windowClassName, &windowClass)) return;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = windowClassName;
  RegisterClassA(&windowClass);
}

}  // namespace

TGuiSynchronizer::TGuiSynchronizer() {
  registerWindowClass(windowProcedure);
  window_ = CreateWindowExA(0, windowClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr),
                            nullptr);
  if (window_ != nullptr) SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TGuiSynchronizer::~TGuiSynchronizer() {
  abandon();
  if (window_ != nullptr) {
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
}

LRESULT CALLBACK TGuiSynchronizer::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const bool deferred = message == WM_TIMER && wParam == deferredWorkTimer;
  if (message == synchronizeMessage || deferred) {
    auto* self = reinterpret_cast<TGuiSynchronizer*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self != nullptr) self->workArrived(deferred);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

bool TGuiSynchronizer::synchronize(const std::function<void()>& work) {
  std::unique_lock lock(mutex_);
  if (abandoned_ || window_ == nullptr) return false;
  pending_ = &work;
  done_ = false;
  failure_ = nullptr;
  PostMessageA(window_, synchronizeMessage, 0, 0);
  changed_.wait(lock, [this] { return done_ || (abandoned_ && !running_); });
  if (!done_) {
    pending_ = nullptr;
    return false;
  }
  if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
  return true;
}

void TGuiSynchronizer::workArrived(bool deferred) {
  // A posted message ranks before input, paint and timers, and the worker
  // posts its next work the moment the last is done: run at once, work
  // would hold back a user's click (a Stop) for as long as the worker has
  // work. A timer ranks after them, so work that finds them waiting runs
  // once they are handled.
  if (deferred) {
    KillTimer(window_, deferredWorkTimer);
  } else if (HIWORD(GetQueueStatus(QS_INPUT | QS_PAINT | QS_TIMER)) != 0) {
    SetTimer(window_, deferredWorkTimer, USER_TIMER_MINIMUM, nullptr);
    return;
  }
  runPending();
}

void TGuiSynchronizer::runPending() {
  const std::function<void()>* work = nullptr;
  {
    std::lock_guard lock(mutex_);
    // Abandoned work is the worker's to drop, without running it.
    if (abandoned_) return;
    work = pending_;
    pending_ = nullptr;
    running_ = work != nullptr;
  }
  if (work == nullptr) return;
  // The worker waits for this call even once abandoned (work may process
  // messages that abandon it), so its work object stays alive.
  std::exception_ptr failure;
  try {
    (*work)();
  } catch (...) {
    failure = std::current_exception();
  }
  {
    std::lock_guard lock(mutex_);
    failure_ = failure;
    done_ = true;
    running_ = false;
  }
  changed_.notify_all();
}

void TGuiSynchronizer::abandon() {
  {
    std::lock_guard lock(mutex_);
    abandoned_ = true;
  }
  changed_.notify_all();
}

void TGuiSynchronizer::waitUntil(const std::function<bool()>& done) {
  while (!done()) {
    runPending();
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, std::chrono::milliseconds(5), [this] { return pending_ != nullptr; });
  }
}
