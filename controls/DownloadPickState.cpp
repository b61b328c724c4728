#include "controls/DownloadPickState.h"

#include "controls/DownloadListing.h"

void TDownloadPickState::listLists() {
  chooseList(-1);
  lists_ = listDownloadLists(listsFolder_);
}

void TDownloadPickState::chooseList(int listRow) {
  chosenRow_ = listRow >= 0 && listRow < static_cast<int>(lists_.size()) ? listRow : -1;
  items_.clear();
  itemsShown_ = false;
}

int TDownloadPickState::loadChosenList() {
  for (size_t row = 0; row < lists_.size(); ++row) lists_[row].stateImage = static_cast<int>(row) == chosenRow_ ? 1 : 0;
  items_.clear();
  itemsShown_ = false;
  if (chosenRow_ < 0) return 0;
  int failures = 0;
  items_ = listDownloadItems(listsFolder_ + lists_[static_cast<size_t>(chosenRow_)].foundName + "\\", failures);
  itemsShown_ = true;
  return failures;
}

std::string TDownloadPickState::itemFileName(const TPickRow& item) const {
  if (chosenRow_ < 0) return "";
  return listsFolder_ + lists_[static_cast<size_t>(chosenRow_)].foundName + "\\" + item.foundName;
}
