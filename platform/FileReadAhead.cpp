#include "platform/FileReadAhead.h"

#include <exception>
#include <utility>

TFileReadAhead::TFileReadAhead(int threads, std::size_t maxWaitingTexts) : maxWaitingTexts_(maxWaitingTexts) {
  for (int i = 0; i < threads; ++i) threads_.emplace_back([this] { work(); });
}

TFileReadAhead::~TFileReadAhead() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    jobs_.clear();
  }
  changed_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

void TFileReadAhead::queueFile(const std::string& fileName) {
  {
    std::lock_guard lock(mutex_);
    expectedFiles_.insert(fileName);
    jobs_.push_back({fileName, {}});
  }
  changed_.notify_all();
}

void TFileReadAhead::queueFolder(const std::string& folder, const std::string& pattern) {
  {
    std::lock_guard lock(mutex_);
    expectedFolders_.insert(folder);
    jobs_.push_back({folder, pattern});
  }
  changed_.notify_all();
}

template <class T>
std::optional<T> TFileReadAhead::take(std::unique_lock<std::mutex>& lock, std::set<std::string>& expected,
                                      std::map<std::string, T>& done, const std::string& key) {
  // Without room its reader may wait for texts that are taken only after
  // this one, or its job wait behind such readers: it is then the loader's.
  changed_.wait(lock, [&] { return !expected.contains(key) || done.contains(key) || !roomForMore(); });
  expected.erase(key);
  auto found = done.find(key);
  if (found == done.end()) return std::nullopt;
  std::optional<T> taken = std::move(found->second);
  done.erase(found);
  return taken;
}

std::optional<std::string> TFileReadAhead::takeFile(const std::string& fileName) {
  std::unique_lock lock(mutex_);
  std::optional<std::string> text = take(lock, expectedFiles_, texts_, fileName).value_or(std::nullopt);
  if (text) waitingBytes_ -= text->size();
  lock.unlock();
  // A reader may have waited for room.
  changed_.notify_all();
  return text;
}

std::optional<std::vector<TFoundFile>> TFileReadAhead::takeListing(const std::string& folder) {
  std::unique_lock lock(mutex_);
  return take(lock, expectedFolders_, listings_, folder);
}

void TFileReadAhead::work() {
  for (;;) {
    TJob job;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [&] { return stopping_ || !jobs_.empty(); });
      if (stopping_) return;
      job = std::move(jobs_.front());
      jobs_.pop_front();
    }
    if (job.pattern.empty()) {
      if (waitForRoom()) readFile(job.path);
    } else {
      listFolder(job);
    }
  }
}

std::optional<std::string> TFileReadAhead::readWhole(const std::string& fileName) {
  try {
    // A larger file is the loader's, which reads it a piece at a time.
    std::string text;
    if (!readFileBytes(fileName, text, maxTextSize)) return std::nullopt;
    // Read with room to spare; many texts may wait.
    text.shrink_to_fit();
    return text;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

void TFileReadAhead::readFile(const std::string& fileName) {
  std::optional<std::string> text = readWhole(fileName);
  {
    std::lock_guard lock(mutex_);
    // Not waited for any more: the loader read it itself.
    if (!expectedFiles_.contains(fileName)) return;
    if (text) waitingBytes_ += text->size();
    texts_[fileName] = std::move(text);
  }
  changed_.notify_all();
}

void TFileReadAhead::listFolder(const TJob& job) {
  std::vector<TFoundFile> entries;
  std::vector<std::string> files;
  bool listed = true;
  try {
    entries = findFiles(job.path + job.pattern);
    for (const TFoundFile& entry : entries) {
      if (!entry.isFolder) files.push_back(job.path + entry.name);
    }
  } catch (const std::exception&) {
    listed = false;
  }
  {
    std::lock_guard lock(mutex_);
    // Not waited for any more: the loader listed it itself.
    if (!expectedFolders_.contains(job.path)) return;
    if (!listed) {
      // Left to the loader, which meets the same want of memory itself.
      expectedFolders_.erase(job.path);
      files.clear();
    } else {
      for (const std::string& file : files) expectedFiles_.insert(file);
      listings_[job.path] = std::move(entries);
    }
  }
  changed_.notify_all();
  for (const std::string& file : files) {
    if (!waitForRoom()) return;
    readFile(file);
  }
}

bool TFileReadAhead::waitForRoom() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return stopping_ || roomForMore(); });
  return !stopping_;
}
