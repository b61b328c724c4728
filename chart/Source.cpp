#include "chart/Source.h"

#include "model/PortableIniFile.h"
#include "model/UnreadableFiles.h"
#include "sheet/StoredFormula.h"

TSource::TSource() { TSource::clear(); }

std::unique_ptr<TSource> TSource::create() { return std::make_unique<TSource>(); }

void TSource::clear() {
  Kind = 0;
  PointKind = 0;
  Enabled = true;
  Index = false;
  Fillable = true;
  AutoColor = false;
  InLegend = true;
  DefaultOnInLegend = true;
  Undeletable = false;
  StepLineClose = true;
  Color = 0;
  Caption.clear();
  Identifier.clear();
  Close.clear();
  Text.clear();
  Image.clear();
  LineWidth = 1;
  EditorRowHeight = 16;
  symbols.clear();
  parameters.clear();
}

int TSource::assign(const TSource* source) {
  clear();
  if (source == nullptr) return 0;
  try {
    Kind = source->Kind;
    PointKind = source->PointKind;
    Enabled = source->Enabled;
    Index = source->Index;
    Fillable = source->Fillable;
    AutoColor = source->AutoColor;
    InLegend = source->InLegend;
    DefaultOnInLegend = source->DefaultOnInLegend;
    Undeletable = source->Undeletable;
    StepLineClose = source->StepLineClose;
    Color = source->Color;
    Caption = source->Caption;
    Identifier = source->Identifier;
    Close = source->Close;
    Text = source->Text;
    Image = source->Image;
    LineWidth = source->LineWidth;
    EditorRowHeight = source->EditorRowHeight;
    symbols.assign(&source->symbols, TSourceSymbol::create);
    parameters.assign(&source->parameters, TSourceParameter::create);
  } catch (...) {
    return -5;
  }
  return 0;
}

int TSource::loadFromIni(const TPortableIniFile& ini, const std::string& section, char decimalSeparator,
                         char listSeparator) {
  clear();
  try {
    if (!ini.sectionExists(section)) return -7;
    // A number that does not read keeps the default; the file is told of,
    // so that the default is not taken for what it holds.
    const auto integer = [&](const char* key, int current) {
      const std::string text = ini.readString(section, key, "");
      int value = current;
      if (!text.empty() && !iniTextToInteger(text, value)) reportPartlyReadFile(ini.FileName());
      return value;
    };
    Kind = static_cast<std::uint8_t>(integer("Kind", Kind));
    PointKind = static_cast<std::uint8_t>(integer("PointKind", PointKind));
    Enabled = ini.readBool(section, "Enabled", Enabled);
    Index = ini.readBool(section, "Index", Index);
    Fillable = ini.readBool(section, "Fillable", Fillable);
    AutoColor = ini.readBool(section, "AutoColor", AutoColor);
    InLegend = ini.readBool(section, "InLegend", InLegend);
    DefaultOnInLegend = ini.readBool(section, "DefaultOnInLegend", DefaultOnInLegend);
    Undeletable = ini.readBool(section, "Undeletable", Undeletable);
    StepLineClose = ini.readBool(section, "StepLineClose", StepLineClose);
    Color = integer("Color", Color);
    Caption = ini.readString(section, "Caption", Caption);
    Identifier = ini.readString(section, "Identifier", Identifier);
    Close = formulaFromStore(ini.readString(section, "Close", Close), decimalSeparator, listSeparator);
    Text = formulaFromStore(ini.readString(section, "Text", Text), decimalSeparator, listSeparator);
    Image = formulaFromStore(ini.readString(section, "Image", Image), decimalSeparator, listSeparator);
    LineWidth = integer("LineWidth", LineWidth);
    EditorRowHeight = integer("EditorRowHeight", EditorRowHeight);
    symbols.loadFromIni(ini, section + "_symbols", TSourceSymbol::create, decimalSeparator, listSeparator);
    parameters.loadFromIni(ini, section + "_parameters", TSourceParameter::create);
  } catch (...) {
    return -3;
  }
  return 0;
}

