#pragma once
#include "tests/support/RegionalSettings.h"

// The user's regional settings as a German user keeps them ("," decimal,
// "." thousands, ";" list separator, day.month.year, 24-hour time).
class TGermanRegionalSettings : public TRegionalSettings {
 public:
  TGermanRegionalSettings();
};
