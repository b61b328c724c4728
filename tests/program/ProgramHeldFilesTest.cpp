#include <cctype>
#include <functional>
#include <memory>
#include <regex>

#include "controls/WebPanelSettings.h"
#include "platform/FileSystem.h"
#include "tests/program/ProgramDriver.h"

namespace {

// A second program holding files open, shared with nobody, until let go.
class THoldingProgram {
 public:
  THoldingProgram(const std::string& work, const std::vector<std::string>& files)
      : name_("kestrova-test-hold-" + std::to_string(GetCurrentProcessId())),
        held_(CreateEventA(nullptr, TRUE, FALSE, (name_ + "-held").c_str())),
        release_(CreateEventA(nullptr, TRUE, FALSE, (name_ + "-release").c_str())) {
    std::string arguments = name_;
    for (const std::string& file : files) arguments += " \"" + file + "\"";
    program_ = std::make_unique<TProgram>(work, testFolder() + "holdfiles.exe", arguments);
  }
  ~THoldingProgram() {
    letGo();
    CloseHandle(held_);
    CloseHandle(release_);
  }
  THoldingProgram(const THoldingProgram&) = delete;
  THoldingProgram& operator=(const THoldingProgram&) = delete;
  // True once every file is held.
  bool holding() const { return program_->started() && WaitForSingleObject(held_, busyMachine) == WAIT_OBJECT_0; }
  bool letGo() {
    SetEvent(release_);
    return program_->endedCleanly();
  }

 private:
  std::string name_;
  HANDLE held_;
  HANDLE release_;
  std::unique_ptr<TProgram> program_;
};

// Shows every data tab and the System tab, then closes the program; false
// when a step did not come or a question stopped the close.
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

// A working folder whose Portfolios window shows a browser with a
// favourite and recent addresses beside the sample's chart and graph, and
// whose window files the program itself wrote: it started, took cells
// typed into the test sheet, showed every data tab and the System tab, and
// closed.
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

// Every file under the working folder as it was, byte for byte.
void expectFilesAsTheyWere(const std::string& work, const std::map<std::string, std::string>& before) {
  std::map<std::string, std::string> after;
  readTree(work, "", after);
  for (const auto& [name, bytes] : before) {
    const auto found = after.find(name);
    EXPECT_TRUE(found != after.end() && found->second == bytes) << name;
  }
  for (const auto& [name, bytes] : after) EXPECT_TRUE(before.contains(name)) << name;
}

// The files a window reads when it shows and writes when it is left or
// closed: options, layouts, field definitions, views and the system.
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

}  // namespace

// Window files held by another program while the program starts and its
// tabs show were once shown empty and overwritten with that at the close:
// chart sources, graph formulas, favourites, recent addresses and the test
// sheet's cells were gone. Each file is now as it was, byte for byte,
// whether the other program lets go before the close or holds on through it.
TEST(Program, WindowFilesHeldByAnotherProgramAtTheStartAreLeftAsTheyWere) {
  TTemporaryFolder temporary;
  const std::string work = workingFolderWithEveryWindowFile(temporary);
  const std::vector<std::string> held = windowFiles(work);
  ASSERT_GE(held.size(), 10u);
  std::map<std::string, std::string> before;
  readTree(work, "", before);
  ASSERT_NE(before.at("DATA\\GUIoptions.INI").find("[MacroSheetCells]"), std::string::npos);
  for (const bool letGoBeforeTheClose : {true, false}) {
    SCOPED_TRACE(letGoBeforeTheClose ? "let go before the close" : "held through the close");
    THoldingProgram holder(work, held);
    ASSERT_TRUE(holder.holding());
    TProgram program(work);
    // Without its field file the Portfolios window shows no portfolio,
    // and the title names none.
    HWND main = mainWindowAfterThePick(program, "Kestrova");
    ASSERT_NE(main, nullptr) << [&] {
      std::string shown;
      for (HWND window : program.windows()) {
        char text[256] = {};
        GetWindowTextA(window, text, sizeof text);
        shown += std::string(text) + ":";
        for (const std::string& child : childTexts(window)) shown += " " + child;
        shown += "\n";
      }
      return shown;
    }();
    EXPECT_TRUE(visitEveryTabAndClose(program, main, [&] {
      if (letGoBeforeTheClose) {
        EXPECT_TRUE(holder.letGo());
      }
    }));
    EXPECT_TRUE(holder.letGo());
    expectFilesAsTheyWere(work, before);
  }
}

