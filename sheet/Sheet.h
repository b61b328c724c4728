#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "model/FontProperties.h"
#include "platform/ShiftState.h"
#include "sheet/Cell.h"
#include "sheet/CellFactory.h"
#include "sheet/CellFormat.h"
#include "sheet/CustomIdObject.h"
#include "sheet/Dependents.h"
#include "sheet/MacroCallout.h"
#include "sheet/Props.h"
#include "sheet/RPNstack.h"
#include "sheet/ValueArray.h"
#include "sheet/WorkingLists.h"

class TAsset;
class TSheetCanvas;
class TCompiledFormula;
class TEvalContext;
class TPortfolio;
class TPortfolioTable;
class TTransaction;

// A text that is not a number of the asked form.
struct EConvertError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Object kinds of bound cells and of TSheet::objectChanged.
enum : std::uint8_t { objectPortfolio = 0, objectAsset = 1, objectTransaction = 2 };


// Where a pixel of the drawn sheet lies; also the state of the mouse
// handling (resizing, selecting or nothing).
enum TPointArea : int {
  areaFixedColumnBorder = 0,  // a column border in the headers or fixed part
  areaFixedRowBorder = 1,
  areaColumnBorder = 2,       // between two non-fixed cells
  areaRowBorder = 3,
  areaCell = 4,
  areaNowhere = 5,            // outside, beyond the counts, or a coordinate header
};

// The cell grid, column-major: cells[col - 1][row - 1]; columns have their
// own lengths, and a place beyond them is empty.
using TCellGrid = std::vector<std::vector<TCellPtr>>;

// The spreadsheet: a grid of cells with their formats, row and column
// properties, the dependency lists, the number texts with its own
// separators, and the formula engine (references, evaluation,
// recalculation). Columns and rows are numbered from 1 wherever an operation
// takes a column and a row; "index" arguments are 0-based.
//
// A sheet is used by one thread at a time; that thread must run with
// extended precision (platform/FloatingPoint.h).
class TSheet {
 public:
  TSheet();
  ~TSheet();
  TSheet(const TSheet&) = delete;
  TSheet& operator=(const TSheet&) = delete;

  // ---- Options and state read and written directly ----
  bool autoRecalculate = true;      // dependents are evaluated at once, else only marked
  bool gridLines = true;
  bool multiSelect = true;
  bool showErrorTexts = true;       // cells in error show their text, else nothing
  bool showCurrentCellFrame = true;
  bool recordDependents = true;     // evaluation records what formulas read
  bool stopAtFirstError = true;     // a formula stops at its first error
  bool expandVectorResults = false; // an array result spills over the neighbouring cells
  // Lines that formulas may read beyond the shown column and row counts: a
  // list window keeps hidden fields and its selected-index cell there.
  int readableCols = 0, readableRows = 0;
  bool resultIsArray = false;       // the last formula evaluated gave an array
  bool defaultFixedDecimals = false;
  int leftCol = 1, topRow = 1;      // scroll position
  int rightCol = 1, bottomRow = 1;  // last shown by the last drawing
  POINT anchor{-1, -1};
  int currentCol = -1, currentRow = -1;  // below 1: no current cell
  RECT selection{-1, -1, -1, -1};
  RECT paintedArea{0, 0, 0, 0};
  int resizeState = 5;
  TProps rowProps;
  TColProps colProps;
  TDependents dependents;
  std::int32_t backgroundColor = clWindow;
  std::int32_t headerColor = clBtnFace;
  // The lines between the cells; by default they show the header face.
  std::int32_t gridColor = clDefault;
  std::int32_t defaultFillColor = clWindow;
  std::int32_t selectionColor = clHighlight;
  std::int32_t selectionTextColor = clHighlightText;
  TFontProperties defaultFont;
  HIMAGELIST imageList = nullptr;  // not owned
  std::int32_t trueImage = -1, falseImage = -1;
  std::uint8_t defaultMaxDecimals = 2;
  std::string listSeparator, decimalSeparator, thousandSeparator;  // the system's at creation
  std::string dateFormat, timeFormat;  // empty: the system's
  TValueRecord resultValue;            // the value of the last formula evaluated
  std::vector<TCustomIdObject> customIds;
  TPortfolioTable* portfolioTable = nullptr;  // not owned
  std::shared_ptr<TTokenObjectFactory> tokenFactory;
  TFontAndFillFactory formatFactory;
  TCellFactory cellFactory;
  TSizedPools formulaPools;  // the blocks of the cells' formulas
  TCellGrid cells;
  TMacroCallout macroCallout;  // calls the functions of the user's macros

