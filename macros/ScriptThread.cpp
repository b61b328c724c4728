#include "macros/ScriptThread.h"

#include <objbase.h>

#include "macros/ScriptStopPrompt.h"

namespace {

// Back-to-back calls (a sheet recalculating many macro cells) hand over
// without waking a sleeping thread, which under Wine costs a server call
// each way: a waiting side spins this many pauses (tens to hundreds of
// microseconds, far longer than the gap between two calls) before it sleeps.
constexpr int workerSpins = 20000;
constexpr int callerSpins = 10000;
// How long an engine may take to honour its own interruption.
constexpr DWORD interruptGraceMilliseconds = 1000;
// How long to look for a moment the thread runs the engine's own code.
constexpr int safePointTries = 2000;

}  // namespace

TScriptThread::TScriptThread()
    : workEvent_(CreateEventA(nullptr, FALSE, FALSE, nullptr)), doneEvent_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}

std::shared_ptr<TScriptThread> TScriptThread::launch() {
  std::shared_ptr<TScriptThread> thread(new TScriptThread());
  // The thread keeps its own reference: a thread that had to be given up
  // may still touch this object.
  auto* reference = new std::shared_ptr<TScriptThread>(thread);
  thread->thread_.reset(CreateThread(nullptr, 0, threadProcedure, reference, 0, nullptr));
  if (!thread->thread_) {
    delete reference;
    thread->stopped_ = true;
  }
  return thread;
}

TScriptThread::~TScriptThread() = default;

DWORD WINAPI TScriptThread::threadProcedure(void* parameter) {
  std::unique_ptr<std::shared_ptr<TScriptThread>> reference(static_cast<std::shared_ptr<TScriptThread>*>(parameter));
  (*reference)->execute();
  return 0;
}

void TScriptThread::execute() {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  for (;;) {
    for (int spin = 0; spin < workerSpins && phase_.load() != posted; ++spin) YieldProcessor();
    workerSleeping_ = true;
    while (phase_.load() != posted) WaitForSingleObject(workEvent_.get(), INFINITE);
    workerSleeping_ = false;
    if (task_ == nullptr) break;
    try {
      (*task_)();
    } catch (...) {
    }
    phase_ = done;
    if (callerSleeping_.load()) SetEvent(doneEvent_.get());
  }
  CoUninitialize();
}

void TScriptThread::post(const std::function<void()>* task) {
  task_ = task;
  phase_ = posted;
  if (workerSleeping_.load()) SetEvent(workEvent_.get());
}

bool TScriptThread::run(const std::function<void()>& task) {
  if (stopped_ || finished_ || busy_) return false;
  busy_ = true;
  post(&task);
  return wait();
}

bool TScriptThread::start(std::function<void()> task) {
  if (stopped_ || finished_ || busy_) return false;
  busy_ = true;
  started_ = std::move(task);
  post(&started_);
  return true;
}

bool TScriptThread::wait() {
  if (!busy_) return false;
  const bool ended = waitForTask();
  busy_ = false;
  started_ = nullptr;
  if (afterTask) afterTask();
  return ended;
}

void TScriptThread::finish() {
  if (stopped_ || finished_ || busy_) return;
  finished_ = true;
  post(nullptr);
  WaitForSingleObject(thread_.get(), INFINITE);
}

bool TScriptThread::waitForDone(DWORD milliseconds, bool watchInput) {
  const ULONGLONG deadline = GetTickCount64() + milliseconds;
  for (;;) {
    callerSleeping_ = true;
    if (phase_.load() == done) break;
    // Looked at each time round: a wake for input comes only with input
    // the thread has not seen, and keys posted to a window come unannounced.
    if (watchInput) dropInput();
    if (closeAsked_ != nullptr) break;
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) break;
    // Messages sent by the script thread (a script's message box disables
    // its owner) are answered while waiting, so that it never waits on us.
    HANDLE event = doneEvent_.get();
    DWORD woken = MsgWaitForMultipleObjects(1, &event, FALSE, static_cast<DWORD>(deadline - now),
                                            QS_SENDMESSAGE | (watchInput ? QS_INPUT : 0));
    if (woken == WAIT_OBJECT_0 + 1) {
      MSG message;
      PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
  }
  callerSleeping_ = false;
  if (phase_.load() != done) return false;
  phase_ = idle;
  return true;
}

