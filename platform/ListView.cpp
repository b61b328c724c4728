#include "platform/ListView.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/ImageList.h"

TListView::TListView(TControl* parent, const TListViewOptions& options) : TControl(parent) {
  TWindowParams params;
  params.className = WC_LISTVIEWA;
  // Image lists belong to their TImageList owners: without the shared style
  // the list would destroy them a second time when it goes.
  params.style =
      WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS;
  if (!options.multiSelect) params.style |= LVS_SINGLESEL;
  if (options.editLabels) params.style |= LVS_EDITLABELS;
  if (!options.showColumnHeaders) params.style |= LVS_NOCOLUMNHEADER;
  params.exStyle = WS_EX_CLIENTEDGE;
  params.bounds = {0, 0, 250, 150};
  createWindow(params);
  DWORD extended = 0;
  if (options.checkBoxes) extended |= LVS_EX_CHECKBOXES;
  if (options.rowSelect) extended |= LVS_EX_FULLROWSELECT;
  ListView_SetExtendedListViewStyle(handle(), extended);
}

int TListView::addColumn(const std::string& caption, int width, int format) {
  LVCOLUMNA column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
  column.fmt = format;
  column.cx = width;
  column.pszText = const_cast<char*>(caption.c_str());
  const int index = columnCount();
  column.iSubItem = index;
  return static_cast<int>(SendMessageA(handle(), LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column)));
}

int TListView::columnCount() const {
  HWND header = ListView_GetHeader(handle());
  return header ? Header_GetItemCount(header) : 0;
}

int TListView::columnWidth(int column) const { return ListView_GetColumnWidth(handle(), column); }
void TListView::setColumnWidth(int column, int width) { ListView_SetColumnWidth(handle(), column, width); }

std::string TListView::columnCaption(int column) const {
  char text[260] = {};
  LVCOLUMNA info{};
  info.mask = LVCF_TEXT;
  info.pszText = text;
  info.cchTextMax = sizeof(text);
  SendMessageA(handle(), LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&info));
  return text;
}

void TListView::setColumnCaption(int column, const std::string& caption) {
  LVCOLUMNA info{};
  info.mask = LVCF_TEXT;
  info.pszText = const_cast<char*>(caption.c_str());
  SendMessageA(handle(), LVM_SETCOLUMNA, column, reinterpret_cast<LPARAM>(&info));
}