  // ---- Construction and clearing ----
  void clearCells();  // also empties the dependency lists and the result value
  void clearSizes();
  void freeCustomIds() { customIds.clear(); }

  // ---- Counts, sizes and header options ----
  void setColCount(int n);
  void setRowCount(int n);
  int getColCount() const { return colProps.count; }
  int getRowCount() const { return rowProps.count; }
  void setLeftCol(int n);
  void setTopRow(int n);
  void setTopLeft(POINT point);  // x column, y row
  int lastSizedCol() const { return colProps.lastSized(); }
  int lastSizedRow() const { return rowProps.lastSized(); }
  int getColWidth(int i) const { return colProps.getSize(i); }
  int getRowHeight(int i) const { return rowProps.getSize(i); }
  void setColWidth(int i, int w) { colProps.setSize(i, w); }
  void setRowHeight(int i, int h) { rowProps.setSize(i, h); }
  int getDefaultColWidth() const { return colProps.defaultSize; }
  void setDefaultColWidth(int w);
  int getDefaultRowHeight() const { return rowProps.defaultSize; }
  void setDefaultRowHeight(int h);  // negative: 1.5 times the default font's height
  bool getNumericColCoords() const { return colProps.numericColCoords; }
  void setNumericColCoords(bool b) { colProps.numericColCoords = b; }
  bool getShowColCoords() const { return colProps.showCoords; }
  void setShowColCoords(bool b) { colProps.showCoords = b; }
  bool getShowRowCoords() const { return rowProps.showCoords; }
  void setShowRowCoords(bool b) { rowProps.showCoords = b; }
  int getFixedCols() const { return colProps.fixedCount; }
  int getFixedRows() const { return rowProps.fixedCount; }

  // ---- Number texts with the sheet's separators ----
  // Blanks, an optional sign, decimal digits, blanks; nothing else, and the
  // value must fit 32 bits. The raising forms throw EConvertError.
  bool tryStrToIntStrict(const std::string& text, std::int32_t& value) const;
  std::int32_t strToIntStrict(const std::string& text) const;
  // Thousands separators only where they group three digits before the
  // decimal separator, the decimal separator read as the decimal point; a
  // finite number only.
  bool tryStrToFloat(const std::string& text, double& value) const;
  double strToFloat(const std::string& text) const;
  // 15 significant digits, the sheet's decimal separator.
  std::string floatToStr(double x) const;

  // ---- Cell access ----
  // Inline: every reference a formula reads comes here.
  TCell* getCell(int col, int row) const {
    if (col < 1 || row < 1 || col > static_cast<int>(cells.size())) return nullptr;
    const auto& column = cells[static_cast<std::size_t>(col) - 1];
    if (row > static_cast<int>(column.size())) return nullptr;
    return column[static_cast<std::size_t>(row) - 1].get();
  }
  TCell* getCellByIndex(int colIndex, int rowIndex) const { return getCell(colIndex + 1, rowIndex + 1); }
  // Stores the cell (the sheet owns it from now on), freeing another cell at
  // the place; nullptr frees and empties the place. The place's dependency
  // links go with a cell that is freed.
  void putCell(int col, int row, TCellPtr cell);
  TCell* currentCell() const { return getCell(currentCol, currentRow); }
  bool hasCurrentCell() const { return currentCol >= 1 && currentRow >= 1; }
  int lastColumnWithRow(int row) const;
  POINT getUsedExtent() const;
  // Counts every emptying, resizing or rearranging of the grid and every
  // cell taken from a place, so that a holder of a place (the grid's open
  // editor) can tell that what stands there now may be another cell.
  std::uint64_t cellsGeneration() const { return cellsGeneration_; }

