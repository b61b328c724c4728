#pragma once
#include <string>

struct TMacroCallFailures;

// The state of one trading-system run as the progress window shows it,
// without the window: the stop code the buttons set, the fraction done and
// the time left.
class TSystemProgress {
 public:
  static constexpr int stopCode = -8;
  static constexpr int skipAllCode = -9;
  // The window appears only for runs longer than this (in days).
  static constexpr double showAfter = 3.0 / 86400;

  void begin(double now);
  void finish() { finished_ = true; }
  // The run's callback: the fraction done, and the stop code to answer.
  int report(long double low, long double high, long double position);
  void stop() { stopCode_ = stopCode; }
  void skipAll() { stopCode_ = skipAllCode; }

  int StopCode() const { return stopCode_; }
  long double Ratio() const { return ratio_; }
  bool Finished() const { return finished_; }
  bool dueToShow(double now) const { return now - startTime_ > showAfter; }
  long long secondsLeft(double now) const;
  // Hours unpadded, minutes and seconds in two digits: "0 : 04 : 07".
  static std::string etaText(long long seconds);

 private:
  int stopCode_ = 0;
  long double ratio_ = 0;
  double startTime_ = 0;
  bool finished_ = true;
};

// Whether a run's result is a failure to record (anything but success,
// nothing to run, Stop and Skip all), so that its system is not taken as
// applied.
inline bool systemRunFailed(int result) { return result != 0 && result != -7 && result != -8 && result != -9; }

// Why the soft transactions of a run that went on to no failure of its own
// are incomplete, in the user's words (to follow "are incomplete: "); empty
// when the run went to its end and no macro call was stopped. A macro that
// raises an error, or one the engine does not define, gives its cells an
// error value like any formula error: the rules did what the system says.
std::string incompleteRunReason(int runResult, const TMacroCallFailures& macroFailures);
// The one line that tells the user which macros of a run raised what, and
// which names no macro defines; empty when none.
std::string macroFaultNotice(const std::string& portfolioName, const TMacroCallFailures& macroFailures);
