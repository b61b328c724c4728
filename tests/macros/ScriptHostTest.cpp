#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/GuidText.h"
#include "sheet/Sheet.h"
#include "macros/MacroIndex.h"
#include "macros/ScriptEngineAttributes.h"
#include "macros/ScriptHost.h"
#include "macros/ScriptStopPrompt.h"
#include "tests/support/TestFolders.h"
#include "tests/support/TestScriptEngine.h"
#include "tests/support/WindowTestSupport.h"

namespace {

const std::string jscriptId = "{F414C260-6AC0-11CF-B6D1-00AA00BBBB58}";
const std::string vbscriptId = "{B54F3741-5B07-11CF-A4B0-00AA004A55E8}";

class TRecordedEvents : public TScriptSiteEvents {
 public:
  std::string state, message;
  int line = 0, column = 0;
  void showEngineState(const std::string& text) override { state = text; }
  void showEngineMessage(const std::string& text) override { message = text; }
  void markScriptError(int errorLine, int errorColumn) override {
    line = errorLine;
    column = errorColumn;
  }
  HWND siteWindow() override { return nullptr; }
  void enableModeless(bool) override {}
};

TScriptEngineAttributes engine(const std::string& classId, const std::string& fileFilter) {
  TScriptEngineAttributes attributes = defaultEngineAttributes();
  tryTextToGuid(classId, attributes.classId);
  attributes.fileFilter = fileFilter;
  return attributes;
}

void package(const std::string& folder, const std::string& name, const std::string& classId, bool active,
             const std::string& extension, const std::string& source) {
  writeWholeFile(folder + name + ".INI",
                 "[Configuration]\r\nEngine=" + classId + "\r\nActive=" + (active ? "1" : "0") + "\r\n");
  writeWholeFile(folder + name + extension, source);
}

std::string evaluated(TSheet& sheet, const std::string& formula) {
  std::uint8_t code = sheet.parseAndEvaluate(formula, 1, 1, false);
  if (code != 0) return cellStateText(code);
  TValueRecord value = sheet.resultValue;
  sheet.convertValue(value, valueString);
  return value.string;
}

class ScriptHostTest : public ::testing::Test {
 protected:
  void SetUp() override { initializeComForTests(); }

  // The whole of loading the macros short of the window.
  std::string load(const TScriptEngineAttributes& attributes, std::string* joinedText = nullptr) {
    TMacroIndex index;
    index.load(folder.path(), guidToText(attributes.classId));
    std::vector<TMacroSource> sources;
    std::string joined = TScriptHost::joinActiveMacros(index, attributes, nullptr, &sources);
    if (joinedText != nullptr) *joinedText = joined;
    host.initEngine(&attributes);
    std::string errorText;
    host.parseSources(sources, errorText);
    return errorText;
  }

  TTemporaryFolder folder;
  TRecordedEvents events;
  TScriptHost host{events};
};

}  // namespace

TEST_F(ScriptHostTest, JScriptPackagesJoinAndServeTheSheet) {
  package(folder.path(), "A", jscriptId, true, ".js", "function twice(x){return 2*x;}");
  package(folder.path(), "B", jscriptId, true, ".js", "function inc(x){return x+1;}");
  package(folder.path(), "C", jscriptId, false, ".js", "function off(){return 1;}");
  // Only the first pattern's file counts.
  writeWholeFile(folder.path() + "B.jse", "function inc(x){return x+100;}");
  std::string joined;
  EXPECT_EQ("", load(engine(jscriptId, "*.js;*.jse"), &joined));
  std::string a = "function twice(x){return 2*x;}", b = "function inc(x){return x+1;}";
  EXPECT_TRUE(joined == a + "\r\n\r\n" + b || joined == b + "\r\n\r\n" + a);
  EXPECT_EQ("Connected", events.state);

  TSheet sheet;
  sheet.setScriptEngine(host.scriptEngine(), false);
  EXPECT_EQ("42", evaluated(sheet, "=twice(inc(20))"));
  // An engine without the function: "#N/A"; no engine at all: "#NAME?".
  EXPECT_EQ("#N/A", evaluated(sheet, "=nothingLikeThis(1)"));
  EXPECT_EQ("#N/A", evaluated(sheet, "=off()"));
  host.resetEngine();
  EXPECT_EQ(nullptr, host.scriptEngine());
  EXPECT_EQ("#NAME?", evaluated(sheet, "=twice(1)"));
}