  // ---- Creating cells ----
  // Writes text into the place as a cell of the type code (any other code:
  // keep a string cell, else a number or string cell by the text); the
  // dependents follow when the cell changed. Nothing for a locked cell.
  void setCellContent(int col, int row, std::uint8_t alignment, const std::string& text, std::uint8_t typeCode);
  void setCurrentCellContent(std::uint8_t typeCode, const std::string& text, std::uint8_t alignment);
  // One cell of the type code for every place of the range, in one memory
  // block that the caller owns and frees after the cells are gone.
  struct TCellBlock {
    int count = 0;
    std::size_t instanceSize = 0;
    std::unique_ptr<std::byte[]> memory;
  };
  void createCellRange(std::uint8_t typeCode, std::uint8_t alignment, TCellBlock& block, const RECT& range);
  bool setSelectionType(std::uint8_t typeCode);

  // ---- Values of cells (a cell has a value when it exists and is valid) ----
  bool cellHasValue(int col, int row) const;
  bool currentCellHasValue() const { return cellHasValue(currentCol, currentRow); }
  std::string getCellText(int col, int row, bool forDisplay) const;
  std::string getCurrentCellText(bool forDisplay) const { return getCellText(currentCol, currentRow, forDisplay); }
  std::int32_t getCellInteger(int col, int row) const;
  std::int32_t currentCellInteger() const { return getCellInteger(currentCol, currentRow); }
  double getCellNumber(int col, int row) const;
  double currentCellNumber() const { return getCellNumber(currentCol, currentRow); }
  TArray* currentCellArray() const;
  std::uint8_t currentCellType() const;
  void setCurrentCellString(const std::string& text);
  void setCurrentCellInteger(std::int32_t n);
  void setCurrentCellNumber(double x);
  bool markCurrentCellDirty();
  bool markSelectionDirty();

  // ---- Formats, locks and number options ----
  bool currentCellLocked() const;
  void setCurrentCellLocked(bool b);
  void setSelectionLocked(bool b);
  void setSelectionFont(const TFontProperties* font);
  void setSelectionFillColor(std::int32_t color);
  void setSelectionConditionalFont(const TFontProperties* font);
  void setSelectionConditionalFillColor(std::int32_t color);
  void setSelectionThreshold(bool ifAboveThreshold, double threshold);
  void setCurrentCellMaxDecimals(int n);
  void setCurrentCellFixedDecimals(bool b);
  void setCurrentCellTrail(const std::string& text);
  void getCurrentCellFont(TFontProperties& font) const;
  std::int32_t currentCellFillColor() const;
  void getCurrentCellFormatForNumber(double x, TFontProperties& font, std::int32_t& fill) const;
  void getCurrentCellFormatForText(const std::string& text, TFontProperties& font, std::int32_t& fill) const;
  void setMultiSelect(bool b);
  // The engine whose functions formulas may call (nullptr: none); with
  // recalculate, every formula is evaluated again.
  void setScriptEngine(IActiveScript* engine, bool recalculate);

