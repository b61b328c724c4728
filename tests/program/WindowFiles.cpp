#include "tests/program/WindowFiles.h"

#include "controls/WebPanelSettings.h"
#include "platform/FileSystem.h"

::testing::AssertionResult visitEveryTabAndClose(const TProgram& program, HWND main,
                                                  const std::function<void()>& beforeTheClose) {
  HWND tabs = childWindow(main, "SysTabControl32");
  for (LRESULT tab : {1, 2, 3, 4, 0})
    if (!showMainTab(tabs, tab)) return ::testing::AssertionFailure() << "tab " << tab << " not shown";
  beforeTheClose();
  PostMessageA(main, WM_CLOSE, 0, 0);
  // No wait for something to come: a question later than this still keeps
  // the program from ending.
  if (HWND question = program.windowWithin("Error", 5000)) {
    ::testing::AssertionResult failure = ::testing::AssertionFailure() << "a question came:";
    for (const std::string& text : childTexts(question)) failure << " " << text;
    return failure;
  }
  return program.endedCleanly();
}

std::string workingFolderWithEveryWindowFile(const TTemporaryFolder& temporary) {
  const std::string work = prepareWorkingFolder(temporary);
  forceFolders(work + "DATA\\FOLIOS\\Browsers");
  TWebPanelSettings browser;
  browser.favs.insert(0, "http://quotes.example/nordwind", "NWE", 0, 0);
  browser.addRecentUrl("http://news.example/");
  EXPECT_EQ(browser.saveSettings(work + "DATA\\FOLIOS\\Browsers\\Folio_0.INI"), 0);
  // The second run finds the first one's system and keeps its run record.
  for (const bool first : {true, false}) {
    TProgram program(work);
    HWND main = mainWindowAfterThePick(program);
    EXPECT_NE(main, nullptr);
    if (!main) return work;
    if (first) typeIntoTheMacroSheet(main, {"1234.5", "=ROUND(A1*2.25,1)", "1234.5"});
    EXPECT_TRUE(visitEveryTabAndClose(program, main, [] {}));
  }
  return work;
}

void expectFilesAsTheyWere(const std::string& work, const std::map<std::string, std::string>& before) {
  std::map<std::string, std::string> after;
  readTree(work, "", after);
  for (const auto& [name, bytes] : before) {
    const auto found = after.find(name);
    EXPECT_TRUE(found != after.end() && found->second == bytes) << name;
  }
  for (const auto& [name, bytes] : after) EXPECT_TRUE(before.contains(name)) << name;
}

std::vector<std::string> windowFiles(const std::string& work) {
  std::map<std::string, std::string> files;
  readTree(work + "DATA\\", "", files);
  std::vector<std::string> names;
  for (const auto& [name, bytes] : files) {
    const bool view = name.find("\\Charts\\") != std::string::npos ||
                      name.find("\\Graphs\\") != std::string::npos || name.find("\\Browsers\\") != std::string::npos;
    if (view || name == "GUIoptions.INI" || name.ends_with("Controls.INI") || name.ends_with("Fields.INI") ||
        name.ends_with("System.INI"))
      names.push_back(work + "DATA\\" + name);
  }
  return names;
}
