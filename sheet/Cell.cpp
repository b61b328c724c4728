#include "sheet/Cell.h"

#include <algorithm>
#include <utility>

#include "sheet/SheetCanvas.h"
#include "sheet/CellFactory.h"
#include "sheet/CompiledFormula.h"
#include "sheet/Sheet.h"

namespace {
constexpr std::size_t cacheLineBytes = 64;
constexpr std::size_t cellPrefetchBytes = 192;
constexpr int textMarginX = 4;
constexpr int textMarginY = 0;
const std::string noSeparator;
}  // namespace

void TCellDeleter::operator()(TCell* cell) const {
  void* memory = dynamic_cast<void*>(cell);
  std::uint8_t kind = cell->allocationKind_;
  cell->~TCell();
  if (kind == allocatedInPool) {
    TObjectBlock::blockOf(memory).releaseSlot(memory);
  } else if (kind == allocatedOnHeap) {
    ::operator delete(memory);
  }
}

TCell::TCell(const TCellOrigin& origin)
    : owner_(origin.owner), allocationKind_(origin.allocationKind) {}

TCell::~TCell() { releaseCompiled(); }

// A formula is evaluated where it stands: one replaced or cleared while its
// cell is being evaluated (by a macro that the evaluation calls) goes to the
// sheet, which frees it once the evaluation is over.
void TCell::releaseCompiled() {
  linksMark_ = 0;
  if (formula_ && state == stateBusy && owner_) {
    owner_->retireFormula(std::move(formula_));
  } else {
    formula_.reset();
  }
  hasFormula_ = false;
}

TCellPtr TCell::clone() const {
  TCellPtr copy = allocationKind_ == allocatedInPool && owner_ ? owner_->cellFactory.newCell(cellType(), owner_)
                                                               : newHeapCell(cellType(), owner_);
  if (copy) copy->assign(this);
  return copy;
}

void TCell::clearFormula() {
  parseStatus = parseNotCompiled;
  releaseCompiled();
  if (extras_) extras_->working.reset();
}

void TCell::dropFormula(int col, int row) {
  if (!hasFormula()) return;
  clearFormula();
  if (owner_ && col >= 1 && row >= 1) owner_->dependents.removeFromAll({col - 1, row - 1});
}

bool TCell::setFormula(const std::string& text, bool evaluateNow, int col, int row) {
  releaseCompiled();
  state = errNA;
  passMark = 0;
  parseStatus = parseNotCompiled;
  if (extras_) extras_->working.reset();
  if (!owner_) {
    formula_ = TCompiledFormula::textOnly(text);
    hasFormula_ = !text.empty();
    return false;
  }
  // What the old formula read no longer matters: keeping its links would
  // report cycles that no longer exist.
  if (col >= 1 && row >= 1) owner_->dependents.removeFromAll({col - 1, row - 1});
  formula_ = owner_->compileCellFormula(text, parseStatus, col, row);
  hasFormula_ = formula_ && !formula_->text().empty();
  if (parseStatus != 0) {
    state = parseStatus;
    return false;
  }
  return evaluateNow ? evaluate(col, row, true) : true;
}

void TCell::prefetchCell() const {
  // The lines a cell of any class spans; asking for a line beyond the object
  // costs nothing and never faults.
  const auto* bytes = reinterpret_cast<const char*>(this);
  for (std::size_t offset = 0; offset < cellPrefetchBytes; offset += cacheLineBytes) __builtin_prefetch(bytes + offset);
}

std::string TCell::getEditText() const { return hasFormula() ? std::string(formula()) : getText(false); }

bool TCell::evaluate(int col, int row, bool trackDependents) {
  std::uint8_t before = state;
  if (state == stateBusy) {
    state = errCirc;
  } else if (parseStatus != 0) {
    state = parseStatus;
  } else if (owner_ && compiledFormula()) {
    state = stateBusy;
    // The last array result goes before the formula reads anything again.
    if (extras_) extras_->working.reset();
    std::unique_ptr<TRPNstackObject> arrayResult;
    const bool record = trackDependents && !owner_->linksRecorded(linksMark_);
    const TCompiledFormula& formula = *formula_;
    state = owner_->evaluateCompiledFormula(formula, col, row, record, arrayResult);
    // The formula evaluated is the one marked: only a function it calls
    // could replace it meanwhile, and a formula calling any but the plain
    // numeric built-ins is never marked.
    if (record && state == stateValid) linksMark_ = owner_->linksMarkAfter(formula, linksMark_, col, row);
    if (arrayResult) extras().working = std::move(arrayResult);
  } else {
    state = errNA;
  }
  bool valueChanged = false;
  if (state == stateValid && !takeResult(owner_->resultValue, valueChanged)) state = errNA;
  if (state == errCirc && owner_) owner_->noteCircularCell(col, row);
  if (state != before) return true;
  if (state != stateValid) return false;
  return valueChanged || owner_->resultIsArray;
}

