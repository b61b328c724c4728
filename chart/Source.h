#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "chart/EntryTable.h"

class TPortableIniFile;

// One formula-defined line of a sheet graph: the Close formula gives y for
// each X, Text and Image place labels and pictures on the line. Symbols and
// parameters are the source's own names for its formulas. Kind tells which
// lines the source produces (one, per portfolio, per asset, ...).
class TSource {
 public:
  TSource();
  virtual ~TSource() = default;
  TSource(const TSource&) = delete;
  TSource& operator=(const TSource&) = delete;

  static std::unique_ptr<TSource> create();

  virtual void clear();
  // Results 0, -3 read error, -4 write error, -7 no section.
  virtual int assign(const TSource* source);
  virtual int loadFromIni(const TPortableIniFile& ini, const std::string& section, char decimalSeparator,
                          char listSeparator);
  virtual int saveToIni(TPortableIniFile& ini, const std::string& section, char decimalSeparator,
                        char listSeparator) const;

  int symbolCount() const { return symbols.count(); }
  int getSymbol(int index, std::string& symbol, std::string& definition, std::string& comment) const;
  int setSymbol(int index, const std::string& symbol, const std::string& definition, const std::string& comment);
  int insertSymbol(int index, const std::string& symbol, const std::string& definition, const std::string& comment);
  int deleteSymbol(int index) { return symbols.deleteEntry(index); }
  int moveSymbol(int from, int to) { return symbols.moveEntry(from, to, TSourceSymbol::create); }
  int duplicateSymbol(int index) { return symbols.duplicateEntry(index, TSourceSymbol::create); }
  TSourceSymbol* symbol(int index) const { return static_cast<TSourceSymbol*>(symbols.getEntry(index)); }

  int parameterCount() const { return parameters.count(); }
  int getParameter(int index, std::string& symbol, std::string& caption, std::string& comment, long double& value,
                   long double& low, long double& high, int& steps, bool& locked) const;
  int setParameter(int index, const std::string& symbol, const std::string& caption, const std::string& comment,
                   long double value, long double low, long double high, int steps, bool locked);
  int setParameterValue(int index, long double value);
  int insertParameter(int index, const std::string& symbol, const std::string& caption, const std::string& comment,
                      long double value, long double low, long double high, int steps, bool locked);
  int deleteParameter(int index) { return parameters.deleteEntry(index); }
  int moveParameter(int from, int to) { return parameters.moveEntry(from, to, TSourceParameter::create); }
  int duplicateParameter(int index) { return parameters.duplicateEntry(index, TSourceParameter::create); }
  TSourceParameter* parameter(int index) const {
    return static_cast<TSourceParameter*>(parameters.getEntry(index));
  }

  // Enabled, titled, and some parameter that the slider window can turn.
  bool hasAdjustableParameters() const;

  std::uint8_t Kind = 0;
  std::uint8_t PointKind = 0;
  bool Enabled = true;
  bool Index = false;
  bool Fillable = true;
  bool AutoColor = false;
  bool InLegend = true;
  bool DefaultOnInLegend = true;
  bool Undeletable = false;
  bool StepLineClose = true;
  int Color = 0;
  std::string Caption;
  std::string Identifier;
  std::string Close;
  std::string Text;
  std::string Image;
  int LineWidth = 1;
  int EditorRowHeight = 16;
  TSymbolTable symbols;
  TEntryTable parameters;
};

// A source drawn as bars or candles: open, high, low and volume formulas
// besides the close.
class TChartSource : public TSource {
 public:
  TChartSource() { TChartSource::clear(); }
  static std::unique_ptr<TSource> create();

  void clear() override;
  int assign(const TSource* source) override;
  int loadFromIni(const TPortableIniFile& ini, const std::string& section, char decimalSeparator,
                  char listSeparator) override;
  int saveToIni(TPortableIniFile& ini, const std::string& section, char decimalSeparator,
                char listSeparator) const override;

  std::string Open;
  std::string High;
  std::string Low;
  std::string Volume;
  bool StepLineOpen = false;
  bool StepLineHigh = false;
  bool StepLineLow = false;
  bool ohlcOpen = false;
  bool ohlcHigh = false;
  bool ohlcLow = false;
  bool ohlcClose = false;
};

// The class argument of a source table.
using TSourceClass = std::unique_ptr<TSource> (*)();
