#include "systems/System.h"

#include <algorithm>
#include <cmath>

#include "model/ChangeStamps.h"
#include "model/PortableIniFile.h"
#include "model/RecordCheck.h"
#include "platform/DateTime.h"
#include "systems/SystemFileFault.h"

TSystem::TSystem() { clear(); }

TSystem::~TSystem() = default;

void TSystem::stamp() { lastChange_ = changeStamp(); }

void TSystem::clear() {
  saveSoftTransactions_ = true;
  clearRulesAndRange();
  symbols_.clear();
  params_.clear();
}

void TSystem::clearRulesAndRange() {
  stamp();
  fromDate_ = toDate_ = clearedSystemDate;
  rules_.clear();
}

// Both dates are held at the midday of their day, so a whole day from a
// date picker and the midday stored stand for the same date: reading the
// range back and storing it again changes nothing. Before day 0 the midday
// lies below the day's number, the time counting forward from midnight.
void TSystem::setFromDate(double date) {
  date = combineDateAndTime(std::trunc(date), 0.5);
  if (date == fromDate_) return;
  fromDate_ = date;
  if (fromDate_ > toDate_) toDate_ = fromDate_;
  stamp();
}

void TSystem::setToDate(double date) {
  date = combineDateAndTime(std::trunc(date), 0.5);
  if (date == toDate_) return;
  toDate_ = date;
  if (toDate_ < fromDate_) fromDate_ = toDate_;
  stamp();
}

void TSystem::setSaveSoftTransactions(bool save) {
  if (save == saveSoftTransactions_) return;
  saveSoftTransactions_ = save;
  stamp();
}

int TSystem::loadFromIni(const TPortableIniFile& ini, TFormulaSeparators separators) {
  clear();
  saveSoftTransactions_ = ini.readBool("SoftTransactions", "Save", saveSoftTransactions_);
  fromDate_ = ini.readFloat("Range", "FromDate", fromDate_);
  toDate_ = ini.readFloat("Range", "ToDate", toDate_);
  const int rules = rules_.loadFromIni(ini, "Rule", separators);
  const int symbols = symbols_.loadFromIni(ini, "Symbol", separators);
  const int params = params_.loadFromIni(ini, "Param", separators);
  return rules != 0 ? rules : symbols != 0 ? symbols : params;
}

int TSystem::saveToIni(TPortableIniFile& ini, TFormulaSeparators separators) const {
  const std::vector<std::string> counted = systemCountedSections(rules_.count(), symbols_.count(), params_.count());
  beginEntryCount(ini, counted);
  ini.writeBool("SoftTransactions", "Save", saveSoftTransactions_);
  ini.writeFloat("Range", "FromDate", fromDate_);
  ini.writeFloat("Range", "ToDate", toDate_);
  const int rules = rules_.saveToIni(ini, "Rule", separators);
  const int symbols = symbols_.saveToIni(ini, "Symbol", separators);
  const int params = params_.saveToIni(ini, "Param", separators);
  endEntryCount(ini, counted);
  return rules != 0 ? rules : symbols != 0 ? symbols : params;
}

int TSystem::assign(const TSystem* source, bool copyTimes) {
  clear();
  if (source == nullptr) return 0;
  saveSoftTransactions_ = source->saveSoftTransactions_;
  fromDate_ = source->fromDate_;
  toDate_ = source->toDate_;
  const int rules = rules_.assign(&source->rules_, copyTimes);
  const int symbols = symbols_.assign(&source->symbols_, copyTimes);
  const int params = params_.assign(&source->params_, copyTimes);
  if (copyTimes) lastChange_ = source->lastChange_;
  return rules != 0 ? rules : symbols != 0 ? symbols : params;
}

int TSystem::assignRulesAndRange(const TSystem* source, bool copyTimes) {
  clearRulesAndRange();
  if (source == nullptr) return 0;
  fromDate_ = source->fromDate_;
  toDate_ = source->toDate_;
  const int result = rules_.assign(&source->rules_, copyTimes);
  if (copyTimes) lastChange_ = source->lastChange_;
  return result;
}

double TSystem::lastChange() const {
  return std::max({lastChange_, rules_.lastChange(), symbols_.lastChange(), params_.lastChange()});
}
