#include <gtest/gtest.h>

#include <cmath>

#include "functions/finance/TimeValue.h"
#include "platform/NumericErrors.h"

// Expected values come from a high-precision script written for these tests
// (Python mpmath, 40 digits) that simulates the loan balance period by period
// (interest, then the payment at the end or start of each period) and finds
// rates and period counts as roots of the annuity equation.

namespace {
constexpr int rateCap = 100;
constexpr long double rateTolerance = 1e-7L;

void expectClose(long double actual, long double expected, long double relative = 1e-13L) {
  EXPECT_NEAR(actual, expected, std::fabs(expected) * relative + 1e-15L);
}
}  // namespace

TEST(Annuities, PresentAndFutureValue) {
  expectClose(presentValue(240, 0, 0.08L / 12, 500, 0), -59777.145851188021817L);
  expectClose(presentValue(240, 1, 0.08L / 12, 500, 1000), -60378.631545513435005L);
  expectClose(futureValue(10, 1, 0.06L / 12, -200, -500), 2581.4033740601791537L);
  expectClose(futureValue(12, 0, 0.12L / 12, -1000, 0), 12682.503013196972066L);
  // A rate of exactly 0 takes the limit forms.
  expectClose(presentValue(10, 0, 0, -100, -50), 1050);
  expectClose(futureValue(12, 0, 0, -100, -1000), 2200);
  // FV accepts no periods at all; PV needs one.
  EXPECT_EQ(futureValue(0, 0, 0.05, -100, -1000), 1000);
  EXPECT_THROW(presentValue(0, 0, 0.05, -100, 0), ERangeError);
  EXPECT_THROW(futureValue(10, 2, 0.05, -100, 0), ERangeError);
  EXPECT_THROW(presentValue(10, 0, -1, -100, 0), EInvalidOp);
}

TEST(Annuities, PaymentAndItsInterestAndPrincipal) {
  expectClose(payment(10, 0, 0.08L / 12, 10000, 0), -1037.0320893591521757L);
  expectClose(payment(10, 1, 0.08L / 12, 10000, 0), -1030.1643271779657374L);
  expectClose(payment(216, 0, 0.06L / 12, 0, 50000), -129.08116086799092305L);
  expectClose(interestPayment(1, 36, 0, 0.1L / 12, 8000, 0), -66.666666666666666667L);
  expectClose(interestPayment(3, 36, 0, 0.1L / 12, 8000, 0), -63.462189566454721702L);
  expectClose(interestPayment(36, 36, 0, 0.1L / 12, 8000, 0), -2.1333677483528916758L);
  expectClose(principalPayment(2, 36, 0, 0.1L / 12, 8000, 0), -193.06642114140016966L);
  // Payments in advance: the first carries no interest, the next the
  // interest of the period before.
  EXPECT_EQ(interestPayment(1, 36, 1, 0.1L / 12, 8000, 0), 0);
  expectClose(interestPayment(2, 36, 1, 0.1L / 12, 8000, 0), -64.533298918313774991L);
  expectClose(interestPayment(3, 36, 1, 0.1L / 12, 8000, 0), -62.93770866094683144L);
  EXPECT_EQ(principalPayment(1, 36, 1, 0.1L / 12, 8000, 0), payment(36, 1, 0.1L / 12, 8000, 0));
  EXPECT_THROW(principalPayment(37, 36, 0, 0.1L / 12, 8000, 0), ERangeError);
  // Period 0 and type 2 are invalid even where the period equals the type.
  EXPECT_THROW(interestPayment(0, 36, 0, 0.1L / 12, 8000, 0), ERangeError);
  EXPECT_THROW(interestPayment(2, 36, 2, 0.1L / 12, 8000, 0), ERangeError);
}

TEST(Annuities, DeliberateDifferencePaymentHasNoZeroRateForm) {
  EXPECT_THROW(payment(10, 0, 0, 10000, 0), EInvalidOp);
}

