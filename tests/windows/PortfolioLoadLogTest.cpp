#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "windows/PortfolioLoadLog.h"

TEST(PortfolioLoadLog, EachPortfolioIsOneBlockAfterOneEmptyLine) {
  TPortfolioLoadLog log;
  log.notify(10, "");
  for (const char* name : {"Alpha (A)", "Beta (B)"}) {
    log.notify(12, name);
    log.notify(13, "Gold (AU)");
    log.notify(14, "");
    log.notify(16, "");
    log.notify(17, "");
  }
  log.notify(0, "");
  EXPECT_FALSE(log.notify(99, "ignored"));
  const std::vector<std::string> expected{
      "Preparing portfolio table...", "",         "Loading portfolio: Alpha (A)", "     Loading asset: Gold (AU)",
      "          Transactions loaded",  "          Asset loaded", "     Portfolio loaded", "",
      "Loading portfolio: Beta (B)",    "     Loading asset: Gold (AU)", "          Transactions loaded",
      "          Asset loaded",         "     Portfolio loaded", ""};
  EXPECT_EQ(log.lines(), expected);
}

TEST(PortfolioLoadLog, ALongLogKeepsTheNewerHalf) {
  TPortfolioLoadLog log;
  log.setLineCapacity(4);
  for (int i = 0; i < 6; ++i) log.notify(20, std::to_string(i));
  // Five lines exceeded the capacity, so the sixth came after the last three.
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"Unloading portfolio: 2", "Unloading portfolio: 3",
                                                   "Unloading portfolio: 4", "Unloading portfolio: 5"}));
  log.notify(0, "");
  EXPECT_EQ(log.lines().back(), "Unloading portfolio: 5 OK");
}

TEST(PortfolioLoadLog, RepaintsAtTheFirstLineThenOnceAnInterval) {
  TPortfolioLoadLog log;
  const auto start = std::chrono::steady_clock::time_point{} + std::chrono::hours(1);
  const auto interval = TPortfolioLoadLog::repaintInterval;
  EXPECT_TRUE(log.repaintDue(start));
  EXPECT_FALSE(log.repaintDue(start + interval / 2));
  EXPECT_TRUE(log.repaintDue(start + interval));
  EXPECT_FALSE(log.repaintDue(start + interval + interval / 2));
  // A new load shows its first line at once.
  log.clear();
  EXPECT_TRUE(log.repaintDue(start + interval + interval / 2));
}

// The memo follows the log by the changes since its last update: the rest
// of a line it shows, new lines, and the lines the log dropped.
TEST(PortfolioLoadLog, UpdatesCarryTheMemoToTheLogsLines) {
  TPortfolioLoadLog log;
  log.setLineCapacity(4);
  log.notify(10, "");
  TPortfolioLoadLog::TUpdate update = log.takeUpdate();
  EXPECT_EQ(update.droppedLines, 0);
  EXPECT_EQ(update.appended, "Preparing portfolio table...");
  log.notify(0, "");
  log.notify(20, "A");
  update = log.takeUpdate();
  EXPECT_EQ(update.appended, " OK\r\nUnloading portfolio: A");
  EXPECT_EQ(log.takeUpdate().appended, "");

  // Four more lines go past the capacity: the two shown lines drop with
  // the older half, and the lines after them arrive whole.
  for (const char* name : {"B", "C", "D", "E"}) log.notify(20, name);
  update = log.takeUpdate();
  EXPECT_EQ(update.droppedLines, 2);
  EXPECT_EQ(log.lines().front(), "Unloading portfolio: B");
  EXPECT_EQ(update.appended, "Unloading portfolio: B\r\nUnloading portfolio: C\r\nUnloading portfolio: D\r\n"
                             "Unloading portfolio: E");
}

TEST(PortfolioLoadLog, AnAssetThatKeepsItsPortfolioClosedEndsTheBlockWithWhy) {
  TPortfolioLoadLog log;
  log.notify(12, "Alpha (A)");
  log.notify(13, "Gold (AU)");
  log.notify(21, "C:\\FOLIOS\\1\\2.INI (Gold (AU)): its price file \"COM1\" cannot be read");
  log.notify(12, "Beta (B)");
  const std::vector<std::string> expected{
      "Loading portfolio: Alpha (A)", "     Loading asset: Gold (AU)",
      "          Asset not loaded: C:\\FOLIOS\\1\\2.INI (Gold (AU)): its price file \"COM1\" cannot be read",
      "     Portfolio not opened", "", "Loading portfolio: Beta (B)"};
  EXPECT_EQ(log.lines(), expected);
}
