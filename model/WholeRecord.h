#pragma once
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

class TPortableIniFile;

// Every save writes a record's file (a portfolio's header, an asset, a
// transaction) whole: a line end after each line, and a fixed set of keys.
// A file without them was cut short (a copy or a write broken off, a disk
// that filled up) and may still read as settings, with defaults standing in
// for what is gone; its loader refuses it, naming it. Unlike recordFault, a
// last line ended by LF alone in a file of CR line ends is ended (another
// program appended it), and a line that is no entry (a note typed in) is
// no damage of the record.

// The record file's whole text: the one read ahead when given, else what
// the disk holds; nothing when it cannot be read.
std::optional<std::string> recordText(const std::string& fileName, const std::optional<std::string>& readAhead);

// Why the record read from text is not whole, in words to follow the file's
// name in a notice as recordFault words it: its last line that is not blank
// has no line end, or the section gives no value for one of the keys; empty
// when it is whole.
std::string recordCutShort(std::string_view text, const TPortableIniFile& ini, const std::string& section,
                           std::initializer_list<const char*> keys);
