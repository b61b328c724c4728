#include "chart/SourceEntry.h"

#include <algorithm>

#include "model/PortableIniFile.h"
#include "model/UnreadableFiles.h"

void writeSourceText(TPortableIniFile& ini, const std::string& section, const std::string& key,
                     const std::string& value) {
  std::string text = value;
  std::replace(text.begin(), text.end(), '\r', ' ');
  std::replace(text.begin(), text.end(), '\n', ' ');
  ini.writeString(section, key, text.empty() ? text : quotedWhereNeeded(text));
}

void TSourceSymbol::clear() {
  Symbol.clear();
  Definition.clear();
  Comment.clear();
}

int TSourceSymbol::loadFromIni(const TPortableIniFile& ini, const std::string& section, const std::string& keyPrefix) {
  clear();
  try {
    if (!ini.sectionExists(section)) return -7;
    Symbol = ini.readString(section, keyPrefix + "_Symbol", "");
    Definition = ini.readString(section, keyPrefix + "_Definition", "");
    Comment = ini.readString(section, keyPrefix + "_Comment", "");
    return 0;
  } catch (...) {
    return -3;
  }
}

int TSourceSymbol::saveToIni(TPortableIniFile& ini, const std::string& section, const std::string& keyPrefix) const {
  try {
    writeSourceText(ini, section, keyPrefix + "_Symbol", Symbol);
    writeSourceText(ini, section, keyPrefix + "_Definition", Definition);
    writeSourceText(ini, section, keyPrefix + "_Comment", Comment);
    return 0;
  } catch (...) {
    return -4;
  }
}

int TSourceSymbol::assign(const TSourceEntry* entry) {
  clear();
  if (entry == nullptr) return 0;
  const auto* symbol = dynamic_cast<const TSourceSymbol*>(entry);
  if (symbol == nullptr) return -6;
  try {
    Symbol = symbol->Symbol;
    Definition = symbol->Definition;
    Comment = symbol->Comment;
    return 0;
  } catch (...) {
    clear();
    return -5;
  }
}

void TSourceParameter::clear() {
  Symbol.clear();
  Caption.clear();
  Comment.clear();
  Value = Low = High = 0;
  Steps = 0;
  Locked = false;
}

int TSourceParameter::loadFromIni(const TPortableIniFile& ini, const std::string& section,
                                  const std::string& keyPrefix) {
  clear();
  try {
    if (!ini.sectionExists(section)) return -7;
    Symbol = ini.readString(section, keyPrefix + "_Symbol", "");
    Caption = ini.readString(section, keyPrefix + "_Caption", "");
    Comment = ini.readString(section, keyPrefix + "_Comment", "");
    // A number that does not read is 0 here; the file is told of, so that
    // the 0 shown is not taken for the value it holds.
    const auto number = [&](const char* key) {
      const std::string text = ini.readString(section, keyPrefix + key, "");
      double value = 0;
      if (!text.empty() && !iniTextToFloat(text, value)) reportPartlyReadFile(ini.FileName());
      return value;
    };
    Value = number("_Value");
    Low = number("_Low");
    High = number("_High");
    Steps = ini.readInteger(section, keyPrefix + "_Steps", 0);
    Locked = ini.readBool(section, keyPrefix + "_Locked", false);
    return 0;
  } catch (...) {
    return -3;
  }
}

int TSourceParameter::saveToIni(TPortableIniFile& ini, const std::string& section,
                                const std::string& keyPrefix) const {
  try {
    writeSourceText(ini, section, keyPrefix + "_Symbol", Symbol);
    writeSourceText(ini, section, keyPrefix + "_Caption", Caption);
    writeSourceText(ini, section, keyPrefix + "_Comment", Comment);
    ini.writeFloat(section, keyPrefix + "_Value", static_cast<double>(Value));
    ini.writeFloat(section, keyPrefix + "_Low", static_cast<double>(Low));
    ini.writeFloat(section, keyPrefix + "_High", static_cast<double>(High));
    ini.writeInteger(section, keyPrefix + "_Steps", Steps);
    ini.writeBool(section, keyPrefix + "_Locked", Locked);
    return 0;
  } catch (...) {
    return -4;
  }
}

int TSourceParameter::assign(const TSourceEntry* entry) {
  clear();
  if (entry == nullptr) return 0;
  const auto* parameter = dynamic_cast<const TSourceParameter*>(entry);
  if (parameter == nullptr) return -6;
  try {
    Symbol = parameter->Symbol;
    Caption = parameter->Caption;
    Comment = parameter->Comment;
    Value = parameter->Value;
    Low = parameter->Low;
    High = parameter->High;
    Steps = parameter->Steps;
    Locked = parameter->Locked;
    return 0;
  } catch (...) {
    clear();
    return -5;
  }
}
