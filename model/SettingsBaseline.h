#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/PortableIniFile.h"

// What an object's settings were in its file when it read them or last
// saved them, so that a save writes only what changed since. A file that
// could not be read is thus never overwritten with the defaults that stood
// in for it, unless the user changed them, and a file nobody changed is not
// written at all (a read-only one raises no failure).
class TSettingsBaseline {
 public:
  // Writes the object's settings into a settings file. At a save it writes
  // over what it gave last: it removes a key by writing it empty and a
  // section (a list it writes anew, an entry deleted) by erasing it; a key
  // it leaves out keeps what the file holds.
  using TWriter = std::function<void(TPortableIniFile& ini)>;

  // After reading the file, readable or not: what the writer gives now is
  // what the file holds as far as the object knows. When the file is
  // missing, the next save writes everything.
  void take(const std::string& fileName, const TWriter& write);
  // The same, where the file was read as a whole into read: what the file
  // holds stands for what the object shows, so that a value the object
  // corrected while loading (a window moved back onto the screen), or one
  // the file did not hold yet, is saved; not so for a file read only in
  // part, which is written only for the user's own changes, nor for a
  // number the file spells so that it reads as none: the file keeps that
  // text until the user gives a value, and is named for it.
  void take(const std::string& fileName, const TWriter& write, const TPortableIniFile& read);
  // As the take above, for one part of a file that holds more (a dialog's
  // place among the other windows' layout): what the file held beside the
  // part is known too, so that a save of the part checks the whole file,
  // putting back what another program cut out of any of it.
  void takeWithTheRest(const std::string& fileName, const TWriter& write, const TPortableIniFile& read);
  // As the first take, given the file as the caller just read it, which is
  // thus not read again (a list of thousands of items reads each once):
  // what the writer gives stands for what the file holds, not the read,
  // which may hold less than the object shows (a record cut short).
  void takeAsShown(const std::string& fileName, const TWriter& write, const TPortableIniFile& read);
  // As take with read, for a file read whole whose writer keeps a form of
  // its own (paths in placeholder form, entries numbered afresh): what the
  // file holds, entry by entry, is the baseline, so that the next save
  // writes that form wherever the file spells an entry otherwise; no
  // number the writer gives stands in for the file's text.
  void takeWhatFileHolds(const std::string& fileName, const TWriter& write, const TPortableIniFile& read);
  // As the first take, for a file of numbered sections (fields, a chart's
  // sources) given as read: those it holds beyond what the object shows
  // are left over, and one the object adds under such a number replaces
  // it whole instead of taking its keys.
  void takeWithNumberedSections(const std::string& fileName, const TWriter& write, const TPortableIniFile& read);
  // As take, for a record's file just read or written whole, which thus
  // exists (a folder of thousands of transactions is not looked up once
  // more for each), given as read: what the writer gives that the file
  // lacks (the entry count of a file from before records had one) is no
  // part of the baseline, so that the record's next save writes it.
  void takeOfExistingFile(const std::string& fileName, const TWriter& write, const TPortableIniFile& read);
  // What another object knew of a file it leaves to this one (a transaction
  // written over the file of one that is gone): the next save writes what
  // this object's writer gives differently from that.
  void takeOver(TSettingsBaseline&& other, const TWriter& write);
  // After the file was found missing, or where what the object holds is
  // to stand for the file whole (one damaged, then changed): the next save
  // writes everything, over the file as it stands then (see save).
  void forget() { baseline_.reset(); }
  // The file was moved under another name (a package renamed): what was
  // known of it is the file's there, against which the next save checks it.
  void movedTo(const std::string& fileName) {
    if (baseline_) fileName_ = fileName;
  }
  // Takes again what the writer given to take gives now: what the owner
  // settled after loading (a place for a view the file did not place) is
  // no change of the user's.
  void retake();
  // The file holds for this entry what read gave, not what the object took
  // from it: a value the object had to correct while loading (a stored
  // date no picker can show) is saved as corrected.
  void takeAsRead(const std::string& section, const std::string& key, const TPortableIniFile& read);

  // What the file holds in the user's words ("the asset Euro Bond Fund of
  // Growth Portfolio"), for the notice of a save that put back what
  // another program cut out of it; the file's name where none is given.
  void describe(std::string object) { setAside(std::move(object), fileHeld()); }

