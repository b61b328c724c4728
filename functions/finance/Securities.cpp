#include "functions/finance/Securities.h"

#include <algorithm>
#include <cmath>

#include "functions/CheckedArithmetic.h"
#include "functions/finance/DayCount.h"
#include "functions/finance/SecantSearch.h"
#include "model/Power.h"
#include "platform/NumericErrors.h"

namespace {
constexpr long double faceValue = 100;
constexpr long double billYearDays = 360;
constexpr int longestBillDays = 365;

bool isCouponFrequency(int frequency) { return frequency == 1 || frequency == 2 || frequency == 4; }
bool isBasis(int basis) { return basis >= 0 && basis <= 4; }

void checkSettlementBeforeMaturity(long double settlement, long double maturity) {
  if (wholeDayNumber(settlement) >= wholeDayNumber(maturity)) throw ERangeError();
}

// Where settlement lies in its coupon period.
struct TCouponPeriod {
  long double periodDays;        // E: days of the coupon period
  long double daysBefore;        // A: from the previous coupon date to settlement
  long double daysToNext;        // DSC: from settlement to the next coupon date
  long double nextCoupon;        // the next coupon date
};

TCouponPeriod couponPeriod(int frequency, int basis, long double settlement, long double maturity) {
  return {couponDays(frequency, basis, settlement, maturity), couponDaysBefore(frequency, basis, settlement, maturity),
          couponDaysNext(frequency, basis, settlement, maturity),
          nextCouponDate(frequency, basis, settlement, maturity)};
}

// Sum of b^-k for k = 0 .. terms - 1 (terms >= 1), summed in closed form so
// that a bond's length does not set the cost of its price or of each step of
// the yield search.
long double couponSeries(long double b, int terms) {
  if (terms == 1 || b == 1) return terms;
  if (b > 0) {
    // expm1 and log1p keep the digits of yields near zero.
    const long double shortfall = -std::expm1(-terms * std::log1p(b - 1));
    if (std::isinf(shortfall)) throw EOverflow();
    return shortfall * b / (b - 1);
  }
  return quotient(1 - quotient(1, power(b, terms)), 1 - quotient(1, b));
}

// The coupons and the redemption discounted to settlement: the first coupon
// over the fraction of a period t stands for, each later one a period more.
long double discountedFlows(long double coupon, long double redemption, long double b, long double t,
                            int laterCoupons) {
  const long double coupons = quotient(coupon * couponSeries(b, std::max(laterCoupons, 1)), t);
  return coupons + quotient(coupon + redemption, t * power(b, laterCoupons));
}

int tbillDays(long double settlement, long double maturity) {
  const int days = wholeDayNumber(maturity) - wholeDayNumber(settlement);
  if (days <= 0 || days > longestBillDays) throw ERangeError();
  return days;
}
}  // namespace

long double accruedInterest(long double issue, long double firstInterest, long double settlement, long double rate,
                            long double par, int frequency, int basis) {
  const int settlementDay = wholeDayNumber(settlement);
  if (settlementDay <= wholeDayNumber(issue) || !(rate > 0) || !(par > 0) || !isCouponFrequency(frequency)) {
    throw ERangeError();
  }
  if (settlementDay >= wholeDayNumber(firstInterest)) {
    const long double periods = yearFraction(basis, firstInterest, settlement) * frequency;
    return (periods - std::trunc(periods)) / frequency * rate * par;
  }
  return quotient(rate * par / frequency * yearFraction(basis, issue, settlement),
                  yearFraction(basis, issue, firstInterest));
}

long double accruedInterestAtMaturity(long double issue, long double settlement, long double rate, long double par,
                                      int basis) {
  if (wholeDayNumber(settlement) <= wholeDayNumber(issue) || !(rate > 0) || !(par > 0)) throw ERangeError();
  return par * rate * yearFraction(basis, issue, settlement);
}

long double discountRate(int basis, long double settlement, long double maturity, long double price,
                         long double redemption) {
  checkSettlementBeforeMaturity(settlement, maturity);
  if (!(price > 0) || !(redemption > 0) || !isBasis(basis)) throw ERangeError();
  return quotient(1 - price / redemption, yearFraction(basis, settlement, maturity));
}

long double interestRate(int basis, long double settlement, long double maturity, long double investment,
                         long double redemption) {
  if (!(investment > 0) || !(redemption > 0) || !(maturity > settlement)) throw ERangeError();
  return quotient(redemption - investment, investment * yearFraction(basis, settlement, maturity));
}

long double amountReceived(int basis, long double settlement, long double maturity, long double investment,
                           long double discount) {
  if (!(investment > 0) || !(discount > 0) || !isBasis(basis)) throw ERangeError();
  checkSettlementBeforeMaturity(settlement, maturity);
  return quotient(investment, 1 - discount * yearFraction(basis, settlement, maturity));
}

long double priceDiscounted(int basis, long double settlement, long double maturity, long double discount,
                            long double redemption) {
  if (!(discount > 0) || !(redemption > 0) || !isBasis(basis)) throw ERangeError();
  checkSettlementBeforeMaturity(settlement, maturity);
  return redemption * (1 - discount * yearFraction(basis, settlement, maturity));
}

