#pragma once
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

#include "platform/FileSystem.h"

// The stamps of many files, looked up side by side on threads of their own
// while the caller goes on, for a loop that then asks for them one by one.
// A look-up costs about 10 us under Wine, most of it spent waiting, and a
// save of every portfolio asks one for each record file it holds unchanged:
// thirteen thousand in a large working folder.
class TFileStamps {
 public:
  TFileStamps() = default;
  // A few paths are looked up at once, on the caller's thread.
  explicit TFileStamps(std::vector<std::string> paths);
  TFileStamps(const TFileStamps&) = delete;
  TFileStamps& operator=(const TFileStamps&) = delete;

  // As pathExists(path, stamp): the stamp looked up when the paths were
  // given (the first call waits for the look-ups), or one looked up now for
  // a path that was not among them.
  bool find(const std::string& path, TFileStamp& stamp) const;

 private:
  void lookUp(std::size_t first, std::size_t step);

  std::vector<std::string> paths_;
  // Unknown for a path that named nothing.
  std::vector<TFileStamp> stamps_;
  std::unordered_map<std::string_view, std::size_t> indexOf_;  // into paths_ and stamps_
  mutable std::vector<std::jthread> lookingUp_;
};
