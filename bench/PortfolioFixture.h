#pragma once
// Portfolio folders for the portfolio benchmarks, written at run time into
// a temporary folder: price files of daily quotes, currency tables, asset
// files and one settings file per transaction, as the program stores them.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "bench/BenchTiming.h"
#include "model/Directories.h"
#include "model/PortableIniFile.h"
#include "platform/CalendarDates.h"
#include "platform/FileSystem.h"

class TBenchFolder {
 public:
  TBenchFolder() {
    static int counter = 0;
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    // Benchmarks in other Wine prefixes share the temporary folder and often
    // their process number: a folder that exists belongs to another run.
    forceFolders(base);
    do {
      path = std::string(base) + "kestrova-bench-" + std::to_string(GetCurrentProcessId()) + "-" +
             std::to_string(counter++) + "\\";
    } while (!createFolder(path) && folderExists(path));
  }
  ~TBenchFolder() { deleteTree(path); }
  TBenchFolder(const TBenchFolder&) = delete;
  TBenchFolder& operator=(const TBenchFolder&) = delete;

  std::string path;
};

struct TFixtureSize {
  int assets;
  int days;                   // business days from 3 January 2005
  int transactionsPerAsset;
};

class TStopwatch {
 public:
  double seconds() const { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count(); }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

namespace fixtureDetail {

// A fixed linear congruential sequence, so every run writes the same figures.
class TSequence {
 public:
  explicit TSequence(uint64_t seed) : state_(seed) {}
  double next() {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(state_ >> 11) / static_cast<double>(1ULL << 53);
  }

 private:
  uint64_t state_;
};

inline std::vector<double> businessDays(int count) {
  std::vector<double> days;
  double day = 0;
  encodeDate(2005, 1, 3, day);
  while (static_cast<int>(days.size()) < count) {
    const int weekday = static_cast<int>(static_cast<long long>(day) % 7);  // 0 is a Saturday
    if (weekday != 0 && weekday != 1) days.push_back(day);
    day += 1;
  }
  return days;
}

inline void writeText(const std::string& fileName, const std::string& text) {
  std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
  out << text;
}

inline std::string dateText(double day) {
  int year = 0, month = 0, dayOfMonth = 0;
  decodeDate(day, year, month, dayOfMonth);
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, dayOfMonth);
  return text;
}

inline void writeRates(const std::string& fileName, const std::vector<double>& days, double rate, TSequence& random) {
  std::string text;
  for (double day : days) {
    rate *= 1 + (random.next() - 0.5) * 0.008;
    const std::string date = dateText(day);
    char line[64];
    std::snprintf(line, sizeof line, "%.4s%.2s%.2s,%.4f\r\n", date.c_str(), date.c_str() + 5, date.c_str() + 8, rate);
    text += line;
  }
  writeText(fileName, text);
}

}  // namespace fixtureDetail

// Writes root\FOLIOS\1\ (a portfolio in euros whose assets are in euros, US
// dollars and Swiss francs), root\QUOTES\ and root\FOREX\, and points the
// named directories there. Returns the portfolio folder. A small run
// writes at most 4 assets over 300 days with 20 transactions each.
inline std::string writePortfolioFixture(const std::string& root, TFixtureSize size) {
  using namespace fixtureDetail;
  if (smallRun()) size = {std::min(size.assets, 4), std::min(size.days, 300), std::min(size.transactionsPerAsset, 20)};
  const std::string folio = root + "FOLIOS\\1\\";
  forceFolders(folio);
  forceFolders(root + "QUOTES");
  forceFolders(root + "FOREX");
  setDirectory("<QUOTES>", root + "QUOTES");
  setDirectory("<FOREX>", root + "FOREX");
  setDirectory("<FOLIOS>", root + "FOLIOS");
  writeText(folio + "0.INI", "[Portfolio]\r\nName=Bench\r\nSymbol=BEN\r\nCurrency=EUR\r\nLoadAlways=1\r\n\r\n");

  const std::vector<double> days = businessDays(size.days);
  TSequence random(20050103);
  writeRates(root + "FOREX\\EURtoUSD.CSV", days, 1.2, random);
  writeRates(root + "FOREX\\USDtoCHF.CSV", days, 0.95, random);
  const char* const currencies[] = {"EUR", "USD", "CHF"};
  int32_t number = 1;
  for (int asset = 1; asset <= size.assets; ++asset) {
    const std::string quotes = root + "QUOTES\\A" + std::to_string(asset) + ".CSV";
    std::string text;
    text.reserve(static_cast<size_t>(size.days) * 48);
    double close = 20 + 80 * random.next();
    std::vector<double> closes;
    for (double day : days) {
      const double open = close * (1 + (random.next() - 0.5) * 0.01);
      close = open * (1 + (random.next() - 0.5) * 0.04);
      closes.push_back(close);
      char line[128];
      std::snprintf(line, sizeof line, "%s,%.2f,%.2f,%.2f,%.2f,%d\r\n", dateText(day).c_str(), open,
                    std::max(open, close) * 1.01, std::min(open, close) * 0.99, close,
                    static_cast<int>(1000 + random.next() * 900000));
      text += line;
    }
    writeText(quotes, text);
    writeText(folio + std::to_string(asset) + ".INI",
              "[Asset]\r\nName=Asset " + std::to_string(asset) + "\r\nSymbol=A" + std::to_string(asset) +
                  "\r\nCurrency=" + currencies[asset % 3] + "\r\nPriceHistoryLocation=" + collapsePath(quotes) +
                  "\r\nPriceHistoryFormatString=YYYY-MM-DD,O,H,L,C,V\r\n\r\n[Allocation]\r\nStocks=100\r\nBonds=0\r\nCash=0\r\nOther=0\r\n\r\n");
    const std::string transactions = folio + std::to_string(asset) + ".TRN\\";
    forceFolders(transactions);
    for (int t = 1; t <= size.transactionsPerAsset; ++t) {
      const int dayIndex = static_cast<int>(random.next() * static_cast<double>(days.size() - 1));
      const double units = t % 4 == 0 ? -(1 + static_cast<int>(random.next() * 10)) : 1 + static_cast<int>(random.next() * 30);
      const double value = units * closes[static_cast<size_t>(dayIndex)];
      writeText(transactions + std::to_string(t) + ".INI",
                "[Transaction]\r\nNumber=" + std::to_string(number++) + "\r\nSoft=0\r\nDateTime=" +
                    floatToIniText(days[static_cast<size_t>(dayIndex)] + 0.5) + "\r\nUnits=" + floatToIniText(units) +
                    "\r\nValue=" + floatToIniText(value) + "\r\nFees=" + floatToIniText(4.95) + "\r\n\r\n");
    }
  }
  return folio;
}
