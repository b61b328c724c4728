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

TWaitingNames& waitingPartlyRead() {
  static TWaitingNames waiting;
  return waiting;
}

TWaitingNames& waitingFailures() {
  static TWaitingNames waiting;
  return waiting;
}

void addWaiting(TWaitingNames& waiting, const std::string& text) {
  const std::lock_guard<std::mutex> guard(waiting.lock);
  if (waiting.names.size() >= maxWaitingNames) return;
  if (std::find(waiting.names.begin(), waiting.names.end(), text) == waiting.names.end())
    waiting.names.push_back(text);
}

std::vector<std::string> takeWaiting(TWaitingNames& waiting) {
  const std::lock_guard<std::mutex> guard(waiting.lock);
  std::vector<std::string> taken;
  taken.swap(waiting.names);
  return taken;
}

}  // namespace

void reportUnreadableFile(const std::string& fileName) { addWaiting(waitingNames(), fileName); }

std::vector<std::string> takeUnreadableFiles() { return takeWaiting(waitingNames()); }

void reportPartlyReadFile(const std::string& fileName) {
  // Settings made in memory (a clipboard's, a writer's) have no file to name.
  if (!fileName.empty()) addWaiting(waitingPartlyRead(), fileName);
}

std::vector<std::string> takePartlyReadFiles() { return takeWaiting(waitingPartlyRead()); }

void reportLoadFailure(const std::string& line) { addWaiting(waitingFailures(), line); }

std::vector<std::string> takeLoadFailures() { return takeWaiting(waitingFailures()); }

std::string fileNotice(const std::vector<std::string>& loadFailures, const std::vector<std::string>& unreadable,
                       const std::vector<std::string>& partlyRead) {
  std::string text;
  auto add = [&text](const std::string& part) {
    if (part.empty()) return;
    if (!text.empty()) text += ' ';
    text += part;
  };
  if (!loadFailures.empty()) {
    add(loadFailures.back());
    if (loadFailures.size() > 1) text += " (and " + std::to_string(loadFailures.size() - 1) + " more)";
  }
  // A file taken as missing is told too: the next save may write it anew.
  add(unreadableFilesNotice(unreadable));
  add(partlyReadFilesNotice(partlyRead));
  return text;
}

namespace {

std::string namesText(const std::vector<std::string>& names) {
  std::string text = names.back();
  if (names.size() == 2) text += " and 1 more file";
  if (names.size() > 2) text += " and " + std::to_string(names.size() - 1) + " more files";
  return text;
}

}  // namespace

std::string unreadableFilesNotice(const std::vector<std::string>& names) {
  if (names.empty()) return "";
  return "Could not read " + namesText(names) + "; taken as missing.";
}

std::string partlyReadFilesNotice(const std::vector<std::string>& names) {
  if (names.empty()) return "";
  return "Could not read all of " + namesText(names) +
         (names.size() == 1 ? "; it is left as it stands until you change what it holds."
                            : "; they are left as they stand until you change what they hold.");
}
