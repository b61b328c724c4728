#include "sheet/FieldTable.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "model/PlainText.h"
#include "model/PortableIniFile.h"
#include "model/UnreadableFiles.h"
#include "model/UnsavedChanges.h"
#include "platform/FileSystem.h"
#include "platform/LocaleSettings.h"
#include "sheet/CellFactory.h"
#include "sheet/ColumnLetters.h"
#include "sheet/FormulaTokenReader.h"
#include "sheet/StoredFormula.h"

namespace {

const std::string fieldsSection = "Fields";
// A change of the fields left for the close: a later one replaces it.
constexpr const char* heldChange = "fields";
constexpr int unsetSize = -1;
// Cell types that show samples.
constexpr std::uint8_t numberCell = 1;
constexpr std::uint8_t stringCell = 2;
constexpr std::uint8_t dateCell = 3;
constexpr std::uint8_t timeCell = 4;
constexpr std::uint8_t integerCell = 5;
constexpr std::uint8_t boolCell = 6;
constexpr std::uint8_t currencySymbolCell = 7;

// A sample of a number kind follows the decimal separator, so it shows the
// same number under other settings; the sample of a text is the user's own
// text ("1,5", "1.5") and stays as typed.
bool samplesNumber(int kind) {
  const std::uint8_t cellType = testCellType(kind);
  return cellType != 0 && cellType != stringCell && cellType != currencySymbolCell;
}

std::string storedSample(const std::string& sample, int kind, char decimalSeparator) {
  if (!samplesNumber(kind)) return sample;
  const std::uint8_t cellType = testCellType(kind);
  // A date or a time reads before a number there: "24.12.2025" is no
  // grouped number.
  if (cellType == dateCell || cellType == timeCell) return numberToStore(sample, decimalSeparator);
  return groupedNumberToStore(sample, decimalSeparator, localeSettings().thousandSeparator);
}

}  // namespace

// ---- TField ----

void TField::setFieldDefaults() {
  Symbol.clear();
  Header.clear();
  TestContent.clear();
  EditableDefinition = true;
  Hidden = false;
  Disabled = false;
  EditorRowHeight = unsetSize;
  RowWiseWidth = unsetSize;
  ColWiseHeight = unsetSize;
  Position = -1;
}

void TField::setDefaults() {
  TCellProps::setDefaults();
  setFieldDefaults();
}

int TField::assign(const TField* source) {
  if (!source) {
    setDefaults();
    return 0;
  }
  Symbol = source->Symbol;
  Header = source->Header;
  TestContent = source->TestContent;
  EditableDefinition = source->EditableDefinition;
  Hidden = source->Hidden;
  Disabled = source->Disabled;
  EditorRowHeight = source->EditorRowHeight;
  RowWiseWidth = source->RowWiseWidth;
  ColWiseHeight = source->ColWiseHeight;
  return TCellProps::assign(source);
}

int TField::loadFromIni(const TPortableIniFile& ini, const std::string& section, char listSeparator,
                        char decimalSeparator) {
  setFieldDefaults();
  int result = TCellProps::loadFromIni(ini, section, listSeparator, decimalSeparator);
  if (result != 0) return result;
  EditableDefinition = ini.readBool(section, "EditableDefinition", EditableDefinition);
  Hidden = ini.readBool(section, "Hidden", Hidden);
  Disabled = ini.readBool(section, "Disabled", Disabled);
  Symbol = ini.readString(section, "Symbol", Symbol);
  Header = ini.readString(section, "Header", Header);
  TestContent = ini.readString(section, "TestContent", TestContent);
  if (samplesNumber(Kind)) TestContent = numberFromStore(TestContent, decimalSeparator);
  EditorRowHeight = ini.readInteger(section, "EditorRowHeight", EditorRowHeight);
  RowWiseWidth = ini.readInteger(section, "RowWiseWidth", RowWiseWidth);
  ColWiseHeight = ini.readInteger(section, "ColWiseHeight", ColWiseHeight);
  return 0;
}

int TField::saveToIni(TPortableIniFile& ini, const std::string& section, char listSeparator,
                      char decimalSeparator) const {
  int result = TCellProps::saveToIni(ini, section, listSeparator, decimalSeparator);
  if (result != 0) return result;
  ini.writeBool(section, "EditableDefinition", EditableDefinition);
  ini.writeBool(section, "Hidden", Hidden);
  ini.writeBool(section, "Disabled", Disabled);
  ini.writeString(section, "Symbol", quotedWhereNeeded(Symbol));
  ini.writeString(section, "Header", quotedWhereNeeded(Header));
  ini.writeString(section, "TestContent", quotedWhereNeeded(storedSample(TestContent, Kind, decimalSeparator)));
  ini.writeInteger(section, "EditorRowHeight", EditorRowHeight);
  ini.writeInteger(section, "RowWiseWidth", RowWiseWidth);
  ini.writeInteger(section, "ColWiseHeight", ColWiseHeight);
  return 0;
}

