#pragma once
#include <memory>

class TSheetGraph;

// A window that keeps docked sheet charts and graphs: it gives one up when
// the user deletes it, so that it neither saves nor recomputes it again.
class TSheetViewOwner {
 public:
  virtual ~TSheetViewOwner() = default;
  // The view with its work stopped, or null when it is not one of these.
  virtual std::unique_ptr<TSheetGraph> releaseSheetView(TSheetGraph& view) = 0;
};