  // ---- References, value conversion and identifiers ----
  // [$]letters[$]digits. No reference beyond the sheet's column and row
  // counts is accepted.
  bool parseCellRef(const std::string& text, int& col, bool& absRow, bool& absCol, int& row) const;
  // Two cell references round ":", corners normalised so first <= last.
  bool parseRangeRef(const std::string& text, int& firstCol, int& firstRow, int& lastCol, int& lastRow) const;
  bool parseRangeRef(const std::string& text, int& firstCol, int& firstRow, int& lastCol, int& lastRow,
                     bool& firstAbsRow, bool& firstAbsCol, bool& lastAbsRow, bool& lastAbsCol) const;
  // "$"? letters "$"? digits, or "#REF!" for a column or row below 1.
  std::string cellAddressText(int col, int row, bool absRow, bool absCol) const;
  // Fills the field of the target kind (1 integer, 2 number, 3 string) from
  // the value; the kind byte stays. False when it does not convert.
  bool convertValue(TValueRecord& value, std::uint8_t target) const;
  // Resolves identifiers, then brings both to the higher kind (integer <
  // number < string); that kind, or 0 when a conversion fails.
  std::uint8_t unifyValueKinds(TValueRecord& a, TValueRecord& b, int col, int row, bool record);
  // -1, 0 or 1 (texts: any sign) for a below, equal to or above b; false
  // when the two cannot be compared. With wildcards b is a pattern of "*"
  // (any run) and "?" (any one character).
  bool compareValues(TValueRecord& a, TValueRecord& b, int& result, int col, int row, bool record, bool wildcards);
  // The value of a valid cell: kind 1, 2 or 3 by its class; kind 0 for no
  // cell or a cell in error (busy counts as valid when allowed).
  void cellToValue(const TCell* cell, bool busyAllowed, TValueRecord& value) const;
  // The value stored directly in the cell's value field.
  void valueToCell(const TValueRecord& value, TCell* cell);
  // The value stored through the cell's setter; true when the cell changed.
  bool setCellValue(const TValueRecord& value, TCell* cell);
  void setCustomId(const std::string& name, const TValueRecord& value);
  bool getCustomId(const std::string& name, TValueRecord& value) const;
  // The range's values row by row; empty and error cells give empty
  // elements. Raises std::length_error for a range of more than
  // maxArrayElements places.
  void rangeToArray(int firstCol, int firstRow, int lastCol, int lastRow, TArray& array) const;
  // Writes a two-dimensional array into the cells from (col, row).
  // skipOrigin leaves the place (col, row) alone: the formula that made the
  // array is about to be stored there.
  bool spillArray(const TArray& array, int col, int row, bool clearEmpty, int maxRows, int maxCols,
                  bool skipOrigin = false);
  // Replaces an identifier by what it names: TRUE, FALSE, PI, E, a named
  // value, a cell's value, or (allowRange, array given) a range as a new
  // array (value kind 6). What is read is recorded as read by the cell
  // (col, row) when record is set (ECircularReference on a cycle). A
  // reference beyond the sheet raises EInvalidReference.
  void resolveIdentifier(TValueRecord& value, std::unique_ptr<TArray>* array, bool record, bool allowRange,
                         bool allowCellRef, int col, int row);
  // The same on a token: a range becomes the token's own array.
  void resolveToken(TTokenObject& token, bool record, bool allowRange, bool allowCellRef, int col, int row);

  // ---- Evaluation ----
  // Applies the operator token at index (see SheetEvaluator.cpp); 0 on
  // success (index then points past the result), else the error code.
  std::uint8_t evaluateOperator(TRPNstackObject& list, int& index, bool record, int col, int row);
  // The sheet's separators as formulas are read with them.
  char formulaDecimalSeparator() const;
  char formulaListSeparator() const;
  // Compiles with the sheet's separators; status 0, or 2 and 4 to 8.
  void compileFormula(const std::string& text, TRPNstackObject& list, std::uint8_t& status);
  // Function-call tokens get their built-in ids (-1: not built in).
  static void bindFunctionIds(TRPNstackObject& list);
  std::uint8_t evaluateTokenList(TRPNstackObject& list, int col, int row, bool record);
  // Evaluates a cell's working copy (consumed) for the cell (col, row); the
  // value goes to resultValue.
  std::uint8_t evaluateFormula(TRPNstackObject& list, int col, int row, bool record);
  // Compiles and evaluates a loose text for the cell (col, row); the value
  // goes to resultValue. Nested more than maxParseDepth deep (a criterion
  // whose evaluation evaluates criteria again): "#VALUE!".
  std::uint8_t parseAndEvaluate(const std::string& text, int col, int row, bool record);
  static constexpr int maxParseDepth = 4;
  // compileFormula into the packed form that a cell keeps with its text;
  // the text alone unless status is 0. A formula filled down from the cell
  // above (col, row) is copied from that one's.
  std::unique_ptr<TCompiledFormula> compileCellFormula(const std::string& text, std::uint8_t& status, int col,
                                                       int row);
  // evaluateFormula on a copy of a cell's compiled formula, made in one of
  // the sheet's working lists. The token of an array result is handed to
  // arrayResult (a new list when it has none); the rest of the copy stays.
  std::uint8_t evaluateCompiledFormula(const TCompiledFormula& formula, int col, int row, bool record,
                                       std::unique_ptr<TRPNstackObject>& arrayResult);
  // A cell's compiled formula evaluated straight from its tokens
  // (DirectEvaluation.cpp): true with resultValue set when it gives a
  // number; false, having done nothing that evaluateFormula would not do
  // first, when a step needs the working copy.
  bool evaluateDirectly(const TCompiledFormula& formula, int col, int row, bool record);
  // Keeps a compiled formula that was replaced while its cell was being
  // evaluated until the outermost evaluation of a cell's formula ends.
  void retireFormula(std::unique_ptr<TCompiledFormula> formula);
  // The working list of the next level of evaluation, for as long as the
  // lease lives.
  TWorkingLists::TLease leaseWorkingList() { return TWorkingLists::TLease(workingLists_, tokenFactory); }