  // Writes into the file what the writer gives differently from the
  // baseline, which then becomes what the writer gave over it. A file that cannot
  // be read is not written, and nothing changed writes nothing; a file
  // missing by then is written whole. Without a baseline the file as it
  // stands is one: what the writer gives over it is written whole, what it
  // removes goes, and what it leaves out keeps what the file holds. A file
  // that lost entries the baseline held (cut short, cut at its top or
  // inside its last line, lines taken out by another program while the
  // program ran) has what the object holds for them put back, and is named
  // for it: what changed alone, written over what is left, would lose the
  // rest. True when nothing needed writing or the write succeeded.
  bool save(const std::string& fileName, const TWriter& write);
  // As save, for a file whose old text is of no value once replaced (a
  // soft transaction's, which a system run makes again by the thousand):
  // written over in place, and flushed to the disk only when durable (see
  // overwriteFile). A file missing by then is not made.
  bool saveInPlace(const std::string& fileName, const TWriter& write, bool durable);
  // A save where the object knows it changed nothing since it read or saved
  // the file (the close saves every object so): what another program cut
  // out of the file is put back and told as save does it, and nothing else
  // is written. Cheap: a file whose size and time are as this program left
  // it is not read. found: the file's stamp where the caller looked it up
  // already.
  bool saveUnchanged(const std::string& fileName, const TWriter& write,
                     const std::optional<TFileStamp>& found = std::nullopt);
  // True when the file, found with this stamp (unknown: missing), can have
  // lost nothing this baseline knows: there is none of it, or the file is
  // as this program left it.
  bool leftAsItWas(const std::string& fileName, const TFileStamp& found) const;

  // The file as the writer would make it anew.
  static std::unique_ptr<TPortableIniFile> written(const std::string& fileName, const TWriter& write);
  // What a save now compares the writer's settings with: the baseline, or
  // the file as it stands where there is none (see save).
  std::unique_ptr<TPortableIniFile> comparedWith(const std::string& fileName) const;
  // What the writer gives written over settings, as a save writes it over
  // what it compares with.
  static std::unique_ptr<TPortableIniFile> writtenOver(const TPortableIniFile& settings, const TWriter& write);

 private:
  // Writes the file as a save made it (see TPortableIniFile::updateFile).
  using TUpdate = std::function<bool(TPortableIniFile& ini)>;
  bool saveChanges(const std::string& fileName, const TWriter& write, const TUpdate& update);
  // Writes what changed from the baseline, given it and what the writer
  // gives now, into the file as it stands; known: before is a baseline of
  // this file, not nothing. An entry before holds that the file lacks, and
  // the object still holds, another program cut out: it is put back, and
  // told; what the file holds otherwise stays.
  // Nothing changed: the file is written only where it lost entries.
  bool commit(const std::string& fileName, const TWriter& write, const TPortableIniFile& before,
              const TPortableIniFile& now, bool known, bool changed, const TUpdate& update);

  // Held as one text, not as a settings object: a folder of thousands of
  // transactions keeps one for each.
  static std::string compact(const TPortableIniFile& ini);
  // A baseline of another file says nothing about this one, nor one of a
  // file deleted or moved away since; found: the file's stamp now.
  bool knows(const std::string& fileName, TFileStamp& found) const;
  // Takes the baseline; with read, the numbered sections it holds beyond
  // what the object shows are taken as left over.
  void takeFrom(const std::string& fileName, const TWriter& write, const TPortableIniFile* read);
  // True when the numbered sections the object adds can go into the file
  // as it stands apart from those there; false, and why is told, when
  // another program added one of the same number since the baseline.
  bool addsNumberedSectionsApart(const TPortableIniFile& before, const TPortableIniFile& now,
                                 TPortableIniFile& asItStands);
  std::unique_ptr<TPortableIniFile> baseline() const;
  // What the writer gives written over the baseline: a key is removed only
  // where the writer means it (writes it empty, erases its section); one it
  // leaves out for a reason of its own (a zoomed window, a control not
  // made) keeps what the file holds. Known: there is a baseline.
  std::unique_ptr<TPortableIniFile> writtenOverBaseline(const std::string& fileName, const TWriter& write) const;
  // What reading the file gives now, nothing where it is missing.
  static std::unique_ptr<TPortableIniFile> asItStands(const std::string& fileName);

  TWriter write_;
  std::string fileName_;
  // The file's size and time as this program last read or wrote it.
  TFileStamp stamp_;
  // Where the baseline holds entries the file did not (defaults that stood
  // in for what a file without them, or one read in part, left out), the
  // entries the file held: only those can another program have cut out.
  // None where every entry of the baseline stood in the file.
  const std::optional<std::string>& fileHeld() const;
  void setFileHeld(std::optional<std::string> fileHeld);
  // What describe gave; empty when nothing did.
  const std::string& object() const;
  void setAside(std::string object, std::optional<std::string> fileHeld);
  // Numbered sections the file held when the baseline was taken that the
  // object did not show (left over beyond a count): one the object adds
  // replaces such a section whole.
  const std::vector<std::string>& leftOver() const;
  void setLeftOver(std::vector<std::string> leftOver);
  // What few baselines hold, apart: a folder of thousands of transactions
  // keeps a baseline for each.
  struct TAside {
    std::string object;
    std::optional<std::string> fileHeld;
    std::vector<std::string> leftOver;
  };
  std::shared_ptr<const TAside> aside_;
  std::optional<std::string> baseline_;
};
