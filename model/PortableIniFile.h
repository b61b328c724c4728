#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/FontProperties.h"
#include "platform/FileSystem.h"

// The program's own settings-file reader and writer. The whole file is read
// into memory at construction; reads and writes work on that copy; the file
// is rewritten only when something was written, by updateFile() or at
// destruction. Section names compare exactly, keys without regard to case.
// Values are read back trimmed and without enclosing double quotes (see
// quotedWhereNeeded). Lines longer than 16 MB are skipped when reading.
//
// CR LF, CR and LF alone each end a line. A rewrite of a file that was
// read keeps every line the writes did not touch as it stood: comments,
// lines that are no entry, blanks and each line's own line end, so that
// what another program or the user wrote by hand is never lost to a save.
// A file that cannot be rewritten so (another encoding, a damaged section
// header, bytes that are no text, a last line cut off, a read that failed)
// takes no writes at all: updateFile refuses it and says why (see
// writeRefusal). After a save the object holds what reading the file would
// give, without reading it again.
class TPortableIniFile {
 public:
  // Reads the file at once; a missing or unreadable file gives an empty object.
  explicit TPortableIniFile(const std::string& fileName);
  // An empty object for a file about to be made with createFile: nothing is
  // read, and nothing is written at destruction.
  struct TNewFile {};
  TPortableIniFile(const std::string& fileName, TNewFile);
  // The file's whole text, read already (see TFileReadAhead): the object
  // is what reading the file would give.
  // stamp: the file's when it was read, where known.
  struct TReadText {
    std::string_view text;
  };
  TPortableIniFile(const std::string& fileName, TReadText read, const TFileStamp& stamp = {});
  // What contentText gave: the object holds those sections and entries,
  // for no file (nothing is written at destruction).
  struct TContent {
    std::string_view text;
  };
  TPortableIniFile(const std::string& fileName, TContent content);
  // Writes the file when modified; a failure is swallowed here, so callers
  // that must know call updateFile() first.
  virtual ~TPortableIniFile();
  TPortableIniFile(const TPortableIniFile&) = delete;
  TPortableIniFile& operator=(const TPortableIniFile&) = delete;

  // Writes the file when modified, replacing it only once the new text is
  // complete on disk. True when nothing needed writing or the write succeeded;
  // on failure the file keeps its old content and the object stays modified.
  bool updateFile();
  // As updateFile, written over the file in place, flushed to the disk only
  // when durable (see overwriteFile): for files whose old text is of no
  // value once replaced. A file missing by then is not made.
  bool updateFileInPlace(bool durable);

  // Writes the object into a file of its name that does not exist yet (see
  // createNewFile), or with overwrite over one whose text is of no value any
  // more (see overwriteFile), and then holds what reading that file would
  // give.
  TNewFileResult createFile(bool durable, bool overwrite = false);

  // True when the object holds what the file does not: a section erased
  // and written again with the same entries is no change; a removal of
  // what a file that takes no writes may hold unread is one.
  bool Modified() const;
  // True when the file exists but could not be read to its end, so that
  // loaders can tell an unreadable file from a missing one.
  bool readFailed() const { return readFailed_; }
  // True when reading passed over part of the file: lines that are neither
  // a section header, an entry of a section nor a comment (a header that
  // lost a bracket, another encoding, random bytes), NUL bytes, or a line too long
  // to keep. What the object holds is then less than the file; such a file
  // is told of (see reportPartlyReadFile).
  bool readInPart() const { return readInPart_; }
  // True when reading kept every line of the file, so that a rewrite loses
  // nothing of it.
  bool readWhole() const { return !readFailed_ && !readInPart_; }
  // Why a rewrite would lose what the file holds, as a notice tells it
  // after the file's name ("is saved as Unicode (UTF-16); save it again as
  // ANSI text"); empty when the file takes writes. One place decides it
  // for every writer: updateFile refuses such a file.
  const std::string& writeRefusal() const { return writeRefusal_; }
  // True when the file's last line has no line end (blanks and the end
  // mark after the last line end aside): a file the program wrote was cut
  // off inside it, and the value read there may be the start of one.
  bool endsInsideLine() const { return endsInsideLine_; }
  const std::string& FileName() const { return fileName_; }
  // The size and time of the file as read, or as last written through this
  // object; unknown where neither was told.
  const TFileStamp& stamp() const { return stamp_; }

