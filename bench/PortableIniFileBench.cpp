// Loads settings files of 5, 10 and 20 MB (one section of many keys plus
// 2,000 small sections), reads every key back, writes one key and saves;
// prints each step's time beside the time to merely read the file's bytes,
// so that growth with the file size can be compared. A save must stay well
// below a load of the same file, and a file held must not cost much more
// memory than its entries did before its text was kept for rewrites: both
// figures print beside their goals.
#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "model/PortableIniFile.h"
#include "platform/FileSystem.h"

namespace {

const int smallSections = benchSize(2000, 100);
constexpr int keysPerSmallSection = 20;
constexpr int rounds = 5;
// A save writes the text it holds; it parses nothing.
constexpr double saveToLoadGoal = 0.5;
// Memory a file held takes per byte of the file: 3.4 before its text was
// kept (measured with this benchmark), and at most a fifth more since.
constexpr double heldPerFileByteBefore = 3.4;
constexpr double heldGrowthGoal = 1.2;

// Committed memory: Wine reports no private bytes apart.
size_t privateBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  K32GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
  return counters.PagefileUsage;
}

std::string numbered(const char* prefix, int n) { return std::string(prefix).append(std::to_string(n)); }
std::string bigKey(int i) { return numbered("Transaction", i); }
std::string smallSection(int s) { return numbered("Asset ", s); }
std::string smallKey(int k) { return numbered("Property", k); }

std::string makeFileText(int bigKeys) {
  std::string text = "[Big]\r\n";
  for (int i = 0; i < bigKeys; ++i)
    text.append(bigKey(i)).append("=").append(std::to_string(i * 7))
        .append(";2024-01-15;Purchase of shares at the exchange;1234.5600;EUR;settled;no remarks\r\n");
  text += "\r\n";
  for (int s = 0; s < smallSections; ++s) {
    text.append("[").append(smallSection(s)).append("]\r\n");
    for (int k = 0; k < keysPerSmallSection; ++k) text.append(smallKey(k)).append("=  value ").append(std::to_string(s * k)).append(" \r\n");
    text += "\r\n";
  }
  return text;
}

// What a file of that many keys takes held in memory, printed beside its
// goal. Measured first, on a heap that has freed nothing yet, which a
// later figure would reuse.
void printHeld(const std::string& fileName, int bigKeys) {
  const std::string text = makeFileText(bigKeys);
  writeFileAtomically(fileName, text);
  const double megabytes = static_cast<double>(text.size()) / (1 << 20);
  const size_t before = privateBytes();
  const TPortableIniFile ini(fileName);
  const double held = static_cast<double>(privateBytes() - before) / (1 << 20);
  std::printf("%6.1f MB %7d keys held in %.0f MB, %.1f x the file (goal at most %.1f x)\n", megabytes, bigKeys, held,
              held / megabytes, heldGrowthGoal * heldPerFileByteBefore);
}

// False when the file did not load whole or did not save.
bool run(const std::string& fileName, int bigKeys) {
  std::string text = makeFileText(bigKeys);
  writeFileAtomically(fileName, text);
  double megabytes = static_cast<double>(text.size()) / (1 << 20);

  std::string bytes;
  const TBenchTimes rawRead = timeRounds(rounds, [&] { readFileBytes(fileName, bytes); });

  // Each round a fresh load of the file the round before saved.
  std::vector<double> loads, readings, saves, wholes;
  std::unique_ptr<TPortableIniFile> ini;
  size_t found = 0;
  bool saved = true;
  for (int round = 0; round < benchRounds(rounds); ++round) {
    ini.reset();
    auto start = std::chrono::steady_clock::now();
    const auto total = start;
    ini = std::make_unique<TPortableIniFile>(fileName);
    loads.push_back(secondsSince(start));

    start = std::chrono::steady_clock::now();
    found = 0;
    for (int i = 0; i < bigKeys; ++i) found += !ini->readString("Big", bigKey(i), "").empty();
    for (int s = 0; s < smallSections; ++s)
      for (int k = 0; k < keysPerSmallSection; ++k) found += !ini->readString(smallSection(s), smallKey(k), "").empty();
    readings.push_back(secondsSince(start));

    start = std::chrono::steady_clock::now();
    ini->writeString("Big", bigKey(bigKeys / 2), "changed " + std::to_string(round));
    saved = ini->updateFile() && saved;
    saves.push_back(secondsSince(start));
    wholes.push_back(secondsSince(total));
  }

  const bool ok = saved && found == static_cast<size_t>(bigKeys) + smallSections * keysPerSmallSection;
  const TBenchTimes load = summarised(loads);
  const TBenchTimes whole = summarised(wholes);
  std::printf("%6.1f MB %7d keys%s\n", megabytes, bigKeys, ok ? "" : " FAILED");
  std::printf("  raw read      %s\n", microseconds(rawRead).c_str());
  std::printf("  load          %s (%.0f MB/s)\n", microseconds(load).c_str(), megabytes / load.least);
  std::printf("  %zu reads %s\n", found, microseconds(summarised(readings)).c_str());
  const TBenchTimes save = summarised(saves);
  std::printf("  write+save    %s, %.2f x the load (goal at most %.1f)\n", microseconds(save).c_str(),
              save.least / load.least, saveToLoadGoal);
  std::printf("  whole         %s (%.0f MB/s)\n", microseconds(whole).c_str(), megabytes / whole.least);
  return ok;
}

}  // namespace

int main() {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  std::string fileName = std::string(folder) + "kestrova-ini-bench.ini";
  printHeld(fileName, benchSize(200000, 8000));
  bool allPassed = true;
  for (int bigKeys : {benchSize(50000, 2000), benchSize(100000, 4000), benchSize(200000, 8000)})
    allPassed = run(fileName, bigKeys) && allPassed;
  deleteFile(fileName);
  return allPassed ? 0 : 1;
}
