#include "sheet/BoundCells.h"

#include <algorithm>
#include <cmath>

#include "model/TextFormatting.h"
#include "platform/DateTime.h"
#include "platform/LocaleSettings.h"
#include "sheet/SheetCanvas.h"
#include "sheet/Sheet.h"
#include "sheet/ValueCells.h"

namespace {
constexpr std::uint8_t maxDecimalsLimit = 15;
}  // namespace

// ---- TCellObject ----

bool TCellObject::setText(const std::string& text, int col, int row) {
  std::int32_t entered = 0;
  if (readCellInteger(owner(), trimmedText(text), entered)) {
    if (state == stateValid && !hasFormula() && id == entered) return false;
    dropFormula(col, row);
    id = entered;
    state = stateValid;
    return true;
  }
  if (text == formula()) return false;
  return setFormula(text, owner() && owner()->autoRecalculate, col, row);
}

std::string TCellObject::getText(bool forDisplay) const {
  if (!forDisplay || !owner()) return state == stateValid ? std::to_string(id) : std::string();
  if (state != stateValid) return errorText();
  TValueRecord value;
  if (!getPropertyValue(value)) return owner()->showErrorTexts ? cellStateText(errNA) : std::string();
  return propertyText(value);
}

void TCellObject::assign(const TCell* source) {
  TCell::assign(source);
  if (const auto* other = dynamic_cast<const TCellObject*>(source)) id = other->id;
}

bool TCellObject::readValue(TValueRecord& value) const {
  value.kind = valueInteger;
  value.integer = id;
  return true;
}

bool TCellObject::setValue(std::int32_t newId) {
  clearFormula();
  if (state == stateValid && id == newId) return false;
  id = newId;
  state = stateValid;
  return true;
}

bool TCellObject::setPropertyValue(const TValueRecord& value) {
  if (state != stateValid || !owner()) return false;
  return owner()->writeObjectProperty(cellType(), id, value);
}

bool TCellObject::getPropertyValue(TValueRecord& value) const {
  if (state != stateValid || !owner()) return false;
  return owner()->readObjectProperty(cellType(), id, value);
}

bool TCellObject::takeResult(TValueRecord& result, bool& changed) {
  if (!owner()->convertValue(result, valueInteger)) return false;
  changed = id != result.integer;
  id = result.integer;
  return true;
}

std::string TCellObject_stringProperty::propertyText(TValueRecord& value) const {
  return owner()->convertValue(value, valueString) ? value.string : std::string();
}

// ---- Number properties ----

void TCellObject_numberProperty::assignFormat(const TCell* source) {
  TCellObject::assignFormat(source);
  const TNumberFormatting* other = source ? source->numberFormatting() : nullptr;
  if (!other) return;
  setTrail(other->trail);
  setConditionalFormat(other->conditionalFormat.get());
}

void TCellObject_numberProperty::assign(const TCell* source) {
  TCellObject::assign(source);
  const TNumberFormatting* other = source ? source->numberFormatting() : nullptr;
  if (!other || source == this) return;
  setTrail(other->trail);
  setConditionalFormat(other->conditionalFormat.get());
}

void TCellObject_numberProperty::prepareCanvas(TSheetCanvas& canvas) const {
  TValueRecord value;
  if (getPropertyValue(value) && owner()->convertValue(value, valueNumber)) {
    applyConditionalFormat(&canvas.font, canvas.brushColor, value.number);
  } else {
    getFontAndFill(&canvas.font, canvas.brushColor);
  }
}

std::string TCellObject_integerProperty::propertyText(TValueRecord& value) const {
  if (!owner()->convertValue(value, valueInteger)) return std::string();
  return intToStrGrouped(value.integer, owner()->thousandSeparator) + numberFormattingView().trail;
}

TCellObject_boolProperty::TCellObject_boolProperty(const TCellOrigin& origin) : TCellObject_integerProperty(origin) {
  if (origin.owner) images_ = {origin.owner->trueImage, origin.owner->falseImage};
}

