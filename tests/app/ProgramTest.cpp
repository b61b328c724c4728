#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/Directories.h"
#include "model/PortableIniFile.h"
#include "platform/FileSystem.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestSupport.h"

namespace {

std::string programPath() {
  std::string path = "Z:" KESTROVA_EXE;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

// A started Kestrova.exe, ended when the test leaves it running.
class TProgram {
 public:
  explicit TProgram(const std::string& workingFolder) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string command = "\"" + programPath() + "\"";
    started_ = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, workingFolder.c_str(),
                              &startup, &info_) != FALSE;
  }
  ~TProgram() {
    if (!started_) return;
    if (running()) {
      TerminateProcess(info_.hProcess, 1);
      WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  bool started() const { return started_; }
  bool running() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
  bool waitForEnd(int milliseconds) const { return WaitForSingleObject(info_.hProcess, milliseconds) == WAIT_OBJECT_0; }
  DWORD id() const { return info_.dwProcessId; }

  // The program's visible top-level windows.
  std::vector<HWND> windows() const {
    std::pair<DWORD, std::vector<HWND>> search{id(), {}};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
          auto& [process, found] = *reinterpret_cast<std::pair<DWORD, std::vector<HWND>>*>(data);
          DWORD owner = 0;
          GetWindowThreadProcessId(window, &owner);
          if (owner == process && IsWindowVisible(window)) found.push_back(window);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
  }
  HWND windowTitled(const std::string& prefix) const {
    for (HWND window : windows()) {
      char text[256] = {};
      GetWindowTextA(window, text, sizeof text);
      if (std::string(text).rfind(prefix, 0) == 0) return window;
    }
    return nullptr;
  }
  HWND waitForWindow(const std::string& prefix, int milliseconds) const {
    HWND found = nullptr;
    pumpUntil([&] { return (found = windowTitled(prefix)) != nullptr; }, milliseconds);
    return found;
  }

 private:
  PROCESS_INFORMATION info_{};
  bool started_ = false;
};

// A working folder as the run command makes it: the sample, the folders it
// leaves out, and the two directories that get no default.
std::string prepareWorkingFolder(const TTemporaryFolder& temporary) {
  const std::string work = temporary.path() + "work\\";
  EXPECT_TRUE(copyTree(sampleDataFolder(), work, false));
  for (const char* folder : {"TEMP", "SCRIPTS", "DATA\\DLISTS", "DATA\\MACROS", "DATA\\BMPS", "DATA\\GALLERY",
                             "DATA\\WEBS"})
    forceFolders(work + folder);
  writeWholeFile(work + "Kestrova.INI", "[Directories]\r\n<GALLERY>=" + work + "DATA\\GALLERY\r\n<WEBS>=" + work +
                                            "DATA\\WEBS\r\n");
  return work;
}

std::vector<std::string> childTexts(HWND window) {
  std::vector<std::string> texts;
  EnumChildWindows(
      window,
      [](HWND child, LPARAM data) -> BOOL {
        char text[1024] = {};
        GetWindowTextA(child, text, sizeof text);
        reinterpret_cast<std::vector<std::string>*>(data)->push_back(text);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&texts));
  return texts;
}

}  // namespace

TEST(Program, ASecondInstanceEndsAtOnceWithoutAWindowAndLeavesTheFirstAlone) {
  TTemporaryFolder temporary;
  const std::string work = prepareWorkingFolder(temporary);
  TProgram first(work);
  ASSERT_TRUE(first.started());
  HWND pick = first.waitForWindow("Loaded portfolios", 30000);
  ASSERT_NE(pick, nullptr);

  TProgram second(work);
  ASSERT_TRUE(second.started());
  bool secondShowedAWindow = false;
  const bool ended = pumpUntil(
      [&] {
        secondShowedAWindow = secondShowedAWindow || !second.windows().empty();
        return !second.running();
      },
      2000);
  EXPECT_TRUE(ended);
  EXPECT_FALSE(secondShowedAWindow);
  EXPECT_TRUE(first.running());
  EXPECT_TRUE(IsWindowVisible(pick));
}

TEST(Program, FirstRunTakesTheDesignSizeAtTheWorkAreaOriginAndWritesItBack) {
  TTemporaryFolder temporary;
  const std::string work = prepareWorkingFolder(temporary);
  TProgram program(work);
  HWND pick = program.waitForWindow("Loaded portfolios", 30000);
  ASSERT_NE(pick, nullptr);
  // Enter accepts the ticks as they are.
  PostMessageA(pick, WM_KEYDOWN, VK_RETURN, 0);
  HWND main = program.waitForWindow("Kestrova: Growth Portfolio", 30000);
  ASSERT_NE(main, nullptr);
  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  RECT bounds{};
  GetWindowRect(main, &bounds);
  EXPECT_EQ(bounds.left, area.left);
  EXPECT_EQ(bounds.top, area.top);
  EXPECT_EQ(bounds.right - bounds.left, std::min(1024L, area.right - area.left));
  EXPECT_EQ(bounds.bottom - bounds.top, std::min(768L, area.bottom - area.top));

  PostMessageA(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(program.waitForEnd(20000));
  TPortableIniFile options(work + "DATA\\GUIoptions.INI");
  EXPECT_FALSE(options.readBool("MainWindow", "FirstRun", true));
  EXPECT_EQ(options.readInteger("MainWindow", "Width", 0), bounds.right - bounds.left);
  EXPECT_EQ(options.readInteger("MainWindow", "Height", 0), bounds.bottom - bounds.top);
  for (const char* shared : {"CurrencyPick", "AssetPick", "DownloadPick", "Gallery"})
    EXPECT_TRUE(options.sectionExists(shared)) << shared;
  TPortableIniFile picks(work + "DATA\\FOLIOS\\FolioControls.INI");
  EXPECT_TRUE(picks.sectionExists("FolioPick"));
}

TEST(Program, AMissingDirectoryListIsReportedAndEndsTheProgram) {
  TTemporaryFolder temporary;
  TProgram program(temporary.path());
  HWND message = program.waitForWindow("Error", 30000);
  ASSERT_NE(message, nullptr);
  const std::string expected = "Missing directory list: \r\r" + temporary.path() + "Kestrova.INI";
  bool found = false;
  for (const std::string& text : childTexts(message)) found = found || text == expected;
  EXPECT_TRUE(found);
  PostMessageA(message, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(program.waitForEnd(10000));
  EXPECT_FALSE(fileExists(temporary.path() + "Kestrova.INI"));
}

TEST(Program, AMissingDirectoryOpensTheDirectorySetUpAndItsCancelEndsTheProgram) {
  TTemporaryFolder temporary;
  const std::string work = prepareWorkingFolder(temporary);
  const std::string list = "[Directories]\r\n<GALLERY>=" + work + "DATA\\GALLERY\r\n<WEBS>=" + work + "NOWHERE\r\n";
  writeWholeFile(work + "Kestrova.INI", list);
  TProgram program(work);
  HWND dialog = program.waitForWindow("Directories", 30000);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(program.windowTitled("Loaded portfolios"), nullptr);
  PostMessageA(dialog, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.waitForEnd(10000));
  EXPECT_EQ(readWholeFile(work + "Kestrova.INI"), list);
}

TEST(Program, ACloseDuringTheFirstActivationWaitsUntilTheLoadingEnds) {
  TTemporaryFolder temporary;
  const std::string work = prepareWorkingFolder(temporary);
  TProgram program(work);
  HWND pick = program.waitForWindow("Loaded portfolios", 30000);
  ASSERT_NE(pick, nullptr);
  HWND main = program.windowTitled("Kestrova");
  ASSERT_NE(main, nullptr);
  PostMessageA(main, WM_CLOSE, 0, 0);
  pumpFor(500);
  EXPECT_TRUE(program.running());
  EXPECT_TRUE(IsWindowVisible(pick));
  PostMessageA(pick, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_TRUE(program.waitForEnd(20000));
  // It ended as a close ends: the layout was written.
  TPortableIniFile options(work + "DATA\\GUIoptions.INI");
  EXPECT_FALSE(options.readBool("MainWindow", "FirstRun", true));
}
