#include "app/IdleEvents.h"

namespace {
bool signalled(HANDLE event) { return event && WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }
}  // namespace

void TIdleEvents::poll() const {
  if (signalled(dataReload) && onDataReady) onDataReady();
  if (signalled(listReload)) {
    ResetEvent(listReload);
    if (onListReload) onListReload();
  }
}

std::vector<HANDLE> TIdleEvents::waitHandles() const {
  std::vector<HANDLE> handles;
  if (listReload) handles.push_back(listReload);
  if (dataReload && !signalled(dataReload)) handles.push_back(dataReload);
  return handles;
}
