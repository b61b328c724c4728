#include "model/PortableIniFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <string_view>

#include "model/NumberRange.h"
#include "model/UnreadableFiles.h"
#include "platform/FileSystem.h"
#include "platform/LocaleSettings.h"
#include "platform/SequentialFile.h"

namespace {

constexpr char endOfFileMark = '\x1a';
constexpr size_t floatMantissaDecimals = 14;  // 15 significant digits
constexpr size_t floatExponentDigits = 4;
// The largest 15-digit value below the largest double.
constexpr double largestRoundedFloat = 1.79769313486231e308;
constexpr int64_t maxPieceSize = 1 << 20;
// Longer lines are skipped when reading.
constexpr size_t maxLineLength = size_t{1} << 24;

constexpr size_t noLine = static_cast<size_t>(-1);
const char* const cutOffInsideLine = "is cut off inside its last line";

bool isBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

// CR and LF end a line and 0x1A ends the file when the text is read again,
// so none may reach the file inside a name, key or value.
bool holdsLineBreakers(const std::string& text) { return text.find_first_of("\r\n\x1a") != std::string::npos; }

std::string withoutLineBreakers(std::string text) {
  for (char& c : text)
    if (c == '\r' || c == '\n' || c == endOfFileMark) c = ' ';
  return text;
}

std::string foldedKey(const std::string& key) {
  return upperCase(holdsLineBreakers(key) ? withoutLineBreakers(key) : key);
}

// A key must come back as the same key: an empty or blank key makes a line
// that reading skips, and "=" would move the rest of the key into the value.
bool storableKey(const std::string& key) {
  return key.find('=') == std::string::npos && !trimmed(key).empty();
}

// A value as reading the file gives it back.
std::string_view readBack(std::string_view value) {
  value = trimmed(value);
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
  return value;
}

// A line that lost a bracket of its section header: the entries below it
// were read into the section before, so no write can tell where they belong.
bool damagedHeader(std::string_view line) { return line.front() == '[' || line.back() == ']'; }

// A text as a notice quotes it: the notice is one line at the foot of a
// window, so a long text is cut.
std::string quotedForNotice(std::string_view text) {
  constexpr size_t longest = 40;
  std::string quoted = "\"";
  if (text.size() <= longest) {
    quoted += text;
  } else {
    quoted += text.substr(0, longest - 3);
    quoted += "...";
  }
  return quoted + "\"";
}

// A line the reader passed over, as a notice quotes it.
std::string quotedLine(std::string_view line) {
  std::string text = quotedForNotice(line);
  for (char& c : text)
    if (static_cast<unsigned char>(c) < ' ') c = ' ';
  return text;
}

bool readsAsHeader(std::string_view key, std::string_view value) {
  key = trimmed(key);
  value = trimmed(value);
  return !key.empty() && key.front() == '[' && !value.empty() && value.back() == ']';
}

}  // namespace

// One section: its entries in stored order, and an index from the upper-cased
// key to the entry's position so that a look-up never scans the section.
// Removed entries leave a gap that is squeezed out once gaps outnumber entries.
struct TPortableIniFile::TSection {
  // The key and value a write gave, or a later line that repeats the key.
  struct TWritten {
    std::string key;
    std::string value;
  };
  struct TEntry {
    // None while the entry is what its line in the file's text says.
    std::unique_ptr<TWritten> written;
    // The line of a file read that holds the entry, and whether a write
    // changed it since: an entry nobody changed keeps its line as it stood.
    size_t line = noLine;
    bool removed = false;
    bool changed = false;
  };

  TSection(std::string name, const TFileText& text) : Name(std::move(name)), file(&text) {}

  std::string Name;
  const TFileText* file;
  std::vector<TEntry> Lines;
  std::unordered_map<std::string, size_t> positions;
  size_t removedCount = 0;
  // In a file read: the section's first header line and the last line that
  // belonged to it, where its new entries go.
  size_t headerLine = noLine;
  size_t lastLine = noLine;
  bool erased = false;
  // The folded key that stands first in the section (see writeFirst).
  std::string firstKey;

  // The key as it stands and the value as stored (see readBack), in the
  // file's text unless a write gave them.
  static std::pair<std::string_view, std::string_view> text(const TFileText& file, const TEntry& entry) {
    if (entry.written) return {entry.written->key, entry.written->value};
    const std::string_view line = trimmed(file.content(entry.line));
    const size_t equals = line.find('=');
    return {line.substr(0, equals), line.substr(equals + 1)};
  }
  std::string_view key(const TEntry& entry) const { return text(*file, entry).first; }
  std::string_view value(const TEntry& entry) const { return text(*file, entry).second; }

  const TEntry* find(const std::string& folded) const {
    auto found = positions.find(folded);
    return found == positions.end() ? nullptr : &Lines[found->second];
  }

  // An entry its line holds: the key is folded already.
  void addRead(std::string folded, size_t line) {
    positions.emplace(std::move(folded), Lines.size());
    Lines.push_back(TEntry{nullptr, line, false, false});
  }

  // True when the section's text changed.
  bool store(std::string_view newKey, std::string_view newValue) {
    std::string folded = upperCase(std::string(newKey));
    auto found = positions.find(folded);
    if (newValue.empty()) {
      if (found == positions.end()) return false;
      Lines[found->second] = TEntry{nullptr, noLine, true, false};
      positions.erase(found);
      if (++removedCount > 16 && removedCount > positions.size()) squeeze();
      return true;
    }
    if (found != positions.end()) {
      TEntry& entry = Lines[found->second];
      if (key(entry) == newKey && readBack(value(entry)) == readBack(newValue)) {
        // The same value is no change, but a rewrite for another one writes
        // it as the writer spells it (the blank before a positive number).
        if (entry.written) entry.written->value.assign(newValue);
        return false;
      }
      entry.written = std::make_unique<TWritten>(TWritten{std::string(newKey), std::string(newValue)});
      entry.changed = true;
      return true;
    }
    positions.emplace(std::move(folded), Lines.size());
    Lines.push_back(TEntry{std::make_unique<TWritten>(TWritten{std::string(newKey), std::string(newValue)}), noLine,
                           false, true});
    return true;
  }