bool TCell::takeResult(TValueRecord&, bool& changed) {
  changed = false;
  return false;
}

void TCell::assignFormat(const TCell* source) {
  if (!source) return;
  locked = source->locked;
  alignment = source->alignment;
}

void TCell::assign(const TCell* source) {
  if (!source || source == this) return;
  releaseCompiled();
  owner_ = source->owner_;
  locked = source->locked;
  state = source->state;
  parseStatus = source->parseStatus;
  alignment = source->alignment;
  if (source->format()) {
    ownFormat().assign(source->format());
  } else if (extras_) {
    extras_->format.reset();
  }
  formula_ = source->formula_ ? source->formula_->copy(owner_ ? &owner_->formulaPools : nullptr) : nullptr;
  hasFormula_ = source->hasFormula_;
  if (const TRPNstackObject* working = source->workingCopy()) {
    std::unique_ptr<TRPNstackObject>& own = extras().working;
    if (!own) own = std::make_unique<TRPNstackObject>(owner_ ? owner_->tokenFactory : nullptr);
    own->assign(working);
  } else if (extras_) {
    extras_->working.reset();
  }
}

const std::string& TCell::decimalSeparator() const { return owner_ ? owner_->decimalSeparator : noSeparator; }

const std::string& TCell::thousandSeparator() const { return owner_ ? owner_->thousandSeparator : noSeparator; }

std::string TCell::errorText() const {
  if (owner_ && !owner_->showErrorTexts) return std::string();
  return cellStateText(state);
}

// ---- Formats ----

TCell::TExtras& TCell::extras() {
  if (!extras_) extras_ = std::make_unique<TExtras>();
  return *extras_;
}

const TNumberFormatting& TCell::numberFormattingView() const {
  static const TNumberFormatting none;
  return extras_ ? extras_->numberFormatting : none;
}

void TCell::setTrail(const std::string& text) {
  if (extras_ || !text.empty()) extras().numberFormatting.trail = text;
}

TFontAndFill& TCell::ownFormat() {
  TFontAndFillPtr& format = extras().format;
  if (!format) {
    format = owner_ ? owner_->formatFactory.newFormat(&owner_->defaultFont, owner_->defaultFillColor)
                    : TFontAndFill::Create(nullptr, clWindow);
  }
  return *format;
}

void TCell::setFont(const TFontProperties* font) {
  ownFormat().assignFont(font || !owner_ ? font : &owner_->defaultFont);
}

void TCell::setFillColor(std::int32_t color) { ownFormat().fillColor = color; }

void TCell::setFormat(const TFontAndFill* format) {
  if (!format) {
    if (extras_) extras_->format.reset();
    return;
  }
  ownFormat().assign(format);
}

void TCell::getFontAndFill(TFontProperties* font, std::int32_t& fillColor) const {
  if (const TFontAndFill* own = format()) {
    if (font) own->applyToFont(*font);
    fillColor = own->fillColor;
    return;
  }
  if (font) *font = owner_ ? owner_->defaultFont : TFontProperties();
  fillColor = owner_ ? owner_->defaultFillColor : clWindow;
}

TFontAndFill& TCell::ownConditionalFormat(const TFontProperties* font, bool fontGiven) {
  TNumberFormatting& formatting = *numberFormatting();
  if (!formatting.conditionalFormat) {
    if (const TFontAndFill* own = format()) {
      formatting.conditionalFormat = owner_ ? owner_->formatFactory.newConditionalFormat(nullptr, own->fillColor)
                                            : TConditionalFontAndFill::Create(nullptr, own->fillColor);
      // Without a font of its own it starts as a copy of the cell's format.
      if (!fontGiven) formatting.conditionalFormat->assign(own);
    } else if (owner_) {
      formatting.conditionalFormat =
          owner_->formatFactory.newConditionalFormat(&owner_->defaultFont, owner_->defaultFillColor);
    } else {
      formatting.conditionalFormat = TConditionalFontAndFill::Create(nullptr, clWindow);
    }
  }
  if (fontGiven) formatting.conditionalFormat->assignFont(font || !owner_ ? font : &owner_->defaultFont);
  return *formatting.conditionalFormat;
}

void TCell::setConditionalFont(const TFontProperties* font) {
  if (numberFormatting()) ownConditionalFormat(font, true);
}

void TCell::setConditionalFillColor(std::int32_t color) {
  if (numberFormatting()) ownConditionalFormat(nullptr, false).fillColor = color;
}

