#include <gtest/gtest.h>

#include "functions/finance/DayCount.h"
#include "platform/NumericErrors.h"
#include "tests/functions/FinanceTestDates.h"

TEST(Days360, UsMethodMovesAThirtyFirstEndAfterAnEarlyStartIntoTheNextMonth) {
  EXPECT_EQ(days360(false, dayNumber(2011, 1, 31), dayNumber(2011, 3, 31)), 60);
  EXPECT_EQ(days360(false, dayNumber(2011, 1, 30), dayNumber(2011, 3, 31)), 60);
  EXPECT_EQ(days360(false, dayNumber(2011, 1, 29), dayNumber(2011, 3, 31)), 62);
  EXPECT_EQ(days360(false, dayNumber(2011, 12, 15), dayNumber(2011, 12, 31)), 16);  // to 1 January
  EXPECT_EQ(days360(false, dayNumber(2011, 1, 15), dayNumber(2011, 2, 28)), 43);    // end not adjusted
  EXPECT_EQ(days360(false, dayNumber(2011, 3, 31), dayNumber(2011, 1, 31)), -60);
  EXPECT_EQ(days360(true, dayNumber(2011, 1, 29), dayNumber(2011, 3, 31)), 61);
  EXPECT_EQ(days360(true, dayNumber(2011, 1, 15), dayNumber(2011, 2, 28)), 45);
  // The time of day does not count.
  EXPECT_EQ(days360(false, dayNumber(2011, 1, 29) + 0.9L, dayNumber(2011, 3, 31) + 0.1L), 62);
}

TEST(Days360, DeliberateDifferenceTheTwentyEighthOfFebruaryCountsAsTheThirtiethInLeapYearsToo) {
  // Other spreadsheets adjust only the last day of February.
  EXPECT_EQ(days360(false, dayNumber(2004, 2, 28), dayNumber(2004, 3, 31)), 30);
  EXPECT_EQ(days360(false, dayNumber(2004, 2, 29), dayNumber(2004, 3, 31)), 30);
  EXPECT_EQ(days360(true, dayNumber(2004, 1, 28), dayNumber(2004, 2, 28)), 32);
}

TEST(Days360, DatesOutsideTheCalendarAreRangeErrors) {
  EXPECT_THROW(days360(false, 0, lastDayNumber + 1), ERangeError);
  EXPECT_THROW(days360(false, firstDayNumber - 1, 0), ERangeError);
  EXPECT_EQ(days360(false, firstDayNumber, lastDayNumber + 0.5L), 9999 * 360);  // the end moves to 1 January 10000
}

TEST(YearFraction, CountsByBasis) {
  const long double start = dayNumber(2011, 1, 30);
  const long double end = dayNumber(2011, 3, 31);  // 60 days by 30/360, 60 actual
  EXPECT_DOUBLE_EQ(yearFraction(0, start, end), 60.0 / 360);
  EXPECT_DOUBLE_EQ(yearFraction(2, start, end), 60.0 / 360);
  EXPECT_DOUBLE_EQ(yearFraction(3, start, end), 60.0 / 365);
  EXPECT_DOUBLE_EQ(yearFraction(3, end, start), 60.0 / 365);
  EXPECT_THROW(yearFraction(5, start, end), ERangeError);
  EXPECT_THROW(yearFraction(-1, start, end), ERangeError);
}

TEST(YearFraction, DeliberateDifferencesOfBasesOneAndFour) {
  // Basis 1 divides by the average length of the calendar years spanned.
  EXPECT_DOUBLE_EQ(yearFraction(1, dayNumber(2011, 1, 1), dayNumber(2011, 7, 1)), 181.0 / 365);
  EXPECT_DOUBLE_EQ(yearFraction(1, dayNumber(2012, 1, 1), dayNumber(2012, 7, 1)), 182.0 / 366);
  EXPECT_DOUBLE_EQ(yearFraction(1, dayNumber(2011, 1, 1), dayNumber(2012, 7, 1)), 547.0 * 2 / 731);
  // Basis 4 adds two days to the European 30/360 count.
  EXPECT_DOUBLE_EQ(yearFraction(4, dayNumber(2011, 1, 1), dayNumber(2011, 7, 1)), 182.0 / 360);
}

TEST(BasisDayCount, IsSignedAndFollowsTheBasis) {
  const long double start = dayNumber(2011, 1, 29);
  const long double end = dayNumber(2011, 3, 31);
  EXPECT_EQ(basisDayCount(0, start, end), 62);
  EXPECT_EQ(basisDayCount(4, start, end), 61);
  EXPECT_EQ(basisDayCount(1, end, start), -61);
  EXPECT_THROW(basisDayCount(7, start, end), ERangeError);
}

