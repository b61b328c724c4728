// Formulas calling macro functions: 10,000 cells calling a one-line
// VBScript function and 10,000 calling a JScript one, full recalculation
// (argument read from a cell, name looked up once, one Invoke per cell),
// on the engine directly and through the program's host, whose engine runs
// on a thread of its own; then a million direct calls with the memory they
// leave behind.
#include <windows.h>
#include <psapi.h>

#include <chrono>
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

using TClock = std::chrono::steady_clock;

double secondsSince(TClock::time_point start) {
  return std::chrono::duration<double>(TClock::now() - start).count();
}

std::size_t committedBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PagefileUsage;
}

void recalculation(const char* language, IActiveScript* engine, const char* function) {
  const int cells = benchSize(10000, 300);
  TSheet sheet;
  sheet.setScriptEngine(engine, false);
  for (int r = 1; r <= cells; ++r) {
    sheet.setCellContent(1, r, 0, std::to_string(r), 1);
    sheet.setCellContent(2, r, 0, std::string("=") + function + "(A" + std::to_string(r) + ")", 1);
  }
  sheet.recalculateAll(false);  // first pass looks the name up
  const int rounds = benchRounds(5);
  auto start = TClock::now();
  for (int round = 0; round < rounds; ++round) {
    sheet.markAllDirty();
    sheet.recalculateAll(false);
  }
  double seconds = secondsSince(start) / rounds;
  // The script counts its own calls: proof that every cell did call it.
  sheet.parseAndEvaluate("=calls()", 3, 1, false);
  std::printf("%-18s %d cells, full recalculation: %8.4f s  %6.2f us/cell  (last = %s, %d script calls)\n",
              language, cells, seconds, seconds * 1e6 / cells, sheet.getCellText(2, cells, false).c_str(),
              sheet.resultValue.integer);
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
void hostedRecalculation(const char* language, const char* progId, const std::string& script, const char* function) {
  TQuietEvents events;
  TScriptHost host(events);
  TScriptEngineAttributes attributes = defaultEngineAttributes();
  CLSIDFromProgID(ansiToWide(progId).c_str(), &attributes.classId);
  std::string errorText;
  if (!host.initEngine(&attributes) || !host.parseScript(script, errorText)) {
    std::printf("%s: no engine %s\n", language, errorText.c_str());
    return;
  }
  recalculation(language, host.scriptEngine(), function);
}

void millionCalls() {
  const int calls = benchSize(1000000, 10000);
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
  auto start = TClock::now();
  for (int i = 0; i < calls; ++i) callout.callFunction("Echo", 2, fill, result);
  double seconds = secondsSince(start);
  std::size_t after = committedBytes();
  std::printf("VBScript %d direct calls, two 64-char texts:  %8.3f s  %6.2f us/call  memory %+.1f MB\n", calls,
              seconds, seconds * 1e6 / calls, (static_cast<double>(after) - static_cast<double>(before)) / 1e6);
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
  {
    TTestScriptEngine engine(L"VBScript", ansiToWide(vbscript).c_str());
    recalculation("VBScript", engine.get(), "Twice");
  }
  {
    TTestScriptEngine engine(L"JScript", ansiToWide(jscript).c_str());
    recalculation("JScript", engine.get(), "twice");
  }
  hostedRecalculation("VBScript, hosted", "VBScript", vbscript, "Twice");
  hostedRecalculation("JScript, hosted", "JScript", jscript, "twice");
  millionCalls();
  return 0;
}
