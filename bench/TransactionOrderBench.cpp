// Ordering and renumbering the lines of 20,000 transactions: the display
// order from stored keys (a fifth of them unknown), and a renumbering of
// every line of one asset around the numbers another asset holds. Budgets:
// a rebuild's order well within 3 s, a renumbering's plan within 5 s.
#include <cstdio>
#include <random>

#include "bench/BenchTiming.h"
#include "windows/TransactionEditing.h"

int main() {
  constexpr int transactions = 20000;
  std::mt19937 random(7);
  std::vector<int> keys(transactions);
  int largest = 0;
  for (int i = 0; i < transactions; ++i) {
    keys[i] = random() % 5 == 0 ? -1 : static_cast<int>(random() % transactions) + 2;
    largest = std::max(largest, keys[i]);
  }
  std::vector<int> order;
  const TBenchTimes ordering = timeRounds(9, [&] { order = orderByDisplayKeys(keys, largest); });

  std::vector<int32_t> lines;
  std::vector<int32_t> all;
  for (int32_t n = 1; n <= transactions; ++n) {
    all.push_back(n * 3);
    if (n % 2 == 0) lines.push_back(n * 3);
  }
  size_t planned = 0;
  const TBenchTimes renumbering = timeRounds(9, [&] { planned = planRenumbering(lines, all)->size(); });
  std::printf("%d transactions: display order %s (budget 3,000,000 us)\n", transactions,
              microseconds(ordering).c_str());
  std::printf("  renumbering plan of %zu lines %s (budget 5,000,000 us)\n", planned, microseconds(renumbering).c_str());
  return order.size() == keys.size() ? 0 : 1;
}
