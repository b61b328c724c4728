#pragma once
// A real Active Scripting engine (JScript, VBScript) with a minimal site,
// loaded with a script and connected, for tests and benchmarks of calls into
// macro functions. Header-only: the sheet library links the COM libraries.
#include <windows.h>
#include <activscp.h>
#include <wrl/client.h>

#include <stdexcept>
#include <string>

// The least a site must answer: no named items, no window; script errors
// are counted and otherwise ignored.
class TTestScriptSite : public IActiveScriptSite {
 public:
  int errorCount = 0;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IActiveScriptSite) {
      *object = static_cast<IActiveScriptSite*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  // Owned by the test object; the engine's references only count.
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }
  HRESULT STDMETHODCALLTYPE GetLCID(LCID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetItemInfo(LPCOLESTR, DWORD, IUnknown**, ITypeInfo**) override {
    return TYPE_E_ELEMENTNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE GetDocVersionString(BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnScriptTerminate(const VARIANT*, const EXCEPINFO*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnStateChange(SCRIPTSTATE) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnScriptError(IActiveScriptError*) override {
    ++errorCount;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnEnterScript() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnLeaveScript() override { return S_OK; }

 private:
  ULONG references_ = 1;
};

// COM for the calling thread, once.
inline void initializeComForTests() {
  static const HRESULT initialized = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  (void)initialized;
}

class TTestScriptEngine {
 public:
  // progId "JScript" or "VBScript"; raises std::runtime_error when the
  // engine cannot be made or the script does not parse.
  TTestScriptEngine(const wchar_t* progId, const wchar_t* script) {
    initializeComForTests();
    CLSID classId;
    check(CLSIDFromProgID(progId, &classId), "engine class");
    check(CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&engine_)), "engine object");
    check(engine_->SetScriptSite(&site_), "site");
    Microsoft::WRL::ComPtr<IActiveScriptParse> parser;
    check(engine_.As(&parser), "parser");
    check(parser->InitNew(), "InitNew");
    EXCEPINFO exception{};
    check(parser->ParseScriptText(script, nullptr, nullptr, nullptr, 0, 0, SCRIPTTEXT_ISVISIBLE, nullptr,
                                  &exception),
          "script");
    check(engine_->SetScriptState(SCRIPTSTATE_CONNECTED), "connect");
  }
  ~TTestScriptEngine() { close(); }
  TTestScriptEngine(const TTestScriptEngine&) = delete;
  TTestScriptEngine& operator=(const TTestScriptEngine&) = delete;

  IActiveScript* get() const { return engine_.Get(); }
  int scriptErrors() const { return site_.errorCount; }
  // As the macros window closes an engine it is done with.
  void close() {
    if (!engine_) return;
    engine_->SetScriptState(SCRIPTSTATE_DISCONNECTED);
    engine_->Close();
    engine_.Reset();
  }

 private:
  static void check(HRESULT result, const char* step) {
    if (FAILED(result)) throw std::runtime_error(std::string("script engine: ") + step);
  }

  TTestScriptSite site_;
  Microsoft::WRL::ComPtr<IActiveScript> engine_;
};
