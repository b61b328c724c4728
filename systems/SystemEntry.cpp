#include "systems/SystemEntry.h"

#include <cmath>

#include "model/ChangeStamps.h"
#include "model/PortableIniFile.h"
#include "sheet/StoredFormula.h"

namespace {

// Blanks and control characters at both ends, as the text boxes leave them.
std::string trimmed(const std::string& text) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  return text.substr(first, last - first);
}

std::string fromFile(const std::string& formula, TFormulaSeparators separators) {
  return formulaFromStore(formula, separators.decimalSeparator, separators.listSeparator);
}

std::string toFile(const std::string& formula, TFormulaSeparators separators) {
  return formulaToStore(formula, separators.decimalSeparator, separators.listSeparator);
}

// The reader takes one pair of enclosing quotes off every value, so every
// text goes out in one pair of its own: a formula such as "A"<"B" would
// otherwise lose its first and last quote on the way back. Files written
// without the extra pair read as before. An empty text removes the key.
bool writeText(TPortableIniFile& ini, const std::string& section, const std::string& key, const std::string& text) {
  if (text.empty()) return ini.writeString(section, key, "");
  return ini.writeString(section, key, '"' + text + '"');
}

// A field the run reads is written even when empty, as two quotes: the key
// missing from a file with its entry count is then damage, not a field the
// user left empty.
bool writeField(TPortableIniFile& ini, const std::string& section, const std::string& key, const std::string& text) {
  return ini.writeString(section, key, '"' + text + '"');
}

}  // namespace

TSystemEntry::TSystemEntry() { lastChange_ = changeStamp(); }

void TSystemEntry::stamp() { lastChange_ = changeStamp(); }

void TSystemEntry::setText(std::string& field, const std::string& text) {
  std::string value = trimmed(text);
  if (value == field) return;
  field = std::move(value);
  stamp();
}

void TSystemEntry::setRowHeight(int height) {
  if (height == rowHeight_) return;
  rowHeight_ = height;
  stamp();
}

void TSystemEntry::setColWidth(int width) {
  if (width == colWidth_) return;
  colWidth_ = width;
  stamp();
}

void TSystemEntry::clear() {
  rowHeight_ = -1;
  colWidth_ = -1;
  stamp();
}

int TSystemEntry::loadFromIni(const TPortableIniFile& ini, const std::string& section, TFormulaSeparators) {
  clear();
  if (!ini.sectionExists(section)) return -7;
  rowHeight_ = ini.readInteger(section, "RowHeight", -1);
  colWidth_ = ini.readInteger(section, "ColWidth", -1);
  return 0;
}

int TSystemEntry::saveToIni(TPortableIniFile& ini, const std::string& section, TFormulaSeparators) const {
  ini.writeInteger(section, "RowHeight", rowHeight_);
  ini.writeInteger(section, "ColWidth", colWidth_);
  return 0;
}

int TSystemEntry::assign(const TSystemEntry* source, bool copyTimes) {
  clear();
  if (source == nullptr) return 0;
  rowHeight_ = source->rowHeight_;
  colWidth_ = source->colWidth_;
  if (copyTimes) lastChange_ = source->lastChange_;
  return 0;
}

// ---- Rules ----

void TSystemRule::clear() {
  TSystemEntry::clear();
  number_ = 0;
  enabled_ = false;
  condition_.clear();
  assetSymbol_.clear();
  comment_.clear();
  units_.clear();
  principal_.clear();
  fees_.clear();
  flag_.clear();
  transactionComment_.clear();
}

int TSystemRule::loadFromIni(const TPortableIniFile& ini, const std::string& section, TFormulaSeparators separators) {
  const int result = TSystemEntry::loadFromIni(ini, section, separators);
  if (result != 0) return result;
  const int number = ini.readInteger(section, "Number", 0);
  number_ = number < 1 ? 0 : number;
  enabled_ = ini.readBool(section, "Enabled", false);
  condition_ = fromFile(ini.readString(section, "Condition", ""), separators);
  assetSymbol_ = ini.readString(section, "AssetSymbol", "");
  comment_ = ini.readString(section, "Comment", "");
  units_ = fromFile(ini.readString(section, "Units", ""), separators);
  principal_ = fromFile(ini.readString(section, "Principal", ""), separators);
  fees_ = fromFile(ini.readString(section, "Fees", ""), separators);
  flag_ = fromFile(ini.readString(section, "Flag", ""), separators);
  transactionComment_ = fromFile(ini.readString(section, "TransactionComment", ""), separators);
  return 0;
}

int TSystemRule::saveToIni(TPortableIniFile& ini, const std::string& section, TFormulaSeparators separators) const {
  TSystemEntry::saveToIni(ini, section, separators);
  ini.writeInteger(section, "Number", number_);
  ini.writeBool(section, "Enabled", enabled_);
  writeField(ini, section, "Condition", toFile(condition_, separators));
  writeField(ini, section, "AssetSymbol", assetSymbol_);
  writeText(ini, section, "Comment", comment_);
  writeField(ini, section, "Units", toFile(units_, separators));
  writeField(ini, section, "Principal", toFile(principal_, separators));
  writeField(ini, section, "Fees", toFile(fees_, separators));
  // These two were always written in quotes, an empty one as "".
  ini.writeString(section, "Flag", '"' + toFile(flag_, separators) + '"');
  ini.writeString(section, "TransactionComment", '"' + toFile(transactionComment_, separators) + '"');
  return 0;
}

