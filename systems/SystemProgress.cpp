#include "systems/SystemProgress.h"

#include "sheet/MacroCallout.h"

#include <cmath>
#include <cstdio>

void TSystemProgress::begin(double now) {
  stopCode_ = 0;
  ratio_ = 0;
  startTime_ = now;
  finished_ = false;
}

int TSystemProgress::report(long double low, long double high, long double position) {
  const long double span = high - low + 1;
  const long double ratio = span != 0 ? (position - low) / span : 0;
  ratio_ = std::isfinite(ratio) && ratio > 0 ? ratio : 0;
  return stopCode_;
}

long long TSystemProgress::secondsLeft(double now) const {
  if (ratio_ <= 0) return 0;
  return std::llround(static_cast<long double>(now - startTime_) * 86400 * (1 / ratio_ - 1));
}

std::string TSystemProgress::etaText(long long seconds) {
  if (seconds < 0) seconds = 0;
  char text[48];
  std::snprintf(text, sizeof text, "%lld : %02lld : %02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
  return text;
}

std::string incompleteRunReason(int runResult, const TMacroCallFailures& macroFailures) {
  if (runResult == TSystemProgress::stopCode) return "the run of its trading system was stopped";
  if (runResult == TSystemProgress::skipAllCode) return "the run of its trading system was stopped with \"Skip all\"";
  if (systemRunFailed(runResult)) return "";
  if (macroFailures.stopped != 0) return "a macro its trading system calls was stopped";
  return "";
}

std::string macroFaultNotice(const std::string& portfolioName, const TMacroCallFailures& macroFailures) {
  std::string faults;
  const auto add = [&faults](const std::string& fault) { faults += (faults.empty() ? "" : "; ") + fault; };
  for (const TRaisedMacro& macro : macroFailures.raisedMacros) {
    add("the macro " + macro.name + " raised an error in " + std::to_string(macro.calls) +
        (macro.calls == 1 ? " call" : " calls") + (macro.error.empty() ? "" : " (" + macro.error + ")"));
  }
  for (const std::string& name : macroFailures.unknownNames) add("no macro defines " + name);
  if (faults.empty()) return "";
  return "Trading system of \"" + portfolioName + "\": " + faults +
         ". Its rules did not fire on the days their cells held these errors.";
}
