#include "sheet/ValueCells.h"

#include <algorithm>
#include <cmath>

#include "model/PlainText.h"
#include "model/TextFormatting.h"
#include "platform/DateTime.h"
#include "platform/LocaleSettings.h"
#include "sheet/SheetCanvas.h"
#include "sheet/NumberText.h"
#include "sheet/Sheet.h"

namespace {

constexpr int editDecimals = 15;
constexpr std::uint8_t maxDecimalsLimit = 15;

}  // namespace

bool readCellNumber(const TSheet* sheet, const std::string& text, double& value) {
  return sheet ? sheet->tryStrToFloat(text, value) : localTextToFloat(text, value);
}

bool readCellInteger(const TSheet* sheet, const std::string& text, std::int32_t& value) {
  if (textToIntStrict(text, value)) return true;
  double number = 0.0;
  return readCellNumber(sheet, text, number) && truncateToInt32(number, value);
}


// ---- TCellNumber ----

template <class Value>
bool TCellNumber::enterValue(Value& field, const Value& entered, int col, int row) {
  if (state == stateValid && !hasFormula() && field == entered) return false;
  dropFormula(col, row);
  field = entered;
  state = stateValid;
  return true;
}

bool TCellNumber::enterFormula(const std::string& text, int col, int row) {
  if (text == formula()) return false;
  return setFormula(text, owner() && owner()->autoRecalculate, col, row);
}

void TCellNumber::assignFormat(const TCell* source) {
  TCell::assignFormat(source);
  const TNumberFormatting* other = source ? source->numberFormatting() : nullptr;
  if (!other) return;
  setTrail(other->trail);
  setConditionalFormat(other->conditionalFormat.get());
}

void TCellNumber::assign(const TCell* source) {
  TCell::assign(source);
  const TNumberFormatting* other = source ? source->numberFormatting() : nullptr;
  if (!other || source == this) return;
  setTrail(other->trail);
  setConditionalFormat(other->conditionalFormat.get());
}

void TCellNumber::prepareCanvas(TSheetCanvas& canvas) const {
  if (state == stateValid) {
    applyConditionalFormat(&canvas.font, canvas.brushColor, numericValue());
  } else {
    getFontAndFill(&canvas.font, canvas.brushColor);
  }
}

// ---- TCellInteger ----

bool TCellInteger::setValue(std::int32_t newValue) {
  clearFormula();
  if (state == stateValid && value == newValue) return false;
  value = newValue;
  state = stateValid;
  return true;
}

bool TCellInteger::setText(const std::string& text, int col, int row) {
  std::int32_t entered = 0;
  if (readCellInteger(owner(), trimmedText(text), entered)) return enterValue(value, entered, col, row);
  return enterFormula(text, col, row);
}

void TCellInteger::assign(const TCell* source) {
  TCellNumber::assign(source);
  if (const auto* other = dynamic_cast<const TCellInteger*>(source)) value = other->value;
}

bool TCellInteger::readValue(TValueRecord& result) const {
  result.kind = valueInteger;
  result.integer = value;
  return true;
}

bool TCellInteger::takeResult(TValueRecord& result, bool& changed) {
  if (!owner()->convertValue(result, valueInteger)) return false;
  changed = value != result.integer;
  value = result.integer;
  return true;
}

std::string TCellInteger::groupedText() const {
  return owner() ? intToStrGrouped(value, owner()->thousandSeparator) : std::to_string(value);
}

// ---- TCellDouble ----

bool TCellDouble::setValue(double newValue) {
  clearFormula();
  if (state == stateValid && value == newValue) return false;
  value = newValue;
  state = stateValid;
  return true;
}

void TCellDouble::assign(const TCell* source) {
  TCellNumber::assign(source);
  if (const auto* other = dynamic_cast<const TCellDouble*>(source)) value = other->value;
}

bool TCellDouble::takeResult(TValueRecord& result, bool& changed) {
  if (!owner()->convertValue(result, valueNumber)) return false;
  // A NaN result differs from every value, itself included.
  changed = !(value == result.number);
  value = result.number;
  return true;
}

bool TCellDouble::readNumber(const std::string& text, double& number) const { return readCellNumber(owner(), text, number); }

std::string TCellDouble::plainText() const {
  try {
    return formatFixed(editDecimals, true, true, value, decimalSeparator(), thousandSeparator());
  } catch (...) {
    return std::string();
  }
}

