#pragma once
#include <algorithm>
#include <string>
#include <vector>

#include "model/UnreadableFiles.h"

// The files named since the last call as read only in part, whether a
// rewrite keeps what could not be read or they take no writes at all.
inline std::vector<std::string> takeFilesNamedAsPartlyRead() {
  std::vector<std::string> names = takePartlyReadFiles();
  for (const std::string& line : takeDamagedFiles()) {
    std::string name = line.substr(0, line.find('|'));
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(std::move(name));
  }
  return names;
}