// A read-only window file nobody changed once raised "Failed to save" at
// every close; nothing is written into it now, and the close asks nothing.
// Its numbers are spelled as a hand would write them, so that writing the
// same values again would change the file and show.
TEST(Program, ReadOnlyWindowFilesNobodyChangedRaiseNoQuestionAtTheClose) {
  TTemporaryFolder temporary;
  const std::string work = workingFolderWithEveryWindowFile(temporary);
  const std::vector<std::string> files = windowFiles(work);
  const std::regex floatForm(R"(= ?(-?\d\.\d*?)0*E)");
  size_t respelled = 0;
  for (const std::string& file : files) {
    const std::string text = readWholeFile(file);
    const std::string shorter = std::regex_replace(text, floatForm, "=$1E");
    respelled += shorter != text;
    writeWholeFile(file, shorter);
  }
  ASSERT_GE(respelled, 5u);
  std::map<std::string, std::string> before;
  readTree(work, "", before);
  for (const std::string& file : files) SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
  {
    TProgram program(work);
    HWND main = mainWindowAfterThePick(program);
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(visitEveryTabAndClose(program, main, [] {}));
  }
  for (const std::string& file : files) SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
  expectFilesAsTheyWere(work, before);
}

// An emptied transaction file once showed as a line numbered -1, dated at
// the start, that the close wrote over the file: the purchase it held was
// gone without a word. Its portfolio now stays closed, the line at the
// foot of the main window names the file, and the close leaves it and
// every other file of the user's as they were.
TEST(Program, AnEmptiedTransactionFileIsNamedAtTheStartAndLeftAsItIs) {
  TTemporaryFolder temporary;
  const std::string work = prepareWorkingFolder(temporary);
  // A first run takes what any start writes, its systems' runs among them.
  ASSERT_TRUE(startAndClose(work));
  writeWholeFile(work + "DATA\\FOLIOS\\1\\1.TRN\\1.INI", "");
  const std::map<std::string, std::string> before = userFiles(work);
  TProgram program(work);
  HWND main = mainWindowAfterThePick(program);
  ASSERT_NE(main, nullptr);
  HWND bar = FindWindowExA(main, nullptr, STATUSCLASSNAMEA, nullptr);
  ASSERT_NE(bar, nullptr);
  char text[1024] = {};
  EXPECT_TRUE(pumpUntil(
      [&] {
        return IsWindowVisible(bar) && SendMessageA(bar, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text)) > 0;
      },
      busyMachine));
  std::string told = text;
  for (char& c : told) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_NE(told.find("\\FOLIOS\\1\\1.INI (NORDWIND ENERGIE AG (NWE)): ITS TRANSACTION FILE 1.TRN\\1.INI HOLDS NO "
                      "TRANSACTION"),
            std::string::npos)
      << text;
  EXPECT_TRUE(visitEveryTabAndClose(program, main, [] {}));
  // The other portfolio's system runs again with one portfolio less open,
  // and writes what the run gives.
  const auto outsideTheOpenPortfolio = [](std::map<std::string, std::string> files) {
    std::erase_if(files, [](const auto& file) { return file.first.starts_with("FOLIOS\\2\\"); });
    return files;
  };
  const std::map<std::string, std::string> after = outsideTheOpenPortfolio(userFiles(work));
  std::string changed;
  for (const auto& [name, bytes] : outsideTheOpenPortfolio(before))
    if (!after.contains(name) || after.at(name) != bytes) changed += name + " ";
  EXPECT_EQ(changed, "");
  EXPECT_EQ(after.size(), outsideTheOpenPortfolio(before).size());
}
