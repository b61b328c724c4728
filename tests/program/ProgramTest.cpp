#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>
#include <memory>
#include <regex>
#include <string>
#include <tuple>
#include <vector>

#include "controls/WebPanelSettings.h"
#include "model/Directories.h"
#include "model/PortableIniFile.h"
#include "platform/FileSystem.h"
#include "tests/support/GermanRegionalSettings.h"
#include "tests/support/LayoutDamage.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestSupport.h"

namespace {

std::string programPath() {
  std::string path = "Z:" KESTROVA_EXE;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

// How long any wait for the program bears: on a machine busy with the
// other test programs side by side a start has taken longer than 30 s, and
// the other steps slow down alike. A wait ends as soon as what it waits
// for comes, so only a program that hangs takes it whole.
constexpr int busyMachine = 120000;

// A started Kestrova.exe, ended when the test leaves it running.
class TProgram {
 public:
  explicit TProgram(const std::string& workingFolder, const std::string& executable = programPath(),
                    const std::string& arguments = {}) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string command = "\"" + executable + "\"" + (arguments.empty() ? "" : " " + arguments);
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
  DWORD exitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
  }
  // Whether the program ended, and ended as a program that was closed
  // does: a crash ends it too, with a code of its own.
  ::testing::AssertionResult endedCleanly() const {
    if (!waitForEnd(busyMachine)) return ::testing::AssertionFailure() << "the program did not end";
    if (exitCode() != 0) return ::testing::AssertionFailure() << "the program ended with exit code " << exitCode();
    return ::testing::AssertionSuccess();
  }

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

// The first child window of a class whose text is given (any text when
// empty); with shownOnly, the first one the user can see (another tab may
// hold a window of the same name).
HWND childWindow(HWND parent, const std::string& className, const std::string& text = {}, bool shownOnly = false) {
  struct TSearch {
    std::string className;
    std::string text;
    bool shownOnly;
    HWND found = nullptr;
  } search{className, text, shownOnly};
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM data) -> BOOL {
        auto& wanted = *reinterpret_cast<TSearch*>(data);
        char name[256] = {};
        char text[256] = {};
        GetClassNameA(child, name, sizeof name);
        GetWindowTextA(child, text, sizeof text);
        if (wanted.className != name || (!wanted.text.empty() && wanted.text != text)) return TRUE;
        if (wanted.shownOnly && !IsWindowVisible(child)) return TRUE;
        wanted.found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A click as the mouse gives it, at a point of the window's client area.
void postClick(HWND window, int x, int y) {
  PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

// Every file under a folder with its bytes, by its path below the folder.
void readTree(const std::string& folder, const std::string& below, std::map<std::string, std::string>& files) {
  for (const TFoundFile& found : findFiles(folder + below + "*")) {
    const std::string path = below + found.name;
    if (found.isFolder) {
      readTree(folder, path + "\\", files);
    } else {
      files[path] = readWholeFile(folder + path);
    }
  }
}

// Starts the program on work, takes the portfolios ticked, waits for the
// main window and closes it; false, with the reason, when a step does not
// come within its time.
::testing::AssertionResult startAndClose(const std::string& work) {
  TProgram program(work);
  if (!program.started()) return ::testing::AssertionFailure() << "not started";
  HWND pick = program.waitForWindow("Loaded portfolios", busyMachine);
  if (pick == nullptr) return ::testing::AssertionFailure() << "no pick dialog";
  PostMessageA(pick, WM_KEYDOWN, VK_RETURN, 0);
  HWND main = program.waitForWindow("Kestrova: ", busyMachine);
  if (main == nullptr) return ::testing::AssertionFailure() << "no main window";
  pumpFor(300);
  PostMessageA(main, WM_CLOSE, 0, 0);
  return program.endedCleanly();
}

// The main window's tabs in turn, as the arrow keys move through them.
bool showMainTab(HWND tabs, LRESULT wanted) {
  for (LRESULT at = SendMessageA(tabs, TCM_GETCURSEL, 0, 0); at != wanted;
       at = SendMessageA(tabs, TCM_GETCURSEL, 0, 0)) {
    PostMessageA(tabs, WM_KEYDOWN, at < wanted ? VK_RIGHT : VK_LEFT, 0);
    if (!pumpUntil([&] { return SendMessageA(tabs, TCM_GETCURSEL, 0, 0) != at; }, busyMachine)) return false;
  }
  return true;
}

std::string testFolder() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string file(path, length);
  return file.substr(0, file.find_last_of('\\') + 1);
}

// The main window, once Enter took the portfolio pick as it stands; none
// when a step does not come within its time. Its title names the current
// portfolio unless the Portfolios window could not show one.
HWND mainWindowAfterThePick(const TProgram& program, const std::string& title = "Kestrova: ") {
  HWND pick = program.waitForWindow("Loaded portfolios", busyMachine);
  if (pick == nullptr) return nullptr;
  PostMessageA(pick, WM_KEYDOWN, VK_RETURN, 0);
  HWND main = nullptr;
  pumpUntil([&] { return !IsWindowVisible(pick) && (main = program.windowTitled(title)) != nullptr; }, busyMachine);
  return main;
}

// On the Downloads tab: the list view is the one with a single column; a
// click on its first row gives it the focus, and Update queues the checked
// lists.
void clickUpdateOnTheCheckedLists(HWND main) {
  HWND lists = nullptr;
  EnumChildWindows(
      main,
      [](HWND child, LPARAM data) -> BOOL {
        char name[64] = {};
        GetClassNameA(child, name, sizeof name);
        const auto header = reinterpret_cast<HWND>(SendMessageA(child, LVM_GETHEADER, 0, 0));
        if (std::string(name) != WC_LISTVIEWA || !IsWindowVisible(child) ||
            SendMessageA(header, HDM_GETITEMCOUNT, 0, 0) != 1)
          return TRUE;
        *reinterpret_cast<HWND*>(data) = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&lists));
  ASSERT_NE(lists, nullptr);
  RECT header{};
  GetWindowRect(reinterpret_cast<HWND>(SendMessageA(lists, LVM_GETHEADER, 0, 0)), &header);
  postClick(lists, 40, header.bottom - header.top + 6);
  HWND update = childWindow(GetParent(lists), "KestrovaWindow", "&Update");
  ASSERT_NE(update, nullptr);
  ASSERT_TRUE(pumpUntil([&] { return IsWindowEnabled(update) != FALSE; }, busyMachine));
  postClick(update, 5, 5);
}

}  // namespace

TEST(Program, ASecondInstanceEndsAtOnceWithoutAWindowAndLeavesTheFirstAlone) {
  TTemporaryFolder temporary;
  const std::string work = prepareWorkingFolder(temporary);
  TProgram first(work);
  ASSERT_TRUE(first.started());
  HWND pick = first.waitForWindow("Loaded portfolios", busyMachine);
  ASSERT_NE(pick, nullptr);

  TProgram second(work);
  ASSERT_TRUE(second.started());
  bool secondShowedAWindow = false;
  const bool ended = pumpUntil(
      [&] {
        secondShowedAWindow = secondShowedAWindow || !second.windows().empty();
        return !second.running();
      },
      busyMachine);
  EXPECT_TRUE(ended);
  EXPECT_TRUE(second.endedCleanly());
  EXPECT_FALSE(secondShowedAWindow);
  EXPECT_TRUE(first.running());
  EXPECT_TRUE(IsWindowVisible(pick));
  PostMessageA(pick, WM_KEYDOWN, VK_RETURN, 0);
  HWND main = first.waitForWindow("Kestrova: ", busyMachine);
  ASSERT_NE(main, nullptr);
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(first.endedCleanly());
}

// Installers and Windows ask a COM server to register itself with these
// switches; the whole program used to start, splash, pick dialog and all.
TEST(Program, TheRegistrationSwitchesEndTheProgramWithoutAWindowOrAWrittenFile) {
  TTemporaryFolder temporary;
  const std::string work = prepareWorkingFolder(temporary);
  std::map<std::string, std::string> before;
  readTree(work, "", before);
  for (const char* registration : {"/regserver", "/unregserver", "-RegServer"}) {
    TProgram program(work, programPath(), registration);
    ASSERT_TRUE(program.started()) << registration;
    bool showedAWindow = false;
    const bool ended = pumpUntil(
        [&] {
          showedAWindow = showedAWindow || !program.windows().empty();
          return !program.running();
        },
        busyMachine);
    EXPECT_TRUE(ended) << registration;
    EXPECT_FALSE(showedAWindow) << registration;
    EXPECT_TRUE(program.endedCleanly()) << registration;
  }
  std::map<std::string, std::string> after;
  readTree(work, "", after);
  EXPECT_TRUE(before == after);
}

TEST(Program, FirstRunTakesTheDesignSizeAtTheWorkAreaOriginAndWritesItBack) {
  TTemporaryFolder temporary;
  const std::string work = prepareWorkingFolder(temporary);
  TProgram program(work);
  HWND pick = program.waitForWindow("Loaded portfolios", busyMachine);
  ASSERT_NE(pick, nullptr);
  // Enter accepts the ticks as they are.
  PostMessageA(pick, WM_KEYDOWN, VK_RETURN, 0);
  HWND main = program.waitForWindow("Kestrova: Growth Portfolio", busyMachine);
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
  ASSERT_TRUE(program.endedCleanly());
  TPortableIniFile options(work + "DATA\\GUIoptions.INI");
  EXPECT_FALSE(options.readBool("MainWindow", "FirstRun", true));
  EXPECT_EQ(options.readInteger("MainWindow", "Width", 0), bounds.right - bounds.left);
  EXPECT_EQ(options.readInteger("MainWindow", "Height", 0), bounds.bottom - bounds.top);
  for (const char* shared : {"CurrencyPick", "AssetPick", "DownloadPick", "Gallery"})
    EXPECT_TRUE(options.sectionExists(shared)) << shared;
  TPortableIniFile picks(work + "DATA\\FOLIOS\\FolioControls.INI");
  EXPECT_TRUE(picks.sectionExists("FolioPick"));
  // The shut-down saves the Portfolios view, then the portfolios; lines
  // shown where reading places them store no order.
  EXPECT_TRUE(picks.sectionExists("Grid"));
  TPortableIniFile second(work + "DATA\\FOLIOS\\2\\0.INI");
  EXPECT_EQ(second.readString("ExternalProperties", "DisplayOrder", ""), "");
}

TEST(Program, AMissingDirectoryListIsReportedAndEndsTheProgram) {
  TTemporaryFolder temporary;
  TProgram program(temporary.path());
  HWND message = program.waitForWindow("Error", busyMachine);
  ASSERT_NE(message, nullptr);
  const std::string expected = "Missing directory list: \r\r" + temporary.path() + "Kestrova.INI";
  bool found = false;
  for (const std::string& text : childTexts(message)) found = found || text == expected;
  EXPECT_TRUE(found);
  PostMessageA(message, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(program.endedCleanly());
  EXPECT_FALSE(fileExists(temporary.path() + "Kestrova.INI"));
}

TEST(Program, ADirectoryListThatCannotBeReadIsToldSoAndNotTakenForMissing) {
  TTemporaryFolder temporary;
  const std::string list = temporary.path() + "Kestrova.INI";
  forceFolders(list);
  TProgram program(temporary.path());
  HWND message = program.waitForWindow("Error", busyMachine);
  ASSERT_NE(message, nullptr);
  const std::string expected = "Could not read the directory list: \r\r" + list;
  bool found = false;
  for (const std::string& text : childTexts(message)) found = found || text == expected;
  EXPECT_TRUE(found);
  PostMessageA(message, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(program.endedCleanly());
  EXPECT_TRUE(folderExists(list));
}

namespace {

// The folders of a working folder in the order of the directory set-up's rows.
const char* const setUpFolders[] = {"DATA",         "DATA\\FOLIOS", "DATA\\DLISTS",  "DATA\\FOREX",
                                    "DATA\\QUOTES", "DATA\\MACROS", "SCRIPTS",       "DATA\\GALLERY",
                                    "DATA\\WEBS",   "DATA\\BMPS",   "TEMP"};

std::vector<HWND> childrenOfClass(HWND parent, const std::string& className) {
  std::pair<std::string, std::vector<HWND>> search{className, {}};
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM data) -> BOOL {
        auto& [wanted, found] = *reinterpret_cast<std::pair<std::string, std::vector<HWND>>*>(data);
        char name[64] = {};
        GetClassNameA(child, name, sizeof name);
        if (lstrcmpiA(name, wanted.c_str()) == 0) found.push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.second;
}

// Names every directory in the set-up window after the working folder's own
// and accepts, as the user does with its browse buttons; false when the
// window does not take them.
bool acceptEveryDirectory(HWND setUp, const std::string& work) {
  std::vector<HWND> edits = childrenOfClass(setUp, "Edit");
  if (edits.size() != std::size(setUpFolders)) return false;
  const auto top = [](HWND window) {
    RECT bounds{};
    GetWindowRect(window, &bounds);
    return bounds.top;
  };
  std::sort(edits.begin(), edits.end(), [&](HWND a, HWND b) { return top(a) < top(b); });
  for (size_t row = 0; row < edits.size(); ++row)
    SendMessageA(edits[row], WM_SETTEXT, 0, reinterpret_cast<LPARAM>((work + setUpFolders[row]).c_str()));
  for (HWND button : childrenOfClass(setUp, "Button")) {
    char text[64] = {};
    GetWindowTextA(button, text, sizeof text);
    if (std::string(text) != "&OK") continue;
    if (!IsWindowEnabled(button)) return false;
    PostMessageA(button, BM_CLICK, 0, 0);
    return true;
  }
  return false;
}

}  // namespace

// The set-up window that opens for directories a list held by another
// program, or damaged, did not give says why first; cancelled, it ends the
// program and leaves the list as it was, and with every directory named the
// start goes on. The start once crashed as soon as the message was
// answered: the set-up's message loop ran the loading before the windows
// it loads were made.
TEST(Program, TheDirectorySetUpOpenedForAListThatDidNotReadSaysWhy) {
  TTemporaryFolder temporary;
  const std::string work = prepareWorkingFolder(temporary);
  const std::string list = work + "Kestrova.INI";
  const std::string damaged = "[Directories]\r\n<GALLERY>=" + work + "DATA\\GALLERY\r\n<WEBS\r\n";
  for (const auto& [text, held, says] :
       {std::tuple{readWholeFile(list), true, std::string("Could not read the directory list: \r\r")},
        std::tuple{damaged, false, std::string("Could not read all of the directory list: \r\r")}}) {
    for (const bool named : {false, true}) {
      SCOPED_TRACE(says + (named ? "directories named" : "set-up cancelled"));
      writeWholeFile(list, text);
      THeldFile holder(list);
      if (!held) holder.release();
      TProgram program(work);
      HWND message = program.waitForWindow("Error", busyMachine);
      ASSERT_NE(message, nullptr);
      bool found = false;
      for (const std::string& line : childTexts(message)) found = found || line == says + list;
      EXPECT_TRUE(found);
      PostMessageA(message, WM_COMMAND, IDOK, 0);
      HWND dialog = program.waitForWindow("Directories", busyMachine);
      ASSERT_NE(dialog, nullptr);
      if (!named) {
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        EXPECT_TRUE(program.endedCleanly());
        holder.release();
        EXPECT_EQ(readWholeFile(list), text);
        continue;
      }
      ASSERT_TRUE(acceptEveryDirectory(dialog, work));
      // A list that cannot take the directories says so, and the start
      // goes on with them.
      HWND pick = nullptr;
      ASSERT_TRUE(pumpUntil(
          [&] {
            if (HWND failed = program.windowTitled("Error")) PostMessageA(failed, WM_COMMAND, IDOK, 0);
            return (pick = program.windowTitled("Loaded portfolios")) != nullptr;
          },
          busyMachine));
      PostMessageA(pick, WM_KEYDOWN, VK_RETURN, 0);
      HWND main = program.waitForWindow("Kestrova: ", busyMachine);
      ASSERT_NE(main, nullptr);
      // Let go by then, the list takes the directories at the close, which
      // thus asks nothing.
      holder.release();
      PostMessageA(main, WM_CLOSE, 0, 0);
      EXPECT_TRUE(program.endedCleanly());
      EXPECT_NE(TPortableIniFile(list).readString("Directories", "<WEBS>", ""), "");
    }
  }
}

// A list saved as UTF-16 gave no reason, at the start nor when it refused
// the directories the user named; the close then went on without them, and
// every start asked again. Both boxes say why, and the close asks about the
// list while it cannot take them.
TEST(Program, ADirectoryListInUnicodeSaysWhyAndTheCloseAsksAboutIt) {
  TTemporaryFolder temporary;
  const std::string work = prepareWorkingFolder(temporary);
  const std::string list = work + "Kestrova.INI";
  std::string unicode = "\xff\xfe";
  for (const char c : readWholeFile(list)) unicode += std::string{c, '\0'};
  writeWholeFile(list, unicode);
  TProgram program(work);
  const std::string why = "\r\rIt is saved as Unicode (UTF-16), not as ANSI text.";
  const auto told = [&](const std::string& text) {
    HWND message = program.waitForWindow("Error", busyMachine);
    if (message == nullptr) return false;
    bool found = false;
    for (const std::string& line : childTexts(message)) found = found || line == text;
    EXPECT_TRUE(found) << text;
    PostMessageA(message, WM_COMMAND, IDOK, 0);
    return pumpUntil([&] { return program.windowTitled("Error") == nullptr; }, busyMachine);
  };
  ASSERT_TRUE(told("Could not read all of the directory list: \r\r" + list + why));
  HWND dialog = program.waitForWindow("Directories", busyMachine);
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(acceptEveryDirectory(dialog, work));
  ASSERT_TRUE(told("Failed to save the directory list: \r\r" + list + why));
  HWND pick = program.waitForWindow("Loaded portfolios", busyMachine);
  ASSERT_NE(pick, nullptr);
  PostMessageA(pick, WM_KEYDOWN, VK_RETURN, 0);
  HWND main = program.waitForWindow("Kestrova: ", busyMachine);
  ASSERT_NE(main, nullptr);
  PostMessageA(main, WM_CLOSE, 0, 0);
  HWND question = program.waitForWindow("Error", busyMachine);
  ASSERT_NE(question, nullptr);
  bool named = false;
  for (const std::string& line : childTexts(question))
    named = named || line.rfind("Failed to save " + list + ".\r\r" + list + " is saved as Unicode", 0) == 0;
  EXPECT_TRUE(named);
  PostMessageA(question, WM_COMMAND, IDCONTINUE, 0);
  EXPECT_TRUE(program.endedCleanly());
  EXPECT_EQ(readWholeFile(list), unicode);
}

TEST(Program, AMissingDirectoryOpensTheDirectorySetUpAndItsCancelEndsTheProgram) {
  TTemporaryFolder temporary;
  const std::string work = prepareWorkingFolder(temporary);
  const std::string list = "[Directories]\r\n<GALLERY>=" + work + "DATA\\GALLERY\r\n<WEBS>=" + work + "NOWHERE\r\n";
  writeWholeFile(work + "Kestrova.INI", list);
  TProgram program(work);
  HWND dialog = program.waitForWindow("Directories", busyMachine);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(program.windowTitled("Loaded portfolios"), nullptr);
  PostMessageA(dialog, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.endedCleanly());
  EXPECT_EQ(readWholeFile(work + "Kestrova.INI"), list);
}

TEST(Program, ACloseDuringTheFirstActivationWaitsUntilTheLoadingEnds) {
  TTemporaryFolder temporary;
  const std::string work = prepareWorkingFolder(temporary);
  TProgram program(work);
  HWND pick = program.waitForWindow("Loaded portfolios", busyMachine);
  ASSERT_NE(pick, nullptr);
  HWND main = program.windowTitled("Kestrova");
  ASSERT_NE(main, nullptr);
  PostMessageA(main, WM_CLOSE, 0, 0);
  pumpFor(500);
  EXPECT_TRUE(program.running());
  EXPECT_TRUE(IsWindowVisible(pick));
  PostMessageA(pick, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_TRUE(program.endedCleanly());
  // It ended as a close ends: the layout was written.
  TPortableIniFile options(work + "DATA\\GUIoptions.INI");
  EXPECT_FALSE(options.readBool("MainWindow", "FirstRun", true));
}

TEST(Program, UpdatingACheckedListHandsItToTheDownloaderAndTheReloadItSignalsShowsTheNewQuotes) {
  TTemporaryFolder temporary;
  const std::string work = prepareWorkingFolder(temporary);
  // The program with the downloader's stand-in beside it, as installed.
  const std::string installed = temporary.path() + "program\\";
  forceFolders(installed);
  ASSERT_TRUE(CopyFileA(programPath().c_str(), (installed + "Kestrova.exe").c_str(), FALSE));
  ASSERT_TRUE(CopyFileA((testFolder() + "fm.exe").c_str(), (installed + "fm.exe").c_str(), FALSE));
  const std::string list = work + "DATA\\DLISTS\\1\\";
  forceFolders(list);
  writeWholeFile(list + "0.INI", "[List]\r\nName=Indices\r\nChecked=1\r\n");
  writeWholeFile(list + "1.INI", "[DownloadItem]\r\nName=Global index\r\nSymbol=GIX\r\n");
  // The download brings one more day of quotes.
  const std::string fresh = temporary.path() + "fresh\\";
  forceFolders(fresh);
  const std::string quotes = work + "DATA\\QUOTES\\GIX.CSV";
  const std::string newQuotes = readWholeFile(quotes) + "12/30/2030,999.5\r\n";
  writeWholeFile(fresh + "GIX.CSV", newQuotes);
  const std::string log = temporary.path() + "fm.log";
  writeWholeFile(installed + "fm.ini", "[Fetchmoor]\r\nLog=" + log + "\r\n[Queue]\r\nCopyFrom=" + fresh +
                                          "\r\nCopyTo=" + work + "DATA\\QUOTES\r\n");

  TProgram program(work, installed + "Kestrova.exe");
  HWND pick = program.waitForWindow("Loaded portfolios", busyMachine);
  ASSERT_NE(pick, nullptr);
  PostMessageA(pick, WM_KEYDOWN, VK_RETURN, 0);
  HWND main = program.waitForWindow("Kestrova: Growth Portfolio", busyMachine);
  ASSERT_NE(main, nullptr);
  HWND tabs = childWindow(main, "SysTabControl32");
  ASSERT_NE(tabs, nullptr);
  const auto showTab = [&](LRESULT wanted) { return showMainTab(tabs, wanted); };
  // The Portfolios tab at the last date the quotes reach before the download.
  HWND last = childWindow(main, "KestrovaWindow", "Last date", true);
  ASSERT_NE(last, nullptr);
  postClick(last, 5, 5);
  const TScreenImage before = captureWindow(main);
  ASSERT_TRUE(showTab(6));
  HWND reload = childWindow(main, "KestrovaWindow", "Reload");
  ASSERT_NE(reload, nullptr);
  EXPECT_FALSE(IsWindowEnabled(reload));

  clickUpdateOnTheCheckedLists(main);

  // The stand-in notes the call before it answers it, so the copied quotes
  // are waited for, not read at the first sight of the call.
  ASSERT_TRUE(pumpUntil([&] { return readWholeFile(quotes) == newQuotes; }, busyMachine));
  std::string root = work + "DATA\\DLISTS\\1\\\n";
  for (char& c : root) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  EXPECT_EQ(readWholeFile(log + ".queue"), root);

  // The downloader's signal enables the reload button; the reload reads the
  // new quotes, which the Portfolios tab shows, and disables it again.
  ASSERT_TRUE(pumpUntil([&] { return IsWindowEnabled(reload) != FALSE; }, busyMachine));
  ASSERT_TRUE(showTab(0));
  postClick(reload, 5, 5);
  EXPECT_TRUE(pumpUntil([&] { return IsWindowEnabled(reload) == FALSE; }, busyMachine));
  // The same move to the last date reaches the new day now: the date bar,
  // the row of that button, reads otherwise once the program has moved.
  postClick(last, 5, 5);
  RECT window{}, button{};
  GetWindowRect(main, &window);
  GetWindowRect(last, &button);
  TScreenImage after;
  const bool dateBarChanged = pumpUntil(
      [&] {
        after = captureWindow(main);
        for (int y = button.top - window.top; y < button.bottom - window.top; ++y)
          for (int x = 0; x < after.width(); ++x)
            if (before.pixel(x, y) != after.pixel(x, y)) return true;
        return false;
      },
      busyMachine);
  before.savePng("program-before-reload");
  after.savePng("program-after-reload");
  EXPECT_TRUE(dateBarChanged);

  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.endedCleanly());
  const HANDLE quit = CreateEventA(nullptr, TRUE, FALSE, "Fetchmoor Stand-in Quit");
  SetEvent(quit);
  pumpUntil(
      [] {
        const HANDLE running = OpenMutexA(SYNCHRONIZE, FALSE, "Fetchmoor Stand-in");
        if (running) CloseHandle(running);
        return running == nullptr;
      },
      5000);
  CloseHandle(quit);
}

TEST(Program, UpdateWithoutTheDownloaderBesideTheProgramSaysSo) {
  TTemporaryFolder temporary;
  const std::string work = prepareWorkingFolder(temporary);
  const std::string list = work + "DATA\\DLISTS\\1\\";
  forceFolders(list);
  writeWholeFile(list + "0.INI", "[List]\r\nName=Indices\r\nChecked=1\r\n");
  TProgram program(work);
  HWND main = mainWindowAfterThePick(program);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(showMainTab(childWindow(main, "SysTabControl32"), 6));
  clickUpdateOnTheCheckedLists(main);
  HWND told = program.waitForWindow("Downloads", busyMachine);
  ASSERT_NE(told, nullptr);
  const std::vector<std::string> texts = childTexts(told);
  EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [](const std::string& text) {
    return text.find("fm.exe") != std::string::npos && text.find("not found") != std::string::npos;
  }));
  PostMessageA(told, WM_KEYDOWN, VK_RETURN, 0);
  PostMessageA(told, WM_CLOSE, 0, 0);
  ASSERT_TRUE(pumpUntil([&] { return !IsWindow(told); }, busyMachine));
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.endedCleanly());
}

// The user's own files, by name: what the program must never change
// because a layout file was damaged. The windows' own files (layouts, and
// field definitions whose sizes follow the layout) are not among them.
std::map<std::string, std::string> userFiles(const std::string& work) {
  std::map<std::string, std::string> files;
  readTree(work + "DATA\\", "", files);
  std::erase_if(files, [](const auto& file) {
    return file.first.find("Controls.INI") != std::string::npos ||
           file.first.find("Fields.INI") != std::string::npos || file.first == "GUIoptions.INI";
  });
  return files;
}

// Damaged window layouts once kept the main window off the screen or made
// the close hang for good; a damaged start is given the clean start's time,
// which a loaded machine needs.
TEST(Program, DamagedLayoutFilesStartAndCloseAsCleanOnesDo) {
  TTemporaryFolder temporary;
  const std::string work = prepareWorkingFolder(temporary);
  ASSERT_TRUE(startAndClose(work));
  const std::map<std::string, std::string> clean = userFiles(work);
  const std::string options = work + "DATA\\GUIoptions.INI";
  const std::string controls = work + "DATA\\FOLIOS\\FolioControls.INI";
  const std::string cleanOptions = readWholeFile(options);
  const std::string cleanControls = readWholeFile(controls);
  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  for (TLayoutDamage damage : {TLayoutDamage::negsize, TLayoutDamage::offscreen, TLayoutDamage::huge,
                               TLayoutDamage::countMax}) {
    writeWholeFile(options, damageLayoutText(cleanOptions, damage));
    writeWholeFile(controls, damageLayoutText(cleanControls, damage));
    EXPECT_TRUE(startAndClose(work)) << layoutDamageName(damage);
    // Notes shown by a damaged "Show" are made as an empty file, as any
    // shown notes are; what existed must stay as it was.
    const std::map<std::string, std::string> after = userFiles(work);
    std::string changed;
    for (const auto& [name, bytes] : clean) {
      const auto found = after.find(name);
      if (found == after.end() || found->second != bytes) changed += name + " ";
    }
    EXPECT_EQ(changed, "") << layoutDamageName(damage);
    TPortableIniFile written(options);
    const int left = written.readInteger("MainWindow", "Left", -1), top = written.readInteger("MainWindow", "Top", -1);
    EXPECT_TRUE(left >= area.left && left + written.readInteger("MainWindow", "Width", 0) <= area.right &&
                top >= area.top && top + written.readInteger("MainWindow", "Height", 0) <= area.bottom)
        << layoutDamageName(damage);
  }
}

// Closing the main window while the modal Gallery shows (Alt+F4 aimed at
// it, the task bar) ends the program cleanly, the Gallery with it.
TEST(Program, ACloseWhileTheGalleryShowsEndsTheProgramCleanly) {
  TTemporaryFolder temporary;
  const std::string work = prepareWorkingFolder(temporary);
  TProgram program(work);
  HWND main = mainWindowAfterThePick(program);
  ASSERT_NE(main, nullptr);
  HWND galleryButton = childWindow(main, "KestrovaWindow", "Gallery", true);
  ASSERT_NE(galleryButton, nullptr);
  postClick(galleryButton, 5, 5);
  ASSERT_NE(program.waitForWindow("Gallery", busyMachine), nullptr);
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.endedCleanly());
}

