#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "model/FontProperties.h"
#include "platform/Colors.h"
#include "sheet/ObjectPool.h"

class TFontAndFill;
class TFontAndFillFactory;

// Returns a format to its pool slot or to the heap.
struct TFormatDeleter {
  void operator()(TFontAndFill* format) const;
};
using TFontAndFillPtr = std::unique_ptr<TFontAndFill, TFormatDeleter>;

// The font and fill of a cell that does not use the sheet's defaults.
class TFontAndFill {
 public:
  // A heap format: the font's attributes (the defaults for nullptr) and the
  // fill colour given.
  static TFontAndFillPtr Create(const TFontProperties* font, std::int32_t fillColor);

  // Copies the font attributes, or sets the defaults for nullptr; the fill
  // colour stays.
  void assignFont(const TFontProperties* font);
  void applyToFont(TFontProperties& font) const;
  // Fill and font from another format; nullptr resets the fill to clWindow
  // and the font to the defaults. A conditional format also takes (or, for
  // nullptr, resets) the threshold.
  virtual void assign(const TFontAndFill* source);
  virtual bool isConditional() const { return false; }

  TObjectBlock* ownerBlock() const { return ownerBlock_; }

  std::int32_t fontColor = clWindowText;
  std::int32_t fillColor = clWindow;
  std::uint8_t charSet = defaultCharSet;
  std::uint8_t pitch = 0;
  std::int32_t size = 8;
  TFontStyles style = 0;
  std::string fontName = "MS Sans Serif";

 protected:
  TFontAndFill() = default;
  virtual ~TFontAndFill() = default;

 private:
  friend struct TFormatDeleter;
  friend class TFontAndFillFactory;
  TObjectBlock* ownerBlock_ = nullptr;
};

// Used instead of the cell's own format while its value lies above (or
// below) the threshold.
class TConditionalFontAndFill : public TFontAndFill {
 public:
  static TFontAndFillPtr Create(const TFontProperties* font, std::int32_t fillColor);
  void assign(const TFontAndFill* source) override;
  bool isConditional() const override { return true; }

  double threshold = 0.0;
  bool ifAboveThreshold = true;

 protected:
  friend class TFontAndFillFactory;
  TConditionalFontAndFill() = default;
};

// The pool of a sheet's formats: either kind fits a slot.
class TFontAndFillFactory : public TObjectFactory {
 public:
  TFontAndFillFactory();
  // A pooled format (the heap when no memory is left for a new block).
  TFontAndFillPtr newFormat(const TFontProperties* font, std::int32_t fillColor);
  TFontAndFillPtr newConditionalFormat(const TFontProperties* font, std::int32_t fillColor);
};
