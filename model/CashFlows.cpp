#include "model/CashFlows.h"

#include <cstddef>

void cashFlowAdd(TFlowList& flows, long double amount, long double date) {
  if (amount == 0) return;
  for (size_t i = 0; i + 1 < flows.size(); i += 2) {
    if (flows[i] == date) {
      flows[i + 1] += amount;
      return;
    }
    if (flows[i] > date) {
      flows.insert(flows.begin() + static_cast<std::ptrdiff_t>(i), {date, amount});
      return;
    }
  }
  flows.push_back(date);
  flows.push_back(amount);
}

void cashFlowAddInOrder(TFlowList& flows, const std::vector<TDatedAmount>& amounts) {
  const size_t pairs = flows.size() / 2;
  TFlowList merged;
  merged.reserve(flows.size() + 2 * amounts.size());
  size_t next = 0;  // the first pair of the old list not taken over yet
  for (const TDatedAmount& addition : amounts) {
    if (addition.amount == 0) continue;
    const long double date = addition.date;
    while (next < pairs && flows[2 * next] < date) {
      merged.push_back(flows[2 * next]);
      merged.push_back(flows[2 * next + 1]);
      ++next;
    }
    // Amounts of one date are added in arrival order onto the pair's own,
    // as one addition at a time would.
    if (!merged.empty() && merged[merged.size() - 2] == date) {
      merged.back() += addition.amount;
    } else if (next < pairs && flows[2 * next] == date) {
      merged.push_back(date);
      merged.push_back(flows[2 * next + 1] + addition.amount);
      ++next;
    } else {
      merged.push_back(date);
      merged.push_back(addition.amount);
    }
  }
  merged.insert(merged.end(), flows.begin() + static_cast<std::ptrdiff_t>(2 * next),
                flows.begin() + static_cast<std::ptrdiff_t>(2 * pairs));
  // An odd last value belongs to no pair; it stays where it was.
  if (flows.size() % 2 != 0) merged.push_back(flows.back());
  flows.swap(merged);
}
