#include "macros/ActiveScriptSite.h"

#include <new>

TActiveScriptSiteFactory& TActiveScriptSiteFactory::instance() {
  static TActiveScriptSiteFactory factory;
  return factory;
}

HRESULT TActiveScriptSiteFactory::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (iid != IID_IUnknown && iid != IID_IClassFactory) {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  *object = static_cast<IClassFactory*>(this);
  return S_OK;
}

HRESULT TActiveScriptSiteFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  auto* site = new (std::nothrow) TActiveScriptSite();
  if (site == nullptr) return E_OUTOFMEMORY;
  site->AddRef();
  HRESULT outcome = site->QueryInterface(iid, object);
  site->Release();
  return outcome;
}

Microsoft::WRL::ComPtr<IActiveScriptSite> TActiveScriptSiteFactory::createSite(TScriptSiteEvents* events) {
  Microsoft::WRL::ComPtr<IActiveScriptSite> site;
  if (FAILED(CreateInstance(nullptr, IID_PPV_ARGS(&site))) || !site) return nullptr;
  // Every object of this class is a TActiveScriptSite.
  static_cast<TActiveScriptSite*>(site.Get())->setEvents(events);
  return site;
}

const char* scriptStateName(int state) {
  // "Initialzed" is the program's established spelling.
  static const char* const names[] = {"Uninitialized", "Started", "Connected", "Disconnected", "Closed", "Initialzed"};
  return state >= 0 && state <= 5 ? names[state] : nullptr;
}

std::string systemErrorText(HRESULT result) {
  char* buffer = nullptr;
  DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                nullptr, static_cast<DWORD>(result), 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
  std::string text;
  if (buffer != nullptr) {
    text.assign(buffer, length);
    LocalFree(buffer);
  }
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
  if (text.empty()) {
    char code[32];
    wsprintfA(code, "Error 0x%08lX", static_cast<unsigned long>(result));
    text = code;
  }
  return text;
}

std::string ansiText(const wchar_t* text) {
  if (text == nullptr || *text == 0) return {};
  int length = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1) return {};
  std::string result(length - 1, '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, result.data(), length, nullptr, nullptr);
  return result;
}

HRESULT TActiveScriptSite::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IActiveScriptSite)
    *object = static_cast<IActiveScriptSite*>(this);
  else if (iid == IID_IActiveScriptSiteWindow)
    *object = static_cast<IActiveScriptSiteWindow*>(this);
  else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG TActiveScriptSite::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG TActiveScriptSite::Release() {
  LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT TActiveScriptSite::GetLCID(LCID*) { return E_NOTIMPL; }

HRESULT TActiveScriptSite::GetItemInfo(LPCOLESTR, DWORD, IUnknown** item, ITypeInfo** typeInfo) {
  if (item != nullptr) *item = nullptr;
  if (typeInfo != nullptr) *typeInfo = nullptr;
  return S_OK;
}

HRESULT TActiveScriptSite::GetDocVersionString(BSTR*) { return E_NOTIMPL; }

HRESULT TActiveScriptSite::OnScriptTerminate(const VARIANT*, const EXCEPINFO*) {
  if (events_ != nullptr) events_->showEngineMessage("Script terminated");
  return S_OK;
}

HRESULT TActiveScriptSite::OnStateChange(SCRIPTSTATE state) {
  if (const char* name = scriptStateName(static_cast<int>(state)); name != nullptr && events_ != nullptr)
    events_->showEngineState(name);
  return S_OK;
}

HRESULT TActiveScriptSite::OnScriptError(IActiveScriptError* error) {
  if (error == nullptr || events_ == nullptr) return S_OK;
  try {
    TScriptErrorReport report;
    ULONG line = 0;
    LONG position = 0;
    if (SUCCEEDED(error->GetSourcePosition(&report.sourceContext, &line, &position))) {
      report.line = static_cast<int>(line) + 1;
      report.column = static_cast<int>(position) + 1;
    }
    EXCEPINFO exception{};
    if (SUCCEEDED(error->GetExceptionInfo(&exception))) {
      if (exception.pfnDeferredFillIn != nullptr) exception.pfnDeferredFillIn(&exception);
      report.description = ansiText(exception.bstrDescription);
      // Some engines give only the kind of error and its code.
      if (report.description.empty()) {
        std::string source = ansiText(exception.bstrSource);
        HRESULT code = exception.scode != 0 ? exception.scode : static_cast<HRESULT>(exception.wCode);
        report.description = (source.empty() ? "" : source + ": ") + systemErrorText(code);
      }
      SysFreeString(exception.bstrSource);
      SysFreeString(exception.bstrDescription);
      SysFreeString(exception.bstrHelpFile);
    }
    errorReported_ = true;
    events_->scriptError(report);
  } catch (...) {
  }
  return S_OK;
}

HRESULT TActiveScriptSite::OnEnterScript() {
  errorReported_ = false;
  if (events_ != nullptr) events_->showEngineMessage(engineRunningText);
  return S_OK;
}

HRESULT TActiveScriptSite::OnLeaveScript() {
  if (events_ != nullptr && !errorReported_) events_->showEngineMessage(engineIdleText);
  return S_OK;
}

HRESULT TActiveScriptSite::GetWindow(HWND* window) {
  if (window == nullptr) return E_POINTER;
  *window = events_ != nullptr ? events_->siteWindow() : nullptr;
  return S_OK;
}

HRESULT TActiveScriptSite::EnableModeless(BOOL enable) {
  if (events_ != nullptr) events_->enableModeless(enable != 0);
  return S_OK;
}
