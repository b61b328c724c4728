#include "app/WebForm.h"

#include <algorithm>

#include "app/WebMosaics.h"
#include "controls/DownloadListing.h"
#include "controls/ListViewXPSafe.h"
#include "controls/PickList.h"
#include "controls/ResizablePanelContainer.h"
#include "model/DeletionRefusal.h"
#include "model/Directories.h"
#include "model/LanguageStrings.h"
#include "platform/Dialogs.h"
#include "platform/ExtControls.h"

// The commands of the mosaic list: new, copy, delete and find.

std::vector<int> TwebForm::selectedNumbers() const {
  std::vector<int> numbers;
  for (int row = mosaicListView_->nextSelected(-1); row >= 0; row = mosaicListView_->nextSelected(row))
    numbers.push_back(static_cast<int>(mosaicListView_->itemData(row)));
  return numbers;
}

void TwebForm::newMosaic() {
  const std::string path = newMosaicDir(mosaicsRoot_);
  if (path.empty()) return;
  const int number = positiveNumberName(path.substr(path.find_last_of('\\') + 1));
  if (number < 1) {
    deleteTree(path);
    return;
  }
  writeMosaicName(path, NewMosaic);
  descriptors_.insert_or_assign(number, TMosaicDescriptor(mosaicFolder(number)));
  mosaicListView_->onSelectItem = nullptr;
  mosaicListView_->addItem(NewMosaic, number);
  listViewModifyEventsEnable(true);
}

void TwebForm::copySelectedMosaics() {
  flushPendingSelection();
  // The tiles shown write what they hold first, so the copy has it too.
  saveWebPanels();
  saveNotes();
  for (const int number : selectedNumbers()) {
    const std::string caption = mosaicListView_->itemText(mosaicListView_->findData(number));
    const int copy = copyMosaic(mosaicsRoot_, mosaicFolder(number));
    if (copy < 0) break;
    mosaicListView_->addItem(caption, copy);
    descriptors_.insert_or_assign(copy, TMosaicDescriptor(mosaicFolder(copy)));
  }
}

void TwebForm::deleteSelectedMosaics() {
  flushPendingSelection();
  std::vector<std::string> captions;
  for (int row = mosaicListView_->nextSelected(-1); row >= 0; row = mosaicListView_->nextSelected(row))
    captions.push_back(mosaicListView_->itemText(row));
  if (captions.empty()) return;
  const std::string text = captions.size() == 1 && !captions[0].empty()
                               ? DeleteMosaic + "\n\n\"" + captions[0] + "\""
                               : DeleteMosaics + "?";
  if (messages_.show(handle(), text, commonString(2), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) return;
  currentMosaic_ = -1;
  unloadWebPanels();
  notesBtn_->setDown(false);
  noteEditorContainer_->hide();
  mosaicListView_->onSelectItem = nullptr;
  const std::vector<int> numbers = selectedNumbers();
  std::vector<std::string> folders;
  for (const int number : numbers) folders.push_back(mosaicFolder(number));
  // A row goes only with its descriptor, and a folder whole: a mosaic that
  // could not be removed stays listed, with every panel it had.
  std::string refusal;
  const std::vector<bool> gone = deleteMosaics(folders, refusal);
  if (!refusal.empty())
    messages_.show(handle(),
                   deletionNotice(numbers.size() == 1 ? "The mosaic was" : "The mosaics were",
                                  std::find(gone.begin(), gone.end(), true) != gone.end(), refusal),
                   commonString(4), MB_OK | MB_ICONWARNING);
  for (size_t i = 0; i < numbers.size(); ++i)
    if (gone[i]) {
      mosaicListView_->deleteItem(mosaicListView_->findData(numbers[i]));
      descriptors_.erase(numbers[i]);
    }
  listViewModifyEventsEnable(true);
  updateControlBar();
}

void TwebForm::findMosaic() {
  if (!findDialog_) return;
  flushPendingSelection();
  findDialog_->onFind = [this] {
    if (findInListView(*mosaicListView_)) selectMosaic();
  };
  findDialog_->execute(handle());
  if (findDialog_->tag == 0) {
    const int row = mosaicListView_->itemIndex();
    POINT at{0, 0};
    if (row >= 0) {
      const RECT rect = mosaicListView_->itemRect(row);
      at = {rect.left, rect.top};
    }
    ClientToScreen(mosaicListView_->handle(), &at);
    findDialog_->setPosition(at.x, at.y);
    findDialog_->tag = 1;
  }
}

bool TwebForm::findInListView(TListViewXPSafe& list) {
  if (!findDialog_ || list.itemCount() == 0) return false;
  std::vector<std::string> captions;
  for (int row = 0; row < list.itemCount(); ++row) captions.push_back(list.itemText(row));
  const int found = findPickRow(captions, list.nextSelected(-1), findDialog_->findText, findDialog_->options.down,
                                findDialog_->options.matchCase);
  if (found < 0) return false;
  list.setItemIndex(found);  // deselects the others and scrolls the row into view
  return true;
}
