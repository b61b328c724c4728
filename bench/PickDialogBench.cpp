// A pick dialog over 5,000 items: reading a download list of 5,000 item
// files into rows (the fill), sorting them by each column both ways (a
// header click), and a find that has to run through every row. The currency
// dialog sorts in the user's locale, the others by character code; both
// orders are timed.
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "bench/PortfolioFixture.h"
#include "controls/DownloadItem.h"
#include "controls/DownloadListing.h"
#include "controls/PickList.h"

namespace {

constexpr int itemCount = 5000;

void writeList(const std::string& folder) {
  TDownloadItem item;
  for (int i = 1; i <= itemCount; ++i) {
    // Names in an order unlike the file order, so that sorting has work to do.
    const int scrambled = (i * 7919) % itemCount;
    item.fileName = folder + std::to_string(i) + ".INI";
    item.Name = "Instrument " + std::to_string(scrambled);
    item.Symbol = std::to_string((scrambled * 31) % itemCount);
    item.Symbol.insert(0, 1, 'S');
    item.Currency = i % 3 == 0 ? "EUR" : "USD";
    item.LastUpdate = i % 4 == 0 ? 0 : 45000 + i * 0.25;
    item.Remarks = {"1=remark"};
    item.saveToFile();
  }
}

}  // namespace

int main() {
  TBenchFolder folder;
  writeList(folder.path);

  int failures = 0;
  std::vector<TPickRow> rows;
  const double fill = medianTime(5, [&] { rows = listDownloadItems(folder.path, failures); });
  std::printf("fill %d item rows from their files: %8.3f ms (%zu rows, %d failures)\n", itemCount, fill * 1e3,
              rows.size(), failures);

  for (TPickTextOrder order : {TPickTextOrder::characterCode, TPickTextOrder::locale}) {
    const char* orderName = order == TPickTextOrder::locale ? "locale        " : "character code";
    for (int column = 0; column < 4; ++column) {
      for (int sortKey : {column + 1, -(column + 1)}) {
        const double sorting = medianTime(5, [&] {
          sortPickRows(rows, sortKey, order);
          sortPickRows(rows, -sortKey, order);
        }) / 2;
        std::printf("sort %d rows by %s, key %2d: %8.3f ms\n", itemCount, orderName, sortKey, sorting * 1e3);
      }
    }
  }

  std::vector<std::string> captions;
  for (const TPickRow& row : rows) captions.push_back(row.texts[0]);
  int found = 0;
  const double finding = medianTime(5, [&] { found = findPickRow(captions, -1, "no such name", true, false); });
  std::printf("find through %d captions without a match: %8.3f ms (%d)\n", itemCount, finding * 1e3, found);
  return 0;
}
