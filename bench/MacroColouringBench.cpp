// A keystroke in the Macros window's editor on a 10,000-line source that the
// engine colours: the whole text goes to the engine's colouring, then the
// view is drawn. Wine's engines offer no colouring, so an in-process engine
// that does stands in for them.
#include <windows.h>

#include <cstdio>
#include <string>

#include "bench/BenchTiming.h"
#include "bench/MacroBenchWindow.h"
#include "controls/EditPanel.h"
#include "model/Directories.h"
#include "platform/FileSystem.h"
#include "platform/GuidText.h"
#include "platform/ListView.h"
#include "macros/MacroForm.h"
#include "tests/support/FakeColouringEngine.h"
#include "tests/support/TestScriptEngine.h"

int main() {
  initializeComForTests();
  TFakeColouringEngineClass engineClass;
  char temporary[MAX_PATH];
  GetTempPathA(MAX_PATH, temporary);
  const std::string folder = std::string(temporary) + "KestrovaMacroColouringBench\\";
  forceFolders(folder);
  setDirectory("<MACROS>", folder);
  const std::string id = guidToText(fakeColouringEngineId);
  writeFileAtomically(folder + "Bench.AXE", "[Defaults]\r\nMacroEngine=" + id + "\r\n[Engines]\r\n0000=" + id + "\r\n[" +
                                                id + "]\r\nDescription=Fake\r\nFileFilter=*.xs\r\n");
  std::string source;
  for (int i = 0; i < 10000; ++i)
    source += "function f" + std::to_string(i) + "(x) { return x * " + std::to_string(i) + "; } // line\r\n";
  writeFileAtomically(folder + "Big.INI", "[Configuration]\r\nEngine=" + id + "\r\nActive=0\r\n");
  writeFileAtomically(folder + "Big.xs", source);

  {
    TMacroBenchWindow window;
    TmacroForm& form = window.form();
    form.scriptHost().makeEngineObject = [&](const CLSID&, IActiveScript** engine) {
      return engineClass.CreateInstance(nullptr, IID_IActiveScript, reinterpret_cast<void**>(engine));
    };
    form.setAxEnginesPath(folder + "Bench.AXE");
    form.listMacros();
    form.loadMacros();
    form.macroListView().setItemIndex(0);
    form.selectMacro();
    TEditPanel& editor = form.macroEditPanel();
    form.selectedMacroStatus().setCaret({10, 5000});
    const TBenchTimes keystroke = timeRounds(21, [&] {
      form.selectedMacroStatus().keyPress('x');
      editor.update();
    });
    std::printf("keystroke in a 10,000-line coloured macro source: %s (%zu coloured characters)\n",
                microseconds(keystroke).c_str(), editor.attributeIds().size());
    form.selectedMacroStatus().modified = false;
  }
  for (const char* name : {"Bench.AXE", "Big.INI", "Big.xs"}) deleteFile(folder + name);
  removeFolder(folder);
  return 0;
}