void TCellObject_boolProperty::assignFormat(const TCell* source) {
  TCellObject_integerProperty::assignFormat(source);
  if (const TBoolImages* other = source ? source->boolImages() : nullptr) images_ = *other;
}

void TCellObject_boolProperty::assign(const TCell* source) {
  TCellObject_integerProperty::assign(source);
  if (const auto* other = dynamic_cast<const TCellObject_boolProperty*>(source)) images_ = other->images_;
}

std::string TCellObject_boolProperty::propertyText(TValueRecord& value) const {
  if (!owner()->convertValue(value, valueInteger)) return std::string();
  return (value.integer != 0 ? "1" : "0") + numberFormattingView().trail;
}

void TCellObject_boolProperty::drawValue(TSheetCanvas& canvas, const RECT& rect, int leftLimit, int rightLimit) {
  TValueRecord value;
  if (images_.trueImage >= 0 && images_.falseImage >= 0 && getPropertyValue(value) &&
      owner()->convertValue(value, valueInteger) &&
      drawImage(canvas, rect, value.integer != 0 ? images_.trueImage : images_.falseImage)) {
    return;
  }
  TCellObject_integerProperty::drawValue(canvas, rect, leftLimit, rightLimit);
}

TCellObject_doubleProperty::TCellObject_doubleProperty(const TCellOrigin& origin)
    : TCellObject_numberProperty(origin) {
  if (origin.owner) {
    decimals_.maxDecimals = std::min(origin.owner->defaultMaxDecimals, maxDecimalsLimit);
    decimals_.fixedDecimals = origin.owner->defaultFixedDecimals;
  }
}

void TCellObject_doubleProperty::assignFormat(const TCell* source) {
  TCellObject_numberProperty::assignFormat(source);
  if (const TDecimalsFormatting* other = source ? source->decimalsFormatting() : nullptr) decimals_ = *other;
}

void TCellObject_doubleProperty::assign(const TCell* source) {
  TCellObject_numberProperty::assign(source);
  if (const auto* other = dynamic_cast<const TCellObject_doubleProperty*>(source)) decimals_ = other->decimals_;
}

std::string TCellObject_doubleProperty::propertyText(TValueRecord& value) const {
  if (!owner()->convertValue(value, valueNumber)) return std::string();
  try {
    return formatFixed(decimals_.maxDecimals, false, !decimals_.fixedDecimals, value.number, owner()->decimalSeparator,
                       owner()->thousandSeparator) +
           numberFormattingView().trail;
  } catch (...) {
    return owner()->showErrorTexts ? cellStateText(errNum) : std::string();
  }
}

void TCellObject_dateTimeProperty::assign(const TCell* source) {
  TCellObject_numberProperty::assign(source);
  if (const auto* other = dynamic_cast<const TCellObject_dateTimeProperty*>(source)) format = other->format;
}

std::string TCellObject_dateTimeProperty::propertyText(TValueRecord& value) const {
  if (!owner()->convertValue(value, valueNumber)) return std::string();
  try {
    return formatDateTime(format.empty() ? defaultFormat() : format, value.number) + numberFormattingView().trail;
  } catch (...) {
    return owner()->showErrorTexts ? cellStateText(errNum) : std::string();
  }
}

const std::string& TCellObject_dateProperty::defaultFormat() const {
  return owner()->dateFormat.empty() ? localeSettings().shortDateFormat : owner()->dateFormat;
}

double TCellObject_dateProperty::conditionKey(double value) const { return std::trunc(value); }

const std::string& TCellObject_timeProperty::defaultFormat() const {
  return owner()->timeFormat.empty() ? localeSettings().longTimeFormat : owner()->timeFormat;
}

double TCellObject_timeProperty::conditionKey(double value) const { return value - std::trunc(value); }

// ---- 20: the transaction number ----

bool TCellTransaction_number::setPropertyValue(const TValueRecord&) { return false; }

bool TCellTransaction_number::getPropertyValue(TValueRecord& value) const {
  if (state != stateValid) return false;
  value.clear();
  value.kind = valueInteger;
  value.integer = id;
  return true;
}
