#include "TestWatchdog.h"

#include <algorithm>
#include <cstdio>

namespace {

// Distinct from a failed test's 1, so a run's log tells a hang or a crash
// from a failure.
constexpr UINT hangExitCode = 124;
constexpr UINT crashExitCode = 125;

// The system's crash filter is a plain function: it finds the watchdog here.
TTestWatchdog* installedWatchdog = nullptr;

void writeAll(HANDLE output, const char* text, size_t length) {
  DWORD written = 0;
  WriteFile(output, text, static_cast<DWORD>(length), &written, nullptr);
}

// Formats into a buffer on the stack, which snprintf fills without a lock or
// an allocation.
template <class... Arguments>
void report(HANDLE output, const char* format, Arguments... arguments) {
  char text[MAX_PATH + 256];
  const int length = std::snprintf(text, sizeof text, format, arguments...);
  if (length > 0) writeAll(output, text, std::min(static_cast<size_t>(length), sizeof text - 1));
}

// The crashed thread's calls, as module and offset (the executable keeps its
// symbol table, so nm names them), unwound from the crash's own context.
void printCallStack(HANDLE output, const CONTEXT& crashContext) {
  CONTEXT context = crashContext;
  for (int frame = 0; frame < 24 && context.Rip != 0; ++frame) {
    HMODULE module = nullptr;
    char name[MAX_PATH] = "?";
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCSTR>(context.Rip), &module))
      GetModuleFileNameA(module, name, MAX_PATH);
    report(output, "    #%-2d %016llx %s\n", frame, static_cast<unsigned long long>(context.Rip), name);
    DWORD64 imageBase = 0;
    RUNTIME_FUNCTION* function = RtlLookupFunctionEntry(context.Rip, &imageBase, nullptr);
    if (!function) {  // a leaf function: its return address is on top of the stack
      context.Rip = *reinterpret_cast<DWORD64*>(context.Rsp);
      context.Rsp += sizeof(DWORD64);
      continue;
    }
    void* handlerData = nullptr;
    DWORD64 establisherFrame = 0;
    RtlVirtualUnwind(UNW_FLAG_NHANDLER, imageBase, context.Rip, function, &context, &handlerData, &establisherFrame,
                     nullptr);
  }
}

// A fault in the program's own code. Thrown C++ exceptions are not faults,
// and neither are the system's own probes of memory it guards itself.
bool isOwnFault(const EXCEPTION_RECORD& record) {
  switch (record.ExceptionCode) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_STACK_OVERFLOW:
      break;
    default:
      return false;
  }
  HMODULE module = nullptr;
  return GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCSTR>(record.ExceptionAddress), &module) &&
         module == GetModuleHandleA(nullptr);
}

LONG WINAPI ownFaultSeen(EXCEPTION_POINTERS* exception) {
  return isOwnFault(*exception->ExceptionRecord) ? TTestWatchdog::crashed(exception) : EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

// A fault inside a window procedure never reaches the crash filter: the
// system swallows it where it called the procedure and goes on with whatever
// the fault left half done. So faults are caught where they happen.
TTestWatchdog::TTestWatchdog(std::chrono::seconds bound)
    : bound_(bound),
      errorOutput_(GetStdHandle(STD_ERROR_HANDLE)),
      thread_([this] { watch(); }),
      faultHandler_(AddVectoredExceptionHandler(1, &ownFaultSeen)) {
  installedWatchdog = this;
  SetUnhandledExceptionFilter(&TTestWatchdog::crashed);
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return watching_; });
}

LONG WINAPI TTestWatchdog::crashed(EXCEPTION_POINTERS* exception) {
  const HANDLE output = GetStdHandle(STD_ERROR_HANDLE);
  // A crash inside the watchdog's own lock must not wait for it.
  std::unique_lock<std::mutex> lock;
  if (installedWatchdog) lock = std::unique_lock(installedWatchdog->mutex_, std::try_to_lock);
  const char* test = lock.owns_lock() && !installedWatchdog->running_.empty() ? installedWatchdog->running_.c_str()
                                                                               : "(between tests)";
  report(output, "\n[  CRASHED ] %.200s: exception %08lx at %p; the test program stops here.\n", test,
         exception->ExceptionRecord->ExceptionCode, exception->ExceptionRecord->ExceptionAddress);
  printCallStack(output, *exception->ContextRecord);
  TerminateProcess(GetCurrentProcess(), crashExitCode);
  return EXCEPTION_EXECUTE_HANDLER;
}

TTestWatchdog::~TTestWatchdog() {
  SetUnhandledExceptionFilter(nullptr);
  RemoveVectoredExceptionHandler(faultHandler_);
  installedWatchdog = nullptr;
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void TTestWatchdog::OnTestStart(const testing::TestInfo& test) {
  std::string name = std::string(test.test_suite_name()) + "." + test.name();
  std::string hangReport = "\n[  HANGING ] " + name + " still running after " + std::to_string(bound_.count()) +
                           " s; the test program stops here.\n";
  {
    std::lock_guard lock(mutex_);
    running_.swap(name);
    hangReport_.swap(hangReport);
    ++startedTests_;
    started_ = std::chrono::steady_clock::now();
  }
  changed_.notify_all();
}

void TTestWatchdog::OnTestEnd(const testing::TestInfo&) {
  {
    std::lock_guard lock(mutex_);
    running_.clear();
  }
  changed_.notify_all();
}

// Between its waits the watchdog allocates nothing: a hung test may have
// left the heap locked at any moment, even as the watchdog woke.
void TTestWatchdog::watch() {
  std::unique_lock lock(mutex_);
  // What its waits need the thread sets up on its first (the runtime makes
  // some of it on first use), while no test runs that could hold the heap.
  changed_.wait_for(lock, std::chrono::milliseconds(0));
  watching_ = true;
  changed_.notify_all();
  for (;;) {
    if (stopping_) return;
    if (running_.empty()) {
      changed_.wait(lock);
      continue;
    }
    const unsigned long long test = startedTests_;
    const auto deadline = started_ + bound_;
    if (changed_.wait_until(lock, deadline) == std::cv_status::timeout && !running_.empty() &&
        startedTests_ == test && std::chrono::steady_clock::now() >= deadline && !stopping_) {
      writeAll(errorOutput_, hangReport_.data(), hangReport_.size());
      // The stuck thread may hold any lock, the loader's included: no
      // orderly exit, which would wait for it.
      TerminateProcess(GetCurrentProcess(), hangExitCode);
    }
  }
}
