#include "app/TabArrival.h"

TDataTabArrival portfoliosTabArrival(const TDataTabStamps& stamps) {
  TDataTabArrival arrival;
  const bool scriptNewer = stamps.macrosLoadedAt > stamps.scriptStamp;
  const bool dataNewer = stamps.dataChanged > stamps.sheetStamp;
  arrival.setScript = scriptNewer;
  arrival.applyDatesNow = stamps.datesMoved && !scriptNewer && !dataNewer;
  if (scriptNewer || dataNewer)
    arrival.recompute = true;
  else if (stamps.currentChanged > stamps.sheetStamp)
    arrival.followCurrent = true;
  else
    arrival.handleViewRequests = true;
  return arrival;
}
