#include "chart/EntryTable.h"

#include <cctype>
#include <string>

#include "chart/OwnedSlots.h"
#include "model/PortableIniFile.h"
#include "model/UnreadableFiles.h"
#include "sheet/StoredFormula.h"

namespace {

// One more than the highest entry number that some key of the section
// carries ("12_Symbol" counts as entry 12).
int entriesPresent(const TPortableIniFile& ini, const std::string& section) {
  std::vector<std::string> keys;
  ini.readSection(section, keys);
  int highest = 0;
  for (const std::string& key : keys) {
    std::size_t digits = 0;
    while (digits < key.size() && digits < 9 && std::isdigit(static_cast<unsigned char>(key[digits]))) ++digits;
    if (digits == 0 || digits >= key.size() || key[digits] != '_') continue;
    highest = std::max(highest, std::stoi(key.substr(0, digits)));
  }
  return highest;
}

}  // namespace

TSourceEntry* TEntryTable::getEntry(int index) const {
  if (index < 0 || index >= count()) return nullptr;
  return entries_[index].get();
}

int TEntryTable::loadFromIni(const TPortableIniFile& ini, const std::string& section, TEntryClass entryClass) {
  clear();
  int n = 0;
  try {
    if (!ini.sectionExists(section)) return -7;
    n = ini.readInteger(section, "Count", 0);
  } catch (...) {
    return -7;
  }
  if (n <= 0) return 0;
  // Entries whose texts are all empty leave no keys, so a count within the
  // limit is trusted; one beyond it is damage, not entries.
  if (n > maxSourceTableCount) {
    reportPartlyReadFile(ini.FileName());
    n = std::min(n, entriesPresent(ini, section));
  }
  if (n > maxSourceTableCount) return -5;
  int result = 0;
  try {
    for (int k = 1; k <= n; ++k) {
      entries_.push_back(entryClass());
      const int entryResult = entries_.back()->loadFromIni(ini, section, std::to_string(k));
      if (result == 0) result = entryResult;
    }
  } catch (...) {
    return -5;
  }
  return result;
}

int TEntryTable::saveToIni(TPortableIniFile& ini, const std::string& section) const {
  int result = 0;
  try {
    // The section anew: an entry deleted takes its keys with it.
    ini.eraseSection(section);
    ini.writeInteger(section, "Count", count());
    for (int k = 1; k <= count(); ++k) {
      const int entryResult = entries_[k - 1]->saveToIni(ini, section, std::to_string(k));
      if (result == 0) result = entryResult;
    }
  } catch (...) {
    return -4;
  }
  return result;
}

int TEntryTable::assign(const TEntryTable* table, TEntryClass entryClass) {
  clear();
  if (table == nullptr) return 0;
  int result = 0;
  try {
    for (const auto& entry : table->entries_) {
      entries_.push_back(entryClass());
      const int entryResult = entries_.back()->assign(entry.get());
      if (result == 0) result = entryResult;
    }
  } catch (...) {
    return -5;
  }
  return result;
}

int TEntryTable::insertEntry(int index, TEntryClass entryClass) {
  try {
    return ownedSlots::insertAt(entries_, index, entryClass);
  } catch (...) {
    return -5;
  }
}

int TEntryTable::deleteEntry(int index) { return ownedSlots::deleteAt(entries_, index); }

int TEntryTable::moveEntry(int from, int to, TEntryClass entryClass) {
  try {
    return ownedSlots::move(entries_, from, to, entryClass);
  } catch (...) {
    return -5;
  }
}

int TEntryTable::duplicateEntry(int index, TEntryClass entryClass) {
  try {
    return ownedSlots::duplicate(entries_, index, [entryClass](const TSourceEntry& original) {
      auto twin = entryClass();
      twin->assign(&original);
      return twin;
    });
  } catch (...) {
    return -5;
  }
}

int TSymbolTable::loadFromIni(const TPortableIniFile& ini, const std::string& section, TEntryClass entryClass,
                              char decimalSeparator, char listSeparator) {
  const int result = TEntryTable::loadFromIni(ini, section, entryClass);
  for (auto& entry : entries_) {
    if (auto* symbol = dynamic_cast<TSourceSymbol*>(entry.get())) {
      symbol->Definition = formulaFromStore(symbol->Definition, decimalSeparator, listSeparator);
    }
  }
  return result;
}

int TSymbolTable::saveToIni(TPortableIniFile& ini, const std::string& section, char decimalSeparator,
                            char listSeparator) const {
  TSymbolTable fileForm;
  int result = 0;
  try {
    fileForm.assign(this, TSourceSymbol::create);
    for (auto& entry : fileForm.entries_) {
      auto& symbol = static_cast<TSourceSymbol&>(*entry);
      symbol.Definition = formulaToStore(symbol.Definition, decimalSeparator, listSeparator);
    }
    result = fileForm.TEntryTable::saveToIni(ini, section);
  } catch (...) {
    return -4;
  }
  return result;
}
