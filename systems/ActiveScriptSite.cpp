#include "systems/ActiveScriptSite.h"

#include <new>

Microsoft::WRL::ComPtr<IActiveScriptSite> TActiveScriptSite::create(TScriptSiteEvents& events) {
  Microsoft::WRL::ComPtr<IActiveScriptSite> site;
  auto* object = new (std::nothrow) TActiveScriptSite(events);
  if (object != nullptr) site = static_cast<IActiveScriptSite*>(object);
  return site;
}

const char* scriptStateName(int state) {
  // "Initialzed" is the program's established spelling.
  static const char* const names[] = {"Uninitialized", "Started", "Connected", "Disconnected", "Closed", "Initialzed"};
  return state >= 0 && state <= 5 ? names[state] : nullptr;
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
  events_.showEngineMessage("Script terminated");
  return S_OK;
}

HRESULT TActiveScriptSite::OnStateChange(SCRIPTSTATE state) {
  if (const char* name = scriptStateName(static_cast<int>(state))) events_.showEngineState(name);
  return S_OK;
}

HRESULT TActiveScriptSite::OnScriptError(IActiveScriptError* error) {
  if (error == nullptr) return S_OK;
  try {
    DWORD context = 0;
    ULONG line = 0;
    LONG position = 0;
    // Engines count lines from 0.
    if (SUCCEEDED(error->GetSourcePosition(&context, &line, &position)))
      events_.markScriptError(static_cast<int>(line) + 1, static_cast<int>(position) + 1);
    EXCEPINFO exception{};
    if (SUCCEEDED(error->GetExceptionInfo(&exception))) {
      if (exception.pfnDeferredFillIn != nullptr) exception.pfnDeferredFillIn(&exception);
      events_.showEngineMessage(ansiText(exception.bstrDescription));
      SysFreeString(exception.bstrSource);
      SysFreeString(exception.bstrDescription);
      SysFreeString(exception.bstrHelpFile);
    }
  } catch (...) {
  }
  return S_OK;
}

HRESULT TActiveScriptSite::OnEnterScript() {
  events_.showEngineMessage("Engine running");
  return S_OK;
}

HRESULT TActiveScriptSite::OnLeaveScript() {
  events_.showEngineMessage("Engine idle");
  return S_OK;
}

HRESULT TActiveScriptSite::GetWindow(HWND* window) {
  if (window == nullptr) return E_POINTER;
  *window = events_.siteWindow();
  return S_OK;
}

HRESULT TActiveScriptSite::EnableModeless(BOOL enable) {
  events_.enableModeless(enable != 0);
  return S_OK;
}
