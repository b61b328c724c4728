// A pick dialog over 5,000 items: the download dialog choosing a list of
// 5,000 item files (reading the files and filling the item list), the file
// reading alone for comparison, then a click on each column header twice
// (ascending and descending sorts of the list). The list view sorts by
// character code here; the currency dialog sorts in the user's locale, timed
// on the same rows.
#include <cstdio>
#include <string>

#include "bench/BenchTiming.h"
#include "bench/PortfolioFixture.h"
#include "controls/DownloadItem.h"
#include "controls/DownloadListing.h"
#include "controls/DownloadPickForm.h"
#include "controls/ListViewXPSafe.h"
#include "model/Directories.h"
#include "model/PortableIniFile.h"
#include "platform/FileSystem.h"

namespace {

const int itemCount = benchSize(5000, 200);

void writeList(const std::string& folder) {
  forceFolders(folder);
  TPortableIniFile(folder + "0.INI").writeString("List", "Name", "Everything");
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
  setDirectory("<DLISTS>", folder.path);
  writeList(folder.path + "1\\");

  int failures = 0;
  const TBenchTimes reading = timeRounds(9, [&] { listDownloadItems(folder.path + "1\\", failures); });
  std::printf("read %d item files into rows:            %s\n", itemCount, microseconds(reading).c_str());

  TdownloadPickForm form;
  form.listLists();
  const TBenchTimes fill = timeRounds(9, [&] {
    form.listListView.setItemIndex(-1);
    form.listListView.setItemIndex(0);
    form.delayTimer.onTimer();  // what the 200 ms delay runs
  });
  const bool filled = form.objectListView.itemCount() == itemCount && failures == 0;
  std::printf("choose the list: read and fill %d rows:  %s (%d rows)%s\n", itemCount, microseconds(fill).c_str(),
              form.objectListView.itemCount(), filled ? "" : " FAILED");

  static const char* const columns[] = {"Name", "Symbol", "Currency", "Updated"};
  for (int column = 0; column < 4; ++column) {
    const TBenchTimes sorting = timeRounds(9, [&] {
                                  form.objectListView.onColumnClick(column);
                                  form.objectListView.onColumnClick(column);
                                }).per(2);
    std::printf("sort %d rows by %-8s (a header click): %s\n", itemCount, columns[column],
                microseconds(sorting).c_str());
  }
  const TBenchTimes localeSorting = timeRounds(9, [&] {
                                      form.objectListView.sortByColumn(0, false, true);
                                      form.objectListView.sortByColumn(0, true, true);
                                    }).per(2);
  std::printf("sort %d rows by Name in the user's locale:   %s\n", itemCount, microseconds(localeSorting).c_str());
  return filled ? 0 : 1;
}
