#include "controls/EditorStatusHistory.h"

bool TEditorStatusHistory::push(const TEditorStatusCore& state) {
  if (capacity_ <= 0) return false;
  auto snapshot = std::make_unique<TEditorStatusCore>();
  snapshot->assign(state);
  if (count() >= capacity_) snapshots_.pop_front();
  snapshots_.push_back(std::move(snapshot));
  return true;
}

std::unique_ptr<TEditorStatusCore> TEditorStatusHistory::pop() {
  if (snapshots_.empty()) return nullptr;
  auto snapshot = std::move(snapshots_.back());
  snapshots_.pop_back();
  return snapshot;
}
