#include "app/DownloaderLink.h"

#include <windows.h>

namespace {

// Enables the windows again however the operation ends.
class TWindowsDisabled {
 public:
  explicit TWindowsDisabled(const std::function<void(bool)>& enable) : enable_(enable) {
    if (enable_) enable_(false);
  }
  ~TWindowsDisabled() {
    if (enable_) enable_(true);
  }
  TWindowsDisabled(const TWindowsDisabled&) = delete;
  TWindowsDisabled& operator=(const TWindowsDisabled&) = delete;

 private:
  const std::function<void(bool)>& enable_;
};

}  // namespace

std::unique_ptr<TDownloaderServer> TDownloaderLink::connectStarting() {
  try {
    return host_.connect(false);
  } catch (const EDownloaderMissing& missing) {
    if (host_.downloaderMissing) host_.downloaderMissing(missing.what());
    return nullptr;
  }
}

int TDownloaderLink::queueDownloads(const std::string& pathText) {
  int result = -1;
  try {
    if (std::unique_ptr<TDownloaderServer> server = connectStarting()) result = server->Queue(pathText);
  } catch (const std::exception&) {
    result = -1;  // reported through the code only: Fetchmoor shows its own errors
  }
  if (host_.bringApplicationToFront) host_.bringApplicationToFront();
  return result;
}

int TDownloaderLink::editItems(const std::string& pathText) {
  if (host_.processMessages) host_.processMessages();
  int code = 0;
  {
    TWindowsDisabled disabled(host_.enableWindows);
    try {
      std::unique_ptr<TDownloaderServer> server = connectStarting();
      if (server) {
        server->Edit(pathText);
        waitWhileEditing(*server);
      } else {
        code = -1;
      }
    } catch (const std::exception&) {
      code = -1;
    }
  }
  if (host_.bringApplicationToFront) host_.bringApplicationToFront();
  return code;
}

std::string TDownloaderLink::makeObject(const std::string& listFolder, int& code,
                                        const std::function<void(bool)>& enableWindow) {
  code = 0;
  std::string fileName;
  {
    TWindowsDisabled disabled(enableWindow);
    std::unique_ptr<TDownloaderServer> server = connectStarting();
    if (server) {
      fileName = server->MakeObject(listFolder);
    } else {
      code = -1;
    }
  }
  if (host_.bringApplicationToFront) host_.bringApplicationToFront();
  return fileName;
}

void TDownloaderLink::netSetup() {
  if (host_.processMessages) host_.processMessages();
  {
    TWindowsDisabled disabled(host_.enableWindows);
    if (std::unique_ptr<TDownloaderServer> server = connectStarting()) {
      server->NetSetup();
      waitWhileEditing(*server);
    }
  }
  if (host_.bringApplicationToFront) host_.bringApplicationToFront();
}

bool TDownloaderLink::reloadDirList() {
  std::unique_ptr<TDownloaderServer> server = host_.connect(true);
  if (!server) return false;
  server->ReloadDirList();
  return true;
}

void TDownloaderLink::waitWhileEditing(TDownloaderServer& server) {
  while (server.Editing()) {
    if (host_.processMessages) host_.processMessages();
    if (host_.applicationActive && host_.applicationActive()) {
      // The user came back while Fetchmoor's dialog is open: it is brought
      // forward again, and the user gets time before the next try.
      DWORD recipients = BSM_APPLICATIONS;
      BroadcastSystemMessageA(BSF_ALLOWSFW, &recipients, WM_SETFOCUS, 0, 0);
      server.BringToFront();
      pause(refocusGraceMilliseconds);
    } else {
      pause(editingPollMilliseconds);
    }
  }
}

void TDownloaderLink::pause(int milliseconds) {
  // Asking without a pause would keep a processor busy for as long as the
  // user edits; messages are handled as they come meanwhile.
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
  for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    if (host_.processMessages) host_.processMessages();
  }
}
