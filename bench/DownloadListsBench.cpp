// A download list of 5,000 items: listing it (as loading and re-reading the
// shown list do), sorting its rows, and the processor time of the wait while
// Fetchmoor's editor stays open for 5 s.
#include <windows.h>

#include <cstdio>
#include <string>

#include "app/DownloadLists.h"
#include "app/DownloaderLink.h"
#include "bench/BenchTiming.h"
#include "controls/DownloadItem.h"
#include "controls/DownloadListing.h"
#include "model/Directories.h"
#include "platform/FileSystem.h"

namespace {

const int itemCount = benchSize(5000, 200);

class TOpenEditor : public TDownloaderServer {
 public:
  explicit TOpenEditor(ULONGLONG until) : until_(until) {}
  int Queue(const std::string&) override { return 0; }
  void Edit(const std::string&) override {}
  std::string MakeObject(const std::string&) override { return {}; }
  void NetSetup() override {}
  bool Editing() override { return GetTickCount64() < until_; }
  void BringToFront() override {}
  void ReloadDirList() override {}

 private:
  ULONGLONG until_;
};

double processorSeconds() {
  FILETIME creation, exit, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user);
  const auto seconds = [](FILETIME time) {
    return static_cast<double>((static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime) /
           1e7;
  };
  return seconds(kernel) + seconds(user);
}

}  // namespace

int main() {
  char temporary[MAX_PATH];
  GetTempPathA(MAX_PATH, temporary);
  const std::string root = std::string(temporary) + "kestrova-download-bench\\";
  const std::string list = root + "1\\";
  deleteTree(root);
  forceFolders(list);
  writeFileAtomically(list + "0.INI", "[List]\r\nName=Bench\r\n");
  for (int number = 1; number <= itemCount; ++number) {
    TDownloadItem item;
    item.fileName = list + std::to_string(number) + ".INI";
    char text[32];
    std::snprintf(text, sizeof text, "Share %d", (number * 7919) % itemCount);
    item.Name = text;
    std::snprintf(text, sizeof text, "S%d", number);
    item.Symbol = text;
    item.Currency = number % 3 ? "EUR" : "USD";
    item.LastUpdate = 45000 + number % 400;
    item.saveToFile();
  }

  int failures = 0;
  std::vector<TPickRow> rows;
  const TBenchTimes listing = timeRounds(5, [&] { rows = listDownloadItems(list, failures); });
  const bool listed = static_cast<int>(rows.size()) == itemCount && failures == 0;
  std::printf("list of %d items loaded:   %s (%zu rows)%s\n", itemCount, microseconds(listing).c_str(), rows.size(),
              listed ? "" : " FAILED");
  std::vector<TPickRow> copy;
  const TBenchTimes sorting = timeRounds(
      9, [&] { copy = rows; },
      [&] {
        sortDownloadRows(copy, 1, 4);
        sortDownloadRows(copy, -4, 4);
      });
  std::printf("two sorts of %d rows:      %s\n", itemCount, microseconds(sorting).c_str());

  TDownloaderHost host;
  host.connect = [](bool) { return std::make_unique<TOpenEditor>(GetTickCount64() + 5000); };
  host.applicationActive = [] { return false; };
  const double before = processorSeconds();
  const auto start = std::chrono::steady_clock::now();
  TDownloaderLink(host).editItems(list + "1.INI\n");
  const double wall = secondsSince(start);
  std::printf("editing wait over %.1f s:    %.2f %% of a processor\n", wall,
              100.0 * (processorSeconds() - before) / wall);
  deleteTree(root);
  return listed ? 0 : 1;
}
