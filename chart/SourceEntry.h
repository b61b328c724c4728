#pragma once
#include <memory>
#include <string>

class TPortableIniFile;

// An entry of a source's symbol or parameter table. Results are the loaders'
// codes: 0, -3 read error, -4 write error, -6 wrong class, -7 no section.
class TSourceEntry {
 public:
  TSourceEntry() = default;
  virtual ~TSourceEntry() = default;
  TSourceEntry(const TSourceEntry&) = delete;
  TSourceEntry& operator=(const TSourceEntry&) = delete;

  virtual int loadFromIni(const TPortableIniFile& ini, const std::string& section, const std::string& keyPrefix) = 0;
  virtual int saveToIni(TPortableIniFile& ini, const std::string& section, const std::string& keyPrefix) const = 0;
  virtual int assign(const TSourceEntry* entry) = 0;
};

// The class argument of the table operations that create entries.
using TEntryClass = std::unique_ptr<TSourceEntry> (*)();

// A named auxiliary formula of a source.
class TSourceSymbol : public TSourceEntry {
 public:
  static std::unique_ptr<TSourceEntry> create() { return std::make_unique<TSourceSymbol>(); }

  void clear();
  int loadFromIni(const TPortableIniFile& ini, const std::string& section, const std::string& keyPrefix) override;
  int saveToIni(TPortableIniFile& ini, const std::string& section, const std::string& keyPrefix) const override;
  int assign(const TSourceEntry* entry) override;

  std::string Symbol;
  std::string Definition;  // in the user's separators while in memory
  std::string Comment;
};

// A number the slider window adjusts between Low and High in Steps values.
class TSourceParameter : public TSourceEntry {
 public:
  static std::unique_ptr<TSourceEntry> create() { return std::make_unique<TSourceParameter>(); }

  void clear();
  int loadFromIni(const TPortableIniFile& ini, const std::string& section, const std::string& keyPrefix) override;
  int saveToIni(TPortableIniFile& ini, const std::string& section, const std::string& keyPrefix) const override;
  int assign(const TSourceEntry* entry) override;

  std::string Symbol;
  std::string Caption;
  std::string Comment;
  long double Value = 0;
  long double Low = 0;
  long double High = 0;
  int Steps = 0;
  bool Locked = false;
};

// Texts as stored in source files: line breaks become blanks (a line break
// would end the entry), and a value that reading would change (enclosing
// quotes, blanks at its ends) gets one extra pair of quotes, which reading
// takes off again, so files written before read the same.
void writeSourceText(TPortableIniFile& ini, const std::string& section, const std::string& key,
                     const std::string& value);
