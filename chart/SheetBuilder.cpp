#include "chart/SheetBuilder.h"

#include <algorithm>
#include <cctype>

#include "chart/PointMarker.h"
#include "chart/PricePlot.h"
#include "chart/Series.h"
#include "chart/SheetGraphSettings.h"
#include "chart/Source.h"
#include "chart/SourceTable.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "model/Asset.h"
#include "model/QuoteRecord.h"
#include "model/TextFormatting.h"
#include "sheet/ColumnLetters.h"
#include "sheet/FormulaTokenReader.h"
#include "sheet/Sheet.h"

namespace {

enum : std::uint8_t { numberCell = 1, stringCell = 2, integerCell = 5, booleanCell = 6 };

// The fixed names in look-up order and their first replacements.
enum TFixedName { nameX, nameFromDate, nameToDate, nameAsset, namePortfolio, nameFromX, nameToX, nameSteps,
                  nameNxs, nameSelf, nameOpens, nameHighs, nameLows, nameCloses, nameIsLog, fixedNameCount };
const char* const fixedNames[fixedNameCount] = {"X",    "FROM_DATE", "TO_DATE", "ASSET",  "PORTFOLIO",
                                                "FROM_X", "TO_X",    "STEPS",   "NXS",    "SELF",
                                                "NOPENS", "NHIGHS",  "NLOWS",   "NCLOSES", "ISLOG"};
const char* const fixedCells[fixedNameCount] = {"A1", "D1",   "E1",     "F1",    "G1",      "H1",     "I1", "J1",
                                                "K1", "SELF", "NOPENS", "NHIGHS", "NLOWS", "NCLOSES", "L1"};
constexpr int firstSymbolColumn = 12;

bool sameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
         });
}

std::string cellName(int column, int row) { return columnLetters(column) + std::to_string(row); }

uint32_t autoColor(const TCustomPropertyObject& object, uint32_t fallback) {
  const std::string text = trimBlanks(object.getCustomProperty("_COLOR"));
  try {
    std::size_t used = 0;
    const long long value = std::stoll(text, &used, 10);
    if (used == text.size()) return static_cast<uint32_t>(value);
  } catch (...) {
  }
  return fallback;
}

}  // namespace

TSheetBuilder::TSheetBuilder(TSheet& sheet, TPricePlot& plot, const TSourceTable& table, TSheetGraphSettings& pending)
    : sheet_(sheet),
      plot_(plot),
      table_(table),
      pending_(pending),
      fixedReplacements_(std::begin(fixedCells), std::end(fixedCells)) {}

TSheetBuilder::~TSheetBuilder() = default;

bool TSheetBuilder::build() {
  pending_.built = false;
  plot_.freeAllSeries();
  try {
    sheet_.clearCells();
    sheet_.recordDependents = false;
    sheet_.autoRecalculate = false;
    sheet_.portfolioTable = pending_.portfolioTable;
    sheet_.setScriptEngine(scriptEngine, false);
    work_ = table_.sourceClass()();
    pending_.usesFromDate = pending_.usesToDate = pending_.usesIsLog = false;
    pending_.usesAsset = pending_.usesPortfolio = false;

    qualifiedNames_.clear();
    rowNames_.clear();
    fixedReplacements_.assign(std::begin(fixedCells), std::end(fixedCells));
    int row = 2;
    int widest = 0;
    for (int i = 0; i < table_.count(); ++i) {
      const TSource* source = table_.getSource(i);
      if (source == nullptr || !source->Enabled) continue;
      widest = std::max(widest, source->symbolCount() + source->parameterCount());
      produceLines(*source, TLinePass::collect, row);
    }
    // References beyond the sheet's counts are not accepted, so the sheet is
    // made as large as the rows and symbol columns the lines need.
    sheet_.setColCount(std::max(sheet_.getColCount(), firstSymbolColumn + widest + 1));
    sheet_.setRowCount(std::max(sheet_.getRowCount(), row + 1));

    writeRowOne();

    row = 2;
    for (int i = 0; i < table_.count(); ++i) {
      const TSource* source = table_.getSource(i);
      if (source == nullptr || !source->Enabled) continue;
      produceLines(*source, TLinePass::rows, row);
    }
    pending_.built = plot_.seriesCount() > 0;
  } catch (...) {
    pending_.built = false;
  }
  work_.reset();
  qualifiedNames_.clear();
  rowNames_.clear();
  return pending_.built;
}

