#pragma once
#include <string>

// The user's regional settings as the program uses them: separators, date and
// time formats (in the program's own date-time format letters, see
// DateTime.h) and day and month names. One program-wide record, filled
// from the system locale at start; tests set it explicitly.
struct TLocaleSettings {
  char decimalSeparator = '.';
  char thousandSeparator = ',';
  char listSeparator = ',';
  char dateSeparator = '/';
  char timeSeparator = ':';
  std::string shortDateFormat = "m/d/yyyy";
  std::string longDateFormat = "dddd, mmmm d, yyyy";
  std::string shortTimeFormat = "h:nn AMPM";
  std::string longTimeFormat = "h:nn:ss AMPM";
  // Money: the currency symbol and its place for positive and negative
  // amounts (Windows' LOCALE_ICURRENCY 0 to 3 and LOCALE_INEGCURR 0 to 15).
  std::string currencyString = "$";
  int currencyFormat = 0;
  int negativeCurrencyFormat = 0;
  std::string timeAMString = "AM";
  std::string timePMString = "PM";
  std::string shortMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::string longMonthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                    "July",    "August",   "September", "October", "November", "December"};
  std::string shortDayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  std::string longDayNames[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
};

// The program-wide record. Reading it from several threads is safe; only
// start-up code and tests change it.
TLocaleSettings& localeSettings();

// Fills the record from the user's default locale (GetLocaleInfoA).
void loadLocaleSettingsFromSystem();

// The settings of a neutral English locale with "." and "," separators, the
// record's initial state; tests start from it.
TLocaleSettings defaultLocaleSettings();

// Upper- and lower-casing with the system locale's mapping for the ANSI code
// page (CharUpperBuffA / CharLowerBuffA), as every 8-bit text of the program.
std::string upperCase(std::string text);
std::string lowerCase(std::string text);

// Locale-aware comparison of two texts without regard to case: negative,
// zero or positive. Used by key look-ups in settings files and by the
// sheet's text comparisons.
int compareText(const std::string& a, const std::string& b);
bool sameText(const std::string& a, const std::string& b);
