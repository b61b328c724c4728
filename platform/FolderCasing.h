#pragma once
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/ReadWriteLock.h"

// Under Wine a Windows path reaches its Unix file case-insensitively: every
// part whose case differs from the disk's costs a read of the whole parent
// folder, at every open. The program keeps its paths upper-cased, so a
// working folder under lower-case parents made each of thousands of opens
// read those parents again. This finds each folder's casing on disk once
// and answers paths through it; the file name itself is left as given.
//
// A casing found once stays right in meaning even when the folder is later
// removed or renamed in case only: Windows paths ignore case, so the answer
// names the same file as the path given, at worst at Wine's usual cost.
//
// Wine also searches the whole folder for every name that is not there yet,
// before it creates it: each new file in a folder of thousands cost
// milliseconds. Wine's own Unix names are matched exactly, so new files are
// created through them when the program runs under Wine.
class TFolderCasing {
 public:
  // The path with its folders spelled as on disk, as far as they exist;
  // the path as given when it is no absolute drive path.
  std::string onDisk(const std::string& path);
  // Under Wine, the name of a file in its folder's Unix form ("\\?\unix"
  // and the folder's Unix path), which Wine opens without a search; empty
  // elsewhere, or when the folder has no Unix path. The name is matched
  // exactly, so it is meant only for a name its caller knows as spelled on
  // disk, or knows to be free in any case (from a listing of the folder).
  std::wstring exactFileName(const std::string& path);

 private:
  std::string folderOnDisk(const std::string& folder);

  // Threads looking files up side by side meet here at every path: they
  // share the lock to read what is known, and take it whole only to add.
  struct TNameHash {
    using is_transparent = void;
    size_t operator()(std::string_view name) const { return std::hash<std::string_view>()(name); }
  };
  template <class T>
  using TFolderMap = std::unordered_map<std::string, T, TNameHash, std::equal_to<>>;
  TReadWriteLock lock_;
  TFolderMap<std::string> folders_;  // folder as given -> on disk, both with '\'
  TFolderMap<std::wstring> unixFolders_;  // folder as given -> "\\?\unix" + path + '/'
};

// The program-wide instance through which the file functions open files.
std::string onDiskPath(const std::string& path);
std::wstring exactFileName(const std::string& path);