void TSheetBuilder::writeCell(int column, int row, std::uint8_t typeCode, const std::string& text) {
  sheet_.setCurrentCell(column, row);
  sheet_.setCurrentCellContent(typeCode, text, 0);
}

void TSheetBuilder::writeRowOne() {
  writeCell(1, 1, numberCell, "0");
  sheet_.setCurrentCellNumber(pending_.fromDate);
  writeCell(2, 1, stringCell, rewrite(pending_.topText, nullptr, true));
  writeCell(3, 1, stringCell, rewrite(pending_.bottomText, nullptr, true));
  writeCell(4, 1, numberCell, "0");
  sheet_.setCurrentCellNumber(pending_.fromDate);
  writeCell(5, 1, numberCell, "0");
  sheet_.setCurrentCellNumber(pending_.toDate);
  writeCell(6, 1, integerCell, "0");
  sheet_.setCurrentCellInteger(pending_.assetIndex);
  writeCell(7, 1, integerCell, "0");
  sheet_.setCurrentCellInteger(pending_.portfolioIndex);
  writeCell(12, 1, booleanCell, "0");
  sheet_.setCurrentCellInteger(pending_.logarithmic ? 1 : 0);
  writeCell(8, 1, numberCell, rewrite(pending_.fromXFormula, nullptr, false));
  writeCell(9, 1, numberCell, rewrite(pending_.toXFormula, nullptr, false));
  writeCell(10, 1, integerCell, rewrite(pending_.stepsFormula, nullptr, false));
  writeCell(11, 1, integerCell, "0");
  sheet_.setCurrentCellInteger(0);
}

void TSheetBuilder::produceLines(const TSource& source, TLinePass pass, int& row) {
  const int kind = source.Kind;
  if (kind == 0) {
    if (pass == TLinePass::collect) {
      collect(source, row++);
      return;
    }
    fixedReplacements_[nameSelf] = "SELF";
    if (!source.AutoColor) {
      addRow(source, row);
      return;
    }
    if (work_->assign(&source) != 0) return;
    work_->Color = static_cast<int>(bgSeriesColor);
    addRow(*work_, row);
    return;
  }
  TPortfolioTable* portfolios = sheet_.portfolioTable;
  if (portfolios == nullptr || kind > 8 || work_->assign(&source) != 0) return;
  if (kind >= 1 && kind <= 4) {
    if (kind == 2) {
      if (pass == TLinePass::rows) pending_.usesPortfolio = true;
      const int current = portfolios->currentIndex();
      if (portfolios->items(current) != nullptr) portfolioLine(source, current, pass, row);
      return;
    }
    for (int i = 0; i < portfolios->count(); ++i) {
      const TPortfolio* portfolio = portfolios->items(i);
      if (portfolio == nullptr) continue;
      if (kind == 3 && !sameText(portfolio->Symbol(), source.Identifier)) continue;
      if (kind == 4 && !sameText(portfolio->Name(), source.Identifier)) continue;
      portfolioLine(source, i, pass, row);
    }
    return;
  }
  const TPortfolio* portfolio = portfolios->current();
  if (portfolio == nullptr) return;
  if (kind == 6) {
    if (pass == TLinePass::rows) pending_.usesAsset = true;
    const int current = portfolio->currentAssetIndex();
    if (portfolio->assets(current) != nullptr) assetLine(source, current, pass, row);
    return;
  }
  for (int j = 0; j < portfolio->assetCount(); ++j) {
    const TAsset* asset = portfolio->assets(j);
    if (asset == nullptr) continue;
    if (kind == 7 && !sameText(asset->Symbol(), source.Identifier)) continue;
    if (kind == 8 && !sameText(asset->Name(), source.Identifier)) continue;
    assetLine(source, j, pass, row);
  }
}

