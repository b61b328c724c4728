#pragma once
#include <memory>
#include <string>
#include <vector>

#include "chart/SourceEntry.h"

class TPortableIniFile;

// The symbols or parameters of a source, in one INI section: "Count" and
// keys prefixed by the entry number from 1.
class TEntryTable {
 public:
  TEntryTable() = default;
  virtual ~TEntryTable() = default;
  TEntryTable(const TEntryTable&) = delete;
  TEntryTable& operator=(const TEntryTable&) = delete;

  void clear() { entries_.clear(); }
  int count() const { return static_cast<int>(entries_.size()); }
  TSourceEntry* getEntry(int index) const;

  // 0 or the first nonzero entry result; -7 without the section; -5 when the
  // count exceeds every sane size. Every entry is loaded whatever its result.
  int loadFromIni(const TPortableIniFile& ini, const std::string& section, TEntryClass entryClass);
  int saveToIni(TPortableIniFile& ini, const std::string& section) const;
  int assign(const TEntryTable* table, TEntryClass entryClass);

  int insertEntry(int index, TEntryClass entryClass);
  int deleteEntry(int index);
  int moveEntry(int from, int to, TEntryClass entryClass);
  int duplicateEntry(int index, TEntryClass entryClass);

 protected:
  std::vector<std::unique_ptr<TSourceEntry>> entries_;
};

// Symbols, whose Definitions are formulas: held in the user's separators,
// stored with "." and ";".
class TSymbolTable : public TEntryTable {
 public:
  int loadFromIni(const TPortableIniFile& ini, const std::string& section, TEntryClass entryClass,
                  char decimalSeparator, char listSeparator);
  int saveToIni(TPortableIniFile& ini, const std::string& section, char decimalSeparator, char listSeparator) const;
};
