#pragma once
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>
#include <activscp.h>
#include <wrl/client.h>

class TScriptThread;

// What the engine's owner decides about calls the user stops.
struct TScriptCallWatch {
  // The function was stopped before: it is not called again.
  std::function<bool(const std::string& name)> isStopped;
  // The user asked that it be called once more (a cell entered anew).
  std::function<void(const std::string& name)> retry;
  // Names the call in the stop window.
  std::function<std::string(const std::string& name)> describe;
  // The user stopped it: the owner records it and gives the engine a fresh
  // thread and engine (rebind) or leaves it stopped.
  std::function<void(const std::string& name)> stopped;
  // The text of the last error the engine reported to its site, taken:
  // empty when none came since the last time asked.
  std::function<std::string()> takeReportedError;
};

// The macro engine as the sheets hold it: its global object's look-ups and
// calls are carried out on the engine's own thread. A closed engine answers
// as closed; a call the user stopped fails with E_ABORT, and so does every
// later call of that function, or of any function while the owner leaves
// the engine stopped. The sheets use no other part of the engine.
//
// Member ids are the object's own, one per name, so that they stay valid
// when the owner puts a fresh engine behind it.
class TThreadedScriptEngine final : public IActiveScript, public IDispatch {
 public:
  // On the script thread, with the running engine, which is used and
  // released there only.
  static Microsoft::WRL::ComPtr<TThreadedScriptEngine> create(std::shared_ptr<TScriptThread> thread,
                                                              IActiveScript* engine);
  // Lets go of the engine (on its thread, while that runs); later calls
  // answer as a closed engine.
  void close();
  void setWatch(TScriptCallWatch watch) { watch_ = std::move(watch); }
  // Puts a fresh engine on its own thread in place of one whose thread was
  // stopped (on the thread of the callers, between calls).
  void rebind(std::shared_ptr<TScriptThread> thread, IActiveScript* engine);

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IActiveScript
  HRESULT STDMETHODCALLTYPE SetScriptSite(IActiveScriptSite* site) override;
  HRESULT STDMETHODCALLTYPE GetScriptSite(REFIID iid, void** object) override;
  HRESULT STDMETHODCALLTYPE SetScriptState(SCRIPTSTATE state) override;
  HRESULT STDMETHODCALLTYPE GetScriptState(SCRIPTSTATE* state) override;
  HRESULT STDMETHODCALLTYPE Close() override;
  HRESULT STDMETHODCALLTYPE AddNamedItem(LPCOLESTR name, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE AddTypeLib(REFGUID library, DWORD major, DWORD minor, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE GetScriptDispatch(LPCOLESTR itemName, IDispatch** dispatch) override;
  HRESULT STDMETHODCALLTYPE GetCurrentScriptThreadID(SCRIPTTHREADID* id) override;
  HRESULT STDMETHODCALLTYPE GetScriptThreadID(DWORD win32ThreadId, SCRIPTTHREADID* id) override;
  HRESULT STDMETHODCALLTYPE GetScriptThreadState(SCRIPTTHREADID id, SCRIPTTHREADSTATE* state) override;
  HRESULT STDMETHODCALLTYPE InterruptScriptThread(SCRIPTTHREADID id, const EXCEPINFO* exception,
                                                  DWORD flags) override;
  HRESULT STDMETHODCALLTYPE Clone(IActiveScript** clone) override;
  // IDispatch: the engine's global object
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** typeInfo) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

 private:
  TThreadedScriptEngine(std::shared_ptr<TScriptThread> thread, IActiveScript* engine);
  ~TThreadedScriptEngine();
  // Runs call on the script thread with the engine's global object;
  // E_ABORT when the thread did not run it to its end.
  HRESULT onGlobal(const std::function<HRESULT(IDispatch&)>& call);
  void letGo();
  // The engine's member id of names_[index], looked up once per engine.
  HRESULT engineMember(std::size_t index, DISPID& id);

  std::atomic<LONG> references_{0};
  std::shared_ptr<TScriptThread> thread_;
  // Used and released on the script thread only.
  Microsoft::WRL::ComPtr<IActiveScript> engine_;
  Microsoft::WRL::ComPtr<IDispatch> global_;
  bool closed_ = false;
  TScriptCallWatch watch_;
  // Our member id of names_[i] is i + firstMember; engineIds_[i] is the
  // engine's, DISPID_UNKNOWN until looked up in the current engine.
  std::vector<std::wstring> names_;
  std::vector<DISPID> engineIds_;
};
