// Starting the program: from the process start to the pick dialog, and from
// accepting it to the main window showing the loaded portfolios (its title
// names the current one), on the sample folder and on 50 portfolios of 20
// assets each. The first round of each reads cold files, the others warm.
#include <windows.h>

#include <cstdio>
#include <string>

#include "bench/PortfolioFixture.h"
#include "model/Directories.h"

namespace {

// Wine's drive Z: is the Unix root.
std::string windowsPath(const std::string& unixPath) {
  std::string path = "Z:";
  for (char c : unixPath) path += c == '/' ? '\\' : c;
  return path;
}

HWND windowOf(DWORD process, const std::string& titlePrefix) {
  struct TSearch {
    DWORD process;
    const std::string* prefix;
    HWND found;
  } search{process, &titlePrefix, nullptr};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto& s = *reinterpret_cast<TSearch*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        char text[256] = {};
        GetWindowTextA(window, text, sizeof text);
        if (owner == s.process && IsWindowVisible(window) && std::string(text).rfind(*s.prefix, 0) == 0) {
          s.found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND waitForWindow(DWORD process, const std::string& titlePrefix, int seconds) {
  TStopwatch waiting;
  while (waiting.seconds() < seconds) {
    if (HWND window = windowOf(process, titlePrefix)) return window;
    Sleep(5);
  }
  return nullptr;
}

// One start: seconds to the pick dialog, then from Enter to the loaded main window.
bool timeStart(const std::string& work, const std::string& loadedTitle, double& toPick, double& toLoaded) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::string command = "\"";
  command += windowsPath(KESTROVA_EXE);
  command += '"';
  TStopwatch starting;
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, work.c_str(), &startup, &info))
    return false;
  bool ok = false;
  if (HWND pick = waitForWindow(info.dwProcessId, "Loaded portfolios", 60)) {
    toPick = starting.seconds();
    TStopwatch loading;
    PostMessageA(pick, WM_KEYDOWN, VK_RETURN, 0);
    if (HWND main = waitForWindow(info.dwProcessId, loadedTitle, 600)) {
      toLoaded = loading.seconds();
      PostMessageA(main, WM_CLOSE, 0, 0);
      ok = true;
    }
  }
  if (WaitForSingleObject(info.hProcess, 30000) != WAIT_OBJECT_0) TerminateProcess(info.hProcess, 1);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return ok;
}

void prepareFolders(const std::string& work) {
  for (const char* folder : {"TEMP", "SCRIPTS", "DATA\\FOLIOS", "DATA\\DLISTS", "DATA\\MACROS", "DATA\\BMPS",
                             "DATA\\GALLERY", "DATA\\WEBS", "DATA\\FOREX", "DATA\\QUOTES"})
    forceFolders(work + folder);
}

void report(const char* what, const std::string& work, const std::string& loadedTitle) {
  for (int round = 1; round <= 3; ++round) {
    double toPick = 0, toLoaded = 0;
    if (timeStart(work, loadedTitle, toPick, toLoaded))
      std::printf("%-34s round %d: start to pick dialog %6.3f s, accepted to portfolios shown %7.3f s\n", what,
                  round, toPick, toLoaded);
    else
      std::printf("%-34s round %d: the program did not come up\n", what, round);
  }
}

}  // namespace

int main() {
  {
    TBenchFolder folder;
    const std::string work = folder.path;
    copyTree(windowsPath(KESTROVA_SAMPLE) + "\\", work, true);
    prepareFolders(work);
    fixtureDetail::writeText(work + "Kestrova.INI", "[Directories]\r\n<GALLERY>=" + work + "DATA\\GALLERY\r\n<WEBS>=" +
                                                        work + "DATA\\WEBS\r\n");
    report("sample folder (2 portfolios)", work, "Kestrova: ");
  }
  {
    TBenchFolder folder;
    const std::string work = folder.path;
    const std::string data = work + "DATA\\";
    prepareFolders(work);
    TStopwatch writing;
    writePortfolioFixture(data, TFixtureSize{20, 2500, 5});
    for (int portfolio = 2; portfolio <= 50; ++portfolio)
      copyTree(data + "FOLIOS\\1\\", data + "FOLIOS\\" + std::to_string(portfolio) + "\\", true);
    fixtureDetail::writeText(work + "Kestrova.INI", "[Directories]\r\n<GALLERY>=" + work + "DATA\\GALLERY\r\n<WEBS>=" +
                                                        work + "DATA\\WEBS\r\n");
    std::printf("50 portfolios x 20 assets x 2500 days written in %.1f s\n", writing.seconds());
    report("50 portfolios x 20 assets", work, "Kestrova: Bench");
  }
  return 0;
}