  // ---- Recalculation ----
  // A formula that reads the same places at every evaluation finds its
  // links there as long as none has been dropped: the cell keeps the links
  // mark of the evaluation that recorded them all, and reads without
  // recording while the mark holds. The mark moves on with every drop.
  bool linksRecorded(std::uint32_t mark) { return mark == currentLinksMark(); }
  // The mark for a cell whose formula has just been evaluated at (col, row)
  // with its reads recorded and a valid result (previous: the cell's mark).
  std::uint32_t linksMarkAfter(const TCompiledFormula& formula, std::uint32_t previous, int col, int row);
  void recalculateAll(bool resetDependents);
  void markAllDirty();
  // Brings the dependents of the place (0-based) up to date, depth first.
  void recalculateDependents(int colIndex, int rowIndex);
  void objectChanged(std::uint8_t objectKind, std::int32_t index);
  // Called by a cell whose evaluation ended in "#CIRC!", so that a later
  // change can clear it without a pass over the grid.
  void noteCircularCell(int col, int row);

  // ---- Bound-object properties (SheetBoundObjects.cpp) ----
  // A portfolio by its index among the open portfolios, an asset by its
  // index in the current portfolio, a transaction by its number in any asset
  // of the current portfolio. Nothing is found without a portfolio table.
  void findPortfolio(std::int32_t index, TPortfolio*& portfolio, bool& found) const;
  void findAsset(std::int32_t index, TAsset*& asset, bool& found) const;
  void findTransaction(std::int32_t number, TTransaction*& transaction, bool& found) const;
  // Getters leave the value as it was when the object is not found. Setters
  // return true when they changed the property; the dependents of every
  // cell bound to the object have then been brought up to date.
  void getPortfolioName(std::int32_t index, std::string& text, bool& found) const;
  void getPortfolioSymbol(std::int32_t index, std::string& text, bool& found) const;
  void getPortfolioCurrency(std::int32_t index, std::string& text, bool& found) const;
  bool setPortfolioName(std::int32_t index, const std::string& text);    // trimmed; only a different text
  bool setPortfolioSymbol(std::int32_t index, const std::string& text);  // the same
  bool setPortfolioCurrency(std::int32_t index, const std::string& text);  // a different code; loads its rates
  void getAssetName(std::int32_t index, std::string& text, bool& found) const;
  void getAssetSymbol(std::int32_t index, std::string& text, bool& found) const;
  void getAssetCurrency(std::int32_t index, std::string& text, bool& found) const;
  bool setAssetName(std::int32_t index, const std::string& text);
  bool setAssetSymbol(std::int32_t index, const std::string& text);
  bool setAssetCurrency(std::int32_t index, const std::string& text);  // reloads the table's rates
  // The shares of the asset's allocation, 0 while it is not valid. Setting
  // one always counts as a change.
  void getAssetPercentStocks(std::int32_t index, double& percent, bool& found) const;
  void getAssetPercentBonds(std::int32_t index, double& percent, bool& found) const;
  void getAssetPercentCash(std::int32_t index, double& percent, bool& found) const;
  void getAssetPercentOther(std::int32_t index, double& percent, bool& found) const;
  bool setAssetPercentStocks(std::int32_t index, double percent);
  bool setAssetPercentBonds(std::int32_t index, double percent);
  bool setAssetPercentCash(std::int32_t index, double percent);
  bool setAssetPercentOther(std::int32_t index, double percent);
  // A transaction's date is the day count of its date-time, its time the
  // fraction; setting either keeps the other. Every transaction setter
  // counts as a change when the transaction is found.
  void getTransactionDate(std::int32_t number, double& date, bool& found) const;
  void getTransactionTime(std::int32_t number, double& time, bool& found) const;
  void getTransactionUnits(std::int32_t number, double& units, bool& found) const;
  void getTransactionValue(std::int32_t number, double& value, bool& found) const;
  void getTransactionFees(std::int32_t number, double& fees, bool& found) const;
  void getTransactionFlag(std::int32_t number, std::string& flag, bool& found) const;
  void getTransactionSoft(std::int32_t number, std::int32_t& soft, bool& found) const;
  bool setTransactionDate(std::int32_t number, double date);
  bool setTransactionTime(std::int32_t number, double time);
  bool setTransactionUnits(std::int32_t number, double units);
  bool setTransactionValue(std::int32_t number, double value);
  bool setTransactionFees(std::int32_t number, double fees);
  bool setTransactionFlag(std::int32_t number, const std::string& flag);
  bool setTransactionSoft(std::int32_t number, std::int32_t soft);
  // The property that a bound cell of the type code (10 to 27) shows for the
  // object id (kind 1, 2 or 3); false when the object is not found.
  bool readObjectProperty(std::uint8_t typeCode, std::int32_t id, TValueRecord& value) const;
  // Writes it, the value converted to the property's kind; true when the
  // property changed.
  bool writeObjectProperty(std::uint8_t typeCode, std::int32_t id, const TValueRecord& value);
  // The property bound to the current cell, for the grid's editor. Nothing
  // happens unless the current cell is an unlocked bound cell; the getters
  // then give empty, 0 or 0.0, as they do for a value that does not convert.
  void getCurrentObjectText(std::string& text) const;
  std::int32_t currentObjectInteger() const;
  double currentObjectNumber() const;
  void setCurrentObjectText(const std::string& text);
  void setCurrentObjectInteger(std::int32_t n);
  void setCurrentObjectNumber(double x);

