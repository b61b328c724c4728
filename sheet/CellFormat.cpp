#include "sheet/CellFormat.h"

#include <algorithm>
#include <new>

namespace {

template <class Format>
TFontAndFillPtr initialised(Format* format, const TFontProperties* font, std::int32_t fillColor) {
  TFontAndFillPtr result(format);
  result->assignFont(font);
  result->fillColor = fillColor;
  return result;
}

}  // namespace

void TFormatDeleter::operator()(TFontAndFill* format) const {
  TObjectBlock* block = format->ownerBlock_;
  format->~TFontAndFill();
  if (block) {
    block->releaseSlot(format);
  } else {
    ::operator delete(format);
  }
}

TFontAndFillPtr TFontAndFill::Create(const TFontProperties* font, std::int32_t fillColor) {
  return initialised(new TFontAndFill(), font, fillColor);
}

TFontAndFillPtr TConditionalFontAndFill::Create(const TFontProperties* font, std::int32_t fillColor) {
  return initialised(new TConditionalFontAndFill(), font, fillColor);
}

void TFontAndFill::assignFont(const TFontProperties* font) {
  TFontProperties source = font ? *font : TFontProperties();
  fontColor = source.color;
  charSet = static_cast<std::uint8_t>(source.charSet);
  pitch = static_cast<std::uint8_t>(source.pitch);
  size = source.size;
  style = source.style;
  fontName = source.name;
}

void TFontAndFill::applyToFont(TFontProperties& font) const {
  font.color = fontColor;
  font.charSet = charSet;
  font.pitch = static_cast<TFontPitch>(pitch);
  font.size = size;
  font.style = style;
  font.name = fontName;
}

void TFontAndFill::assign(const TFontAndFill* source) {
  if (source == this) return;
  if (!source) {
    fillColor = clWindow;
    assignFont(nullptr);
    return;
  }
  fillColor = source->fillColor;
  fontColor = source->fontColor;
  charSet = source->charSet;
  pitch = source->pitch;
  size = source->size;
  style = source->style;
  fontName = source->fontName;
}

void TConditionalFontAndFill::assign(const TFontAndFill* source) {
  if (source == this) return;
  if (!source) {
    threshold = 0.0;
    ifAboveThreshold = true;
  } else if (source->isConditional()) {
    const auto* conditional = static_cast<const TConditionalFontAndFill*>(source);
    threshold = conditional->threshold;
    ifAboveThreshold = conditional->ifAboveThreshold;
  }
  TFontAndFill::assign(source);
}

TFontAndFillFactory::TFontAndFillFactory()
    : TObjectFactory(static_cast<int>(std::max(sizeof(TFontAndFill), sizeof(TConditionalFontAndFill)))) {}

TFontAndFillPtr TFontAndFillFactory::newFormat(const TFontProperties* font, std::int32_t fillColor) {
  TObjectBlock* block = nullptr;
  void* slot = takeSlot(block);
  if (!slot) return TFontAndFill::Create(font, fillColor);
  TFontAndFill* format = new (slot) TFontAndFill();
  format->ownerBlock_ = block;
  return initialised(format, font, fillColor);
}

TFontAndFillPtr TFontAndFillFactory::newConditionalFormat(const TFontProperties* font, std::int32_t fillColor) {
  TObjectBlock* block = nullptr;
  void* slot = takeSlot(block);
  if (!slot) return TConditionalFontAndFill::Create(font, fillColor);
  TFontAndFill* format = new (slot) TConditionalFontAndFill();
  format->ownerBlock_ = block;
  return initialised(format, font, fillColor);
}
