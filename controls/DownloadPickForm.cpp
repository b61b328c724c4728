#include "controls/DownloadPickForm.h"

#include <algorithm>
#include <cstdlib>

#include "controls/DownloadItem.h"
#include "controls/PickDialogPlacement.h"
#include "controls/PickList.h"
#include "model/Directories.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/ExtControls.h"
#include "platform/ImageList.h"
#include "controls/ListViewXPSafe.h"
#include "platform/Panel.h"
#include "platform/StdControls.h"

namespace {

// The mark on the shared find dialog once this dialog has placed it.
constexpr int placedByDownloadPick = 0x4450;

}  // namespace

TdownloadPickForm::TdownloadPickForm(HWND owner)
    : TForm(pickDialogOptions("Quotes", 539, 273, owner)),
      mainPanel(addPlainPanel(*this)),
      listListPanel(addPlainPanel(mainPanel)),
      listListView(listListPanel.add<TListViewXPSafe>(pickListOptions(false, false))),
      vSplitter(mainPanel.add<TSplitter>(TAlign::left)),
      objectListPanel(addPlainPanel(mainPanel)),
      objectListView(objectListPanel.add<TListViewXPSafe>(pickListOptions(true, false))),
      okBtn(add<TButton>("&OK")),
      delayTimer(200),
      imageList_(makePickStateImages()) {
  mainPanel.setBounds(0, 0, 539, 238);
  mainPanel.setAnchors(akLeft | akTop | akRight | akBottom);
  listListPanel.setBounds(0, 0, 150, 238);
  listListPanel.setAlign(TAlign::left);
  vSplitter.setBounds(150, 0, 3, 238);
  objectListPanel.setAlign(TAlign::client);
  listListView.setAlign(TAlign::client);
  listListView.addColumn("List", 125);
  listListView.setStateImages(imageList_.get());
  objectListView.setAlign(TAlign::client);
  objectListView.addColumn("Name", 130);
  objectListView.addColumn("Symbol", 70);
  objectListView.addColumn("Currency", 70);
  objectListView.addColumn("Updated", 67);
  objectListView.setStateImages(imageList_.get());
  objectListView.hide();
  okBtn.setBounds(459, 244, 75, 25);
  okBtn.setAnchors(akRight | akBottom);
  okBtn.setEnabled(false);

  listListView.onSelectItem = [this](int row, bool selected) { listListViewSelectItem(row, selected); };
  listListView.onColumnClick = [this](int column) { columnClick(listListView, column); };
  listListView.onMouseDown = [this](TMouseButton button, TShiftState, int, int) {
    if (button == TMouseButton::right) openFindDialog(listListView);
  };
  objectListView.onSelectItem = [this](int, bool) { updateOkBtn(); };
  objectListView.onMouseUp = [this](TMouseButton, TShiftState, int, int) { updateOkBtn(); };
  objectListView.onDoubleClick = [this] { acceptIfPossible(true); };
  objectListView.onColumnClick = [this](int column) { columnClick(objectListView, column); };
  objectListView.onMouseDown = [this](TMouseButton button, TShiftState, int, int) {
    if (button == TMouseButton::right) openFindDialog(objectListView);
  };
  okBtn.onClick = [this] { acceptIfPossible(false); };
  delayTimer.onTimer = [this] { delayTimerTimer(); };
  keyPreview = true;
  onKeyDown = [this](WORD& key, TShiftState shift) { FormKeyDown(key, shift); };
  onClose = [this] { delayTimer.setEnabled(false); };
  centreOnScreen(*this);
}

TdownloadPickForm::~TdownloadPickForm() {
  if (findDialog_ && findList_) findDialog_->onFind = nullptr;
}

bool TdownloadPickForm::execute() {
  accepted_ = false;
  // A list chosen just before the dialog closed last time still waits for
  // its items.
  if (state_.chosenListRow() >= 0 && !state_.itemsShown()) loadChosenList();
  if (!visible()) showModal();
  delayTimer.setEnabled(false);
  return accepted_;
}

void TdownloadPickForm::listLists() {
  delayTimer.setEnabled(false);
  okBtn.setEnabled(false);
  objectListView.hide();
  objectListView.clear();
  iterationRow_ = -1;
  state_.setListsFolder(getDirectory("<DLISTS>"));
  state_.listLists();
  listListView.beginUpdate();
  listListView.clear();
  for (size_t row = 0; row < state_.lists().size(); ++row) {
    const TPickRow& list = state_.lists()[row];
    listListView.addItem(list.texts[0], static_cast<LPARAM>(row), list.stateImage + 1);
  }
  listListView.endUpdate();
}

void TdownloadPickForm::listListViewSelectItem(int row, bool selected) {
  const int chosen = selected ? static_cast<int>(listListView.itemData(row)) : -1;
  if (!selected && listListView.selectedCount() > 0) return;
  if (chosen == state_.chosenListRow() && state_.itemsShown()) return;
  // The items shown belong to the list chosen before: none of them may be
  // accepted while the new list waits for its delay.
  state_.chooseList(chosen);
  objectListView.hide();
  objectListView.clear();
  iterationRow_ = -1;
  okBtn.setEnabled(false);
  delayTimer.restart();
}

void TdownloadPickForm::delayTimerTimer() {
  delayTimer.setEnabled(false);
  loadChosenList();
}

