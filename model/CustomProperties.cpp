#include "model/CustomProperties.h"

#include <algorithm>

#include "model/ChangeStamps.h"
#include "model/PlainText.h"
#include "model/PortableIniFile.h"
#include "platform/LocaleSettings.h"

TCustomProperties::TCustomProperties() : lastChange_(changeStamp()) {}

void TCustomProperties::clear() {
  lines_.clear();
  lastChange_ = changeStamp();
}

std::string TCustomProperties::getValue(const std::string& name, const std::string& oldText,
                                        const std::string& newText) const {
  const std::string wanted = trimmedText(name);
  for (const TCustomProperty& line : lines_) {
    if (sameText(line.Name, wanted)) return replacedText(line.Value, oldText, newText);
  }
  return {};
}

void TCustomProperties::setValue(const std::string& name, const std::string& value, const std::string& oldText,
                                 const std::string& newText, bool touch) {
  const std::string stored = replacedText(trimmedText(value), oldText, newText);
  const std::string trimmedName = trimmedText(name);
  deleteName(trimmedName, touch);
  lines_.push_back({trimmedName, stored});
  if (touch) lastChange_ = changeStamp();
}

void TCustomProperties::deleteName(const std::string& name, bool touch) {
  const std::string wanted = trimmedText(name);
  const auto kept = std::remove_if(lines_.begin(), lines_.end(),
                                   [&](const TCustomProperty& line) { return sameText(line.Name, wanted); });
  if (kept == lines_.end()) return;
  lines_.erase(kept, lines_.end());
  if (touch) lastChange_ = changeStamp();
}

void TCustomProperties::loadFromIni(const TPortableIniFile& ini, const std::string& section) {
  clear();
  std::vector<std::string> entries;
  ini.readSectionValues(section, entries);
  lines_.reserve(entries.size());
  for (const std::string& entry : entries) {
    // Names are trimmed as setValue trims them, so a name typed with blanks
    // before "=" in a hand-edited file is still the same property.
    const size_t equals = entry.find('=');
    lines_.push_back({trimmedText(entry.substr(0, equals)), entry.substr(equals + 1)});
  }
}

bool TCustomProperties::saveToIni(TPortableIniFile& ini, const std::string& section) const {
  ini.eraseSection(section);
  bool complete = true;
  for (const TCustomProperty& line : lines_) {
    // A name entered twice by hand keeps the value the program reads.
    const std::string value = getValue(line.Name, "", "");
    if (value.empty()) continue;
    // Quotes keep a value such as "Buy low" (with its quotes) or "" as it
    // is; a name with "=" or a line break in it cannot be stored at all.
    complete = ini.writeString(section, line.Name, quotedWhereNeeded(value)) && complete;
  }
  return complete;
}

bool TCustomProperties::storable() const {
  return std::all_of(lines_.begin(), lines_.end(), [](const TCustomProperty& line) {
    return line.Value.empty() || storableEntry(line.Name, line.Value);
  });
}

void TCustomPropertyObject::clear() {
  CustomProperties.clear();
  ExternalProperties.clear();
}

std::string TCustomPropertyObject::getCustomProperty(const std::string& name, const std::string& oldText,
                                                     const std::string& newText) const {
  return CustomProperties.getValue(name, oldText, newText);
}

std::string TCustomPropertyObject::getExternalProperty(const std::string& name, const std::string& oldText,
                                                       const std::string& newText) const {
  return ExternalProperties.getValue(name, oldText, newText);
}

void TCustomPropertyObject::setCustomProperty(const std::string& name, const std::string& value,
                                              const std::string& oldText, const std::string& newText, bool touch) {
  CustomProperties.setValue(name, value, oldText, newText, touch);
}

void TCustomPropertyObject::setExternalProperty(const std::string& name, const std::string& value,
                                                const std::string& oldText, const std::string& newText,
                                                bool touch) {
  ExternalProperties.setValue(name, value, oldText, newText, touch);
}

void TCustomPropertyObject::setViewProperty(const std::string& name, const std::string& value) {
  if (getExternalProperty(name) == value) return;
  setExternalProperty(name, value, "", "", false);
  viewPropertiesUnsaved_ = true;
}

void TCustomPropertyObject::setViewSize(const std::string& name, int size, int storedSize) {
  if (size == storedSize) return;
  setViewProperty(name, std::to_string(size));
}

double TCustomPropertyObject::lastChange() const {
  return std::max(CustomProperties.LastChange(), ExternalProperties.LastChange());
}

void TCustomPropertyObject::loadProperties(const TPortableIniFile& ini) {
  CustomProperties.loadFromIni(ini, customPropertiesSection);
  ExternalProperties.loadFromIni(ini, externalPropertiesSection);
}

bool TCustomPropertyObject::propertiesStorable() const {
  return CustomProperties.storable() && ExternalProperties.storable();
}

bool TCustomPropertyObject::saveProperties(TPortableIniFile& ini) const {
  const bool custom = CustomProperties.saveToIni(ini, customPropertiesSection);
  return ExternalProperties.saveToIni(ini, externalPropertiesSection) && custom;
}
