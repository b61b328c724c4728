// Formulas calling macro functions: 10,000 cells calling a one-line
// VBScript function and 10,000 calling a JScript one, full recalculation
// (argument read from a cell, name looked up once, one Invoke per cell),
// on the engine directly and through the program's host, whose engine runs
// on a thread of its own; then a million direct calls, in rounds of
// 100,000, with the memory they leave behind.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

#include "bench/BenchTiming.h"
#include "platform/FloatingPoint.h"
#include "platform/LocaleSettings.h"
#include "sheet/MacroCallout.h"
#include "sheet/Sheet.h"
#include "sheet/VariantConversion.h"
#include "macros/ScriptEngineAttributes.h"
#include "macros/ScriptHost.h"
#include "tests/support/TestScriptEngine.h"

namespace {

std::size_t committedBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PagefileUsage;
}

// False when a cell did not call the script.
bool recalculation(const char* language, IActiveScript* engine, const char* function) {
  const int cells = benchSize(10000, 300);
  TSheet sheet;
  sheet.setScriptEngine(engine, false);
  for (int r = 1; r <= cells; ++r) {
    sheet.setCellContent(1, r, 0, std::to_string(r), 1);
    sheet.setCellContent(2, r, 0, std::string("=") + function + "(A" + std::to_string(r) + ")", 1);
  }
  sheet.recalculateAll(false);  // first pass looks the name up
  int rounds = 0;
  const TBenchTimes times = timeRounds(
      9,
      [&] {
        sheet.markAllDirty();
        ++rounds;
      },
      [&] { sheet.recalculateAll(false); });
  // The script counts its own calls: proof that every cell did call it, on
  // its entry, in the first pass and in every round.
  sheet.parseAndEvaluate("=calls()", 3, 1, false);
  const bool allCalled = sheet.resultValue.integer == cells * (rounds + 2);
  std::printf("%-18s %d cells, full recalculation: %s, a cell %s  (last = %s, %d script calls)%s\n", language,
              cells, microseconds(times).c_str(), microseconds(times.per(cells)).c_str(),
              sheet.getCellText(2, cells, false).c_str(), sheet.resultValue.integer, allCalled ? "" : " FAILED");
  return allCalled;
}

class TQuietEvents : public TScriptSiteEvents {
 public:
  void showEngineState(const std::string&) override {}
  void showEngineMessage(const std::string&) override {}
  void markScriptError(int, int) override {}
  HWND siteWindow() override { return nullptr; }
  void enableModeless(bool) override {}
};

// As the program calls its macros: the engine on the host's own thread.
bool hostedRecalculation(const char* language, const char* progId, const std::string& script, const char* function) {
  TQuietEvents events;
  TScriptHost host(events);
  TScriptEngineAttributes attributes = defaultEngineAttributes();
  CLSIDFromProgID(ansiToWide(progId).c_str(), &attributes.classId);
  std::string errorText;
  if (!host.initEngine(&attributes) || !host.parseScript(script, errorText)) {
    std::printf("%s: no engine %s FAILED\n", language, errorText.c_str());
    return false;
  }
  return recalculation(language, host.scriptEngine(), function);
}

void directCalls() {
  const int callsARound = benchSize(100000, 5000);
  TTestScriptEngine engine(L"VBScript", L"Function Echo(a, b)\nEcho = a & b\nEnd Function\n");
  TMacroCallout callout;
  callout.setScriptEngine(engine.get());
  TValueRecord text;
  text.kind = valueString;
  text.string = std::string(64, 'x');
  TScriptValue result;
  auto fill = [&](TScriptArguments& arguments) {
    arguments.setValue(0, text);
    arguments.setValue(1, text);
    return true;
  };
  for (int i = 0; i < 10000; ++i) callout.callFunction("Echo", 2, fill, result);
  std::size_t before = committedBytes();
  int calls = 0;
  const TBenchTimes times = timeRounds(10, [&] {
    for (int i = 0; i < callsARound; ++i) callout.callFunction("Echo", 2, fill, result);
    calls += callsARound;
  });
  std::size_t after = committedBytes();
  std::printf("VBScript direct calls, two 64-char texts: a call %s; memory after %d calls %+.1f MB\n",
              microseconds(times.per(callsARound)).c_str(), calls,
              (static_cast<double>(after) - static_cast<double>(before)) / 1e6);
}

}  // namespace

int main() {
  setExtendedPrecision();
  localeSettings() = defaultLocaleSettings();
  initializeComForTests();
  const char* vbscript =
      "Dim count\nFunction Twice(x)\ncount = count + 1: Twice = x * 2\nEnd Function\n"
      "Function Calls()\nCalls = count\nEnd Function\n";
  const char* jscript = "var count = 0; function twice(x) { ++count; return x * 2; } function calls() { return count; }";
  bool allCalled = true;
  {
    TTestScriptEngine engine(L"VBScript", ansiToWide(vbscript).c_str());
    allCalled = recalculation("VBScript", engine.get(), "Twice") && allCalled;
  }
  {
    TTestScriptEngine engine(L"JScript", ansiToWide(jscript).c_str());
    allCalled = recalculation("JScript", engine.get(), "twice") && allCalled;
  }
  allCalled = hostedRecalculation("VBScript, hosted", "VBScript", vbscript, "Twice") && allCalled;
  allCalled = hostedRecalculation("JScript, hosted", "JScript", jscript, "twice") && allCalled;
  directCalls();
  return allCalled ? 0 : 1;
}