std::uint8_t testCellType(int kind) {
  if (kind >= 1 && kind <= 9) return static_cast<std::uint8_t>(kind);
  switch (kind) {
    case 10: case 11: case 13: case 14: case 26: return stringCell;
    case 12: case 15: return currencySymbolCell;
    case 16: case 17: case 18: case 19: case 23: case 24: case 25: return numberCell;
    case 20: return integerCell;
    case 21: return dateCell;
    case 22: return timeCell;
    case 27: return boolCell;
    default: return 0;
  }
}

void TField::setSymbol(const std::string& text) { Symbol = trimmedText(text); }

bool TField::holdsCustomProperty() const {
  // A bound cell edits its object's own property (a name, a date); its
  // symbol only names it in formulas, and the cell's text (the object's
  // index or number) is nothing the user typed.
  return Kind <= lastValueCellType && !Symbol.empty() && storableEntry(Symbol, "") && (Content.empty() || !Locked);
}
void TField::setHeader(const std::string& text) { Header = trimmedText(text); }
void TField::setTestContent(const std::string& text) { TestContent = trimmedText(text); }

// ---- TFieldTable ----

void TFieldTable::clear() {
  Fields.clear();
  Fixed = 0;
  RowWiseFixedHeight = unsetSize;
  ColWiseFixedWidth = unsetSize;
  DefaultRowWiseWidth = unsetSize;
  DefaultColWiseHeight = unsetSize;
}

void TFieldTable::defaultMissingSizes(int rowHeight, int colWidth) {
  if (RowWiseFixedHeight < 1) RowWiseFixedHeight = rowHeight;
  if (ColWiseFixedWidth < 1) ColWiseFixedWidth = colWidth;
  if (DefaultRowWiseWidth < 1) DefaultRowWiseWidth = colWidth;
  if (DefaultColWiseHeight < 1) DefaultColWiseHeight = rowHeight;
}

void TFieldTable::takeGridSizes(int rowHeight, int colWidth) {
  defaultMissingSizes(rowHeight, colWidth);
  for (const auto& field : Fields) {
    if (field->RowWiseWidth < 1) field->RowWiseWidth = DefaultRowWiseWidth;
    if (field->ColWiseHeight < 1) field->ColWiseHeight = DefaultColWiseHeight;
  }
  // Taken again, sizes shown as held would be what the file holds.
  if (!showsHeldChange_) saved_.retake();
}

int TFieldTable::loadFromFile(const std::string& fileName, char decimalSeparator, char listSeparator) {
  clear();
  FileName = fileName;
  fieldsBefore_ = -1;
  const TSettingsBaseline::TWriter write = writer(decimalSeparator, listSeparator);
  // Read from the file, a change it refused would not show, and the next
  // save, finding nothing changed, would let it go unwritten.
  std::optional<THeldSettings> held = heldSettings(fileName, heldChange);
  showsHeldChange_ = held.has_value();
  if (held) {
    bool whole = true;
    const int result = readFrom(*held->shown, decimalSeparator, listSeparator, whole);
    standIn_ = result != 0;
    saved_.takeOver(std::move(held->baseline), write);
    return result;
  }
  const bool missing = !fileExists(fileName);
  bool whole = true;
  const std::unique_ptr<TPortableIniFile> ini = openFile();
  const int result = ini ? readFrom(*ini, decimalSeparator, listSeparator, whole) : -3;
  // A missing file's fields are the user's alone: none is written until
  // the user adds one, nor a file that holds none.
  standIn_ = result != 0 || missing;
  if (ini)
    saved_.takeWithNumberedSections(fileName, write, *ini);
  else
    saved_.take(fileName, write);
  if (result == -3)
    reportUnreadableFile(fileName);
  else if (missing)
    reportLoadFailure("No field file " + fileName + ": its window shows no fields until you add some.");
  else if (result != 0 || !whole)
    reportPartlyReadFile(fileName);
  return result;
}

std::unique_ptr<TPortableIniFile> TFieldTable::openFile() const {
  try {
    return std::make_unique<TPortableIniFile>(FileName);
  } catch (...) {
    return nullptr;
  }
}

