#pragma once
#include <functional>
#include <string>
#include <vector>

#include "platform/StdControls.h"

// The folder-browsing controls of the directory dialog.

// The drives of the machine ("C:", ...).
class TDriveComboBox : public TComboBox {
 public:
  explicit TDriveComboBox(TControl* parent);
  // The drive of a path ("C:"), chosen in the list when it is there.
  void setDrive(const std::string& path);
  std::string drive() const;
};

// A folder with its parents above it and its sub-folders below; a
// double-click or Enter opens the row's folder.
class TDirectoryListBox : public TListBox {
 public:
  explicit TDirectoryListBox(TControl* parent);
  // An existing folder, without a trailing backslash except for a root.
  const std::string& directory() const { return directory_; }
  void setDirectory(const std::string& folder);
  std::function<void()> onDirectoryChange;

 protected:
  void doubleClick() override;
  void keyDown(WORD& key, TShiftState shift) override;

 private:
  void openRow(int row);
  std::string directory_;
  std::vector<std::string> rowFolders_;
};

// The files of a folder that match a mask ("*.*", "*.txt;*.ini").
class TFileListBox : public TListBox {
 public:
  explicit TFileListBox(TControl* parent);
  void setDirectory(const std::string& folder);
  void setMask(const std::string& mask);

 private:
  void refill();
  std::string directory_;
  std::string mask_ = "*.*";
};

// The descriptions of a filter ("Text files (*.txt)|*.txt|All files|*.*").
class TFilterComboBox : public TComboBox {
 public:
  explicit TFilterComboBox(TControl* parent);
  void setFilter(const std::string& filter);
  std::string mask() const;  // of the chosen description; "*.*" without one

 private:
  std::vector<std::string> masks_;
};

// The path with one trailing backslash; an empty path stays empty.
std::string withTrailingBackslash(const std::string& path);