int TSystemRule::assign(const TSystemEntry* source, bool copyTimes) {
  const int result = TSystemEntry::assign(source, copyTimes);
  const auto* rule = dynamic_cast<const TSystemRule*>(source);
  if (rule == nullptr) return result;
  number_ = rule->number_;
  enabled_ = rule->enabled_;
  condition_ = rule->condition_;
  assetSymbol_ = rule->assetSymbol_;
  comment_ = rule->comment_;
  units_ = rule->units_;
  principal_ = rule->principal_;
  fees_ = rule->fees_;
  flag_ = rule->flag_;
  transactionComment_ = rule->transactionComment_;
  return result;
}

bool TSystemRule::isInactive() const {
  return !enabled_ || condition_.empty() || assetSymbol_.empty() || units_.empty() || principal_.empty() ||
         fees_.empty();
}

void TSystemRule::setNumber(int number) {
  if (number < 1) number = 0;
  if (number == number_) return;
  number_ = number;
  stamp();
}

void TSystemRule::setEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  stamp();
}

// ---- Symbols ----

void TSystemSymbol::clear() {
  TSystemEntry::clear();
  symbol_.clear();
  definition_.clear();
  comment_.clear();
}

int TSystemSymbol::loadFromIni(const TPortableIniFile& ini, const std::string& section, TFormulaSeparators separators) {
  const int result = TSystemEntry::loadFromIni(ini, section, separators);
  if (result != 0) return result;
  symbol_ = ini.readString(section, "Symbol", "");
  definition_ = fromFile(ini.readString(section, "Definition", ""), separators);
  comment_ = ini.readString(section, "Comment", "");
  return 0;
}

int TSystemSymbol::saveToIni(TPortableIniFile& ini, const std::string& section, TFormulaSeparators separators) const {
  TSystemEntry::saveToIni(ini, section, separators);
  writeField(ini, section, "Symbol", symbol_);
  writeField(ini, section, "Definition", toFile(definition_, separators));
  writeText(ini, section, "Comment", comment_);
  return 0;
}

int TSystemSymbol::assign(const TSystemEntry* source, bool copyTimes) {
  const int result = TSystemEntry::assign(source, copyTimes);
  const auto* symbol = dynamic_cast<const TSystemSymbol*>(source);
  if (symbol == nullptr) return result;
  symbol_ = symbol->symbol_;
  definition_ = symbol->definition_;
  comment_ = symbol->comment_;
  return result;
}

// ---- Parameters ----

void TSystemParameter::clear() {
  TSystemEntry::clear();
  symbol_.clear();
  comment_.clear();
  value_ = low_ = high_ = 0;
  steps_ = 2;
  stepIndex_ = 0;
  locked_ = false;
}

int TSystemParameter::loadFromIni(const TPortableIniFile& ini, const std::string& section,
                                  TFormulaSeparators separators) {
  const int result = TSystemEntry::loadFromIni(ini, section, separators);
  if (result != 0) return result;
  symbol_ = ini.readString(section, "Symbol", "");
  comment_ = ini.readString(section, "Comment", "");
  value_ = ini.readFloat(section, "Value", 0);
  low_ = ini.readFloat(section, "Low", 0);
  high_ = ini.readFloat(section, "High", 0);
  steps_ = ini.readInteger(section, "Steps", 2);
  locked_ = ini.readBool(section, "Locked", false);
  return 0;
}

int TSystemParameter::saveToIni(TPortableIniFile& ini, const std::string& section,
                                TFormulaSeparators separators) const {
  TSystemEntry::saveToIni(ini, section, separators);
  writeField(ini, section, "Symbol", symbol_);
  writeText(ini, section, "Comment", comment_);
  ini.writeFloat(section, "Value", static_cast<double>(value_));
  ini.writeFloat(section, "Low", static_cast<double>(low_));
  ini.writeFloat(section, "High", static_cast<double>(high_));
  ini.writeInteger(section, "Steps", steps_);
  ini.writeBool(section, "Locked", locked_);
  return 0;
}

int TSystemParameter::assign(const TSystemEntry* source, bool copyTimes) {
  const int result = TSystemEntry::assign(source, copyTimes);
  const auto* parameter = dynamic_cast<const TSystemParameter*>(source);
  if (parameter == nullptr) return result;
  symbol_ = parameter->symbol_;
  comment_ = parameter->comment_;
  value_ = parameter->value_;
  low_ = parameter->low_;
  high_ = parameter->high_;
  steps_ = parameter->steps_;
  stepIndex_ = parameter->stepIndex_;
  locked_ = parameter->locked_;
  return result;
}

void TSystemParameter::setValue(long double x) {
  if (x == value_) return;
  value_ = x;
  if (low_ > x) low_ = x;
  if (high_ < x) high_ = x;
  stamp();
}

void TSystemParameter::setLow(long double x) {
  if (x == low_) return;
  low_ = x;
  if (value_ < x) value_ = x;
  if (high_ < x) high_ = x;
  stamp();
}

void TSystemParameter::setHigh(long double x) {
  if (x == high_) return;
  high_ = x;
  if (value_ > x) value_ = x;
  if (low_ > x) low_ = x;
  stamp();
}

void TSystemParameter::setSteps(int n) {
  if (n < 1) n = 1;
  if (n == steps_) return;
  steps_ = n;
  stamp();
}

void TSystemParameter::setLocked(bool locked) {
  if (locked == locked_) return;
  locked_ = locked;
  stamp();
}

void TSystemParameter::setStepIndex(int i) {
  if (locked_ || steps_ < 2) return;
  stepIndex_ = ((i % steps_) + steps_) % steps_;
  value_ = low_ + static_cast<long double>(stepIndex_) * (high_ - low_) / static_cast<long double>(steps_ - 1);
}

bool TSystemParameter::isOptimisable() const { return !locked_ && steps_ >= 2 && low_ < high_; }