TEST_F(ScriptHostTest, VBScriptPackage) {
  package(folder.path(), "Halves", vbscriptId, true, ".vbs", "Function Half(x)\r\n  Half = x / 2\r\nEnd Function\r\n");
  EXPECT_EQ("", load(engine(vbscriptId, "*.vbs")));
  TSheet sheet;
  sheet.setScriptEngine(host.scriptEngine(), false);
  EXPECT_EQ("2.5", evaluated(sheet, "=Half(5)"));
}

TEST_F(ScriptHostTest, ASyntaxErrorIsMarkedInTheJoinedText) {
  package(folder.path(), "A", jscriptId, true, ".js", "function twice(x){return 2*x;}");
  package(folder.path(), "B", jscriptId, true, ".js", "function (broken{\r\n");
  std::string joined;
  // The engine reports the error to the site first; the result code of the
  // parse then differs between engines, but it is always a failure.
  EXPECT_NE("", load(engine(jscriptId, "*.js"), &joined));
  ASSERT_EQ(0u, joined.find("function twice"));
  // A takes line 1, the separator line 2: B's first line is line 3.
  EXPECT_EQ(3, events.line);
  EXPECT_FALSE(events.message.empty());
  EXPECT_NE(nullptr, host.scriptEngine());  // the engine stays for the sheets
}

TEST_F(ScriptHostTest, FailuresAreReportedAndLeaveNoEngine) {
  EXPECT_FALSE(host.initEngine(nullptr));
  EXPECT_EQ("Invalid script engine selection!", events.message);
  std::string errorText;
  EXPECT_FALSE(host.parseScript("x", errorText));
  EXPECT_EQ("No IActiveScriptParse interface available!", errorText);

  TScriptEngineAttributes unknown = engine("{12345678-1234-1234-1234-123456789ABC}", "*.xs");
  EXPECT_FALSE(host.initEngine(&unknown));
  EXPECT_FALSE(events.message.empty());
  EXPECT_EQ(nullptr, host.scriptEngine());

  // No active package: an empty text still makes a working engine.
  EXPECT_EQ("", load(engine(jscriptId, "*.js")));
  EXPECT_NE(nullptr, host.scriptEngine());
}

TEST_F(ScriptHostTest, SixteenBitSourcesAreConvertedNotCutShort) {
  std::string utf16 = "\xFF\xFE";
  for (char c : std::string("function one(){return 1;}")) utf16 += std::string(1, c) + '\0';
  package(folder.path(), "A", jscriptId, true, ".js", utf16);
  package(folder.path(), "B", jscriptId, true, ".js", "function two(){return 2;}");
  std::string joined;
  EXPECT_EQ("", load(engine(jscriptId, "*.js"), &joined));
  EXPECT_EQ(std::string::npos, joined.find('\0'));
  TSheet sheet;
  sheet.setScriptEngine(host.scriptEngine(), false);
  EXPECT_EQ("1", evaluated(sheet, "=one()"));
  EXPECT_EQ("2", evaluated(sheet, "=two()"));
}