 private:
  void freeCellAt(int col, int row);
  void walkSelection(void (*action)(TCell&, void*), void* data, bool includeLocked);
  bool findCustomId(const std::string& name, const TValueRecord*& value) const;
  // Evaluates a list for the place (col, row) into resultValue. For a cell's
  // own formula the place's links are renewed and an array result is placed
  // over the cells; a loose evaluation leaves both alone.
  std::uint8_t evaluateList(TRPNstackObject& list, int col, int row, bool record, bool forCellFormula,
                            const TCompiledFormula* pending = nullptr);
  // evaluateTokenList; with pending, the list is the working copy of that
  // formula and each of its tokens is appended when the walk reaches it.
  std::uint8_t walkTokens(TRPNstackObject& list, int col, int row, bool record, const TCompiledFormula* pending);

  // Formula cells last seen in "#CIRC!", in column then row order.
  std::set<TCellCoord> circularCells_;
  int parseDepth_ = 0;
  std::uint64_t cellsGeneration_ = 0;
  // The removal count of the dependency lists at the last full look at them.
  std::uint64_t circularScanRemovals_ = ~std::uint64_t{0};
  // A propagation ends with a look at the cells in "#CIRC!" only when a link
  // was dropped since the last: only a dropped link can break a cycle.
  bool circularScanDue() const {
    return dependents.removalCount() != circularScanRemovals_ && !circularCells_.empty();
  }
  // The propagation's explicit stack: a frame walks its slice of pending_
  // (the dependents of one place), then the cells in "#CIRC!" after cursor.
  struct TPropagationFrame {
    std::size_t begin;
    std::size_t next;
    std::size_t end;
    bool scanningCircular;
    bool cursorSet;
    TCellCoord cursor;
    std::uint64_t scanRemovals;  // the dependency lists' removal count when the scan began
  };
  std::vector<TPropagationFrame> frames_;
  // The links mark, and the removal count of the dependency lists it stands
  // for.
  std::uint32_t linksMark_ = 1;
  std::uint64_t linksMarkRemovals_ = 0;
  // The mark of a formula that may read other places another time (a
  // function, a range, a name): it never holds, and the formula is not
  // looked at again.
  static constexpr std::uint32_t linksMarkNever = ~std::uint32_t{0};
  std::uint32_t currentLinksMark() {
    if (dependents.removalCount() != linksMarkRemovals_) moveLinksMark();
    return linksMark_;
  }
  void moveLinksMark();
  // The full recalculation in progress (0: none) and the last one begun;
  // a propagation during a pass stamps the cells it computes with it.
  std::uint32_t activePass_ = 0;
  std::uint32_t passCount_ = 0;
  std::uint32_t beginPass();
  // The place the pass's walk over the grid has reached.
  TCellCoord walkCursor_;
  // True when a propagation during the pass leaves the cell at place to the
  // walk, which has yet to compute it.
  bool leftToWalk(TCellCoord place, const TCell& cell) const {
    return activePass_ != 0 && cell.passMark != activePass_ && walkCursor_ < place;
  }
  // True when a propagation from place, changed as the walk computed it,
  // would leave all its dependents to the walk and do nothing else.
  bool walkTakesAllDependents(TCellCoord place);
  void prefetchBelow(TCellCoord place) const;
  std::vector<TCellCoord> pending_;
  TWorkingLists workingLists_;
  std::vector<std::unique_ptr<TCompiledFormula>> retiredFormulas_;
  int formulaEvaluationDepth_ = 0;