// A window file held by another program at start is taken as missing and
// named in one line at the foot of the main window; no dialog waits.
TEST(Program, AWindowFileThatCannotBeReadIsToldInOneLineAndTheStartGoesOn) {
  TTemporaryFolder temporary;
  const std::string work = prepareWorkingFolder(temporary);
  const std::string controls = work + "DATA\\FOLIOS\\FolioControls.INI";
  HANDLE held = CreateFileA(controls.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  TProgram program(work);
  HWND main = mainWindowAfterThePick(program);
  ASSERT_NE(main, nullptr);
  HWND bar = FindWindowExA(main, nullptr, STATUSCLASSNAMEA, nullptr);  // the main window's own
  ASSERT_NE(bar, nullptr);
  char text[1024] = {};
  // Another process's control answers its text only when asked by message.
  EXPECT_TRUE(pumpUntil(
      [&] {
        return IsWindowVisible(bar) && SendMessageA(bar, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text)) > 0;
      },
      busyMachine));
  EXPECT_NE(std::string(text).find("FolioControls.INI"), std::string::npos) << text;
  EXPECT_EQ(program.windows(), std::vector<HWND>{main});
  CloseHandle(held);
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.endedCleanly());
}

namespace {

// The program on a fresh working folder up to its main window, where the
// caller looks, and through its close; the folder's files afterwards.
std::map<std::string, std::string> runUntilClosed(const std::function<void(HWND main)>& look) {
  TTemporaryFolder temporary;
  const std::string work = prepareWorkingFolder(temporary);
  std::map<std::string, std::string> files;
  {
    TProgram program(work);
    HWND pick = program.waitForWindow("Loaded portfolios", busyMachine);
    EXPECT_NE(pick, nullptr);
    if (!pick) return files;
    PostMessageA(pick, WM_KEYDOWN, VK_RETURN, 0);
    HWND main = program.waitForWindow("Kestrova: Growth Portfolio", busyMachine);
    EXPECT_NE(main, nullptr);
    if (!main) return files;
    look(main);
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.endedCleanly());
  }
  readTree(work, "", files);
  // Only the folder's own path differs between two runs.
  for (auto& [name, bytes] : files) {
    for (std::size_t at = bytes.find(work); at != std::string::npos; at = bytes.find(work, at))
      bytes.replace(at, work.size(), "<work>\\");
  }
  return files;
}