TEST_F(ScriptHostTest, ErrorsNameTheirPackageLineAndColumnAndSpareTheOtherPackages) {
  package(folder.path(), "A", jscriptId, true, ".js", "function twice(x){return 2*x;}");
  package(folder.path(), "B", jscriptId, true, ".js", "function (broken{\r\n");
  package(folder.path(), "C", jscriptId, true, ".js", "\r\nfunction boom(x){ throw new Error('bad ' + x); }");
  std::string errorText = load(engine(jscriptId, "*.js"));
  EXPECT_EQ(0u, errorText.find("B.js, line 1, column ")) << errorText;
  EXPECT_NE(std::string::npos, errorText.find("Expected")) << errorText;
  TSheet sheet;
  sheet.setScriptEngine(host.scriptEngine(), false);
  // A syntax error in one package leaves the others' functions.
  EXPECT_EQ("4", evaluated(sheet, "=twice(2)"));
  // A script that raises is not a missing value, and says why and where.
  EXPECT_EQ("#SCRIPT!", evaluated(sheet, "=boom(7)"));
  EXPECT_EQ(0u, events.message.find("C.js, line 2, column ")) << events.message;
  EXPECT_NE(std::string::npos, events.message.find("bad 7")) << events.message;
  // The sheet learns the same text, for its caller to tell which macro
  // raised what; the status bar keeps it as well.
  EXPECT_EQ("#SCRIPT!", evaluated(sheet, "=boom(8)"));
  const std::vector<TRaisedMacro>& raised = sheet.macroCallout.failures().raisedMacros;
  ASSERT_EQ(raised.size(), 1u);
  EXPECT_EQ(raised[0].name, "boom");
  EXPECT_EQ(raised[0].calls, 2u);
  EXPECT_EQ(0u, raised[0].error.find("C.js, line 2, column ")) << raised[0].error;
  EXPECT_NE(std::string::npos, raised[0].error.find("bad 7")) << raised[0].error;
  EXPECT_NE(std::string::npos, events.message.find("bad 8")) << events.message;

  package(folder.path(), "V", vbscriptId, true, ".vbs",
          "Function Fail(x)\r\n  Err.Raise 1000, \"Fail\", \"no good\"\r\nEnd Function\r\n");
  package(folder.path(), "W", vbscriptId, true, ".vbs", "Function Broken(\r\n");
  errorText = load(engine(vbscriptId, "*.vbs"));
  EXPECT_EQ(0u, errorText.find("W.vbs, line 1, column ")) << errorText;
  sheet.setScriptEngine(host.scriptEngine(), false);
  EXPECT_EQ("#SCRIPT!", evaluated(sheet, "=Fail(1)"));
  EXPECT_EQ(0u, events.message.find("V.vbs, line 2, column ")) << events.message;
  EXPECT_NE(std::string::npos, events.message.find("no good")) << events.message;
}

