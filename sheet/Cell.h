#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "model/FontProperties.h"
#include "sheet/CellFormat.h"
#include "sheet/CellStates.h"
#include "sheet/CompiledFormula.h"
#include "sheet/RPNstack.h"

class TSheetCanvas;
class TCell;
class TSheet;

// Where a cell's memory comes from, and so what freeing it gives back.
enum : std::uint8_t {
  allocatedOnHeap = 0,
  allocatedElsewhere = 1,  // a block of cells that its maker frees (TSheet::createCellRange)
  allocatedInPool = 2,
};

// Frees a cell whatever its origin (heap, pool slot or foreign block).
struct TCellDeleter {
  void operator()(TCell* cell) const;
};
using TCellPtr = std::unique_ptr<TCell, TCellDeleter>;

// Alignment bits of a cell: vertical centre (both bits) or bottom, and
// horizontal centre (both bits) or right; no bits is top left.
enum : std::uint8_t {
  alignVerticalLow = 1,
  alignBottom = 2,
  alignHorizontalLow = 4,
  alignRight = 8,
};

// What a cell is made with: its sheet (nullptr for a cell on its own, which
// works with the system's defaults) and where its memory comes from. A
// pooled cell's block is found from its address (TObjectBlock::blockOf).
struct TCellOrigin {
  TSheet* owner = nullptr;
  std::uint8_t allocationKind = allocatedOnHeap;
};

// The trail and conditional format of the cells that show a number (plain
// number cells and cells bound to a number property).
struct TNumberFormatting {
  std::string trail;  // appended to the displayed value
  TFontAndFillPtr conditionalFormat;
};

// The decimals of the cells that show a double (plain and bound).
struct TDecimalsFormatting {
  std::uint8_t maxDecimals = 15;  // at most 15
  bool fixedDecimals = false;     // trailing zeros are kept
};

// Image-list indexes of the cells that show a Boolean as a picture.
struct TBoolImages {
  std::int32_t trueImage = -1;
  std::int32_t falseImage = -1;
};

// A cell of a sheet: a plain value or a formula whose result the cell
// converts to its own kind. The 27 cell classes each have a type code; the
// value cells (1 to 9) and the bound cells (10 to 27) derive from here.
//
// A formula is compiled once when it is set; each evaluation consumes a
// working copy of the compiled list, made in one of the sheet's working
// lists. An array result's token stays with the cell until the next
// evaluation.
class TCell {
 public:
  TCell(const TCell&) = delete;
  TCell& operator=(const TCell&) = delete;

  virtual std::uint8_t cellType() const = 0;
  // The display text (forDisplay) or the edit text of the value.
  virtual std::string getText(bool forDisplay) const = 0;
  // Takes typed text: a value of the cell's kind, else a formula. True when
  // the cell changed. col and row name the cell's place (1-based).
  virtual bool setText(const std::string& text, int col, int row) = 0;
  // Evaluates the formula through the sheet and converts the result to the
  // cell's kind; true when the state or value changed (or the result was an
  // array).
  virtual bool evaluate(int col, int row, bool trackDependents);
  // Lock, alignment and the class's display settings (trail, decimals,
  // conditional format, images).
  virtual void assignFormat(const TCell* source);
  // Everything: owner, flags, formula and both lists, state, format, and the
  // value when source is of the same class.
  virtual void assign(const TCell* source);
  virtual void draw(TSheetCanvas& canvas, const RECT& rect, int leftLimit, int rightLimit);
  // The canvas font and brush for drawing this cell.
  virtual void prepareCanvas(TSheetCanvas& canvas) const;
  // A new cell of the same type, assigned from this one: pooled by the
  // owner sheet's factory when this one is pooled, else on the heap.
  TCellPtr clone() const;

  // Formula handling.
  void clearFormula();
  // Stores and compiles the formula (state "#N/A" until evaluated); a syntax
  // error becomes the state. With evaluateNow the result is evaluate's.
  // False without a sheet.
  bool setFormula(const std::string& text, bool evaluateNow, int col, int row);
  // The formula when there is one, else the edit text of the value.
  std::string getEditText() const;
  // An empty text entered as a formula is compiled and evaluated, but it is
  // no formula.
  bool hasFormula() const { return hasFormula_; }
  // The formula as typed, normally beginning with "="; empty for a plain
  // value.
  std::string_view formula() const { return formula_ ? formula_->text() : std::string_view(); }
  // Start loading the cell itself, and its compiled formula, into the cache.
  void prefetchCell() const;
  // The first lines of the compiled block: its size is not known before the
  // header is loaded, and most formulas end within them.
  void prefetchFormula() const {
    if (!formula_) return;
    const auto* bytes = reinterpret_cast<const char*>(formula_.get());
    __builtin_prefetch(bytes);
    __builtin_prefetch(bytes + 64);
    __builtin_prefetch(bytes + 128);
  }
  void setState(std::uint8_t newState) { state = newState; }
  // The links mark goes when the sheet's mark wraps round.
  void forgetLinksMark() { linksMark_ = 0; }

  // The cell's own format, made on first use from the sheet's defaults.
  void setFont(const TFontProperties* font);  // nullptr: the sheet's default font
  void setFillColor(std::int32_t color);
  void setFormat(const TFontAndFill* format);  // nullptr frees the own format
  // The own format's font and fill, else the sheet's defaults (font may be
  // nullptr when only the fill is wanted).
  void getFontAndFill(TFontProperties* font, std::int32_t& fillColor) const;

  // Conditional format of the number cells (nothing for other cells).
  void setConditionalFont(const TFontProperties* font);
  void setConditionalFillColor(std::int32_t color);
  void setConditionalFormat(const TFontAndFill* format);
  void setThreshold(bool ifAboveThreshold, double threshold);
  // The font and fill for the value: the conditional ones when the value
  // lies beyond the threshold on its side, else getFontAndFill.
  void applyConditionalFormat(TFontProperties* font, std::int32_t& fillColor, double value) const;