// What a user types into the Macros window's test sheet, and what it shows.
struct TTypedCells {
  std::string number, formula, shownNumber;
};

// The test sheet's cell editor line and its type box beside it, found by
// the box's items; the sheet lies below them.
struct TMacroSheetControls {
  HWND typeBox = nullptr, cellEdit = nullptr, sheet = nullptr;
};

TMacroSheetControls macroSheetControls(HWND main) {
  TMacroSheetControls controls;
  std::vector<HWND> boxes;
  EnumChildWindows(
      main,
      [](HWND child, LPARAM data) -> BOOL {
        char name[64] = {};
        GetClassNameA(child, name, sizeof name);
        if (std::string(name) == "ComboBox" && IsWindowVisible(child))
          reinterpret_cast<std::vector<HWND>*>(data)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&boxes));
  for (HWND box : boxes) {
    if (SendMessageA(box, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("Float")) != 1) continue;
    controls.typeBox = box;
    HWND row = GetParent(box);
    controls.cellEdit = FindWindowExA(row, nullptr, "Edit", nullptr);
    for (HWND child = GetWindow(GetParent(row), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      if (child != row) controls.sheet = child;
  }
  return controls;
}

// A control's text: GetWindowText reads only captions of other programs' windows.
std::string controlText(HWND control) {
  char text[256] = {};
  SendMessageA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

// Gives the test sheet's first cells a number and a formula as the user
// types them, and reads the number back as the editor line shows it.
void typeIntoTheMacroSheet(HWND main, const TTypedCells& typed) {
  HWND tabs = childWindow(main, "SysTabControl32");
  ASSERT_NE(tabs, nullptr);
  ASSERT_TRUE(showMainTab(tabs, 5));
  TMacroSheetControls controls;
  ASSERT_TRUE(pumpUntil([&] { return (controls = macroSheetControls(main)).sheet != nullptr; }, busyMachine));
  // The sheet's surface, a window of its own, takes the clicks.
  const auto clickCell = [&](int x, int y) {
    POINT point{x, y};
    HWND surface = ChildWindowFromPointEx(controls.sheet, point, CWP_SKIPINVISIBLE);
    MapWindowPoints(controls.sheet, surface, &point, 1);
    postClick(surface, point.x, point.y);
  };
  const auto enterCell = [&](int x, const std::string& text) {
    clickCell(x, 26);
    pumpFor(300);
    SendMessageA(controls.typeBox, CB_SETCURSEL, 1, 0);
    SetWindowTextA(controls.cellEdit, text.c_str());
    PostMessageA(controls.cellEdit, WM_KEYDOWN, VK_RETURN, 0);
    pumpFor(300);
  };
  enterCell(60, typed.number);
  enterCell(150, typed.formula);
  clickCell(60, 26);
  EXPECT_TRUE(pumpUntil([&] { return controlText(controls.cellEdit) == typed.shownNumber; }, busyMachine))
      << controlText(controls.cellEdit);
}

}  // namespace

// The program reads the user's separators at its start: a German user types
// and sees "," in numbers and ";" between arguments, and the files it writes
// are those an English user's program writes.
TEST(Program, GermanRegionalSettingsAreShownAndTheFilesStayAsUnderEnglishOnes) {
  const auto english = runUntilClosed([](HWND main) {
    pumpFor(500);
    captureWindow(main).savePng("program-english-settings");
    typeIntoTheMacroSheet(main, {"1234.5", "=ROUND(A1*2.25,1)+0.10-1.5E3", "1234.5"});
  });
  std::map<std::string, std::string> german;
  {
    TGermanRegionalSettings settings;
    german = runUntilClosed([](HWND main) {
      pumpFor(500);
      captureWindow(main).savePng("program-german-settings");
      typeIntoTheMacroSheet(main, {"1234,5", "=ROUND(A1*2,25;1)+0,10-1,5E3", "1234,5"});
    });
  }
  ASSERT_FALSE(english.empty());
  // Every number as typed: only the separators are those of the file.
  EXPECT_NE(english.at("DATA\\GUIoptions.INI").find("2:1=1:=ROUND(A1*2.25;1)+0.10-1.5E3"), std::string::npos);
  ASSERT_EQ(english.size(), german.size());
  for (const auto& [name, bytes] : english) {
    auto found = german.find(name);
    ASSERT_NE(found, german.end()) << name;
    EXPECT_EQ(found->second, bytes) << name;
  }
}

namespace {

// The close's question names the file, says what goes when the program ends
// without it, and offers the three answers.
bool asksAboutTheClose(HWND message, const std::string& file) {
  // The folder's name may come in capitals.
  std::string expected = "Failed to save " + file + ".\r\rTry Again: save again.\rContinue: end the program and "
                         "leave the file as it is; what was not written into it is lost.\rCancel: go back to the "
                         "program.";
  bool named = false;
  std::vector<std::string> buttons;
  for (std::string text : childTexts(message)) {
    if (text == "Cancel" || text == "&Try Again" || text == "&Continue") buttons.push_back(text);
    for (std::string* each : {&text, &expected})
      for (char& c : *each) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    named = named || text == expected;
  }
  std::sort(buttons.begin(), buttons.end());
  return named && buttons == std::vector<std::string>{"&Continue", "&Try Again", "Cancel"};
}

// Starts the program, moves its main window (something to save into the
// options file), makes the file read-only and closes: the question asked.
HWND closedWithAnUnwritableFile(TProgram& program, const std::string& options, HWND& main) {
  HWND pick = program.waitForWindow("Loaded portfolios", busyMachine);
  if (pick == nullptr) return nullptr;
  PostMessageA(pick, WM_KEYDOWN, VK_RETURN, 0);
  main = program.waitForWindow("Kestrova: ", busyMachine);
  if (main == nullptr) return nullptr;
  pumpFor(300);
  SetWindowPos(main, nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetFileAttributesA(options.c_str(), FILE_ATTRIBUTE_READONLY);
  PostMessageA(main, WM_CLOSE, 0, 0);
  HWND message = program.waitForWindow("Error", busyMachine);
  if (message != nullptr && !asksAboutTheClose(message, options)) return nullptr;
  return message;
}

}  // namespace

// A close that could not write the window options once ended the program in
// a second and took the test sheet's edits with it.
TEST(Program, ACloseThatCannotWriteAFileNamesItAndCancelKeepsTheProgram) {
  TTemporaryFolder temporary;
  const std::string work = prepareWorkingFolder(temporary);
  const std::string options = work + "DATA\\GUIoptions.INI";
  writeWholeFile(options, "[MainWindow]\r\nFirstRun=0\r\n");
  TProgram program(work);
  HWND main = nullptr;
  const HWND message = closedWithAnUnwritableFile(program, options, main);
  ASSERT_NE(message, nullptr);
  PostMessageA(message, WM_COMMAND, IDCANCEL, 0);
  pumpFor(1000);
  EXPECT_TRUE(program.running()) << "cancelled: the program stays";
  EXPECT_TRUE(IsWindowVisible(main));
  EXPECT_EQ(readWholeFile(options), "[MainWindow]\r\nFirstRun=0\r\n");

  SetFileAttributesA(options.c_str(), FILE_ATTRIBUTE_NORMAL);
  PostMessageA(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(program.endedCleanly());
  EXPECT_EQ(TPortableIniFile(options).readInteger("MainWindow", "Left", -1), 40);
}

// A file that stayed unwritable once kept the program open at every close
// until it was killed, and every other unsaved edit went with it.
TEST(Program, ACloseCanEndWithoutAFileThatStaysUnwritable) {
  TTemporaryFolder temporary;
  const std::string work = prepareWorkingFolder(temporary);
  const std::string options = work + "DATA\\GUIoptions.INI";
  writeWholeFile(options, "[MainWindow]\r\nFirstRun=0\r\n");
  TProgram program(work);
  HWND main = nullptr;
  const HWND message = closedWithAnUnwritableFile(program, options, main);
  ASSERT_NE(message, nullptr);
  PostMessageA(message, WM_COMMAND, IDCONTINUE, 0);
  EXPECT_TRUE(program.endedCleanly()) << "the program ends without the file's changes";
  SetFileAttributesA(options.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(readWholeFile(options), "[MainWindow]\r\nFirstRun=0\r\n");
}

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
  if (HWND question = program.waitForWindow("Error", 5000)) {
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
