#pragma once
#include <string>

#include <windows.h>
#include <activscp.h>
#include <wrl/client.h>

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
};

// The program's own Active Scripting site: it adds no named items and passes
// what the engine tells it to the window through TScriptSiteEvents, which
// must outlive every engine the site is registered with.
class TActiveScriptSite : public IActiveScriptSite, public IActiveScriptSiteWindow {
 public:
  // The only way to make one; the object lives as long as its references.
  static Microsoft::WRL::ComPtr<IActiveScriptSite> create(TScriptSiteEvents& events);

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
  explicit TActiveScriptSite(TScriptSiteEvents& events) : events_(events) {}
  virtual ~TActiveScriptSite() = default;

  TScriptSiteEvents& events_;
  LONG references_ = 0;
};

// The names of the standard script states 0 to 5; nullptr for others.
const char* scriptStateName(int state);
// A BSTR in the system code page.
std::string ansiText(const wchar_t* text);