  // Display settings that only some classes have; nullptr for the others.
  // The number formatting is made by the first call of the changing form.
  virtual TNumberFormatting* numberFormatting() { return nullptr; }
  virtual const TNumberFormatting* numberFormatting() const { return nullptr; }
  virtual TDecimalsFormatting* decimalsFormatting() { return nullptr; }
  virtual TBoolImages* boolImages() { return nullptr; }
  const TDecimalsFormatting* decimalsFormatting() const { return const_cast<TCell*>(this)->decimalsFormatting(); }
  const TBoolImages* boolImages() const { return const_cast<TCell*>(this)->boolImages(); }

  // The cell's value as a value record (kind 1, 2 or 3); false for a class
  // without a value. The state is not looked at.
  virtual bool readValue(TValueRecord& value) const {
    (void)value;
    return false;
  }

  TSheet* owner() const { return owner_; }
  void setOwner(TSheet* sheet) { owner_ = sheet; }
  std::uint8_t allocationKind() const { return allocationKind_; }
  // What the last evaluation left of its working copy when its result was
  // an array: the one token holding the array; nullptr otherwise.
  const TRPNstackObject* workingCopy() const { return extras_ ? extras_->working.get() : nullptr; }
  // The formula's compiled tokens; nullptr while it is not compiled.
  const TCompiledFormula* compiledFormula() const {
    return formula_ && formula_->compiled() ? formula_.get() : nullptr;
  }
  const TFontAndFill* format() const { return extras_ ? extras_->format.get() : nullptr; }
  // Whether the cell is of the plain number class, told without a look at
  // its class: evaluations read such cells by the thousand.
  bool holdsPlainNumber() const { return plainNumber_; }

  // The small fields side by side, so that they share one word: a sheet
  // holds a cell object for every value and formula.
  bool locked = false;
  std::uint8_t state = stateValid;
  std::uint8_t parseStatus = parseNotCompiled;
  std::uint8_t alignment = 0;
  // The full recalculation that last computed this formula through a
  // propagation (0: none), so that the pass does not compute it again.
  std::uint32_t passMark = 0;

 protected:
  explicit TCell(const TCellOrigin& origin);
  virtual ~TCell();
  // Called by the plain number class alone, which nothing derives from.
  void markPlainNumber() { plainNumber_ = true; }

  // Converts the sheet's result value to the cell's kind and stores it;
  // false when it does not convert. changed tells whether the value differs.
  virtual bool takeResult(TValueRecord& result, bool& changed);
  // The value that the conditional format compares with the threshold.
  virtual double conditionKey(double value) const { return value; }
  // The error text for display (empty when the sheet hides error texts).
  std::string errorText() const;
  // The display text of a valid cell for drawing; the text drawn as a "#"
  // row when too wide.
  virtual void drawValue(TSheetCanvas& canvas, const RECT& rect, int leftLimit, int rightLimit);
  // Fills the rectangle and draws the text at the aligned, clamped place;
  // a text too wide for the rectangle becomes a row of "#".
  void drawFittedText(TSheetCanvas& canvas, const RECT& rect, const std::string& text);
  void drawHashRow(TSheetCanvas& canvas, const RECT& rect);
  // An image of the sheet's image list, or the "#" row when it does not
  // fit; false when the sheet has no usable image of that index.
  bool drawImage(TSheetCanvas& canvas, const RECT& rect, std::int32_t image);
  // The value of a plain (non-formula) entry is stored: the formula and its
  // dependency links go.
  void dropFormula(int col, int row);
  // Number separators of the owner sheet (empty: the system's).
  const std::string& decimalSeparator() const;
  const std::string& thousandSeparator() const;
  // Makes the own format on first use.
  TFontAndFill& ownFormat();
  // The number formatting of the classes that have one, made on first
  // change; the view is an empty one while none was made.
  TNumberFormatting& ownNumberFormatting() { return extras().numberFormatting; }
  const TNumberFormatting& numberFormattingView() const;
  // Sets the trail, making the number formatting only for a trail.
  void setTrail(const std::string& text);

 private:
  friend struct TCellDeleter;
  void releaseCompiled();
  TFontAndFill& ownConditionalFormat(const TFontProperties* font, bool fontGiven);

  // What few cells have, made on first use: a sheet holds a cell object for
  // every value and formula.
  struct TExtras {
    TFontAndFillPtr format;
    std::unique_ptr<TRPNstackObject> working;
    TNumberFormatting numberFormatting;  // only for the classes that show a number
  };
  TExtras& extras();

  TSheet* owner_;
  // The formula's text with its compiled tokens (or the text alone while it
  // is not compiled); nullptr for a plain value.
  std::unique_ptr<TCompiledFormula> formula_;
  std::unique_ptr<TExtras> extras_;
  // Left by the last evaluation that recorded every place the formula reads
  // (TSheet::linksMarkAfter): while the sheet's links mark is the same, none
  // of those links has gone, and the formula reads without recording them.
  std::uint32_t linksMark_ = 0;
  // Last, so that a derived class's small fields can share its word.
  std::uint8_t allocationKind_;
  // Whether formula_ holds a text, kept in the cell: full passes ask every
  // cell, and the block lies elsewhere in memory.
  bool hasFormula_ = false;
  bool plainNumber_ = false;
};

// Position of a text or image of width w and height h inside rect by the
// alignment bits, with a margin; clamped to the rectangle's origin when
// asked.
POINT alignedPosition(const RECT& rect, std::uint8_t alignment, int w, int h, int marginX, int marginY, bool clamp);
