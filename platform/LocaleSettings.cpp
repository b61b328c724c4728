#include "platform/LocaleSettings.h"

#include <windows.h>

#include <cstdlib>

namespace {

std::string localeInfo(LCTYPE type, const std::string& fallback) {
  char buffer[256];
  int length = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer);
  if (length <= 1) return fallback;
  return std::string(buffer, length - 1);
}

// A character the ANSI code page lacks comes back from GetLocaleInfoA as
// "?" (or as more than one byte): shown, it would read as a question mark
// in every number.
bool survivesCodePage(const std::string& text) { return text.size() == 1 && text[0] != '?'; }

char localeChar(LCTYPE type, char fallback) {
  std::string text = localeInfo(type, "");
  return survivesCodePage(text) ? text[0] : fallback;
}

// The thousands separator the code page can show in place of one it lacks
// (the narrow no-break space of French settings): the no-break space where
// the code page has one, else a plain space.
char blankThousandSeparator() {
  const wchar_t noBreakSpace = 0x00A0;
  char converted[4] = {};
  BOOL usedDefault = FALSE;
  int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &noBreakSpace, 1, converted, sizeof converted,
                                   nullptr, &usedDefault);
  return length == 1 && !usedDefault ? converted[0] : ' ';
}

char thousandSeparatorOfSystem(char fallback) {
  std::string text = localeInfo(LOCALE_STHOUSAND, "");
  if (text.empty()) return fallback;
  return survivesCodePage(text) ? text[0] : blankThousandSeparator();
}

// Windows picture strings ("dd/MM/yyyy", "HH:mm:ss tt") to the program's
// letters: months "m", minutes "n", hours "h", the 12-hour marker "ampm".
std::string fromWindowsPicture(const std::string& picture, bool isTime) {
  std::string result;
  bool twelveHour = false;
  for (size_t i = 0; i < picture.size(); ++i) {
    char c = picture[i];
    if (c == '\'') {
      size_t end = picture.find('\'', i + 1);
      if (end == std::string::npos) end = picture.size();
      result += '"' + picture.substr(i + 1, end - i - 1) + '"';
      i = end;
    } else if (c == 'M') {
      result += 'm';
    } else if (c == 'm' && isTime) {
      result += 'n';
    } else if (c == 'H') {
      result += 'h';
    } else if (c == 'h') {
      result += 'h';
      twelveHour = true;
    } else if (c == 't') {
      while (i + 1 < picture.size() && picture[i + 1] == 't') ++i;
      result += "ampm";
      twelveHour = false;
    } else if (c == 'g') {
      // era designator: not used by the program's formats
    } else {
      result += c;
    }
  }
  if (twelveHour && result.find("ampm") == std::string::npos) result += " ampm";
  return result;
}

}  // namespace

TLocaleSettings& localeSettings() {
  static TLocaleSettings settings;
  return settings;
}

TLocaleSettings defaultLocaleSettings() { return TLocaleSettings{}; }

void loadLocaleSettingsFromSystem() {
  TLocaleSettings settings;
  settings.decimalSeparator = localeChar(LOCALE_SDECIMAL, settings.decimalSeparator);
  settings.thousandSeparator = thousandSeparatorOfSystem(settings.thousandSeparator);
  settings.listSeparator = localeChar(LOCALE_SLIST, settings.listSeparator);
  settings.dateSeparator = localeChar(LOCALE_SDATE, settings.dateSeparator);
  settings.timeSeparator = localeChar(LOCALE_STIME, settings.timeSeparator);
  settings.shortDateFormat = fromWindowsPicture(localeInfo(LOCALE_SSHORTDATE, "M/d/yyyy"), false);
  settings.longDateFormat = fromWindowsPicture(localeInfo(LOCALE_SLONGDATE, "dddd, MMMM d, yyyy"), false);
  settings.longTimeFormat = fromWindowsPicture(localeInfo(LOCALE_STIMEFORMAT, "h:mm:ss tt"), true);
  std::string shortTime = settings.longTimeFormat;
  size_t seconds = shortTime.find(settings.timeSeparator + std::string("ss"));
  if (seconds != std::string::npos) shortTime.erase(seconds, 3);
  settings.shortTimeFormat = shortTime;
  settings.currencyString = localeInfo(LOCALE_SCURRENCY, settings.currencyString);
  settings.currencyFormat = std::atoi(localeInfo(LOCALE_ICURRENCY, "0").c_str());
  settings.negativeCurrencyFormat = std::atoi(localeInfo(LOCALE_INEGCURR, "0").c_str());
  settings.timeAMString = localeInfo(LOCALE_S1159, "");
  settings.timePMString = localeInfo(LOCALE_S2359, "");
  for (int month = 0; month < 12; ++month) {
    settings.shortMonthNames[month] =
        localeInfo(LOCALE_SABBREVMONTHNAME1 + month, settings.shortMonthNames[month]);
    settings.longMonthNames[month] = localeInfo(LOCALE_SMONTHNAME1 + month, settings.longMonthNames[month]);
  }
  // Windows counts days from Monday (LOCALE_SDAYNAME1), the program from Sunday.
  for (int day = 0; day < 7; ++day) {
    int windowsDay = (day + 6) % 7;
    settings.shortDayNames[day] = localeInfo(LOCALE_SABBREVDAYNAME1 + windowsDay, settings.shortDayNames[day]);
    settings.longDayNames[day] = localeInfo(LOCALE_SDAYNAME1 + windowsDay, settings.longDayNames[day]);
  }
  localeSettings() = settings;
}

std::string upperCase(std::string text) {
  if (!text.empty()) CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

std::string lowerCase(std::string text) {
  if (!text.empty()) CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

int compareText(const std::string& a, const std::string& b) {
  int result = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                              static_cast<int>(b.size()));
  if (result != 0) return result - CSTR_EQUAL;
  return upperCase(a).compare(upperCase(b));
}

bool sameText(const std::string& a, const std::string& b) {
  // Byte-wise after casing: a linguistic compare could call texts of other
  // lengths equal, which keys must never be.
  return a.size() == b.size() && upperCase(a) == upperCase(b);
}
