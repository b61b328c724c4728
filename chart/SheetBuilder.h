#pragma once
#include <cstdint>
#include <memory>
#include <functional>
#include <string>
#include <vector>

class TPricePlot;
class TSheet;
class TSource;
class TSourceTable;
class TSheetGraphSettings;
class TPriceSeries;
struct IActiveScript;

// How formulas read the owning window's grid fields (GRID.name): found false
// leaves the identifier as it is.
using TFieldValueGetter = std::function<void(const std::string& name, std::string& value, bool& found)>;

// Turns a source table into a sheet graph's internal sheet: row 1 holds the
// fixed inputs (X in A1, the captions, dates, selection, X range, step
// counter, ISLOG), every line of a source a row from 2 with its formulas in
// A to G, its counters in H to K and its symbols and parameters from column
// 13. Formulas are rewritten so that they read X and the other fixed names,
// their own symbols and parameters, other sources' as Identifier.Symbol, and
// grid fields as GRID.name. Each line gets a new series of the plot. The
// uses flags of the settings record which inputs the formulas read.
class TSheetBuilder {
 public:
  TSheetBuilder(TSheet& sheet, TPricePlot& plot, const TSourceTable& table, TSheetGraphSettings& pending);
  ~TSheetBuilder();
  TSheetBuilder(const TSheetBuilder&) = delete;
  TSheetBuilder& operator=(const TSheetBuilder&) = delete;

  uint32_t bgSeriesColor = 0;
  IActiveScript* scriptEngine = nullptr;
  TFieldValueGetter fieldValueGetter;

  // Builds from scratch; sets and returns the settings' built flag (a build
  // that produced no line, or failed, is not built).
  bool build();
  // Exposed for the caption rewriting of tests and callers.
  std::string rewrite(const std::string& text, TPriceSeries* series, bool trackDates);

 private:
  struct TName {
    std::string name;
    std::string replacement;
  };
  enum class TLinePass { collect, rows };
  void produceLines(const TSource& source, TLinePass pass, int& row);
  void portfolioLine(const TSource& source, int index, TLinePass pass, int& row);
  void assetLine(const TSource& source, int index, TLinePass pass, int& row);
  void collect(const TSource& source, int row);
  void addRow(const TSource& source, int& row);
  void writeCell(int column, int row, std::uint8_t typeCode, const std::string& text);
  void writeRowOne();
  bool lookUp(const std::string& identifier, TPriceSeries* series, bool trackDates, std::string& replacement);

  TSheet& sheet_;
  TPricePlot& plot_;
  const TSourceTable& table_;
  TSheetGraphSettings& pending_;
  std::vector<TName> qualifiedNames_;
  std::vector<TName> rowNames_;
  std::vector<std::string> fixedReplacements_;
  std::unique_ptr<TSource> work_;
};