  // The last line where the file ends inside it (see endsInsideLine), in a
  // file that takes writes but for it: the entry it holds as read, with an
  // empty key where it holds none (a key cut before its "="); nothing
  // where no line is cut so, the line cut is a comment, or the file is
  // damaged otherwise.
  struct TLineCutOff {
    std::string section;
    std::string key;
    std::string value;
  };
  std::optional<TLineCutOff> lineCutOff() const;
  // Takes that line out: the object holds what reading the file without it
  // gives, and the next rewrite writes the file so.
  void dropLineCutOff();
  // Makes the section the file's first, with a header above every line of
  // it (a file whose first lines another program cut, its first header
  // among them): the entries that stood above any section are the
  // section's again, as the file held them.
  void headWith(const std::string& section);

  std::string readString(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const;
  // An empty value removes the key. CR, LF and 0x1A in keys and values
  // become spaces (they would end a line or the file); a key that is empty,
  // blank or holds "=" cannot be stored and the write is ignored, as is an
  // empty section name. True when what was given is stored as given.
  bool writeString(const std::string& section, const std::string& key, const std::string& value);

  // As writeString, for a key that stands first in its section (a count of
  // the entries below it, which a file cut short then never keeps without
  // them): new there, or standing below another entry, it goes right below
  // the section's header, and so it does in a file writeChanges writes it to.
  void writeFirst(const std::string& section, const std::string& key, const std::string& value);

  int readInteger(const std::string& section, const std::string& key, int defaultValue) const;
  void writeInteger(const std::string& section, const std::string& key, int value);

  virtual bool readBool(const std::string& section, const std::string& key, bool defaultValue) const;
  virtual void writeBool(const std::string& section, const std::string& key, bool value);

  double readFloat(const std::string& section, const std::string& key, double defaultValue) const;
  // What a key holds for a number: nothing (the key missing, or empty as a
  // write of nothing leaves it), a number, given in value, or text that
  // reads as none ("62,5", "1E300" for an integer). A default taken for the
  // last would be written over the text by the next save.
  enum class TNumberText { absent, number, noNumber };
  TNumberText readNumber(const std::string& section, const std::string& key, double& value) const;
  TNumberText readNumber(const std::string& section, const std::string& key, int& value) const;
  // A value that would not read back as a number (see storableFloat) is
  // refused: nothing is stored and the result is false.
  bool writeFloat(const std::string& section, const std::string& key, long double value);

  // Writes here what the writer's text `after` holds differently from its
  // earlier text `before`: entries changed, added or removed, sections
  // erased. Entries the writer left as they were keep what this file holds.
  // True when `after` differs from `before`.
  bool writeChanges(const TPortableIniFile& before, const TPortableIniFile& after);
  // Entries other holds too take the value other holds; the rest go.
  void keepOnlyWhatOtherHolds(const TPortableIniFile& other);
  // What contentText gives of the entries other holds too, with the values
  // held here: each key looked up there once.
  std::string contentTextWithin(const TPortableIniFile& other) const;
  // True when a section here holds more entries than other's of the name,
  // or one other lacks holds any.
  bool holdsMoreEntriesThan(const TPortableIniFile& other) const;

  // The sections and entries as reading gives them back, in a compact form
  // that TContent takes back; also for telling whether a rewrite changed
  // anything.
  std::string contentText() const;

  bool sectionExists(const std::string& section) const;
  // The names of the sections, in file order; appended to the target.
  void readSections(std::vector<std::string>& sections) const;
  // Append to the target without clearing it; nothing when the section is missing.
  void readSection(const std::string& section, std::vector<std::string>& keys) const;
  void readSectionValues(const std::string& section, std::vector<std::string>& entries) const;
  // Virtual for a copy standing for a file as written, which keeps there
  // what another program added to a section a writer writes anew.
  virtual void eraseSection(const std::string& section);
  // Erases the sections named prefix, a number from first to last and suffix
  // ("Fav12", "3_symbols"). Only the sections the file holds are looked at,
  // so a range taken from the file itself never makes a save slow.
  void eraseNumberedSections(const std::string& prefix, const std::string& suffix, long long first, long long last);

  static std::string fontStyleToStr(TFontStyles styles);
  static TFontStyles strToFontStyle(const std::string& text);
  TFontStyles readFontStyle(const std::string& section, const std::string& key, TFontStyles defaultStyles) const;
  void writeFontStyle(const std::string& section, const std::string& key, TFontStyles styles);

  // Six keys: prefix + "Name", "Style", "CharSet", "Pitch", "Color", "Size".
  // readFont changes nothing when the section is missing.
  void readFont(const std::string& section, const std::string& prefix, TFontProperties& font) const;
  void writeFont(const std::string& section, const std::string& prefix, const TFontProperties& font);

 private:
  struct TSection;
  // A line of the file as read: where it begins (it ends where the next one
  // does) and what reading made of it, so that a rewrite can keep it as it
  // stood. Small, for a large file holds millions of them.
  enum class TLineKind : unsigned char { other, header, entry, repeat };
  struct TLine {
    size_t start = 0;
    // header: the section it opens, in headerSections; repeat: the line of
    // the entry whose key it repeats.
    uint32_t link = 0;
    TLineKind kind = TLineKind::other;
  };
  // The text of a file as read or last written, and its lines.
  struct TFileText {
    std::string text;
    std::vector<TLine> lines;
    std::vector<TSection*> headerSections;
    size_t textEnd = 0;  // where the end mark stands, or the text's size

    // A line with its line end, and without it.
    std::string_view whole(size_t line) const;
    std::string_view content(size_t line) const;
  };
  // A rewrite's text and lines, and where the lines it kept and the
  // entries it wrote stand in it.
  struct TRewrite;

  void readFile();
  // Takes the file's whole text as read: sections, entries and its lines.
  void readText(std::string text);
  void readLine(size_t index, size_t contentEnd, TSection*& current);
  void refuseWrites(std::string why);
  // The file's text with the writes made since it was read: every line
  // they did not touch as it stood. Changes nothing here.
  TRewrite rewrite();
  // Holds what reading the rewrite's text would give, once it is written.
  void adopt(TRewrite&& rewritten);
  bool update(const std::function<bool(const std::string& text)>& write);
  const TSection* findSection(const std::string& name) const;
  TSection& sectionForWriting(const std::string& name);

  std::string fileName_;
  TFileStamp stamp_;
  bool modified_ = false;
  bool readFailed_ = false;
  bool readInPart_ = false;
  std::string writeRefusal_;
  bool endsInsideLine_ = false;
  // writeChanges removed what this file, taking no writes, may hold where
  // reading passed over it.
  bool removesUnread_ = false;
  bool writeAtDestruction_ = true;
  // The text as read and its lines, empty for an object not read from a
  // file: the entries read stand there, not in copies of their own; and
  // the line end new lines take.
  TFileText file_;
  std::string lineEnd_ = "\r\n";
  // Sections erased from a file read, kept for the lines that name them.
  std::vector<std::unique_ptr<TSection>> erased_;
  // What the file held when the first section was erased: savers erase a
  // section to write it anew, which alone must not rewrite the file.
  std::optional<std::string> contentBeforeErase_;
  std::vector<std::unique_ptr<TSection>> sections_;                 // in file order, then creation order
  std::unordered_map<std::string, TSection*> sectionsByName_;       // exact names
};

// Reads the numbers of one record from a file: a key that is absent gives
// its default, as readFloat and readInteger do, but every value that is no
// number is kept, so that the loader can refuse the file or keep the value
// as the file spells it instead of taking a default that a save would write
// over it.
class TNumberReader {
 public:
  struct TUnread {
    std::string key;
    std::string text;  // as reading gives it back
  };

