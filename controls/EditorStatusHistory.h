#pragma once
#include <deque>
#include <memory>

#include "controls/EditorStatusCore.h"

// A bounded stack of whole-document snapshots, oldest first; a push beyond
// the capacity drops the oldest.
class TEditorStatusHistory {
 public:
  explicit TEditorStatusHistory(int capacity = 10) : capacity_(capacity) {}

  void clear() { snapshots_.clear(); }
  bool push(const TEditorStatusCore& state);
  // The newest snapshot, removed; nothing when empty.
  std::unique_ptr<TEditorStatusCore> pop();
  int count() const { return static_cast<int>(snapshots_.size()); }

 private:
  int capacity_;
  std::deque<std::unique_ptr<TEditorStatusCore>> snapshots_;
};
