// Loads daily price files of 50,000 to 200,000 lines whose dates rise, fall,
// or come shuffled with every date twice, and prints each load beside the
// time to merely read the file's bytes: the load must grow near-linearly
// whatever the order of the dates. Then files of one line whose number has
// 100,000 to 800,000 digits.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "model/Prices.h"
#include "platform/CalendarDates.h"
#include "platform/FileSystem.h"
#include "platform/FloatingPoint.h"
#include "platform/SequentialFile.h"

namespace {

constexpr int rounds = 7;

std::string quoteLine(double date, int i) {
  int year = 0, month = 0, day = 0;
  decodeDate(date, year, month, day);
  char line[128];
  const double close = 100 + (i % 1000) * 0.125;
  std::snprintf(line, sizeof line, "%04d-%02d-%02d;%.2f;%.2f;%.2f;%.3f;%d\r\n", year, month, day, close - 0.5,
                close + 1.25, close - 1.75, close, 100000 + i % 977);
  return line;
}

std::string makeFileText(const std::vector<double>& dates) {
  std::string text = "Date;Open;High;Low;Close;Volume\r\n";
  for (size_t i = 0; i < dates.size(); ++i) text += quoteLine(dates[i], static_cast<int>(i));
  return text;
}

// False when the load failed.
bool run(const std::string& fileName, const char* order, const std::vector<double>& dates) {
  const std::string text = makeFileText(dates);
  writeFileAtomically(fileName, text);
  const double megabytes = static_cast<double>(text.size()) / (1 << 20);
  // The bytes are read as the loader reads them, in 64 KB pieces.
  std::vector<char> buffer(1 << 16);
  const TBenchTimes rawRead = timeRounds(rounds, [&] {
    TSequentialFile file;
    file.open(fileName);
    while (file.read(buffer.data(), buffer.size()) > 0) {
    }
  });

  const TQuoteFormat format = compileQuoteFormat("YYYY-MM-DD;O;H;L;C;V", false);
  std::unique_ptr<TPrices> prices;
  int result = 0;
  const TBenchTimes load = timeRounds(
      rounds, [&] { prices = std::make_unique<TPrices>(); },
      [&] { result = prices->loadFromFile(fileName, format); });

  const bool loaded = result == 0 && prices->count() == static_cast<int>(dates.size());
  std::printf("%-28s %7zu lines %5.1f MB%s\n", order, dates.size(), megabytes, loaded ? "" : " FAILED");
  std::printf("  raw read  %s\n", microseconds(rawRead).c_str());
  std::printf("  load      %s (%.0f MB/s), a line %s\n", microseconds(load).c_str(), megabytes / load.least,
              microseconds(load.per(static_cast<double>(dates.size()))).c_str());
  return loaded;
}

// One line whose close has a fraction of n digits: the load must grow
// linearly with n, as reading the digits does.
bool longNumber(const std::string& fileName, int digits) {
  writeFileAtomically(fileName, "2024-01-05;1;2;0.5;1." + std::string(static_cast<size_t>(digits), '3') + ";7\r\n");
  const TQuoteFormat format = compileQuoteFormat("YYYY-MM-DD;O;H;L;C;V", false);
  std::unique_ptr<TPrices> prices;
  int result = 0;
  const TBenchTimes load = timeRounds(
      rounds, [&] { prices = std::make_unique<TPrices>(); },
      [&] { result = prices->loadFromFile(fileName, format); });
  std::printf("one close of %7d digits: load %s%s\n", digits, microseconds(load).c_str(), result == 0 ? "" : " FAILED");
  return result == 0;
}

}  // namespace

int main() {
  setExtendedPrecision();
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  const std::string fileName = std::string(folder) + "kestrova-prices-bench.csv";
  std::mt19937 random(1);
  bool allLoaded = true;
  for (int lines : {benchSize(50000, 2000), benchSize(100000, 4000), benchSize(200000, 8000)}) {
    double first = 0;
    encodeDate(1700, 1, 1, first);
    std::vector<double> dates(lines);
    for (int i = 0; i < lines; ++i) dates[i] = first + i;
    allLoaded = run(fileName, "ascending", dates) && allLoaded;
    std::reverse(dates.begin(), dates.end());
    allLoaded = run(fileName, "descending", dates) && allLoaded;
    for (int i = 0; i < lines; ++i) dates[i] = first + i / 2;
    std::shuffle(dates.begin(), dates.end(), random);
    allLoaded = run(fileName, "shuffled, each date twice", dates) && allLoaded;
  }
  for (int digits : {100000, 200000, 400000, 800000})
    allLoaded = longNumber(fileName, benchSize(digits, digits / 100)) && allLoaded;
  deleteFile(fileName);
  return allLoaded ? 0 : 1;
}
