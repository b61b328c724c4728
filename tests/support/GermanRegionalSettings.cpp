#include "tests/support/GermanRegionalSettings.h"

TGermanRegionalSettings::TGermanRegionalSettings() {
  const std::vector<std::pair<LCTYPE, std::string>> german = {
      {LOCALE_SDECIMAL, ","}, {LOCALE_STHOUSAND, "."},           {LOCALE_SLIST, ";"},
      {LOCALE_SDATE, "."},    {LOCALE_SSHORTDATE, "dd.MM.yyyy"}, {LOCALE_STIMEFORMAT, "HH:mm:ss"}};
  // All read before any is set: setting the date separator rewrites the
  // short date format, which would then be kept as the user's own.
  for (const auto& setting : german) {
    char former[256] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, setting.first, former, sizeof former);
    formers_.emplace_back(setting.first, former);
  }
  for (const auto& [type, value] : german) SetLocaleInfoA(LOCALE_USER_DEFAULT, type, value.c_str());
}

TGermanRegionalSettings::~TGermanRegionalSettings() {
  for (const auto& [type, value] : formers_) SetLocaleInfoA(LOCALE_USER_DEFAULT, type, value.c_str());
}
