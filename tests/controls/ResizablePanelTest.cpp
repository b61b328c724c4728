#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "controls/ResizablePanel.h"
#include "controls/ResizablePanelContainer.h"
#include "platform/Form.h"
#include "platform/Panel.h"
#include "tests/support/WindowTestSupport.h"

namespace {

class ResizablePanels : public testing::Test {
 protected:
  ResizablePanels() : form(options()) {
    container = &form.add<TResizablePanelContainer>();
    container->setBevelOuter(TBevelCut::none);
    container->setBounds(0, 0, 400, 300);
    form.showModeless();
  }

  static TFormOptions options() {
    TFormOptions o;
    o.caption = "Tiles";
    o.clientWidth = 1100;
    o.clientHeight = 700;
    return o;
  }

  TResizablePanel& addTile(RECT bounds) {
    auto& tile = container->add<TResizablePanel>();
    tile.setBounds(bounds);
    return tile;
  }

  TForm form;
  TResizablePanelContainer* container;
};

RECT rectOf(int left, int top, int right, int bottom) { return {left, top, right, bottom}; }

bool sameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

TEST_F(ResizablePanels, GrabZonesFollowTheBorderWidthAndEdgeDragsStopAtTheLimits) {
  auto& tile = addTile({100, 100, 200, 200});
  const HWND window = tile.handle();
  sendMouse(window, WM_LBUTTONDOWN, 3, 50, MK_LBUTTON);  // exactly resizeBorder in: no zone
  EXPECT_EQ(tile.resizeMode(), 0);
  sendMouse(window, WM_LBUTTONUP, 3, 50);
  sendMouse(window, WM_LBUTTONDOWN, 2, 50, MK_LBUTTON);
  EXPECT_EQ(tile.resizeMode(), 7);
  sendMouse(window, WM_LBUTTONUP, 2, 50);
  EXPECT_EQ(tile.resizeMode(), 0);
  sendMouse(window, WM_LBUTTONDOWN, 1, 1, MK_LBUTTON);
  EXPECT_EQ(tile.resizeMode(), 8);
  sendMouse(window, WM_LBUTTONUP, 1, 1);
  sendMouse(window, WM_LBUTTONDOWN, 98, 98, MK_LBUTTON);
  EXPECT_EQ(tile.resizeMode(), 4);
  sendMouse(window, WM_LBUTTONUP, 98, 98);
  sendMouse(window, WM_RBUTTONDOWN, 1, 1, MK_RBUTTON);  // only the left button resizes
  EXPECT_EQ(tile.resizeMode(), 0);
  sendMouse(window, WM_RBUTTONUP, 1, 1);

  // The top edge dragged down stops at the minimum height, dragged up at 0.
  sendMouse(window, WM_LBUTTONDOWN, 50, 1, MK_LBUTTON);
  ASSERT_EQ(tile.resizeMode(), 1);
  sendMouse(window, WM_MOUSEMOVE, 50, 500, MK_LBUTTON);
  EXPECT_EQ(tile.bounds().top, 200 - TResizablePanel::minimumTileSize);
  EXPECT_EQ(tile.bounds().bottom, 200);
  sendMouse(window, WM_MOUSEMOVE, 50, -500, MK_LBUTTON);
  EXPECT_EQ(tile.bounds().top, 0);
  sendMouse(window, WM_LBUTTONUP, 50, -500);

  tile.maximize();
  sendMouse(window, WM_LBUTTONDOWN, 1, 1, MK_LBUTTON);
  EXPECT_EQ(tile.resizeMode(), 0);
  sendMouse(window, WM_LBUTTONUP, 1, 1);
}

TEST_F(ResizablePanels, TheDragStripMovesInsideTheParentAndWaitsAfterAMaximise) {
  auto& tile = addTile({100, 100, 200, 200});
  const HWND strip = tile.dragBevel().handle();
  sendMouse(strip, WM_LBUTTONDOWN, 1, 10, MK_LBUTTON);
  sendMouse(strip, WM_MOUSEMOVE, 31, 30, MK_LBUTTON);
  EXPECT_EQ(tile.bounds().left, 130);
  EXPECT_EQ(tile.bounds().top, 120);
  sendMouse(strip, WM_MOUSEMOVE, 1000, -1000, MK_LBUTTON);  // never out of the parent
  EXPECT_EQ(tile.bounds().right, 400);
  EXPECT_EQ(tile.bounds().top, 0);
  EXPECT_EQ(tile.width(), 100);
  sendMouse(strip, WM_LBUTTONUP, 1, 10);

  const RECT before = tile.bounds();
  sendMouse(strip, WM_LBUTTONDOWN, 1, 10, MK_LBUTTON);
  sendMouse(strip, WM_LBUTTONUP, 1, 10);
  sendMouse(strip, WM_LBUTTONDBLCLK, 1, 10, MK_LBUTTON);
  sendMouse(strip, WM_LBUTTONUP, 1, 10);
  ASSERT_TRUE(tile.maximized());
  EXPECT_TRUE(sameRect(before, tile.getRestoredBounds()));
  // Presses after the maximise's own one run the counter down; the one that
  // reaches 0 takes the grab point, so the next move goes from there.
  for (int press = 0; press < 3; ++press) {
    sendMouse(strip, WM_LBUTTONDOWN, 1, 1, MK_LBUTTON);
    sendMouse(strip, WM_LBUTTONUP, 1, 1);
  }
  tile.restore();
  sendMouse(strip, WM_LBUTTONDOWN, 2, 2, MK_LBUTTON);
  sendMouse(strip, WM_MOUSEMOVE, 2, 2, MK_LBUTTON);
  EXPECT_TRUE(sameRect(before, tile.bounds()));
  sendMouse(strip, WM_LBUTTONUP, 2, 2);
}

// The strip lies over the tile's left edge: a grid or editor filling the
// tile starts right of it, and the strip still takes the presses.
TEST_F(ResizablePanels, ContentFillingATileLeavesTheDragStripFree) {
  auto& tile = addTile({20, 20, 220, 170});
  auto& content = tile.add<TPanel>();
  content.setAlign(TAlign::client);
  tile.realign();
  const RECT strip = tile.dragBevel().bounds();
  EXPECT_GT(content.bounds().left, strip.right - 1);
  POINT onStrip{(strip.left + strip.right) / 2, 60};
  ClientToScreen(tile.handle(), &onStrip);
  EXPECT_EQ(WindowFromPoint(onStrip), tile.dragBevel().handle());
  captureClient(form.handle()).savePng("ResizablePanel-content-beside-strip");
}

TEST_F(ResizablePanels, TilingAndCascadeFollowTheirGrids) {
  container->setBounds(0, 0, 230, 300);
  std::vector<TResizablePanel*> tiles;
  for (int i = 0; i < 5; ++i) tiles.push_back(&addTile({0, 0, 50, 50}));
  container->tileVertical();
  EXPECT_TRUE(sameRect(tiles[0]->bounds(), rectOf(0, 0, 57, 150)));
  EXPECT_TRUE(sameRect(tiles[3]->bounds(), rectOf(171, 0, 230, 150)));
  EXPECT_TRUE(sameRect(tiles[4]->bounds(), rectOf(0, 150, 57, 300)));

  const TScreenImage picture = captureClient(container->handle());
  picture.savePng("tiles-vertical");
  // Each tile's drag strip stands raised 3 pixels in from its corner.
  EXPECT_TRUE(picture.pixelIs(3, 153, clBtnHighlight));

  container->tileHorizontal();  // 5 rows of 60 in one column
  EXPECT_TRUE(sameRect(tiles[4]->bounds(), rectOf(0, 240, 230, 300)));

  container->setBounds(0, 0, 40, 300);
  const RECT before = tiles[0]->bounds();
  container->tileVertical();  // narrower than one tile: nothing
  EXPECT_TRUE(sameRect(before, tiles[0]->bounds()));

  container->setBounds(0, 0, 150, 150);
  for (int i = 0; i < 2; ++i) tiles.push_back(&addTile({0, 0, 50, 50}));
  container->cascade();
  EXPECT_TRUE(sameRect(tiles[5]->bounds(), rectOf(50, 50, 150, 150)));
  // The seventh would leave the container: a new column of the cascade.
  EXPECT_TRUE(sameRect(tiles[6]->bounds(), rectOf(0, 10, 100, 110)));
}

// A new tile goes where no shown tile covers it: its own place when free,
// else the first free place of its size or the cascade size, else all are
// tiled. Hidden tiles take no place; a maximised one gives its place up.
TEST_F(ResizablePanels, ANewTileComesUpWhereNoOtherCoversIt) {
  container->setBounds(0, 0, 400, 300);
  container->defaultPanelWidth = 200;
  container->defaultPanelHeight = 150;
  auto& sheet = addTile({0, 0, 200, 300});
  auto& hidden = addTile({200, 0, 400, 300});
  hidden.hide();
  auto& free = addTile({250, 20, 350, 120});
  container->placeNewPanel(free);
  EXPECT_TRUE(sameRect(free.bounds(), rectOf(250, 20, 350, 120)));
  EXPECT_EQ(GetWindow(container->handle(), GW_CHILD), free.handle());

  auto& over = addTile({0, 0, 150, 150});
  container->placeNewPanel(over);
  EXPECT_TRUE(sameRect(over.bounds(), rectOf(200, 120, 350, 270)));  // its own size below the free one

  auto& whole = addTile({0, 0, 400, 300});  // no place of its size
  whole.hide();
  free.hide();
  over.hide();
  whole.show();
  container->placeNewPanel(whole);
  EXPECT_TRUE(sameRect(whole.bounds(), rectOf(200, 0, 400, 150)));  // the cascade size

  // Nowhere free: the shown tiles share the container, the maximised sheet
  // restored, the new tile last.
  auto& last = addTile({0, 0, 100, 100});
  sheet.setMaximized(true);
  container->placeNewPanel(last);
  EXPECT_FALSE(sheet.maximized());
  EXPECT_TRUE(sameRect(sheet.bounds(), rectOf(0, 0, 400, 100)));
  EXPECT_TRUE(sameRect(whole.bounds(), rectOf(0, 100, 400, 200)));
  EXPECT_TRUE(sameRect(last.bounds(), rectOf(0, 200, 400, 300)));
  EXPECT_EQ(GetWindow(container->handle(), GW_CHILD), last.handle());

  // A maximised new tile stays so, in front.
  auto& big = addTile({0, 0, 100, 100});
  big.setMaximized(true);
  container->placeNewPanel(big);
  EXPECT_TRUE(big.maximized());
  EXPECT_EQ(GetWindow(container->handle(), GW_CHILD), big.handle());
}

TEST_F(ResizablePanels, LiveResizingNeitherDriftsNorCollapsesTheTiles) {
  container->setBounds(0, 0, 1000, 300);
  auto& left = addTile({0, 0, 500, 300});
  auto& right = addTile({500, 0, 1000, 300});
  for (int w = 999; w >= 800; --w) container->setSize(w, 300);
  for (int w = 801; w <= 1000; ++w) container->setSize(w, 300);
  EXPECT_EQ(left.width(), 500);
  EXPECT_EQ(right.bounds().left, 500);
  container->setSize(0, 0);
  container->setSize(1000, 300);
  EXPECT_EQ(left.width(), 500);
  EXPECT_EQ(right.width(), 500);
  EXPECT_EQ(right.height(), 300);

  long double l = -1, t = -1, r = -1, b = -1;
  right.maximize();
  container->getRelativeBounds(&right, l, t, r, b);
  EXPECT_EQ(l, 0.5L);
  EXPECT_EQ(r, 1.0L);
  right.restore();
}

TEST_F(ResizablePanels, StoredFractionsComeBackExactlyAndBadOnesAreMadeSafe) {
  auto& tile = addTile({0, 0, 100, 100});
  container->setRelativeBounds(&tile, 0.1L, 0.2L, 0.6L, 0.7L);
  EXPECT_TRUE(sameRect(tile.bounds(), rectOf(40, 60, 240, 210)));
  long double l, t, r, b;
  container->getRelativeBounds(&tile, l, t, r, b);
  EXPECT_EQ(l, 0.1L);
  EXPECT_EQ(b, 0.7L);

  container->setRelativeBounds(&tile, 0.5L, 0.5L, 3.0L, 0.5L);  // reversed height
  EXPECT_TRUE(sameRect(tile.bounds(), rectOf(0, 0, 400, 300)));
  container->setRelativeBounds(&tile, std::numeric_limits<long double>::quiet_NaN(), 0, 1, 1);
  EXPECT_TRUE(sameRect(tile.bounds(), rectOf(0, 0, 400, 300)));
  container->setRelativeBounds(&tile, -0.5L, 0.2L, 0.001L, 0.9L);  // clamped, then the smallest tile
  EXPECT_EQ(tile.bounds().left, 0);
  EXPECT_EQ(tile.width(), TResizablePanel::minimumTileSize);

  // Nothing is touched for a missing panel or a container without size.
  l = 42;
  container->getRelativeBounds(nullptr, l, t, r, b);
  EXPECT_EQ(l, 42);
}

TEST_F(ResizablePanels, KeyPanelsClaimOnlyTheKeysTheyAskFor) {
  auto& panel = container->add<TKeyPanel>();
  EXPECT_EQ(SendMessageA(panel.handle(), WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS);
  panel.WantTabs = false;
  panel.WantChars = false;
  EXPECT_EQ(SendMessageA(panel.handle(), WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
}
