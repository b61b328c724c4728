#pragma once
#include <functional>
#include <vector>

#include <windows.h>

// One turn of the main window's idle handler over the downloader's two
// events. Both are looked at without waiting, so an idle turn never blocks
// the message loop. The data event stays set until the reload button is
// used; the list event is reset before its reload, so that a signal arriving
// during the reload is seen on a later turn instead of being lost.
struct TIdleEvents {
  HANDLE dataReload = nullptr;  // "Kestrova Data Reload", not owned
  HANDLE listReload = nullptr;  // "Kestrova List Reload", not owned
  std::function<void()> onDataReady;   // enables the reload button
  std::function<void()> onListReload;  // reloads the Downloads window's selected list

  void poll() const;
  // The events the message loop may sleep on between turns: the list event,
  // and the data event while it is not set (once set it stays so until the
  // reload, and would keep the loop awake).
  std::vector<HANDLE> waitHandles() const;
};
