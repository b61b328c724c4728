#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/TestFolders.h"
#include "tests/support/TestWatchdog.h"

namespace {

// A test that hangs or crashes must end the program even when a thread
// holds a lock the C runtime takes to print or to allocate. The hidden
// cases hang so under a watchdog of their own with a short bound, told that
// they have started, or crash; asked for by name, each runs in a program of
// its own.
void startShortWatchdog(std::unique_ptr<TTestWatchdog>& watchdog) {
  watchdog = std::make_unique<TTestWatchdog>(std::chrono::seconds(1));
  watchdog->OnTestStart(*testing::UnitTest::GetInstance()->current_test_info());
}

// This program running the hidden case `name` alone, its output going into
// `outputFile`.
struct THiddenRun {
  THiddenRun(const std::string& name, const std::string& outputFile) {
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    output = CreateFileA(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS, 0, nullptr);
    char program[MAX_PATH];
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string command =
        std::string("\"") + program + "\" --gtest_also_run_disabled_tests --gtest_filter=TestWatchdog." + name;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = output;
    started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
  }
  ~THiddenRun() {
    if (started) {
      TerminateProcess(process.hProcess, 1);
      CloseHandle(process.hThread);
      CloseHandle(process.hProcess);
    }
    CloseHandle(output);
  }
  THiddenRun(const THiddenRun&) = delete;
  THiddenRun& operator=(const THiddenRun&) = delete;

  // The exit code, or STILL_ACTIVE when the program still runs at the deadline.
  DWORD exitCode(std::chrono::steady_clock::time_point deadline) {
    using std::chrono::milliseconds;
    const auto left = std::chrono::duration_cast<milliseconds>(deadline - std::chrono::steady_clock::now()).count();
    DWORD code = STILL_ACTIVE;
    if (started && WaitForSingleObject(process.hProcess, static_cast<DWORD>(std::max<long long>(left, 0))) ==
                       WAIT_OBJECT_0)
      GetExitCodeProcess(process.hProcess, &code);
    return code;
  }

  HANDLE output;
  PROCESS_INFORMATION process{};
  bool started = false;
};

}  // namespace

TEST(TestWatchdog, DISABLED_HangsHoldingStdoutsLock) {
  std::unique_ptr<TTestWatchdog> watchdog;
  startShortWatchdog(watchdog);
  _lock_file(stdout);  // as a print to a pipe nobody reads would hold it
  Sleep(INFINITE);
}

TEST(TestWatchdog, DISABLED_HangsHoldingTheHeapLocks) {
  std::unique_ptr<TTestWatchdog> watchdog;
  startShortWatchdog(watchdog);
  HANDLE heaps[64];
  const DWORD count = GetProcessHeaps(64, heaps);
  for (DWORD i = 0; i < count && i < 64; ++i) HeapLock(heaps[i]);
  Sleep(INFINITE);
}

TEST(TestWatchdog, DISABLED_CrashesWhileAnotherThreadHoldsStdoutsLock) {
  HANDLE locked = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::thread([locked] {
    _lock_file(stdout);
    SetEvent(locked);
    Sleep(INFINITE);
  }).detach();
  WaitForSingleObject(locked, INFINITE);
  volatile int* nowhere = nullptr;
  *nowhere = 1;
}

TEST(TestWatchdog, EndsATestThatHangsOrCrashesHoldingTheRuntimesLocks) {
  struct TCase {
    const char* name;
    DWORD exitCode;
    const char* report;
  };
  const TCase cases[] = {
      {"DISABLED_HangsHoldingStdoutsLock", 124, "[  HANGING ] TestWatchdog.DISABLED_HangsHoldingStdoutsLock still "
                                                "running after 1 s"},
      {"DISABLED_HangsHoldingTheHeapLocks", 124, "[  HANGING ] TestWatchdog.DISABLED_HangsHoldingTheHeapLocks still "
                                                 "running after 1 s"},
      {"DISABLED_CrashesWhileAnotherThreadHoldsStdoutsLock", 125,
       "[  CRASHED ] TestWatchdog.DISABLED_CrashesWhileAnotherThreadHoldsStdoutsLock: exception c0000005"},
  };
  TTemporaryFolder folder;
  {
    std::vector<std::unique_ptr<THiddenRun>> runs;
    for (int run = 0; run < 3; ++run)
      runs.push_back(std::make_unique<THiddenRun>(cases[run].name, folder.path() + std::to_string(run) + ".txt"));
    // Far more than a few program starts and the bound on a busy machine,
    // far less than the bound of the test running them.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(45);
    for (int run = 0; run < 3; ++run) EXPECT_EQ(runs[run]->exitCode(deadline), cases[run].exitCode) << cases[run].name;
  }
  for (int run = 0; run < 3; ++run) {
    const std::string output = readWholeFile(folder.path() + std::to_string(run) + ".txt");
    EXPECT_NE(output.find(cases[run].report), std::string::npos) << output;
  }
}
