#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

// The link to Fetchmoor, the companion program that carries out downloads.
// Each operation connects, calls and releases: no connection outlives it.

// A call to Fetchmoor's automation object that failed.
class EDownloaderCall : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Fetchmoor's executable is not beside this program, so no operation can
// reach it; its message is the executable's full path.
class EDownloaderMissing : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Fetchmoor's automation object for one operation; every member throws
// EDownloaderCall when the call fails.
class TDownloaderServer {
 public:
  virtual ~TDownloaderServer() = default;
  // 0 when the lists or items were taken.
  virtual int Queue(const std::string& pathText) = 0;
  virtual void Edit(const std::string& pathText) = 0;
  // The new item file's full path; empty when none was made.
  virtual std::string MakeObject(const std::string& listFolder) = 0;
  virtual void NetSetup() = 0;
  virtual bool Editing() = 0;
  virtual void BringToFront() = 0;
  virtual void ReloadDirList() = 0;
};

// Starts Fetchmoor unless onlyIfRunning, waits for its ready event (10 ms
// when only asking, 10 s after a start) and creates its automation object.
// Null when it is not available; a failing creation throws EDownloaderCall,
// a missing executable EDownloaderMissing.
using TDownloaderConnect = std::function<std::unique_ptr<TDownloaderServer>(bool onlyIfRunning)>;

// The real connection: "fm.exe" beside this program's executable, started
// with owner as the owner of any shell message.
std::unique_ptr<TDownloaderServer> connectDownloader(bool onlyIfRunning, HWND owner);

// What the operations need of the program around them.
struct TDownloaderHost {
  TDownloaderConnect connect;
  std::function<void()> processMessages;
  // True while this program is the active application.
  std::function<bool()> applicationActive;
  std::function<void()> bringApplicationToFront;
  // Switches the windows that must not start a second operation meanwhile.
  std::function<void(bool enabled)> enableWindows;
  // Told once for each operation that found no executable to start.
  std::function<void(const std::string& executable)> downloaderMissing;
};

class TDownloaderLink {
 public:
  // The pause between two questions whether Fetchmoor's dialog is still open.
  static constexpr int editingPollMilliseconds = 75;
  // How long the user is left after Fetchmoor's dialog was brought forward.
  static constexpr int refocusGraceMilliseconds = 3000;

  explicit TDownloaderLink(TDownloaderHost host) : host_(std::move(host)) {}

  // Queue: its answer, or -1 when Fetchmoor is not available or a call failed.
  int queueDownloads(const std::string& pathText);
  // Edit and the wait while Fetchmoor's editor is open: 0, or -1 as above.
  // The windows are disabled meanwhile and enabled again in every case.
  int editItems(const std::string& pathText);
  // MakeObject: the new item file; empty when none was made. -1 in code when
  // Fetchmoor is not available; a failing call throws. Only the window
  // asking is disabled meanwhile, through enableWindow.
  std::string makeObject(const std::string& listFolder, int& code, const std::function<void(bool)>& enableWindow);
  // NetSetup and the wait; nothing when Fetchmoor is not available.
  void netSetup();
  // Only when Fetchmoor runs already; true when it was told.
  bool reloadDirList();

 private:
  // Connects with a start; a missing executable is told to the host and
  // counts as not available.
  std::unique_ptr<TDownloaderServer> connectStarting();
  void waitWhileEditing(TDownloaderServer& server);
  void pause(int milliseconds);

  TDownloaderHost host_;
};