  explicit TNumberReader(const TPortableIniFile& ini) : ini_(ini) {}
  double readFloat(const std::string& section, const std::string& key, double defaultValue);
  int readInteger(const std::string& section, const std::string& key, int defaultValue);
  bool readBool(const std::string& section, const std::string& key, bool defaultValue);

  // The values that were no number, in the order they were read.
  const std::vector<TUnread>& unread() const { return unread_; }
  // The first of them as a notice tells it after the file's name, empty
  // when every number read.
  std::string firstUnread() const;

 private:
  template <class TNumber>
  TNumber read(const std::string& section, const std::string& key, TNumber defaultValue);

  const TPortableIniFile& ini_;
  std::vector<TUnread> unread_;
};

// A value that is no number, as a notice tells it after the file's name:
// `holds "62,5" for Stocks, which is no number`, a long text cut.
std::string noNumberText(const std::string& key, const std::string& text);

// The locale-independent number forms of settings files, also used by the
// files that store numbers the same way.
std::string floatToIniText(double value);
// True when the value is a number the float form holds: finite and within
// the range of a double. Extended values beyond it would be written as
// infinities, which read back as no number at all.
bool storableFloat(long double value);
// True when writeString stores the key and the value as they are, so that
// they read back unchanged (the value after quotedWhereNeeded).
bool storableEntry(const std::string& key, const std::string& value);
// The value in double quotes when reading it back would change it (blanks
// at its ends, or enclosing quotes of its own), else the value itself.
std::string quotedWhereNeeded(const std::string& value);
bool iniTextToFloat(const std::string& text, double& value);
bool iniTextToInteger(const std::string& text, int& value);
