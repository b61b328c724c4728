#include "TestWatchdog.h"

#include <cstdio>

namespace {

// Distinct from a failed test's 1, so a run's log tells a hang or a crash
// from a failure.
constexpr UINT hangExitCode = 124;
constexpr UINT crashExitCode = 125;

// The system's crash filter is a plain function: it finds the watchdog here.
TTestWatchdog* installedWatchdog = nullptr;

}  // namespace

TTestWatchdog::TTestWatchdog(std::chrono::seconds bound) : bound_(bound), thread_([this] { watch(); }) {
  installedWatchdog = this;
  SetUnhandledExceptionFilter(&TTestWatchdog::crashed);
}

LONG WINAPI TTestWatchdog::crashed(EXCEPTION_POINTERS* exception) {
  const std::string test = installedWatchdog ? installedWatchdog->runningTest() : std::string();
  std::fprintf(stderr, "\n[  CRASHED ] %s: exception %08lx at %p; the test program stops here.\n",
               test.empty() ? "(between tests)" : test.c_str(), exception->ExceptionRecord->ExceptionCode,
               exception->ExceptionRecord->ExceptionAddress);
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
