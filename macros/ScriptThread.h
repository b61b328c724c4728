#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include <windows.h>

// The thread one macro engine lives on. An engine answers only the thread
// that made it, and the platform's engines may ignore a host's request to
// interrupt a script: on the GUI thread a macro caught in an endless loop
// would hold the whole program for good. Here it holds only this thread;
// the caller waits, offers the user to stop the call after a while, and a
// stopped engine is given up with its thread.
struct TKernelHandleClose {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using TKernelHandle = std::unique_ptr<void, TKernelHandleClose>;

class TScriptThread : public std::enable_shared_from_this<TScriptThread> {
 public:
  static std::shared_ptr<TScriptThread> launch();
  ~TScriptThread();
  TScriptThread(const TScriptThread&) = delete;
  TScriptThread& operator=(const TScriptThread&) = delete;

  // Runs task on the script thread and waits for it. False without running
  // it once the thread was stopped or while another call waits (a call made
  // from a message handled during the wait), and false when the user
  // stopped it meanwhile: the task is then given up with the thread.
  bool run(const std::function<void()>& task);
  // run in two halves, so that the caller can work meanwhile: start hands
  // the task over (false as run's refusal), wait waits for it.
  bool start(std::function<void()> task);
  bool wait();
  // Ends the thread after its last task; the engine must be released first.
  void finish();
  bool stopped() const { return stopped_; }
  // What the stop window names as running, asked only when it shows; none
  // for the macros in general.
  std::function<std::string()> runningCall;

  // Milliseconds a task runs before the user may stop it.
  void setStopPromptDelay(int milliseconds) { stopPromptDelay_ = milliseconds; }
  // From the script thread: a window of the script itself (a message box)
  // is up, whose time does not count as running.
  void holdStopPrompt(bool hold) { promptHeld_ = hold; }
  // From the script thread: the module holding the engine's code. A stopped
  // thread is ended while it runs there, not inside a system routine that
  // may hold a lock the rest of the program needs.
  void setEngineModule(HMODULE module);

  // On the waiting thread: asks the engine to interrupt its script, where it
  // can, before the thread is ended.
  std::function<void()> onInterrupt;
  // On the waiting thread after each task (also a stopped one).
  std::function<void()> afterTask;

 private:
  TScriptThread();
  static DWORD WINAPI threadProcedure(void* parameter);
  void execute();
  void post(const std::function<void()>* task);
  // True when the task ended; false when the user stopped it.
  bool waitForTask();
  // While the stop window shows (watchInput) the program acts as behind a
  // modal window: input to its windows is dropped, and Alt+F4 on one of
  // them, or a click on its close box, stops the call and closes the
  // window afterwards.
  bool waitForDone(DWORD milliseconds, bool watchInput = false);
  void dropInput();
  void endThread();
  bool atSafePoint();

  enum : int { idle, posted, done };
  std::atomic<int> phase_{idle};
  std::atomic<bool> workerSleeping_{false};
  std::atomic<bool> callerSleeping_{false};
  std::atomic<bool> promptHeld_{false};
  std::atomic<std::uintptr_t> engineCodeStart_{0}, engineCodeEnd_{0};
  const std::function<void()>* task_ = nullptr;
  std::function<void()> started_;
  bool stopped_ = false;
  HWND closeAsked_ = nullptr;
  bool finished_ = false;
  bool busy_ = false;
  int stopPromptDelay_ = 3000;
  TKernelHandle thread_;
  TKernelHandle workEvent_;
  TKernelHandle doneEvent_;
};
