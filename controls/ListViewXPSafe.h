#pragma once
#include "platform/ListView.h"

// The report list of the pick dialogs: a column that asks for image -1 shows
// no empty image space.
class TListViewXPSafe : public TListView {
 public:
  using TListView::TListView;

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};
