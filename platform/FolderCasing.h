#pragma once
#include <mutex>
#include <string>
#include <unordered_map>

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
class TFolderCasing {
 public:
  // The path with its folders spelled as on disk, as far as they exist;
  // the path as given when it is no absolute drive path.
  std::string onDisk(const std::string& path);

 private:
  std::string folderOnDisk(const std::string& folder);

  std::mutex lock_;
  std::unordered_map<std::string, std::string> folders_;  // folder as given -> on disk, both with '\'
};

// The program-wide instance through which the file functions open files.
std::string onDiskPath(const std::string& path);