void TSheetBuilder::portfolioLine(const TSource& source, int index, TLinePass pass, int& row) {
  if (pass == TLinePass::collect) {
    collect(source, row++);
    return;
  }
  const TPortfolio* portfolio = sheet_.portfolioTable->items(index);
  if (portfolio == nullptr) return;
  fixedReplacements_[nameSelf] = std::to_string(index);
  if (source.AutoColor) work_->Color = static_cast<int>(autoColor(*portfolio, bgSeriesColor));
  work_->Caption = source.Caption.empty() ? portfolio->Name() : source.Caption + ": " + portfolio->Name();
  addRow(*work_, row);
}

void TSheetBuilder::assetLine(const TSource& source, int index, TLinePass pass, int& row) {
  if (pass == TLinePass::collect) {
    collect(source, row++);
    return;
  }
  const TAsset* asset = sheet_.portfolioTable->current()->assets(index);
  if (asset == nullptr) return;
  fixedReplacements_[nameSelf] = std::to_string(index);
  if (source.AutoColor) work_->Color = static_cast<int>(autoColor(*asset, bgSeriesColor));
  work_->Caption = source.Caption.empty() ? asset->Name() : source.Caption + ": " + asset->Name();
  addRow(*work_, row);
}

void TSheetBuilder::collect(const TSource& source, int row) {
  const int symbols = source.symbolCount();
  if ((symbols == 0 && source.parameterCount() == 0) || source.Identifier.empty()) return;
  for (int k = 0; k < symbols; ++k) {
    qualifiedNames_.push_back({source.Identifier + "." + source.symbol(k)->Symbol,
                               cellName(firstSymbolColumn + k, row)});
  }
  for (int m = 0; m < source.parameterCount(); ++m) {
    qualifiedNames_.push_back({source.Identifier + "." + source.parameter(m)->Symbol,
                               cellName(firstSymbolColumn + symbols + m, row)});
  }
}

void TSheetBuilder::addRow(const TSource& source, int& row) {
  TPriceSeries* series = plot_.series(plot_.addSeries());
  if (series == nullptr) return;
  series->percent = source.Index;
  series->fillable = source.Fillable;
  series->foreground = source.DefaultOnInLegend;
  series->inLegend = source.InLegend;
  series->caption = source.Caption;
  series->color = static_cast<uint32_t>(source.Color);
  series->width = source.LineWidth;
  series->lineFields = series->barFields = series->countedFields = 0;
  series->openMarker = series->highMarker = series->lowMarker = 0;
  series->closeMarker = source.PointKind;

  const std::string r = std::to_string(row);
  fixedReplacements_[nameOpens] = "H" + r;
  fixedReplacements_[nameHighs] = "I" + r;
  fixedReplacements_[nameLows] = "J" + r;
  fixedReplacements_[nameCloses] = "K" + r;
  for (int column = 8; column <= 11; ++column) writeCell(column, row, integerCell, "0");

  const int symbols = source.symbolCount();
  rowNames_.clear();
  for (int k = 0; k < symbols; ++k) {
    rowNames_.push_back({source.symbol(k)->Symbol, cellName(firstSymbolColumn + k, row)});
  }
  for (int m = 0; m < source.parameterCount(); ++m) {
    const TSourceParameter& parameter = *source.parameter(m);
    rowNames_.push_back({parameter.Symbol, cellName(firstSymbolColumn + symbols + m, row)});
    writeCell(firstSymbolColumn + symbols + m, row, numberCell, "0");
    sheet_.setCurrentCellNumber(static_cast<double>(parameter.Value));
  }
  for (int k = 0; k < symbols; ++k) {
    writeCell(firstSymbolColumn + k, row, numberCell, trimBlanks(rewrite(source.symbol(k)->Definition, series, true)));
  }

  auto formulaCell = [&](int column, std::uint8_t typeCode, const std::string& formula, TPriceSeries* with) {
    const std::string text = trimBlanks(rewrite(formula, with, true));
    if (!text.empty()) writeCell(column, row, typeCode, text);
  };
  const auto* chartSource = dynamic_cast<const TChartSource*>(&source);
  if (chartSource != nullptr) {
    formulaCell(1, numberCell, chartSource->Open, series);
    if (chartSource->StepLineOpen) series->lineFields |= quoteOpenBit;
    if (chartSource->ohlcOpen) series->barFields |= quoteOpenBit;
    formulaCell(2, numberCell, chartSource->High, series);
    if (chartSource->StepLineHigh) series->lineFields |= quoteHighBit;
    if (chartSource->ohlcHigh) series->barFields |= quoteHighBit;
    formulaCell(3, numberCell, chartSource->Low, series);
    if (chartSource->StepLineLow) series->lineFields |= quoteLowBit;
    if (chartSource->ohlcLow) series->barFields |= quoteLowBit;
  }
  formulaCell(4, numberCell, source.Close, series);
  if (source.StepLineClose) series->lineFields |= quoteCloseBit;
  if (chartSource != nullptr) {
    if (chartSource->ohlcClose) series->barFields |= quoteCloseBit;
    formulaCell(5, numberCell, chartSource->Volume, nullptr);
  }
  // A source that draws no line, no bar and no marker of any field would
  // vanish and leave the value range: its closes show as dots instead.
  if (series->lineFields == 0 && series->barFields == 0 && series->closeMarker == pkNone)
    series->closeMarker = pkDot;
  formulaCell(6, integerCell, source.Text, nullptr);
  formulaCell(7, integerCell, source.Image, nullptr);
  ++row;
}

