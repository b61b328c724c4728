#pragma once
#include <algorithm>
#include <cstddef>
#include <thread>

// How many threads to spread a list of file look-ups or asks over. Under
// Wine each one mostly waits on the server, and threads side by side
// overlap their waits; below a few hundred files a thread costs more than
// it saves. 0 or 1: the caller's thread alone is worth it.
inline std::size_t threadsForFiles(std::size_t files) {
  constexpr std::size_t filesForAThread = 256;
  constexpr std::size_t mostThreads = 4;
  return std::min<std::size_t>({std::thread::hardware_concurrency(), files / filesForAThread, mostThreads});
}
