#include "tests/program/ProgramDriver.h"

#include <commctrl.h>

#include <algorithm>
#include <chrono>

#include "model/Directories.h"
#include "platform/FileSystem.h"

namespace {

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

}  // namespace

int busyMachine() {
  // The test's start as the test framework took it, on the same clock.
  using namespace std::chrono;
  const milliseconds started(testing::UnitTest::GetInstance()->current_test_info()->result()->start_timestamp());
  const auto used = duration_cast<milliseconds>(system_clock::now() - system_clock::from_time_t(0)) - started;
  return static_cast<int>(std::max(milliseconds(0), testWaits - used).count());
}

std::string programPath() {
  std::string path = "Z:" KESTROVA_EXE;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

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

HWND childWindow(HWND parent, const std::string& className, const std::string& text, bool shownOnly) {
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

void postClick(HWND window, int x, int y) {
  PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

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

::testing::AssertionResult startAndClose(const std::string& work) {
  TProgram program(work);
  if (!program.started()) return ::testing::AssertionFailure() << "not started";
  HWND pick = program.waitForWindow("Loaded portfolios", busyMachine());
  if (pick == nullptr) return ::testing::AssertionFailure() << "no pick dialog";
  PostMessageA(pick, WM_KEYDOWN, VK_RETURN, 0);
  HWND main = program.waitForWindow("Kestrova: ", busyMachine());
  if (main == nullptr) return ::testing::AssertionFailure() << "no main window";
  pumpFor(300);
  PostMessageA(main, WM_CLOSE, 0, 0);
  return program.endedCleanly();
}

bool showMainTab(HWND tabs, LRESULT wanted) {
  for (LRESULT at = SendMessageA(tabs, TCM_GETCURSEL, 0, 0); at != wanted;
       at = SendMessageA(tabs, TCM_GETCURSEL, 0, 0)) {
    PostMessageA(tabs, WM_KEYDOWN, at < wanted ? VK_RIGHT : VK_LEFT, 0);
    if (!pumpUntil([&] { return SendMessageA(tabs, TCM_GETCURSEL, 0, 0) != at; }, busyMachine())) return false;
  }
  return true;
}

std::string testFolder() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string file(path, length);
  return file.substr(0, file.find_last_of('\\') + 1);
}

HWND mainWindowAfterThePick(const TProgram& program, const std::string& title) {
  HWND pick = program.waitForWindow("Loaded portfolios", busyMachine());
  if (pick == nullptr) return nullptr;
  PostMessageA(pick, WM_KEYDOWN, VK_RETURN, 0);
  HWND main = nullptr;
  pumpUntil([&] { return !IsWindowVisible(pick) && (main = program.windowTitled(title)) != nullptr; }, busyMachine());
  return main;
}

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
  ASSERT_TRUE(pumpUntil([&] { return IsWindowEnabled(update) != FALSE; }, busyMachine()));
  postClick(update, 5, 5);
}

std::map<std::string, std::string> userFiles(const std::string& work) {
  std::map<std::string, std::string> files;
  readTree(work + "DATA\\", "", files);
  std::erase_if(files, [](const auto& file) {
    return file.first.find("Controls.INI") != std::string::npos ||
           file.first.find("Fields.INI") != std::string::npos || file.first == "GUIoptions.INI";
  });
  return files;
}

void typeIntoTheMacroSheet(HWND main, const TTypedCells& typed) {
  HWND tabs = childWindow(main, "SysTabControl32");
  ASSERT_NE(tabs, nullptr);
  ASSERT_TRUE(showMainTab(tabs, 5));
  TMacroSheetControls controls;
  ASSERT_TRUE(pumpUntil([&] { return (controls = macroSheetControls(main)).sheet != nullptr; }, busyMachine()));
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
  EXPECT_TRUE(pumpUntil([&] { return controlText(controls.cellEdit) == typed.shownNumber; }, busyMachine()))
      << controlText(controls.cellEdit);
}