void TdownloadPickForm::loadChosenList() {
  busy();
  okBtn.setEnabled(false);
  try {
    state_.loadChosenList();
    for (int item = 0; item < listListView.itemCount(); ++item) {
      const TPickRow& list = state_.lists()[static_cast<size_t>(listListView.itemData(item))];
      listListView.setStateImage(item, list.stateImage + 1);
    }
    showItems();
  } catch (...) {
    // Whatever went wrong, the dialog must not stay disabled under the hourglass.
  }
  available();
}

void TdownloadPickForm::showItems() {
  objectListView.beginUpdate();
  objectListView.clear();
  for (size_t row = 0; row < state_.items().size(); ++row) {
    const TPickRow& itemRow = state_.items()[row];
    const int item = objectListView.addItem(itemRow.texts[0], static_cast<LPARAM>(row), itemRow.stateImage + 1);
    for (int column = 1; column < 4; ++column)
      objectListView.setItemText(item, column, itemRow.texts[static_cast<size_t>(column)]);
  }
  if (objectListView.tag != 0)
    objectListView.sortByColumn(std::abs(objectListView.tag) - 1, objectListView.tag < 0, false);
  objectListView.endUpdate();
  objectListView.setVisible(state_.itemsShown());
}

void TdownloadPickForm::updateOkBtn() { okBtn.setEnabled(state_.canAccept(objectListView.selectedCount())); }

void TdownloadPickForm::acceptIfPossible(bool closeOtherwise) {
  if (state_.canAccept(objectListView.selectedCount())) {
    accepted_ = true;
    setModalResult(mrOk);
  } else if (closeOtherwise) {
    setModalResult(mrCancel);
  }
}

void TdownloadPickForm::FormKeyDown(WORD& key, TShiftState) {
  pickDialogKeyDown(*this, key, [this] { acceptIfPossible(false); });
}

void TdownloadPickForm::columnClick(TListView& list, int column) {
  list.toggleSortKey(column);
  list.sortByColumn(std::abs(list.tag) - 1, list.tag < 0, false);
}

void TdownloadPickForm::openFindDialog(TListView& list) {
  if (!findDialog_) return;
  findList_ = &list;
  findDialog_->onFind = [this] { findDialogFind(); };
  findDialog_->execute(handle());
  const bool fromItems = &list == &objectListView;
  if (fromItems && findDialog_->tag == placedByDownloadPick) return;
  if (fromItems) findDialog_->tag = placedByDownloadPick;
  const int row = list.itemIndex();
  POINT at{0, 0};
  if (row >= 0) {
    const RECT rect = list.itemRect(row);
    at = {rect.left, rect.top};
  }
  ClientToScreen(list.handle(), &at);
  findDialog_->setPosition(at.x, at.y);
}

void TdownloadPickForm::findDialogFind() {
  if (!findDialog_ || !findList_ || !findList_->visible()) return;
  TListView& list = *findList_;
  std::vector<std::string> captions;
  for (int row = 0; row < list.itemCount(); ++row) captions.push_back(list.itemText(row));
  const int found = findPickRow(captions, list.itemIndex(), findDialog_->findText, findDialog_->options.down,
                                findDialog_->options.matchCase);
  if (found < 0) return;
  list.setItemIndex(found);  // deselects the others and scrolls the row into view
  if (&list == &listListView) {
    delayTimer.setEnabled(false);
    loadChosenList();
  }
}

bool TdownloadPickForm::loadItemAt(int row, TDownloadItem& item) {
  iterationRow_ = row;
  if (row < 0 || !state_.itemsShown()) return false;
  const TPickRow& itemRow = state_.items()[static_cast<size_t>(objectListView.itemData(row))];
  // A file that reads with an error still hands over what was read; the
  // caller sees the same item the list shows.
  item.loadFromFile(state_.itemFileName(itemRow));
  return true;
}

bool TdownloadPickForm::getFirstDownloadItem(TDownloadItem& item) {
  return loadItemAt(objectListView.nextSelected(-1), item);
}

bool TdownloadPickForm::getNextDownloadItem(TDownloadItem& item) {
  if (iterationRow_ < 0) return false;
  const int next = objectListView.nextSelected(iterationRow_);
  if (next < 0) return false;  // the row stays where it was: a further call is false too
  return loadItemAt(next, item);
}

void TdownloadPickForm::busy() {
  listListView.setEnabled(false);
  objectListView.setEnabled(false);
  application().busy();
}

void TdownloadPickForm::available() {
  listListView.setEnabled(true);
  objectListView.setEnabled(true);
  application().available();
}

void TdownloadPickForm::loadGUIoptions(const TPortableIniFile& ini) {
  TPickDialogLayout layout = currentPickDialogLayout(*this, objectListView, listListPanel.width());
  readPickDialogLayout(ini, downloadPickLayoutKeys(), layout);
  applyPickDialogLayout(*this, objectListView, layout);
  // The list panel keeps room for the splitter and the item list beside it.
  listListPanel.setBounds(0, 0, std::clamp(layout.listWidth, 20, std::max(20, clientWidth() - 40)),
                          listListPanel.height());
}

void TdownloadPickForm::saveGUIoptions(TPortableIniFile& ini) const {
  writePickDialogLayout(ini, downloadPickLayoutKeys(),
                        currentPickDialogLayout(*this, objectListView, listListPanel.width()));
}
