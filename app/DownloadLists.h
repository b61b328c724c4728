#pragma once
#include <string>
#include <vector>

#include "controls/PickList.h"
#include "model/SettingsBaseline.h"

// The Downloads window's work on the lists and items on disk, without the
// window. A list is a folder N (N > 0) of the lists root holding "0.INI"; an
// item is a file M.INI (M > 0) of a list folder. Folders are given with their
// trailing backslash.

// Section "List" of "0.INI" as the program holds it: the Checked mark
// (false when missing) and the name, read once, and their writing. A write
// goes against what the descriptor held when read (see TSettingsBaseline):
// what another program changed since stays, and what it cut out is put
// back. A descriptor missing, unreadable or with lines reading passes over
// (damaged, or written by another program in a form of its own) is not
// cut down by the write: left as it is where the write would lose what it
// holds, and the result is false, as it is when the write fails.
class TListDescriptor {
 public:
  explicit TListDescriptor(const std::string& listFolder);
  const std::string& fileName() const { return file_; }
  bool checked() const { return checked_; }
  bool setChecked(bool checked);
  // Trimmed; an empty name removes the key, so the list reads "?" again.
  bool rename(const std::string& name);
  // Writes what the descriptor holds now (a change its file refused).
  bool save();

 private:
  TSettingsBaseline::TWriter writer() const;

  std::string file_;
  std::string name_;
  bool checked_ = false;
  TSettingsBaseline saved_;
};
class TDownloadItem;

// Trimmed; the item (as the program holds it) is saved only when the name
// changed. False when saving failed, the name then staying as it was, or
// the item file did not read whole (it is then left as it is).
bool renameDownloadItem(TDownloadItem& item, const std::string& name);

// Makes the first free list folder N (N from 1) with its "0.INI" naming it;
// the new number, or -1 when nothing could be made (nothing is left behind).
int newDownloadList(const std::string& root, const std::string& name);
// A new list holding copies of every file of the source folder (not its
// sub-folders); -1, with the new folder removed, when any step failed.
int copyDownloadList(const std::string& root, const std::string& sourceFolder);
// Copies an item file into the first free number K of the target list; K, or
// -1 when no number is free or the copy failed.
int copyDownloadItem(const std::string& itemFile, const std::string& targetFolder);

// A data path whose deletion would take the user's own folders with it: a
// drive or share root, a relative or empty path, or any named directory or a
// folder holding one.
bool isProtectedDataPath(const std::string& dataPath);

enum class TClearResult { cleared, fileKept, refused, saveFailed };
// Deletes what the item's data path names (a folder's contents, or a file)
// and marks the item never updated. A protected path, or a folder that is
// a link to another, is refused untouched. Every file and folder there is
// asked first: when one refuses, nothing goes, the item keeps its date and
// why tells which and why ("its data was not deleted: C:\Q\A.TXT is
// read-only."; fileKept); so too when some could not go after all, why
// then telling what is left. An item file that did not read whole,
// which cannot be written, leaves its data untouched too (saveFailed); an
// item whose save fails once its data went keeps its date (saveFailed).
TClearResult clearDownloadItem(TDownloadItem& item, std::string& why);

// The lists' folders and everything in them, as one deletion (see
// deleteAllWhole): a file or folder that would refuse keeps every list, and
// why names it. A list is gone once its descriptor is; gone, it may still
// have left some on disk (another program took it after it was asked),
// which why then tells. For each list, whether it is gone.
std::vector<bool> deleteDownloadLists(const std::vector<std::string>& listFolders, std::string& why);
// The item files only (their downloaded data stays), as one deletion: one
// that would refuse keeps them all, and why names it and why.
std::vector<bool> deleteDownloadItems(const std::vector<std::string>& itemFiles, std::string& why);

// Clears the item's remarks and saves it when it had any; false when saving
// failed (the item then keeps them) or the item file did not read whole.
bool zapItemRemarks(TDownloadItem& item);
// The same for every numbered item of a list, as their files hold them
// now; the number of failures.
int zapListRemarks(const std::string& listFolder);

// The numbered item files of a list folder, as listed by the file system.
std::vector<std::string> downloadItemFiles(const std::string& listFolder);

// What Fetchmoor is handed: each path upper-cased and followed by a line
// feed, in the order given, with no carriage return.
std::string downloadQueueText(const std::vector<std::string>& paths);

// Sorts rows by key: column index + 1, negative for descending; every column
// compares as case-insensitive text (dates too, by their text). A key beyond
// columnCount leaves the order.
void sortDownloadRows(std::vector<TPickRow>& rows, int key, int columnCount);
// The header-click rule: the current column reverses, another starts ascending.
int nextSortKey(int currentKey, int column);

// The question before a clear or delete: the singular text and the quoted
// caption for one named row, else the plural text and "?".
std::string confirmationText(const std::string& singular, const std::string& plural,
                             const std::vector<std::string>& selectedCaptions);
