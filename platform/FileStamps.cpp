#include "platform/FileStamps.h"

#include <utility>

#include "platform/FileThreads.h"

TFileStamps::TFileStamps(std::vector<std::string> paths) : paths_(std::move(paths)), stamps_(paths_.size()) {
  const std::size_t threads = threadsForFiles(paths_.size());
  if (threads == 0) lookUp(0, 1);
  for (std::size_t first = 0; first < threads; ++first) lookingUp_.emplace_back([this, first, threads] {
    lookUp(first, threads);
  });
  // Meanwhile, on the caller's thread.
  indexOf_.reserve(paths_.size());
  for (std::size_t i = 0; i < paths_.size(); ++i) indexOf_.emplace(paths_[i], i);
}

void TFileStamps::lookUp(std::size_t first, std::size_t step) {
  for (std::size_t i = first; i < paths_.size(); i += step) pathExists(paths_[i], stamps_[i]);
}

bool TFileStamps::find(const std::string& path, TFileStamp& stamp) const {
  lookingUp_.clear();
  const auto found = indexOf_.find(path);
  if (found == indexOf_.end()) return pathExists(path, stamp);
  stamp = stamps_[found->second];
  return stamp.known();
}
