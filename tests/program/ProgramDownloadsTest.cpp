#include <algorithm>
#include <cctype>

#include "platform/FileSystem.h"
#include "tests/program/ProgramDriver.h"

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
  HWND pick = program.waitForWindow("Loaded portfolios", busyMachine());
  ASSERT_NE(pick, nullptr);
  PostMessageA(pick, WM_KEYDOWN, VK_RETURN, 0);
  HWND main = program.waitForWindow("Kestrova: Growth Portfolio", busyMachine());
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
  ASSERT_TRUE(pumpUntil([&] { return readWholeFile(quotes) == newQuotes; }, busyMachine()));
  std::string root = work + "DATA\\DLISTS\\1\\\n";
  for (char& c : root) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  EXPECT_EQ(readWholeFile(log + ".queue"), root);

  // The downloader's signal enables the reload button; the reload reads the
  // new quotes, which the Portfolios tab shows, and disables it again.
  ASSERT_TRUE(pumpUntil([&] { return IsWindowEnabled(reload) != FALSE; }, busyMachine()));
  ASSERT_TRUE(showTab(0));
  postClick(reload, 5, 5);
  EXPECT_TRUE(pumpUntil([&] { return IsWindowEnabled(reload) == FALSE; }, busyMachine()));
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
      busyMachine());
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
  HWND told = program.waitForWindow("Downloads", busyMachine());
  ASSERT_NE(told, nullptr);
  const std::vector<std::string> texts = childTexts(told);
  EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [](const std::string& text) {
    return text.find("fm.exe") != std::string::npos && text.find("not found") != std::string::npos;
  }));
  PostMessageA(told, WM_KEYDOWN, VK_RETURN, 0);
  PostMessageA(told, WM_CLOSE, 0, 0);
  ASSERT_TRUE(pumpUntil([&] { return !IsWindow(told); }, busyMachine()));
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.endedCleanly());
}
