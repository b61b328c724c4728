#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/Application.h"
#include "platform/GuiSynchronizer.h"
#include "platform/Timer.h"
#include "tests/support/WindowTestSupport.h"

// A worker hands its next work over the moment the last is done, and a
// posted message ranks before input, paint and timers: work run as soon as
// it arrives would hold a user's click back for as long as the worker has
// work. A timer already due stands for the click.
TEST(GuiSynchronizer, WorkWaitsForWhatTheUserDidMeanwhile) {
  TGuiSynchronizer synchronizer;
  application().processMessages();
  std::vector<std::string> order;
  TTimer timer(1);
  timer.onTimer = [&] {
    order.push_back("timer");
    timer.setEnabled(false);
  };
  timer.setEnabled(true);
  Sleep(50);
  std::thread worker([&] { synchronizer.synchronize([&] { order.push_back("work"); }); });
  // Handed over once its message waits.
  for (int waited = 0; waited < 10000 && HIWORD(GetQueueStatus(QS_POSTMESSAGE)) == 0; ++waited) Sleep(1);
  const bool bothRan = pumpUntil([&] { return order.size() == 2; }, 10000);
  synchronizer.abandon();
  worker.join();
  ASSERT_TRUE(bothRan);
  EXPECT_EQ(order, (std::vector<std::string>{"timer", "work"}));
}
