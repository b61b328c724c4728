#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

#include "platform/Control.h"

class TImageList;

struct TListViewOptions {
  bool checkBoxes = false;
  bool multiSelect = false;
  bool editLabels = false;
  bool rowSelect = true;
  bool readOnly = true;  // no label editing
  bool showColumnHeaders = true;
};

// A report-style list view: columns, rows with sub-items and a number of
// the caller's, check boxes, state images, caption editing, selection,
// sorting through a compare routine.
class TListView : public TControl {
 public:
  TListView(TControl* parent, const TListViewOptions& options = {});

  int addColumn(const std::string& caption, int width, int format = LVCFMT_LEFT);
  int columnCount() const;
  int columnWidth(int column) const;
  void setColumnWidth(int column, int width);
  std::string columnCaption(int column) const;
  void setColumnCaption(int column, const std::string& caption);

  // A new row at the end with its caption (column 0) and number.
  // A state image given here comes with the row itself: one message the
  // less for each row of a long list.
  int addItem(const std::string& caption, LPARAM data = 0, int stateImage = 0);
  void deleteItem(int row);
  void clear();
  int itemCount() const;
  std::string itemText(int row, int column = 0) const;
  void setItemText(int row, int column, const std::string& text);
  LPARAM itemData(int row) const;
  // The row holding a number, or -1.
  int findData(LPARAM data) const;

  bool checked(int row) const;
  void setChecked(int row, bool checked);
  // State image index (0 = none shown) from the state image list.
  int stateImage(int row) const;
  void setStateImage(int row, int index);
  void setSmallImages(TImageList* images);
  void setStateImages(TImageList* images);

  bool selected(int row) const;
  void setSelected(int row, bool selected);
  void clearSelection();
  int selectedCount() const;
  // The next selected row after `after` (-1: from the start), or -1.
  int nextSelected(int after) const;
  // The previous selected row before `before` (itemCount(): from the end).
  int previousSelected(int before) const;
  // The focused row, else the first selected one, else -1.
  int itemIndex() const;
  // Selects and focuses a row alone and scrolls it into view.
  void setItemIndex(int row);
  void ensureVisible(int row);
  RECT itemRect(int row) const;
  // The row under a point of the client area, or -1.
  int itemAt(int x, int y) const;
  int topIndex() const;

  // Starts editing a row's caption in place.
  void editCaption(int row);
  // Sorts the rows by a compare routine of their numbers.
  void sortByData(const std::function<int(LPARAM, LPARAM)>& compare);
  // Sorts by the text of a column (0 = caption), ignoring case, descending
  // when asked; `localeOrder` compares in the user's locale, else by code.
  void sortByColumn(int column, bool descending, bool localeOrder);

  void beginUpdate();
  void endUpdate();

  // The list's sort key for header clicks: column index + 1, negative for
  // descending; a click on column c makes it c + 1, or flips it.
  int tag = 0;
  void toggleSortKey(int column);

  std::function<void(int column)> onColumnClick;
  std::function<void(int row, bool selected)> onSelectItem;
  std::function<void(int row)> onItemChecked;
  std::function<bool(int row)> onEditing;                     // false refuses
  std::function<bool(int row, std::string& text)> onEdited;  // false keeps the old caption
  // The user began to drag rows with the left button, starting on this row.
  std::function<void(int row)> onBeginDrag;

 protected:
  bool notificationReceived(NMHDR& header, LRESULT& result) override;

 private:
  int updateDepth_ = 0;
};
