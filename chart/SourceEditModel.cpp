#include "chart/SourceEditModel.h"

#include <algorithm>
#include <cctype>

#include "model/DeletionRefusal.h"
#include "model/PortableIniFile.h"
#include "model/UnreadableFiles.h"
#include "model/TextFormatting.h"
#include "sheet/Cell.h"
#include "sheet/Sheet.h"

namespace {

enum : std::uint8_t { numberCell = 1, stringCell = 2, integerCell = 5, booleanCell = 6, colorCell = 8 };

const char* const sourceTitles[] = {"Identifier", "Title", "Legend", "On", "Index", "Fillable", "Autocolor",
                                    "Color", "Width"};
const char* const symbolTitles[] = {"Symbol", "Definition", "Comment"};
const char* const parameterTitles[] = {"Symbol", "Caption", "Value", "Low", "High", "Steps", "Locked", "Comment"};

void writeTitles(TSheet& sheet, const char* const* titles, int count, int rows) {
  sheet.clearCells();
  sheet.setColCount(count);
  sheet.setRowCount(rows + 1);
  for (int column = 1; column <= count; ++column) sheet.setCellContent(column, 1, 0, titles[column - 1], stringCell);
}

std::string flag(bool on) { return on ? "1" : "0"; }

bool readFlag(const std::string& text) {
  double value = 0;
  try {
    value = std::stod(text);
  } catch (...) {
    return false;
  }
  return value > 0;
}

long double readNumber(const std::string& text, char decimalSeparator) {
  std::string plain = trimBlanks(text);
  std::replace(plain.begin(), plain.end(), decimalSeparator, '.');
  try {
    return std::stold(plain);
  } catch (...) {
    return 0;
  }
}

int readInteger(const std::string& text) {
  try {
    return std::stoi(trimBlanks(text));
  } catch (...) {
    return 0;
  }
}

std::string numberText(long double value, char decimalSeparator) {
  std::string text = floatToIniText(static_cast<double>(value));
  double parsed = 0;
  if (iniTextToFloat(text, parsed)) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", parsed);
    text = buffer;
  }
  std::replace(text.begin(), text.end(), '.', decimalSeparator);
  return text;
}