  // Places the key first in the section; true when it stood on a line below
  // another entry's, which it leaves.
  bool placeFirst(std::string folded) {
    const auto found = positions.find(folded);
    firstKey = std::move(folded);
    if (found == positions.end()) return false;
    TEntry& entry = Lines[found->second];
    if (entry.line == noLine) return false;
    const bool below = std::any_of(Lines.begin(), Lines.end(),
                                   [&entry](const TEntry& other) { return !other.removed && other.line < entry.line; });
    if (!below) return false;
    if (!entry.written) {
      const auto [entryKey, entryValue] = text(*file, entry);
      entry.written = std::make_unique<TWritten>(TWritten{std::string(entryKey), std::string(entryValue)});
    }
    entry.line = noLine;
    entry.changed = true;
    return true;
  }

  // The entry placed first while it has no line of its own: a rewrite
  // writes it before every other.
  TEntry* newFirst() {
    const auto found = firstKey.empty() ? positions.end() : positions.find(firstKey);
    if (found == positions.end() || Lines[found->second].line != noLine) return nullptr;
    return &Lines[found->second];
  }

  // Visits each entry's key and stored value.
  template <class Visit>
  void forEachEntry(Visit visit) const {
    for (const TEntry& entry : Lines) {
      if (entry.removed) continue;
      const auto [entryKey, entryValue] = text(*file, entry);
      visit(entryKey, entryValue, entry);
    }
  }

 private:
  void squeeze() {
    std::vector<size_t> newPosition(Lines.size());
    size_t kept = 0;
    for (size_t i = 0; i < Lines.size(); ++i) {
      if (Lines[i].removed) continue;
      newPosition[i] = kept;
      if (kept != i) Lines[kept] = std::move(Lines[i]);
      ++kept;
    }
    Lines.resize(kept);
    for (auto& position : positions) position.second = newPosition[position.second];
    removedCount = 0;
  }
};

std::string_view TPortableIniFile::TFileText::whole(size_t line) const {
  const size_t start = lines[line].start;
  const size_t end = line + 1 < lines.size() ? lines[line + 1].start : textEnd;
  return std::string_view(text).substr(start, end - start);
}

std::string_view TPortableIniFile::TFileText::content(size_t line) const {
  std::string_view text = whole(line);
  // A line ends in CR LF, CR or LF, and holds neither byte before its end.
  if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
  if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  return text;
}

struct TPortableIniFile::TRewrite {
  TFileText file;
  // The new line of each old one, noLine for a line left out.
  std::vector<size_t> newLine;
  // The entries written anew, and their lines.
  std::vector<std::pair<TSection::TEntry*, size_t>> placed;
  // False when reading the text back would not give the same keys (a key
  // that begins with a blank, a NUL byte): the text is then read again.
  bool readsAsWritten = true;
};

TPortableIniFile::TPortableIniFile(const std::string& fileName) : fileName_(fileName) { readFile(); }

TPortableIniFile::TPortableIniFile(const std::string& fileName, TReadText read, const TFileStamp& stamp)
    : fileName_(fileName), stamp_(stamp) {
  readText(std::string(read.text));
  if (!writeRefusal_.empty())
    reportDamagedFile(fileName_, writeRefusal_);
  else if (readInPart_)
    reportPartlyReadFile(fileName_);
}

TPortableIniFile::TPortableIniFile(const std::string& fileName, TNewFile)
    : fileName_(fileName), writeAtDestruction_(false) {}

TPortableIniFile::TPortableIniFile(const std::string& fileName, TContent content)
    : fileName_(fileName), writeAtDestruction_(false) {
  // Sections begin with the end mark and lines end in CR, which no name,
  // key or value holds (see contentText).
  std::string_view text = content.text;
  while (!text.empty()) {
    text.remove_prefix(1);
    const size_t next = std::min(text.find(endOfFileMark), text.size());
    std::string_view section = text.substr(0, next);
    text.remove_prefix(next);
    const size_t nameEnd = std::min(section.find('\r'), section.size());
    TSection& added = sectionForWriting(std::string(section.substr(0, nameEnd)));
    section.remove_prefix(std::min(nameEnd + 1, section.size()));
    for (size_t lineEnd; (lineEnd = section.find('\r')) != std::string_view::npos; section.remove_prefix(lineEnd + 1)) {
      const std::string_view entry = section.substr(0, lineEnd);
      const size_t equals = entry.find('=');
      // A value that reads back empty is written as two quotes: an empty
      // one would remove the key.
      const std::string value(entry.substr(equals + 1));
      added.store(entry.substr(0, equals), value.empty() ? "\"\"" : quotedWhereNeeded(value));
    }
  }
  modified_ = false;
}

TNewFileResult TPortableIniFile::createFile(bool durable, bool overwrite) {
  TRewrite rewritten = rewrite();
  const std::string& text = rewritten.file.text;
  const TNewFileResult result = !overwrite ? createNewFile(fileName_, text, durable, &stamp_)
                                : overwriteFile(fileName_, text, durable, &stamp_) ? TNewFileResult::created
                                                                          : TNewFileResult::failed;
  if (result == TNewFileResult::created) adopt(std::move(rewritten));
  return result;
}

TPortableIniFile::~TPortableIniFile() {
  if (!writeAtDestruction_) return;
  try {
    updateFile();
  } catch (...) {
    // A destructor must not throw; callers that care have called updateFile().
  }
}

void TPortableIniFile::readFile() {
  TSequentialFile file;
  if (!file.open(fileName_)) {
    readText({});
    // A device under a settings file's name is never rewritten either.
    readFailed_ = pathExists(fileName_) || namesDevice(fileName_);
    if (readFailed_) {
      refuseWrites("could not be read");
      reportUnreadableFile(fileName_);
    }
    return;
  }
  // Taken before the read: a write meanwhile makes it differ from the file.
  stamp_ = file.stamp();
  std::string text;
  text.reserve(static_cast<size_t>(std::max<int64_t>(file.size(), 0)));
  std::vector<char> piece(static_cast<size_t>(std::clamp<int64_t>(file.size() + 1, 4096, maxPieceSize)));
  bool failed = false;
  for (;;) {
    const int64_t got = file.read(piece.data(), piece.size());
    // A read that fails part-way keeps what was read up to then.
    if (got < 0) failed = true;
    if (got <= 0) break;
    text.append(piece.data(), static_cast<size_t>(got));
  }
  readText(std::move(text));
  readFailed_ = failed;
  if (readFailed_) {
    refuseWrites("could not be read to its end");
    reportUnreadableFile(fileName_);
  } else if (!writeRefusal_.empty()) {
    reportDamagedFile(fileName_, writeRefusal_);
  } else if (readInPart_) {
    reportPartlyReadFile(fileName_);
  }
}