void TScriptThread::dropInput() {
  MSG message;
  auto take = [&](UINT first, UINT last) { return PeekMessageA(&message, nullptr, first, last, PM_REMOVE) != FALSE; };
  while (take(WM_KEYFIRST, WM_KEYLAST)) {
    const bool altDown = (HIWORD(message.lParam) & KF_ALTDOWN) != 0;
    if (message.message == WM_SYSKEYDOWN && message.wParam == VK_F4 && altDown && message.hwnd != nullptr)
      closeAsked_ = GetAncestor(message.hwnd, GA_ROOT);
  }
  while (take(WM_MOUSEFIRST, WM_MOUSELAST)) {
  }
  while (take(WM_NCMOUSEMOVE, WM_NCMBUTTONDBLCLK)) {
    if (message.message == WM_NCLBUTTONDOWN && message.wParam == HTCLOSE && message.hwnd != nullptr)
      closeAsked_ = GetAncestor(message.hwnd, GA_ROOT);
  }
}

bool TScriptThread::waitForTask() {
  closeAsked_ = nullptr;
  for (int spin = 0; spin < callerSpins && phase_.load() != done; ++spin) YieldProcessor();
  constexpr DWORD slice = 50;
  std::unique_ptr<TScriptStopPrompt> prompt;
  int runningMilliseconds = 0;
  for (;;) {
    if (waitForDone(slice, prompt != nullptr)) return true;
    if (!promptHeld_) runningMilliseconds += slice;
    if (!prompt && runningMilliseconds >= stopPromptDelay_)
      prompt = std::make_unique<TScriptStopPrompt>(runningCall ? runningCall() : std::string());
    if (closeAsked_ != nullptr || (prompt && prompt->stopRequested())) break;
  }
  prompt.reset();
  // The window is closed as the user asked once the call has ended, the
  // usual way, so that it keeps whatever it keeps on closing.
  if (closeAsked_ != nullptr) PostMessageA(closeAsked_, WM_SYSCOMMAND, SC_CLOSE, 0);
  if (onInterrupt) onInterrupt();
  if (waitForDone(interruptGraceMilliseconds)) return true;
  endThread();
  return false;
}

void TScriptThread::setEngineModule(HMODULE module) {
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
  if (dos == nullptr || dos->e_magic != IMAGE_DOS_SIGNATURE) return;
  const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(reinterpret_cast<const char*>(module) + dos->e_lfanew);
  engineCodeStart_ = reinterpret_cast<std::uintptr_t>(module);
  engineCodeEnd_ = reinterpret_cast<std::uintptr_t>(module) + headers->OptionalHeader.SizeOfImage;
}

// Called with the thread suspended.
bool TScriptThread::atSafePoint() {
  CONTEXT context{};
  context.ContextFlags = CONTEXT_CONTROL;
  if (!GetThreadContext(thread_.get(), &context)) return false;
  const std::uintptr_t at = static_cast<std::uintptr_t>(context.Rip);
  return at >= engineCodeStart_.load() && at < engineCodeEnd_.load();
}

void TScriptThread::endThread() {
  stopped_ = true;
  for (int attempt = 1;; ++attempt) {
    if (SuspendThread(thread_.get()) == static_cast<DWORD>(-1)) return;
    if (atSafePoint() || attempt == safePointTries) break;
    ResumeThread(thread_.get());
    Sleep(1);
  }
  // A thread never caught in the engine's own code waits in the system (a
  // script's own dialog): it is ended all the same, since going on later it
  // would write into the abandoned call's variables. Its references, its
  // engine and its stack are lost with it; that is what frees the program.
  TerminateThread(thread_.get(), 1);
  WaitForSingleObject(thread_.get(), INFINITE);
}
