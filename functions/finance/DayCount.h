#pragma once

// The calendar layer of the financial routines: 30/360 day counts, year
// fractions and day counts by basis, and the coupon schedule of a security
// paying periodic coupons.
//
// Dates are day numbers (the time of day as the fraction) and are taken as
// whole days, truncated toward zero. Basis: 0 = 30/360 US, 1 = actual/actual,
// 2 = actual/360, 3 = actual/365, 4 = 30/360 European. Frequency: coupons per
// year, 1, 2 or 4. Invalid arguments, and dates outside the years 1 to 9999,
// raise ERangeError.

// The day numbers of 1 January 0001 and 31 December 9999.
constexpr int firstDayNumber = -693593;
constexpr int lastDayNumber = 2958465;

// The whole day number of a date; ERangeError outside the years 1 to 9999.
int wholeDayNumber(long double date);

// 30/360 days from start to end, negative when end lies before start. Both
// methods count the last days of February as the 30th.
int days360(bool european, long double startDate, long double endDate);

// The year fraction between two dates, never negative.
long double yearFraction(int basis, long double startDate, long double endDate);

// Days from start to end counted by basis, signed.
long double basisDayCount(int basis, long double startDate, long double endDate);

// The coupon schedule counts back from maturity comparing years and months
// only, so a settlement early in a coupon month can lie before its
// "previous" coupon date. Settlement must lie before maturity.
long double previousCouponDate(int frequency, int basis, long double settlement, long double maturity);
long double nextCouponDate(int frequency, int basis, long double settlement, long double maturity);
int couponCount(int frequency, int basis, long double settlement, long double maturity);
long double couponDays(int frequency, int basis, long double settlement, long double maturity);
long double couponDaysBefore(int frequency, int basis, long double settlement, long double maturity);
long double couponDaysNext(int frequency, int basis, long double settlement, long double maturity);
