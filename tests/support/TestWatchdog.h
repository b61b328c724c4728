#pragma once
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include <gtest/gtest.h>
#include <windows.h>

// Ends the test program when one test runs far longer than any test should:
// a window test waiting for a message that never comes would otherwise sit
// idle until the test runner's own time-out, and only that bound would say
// which test it was. Prints the test's name and ends with a failure code.
// A crash is reported the same way: without a debugger to take it, Wine's
// would start one, which stops the whole program where it stands.
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
  std::string runningTest();

  const std::chrono::seconds bound_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::string running_;  // empty between tests
  std::chrono::steady_clock::time_point started_;
  bool stopping_ = false;
  std::thread thread_;
  void* faultHandler_;
};
