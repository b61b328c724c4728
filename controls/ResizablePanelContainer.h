#pragma once
#include <vector>

#include "controls/KeyPanel.h"

class TResizablePanel;

// Holds resizable panels (tiles), keeps their places proportional when it is
// resized, and arranges them by cascade and two kinds of tiling.
class TResizablePanelContainer : public TKeyPanel {
 public:
  explicit TResizablePanelContainer(TControl* parent);

  int minPanelWidth = 50;
  int minPanelHeight = 50;
  int defaultPanelWidth = 100;
  int defaultPanelHeight = 100;
  int defaultSeparationWidth = 10;
  int defaultSeparationHeight = 10;

  // A tile's bounds (its restore bounds when maximised) as fractions of the
  // container's size. Stored fractions outside [0, 1] are clamped; empty,
  // reversed or not finite ones give the whole container.
  void setRelativeBounds(TResizablePanel* panel, long double left, long double top, long double right,
                         long double bottom);
  // Leaves the outputs untouched when there is no panel or the container
  // has no size yet.
  void getRelativeBounds(TResizablePanel* panel, long double& left, long double& top, long double& right,
                         long double& bottom) const;

  void cascade();
  void tileVertical();
  void tileHorizontal();

  // A tile the user has just asked for comes to the front where no other
  // shown tile can cover it: at its own bounds when they are free, else in
  // the first free place of its own or the cascade size; with no such place
  // the shown tiles are restored and tiled horizontally, the new one last.
  void placeNewPanel(TResizablePanel& panel);
  // The same without moving any other tile: false, the tile left as it
  // was, when there is no free place for it.
  bool placeWhereFree(TResizablePanel& panel);

  // The tiles in control order.
  std::vector<TResizablePanel*> panels(bool visibleOnly) const;

 protected:
  void resized() override;
};
