#include "systems/SystemEntryTable.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <limits>

#include "model/ChangeStamps.h"
#include "model/PortableIniFile.h"

long long sectionNumber(const std::string& section, const std::string& baseName) {
  if (section.size() <= baseName.size() || section.compare(0, baseName.size(), baseName) != 0) return 0;
  long long number = 0;
  for (size_t i = baseName.size(); i < section.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(section[i]))) return 0;
    number = number * 10 + (section[i] - '0');
    if (number > std::numeric_limits<int>::max()) return 0;
  }
  return section[baseName.size()] == '0' ? 0 : number;
}

TSystemEntryTable::TSystemEntryTable() { stamp(); }

TSystemEntryTable::~TSystemEntryTable() { clear(); }

void TSystemEntryTable::stamp() { lastChange_ = changeStamp(); }

void TSystemEntryTable::clear() {
  while (!items_.empty()) items_.pop_back();
  stamp();
}

int TSystemEntryTable::loadFromIni(const TPortableIniFile& ini, const std::string& baseName,
                                   TFormulaSeparators separators) {
  clear();
  if (!ini.sectionExists(baseName)) return -7;
  int count = 0;
  try {
    count = ini.readInteger(baseName, "Count", 0);
  } catch (const std::exception&) {
    return -7;
  }
  if (count <= 0) return 0;
  int result = 0;
  try {
    long long lastPresent = 0;
    std::vector<std::string> sections;
    ini.readSections(sections);
    for (const std::string& section : sections) {
      const long long number = sectionNumber(section, baseName);
      if (number <= count) lastPresent = std::max(lastPresent, number);
    }
    if (lastPresent < count) result = -7;
    for (long long i = 1; i <= lastPresent; ++i) items_.push_back(newEntry());
    for (long long i = 1; i <= lastPresent; ++i) {
      const int code = items_[static_cast<size_t>(i - 1)]->loadFromIni(ini, baseName + std::to_string(i), separators);
      if (result == 0) result = code;
    }
  } catch (const std::exception&) {
    return -5;
  }
  return result;
}

int TSystemEntryTable::saveToIni(TPortableIniFile& ini, const std::string& baseName,
                                 TFormulaSeparators separators) const {
  try {
    ini.writeInteger(baseName, "Count", count());
    // An entry deleted takes its section with it.
    ini.eraseNumberedSections(baseName, "", count() + 1, std::numeric_limits<long long>::max());
    int result = 0;
    for (int i = 0; i < count(); ++i) {
      const int code = items_[static_cast<size_t>(i)]->saveToIni(ini, baseName + std::to_string(i + 1), separators);
      if (result == 0) result = code;
    }
    return result;
  } catch (const std::exception&) {
    return -4;
  }
}

int TSystemEntryTable::assign(const TSystemEntryTable* source, bool copyTimes) {
  clear();
  if (source == nullptr) return 0;
  int result = 0;
  for (const auto& entry : source->items_) {
    items_.push_back(newEntry());
    const int code = items_.back()->assign(entry.get(), copyTimes);
    if (result == 0) result = code;
  }
  if (copyTimes) lastChange_ = source->lastChange_;
  return result;
}

int TSystemEntryTable::insertNew(int index) {
  if (index < 0) return -7;
  while (count() < index) items_.push_back(newEntry());
  items_.insert(items_.begin() + index, newEntry());
  stamp();
  return 0;
}

int TSystemEntryTable::duplicate(int index) {
  if (index < 0 || index >= count()) return -7;
  auto copy = newEntry();
  const int result = copy->assign(items_[static_cast<size_t>(index)].get(), true);
  items_.insert(items_.begin() + index + 1, std::move(copy));
  stamp();
  return result;
}

int TSystemEntryTable::move(int from, int to) {
  if (from < 0 || from >= count() || to < 0) return -7;
  auto entry = std::move(items_[static_cast<size_t>(from)]);
  items_.erase(items_.begin() + from);
  while (count() < to) items_.push_back(newEntry());
  items_.insert(items_.begin() + to, std::move(entry));
  stamp();
  return 0;
}

