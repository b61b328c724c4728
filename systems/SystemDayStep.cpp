#include "systems/SystemDayStep.h"

#include <algorithm>
#include <set>
#include <utility>

#include "sheet/Cell.h"
#include "sheet/Sheet.h"

// A reversed depth-first post-order over the dependents of A1: a cell comes
// after every cell on a path from A1 to it. The lists hold no cycle.
TSystemDayStep::TSystemDayStep(TSheet& sheet) : sheet_(sheet) {
  const TCellCoord x{0, 0};
  std::set<TCellCoord> seen{x};
  std::vector<std::pair<TCellCoord, size_t>> stack{{x, 0}};
  while (!stack.empty()) {
    auto& [place, next] = stack.back();
    const TDependentList* dependents = sheet_.dependents.dependentsOf(place);
    if (dependents != nullptr && next < dependents->size()) {
      const TCellCoord dependent = (*dependents)[next++];
      if (seen.insert(dependent).second) stack.emplace_back(dependent, 0);
      continue;
    }
    if (!(place == x)) order_.push_back(place);
    stack.pop_back();
  }
  std::reverse(order_.begin(), order_.end());
}

void TSystemDayStep::setDay(double day) {
  TCell* cell = sheet_.getCell(1, 1);
  if (cell == nullptr) return;
  TValueRecord value;
  value.kind = valueNumber;
  value.number = day;
  sheet_.setCellValue(value, cell);
  for (const TCellCoord& place : order_) {
    TCell* dependent = sheet_.getCellByIndex(place.col, place.row);
    if (dependent != nullptr && dependent->hasFormula()) dependent->evaluate(place.col + 1, place.row + 1, false);
  }
}