bool TCellDouble::enterNumberOrFormula(const std::string& text, bool accepted, double number, int col, int row) {
  if (accepted) return enterValue(value, number, col, row);
  return enterFormula(text, col, row);
}

// ---- TCellString ----

bool TCellString::setValue(const std::string& newValue) {
  clearFormula();
  if (state == stateValid && value == newValue) return false;
  value = newValue;
  state = stateValid;
  return true;
}

bool TCellString::setText(const std::string& text, int col, int row) {
  if (!text.empty() && text[0] == '=') {
    if (text == formula()) return false;
    return setFormula(text, owner() && owner()->autoRecalculate, col, row);
  }
  if (state == stateValid && !hasFormula() && value == text) return false;
  dropFormula(col, row);
  value = text;
  state = stateValid;
  return true;
}

void TCellString::assign(const TCell* source) {
  TCell::assign(source);
  if (const auto* other = dynamic_cast<const TCellString*>(source)) value = other->value;
}

bool TCellString::readValue(TValueRecord& result) const {
  result.kind = valueString;
  result.string = value;
  return true;
}

bool TCellString::takeResult(TValueRecord& result, bool& changed) {
  if (!owner()->convertValue(result, valueString)) return false;
  changed = value != result.string;
  value = result.string;
  return true;
}

// ---- 1: TCellDoubleAsDouble ----

TCellDoubleAsDouble::TCellDoubleAsDouble(const TCellOrigin& origin) : TCellDouble(origin) {
  markPlainNumber();
  if (origin.owner) {
    decimals_.maxDecimals = std::min(origin.owner->defaultMaxDecimals, maxDecimalsLimit);
    decimals_.fixedDecimals = origin.owner->defaultFixedDecimals;
  }
}

std::string TCellDoubleAsDouble::getText(bool forDisplay) const {
  if (state != stateValid) return forDisplay ? errorText() : std::string();
  if (!forDisplay) return plainText();
  try {
    return formatFixed(decimals_.maxDecimals, false, !decimals_.fixedDecimals, value, decimalSeparator(),
                       thousandSeparator()) +
           numberFormattingView().trail;
  } catch (...) {
    return owner() && !owner()->showErrorTexts ? std::string() : cellStateText(errNum);
  }
}

bool TCellDoubleAsDouble::setText(const std::string& text, int col, int row) {
  double number = 0.0;
  // No number starts with "=": a formula is not read as one first.
  bool accepted = (text.empty() || text[0] != '=') && readNumber(trimmedText(text), number);
  return enterNumberOrFormula(text, accepted, number, col, row);
}

bool TCellDoubleAsDouble::enterNumber(double number, int col, int row) {
  return enterValue(value, number, col, row);
}

void TCellDoubleAsDouble::assignFormat(const TCell* source) {
  TCellDouble::assignFormat(source);
  if (const TDecimalsFormatting* other = source ? source->decimalsFormatting() : nullptr) decimals_ = *other;
}

void TCellDoubleAsDouble::assign(const TCell* source) {
  TCellDouble::assign(source);
  if (const auto* other = dynamic_cast<const TCellDoubleAsDouble*>(source)) decimals_ = other->decimals_;
}

// ---- 2: TCellStringAsString ----

std::string TCellStringAsString::getText(bool forDisplay) const {
  if (state != stateValid) return forDisplay ? errorText() : std::string();
  return value;
}

void TCellStringAsString::drawValue(TSheetCanvas& canvas, const RECT& rect, int leftLimit, int rightLimit) {
  canvas.fillRect(rect);
  SIZE size = canvas.textExtent(value);
  POINT position = alignedPosition(rect, alignment, size.cx, size.cy, 4, 0, false);
  RECT clip{std::max<LONG>(leftLimit, position.x), rect.top,
            std::min<LONG>(std::max<LONG>(position.x + size.cx, rect.right), rightLimit), rect.bottom};
  canvas.textRect(clip, position.x, position.y, value);
}

// ---- 3, 4: dates and times ----

std::string TCellDoubleAsDateTime::getText(bool forDisplay) const {
  if (state != stateValid) return forDisplay ? errorText() : std::string();
  if (!forDisplay) return plainText();
  try {
    return formatDateTime(format.empty() ? defaultFormat() : format, value) + numberFormattingView().trail;
  } catch (...) {
    return owner() && !owner()->showErrorTexts ? std::string() : cellStateText(errNum);
  }
}

