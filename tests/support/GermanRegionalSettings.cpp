#include "tests/support/GermanRegionalSettings.h"

TGermanRegionalSettings::TGermanRegionalSettings()
    : TRegionalSettings({{LOCALE_SDECIMAL, L","},
                         {LOCALE_STHOUSAND, L"."},
                         {LOCALE_SLIST, L";"},
                         {LOCALE_SDATE, L"."},
                         {LOCALE_SSHORTDATE, L"dd.MM.yyyy"},
                         {LOCALE_STIMEFORMAT, L"HH:mm:ss"}}) {}