int TSource::saveToIni(TPortableIniFile& ini, const std::string& section, char decimalSeparator,
                       char listSeparator) const {
  try {
    ini.writeInteger(section, "Kind", Kind);
    ini.writeInteger(section, "PointKind", PointKind);
    ini.writeBool(section, "Enabled", Enabled);
    ini.writeBool(section, "Index", Index);
    ini.writeBool(section, "Fillable", Fillable);
    ini.writeBool(section, "AutoColor", AutoColor);
    ini.writeBool(section, "InLegend", InLegend);
    ini.writeBool(section, "DefaultOnInLegend", DefaultOnInLegend);
    ini.writeBool(section, "Undeletable", Undeletable);
    ini.writeBool(section, "StepLineClose", StepLineClose);
    ini.writeInteger(section, "Color", Color);
    writeSourceText(ini, section, "Caption", Caption);
    writeSourceText(ini, section, "Identifier", Identifier);
    writeSourceText(ini, section, "Close", formulaToStore(Close, decimalSeparator, listSeparator));
    writeSourceText(ini, section, "Text", formulaToStore(Text, decimalSeparator, listSeparator));
    writeSourceText(ini, section, "Image", formulaToStore(Image, decimalSeparator, listSeparator));
    ini.writeInteger(section, "LineWidth", LineWidth);
    ini.writeInteger(section, "EditorRowHeight", EditorRowHeight);
    symbols.saveToIni(ini, section + "_symbols", decimalSeparator, listSeparator);
    parameters.saveToIni(ini, section + "_parameters");
  } catch (...) {
    return -4;
  }
  return 0;
}

int TSource::getSymbol(int index, std::string& symbol, std::string& definition, std::string& comment) const {
  const TSourceSymbol* entry = this->symbol(index);
  if (entry == nullptr) {
    symbol.clear();
    definition.clear();
    comment.clear();
    return -7;
  }
  symbol = entry->Symbol;
  definition = entry->Definition;
  comment = entry->Comment;
  return 0;
}

int TSource::setSymbol(int index, const std::string& symbol, const std::string& definition,
                       const std::string& comment) {
  TSourceSymbol* entry = this->symbol(index);
  if (entry == nullptr) return -7;
  entry->Symbol = symbol;
  entry->Definition = definition;
  entry->Comment = comment;
  return 0;
}

int TSource::insertSymbol(int index, const std::string& symbol, const std::string& definition,
                          const std::string& comment) {
  const int result = symbols.insertEntry(index, TSourceSymbol::create);
  return result != 0 ? result : setSymbol(index, symbol, definition, comment);
}

int TSource::getParameter(int index, std::string& symbol, std::string& caption, std::string& comment,
                          long double& value, long double& low, long double& high, int& steps, bool& locked) const {
  TSourceParameter cleared;
  const TSourceParameter* entry = parameter(index);
  const TSourceParameter& from = entry != nullptr ? *entry : cleared;
  symbol = from.Symbol;
  caption = from.Caption;
  comment = from.Comment;
  value = from.Value;
  low = from.Low;
  high = from.High;
  steps = from.Steps;
  locked = from.Locked;
  return entry != nullptr ? 0 : -7;
}

int TSource::setParameter(int index, const std::string& symbol, const std::string& caption,
                          const std::string& comment, long double value, long double low, long double high, int steps,
                          bool locked) {
  TSourceParameter* entry = parameter(index);
  if (entry == nullptr) return -7;
  entry->Symbol = symbol;
  entry->Caption = caption;
  entry->Comment = comment;
  entry->Value = value;
  entry->Low = low;
  entry->High = high;
  entry->Steps = steps;
  entry->Locked = locked;
  return 0;
}

int TSource::setParameterValue(int index, long double value) {
  TSourceParameter* entry = parameter(index);
  if (entry == nullptr) return -7;
  entry->Value = value;
  return 0;
}

int TSource::insertParameter(int index, const std::string& symbol, const std::string& caption,
                             const std::string& comment, long double value, long double low, long double high,
                             int steps, bool locked) {
  const int result = parameters.insertEntry(index, TSourceParameter::create);
  return result != 0 ? result : setParameter(index, symbol, caption, comment, value, low, high, steps, locked);
}

