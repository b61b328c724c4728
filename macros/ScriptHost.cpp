#include "macros/ScriptHost.h"

#include <algorithm>
#include <utility>

#include "model/UnreadableFiles.h"
#include "platform/FileSystem.h"
#include "macros/MacroIndex.h"
#include "macros/ScriptEngineAttributes.h"
#include "macros/ScriptThread.h"
#include "macros/ThreadedScriptEngine.h"

TScriptHost::TScriptHost(TScriptSiteEvents& events) : events_(events) {}

TScriptHost::~TScriptHost() { resetEngine(); }

IActiveScript* TScriptHost::scriptEngine() const { return sheetEngine_.Get(); }

bool TScriptHost::hasScriptDebug() const { return thread_ && !thread_->stopped() && scriptDebug_; }

bool TScriptHost::getScriptTextAttributes(const std::wstring& text, std::vector<SOURCE_TEXT_ATTR>& attributes) {
  if (!hasScriptDebug()) return false;
  HRESULT outcome = E_ABORT;
  thread_->run([&] {
    outcome = scriptDebug_->GetScriptTextAttributes(text.c_str(), static_cast<ULONG>(text.size()), nullptr, 0,
                                                    attributes.data());
  });
  return SUCCEEDED(outcome);
}

// ---- the site's reports

void TScriptHost::TQueuedEvents::queue(std::function<void()> report) {
  std::lock_guard<std::mutex> lock(mutex_);
  reports_.push_back(std::move(report));
}

std::vector<std::function<void()>> TScriptHost::TQueuedEvents::take() {
  std::lock_guard<std::mutex> lock(mutex_);
  return std::exchange(reports_, {});
}

void TScriptHost::TQueuedEvents::showEngineState(const std::string& text) {
  queue([this, text] { host_.events_.showEngineState(text); });
}

void TScriptHost::TQueuedEvents::showEngineMessage(const std::string& text) {
  queue([this, text] {
    if (host_.stopNoticeShown_ && (text == engineRunningText || text == engineIdleText)) return;
    host_.events_.showEngineMessage(text);
  });
}

void TScriptHost::TQueuedEvents::markScriptError(int line, int column) {
  queue([this, line, column] { host_.events_.markScriptError(line, column); });
}

void TScriptHost::TQueuedEvents::scriptError(const TScriptErrorReport& report) {
  queue([this, report] { host_.showScriptError(report); });
}

// A script's own window (a message box) shows now: the owner is disabled at
// once (the waiting thread answers the messages this sends), and the time
// the user reads it is not the macro running.
void TScriptHost::TQueuedEvents::enableModeless(bool enable) {
  if (host_.thread_) host_.thread_->holdStopPrompt(!enable);
  host_.events_.enableModeless(enable);
}

void TScriptHost::deliverReports() {
  for (const std::function<void()>& report : queuedEvents_.take()) report();
  if (thread_ && thread_->stopped() && !stopReported_) {
    stopReported_ = true;
    events_.showEngineMessage("Macro stopped: macro functions give #SCRIPT! until the macros are reset");
  }
}

void TScriptHost::showScriptError(const TScriptErrorReport& report) {
  const std::size_t source = report.sourceContext;
  std::string where;
  int line = report.line;
  if (source >= 1 && source <= sources_.size()) {
    where = sources_[source - 1].fileName + ", line ";
    line -= sources_[source - 1].firstLine;
  } else {
    where = "Line ";
  }
  const std::string text =
      where + std::to_string(line) + ", column " + std::to_string(report.column) + ": " + report.description;
  if (firstError_.empty()) firstError_ = text;
  reportedError_ = text;
  if (report.line > 0) events_.markScriptError(report.line, report.column);
  events_.showEngineMessage(text);
}

// ---- engine life cycle

void TScriptHost::resetEngine() {
  if (!thread_) return;
  if (sheetEngine_) {
    sheetEngine_->close();
    sheetEngine_.Reset();
  }
  const bool closed = thread_->run([this] {
    if (scriptEngine_) {
      scriptEngine_->SetScriptState(SCRIPTSTATE_DISCONNECTED);
      scriptEngine_->Close();
    }
    scriptEngine_.Reset();
    scriptParser_.Reset();
    scriptSite_.Reset();
    scriptDebug_.Reset();
  });
  if (!closed) abandonEngine();
  leaveThread();
  sources_.clear();
  stopNoticeShown_ = false;
}

void TScriptHost::abandonEngine() {
  scriptEngine_.Detach();
  scriptParser_.Detach();
  scriptSite_.Detach();
  scriptDebug_.Detach();
}

