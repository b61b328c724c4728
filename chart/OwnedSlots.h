#pragma once
#include <memory>
#include <utility>
#include <vector>

// The grow and shift rules shared by the source table and the symbol and
// parameter tables: no operation leaves an empty place behind. Results are
// 0, or -7 for an index out of range (nothing changes then).
namespace ownedSlots {

// Places from the count up to index - 1 receive new objects; index receives
// one too, the objects from index on move up.
template <class Object, class Make>
int insertAt(std::vector<std::unique_ptr<Object>>& slots, int index, Make make) {
  if (index < 0) return -7;
  const auto size = static_cast<int>(slots.size());
  if (index >= size) {
    for (int i = size; i < index; ++i) slots.push_back(make());
    slots.push_back(make());
  } else {
    slots.insert(slots.begin() + index, make());
  }
  return 0;
}

template <class Object>
int deleteAt(std::vector<std::unique_ptr<Object>>& slots, int index) {
  if (index < 0 || index >= static_cast<int>(slots.size())) return -7;
  slots.erase(slots.begin() + index);
  return 0;
}

// Moving towards the end past the last place grows the table with new
// objects, so that the moved object lands at to with no gap before it.
template <class Object, class Make>
int move(std::vector<std::unique_ptr<Object>>& slots, int from, int to, Make make) {
  const auto size = static_cast<int>(slots.size());
  if (from < 0 || from >= size || to < 0) return -7;
  if (to == from) return 0;
  std::unique_ptr<Object> moved = std::move(slots[from]);
  slots.erase(slots.begin() + from);
  while (static_cast<int>(slots.size()) < to) slots.push_back(make());
  slots.insert(slots.begin() + to, std::move(moved));
  return 0;
}

// copy(original) makes the duplicate placed right after the original.
template <class Object, class Copy>
int duplicate(std::vector<std::unique_ptr<Object>>& slots, int index, Copy copy) {
  if (index < 0 || index >= static_cast<int>(slots.size())) return -7;
  auto twin = copy(*slots[index]);
  slots.insert(slots.begin() + index + 1, std::move(twin));
  return 0;
}

}  // namespace ownedSlots

// Tables in files say how many entries they hold; a count is never trusted
// beyond this many, so that a damaged file cannot exhaust memory.
constexpr int maxSourceTableCount = 100000;
