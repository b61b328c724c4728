#include <gtest/gtest.h>

#include "functions/finance/Securities.h"
#include "platform/NumericErrors.h"
#include "tests/functions/FinanceTestDates.h"

// Expected values come from a high-precision script written for these tests
// (Python mpmath, 40 digits): bond prices as the discounted coupons and
// redemption of a schedule stepped back from maturity by date, yields as the
// roots of that price, durations as the present-value-weighted times of the
// flows, and the closed forms of the discount securities and bills.

namespace {
constexpr int yieldCap = 100;
constexpr long double yieldTolerance = 1e-7L;

// Settlement 15 Feb 2008, maturity 15 Nov 2017, semiannual: 20 coupons, the
// previous one on 15 Nov 2007.
struct OrdinaryBond : testing::Test {
  long double settlement = dayNumber(2008, 2, 15);
  long double maturity = dayNumber(2017, 11, 15);
};
}  // namespace

TEST_F(OrdinaryBond, PriceDiscountsEveryFlow) {
  EXPECT_NEAR(bondPrice(2, 0, settlement, maturity, 0.0575, 0.065, 100), 94.634361621322098625L, 1e-11);
  EXPECT_NEAR(bondPrice(2, 1, settlement, maturity, 0.0575, 0.065, 100), 94.635449207877169496L, 1e-11);
  // At a zero yield the price is the plain sum of the flows less half a
  // coupon accrued; a yield near zero must not lose digits to cancellation.
  EXPECT_NEAR(bondPrice(2, 0, settlement, maturity, 0.0575, 0, 100), 20 * 2.875L + 100 - 2.875L / 2, 1e-12);
  EXPECT_NEAR(bondPrice(2, 0, settlement, maturity, 0.0575, 1e-12, 100), 20 * 2.875L + 100 - 2.875L / 2, 1e-8);
  EXPECT_THROW(bondPrice(2, 0, settlement, maturity, -0.01, 0.065, 100), ERangeError);
  EXPECT_THROW(bondPrice(2, 0, settlement, maturity, 0.0575, 0.065, 0), ERangeError);
  EXPECT_THROW(bondPrice(3, 0, settlement, maturity, 0.0575, 0.065, 100), ERangeError);
}

TEST_F(OrdinaryBond, YieldIsTheRootOfThePrice) {
  // The accrued part of the searched price is 1 - DSC / E of a coupon.
  EXPECT_NEAR(bondYield(2, 0, yieldCap, settlement, maturity, 0.0575, 95.04287, 100, yieldTolerance),
              0.064409611731593363806L, 1e-10);
  EXPECT_NEAR(bondYield(2, 1, yieldCap, settlement, maturity, 0.0575, 95.04287, 100, yieldTolerance),
              0.064411064608677144401L, 1e-10);
  // Too few steps to converge.
  EXPECT_THROW(bondYield(2, 0, 2, settlement, maturity, 0.0575, 95.04287, 100, yieldTolerance), ERangeError);
  EXPECT_THROW(bondYield(2, 0, yieldCap, settlement, maturity, 0.0575, 0, 100, yieldTolerance), ERangeError);
}

TEST_F(OrdinaryBond, MacaulayAndModifiedDuration) {
  EXPECT_NEAR(bondDuration(2, 0, settlement, maturity, 0.08, 0.09), 6.7044963392677914159L, 1e-12);
  EXPECT_NEAR(modifiedDuration(2, 0, settlement, maturity, 0.08, 0.09), 6.4157859705911879578L, 1e-12);
  EXPECT_NEAR(bondDuration(2, 1, settlement, maturity, 0.08, 0.09), 6.7017490865205386687L, 1e-12);
  EXPECT_NEAR(modifiedDuration(2, 1, settlement, maturity, 0.08, 0.09), 6.4131570205938169078L, 1e-12);
  EXPECT_THROW(bondDuration(2, 0, settlement, maturity, 0.08, -0.01), ERangeError);
}

TEST(LastCouponPeriod, DeliberateDifferencePriceFailsWhileYieldAndDurationHaveClosedForms) {
  // Settlement 10 Mar 2011, maturity 15 Aug 2011: the last period runs from
  // 15 Feb 2011 (23 of 181 days gone).
  const long double settlement = dayNumber(2011, 3, 10);
  const long double maturity = dayNumber(2011, 8, 15);
  EXPECT_THROW(bondPrice(2, 1, settlement, maturity, 0.06, 0.07, 100), ERangeError);
  EXPECT_NEAR(bondYield(2, 1, yieldCap, settlement, maturity, 0.06, 99.5, 100, yieldTolerance),
              0.071540675457909825749L, 1e-15);
  EXPECT_NEAR(bondDuration(2, 1, settlement, maturity, 0.06, 0.07), 0.43646408839779005525L, 1e-15);
}

