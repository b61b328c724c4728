#include "tests/support/RegionalSettings.h"

TRegionalSettings::TRegionalSettings(const std::vector<std::pair<LCTYPE, std::wstring>>& settings) {
  // All read before any is set: setting the date separator rewrites the
  // short date format, which would then be kept as the user's own.
  for (const auto& setting : settings) {
    wchar_t former[256] = {};
    GetLocaleInfoW(LOCALE_USER_DEFAULT, setting.first, former, 256);
    formers_.emplace_back(setting.first, former);
  }
  for (const auto& [type, value] : settings) SetLocaleInfoW(LOCALE_USER_DEFAULT, type, value.c_str());
}

TRegionalSettings::~TRegionalSettings() {
  for (const auto& [type, value] : formers_) SetLocaleInfoW(LOCALE_USER_DEFAULT, type, value.c_str());
}

std::vector<std::pair<LCTYPE, std::wstring>> frenchRegionalSettings() {
  return {{LOCALE_SDECIMAL, L","}, {LOCALE_STHOUSAND, L"\u202F"},       {LOCALE_SLIST, L";"},
          {LOCALE_SDATE, L"/"},    {LOCALE_SSHORTDATE, L"dd/MM/yyyy"}, {LOCALE_STIMEFORMAT, L"HH:mm:ss"}};
}

std::vector<std::pair<LCTYPE, std::wstring>> swissGermanRegionalSettings() {
  return {{LOCALE_SDECIMAL, L"."}, {LOCALE_STHOUSAND, L"\u2019"},       {LOCALE_SLIST, L";"},
          {LOCALE_SDATE, L"."},    {LOCALE_SSHORTDATE, L"dd.MM.yyyy"}, {LOCALE_STIMEFORMAT, L"HH:mm:ss"}};
}

std::vector<std::pair<LCTYPE, std::wstring>> norwegianRegionalSettings() {
  return {{LOCALE_SDECIMAL, L","}, {LOCALE_STHOUSAND, L"\u00A0"},       {LOCALE_SLIST, L";"},
          {LOCALE_SDATE, L"."},    {LOCALE_SSHORTDATE, L"dd.MM.yyyy"}, {LOCALE_STIMEFORMAT, L"HH:mm:ss"}};
}
