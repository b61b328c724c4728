#pragma once
#include <functional>
#include <string>
#include <vector>

#include "model/SettingsBaseline.h"

// One filed view: the base name of its files (N.INI, N.BMP, N.TXT) and its caption.
struct TGalleryEntry {
  std::string baseName;
  std::string caption;
};

// The gallery of saved views on disk, without its window: under the gallery
// folder one sub-folder per kind (1 charts, 2 graphs, 3 browsers), each with
// its index "0.INI" (section "Names": base name = caption, in display order)
// and the item files. Index keys become file names, so only positive
// decimal numbers are taken as keys; anything else in an index is ignored
// and never reaches a file operation.
class TGalleryIndex {
 public:
  static constexpr int kindCount = 3;
  static const char* const defaultCaption;

  // Sets the three folders under the gallery folder and reads their indexes.
  void loadGallery(const std::string& galleryFolder);
  void unloadGallery();
  // Writes the kind's index in entry order: 0, or -4 when it cannot be
  // written. What another program added to it since it was read stays, and
  // what it cut out that the gallery holds is put back.
  int saveIndex(int kind);

  static bool validKind(int kind) { return kind >= 1 && kind <= kindCount; }
  static bool validBaseName(const std::string& baseName);
  const std::string& folder(int kind) const { return folders_[static_cast<size_t>(kind - 1)]; }
  std::vector<TGalleryEntry>& entries(int kind) { return entries_[static_cast<size_t>(kind - 1)]; }
  const std::vector<TGalleryEntry>& entries(int kind) const { return entries_[static_cast<size_t>(kind - 1)]; }
  // The item's file with the extension (".INI", ".BMP" or ".TXT").
  std::string itemFile(int kind, int index, const std::string& extension) const;

  // Files a view under the first free number: its settings file is copied
  // and its picture written by savePicture; only when both succeeded is it
  // indexed. Answers the new entry's index, or -1 with nothing left behind.
  int add(int kind, const std::string& sourceFile, const std::string& caption,
          const std::function<bool(const std::string& pictureFile)>& savePicture);
  // Removes the entry from the index and deletes its three files, letting
  // go of what was held for them (the next entry may take the number); or,
  // when one of them or the index would refuse, changes nothing: false, and
  // refusal (when given) names the file and why. Should a file still stay
  // behind once the entry is gone, refusal tells which.
  bool remove(int kind, int index, std::string* refusal = nullptr);
  bool swap(int kind, int first, int second);
  // An empty caption would drop the key from the index and lose the item.
  bool rename(int kind, int index, const std::string& caption);
  // Sorts by caption ignoring case and keeps that order in the index.
  void sortByCaption(int kind, bool descending);
  // Makes a view from the entry: its settings file copied to the first free
  // prefix + N + ".INI" in the target folder. The new file, or empty when
  // the copy failed.
  std::string make(int kind, int index, const std::string& targetFolder, const std::string& prefix) const;
  // The notes file of the entry, created empty when missing; false when it
  // neither exists nor could be made.
  bool ensureNotes(int kind, int index) const;

 private:
  bool validIndex(int kind, int index) const;
  void loadIndex(int kind);
  // Saves the index after a change of the user's; one it refuses waits for
  // the close (see holdUnsavedChange).
  void saveChange(int kind);
  TSettingsBaseline& saved(int kind) { return saved_[static_cast<size_t>(kind - 1)]; }

  std::string folders_[kindCount];
  std::vector<TGalleryEntry> entries_[kindCount];
  // What each index held when read or last written.
  TSettingsBaseline saved_[kindCount];
};

// Where a picture is shown inside a frame: never enlarged, scaled down to
// fit and centred.
struct TPicturePlace {
  int left, top, width, height;
};
TPicturePlace fitPicture(int pictureWidth, int pictureHeight, int clientWidth, int clientHeight, int frameWidth);
