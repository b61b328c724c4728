#pragma once
#include "controls/KeyPanel.h"
#include "platform/ExtControls.h"

class TResizablePanel;

// The move handle along a resizable panel's left edge; its own class so it
// can be told apart from other bevels.
class TDragBevel : public TBevel {
 public:
  TDragBevel(TControl* parent, TResizablePanel* panel);

 protected:
  void mouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void mouseMove(TShiftState shift, int x, int y) override;
  void doubleClick() override;
  void paint(TCanvas& canvas) override;

 private:
  TResizablePanel* panel_ = nullptr;
};

// Where a tile sits inside its container, as fractions of the container's
// client size. These are the truth for a tile: its pixels are worked out
// from them on every container resize, so resizing back and forth brings
// the tile back exactly, and a container shrunk to nothing loses nothing.
struct TTileFractions {
  long double left = 0, top = 0, right = 1, bottom = 1;
};

// A small window inside its parent: resized by its edges and corners, moved
// by the drag strip, maximised and restored by a double-click on the strip.
class TResizablePanel : public TKeyPanel {
 public:
  explicit TResizablePanel(TControl* parent);
  ~TResizablePanel() override;

  int resizeBorder = 3;
  // The smallest tile: smaller ones could not be grabbed any more.
  static constexpr int minimumTileSize = 20;

  bool maximized() const { return align() == TAlign::client; }
  void setMaximized(bool maximized) { maximized ? maximize() : restore(); }
  void maximize();
  void restore();
  void toggleMaximized();
  RECT getRestoredBounds() const;
  void setRestoredBounds(const RECT& rect);
  void scaleBounds(long double xFactor, long double yFactor);

  int resizeMode() const { return resizeMode_; }
  TDragBevel& dragBevel() { return *dragBevel_; }

  // The tile's place in its parent, kept by the container.
  bool hasFractions() const { return hasFractions_; }
  const TTileFractions& fractions() const { return fractions_; }
  void setFractions(const TTileFractions& fractions);
  // Places the tile (its restore bounds when maximised) from its fractions.
  void applyFractions(int clientWidth, int clientHeight);

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void mouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void mouseMove(TShiftState shift, int x, int y) override;
  void mouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void resized() override;
  // Aligned content starts right of the drag strip, which lies over the
  // tile's left edge: under it the content would lose its first pixels.
  RECT alignRect() const override;

 public:
  void doEnter() override;

 private:
  friend class TDragBevel;
  int zoneAt(int x, int y) const;
  void bevelPressed(int x, int y);
  void bevelMoved(TShiftState shift, int x, int y);
  void recordFractions(const RECT& bounds);

  int resizeMode_ = 0;
  TDragBevel* dragBevel_ = nullptr;
  POINT grab_{};
  RECT restoreBounds_{};
  int afterMaximize_ = 0;
  TTileFractions fractions_;
  bool hasFractions_ = false;
  bool placing_ = false;  // bounds set from the fractions: nothing to record
};