TEST(Annuities, CumulativeInterestAndPrincipal) {
  expectClose(cumulativeInterest(360, 13, 24, 0, 0.09L / 12, 125000), -11135.232130750842688L);
  expectClose(cumulativeInterest(360, 1, 1, 0, 0.09L / 12, 125000), -937.5L);
  expectClose(cumulativePrincipal(360, 13, 24, 0, 0.09L / 12, 125000), -934.10712342089831434L);
  expectClose(cumulativeInterest(360, 1, 12, 1, 0.09L / 12, 125000), -10201.332884494608209L);
  expectClose(cumulativePrincipal(360, 1, 12, 1, 0.09L / 12, 125000), -1778.1601717552587916L);
  // Interest is summed past the last period; principal is not.
  EXPECT_NO_THROW(cumulativeInterest(360, 350, 370, 0, 0.09L / 12, 125000));
  EXPECT_THROW(cumulativePrincipal(360, 350, 370, 0, 0.09L / 12, 125000), ERangeError);
  EXPECT_THROW(cumulativeInterest(360, 13, 12, 0, 0.09L / 12, 125000), ERangeError);
  EXPECT_THROW(cumulativeInterest(360, 1, 12, 0, 0, 125000), ERangeError);
  EXPECT_THROW(cumulativeInterest(360, 1, 12, 0, 0.09L / 12, -125000), ERangeError);
}

TEST(Annuities, CumulativeSpansAreCapped) {
  const int longest = maxCumulativePeriods;
  EXPECT_NO_THROW(cumulativeInterest(longest, 1, longest, 0, 1e-4L, 1000));
  EXPECT_THROW(cumulativeInterest(longest, 1, longest + 1, 0, 1e-4L, 1000), ERangeError);
  EXPECT_THROW(cumulativePrincipal(2147483647, 1, 2147483647, 0, 1e-4L, 1000), ERangeError);
}

TEST(Annuities, PeriodCount) {
  expectClose(periodCount(1, 0.12L / 12, -100, -1000, 10000), 59.673865674294625588L);
  expectClose(periodCount(0, 0.12L / 12, -100, -1000, 10000), 60.082122853761722554L);
  expectClose(periodCount(0, 0, -100, -1000, 10000), 90);
  // No number of periods pays this loan off.
  EXPECT_THROW(periodCount(0, 0.1, -50, 1000, 0), EInvalidOp);
}

TEST(Annuities, LoanRate) {
  expectClose(loanRate(48, 0, rateCap, -200, 8000, 0, 0.1, rateTolerance), 0.007701472488202043816L, 1e-9);
  expectClose(loanRate(10, 1, rateCap, -1000, 5000, 0, 0.1, rateTolerance), 0.20241832407610182222L, 1e-9);
  EXPECT_THROW(loanRate(48, 0, 2, -200, 8000, 0, 0.1, rateTolerance), ERangeError);
  // No periods or an invalid type would otherwise answer an unsolved guess.
  EXPECT_THROW(loanRate(0, 0, rateCap, -200, 8000, 0, 0.1, rateTolerance), ERangeError);
  EXPECT_THROW(loanRate(48, 3, rateCap, -200, 8000, 0, 0.1, rateTolerance), ERangeError);
}

TEST(Rates, EffectiveAndNominal) {
  expectClose(effectiveRate(4, 0.0525), 0.053542667370758056641L);
  expectClose(nominalRate(4, 0.053543), 0.052500319868355864306L);
  EXPECT_THROW(effectiveRate(0, 0.0525), ERangeError);
  EXPECT_THROW(nominalRate(4, 0), ERangeError);
}

TEST(DollarPrices, FractionsScaleToTheirDecimalDigits) {
  EXPECT_DOUBLE_EQ(dollarDecimal(16, 1.02), 1.125);
  EXPECT_DOUBLE_EQ(dollarFraction(16, 1.125), 1.02);
  EXPECT_DOUBLE_EQ(dollarDecimal(8, -1.5), -1.625);
  EXPECT_DOUBLE_EQ(dollarDecimal(32, 2.16), 2.5);
  // Fractions that are powers of ten leave the price as it is.
  EXPECT_DOUBLE_EQ(dollarDecimal(10, 1.5), 1.5);
  EXPECT_DOUBLE_EQ(dollarDecimal(1, 1.5), 1.5);
  EXPECT_DOUBLE_EQ(dollarFraction(100, 1.25), 1.25);
  EXPECT_THROW(dollarDecimal(0, 1.5), EZeroDivide);
  EXPECT_EQ(dollarFraction(0, 1.5), 1);
  EXPECT_THROW(dollarFraction(-2, 1.5), ERangeError);
}
