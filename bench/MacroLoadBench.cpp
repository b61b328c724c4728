// Loading the macros: 100 active JScript packages of 1,000 lines each are
// read, joined and parsed into one fresh engine, as every reload does.
#include <cstdio>
#include <string>

#include "bench/BenchTiming.h"
#include "platform/FileSystem.h"
#include "platform/GuidText.h"
#include "systems/MacroIndex.h"
#include "systems/ScriptEngineAttributes.h"
#include "systems/ScriptHost.h"
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
  constexpr int packages = 100, lines = 1000;
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
  double seconds = bestTime(3, [&] {
    TMacroIndex index;
    index.load(folder, jscriptId);
    std::string joined = TScriptHost::joinActiveMacros(index, engine);
    joinedSize = joined.size();
    host.initEngine(&engine);
    host.parseScript(joined, errorText);
  });
  std::printf("load %d packages x %d lines (%zu bytes) into one engine: %.3f s%s\n", packages, lines, joinedSize,
              seconds, errorText.empty() ? "" : (" error: " + errorText).c_str());
  host.resetEngine();
  for (int p = 0; p < packages; ++p) {
    deleteFile(folder + "P" + std::to_string(p) + ".INI");
    deleteFile(folder + "P" + std::to_string(p) + ".js");
  }
  removeFolder(folder);
  return 0;
}
