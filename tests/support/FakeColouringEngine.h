#pragma once
// An in-process stand-in for a script engine that offers the debug
// interface (Wine's engines do not), for tests and benchmarks of syntax
// colouring. It runs nothing; its colouring marks the word "function" as a
// keyword, digits as numbers and "//" to the line end as a comment. Header-
// only; register() makes CoCreateInstance find it under fakeColouringEngineId.
#include <windows.h>
#include <activscp.h>
#include <activdbg.h>

#include <cwchar>

// {6B1C3F0A-2D4E-4F5A-9B8C-7D6E5F4A3B2C}
inline const CLSID fakeColouringEngineId = {0x6B1C3F0A, 0x2D4E, 0x4F5A, {0x9B, 0x8C, 0x7D, 0x6E, 0x5F, 0x4A, 0x3B, 0x2C}};

class TFakeColouringEngine : public IActiveScript, public IActiveScriptParse, public IActiveScriptDebug {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IActiveScript)
      *object = static_cast<IActiveScript*>(this);
    else if (iid == __uuidof(IActiveScriptParse))
      *object = static_cast<IActiveScriptParse*>(this);
    else if (iid == __uuidof(IActiveScriptDebug))
      *object = static_cast<IActiveScriptDebug*>(this);
    else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  // IActiveScript
  HRESULT STDMETHODCALLTYPE SetScriptSite(IActiveScriptSite* site) override {
    if (site_) site_->Release();
    site_ = site;
    if (site_) site_->AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetScriptSite(REFIID, void** object) override {
    *object = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetScriptState(SCRIPTSTATE state) override {
    state_ = state;
    if (site_) site_->OnStateChange(state);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetScriptState(SCRIPTSTATE* state) override {
    *state = state_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Close() override {
    if (site_) site_->Release();
    site_ = nullptr;
    state_ = SCRIPTSTATE_CLOSED;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE AddNamedItem(LPCOLESTR, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE AddTypeLib(REFGUID, DWORD, DWORD, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetScriptDispatch(LPCOLESTR, IDispatch** dispatch) override {
    *dispatch = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetCurrentScriptThreadID(SCRIPTTHREADID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetScriptThreadID(DWORD, SCRIPTTHREADID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetScriptThreadState(SCRIPTTHREADID, SCRIPTTHREADSTATE*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE InterruptScriptThread(SCRIPTTHREADID, const EXCEPINFO*, DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Clone(IActiveScript** clone) override {
    *clone = nullptr;
    return E_NOTIMPL;
  }
  // IActiveScriptParse
  HRESULT STDMETHODCALLTYPE InitNew() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE AddScriptlet(LPCOLESTR, LPCOLESTR, LPCOLESTR, LPCOLESTR, LPCOLESTR, LPCOLESTR, DWORDLONG,
                                         ULONG, DWORD, BSTR*, EXCEPINFO*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE ParseScriptText(LPCOLESTR, LPCOLESTR, IUnknown*, LPCOLESTR, DWORDLONG, ULONG, DWORD,
                                            VARIANT*, EXCEPINFO*) override {
    return S_OK;
  }
  // IActiveScriptDebug
  HRESULT STDMETHODCALLTYPE GetScriptTextAttributes(LPCOLESTR code, ULONG count, LPCOLESTR, DWORD,
                                                    SOURCE_TEXT_ATTR* attributes) override {
    ULONG i = 0;
    while (i < count) {
      if (code[i] == L'/' && i + 1 < count && code[i + 1] == L'/') {
        while (i < count && code[i] != L'\r' && code[i] != L'\n') attributes[i++] = SOURCETEXT_ATTR_COMMENT;
      } else if (count - i >= 8 && std::wcsncmp(code + i, L"function", 8) == 0) {
        for (int k = 0; k < 8; ++k) attributes[i++] = SOURCETEXT_ATTR_KEYWORD;
      } else {
        attributes[i] = code[i] >= L'0' && code[i] <= L'9' ? SOURCETEXT_ATTR_NUMBER : 0;
        ++i;
      }
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetScriptletTextAttributes(LPCOLESTR code, ULONG count, LPCOLESTR delimiter, DWORD flags,
                                                       SOURCE_TEXT_ATTR* attributes) override {
    return GetScriptTextAttributes(code, count, delimiter, flags, attributes);
  }
  HRESULT STDMETHODCALLTYPE EnumCodeContextsOfPosition(DWORDLONG, ULONG, ULONG, IEnumDebugCodeContexts**) override {
    return E_NOTIMPL;
  }

 private:
  virtual ~TFakeColouringEngine() {
    if (site_) site_->Release();
  }
  ULONG references_ = 1;
  IActiveScriptSite* site_ = nullptr;
  SCRIPTSTATE state_ = SCRIPTSTATE_UNINITIALIZED;
};

// Makes the engine class known to CoCreateInstance in this process for the
// life of the object.
class TFakeColouringEngineClass : public IClassFactory {
 public:
  TFakeColouringEngineClass() {
    CoRegisterClassObject(fakeColouringEngineId, this, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
  }
  ~TFakeColouringEngineClass() {
    if (cookie_ != 0) CoRevokeClassObject(cookie_);
  }
  TFakeColouringEngineClass(const TFakeColouringEngineClass&) = delete;
  TFakeColouringEngineClass& operator=(const TFakeColouringEngineClass&) = delete;
  bool registered() const { return cookie_ != 0; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
      *object = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  // Lives on the stack of its user.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    auto* engine = new TFakeColouringEngine;
    HRESULT result = engine->QueryInterface(iid, object);
    engine->Release();
    return result;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  DWORD cookie_ = 0;
};
