#pragma once
#include <vector>

// A flow list: 80-bit values taken in pairs (date, amount), in increasing
// date order, with at most one pair per date.
using TFlowList = std::vector<long double>;

struct TDatedAmount {
  double date;
  long double amount;
};

// Adds an amount at a date: a zero amount adds nothing; a pair of the same
// date takes the amount into its own; otherwise a new pair goes before the
// first pair with a later date, or at the end.
void cashFlowAdd(TFlowList& flows, long double amount, long double date);

// The same as cashFlowAdd for each amount in turn, for amounts in
// non-decreasing date order, in one pass over the list instead of one scan
// per amount.
void cashFlowAddInOrder(TFlowList& flows, const std::vector<TDatedAmount>& amounts);