void TScriptHost::leaveThread() {
  thread_->afterTask = nullptr;
  thread_->onInterrupt = nullptr;
  thread_->finish();
  thread_.reset();
  deliverReports();
}

bool TScriptHost::fail(const std::string& message) {
  events_.showEngineMessage(message);
  resetEngine();
  return false;
}

bool TScriptHost::initEngine(const TScriptEngineAttributes* engine) {
  resetEngine();
  if (engine == nullptr) return fail("Invalid script engine selection!");
  engine_ = *engine;
  const std::string failure = startEngine();
  if (!failure.empty()) return fail(failure);
  sheetEngine_->setWatch({[this](const std::string& name) { return stoppedCalls_.contains(name); },
                          [this](const std::string& name) { stoppedCalls_.forget(name); },
                          [this](const std::string& name) { return describeCall(name); },
                          [this](const std::string& name) { callStopped(name); },
                          [this] { return std::exchange(reportedError_, {}); }});
  return true;
}

std::string TScriptHost::startEngine() {
  thread_ = TScriptThread::launch();
  thread_->setStopPromptDelay(stopPromptDelay_);
  thread_->afterTask = [this] { deliverReports(); };
  stopReported_ = false;
  queuedEvents_.setWindow(events_.siteWindow());
  std::string failure = "Can't create script engine object!";
  const CLSID classId = engine_.classId;
  std::shared_ptr<TScriptThread> thread = thread_;
  thread_->run([&] {
    HRESULT created = makeEngineObject(classId, scriptEngine_.ReleaseAndGetAddressOf());
    if (FAILED(created)) {
      failure = systemErrorText(created);
      return;
    }
    if (!scriptEngine_) return;
    HMODULE module = nullptr;
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           *reinterpret_cast<LPCSTR*>(scriptEngine_.Get()), &module))
      thread->setEngineModule(module);
    if (FAILED(scriptEngine_.As(&scriptParser_))) {
      failure = "Script engine doesn't support IActiveScriptParse interface!";
      return;
    }
    if (FAILED(scriptEngine_.As(&scriptDebug_))) scriptDebug_.Reset();
    scriptSite_ = TActiveScriptSiteFactory::instance().createSite(&queuedEvents_);
    if (!scriptSite_) {
      failure = "Can't create script site object!";
      return;
    }
    if (FAILED(scriptEngine_->SetScriptSite(scriptSite_.Get()))) {
      failure = "Can't register script site object with script engine!";
      return;
    }
    if (FAILED(scriptParser_->InitNew())) {
      failure = "Can't initialize script!";
      return;
    }
    if (FAILED(scriptEngine_->SetScriptState(SCRIPTSTATE_CONNECTED))) {
      failure = "Can't connect script!";
      return;
    }
    if (sheetEngine_)
      sheetEngine_->rebind(thread, scriptEngine_.Get());
    else
      sheetEngine_ = TThreadedScriptEngine::create(thread, scriptEngine_.Get());
    failure.clear();
  });
  if (failure.empty() && !sheetEngine_) failure = "Can't create script engine object!";
  if (!failure.empty()) return failure;
  // The one call an engine takes from another thread; engines that do not
  // honour it are stopped with their thread.
  IActiveScript* running = scriptEngine_.Get();
  thread_->onInterrupt = [running] {
    EXCEPINFO stopped{};
    stopped.scode = E_ABORT;
    running->InterruptScriptThread(SCRIPTTHREADID_ALL, &stopped, SCRIPTINTERRUPT_RAISEEXCEPTION);
  };
  return {};
}

std::string TScriptHost::describeCall(const std::string& name) const {
  const TMacroSource* package = definingSource(sources_, name);
  return package != nullptr ? name + " of " + package->fileName : name;
}

void TScriptHost::callStopped(const std::string& name) {
  stoppedCalls_.add(name, definingSource(sources_, name));
  const std::string described = describeCall(name);
  if (thread_->stopped()) {
    // The thread went with the engine: a fresh one runs the same sources,
    // so that every other function keeps working.
    abandonEngine();
    leaveThread();
    const std::string failure = startEngine();
    if (failure.empty()) {
      runSources();
    } else {
      events_.showEngineMessage(failure);
      return;
    }
  }
  stopNoticeShown_ = true;
  events_.showEngineMessage("Macro function " + described +
                            " stopped: it gives #SCRIPT! until its package changes or its cell is entered again");
}

