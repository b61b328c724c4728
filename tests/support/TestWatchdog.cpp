#include "TestWatchdog.h"

#include <cstdio>

namespace {

// Distinct from a failed test's 1, so a run's log tells a hang or a crash
// from a failure.
constexpr UINT hangExitCode = 124;
constexpr UINT crashExitCode = 125;

// The system's crash filter is a plain function: it finds the watchdog here.
TTestWatchdog* installedWatchdog = nullptr;

// The crashed thread's calls, as module and offset (the executable keeps its
// symbol table, so nm names them), unwound from the crash's own context.
void printCallStack(const CONTEXT& crashContext) {
  CONTEXT context = crashContext;
  for (int frame = 0; frame < 24 && context.Rip != 0; ++frame) {
    HMODULE module = nullptr;
    char name[MAX_PATH] = "?";
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCSTR>(context.Rip), &module))
      GetModuleFileNameA(module, name, MAX_PATH);
    std::fprintf(stderr, "    #%-2d %016llx %s\n", frame, static_cast<unsigned long long>(context.Rip), name);
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
    : bound_(bound), thread_([this] { watch(); }), faultHandler_(AddVectoredExceptionHandler(1, &ownFaultSeen)) {
  installedWatchdog = this;
  SetUnhandledExceptionFilter(&TTestWatchdog::crashed);
}

LONG WINAPI TTestWatchdog::crashed(EXCEPTION_POINTERS* exception) {
  const std::string test = installedWatchdog ? installedWatchdog->runningTest() : std::string();
  std::fprintf(stderr, "\n[  CRASHED ] %s: exception %08lx at %p; the test program stops here.\n",
               test.empty() ? "(between tests)" : test.c_str(), exception->ExceptionRecord->ExceptionCode,
               exception->ExceptionRecord->ExceptionAddress);
  printCallStack(*exception->ContextRecord);
  std::fflush(stdout);
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), crashExitCode);
  return EXCEPTION_EXECUTE_HANDLER;
}

std::string TTestWatchdog::runningTest() {
  // A crash inside the watchdog's own lock must not wait for it.
  std::unique_lock lock(mutex_, std::try_to_lock);
  return lock.owns_lock() ? running_ : std::string();
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
  {
    std::lock_guard lock(mutex_);
    running_ = std::string(test.test_suite_name()) + "." + test.name();
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

void TTestWatchdog::watch() {
  std::unique_lock lock(mutex_);
  for (;;) {
    if (stopping_) return;
    if (running_.empty()) {
      changed_.wait(lock);
      continue;
    }
    const std::string test = running_;
    const auto deadline = started_ + bound_;
    if (changed_.wait_until(lock, deadline) == std::cv_status::timeout && running_ == test &&
        std::chrono::steady_clock::now() >= deadline && !stopping_) {
      std::fprintf(stderr, "\n[  HANGING ] %s still running after %lld s; the test program stops here.\n",
                   test.c_str(), static_cast<long long>(bound_.count()));
      std::fflush(stdout);
      std::fflush(stderr);
      // The stuck thread may hold any lock, the loader's included: no
      // orderly exit, which would wait for it.
      TerminateProcess(GetCurrentProcess(), hangExitCode);
    }
  }
}
