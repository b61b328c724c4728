// fm.exe for the tests: a small stand-in for the companion downloader, so that
// the link can be driven across a real process boundary. It registers its
// automation object for the current user, sets the ready event and answers
// the members the link calls, as told by the file the environment variable
// FM_STAND_IN_SETUP names, which a test started beside another one of the
// same program keeps to itself, or else by "fm.ini" beside it, which an
// installed copy has (re-read at every call, so a test can change its
// answers while it runs):
//
//   [Fetchmoor]  Log=<file>   every call's name, one a line; the text of the
//                             last Queue and Edit goes to <file>.queue and
//                             <file>.edit byte for byte
//   [Queue]      Result=<n>   Queue's answer (0)
//                CopyFrom=<folder> CopyTo=<folder>   quote files "downloaded"
//                             by a successful Queue; afterwards the queued
//                             items get today's LastUpdate and both
//                             report-back events are set
//   [Edit]       Questions=<n>   how many Editing questions after Edit or
//                             NetSetup are answered true (0): counted, not
//                             timed, so that a busy machine asks as often
//                Name=<text>  written into every edited item, after which the
//                             list event is set
//   [MakeObject] Name=, Symbol=, Currency=   the new item; Refuse=1 makes none
//
// A second start ends at once; the stand-in ends when the event
// "Fetchmoor Stand-in Quit" is set or after two idle minutes.
#include <windows.h>
#include <oleauto.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

// {9881C74B-F0E1-433A-B894-6769028BB245}
constexpr CLSID managerClassId = {0x9881c74b, 0xf0e1, 0x433a, {0xb8, 0x94, 0x67, 0x69, 0x02, 0x8b, 0xb2, 0x45}};
constexpr const char* managerClassText = "{9881C74B-F0E1-433A-B894-6769028BB245}";
constexpr DWORD idleLimitMilliseconds = 120000;

std::string ownFolder() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string file(path, length);
  return file.substr(0, file.find_last_of('\\') + 1);
}

std::string setupFile() {
  char named[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableA("FM_STAND_IN_SETUP", named, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(named, length) : ownFolder() + "fm.ini";
}

std::string setting(const char* section, const char* key, const char* fallback = "") {
  char value[1024] = {};
  GetPrivateProfileStringA(section, key, fallback, value, sizeof value, setupFile().c_str());
  return value;
}

int numberSetting(const char* section, const char* key, int fallback) {
  return static_cast<int>(GetPrivateProfileIntA(section, key, fallback, setupFile().c_str()));
}

void log(const std::string& call) {
  const std::string file = setting("Fetchmoor", "Log");
  if (file.empty()) return;
  std::ofstream(file, std::ios::binary | std::ios::app) << call << '\n';
}

void keepText(const char* extension, const std::string& text) {
  const std::string file = setting("Fetchmoor", "Log");
  if (!file.empty()) std::ofstream(file + extension, std::ios::binary | std::ios::trunc) << text;
}

std::string narrow(const wchar_t* wide, UINT count) {
  if (count == 0) return {};
  const int length = WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(count), nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(count), text.data(), length, nullptr, nullptr);
  return text;
}

BSTR wide(const std::string& text) {
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(length));
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), result, length);
  return result;
}