int TListView::addItem(const std::string& caption, LPARAM data, int stateImage) {
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = itemCount();
  item.pszText = const_cast<char*>(caption.c_str());
  item.lParam = data;
  if (stateImage != 0) {
    item.mask |= LVIF_STATE;
    item.state = INDEXTOSTATEIMAGEMASK(stateImage);
    item.stateMask = LVIS_STATEIMAGEMASK;
  }
  return static_cast<int>(SendMessageA(handle(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

void TListView::deleteItem(int row) { ListView_DeleteItem(handle(), row); }
void TListView::clear() { ListView_DeleteAllItems(handle()); }
int TListView::itemCount() const { return ListView_GetItemCount(handle()); }

std::string TListView::itemText(int row, int column) const {
  std::vector<char> text(1024, '\0');
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = text.data();
  item.cchTextMax = static_cast<int>(text.size());
  SendMessageA(handle(), LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
  return text.data();
}

void TListView::setItemText(int row, int column, const std::string& text) {
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = const_cast<char*>(text.c_str());
  SendMessageA(handle(), LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

LPARAM TListView::itemData(int row) const {
  LVITEMA item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  SendMessageA(handle(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  return item.lParam;
}

int TListView::findData(LPARAM data) const {
  LVFINDINFOA find{};
  find.flags = LVFI_PARAM;
  find.lParam = data;
  return static_cast<int>(SendMessageA(handle(), LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
}

bool TListView::checked(int row) const { return ListView_GetCheckState(handle(), row) != 0; }
void TListView::setChecked(int row, bool checked) { ListView_SetCheckState(handle(), row, checked); }

int TListView::stateImage(int row) const {
  return static_cast<int>((ListView_GetItemState(handle(), row, LVIS_STATEIMAGEMASK) >> 12) & 0xF);
}

void TListView::setStateImage(int row, int index) {
  ListView_SetItemState(handle(), row, INDEXTOSTATEIMAGEMASK(index), LVIS_STATEIMAGEMASK);
}

void TListView::setSmallImages(TImageList* images) {
  ListView_SetImageList(handle(), images ? images->handle() : nullptr, LVSIL_SMALL);
}

void TListView::setStateImages(TImageList* images) {
  ListView_SetImageList(handle(), images ? images->handle() : nullptr, LVSIL_STATE);
}

bool TListView::selected(int row) const { return ListView_GetItemState(handle(), row, LVIS_SELECTED) != 0; }

void TListView::setSelected(int row, bool selected) {
  ListView_SetItemState(handle(), row, selected ? LVIS_SELECTED : 0, LVIS_SELECTED);
}

void TListView::clearSelection() { ListView_SetItemState(handle(), -1, 0, LVIS_SELECTED); }
int TListView::selectedCount() const { return ListView_GetSelectedCount(handle()); }

int TListView::nextSelected(int after) const { return ListView_GetNextItem(handle(), after, LVNI_SELECTED); }

int TListView::previousSelected(int before) const {
  for (int row = std::min(before, itemCount()) - 1; row >= 0; --row) {
    if (selected(row)) return row;
  }
  return -1;
}

int TListView::itemIndex() const {
  const int focused = ListView_GetNextItem(handle(), -1, LVNI_FOCUSED);
  if (focused >= 0 && selected(focused)) return focused;
  return nextSelected(-1);
}

void TListView::setItemIndex(int row) {
  clearSelection();
  if (row < 0 || row >= itemCount()) return;
  ListView_SetItemState(handle(), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ensureVisible(row);
}

void TListView::ensureVisible(int row) { ListView_EnsureVisible(handle(), row, FALSE); }

RECT TListView::itemRect(int row) const {
  RECT rect{};
  ListView_GetItemRect(handle(), row, &rect, LVIR_BOUNDS);
  return rect;
}

int TListView::itemAt(int x, int y) const {
  LVHITTESTINFO hit{};
  hit.pt = {x, y};
  return static_cast<int>(SendMessageA(handle(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

int TListView::topIndex() const { return ListView_GetTopIndex(handle()); }

void TListView::editCaption(int row) {
  SetFocus(handle());
  ListView_EditLabel(handle(), row);
}

void TListView::sortByData(const std::function<int(LPARAM, LPARAM)>& compare) {
  ListView_SortItems(
      handle(),
      [](LPARAM a, LPARAM b, LPARAM context) -> int {
        return (*reinterpret_cast<const std::function<int(LPARAM, LPARAM)>*>(context))(a, b);
      },
      reinterpret_cast<LPARAM>(&compare));
}

void TListView::sortByColumn(int column, bool descending, bool localeOrder) {
  // Rows are compared by index (LVM_SORTITEMSEX) so that the texts need no
  // look-up by number; a stable order comes from ties broken by index.
  struct TContext {
    const TListView* list;
    int column;
    bool descending;
    bool localeOrder;
    std::vector<std::string> texts;
  } context{this, column, descending, localeOrder, {}};
  const int count = itemCount();
  context.texts.reserve(count);
  for (int row = 0; row < count; ++row) {
    std::string text = itemText(row, column);
    if (!localeOrder) CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    context.texts.push_back(std::move(text));
  }
  SendMessageA(handle(), LVM_SORTITEMSEX, reinterpret_cast<WPARAM>(&context),
               reinterpret_cast<LPARAM>(static_cast<PFNLVCOMPARE>([](LPARAM a, LPARAM b, LPARAM data) -> int {
                 const auto& c = *reinterpret_cast<const TContext*>(data);
                 const std::string& left = c.texts[static_cast<size_t>(a)];
                 const std::string& right = c.texts[static_cast<size_t>(b)];
                 int order = c.localeOrder ? CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, left.c_str(), -1,
                                                            right.c_str(), -1) - CSTR_EQUAL
                                           : left.compare(right);
                 order = order < 0 ? -1 : order > 0 ? 1 : 0;
                 if (c.descending) order = -order;
                 return order != 0 ? order : (a < b ? -1 : a > b ? 1 : 0);
               })));
}

void TListView::beginUpdate() {
  if (updateDepth_++ == 0) SendMessageA(handle(), WM_SETREDRAW, FALSE, 0);
}

void TListView::endUpdate() {
  if (updateDepth_ == 0 || --updateDepth_ > 0) return;
  SendMessageA(handle(), WM_SETREDRAW, TRUE, 0);
  invalidate();
}

void TListView::toggleSortKey(int column) { tag = tag == column + 1 ? -tag : column + 1; }

bool TListView::notificationReceived(NMHDR& header, LRESULT& result) {
  switch (header.code) {
    case LVN_COLUMNCLICK:
      if (onColumnClick) onColumnClick(reinterpret_cast<NMLISTVIEW&>(header).iSubItem);
      return true;
    case LVN_ITEMCHANGED: {
      const auto& change = reinterpret_cast<NMLISTVIEW&>(header);
      if (!(change.uChanged & LVIF_STATE)) return true;
      if ((change.uOldState ^ change.uNewState) & LVIS_SELECTED) {
        if (onSelectItem) onSelectItem(change.iItem, (change.uNewState & LVIS_SELECTED) != 0);
      }
      if ((change.uOldState ^ change.uNewState) & LVIS_STATEIMAGEMASK) {
        if (onItemChecked) onItemChecked(change.iItem);
      }
      return true;
    }
    case LVN_BEGINDRAG:
      if (onBeginDrag) onBeginDrag(reinterpret_cast<NMLISTVIEW&>(header).iItem);
      return true;
    case LVN_BEGINLABELEDITA: {
      const auto& edit = reinterpret_cast<NMLVDISPINFOA&>(header);
      result = onEditing && !onEditing(edit.item.iItem) ? TRUE : FALSE;
      return true;
    }
    case LVN_ENDLABELEDITA: {
      const auto& edit = reinterpret_cast<NMLVDISPINFOA&>(header);
      if (!edit.item.pszText) {  // cancelled
        result = FALSE;
        return true;
      }
      std::string text = edit.item.pszText;
      const bool accept = !onEdited || onEdited(edit.item.iItem, text);
      if (accept) setItemText(edit.item.iItem, 0, text);
      result = FALSE;  // the caption is set above, possibly changed
      return true;
    }
    default:
      return false;
  }
}
