#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

// Regional settings as Windows' own settings dialog writes them, for this
// program and for every program started while the object lives; the former
// ones come back after. Wide texts, since some separators (the narrow
// no-break space of French settings) exist in no ANSI code page.
class TRegionalSettings {
 public:
  explicit TRegionalSettings(const std::vector<std::pair<LCTYPE, std::wstring>>& settings);
  ~TRegionalSettings();
  TRegionalSettings(const TRegionalSettings&) = delete;
  TRegionalSettings& operator=(const TRegionalSettings&) = delete;

 private:
  std::vector<std::pair<LCTYPE, std::wstring>> formers_;
};

// French: "," decimal, a narrow no-break space (U+202F) between thousands,
// ";" list separator, day/month/year.
std::vector<std::pair<LCTYPE, std::wstring>> frenchRegionalSettings();
// Swiss German: "." decimal, a right single quotation mark (U+2019) between
// thousands, ";" list separator, day.month.year.
std::vector<std::pair<LCTYPE, std::wstring>> swissGermanRegionalSettings();
// Norwegian: "," decimal, a no-break space (U+00A0) between thousands, ";"
// list separator, day.month.year.
std::vector<std::pair<LCTYPE, std::wstring>> norwegianRegionalSettings();
