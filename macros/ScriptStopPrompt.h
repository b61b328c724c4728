#pragma once
#include <atomic>
#include <string>
#include <thread>

#include <windows.h>

// The small window that lets the user stop a macro call that runs long.
// It lives on a thread of its own, since the thread that waits for the
// macro cannot serve windows meanwhile; Stop, Enter, Esc or closing it
// (Alt+F4) ask for the stop. It stays in front of the waiting thread's
// windows and takes the keys back from them: they take no input meanwhile.
class TScriptStopPrompt {
 public:
  // call names what runs; empty for the macros in general. Made on the
  // waiting thread, owned by its active window.
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
  HWND owner_;
  DWORD waitingThread_;
  std::atomic<bool> stopRequested_{false};
  std::atomic<bool> closing_{false};
  std::atomic<bool> ended_{false};
  std::atomic<HWND> window_{nullptr};
  std::thread thread_;
};
