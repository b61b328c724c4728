#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "systems/SystemEntry.h"

class TPortableIniFile;

// The number after baseName in an entry's section name such as "Rule12"; 0
// when the name is not of that form.
long long sectionNumber(const std::string& section, const std::string& baseName);

// An ordered list of owned entries of one class, stored in the sections
// baseName (its "Count") and baseName1 .. baseNameN. Operations answer 0,
// or -7 for an index out of range or a missing section.
class TSystemEntryTable {
 public:
  TSystemEntryTable();
  virtual ~TSystemEntryTable();
  TSystemEntryTable(const TSystemEntryTable&) = delete;
  TSystemEntryTable& operator=(const TSystemEntryTable&) = delete;

  void clear();
  // A Count larger than the sections in the file is not believed: only the
  // entries up to the last section that exists are made (-7).
  int loadFromIni(const TPortableIniFile& ini, const std::string& baseName, TFormulaSeparators separators);
  int saveToIni(TPortableIniFile& ini, const std::string& baseName, TFormulaSeparators separators) const;
  int assign(const TSystemEntryTable* source, bool copyTimes);
  int insertNew(int index);
  virtual int duplicate(int index);
  int move(int from, int to);
  int deleteEntry(int index);
  int count() const { return static_cast<int>(items_.size()); }
  TSystemEntry* items(int index) const;
  double lastChange() const;

 protected:
  virtual std::unique_ptr<TSystemEntry> newEntry() const = 0;
  // The add operations of the descendants: index clamped to 0 .. count.
  int addEntry(int rowHeight, int colWidth, int& index);
  void stamp();

 private:
  std::vector<std::unique_ptr<TSystemEntry>> items_;
  double lastChange_ = 0;
};

class TRuleEntryTable : public TSystemEntryTable {
 public:
  TSystemRule* rule(int index) const { return static_cast<TSystemRule*>(items(index)); }
  int nextNumber() const;
  void renumber();
  int addRule(int rowHeight, int colWidth, const std::string& assetSymbol, int index);
  // The copy gets the next free number.
  int duplicate(int index) override;
  int activeCount() const;

 protected:
  std::unique_ptr<TSystemEntry> newEntry() const override;
};

class TSymbolEntryTable : public TSystemEntryTable {
 public:
  TSystemSymbol* symbol(int index) const { return static_cast<TSystemSymbol*>(items(index)); }
  int addSymbol(int rowHeight, int colWidth, int index);

 protected:
  std::unique_ptr<TSystemEntry> newEntry() const override;
};

// The optimiser's grid: every optimisable parameter is one digit of a
// counter whose first parameter changes fastest.
class TParameterEntryTable : public TSystemEntryTable {
 public:
  TSystemParameter* parameter(int index) const { return static_cast<TSystemParameter*>(items(index)); }
  int addParameter(int rowHeight, int colWidth, int index);
  void resetStepIndexes();
  // False when a new combination is set; true when every combination has
  // been visited and all are back at Low.
  bool nextCombination();
  int optimisableCount() const;
  // The product of the step counts, saturated at the largest 64-bit value
  // (four parameters of 70,000 steps would overflow); 0 without any.
  std::uint64_t combinationCount() const;

 protected:
  std::unique_ptr<TSystemEntry> newEntry() const override;
};
