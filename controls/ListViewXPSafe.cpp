#include "controls/ListViewXPSafe.h"

LRESULT TListViewXPSafe::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if ((message == LVM_SETCOLUMNA || message == LVM_INSERTCOLUMNA) && lParam) {
    auto* column = reinterpret_cast<LVCOLUMNA*>(lParam);
    if ((column->mask & LVCF_IMAGE) && column->iImage == -1) column->mask &= ~LVCF_IMAGE;
  }
  return TListView::handleMessage(message, wParam, lParam);
}
