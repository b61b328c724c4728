// Loads currency tables of 50,000 to 200,000 lines in the "yyyymmdd,c"
// format, as a dated value series and through the currency-table cache
// (which also makes the inverse table), beside the time to merely read the
// same bytes: the load must grow linearly with the file.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "model/Directories.h"
#include "model/Forex.h"
#include "platform/CalendarDates.h"
#include "platform/FileSystem.h"
#include "platform/FloatingPoint.h"
#include "platform/SequentialFile.h"

namespace {

constexpr int rounds = 3;

std::string makeFileText(int lines) {
  double first = 0;
  encodeDate(1700, 1, 1, first);
  std::string text;
  char line[64];
  for (int i = 0; i < lines; ++i) {
    int year = 0, month = 0, day = 0;
    decodeDate(first + i, year, month, day);
    std::snprintf(line, sizeof line, "%04d%02d%02d,%.4f\r\n", year, month, day, 1.05 + (i % 2000) * 0.0001);
    text += line;
  }
  return text;
}

// False when a load failed.
bool run(const std::string& folder, int lines) {
  const std::string fileName = folder + "EURtoUSD.CSV";
  const std::string text = makeFileText(lines);
  writeFileAtomically(fileName, text);
  const double megabytes = static_cast<double>(text.size()) / (1 << 20);

  std::vector<char> buffer(1 << 16);
  const double rawRead = bestTime(rounds, [&] {
    TSequentialFile file;
    file.open(fileName);
    while (file.read(buffer.data(), buffer.size()) > 0) {
    }
  });
  const TQuoteFormat format = compileQuoteFormat(TForexTables::defaultFormat, false);
  THistory history;
  int result = 0;
  const double load = bestTime(rounds, [&] { result = history.load(fileName, format); });
  const bool loaded = result == 0 && history.count() == lines;
  const double firstSearch = bestTime(rounds, [&] {
    history.load(fileName, format);
    history.indexOfDate(history.records()[lines / 2].Date);
  }) - load;

  // getTable(USD, EUR) reads EURtoUSD.CSV and inverts it.
  double loadTime = 0;
  const double table = bestTime(rounds, [&] {
    forexTables().clearTables();
    result = forexTables().getTable("USD", "EUR", nullptr, nullptr, loadTime);
  });
  std::printf("%7d lines %5.1f MB: raw read %.4f s | load %.3f s (%.0f MB/s, %.0f ns/line) | first search sorts"
              " %.3f s | table with its inverse %.3f s%s\n",
              lines, megabytes, rawRead, load, megabytes / load, load * 1e9 / lines, firstSearch, table,
              loaded && result >= 0 ? "" : " FAILED");
  deleteFile(fileName);
  return loaded && result >= 0;
}

}  // namespace

int main() {
  setExtendedPrecision();
  char temporary[MAX_PATH];
  GetTempPathA(MAX_PATH, temporary);
  const std::string folder = std::string(temporary) + "kestrova-forex-bench\\";
  createFolder(folder);
  setDirectory("<FOREX>", folder);
  bool allLoaded = true;
  for (int lines : {50000, 100000, 200000}) allLoaded = run(folder, lines) && allLoaded;
  forexTables().clearTables();
  removeFolder(folder);
  return allLoaded ? 0 : 1;
}
