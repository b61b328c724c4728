#pragma once
#include <string>
#include <vector>

class TPortableIniFile;

// Whether what a loader read of a record file is the whole record its
// writer wrote. Reading takes a file emptied, or cut off at its end, for a
// record whose missing keys hold their defaults: only the loader knows
// which keys every save writes, and tells the reader here.

// A key every save writes, whatever the record holds; with an empty key,
// the section alone (it may hold nothing).
struct TWrittenKey {
  std::string section;
  std::string key;
  // A text the user may leave empty, written even so, as "", by the saves
  // that write an entry count (see carriesEntryCount); then the key alone
  // is looked for. The file's own form leaves such a key out when empty,
  // so a file without the count lacks it without having lost it.
  bool evenEmpty = false;
};

// Whether the file carries the entry count this program's saves write
// (see beginEntryCount) in its first section: only then does a text left
// out tell a lost line from a value left empty.
bool carriesEntryCount(const TPortableIniFile& ini);

// Why the record read is not whole: "cannot be read", "could not be read
// whole" (see TPortableIniFile::readWhole), "is empty" (no section at all),
// why it is cut short (see recordCutShort) or, given the sections its
// count counts, holds fewer entries (see entriesCutOff). Empty for a whole
// record, and for a file that does not exist, which holds no record to be
// whole.
std::string recordFault(const TPortableIniFile& ini, const std::vector<TWrittenKey>& writtenAlways,
                        const std::vector<std::string>& counted = {});

// Why a record that reads as settings was cut short (a copy or a write
// broken off, a disk that filled up), defaults standing in for what is
// gone: "is cut off inside its last line" (see
// TPortableIniFile::endsInsideLine), "lacks its section S" or "lacks K in
// section S" (the first key missing or empty, in the order given; a text
// left empty only where the file carries its count); empty when it is
// not. A line that is no entry (a note typed in) is no damage of the
// record here; a section header that lost a bracket is (see
// TPortableIniFile::writeRefusal): the entries below it fell into the
// section before.
std::string recordCutShort(const TPortableIniFile& ini, const std::vector<TWrittenKey>& writtenAlways);

// A record's save writes, as the first key of its first section, how many
// entries its own sections hold (this key among them), so that one cut off
// exactly at a line end, where no key every save writes tells it, is known
// by holding fewer. The sections counted are the record's own, the first
// holding the count; the windows' sizes and places of the object are not
// among them, so that a window's setting alone writes no other key. A
// writer begins with beginEntryCount and ends with endEntryCount, into an
// object that holds nothing else.
void beginEntryCount(TPortableIniFile& ini, const std::vector<std::string>& counted);
void endEntryCount(TPortableIniFile& ini, const std::vector<std::string>& counted);
// Why a record holds fewer entries than its count names ("holds 5 of the
// 8 entries its count names", or a count that is no number); empty when it
// holds as many or more (entries another program added), and for a record
// without a count, written before records had one.
std::string entriesCutOff(const TPortableIniFile& ini, const std::vector<std::string>& counted);

// The same as a check: true for a whole record (or no file). A file that
// exists and is not whole is named as read in part, unless it could not be
// read at all, which its reader names so already.
bool checkWholeRecord(const TPortableIniFile& ini, const std::vector<TWrittenKey>& writtenAlways,
                      const std::vector<std::string>& counted = {});
