#pragma once

#include <vector>

// Working days: Monday to Friday, except holidays. Dates are whole day
// numbers. Whole weeks are counted arithmetically and holidays looked up in a
// sorted set, so the cost grows with the holidays, not with the span; a start,
// end or result outside the years 1 to 9999 raises ERangeError.

// The date that lies days working days after start (before it when days is
// negative); days 0 gives start, weekend or not.
int workDay(int start, int days, const std::vector<int>& holidays);

// The working days from start to end, both included; 0 when start lies after end.
int networkDays(int start, int end, const std::vector<int>& holidays);
