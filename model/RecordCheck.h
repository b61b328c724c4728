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
};

// Why the record read is not whole: "cannot be read", "could not be read
// whole" (see TPortableIniFile::readWhole), "is empty" (no section at all),
// or why it is cut short (see recordCutShort). Empty for a whole record,
// and for a file that does not exist, which holds no record to be whole.
std::string recordFault(const TPortableIniFile& ini, const std::vector<TWrittenKey>& writtenAlways);

// Why a record that reads as settings was cut short (a copy or a write
// broken off, a disk that filled up), defaults standing in for what is
// gone: "is cut off inside its last line" (see
// TPortableIniFile::endsInsideLine), "lacks its section S" or "lacks K in
// section S" (the first key missing or empty, in the order given); empty
// when it is not. A line that is no entry (a note typed in) is no damage
// of the record here.
std::string recordCutShort(const TPortableIniFile& ini, const std::vector<TWrittenKey>& writtenAlways);

// The same as a check: true for a whole record (or no file). A file that
// exists and is not whole is named as read in part, unless it could not be
// read at all, which its reader names so already.
bool checkWholeRecord(const TPortableIniFile& ini, const std::vector<TWrittenKey>& writtenAlways);
