#include <algorithm>
#include <tuple>

#include "model/PortableIniFile.h"
#include "platform/FileSystem.h"
#include "tests/program/ProgramDriver.h"

TEST(Program, ASecondInstanceEndsAtOnceWithoutAWindowAndLeavesTheFirstAlone) {
  TTemporaryFolder temporary;
  const std::string work = prepareWorkingFolder(temporary);
  TProgram first(work);
  ASSERT_TRUE(first.started());
  HWND pick = first.waitForWindow("Loaded portfolios", busyMachine());
  ASSERT_NE(pick, nullptr);

  TProgram second(work);
  ASSERT_TRUE(second.started());
  bool secondShowedAWindow = false;
  const bool ended = pumpUntil(
      [&] {
        secondShowedAWindow = secondShowedAWindow || !second.windows().empty();
        return !second.running();
      },
      busyMachine());
  EXPECT_TRUE(ended);
  EXPECT_TRUE(second.endedCleanly());
  EXPECT_FALSE(secondShowedAWindow);
  EXPECT_TRUE(first.running());
  EXPECT_TRUE(IsWindowVisible(pick));
  PostMessageA(pick, WM_KEYDOWN, VK_RETURN, 0);
  HWND main = first.waitForWindow("Kestrova: ", busyMachine());
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
        busyMachine());
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
  HWND pick = program.waitForWindow("Loaded portfolios", busyMachine());
  ASSERT_NE(pick, nullptr);
  // Enter accepts the ticks as they are.
  PostMessageA(pick, WM_KEYDOWN, VK_RETURN, 0);
  HWND main = program.waitForWindow("Kestrova: Growth Portfolio", busyMachine());
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
  HWND message = program.waitForWindow("Error", busyMachine());
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
  HWND message = program.waitForWindow("Error", busyMachine());
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
      HWND message = program.waitForWindow("Error", busyMachine());
      ASSERT_NE(message, nullptr);
      bool found = false;
      for (const std::string& line : childTexts(message)) found = found || line == says + list;
      EXPECT_TRUE(found);
      PostMessageA(message, WM_COMMAND, IDOK, 0);
      HWND dialog = program.waitForWindow("Directories", busyMachine());
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
          busyMachine()));
      PostMessageA(pick, WM_KEYDOWN, VK_RETURN, 0);
      HWND main = program.waitForWindow("Kestrova: ", busyMachine());
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
    HWND message = program.waitForWindow("Error", busyMachine());
    if (message == nullptr) return false;
    bool found = false;
    for (const std::string& line : childTexts(message)) found = found || line == text;
    EXPECT_TRUE(found) << text;
    PostMessageA(message, WM_COMMAND, IDOK, 0);
    return pumpUntil([&] { return program.windowTitled("Error") == nullptr; }, busyMachine());
  };
  ASSERT_TRUE(told("Could not read all of the directory list: \r\r" + list + why));
  HWND dialog = program.waitForWindow("Directories", busyMachine());
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(acceptEveryDirectory(dialog, work));
  ASSERT_TRUE(told("Failed to save the directory list: \r\r" + list + why));
  HWND pick = program.waitForWindow("Loaded portfolios", busyMachine());
  ASSERT_NE(pick, nullptr);
  PostMessageA(pick, WM_KEYDOWN, VK_RETURN, 0);
  HWND main = program.waitForWindow("Kestrova: ", busyMachine());
  ASSERT_NE(main, nullptr);
  PostMessageA(main, WM_CLOSE, 0, 0);
  HWND question = program.waitForWindow("Error", busyMachine());
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
  HWND dialog = program.waitForWindow("Directories", busyMachine());
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
  HWND pick = program.waitForWindow("Loaded portfolios", busyMachine());
  ASSERT_NE(pick, nullptr);
  HWND main = program.windowTitled("Kestrova");
  ASSERT_NE(main, nullptr);
  // Sent, not posted: what follows reads the close's effect once it was
  // handled, however long the busy machine takes to get to it.
  DWORD_PTR answer = 0;
  ASSERT_NE(SendMessageTimeoutA(main, WM_CLOSE, 0, 0, SMTO_NORMAL, static_cast<UINT>(busyMachine()), &answer), 0);
  EXPECT_TRUE(program.running());
  EXPECT_TRUE(IsWindowVisible(pick));
  PostMessageA(pick, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_TRUE(program.endedCleanly());
  // It ended as a close ends: the layout was written.
  TPortableIniFile options(work + "DATA\\GUIoptions.INI");
  EXPECT_FALSE(options.readBool("MainWindow", "FirstRun", true));
}
