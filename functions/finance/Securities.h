#pragma once

// Securities: accrued interest, discount securities, coupon bonds and
// treasury bills. Dates, day-count basis and coupon frequency are those of
// DayCount.h; rates and yields are fractions per year, prices and redemption
// values per 100 of face value. Invalid arguments raise ERangeError, a zero
// day count or year fraction EZeroDivide.

// Settlement on or after the first interest date accrues the current coupon
// period only, not the interest since issue.
long double accruedInterest(long double issue, long double firstInterest, long double settlement, long double rate,
                            long double par, int frequency, int basis);
long double accruedInterestAtMaturity(long double issue, long double settlement, long double rate, long double par,
                                      int basis);

long double discountRate(int basis, long double settlement, long double maturity, long double price,
                         long double redemption);
long double interestRate(int basis, long double settlement, long double maturity, long double investment,
                         long double redemption);
long double amountReceived(int basis, long double settlement, long double maturity, long double investment,
                           long double discount);
long double priceDiscounted(int basis, long double settlement, long double maturity, long double discount,
                            long double redemption);
long double priceAtMaturity(int basis, long double settlement, long double maturity, long double issue,
                            long double rate, long double yield);

// The price needs a coupon date after the next one: a settlement in the last
// coupon period raises ERangeError.
long double bondPrice(int frequency, int basis, long double settlement, long double maturity, long double rate,
                      long double yield, long double redemption);
// In the last coupon period a closed form; before it a secant search from 0
// and 0.01 that ends when successive price differences differ by no more than
// tolerance, ERangeError when cap steps do not get there.
long double bondYield(int frequency, int basis, int cap, long double settlement, long double maturity,
                      long double rate, long double price, long double redemption, long double tolerance);
// Macaulay duration in years; the fraction of a period up to the next coupon
// is discounted by compounding, like the price.
long double bondDuration(int frequency, int basis, long double settlement, long double maturity,
                         long double coupon, long double yield);
long double modifiedDuration(int frequency, int basis, long double settlement, long double maturity,
                             long double coupon, long double yield);

// Treasury bills of at most 365 days, discounts on a 360-day year.
long double tbillEquivalentYield(long double settlement, long double maturity, long double discount);
long double tbillPrice(long double settlement, long double maturity, long double discount);
long double tbillYield(long double settlement, long double maturity, long double price);
