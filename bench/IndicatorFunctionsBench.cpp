// The indicator built-ins through formulas over one 5,000-row daily price
// table with period 200: all 49 in one sheet and one full recalculation,
// each one alone, the candlestick scan alone, and the share of the time
// spent reading ranges into flat series and storing records as result
// arrays.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "functions/ArrayStorage.h"
#include "platform/FloatingPoint.h"
#include "platform/LocaleSettings.h"
#include "sheet/Sheet.h"

namespace {

const int rowCount = benchSize(5000, 1000);
constexpr int runs = 9;
constexpr int formulaColumn = 23;  // W

// Four blocks, since a range is contiguous: A:F date, open, high, low,
// close, volume; H:L date, high, low, close, volume; N:P date, close,
// volume; R:U date, high, low, volume.
const char* const formulas[] = {
    "ACD(H1:L5000)",          "ADX(H1:K5000,200)",         "ADXR(H1:K5000,200)",  "ARD(N1:O5000,200)",
    "ARO(N1:O5000,200)",      "ARU(N1:O5000,200)",         "ASI(A1:E5000)",       "ATR(H1:K5000,200)",
    "BA(N1:O5000,N1:O5000)",  "BOL(N1:O5000,200)",         "CBI(N1:O5000)",       "CCI(H1:K5000,200)",
    "CSP(A1:E5000,200)",      "DI(H1:K5000)",              "DIM(H1:K5000,200)",   "DIP(H1:K5000,200)",
    "DM(H1:J5000)",           "DPO(N1:O5000,200)",         "EFI(N1:P5000)",       "EMA(N1:O5000,200)",
    "EOM(R1:U5000)",          "KB(H1:K5000,200,200)",      "MA(N1:O5000,200)",    "MACD(N1:O5000,200)",
    "MFI(H1:L5000,200)",      "MFM(H1:L5000,200)",         "MFP(H1:L5000,200)",   "MI(H1:J5000,200)",
    "MO(N1:O5000,200)",       "NVI(N1:P5000)",             "OBV(N1:P5000)",       "PVI(N1:P5000)",
    "PVT(N1:P5000)",          "ROC(N1:O5000,200)",         "RS(N1:O5000,N1:O5000,200)", "RSI(N1:O5000,200)",
    "SAR(H1:J5000)",          "SI(A1:E5000)",              "STO(H1:K5000,200,3,3)", "TP(H1:K5000)",
    "TR(H1:K5000)",           "TRIX(N1:O5000,200)",        "TSI(N1:O5000,200,200)", "UDR(N1:P5000,200)",
    "VHF(N1:O5000,200)",      "VOI(H1:J5000,200)",         "WAD(H1:K5000)",       "WRO(H1:K5000,200)",
    "ZZI(N1:O5000)",
};

std::string number(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.15g", value);
  return text;
}

// A random walk of daily bars on consecutive days from 1 January 2000.
void fillPriceTable(TSheet& sheet) {
  std::mt19937_64 generator(20240611);
  std::normal_distribution<double> move(0.0, 0.012);
  std::uniform_real_distribution<double> spread(0.0, 0.01);
  std::uniform_int_distribution<int> volume(1000, 90000);
  double close = 100;
  for (int row = 1; row <= rowCount; ++row) {
    double open = close * (1 + move(generator) / 3);
    close = open * (1 + move(generator));
    double high = std::max(open, close) * (1 + spread(generator));
    double low = std::min(open, close) * (1 - spread(generator));
    std::string date = number(36525 + row);
    std::string fields[] = {number(open), number(high), number(low), number(close),
                            number(volume(generator) * 10)};
    const int blocks[][6] = {{1, 0, 1, 2, 3, 4}, {8, 1, 2, 3, 4, -1}, {14, 3, 4, -1, -1, -1}, {18, 1, 2, 4, -1, -1}};
    for (const auto& block : blocks) {
      sheet.setCellContent(block[0], row, 0, date, 1);
      for (int k = 1; k < 6 && block[k] >= 0; ++k) sheet.setCellContent(block[0] + k, row, 0, fields[block[k]], 1);
    }
  }
}

// The call over the rows the table has (the calls above name 5,000).
std::string sized(std::string call) {
  const std::string rows = std::to_string(rowCount);
  for (std::size_t at = call.find("5000"); at != std::string::npos; at = call.find("5000", at + rows.size()))
    call.replace(at, 4, rows);
  return call;
}

std::string name(const std::string& call) { return call.substr(0, call.find('(')); }

std::vector<std::string> rangesOf(const std::string& call) {
  const std::regex range("[A-Z]+1:[A-Z]+[0-9]+");
  std::vector<std::string> ranges;
  for (std::sregex_iterator it(call.begin(), call.end(), range), end; it != end; ++it) ranges.push_back(it->str());
  return ranges;
}

// A call that reads the same ranges as `call` and stops right after: a
// member of the same column count whose period is longer than the table.
std::string readingOnly(const TSheet& sheet, const std::string& call) {
  std::vector<std::string> ranges = rangesOf(call);
  if (ranges.size() == 2) return "RS(" + ranges[0] + "," + ranges[1] + ",100000)";
  int firstCol = 0, firstRow = 0, lastCol = 0, lastRow = 0;
  sheet.parseRangeRef(ranges[0], firstCol, firstRow, lastCol, lastRow);
  const char* member[] = {"", "", "MA", "UDR", "WRO", "MFI"};
  return std::string(member[lastCol - firstCol + 1]) + "(" + ranges[0] + ",100000)";
}

TBenchTimes recalculation(const std::vector<std::string>& calls) {
  TSheet sheet;
  fillPriceTable(sheet);
  int row = 1;
  for (const std::string& call : calls) sheet.setCellContent(formulaColumn, row++, 0, "=" + call, 1);
  return timeRounds(runs, [&] { sheet.recalculateAll(false); });
}

}  // namespace

