#pragma once
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include <gtest/gtest.h>
#include <windows.h>

// How long one test may run: far above the slowest test on a loaded
// machine (close to two minutes beside a full processor load at a load of
// 50, for a test that starts the program four times). A test's own waits
// for something slow stay well below it all together, so that one that gave
// up says what it waited for before the watchdog ends the program.
inline constexpr std::chrono::seconds testTimeBound{300};

// Ends the test program when one test runs far longer than any test should:
// a window test waiting for a message that never comes would otherwise sit
// idle until the test runner's own time-out, and only that bound would say
// which test it was. Prints the test's name and ends with a failure code.
// A crash is reported the same way: without a debugger to take it, Wine's
// would start one, which stops the whole program where it stands.
//
// The stuck or crashed thread may hold any lock, the C runtime's own among
// them (a test stuck in a print holds the output stream's; a fault inside
// the allocator, the heap's): the report is made without printing through
// the runtime or allocating, written straight to the error handle.
class TTestWatchdog : public testing::EmptyTestEventListener {
 public:
  explicit TTestWatchdog(std::chrono::seconds bound);
  ~TTestWatchdog() override;
  TTestWatchdog(const TTestWatchdog&) = delete;
  TTestWatchdog& operator=(const TTestWatchdog&) = delete;

  void OnTestStart(const testing::TestInfo& test) override;
  void OnTestEnd(const testing::TestInfo& test) override;
  static LONG WINAPI crashed(EXCEPTION_POINTERS* exception);

 private:
  void watch();

  const std::chrono::seconds bound_;
  const HANDLE errorOutput_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::string running_;  // empty between tests
  std::string hangReport_;  // made when the test starts
  unsigned long long startedTests_ = 0;
  std::chrono::steady_clock::time_point started_;
  bool watching_ = false;
  bool stopping_ = false;
  std::thread thread_;
  void* faultHandler_;
};
