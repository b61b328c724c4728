#include "systems/SystemDayStep.h"

#include <algorithm>
#include <set>
#include <vector>

#include "sheet/Cell.h"
#include "sheet/Sheet.h"

// A reversed depth-first post-order over the dependents of A1: a cell comes
// after every cell on a path from A1 to it. The lists hold no cycle.
TSystemDayStep::TSystemDayStep(TSheet& sheet) : sheet_(sheet) {
  const TCellCoord x{0, 0};
  std::set<TCellCoord> seen{x};
  // The dependents of the places on the stack, each frame's after those of
  // the frame below it.
  std::vector<TCellCoord> dependents;
  struct TFrame {
    TCellCoord place;
    std::size_t begin;
    std::size_t next;
  };
  std::vector<TFrame> stack;
  auto push = [&](TCellCoord place) {
    stack.push_back({place, dependents.size(), dependents.size()});
    sheet_.dependents.appendDependents(place, dependents);
  };
  push(x);
  while (!stack.empty()) {
    // The top frame's dependents run to the end: those above it are gone.
    TFrame& frame = stack.back();
    if (frame.next < dependents.size()) {
      const TCellCoord dependent = dependents[frame.next++];
      if (seen.insert(dependent).second) push(dependent);
      continue;
    }
    if (!(frame.place == x)) order_.push_back(frame.place);
    dependents.resize(frame.begin);
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
