#include "model/UnreadableFiles.h"

#include <windows.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <utility>

namespace {

// The most refused saves whose reasons are kept (see reportRefusedSave).
constexpr size_t maxRefusedSaves = 64;

// Each name once: the notice counts them, and a click lists every one, so
// none is left out, however many a folder of damaged files gives.
struct TWaitingNames {
  std::mutex lock;
  std::vector<std::string> names;
  std::set<std::string> waiting;
};

TWaitingNames& waitingNames() {
  static TWaitingNames waiting;
  return waiting;
}

TWaitingNames& waitingPartlyRead() {
  static TWaitingNames waiting;
  return waiting;
}

TWaitingNames& waitingDamaged() {
  static TWaitingNames waiting;
  return waiting;
}

struct TRefusedSaves {
  std::mutex lock;
  std::map<std::string, std::pair<std::string, TRefusal>> reasons;
};

TRefusedSaves& refusedSaves() {
  static TRefusedSaves refused;
  return refused;
}

// Between a file's name and why it is damaged in a waiting line: no file
// name holds it.
constexpr char reasonMark = '|';

TWaitingNames& waitingFailures() {
  static TWaitingNames waiting;
  return waiting;
}

TWaitingNames& waitingSavedWhole() {
  static TWaitingNames waiting;
  return waiting;
}

void addWaiting(TWaitingNames& waiting, const std::string& text) {
  const std::lock_guard<std::mutex> guard(waiting.lock);
  if (waiting.waiting.insert(text).second) waiting.names.push_back(text);
}

std::vector<std::string> takeWaiting(TWaitingNames& waiting) {
  const std::lock_guard<std::mutex> guard(waiting.lock);
  std::vector<std::string> taken;
  taken.swap(waiting.names);
  waiting.waiting.clear();
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

void reportDamagedFile(const std::string& fileName, const std::string& why) {
  if (!fileName.empty()) addWaiting(waitingDamaged(), fileName + reasonMark + why);
}

std::vector<std::string> takeDamagedFiles() { return takeWaiting(waitingDamaged()); }

void reportRefusedSave(const std::string& fileName, const std::string& why, TRefusal refusal) {
  TRefusedSaves& refused = refusedSaves();
  const std::lock_guard<std::mutex> guard(refused.lock);
  // A folder of damaged files must not grow the map without end.
  if (refused.reasons.size() < maxRefusedSaves || refused.reasons.contains(fileName))
    refused.reasons[fileName] = {why, refusal};
}

void forgetRefusedSave(const std::string& fileName) {
  TRefusedSaves& refused = refusedSaves();
  const std::lock_guard<std::mutex> guard(refused.lock);
  refused.reasons.erase(fileName);
}

namespace {

std::optional<std::pair<std::string, TRefusal>> refusedSave(const std::string& fileName) {
  TRefusedSaves& refused = refusedSaves();
  const std::lock_guard<std::mutex> guard(refused.lock);
  const auto found = refused.reasons.find(fileName);
  if (found == refused.reasons.end()) return std::nullopt;
  return found->second;
}

}  // namespace

std::string refusedSaveText(const std::string& fileName) {
  const auto refused = refusedSave(fileName);
  return refused ? fileName + " " + refused->first : std::string();
}

std::string whyNotWritten(const std::string& fileName) {
  const DWORD attributes = GetFileAttributesA(fileName.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) return "is read-only";
  const HANDLE file = CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION)
    return "is held open by another program";
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return "could not be written: another program may hold it open, or its disk is full or write-protected";
}

std::string saveFailureText(const std::string& fileName) {
  std::string refused = refusedSaveText(fileName);
  return refused.empty() ? fileName + " " + whyNotWritten(fileName) : refused;
}

std::string refusedSavesText(const std::vector<std::string>& fileNames) {
  // The question must fit on the screen: the reasons of a few files tell
  // what the others' would.
  constexpr int mostTold = 3;
  std::string text;
  int told = 0;
  bool damaged = false;
  bool changedElsewhere = false;
  bool unwritable = false;
  for (const std::string& name : fileNames) {
    if (told == mostTold) break;
    const auto refused = refusedSave(name);
    if (!refused) continue;
    text += "\r" + name + " " + refused->first + ".";
    if (refused->second == TRefusal::damaged) damaged = true;
    if (refused->second == TRefusal::changedElsewhere) changedElsewhere = true;
    if (refused->second == TRefusal::unwritable) unwritable = true;
    ++told;
  }
  if (text.empty()) return "";
  // A file another program changed is no damaged one: what mends it is the
  // user's choice between the two texts, which the window that holds the
  // change asks for at its save.
  if (damaged) text += "\rWhat such a file holds is kept: repair it, or save it again as ANSI text, and Try Again.";
  if (unwritable) text += "\rMake such a file writable, or close the program that holds it, and Try Again.";
  if (changedElsewhere)
    text += "\rWhat another program wrote is kept: Cancel, and save again where the change shows to choose between "
            "the two.";
  return "\r" + text;
}

void reportLoadFailure(const std::string& line) { addWaiting(waitingFailures(), line); }

std::vector<std::string> takeLoadFailures() { return takeWaiting(waitingFailures()); }

void reportSavedWhole(const std::string& line) { addWaiting(waitingSavedWhole(), line); }

std::vector<std::string> takeSavedWhole() { return takeWaiting(waitingSavedWhole()); }

void reportPossiblyCutOffFile(const std::string& fileName) {
  reportLoadFailure(fileName + " may be cut off inside its last line, which has no line end.");
}

void reportEndMarkInsideFile(const std::string& fileName, size_t line, size_t linesAfter) {
  const std::string after =
      linesAfter == 1 ? "the line after it was" : "the " + std::to_string(linesAfter) + " lines after it were";
  reportLoadFailure(fileName + " holds an end-of-file mark in its middle, at line " + std::to_string(line) + "; " +
                    after + " not read.");
}

namespace {

// A damaged file that its loader found short of what it holds too is
// named once, with why.
std::vector<std::string> onlyPartlyRead(const std::vector<std::string>& partlyRead,
                                        const std::vector<std::string>& damaged) {
  std::vector<std::string> names = partlyRead;
  std::erase_if(names, [&](const std::string& name) {
    return std::any_of(damaged.begin(), damaged.end(),
                       [&](const std::string& file) { return file.substr(0, file.find(reasonMark)) == name; });
  });
  return names;
}

}  // namespace

std::vector<std::string> fileNoticeLines(const std::vector<std::string>& loadFailures,
                                         const std::vector<std::string>& unreadable,
                                         const std::vector<std::string>& partlyRead,
                                         const std::vector<std::string>& damaged) {
  std::vector<std::string> lines = loadFailures;
  for (const std::string& name : unreadable) lines.push_back(unreadableFilesNotice({name}));
  for (const std::string& file : damaged) lines.push_back(damagedFilesNotice({file}));
  for (const std::string& name : onlyPartlyRead(partlyRead, damaged)) lines.push_back(partlyReadFilesNotice({name}));
  return lines;
}

std::string fileNotice(const std::vector<std::string>& loadFailures, const std::vector<std::string>& unreadable,
                       const std::vector<std::string>& partlyRead, const std::vector<std::string>& damaged) {
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
  add(damagedFilesNotice(damaged));
  add(partlyReadFilesNotice(onlyPartlyRead(partlyRead, damaged)));
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
  // A save writes only what the user changes and keeps the rest of the
  // file as it stands, what could not be read included.
  return "Could not read all of " + namesText(names) + "; what could not be read stays as it stands.";
}

std::string damagedFilesNotice(const std::vector<std::string>& files) {
  if (files.empty()) return "";
  const std::string& last = files.back();
  const size_t mark = last.find(reasonMark);
  if (files.size() == 1)
    return "Could not read all of " + last.substr(0, mark) + ": it " + last.substr(mark + 1) +
           ". Changes to it are not saved until it is repaired.";
  std::vector<std::string> names;
  for (const std::string& file : files) names.push_back(file.substr(0, file.find(reasonMark)));
  return "Could not read all of " + namesText(names) + "; changes to them are not saved until they are repaired.";
}