bool fileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The item files a path text names: lists end in a backslash and stand for
// their numbered items.
std::vector<std::string> itemFilesOf(const std::string& pathText) {
  std::vector<std::string> files;
  size_t start = 0;
  for (size_t end = pathText.find('\n'); end != std::string::npos; start = end + 1, end = pathText.find('\n', start)) {
    const std::string entry = pathText.substr(start, end - start);
    if (entry.empty() || entry.back() != '\\') {
      files.push_back(entry);
      continue;
    }
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((entry + "*.INI").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) continue;
    do {
      if (found.cFileName[0] >= '1' && found.cFileName[0] <= '9') files.push_back(entry + found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  return files;
}

// The report-back events stay open while the stand-in runs, so that a set
// event outlives a program that has not opened it yet.
class TReportEvents {
 public:
  TReportEvents()
      : data_(CreateEventA(nullptr, TRUE, FALSE, "Kestrova Data Reload")),
        list_(CreateEventA(nullptr, TRUE, FALSE, "Kestrova List Reload")) {}
  ~TReportEvents() {
    CloseHandle(data_);
    CloseHandle(list_);
  }
  void dataWritten() const { SetEvent(data_); }
  void itemsChanged() const { SetEvent(list_); }

 private:
  HANDLE data_;
  HANDLE list_;
};

class TManager final : public IDispatch {
 public:
  explicit TManager(const TReportEvents& events) : events_(events) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (id == IID_IUnknown || id == IID_IDispatch) {
      *object = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    if (count != 1) return DISP_E_UNKNOWNNAME;
    for (DISPID id = 0; id < memberCount; ++id)
      if (_wcsicmp(names[0], members[id]) == 0) {
        ids[0] = id;
        return S_OK;
      }
    ids[0] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT* result,
                                   EXCEPINFO*, UINT*) override {
    if (id < 0 || id >= memberCount) return DISP_E_MEMBERNOTFOUND;
    log(narrow(members[id], static_cast<UINT>(wcslen(members[id]))));
    if (result) VariantInit(result);
    std::string argument;
    if (parameters && parameters->cArgs > 0) {
      const VARIANT& given = parameters->rgvarg[0];
      if (given.vt == VT_BSTR) argument = narrow(given.bstrVal, SysStringLen(given.bstrVal));
      else if (given.vt == (VT_BSTR | VT_BYREF)) argument = narrow(*given.pbstrVal, SysStringLen(*given.pbstrVal));
      else return DISP_E_TYPEMISMATCH;
    }
    switch (id) {
      case 0: return answer(result, queue(argument));
      case 1: edit(argument); return S_OK;
      case 2: return answer(result, makeObject(argument));
      case 3: startEditing(); return S_OK;
      case 4: return answer(result, editingQuestionsLeft_-- > 0);
      default: return S_OK;  // BringToFront, ReloadDirList: noted in the log only
    }
  }

 private:
  static constexpr const wchar_t* members[] = {L"Queue",   L"Edit",         L"MakeObject",   L"NetSetup",
                                               L"Editing", L"BringToFront", L"ReloadDirList"};
  static constexpr DISPID memberCount = 7;

  static HRESULT answer(VARIANT* result, int value) {
    if (!result) return S_OK;
    result->vt = VT_I4;
    result->lVal = value;
    return S_OK;
  }
  static HRESULT answer(VARIANT* result, bool value) {
    if (!result) return S_OK;
    result->vt = VT_BOOL;
    result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  }
  static HRESULT answer(VARIANT* result, const std::string& value) {
    if (!result) return S_OK;
    result->vt = VT_BSTR;
    result->bstrVal = wide(value);
    return S_OK;
  }

  int queue(const std::string& pathText) {
    keepText(".queue", pathText);
    const int code = numberSetting("Queue", "Result", 0);
    const std::string from = setting("Queue", "CopyFrom");
    const std::string to = setting("Queue", "CopyTo");
    if (code != 0 || from.empty() || to.empty()) return code;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((from + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
          CopyFileA((from + "\\" + found.cFileName).c_str(), (to + "\\" + found.cFileName).c_str(), FALSE);
      } while (FindNextFileA(search, &found));
      FindClose(search);
    }
    SYSTEMTIME now;
    GetLocalTime(&now);
    SYSTEMTIME epoch{1899, 12, 0, 30, 0, 0, 0, 0};
    FILETIME nowTime, epochTime;
    SystemTimeToFileTime(&now, &nowTime);
    SystemTimeToFileTime(&epoch, &epochTime);
    const auto ticks = [](FILETIME time) { return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime; };
    const std::string today = std::to_string((ticks(nowTime) - ticks(epochTime)) / 864000000000ULL);
    for (const std::string& item : itemFilesOf(pathText))
      WritePrivateProfileStringA("DownloadItem", "LastUpdate", today.c_str(), item.c_str());
    events_.itemsChanged();
    events_.dataWritten();
    return 0;
  }

  void edit(const std::string& pathText) {
    keepText(".edit", pathText);
    const std::string name = setting("Edit", "Name");
    if (!name.empty()) {
      for (const std::string& item : itemFilesOf(pathText))
        WritePrivateProfileStringA("DownloadItem", "Name", name.c_str(), item.c_str());
      events_.itemsChanged();
    }
    startEditing();
  }

  void startEditing() { editingQuestionsLeft_ = numberSetting("Edit", "Questions", 0); }

  std::string makeObject(const std::string& listFolder) {
    if (numberSetting("MakeObject", "Refuse", 0) != 0) return {};
    std::string file;
    for (int number = 1; file.empty(); ++number) {
      const std::string candidate = listFolder + "\\" + std::to_string(number) + ".INI";
      if (!fileExists(candidate)) file = candidate;
    }
    for (const char* key : {"Name", "Symbol", "Currency"})
      WritePrivateProfileStringA("DownloadItem", key, setting("MakeObject", key).c_str(), file.c_str());
    return file;
  }

  const TReportEvents& events_;
  LONG references_ = 1;
  int editingQuestionsLeft_ = 0;
};

class TManagerFactory : public IClassFactory {
 public:
  explicit TManagerFactory(const TReportEvents& events) : events_(events) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (id == IID_IUnknown || id == IID_IClassFactory) {
      *object = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  // Lives as long as the program: the count is not kept.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID id, void** object) override {
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    TManager* manager = new TManager(events_);
    const HRESULT result = manager->QueryInterface(id, object);
    manager->Release();
    return result;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  const TReportEvents& events_;
};

void writeKey(HKEY root, const std::string& key, const std::string& value) {
  HKEY handle;
  if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr) != ERROR_SUCCESS)
    return;
  RegSetValueExA(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(handle);
}

void registerUnder(HKEY root, const std::string& classesKey) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string classKey = classesKey + "CLSID\\" + managerClassText;
  writeKey(root, classesKey + "Fetchmoor.Manager", "Fetchmoor manager");
  writeKey(root, classesKey + "Fetchmoor.Manager\\CLSID", managerClassText);
  writeKey(root, classKey, "Fetchmoor manager");
  writeKey(root, classKey + "\\LocalServer32", path);
  writeKey(root, classKey + "\\ProgID", "Fetchmoor.Manager");
}

void registerForCurrentUser() {
  registerUnder(HKEY_CURRENT_USER, "Software\\Classes\\");
  // Wine looks its classes up in the machine's classes only; the tests run
  // in a Wine prefix of their own, so the machine's entry goes with it.
  CLSID found;
  if (FAILED(CLSIDFromProgID(L"Fetchmoor.Manager", &found))) registerUnder(HKEY_CLASSES_ROOT, "");
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const HANDLE single = CreateMutexA(nullptr, FALSE, "Fetchmoor Stand-in");
  if (GetLastError() == ERROR_ALREADY_EXISTS) return 0;
  if (FAILED(CoInitialize(nullptr))) return 1;
  registerForCurrentUser();
  const TReportEvents events;
  TManagerFactory factory(events);
  DWORD cookie = 0;
  if (FAILED(CoRegisterClassObject(managerClassId, &factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie))) {
    CoUninitialize();
    return 1;
  }
  const HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, "Kestrova Fetchmoor Ready");
  const HANDLE quit = CreateEventA(nullptr, TRUE, FALSE, "Fetchmoor Stand-in Quit");
  SetEvent(ready);
  log("Started");
  // Calls arrive as messages of this apartment; a quiet spell ends the
  // stand-in, so that a test that forgot it leaves nothing behind.
  for (;;) {
    const DWORD woken = MsgWaitForMultipleObjects(1, &quit, FALSE, idleLimitMilliseconds, QS_ALLINPUT);
    if (woken != WAIT_OBJECT_0 + 1) break;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  ResetEvent(ready);
  CoRevokeClassObject(cookie);
  CloseHandle(quit);
  CloseHandle(ready);
  CoUninitialize();
  CloseHandle(single);
  return 0;
}
