#pragma once
// Drives the program itself for the start benchmarks: starts it in a working
// folder, waits for its windows by their titles, accepts the pick dialog and
// reads the process's peak memory.
#include <windows.h>
#include <psapi.h>

#include <functional>
#include <string>
#include <vector>

#include "bench/PortfolioFixture.h"

// Wine's drive Z: is the Unix root.
inline std::string windowsPath(const std::string& unixPath) {
  std::string path = "Z:";
  for (char c : unixPath) path += c == '/' ? '\\' : c;
  return path;
}

// The visible top-level windows of a process. Each look asks the Wine server
// about every window of the desktop, two or three calls a window.
inline std::vector<HWND> windowsOf(DWORD process) {
  struct TSearch {
    DWORD process;
    std::vector<HWND> found;
  } search{process, {}};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto& s = *reinterpret_cast<TSearch*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == s.process && IsWindowVisible(window)) s.found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

inline bool titleBegins(HWND window, const std::string& prefix) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return std::string(text).rfind(prefix, 0) == 0;
}

// Looking at every window of the desktop 50 times a second kept the Wine
// server busier than the program watched, and the program's own calls
// waited behind it: the windows seen are read every 20 ms, the desktop only
// every 250 ms for new ones.
inline HWND waitForWindow(DWORD process, const std::string& titlePrefix, int seconds) {
  TStopwatch waiting;
  std::vector<HWND> seen;
  double nextLook = 0;
  while (waiting.seconds() < seconds) {
    if (waiting.seconds() >= nextLook) {
      seen = windowsOf(process);
      nextLook = waiting.seconds() + 0.25;
    }
    for (HWND window : seen)
      if (IsWindowVisible(window) && titleBegins(window, titlePrefix)) return window;
    Sleep(20);
  }
  return nullptr;
}

inline double peakMegabytes(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!K32GetProcessMemoryInfo(process, &counters, sizeof counters)) return -1;
  return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

struct TStartFigures {
  double toPick = 0;    // process start to the pick dialog
  double toLoaded = 0;  // Return in the pick dialog to the portfolios shown
  double peakMB = 0;    // peak working set once loaded
  double toClosed = 0;  // the close asked for to the process ended
};

// One start of the program in a working folder: the pick dialog is accepted
// with Return, and the wait ends when the main window's title begins with
// loadedTitle. Around the wait, and with the program loaded before it is
// closed, the caller's steps run (a caller watching the process from
// outside marks them).
struct TStartSteps {
  std::function<void()> beforeReturn;
  std::function<void()> whileLoaded;
};

// The wait for the loaded title is bounded by loadSeconds: a title that never
// comes (a folder whose portfolios cannot become current) ends the round as
// failed instead of hanging the benchmark.
inline bool timeStart(const std::string& work, const std::string& loadedTitle, TStartFigures& figures,
                      const TStartSteps& steps = {}, int loadSeconds = 300) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::string command = "\"";
  command += windowsPath(KESTROVA_EXE);
  command += '"';
  TStopwatch starting;
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, work.c_str(), &startup, &info))
    return false;
  bool ok = false;
  if (HWND pick = waitForWindow(info.dwProcessId, "Loaded portfolios", 60)) {
    figures.toPick = starting.seconds();
    if (steps.beforeReturn) steps.beforeReturn();
    TStopwatch loading;
    PostMessageA(pick, WM_KEYDOWN, VK_RETURN, 0);
    if (HWND main = waitForWindow(info.dwProcessId, loadedTitle, loadSeconds)) {
      figures.toLoaded = loading.seconds();
      if (steps.whileLoaded) steps.whileLoaded();
      figures.peakMB = peakMegabytes(info.hProcess);
      PostMessageA(main, WM_CLOSE, 0, 0);
      ok = true;
    }
  }
  TStopwatch closing;
  if (!ok || WaitForSingleObject(info.hProcess, 120000) != WAIT_OBJECT_0)
    TerminateProcess(info.hProcess, 1);
  else
    figures.toClosed = closing.seconds();
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return ok;
}
