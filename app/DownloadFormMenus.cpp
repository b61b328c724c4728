// The Downloads window's popup menus, the Copy button's menu and dragging
// items onto a list.
#include "app/DownloadForm.h"

#include "platform/Dialogs.h"
#include "platform/ExtControls.h"
#include "platform/ListView.h"

namespace {

void enableEntry(TMenuItem& menu, const char* caption, bool enabled) {
  for (const auto& item : menu.items())
    if (item->caption == caption) item->enabled = enabled;
}

void restoreDefaultCursor() { SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW))); }

}  // namespace

void TdownloadForm::createPopupMenus() {
  // Every command sees the list picked last, not the one the delay has yet
  // to show.
  const auto command = [this](std::function<void()> run) {
    return [this, run] {
      flushPendingSelection();
      run();
    };
  };
  listPopupMenu_.add("&Update list", command([this] { showErrorDialog(updateSelectedLists()); }));
  listPopupMenu_.addSeparator();
  listPopupMenu_.add("&Zap remarks", command([this] { zapSelectedListRemarks(); }));
  listPopupMenu_.addSeparator();
  listPopupMenu_.add("&Find", command([this] {
    // Placed the first time only: afterwards it stays where the user put it.
    const bool place = findDialog_ && findDialog_->tag == 0;
    openFindDialog(*listView_, place);
    if (findDialog_) findDialog_->tag = 1;
  }));
  listPopupMenu_.addSeparator();
  listPopupMenu_.add("&New", command([this] { newList(); }));
  listPopupMenu_.add("&Copy", command([this] { copySelectedLists(); }));
  listPopupMenu_.addSeparator();
  listPopupMenu_.add("Cl&ear", command([this] { clearSelectedLists(); }));
  listPopupMenu_.add("&Delete", command([this] { deleteSelectedLists(); }));
  listPopupMenu_.onPopup = [this] { listPopup(); };
  listView_->setPopupMenu(&listPopupMenu_);

  itemPopupMenu_.add("&Update", command([this] { showErrorDialog(updateSelectedItems()); }));
  itemPopupMenu_.add("&Remarks", command([this] { showSelectedItemRemarks(); }));
  itemPopupMenu_.add("&Zap remarks", command([this] { zapSelectedItemRemarks(); }));
  itemPopupMenu_.add("&Find", command([this] { openFindDialog(*itemView_, true); }));
  itemPopupMenu_.add("&Properties", command([this] { editSelectedItems(); }));
  itemPopupMenu_.add("&New", command([this] { newItem(); }));
  itemPopupMenu_.add("&Copy", command([this] { copySelectedItemsToList(shownList_); }));
  itemPopupMenu_.add("Copy &to...");
  itemPopupMenu_.add("Cl&ear", command([this] { clearSelectedItems(); }));
  itemPopupMenu_.add("&Delete", command([this] { deleteSelectedItems(); }));
  itemPopupMenu_.onPopup = [this] { itemPopup(); };
  itemView_->setPopupMenu(&itemPopupMenu_);

  copyToPopupMenu_.onPopup = [this] {
    restoreDefaultCursor();
    fillCopyToMenu(copyToPopupMenu_);
  };

  itemView_->onBeginDrag = [this](int) { itemViewBeginDrag(); };
  itemView_->onMouseMove = [this](TShiftState, int x, int y) { itemViewDragMove(x, y); };
  itemView_->onMouseUp = [this](TMouseButton, TShiftState, int x, int y) { itemViewDragDrop(x, y); };
}

void TdownloadForm::listPopup() {
  restoreDefaultCursor();
  const bool listSelected = listView_->selectedCount() > 0;
  for (const char* caption : {"&Update list", "&Zap remarks", "&Copy", "Cl&ear", "&Delete"})
    enableEntry(listPopupMenu_, caption, listSelected);
  enableEntry(listPopupMenu_, "&Find", findDialog_ && listView_->itemCount() > 0);
}

void TdownloadForm::itemPopup() {
  restoreDefaultCursor();
  const bool listSelected = listView_->selectedCount() > 0;
  const bool itemSelected = listSelected && shownList_ >= 0 && itemView_->selectedCount() > 0;
  const bool remarks = itemSelected && selectedItemHasRemarks();
  enableEntry(itemPopupMenu_, "&New", listSelected);
  enableEntry(itemPopupMenu_, "&Find", listSelected && findDialog_ && itemView_->itemCount() > 0);
  for (const char* caption : {"&Update", "&Properties", "&Copy", "Copy &to...", "Cl&ear", "&Delete"})
    enableEntry(itemPopupMenu_, caption, itemSelected);
  enableEntry(itemPopupMenu_, "&Remarks", remarks);
  enableEntry(itemPopupMenu_, "&Zap remarks", remarks);
  for (const auto& item : itemPopupMenu_.items())
    if (item->caption == "Copy &to...") fillCopyToMenu(*item);
}

void TdownloadForm::fillCopyToMenu(TMenuItem& menu) {
  menu.clear();
  for (int row = 0; row < listView_->itemCount(); ++row) {
    const int number = static_cast<int>(listView_->itemData(row));
    TMenuItem& entry = menu.add(ampersandsDoubled(listView_->itemText(row)), [this, number] {
      flushPendingSelection();
      copySelectedItemsToList(number);
    });
    entry.tag = number;
  }
}

void TdownloadForm::copyBtnClick() {
  // Opens beside the button, its top edge one pixel above the button's.
  const TToolButton& button = *buttons_.at("Copy");
  POINT corner{button.width(), -1};
  ClientToScreen(button.handle(), &corner);
  copyToPopupMenu_.popup(handle(), corner.x, corner.y);
}

void TdownloadForm::itemViewBeginDrag() {
  if (shownList_ < 0 || itemView_->selectedCount() == 0) return;
  draggingItems_ = true;
  SetCapture(itemView_->handle());
}

int TdownloadForm::listRowAt(int x, int y) const {
  POINT at{x, y};
  MapWindowPoints(itemView_->handle(), listView_->handle(), &at, 1);
  const RECT client = listView_->clientRect();
  if (at.x < client.left || at.y < client.top || at.x >= client.right || at.y >= client.bottom) return -1;
  return listView_->itemAt(at.x, at.y);
}

void TdownloadForm::itemViewDragMove(int x, int y) {
  if (!draggingItems_) return;
  if (GetCapture() != itemView_->handle()) {  // taken away: the drag is over
    draggingItems_ = false;
    return;
  }
  // Items can be dropped only on a list row.
  SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(listRowAt(x, y) >= 0 ? IDC_ARROW : IDC_NO)));
}

void TdownloadForm::itemViewDragDrop(int x, int y) {
  if (!draggingItems_) return;
  draggingItems_ = false;
  if (GetCapture() == itemView_->handle()) ReleaseCapture();
  // The items dragged are those of the shown list: a pick still pending
  // must not replace them now.
  const int row = listRowAt(x, y);
  if (row < 0) return;
  copySelectedItemsToList(static_cast<int>(listView_->itemData(row)));
}
