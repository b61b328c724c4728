// Loads settings files of 5, 10 and 20 MB (one section of many keys plus
// 2,000 small sections), reads every key back, writes one key and saves;
// prints each step's time beside the time to merely read the file's bytes,
// so that growth with the file size can be compared.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "model/PortableIniFile.h"
#include "platform/FileSystem.h"

namespace {

constexpr int smallSections = 2000;
constexpr int keysPerSmallSection = 20;

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
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

// False when the file did not load whole or did not save.
bool run(const std::string& fileName, int bigKeys) {
  std::string text = makeFileText(bigKeys);
  writeFileAtomically(fileName, text);
  double megabytes = static_cast<double>(text.size()) / (1 << 20);

  std::string bytes;
  auto start = std::chrono::steady_clock::now();
  readFileBytes(fileName, bytes);
  double rawRead = secondsSince(start);

  start = std::chrono::steady_clock::now();
  auto total = start;
  TPortableIniFile ini(fileName);
  double load = secondsSince(start);

  start = std::chrono::steady_clock::now();
  size_t found = 0;
  for (int i = 0; i < bigKeys; ++i) found += !ini.readString("Big", bigKey(i), "").empty();
  for (int s = 0; s < smallSections; ++s)
    for (int k = 0; k < keysPerSmallSection; ++k) found += !ini.readString(smallSection(s), smallKey(k), "").empty();
  double reads = secondsSince(start);

  start = std::chrono::steady_clock::now();
  ini.writeString("Big", bigKey(bigKeys / 2), "changed");
  bool saved = ini.updateFile();
  double save = secondsSince(start);
  double whole = secondsSince(total);

  const bool ok = saved && found == static_cast<size_t>(bigKeys) + smallSections * keysPerSmallSection;
  std::printf("%6.1f MB %7d keys: raw read %.3f s | load %.3f s (%.0f MB/s) | %zu reads %.3f s | write+save %.3f s"
              " | whole %.3f s (%.0f MB/s)%s\n",
              megabytes, bigKeys, rawRead, load, megabytes / load, found, reads, save, whole, megabytes / whole,
              ok ? "" : " FAILED");
  return ok;
}

}  // namespace

int main() {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  std::string fileName = std::string(folder) + "kestrova-ini-bench.ini";
  bool allPassed = true;
  for (int bigKeys : {50000, 100000, 200000}) allPassed = run(fileName, bigKeys) && allPassed;
  deleteFile(fileName);
  return allPassed ? 0 : 1;
}
