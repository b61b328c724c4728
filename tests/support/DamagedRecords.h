#pragma once
#include <string>
#include <vector>

// A record file found damaged as a whole: emptied, filled with junk bytes,
// saved again as UTF-16, or with every section under another name.
struct TDamagedRecord {
  const char* name;
  std::string text;
};

std::vector<TDamagedRecord> damagedRecords(const std::string& cleanText);
