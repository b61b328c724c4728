#include "sheet/ColumnLetters.h"

#include <algorithm>

std::string columnLetters(int n) {
  std::string letters;
  if (n < 1) return letters;
  // Bijective base 26: there is no zero digit, so each step borrows one.
  for (int value = n - 1; value >= 0; value = value / 26 - 1) letters.push_back(static_cast<char>('A' + value % 26));
  std::reverse(letters.begin(), letters.end());
  return letters;
}
