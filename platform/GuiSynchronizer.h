#pragma once
#include <windows.h>

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>

// Runs work of a worker thread on the GUI thread that made this object and
// waits for it, the way a worker hands over what only the GUI thread may do
// (script engines are bound to the thread that made them). The work is
// picked up by the message loop once the input, paint and timers waiting
// there are handled, or by waitUntil while the GUI thread waits for the
// worker, so neither side can block the other for good.
class TGuiSynchronizer {
 public:
  // On the GUI thread.
  TGuiSynchronizer();
  ~TGuiSynchronizer();
  TGuiSynchronizer(const TGuiSynchronizer&) = delete;
  TGuiSynchronizer& operator=(const TGuiSynchronizer&) = delete;

  // On the worker: runs work on the GUI thread; an exception it raises is
  // raised here. False without running it once abandon() was called, at
  // once even while the call is waiting.
  bool synchronize(const std::function<void()>& work);
  // On the GUI thread: every later or waiting call returns false at once.
  void abandon();
  // On the GUI thread: waits until done() holds, running the calls that
  // arrive meanwhile. done is checked at least every few milliseconds.
  void waitUntil(const std::function<bool()>& done);

 private:
  static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void workArrived(bool deferred);
  void runPending();

  HWND window_ = nullptr;
  std::mutex mutex_;
  std::condition_variable changed_;
  const std::function<void()>* pending_ = nullptr;
  std::exception_ptr failure_;
  bool done_ = false;
  bool running_ = false;  // the GUI thread is inside the work
  bool abandoned_ = false;
};
