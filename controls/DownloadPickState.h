#pragma once
#include <string>
#include <vector>

#include "controls/PickList.h"

// What the download pick dialog knows apart from its list views: the
// download lists, the chosen one, its items and when OK may accept. The
// dialog loads a list's items only after a short delay (fast key moves
// through the lists load just the last one), so the items shown can belong
// to an earlier list; choosing a list therefore drops them at once.
class TDownloadPickState {
 public:
  // The folder of the download lists (<DLISTS>), with its trailing backslash.
  void setListsFolder(const std::string& folder) { listsFolder_ = folder; }
  const std::string& listsFolder() const { return listsFolder_; }

  // Reads the lists afresh; no list chosen, no items.
  void listLists();
  const std::vector<TPickRow>& lists() const { return lists_; }

  // A row of lists() selected, or -1 when the selection went: the items of
  // the list chosen before go at once, so nothing of it can be accepted
  // while the new list waits to be loaded.
  void chooseList(int listRow);
  // The number of the chosen list; -1 when none.
  int chosenList() const { return chosenRow_ < 0 ? -1 : lists_[static_cast<size_t>(chosenRow_)].number; }
  int chosenListRow() const { return chosenRow_; }

  // Reads the items of the chosen list (none when no list is chosen) and
  // marks its row with state image 1, the others with 0. Returns the number
  // of item files that could not be read whole; they are listed with what
  // was read.
  int loadChosenList();
  // True once the items of the chosen list are loaded, until the next choice.
  bool itemsShown() const { return itemsShown_; }
  const std::vector<TPickRow>& items() const { return items_; }

  // OK accepts with a list chosen, its items shown and some selected.
  bool canAccept(int selectedItemCount) const { return chosenRow_ >= 0 && itemsShown_ && selectedItemCount > 0; }
  // The file of an item row of the chosen list, by the names found on disk;
  // empty when no list is chosen.
  std::string itemFileName(const TPickRow& item) const;

 private:
  std::string listsFolder_;
  std::vector<TPickRow> lists_;
  std::vector<TPickRow> items_;
  int chosenRow_ = -1;
  bool itemsShown_ = false;
};
