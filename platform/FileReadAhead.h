#pragma once
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/FileSystem.h"

// Reads files on threads of its own ahead of a loader that then takes them
// one by one, in about the order they were queued. Opening a small file
// costs many times what reading it does, and the opens of several threads
// overlap where one thread's would wait in turn: a working folder keeps a
// file for every transaction.
//
// A file is read whole or not at all. Whatever was not read ahead (not
// queued, not readable, larger than a megabyte, already taken) the loader
// reads itself, so that a missing or damaged file is met and reported where
// it was before.
class TFileReadAhead {
 public:
  // At most maxWaitingTexts texts read and not taken wait at once (and at
  // most 16 MB of them): a loader that stopped or lags far behind is not
  // given a copy of the whole folder.
  explicit TFileReadAhead(int threads = 4, std::size_t maxWaitingTexts = 4096);
  // What is queued and not begun is dropped; reads begun are waited for.
  ~TFileReadAhead();
  TFileReadAhead(const TFileReadAhead&) = delete;
  TFileReadAhead& operator=(const TFileReadAhead&) = delete;

  void queueFile(const std::string& fileName);
  // The entries of folder (ending in a backslash) that match pattern, as
  // findFiles lists them, and the text of each file among them.
  void queueFolder(const std::string& folder, const std::string& pattern);

  // The text of a file queued or listed in a folder queued, waiting for it
  // when it is still being read; given once.
  std::optional<std::string> takeFile(const std::string& fileName);
  // The entries of a folder queued, waiting for them; given once.
  std::optional<std::vector<TFoundFile>> takeListing(const std::string& folder);

 private:
  struct TJob {
    std::string path;
    std::string pattern;  // empty for a file
  };
  // Waits until key is done, no longer expected or the room is full, and
  // hands over what was done for it.
  template <class T>
  std::optional<T> take(std::unique_lock<std::mutex>& lock, std::set<std::string>& expected,
                        std::map<std::string, T>& done, const std::string& key);
  void work();
  void readFile(const std::string& fileName);
  // nullopt for a file that cannot be read whole or is larger than
  // maxTextSize.
  static std::optional<std::string> readWhole(const std::string& fileName);
  static constexpr std::size_t maxTextSize = 1024 * 1024;
  void listFolder(const TJob& job);
  // False when stopping instead.
  bool waitForRoom();
  bool roomForMore() const { return waitingBytes_ < maxWaitingBytes && texts_.size() < maxWaitingTexts_; }
  static constexpr std::size_t maxWaitingBytes = 16 * 1024 * 1024;

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<TJob> jobs_;
  // Files and folders that a job will give, once it is done.
  std::set<std::string> expectedFiles_;
  std::set<std::string> expectedFolders_;
  // Done: nullopt for a file that could not be read whole.
  std::map<std::string, std::optional<std::string>> texts_;
  std::map<std::string, std::vector<TFoundFile>> listings_;
  const std::size_t maxWaitingTexts_;
  std::size_t waitingBytes_ = 0;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};