void TPortableIniFile::refuseWrites(std::string why) {
  if (writeRefusal_.empty()) writeRefusal_ = std::move(why);
}

void TPortableIniFile::readText(std::string text) {
  sections_.clear();
  sectionsByName_.clear();
  erased_.clear();
  file_ = TFileText{};
  modified_ = false;
  readFailed_ = false;
  readInPart_ = false;
  writeRefusal_.clear();
  endsInsideLine_ = false;
  removesUnread_ = false;
  contentBeforeErase_.reset();
  file_.text = std::move(text);
  const std::string_view all(file_.text);
  file_.textEnd = std::min(all.find(endOfFileMark), all.size());
  if (!trimmed(all.substr(std::min(file_.textEnd + 1, all.size()))).empty()) readInPart_ = true;
  const std::string_view read = all.substr(0, file_.textEnd);
  // Another encoding reads as bytes no settings text holds; a write into it
  // would mix two encodings in one file.
  if (read.size() >= 2 && ((read[0] == '\xff' && read[1] == '\xfe') || (read[0] == '\xfe' && read[1] == '\xff'))) {
    readInPart_ = true;
    refuseWrites("is saved as Unicode (UTF-16), not as ANSI text");
  } else if (read.find('\0') != std::string_view::npos) {
    readInPart_ = true;
    refuseWrites("holds bytes that are no text (another encoding, or damage)");
  }
  // CR LF, CR and LF alone all end a line, also mixed in one file: lines
  // another program appended in LF to a file of CR LF are lines too. New
  // lines take the file's first CR line end, or LF in a file of LF alone.
  const size_t firstCr = read.find('\r');
  if (firstCr != std::string_view::npos)
    lineEnd_ = firstCr + 1 < read.size() && read[firstCr + 1] == '\n' ? "\r\n" : "\r";
  else if (read.find('\n') != std::string_view::npos)
    lineEnd_ = "\n";
  else
    lineEnd_ = "\r\n";
  // An editor's mark of UTF-8 is no part of the first line.
  size_t start = read.substr(0, 3) == "\xef\xbb\xbf" ? 3 : 0;
  TSection* current = nullptr;
  if (start > 0) file_.lines.push_back(TLine{0, 0, TLineKind::other});
  while (start < read.size()) {
    size_t contentEnd = start;
    while (contentEnd < read.size() && read[contentEnd] != '\r' && read[contentEnd] != '\n') ++contentEnd;
    size_t end = contentEnd;
    if (end < read.size() && read[end++] == '\r' && end < read.size() && read[end] == '\n') ++end;
    file_.lines.push_back(TLine{start, 0, TLineKind::other});
    readLine(file_.lines.size() - 1, contentEnd, current);
    // A file the program wrote ends its last line: one that does not was
    // cut off inside it, and the value read there may be the start of one.
    if (!trimmed(read.substr(start, contentEnd - start)).empty()) endsInsideLine_ = contentEnd == end;
    start = end;
  }
  // A write would make what was cut off whole in the file, the damage
  // unseen.
  if (endsInsideLine_) refuseWrites(cutOffInsideLine);
  // The end mark and what follows it stay as they are.
}

void TPortableIniFile::readLine(size_t index, size_t contentEnd, TSection*& current) {
  TLine& line = file_.lines[index];
  if (contentEnd - line.start > maxLineLength) {
    // No setting is that long: a damaged file or one without line ends.
    readInPart_ = true;
    refuseWrites("holds a line too long to be read");
    return;
  }
  const std::string_view text = trimmed(std::string_view(file_.text).substr(line.start, contentEnd - line.start));
  if (text.empty()) return;
  if (text.size() > 2 && text.front() == '[' && text.back() == ']') {
    current = &sectionForWriting(std::string(text.substr(1, text.size() - 2)));
    line.kind = TLineKind::header;
    line.link = static_cast<uint32_t>(file_.headerSections.size());
    file_.headerSections.push_back(current);
    if (current->headerLine == noLine) current->headerLine = index;
    current->lastLine = index;
    return;
  }
  const size_t equals = text.find('=');
  if (current == nullptr || equals == std::string_view::npos || equals == 0) {
    // A comment is the one line a settings file may hold besides headers
    // and entries; anything else is damage, kept as it stands by a write
    // unless it was a header: then no write can tell where the entries
    // below it belong.
    if (text.front() == ';') return;
    readInPart_ = true;
    if (damagedHeader(text)) refuseWrites("holds the line " + quotedLine(text) + ", a section header that lost a bracket");
    return;
  }
  // Kept as the file has it, so that a rewrite keeps the quotes it needs
  // and the blank before a positive number; reads trim it (readBack).
  const std::string_view key = text.substr(0, equals);
  const std::string_view value = text.substr(equals + 1);
  current->lastLine = index;
  std::string folded = upperCase(std::string(key));
  const auto found = current->positions.find(folded);
  if (found == current->positions.end()) {
    if (value.empty()) return;
    current->addRead(std::move(folded), index);
    line.kind = TLineKind::entry;
    return;
  }
  TSection::TEntry& entry = current->Lines[found->second];
  if (value.empty()) {
    // The file removes the key again: the lines that held it and this one
    // read as nothing together, and stay so.
    file_.lines[entry.line].kind = TLineKind::other;
    for (size_t held = entry.line + 1; held < index; ++held)
      if (file_.lines[held].kind == TLineKind::repeat && file_.lines[held].link == entry.line)
        file_.lines[held].kind = TLineKind::other;
    current->store(key, value);
    return;
  }
  // A key repeated keeps its first place and takes the later value.
  entry.written = std::make_unique<TSection::TWritten>(TSection::TWritten{std::string(key), std::string(value)});
  line.kind = TLineKind::repeat;
  line.link = static_cast<uint32_t>(entry.line);
}

