// Takes the baseline of a transaction record just read, as opening a
// folder of thousands of transactions does for each, and saves one changed
// value over its file; prints the time of one take and one save.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "model/PortableIniFile.h"
#include "model/RecordCheck.h"
#include "model/SettingsBaseline.h"
#include "platform/FileSystem.h"

namespace {

const std::vector<std::string> counted = {"Transaction", "CustomProperties"};

// A transaction's record in the form its writer gives it.
struct TRecord {
  double units = 25;
  void write(TPortableIniFile& ini) const {
    beginEntryCount(ini, counted);
    ini.writeInteger("Transaction", "Number", 12);
    ini.writeInteger("Transaction", "Soft", 0);
    ini.writeFloat("Transaction", "DateTime", 45474.5);
    ini.writeFloat("Transaction", "Units", units);
    ini.writeFloat("Transaction", "Value", 3086.25);
    ini.writeFloat("Transaction", "Fees", 4.62);
    ini.writeString("Transaction", "Flag", "BUY");
    ini.eraseSection("CustomProperties");
    ini.writeString("CustomProperties", "_COMMENT", "Monthly saving plan");
    ini.writeString("CustomProperties", "Broker", "Comdirect");
    ini.writeString("CustomProperties", "Account", "4711");
    endEntryCount(ini, counted);
  }
};

// The record's file, made afresh: a take of a file that is not there times
// nothing but a failed open.
bool madeRecordFile(const std::string& file, const TSettingsBaseline::TWriter& write) {
  if (pathExists(file) && !deleteFile(file)) return false;
  const std::unique_ptr<TPortableIniFile> made = TSettingsBaseline::written(file, write);
  if (made->createFile(false) != TNewFileResult::created) return false;
  const TPortableIniFile read(file);
  return read.readWhole() && read.contentText() == made->contentText() && recordFault(read, {}, counted).empty();
}

}  // namespace

int main() {
  char temporary[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temporary);
  const std::string file = std::string(temporary) + "SettingsBaselineBench.INI";
  TRecord record;
  const TSettingsBaseline::TWriter write = [&record](TPortableIniFile& ini) { record.write(ini); };
  if (!madeRecordFile(file, write)) {
    std::fprintf(stderr, "could not make the transaction record %s to time\n", file.c_str());
    return 1;
  }
  const TPortableIniFile read(file);
  TSettingsBaseline baseline;
  const TBenchTimes take = timeCalls(7, [&] { baseline.takeOfExistingFile(file, write, read); });
  std::printf("take the baseline of a transaction read: %s\n", microseconds(take).c_str());
  // A save that writes nothing would time a comparison alone.
  record.units = 26;
  if (!baseline.save(file, write) || TPortableIniFile(file).readFloat("Transaction", "Units", 0) != 26) {
    std::fprintf(stderr, "a changed transaction was not saved into %s\n", file.c_str());
    return 1;
  }
  const TBenchTimes save = timeCalls(7, [&] {
    record.units = record.units == 25 ? 26 : 25;
    baseline.save(file, write);
  });
  std::printf("save a changed transaction: %s\n", microseconds(save).c_str());
  deleteFile(file);
  return 0;
}
