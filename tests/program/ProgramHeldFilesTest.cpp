#include <memory>

#include "tests/program/ProgramDriver.h"
#include "tests/program/WindowFiles.h"

namespace {

// A second program holding files open, shared with nobody, until let go.
class THoldingProgram {
 public:
  THoldingProgram(const std::string& work, const std::vector<std::string>& files)
      : name_("kestrova-test-hold-" + std::to_string(GetCurrentProcessId())),
        held_(CreateEventA(nullptr, TRUE, FALSE, (name_ + "-held").c_str())),
        release_(CreateEventA(nullptr, TRUE, FALSE, (name_ + "-release").c_str())) {
    std::string arguments = name_ + " " + std::to_string(testTimeBound.count());
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
  bool holding() const { return program_->started() && WaitForSingleObject(held_, busyMachine()) == WAIT_OBJECT_0; }
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

}  // namespace

// Window files held by another program while the program starts and its
// tabs show were once shown empty and overwritten with that at the close:
// chart sources, graph formulas, favourites, recent addresses and the test
// sheet's cells were gone. Each file is now as it was, byte for byte,
// whether the other program lets go before the close or holds on through it
// (a test of each, each bounded on its own).
class WindowFilesHeldByAnotherProgram : public testing::TestWithParam<bool> {};

TEST_P(WindowFilesHeldByAnotherProgram, AtTheStartAreLeftAsTheyWere) {
  const bool letGoBeforeTheClose = GetParam();
  TTemporaryFolder temporary;
  const std::string work = workingFolderWithEveryWindowFile(temporary);
  const std::vector<std::string> held = windowFiles(work);
  ASSERT_GE(held.size(), 10u);
  std::map<std::string, std::string> before;
  readTree(work, "", before);
  ASSERT_NE(before.at("DATA\\GUIoptions.INI").find("[MacroSheetCells]"), std::string::npos);
  {
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

INSTANTIATE_TEST_SUITE_P(Program, WindowFilesHeldByAnotherProgram, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& letGo) {
                           return std::string(letGo.param ? "LetGoBeforeTheClose" : "HeldThroughTheClose");
                         });
