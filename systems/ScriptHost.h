#pragma once
#include <string>
#include <vector>

#include <windows.h>
#include <activscp.h>
#include <activdbg.h>
#include <wrl/client.h>

#include "systems/ActiveScriptSite.h"

class TMacroIndex;
struct TScriptEngineAttributes;

// The one running Active Scripting engine of the macros: made from the
// selected engine's class id, fed the joined sources of the active packages
// once, then called by the sheets. GUI thread only.
class TScriptHost {
 public:
  explicit TScriptHost(TScriptSiteEvents& events) : events_(events) {}
  ~TScriptHost() { resetEngine(); }
  TScriptHost(const TScriptHost&) = delete;
  TScriptHost& operator=(const TScriptHost&) = delete;

  IActiveScript* scriptEngine() const { return scriptEngine_.Get(); }
  IActiveScriptDebug* scriptDebug() const { return scriptDebug_.Get(); }

  void resetEngine();
  // Creates, connects and starts the engine; nullptr stands for no valid
  // selection. A failure is shown as the engine's message and leaves none.
  bool initEngine(const TScriptEngineAttributes* engine);
  bool parseScript(const std::string& code, std::string& errorText);

  // The sources of the active packages in index order, each the first file
  // of the engine's patterns that exists, separated by an empty line.
  // convertedFiles receives the sources that had to be converted to 8-bit text.
  static std::string joinActiveMacros(const TMacroIndex& index, const TScriptEngineAttributes& engine,
                                      std::vector<std::string>* convertedFiles = nullptr);
  // The file's bytes; UTF-16 text (with its byte-order mark) is converted to
  // the system code page, and any other zero byte becomes a blank, since the
  // engine would end the whole joined text there. converted tells which.
  static bool fileToString(const std::string& fileName, std::string& text, bool* converted = nullptr);

 private:
  bool fail(const std::string& message);

  TScriptSiteEvents& events_;
  Microsoft::WRL::ComPtr<IActiveScript> scriptEngine_;
  Microsoft::WRL::ComPtr<IActiveScriptParse> scriptParser_;
  Microsoft::WRL::ComPtr<IActiveScriptSite> scriptSite_;
  Microsoft::WRL::ComPtr<IActiveScriptDebug> scriptDebug_;
};

// The system's message text for a failure code.
std::string systemErrorText(HRESULT result);
