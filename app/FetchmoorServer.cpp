#include "app/DownloaderLink.h"

#include <oleauto.h>
#include <shellapi.h>
#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

namespace {

constexpr const char* readyEventName = "Kestrova Fetchmoor Ready";
constexpr const wchar_t* progId = L"Fetchmoor.Manager";

std::wstring wideOf(const std::string& text) {
  if (text.empty()) return {};
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

std::string narrowOf(BSTR wide) {
  const int count = static_cast<int>(SysStringLen(wide));
  if (count == 0) return {};
  const int length = WideCharToMultiByte(CP_ACP, 0, wide, count, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, count, text.data(), length, nullptr, nullptr);
  return text;
}

struct TVariant : VARIANT {
  TVariant() { VariantInit(this); }
  ~TVariant() { VariantClear(this); }
  TVariant(const TVariant&) = delete;
  TVariant& operator=(const TVariant&) = delete;
};

struct THandleClose {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};

// Fetchmoor's object, called late-bound by name as the link promises.
class TDispatchServer : public TDownloaderServer {
 public:
  explicit TDispatchServer(ComPtr<IDispatch> object) : object_(std::move(object)) {}

  int Queue(const std::string& pathText) override {
    TVariant argument;
    argument.vt = VT_BSTR;
    argument.bstrVal = SysAllocString(wideOf(pathText).c_str());
    TVariant result;
    call(L"Queue", &argument, 1, &result);
    TVariant converted;
    if (FAILED(VariantChangeType(&converted, &result, 0, VT_I4))) throw EDownloaderCall("Queue: no number");
    return converted.lVal;
  }
  void Edit(const std::string& pathText) override {
    BSTR text = SysAllocString(wideOf(pathText).c_str());
    TVariant argument;  // by reference, as Fetchmoor declares it
    argument.vt = VT_BSTR | VT_BYREF;
    argument.pbstrVal = &text;
    try {
      call(L"Edit", &argument, 1, nullptr);
    } catch (...) {
      SysFreeString(text);
      throw;
    }
    SysFreeString(text);
    argument.vt = VT_EMPTY;
  }
  std::string MakeObject(const std::string& listFolder) override {
    TVariant argument;
    argument.vt = VT_BSTR;
    argument.bstrVal = SysAllocString(wideOf(listFolder).c_str());
    TVariant result;
    call(L"MakeObject", &argument, 1, &result);
    TVariant converted;
    if (FAILED(VariantChangeType(&converted, &result, 0, VT_BSTR))) return {};
    return narrowOf(converted.bstrVal);
  }
  void NetSetup() override { call(L"NetSetup", nullptr, 0, nullptr); }
  bool Editing() override {
    TVariant result;
    call(L"Editing", nullptr, 0, &result);
    TVariant converted;
    if (FAILED(VariantChangeType(&converted, &result, 0, VT_BOOL))) throw EDownloaderCall("Editing: no truth value");
    return converted.boolVal != VARIANT_FALSE;
  }
  void BringToFront() override { call(L"BringToFront", nullptr, 0, nullptr); }
  void ReloadDirList() override { call(L"ReloadDirList", nullptr, 0, nullptr); }

 private:
  void call(const wchar_t* name, VARIANT* arguments, UINT count, VARIANT* result) {
    DISPID id;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    if (FAILED(object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)))
      throw EDownloaderCall("Fetchmoor has no member of this name");
    DISPPARAMS parameters{arguments, nullptr, count, 0};
    if (FAILED(object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, result, nullptr,
                               nullptr)))
      throw EDownloaderCall("Fetchmoor refused the call");
  }

  ComPtr<IDispatch> object_;
};

std::string ownFolder() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

}  // namespace

std::unique_ptr<TDownloaderServer> connectDownloader(bool onlyIfRunning, HWND owner) {
  if (!onlyIfRunning) {
    const std::string executable = ownFolder() + "fm.exe";
    if (GetFileAttributesA(executable.c_str()) == INVALID_FILE_ATTRIBUTES) throw EDownloaderMissing(executable);
    // The program tells of a missing downloader itself; a start that fails
    // otherwise counts as not available, without the shell's own error box.
    SHELLEXECUTEINFOA start{};
    start.cbSize = sizeof start;
    start.fMask = SEE_MASK_FLAG_NO_UI;
    start.hwnd = owner;
    start.lpVerb = "open";
    start.lpFile = executable.c_str();
    start.nShow = SW_SHOWMINIMIZED;
    if (!ShellExecuteExA(&start) || reinterpret_cast<INT_PTR>(start.hInstApp) <= 32) return nullptr;
  }
  const std::unique_ptr<void, THandleClose> ready(CreateEventA(nullptr, TRUE, FALSE, readyEventName));
  if (!ready || WaitForSingleObject(ready.get(), onlyIfRunning ? 10 : 10000) != WAIT_OBJECT_0) return nullptr;
  CLSID classId;
  if (FAILED(CLSIDFromProgID(progId, &classId))) throw EDownloaderCall("Fetchmoor is not registered");
  ComPtr<IDispatch> object;
  if (FAILED(CoCreateInstance(classId, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&object))))
    throw EDownloaderCall("Fetchmoor's object could not be made");
  return std::make_unique<TDispatchServer>(std::move(object));
}