int TSystemEntryTable::deleteEntry(int index) {
  if (index < 0 || index >= count()) return -7;
  items_.erase(items_.begin() + index);
  stamp();
  return 0;
}

TSystemEntry* TSystemEntryTable::items(int index) const {
  if (index < 0 || index >= count()) return nullptr;
  return items_[static_cast<size_t>(index)].get();
}

double TSystemEntryTable::lastChange() const {
  double latest = lastChange_;
  for (const auto& entry : items_) latest = std::max(latest, entry->LastChange());
  return latest;
}

int TSystemEntryTable::addEntry(int rowHeight, int colWidth, int& index) {
  index = std::clamp(index, 0, count());
  const int result = insertNew(index);
  if (result == 0) {
    items(index)->setRowHeight(rowHeight);
    items(index)->setColWidth(colWidth);
  }
  return result;
}

// ---- Rules ----

std::unique_ptr<TSystemEntry> TRuleEntryTable::newEntry() const { return std::make_unique<TSystemRule>(); }

int TRuleEntryTable::nextNumber() const {
  int largest = 0;
  for (int i = 0; i < count(); ++i) largest = std::max(largest, rule(i)->Number());
  return largest == std::numeric_limits<int>::max() ? largest : largest + 1;
}

void TRuleEntryTable::renumber() {
  for (int i = 0; i < count(); ++i) rule(i)->setNumber(i + 1);
}

int TRuleEntryTable::addRule(int rowHeight, int colWidth, const std::string& assetSymbol, int index) {
  const int number = nextNumber();
  const int result = addEntry(rowHeight, colWidth, index);
  if (result == 0) {
    rule(index)->setNumber(number);
    rule(index)->setAssetSymbol(assetSymbol);
  }
  return result;
}

int TRuleEntryTable::duplicate(int index) {
  const int number = nextNumber();
  const int result = TSystemEntryTable::duplicate(index);
  if (result == 0) rule(index + 1)->setNumber(number);
  return result;
}

int TRuleEntryTable::activeCount() const {
  int active = 0;
  for (int i = 0; i < count(); ++i) {
    if (!rule(i)->isInactive()) ++active;
  }
  return active;
}

// ---- Symbols ----

std::unique_ptr<TSystemEntry> TSymbolEntryTable::newEntry() const { return std::make_unique<TSystemSymbol>(); }

int TSymbolEntryTable::addSymbol(int rowHeight, int colWidth, int index) {
  return addEntry(rowHeight, colWidth, index);
}

// ---- Parameters ----

std::unique_ptr<TSystemEntry> TParameterEntryTable::newEntry() const {
  return std::make_unique<TSystemParameter>();
}

int TParameterEntryTable::addParameter(int rowHeight, int colWidth, int index) {
  return addEntry(rowHeight, colWidth, index);
}

void TParameterEntryTable::resetStepIndexes() {
  for (int i = 0; i < count(); ++i) parameter(i)->setStepIndex(0);
}

bool TParameterEntryTable::nextCombination() {
  for (int i = 0; i < count(); ++i) {
    TSystemParameter* digit = parameter(i);
    if (!digit->isOptimisable()) continue;
    digit->setStepIndex(digit->StepIndex() + 1);
    if (digit->StepIndex() > 0) return false;
  }
  return true;
}

int TParameterEntryTable::optimisableCount() const {
  int optimisable = 0;
  for (int i = 0; i < count(); ++i) {
    if (parameter(i)->isOptimisable()) ++optimisable;
  }
  return optimisable;
}

std::uint64_t TParameterEntryTable::combinationCount() const {
  constexpr std::uint64_t saturated = std::numeric_limits<std::uint64_t>::max();
  std::uint64_t combinations = 0;
  for (int i = 0; i < count(); ++i) {
    const TSystemParameter* digit = parameter(i);
    if (!digit->isOptimisable()) continue;
    const auto steps = static_cast<std::uint64_t>(digit->Steps());
    if (combinations == 0) {
      combinations = steps;
    } else if (combinations > saturated / steps) {
      combinations = saturated;
    } else {
      combinations *= steps;
    }
  }
  return combinations;
}