TEST(CouponSchedule, OrdinaryBondAgreesWithAScheduleSteppedBackByDate) {
  // Schedule stepped back from maturity by date: 15 Nov 2007 .. 15 May 2008,
  // 20 coupons left; day counts 180/90/90 by 30/360, 182/92/90 actual.
  const long double settlement = dayNumber(2008, 2, 15);
  const long double maturity = dayNumber(2017, 11, 15);
  EXPECT_EQ(previousCouponDate(2, 0, settlement, maturity), dayNumber(2007, 11, 15));
  EXPECT_EQ(nextCouponDate(2, 0, settlement, maturity), dayNumber(2008, 5, 15));
  EXPECT_EQ(couponCount(2, 0, settlement, maturity), 20);
  EXPECT_EQ(couponDays(2, 0, settlement, maturity), 180);
  EXPECT_EQ(couponDaysBefore(2, 0, settlement, maturity), 90);
  EXPECT_EQ(couponDaysNext(2, 0, settlement, maturity), 90);
  EXPECT_EQ(couponDays(2, 1, settlement, maturity), 182);
  EXPECT_EQ(couponDaysBefore(2, 1, settlement, maturity), 92);
  EXPECT_EQ(couponDaysNext(2, 1, settlement, maturity), 90);
}

TEST(CouponSchedule, DeliberateDifferenceComparesMonthsOnly) {
  // Settlement early in a coupon month lies before its "previous" coupon date.
  const long double maturity = dayNumber(2011, 6, 15);
  const long double settlement = dayNumber(2011, 3, 10);
  EXPECT_EQ(previousCouponDate(4, 1, settlement, maturity), dayNumber(2011, 3, 15));
  EXPECT_EQ(nextCouponDate(4, 1, settlement, maturity), maturity);
  EXPECT_EQ(couponCount(4, 1, settlement, maturity), 1);
  EXPECT_EQ(couponDaysBefore(4, 1, settlement, maturity), -5);
  EXPECT_EQ(couponDays(4, 1, settlement, maturity), 92);
  EXPECT_EQ(couponDaysNext(4, 1, settlement, maturity), 97);

  // In the month of maturity the previous coupon date is the maturity itself.
  const long double lateSettlement = dayNumber(2011, 6, 1);
  EXPECT_EQ(previousCouponDate(4, 0, lateSettlement, maturity), maturity);
  EXPECT_EQ(couponCount(4, 0, lateSettlement, maturity), 0);
  EXPECT_EQ(nextCouponDate(4, 0, lateSettlement, maturity), dayNumber(2011, 9, 15));
  EXPECT_EQ(nextCouponDate(2, 0, lateSettlement, maturity), dayNumber(2011, 12, 15));
  EXPECT_EQ(nextCouponDate(1, 0, lateSettlement, maturity), dayNumber(2012, 6, 15));
}

TEST(CouponSchedule, MaturityOnTheThirtyFirstGivesMonthEndsInShorterMonths) {
  const long double maturity = dayNumber(2012, 8, 31);
  EXPECT_EQ(previousCouponDate(2, 0, dayNumber(2011, 1, 1), maturity), dayNumber(2010, 8, 31));
  EXPECT_EQ(nextCouponDate(2, 0, dayNumber(2011, 1, 1), maturity), dayNumber(2011, 2, 28));
  EXPECT_EQ(couponCount(2, 0, dayNumber(2011, 1, 1), maturity), 4);
  EXPECT_EQ(nextCouponDate(2, 0, dayNumber(2012, 1, 1), maturity), dayNumber(2012, 2, 29));
}

TEST(CouponSchedule, RejectsInvalidArguments) {
  const long double settlement = dayNumber(2011, 1, 1);
  const long double maturity = dayNumber(2015, 1, 1);
  EXPECT_THROW(couponCount(3, 0, settlement, maturity), ERangeError);
  EXPECT_THROW(couponDays(2, 5, settlement, maturity), ERangeError);
  EXPECT_THROW(previousCouponDate(2, 0, maturity, maturity), ERangeError);
  EXPECT_THROW(nextCouponDate(2, 0, maturity, settlement), ERangeError);
  // A next coupon date past 31 December 9999 cannot be built.
  EXPECT_THROW(nextCouponDate(1, 0, dayNumber(9999, 12, 1), dayNumber(9999, 12, 31)), ERangeError);
}