bool TSheetBuilder::lookUp(const std::string& identifier, TPriceSeries* series, bool trackDates,
                           std::string& replacement) {
  for (int i = 0; i < fixedNameCount; ++i) {
    if (!sameText(identifier, fixedNames[i])) continue;
    replacement = fixedReplacements_[i];
    switch (i) {
      case nameFromDate: pending_.usesFromDate = pending_.usesFromDate || trackDates; break;
      case nameToDate: pending_.usesToDate = pending_.usesToDate || trackDates; break;
      case nameAsset: pending_.usesAsset = true; break;
      case namePortfolio: pending_.usesPortfolio = true; break;
      case nameIsLog: pending_.usesIsLog = true; break;
      case nameOpens: if (series) series->countedFields |= quoteOpenBit; break;
      case nameHighs: if (series) series->countedFields |= quoteHighBit; break;
      case nameLows: if (series) series->countedFields |= quoteLowBit; break;
      case nameCloses: if (series) series->countedFields |= quoteCloseBit; break;
      default: break;
    }
    return true;
  }
  for (const auto* names : {&rowNames_, &qualifiedNames_}) {
    for (const TName& entry : *names) {
      if (sameText(identifier, entry.name)) {
        replacement = entry.replacement;
        return true;
      }
    }
  }
  if (fieldValueGetter && identifier.size() > 5 && sameText(identifier.substr(0, 5), "GRID.")) {
    bool found = false;
    std::string value;
    fieldValueGetter(identifier.substr(5), value, found);
    if (found) {
      replacement = value;
      return true;
    }
  }
  return false;
}

std::string TSheetBuilder::rewrite(const std::string& text, TPriceSeries* series, bool trackDates) {
  const char decimal = sheet_.decimalSeparator.empty() ? '.' : sheet_.decimalSeparator[0];
  const char list = sheet_.listSeparator.empty() ? ',' : sheet_.listSeparator[0];
  std::string result;
  TFormulaTokenReader reader(text, decimal, list);
  while (reader.next()) {
    result.append(reader.blanksBefore(), ' ');
    const TTokenObject& token = reader.token();
    std::string replacement;
    if (token.tokenClass == tokenOperand && token.value.kind == valueIdentifier &&
        lookUp(std::string(reader.spelling()), series, trackDates, replacement)) {
      result += replacement;
    } else {
      result += reader.spelling();
    }
  }
  result.append(reader.blanksBefore(), ' ');
  return result;
}
