#pragma once
// Drives the program itself for the start benchmarks: starts it in a working
// folder, waits for its windows by their titles, accepts the pick dialog and
// watches the process's memory and processor time.
#include <windows.h>
#include <psapi.h>

#include <string>

#include "bench/PortfolioFixture.h"

// Wine's drive Z: is the Unix root.
inline std::string windowsPath(const std::string& unixPath) {
  std::string path = "Z:";
  for (char c : unixPath) path += c == '/' ? '\\' : c;
  return path;
}

inline HWND windowOf(DWORD process, const std::string& titlePrefix) {
  struct TSearch {
    DWORD process;
    const std::string* prefix;
    HWND found;
  } search{process, &titlePrefix, nullptr};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto& s = *reinterpret_cast<TSearch*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != s.process || !IsWindowVisible(window)) return TRUE;
        char text[256] = {};
        GetWindowTextA(window, text, sizeof text);
        if (std::string(text).rfind(*s.prefix, 0) == 0) {
          s.found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

inline HWND waitForWindow(DWORD process, const std::string& titlePrefix, int seconds) {
  TStopwatch waiting;
  while (waiting.seconds() < seconds) {
    if (HWND window = windowOf(process, titlePrefix)) return window;
    // Each look asks the Wine server about every window: looking more
    // often slows the program watched.
    Sleep(20);
  }
  return nullptr;
}

// Kernel plus user time of a process, in seconds.
inline double processorSeconds(HANDLE process) {
  FILETIME created, ended, kernel, user;
  if (!GetProcessTimes(process, &created, &ended, &kernel, &user)) return -1;
  const auto seconds = [](const FILETIME& time) {
    return static_cast<double>((static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime) * 1e-7;
  };
  return seconds(kernel) + seconds(user);
}

inline double peakMegabytes(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!K32GetProcessMemoryInfo(process, &counters, sizeof counters)) return -1;
  return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

struct TStartFigures {
  double toPick = 0;       // process start to the pick dialog
  double toLoaded = 0;     // Return in the pick dialog to the portfolios shown
  double loadCpu = 0;      // processor seconds of that wait
  double peakMB = 0;       // peak working set once loaded
  double idleCpu = -1;     // processor seconds over the idle seconds asked for
};

// One start of the program in a working folder: the pick dialog is accepted
// with Return, and the wait ends when the main window's title begins with
// loadedTitle. With idleSeconds the loaded program is left alone that long.
inline bool timeStart(const std::string& work, const std::string& loadedTitle, TStartFigures& figures,
                      int idleSeconds = 0) {
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
    const double cpuBefore = processorSeconds(info.hProcess);
    TStopwatch loading;
    PostMessageA(pick, WM_KEYDOWN, VK_RETURN, 0);
    if (HWND main = waitForWindow(info.dwProcessId, loadedTitle, 1800)) {
      figures.toLoaded = loading.seconds();
      figures.loadCpu = processorSeconds(info.hProcess) - cpuBefore;
      if (idleSeconds > 0) {
        // Whatever the load left queued settles first.
        Sleep(2000);
        const double idleBefore = processorSeconds(info.hProcess);
        Sleep(static_cast<DWORD>(idleSeconds) * 1000);
        figures.idleCpu = processorSeconds(info.hProcess) - idleBefore;
      }
      figures.peakMB = peakMegabytes(info.hProcess);
      PostMessageA(main, WM_CLOSE, 0, 0);
      ok = true;
    }
  }
  if (WaitForSingleObject(info.hProcess, 120000) != WAIT_OBJECT_0) TerminateProcess(info.hProcess, 1);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return ok;
}