bool TSource::hasAdjustableParameters() const {
  if (!Enabled || (Caption.empty() && Identifier.empty())) return false;
  for (int i = 0; i < parameterCount(); ++i) {
    const TSourceParameter& p = *parameter(i);
    if (!p.Locked && p.Steps > 1 && p.Low < p.High && !(p.Caption.empty() && p.Symbol.empty())) return true;
  }
  return false;
}

std::unique_ptr<TSource> TChartSource::create() { return std::make_unique<TChartSource>(); }

void TChartSource::clear() {
  TSource::clear();
  Open.clear();
  High.clear();
  Low.clear();
  Volume.clear();
  StepLineOpen = StepLineHigh = StepLineLow = false;
  ohlcOpen = ohlcHigh = ohlcLow = ohlcClose = false;
}

int TChartSource::assign(const TSource* source) {
  const int result = TSource::assign(source);
  const auto* chartSource = dynamic_cast<const TChartSource*>(source);
  if (result != 0 || chartSource == nullptr) return result;
  try {
    Open = chartSource->Open;
    High = chartSource->High;
    Low = chartSource->Low;
    Volume = chartSource->Volume;
  } catch (...) {
    return -5;
  }
  StepLineOpen = chartSource->StepLineOpen;
  StepLineHigh = chartSource->StepLineHigh;
  StepLineLow = chartSource->StepLineLow;
  ohlcOpen = chartSource->ohlcOpen;
  ohlcHigh = chartSource->ohlcHigh;
  ohlcLow = chartSource->ohlcLow;
  ohlcClose = chartSource->ohlcClose;
  return 0;
}

int TChartSource::loadFromIni(const TPortableIniFile& ini, const std::string& section, char decimalSeparator,
                              char listSeparator) {
  const int result = TSource::loadFromIni(ini, section, decimalSeparator, listSeparator);
  if (result != 0) return result;
  try {
    Open = formulaFromStore(ini.readString(section, "Open", ""), decimalSeparator, listSeparator);
    High = formulaFromStore(ini.readString(section, "High", ""), decimalSeparator, listSeparator);
    Low = formulaFromStore(ini.readString(section, "Low", ""), decimalSeparator, listSeparator);
    Volume = formulaFromStore(ini.readString(section, "Volume", ""), decimalSeparator, listSeparator);
    StepLineOpen = ini.readBool(section, "StepLineOpen", false);
    StepLineHigh = ini.readBool(section, "StepLineHigh", false);
    StepLineLow = ini.readBool(section, "StepLineLow", false);
    ohlcOpen = ini.readBool(section, "ohlcOpen", false);
    ohlcHigh = ini.readBool(section, "ohlcHigh", false);
    ohlcLow = ini.readBool(section, "ohlcLow", false);
    ohlcClose = ini.readBool(section, "ohlcClose", false);
  } catch (...) {
    return -3;
  }
  return 0;
}

int TChartSource::saveToIni(TPortableIniFile& ini, const std::string& section, char decimalSeparator,
                            char listSeparator) const {
  const int result = TSource::saveToIni(ini, section, decimalSeparator, listSeparator);
  if (result != 0) return result;
  try {
    writeSourceText(ini, section, "Open", formulaToStore(Open, decimalSeparator, listSeparator));
    writeSourceText(ini, section, "High", formulaToStore(High, decimalSeparator, listSeparator));
    writeSourceText(ini, section, "Low", formulaToStore(Low, decimalSeparator, listSeparator));
    writeSourceText(ini, section, "Volume", formulaToStore(Volume, decimalSeparator, listSeparator));
    ini.writeBool(section, "StepLineOpen", StepLineOpen);
    ini.writeBool(section, "StepLineHigh", StepLineHigh);
    ini.writeBool(section, "StepLineLow", StepLineLow);
    ini.writeBool(section, "ohlcOpen", ohlcOpen);
    ini.writeBool(section, "ohlcHigh", ohlcHigh);
    ini.writeBool(section, "ohlcLow", ohlcLow);
    ini.writeBool(section, "ohlcClose", ohlcClose);
  } catch (...) {
    return -4;
  }
  return 0;
}