void TCell::setConditionalFormat(const TFontAndFill* format) {
  // Looked at first without making the formatting: copies of cells clear a
  // conditional format that mostly was never there.
  const TNumberFormatting* shown = std::as_const(*this).numberFormatting();
  if (!shown) return;
  if (!format) {
    if (shown->conditionalFormat) numberFormatting()->conditionalFormat.reset();
    return;
  }
  ownConditionalFormat(nullptr, false).assign(format);
}

void TCell::setThreshold(bool ifAboveThreshold, double threshold) {
  if (!numberFormatting()) return;
  auto& conditional = static_cast<TConditionalFontAndFill&>(ownConditionalFormat(nullptr, false));
  conditional.ifAboveThreshold = ifAboveThreshold;
  conditional.threshold = threshold;
}

void TCell::applyConditionalFormat(TFontProperties* font, std::int32_t& fillColor, double value) const {
  const TNumberFormatting* formatting = numberFormatting();
  if (formatting && formatting->conditionalFormat) {
    const auto& conditional = static_cast<const TConditionalFontAndFill&>(*formatting->conditionalFormat);
    double key = conditionKey(value);
    bool beyond = conditional.ifAboveThreshold ? key > conditional.threshold : key < conditional.threshold;
    if (beyond) {
      if (font) conditional.applyToFont(*font);
      fillColor = conditional.fillColor;
      return;
    }
  }
  getFontAndFill(font, fillColor);
}

void TCell::prepareCanvas(TSheetCanvas& canvas) const { getFontAndFill(&canvas.font, canvas.brushColor); }

// ---- Drawing ----

POINT alignedPosition(const RECT& rect, std::uint8_t alignment, int w, int h, int marginX, int marginY, bool clamp) {
  POINT position;
  if ((alignment & alignRight) && (alignment & alignHorizontalLow)) {
    position.x = (rect.right + rect.left + 1 - w) / 2;
  } else if (alignment & alignRight) {
    position.x = rect.right - w - marginX;
  } else {
    position.x = rect.left + marginX;
  }
  if ((alignment & alignBottom) && (alignment & alignVerticalLow)) {
    position.y = (rect.bottom + rect.top + 1 - h) / 2;
  } else if (alignment & alignBottom) {
    position.y = rect.bottom - h - marginY;
  } else {
    position.y = rect.top + marginY;
  }
  if (clamp) {
    position.x = std::max<LONG>(position.x, rect.left);
    position.y = std::max<LONG>(position.y, rect.top);
  }
  return position;
}

void TCell::draw(TSheetCanvas& canvas, const RECT& rect, int leftLimit, int rightLimit) {
  if (state != stateValid) {
    canvas.fillRect(rect);
    std::string text = errorText();
    SIZE size = canvas.textExtent(text);
    POINT position = alignedPosition(rect, alignment, size.cx, size.cy, textMarginX, textMarginY, false);
    canvas.textOut(position.x, position.y, text);
    return;
  }
  drawValue(canvas, rect, leftLimit, rightLimit);
}

void TCell::drawValue(TSheetCanvas& canvas, const RECT& rect, int, int) { drawFittedText(canvas, rect, getText(true)); }

void TCell::drawFittedText(TSheetCanvas& canvas, const RECT& rect, const std::string& text) {
  SIZE size = canvas.textExtent(text);
  if (size.cx > rect.right - rect.left - textMarginX) {
    drawHashRow(canvas, rect);
    return;
  }
  canvas.fillRect(rect);
  POINT position = alignedPosition(rect, alignment, size.cx, size.cy, textMarginX, textMarginY, true);
  canvas.textRect(rect, position.x, position.y, text);
}

void TCell::drawHashRow(TSheetCanvas& canvas, const RECT& rect) {
  // As many "#" as it takes to cover the whole width, at least one.
  int width = rect.right - rect.left + 1;
  int hashWidth = canvas.textWidth("#");
  int count = hashWidth > 0 ? std::max(1, (width + hashWidth - 1) / hashWidth) : 1;
  canvas.fillRect(rect);
  canvas.textRect(rect, rect.left, rect.top, std::string(static_cast<std::size_t>(count), '#'));
}

bool TCell::drawImage(TSheetCanvas& canvas, const RECT& rect, std::int32_t image) {
  HIMAGELIST images = owner_ ? owner_->imageList : nullptr;
  if (!images || image < 0 || image >= ImageList_GetImageCount(images)) return false;
  int width = 0;
  int height = 0;
  ImageList_GetIconSize(images, &width, &height);
  if (rect.right - rect.left - textMarginX < width || rect.bottom - rect.top < height) {
    drawHashRow(canvas, rect);
    return true;
  }
  canvas.fillRect(rect);
  POINT position = alignedPosition(rect, alignment, width, height, textMarginX, textMarginY, true);
  ImageList_Draw(images, image, canvas.handle(), position.x, position.y, ILD_TRANSPARENT);
  return true;
}