  // ======== Drawing, structure edits, sorting and navigation ========
 public:
  // ---- Drawing and geometry (SheetPaint.cpp) ----
  // Draws headers, cell backgrounds with the selection, every visible cell
  // and the current-cell frame into rect, and records what was shown
  // (paintedArea, rightCol, bottomRow) for the geometry below.
  void paint(TSheetCanvas& canvas, const RECT& rect);
  // A raised header frame round rect (right and bottom exclusive).
  void drawButtonFrame(TSheetCanvas& canvas, const RECT& rect);
  // The header face inside the frame.
  void fillHeaderBackground(TSheetCanvas& canvas, const RECT& rect);
  static void innerRect(const RECT& rect, RECT& inner);
  void drawColumnHeader(int col, TSheetCanvas& canvas, int top, int left);
  void drawRowHeader(int row, TSheetCanvas& canvas, int top, int left);
  void drawCellBackground(int col, int row, int top, int left, TSheetCanvas& canvas);
  // The cell of the place (nothing for an empty one); a text may run on over
  // empty neighbours inside clip.
  void drawCell(int col, int row, const RECT& clip, int top, int left, TSheetCanvas& canvas);
  void drawCurrentCellFrame(int col, int row, int top, int left, TSheetCanvas& canvas);
  bool inSelection(int col, int row) const;
  // The place under a pixel of the last drawing (column or row 0: the
  // header; -1: left of or above the drawing) and its pixel origin.
  void pointToCell(int x, int y, POINT& place, int& cellLeft, int& cellTop) const;
  // One of the TPointArea codes, with the place under the pixel and its
  // origin.
  int pointArea(int x, int y, POINT& place, POINT& origin) const;
  int hitTest(int x, int y) const;
  // The current cell's pixels, widened over empty neighbours for a text
  // cell; all -1 without a current cell or when it was not drawn.
  void getCurrentCellRect(RECT& rect) const;
  void setFixedCols(int n);
  void setFixedRows(int n);
  void setColsSizable(bool b) { colProps.sizable = b; }
  bool getColsSizable() const { return colProps.sizable; }
  void setRowsSizable(bool b) { rowProps.sizable = b; }
  bool getRowsSizable() const { return rowProps.sizable; }
  void setDefaultFont(const TFontProperties& font) { defaultFont = font; }
  void setDefaultMaxDecimals(int n);

