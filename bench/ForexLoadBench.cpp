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

constexpr int rounds = 7;

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
  const TBenchTimes rawRead = timeRounds(rounds, [&] {
    TSequentialFile file;
    file.open(fileName);
    while (file.read(buffer.data(), buffer.size()) > 0) {
    }
  });
  const TQuoteFormat format = compileQuoteFormat(TForexTables::defaultFormat, false);
  THistory history;
  int result = 0;
  const TBenchTimes load = timeRounds(rounds, [&] { result = history.load(fileName, format); });
  bool loaded = result == 0 && history.count() == lines;
  const TBenchTimes firstSearch = timeRounds(
      rounds, [&] { history.load(fileName, format); },
      [&] { history.indexOfDate(history.records()[lines / 2].Date); });

  // getTable(USD, EUR) reads EURtoUSD.CSV and inverts it.
  double loadTime = 0;
  const TBenchTimes table = timeRounds(
      rounds, [] { forexTables().clearTables(); },
      [&] { result = forexTables().getTable("USD", "EUR", nullptr, nullptr, loadTime); });
  loaded = loaded && result >= 0;
  std::printf("%7d lines %5.1f MB%s\n", lines, megabytes, loaded ? "" : " FAILED");
  std::printf("  raw read                 %s\n", microseconds(rawRead).c_str());
  std::printf("  load                     %s (%.0f MB/s), a line %s\n", microseconds(load).c_str(),
              megabytes / load.least, microseconds(load.per(lines)).c_str());
  std::printf("  first search sorts       %s\n", microseconds(firstSearch).c_str());
  std::printf("  table with its inverse   %s\n", microseconds(table).c_str());
  deleteFile(fileName);
  return loaded;
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
  for (int lines : {benchSize(50000, 2000), benchSize(100000, 4000), benchSize(200000, 8000)})
    allLoaded = run(folder, lines) && allLoaded;
  forexTables().clearTables();
  removeFolder(folder);
  return allLoaded ? 0 : 1;
}
