#pragma once
// What the tests of the program itself share: Kestrova.exe started in a
// working folder of its own, and ways to wait for its windows and drive
// them as a user does.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "tests/support/TestFolders.h"
#include "tests/support/TestWatchdog.h"
#include "tests/support/WindowTestSupport.h"

// The program the build made, as a Windows path.
std::string programPath();

// How long the waits for the program bear together in one test: on a
// machine busy with the other test programs side by side a start has taken
// longer than 30 s, and the other steps slow down alike, so a test that
// starts the program four times takes minutes. A wait ends as soon as what
// it waits for comes, so only a program that hangs takes what is left; and
// the waits together end well inside the test's own bound, however many
// there are, so that the failure says what did not come.
inline constexpr std::chrono::milliseconds testWaits = testTimeBound * 3 / 4;
// What the current test has left of testWaits, in milliseconds: the bound
// of its next wait.
int busyMachine();

// A started Kestrova.exe, ended when the test leaves it running.
class TProgram {
 public:
  explicit TProgram(const std::string& workingFolder, const std::string& executable = programPath(),
                    const std::string& arguments = {}) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string command = "\"" + executable + "\"" + (arguments.empty() ? "" : " " + arguments);
    started_ = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, workingFolder.c_str(),
                              &startup, &info_) != FALSE;
  }
  ~TProgram() {
    if (!started_) return;
    if (running()) {
      TerminateProcess(info_.hProcess, 1);
      WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  bool started() const { return started_; }
  bool running() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
  bool waitForEnd(int milliseconds) const { return WaitForSingleObject(info_.hProcess, milliseconds) == WAIT_OBJECT_0; }
  DWORD id() const { return info_.dwProcessId; }
  DWORD exitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
  }
  // Whether the program ended, and ended as a program that was closed
  // does: a crash ends it too, with a code of its own.
  ::testing::AssertionResult endedCleanly() const {
    const int bound = busyMachine();
    if (!waitForEnd(bound))
      return ::testing::AssertionFailure() << "the program did not end within " << bound / 1000 << " s";
    if (exitCode() != 0) return ::testing::AssertionFailure() << "the program ended with exit code " << exitCode();
    return ::testing::AssertionSuccess();
  }

  // The program's visible top-level windows.
  std::vector<HWND> windows() const {
    std::pair<DWORD, std::vector<HWND>> search{id(), {}};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
          auto& [process, found] = *reinterpret_cast<std::pair<DWORD, std::vector<HWND>>*>(data);
          DWORD owner = 0;
          GetWindowThreadProcessId(window, &owner);
          if (owner == process && IsWindowVisible(window)) found.push_back(window);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
  }
  HWND windowTitled(const std::string& prefix) const {
    for (HWND window : windows()) {
      char text[256] = {};
      GetWindowTextA(window, text, sizeof text);
      if (std::string(text).rfind(prefix, 0) == 0) return window;
    }
    return nullptr;
  }
  // nullptr when no such window comes within the time.
  HWND windowWithin(const std::string& prefix, int milliseconds) const {
    HWND found = nullptr;
    pumpUntil([&] { return (found = windowTitled(prefix)) != nullptr; }, milliseconds);
    return found;
  }
  // The same for a window the test needs: one that does not come is a
  // failure that names it.
  HWND waitForWindow(const std::string& prefix, int milliseconds) const {
    HWND found = windowWithin(prefix, milliseconds);
    if (found == nullptr) ADD_FAILURE() << "no window \"" << prefix << "\" within " << milliseconds / 1000 << " s";
    return found;
  }

 private:
  PROCESS_INFORMATION info_{};
  bool started_ = false;
};

// A working folder as the run command makes it: the sample, the folders it
// leaves out, and the two directories that get no default.
std::string prepareWorkingFolder(const TTemporaryFolder& temporary);
std::vector<std::string> childTexts(HWND window);
// The first child window of a class whose text is given (any text when
// empty); with shownOnly, the first one the user can see (another tab may
// hold a window of the same name).
HWND childWindow(HWND parent, const std::string& className, const std::string& text = {}, bool shownOnly = false);
// A click as the mouse gives it, at a point of the window's client area.
void postClick(HWND window, int x, int y);
// Every file under a folder with its bytes, by its path below the folder.
void readTree(const std::string& folder, const std::string& below, std::map<std::string, std::string>& files);
// Starts the program on work, takes the portfolios ticked, waits for the
// main window and closes it; false, with the reason, when a step does not
// come within its time.
::testing::AssertionResult startAndClose(const std::string& work);
// The main window's tabs in turn, as the arrow keys move through them.
bool showMainTab(HWND tabs, LRESULT wanted);
// The folder of the test program, where the build puts its helpers.
std::string testFolder();
// The main window, once Enter took the portfolio pick as it stands; none
// when a step does not come within its time. Its title names the current
// portfolio unless the Portfolios window could not show one.
HWND mainWindowAfterThePick(const TProgram& program, const std::string& title = "Kestrova: ");
// On the Downloads tab: the list view is the one with a single column; a
// click on its first row gives it the focus, and Update queues the checked
// lists.
void clickUpdateOnTheCheckedLists(HWND main);

// The user's own files, by name: what the program must never change
// because a layout file was damaged. The windows' own files (layouts, and
// field definitions whose sizes follow the layout) are not among them.
std::map<std::string, std::string> userFiles(const std::string& work);

// What a user types into the Macros window's test sheet, and what it shows.
struct TTypedCells {
  std::string number, formula, shownNumber;
};

// Gives the test sheet's first cells a number and a formula as the user
// types them, and reads the number back as the editor line shows it.
void typeIntoTheMacroSheet(HWND main, const TTypedCells& typed);
