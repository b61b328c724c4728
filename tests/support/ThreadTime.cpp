#include "ThreadTime.h"

#include <windows.h>

std::chrono::duration<double> threadProcessorTime() {
  FILETIME creation, exit, kernel, user;
  if (!GetThreadTimes(GetCurrentThread(), &creation, &exit, &kernel, &user)) return {};
  const auto ticks = [](const FILETIME& time) {
    return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  };
  return std::chrono::duration<double>(static_cast<double>(ticks(kernel) + ticks(user)) * 1e-7);  // 100 ns ticks
}
