// The idle turn over the downloader's two events while 1,000 posted mouse
// moves are drained: every message is followed by one idle turn, as when
// the application goes idle after each.
#include <cstdio>

#include <windows.h>

#include "app/IdleEvents.h"
#include "bench/BenchTiming.h"

int main() {
  HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  HANDLE data = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE list = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  int reloads = 0;
  TIdleEvents idle;
  idle.dataReload = data;
  idle.listReload = list;
  idle.onListReload = [&] { ++reloads; };
  const TBenchTimes drain = timeRounds(9, [&] {
    for (int i = 0; i < 1000; ++i) PostMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(i % 300, i % 200));
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      DispatchMessageA(&message);
      idle.poll();
    }
  });
  std::printf("1,000 posted mouse moves drained with an idle turn after each: %s\n", microseconds(drain).c_str());
  CloseHandle(data);
  CloseHandle(list);
  DestroyWindow(window);
  return reloads;
}