std::string TPortableIniFile::contentText() const {
  // Neither CR nor 0x1A is ever stored, so they separate unambiguously.
  std::string text;
  for (const auto& section : sections_) {
    text += endOfFileMark;
    text += section->Name;
    text += '\r';
    section->forEachEntry([&](std::string_view key, std::string_view value, const TSection::TEntry&) {
      text += key;
      text += '=';
      text += readBack(value);
      text += '\r';
    });
  }
  return text;
}

std::string TPortableIniFile::contentTextWithin(const TPortableIniFile& other) const {
  std::string text;
  for (const auto& section : sections_) {
    text += endOfFileMark;
    text += section->Name;
    text += '\r';
    const TSection* there = other.findSection(section->Name);
    if (there == nullptr) continue;
    section->forEachEntry([&](std::string_view key, std::string_view value, const TSection::TEntry&) {
      if (there->find(upperCase(std::string(key))) == nullptr) return;
      text += key;
      text += '=';
      text += readBack(value);
      text += '\r';
    });
  }
  return text;
}

bool TPortableIniFile::holdsMoreEntriesThan(const TPortableIniFile& other) const {
  return std::any_of(sections_.begin(), sections_.end(), [&other](const auto& section) {
    const TSection* there = other.findSection(section->Name);
    return section->positions.size() > (there == nullptr ? 0 : there->positions.size());
  });
}

std::optional<TPortableIniFile::TLineCutOff> TPortableIniFile::lineCutOff() const {
  if (!endsInsideLine_ || writeRefusal_ != cutOffInsideLine || file_.lines.empty()) return std::nullopt;
  const size_t last = file_.lines.size() - 1;
  const std::string_view text = trimmed(file_.content(last));
  if (text.empty() || text.front() == ';') return std::nullopt;
  TLineCutOff cut;
  const TLine& line = file_.lines[last];
  if (line.kind != TLineKind::entry && line.kind != TLineKind::repeat) return cut;
  for (size_t index = last; index-- > 0;) {
    if (file_.lines[index].kind != TLineKind::header) continue;
    cut.section = file_.headerSections[file_.lines[index].link]->Name;
    break;
  }
  const size_t equals = text.find('=');
  cut.key = std::string(trimmed(text.substr(0, equals)));
  cut.value = std::string(readBack(text.substr(equals + 1)));
  return cut;
}

void TPortableIniFile::dropLineCutOff() {
  if (!endsInsideLine_ || file_.lines.empty()) return;
  const size_t start = file_.lines.back().start;
  readText(file_.text.substr(0, start) + file_.text.substr(file_.textEnd));
  modified_ = true;
}

void TPortableIniFile::headWith(const std::string& section) {
  if (section.empty() || holdsLineBreakers(section) || findSection(section) != nullptr) return;
  // An editor's mark of UTF-8 stays first.
  const size_t start = std::string_view(file_.text).substr(0, 3) == "\xef\xbb\xbf" ? 3 : 0;
  std::string text = file_.text;
  text.insert(start, "[" + section + "]" + lineEnd_);
  readText(std::move(text));
  modified_ = true;
}

bool TPortableIniFile::Modified() const {
  return removesUnread_ || (modified_ && !(contentBeforeErase_ && contentText() == *contentBeforeErase_));
}

bool TPortableIniFile::update(const std::function<bool(const std::string& text)>& write) {
  if (!Modified()) {
    modified_ = false;
    contentBeforeErase_.reset();
    return true;
  }
  // Why a save failed is told only where the file holds what the user
  // must mend; one held by another program or read-only says so itself.
  if (!writeRefusal_.empty() && !readFailed_) {
    reportRefusedSave(fileName_, writeRefusal_);
    return false;
  }
  forgetRefusedSave(fileName_);
  if (readFailed_) return false;
  TRewrite rewritten = rewrite();
  if (!write(rewritten.file.text)) return false;
  // What the file holds now is what the next rewrite keeps.
  adopt(std::move(rewritten));
  return true;
}

bool TPortableIniFile::updateFile() {
  return update([this](const std::string& text) { return writeFileAtomically(fileName_, text, &stamp_); });
}

bool TPortableIniFile::updateFileInPlace(bool durable) {
  return update([&](const std::string& text) { return overwriteFile(fileName_, text, durable, &stamp_); });
}

