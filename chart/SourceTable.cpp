#include "chart/SourceTable.h"

#include <algorithm>
#include <optional>
#include <string>

#include "chart/OwnedSlots.h"
#include "model/PortableIniFile.h"
#include "model/UnreadableFiles.h"
#include "model/UnsavedChanges.h"

namespace {

// A table's change left for the close: a later one of the file replaces it.
constexpr const char* heldChange = "sources";

// One more than the highest source number whose section exists, looked for
// only up to the count the file claims.
int sourcesPresent(const TPortableIniFile& ini, int claimed) {
  for (int i = std::min(claimed, maxSourceTableCount + 1); i > 0; --i) {
    const std::string name = std::to_string(i - 1);
    if (ini.sectionExists(name) || ini.sectionExists(name + "_symbols") || ini.sectionExists(name + "_parameters")) {
      return i;
    }
  }
  return 0;
}

}  // namespace

TSource* TSourceTable::getSource(int index) const {
  if (index < 0 || index >= count()) return nullptr;
  return sources_[index].get();
}

void TSourceTable::setSource(int index, std::unique_ptr<TSource> source) {
  if (index >= 0 && index < count()) sources_[index] = std::move(source);
}

int TSourceTable::insertSource(int index) {
  try {
    return ownedSlots::insertAt(sources_, index, sourceClass_);
  } catch (...) {
    return -5;
  }
}

int TSourceTable::duplicateSource(int index) {
  try {
    return ownedSlots::duplicate(sources_, index, [this](const TSource& original) {
      auto twin = sourceClass_();
      twin->assign(&original);
      return twin;
    });
  } catch (...) {
    return -5;
  }
}

int TSourceTable::deleteSource(int index) {
  const TSource* source = getSource(index);
  if (source == nullptr || source->Undeletable) return -7;
  return ownedSlots::deleteAt(sources_, index);
}

int TSourceTable::moveSource(int from, int to) {
  try {
    return ownedSlots::move(sources_, from, to, sourceClass_);
  } catch (...) {
    return -5;
  }
}

int TSourceTable::assign(const TSourceTable* table) {
  clear();
  if (table == nullptr || table == this) return 0;
  try {
    for (const auto& source : table->sources_) {
      sources_.push_back(sourceClass_());
      sources_.back()->assign(source.get());
    }
  } catch (...) {
    return -5;
  }
  return 0;
}

bool TSourceTable::hasAdjustableParameters() const {
  return std::any_of(sources_.begin(), sources_.end(),
                     [](const auto& source) { return source && source->hasAdjustableParameters(); });
}

int TSourceTable::loadFromIni(const TPortableIniFile& ini, char decimalSeparator, char listSeparator) {
  clear();
  int n = 0;
  // The program writes a section for every source it counts and none
  // beyond: a count that disagrees with the sections, or a source without
  // its own, is damage, and the file holds sources the table does not show.
  bool damaged = false;
  try {
    const int claimed = std::max(0, ini.readInteger("Sources", "Count", 0));
    // A count far beyond the sections present is damage, not sources.
    n = std::min(claimed, sourcesPresent(ini, claimed));
    damaged = n != claimed || sourcesPresent(ini, maxSourceTableCount + 1) != n;
  } catch (...) {
    return -3;
  }
  if (damaged) reportPartlyReadFile(ini.FileName());
  if (n > maxSourceTableCount) return -5;
  try {
    bool sourceDamaged = false;
    for (int i = 0; i < n; ++i) {
      sources_.push_back(sourceClass_());
      if (sources_.back()->loadFromIni(ini, std::to_string(i), decimalSeparator, listSeparator) != 0)
        sourceDamaged = true;
    }
    if (sourceDamaged) reportPartlyReadFile(ini.FileName());
  } catch (...) {
    return -5;
  }
  return 0;
}

int TSourceTable::saveToIni(TPortableIniFile& ini, char decimalSeparator, char listSeparator) const {
  try {
    const int former = ini.readInteger("Sources", "Count", 0);
    ini.writeInteger("Sources", "Count", count());
    for (int i = 0; i < count(); ++i) {
      sources_[i]->saveToIni(ini, std::to_string(i), decimalSeparator, listSeparator);
    }
    for (const char* suffix : {"", "_symbols", "_parameters"}) ini.eraseNumberedSections("", suffix, count(), former);
  } catch (...) {
    return -4;
  }
  return 0;
}

int TSourceTable::loadFromFile(const std::string& fileName, char decimalSeparator, char listSeparator) {
  try {
    // Read from the file, a change it refused would not show, and the next
    // save, finding nothing changed, would let it go unwritten.
    std::optional<THeldSettings> held = heldSettings(fileName, heldChange);
    readFrom_ = fileName;
    if (held) {
      const int result = loadFromIni(*held->shown, decimalSeparator, listSeparator);
      saved_.takeOver(std::move(held->baseline), writer(decimalSeparator, listSeparator));
      return result;
    }
    const TPortableIniFile ini(fileName);
    const int result = ini.readFailed() ? -3 : loadFromIni(ini, decimalSeparator, listSeparator);
    // A file that could not be read is not written over with the table
    // that stood in for it unless the user changes that.
    saved_.takeWithNumberedSections(fileName, writer(decimalSeparator, listSeparator), ini);
    return result;
  } catch (...) {
    return -3;
  }
}

int TSourceTable::saveToFile(const std::string& fileName, char decimalSeparator, char listSeparator) {
  const int result = writeFile(fileName, decimalSeparator, listSeparator);
  if (result != -4) forgetUnsavedChange(fileName, heldChange);
  return result;
}

int TSourceTable::saveHolding(const std::string& fileName, char decimalSeparator, char listSeparator) {
  const int result = saveToFile(fileName, decimalSeparator, listSeparator);
  if (result == -4) holdSettingsChange(fileName, heldChange, saved_, writer(decimalSeparator, listSeparator));
  return result;
}

int TSourceTable::writeFile(const std::string& fileName, char decimalSeparator, char listSeparator) {
  if (fileName == readFrom_) {
    int result = 0;
    const bool saved = saved_.save(fileName, [&](TPortableIniFile& ini) {
      result = saveToIni(ini, decimalSeparator, listSeparator);
    });
    return saved ? result : -4;
  }
  try {
    TPortableIniFile ini(fileName);
    const int result = saveToIni(ini, decimalSeparator, listSeparator);
    if (!ini.updateFile()) return -4;
    return result;
  } catch (...) {
    return -4;
  }
}

TSettingsBaseline::TWriter TSourceTable::writer(char decimalSeparator, char listSeparator) const {
  return [this, decimalSeparator, listSeparator](TPortableIniFile& file) {
    saveToIni(file, decimalSeparator, listSeparator);
  };
}
