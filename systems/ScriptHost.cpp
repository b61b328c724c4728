#include "systems/ScriptHost.h"

#include "platform/FileSystem.h"
#include "systems/MacroIndex.h"
#include "systems/ScriptEngineAttributes.h"

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

void TScriptHost::resetEngine() {
  if (scriptEngine_) {
    scriptEngine_->SetScriptState(SCRIPTSTATE_DISCONNECTED);
    scriptEngine_->Close();
    scriptEngine_.Reset();
  }
  scriptParser_.Reset();
  scriptSite_.Reset();
  scriptDebug_.Reset();
}

bool TScriptHost::fail(const std::string& message) {
  events_.showEngineMessage(message);
  resetEngine();
  return false;
}

bool TScriptHost::initEngine(const TScriptEngineAttributes* engine) {
  resetEngine();
  if (engine == nullptr) return fail("Invalid script engine selection!");
  HRESULT created = CoCreateInstance(engine->classId, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                     IID_PPV_ARGS(&scriptEngine_));
  if (FAILED(created)) return fail(systemErrorText(created));
  if (!scriptEngine_) return fail("Can't create script engine object!");
  if (FAILED(scriptEngine_.As(&scriptParser_)))
    return fail("Script engine doesn't support IActiveScriptParse interface!");
  if (FAILED(scriptEngine_.As(&scriptDebug_))) scriptDebug_.Reset();
  scriptSite_ = TActiveScriptSite::create(events_);
  if (!scriptSite_) return fail("Can't create script site object!");
  if (FAILED(scriptEngine_->SetScriptSite(scriptSite_.Get())))
    return fail("Can't register script site object with script engine!");
  if (FAILED(scriptParser_->InitNew())) return fail("Can't initialize script!");
  if (FAILED(scriptEngine_->SetScriptState(SCRIPTSTATE_CONNECTED))) return fail("Can't connect script!");
  return true;
}

bool TScriptHost::parseScript(const std::string& code, std::string& errorText) {
  if (!scriptParser_) {
    errorText = "No IActiveScriptParse interface available!";
    return false;
  }
  std::wstring wide;
  if (!code.empty()) {
    int length = MultiByteToWideChar(CP_ACP, 0, code.data(), static_cast<int>(code.size()), nullptr, 0);
    wide.resize(length);
    MultiByteToWideChar(CP_ACP, 0, code.data(), static_cast<int>(code.size()), wide.data(), length);
  }
  VARIANT result;
  VariantInit(&result);
  EXCEPINFO exception{};
  HRESULT parsed = scriptParser_->ParseScriptText(wide.c_str(), nullptr, nullptr, nullptr, 0, 0, 0, &result, &exception);
  VariantClear(&result);
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  if (parsed == S_OK) return true;
  switch (parsed) {
    case E_INVALIDARG: errorText = "Invalid argument!"; break;
    case DISP_E_EXCEPTION: errorText = "Can't parse script!"; break;
    case E_NOTIMPL: errorText = "Script engine doesn't support run-time evaluation!"; break;
    case E_POINTER: errorText = "Invalid pointer!"; break;
    case E_UNEXPECTED: errorText = "Script engine not ready!"; break;
    default: errorText = "Unspecified script egine error!"; break;
  }
  return false;
}

bool TScriptHost::fileToString(const std::string& fileName, std::string& text, bool* converted) {
  if (converted != nullptr) *converted = false;
  if (!readFileBytes(fileName, text)) return false;
  bool littleEndian = text.size() >= 2 && text[0] == '\xFF' && text[1] == '\xFE';
  bool bigEndian = text.size() >= 2 && text[0] == '\xFE' && text[1] == '\xFF';
  if (littleEndian || bigEndian) {
    std::wstring wide;
    for (size_t i = 2; i + 1 < text.size(); i += 2) {
      unsigned char first = static_cast<unsigned char>(text[i]), second = static_cast<unsigned char>(text[i + 1]);
      wide.push_back(static_cast<wchar_t>(littleEndian ? first | second << 8 : second | first << 8));
    }
    text.clear();
    if (!wide.empty()) {
      int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
      text.resize(length);
      WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), text.data(), length, nullptr, nullptr);
    }
    if (converted != nullptr) *converted = true;
  }
  for (char& c : text)
    if (c == '\0') {
      c = ' ';
      if (converted != nullptr) *converted = true;
    }
  return true;
}

std::string TScriptHost::joinActiveMacros(const TMacroIndex& index, const TScriptEngineAttributes& engine,
                                          std::vector<std::string>* convertedFiles) {
  std::vector<std::string> extensions = fileFilterExtensions(engine.fileFilter);
  std::string joined;
  for (int i = 0; i < index.count(); ++i) {
    const TMacroReference* package = index.item(i);
    if (!package->Active()) continue;
    for (const std::string& extension : extensions) {
      std::string path = index.directory() + package->name() + extension;
      if (!fileExists(path)) continue;
      std::string text;
      bool converted = false;
      if (fileToString(path, text, &converted)) {
        if (!joined.empty()) joined += "\r\n\r\n";
        joined += text;
        if (converted && convertedFiles != nullptr) convertedFiles->push_back(package->name() + extension);
      }
      break;
    }
  }
  return joined;
}