namespace {

std::wstring wideText(const std::string& text) {
  std::wstring wide;
  if (text.empty()) return wide;
  int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  wide.resize(length);
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

std::string parseFailureText(HRESULT parsed) {
  switch (parsed) {
    case E_INVALIDARG: return "Invalid argument!";
    case DISP_E_EXCEPTION: return "Can't parse script!";
    case E_NOTIMPL: return "Script engine doesn't support run-time evaluation!";
    case E_POINTER: return "Invalid pointer!";
    case E_UNEXPECTED: return "Script engine not ready!";
    default: return "Unspecified script engine error!";
  }
}

}  // namespace

// On the script thread.
HRESULT TScriptHost::parseText(const std::wstring& code, DWORD sourceContext, ULONG startingLine) {
  VARIANT result;
  VariantInit(&result);
  EXCEPINFO exception{};
  HRESULT parsed = scriptParser_->ParseScriptText(code.c_str(), nullptr, nullptr, nullptr, sourceContext, startingLine,
                                                  0, &result, &exception);
  VariantClear(&result);
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  return parsed;
}

bool TScriptHost::parseScript(const std::string& code, std::string& errorText, DWORD sourceContext,
                              ULONG startingLine) {
  if (!scriptParser_ || !thread_) {
    errorText = "No IActiveScriptParse interface available!";
    return false;
  }
  const std::wstring wide = wideText(code);
  firstError_.clear();
  HRESULT parsed = E_ABORT;
  thread_->run([&] { parsed = parseText(wide, sourceContext, startingLine); });
  if (parsed == S_OK) return true;
  // An error the engine reported says what and where; the code only that
  // something failed.
  errorText = firstError_.empty() ? parseFailureText(parsed) : firstError_;
  return false;
}

bool TScriptHost::parseSources(const std::vector<TMacroSource>& sources, std::string& errorText) {
  startParsingSources(sources);
  return parsedSources(errorText);
}

void TScriptHost::startParsingSources(const std::vector<TMacroSource>& sources) {
  sources_ = sources;
  stoppedCalls_.forgetChanged(sources_);
  stopNoticeShown_ = false;
  parsedTexts_.clear();
  for (const TMacroSource& source : sources) parsedTexts_.push_back(wideText(source.text));
  if (parsedTexts_.empty()) parsedTexts_.emplace_back();  // an empty text still runs
  firstError_.clear();
  parseFailure_ = E_ABORT;
  // One hand-over for all: each parse is short, and waking the waiting
  // thread for each would cost more than the parse.
  parseStarted_ = scriptParser_ && thread_ && thread_->start([this] {
    parseFailure_ = S_OK;
    for (std::size_t i = 0; i < parsedTexts_.size(); ++i) {
      const ULONG firstLine = i < sources_.size() ? static_cast<ULONG>(sources_[i].firstLine) : 0;
      HRESULT parsed = parseText(parsedTexts_[i], static_cast<DWORD>(i + 1), firstLine);
      if (FAILED(parsed) && parseFailure_ == S_OK) parseFailure_ = parsed;
    }
  });
}

// The sources once more in a fresh engine; their errors were told when
// they were first run.
void TScriptHost::runSources() {
  const std::vector<TMacroSource> sources = sources_;
  std::string errorText;
  startParsingSources(sources);
  parsedSources(errorText);
}

bool TScriptHost::parsedSources(std::string& errorText) {
  if (!parseStarted_) {
    errorText = "No IActiveScriptParse interface available!";
    return false;
  }
  parseStarted_ = false;
  if (!thread_->wait()) parseFailure_ = E_ABORT;
  parsedTexts_.clear();
  if (parseFailure_ == S_OK) return true;
  errorText = firstError_.empty() ? parseFailureText(parseFailure_) : firstError_;
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
                                          std::vector<std::string>* convertedFiles,
                                          std::vector<TMacroSource>* sources) {
  std::vector<std::string> extensions = fileFilterExtensions(engine.fileFilter);
  std::string joined;
  int lines = 0;  // line breaks in joined
  for (int i = 0; i < index.count(); ++i) {
    const TMacroReference* package = index.item(i);
    if (!package->Active()) continue;
    for (const std::string& extension : extensions) {
      std::string path = index.directory() + package->name() + extension;
      if (!pathExists(path)) continue;
      std::string text;
      bool converted = false;
      // A source there but unreadable (held by another program, a folder
      // under its name) leaves its macros out: the user learns which.
      if (!fileExists(path) || !fileToString(path, text, &converted)) {
        reportUnreadableFile(path);
      } else {
        if (!joined.empty()) {
          joined += "\r\n\r\n";
          lines += 2;
        }
        if (sources != nullptr) sources->push_back({package->name() + extension, text, lines});
        lines += static_cast<int>(std::count(text.begin(), text.end(), '\n'));
        joined += text;
        if (converted && convertedFiles != nullptr) convertedFiles->push_back(package->name() + extension);
      }
      break;
    }
  }
  return joined;
}
