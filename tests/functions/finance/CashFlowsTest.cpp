#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "functions/finance/CashFlows.h"
#include "platform/NumericErrors.h"
#include "tests/functions/FinanceTestDates.h"

// Expected values come from a high-precision script written for these tests
// (Python mpmath, 40 digits): present values summed term by term, internal
// rates as the roots of those sums, MIRR as the textbook ratio of the
// compounded inflows to the discounted outflows.

namespace {
using TValues = std::vector<long double>;
constexpr int irrCap = 20;
constexpr int xirrCap = 100;
constexpr long double tolerance = 1e-7L;

const TValues project = {-70000, 12000, 15000, 18000, 21000, 26000};
}  // namespace

TEST(CashFlows, ScheduleAndPresentValue) {
  EXPECT_NEAR(futureValueSchedule({0.09, 0.11, 0.1}, 1), 1.09L * 1.11L * 1.1L, 1e-18);
  EXPECT_EQ(futureValueSchedule({}, 250), 250);
  EXPECT_NEAR(netPresentValue(project, 0.1), -2439.3740887273991694L, 1e-9);
  EXPECT_EQ(netPresentValue({}, 0.1), 0);
  EXPECT_THROW(netPresentValue({100, 100}, -1), EZeroDivide);
}

TEST(CashFlows, InternalRate) {
  EXPECT_NEAR(internalRate(project, irrCap, 0.1, tolerance), 0.086630948036531614293L, 1e-12);
  const TValues firstFive(project.begin(), project.begin() + 5);
  EXPECT_NEAR(internalRate(firstFive, irrCap, 0.1, tolerance), -0.021244848273410991031L, 1e-12);
  EXPECT_THROW(internalRate({-100}, irrCap, 0.1, tolerance), ERangeError);
  // Converges to -2, below -1.
  EXPECT_THROW(internalRate({1, 1}, irrCap, -1.5, tolerance), ERangeError);
  // No rate makes a series of one sign zero.
  EXPECT_THROW(internalRate({1, 1}, irrCap, 0.1, tolerance), ERangeError);
}

TEST(CashFlows, ModifiedInternalRate) {
  const TValues flows = {-120000, 39000, 30000, 21000, 37000, 46000};
  EXPECT_NEAR(modifiedInternalRate(flows, 0.1, 0.12), 0.12609413036590514583L, 1e-15);
  EXPECT_THROW(modifiedInternalRate({10, 20, 0}, 0.1, 0.12), ERangeError);
  EXPECT_THROW(modifiedInternalRate({}, 0.1, 0.12), ERangeError);
}

TEST(CashFlows, DatedPresentValueAndRate) {
  const TValues values = {-10000, 2750, 4250, 3250, 2750};
  const TValues dates = {dayNumber(2008, 1, 1), dayNumber(2008, 3, 1), dayNumber(2008, 10, 30),
                         dayNumber(2009, 2, 15), dayNumber(2009, 4, 1)};
  TValues workDates = dates;
  workDates[1] += 0.75L;
  EXPECT_NEAR(datedNetPresentValue(values, workDates, 0.09), 2086.6476020315366217L, 1e-9);
  EXPECT_EQ(workDates, dates);  // truncated in place

  workDates = dates;
  EXPECT_NEAR(datedInternalRate(values, workDates, xirrCap, 0.1, tolerance), 0.37336253351883151031L, 1e-10);
  EXPECT_EQ(workDates[0], 0);
  EXPECT_EQ(workDates[4], (dates[4] - dates[0]) / 365);  // times in years

  TValues twoDates = {dayNumber(2010, 1, 1), dayNumber(2011, 1, 1)};
  EXPECT_NEAR(datedNetPresentValue({-1000, 1100}, twoDates, 0.1), 0, 1e-12);
}

TEST(CashFlows, DatedRoutinesRejectMismatchedOrOneSidedSeries) {
  TValues dates = {dayNumber(2008, 1, 1), dayNumber(2008, 3, 1)};
  EXPECT_THROW(datedNetPresentValue({-100}, dates, 0.1), ERangeError);
  EXPECT_THROW(datedNetPresentValue({-100, 50, 60}, dates, 0.1), ERangeError);
  EXPECT_THROW(datedInternalRate({100, 50}, dates, xirrCap, 0.1, tolerance), ERangeError);
  EXPECT_THROW(datedInternalRate({-100, 0}, dates, xirrCap, 0.1, tolerance), ERangeError);
  TValues backwards = {dayNumber(2008, 3, 1), dayNumber(2008, 1, 1)};
  EXPECT_THROW(datedNetPresentValue({-100, 110}, backwards, 0.1), ERangeError);
  backwards = {dayNumber(2008, 3, 1), dayNumber(2008, 1, 1)};
  EXPECT_THROW(datedInternalRate({-100, 110}, backwards, xirrCap, 0.1, tolerance), ERangeError);
}