TEST(AccruedInterest, BeforeTheFirstInterestDateSharesTheFirstCoupon) {
  // 60 of 180 days (30/360) of a 50 coupon.
  EXPECT_NEAR(accruedInterest(dayNumber(2008, 3, 1), dayNumber(2008, 8, 31), dayNumber(2008, 5, 1), 0.1, 1000, 2, 0),
              16.666666666666666667L, 1e-12);
  EXPECT_NEAR(accruedInterestAtMaturity(dayNumber(2008, 4, 1), dayNumber(2008, 6, 15), 0.1, 1000, 3),
              20.547945205479452055L, 1e-12);
  EXPECT_THROW(accruedInterest(dayNumber(2008, 5, 1), dayNumber(2008, 8, 31), dayNumber(2008, 5, 1), 0.1, 1000, 2, 0),
               ERangeError);
  EXPECT_THROW(accruedInterestAtMaturity(dayNumber(2008, 4, 1), dayNumber(2008, 6, 15), 0.1, 0, 3), ERangeError);
}

TEST(AccruedInterest, DeliberateDifferenceAfterTheFirstInterestDateOnlyTheCurrentPeriodAccrues) {
  // 140 days (30/360) after the first interest date: the 0.7777 periods are
  // 0.7777 of the current period, not the interest since issue.
  EXPECT_NEAR(accruedInterest(dayNumber(2008, 3, 1), dayNumber(2008, 8, 31), dayNumber(2009, 1, 20), 0.1, 1000, 2, 0),
              38.888888888888888889L, 1e-12);
}

TEST(DiscountSecurities, ClosedForms) {
  // 25 Jan 2007 to 15 Jun 2007: 141 actual days, 140 by 30/360.
  const long double settlement = dayNumber(2007, 1, 25);
  const long double maturity = dayNumber(2007, 6, 15);
  EXPECT_NEAR(discountRate(2, settlement, maturity, 97.975, 100), 0.051702127659574468085L, 1e-15);
  EXPECT_NEAR(discountRate(0, settlement, maturity, 97.975, 100), 0.052071428571428571429L, 1e-15);
  EXPECT_NEAR(priceDiscounted(2, settlement, maturity, 0.0525, 100), 97.94375L, 1e-12);
  EXPECT_NEAR(amountReceived(2, settlement, maturity, 1000000, 0.0575), 1023039.7067286174045L, 1e-7);
  EXPECT_NEAR(interestRate(2, settlement, maturity, 1000000, 1014420), 0.036817021276595744681L, 1e-15);
  EXPECT_NEAR(priceAtMaturity(0, dayNumber(2008, 2, 15), dayNumber(2008, 4, 13), dayNumber(2007, 11, 11), 0.061, 0.061),
              99.984498875556949266L, 1e-12);
  EXPECT_THROW(discountRate(2, maturity, settlement, 97.975, 100), ERangeError);
  EXPECT_THROW(priceDiscounted(5, settlement, maturity, 0.0525, 100), ERangeError);
  EXPECT_THROW(amountReceived(2, settlement, maturity, 1000000, 0), ERangeError);
  // A zero year fraction is a division by zero: 30 to 31 January is no day by 30/360.
  EXPECT_THROW(discountRate(0, dayNumber(2007, 1, 30), dayNumber(2007, 1, 31), 97.975, 100), EZeroDivide);
}

TEST(TreasuryBills, ClosedFormsUpTo365Days) {
  // 31 Mar 2008 to 1 Jun 2008: 62 days.
  const long double settlement = dayNumber(2008, 3, 31);
  const long double maturity = dayNumber(2008, 6, 1);
  EXPECT_NEAR(tbillEquivalentYield(settlement, maturity, 0.0914), 0.094151493565943016347L, 1e-15);
  EXPECT_NEAR(tbillPrice(settlement, maturity, 0.0914), 98.425888888888888889L, 1e-12);
  EXPECT_NEAR(tbillYield(settlement, maturity, 98.45), 0.091416962925342813611L, 1e-15);
  EXPECT_NEAR(tbillPrice(settlement, settlement + 365, 0.0914), 90.733055555555555556L, 1e-12);
  EXPECT_THROW(tbillPrice(settlement, settlement + 366, 0.0914), ERangeError);
  EXPECT_THROW(tbillYield(settlement, settlement, 98.45), ERangeError);
  EXPECT_THROW(tbillEquivalentYield(settlement, maturity, 0), ERangeError);
}