void TCellDoubleAsDateTime::assign(const TCell* source) {
  TCellDouble::assign(source);
  if (const auto* other = dynamic_cast<const TCellDoubleAsDateTime*>(source)) format = other->format;
}

const std::string& TCellDoubleAsDate::defaultFormat() const {
  if (owner() && !owner()->dateFormat.empty()) return owner()->dateFormat;
  return localeSettings().shortDateFormat;
}

bool TCellDoubleAsDate::setText(const std::string& text, int col, int row) {
  std::string entry = trimmedText(text);
  // The date order comes from a copy of the settings: the process-wide
  // record is read by other threads meanwhile.
  TLocaleSettings settings = localeSettings();
  settings.shortDateFormat = defaultFormat();
  if (!format.empty()) settings.shortDateFormat = format;
  double number = 0.0;
  bool accepted = tryStrToDate(entry, number, settings) || readNumber(entry, number);
  return enterNumberOrFormula(text, accepted, number, col, row);
}

double TCellDoubleAsDate::conditionKey(double value) const { return std::trunc(value); }

const std::string& TCellDoubleAsTime::defaultFormat() const {
  if (owner() && !owner()->timeFormat.empty()) return owner()->timeFormat;
  return localeSettings().longTimeFormat;
}

bool TCellDoubleAsTime::setText(const std::string& text, int col, int row) {
  std::string entry = trimmedText(text);
  double number = 0.0;
  bool accepted = tryStrToTime(entry, number) || readNumber(entry, number);
  return enterNumberOrFormula(text, accepted, number, col, row);
}

double TCellDoubleAsTime::conditionKey(double value) const { return value - std::trunc(value); }

// ---- 5, 6, 8, 9: integers ----

std::string TCellIntegerAsInteger::getText(bool forDisplay) const {
  if (state != stateValid) return forDisplay ? errorText() : std::string();
  return forDisplay ? groupedText() + numberFormattingView().trail : std::to_string(value);
}

TCellIntegerAsBool::TCellIntegerAsBool(const TCellOrigin& origin) : TCellInteger(origin) {
  if (origin.owner) images_ = {origin.owner->trueImage, origin.owner->falseImage};
}

std::string TCellIntegerAsBool::getText(bool forDisplay) const {
  if (state != stateValid) return forDisplay ? errorText() : std::string();
  if (!forDisplay) return std::to_string(value);
  return (value != 0 ? "1" : "0") + numberFormattingView().trail;
}

void TCellIntegerAsBool::assignFormat(const TCell* source) {
  TCellInteger::assignFormat(source);
  if (const TBoolImages* other = source ? source->boolImages() : nullptr) images_ = *other;
}

void TCellIntegerAsBool::assign(const TCell* source) {
  TCellInteger::assign(source);
  if (const auto* other = dynamic_cast<const TCellIntegerAsBool*>(source)) images_ = other->images_;
}

void TCellIntegerAsBool::drawValue(TSheetCanvas& canvas, const RECT& rect, int leftLimit, int rightLimit) {
  if (images_.trueImage >= 0 && images_.falseImage >= 0 &&
      drawImage(canvas, rect, value != 0 ? images_.trueImage : images_.falseImage)) {
    return;
  }
  TCellInteger::drawValue(canvas, rect, leftLimit, rightLimit);
}

std::string TCellIntegerAsColor::getText(bool forDisplay) const {
  if (state != stateValid) return forDisplay ? errorText() : std::string();
  return forDisplay ? groupedText() + numberFormattingView().trail : std::to_string(value);
}

void TCellIntegerAsColor::drawValue(TSheetCanvas& canvas, const RECT& rect, int, int) {
  canvas.brushColor = value;
  canvas.fillRect(rect);
}

std::string TCellIntegerAsImage::getText(bool forDisplay) const {
  if (state != stateValid) return forDisplay ? errorText() : std::string();
  return forDisplay ? groupedText() + numberFormattingView().trail : std::to_string(value);
}

void TCellIntegerAsImage::drawValue(TSheetCanvas& canvas, const RECT& rect, int leftLimit, int rightLimit) {
  if (drawImage(canvas, rect, value)) return;
  TCellInteger::drawValue(canvas, rect, leftLimit, rightLimit);
}

// ---- 7: currency symbols ----

std::string TCellStringAsCurrencySymbol::getText(bool forDisplay) const {
  if (state != stateValid) return forDisplay ? errorText() : std::string();
  return upperCase(trimmedText(value).substr(0, 3));
}
