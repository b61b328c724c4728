#pragma once

#include <vector>

// Cash-flow series: values[0] is the first flow. Invalid arguments and
// searches that do not converge raise ERangeError.

// principal * (1 + rates[0]) * (1 + rates[1]) * ...
long double futureValueSchedule(const std::vector<long double>& rates, long double principal);

// Sum of values[i] / (1 + rate)^(i + 1): the first flow is discounted one period.
long double netPresentValue(const std::vector<long double>& values, long double rate);

// The rate at which the net present value is zero, by Newton's method from
// guess; converged when two successive rates differ by no more than tolerance.
long double internalRate(const std::vector<long double>& values, int cap, long double guess, long double tolerance);

// Negative flows financed at financeRate, positive ones reinvested at reinvestRate.
long double modifiedInternalRate(const std::vector<long double>& values, long double financeRate,
                                 long double reinvestRate);

// Flows on dates, discounted over whole days from the first date / 365. The
// dates are truncated to whole days in place.
long double datedNetPresentValue(const std::vector<long double>& values, std::vector<long double>& dates,
                                 long double rate);

// The rate at which the dated net present value is zero, by a secant search
// from guess that ends as loanRate's does. The dates are replaced in place by
// their times in years from the first date.
long double datedInternalRate(const std::vector<long double>& values, std::vector<long double>& dates, int cap,
                              long double guess, long double tolerance);
