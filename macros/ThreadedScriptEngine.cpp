#include "macros/ThreadedScriptEngine.h"

#include <algorithm>
#include <new>

#include "macros/ScriptThread.h"
#include "sheet/MacroCallout.h"
#include "sheet/VariantConversion.h"

namespace {

// Clear of DISPID_VALUE and the other reserved ids.
constexpr DISPID firstMember = 1000;

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
  watch_ = {};
  letGo();
}

void TThreadedScriptEngine::rebind(std::shared_ptr<TScriptThread> thread, IActiveScript* engine) {
  // The old thread is gone with whatever it held.
  global_.Detach();
  engine_.Detach();
  thread_ = std::move(thread);
  engine_ = engine;
  std::fill(engineIds_.begin(), engineIds_.end(), DISPID_UNKNOWN);
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

HRESULT TThreadedScriptEngine::engineMember(std::size_t index, DISPID& id) {
  if (engineIds_[index] != DISPID_UNKNOWN) {
    id = engineIds_[index];
    return S_OK;
  }
  LPOLESTR name = names_[index].data();
  id = DISPID_UNKNOWN;
  HRESULT found = onGlobal([&](IDispatch& global) { return global.GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id); });
  if (SUCCEEDED(found) && id != DISPID_UNKNOWN) engineIds_[index] = id;
  return found;
}

HRESULT TThreadedScriptEngine::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (closed_) return E_UNEXPECTED;
  if (names == nullptr || ids == nullptr) return E_POINTER;
  HRESULT outcome = S_OK;
  for (UINT i = 0; i < count; ++i) {
    const std::wstring name = names[i] != nullptr ? names[i] : L"";
    auto known = std::find(names_.begin(), names_.end(), name);
    std::size_t index = static_cast<std::size_t>(known - names_.begin());
    if (known == names_.end()) {
      names_.push_back(name);
      engineIds_.push_back(DISPID_UNKNOWN);
    }
    ids[i] = static_cast<DISPID>(index) + firstMember;
    // A stopped function, and every name of an engine left stopped, is
    // known, so that its cells show the stop and not a missing function.
    if ((watch_.isStopped && watch_.isStopped(wideToAnsi(name.data(), name.size()))) || thread_->stopped()) continue;
    DISPID id = DISPID_UNKNOWN;
    HRESULT found = engineMember(index, id);
    if (FAILED(found) || id == DISPID_UNKNOWN) {
      ids[i] = DISPID_UNKNOWN;
      outcome = FAILED(found) && found != DISP_E_UNKNOWNNAME && !thread_->stopped() ? found : DISP_E_UNKNOWNNAME;
    }
  }
  return outcome;
}

HRESULT TThreadedScriptEngine::Invoke(DISPID member, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                      VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
  if (closed_) return E_UNEXPECTED;
  const std::size_t index = static_cast<std::size_t>(member - firstMember);
  if (member < firstMember || index >= names_.size()) return DISP_E_MEMBERNOTFOUND;
  const std::string name = wideToAnsi(names_[index].data(), names_[index].size());
  if (watch_.isStopped && watch_.isStopped(name)) {
    if (!TMacroRetry::active() || !watch_.retry) return E_ABORT;
    watch_.retry(name);
  }
  if (thread_->stopped()) return E_ABORT;
  DISPID id = DISPID_UNKNOWN;
  if (HRESULT found = engineMember(index, id); FAILED(found) || id == DISPID_UNKNOWN)
    return thread_->stopped() ? E_ABORT : DISP_E_MEMBERNOTFOUND;
  // Described only when the stop window shows: finding the package that
  // defines the function reads every source, too much for every call.
  thread_->runningCall = [this, &name] { return watch_.describe ? watch_.describe(name) : std::string(); };
  if (watch_.takeReportedError) watch_.takeReportedError();
  // The engine reports its error to the site, which the Macros window
  // shows; the caller gets that report's text rather than the engine's
  // bare exception, which would keep it from the site.
  HRESULT outcome = onGlobal([&](IDispatch& global) {
    return global.Invoke(id, iid, locale, flags, parameters, result, nullptr, argumentError);
  });
  thread_->runningCall = nullptr;
  if (thread_->stopped()) {
    if (watch_.stopped) watch_.stopped(name);
    return E_ABORT;
  }
  if (exception != nullptr && FAILED(outcome) && watch_.takeReportedError) {
    const std::string error = watch_.takeReportedError();
    if (!error.empty()) {
      *exception = {};
      exception->scode = outcome;
      exception->bstrDescription = SysAllocString(ansiToWide(error).c_str());
    }
  }
  return outcome;
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
