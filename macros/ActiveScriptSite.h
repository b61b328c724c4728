#pragma once
#include <string>

#include <windows.h>
#include <activscp.h>
#include <wrl/client.h>

// A script error as the engine reports it: the source context cookie of
// the text it lies in, line and column from 1 in the joined text (engines
// count both from 0), and the engine's own message.
struct TScriptErrorReport {
  DWORD sourceContext = 0;
  int line = 0;
  int column = 0;
  std::string description;
};

// What the site reports to the Macros window while an engine runs. The
// status panels: 2 the engine's state, 3 its messages.
class TScriptSiteEvents {
 public:
  virtual ~TScriptSiteEvents() = default;
  virtual void showEngineState(const std::string& text) = 0;
  virtual void showEngineMessage(const std::string& text) = 0;
  // Line and column of the joined text, both from 1.
  virtual void markScriptError(int line, int column) = 0;
  virtual HWND siteWindow() = 0;
  virtual void enableModeless(bool enable) = 0;
  // The position is marked and the message shown.
  virtual void scriptError(const TScriptErrorReport& report) {
    if (report.line > 0) markScriptError(report.line, report.column);
    showEngineMessage(report.description);
  }
};

// Panel 3 while a script runs and after it.
inline constexpr const char* engineRunningText = "Engine running";
inline constexpr const char* engineIdleText = "Engine idle";

// The program's own Active Scripting site: it adds no named items and passes
// what the engine tells it to its events, which must outlive every engine
// the site is registered with. Made by TActiveScriptSiteFactory only.
class TActiveScriptSite : public IActiveScriptSite, public IActiveScriptSiteWindow {
 public:
  // Until set, the site reports nothing.
  void setEvents(TScriptSiteEvents* events) { events_ = events; }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IActiveScriptSite
  HRESULT STDMETHODCALLTYPE GetLCID(LCID* lcid) override;
  HRESULT STDMETHODCALLTYPE GetItemInfo(LPCOLESTR name, DWORD returnMask, IUnknown** item,
                                        ITypeInfo** typeInfo) override;
  HRESULT STDMETHODCALLTYPE GetDocVersionString(BSTR* version) override;
  HRESULT STDMETHODCALLTYPE OnScriptTerminate(const VARIANT* result, const EXCEPINFO* exception) override;
  HRESULT STDMETHODCALLTYPE OnStateChange(SCRIPTSTATE state) override;
  HRESULT STDMETHODCALLTYPE OnScriptError(IActiveScriptError* error) override;
  HRESULT STDMETHODCALLTYPE OnEnterScript() override;
  HRESULT STDMETHODCALLTYPE OnLeaveScript() override;
  // IActiveScriptSiteWindow
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) override;

 private:
  friend class TActiveScriptSiteFactory;
  TActiveScriptSite() = default;
  virtual ~TActiveScriptSite() = default;

  TScriptSiteEvents* events_ = nullptr;
  LONG references_ = 0;
  // An error reported while the engine ran stays shown when it leaves.
  bool errorReported_ = false;
};

// The one class factory of the script sites, made when the program starts.
// Its class is internal: never registered with the system, so only the
// program makes sites, and each site is used on the thread that made it.
class TActiveScriptSiteFactory : public IClassFactory {
 public:
  enum class TInstancing { internal, single, multiple };
  enum class TThreadingModel { single, apartment, free, both };

  static TActiveScriptSiteFactory& instance();

  const char* className() const { return "ActiveScript Host"; }
  const CLSID& classId() const { return IID_IActiveScriptSite; }
  const char* description() const { return ""; }
  TInstancing instancing() const { return TInstancing::internal; }
  TThreadingModel threadingModel() const { return TThreadingModel::single; }

  // A new site reporting to events; nullptr when none could be made.
  Microsoft::WRL::ComPtr<IActiveScriptSite> createSite(TScriptSiteEvents* events);

  // IUnknown: the factory lives as long as the program.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  // IClassFactory
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  TActiveScriptSiteFactory() = default;
};

// The names of the standard script states 0 to 5; nullptr for others.
const char* scriptStateName(int state);
// A BSTR in the system code page.
std::string ansiText(const wchar_t* text);
// The system's message text for a failure code.
std::string systemErrorText(HRESULT result);
