// Takes the baseline of a transaction record just read, as opening a
// folder of thousands of transactions does for each, and saves one changed
// value over its file; prints the time of one take and one save.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "model/PortableIniFile.h"
#include "model/RecordCheck.h"
#include "model/SettingsBaseline.h"
#include "platform/FileSystem.h"

namespace {

const std::vector<std::string> counted = {"Transaction", "CustomProperties"};

// A transaction's record as its writer gives it.
struct TRecord {
  double units = 25;
  void write(TPortableIniFile& ini) const {
    beginEntryCount(ini, counted);
    ini.writeString("Transaction", "Date", " 4.54745000000000E+0004");
    ini.writeString("Transaction", "Type", "Buy");
    ini.writeFloat("Transaction", "Units", units);
    ini.writeString("Transaction", "Price", " 1.23450000000000E+0002");
    ini.writeString("Transaction", "Fees", " 4.62000000000000E+0000");
    ini.writeString("Transaction", "Currency", "EUR");
    ini.writeString("Transaction", "Rate", " 1.00000000000000E+0000");
    ini.writeString("Transaction", "Soft", "0");
    ini.writeString("Transaction", "Order", "12");
    ini.writeString("CustomProperties", "_COMMENT", "Monthly saving plan");
    ini.writeString("CustomProperties", "Broker", "Comdirect");
    ini.writeString("CustomProperties", "Account", "4711");
    endEntryCount(ini, counted);
  }
};

}  // namespace

int main() {
  char temporary[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temporary);
  const std::string file = std::string(temporary) + "SettingsBaselineBench.INI";
  TRecord record;
  const TSettingsBaseline::TWriter write = [&record](TPortableIniFile& ini) { record.write(ini); };
  {
    TPortableIniFile made(file, TPortableIniFile::TNewFile{});
    record.write(made);
    made.createFile(false, true);
  }
  const TPortableIniFile read(file);
  TSettingsBaseline baseline;
  const TBenchTimes take = timeCalls(7, [&] { baseline.takeOfExistingFile(file, write, read); });
  std::printf("take the baseline of a transaction read: %s\n", microseconds(take).c_str());
  const TBenchTimes save = timeCalls(7, [&] {
    record.units = record.units == 25 ? 26 : 25;
    baseline.save(file, write);
  });
  std::printf("save a changed transaction: %s\n", microseconds(save).c_str());
  deleteFile(file);
  return 0;
}
