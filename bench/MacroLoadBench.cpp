// Loading the macros: 100 active JScript packages of 1,000 lines each are
// read, joined and parsed, each on its own, into one fresh engine, as every
// reload does.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "bench/MacroBenchWindow.h"
#include "model/Directories.h"
#include "platform/ComCtrls.h"
#include "platform/FileSystem.h"
#include "platform/GuidText.h"
#include "macros/MacroForm.h"
#include "macros/MacroIndex.h"
#include "macros/ScriptEngineAttributes.h"
#include "macros/ScriptHost.h"
#include "tests/support/TestScriptEngine.h"

namespace {

const char* const jscriptId = "{F414C260-6AC0-11CF-B6D1-00AA00BBBB58}";

class TQuietEvents : public TScriptSiteEvents {
 public:
  std::string message;
  void showEngineState(const std::string&) override {}
  void showEngineMessage(const std::string& text) override { message = text; }
  void markScriptError(int, int) override {}
  HWND siteWindow() override { return nullptr; }
  void enableModeless(bool) override {}
};

}  // namespace

int main() {
  initializeComForTests();
  char temporary[MAX_PATH];
  GetTempPathA(MAX_PATH, temporary);
  const std::string folder = std::string(temporary) + "KestrovaMacroLoadBench\\";
  forceFolders(folder);
  const int packages = benchSize(100, 5), lines = benchSize(1000, 100);
  for (int p = 0; p < packages; ++p) {
    std::string name = "P" + std::to_string(p);
    std::string source;
    for (int line = 0; line < lines; ++line)
      source += "function " + name + "_" + std::to_string(line) + "(x) { return x * " + std::to_string(line) + "; }\r\n";
    writeFileAtomically(folder + name + ".INI", std::string("[Configuration]\r\nEngine=") + jscriptId + "\r\nActive=1\r\n");
    writeFileAtomically(folder + name + ".js", source);
  }
  TScriptEngineAttributes engine = defaultEngineAttributes();
  tryTextToGuid(jscriptId, engine.classId);
  engine.fileFilter = "*.js";
  TQuietEvents events;
  TScriptHost host(events);
  std::string errorText;
  size_t joinedSize = 0;
  // Each part's rounds: reading (index and sources), closing the previous
  // engine, starting the new one, parsing.
  std::vector<double> parts[4];
  const TBenchTimes whole = timeRounds(7, [&] {
    auto start = std::chrono::steady_clock::now();
    const auto lap = [&](int part) {
      parts[part].push_back(secondsSince(start));
      start = std::chrono::steady_clock::now();
    };
    TMacroIndex index;
    index.load(folder, jscriptId);
    std::vector<TMacroSource> sources;
    std::string joined = TScriptHost::joinActiveMacros(index, engine, nullptr, &sources);
    joinedSize = joined.size();
    lap(0);
    host.resetEngine();
    lap(1);
    host.initEngine(&engine);
    lap(2);
    host.parseSources(sources, errorText);
    lap(3);
  });
  std::printf("load %d packages x %d lines (%zu bytes) into one engine: %s%s\n", packages, lines, joinedSize,
              microseconds(whole).c_str(), errorText.empty() ? "" : (" error: " + errorText + " FAILED").c_str());
  const char* const partNames[] = {"read", "close the previous engine", "start", "parse"};
  for (int part = 0; part < 4; ++part)
    std::printf("  %-25s %s\n", partNames[part], microseconds(summarised(parts[part])).c_str());
  host.resetEngine();

  // The same through the Macros window, which also shows the joined text.
  setDirectory("<MACROS>", folder);
  writeFileAtomically(folder + "Bench.AXE", std::string("[Defaults]\r\nMacroEngine=") + jscriptId +
                                                "\r\n[Engines]\r\n0000=" + jscriptId + "\r\n[" + jscriptId +
                                                "]\r\nDescription=JScript\r\nFileFilter=*.js\r\n");
  {
    TMacroBenchWindow window;
    TmacroForm& form = window.form();
    form.setAxEnginesPath(folder + "Bench.AXE");
    form.listMacros();
    const TBenchTimes loading = timeRounds(7, [&] { form.loadMacros(); });
    std::printf("the same in the Macros window (loadMacros): %s (%s)\n", microseconds(loading).c_str(),
                form.macroEditorStatusBar().panelText(3).c_str());
  }
  deleteFile(folder + "Bench.AXE");
  for (int p = 0; p < packages; ++p) {
    deleteFile(folder + "P" + std::to_string(p) + ".INI");
    deleteFile(folder + "P" + std::to_string(p) + ".js");
  }
  removeFolder(folder);
  return errorText.empty() ? 0 : 1;
}