long double priceAtMaturity(int basis, long double settlement, long double maturity, long double issue,
                            long double rate, long double yield) {
  if (rate < 0 || yield < 0 || !isBasis(basis)) throw ERangeError();
  checkSettlementBeforeMaturity(settlement, maturity);
  const long double valueAtMaturity = 1 + rate * yearFraction(basis, issue, maturity);
  const long double discount = 1 + yield * yearFraction(basis, settlement, maturity);
  return faceValue * (valueAtMaturity / discount - rate * yearFraction(basis, issue, settlement));
}

long double bondPrice(int frequency, int basis, long double settlement, long double maturity, long double rate,
                      long double yield, long double redemption) {
  if (rate < 0 || yield < 0 || !(redemption > 0) || !isCouponFrequency(frequency) || !isBasis(basis)) {
    throw ERangeError();
  }
  checkSettlementBeforeMaturity(settlement, maturity);
  const TCouponPeriod period = couponPeriod(frequency, basis, settlement, maturity);
  const long double b = 1 + yield / frequency;
  const long double t = power(b, quotient(period.daysToNext, period.periodDays));
  // Raises when the next coupon date is the maturity.
  const int laterCoupons = couponCount(frequency, basis, period.nextCoupon, maturity);
  const long double coupon = faceValue * rate / frequency;
  return discountedFlows(coupon, redemption, b, t, laterCoupons) -
         coupon * period.daysBefore / period.periodDays;
}

long double bondYield(int frequency, int basis, int cap, long double settlement, long double maturity,
                      long double rate, long double price, long double redemption, long double tolerance) {
  if (rate < 0 || !(price > 0) || !(redemption > 0) || !isCouponFrequency(frequency) || !isBasis(basis)) {
    throw ERangeError();
  }
  checkSettlementBeforeMaturity(settlement, maturity);
  const TCouponPeriod period = couponPeriod(frequency, basis, settlement, maturity);
  const long double coupon = faceValue * rate / frequency;
  if (couponCount(frequency, basis, settlement, maturity) <= 1) {
    // One coupon left: simple interest over the days to maturity.
    const long double daysToRedemption = basisDayCount(basis, settlement, maturity);
    const long double dirtyPrice = price + quotient(coupon * period.daysBefore, period.periodDays);
    return quotient(frequency * period.periodDays * (quotient(coupon + redemption, dirtyPrice) - 1),
                    daysToRedemption);
  }
  const int laterCoupons = couponCount(frequency, basis, period.nextCoupon, maturity);
  const long double periodShare = quotient(period.daysToNext, period.periodDays);
  auto priceError = [&](long double y) {
    const long double b = 1 + y / frequency;
    const long double t = power(b, periodShare);
    return discountedFlows(coupon, redemption, b, t, laterCoupons) - coupon * (1 - periodShare) - price;
  };
  return secantRoot(priceError, 0, cap, tolerance);
}

long double bondDuration(int frequency, int basis, long double settlement, long double maturity,
                         long double coupon, long double yield) {
  checkSettlementBeforeMaturity(settlement, maturity);
  if (coupon < 0 || yield < 0 || !isCouponFrequency(frequency) || !isBasis(basis)) throw ERangeError();
  const TCouponPeriod period = couponPeriod(frequency, basis, settlement, maturity);
  const long double w = quotient(period.daysToNext, period.periodDays);
  if (wholeDayNumber(period.nextCoupon) >= wholeDayNumber(maturity)) return w / frequency;
  const long double perPeriod = faceValue * coupon / frequency;
  const long double b = 1 + yield / frequency;
  const int laterCoupons = couponCount(frequency, basis, period.nextCoupon, maturity);
  long double discount = power(b, w);
  long double weightedTotal = 0;
  long double total = 0;
  for (int k = 0; k <= laterCoupons; ++k) {
    const long double amount = k < laterCoupons ? perPeriod : perPeriod + faceValue;
    const long double presentValue = amount / discount;
    weightedTotal += (k + w) * presentValue;
    total += presentValue;
    discount *= b;
  }
  return weightedTotal / (frequency * total);
}

long double modifiedDuration(int frequency, int basis, long double settlement, long double maturity,
                             long double coupon, long double yield) {
  return bondDuration(frequency, basis, settlement, maturity, coupon, yield) * frequency / (frequency + yield);
}

long double tbillEquivalentYield(long double settlement, long double maturity, long double discount) {
  if (!(discount > 0)) throw ERangeError();
  const int days = tbillDays(settlement, maturity);
  return quotient(discount * 365 / billYearDays, 1 - discount * days / billYearDays);
}

long double tbillPrice(long double settlement, long double maturity, long double discount) {
  if (!(discount > 0)) throw ERangeError();
  const int days = tbillDays(settlement, maturity);
  return faceValue * (1 - discount * days / billYearDays);
}

long double tbillYield(long double settlement, long double maturity, long double price) {
  if (!(price > 0)) throw ERangeError();
  const int days = tbillDays(settlement, maturity);
  return (faceValue - price) / (price * days / billYearDays);
}
