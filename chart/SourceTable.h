#pragma once
#include <memory>
#include <string>
#include <vector>

#include "chart/Source.h"
#include "model/SettingsBaseline.h"

class TPortableIniFile;

// The ordered sources of one class that a sheet graph or sheet chart draws;
// also the favourites, the templates and the source part of view files.
// Index errors give -7 and change nothing.
class TSourceTable {
 public:
  explicit TSourceTable(TSourceClass sourceClass) : sourceClass_(sourceClass) {}
  TSourceTable(const TSourceTable&) = delete;
  TSourceTable& operator=(const TSourceTable&) = delete;

  TSourceClass sourceClass() const { return sourceClass_; }
  void clear() { sources_.clear(); }
  int count() const { return static_cast<int>(sources_.size()); }
  TSource* getSource(int index) const;
  // Puts the object into a place in range, freeing the one there.
  void setSource(int index, std::unique_ptr<TSource> source);

  int insertSource(int index);
  int duplicateSource(int index);
  int deleteSource(int index);  // -7 also for an Undeletable source
  int moveSource(int from, int to);
  int assign(const TSourceTable* table);
  bool hasAdjustableParameters() const;

  // 0; -3 read error; -5 when the sources cannot be created (a count beyond
  // every sane size among them).
  int loadFromIni(const TPortableIniFile& ini, char decimalSeparator, char listSeparator);
  // 0 or -4. Sections of sources beyond the new count are erased.
  int saveToIni(TPortableIniFile& ini, char decimalSeparator, char listSeparator) const;
  // What it read is what the file holds as far as the table knows (see
  // TSettingsBaseline). What the file refused before (see saveHolding)
  // shows in its place, as the table held it then.
  int loadFromFile(const std::string& fileName, char decimalSeparator, char listSeparator);
  // Replaces the file only once the new text is complete; -4 when that
  // fails, the old file then stays as it was. Into the file it was read
  // from, the table writes only what changed since, and a source another
  // program added meanwhile under a number the table adds refuses the save
  // (and says why) instead of being overwritten. A file the table was not
  // read from is written as the table's own. Once it went through, the
  // file holds what the table does, and so what was held for it.
  int saveToFile(const std::string& fileName, char decimalSeparator, char listSeparator);
  // As saveToFile; what the file refuses waits for the close as the table
  // stands now (see holdSettingsChange), and for the next read of the file.
  int saveHolding(const std::string& fileName, char decimalSeparator, char listSeparator);

 private:
  int writeFile(const std::string& fileName, char decimalSeparator, char listSeparator);
  TSettingsBaseline::TWriter writer(char decimalSeparator, char listSeparator) const;

  TSourceClass sourceClass_;
  std::vector<std::unique_ptr<TSource>> sources_;
  std::string readFrom_;
  TSettingsBaseline saved_;
};