int TFieldTable::readFrom(const TPortableIniFile& ini, char decimalSeparator, char listSeparator, bool& whole) {
  if (ini.readFailed()) return -3;
  // Cut off inside its last line, the file's last value may be the start
  // of one.
  whole = !ini.readInPart() && !ini.endsInsideLine();
  try {
    int fieldCount = 0;
    // Without a count that reads there are no fields to take; a file that
    // holds sections all the same is not one the table wrote.
    if (!iniTextToInteger(ini.readString(fieldsSection, "Count", ""), fieldCount)) {
      std::vector<std::string> sections;
      ini.readSections(sections);
      if (!sections.empty()) whole = false;
      fieldCount = count();
    }
    fieldCount = std::max(0, fieldCount);
    if (fieldCount > maxFieldCount) return -6;
    Fixed = ini.readInteger(fieldsSection, "Fixed", Fixed);
    RowWiseFixedHeight = ini.readInteger(fieldsSection, "RowWiseFixedHeight", unsetSize);
    ColWiseFixedWidth = ini.readInteger(fieldsSection, "ColWiseFixedWidth", unsetSize);
    DefaultRowWiseWidth = ini.readInteger(fieldsSection, "DefaultRowWiseWidth", unsetSize);
    DefaultColWiseHeight = ini.readInteger(fieldsSection, "DefaultColWiseHeight", unsetSize);
    Fields.reserve(static_cast<std::size_t>(fieldCount));
    for (int i = 0; i < fieldCount; ++i) {
      auto field = std::make_unique<TField>();
      // A missing section leaves a field with every default; the file
      // then holds less than its count says (a header that lost a bracket).
      const std::string section = std::to_string(i);
      if (field->loadFromIni(ini, section, listSeparator, decimalSeparator) != 0) whole = false;
      // Every save writes these: a field without one is cut short or
      // damaged, and shows a default in its place.
      for (const char* key : {"Locked", "Kind"})
        if (ini.readString(section, key, "").empty()) whole = false;
      if (field->RowWiseWidth < 1) field->RowWiseWidth = DefaultRowWiseWidth;
      if (field->ColWiseHeight < 1) field->ColWiseHeight = DefaultColWiseHeight;
      Fields.push_back(std::move(field));
    }
  } catch (...) {
    clear();
    return -5;
  }
  return 0;
}

int TFieldTable::save(char decimalSeparator, char listSeparator) {
  if (standIn_ && fieldsBefore_ < 0) {
    // The stand-in held none of the file's fields: those it holds now are
    // the user's and go after the file's own, which stay as they are.
    if (Fields.empty()) return 0;
    // Read again without a word: the load told of the file already.
    TFieldTable file;
    file.FileName = FileName;
    bool whole = true;
    const std::unique_ptr<TPortableIniFile> ini = openFile();
    if (!ini || file.readFrom(*ini, decimalSeparator, listSeparator, whole) != 0) return -4;
    fieldsBefore_ = file.count();
    saved_.takeWithNumberedSections(
        FileName, [this](TPortableIniFile& written) { written.writeInteger(fieldsSection, "Count", fieldsBefore_); },
        *ini);
  }
  // The table may go before the close (another portfolio shown): what the
  // file refuses waits for the close, and shows again when it is loaded.
  return saveHolding(FileName, heldChange, saved_, writer(decimalSeparator, listSeparator)) ? 0 : -4;
}

TSettingsBaseline::TWriter TFieldTable::writer(char decimalSeparator, char listSeparator) const {
  return [this, decimalSeparator, listSeparator](TPortableIniFile& ini) {
    writeTo(ini, decimalSeparator, listSeparator);
  };
}

void TFieldTable::writeTo(TPortableIniFile& ini, char decimalSeparator, char listSeparator) const {
  const int first = standIn_ ? std::max(0, fieldsBefore_) : 0;
  ini.writeInteger(fieldsSection, "Count", first + count());
  // A stand-in's layout sizes are the window's defaults, not the file's.
  if (!standIn_) {
    ini.writeInteger(fieldsSection, "Fixed", Fixed);
    ini.writeInteger(fieldsSection, "RowWiseFixedHeight", RowWiseFixedHeight);
    ini.writeInteger(fieldsSection, "ColWiseFixedWidth", ColWiseFixedWidth);
    ini.writeInteger(fieldsSection, "DefaultRowWiseWidth", DefaultRowWiseWidth);
    ini.writeInteger(fieldsSection, "DefaultColWiseHeight", DefaultColWiseHeight);
  }
  // Each field's section anew: a field deleted takes its section with it,
  // and one moved up keeps none of the keys of the field it replaces.
  ini.eraseNumberedSections("", "", first, std::numeric_limits<long long>::max());
  for (int i = 0; i < count(); ++i) {
    Fields[static_cast<std::size_t>(i)]->saveToIni(ini, std::to_string(first + i), listSeparator, decimalSeparator);
  }
}

