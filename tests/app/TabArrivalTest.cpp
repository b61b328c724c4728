#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "app/IdleEvents.h"
#include "app/TabArrival.h"

TEST(TabArrival, NothingChangedRecomputesNothingAndEqualStampsAreNotNewer) {
  TDataTabStamps stamps{10, 10, 20, 20, 20, false};
  TDataTabArrival arrival = portfoliosTabArrival(stamps);
  EXPECT_FALSE(arrival.recompute);
  EXPECT_FALSE(arrival.setScript);
  EXPECT_FALSE(arrival.followCurrent);
  EXPECT_TRUE(arrival.handleViewRequests);

  stamps.currentChanged = 21;
  EXPECT_TRUE(portfoliosTabArrival(stamps).followCurrent);
  stamps.datesMoved = true;
  EXPECT_TRUE(portfoliosTabArrival(stamps).applyDatesNow);
  stamps.macrosLoadedAt = 11;
  arrival = portfoliosTabArrival(stamps);
  EXPECT_TRUE(arrival.setScript);
  EXPECT_TRUE(arrival.recompute);
  EXPECT_FALSE(arrival.applyDatesNow);  // the recomputation takes the dates with it
}

TEST(IdleEvents, ListSignalDuringItsReloadIsKeptForTheNextTurn) {
  HANDLE data = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE list = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  int ready = 0, reloads = 0;
  TIdleEvents idle;
  idle.dataReload = data;
  idle.listReload = list;
  idle.onDataReady = [&] { ++ready; };
  idle.onListReload = [&] {
    if (++reloads == 1) SetEvent(list);  // the downloader signals again meanwhile
  };
  idle.poll();
  EXPECT_EQ(ready + reloads, 0);
  SetEvent(data);
  SetEvent(list);
  idle.poll();
  idle.poll();
  idle.poll();
  EXPECT_EQ(ready, 3);  // the data event stays set until the reload button
  EXPECT_EQ(reloads, 2);
  // The loop sleeps on the list event only: the data event, set until the
  // reload, would wake it at once on every turn.
  EXPECT_EQ(idle.waitHandles(), std::vector<HANDLE>{list});
  ResetEvent(data);
  EXPECT_EQ(idle.waitHandles().size(), 2u);
  CloseHandle(data);
  CloseHandle(list);
}
