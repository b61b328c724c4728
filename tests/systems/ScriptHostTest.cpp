#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/GuidText.h"
#include "sheet/Sheet.h"
#include "systems/MacroIndex.h"
#include "systems/ScriptEngineAttributes.h"
#include "systems/ScriptHost.h"
#include "tests/support/TestFolders.h"
#include "tests/support/TestScriptEngine.h"

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
    std::string joined = TScriptHost::joinActiveMacros(index, attributes);
    if (joinedText != nullptr) *joinedText = joined;
    host.initEngine(&attributes);
    std::string errorText;
    host.parseScript(joined, errorText);
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
