#pragma once
#include <atomic>
#include <string>
#include <thread>

#include <windows.h>

// The small window that lets the user stop a macro call that runs long.
// It lives on a thread of its own, since the thread that waits for the
// macro cannot serve windows meanwhile; Stop, Enter or Esc ask for the stop.
class TScriptStopPrompt {
 public:
  // call names what runs; empty for the macros in general.
  explicit TScriptStopPrompt(std::string call);
  ~TScriptStopPrompt();
  TScriptStopPrompt(const TScriptStopPrompt&) = delete;
  TScriptStopPrompt& operator=(const TScriptStopPrompt&) = delete;

  bool stopRequested() const { return stopRequested_; }

  static constexpr const char* windowClassName = "TmacroStopForm";

 private:
  void execute();
  static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  std::string text_;
  std::atomic<bool> stopRequested_{false};
  std::atomic<bool> closing_{false};
  std::atomic<HWND> window_{nullptr};
  std::thread thread_;
};