namespace {

// Answers the stop window as a user would once it shows: Esc, or a click
// on Stop. The window's frame exists a moment before its Stop button, and a
// click sent to no button would be lost: the user answers a working Stop.
class TStopPromptAnswer {
 public:
  explicit TStopPromptAnswer(bool escape)
      : worker_([this, escape] {
          while (!done_) {
            HWND prompt = FindWindowA(TScriptStopPrompt::windowClassName, nullptr);
            HWND stop = prompt ? FindWindowExA(prompt, nullptr, "BUTTON", "Stop") : nullptr;
            if (stop && IsWindowEnabled(stop)) {
              char text[128] = {};
              GetWindowTextA(FindWindowExA(prompt, nullptr, "STATIC", nullptr), text, sizeof text);
              text_ = text;
              shown_ = true;
              if (escape)
                PostMessageA(prompt, WM_KEYDOWN, VK_ESCAPE, 0);
              else
                PostMessageA(stop, BM_CLICK, 0, 0);
              return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
          }
        }) {}
  ~TStopPromptAnswer() {
    done_ = true;
    worker_.join();
  }
  bool shown() const { return shown_; }
  // What the window said runs; read once it has shown.
  const std::string& text() const { return text_; }

 private:
  std::atomic<bool> done_{false}, shown_{false};
  std::string text_;
  std::thread worker_;
};

}  // namespace

TEST_F(ScriptHostTest, AnEndlessMacroIsStoppedByTheUserAndTheProgramGoesOn) {
  host.setStopPromptDelay(300);
  for (bool vbscript : {true, false}) {
    SCOPED_TRACE(vbscript ? "VBScript" : "JScript");
    TTemporaryFolder packages;
    const std::string extension = vbscript ? ".vbs" : ".js";
    const std::string classId = vbscript ? vbscriptId : jscriptId;
    package(packages.path(), "Spin", classId, true, extension,
            vbscript ? "Function spin(x)\r\n  Do\r\n  Loop\r\nEnd Function\r\nFunction one()\r\n  one = 1\r\nEnd Function\r\n"
                     : "function spin(x){ var s = ''; for (;;) s = s + x; }\r\nfunction one(){ return 1; }");
    TMacroIndex index;
    index.load(packages.path(), classId);
    std::vector<TMacroSource> sources;
    TScriptHost::joinActiveMacros(index, engine(classId, "*" + extension), nullptr, &sources);
    TScriptEngineAttributes attributes = engine(classId, "*" + extension);
    ASSERT_TRUE(host.initEngine(&attributes));
    std::string errorText;
    ASSERT_TRUE(host.parseSources(sources, errorText)) << errorText;
    TSheet sheet;
    sheet.setScriptEngine(host.scriptEngine(), false);
    EXPECT_EQ("1", evaluated(sheet, "=one()"));

    {
      TStopPromptAnswer user(vbscript);
      EXPECT_EQ("#SCRIPT!", evaluated(sheet, "=spin(1)"));
      ASSERT_TRUE(user.shown());
      EXPECT_EQ("The macro function spin of Spin" + extension + " is still running.", user.text());
    }
    // The stop names the function and its package; the engine is ready
    // again at once, and only the stopped function keeps showing the stop.
    EXPECT_EQ(0u, events.message.find("Macro function spin of Spin" + extension + " stopped")) << events.message;
    EXPECT_EQ("1", evaluated(sheet, "=one()"));
    EXPECT_EQ("#N/A", evaluated(sheet, "=neverDefined()"));
    EXPECT_EQ("#SCRIPT!", evaluated(sheet, "=spin(2)"));
    EXPECT_EQ("#SCRIPT!", evaluated(sheet, "=SPIN(2)"));
    // A reload of the same packages does not run it again (no stop window
    // would be answered here); a changed package does.
    ASSERT_TRUE(host.initEngine(&attributes));
    ASSERT_TRUE(host.parseSources(sources, errorText)) << errorText;
    sheet.setScriptEngine(host.scriptEngine(), false);
    EXPECT_EQ("1", evaluated(sheet, "=one()"));
    EXPECT_EQ("#SCRIPT!", evaluated(sheet, "=spin(3)"));
    sources[0].text = vbscript ? "Function spin(x)\r\n  spin = x\r\nEnd Function\r\n" : "function spin(x){ return x; }";
    ASSERT_TRUE(host.initEngine(&attributes));
    ASSERT_TRUE(host.parseSources(sources, errorText)) << errorText;
    sheet.setScriptEngine(host.scriptEngine(), false);
    EXPECT_EQ("4", evaluated(sheet, "=spin(4)"));
  }
}

namespace {

struct TClosedWindowLog {
  bool closeAsked = false;
  int clicks = 0;
};

LRESULT CALLBACK loggingWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* log = reinterpret_cast<TClosedWindowLog*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (log != nullptr && message == WM_CLOSE) {
    log->closeAsked = true;
    return 0;
  }
  if (log != nullptr && message == WM_LBUTTONDOWN) ++log->clicks;
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

// While the stop window shows, the program's own windows take no input, as
// behind a modal window; Alt+F4 on one of them stops the call and then
// closes that window the usual way.
TEST_F(ScriptHostTest, AltF4OnTheProgramWhileAMacroRunsStopsItAndThenCloses) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = loggingWindowProcedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "TAltF4TestMain";
  RegisterClassA(&windowClass);
  TClosedWindowLog log;
  HWND main = CreateWindowExA(0, windowClass.lpszClassName, "Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200,
                              nullptr, nullptr, windowClass.hInstance, nullptr);
  ASSERT_NE(nullptr, main);
  SetWindowLongPtrA(main, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&log));

