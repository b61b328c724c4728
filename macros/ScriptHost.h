#pragma once
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <windows.h>
#include <activscp.h>
#include <activdbg.h>
#include <wrl/client.h>

#include "macros/ActiveScriptSite.h"
#include "macros/ScriptEngineAttributes.h"
#include "macros/StoppedMacroCalls.h"

class TMacroIndex;
class TScriptThread;
class TThreadedScriptEngine;

// One active package's source as the engine is given it.
struct TMacroSource {
  std::string fileName;  // package name and extension
  std::string text;
  int firstLine = 0;  // its first line in the joined text, from 0
};

// The one running Active Scripting engine of the macros: made from the
// selected engine's class id, fed the sources of the active packages once,
// then called by the sheets. It lives on a thread of its own (a call that
// runs long can be stopped there); everything else, the site's reports
// included, reaches the owner on the thread that uses the host.
class TScriptHost {
 public:
  explicit TScriptHost(TScriptSiteEvents& events);
  ~TScriptHost();
  TScriptHost(const TScriptHost&) = delete;
  TScriptHost& operator=(const TScriptHost&) = delete;

  // The engine as the sheets hold it; nullptr when none runs.
  IActiveScript* scriptEngine() const;
  bool hasScriptDebug() const;
  // The engine's colouring of text, one attribute a character.
  bool getScriptTextAttributes(const std::wstring& text, std::vector<SOURCE_TEXT_ATTR>& attributes);
  // Makes the engine object on the script thread, from its class id; an
  // engine known only to one apartment (a stand-in registered by a caller)
  // is made through its own class object instead.
  std::function<HRESULT(const CLSID& classId, IActiveScript** engine)> makeEngineObject = [](const CLSID& classId,
                                                                                            IActiveScript** engine) {
    return CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IActiveScript,
                            reinterpret_cast<void**>(engine));
  };
  // Milliseconds a macro call runs before the user may stop it.
  void setStopPromptDelay(int milliseconds) { stopPromptDelay_ = milliseconds; }

  void resetEngine();
  // Creates, connects and starts the engine; nullptr stands for no valid
  // selection. A failure is shown as the engine's message and leaves none.
  bool initEngine(const TScriptEngineAttributes* engine);
  // Runs text in the engine; positions the engine reports are counted from
  // startingLine and the error names the source of that context cookie.
  bool parseScript(const std::string& code, std::string& errorText, DWORD sourceContext = 0,
                   ULONG startingLine = 0);
  // Each source on its own, so that one that does not compile leaves the
  // others' functions callable; errorText tells the first failure.
  bool parseSources(const std::vector<TMacroSource>& sources, std::string& errorText);
  // parseSources in two halves: the engine parses on its own thread while
  // the caller works; nothing else may use the host in between.
  void startParsingSources(const std::vector<TMacroSource>& sources);
  bool parsedSources(std::string& errorText);

  // The sources of the active packages in index order, each the first file
  // of the engine's patterns that exists, separated by an empty line.
  // convertedFiles receives the sources that had to be converted to 8-bit
  // text; sources, each source with its place in the joined text.
  static std::string joinActiveMacros(const TMacroIndex& index, const TScriptEngineAttributes& engine,
                                      std::vector<std::string>* convertedFiles = nullptr,
                                      std::vector<TMacroSource>* sources = nullptr);
  // The file's bytes; UTF-16 text (with its byte-order mark) is converted to
  // the system code page, and any other zero byte becomes a blank, since the
  // engine would end the whole joined text there. converted tells which.
  static bool fileToString(const std::string& fileName, std::string& text, bool* converted = nullptr);

 private:
  // The site's reports, collected on the script thread and passed on by
  // deliverReports on the host's.
  class TQueuedEvents : public TScriptSiteEvents {
   public:
    explicit TQueuedEvents(TScriptHost& host) : host_(host) {}
    void showEngineState(const std::string& text) override;
    void showEngineMessage(const std::string& text) override;
    void markScriptError(int line, int column) override;
    void scriptError(const TScriptErrorReport& report) override;
    HWND siteWindow() override { return window_; }
    void enableModeless(bool enable) override;
    void setWindow(HWND window) { window_ = window; }
    std::vector<std::function<void()>> take();

   private:
    void queue(std::function<void()> report);
    TScriptHost& host_;
    std::mutex mutex_;
    std::vector<std::function<void()>> reports_;
    HWND window_ = nullptr;
  };

  bool fail(const std::string& message);
  // Makes and connects the engine on a new thread; the failure's text, or
  // empty.
  std::string startEngine();
  // Lets go of what a stopped thread held: releasing it here would run the
  // engine's code on this thread.
  void abandonEngine();
  // Lets the thread end after its last task (at once when it was stopped)
  // and delivers what it left to report.
  void leaveThread();
  // A call the user stopped: remembered, said, and the engine made again
  // from the same sources behind the same sheet engine.
  void callStopped(const std::string& name);
  std::string describeCall(const std::string& name) const;
  void runSources();
  HRESULT parseText(const std::wstring& code, DWORD sourceContext, ULONG startingLine);
  void deliverReports();
  void showScriptError(const TScriptErrorReport& report);

  TScriptSiteEvents& events_;
  TQueuedEvents queuedEvents_{*this};
  std::shared_ptr<TScriptThread> thread_;
  Microsoft::WRL::ComPtr<TThreadedScriptEngine> sheetEngine_;
  // Used on the script thread only.
  Microsoft::WRL::ComPtr<IActiveScript> scriptEngine_;
  Microsoft::WRL::ComPtr<IActiveScriptParse> scriptParser_;
  Microsoft::WRL::ComPtr<IActiveScriptSite> scriptSite_;
  Microsoft::WRL::ComPtr<IActiveScriptDebug> scriptDebug_;
  std::vector<TMacroSource> sources_;
  std::vector<std::wstring> parsedTexts_;
  HRESULT parseFailure_ = S_OK;
  bool parseStarted_ = false;
  // The first error the engine reported since a parse began.
  std::string firstError_;
  // The last error the engine reported, until a macro call takes it.
  std::string reportedError_;
  bool stopReported_ = false;
  // While a stop is being told, the engine's running and idle reports do
  // not cover it.
  bool stopNoticeShown_ = false;
  TScriptEngineAttributes engine_;
  TStoppedMacroCalls stoppedCalls_;
  int stopPromptDelay_ = 3000;
};
