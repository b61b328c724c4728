#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>

#include "app/DownloaderLink.h"
#include "controls/DownloadItem.h"
#include "platform/Application.h"
#include "tests/support/TestFolders.h"

// The link driven across a process boundary: fm.exe, the stand-in built
// beside the tests, is started, registered and called as the real
// downloader would be.

namespace {

// The stand-in's answers, in this run's own temporary folder: two runs of
// the test program side by side never read each other's. The stand-in,
// started by the link, takes the name from the environment it inherits.
std::string setupFile() {
  char temporary[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temporary);
  return std::string(temporary) + "fm-" + std::to_string(GetCurrentProcessId()) + ".ini";
}

int countOf(const std::string& log, const std::string& call) {
  int count = 0;
  for (size_t at = log.find(call + "\n"); at != std::string::npos; at = log.find(call + "\n", at + 1))
    if (at == 0 || log[at - 1] == '\n') ++count;
  return count;
}

class FetchmoorLink : public testing::Test {
 protected:
  static void TearDownTestSuite() {
    // The stand-in outlives each test like the real downloader; it goes
    // with the suite so that nothing keeps the Wine server alive.
    const HANDLE quit = CreateEventA(nullptr, TRUE, FALSE, "Fetchmoor Stand-in Quit");
    SetEvent(quit);
    for (int tries = 0; tries < 100; ++tries) {
      const HANDLE running = OpenMutexA(SYNCHRONIZE, FALSE, "Fetchmoor Stand-in");
      if (!running) break;
      CloseHandle(running);
      Sleep(50);
    }
    CloseHandle(quit);
    DeleteFileA(setupFile().c_str());
  }

  // The application object brings COM, as it does in the program.
  FetchmoorLink() {
    application();
    SetEnvironmentVariableA("FM_STAND_IN_SETUP", setupFile().c_str());
  }

  void setUp(const std::string& sections) {
    writeWholeFile(setupFile(), "[Fetchmoor]\r\nLog=" + logFile() + "\r\n" + sections);
    DeleteFileA(logFile().c_str());
  }
  std::string logFile() const { return folder.path() + "fm.log"; }
  std::string log() const { return readWholeFile(logFile()); }

  TDownloaderLink link() {
    TDownloaderHost host;
    host.connect = [](bool onlyIfRunning) { return connectDownloader(onlyIfRunning, nullptr); };
    host.processMessages = [] { application().processMessages(); };
    host.applicationActive = [] { return false; };
    host.enableWindows = [this](bool enabled) { enabledChanges += enabled ? "+" : "-"; };
    return TDownloaderLink(host);
  }

  TTemporaryFolder folder;
  std::string enabledChanges;
};

}  // namespace

TEST_F(FetchmoorLink, QueueHandsOverTheExactTextAndItsAnswerWithoutWaitingForARunningDownloader) {
  setUp("[Queue]\r\nResult=0\r\n");
  const std::string text = "C:\\LISTS\\3\\\nC:\\LISTS\\7\\\n";
  EXPECT_EQ(link().queueDownloads(text), 0);
  EXPECT_EQ(readWholeFile(logFile() + ".queue"), text);

  setUp("[Queue]\r\nResult=5\r\n");
  // Started again, the running downloader answers: the second start ends
  // without setting the ready event anew, and a link that waited for that
  // would give up without an answer.
  EXPECT_EQ(link().queueDownloads("C:\\LISTS\\3\\1.INI\n"), 5);
  EXPECT_EQ(countOf(log(), "Queue"), 1);
  EXPECT_EQ(countOf(log(), "Started"), 0);

  EXPECT_TRUE(link().reloadDirList());
  EXPECT_EQ(countOf(log(), "ReloadDirList"), 1);
}