  // ---- Structure edits (SheetStructure.cpp) ----
  // A moved cell's formula is re-spelled as if copied by the distance it
  // moved; formulas of cells that stay are never changed. Locked cells are
  // never freed and never overwritten. Every edit that moves or frees cells
  // ends with the sheet consistent: all formulas recalculated with fresh
  // dependency links (with autoRecalculate), else the links emptied and
  // every formula marked not computed.
  void trimCells();
  // Frees the unlocked cells of the rectangle; true when any was freed.
  bool clearRange(const RECT& range);
  bool clearSelection();
  // Clears the selection and moves the cells below it (in its columns and
  // every column to the right) up by its height.
  bool clearSelectionShiftUp();
  // count > 0 inserts count empty columns (rows) before from; count < 0
  // deletes the |count| columns (rows) before from.
  void shiftColumns(int from, int count);
  void shiftRows(int from, int count);
  bool deleteSelectedRows();
  bool deleteSelectedColumns();
  bool insertRowsAtSelection();
  // Relative references of the cell's formula move by the deltas, absolute
  // parts stay; a reference moved below 1 becomes "#REF!". A formula the
  // tokenizer rejects stays as it is.
  void shiftFormulaReferences(int colDelta, int rowDelta, TCell* cell);

  // ---- Sorting, moving and exchanging rows and columns (SheetSort.cpp) ----
  // Numbers first (ascending), then texts by character codes, then empty or
  // unusable entries in their order; descending reverses the numbers and
  // texts only. byRows: rows first..last by the cells of column key, the
  // cells of columns firstOther..lastOther moving with their rows; else the
  // same for columns. False when nothing was sorted.
  bool sortRange(bool ascending, bool byRows, int first, int last, int key, int firstOther, int lastOther);
  // The same on a two-dimensional array (1-based rows and columns).
  bool msortArray(bool ascending, bool byRows, int first, int last, int key, int firstOther, int lastOther,
                  TArray& array) const;
  // Exchange two used columns (rows) with their sizes and cells.
  bool exchangeColumns(int c1, int c2);
  bool exchangeRows(int r1, int r2);

  // ---- Selection, keyboard and mouse (SheetNavigation.cpp) ----
  void setCurrentCell(int col, int row);
  void setSelection(int left, int top, int right, int bottom);
  void selectAll();
  bool scrollToCurrentCell();
  int topRowShowingCurrentRow() const;
  int leftColShowingCurrentCol() const;
  // A virtual key with the shift state; true when the sheet must be redrawn.
  bool keyDown(WORD key, TShiftState shift);
  void mouseDown(int x, int y, bool shift, bool ctrl);
  // With the button held: resizing or selecting, as the press began.
  void mouseMove(int x, int y);

 private:
  // Drawing and geometry helpers.
  int columnAfter(int col) const;
  int rowAfter(int row) const;
  int cellOriginX() const;
  int cellOriginY() const;
  // Where a pixel lies, and which column or row border it grabs.
  struct TPointLocation {
    int area = areaNowhere;
    POINT place{-1, -1};
    POINT origin{0, 0};
    int borderIndex = -1;  // the column or row whose border was hit
    int borderOrigin = 0;  // its left or top pixel
  };
  TPointLocation locatePoint(int x, int y) const;
  // Structure edit workers, without the final recalculation.
  void moveColumns(int from, int count);
  void moveRows(int from, int count);
  void moveCellsUp(int firstCol, int belowRow, int height);
  void restoreConsistency();
  // Exchanges two places' cells, re-spelling their formulas by the distance.
  void exchangePlaces(int col1, int row1, int col2, int row2);
  // Navigation helpers.
  int topRowShowing(int row) const;
  int leftColShowing(int col) const;

  int resizeIndex_ = -1;   // the column or row being resized
  int resizeOrigin_ = 0;   // its left or top pixel
};

// A cell or range reference beyond the sheet's columns or rows ("#REF!").
struct EInvalidReference : std::runtime_error {
  EInvalidReference() : std::runtime_error("") {}
};

// value when absolute, else value + delta: a reference part that a moved
// formula shifts unless it is marked "$".
std::int64_t offsetUnlessAbsolute(std::int64_t value, std::int64_t delta, bool absolute);
