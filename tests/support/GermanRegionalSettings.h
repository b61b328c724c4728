#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

// The user's regional settings as a German user keeps them ("," decimal,
// "." thousands, ";" list separator, day.month.year, 24-hour time), as
// Windows' own settings dialog writes them: for this program and for every
// program started while the object lives. The former ones come back after.
class TGermanRegionalSettings {
 public:
  TGermanRegionalSettings();
  ~TGermanRegionalSettings();
  TGermanRegionalSettings(const TGermanRegionalSettings&) = delete;
  TGermanRegionalSettings& operator=(const TGermanRegionalSettings&) = delete;

 private:
  std::vector<std::pair<LCTYPE, std::string>> formers_;
};