TEST_F(FetchmoorLink, TheEditorIsWaitedForWithPausesAndItsChangesAreReported) {
  const std::string item = folder.path() + "1.INI";
  writeWholeFile(item, "[DownloadItem]\r\nName=Old\r\n");
  setUp("[Edit]\r\nQuestions=5\r\nName=Renamed\r\n");
  const HANDLE listReload = CreateEventA(nullptr, TRUE, FALSE, "Kestrova List Reload");
  ResetEvent(listReload);

  const ULONGLONG start = GetTickCount64();
  EXPECT_EQ(link().editItems(item + "\n"), 0);
  EXPECT_EQ(enabledChanges, "-+");
  // Asked until the editor is closed, with a pause after each answer that
  // it is open, not as fast as the calls go. A pause lasts at least its
  // time however busy the machine.
  EXPECT_EQ(countOf(log(), "Editing"), 6);
  EXPECT_GE(GetTickCount64() - start, 5u * TDownloaderLink::editingPollMilliseconds);
  EXPECT_EQ(readWholeFile(logFile() + ".edit"), item + "\n");
  TDownloadItem edited;
  edited.loadFromFile(item);
  EXPECT_EQ(edited.Name, "Renamed");
  EXPECT_EQ(WaitForSingleObject(listReload, 0), WAIT_OBJECT_0);
  CloseHandle(listReload);

  setUp("[Edit]\r\nQuestions=2\r\n");
  link().netSetup();
  EXPECT_EQ(countOf(log(), "NetSetup"), 1);
  EXPECT_EQ(countOf(log(), "Editing"), 3);
}

TEST_F(FetchmoorLink, MakeObjectWritesTheNextFreeItemFileOrNothing) {
  writeWholeFile(folder.path() + "1.INI", "[DownloadItem]\r\nName=First\r\n");
  setUp("[MakeObject]\r\nName=Made\r\nSymbol=MK\r\n");
  std::string listFolder = folder.path();
  listFolder.pop_back();
  int code = -1;
  const auto enable = [this](bool enabled) { enabledChanges += enabled ? "+" : "-"; };
  const std::string made = link().makeObject(listFolder, code, enable);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(made, folder.path() + "2.INI");
  TDownloadItem item;
  item.loadFromFile(made);
  EXPECT_EQ(item.Name, "Made");
  EXPECT_EQ(item.Symbol, "MK");

  setUp("[MakeObject]\r\nRefuse=1\r\n");
  EXPECT_EQ(link().makeObject(listFolder, code, enable), "");
  EXPECT_EQ(code, 0);
  EXPECT_EQ(enabledChanges, "-+-+");
}

TEST_F(FetchmoorLink, AQueuedDownloadWritesItsFilesStampsItsItemsAndSetsTheDataEvent) {
  const std::string list = folder.path() + "LISTS\\4\\";
  CreateDirectoryA((folder.path() + "LISTS").c_str(), nullptr);
  CreateDirectoryA(list.c_str(), nullptr);
  CreateDirectoryA((folder.path() + "FROM").c_str(), nullptr);
  CreateDirectoryA((folder.path() + "QUOTES").c_str(), nullptr);
  writeWholeFile(list + "0.INI", "[List]\r\nName=Four\r\n");
  writeWholeFile(list + "1.INI", "[DownloadItem]\r\nName=One\r\n");
  writeWholeFile(folder.path() + "FROM\\ABC.TXT", "prices");
  setUp("[Queue]\r\nCopyFrom=" + folder.path() + "FROM\r\nCopyTo=" + folder.path() + "QUOTES\r\n");
  const HANDLE dataReload = CreateEventA(nullptr, TRUE, FALSE, "Kestrova Data Reload");
  ResetEvent(dataReload);

  EXPECT_EQ(link().queueDownloads(list + "\n"), 0);
  EXPECT_EQ(readWholeFile(folder.path() + "QUOTES\\ABC.TXT"), "prices");
  EXPECT_EQ(WaitForSingleObject(dataReload, 0), WAIT_OBJECT_0);
  TDownloadItem item;
  item.loadFromFile(list + "1.INI");
  EXPECT_GT(item.LastUpdate, 40000);
  ResetEvent(dataReload);
  CloseHandle(dataReload);
}