int TFieldTable::assign(const TFieldTable* source) {
  if (source == this) return 0;
  clear();
  if (!source) return 0;
  Fixed = source->Fixed;
  FileName = source->FileName;
  RowWiseFixedHeight = source->RowWiseFixedHeight;
  ColWiseFixedWidth = source->ColWiseFixedWidth;
  DefaultRowWiseWidth = source->DefaultRowWiseWidth;
  DefaultColWiseHeight = source->DefaultColWiseHeight;
  Fields.reserve(source->Fields.size());
  for (const auto& field : source->Fields) {
    auto copy = std::make_unique<TField>();
    copy->assign(field.get());
    Fields.push_back(std::move(copy));
  }
  return 0;
}

TField* TFieldTable::items(int index) const {
  if (index < 0 || index >= count()) return nullptr;
  return Fields[static_cast<std::size_t>(index)].get();
}

int TFieldTable::insertField(int index) {
  if (index < 0 || index >= maxFieldCount) return -7;
  if (index < count()) {
    Fields.insert(Fields.begin() + index, std::make_unique<TField>());
  } else {
    while (count() <= index) Fields.push_back(std::make_unique<TField>());
  }
  TField& field = *Fields[static_cast<std::size_t>(index)];
  field.RowWiseWidth = DefaultRowWiseWidth;
  field.ColWiseHeight = DefaultColWiseHeight;
  return 0;
}

int TFieldTable::deleteField(int index) {
  if (index < 0 || index >= count()) return -7;
  Fields.erase(Fields.begin() + index);
  if (Fixed > index) --Fixed;
  return 0;
}

int TFieldTable::moveField(int from, int to) {
  if (from < 0 || from >= count() || to < 0 || to >= maxFieldCount) return -7;
  while (count() <= to) Fields.push_back(std::make_unique<TField>());
  auto first = Fields.begin();
  if (to < from) {
    std::rotate(first + to, first + from, first + from + 1);
  } else {
    std::rotate(first + from, first + from + 1, first + to + 1);
  }
  return 0;
}

int TFieldTable::positionOfSymbol(const std::string& symbol) const {
  std::string wanted = trimmedText(symbol);
  for (const auto& field : Fields) {
    if (sameText(field->Symbol, wanted)) return field->Position;
  }
  return -1;
}

TField* TFieldTable::fieldAtPosition(int position) const {
  if (position < 1) return nullptr;
  for (const auto& field : Fields) {
    if (field->Position == position) return field.get();
  }
  return nullptr;
}

int TFieldTable::shownFixedCount() const {
  int shown = 0;
  int fixedCount = std::min(Fixed, count());
  for (int i = 0; i < fixedCount; ++i) {
    const TField& field = *Fields[static_cast<std::size_t>(i)];
    if (!field.Hidden && !field.Disabled) ++shown;
  }
  return shown;
}

void TFieldTable::translateFormula(const std::string& formula, int index, std::string& result,
                                   const std::vector<std::string>& replacements,
                                   const std::vector<std::string>& names, char listSeparator,
                                   char decimalSeparator, bool rowWise) const {
  result.clear();
  TFormulaTokenReader reader(formula, decimalSeparator, listSeparator);
  while (reader.next()) {
    result.append(reader.blanksBefore(), ' ');
    const TTokenObject& token = reader.token();
    std::string_view spelling = reader.spelling();
    if (token.tokenClass == tokenOperand && token.value.kind == valueIdentifier) {
      const std::string& name = token.value.string;
      int fieldPosition = positionOfSymbol(name);
      if (fieldPosition > 0) {
        result += rowWise ? columnLetters(fieldPosition) + std::to_string(index)
                          : columnLetters(index) + std::to_string(fieldPosition);
      } else {
        auto named = std::find_if(names.begin(), names.end(), [&](const std::string& entry) {
          return sameText(entry, name);
        });
        std::size_t nameIndex = static_cast<std::size_t>(named - names.begin());
        if (named != names.end() && nameIndex < replacements.size()) {
          result += replacements[nameIndex];
        } else {
          result += spelling;
        }
      }
    } else {
      result += spelling;
    }
  }
  result.append(reader.blanksBefore(), ' ');
}
