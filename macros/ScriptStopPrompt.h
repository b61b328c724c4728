#pragma once
#include <atomic>
#include <thread>

#include <windows.h>

// The small window that lets the user stop a macro call that runs long.
// It lives on a thread of its own, since the thread that waits for the
// macro cannot serve windows meanwhile; Stop, Enter or Esc ask for the stop.
class TScriptStopPrompt {
 public:
  TScriptStopPrompt();
  ~TScriptStopPrompt();
  TScriptStopPrompt(const TScriptStopPrompt&) = delete;
  TScriptStopPrompt& operator=(const TScriptStopPrompt&) = delete;

  bool stopRequested() const { return stopRequested_; }

  static constexpr const char* windowClassName = "TmacroStopForm";

 private:
  void execute();
  static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  std::atomic<bool> stopRequested_{false};
  std::atomic<bool> closing_{false};
  std::atomic<HWND> window_{nullptr};
  std::thread thread_;
};
