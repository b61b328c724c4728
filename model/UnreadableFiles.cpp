#include "model/UnreadableFiles.h"

#include <algorithm>
#include <mutex>

namespace {

// A folder of damaged files must not grow the list without end.
constexpr size_t maxWaitingNames = 64;

struct TWaitingNames {
  std::mutex lock;
  std::vector<std::string> names;
};

TWaitingNames& waitingNames() {
  static TWaitingNames waiting;
  return waiting;
}

}  // namespace

void reportUnreadableFile(const std::string& fileName) {
  TWaitingNames& waiting = waitingNames();
  const std::lock_guard<std::mutex> guard(waiting.lock);
  if (waiting.names.size() >= maxWaitingNames) return;
  if (std::find(waiting.names.begin(), waiting.names.end(), fileName) == waiting.names.end())
    waiting.names.push_back(fileName);
}

std::vector<std::string> takeUnreadableFiles() {
  TWaitingNames& waiting = waitingNames();
  const std::lock_guard<std::mutex> guard(waiting.lock);
  std::vector<std::string> taken;
  taken.swap(waiting.names);
  return taken;
}

std::string unreadableFilesNotice(const std::vector<std::string>& names) {
  if (names.empty()) return "";
  std::string text = "Could not read " + names.back();
  if (names.size() == 2) text += " and 1 more file";
  if (names.size() > 2) text += " and " + std::to_string(names.size() - 1) + " more files";
  return text + "; taken as missing.";
}