int main() {
  localeSettings() = defaultLocaleSettings();
  setExtendedPrecision();
  TSheet sheet;
  fillPriceTable(sheet);
  std::vector<std::string> calls;
  for (const char* formula : formulas) calls.push_back(sized(formula));
  const TBenchTimes all = recalculation(calls);
  std::printf("%zu indicator built-ins over %d rows, period 200, one full recalculation: %s\n", calls.size(),
              rowCount, microseconds(all).c_str());

  // What the same sheet costs without the routines: the grid walk of the
  // recalculation, the ranges read into series (and recorded as read), and
  // the records stored as result arrays.
  const TBenchTimes walk = recalculation(std::vector<std::string>(calls.size(), "1"));
  std::vector<std::string> reading;
  for (const std::string& call : calls) reading.push_back(readingOnly(sheet, call));
  const TBenchTimes read = recalculation(reading) - walk;
  for (int i = 0; i < static_cast<int>(calls.size()); ++i) {
    sheet.setCellContent(formulaColumn, i + 1, 0, "=" + calls[i], 1);
  }
  TBenchTimes store;
  bool allAnswered = true;
  for (int i = 0; i < static_cast<int>(calls.size()); ++i) {
    sheet.currentCol = formulaColumn;
    sheet.currentRow = i + 1;
    const TArray* result = sheet.currentCellArray();
    if (!result) {
      std::printf("%s: %s FAILED\n", calls[i].c_str(), sheet.getCellText(formulaColumn, i + 1, true).c_str());
      allAnswered = false;
      continue;
    }
    int rows = result->dimensions()[0], columns = result->dimensions()[1];
    std::vector<long double> records(static_cast<std::size_t>(rows) * columns, 1.5L);
    store = store + timeRounds(runs, [&] {
              TArray stored;
              storeVectorInArray(records, columns, rows, stored, true);
            });
  }
  std::printf("grid walk                    %s\n", microseconds(walk).c_str());
  std::printf("ranges into series           %s\n", microseconds(read).c_str());
  std::printf("records into result arrays   %s\n", microseconds(store).c_str());
  std::printf("conversions                  %s, %.0f%% of the full recalculation\n",
              microseconds(read + store).c_str(), 100 * (read + store).least / all.least);

  std::printf("each alone:\n");
  for (const std::string& call : calls)
    std::printf("  %-5s %s\n", name(call).c_str(), microseconds(recalculation({call})).c_str());
  for (const char* call : {"CSP(A1:E5000)", "CSP(A1:E5000,200)"}) {
    std::printf("%s over %d rows alone: %s\n", sized(call).c_str(), rowCount,
                microseconds(recalculation({sized(call)})).c_str());
  }
  return allAnswered ? 0 : 1;
}
