// Loads the price files of 500 assets with 5,000 daily quotes each through
// the price cache and prints the time and MB/s beside the time to merely
// read the same bytes file by file. Two intermediate figures show where the
// time goes: finding the lines, and finding and parsing them.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "model/PriceCache.h"
#include "model/QuoteLineReader.h"
#include "platform/CalendarDates.h"
#include "platform/FileSystem.h"
#include "platform/FloatingPoint.h"
#include "platform/SequentialFile.h"

namespace {

const int assetCount = benchSize(500, 20);
const int quotesPerAsset = benchSize(5000, 500);
constexpr int rounds = 7;
const char* const priceFormat = "YYYY-MM-DD;O;H;L;C;V";

std::string makeFileText(int asset) {
  double first = 0;
  encodeDate(2000, 1, 3, first);
  std::string text = "Date;Open;High;Low;Close;Volume\r\n";
  char line[128];
  for (int i = 0; i < quotesPerAsset; ++i) {
    int year = 0, month = 0, day = 0;
    decodeDate(first + i, year, month, day);
    const double close = 20 + asset % 50 + (i * 37 % 1000) * 0.01;
    std::snprintf(line, sizeof line, "%04d-%02d-%02d;%.2f;%.2f;%.2f;%.2f;%d\r\n", year, month, day, close - 0.15,
                  close + 0.35, close - 0.4, close, 10000 + (i * 7919) % 90000);
    text += line;
  }
  return text;
}

// Reads every file's lines, parsing them when a format is given; the count
// of lines keeps the work from being optimised away.
size_t readLines(const std::vector<std::string>& files, const TQuoteFormat* format) {
  size_t lines = 0;
  TQuoteRecord quote;
  for (const std::string& file : files) {
    TQuoteLineReader reader;
    reader.open(file);
    std::string_view line;
    while (reader.readQuoteLine(line)) {
      if (format != nullptr) parseQuoteLine(line, *format, quote);
      lines += quote.Error == 0;
    }
  }
  return lines;
}

}  // namespace

int main() {
  setExtendedPrecision();
  char temporary[MAX_PATH];
  GetTempPathA(MAX_PATH, temporary);
  const std::string folder = std::string(temporary) + "kestrova-price-cache-bench\\";
  createFolder(folder);
  std::vector<std::string> files;
  double megabytes = 0;
  for (int asset = 0; asset < assetCount; ++asset) {
    files.push_back(folder + "ASSET" + std::to_string(asset) + ".CSV");
    const std::string text = makeFileText(asset);
    writeFileAtomically(files.back(), text);
    megabytes += static_cast<double>(text.size()) / (1 << 20);
  }

  // The bytes are read as the loader reads them, in 64 KB pieces.
  std::vector<char> buffer(1 << 16);
  int64_t total = 0;
  const TBenchTimes rawRead = timeRounds(rounds, [&] {
    for (const std::string& file : files) {
      TSequentialFile reader;
      reader.open(file);
      for (int64_t got; (got = reader.read(buffer.data(), buffer.size())) > 0;) total += got;
    }
  });
  const TQuoteFormat format = compileQuoteFormat(priceFormat, false);
  size_t lines = 0;
  const TBenchTimes lineTime = timeRounds(rounds, [&] { lines += readLines(files, nullptr); });
  const TBenchTimes parseTime = timeRounds(rounds, [&] { lines += readLines(files, &format); });

  std::vector<int> users(assetCount);
  std::vector<TPrices*> series(assetCount, nullptr);
  bool failed = total == 0 || lines == 0;
  std::vector<double> loads, releases;
  for (int round = 0; round < benchRounds(rounds); ++round) {
    auto start = std::chrono::steady_clock::now();
    for (int asset = 0; asset < assetCount; ++asset) {
      failed |= pricesTable().acquire(files[asset], priceFormat, series[asset], &users[asset]) != 0 ||
                series[asset]->count() != quotesPerAsset;
    }
    loads.push_back(secondsSince(start));
    start = std::chrono::steady_clock::now();
    for (int asset = 0; asset < assetCount; ++asset) pricesTable().release(series[asset], &users[asset]);
    releases.push_back(secondsSince(start));
  }
  const TBenchTimes load = summarised(loads);

  const double quotes = static_cast<double>(assetCount) * quotesPerAsset;
  std::printf("%d assets x %d quotes, %.1f MB%s\n", assetCount, quotesPerAsset, megabytes, failed ? " FAILED" : "");
  std::printf("  raw read             %s (%.0f MB/s)\n", microseconds(rawRead).c_str(), megabytes / rawRead.least);
  std::printf("  lines found          %s (%.0f MB/s)\n", microseconds(lineTime).c_str(), megabytes / lineTime.least);
  std::printf("  lines parsed         %s (%.0f MB/s)\n", microseconds(parseTime).c_str(),
              megabytes / parseTime.least);
  std::printf("  through the cache    %s (%.0f MB/s, a quote %s) = %.1f x the raw read\n",
              microseconds(load).c_str(), megabytes / load.least, microseconds(load.per(quotes)).c_str(),
              load.least / rawRead.least);
  std::printf("  release of all       %s\n", microseconds(summarised(releases)).c_str());
  for (const std::string& file : files) deleteFile(file);
  removeFolder(folder);
  return failed ? 1 : 0;
}
