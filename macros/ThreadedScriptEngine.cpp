#include "macros/ThreadedScriptEngine.h"

#include <algorithm>
#include <new>

#include "macros/ScriptThread.h"

namespace {

constexpr DISPID stoppedMember = 1;

}  // namespace

Microsoft::WRL::ComPtr<TThreadedScriptEngine> TThreadedScriptEngine::create(std::shared_ptr<TScriptThread> thread,
                                                                            IActiveScript* engine) {
  Microsoft::WRL::ComPtr<TThreadedScriptEngine> made;
  made.Attach(new (std::nothrow) TThreadedScriptEngine(std::move(thread), engine));
  if (made) made->AddRef();
  return made;
}

TThreadedScriptEngine::TThreadedScriptEngine(std::shared_ptr<TScriptThread> thread, IActiveScript* engine)
    : thread_(std::move(thread)), engine_(engine) {}

TThreadedScriptEngine::~TThreadedScriptEngine() { letGo(); }

void TThreadedScriptEngine::letGo() {
  if (!engine_ && !global_) return;
  if (!thread_->run([this] {
        global_.Reset();
        engine_.Reset();
      })) {
    // Its thread is gone: releasing here would run the engine's code on a
    // thread it does not belong to.
    global_.Detach();
    engine_.Detach();
  }
}

void TThreadedScriptEngine::close() {
  closed_ = true;
  letGo();
}

HRESULT TThreadedScriptEngine::onGlobal(const std::function<HRESULT(IDispatch&)>& call) {
  if (closed_) return E_UNEXPECTED;
  if (thread_->stopped()) return E_ABORT;
  HRESULT outcome = E_ABORT;
  thread_->run([&] {
    if (!global_ && FAILED(outcome = engine_->GetScriptDispatch(nullptr, &global_))) return;
    if (!global_) {
      outcome = E_UNEXPECTED;
      return;
    }
    outcome = call(*global_.Get());
  });
  return outcome;
}

HRESULT TThreadedScriptEngine::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IActiveScript)
    *object = static_cast<IActiveScript*>(this);
  else if (iid == IID_IDispatch)
    *object = static_cast<IDispatch*>(this);
  else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG TThreadedScriptEngine::AddRef() { return static_cast<ULONG>(++references_); }

ULONG TThreadedScriptEngine::Release() {
  LONG left = --references_;
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT TThreadedScriptEngine::GetScriptState(SCRIPTSTATE* state) {
  if (state == nullptr) return E_POINTER;
  *state = closed_ ? SCRIPTSTATE_CLOSED : SCRIPTSTATE_CONNECTED;
  return S_OK;
}

HRESULT TThreadedScriptEngine::GetScriptDispatch(LPCOLESTR itemName, IDispatch** dispatch) {
  if (dispatch == nullptr) return E_POINTER;
  *dispatch = nullptr;
  if (itemName != nullptr) return E_NOTIMPL;
  if (closed_) return E_UNEXPECTED;
  *dispatch = static_cast<IDispatch*>(this);
  AddRef();
  return S_OK;
}

HRESULT TThreadedScriptEngine::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) {
  // Every name of a stopped engine is known, so that every macro cell shows
  // the stop and not a missing function.
  if (!closed_ && thread_->stopped()) {
    if (ids == nullptr) return E_POINTER;
    std::fill(ids, ids + count, stoppedMember);
    return S_OK;
  }
  return onGlobal([&](IDispatch& global) { return global.GetIDsOfNames(iid, names, count, locale, ids); });
}

HRESULT TThreadedScriptEngine::Invoke(DISPID member, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                      VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
  return onGlobal([&](IDispatch& global) {
    return global.Invoke(member, iid, locale, flags, parameters, result, exception, argumentError);
  });
}

HRESULT TThreadedScriptEngine::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT TThreadedScriptEngine::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }
HRESULT TThreadedScriptEngine::SetScriptSite(IActiveScriptSite*) { return E_NOTIMPL; }
HRESULT TThreadedScriptEngine::GetScriptSite(REFIID, void** object) {
  if (object != nullptr) *object = nullptr;
  return E_NOTIMPL;
}
HRESULT TThreadedScriptEngine::SetScriptState(SCRIPTSTATE) { return E_NOTIMPL; }
HRESULT TThreadedScriptEngine::Close() { return E_NOTIMPL; }
HRESULT TThreadedScriptEngine::AddNamedItem(LPCOLESTR, DWORD) { return E_NOTIMPL; }
HRESULT TThreadedScriptEngine::AddTypeLib(REFGUID, DWORD, DWORD, DWORD) { return E_NOTIMPL; }
HRESULT TThreadedScriptEngine::GetCurrentScriptThreadID(SCRIPTTHREADID*) { return E_NOTIMPL; }
HRESULT TThreadedScriptEngine::GetScriptThreadID(DWORD, SCRIPTTHREADID*) { return E_NOTIMPL; }
HRESULT TThreadedScriptEngine::GetScriptThreadState(SCRIPTTHREADID, SCRIPTTHREADSTATE*) { return E_NOTIMPL; }
HRESULT TThreadedScriptEngine::InterruptScriptThread(SCRIPTTHREADID, const EXCEPINFO*, DWORD) { return E_NOTIMPL; }
HRESULT TThreadedScriptEngine::Clone(IActiveScript**) { return E_NOTIMPL; }