TPortableIniFile::TRewrite TPortableIniFile::rewrite() {
  // An object not read from a file has no lines: its sections all go at
  // the end, in the program's own form.
  const TFileText& old = file_;
  const size_t lineCount = old.lines.size();
  // Which live entry stands on each line, and after which line each
  // section's new entries go.
  std::vector<TSection::TEntry*> entryAt(lineCount, nullptr);
  std::vector<std::pair<size_t, TSection*>> additions;
  for (const auto& section : sections_) {
    if (section->headerLine != noLine) additions.emplace_back(section->lastLine, section.get());
    for (TSection::TEntry& entry : section->Lines)
      if (!entry.removed && entry.line != noLine) entryAt[entry.line] = &entry;
  }
  std::stable_sort(additions.begin(), additions.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  TRewrite rewritten;
  TFileText& file = rewritten.file;
  std::string& text = file.text;
  text.reserve(old.text.size() + 256);
  file.lines.reserve(lineCount + 16);
  rewritten.newLine.assign(lineCount, noLine);
  const auto addLine = [&](TLineKind kind, size_t link) {
    file.lines.push_back(TLine{text.size(), static_cast<uint32_t>(link), kind});
  };
  const auto keep = [&](size_t index, TLineKind kind, size_t link) {
    rewritten.newLine[index] = file.lines.size();
    addLine(kind, link);
    text += old.whole(index);
  };
  const auto addHeader = [&](TSection& section) {
    addLine(TLineKind::header, file.headerSections.size());
    file.headerSections.push_back(&section);
  };
  const auto endLine = [&] {
    if (!text.empty() && text.back() != '\r' && text.back() != '\n') text += lineEnd_;
  };
  const auto addEntry = [&](TSection::TEntry& entry, std::string_view lineEnd) {
    const auto [key, value] = TSection::text(old, entry);
    if (isBlank(key.front()) || key.find('\0') != std::string_view::npos || value.find('\0') != std::string_view::npos)
      rewritten.readsAsWritten = false;
    rewritten.placed.emplace_back(&entry, file.lines.size());
    addLine(TLineKind::entry, 0);
    text += key;
    text += '=';
    // "[a" = "b]" would make the line "[a=b]", a section header when read
    // again: quotes keep it an entry and are taken off by reading.
    const bool quoted = readsAsHeader(key, value);
    if (quoted) text += '"';
    text += value;
    if (quoted) text += '"';
    text += lineEnd;
  };
  // Blank lines go with a section erased for good, so that saves which
  // drop sections do not leave a growing gap behind, and so do the lines
  // that read as its entries, which would fall into the section before.
  bool inErasedSection = false;
  auto addition = additions.begin();
  for (size_t index = 0; index < lineCount; ++index) {
    const TLine& line = old.lines[index];
    switch (line.kind) {
      case TLineKind::other:
        if (inErasedSection) {
          const std::string_view content = trimmed(old.content(index));
          const size_t equals = content.find('=');
          if (content.empty() || (equals != std::string_view::npos && equals > 0)) break;
        }
        keep(index, TLineKind::other, 0);
        break;
      case TLineKind::header: {
        // A section written again after it was erased takes every header
        // it had, so that its new entries stand under one of them.
        TSection* section = old.headerSections[line.link];
        if (section->erased) {
          const auto live = sectionsByName_.find(section->Name);
          section = live != sectionsByName_.end() && live->second->headerLine != noLine ? live->second : nullptr;
        }
        inErasedSection = section == nullptr;
        if (inErasedSection) break;
        rewritten.newLine[index] = file.lines.size();
        addHeader(*section);
        text += old.whole(index);
        if (TSection::TEntry* first = section->newFirst(); first != nullptr && index == section->headerLine) {
          endLine();
          addEntry(*first, lineEnd_);
        }
        break;
      }
      case TLineKind::entry:
        if (TSection::TEntry* entry = entryAt[index]; entry != nullptr && !entry->changed) {
          keep(index, TLineKind::entry, 0);
        } else if (entry != nullptr) {
          rewritten.newLine[index] = file.lines.size();
          const std::string_view whole = old.whole(index);
          addEntry(*entry, whole.substr(old.content(index).size()));
        }
        break;
      case TLineKind::repeat:
        // A later line of the same key stays only while its entry does.
        if (const TSection::TEntry* entry = entryAt[line.link]; entry != nullptr && !entry->changed)
          keep(index, TLineKind::repeat, rewritten.newLine[line.link]);
        break;
    }
    for (; addition != additions.end() && addition->first == index; ++addition) {
      const TSection::TEntry* first = addition->second->newFirst();
      for (TSection::TEntry& entry : addition->second->Lines) {
        if (entry.removed || entry.line != noLine || &entry == first) continue;
        endLine();
        addEntry(entry, lineEnd_);
      }
    }
  }
  for (const auto& section : sections_) {
    if (section->headerLine != noLine) continue;
    endLine();
    // A blank line between sections, as the program writes them.
    if (!text.empty() && !text.ends_with(lineEnd_ + lineEnd_)) {
      addLine(TLineKind::other, 0);
      text += lineEnd_;
    }
    if (section->Name.find('\0') != std::string::npos) rewritten.readsAsWritten = false;
    addHeader(*section);
    text += '[';
    text += section->Name;
    text += ']';
    text += lineEnd_;
    TSection::TEntry* first = section->newFirst();
    if (first != nullptr) addEntry(*first, lineEnd_);
    for (TSection::TEntry& entry : section->Lines)
      if (!entry.removed && &entry != first) addEntry(entry, lineEnd_);
    addLine(TLineKind::other, 0);
    text += lineEnd_;
  }
  file.textEnd = text.size();
  text += std::string_view(old.text).substr(old.textEnd);
  return rewritten;
}

void TPortableIniFile::adopt(TRewrite&& rewritten) {
  if (!rewritten.readsAsWritten) {
    readText(std::move(rewritten.file.text));
    return;
  }
  for (const auto& section : sections_) {
    for (TSection::TEntry& entry : section->Lines)
      if (!entry.removed && !entry.changed && entry.line != noLine) entry.line = rewritten.newLine[entry.line];
    section->headerLine = section->lastLine = noLine;
    section->erased = false;
  }
  // An entry written anew is what its line says now.
  for (const auto& [entry, line] : rewritten.placed) {
    entry->line = line;
    entry->changed = false;
    entry->written.reset();
  }
  file_ = std::move(rewritten.file);
  erased_.clear();
  // Where each section stands now, as reading the text would find it.
  TSection* current = nullptr;
  for (size_t index = 0; index < file_.lines.size(); ++index) {
    const TLine& line = file_.lines[index];
    if (line.kind == TLineKind::header) {
      current = file_.headerSections[line.link];
      if (current->headerLine == noLine) current->headerLine = index;
    } else if (current == nullptr) {
      continue;
    } else if (line.kind == TLineKind::other) {
      const size_t equals = trimmed(file_.content(index)).find('=');
      if (equals == std::string_view::npos || equals == 0) continue;
    }
    current->lastLine = index;
  }
  std::stable_sort(sections_.begin(), sections_.end(),
                   [](const auto& a, const auto& b) { return a->headerLine < b->headerLine; });
  modified_ = false;
  contentBeforeErase_.reset();
}

const TPortableIniFile::TSection* TPortableIniFile::findSection(const std::string& name) const {
  auto found = sectionsByName_.find(holdsLineBreakers(name) ? withoutLineBreakers(name) : name);
  return found == sectionsByName_.end() ? nullptr : found->second;
}

TPortableIniFile::TSection& TPortableIniFile::sectionForWriting(const std::string& name) {
  std::string cleanName = holdsLineBreakers(name) ? withoutLineBreakers(name) : name;
  auto found = sectionsByName_.find(cleanName);
  if (found != sectionsByName_.end()) return *found->second;
  auto section = std::make_unique<TSection>(cleanName, file_);
  // Written again after it was erased, a section of a file read takes its
  // old place there.
  for (auto erased = erased_.rbegin(); erased != erased_.rend(); ++erased) {
    if ((*erased)->Name != cleanName) continue;
    section->headerLine = (*erased)->headerLine;
    section->lastLine = (*erased)->lastLine;
    break;
  }
  TSection& added = *section;
  sections_.push_back(std::move(section));
  sectionsByName_.emplace(std::move(cleanName), &added);
  return added;
}

std::string TPortableIniFile::readString(const std::string& section, const std::string& key,
                                         const std::string& defaultValue) const {
  const TSection* found = findSection(section);
  if (found == nullptr) return defaultValue;
  const TSection::TEntry* entry = found->find(foldedKey(key));
  return entry == nullptr ? defaultValue : std::string(readBack(found->value(*entry)));
}

bool TPortableIniFile::writeString(const std::string& section, const std::string& key, const std::string& value) {
  // "[]" would not read back as a header, and its entries would join the section before it.
  if (section.empty()) return false;
  std::string cleanKey = withoutLineBreakers(key);
  if (!storableKey(cleanKey)) return false;
  const bool cleanValue = !holdsLineBreakers(value);
  // A value written as it stands changes nothing: a file nobody changed is
  // not rewritten. A section made, even empty, is a change.
  const bool newSection = findSection(section) == nullptr;
  if (sectionForWriting(section).store(cleanKey, cleanValue ? value : withoutLineBreakers(value)) || newSection)
    modified_ = true;
  return cleanValue && !holdsLineBreakers(key) && !holdsLineBreakers(section);
}

void TPortableIniFile::writeFirst(const std::string& section, const std::string& key, const std::string& value) {
  if (section.empty()) return;
  writeString(section, key, value);
  if (sectionForWriting(section).placeFirst(foldedKey(key))) modified_ = true;
}

int TPortableIniFile::readInteger(const std::string& section, const std::string& key, int defaultValue) const {
  int value;
  return iniTextToInteger(readString(section, key, ""), value) ? value : defaultValue;
}

void TPortableIniFile::writeInteger(const std::string& section, const std::string& key, int value) {
  writeString(section, key, std::to_string(value));
}

bool TPortableIniFile::readBool(const std::string& section, const std::string& key, bool defaultValue) const {
  return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TPortableIniFile::writeBool(const std::string& section, const std::string& key, bool value) {
  writeString(section, key, value ? "1" : "0");
}

double TPortableIniFile::readFloat(const std::string& section, const std::string& key, double defaultValue) const {
  double value;
  return iniTextToFloat(readString(section, key, ""), value) ? value : defaultValue;
}

TPortableIniFile::TNumberText TPortableIniFile::readNumber(const std::string& section, const std::string& key,
                                                           double& value) const {
  const std::string text = readString(section, key, "");
  if (text.empty()) return TNumberText::absent;
  return iniTextToFloat(text, value) ? TNumberText::number : TNumberText::noNumber;
}

TPortableIniFile::TNumberText TPortableIniFile::readNumber(const std::string& section, const std::string& key,
                                                           int& value) const {
  const std::string text = readString(section, key, "");
  if (text.empty()) return TNumberText::absent;
  return iniTextToInteger(text, value) ? TNumberText::number : TNumberText::noNumber;
}

bool TPortableIniFile::writeFloat(const std::string& section, const std::string& key, long double value) {
  if (!storableFloat(value)) return false;
  writeString(section, key, floatToIniText(static_cast<double>(value)));
  return true;
}

bool TPortableIniFile::sectionExists(const std::string& section) const { return findSection(section) != nullptr; }

void TPortableIniFile::readSections(std::vector<std::string>& sections) const {
  for (const auto& section : sections_) sections.push_back(section->Name);
}

void TPortableIniFile::readSection(const std::string& section, std::vector<std::string>& keys) const {
  const TSection* found = findSection(section);
  if (found == nullptr) return;
  found->forEachEntry([&](std::string_view key, std::string_view, const TSection::TEntry&) { keys.emplace_back(key); });
}

void TPortableIniFile::readSectionValues(const std::string& section, std::vector<std::string>& entries) const {
  const TSection* found = findSection(section);
  if (found == nullptr) return;
  found->forEachEntry([&](std::string_view key, std::string_view value, const TSection::TEntry&) {
    entries.push_back(std::string(key).append("=").append(readBack(value)));
  });
}

void TPortableIniFile::eraseSection(const std::string& section) {
  const TSection* found = findSection(section);
  if (found == nullptr) return;
  if (!modified_ && !contentBeforeErase_) contentBeforeErase_ = contentText();
  sectionsByName_.erase(found->Name);
  for (auto it = sections_.begin(); it != sections_.end(); ++it) {
    if (it->get() == found) {
      // The lines of a file read still name it.
      if (!file_.lines.empty()) {
        (*it)->erased = true;
        erased_.push_back(std::move(*it));
      }
      sections_.erase(it);
      break;
    }
  }
  modified_ = true;
}

bool TPortableIniFile::writeChanges(const TPortableIniFile& before, const TPortableIniFile& after) {
  bool changed = false;
  // A file that takes no writes may hold what the writer removes where
  // reading passed over it: the removal is a change all the same, which
  // the save must refuse rather than report as made.
  const auto removed = [&](bool here) {
    if (here)
      modified_ = true;
    else if (!writeRefusal_.empty())
      removesUnread_ = true;
  };
  for (const auto& section : before.sections_) {
    const TSection* kept = after.findSection(section->Name);
    if (kept == nullptr) {
      // The writer erased the section: what it held goes here, and the
      // section with it unless another program wrote more into it since.
      changed = true;
      const auto here = sectionsByName_.find(section->Name);
      if (here == sectionsByName_.end()) {
        removed(false);
        continue;
      }
      section->forEachEntry([&](std::string_view key, std::string_view, const TSection::TEntry&) {
        removed(here->second->store(key, ""));
      });
      if (here->second->positions.empty()) eraseSection(section->Name);
      continue;
    }
    section->forEachEntry([&](std::string_view key, std::string_view, const TSection::TEntry&) {
      if (kept->find(upperCase(std::string(key))) != nullptr) return;
      changed = true;
      const auto here = sectionsByName_.find(section->Name);
      removed(here != sectionsByName_.end() && here->second->store(key, ""));
    });
  }
  for (const auto& section : after.sections_) {
    const TSection* old = before.findSection(section->Name);
    // A section the writer made stands in the file even while it holds
    // nothing.
    if (old == nullptr && findSection(section->Name) == nullptr) {
      changed = true;
      sectionForWriting(section->Name);
      modified_ = true;
    }
    section->forEachEntry([&](std::string_view key, std::string_view value, const TSection::TEntry&) {
      const TSection::TEntry* was = old ? old->find(upperCase(std::string(key))) : nullptr;
      if (was != nullptr && readBack(old->value(*was)) == readBack(value)) return;
      changed = true;
      if (sectionForWriting(section->Name).store(key, value)) modified_ = true;
    });
    if (section->firstKey.empty() || section->find(section->firstKey) == nullptr) continue;
    const auto here = sectionsByName_.find(section->Name);
    if (here != sectionsByName_.end() && here->second->placeFirst(section->firstKey)) modified_ = true;
  }
  return changed;
}

void TPortableIniFile::keepOnlyWhatOtherHolds(const TPortableIniFile& other) {
  std::vector<std::string> gone;
  for (const auto& section : sections_) {
    const TSection* there = other.findSection(section->Name);
    if (there == nullptr) {
      gone.push_back(section->Name);
      continue;
    }
    std::vector<std::pair<std::string, std::string>> taken;
    section->forEachEntry([&](std::string_view key, std::string_view, const TSection::TEntry&) {
      const TSection::TEntry* held = there->find(upperCase(std::string(key)));
      taken.emplace_back(key, held ? there->value(*held) : std::string_view());
    });
    for (const auto& [key, value] : taken)
      if (section->store(key, value)) modified_ = true;
  }
  for (const std::string& name : gone) eraseSection(name);
}

void TPortableIniFile::eraseNumberedSections(const std::string& prefix, const std::string& suffix, long long first,
                                             long long last) {
  // Numbers as std::to_string writes them: no sign, no leading zero.
  constexpr size_t maxDigits = 18;
  std::vector<std::string> doomed;
  for (const auto& section : sections_) {
    const std::string& name = section->Name;
    if (name.size() <= prefix.size() + suffix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
      continue;
    }
    const std::string_view digits(name.data() + prefix.size(), name.size() - prefix.size() - suffix.size());
    if (digits.size() > maxDigits || (digits.size() > 1 && digits[0] == '0')) continue;
    long long number = 0;
    bool numeric = true;
    for (char c : digits) {
      numeric = numeric && c >= '0' && c <= '9';
      number = number * 10 + (c - '0');
    }
    if (numeric && number >= first && number <= last) doomed.push_back(name);
  }
  for (const std::string& name : doomed) eraseSection(name);
}

template <class TNumber>
TNumber TNumberReader::read(const std::string& section, const std::string& key, TNumber defaultValue) {
  TNumber value = defaultValue;
  if (ini_.readNumber(section, key, value) == TPortableIniFile::TNumberText::noNumber) {
    unread_.push_back({key, ini_.readString(section, key, "")});
    return defaultValue;
  }
  return value;
}

double TNumberReader::readFloat(const std::string& section, const std::string& key, double defaultValue) {
  return read(section, key, defaultValue);
}

int TNumberReader::readInteger(const std::string& section, const std::string& key, int defaultValue) {
  return read(section, key, defaultValue);
}

bool TNumberReader::readBool(const std::string& section, const std::string& key, bool defaultValue) {
  return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

std::string TNumberReader::firstUnread() const {
  return unread_.empty() ? std::string() : noNumberText(unread_.front().key, unread_.front().text);
}

std::string noNumberText(const std::string& key, const std::string& text) {
  return "holds " + quotedForNotice(text) + " for " + key + ", which is no number";
}

std::string TPortableIniFile::fontStyleToStr(TFontStyles styles) {
  std::string letters;
  if (styles & fsBold) letters += 'B';
  if (styles & fsItalic) letters += 'I';
  if (styles & fsUnderline) letters += 'U';
  if (styles & fsStrikeOut) letters += 'S';
  return letters;
}

TFontStyles TPortableIniFile::strToFontStyle(const std::string& text) {
  TFontStyles styles = 0;
  for (char c : text) {
    switch (c) {
      case 'B': styles |= fsBold; break;
      case 'I': styles |= fsItalic; break;
      case 'U': styles |= fsUnderline; break;
      case 'S': styles |= fsStrikeOut; break;
      default: break;
    }
  }
  return styles;
}

TFontStyles TPortableIniFile::readFontStyle(const std::string& section, const std::string& key,
                                            TFontStyles defaultStyles) const {
  return strToFontStyle(readString(section, key, fontStyleToStr(defaultStyles)));
}

void TPortableIniFile::writeFontStyle(const std::string& section, const std::string& key, TFontStyles styles) {
  writeString(section, key, fontStyleToStr(styles));
}

void TPortableIniFile::readFont(const std::string& section, const std::string& prefix, TFontProperties& font) const {
  if (!sectionExists(section)) return;
  std::string name = readString(section, prefix + "Name", "");
  if (!name.empty()) font.name = name;
  font.style = strToFontStyle(readString(section, prefix + "Style", ""));
  // A character set is a byte and a pitch one of three: other numbers keep
  // the font's own rather than make a font Windows cannot create.
  int charSet = readInteger(section, prefix + "CharSet", font.charSet);
  if (charSet >= 0 && charSet <= 255) font.charSet = charSet;
  int pitch = readInteger(section, prefix + "Pitch", static_cast<int>(font.pitch));
  if (pitch >= 0 && pitch <= 2) font.pitch = static_cast<TFontPitch>(pitch);
  const int color = readInteger(section, prefix + "Color", font.color);
  if (isValidColor(color)) font.color = color;
  // A font of thousands of points makes every glyph a bitmap of megabytes.
  const int size = readInteger(section, prefix + "Size", font.size);
  if (size >= 1 && size <= largestFontSize) font.size = size;
}

void TPortableIniFile::writeFont(const std::string& section, const std::string& prefix, const TFontProperties& font) {
  writeString(section, prefix + "Name", font.name);
  writeString(section, prefix + "Style", fontStyleToStr(font.style));
  writeInteger(section, prefix + "CharSet", font.charSet);
  writeInteger(section, prefix + "Pitch", static_cast<int>(font.pitch));
  writeInteger(section, prefix + "Color", font.color);
  writeInteger(section, prefix + "Size", font.size);
}

// Scientific notation, 23 characters: a space or "-", one digit, ".", 14
// digits, "E", the exponent's sign and 4 digits, whatever the locale.
std::string floatToIniText(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  // The sign goes in front by itself, so that -0 keeps both its sign and
  // the width of the form.
  const bool negative = std::signbit(value);
  const double magnitude = std::fabs(value);
  char digits[48];
  auto result = std::to_chars(digits, digits + sizeof digits, magnitude, std::chars_format::scientific,
                              static_cast<int>(floatMantissaDecimals));
  std::string_view formatted(digits, static_cast<size_t>(result.ptr - digits));
  if (magnitude > largestRoundedFloat) {
    // Rounded to 15 digits, the largest values lie beyond the double range
    // and would read back as nothing: those are cut instead of rounded.
    result = std::to_chars(digits, digits + sizeof digits, magnitude, std::chars_format::scientific,
                           static_cast<int>(floatMantissaDecimals) + 3);
    std::string_view longer(digits, static_cast<size_t>(result.ptr - digits));
    const size_t exponentMark = longer.find('e');
    std::string cut = std::string(longer.substr(0, 2 + floatMantissaDecimals)) + std::string(longer.substr(exponentMark));
    std::copy(cut.begin(), cut.end(), digits);
    formatted = std::string_view(digits, cut.size());
  }
  size_t exponentMark = formatted.find('e');
  std::string_view mantissa = formatted.substr(0, exponentMark);
  char exponentSign = formatted[exponentMark + 1];
  std::string_view exponent = formatted.substr(exponentMark + 2);

  std::string text;
  text += negative ? '-' : ' ';
  text += mantissa;
  text += 'E';
  text += exponentSign;
  text.append(floatExponentDigits - exponent.size(), '0');
  text += exponent;
  return text;
}

bool storableFloat(long double value) { return holdsAsNumber(value); }

bool storableEntry(const std::string& key, const std::string& value) {
  return storableKey(key) && !holdsLineBreakers(key) && !holdsLineBreakers(value);
}

std::string quotedWhereNeeded(const std::string& text) {
  if (text.empty()) return text;
  bool enclosed = text.size() >= 2 && text.front() == '"' && text.back() == '"';
  if (enclosed || isBlank(text.front()) || isBlank(text.back())) return '"' + text + '"';
  return text;
}

// Leading spaces, an optional sign, digits with an optional "." and more
// digits (at least one digit in all), an optional exponent with at least one
// digit; nothing else may follow.
bool iniTextToFloat(const std::string& text, double& value) {
  size_t i = 0;
  const size_t n = text.size();
  auto isDigit = [&](size_t at) { return at < n && text[at] >= '0' && text[at] <= '9'; };
  while (i < n && text[i] == ' ') ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  size_t numberStart = i;
  size_t mantissaDigits = 0;
  while (isDigit(i)) ++i, ++mantissaDigits;
  if (i < n && text[i] == '.') {
    ++i;
    while (isDigit(i)) ++i, ++mantissaDigits;
  }
  if (mantissaDigits == 0) return false;
  if (i < n && (text[i] == 'E' || text[i] == 'e')) {
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    if (!isDigit(i)) return false;
    while (isDigit(i)) ++i;
  }
  if (i != n) return false;

  // The sign was taken above: from_chars reads none.
  std::string_view number = std::string_view(text).substr(numberStart);
  double parsed = 0;
  auto result = std::from_chars(number.data(), number.data() + number.size(), parsed);
  if (result.ptr != number.data() + number.size()) return false;
  if (result.ec == std::errc::result_out_of_range) {
    // Too large is no usable number; too small is the nearest subnormal or 0.
    parsed = std::strtod(std::string(number).c_str(), nullptr);
    if (std::isinf(parsed)) return false;
  } else if (result.ec != std::errc()) {
    return false;
  }
  value = negative ? -parsed : parsed;
  return true;
}

// Decimal digits, or hexadecimal ones after "$", "x" or "0x"; hexadecimal
// texts may give any 32-bit pattern (system colours are written that way by
// other tools), decimal ones must fit a signed 32-bit integer.
bool iniTextToInteger(const std::string& text, int& value) {
  size_t i = 0;
  const size_t n = text.size();
  while (i < n && text[i] == ' ') ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  bool hexadecimal = false;
  if (i < n && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    hexadecimal = true;
    ++i;
  } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hexadecimal = true;
    i += 2;
  }
  const uint64_t limit = hexadecimal ? 0xFFFFFFFFull : (negative ? 2147483648ull : 2147483647ull);
  uint64_t magnitude = 0;
  size_t digits = 0;
  for (; i < n; ++i, ++digits) {
    char c = text[i];
    unsigned digit;
    if (c >= '0' && c <= '9')
      digit = static_cast<unsigned>(c - '0');
    else if (hexadecimal && c >= 'a' && c <= 'f')
      digit = static_cast<unsigned>(c - 'a' + 10);
    else if (hexadecimal && c >= 'A' && c <= 'F')
      digit = static_cast<unsigned>(c - 'A' + 10);
    else
      return false;
    magnitude = magnitude * (hexadecimal ? 16 : 10) + digit;
    if (magnitude > limit) return false;
  }
  if (digits == 0) return false;
  uint32_t bits = static_cast<uint32_t>(magnitude);
  if (negative) bits = 0u - bits;
  value = static_cast<int32_t>(bits);
  return true;
}