bool lessCaption(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

TSourceEditModel::TSourceEditModel(TSourceClass sourceClass, std::string dataFolder, std::string templateName)
    : working_(sourceClass), dataFolder_(std::move(dataFolder)), templateName_(std::move(templateName)) {}

void TSourceEditModel::begin(const TSourceTable& table, TSourceTable* favourites) {
  working_.assign(&table);
  favourites_ = favourites;
  current = working_.count() > 0 ? 0 : -1;
  favouritesChanged = false;
}

std::string TSourceEditModel::cleanText(const std::string& text) {
  std::size_t start = 0;
  while (start < text.size() && text[start] == ' ') ++start;
  while (start < text.size() && text[start] == '=') ++start;
  std::size_t end = text.size();
  while (end > start && text[end - 1] == ' ') --end;
  return text.substr(start, end - start);
}

// ---- Sheets ----

void TSourceEditModel::fillSources(TSheet& sheet) const {
  writeTitles(sheet, sourceTitles, 9, working_.count());
  TFontProperties whiteFont = sheet.defaultFont;
  whiteFont.color = clWhite;
  for (int i = 0; i < working_.count(); ++i) {
    const TSource& source = *working_.getSource(i);
    const int row = i + 2;
    sheet.setCellContent(1, row, 0, source.Identifier, stringCell);
    sheet.setCellContent(2, row, 0, source.Caption, stringCell);
    const bool flags[] = {source.InLegend, source.DefaultOnInLegend, source.Index, source.Fillable, source.AutoColor};
    for (int k = 0; k < 5; ++k) sheet.setCellContent(3 + k, row, 2, flag(flags[k]), booleanCell);
    sheet.setCellContent(8, row, 0, std::to_string(source.Color), colorCell);
    sheet.setCellContent(9, row, 0, std::to_string(source.LineWidth), integerCell);
    for (int column = 1; column <= 9; ++column) {
      TCell* cell = sheet.getCell(column, row);
      if (cell == nullptr) continue;
      cell->setFillColor(source.Enabled ? clWindow : clBlack);
      if (!source.Enabled) cell->setFont(&whiteFont);
    }
    if (source.EditorRowHeight >= 0) sheet.setRowHeight(row, std::max(6, source.EditorRowHeight));
  }
}

void TSourceEditModel::fillSymbols(TSheet& sheet) const {
  const TSource* source = currentSource();
  writeTitles(sheet, symbolTitles, 3, source ? source->symbolCount() : 0);
  if (source == nullptr) return;
  for (int k = 0; k < source->symbolCount(); ++k) {
    const TSourceSymbol& symbol = *source->symbol(k);
    sheet.setCellContent(1, k + 2, 0, symbol.Symbol, stringCell);
    sheet.setCellContent(2, k + 2, 0, symbol.Definition, stringCell);
    sheet.setCellContent(3, k + 2, 0, symbol.Comment, stringCell);
  }
}

void TSourceEditModel::fillParameters(TSheet& sheet) const {
  const TSource* source = currentSource();
  writeTitles(sheet, parameterTitles, 8, source ? source->parameterCount() : 0);
  if (source == nullptr) return;
  for (int m = 0; m < source->parameterCount(); ++m) {
    const TSourceParameter& p = *source->parameter(m);
    const int row = m + 2;
    sheet.setCellContent(1, row, 0, p.Symbol, stringCell);
    sheet.setCellContent(2, row, 0, p.Caption, stringCell);
    sheet.setCellContent(3, row, 0, numberText(p.Value, decimalSeparator), numberCell);
    sheet.setCellContent(4, row, 0, numberText(p.Low, decimalSeparator), numberCell);
    sheet.setCellContent(5, row, 0, numberText(p.High, decimalSeparator), numberCell);
    sheet.setCellContent(6, row, 0, std::to_string(p.Steps), integerCell);
    sheet.setCellContent(7, row, 2, flag(p.Locked), booleanCell);
    sheet.setCellContent(8, row, 0, p.Comment, stringCell);
  }
}

std::string TSourceEditModel::storeSourceCell(int column, int row, const std::string& text) {
  TSource* source = working_.getSource(row - 2);
  if (source == nullptr) return text;
  switch (column) {
    case 1: return source->Identifier = cleanText(text);
    case 2: return source->Caption = cleanText(text);
    case 3: source->InLegend = readFlag(text); break;
    case 4: source->DefaultOnInLegend = readFlag(text); break;
    case 5: source->Index = readFlag(text); break;
    case 6: source->Fillable = readFlag(text); break;
    case 7: source->AutoColor = readFlag(text); break;
    case 8: source->Color = readInteger(text); break;
    case 9:
      source->LineWidth = std::max(1, readInteger(text));
      return std::to_string(source->LineWidth);
    default: break;
  }
  return text;
}

std::string TSourceEditModel::storeSymbolCell(int column, int row, const std::string& text) {
  TSource* source = currentSource();
  TSourceSymbol* symbol = source ? source->symbol(row - 2) : nullptr;
  if (symbol == nullptr || column < 1 || column > 3) return text;
  std::string& field = column == 1 ? symbol->Symbol : column == 2 ? symbol->Definition : symbol->Comment;
  return field = cleanText(text);
}

std::string TSourceEditModel::storeParameterCell(int column, int row, const std::string& text) {
  TSource* source = currentSource();
  TSourceParameter* p = source ? source->parameter(row - 2) : nullptr;
  if (p == nullptr) return text;
  switch (column) {
    case 1: return p->Symbol = cleanText(text);
    case 2: return p->Caption = cleanText(text);
    case 3: p->Value = readNumber(text, decimalSeparator); break;
    case 4: p->Low = readNumber(text, decimalSeparator); break;
    case 5: p->High = readNumber(text, decimalSeparator); break;
    case 6: p->Steps = readInteger(text); break;
    case 7: p->Locked = readFlag(text); break;
    case 8: return p->Comment = cleanText(text);
    default: break;
  }
  return text;
}

// ---- Sources ----

std::string TSourceEditModel::templateFileName() const { return dataFolder_ + templateName_ + ".INI"; }

int TSourceEditModel::newSource() {
  const int place = current < 0 || current >= working_.count() ? working_.count() : current + 1;
  if (working_.insertSource(place) != 0) return -1;
  const TPortableIniFile ini(templateFileName());
  if (ini.sectionExists(templateName_)) {
    working_.getSource(place)->loadFromIni(ini, templateName_, decimalSeparator, listSeparator);
  } else if (fileExists(templateFileName()) && !ini.readFailed() && !ini.readInPart()) {
    // A template without its source gives a new source without it: the
    // user is told why (a file not read, or read in part, is told already).
    reportPartlyReadFile(templateFileName());
  }
  return current = place;
}

int TSourceEditModel::copySource() {
  if (working_.duplicateSource(current) != 0) return -1;
  return ++current;
}

int TSourceEditModel::deleteSource() {
  if (working_.deleteSource(current) != 0) return -1;
  if (current >= working_.count()) current = working_.count() - 1;
  return current;
}

TSourceToolState TSourceEditModel::sourceToolState() const {
  TSourceToolState state;
  const TSource* source = currentSource();
  if (source == nullptr) return state;
  state.current = true;
  state.deletable = !source->Undeletable;
  state.up = current > 0;
  state.down = current < working_.count() - 1;
  return state;
}

TEntryToolState TSourceEditModel::entryToolState(bool parameters, int index) const {
  TEntryToolState state;
  const TSource* source = currentSource();
  if (source == nullptr) return state;
  state.add = true;
  const int count = parameters ? source->parameterCount() : source->symbolCount();
  if (index < 0 || index >= count) return state;
  state.copy = state.remove = true;
  state.up = index > 0;
  state.down = index < count - 1;
  return state;
}

TFavouriteToolState TSourceEditModel::favouriteToolState(int favourite) const {
  TFavouriteToolState state;
  if (favourites_ == nullptr) return state;
  state.add = currentSource() != nullptr;
  const TSource* selected = favourites_->getSource(favourite);
  if (selected == nullptr) return state;
  state.use = true;
  state.remove = !selected->Undeletable;
  state.up = favourite > 0;
  state.down = favourite < favourites_->count() - 1;
  return state;
}

int TSourceEditModel::moveSource(int delta) {
  const int target = current + delta;
  if (current < 0 || target < 0 || target >= working_.count()) return -1;
  if (working_.moveSource(current, target) != 0) return -1;
  return current = target;
}

bool TSourceEditModel::makeTemplate(std::string& why) const {
  const TSource* source = currentSource();
  if (source == nullptr) return false;
  const std::string file = templateFileName();
  TPortableIniFile ini(file);
  if (source->saveToIni(ini, templateName_, decimalSeparator, listSeparator) == 0 && ini.updateFile()) return true;
  // A file whose rewrite would lose what it holds says so itself.
  why = saveFailureText(file);
  return false;
}

bool TSourceEditModel::clearTemplate(std::string& why) const { return deleteWhole({templateFileName()}, why); }

void TSourceEditModel::toggleEnabled() {
  if (TSource* source = currentSource()) source->Enabled = !source->Enabled;
}

void TSourceEditModel::setKind(int kind) {
  if (TSource* source = currentSource()) source->Kind = static_cast<std::uint8_t>(kind);
}

// ---- Symbols and parameters ----

int TSourceEditModel::newEntry(bool parameters, int index) {
  TSource* source = currentSource();
  if (source == nullptr) return -1;
  const int count = parameters ? source->parameterCount() : source->symbolCount();
  const int place = index < 0 || index >= count ? count : index + 1;
  const int result = parameters ? source->parameters.insertEntry(place, TSourceParameter::create)
                                : source->symbols.insertEntry(place, TSourceSymbol::create);
  return result == 0 ? place : -1;
}

int TSourceEditModel::copyEntry(bool parameters, int index) {
  TSource* source = currentSource();
  if (source == nullptr) return -1;
  const int result = parameters ? source->duplicateParameter(index) : source->duplicateSymbol(index);
  return result == 0 ? index + 1 : -1;
}

int TSourceEditModel::deleteEntry(bool parameters, int index) {
  TSource* source = currentSource();
  if (source == nullptr) return -1;
  if ((parameters ? source->deleteParameter(index) : source->deleteSymbol(index)) != 0) return -1;
  const int count = parameters ? source->parameterCount() : source->symbolCount();
  return std::min(index, count - 1);
}

int TSourceEditModel::moveEntry(bool parameters, int index, int delta) {
  TSource* source = currentSource();
  if (source == nullptr) return -1;
  const int count = parameters ? source->parameterCount() : source->symbolCount();
  const int target = index + delta;
  if (index < 0 || target < 0 || target >= count) return -1;
  const int result = parameters ? source->moveParameter(index, target) : source->moveSymbol(index, target);
  return result == 0 ? target : -1;
}

std::string TSourceEditModel::symbolsAsText() const {
  std::string text;
  const TSource* source = currentSource();
  if (source == nullptr) return text;
  for (int k = 0; k < source->symbolCount(); ++k) {
    const TSourceSymbol& symbol = *source->symbol(k);
    text += symbol.Symbol + '\t' + symbol.Definition + '\t' + symbol.Comment + '\n';
  }
  return text;
}

void TSourceEditModel::symbolsFromText(const std::string& text) {
  TSource* source = currentSource();
  if (source == nullptr) return;
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  // Blank lines at the end are no symbols.
  while (!lines.empty() && trimBlanks(lines.back()).empty()) lines.pop_back();
  int k = 0;
  for (const std::string& line : lines) {
    const std::size_t tab1 = line.find('\t');
    const std::size_t tab2 = tab1 == std::string::npos ? std::string::npos : line.find('\t', tab1 + 1);
    const std::string symbol = trimBlanks(line.substr(0, tab1));
    const std::string definition =
        tab1 == std::string::npos ? "" : trimBlanks(line.substr(tab1 + 1, tab2 == std::string::npos ? std::string::npos : tab2 - tab1 - 1));
    const std::string comment = tab2 == std::string::npos ? "" : trimBlanks(line.substr(tab2 + 1));
    if (k < source->symbolCount()) {
      source->setSymbol(k, symbol, definition, comment);
    } else {
      source->insertSymbol(k, symbol, definition, comment);
    }
    ++k;
  }
  while (source->symbolCount() > k) source->deleteSymbol(source->symbolCount() - 1);
}

// ---- Favourites ----

int TSourceEditModel::useFavourite(int favourite) {
  const TSource* chosen = favourites_ ? favourites_->getSource(favourite) : nullptr;
  if (chosen == nullptr) return -1;
  const int place = current < 0 || current >= working_.count() ? working_.count() : current + 1;
  if (working_.insertSource(place) != 0) return -1;
  working_.getSource(place)->assign(chosen);
  return current = place;
}

int TSourceEditModel::addFavourite(int after) {
  const TSource* source = currentSource();
  if (source == nullptr || favourites_ == nullptr) return -1;
  const int place = after < 0 || after >= favourites_->count() ? favourites_->count() : after + 1;
  if (favourites_->insertSource(place) != 0) return -1;
  favourites_->getSource(place)->assign(source);
  favouritesChanged = true;
  return place;
}

int TSourceEditModel::deleteFavourite(int favourite) {
  if (favourites_ == nullptr || favourites_->deleteSource(favourite) != 0) return -1;
  favouritesChanged = true;
  return std::min(favourite, favourites_->count() - 1);
}

int TSourceEditModel::moveFavourite(int favourite, int delta) {
  const int target = favourite + delta;
  if (favourites_ == nullptr || favourite < 0 || target < 0 || target >= favourites_->count()) return -1;
  if (favourites_->moveSource(favourite, target) != 0) return -1;
  favouritesChanged = true;
  return target;
}

void TSourceEditModel::renameFavourite(int favourite, const std::string& caption) {
  TSource* source = favourites_ ? favourites_->getSource(favourite) : nullptr;
  if (source == nullptr) return;
  source->Caption = trimBlanks(caption);
  favouritesChanged = true;
}

void TSourceEditModel::sortFavourites(bool ascending) {
  if (favourites_ == nullptr || favourites_->count() < 2) return;
  // Bubble the captions into order with the table's own moves, so that the
  // sources keep their identity.
  const int n = favourites_->count();
  for (int i = 1; i < n; ++i) {
    for (int j = i; j > 0; --j) {
      const std::string& a = favourites_->getSource(j - 1)->Caption;
      const std::string& b = favourites_->getSource(j)->Caption;
      if (!(ascending ? lessCaption(b, a) : lessCaption(a, b))) break;
      favourites_->moveSource(j, j - 1);
    }
  }
  favouritesChanged = true;
}