  host.setStopPromptDelay(300);
  package(folder.path(), "Spin", jscriptId, true, ".js",
          "function spin(x){ for (;;) {} }\r\nfunction one(){ return 1; }");
  EXPECT_EQ("", load(engine(jscriptId, "*.js")));
  TSheet sheet;
  sheet.setScriptEngine(host.scriptEngine(), false);
  std::atomic<bool> shown{false};
  std::thread user([&] {
    for (int i = 0; i < 200 && !FindWindowA(TScriptStopPrompt::windowClassName, nullptr); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    shown = FindWindowA(TScriptStopPrompt::windowClassName, nullptr) != nullptr;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    PostMessageA(main, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    PostMessageA(main, WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
    PostMessageA(main, WM_SYSKEYDOWN, VK_F4, 0x20000001);  // Alt held
  });
  EXPECT_EQ("#SCRIPT!", evaluated(sheet, "=spin(1)"));
  user.join();
  EXPECT_TRUE(shown.load());
  EXPECT_EQ("1", evaluated(sheet, "=one()"));
  EXPECT_FALSE(log.closeAsked);  // not before the call has ended
  EXPECT_TRUE(pumpUntil([&] { return log.closeAsked; }));
  EXPECT_EQ(0, log.clicks);  // a click made behind the stop window is dropped
  DestroyWindow(main);
}

// A click on the program's window while the stop window waits leaves the
// stop window in front with the keys (the click itself is dropped); Alt+F4
// on it stops the call as Stop does and closes nothing else.
TEST_F(ScriptHostTest, TheStopWindowStaysInFrontAndAltF4OnItStopsTheCall) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = loggingWindowProcedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = "TStopInFrontTestMain";
  RegisterClassA(&windowClass);
  TClosedWindowLog log;
  // As large as the screen: the stop window shows over it.
  HWND main = CreateWindowExA(0, windowClass.lpszClassName, "Main", WS_POPUP | WS_VISIBLE, 0, 0,
                              GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                              windowClass.hInstance, nullptr);
  ASSERT_NE(nullptr, main);
  SetWindowLongPtrA(main, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&log));
  SetForegroundWindow(main);
  pumpFor(100);

  host.setStopPromptDelay(300);
  package(folder.path(), "Spin", jscriptId, true, ".js", "function spin(x){ for (;;) {} }");
  EXPECT_EQ("", load(engine(jscriptId, "*.js")));
  TSheet sheet;
  sheet.setScriptEngine(host.scriptEngine(), false);
  std::atomic<bool> shown{false}, inFront{false}, hasKeys{false}, faceShows{false}, stoppedByAltF4{false};
  std::thread user([&] {
    HWND prompt = nullptr, stop = nullptr;
    for (int i = 0; i < 200 && !(stop && IsWindowEnabled(stop)); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      prompt = FindWindowA(TScriptStopPrompt::windowClassName, nullptr);
      stop = prompt ? FindWindowExA(prompt, nullptr, "BUTTON", "Stop") : nullptr;
    }
    shown = stop != nullptr;
    if (!shown) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    // A real click, through the system's input, far from the stop window.
    INPUT clicks[3] = {};
    for (INPUT& input : clicks) input.type = INPUT_MOUSE;
    clicks[0].mi.dx = 65535 / 40;
    clicks[0].mi.dy = 65535 / 40;
    clicks[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(3, clicks, sizeof(INPUT));
    // The click's time to raise the program's window; the stop window then
    // comes back on its own schedule, which a busy machine stretches.
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    RECT place{};
    GetWindowRect(prompt, &place);
    const POINT middle{(place.left + place.right) / 2, (place.top + place.bottom) / 2};
    // On the screen too: the strip left of the text shows the window's face
    // once it has painted itself in front again.
    const auto showsItsFace = [&] {
      const TScreenImage client = captureClient(prompt);
      bool face = client.width() > 8;
      for (int y = 0; face && y < client.height(); ++y)
        for (int x = 0; face && x < 8; ++x) face = client.pixel(x, y) == rgbOf(clBtnFace);
      return face;
    };
    for (int i = 0; i < 100 && !(inFront && hasKeys && faceShows); ++i) {
      if (i > 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
      const HWND atMiddle = WindowFromPoint(middle);
      inFront = atMiddle == prompt || GetParent(atMiddle) == prompt;
      hasKeys = GetForegroundWindow() == prompt;
      faceShows = inFront && showsItsFace();
    }
    PostMessageA(stop, WM_SYSKEYDOWN, VK_F4, 0x20000001);  // Alt held
    for (int i = 0; i < 60 && IsWindow(stop) && IsWindowEnabled(stop); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    stoppedByAltF4 = !IsWindow(stop) || !IsWindowEnabled(stop);
    if (!stoppedByAltF4) PostMessageA(stop, BM_CLICK, 0, 0);  // the way out that works, so the test ends
  });
  EXPECT_EQ("#SCRIPT!", evaluated(sheet, "=spin(1)"));
  user.join();
  EXPECT_TRUE(shown.load());
  EXPECT_TRUE(inFront.load());
  EXPECT_TRUE(hasKeys.load());
  EXPECT_TRUE(faceShows.load());
  EXPECT_TRUE(stoppedByAltF4.load());
  pumpFor(200);
  EXPECT_FALSE(log.closeAsked);
  EXPECT_EQ(0, log.clicks);
  DestroyWindow(main);
}

// A package that does not compile gives none of its functions, in either
// engine: calling one is the same as calling a name no package defines.
TEST_F(ScriptHostTest, AFunctionOfAPackageThatDoesNotCompileIsMissingInBothEngines) {
  for (bool vbscript : {false, true}) {
    SCOPED_TRACE(vbscript ? "VBScript" : "JScript");
    TTemporaryFolder packages;
    const std::string extension = vbscript ? ".vbs" : ".js";
    const std::string classId = vbscript ? vbscriptId : jscriptId;
    package(packages.path(), "Trend", classId, true, extension,
            vbscript ? "Function yearlyGrowth(first, last, days)\r\n  yearlyGrowth = (last / first\r\nEnd Function\r\n"
                     : "function yearlyGrowth(first, last, days) {\r\n  return (last / first;\r\n}\r\n");
    TMacroIndex index;
    index.load(packages.path(), classId);
    std::vector<TMacroSource> sources;
    TScriptEngineAttributes attributes = engine(classId, "*" + extension);
    TScriptHost::joinActiveMacros(index, attributes, nullptr, &sources);
    ASSERT_TRUE(host.initEngine(&attributes));
    std::string errorText;
    EXPECT_FALSE(host.parseSources(sources, errorText));
    EXPECT_EQ(0u, errorText.find("Trend" + extension + ", line ")) << errorText;
    TSheet sheet;
    sheet.setScriptEngine(host.scriptEngine(), false);
    EXPECT_EQ("#N/A", evaluated(sheet, "=yearlyGrowth(100, 121, 730)"));
    EXPECT_EQ("#N/A", evaluated(sheet, "=yearlyGrowth(100, 121, 730)*100"));
    EXPECT_EQ("#N/A", evaluated(sheet, "=noSuchFunction(1)"));
  }
}
